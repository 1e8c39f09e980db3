// The scans of Access databases and their objects: the database scan driver,
// the value matcher and the seven kinds of database object. Tables, queries and
// import/export specifications are read through the database engine
// (platform/dao), forms and reports through the Access application service
// (platform/access), code modules from the files exported beside the database.

#include "platform/access/Access.h"
#include "platform/dao/DAO.h"
#include "scanmodel/HitProtocol.h"
#include "scanmodel/NodeImages.h"
#include "scanmodel/Scan.h"
#include "scanmodel/ScanInfo.h"
#include "scanmodel/SourceFiles.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace {

// The engine and workspace that objects scanned without a lent database open
// theirs through; kept between objects and released when the program ends.
std::shared_ptr<dao::DBEngine> UnitEngine;
std::shared_ptr<dao::Workspace> UnitWorkspace;

const char* const kSpecQuery = "SELECT DISTINCTROW MSysIMEXSpecs.SpecName, MSysIMEXColumns.FieldName, "
                               "MSysIMEXColumns.Start, "
                               "MSysIMEXColumns.Width, MSysIMEXColumns.DataType, "
                               "MSysIMEXColumns.SkipColumn"
                               " FROM MSysIMEXSpecs INNER JOIN MSysIMEXColumns ON MSysIMEXSpecs.SpecID = "
                               "MSysIMEXColumns.SpecID"
                               " WHERE (((MSysIMEXColumns.Width) < 10) And ((MSysIMEXColumns.DataType) = "
                               "8))"
                               " ORDER BY MSysIMEXSpecs.SpecName, MSysIMEXColumns.Start;";

/// Only text values are matched: not Null, not Empty, of a string type.
bool IsTextValue(const Variant& V) {
    return !V.IsNull() && !V.IsEmpty() && V.IsText();
}

/// Runs one property's matching and passes over a property whose value cannot
/// be read (its failure is dropped). The silent abort of a hit answered with
/// Cancel passes: it ends the whole database scan.
template <class F>
void SkipIfUnreadable(F&& Match) {
    try {
        Match();
    } catch (const EAbort&) {
        throw;
    } catch (...) {
    }
}

/// The matcher of the list being scanned, kept from one value to the next. A value matched
/// from inside another value's hit handler finds none here and takes one of its own, so the
/// matcher in use is never changed under it.
std::unique_ptr<TKeywordMatcher>& SpareMatcher() {
    static std::unique_ptr<TKeywordMatcher> Spare;
    return Spare;
}

[[noreturn]] void NoApplication(const std::string& Name) {
    throw EOleSysError("No Access application is running for '" + Name + "'.");
}

} // namespace

// ---- the database ----

void TMDBInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    StopScan = false;
    auto Engine = dao::DBEngine::Create();
    auto Workspace = Engine->Workspaces(0);
    Database = Workspace->OpenDatabase(Path + Name, false, true, "");

    // Leaving however the scan ends: the application quits, then the database closes, each also
    // when the other fails. Returns the first failure of the two.
    auto Release = [this] {
        std::exception_ptr Failure;
        if (AccessApp) {
            try {
                AccessApp->Quit();
            } catch (...) {
                Failure = std::current_exception();
            }
            AccessApp.reset();
        }
        if (Database) {
            try {
                Database->Close();
            } catch (...) {
                if (!Failure)
                    Failure = std::current_exception();
            }
            Database.reset();
        }
        return Failure;
    };

    // Scans one collection from its first object; false when StopScan ended it.
    auto ScanAll = [&](TMDBObjectInfos& Objects, bool LendApplication) {
        for (Longint I = 0; I < Objects.Count(); ++I) {
            TMDBObjectInfo* Object = Objects.Items(I);
            DoBeforeScan();
            if (Database)
                Object->Database = Database;
            if (LendApplication && AccessApp)
                Object->AccessApp = AccessApp;
            try {
                Object->Scan(KeyWords, Excludes);
            } catch (const EAbort&) {
                throw;
            } catch (const std::exception& E) {
                if (!OnObjectFailed)
                    throw;
                OnObjectFailed(*Object, E);
                Objects.AtFree(I--);
            }
            DoAfterScan();
            if (StopScan)
                return false;
        }
        return true;
    };
    auto ScanCollections = [&] {
        for (const TMDBObjectKind Kind : MDBObjectKinds) {
            // Forms and reports are read in the Access application, started once tables and
            // queries are done; only they are lent it.
            const bool InApplication = Kind == okForm || Kind == okReport;
            if (Kind == okForm) {
                AccessApp = msaccess::Application::Create();
                AccessApp->OpenCurrentDatabase(Path + Name, false);
            }
            if (!ScanAll(Objects(Kind), InApplication))
                return;
        }
    };

    try {
        ScanCollections();
    } catch (...) {
        // The scan's own failure is the one the caller hears of, not a failing clean-up.
        Release();
        throw;
    }
    if (const std::exception_ptr Failure = Release())
        std::rethrow_exception(Failure);
}

void TMDBObjectInfo::Open() {
    if (Database)
        return;
    UnitEngine = dao::DBEngine::Create();
    UnitWorkspace = UnitEngine->Workspaces(0);
    Database = UnitWorkspace->OpenDatabase(DatabaseFile(), false, true, "");
}

void TMDBObjectInfo::Close() {}

void TMDBObjectInfo::MatchValue(const std::string& Sub, const std::string& Line, const std::string& Field,
                                const std::string& Filename, Longint Index, const TStringList& KeyWords,
                                const TStringList& Excludes) {
    if (!OnHit)
        return;
    std::unique_ptr<TKeywordMatcher> Held = std::move(SpareMatcher());
    if (!Held || !Held->Index().SameKeys(KeyWords))
        Held = std::make_unique<TKeywordMatcher>(KeyWords);
    struct TGiveBack {
        std::unique_ptr<TKeywordMatcher>& M;
        ~TGiveBack() { SpareMatcher() = std::move(M); }
    } GiveBack{Held};
    TKeywordMatcher& Matcher = *Held;
    Matcher.Match(Line, Excludes, [&](Longint K, Longint P, const std::string& W) {
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

// ---- tables, queries, forms and reports ----

namespace {

void Before(TMDBObjectInfo& O) {
    if (O.OnBeforeScan)
        O.OnBeforeScan(&O);
}

void After(TMDBObjectInfo& O) {
    if (O.OnAfterScan)
        O.OnAfterScan(&O);
}

/// The scan of a definition, form or report: its own properties, then those of every field or
/// control but "Value" and "Name", each value under the guard. Tables and queries test the stop
/// flag after every property, forms and reports in the control loop only. A complete scan
/// closes the object and shows HitImage when it holds hits.
template <class Props, class Parts>
void ScanProperties(TMDBObjectInfo& O, const Props& Own, const Parts& Items, bool StopInOwnLoop,
                    const TStringList& KeyWords, const TStringList& Excludes, Longint HitImage) {
    const std::string FileName = O.Path + O.Name;
    const int N = Own.Count();
    for (int I = 0; I < N; ++I) {
        Before(O);
        const auto& P = Own.Item(I);
        SkipIfUnreadable([&] {
            const Variant V = P.Value();
            if (IsTextValue(V))
                O.MatchValue(P.Name(), V.AsString(), std::string(), FileName, I, KeyWords, Excludes);
        });
        After(O);
        if (StopInOwnLoop && StopScan)
            return;
    }
    const int M = Items.Count();
    for (int F = 0; F < M; ++F) {
        const auto& Part = Items.Item(F);
        const std::string PartName = Part.Name();
        const auto& PartProps = Part.Properties();
        const int K = PartProps.Count();
        for (int J = 0; J < K; ++J) {
            Before(O);
            const auto& P = PartProps.Item(J);
            if (P.Name() != "Value" && P.Name() != "Name")
                SkipIfUnreadable([&] {
                    const Variant V = P.Value();
                    if (IsTextValue(V))
                        O.MatchValue(P.Name(), V.AsString(), PartName, FileName, J, KeyWords, Excludes);
                });
            After(O);
            if (StopScan)
                return;
        }
    }
    O.ScanIndex = 0;
    O.Close();
    if (O.HitCount() > 0)
        O.ImageIndex = HitImage;
}

/// The property lists below a definition, form or report.
const dao::FieldList& Parts(const dao::TableDef& Def) {
    return Def.Fields();
}
const dao::FieldList& Parts(const dao::QueryDef& Def) {
    return Def.Fields();
}
const msaccess::ControlList& Parts(const msaccess::AccessObject& Object) {
    return Object.Controls();
}

/// The scan of a table, query, form or report: opens O, which leaves what it read in Held, and
/// scans that. Held is kept here while the scan's Close releases O's own reference.
template <class Handle>
void ScanOpened(TMDBObjectInfo& O, const std::shared_ptr<Handle>& Held, bool StopInOwnLoop,
                const TStringList& KeyWords, const TStringList& Excludes, Longint HitImage) {
    O.Open();
    const std::shared_ptr<Handle> Def = Held;
    ScanProperties(O, Def->Properties(), Parts(*Def), StopInOwnLoop, KeyWords, Excludes, HitImage);
}

/// What tells a form from a report: Access's object type and the two images of the kind.
struct TDesignKind {
    int ObjectType;
    Longint Image;
    Longint HitImage;
};
constexpr TDesignKind FormDesign{msaccess::acForm, imMDBForm, imMDBFormHits};
constexpr TDesignKind ReportDesign{msaccess::acReport, imMDBReport, imMDBReportHits};

/// Opens a form or report in design view in the lent application.
std::shared_ptr<msaccess::AccessObject> OpenDesign(TMDBObjectInfo& O, msaccess::Application* App,
                                                   const TDesignKind& Kind) {
    O.ImageIndex = Kind.Image;
    if (!App)
        NoApplication(O.Name);
    if (Kind.ObjectType == msaccess::acForm)
        App->DoCmd().OpenForm(O.Name, msaccess::acDesign, Variant(), Variant(), Variant(), 0);
    else
        App->DoCmd().OpenReport(O.Name, msaccess::acDesign, Variant(std::int32_t(1)),
                                Variant(std::int32_t(1)));
    auto Object = Kind.ObjectType == msaccess::acForm ? App->Forms(O.Name) : App->Reports(O.Name);
    O.LinesOfCode = Object->Properties().Count() + Object->Controls().Count();
    return Object;
}

void CloseDesign(msaccess::Application* App, const TDesignKind& Kind, const std::string& Name) {
    if (!App)
        NoApplication(Name);
    App->DoCmd().Close(Kind.ObjectType, Name, msaccess::acSavePrompt);
}

} // namespace

void TMDBTableInfo::Open() {
    TMDBObjectInfo::Open();
    ImageIndex = imTable;
    TableDef.reset();
    TableDef = Database->TableDefs().Item(Name);
    LinesOfCode = TableDef->Properties().Count() + TableDef->Fields().Count();
}

void TMDBTableInfo::Close() {
    TableDef.reset();
    TMDBObjectInfo::Close();
}

void TMDBTableInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    ScanOpened(*this, TableDef, true, KeyWords, Excludes, imTableHits);
}

void TMDBQueryInfo::Open() {
    TMDBObjectInfo::Open();
    ImageIndex = imQuery;
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

void TMDBQueryInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    ScanOpened(*this, QueryDef, true, KeyWords, Excludes, imQueryHits);
}

void TMDBFormInfo::Open() {
    TMDBObjectInfo::Open();
    AccessObject = OpenDesign(*this, AccessApp.get(), FormDesign);
}

void TMDBFormInfo::Close() {
    CloseDesign(AccessApp.get(), FormDesign, Name);
    AccessObject.reset();
    TMDBObjectInfo::Close();
}

void TMDBFormInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    ScanOpened(*this, AccessObject, false, KeyWords, Excludes, FormDesign.HitImage);
}

void TMDBReportInfo::Open() {
    TMDBObjectInfo::Open();
    AccessObject = OpenDesign(*this, AccessApp.get(), ReportDesign);
}

void TMDBReportInfo::Close() {
    CloseDesign(AccessApp.get(), ReportDesign, Name);
    AccessObject.reset();
    TMDBObjectInfo::Close();
}

void TMDBReportInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    ScanOpened(*this, AccessObject, false, KeyWords, Excludes, ReportDesign.HitImage);
}

// ---- macros ----

void TMDBMacroInfo::Open() {
    TMDBObjectInfo::Open();
    ImageIndex = imMacro;
}

void TMDBMacroInfo::Close() {
    TMDBObjectInfo::Close();
}

void TMDBMacroInfo::Scan(const TStringList&, const TStringList&) {
    Open();
    ScanIndex = 0;
    Close();
    if (HitCount() > 0)
        ImageIndex = imMacroHits;
}

// ---- code modules exported beside the database ----

void TMDBModuleInfo::Open() {
    TMDBObjectInfo::Open();
    ImageIndex = imMDBModule;
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

void TMDBModuleInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    Open();
    const std::string FileName = Path + Name;
    Longint Counter = 0;
    const Longint Last = std::min(LinesOfCode, static_cast<Longint>(SourceLines.size()));
    for (Longint I = std::max<Longint>(ScanIndex, 0); I < Last; ++I) {
        ScanIndex = I;
        DoBeforeScan();
        const std::string Line = TrimLeadingBlanks(StripComment(SourceLines[static_cast<std::size_t>(I)]));
        const std::string Declared = DeclName(Line);
        if (!Declared.empty()) {
            CurrentSub = Declared;
            Counter = 0;
        } else {
            ++Counter;
        }
        MatchValue(CurrentSub, Line, std::string(), FileName, Counter, KeyWords, Excludes);
        DoAfterScan();
        if (StopScan)
            return;
    }
    ScanIndex = 0;
    Close();
    if (HitCount() > 0)
        ImageIndex = imMDBModuleHits;
}

// ---- import/export specifications ----

// The query returns the short date columns of all import/export specifications of the database; an
// object scans and counts only the rows that carry its own name, so that two of them do not each
// report the other's columns.

void TMDBIMEXSpecInfo::Open() {
    TMDBObjectInfo::Open();
    ImageIndex = imIMEXSpec;
    if (SpecRecordset)
        SpecRecordset->Close();
    SpecRecordset = Database->OpenRecordset(kSpecQuery, 2, 512, 3);
    if (SpecRecordset->BOF() && SpecRecordset->EOF())
        return;
    SpecRecordset->MoveLast(0);
    LinesOfCode = 0;
    for (SpecRecordset->MoveFirst(); !SpecRecordset->EOF(); SpecRecordset->MoveNext())
        if (SameText(SpecRecordset->Fields().Item("SpecName").Value().AsString(), Name))
            ++LinesOfCode;
    SpecRecordset->MoveFirst();
}

void TMDBIMEXSpecInfo::Close() {
    if (SpecRecordset)
        SpecRecordset->Close();
    SpecRecordset.reset();
    TMDBObjectInfo::Close();
}

void TMDBIMEXSpecInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    Open();
    const std::string FileName = Path + Name;
    Longint Row = 1;
    if (!(SpecRecordset->BOF() && SpecRecordset->EOF())) {
        while (!SpecRecordset->EOF()) {
            const std::string Spec = SpecRecordset->Fields().Item("SpecName").Value().AsString();
            if (!SameText(Spec, Name)) {
                SpecRecordset->MoveNext();
                continue;
            }
            DoBeforeScan();
            const std::string Field = SpecRecordset->Fields().Item("FieldName").Value().AsString();
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
        ImageIndex = imIMEXSpecHits;
}
