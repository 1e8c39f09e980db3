// The scans of Access databases and their objects: the database scan driver,
// the value matcher and the seven kinds of database object. Tables, queries and
// import/export specifications are read through the database engine
// (platform/dao), forms and reports through the Access application service
// (platform/access), code modules from the files exported beside the database.

#include "platform/access/Access.h"
#include "platform/dao/DAO.h"
#include "scanmodel/HitProtocol.h"
#include "scanmodel/Scan.h"
#include "scanmodel/ScanInfo.h"
#include "scanmodel/SourceFiles.h"

#include <algorithm>
#include <optional>

namespace {

// The engine and workspace that objects scanned without a lent database open
// theirs through; kept between objects and released when the program ends.
std::shared_ptr<dao::DBEngine> UnitEngine;
std::shared_ptr<dao::Workspace> UnitWorkspace;

const char *const kSpecQuery =
    "SELECT DISTINCTROW MSysIMEXSpecs.SpecName, MSysIMEXColumns.FieldName, "
    "MSysIMEXColumns.Start, "
    "MSysIMEXColumns.Width, MSysIMEXColumns.DataType, "
    "MSysIMEXColumns.SkipColumn"
    " FROM MSysIMEXSpecs INNER JOIN MSysIMEXColumns ON MSysIMEXSpecs.SpecID = "
    "MSysIMEXColumns.SpecID"
    " WHERE (((MSysIMEXColumns.Width) < 10) And ((MSysIMEXColumns.DataType) = "
    "8))"
    " ORDER BY MSysIMEXSpecs.SpecName, MSysIMEXColumns.Start;";

/// Only text values are matched: not Null, not Empty, of a string type.
bool IsTextValue(const Variant &V) {
  return !V.IsNull() && !V.IsEmpty() && V.IsText();
}

/// Runs one property's matching under the guard that discards what goes wrong
/// in reading it. The silent abort of a hit answered with Cancel passes: it
/// ends the whole database scan.
template <class F> void Guarded(F &&Match) {
  try {
    Match();
  } catch (const EAbort &) {
    throw;
  } catch (...) {
  }
}

/// The keyword matcher of the list being scanned, built once and rebuilt when
/// the list changes.
TKeywordMatcher &MatcherFor(const TStringList &KeyWords) {
  static std::vector<std::string> Keys;
  static std::optional<TKeywordMatcher> Matcher;
  bool Same = Matcher.has_value() &&
              Keys.size() == static_cast<std::size_t>(KeyWords.Count());
  for (Longint I = 0; Same && I < KeyWords.Count(); ++I)
    Same = Keys[static_cast<std::size_t>(I)] == KeyWords[I];
  if (!Same) {
    Keys.clear();
    for (Longint I = 0; I < KeyWords.Count(); ++I)
      Keys.push_back(KeyWords[I]);
    Matcher.emplace(KeyWords);
  }
  return *Matcher;
}

[[noreturn]] void NoApplication(const std::string &Name) {
  throw EOleSysError("No Access application is running for '" + Name + "'.");
}

} // namespace

// ---- the database ----

void TMDBInfo::Scan(const TStringList &KeyWords, const TStringList &Excludes) {
  StopScan = false;
  // Leaving however the scan ends: the application quits, the database closes.
  struct Release {
    TMDBInfo &Self;
    ~Release() {
      if (Self.AccessApp) {
        try {
          Self.AccessApp->Quit();
        } catch (...) {
        }
        Self.AccessApp.reset();
      }
      if (Self.Database) {
        Self.Database->Close();
        Self.Database.reset();
      }
    }
  };
  auto Engine = dao::DBEngine::Create();
  auto Workspace = Engine->Workspaces(0);
  Database = Workspace->OpenDatabase(Path + Name, false, true, "");
  Release Guard{*this};

  // Scans one collection from its first object; false when StopScan ended it.
  auto ScanAll = [&](TMDBObjectInfos &Objects, bool LendApplication) {
    for (Longint I = 0; I < Objects.Count(); ++I) {
      TMDBObjectInfo *Object = Objects.Items(I);
      DoBeforeScan();
      if (Database)
        Object->Database = Database;
      if (LendApplication && AccessApp)
        Object->AccessApp = AccessApp;
      Object->Scan(KeyWords, Excludes);
      DoAfterScan();
      if (StopScan)
        return false;
    }
    return true;
  };
  if (!ScanAll(Tables(), false) || !ScanAll(Querys(), false))
    return;
  AccessApp = msaccess::Application::Create();
  AccessApp->OpenCurrentDatabase(Path + Name, false);
  if (!ScanAll(Forms(), true) || !ScanAll(Reports(), true))
    return;
  if (!ScanAll(Macros(), false) || !ScanAll(Modules(), false))
    return;
  ScanAll(IMEXSpecs(), false);
}

void TMDBObjectInfo::Open() {
  if (Database)
    return;
  UnitEngine = dao::DBEngine::Create();
  UnitWorkspace = UnitEngine->Workspaces(0);
  Database = UnitWorkspace->OpenDatabase(DatabaseFile(), false, true, "");
}

void TMDBObjectInfo::Close() {}

void TMDBObjectInfo::MatchValue(const std::string &Sub, const std::string &Line,
                                const std::string &Field,
                                const std::string &Filename, Longint Index,
                                const TStringList &KeyWords,
                                const TStringList &Excludes) {
  if (!OnHit)
    return;
  TKeywordMatcher &Matcher = MatcherFor(KeyWords);
  Matcher.Match(Line, Excludes,
                [&](Longint K, Longint P, const std::string &W) {
                  auto Hit = std::make_unique<TMDBHitInfo>();
                  Hit->Line = Line;
                  Hit->LineInModule = Index;
                  Hit->LineInSub = Index;
                  Hit->Position = P;
                  Hit->Sub = Sub;
                  Hit->Variable = W;
                  Hit->Field = Field;
                  Hit->Key = Matcher.Key(K);
                  OfferHit(*this, OnHit, std::move(Hit), Filename);
                });
}

// ---- tables and queries ----

namespace {

/// The scan of a table or query definition: its own properties, then those of
/// every field but "Value" and "Name". Before/After fire the progress events;
/// returns false when stopped.
template <class Def, class Before, class After, class Match>
bool ScanDefinition(const Def &D, Before &&DoBefore, After &&DoAfter,
                    Match &&MatchProperty) {
  const auto &Props = D.Properties();
  const int N = Props.Count();
  for (int I = 0; I < N; ++I) {
    DoBefore();
    const auto &P = Props.Item(I);
    Guarded([&] {
      const Variant V = P.Value();
      if (IsTextValue(V))
        MatchProperty(P.Name(), V.AsString(), std::string(), I);
    });
    DoAfter();
    if (StopScan)
      return false;
  }
  const auto &Fields = D.Fields();
  const int M = Fields.Count();
  for (int F = 0; F < M; ++F) {
    const auto &Field = Fields.Item(F);
    const std::string FieldName = Field.Name();
    const auto &FieldProps = Field.Properties();
    const int K = FieldProps.Count();
    for (int J = 0; J < K; ++J) {
      DoBefore();
      const auto &P = FieldProps.Item(J);
      if (P.Name() != "Value" && P.Name() != "Name")
        Guarded([&] {
          const Variant V = P.Value();
          if (IsTextValue(V))
            MatchProperty(P.Name(), V.AsString(), FieldName, J);
        });
      DoAfter();
      if (StopScan)
        return false;
    }
  }
  return true;
}

} // namespace

void TMDBTableInfo::Open() {
  TMDBObjectInfo::Open();
  ImageIndex = 11;
  TableDef.reset();
  TableDef = Database->TableDefs().Item(Name);
  LinesOfCode = TableDef->Properties().Count() + TableDef->Fields().Count();
}

void TMDBTableInfo::Close() {
  TableDef.reset();
  TMDBObjectInfo::Close();
}

void TMDBTableInfo::Scan(const TStringList &KeyWords,
                         const TStringList &Excludes) {
  Open();
  const std::string FileName = Path + Name;
  if (!ScanDefinition(
          *TableDef, [this] { DoBeforeScan(); }, [this] { DoAfterScan(); },
          [&](const std::string &Sub, const std::string &Line,
              const std::string &Field, int Index) {
            MatchValue(Sub, Line, Field, FileName, Index, KeyWords, Excludes);
          }))
    return;
  ScanIndex = 0;
  Close();
  if (HitCount() > 0)
    ImageIndex = 18;
}

void TMDBQueryInfo::Open() {
  TMDBObjectInfo::Open();
  ImageIndex = 12;
  QueryDef.reset();
  QueryDef = Database->QueryDefs().Item(Name);
  LinesOfCode = QueryDef->Properties().Count() + QueryDef->Fields().Count();
}

void TMDBQueryInfo::Close() {
  if (QueryDef)
    QueryDef->Close();
  QueryDef.reset();
  TMDBObjectInfo::Close();
}

void TMDBQueryInfo::Scan(const TStringList &KeyWords,
                         const TStringList &Excludes) {
  Open();
  const std::string FileName = Path + Name;
  if (!ScanDefinition(
          *QueryDef, [this] { DoBeforeScan(); }, [this] { DoAfterScan(); },
          [&](const std::string &Sub, const std::string &Line,
              const std::string &Field, int Index) {
            MatchValue(Sub, Line, Field, FileName, Index, KeyWords, Excludes);
          }))
    return;
  ScanIndex = 0;
  Close();
  if (HitCount() > 0)
    ImageIndex = 19;
}

// ---- forms and reports ----

namespace {

/// The scan of an open form or report: its own properties, then those of every
/// control but "Value" and "Name". The stop flag is tested in the control loop
/// only. False when stopped.
template <class Before, class After, class Match>
bool ScanAccessObject(const msaccess::AccessObject &O, Before &&DoBefore,
                      After &&DoAfter, Match &&MatchProperty) {
  const auto &Props = O.Properties();
  const int N = Props.Count();
  for (int I = 0; I < N; ++I) {
    DoBefore();
    const auto &P = Props.Item(I);
    Guarded([&] {
      if (IsTextValue(P.Value()))
        MatchProperty(P.Name(), P.Value().AsString(), std::string(), I);
    });
    DoAfter();
  }
  const auto &Controls = O.Controls();
  const int C = Controls.Count();
  for (int K = 0; K < C; ++K) {
    const auto &Ctl = Controls.Item(K);
    const std::string ControlName = Ctl.Name();
    const auto &CtlProps = Ctl.Properties();
    const int M = CtlProps.Count();
    for (int J = 0; J < M; ++J) {
      DoBefore();
      const auto &P = CtlProps.Item(J);
      if (P.Name() != "Value" && P.Name() != "Name")
        Guarded([&] {
          if (IsTextValue(P.Value()))
            MatchProperty(P.Name(), P.Value().AsString(), ControlName, J);
        });
      DoAfter();
      if (StopScan)
        return false;
    }
  }
  return true;
}

} // namespace

void TMDBFormInfo::Open() {
  TMDBObjectInfo::Open();
  ImageIndex = 13;
  if (!AccessApp)
    NoApplication(Name);
  AccessApp->DoCmd().OpenForm(Name, msaccess::acDesign, Variant(), Variant(),
                              Variant(), 0);
  AccessObject = AccessApp->Forms(Name);
  LinesOfCode =
      AccessObject->Properties().Count() + AccessObject->Controls().Count();
}

void TMDBFormInfo::Close() {
  if (!AccessApp)
    NoApplication(Name);
  AccessApp->DoCmd().Close(msaccess::acForm, Name, msaccess::acSavePrompt);
  AccessObject.reset();
  TMDBObjectInfo::Close();
}

void TMDBFormInfo::Scan(const TStringList &KeyWords,
                        const TStringList &Excludes) {
  Open();
  const std::string FileName = Path + Name;
  if (!ScanAccessObject(
          *AccessObject, [this] { DoBeforeScan(); }, [this] { DoAfterScan(); },
          [&](const std::string &Sub, const std::string &Line,
              const std::string &Field, int Index) {
            MatchValue(Sub, Line, Field, FileName, Index, KeyWords, Excludes);
          }))
    return;
  ScanIndex = 0;
  Close();
  if (HitCount() > 0)
    ImageIndex = 20;
}

void TMDBReportInfo::Open() {
  TMDBObjectInfo::Open();
  ImageIndex = 14;
  if (!AccessApp)
    NoApplication(Name);
  AccessApp->DoCmd().OpenReport(Name, msaccess::acDesign,
                                Variant(std::int32_t(1)),
                                Variant(std::int32_t(1)));
  AccessObject = AccessApp->Reports(Name);
  LinesOfCode =
      AccessObject->Properties().Count() + AccessObject->Controls().Count();
}

void TMDBReportInfo::Close() {
  if (!AccessApp)
    NoApplication(Name);
  AccessApp->DoCmd().Close(msaccess::acReport, Name, msaccess::acSavePrompt);
  AccessObject.reset();
  TMDBObjectInfo::Close();
}

void TMDBReportInfo::Scan(const TStringList &KeyWords,
                          const TStringList &Excludes) {
  Open();
  const std::string FileName = Path + Name;
  if (!ScanAccessObject(
          *AccessObject, [this] { DoBeforeScan(); }, [this] { DoAfterScan(); },
          [&](const std::string &Sub, const std::string &Line,
              const std::string &Field, int Index) {
            MatchValue(Sub, Line, Field, FileName, Index, KeyWords, Excludes);
          }))
    return;
  ScanIndex = 0;
  Close();
  if (HitCount() > 0)
    ImageIndex = 21;
}

// ---- macros ----

void TMDBMacroInfo::Open() {
  TMDBObjectInfo::Open();
  ImageIndex = 15;
}

void TMDBMacroInfo::Close() { TMDBObjectInfo::Close(); }

void TMDBMacroInfo::Scan(const TStringList &, const TStringList &) {
  Open();
  ScanIndex = 0;
  Close();
  if (HitCount() > 0)
    ImageIndex = 22;
}

// ---- code modules exported beside the database ----

void TMDBModuleInfo::Open() {
  TMDBObjectInfo::Open();
  ImageIndex = 16;
  if (SourceLines.empty() && !Name.empty()) {
    SourceLines = LoadSourceLines(Path + Name);
    LinesOfCode = static_cast<Longint>(SourceLines.size());
    CurrentSub = "Declarations";
  }
}

void TMDBModuleInfo::Close() {
  ScanIndex = 0;
  SourceLines.clear();
  TMDBObjectInfo::Close();
}

void TMDBModuleInfo::Scan(const TStringList &KeyWords,
                          const TStringList &Excludes) {
  Open();
  const std::string FileName = Path + Name;
  Longint Counter = 0;
  const Longint Last =
      std::min(LinesOfCode, static_cast<Longint>(SourceLines.size()));
  for (Longint I = std::max<Longint>(ScanIndex, 0); I < Last; ++I) {
    ScanIndex = I;
    DoBeforeScan();
    const std::string Line = TrimLeadingBlanks(
        StripComment(SourceLines[static_cast<std::size_t>(I)]));
    const std::string Declared = DeclName(Line);
    if (!Declared.empty()) {
      CurrentSub = Declared;
      Counter = 0;
    } else {
      ++Counter;
    }
    MatchValue(CurrentSub, Line, std::string(), FileName, Counter, KeyWords,
               Excludes);
    DoAfterScan();
    if (StopScan)
      return;
  }
  ScanIndex = 0;
  Close();
  if (HitCount() > 0)
    ImageIndex = 23;
}

// ---- import/export specifications ----

// The query returns the short date columns of every specification of the
// database; an object scans and counts only the rows of its own specification,
// so that two specifications do not each report the other's columns.

void TMDBIMEXSpecInfo::Open() {
  TMDBObjectInfo::Open();
  ImageIndex = 17;
  if (SpecRecordset)
    SpecRecordset->Close();
  SpecRecordset = Database->OpenRecordset(kSpecQuery, 2, 512, 3);
  if (SpecRecordset->BOF() && SpecRecordset->EOF())
    return;
  SpecRecordset->MoveLast(0);
  LinesOfCode = 0;
  for (SpecRecordset->MoveFirst(); !SpecRecordset->EOF();
       SpecRecordset->MoveNext())
    if (SameText(SpecRecordset->Fields().Item("SpecName").Value().AsString(),
                 Name))
      ++LinesOfCode;
  SpecRecordset->MoveFirst();
}

void TMDBIMEXSpecInfo::Close() {
  if (SpecRecordset)
    SpecRecordset->Close();
  SpecRecordset.reset();
  TMDBObjectInfo::Close();
}

void TMDBIMEXSpecInfo::Scan(const TStringList &KeyWords,
                            const TStringList &Excludes) {
  Open();
  const std::string FileName = Path + Name;
  Longint Row = 1;
  if (!(SpecRecordset->BOF() && SpecRecordset->EOF())) {
    while (!SpecRecordset->EOF()) {
      const std::string Spec =
          SpecRecordset->Fields().Item("SpecName").Value().AsString();
      if (!SameText(Spec, Name)) {
        SpecRecordset->MoveNext();
        continue;
      }
      DoBeforeScan();
      const std::string Field =
          SpecRecordset->Fields().Item("FieldName").Value().AsString();
      MatchValue(Spec, Field, Field, FileName, Row, KeyWords, Excludes);
      ++Row;
      SpecRecordset->MoveNext();
      DoAfterScan();
      if (StopScan)
        return;
    }
  }
  ScanIndex = 0;
  Close();
  if (HitCount() > 0)
    ImageIndex = 24;
}
