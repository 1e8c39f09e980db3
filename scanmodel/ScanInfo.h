#pragma once
// The scan document's object tree: the document root, Visual Basic projects with their modules
// and custom-control files, Access databases with their seven kinds of objects, and the keyword
// hits found in them. Every node rolls up a compliance rating from its hits, tells the main
// window which notebook page and tree image show it, scans itself with a keyword list and an
// exclusion list, and stores itself in a scan document (*.QXS).
//
// Stored records (little-endian; short strings are one length byte and at most 255 bytes;
// "object" is a class-name tag followed by that class's record; reserved8 is eight bytes that
// held an event binding, written as zeros and ignored when read):
//   node part (every TScanInfo)  Name, ScanIndex int32, LinesOfCode int32, Path, PageIndex int32,
//                                ImageIndex int32, reserved8 (OnAfterScan), reserved8 (OnBeforeScan)
//   TQuorvex         node part, Name again, PageIndex again, AutoSave byte, Projects object,
//                    MDBs object (optional: older documents end after Projects)
//   TProjectInfo     node part, Modules object, VBXs object
//   TModuleInfo      node part, Hits object, reserved8 (OnHit)
//   TVBXInfo         node part, Company, Product, Description, Version
//   TMDBInfo         node part, Tables, Querys, Forms, Reports, Macros, Modules, IMEXSpecs objects
//   TMDB*Info        node part, Hits object, reserved8 (OnHit)
//   THitInfo         LineInModule int32, Compliant byte, ErrorType, Line, LineInSub int32,
//                    Position int32, Sub, Key, Variable
//   TMDBHitInfo      the hit record, then Field
//   collections      the container record of streams/Containr.h (header 00 01 01 00, count, items)
// A new empty document is 105 bytes.

#include "platform/rtl/Classes.h"
#include "scanmodel/SourceFiles.h"
#include "streams/Containr.h"

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The database engine (platform/dao) and the Access application service (platform/access).
// The latter's namespace is msaccess: a namespace "access" would collide with POSIX access().
namespace dao {
class Database;
class TableDef;
class QueryDef;
class Recordset;
} // namespace dao
namespace msaccess {
class Application;
class AccessObject;
} // namespace msaccess

class THitInfo;
class TMDBHitInfo;
class TVBXInfo;
class TModuleInfo;
class TProjectInfo;
class TMDBInfo;
class TMDBObjectInfo;

/// Compliance rating, stored in one byte. A lower value is worse; every roll-up takes the lowest.
enum TCompliant : Byte { ctNo = 0, ctMayBe = 1, ctYes = 2 };

/// The seven kinds of database object, in the order in which a database holds, stores, scans,
/// shows and reports them.
enum TMDBObjectKind { okTable, okQuery, okForm, okReport, okMacro, okModule, okIMEXSpec };
constexpr std::size_t MDBObjectKindCount = 7;
/// Every kind in that order, for a loop over a database's objects.
inline constexpr TMDBObjectKind MDBObjectKinds[MDBObjectKindCount] = {okTable, okQuery,  okForm,    okReport,
                                                                      okMacro, okModule, okIMEXSpec};

/// The hit callback of a module scan. Hit is the new, filled hit; the handler may change it or
/// put another object in its place (it then frees the one it replaces). Filename is Path + Name
/// of the node. Accept is mrNone on entry; mrNone or mrOk keep the hit, mrCancel drops it,
/// mrAbort drops it and ends the whole scan with the silent EAbort.
using THitEvent =
    std::function<void(TObject* Sender, THitInfo*& Hit, const std::string& Filename, TModalResult& Accept)>;
/// The same for the hits of a database object.
using TMDBHitEvent = std::function<void(TObject* Sender, TMDBHitInfo*& Hit, const std::string& Filename,
                                        TModalResult& Accept)>;

/// Set by the scan wizard's Cancel button while a scan runs; every scan loop tests it after each
/// unit of work and returns at once, keeping its ScanIndex. Scans a caller starts clear it.
extern bool StopScan;

/// Registers the 30 stored classes of the scan document, in their fixed order. Runs at start-up
/// by itself; calling it again does nothing.
void RegisterScanClasses();

// --- collections ---

/// Base of the model's collections: owning, kept in the order of adding, accepting any item of
/// its item class (and only those: anything else raises "Invalid class typecast", also while a
/// document is read, so no corrupt file can put a wrong object where the code expects another).
class TScanCollection : public TCollection {
public:
    TScanCollection();
    /// The class every item must be or descend from.
    virtual const TStreamableClass& ItemClass() const = 0;
    void DoInsert(Longint Index, TStreamable* Item) override;
    void DoPut(Longint Index, TStreamable* Item) override;
    void Load(TFilter& Stream) override;

private:
    void CheckItem(TStreamable* Item) const;
};

template <class Item>
class TScanCollectionOf : public TScanCollection {
public:
    const TStreamableClass& ItemClass() const override { return Item::StaticClass; }
    /// The item at Index; EListError "List index out of bounds (%d)" outside 0..Count-1.
    Item* Items(Longint Index) const { return static_cast<Item*>(At(Index)); }
};

class THitInfos final : public TScanCollectionOf<THitInfo> {
    QX_STREAMABLE(THitInfos)
};
class TMDBHitInfos final : public TScanCollectionOf<TMDBHitInfo> {
    QX_STREAMABLE(TMDBHitInfos)
};
class TVBXInfos final : public TScanCollectionOf<TVBXInfo> {
    QX_STREAMABLE(TVBXInfos)
};
class TModuleInfos final : public TScanCollectionOf<TModuleInfo> {
    QX_STREAMABLE(TModuleInfos)
};
class TProjectInfos final : public TScanCollectionOf<TProjectInfo> {
    QX_STREAMABLE(TProjectInfos)
};
class TMDBInfos final : public TScanCollectionOf<TMDBInfo> {
    QX_STREAMABLE(TMDBInfos)
};
/// Any kind of database object; each of the seven kinds has its own collection class below,
/// which holds objects of that kind only.
class TMDBObjectInfos : public TScanCollectionOf<TMDBObjectInfo> {
    QX_STREAMABLE(TMDBObjectInfos)
};

#define QX_MDB_OBJECT_COLLECTION(Class, ItemType)                                                            \
    class ItemType;                                                                                          \
    class Class final : public TMDBObjectInfos {                                                             \
        QX_STREAMABLE(Class)                                                                                 \
    public:                                                                                                  \
        const TStreamableClass& ItemClass() const override;                                                  \
    };

QX_MDB_OBJECT_COLLECTION(TMDBTableInfos, TMDBTableInfo)
QX_MDB_OBJECT_COLLECTION(TMDBQueryInfos, TMDBQueryInfo)
QX_MDB_OBJECT_COLLECTION(TMDBFormInfos, TMDBFormInfo)
QX_MDB_OBJECT_COLLECTION(TMDBReportInfos, TMDBReportInfo)
QX_MDB_OBJECT_COLLECTION(TMDBMacroInfos, TMDBMacroInfo)
QX_MDB_OBJECT_COLLECTION(TMDBModuleInfos, TMDBModuleInfo)
QX_MDB_OBJECT_COLLECTION(TMDBIMEXSpecInfos, TMDBIMEXSpecInfo)
#undef QX_MDB_OBJECT_COLLECTION

// --- hits ---

/// One keyword hit in a module. A new hit has numbers 0, texts empty and Compliant ctNo.
class THitInfo : public TStreamable {
    QX_STREAMABLE(THitInfo)
public:
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;

    TCompliant Compliant = ctNo;
    std::string ErrorType; ///< "Computation", "Branching", "Sort" or ""
    std::string Line;      ///< the scanned text
    Longint LineInModule = 0;
    Longint LineInSub = 0; ///< lines since the last routine declaration
    Longint Position = 0;  ///< 1-based position of Key in Line
    std::string Sub;       ///< routine name, "Declarations" before the first routine
    std::string Key;       ///< the keyword that matched
    std::string Variable;  ///< the whole word around it
};

/// One keyword hit in a database object: also names the field or control.
class TMDBHitInfo final : public THitInfo {
    QX_STREAMABLE(TMDBHitInfo)
public:
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;

    std::string Field;
};

// --- nodes ---

/// Base of every node of the scan document.
class TScanInfo : public TStreamable {
    QX_STREAMABLE(TScanInfo)
public:
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;

    /// The node's rating: the lowest rating below it, ctYes when nothing below is rated.
    virtual TCompliant GetCompliant() const = 0;
    /// Resets the node to its empty state; events stay bound.
    virtual void Clear();
    /// Scans the node: KeyWords are matched case-sensitively as substrings, Excludes (compared
    /// without regard to case) veto a match by the whole word around it. Both lists stay the
    /// caller's; Excludes may grow while the scan runs.
    virtual void Scan(const TStringList& KeyWords, const TStringList& Excludes) = 0;

    TCompliant Compliant() const { return GetCompliant(); }

    Longint ScanIndex = 0;   ///< child or line in progress; a stopped scan resumes there
    Longint LinesOfCode = 0; ///< units of work of a module or database object
    std::string Name;        ///< file name without folder, object name, or document title
    std::string Path;        ///< folder, ending with '/'
    Longint PageIndex = 0;   ///< page of the main window's notebook that shows the node
    Longint ImageIndex = 0;  ///< image of the node in the main window's tree
    TNotifyEvent OnAfterScan;
    TNotifyEvent OnBeforeScan;

protected:
    /// Calls OnBeforeScan / OnAfterScan with this node as sender, when bound.
    void DoBeforeScan();
    void DoAfterScan();
};

/// The scan document: its projects and databases.
class TQuorvex final : public TScanInfo {
    QX_STREAMABLE(TQuorvex)
public:
    TQuorvex();
    ~TQuorvex() override;
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;
    TCompliant GetCompliant() const override;
    void Clear() override;
    /// Scans the projects from ScanIndex on, then every database.
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;

    TProjectInfos& Projects() const { return *mProjects; }
    TMDBInfos& MDBs() const { return *mMDBs; }

    /// Appends Project (the document owns it from now on, also when nil or refused) and shows
    /// the document page.
    void AddProject(TProjectInfo* Project);
    void AddMDB(TMDBInfo* MDB);
    Longint ProjectCount() const;
    Longint MDBCount() const;
    TProjectInfo* GetProject(Longint Index) const;
    TMDBInfo* GetMDB(Longint Index) const;
    /// Position of that very object, -1 when absent.
    Longint IndexOfProject(TProjectInfo* Project) const;
    /// Frees the item; the document page stays shown while a project remains.
    void DeleteProject(Longint Index);
    void DeleteMDB(Longint Index);
    Longint TotalLinesOfCode() const;

    bool AutoSave = false;

private:
    std::unique_ptr<TProjectInfos> mProjects;
    std::unique_ptr<TMDBInfos> mMDBs;
};

/// One Visual Basic project file (.vbp/.mak): its modules and custom-control files.
class TProjectInfo final : public TScanInfo {
    QX_STREAMABLE(TProjectInfo)
public:
    TProjectInfo();
    ~TProjectInfo() override;
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;
    /// The lowest rating of the modules; custom-control files do not count.
    TCompliant GetCompliant() const override;
    void Clear() override;
    /// Scans the modules from ScanIndex on.
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;

    TModuleInfos& Modules() const { return *mModules; }
    TVBXInfos& VBXs() const { return *mVBXs; }

    void AddModule(TModuleInfo* Module);
    void AddVBX(TVBXInfo* VBX);
    Longint ModuleCount() const;
    Longint VBXCount() const;
    TModuleInfo* GetModule(Longint Index) const;
    TVBXInfo* GetVBX(Longint Index) const;
    /// Frees that very object; nothing happens when the project does not hold it.
    void RemoveModule(TModuleInfo* Module);
    Longint ProjectLinesOfCode() const;

private:
    std::unique_ptr<TModuleInfos> mModules;
    std::unique_ptr<TVBXInfos> mVBXs;
};

/// One source file of a project (.frm, .bas, .cls, .ctl) and the hits found in it.
class TModuleInfo final : public TScanInfo {
    QX_STREAMABLE(TModuleInfo)
public:
    TModuleInfo();
    ~TModuleInfo() override;
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;
    TCompliant GetCompliant() const override;
    void Clear() override;
    /// Scans the lines from ScanIndex on, reporting each hit through OnHit.
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;

    THitInfos& Hits() const { return *mHits; }
    void AddHit(THitInfo* Hit);
    Longint HitCount() const;
    THitInfo* GetHit(Longint Index) const;
    Longint IndexOfHit(THitInfo* Hit) const;
    void DeleteHit(Longint Index);

    /// When no lines are loaded and Name is set: reads the file Path + Name (a name from a
    /// Windows project is looked up as ResolveWindowsPath does), sets LinesOfCode and makes
    /// "Declarations" the routine in force. Raises the file error when it cannot be read.
    void LoadSource();
    /// ScanIndex := 0 and drops the loaded lines.
    void ReleaseSource();
    /// Sets LinesOfCode to the number of lines LoadSource would load. A file of at most KeepUpTo
    /// bytes is read whole and kept for the scan, which reads it again only when the file has
    /// changed since; a larger one is counted, not kept. Returns the bytes kept. Nothing for a
    /// module without a name; raises as LoadSource.
    std::size_t CountLines(std::size_t KeepUpTo = 0);
    /// Lines held between LoadSource and ReleaseSource.
    Longint LoadedLineCount() const { return static_cast<Longint>(mSourceLines.Count()); }
    /// The routine the scan is in.
    const std::string& CurrentSub() const { return mCurrentSub; }

    THitEvent OnHit;

private:
    /// The file Path + Name names, looked up once and kept while Path and Name stay as they are.
    const std::string& FileName();
    /// Use(the file's name); when the file cannot be opened, it is looked up again and, under a
    /// name other than before, used once more.
    template <class F>
    auto WithFile(F&& Use);

    std::unique_ptr<THitInfos> mHits;
    TSourceText mSourceLines;
    std::string mCurrentSub;
    std::string mFileName;
    std::string mFileNameOf; ///< the Path + Name mFileName was found for
    bool mReadAhead = false; ///< the lines held were read by the line count, not yet scanned
};

/// The most module text of one project kept between the line count and the scan.
constexpr std::size_t ProjectReadAheadBytes = std::size_t{32} << 20;

/// One custom-control file (.vbx, .ocx) named by a project, described by its version resource.
class TVBXInfo final : public TScanInfo {
    QX_STREAMABLE(TVBXInfo)
public:
    TVBXInfo();
    /// Name and Path are split from FileName as a project file gives it (separators '\', '/'
    /// or ':'). When the file exists (relative names looked up from BaseFolder, or the current
    /// folder when BaseFolder is empty), the version fields come from its version resource; a
    /// file without a readable one leaves them empty. A name that is no regular file (a folder, a
    /// pipe, a device) raises EFOpenError as CheckRegularFile does.
    explicit TVBXInfo(const std::string& FileName, const std::string& BaseFolder = {});
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;
    /// Always ctMayBe.
    TCompliant GetCompliant() const override;
    void Clear() override;
    /// Custom-control files are not scanned.
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;

    std::string Company;
    std::string Description;
    std::string Product;
    std::string Version;
};

/// One Access database: seven collections of database objects.
class TMDBInfo final : public TScanInfo {
    QX_STREAMABLE(TMDBInfo)
public:
    TMDBInfo();
    ~TMDBInfo() override;
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;
    /// The lowest rating over its seven collections of objects.
    TCompliant GetCompliant() const override;
    void Clear() override;
    /// Opens the database once, lends it to its objects and scans them (MDBScan.cpp).
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    /// When assigned, an object whose scan fails (with anything but the silent EAbort) is passed
    /// here, then taken out of its collection and freed, and the scan goes on with the next one.
    /// Unassigned, the failure ends the database's scan. Not stored.
    std::function<void(TMDBObjectInfo& Object, const std::exception& Failure)> OnObjectFailed;

    /// The objects of one kind.
    TMDBObjectInfos& Objects(TMDBObjectKind Kind) const { return *mObjects[Kind]; }
    /// Appends Object to its kind's collection, which owns it from now on (also when nil or
    /// refused: an object of another kind raises "Invalid class typecast").
    void AddObject(TMDBObjectKind Kind, TMDBObjectInfo* Object);
    Longint ObjectCount(TMDBObjectKind Kind) const { return Objects(Kind).Count(); }
    TMDBObjectInfo* GetObject(TMDBObjectKind Kind, Longint Index) const;

    TMDBObjectInfos& Tables() const { return Objects(okTable); }
    TMDBObjectInfos& Querys() const { return Objects(okQuery); }
    TMDBObjectInfos& Forms() const { return Objects(okForm); }
    TMDBObjectInfos& Reports() const { return Objects(okReport); }
    TMDBObjectInfos& Macros() const { return Objects(okMacro); }
    TMDBObjectInfos& Modules() const { return Objects(okModule); }
    TMDBObjectInfos& IMEXSpecs() const { return Objects(okIMEXSpec); }

    // There is no adder for macros.
    void AddTable(TMDBObjectInfo* Table) { AddObject(okTable, Table); }
    void AddQuery(TMDBObjectInfo* Query) { AddObject(okQuery, Query); }
    void AddForm(TMDBObjectInfo* Form) { AddObject(okForm, Form); }
    void AddReport(TMDBObjectInfo* Report) { AddObject(okReport, Report); }
    void AddModule(TMDBObjectInfo* Module) { AddObject(okModule, Module); }
    void AddIMEXSpec(TMDBObjectInfo* IMEXSpec) { AddObject(okIMEXSpec, IMEXSpec); }

    Longint TableCount() const { return ObjectCount(okTable); }
    Longint QueryCount() const { return ObjectCount(okQuery); }
    Longint FormCount() const { return ObjectCount(okForm); }
    Longint ReportCount() const { return ObjectCount(okReport); }
    Longint MacroCount() const { return ObjectCount(okMacro); }
    Longint ModuleCount() const { return ObjectCount(okModule); }
    Longint IMEXSpecCount() const { return ObjectCount(okIMEXSpec); }
    TMDBObjectInfo* GetTable(Longint Index) const { return GetObject(okTable, Index); }
    TMDBObjectInfo* GetQuery(Longint Index) const { return GetObject(okQuery, Index); }
    TMDBObjectInfo* GetForm(Longint Index) const { return GetObject(okForm, Index); }
    TMDBObjectInfo* GetReport(Longint Index) const { return GetObject(okReport, Index); }
    TMDBObjectInfo* GetMacro(Longint Index) const { return GetObject(okMacro, Index); }
    TMDBObjectInfo* GetModule(Longint Index) const { return GetObject(okModule, Index); }
    TMDBObjectInfo* GetIMEXSpec(Longint Index) const { return GetObject(okIMEXSpec, Index); }
    /// Sum of the seven counts.
    Longint ObjectCount() const;
    Longint MDBLinesOfCode() const;

private:
    // Run-time state of a scan, never stored.
    std::shared_ptr<msaccess::Application> AccessApp;
    std::shared_ptr<dao::Database> Database;

    /// One collection per kind, each of its kind's collection class.
    std::array<std::unique_ptr<TMDBObjectInfos>, MDBObjectKindCount> mObjects;
};

/// Base of the seven kinds of database object and their hits.
class TMDBObjectInfo : public TScanInfo {
    QX_STREAMABLE(TMDBObjectInfo)
public:
    ~TMDBObjectInfo() override;
    void Load(TFilter& Stream) override;
    void Store(TFilter& Stream) override;
    TCompliant GetCompliant() const override;
    void Clear() override;

    /// Makes sure the object has a database: opens DatabaseFile read-only when none was lent.
    virtual void Open();
    /// Releases what Open took.
    virtual void Close();

    TMDBHitInfos& Hits() const { return *mHits; }
    void AddHit(TMDBHitInfo* Hit);
    Longint HitCount() const;
    TMDBHitInfo* GetHit(Longint Index) const;
    Longint IndexOfHit(TMDBHitInfo* Hit) const;
    void DeleteHit(Longint Index);

    /// Full file name of the database the object belongs to; set by the scan wizard.
    const std::string& DatabaseFile() const { return mDatabaseFile; }
    void SetDatabaseFile(const std::string& Value) { mDatabaseFile = Value; }

    /// Matches every keyword against one text value and reports this object's hits.
    void MatchValue(const std::string& Sub, const std::string& Line, const std::string& Field,
                    const std::string& Filename, Longint Index, const TStringList& KeyWords,
                    const TStringList& Excludes);

    TMDBHitEvent OnHit;

protected:
    TMDBObjectInfo();

    std::vector<std::string> SourceLines; ///< an exported code module's lines while scanned
    std::string CurrentSub;
    // Lent by the database node for a scan, or opened by Open; never stored.
    std::shared_ptr<dao::Database> Database;
    std::shared_ptr<msaccess::Application> AccessApp;

private:
    friend class TMDBInfo;
    std::string mDatabaseFile;
    std::unique_ptr<TMDBHitInfos> mHits;
};

/// A table definition, read through the database engine.
class TMDBTableInfo final : public TMDBObjectInfo {
    QX_STREAMABLE(TMDBTableInfo)
public:
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    void Open() override;
    void Close() override;

private:
    std::shared_ptr<dao::TableDef> TableDef; ///< the definition while open
};

/// A saved query definition, read through the database engine.
class TMDBQueryInfo final : public TMDBObjectInfo {
    QX_STREAMABLE(TMDBQueryInfo)
public:
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    void Open() override;
    void Close() override;

private:
    std::shared_ptr<dao::QueryDef> QueryDef; ///< the definition while open
};

/// A form, read in design view through the Access application.
class TMDBFormInfo final : public TMDBObjectInfo {
    QX_STREAMABLE(TMDBFormInfo)
public:
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    void Open() override;
    void Close() override;

private:
    std::shared_ptr<msaccess::AccessObject> AccessObject; ///< the open form
};

/// A report, read in design view through the Access application.
class TMDBReportInfo final : public TMDBObjectInfo {
    QX_STREAMABLE(TMDBReportInfo)
public:
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    void Open() override;
    void Close() override;

private:
    std::shared_ptr<msaccess::AccessObject> AccessObject; ///< the open report
};

/// A macro.
class TMDBMacroInfo final : public TMDBObjectInfo {
    QX_STREAMABLE(TMDBMacroInfo)
public:
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    void Open() override;
    void Close() override;
};

/// A code module, read from the text file exported beside the database.
class TMDBModuleInfo final : public TMDBObjectInfo {
    QX_STREAMABLE(TMDBModuleInfo)
public:
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    void Open() override;
    void Close() override;
};

/// An import/export spec (IMEX), read from the database's IMEX tables.
class TMDBIMEXSpecInfo final : public TMDBObjectInfo {
    QX_STREAMABLE(TMDBIMEXSpecInfo)
public:
    void Scan(const TStringList& KeyWords, const TStringList& Excludes) override;
    void Open() override;
    void Close() override;

private:
    std::shared_ptr<dao::Recordset> SpecRecordset; ///< the import/export specification's rows while open
};

/// Writes Document to FileName as a scan document (buffered filter, 4096-byte buffer) without
/// risking the file already there: it is replaced only once the whole document is written (see
/// SaveFileSafely). Raises "Cannot create file %s (<reason>)" or "Cannot write file %s (<reason>)".
void SaveScanDocument(TQuorvex& Document, const std::string& FileName);
/// Reads a scan document. Raises "Cannot open file %s"; a file that is no scan document or is
/// damaged raises the stream's error (an unregistered class name, "Invalid class typecast",
/// "Stream read error"...) with the message "'<FileName>' is damaged or not a scan document
/// (<the stream's message>).".
std::unique_ptr<TQuorvex> LoadScanDocument(const std::string& FileName);
