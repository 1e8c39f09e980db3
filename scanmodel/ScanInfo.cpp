#include "scanmodel/ScanInfo.h"

#include "platform/rtl/SafeFile.h"
#include "scanmodel/HitProtocol.h"
#include "scanmodel/NodeImages.h"
#include "scanmodel/Scan.h"
#include "scanmodel/SourceFiles.h"
#include "scanmodel/VerinfoObject.h"

#include <algorithm>
#include <optional>
#include <utility>

bool StopScan = false;

QX_STREAMABLE_IMPL(THitInfo, TStreamable)
QX_STREAMABLE_IMPL(THitInfos, TCollection)
QX_STREAMABLE_IMPL(TMDBHitInfo, THitInfo)
QX_STREAMABLE_IMPL(TMDBHitInfos, TCollection)
QX_STREAMABLE_ABSTRACT_IMPL(TScanInfo, TStreamable)
QX_STREAMABLE_IMPL(TVBXInfo, TScanInfo)
QX_STREAMABLE_IMPL(TVBXInfos, TCollection)
QX_STREAMABLE_IMPL(TModuleInfo, TScanInfo)
QX_STREAMABLE_IMPL(TModuleInfos, TCollection)
QX_STREAMABLE_IMPL(TProjectInfo, TScanInfo)
QX_STREAMABLE_IMPL(TProjectInfos, TCollection)
QX_STREAMABLE_ABSTRACT_IMPL(TMDBObjectInfo, TScanInfo)
QX_STREAMABLE_IMPL(TMDBObjectInfos, TCollection)
QX_STREAMABLE_IMPL(TMDBTableInfo, TMDBObjectInfo)
QX_STREAMABLE_IMPL(TMDBTableInfos, TMDBObjectInfos)
QX_STREAMABLE_IMPL(TMDBQueryInfo, TMDBObjectInfo)
QX_STREAMABLE_IMPL(TMDBQueryInfos, TMDBObjectInfos)
QX_STREAMABLE_IMPL(TMDBFormInfo, TMDBObjectInfo)
QX_STREAMABLE_IMPL(TMDBReportInfo, TMDBObjectInfo)
QX_STREAMABLE_IMPL(TMDBMacroInfo, TMDBObjectInfo)
QX_STREAMABLE_IMPL(TMDBModuleInfo, TMDBObjectInfo)
QX_STREAMABLE_IMPL(TMDBIMEXSpecInfo, TMDBObjectInfo)
QX_STREAMABLE_IMPL(TMDBFormInfos, TMDBObjectInfos)
QX_STREAMABLE_IMPL(TMDBReportInfos, TMDBObjectInfos)
QX_STREAMABLE_IMPL(TMDBMacroInfos, TMDBObjectInfos)
QX_STREAMABLE_IMPL(TMDBModuleInfos, TMDBObjectInfos)
QX_STREAMABLE_IMPL(TMDBIMEXSpecInfos, TMDBObjectInfos)
QX_STREAMABLE_IMPL(TMDBInfo, TScanInfo)
QX_STREAMABLE_IMPL(TMDBInfos, TCollection)
QX_STREAMABLE_IMPL(TQuorvex, TScanInfo)

void RegisterScanClasses() {
    static const TStreamableClass* const Classes[] = {
        &THitInfo::StaticClass,         &THitInfos::StaticClass,       &TMDBHitInfo::StaticClass,
        &TMDBHitInfos::StaticClass,     &TScanInfo::StaticClass,       &TVBXInfo::StaticClass,
        &TVBXInfos::StaticClass,        &TModuleInfo::StaticClass,     &TModuleInfos::StaticClass,
        &TProjectInfo::StaticClass,     &TProjectInfos::StaticClass,   &TMDBObjectInfo::StaticClass,
        &TMDBObjectInfos::StaticClass,  &TMDBTableInfo::StaticClass,   &TMDBTableInfos::StaticClass,
        &TMDBQueryInfo::StaticClass,    &TMDBQueryInfos::StaticClass,  &TMDBFormInfo::StaticClass,
        &TMDBReportInfo::StaticClass,   &TMDBMacroInfo::StaticClass,   &TMDBModuleInfo::StaticClass,
        &TMDBIMEXSpecInfo::StaticClass, &TMDBFormInfos::StaticClass,   &TMDBReportInfos::StaticClass,
        &TMDBMacroInfos::StaticClass,   &TMDBModuleInfos::StaticClass, &TMDBIMEXSpecInfos::StaticClass,
        &TMDBInfo::StaticClass,         &TMDBInfos::StaticClass,       &TQuorvex::StaticClass};
    for (const TStreamableClass* C : Classes)
        RegisterStreamable(*C);
}

namespace {

// The unit's start-up registration; the registry is created on first use, so the order of
// static initialisation between units does not matter.
const bool Registered = (RegisterScanClasses(), true);

/// Bytes of a module's text whose keyword starts a scan holds at a time.
constexpr std::size_t ScanBlockBytes = 64 * 1024;

// --- record helpers ---

void WriteInt(TFilter& S, Longint V) {
    WriteCount(S, V);
}

Longint ReadInt(TFilter& S) {
    return ReadCount(S);
}

void WriteReserved8(TFilter& S) {
    static const Byte Zeros[8] = {};
    S.WriteBuffer(Zeros, 8);
}

void SkipReserved8(TFilter& S) {
    Byte Ignored[8];
    S.ReadBuffer(Ignored, 8);
}

/// Reads a child object that must be of class T (or a descendant).
template <class T>
std::unique_ptr<T> ReadChild(TFilter& S) {
    std::unique_ptr<TStreamable> Obj(S.ReadObject());
    T* Typed = As<T>(Obj.get());
    Obj.release();
    return std::unique_ptr<T>(Typed);
}

/// Appends Item to C; C owns Item from the call on, also when it refuses it.
void AddOwned(TContainer& C, TStreamable* Item) {
    std::unique_ptr<TStreamable> Guard(Item);
    if (Item != nullptr && C.Add(Item) >= 0)
        Guard.release();
}

TCompliant Lower(TCompliant A, TCompliant B) {
    return B < A ? B : A;
}

TCompliant RatingOf(const THitInfo* Hit) {
    return Hit->Compliant;
}

TCompliant RatingOf(const TScanInfo* Node) {
    return Node->Compliant();
}

/// The lowest rating of the items of C (nodes or hits), starting from From. Nothing rates below
/// ctNo, so the items after the first such are not looked at: the document's rating, shown after
/// every scan, then costs the same however many hits it holds.
template <class Coll>
TCompliant LowestOf(const Coll& C, TCompliant From = ctYes) {
    TCompliant Result = From;
    for (Longint I = 0; I < C.Count() && Result != ctNo; ++I)
        Result = Lower(Result, RatingOf(C.Items(I)));
    return Result;
}

/// The tail of the records of modules and database objects: their hits and the OnHit binding.
template <class Hits>
void LoadHits(TFilter& S, std::unique_ptr<Hits>& Field) {
    Field = ReadChild<Hits>(S);
    SkipReserved8(S);
}

template <class Hits>
void StoreHits(TFilter& S, Hits& Field) {
    S.WriteObject(&Field);
    WriteReserved8(S);
}

template <class Coll>
Longint SumLinesOfCode(const Coll& C) {
    Longint Sum = 0;
    for (Longint I = 0; I < C.Count(); ++I)
        Sum += C.Items(I)->LinesOfCode;
    return Sum;
}

template <class T>
Longint IndexOfObject(TContainer& C, T* Item) {
    for (Longint I = 0; I < C.Count(); ++I)
        if (C.At(I) == Item)
            return I;
    return -1;
}

} // namespace

// --- collections ---

TScanCollection::TScanCollection() {
    SetOwnsObjects(true);
    SetSorted(true);
    SetDuplicates(1);
}

void TScanCollection::CheckItem(TStreamable* Item) const {
    if (Item != nullptr && !Item->ClassType().InheritsFrom(ItemClass()))
        throw EInvalidCast("Invalid class typecast");
}

void TScanCollection::DoInsert(Longint Index, TStreamable* Item) {
    CheckItem(Item);
    TCollection::DoInsert(Index, Item);
}

void TScanCollection::DoPut(Longint Index, TStreamable* Item) {
    CheckItem(Item);
    TCollection::DoPut(Index, Item);
}

void TScanCollection::Load(TFilter& Stream) {
    TCollection::Load(Stream);
    // Whatever the header said, the model's collections own their items.
    SetOwnsObjects(true);
}

#define QX_MDB_OBJECT_COLLECTION_IMPL(Class, ItemType)                                                       \
    const TStreamableClass& Class::ItemClass() const {                                                       \
        return ItemType::StaticClass;                                                                        \
    }

QX_MDB_OBJECT_COLLECTION_IMPL(TMDBTableInfos, TMDBTableInfo)
QX_MDB_OBJECT_COLLECTION_IMPL(TMDBQueryInfos, TMDBQueryInfo)
QX_MDB_OBJECT_COLLECTION_IMPL(TMDBFormInfos, TMDBFormInfo)
QX_MDB_OBJECT_COLLECTION_IMPL(TMDBReportInfos, TMDBReportInfo)
QX_MDB_OBJECT_COLLECTION_IMPL(TMDBMacroInfos, TMDBMacroInfo)
QX_MDB_OBJECT_COLLECTION_IMPL(TMDBModuleInfos, TMDBModuleInfo)
QX_MDB_OBJECT_COLLECTION_IMPL(TMDBIMEXSpecInfos, TMDBIMEXSpecInfo)
#undef QX_MDB_OBJECT_COLLECTION_IMPL

// --- hits ---

void THitInfo::Load(TFilter& Stream) {
    TStreamable::Load(Stream);
    LineInModule = ReadInt(Stream);
    Byte C = 0;
    Stream.ReadBuffer(&C, 1);
    // The main window indexes captions and images by the rating: refuse what it cannot show.
    if (C > ctYes)
        throw EReadError(Format("Stream read error: invalid compliance rating %d", int(C)));
    Compliant = static_cast<TCompliant>(C);
    Stream.ReadShortString(ErrorType);
    Stream.ReadShortString(Line);
    LineInSub = ReadInt(Stream);
    Position = ReadInt(Stream);
    Stream.ReadShortString(Sub);
    Stream.ReadShortString(Key);
    Stream.ReadShortString(Variable);
}

void THitInfo::Store(TFilter& Stream) {
    TStreamable::Store(Stream);
    WriteInt(Stream, LineInModule);
    const Byte C = Compliant;
    Stream.WriteBuffer(&C, 1);
    Stream.WriteShortString(ErrorType);
    Stream.WriteShortString(Line);
    WriteInt(Stream, LineInSub);
    WriteInt(Stream, Position);
    Stream.WriteShortString(Sub);
    Stream.WriteShortString(Key);
    Stream.WriteShortString(Variable);
}

void TMDBHitInfo::Load(TFilter& Stream) {
    THitInfo::Load(Stream);
    Stream.ReadShortString(Field);
}

void TMDBHitInfo::Store(TFilter& Stream) {
    THitInfo::Store(Stream);
    Stream.WriteShortString(Field);
}

// --- TScanInfo ---

void TScanInfo::Load(TFilter& Stream) {
    TStreamable::Load(Stream);
    Stream.ReadShortString(Name);
    ScanIndex = ReadInt(Stream);
    LinesOfCode = ReadInt(Stream);
    Stream.ReadShortString(Path);
    PageIndex = ReadInt(Stream);
    ImageIndex = ReadInt(Stream);
    SkipReserved8(Stream);
    SkipReserved8(Stream);
}

void TScanInfo::Store(TFilter& Stream) {
    TStreamable::Store(Stream);
    Stream.WriteShortString(Name);
    WriteInt(Stream, ScanIndex);
    WriteInt(Stream, LinesOfCode);
    Stream.WriteShortString(Path);
    WriteInt(Stream, PageIndex);
    WriteInt(Stream, ImageIndex);
    WriteReserved8(Stream);
    WriteReserved8(Stream);
}

void TScanInfo::Clear() {
    ScanIndex = 0;
    LinesOfCode = 0;
    PageIndex = pgBlank;
    ImageIndex = imDocument;
    Name.clear();
    Path.clear();
}

void TScanInfo::DoBeforeScan() {
    if (OnBeforeScan)
        OnBeforeScan(this);
}

void TScanInfo::DoAfterScan() {
    if (OnAfterScan)
        OnAfterScan(this);
}

/// The loop of the container scans: children from ScanIndex on, with the progress events;
/// returns false when StopScan ended it (ScanIndex then keeps the child in progress).
template <class Coll>
static bool ScanChildren(TScanInfo& Node, Coll& Children, const TStringList& KeyWords,
                         const TStringList& Excludes, void (TScanInfo::*Before)(),
                         void (TScanInfo::*After)()) {
    for (Longint I = std::max<Longint>(Node.ScanIndex, 0); I < Children.Count(); ++I) {
        Node.ScanIndex = I;
        (Node.*Before)();
        Children.Items(I)->Scan(KeyWords, Excludes);
        (Node.*After)();
        if (StopScan)
            return false;
    }
    return true;
}

// --- TQuorvex ---

TQuorvex::TQuorvex() : mProjects(std::make_unique<TProjectInfos>()), mMDBs(std::make_unique<TMDBInfos>()) {
    Name = "Untitled";
}

TQuorvex::~TQuorvex() = default;

void TQuorvex::Load(TFilter& Stream) {
    TScanInfo::Load(Stream);
    Stream.ReadShortString(Name);
    PageIndex = ReadInt(Stream);
    Byte B = 0;
    Stream.ReadBuffer(&B, 1);
    AutoSave = B != 0;
    mProjects = ReadChild<TProjectInfos>(Stream);
    // Older documents end after the projects.
    if (Stream.Position() < Stream.Size())
        mMDBs = ReadChild<TMDBInfos>(Stream);
    else
        mMDBs = std::make_unique<TMDBInfos>();
}

void TQuorvex::Store(TFilter& Stream) {
    TScanInfo::Store(Stream);
    Stream.WriteShortString(Name);
    WriteInt(Stream, PageIndex);
    const Byte B = AutoSave ? 1 : 0;
    Stream.WriteBuffer(&B, 1);
    Stream.WriteObject(mProjects.get());
    Stream.WriteObject(mMDBs.get());
}

TCompliant TQuorvex::GetCompliant() const {
    return LowestOf(*mMDBs, LowestOf(*mProjects));
}

void TQuorvex::Clear() {
    TScanInfo::Clear();
    PageIndex = pgBlank;
    AutoSave = false;
    mProjects->FreeAll();
    mMDBs->FreeAll();
    Name = "Untitled";
}

void TQuorvex::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    StopScan = false;
    if (!ScanChildren(*this, *mProjects, KeyWords, Excludes, &TQuorvex::DoBeforeScan, &TQuorvex::DoAfterScan))
        return;
    // Databases are always scanned from the first; ScanIndex belongs to the projects.
    for (Longint I = 0; I < mMDBs->Count(); ++I) {
        DoBeforeScan();
        mMDBs->Items(I)->Scan(KeyWords, Excludes);
        DoAfterScan();
        if (StopScan)
            return;
    }
    ScanIndex = 0;
}

void TQuorvex::AddProject(TProjectInfo* Project) {
    AddOwned(*mProjects, Project);
    PageIndex = pgQuorvex;
}

void TQuorvex::AddMDB(TMDBInfo* MDB) {
    AddOwned(*mMDBs, MDB);
    PageIndex = pgQuorvex;
}

Longint TQuorvex::ProjectCount() const {
    return mProjects->Count();
}

Longint TQuorvex::MDBCount() const {
    return mMDBs->Count();
}

TProjectInfo* TQuorvex::GetProject(Longint Index) const {
    return mProjects->Items(Index);
}

TMDBInfo* TQuorvex::GetMDB(Longint Index) const {
    return mMDBs->Items(Index);
}

Longint TQuorvex::IndexOfProject(TProjectInfo* Project) const {
    return IndexOfObject(*mProjects, Project);
}

void TQuorvex::DeleteProject(Longint Index) {
    mProjects->AtFree(Index);
    PageIndex = ProjectCount() > 0 ? pgQuorvex : pgBlank;
}

void TQuorvex::DeleteMDB(Longint Index) {
    mMDBs->AtFree(Index);
    // The number of projects decides, as in DeleteProject.
    PageIndex = ProjectCount() > 0 ? pgQuorvex : pgBlank;
}

Longint TQuorvex::TotalLinesOfCode() const {
    Longint Sum = 0;
    for (Longint I = 0; I < mProjects->Count(); ++I)
        Sum += mProjects->Items(I)->ProjectLinesOfCode();
    for (Longint I = 0; I < mMDBs->Count(); ++I)
        Sum += mMDBs->Items(I)->MDBLinesOfCode();
    return Sum;
}

// --- TProjectInfo ---

TProjectInfo::TProjectInfo()
    : mModules(std::make_unique<TModuleInfos>()), mVBXs(std::make_unique<TVBXInfos>()) {
    ImageIndex = imProject;
    PageIndex = pgProject;
}

TProjectInfo::~TProjectInfo() = default;

void TProjectInfo::Load(TFilter& Stream) {
    TScanInfo::Load(Stream);
    mModules = ReadChild<TModuleInfos>(Stream);
    mVBXs = ReadChild<TVBXInfos>(Stream);
}

void TProjectInfo::Store(TFilter& Stream) {
    TScanInfo::Store(Stream);
    Stream.WriteObject(mModules.get());
    Stream.WriteObject(mVBXs.get());
}

TCompliant TProjectInfo::GetCompliant() const {
    return LowestOf(*mModules);
}

void TProjectInfo::Clear() {
    TScanInfo::Clear();
    ImageIndex = imProject;
    PageIndex = pgProject;
    mModules->FreeAll();
    mVBXs->FreeAll();
}

void TProjectInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    StopScan = false;
    if (ScanChildren(*this, *mModules, KeyWords, Excludes, &TProjectInfo::DoBeforeScan,
                     &TProjectInfo::DoAfterScan))
        ScanIndex = 0;
}

void TProjectInfo::AddModule(TModuleInfo* Module) {
    AddOwned(*mModules, Module);
}

void TProjectInfo::AddVBX(TVBXInfo* VBX) {
    AddOwned(*mVBXs, VBX);
}

Longint TProjectInfo::ModuleCount() const {
    return mModules->Count();
}

Longint TProjectInfo::VBXCount() const {
    return mVBXs->Count();
}

TModuleInfo* TProjectInfo::GetModule(Longint Index) const {
    return mModules->Items(Index);
}

TVBXInfo* TProjectInfo::GetVBX(Longint Index) const {
    return mVBXs->Items(Index);
}

void TProjectInfo::RemoveModule(TModuleInfo* Module) {
    const Longint I = IndexOfObject(*mModules, Module);
    if (I >= 0)
        mModules->AtFree(I);
}

Longint TProjectInfo::ProjectLinesOfCode() const {
    return SumLinesOfCode(*mModules);
}

// --- TModuleInfo ---

TModuleInfo::TModuleInfo() : mHits(std::make_unique<THitInfos>()) {
    ImageIndex = imCodeModule;
    PageIndex = pgModule;
}

TModuleInfo::~TModuleInfo() = default;

void TModuleInfo::Load(TFilter& Stream) {
    TScanInfo::Load(Stream);
    LoadHits(Stream, mHits);
}

void TModuleInfo::Store(TFilter& Stream) {
    TScanInfo::Store(Stream);
    StoreHits(Stream, *mHits);
}

TCompliant TModuleInfo::GetCompliant() const {
    return LowestOf(*mHits);
}

void TModuleInfo::Clear() {
    TScanInfo::Clear();
    mCurrentSub.clear();
    mHits->FreeAll();
}

void TModuleInfo::AddHit(THitInfo* Hit) {
    AddOwned(*mHits, Hit);
}

Longint TModuleInfo::HitCount() const {
    return mHits->Count();
}

THitInfo* TModuleInfo::GetHit(Longint Index) const {
    return mHits->Items(Index);
}

Longint TModuleInfo::IndexOfHit(THitInfo* Hit) const {
    return IndexOfObject(*mHits, Hit);
}

void TModuleInfo::DeleteHit(Longint Index) {
    mHits->AtFree(Index);
}

const std::string& TModuleInfo::FileName() {
    // Path is the folder of the project or one resolved from it, so the name is looked up there;
    // the line count and the load that follow it use the name found.
    if (mFileNameOf != Path + Name) {
        mFileName = ResolveInFolder(Path, Name);
        mFileNameOf = Path + Name;
    }
    return mFileName;
}

template <class F>
auto TModuleInfo::WithFile(F&& Use) {
    try {
        return Use(FileName());
    } catch (const EFOpenError&) {
        // Renamed or gone since it was found: looked up afresh, and named as found now.
        std::string Again = ResolveInFolder(Path, Name);
        if (Again == mFileName)
            throw;
        mFileName = std::move(Again);
        return Use(mFileName);
    }
}

void TModuleInfo::LoadSource() {
    // Lines read by the line count serve the scan while the file is as it was then; a file changed
    // or gone since is read as it is now.
    if (std::exchange(mReadAhead, false)) {
        if (mSourceLines.StillAsRead(mFileName)) {
            mCurrentSub = "Declarations";
            return;
        }
        mSourceLines.Clear();
    }
    if (!mSourceLines.Empty() || Name.empty())
        return;
    WithFile([&](const std::string& File) { mSourceLines.LoadFromFile(File); });
    LinesOfCode = static_cast<Longint>(mSourceLines.Count());
    mCurrentSub = "Declarations";
}

void TModuleInfo::ReleaseSource() {
    ScanIndex = 0;
    mReadAhead = false;
    mSourceLines.Clear();
}

std::size_t TModuleInfo::CountLines(std::size_t KeepUpTo) {
    if (Name.empty())
        return 0;
    if (KeepUpTo > 0 && mSourceLines.Empty()) {
        LoadSource();
        if (const std::size_t Bytes = mSourceLines.Text().size(); Bytes <= KeepUpTo) {
            mReadAhead = true;
            return Bytes;
        }
        ReleaseSource();
        return 0;
    }
    LinesOfCode =
        WithFile([](const std::string& File) { return static_cast<Longint>(CountSourceLines(File)); });
    return 0;
}

void TModuleInfo::Scan(const TStringList& KeyWords, const TStringList& Excludes) {
    StopScan = false;
    // Project readers give upper-case file names.
    const bool IsForm = Name.find(".FRM") != std::string::npos;
    LoadSource();
    TKeywordMatcher Matcher(KeyWords);
    const std::string Filename = Path + Name;
    Longint InSub = 0;
    int Nesting = 0;
    const Longint Count = std::min(LinesOfCode, LoadedLineCount());
    const Longint From = std::max<Longint>(ScanIndex, 0);
    // Where keywords start in the lines still to scan, found block by block ahead of the line in
    // hand once a hit handler is bound: a line holds a keyword when one starts in it and ends
    // before it does. Only the starts of one block are held, however long the text or a line.
    const std::string_view Text = mSourceLines.Text();
    const TKeywordIndex& Index = Matcher.Index();
    std::vector<TKeyStart> Starts;
    std::size_t NextStart = 0, FoundTo = 0;
    std::vector<std::size_t> InLine, InCode; // the starts in the line's first part, and in its code
    bool Marked = false;
    // The next start before End, from the block in hand or the next one; nullptr for none.
    auto StartBefore = [&](std::size_t End) -> const TKeyStart* {
        while (NextStart == Starts.size()) {
            if (FoundTo >= End || FoundTo >= Text.size())
                return nullptr;
            // A block's keywords may reach past its end: the text searched runs on by the longest.
            const std::size_t To = std::min(FoundTo + ScanBlockBytes, Text.size());
            Starts.clear();
            NextStart = 0;
            Index.FindStarts(Text.substr(FoundTo, To - FoundTo + Index.LongestKey()), Starts);
            while (!Starts.empty() && Starts.back().Pos >= To - FoundTo)
                Starts.pop_back(); // the next block's
            for (TKeyStart& S : Starts) {
                S.Pos += FoundTo;
                S.End += FoundTo;
            }
            FoundTo = To;
        }
        return Starts[NextStart].Pos < End ? &Starts[NextStart++] : nullptr;
    };
    for (Longint I = From; I < Count; ++I) {
        ScanIndex = I;
        DoBeforeScan();
        const std::string_view Raw = mSourceLines.Line(static_cast<std::size_t>(I));
        const std::size_t LineBegin = mSourceLines.LineStart(static_cast<std::size_t>(I));
        const std::size_t LineEnd = LineBegin + Raw.size();
        if (OnHit && !Marked) {
            FoundTo = LineBegin;
            Marked = true;
        }
        bool Holds = false;
        InLine.clear();
        if (Marked) {
            // The code the keywords are matched in is the part of the line the matching keeps.
            std::optional<std::size_t> CodeEnd;
            while (const TKeyStart* S = StartBefore(LineEnd))
                if (S->Pos >= LineBegin) {
                    if (!CodeEnd) {
                        const std::string_view Code = TrimLeadingBlanksView(Raw);
                        CodeEnd = static_cast<std::size_t>(Code.data() + Code.size() - Text.data());
                    }
                    Holds = Holds || S->End <= LineEnd;
                    if (S->Pos < *CodeEnd)
                        InLine.push_back(S->Pos);
                }
        }
        const bool Candidate = OnHit && Holds;
        // A form file's layout block, from its "Begin" line to the matching "End", is no code.
        bool Layout = false;
        if (IsForm) {
            if (Raw.starts_with("Begin")) {
                ++Nesting;
                Layout = true;
            } else if (Nesting > 0) {
                if (Raw.starts_with("End"))
                    --Nesting;
                Layout = true;
            }
        }
        if (!Layout) {
            // Stripping the comment and the leading blanks only takes text away, so a line that
            // cannot declare a routine and holds no keyword at all needs neither.
            const bool Declares = MayDeclare(Raw);
            const std::string_view L =
                Declares || Candidate ? TrimLeadingBlanksView(StripCommentView(Raw)) : std::string_view();
            std::string D = Declares ? DeclName(L) : std::string();
            if (!D.empty()) {
                mCurrentSub = std::move(D);
                InSub = 0;
            } else {
                ++InSub;
            }
            if (Candidate) {
                const auto CodeBegin = static_cast<std::size_t>(L.data() - Text.data());
                InCode.clear();
                for (const std::size_t P : InLine)
                    if (P >= CodeBegin && P - CodeBegin < L.size())
                        InCode.push_back(P - CodeBegin);
                Matcher.Match(L, InCode, Excludes, [&](Longint K, Longint P, const std::string& W) {
                    // Default-initialised: the members set their own values, the rest is filled here.
                    std::unique_ptr<THitInfo> Hit(new THitInfo);
                    Hit->Line = std::string(L);
                    Hit->LineInModule = I;
                    Hit->LineInSub = InSub;
                    Hit->Position = P;
                    Hit->Sub = mCurrentSub;
                    Hit->Variable = W;
                    Hit->Key = Matcher.Key(K);
                    OfferHit(*this, OnHit, std::move(Hit), Filename);
                });
            }
        }
        DoAfterScan();
        if (StopScan)
            return;
    }
    ScanIndex = 0;
    ReleaseSource();
    if (HitCount() > 0)
        ImageIndex += ModuleHitsStep;
}

// --- TVBXInfo ---

TVBXInfo::TVBXInfo() {
    PageIndex = pgVBX;
    ImageIndex = imVBX;
}

TVBXInfo::TVBXInfo(const std::string& FileName, const std::string& BaseFolder) : TVBXInfo() {
    Name = ExtractWindowsName(FileName);
    Path = ExtractWindowsPath(FileName);
    // A plain name in a plain folder is looked up in the folder's listing, as modules are.
    const bool Plain = Path.empty() && BaseFolder.starts_with('/') && BaseFolder.ends_with('/') &&
                       BaseFolder.find('\\') == std::string::npos;
    const std::string File =
        Plain ? ResolveInFolder(BaseFolder, FileName) : ResolveWindowsPath(BaseFolder, FileName);
    if (!FileExists(File) && !DirectoryExists(File))
        return;
    // A folder, a pipe or a device is refused by name rather than taken for a control without
    // version.
    CheckRegularFile(File);
    // A control without a readable version resource keeps empty version fields rather than
    // stopping the reading of its project.
    try {
        const TVerInfoRes Info(File);
        Version = Info.FixedFileVersion();
        Company = Info.GetString(0);
        Product = Info.GetString(7);
        Description = Info.GetString(1);
    } catch (const ENoVerInfoError&) {
    } catch (const EVerInfoError&) {
    } catch (const eNoFixeVerInfo&) {
    }
}

void TVBXInfo::Load(TFilter& Stream) {
    TScanInfo::Load(Stream);
    Stream.ReadShortString(Company);
    Stream.ReadShortString(Product);
    Stream.ReadShortString(Description);
    Stream.ReadShortString(Version);
}

void TVBXInfo::Store(TFilter& Stream) {
    TScanInfo::Store(Stream);
    Stream.WriteShortString(Company);
    Stream.WriteShortString(Product);
    Stream.WriteShortString(Description);
    Stream.WriteShortString(Version);
}

TCompliant TVBXInfo::GetCompliant() const {
    return ctMayBe;
}

void TVBXInfo::Clear() {
    TScanInfo::Clear();
    PageIndex = pgVBX;
    ImageIndex = imVBX;
    Company.clear();
    Description.clear();
    Product.clear();
    Version.clear();
}

void TVBXInfo::Scan(const TStringList&, const TStringList&) {}

// --- TMDBInfo ---

// Each kind in its own collection class, which is what a document stores for it.
TMDBInfo::TMDBInfo()
    : mObjects{std::make_unique<TMDBTableInfos>(),   std::make_unique<TMDBQueryInfos>(),
               std::make_unique<TMDBFormInfos>(),    std::make_unique<TMDBReportInfos>(),
               std::make_unique<TMDBMacroInfos>(),   std::make_unique<TMDBModuleInfos>(),
               std::make_unique<TMDBIMEXSpecInfos>()} {
    ImageIndex = imMDB;
    PageIndex = pgMDB;
}

TMDBInfo::~TMDBInfo() = default;

void TMDBInfo::Load(TFilter& Stream) {
    TScanInfo::Load(Stream);
    // Any of the seven collection classes is accepted in any of the seven places.
    for (auto& Objects : mObjects)
        Objects = ReadChild<TMDBObjectInfos>(Stream);
}

void TMDBInfo::Store(TFilter& Stream) {
    TScanInfo::Store(Stream);
    for (auto& Objects : mObjects)
        Stream.WriteObject(Objects.get());
}

TCompliant TMDBInfo::GetCompliant() const {
    TCompliant Result = ctYes;
    for (auto& Objects : mObjects)
        Result = LowestOf(*Objects, Result);
    return Result;
}

void TMDBInfo::Clear() {
    TScanInfo::Clear();
    ImageIndex = imMDB;
    PageIndex = pgMDB;
    for (auto& Objects : mObjects)
        Objects->FreeAll();
}

void TMDBInfo::AddObject(TMDBObjectKind Kind, TMDBObjectInfo* Object) {
    AddOwned(*mObjects[Kind], Object);
}

TMDBObjectInfo* TMDBInfo::GetObject(TMDBObjectKind Kind, Longint Index) const {
    return mObjects[Kind]->Items(Index);
}

Longint TMDBInfo::ObjectCount() const {
    Longint Sum = 0;
    for (auto& Objects : mObjects)
        Sum += Objects->Count();
    return Sum;
}

Longint TMDBInfo::MDBLinesOfCode() const {
    Longint Sum = 0;
    for (auto& Objects : mObjects)
        Sum += SumLinesOfCode(*Objects);
    return Sum;
}

// --- TMDBObjectInfo ---

TMDBObjectInfo::TMDBObjectInfo() : mHits(std::make_unique<TMDBHitInfos>()) {
    ImageIndex = imTable;
    PageIndex = pgMDBObject;
}

TMDBObjectInfo::~TMDBObjectInfo() = default;

void TMDBObjectInfo::Load(TFilter& Stream) {
    TScanInfo::Load(Stream);
    LoadHits(Stream, mHits);
}

void TMDBObjectInfo::Store(TFilter& Stream) {
    TScanInfo::Store(Stream);
    StoreHits(Stream, *mHits);
}

TCompliant TMDBObjectInfo::GetCompliant() const {
    return LowestOf(*mHits);
}

void TMDBObjectInfo::Clear() {
    TScanInfo::Clear();
    ImageIndex = imTable;
    PageIndex = pgMDBObject;
    CurrentSub.clear();
    mHits->FreeAll();
}

void TMDBObjectInfo::AddHit(TMDBHitInfo* Hit) {
    AddOwned(*mHits, Hit);
}

Longint TMDBObjectInfo::HitCount() const {
    return mHits->Count();
}

TMDBHitInfo* TMDBObjectInfo::GetHit(Longint Index) const {
    return mHits->Items(Index);
}

Longint TMDBObjectInfo::IndexOfHit(TMDBHitInfo* Hit) const {
    return IndexOfObject(*mHits, Hit);
}

void TMDBObjectInfo::DeleteHit(Longint Index) {
    mHits->AtFree(Index);
}

// --- documents ---

void SaveScanDocument(TQuorvex& Document, const std::string& FileName) {
    SaveFileSafely(FileName, [&](TStream& Data) {
        TBufferedFilter Stream(&Data, 4096);
        Stream.WriteObject(&Document);
        Stream.FlushBuffer();
    });
}

std::unique_ptr<TQuorvex> LoadScanDocument(const std::string& FileName) {
    TBufFileStream Stream(FileName, fmOpenRead, 4096);
    try {
        std::unique_ptr<TStreamable> Obj(Stream.ReadObject());
        auto* Document = As<TQuorvex>(Obj.get());
        Obj.release();
        return std::unique_ptr<TQuorvex>(Document);
    } catch (Exception& E) {
        // What went wrong inside the stream says little without the file it came from.
        E.SetMessage(Format("'%s' is damaged or not a scan document (%s).", FileName, E.Message()));
        throw;
    }
}
