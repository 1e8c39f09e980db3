#pragma once
// The database engine: the objects and members that the database scans and the catalogue reader
// call, served from a snapshot of the Access file that the reader program quorvex-mdbread writes
// (platform/dao/Snapshot.h). Databases open read-only. Queries run in an in-memory SQLite database
// over the system tables that the snapshot carries. Every failure raises EOleException with a
// message that names what failed and where.
//
//   auto Engine = dao::DBEngine::Create();
//   auto Db = Engine->Workspaces(0)->OpenDatabase("/data/nwind.mdb", false, true, "");
//   for (int I = 0; I < Db->TableDefs().Count(); ++I)
//       Db->TableDefs().Item(I)->Name();
//   auto Rs = Db->OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3);
//   while (!Rs->EOF()) { Rs->Fields().Item("SpecName").Value(); Rs->MoveNext(); }

#include "platform/rtl/NamedList.h"
#include "platform/rtl/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Some C headers define EOF as a macro; the recordset member of that name must stay callable.
#ifdef EOF
#undef EOF
#endif

namespace dao {

struct Snapshot;
struct CatalogObject;
class RecordsetData;

// DAO error numbers carried in EOleException::ErrorCode.
constexpr int daoErrNotFound = 3265;        // item not found in this collection
constexpr int daoErrNoCurrentRecord = 3021; // no current record
constexpr int daoErrInvalidOperation = 3219;
constexpr int daoErrObjectClosed = 3420; // object invalid or no longer set
constexpr int daoErrFileNotFound = 3024; // could not find file
constexpr int daoErrUnrecognized = 3343; // not an Access database
constexpr int daoErrCannotRead = 3049;   // the file cannot be read (damaged, reader failed)
constexpr int daoErrNoInputTable = 3078; // a query names a table the engine does not have
constexpr int daoErrSyntax = 3075;       // a query the engine cannot run

/// One property: a name and a typed value. A property that a definition does not have outside a
/// recordset (a field's Value) raises "Invalid operation." when read.
class Property {
public:
    Property(std::string Name, Variant Value) : mName(std::move(Name)), mValue(std::move(Value)) {}
    /// A property whose value cannot be read here.
    static Property Unreadable(std::string Name);
    const std::string& Name() const { return mName; }
    Variant Value() const;

private:
    std::string mName;
    Variant mValue;
    bool mReadable = true;
};

/// Raises the engine's "Item not found in this collection." naming the item asked for.
struct ItemNotFound {
    [[noreturn]] static void Raise(const char* Noun, int Index);
    [[noreturn]] static void Raise(const char* Noun, const std::string& Name);
};
inline constexpr char kPropertyNoun[] = "property";
inline constexpr char kFieldNoun[] = "field";

/// The Properties collection of a definition or a field, in the engine's order.
class PropertyList : public TNamedList<Property, kPropertyNoun, ItemNotFound> {
public:
    /// Gives a built-in property the value stored in the file; false when there is none by that name.
    bool Set(const std::string& Name, const Variant& Value);
};

/// A column of a table or query definition, or of a recordset.
class Field {
public:
    Field(std::string Name, PropertyList Properties, std::function<Variant()> Value = {})
        : mName(std::move(Name)), mProperties(std::move(Properties)), mValue(std::move(Value)) {}
    const std::string& Name() const { return mName; }
    const PropertyList& Properties() const { return mProperties; }
    /// In a recordset the current row's value; on a definition "Invalid operation.".
    Variant Value() const;

private:
    std::string mName;
    PropertyList mProperties;
    std::function<Variant()> mValue;
};

/// The Fields collection of a definition or a recordset.
using FieldList = TNamedList<Field, kFieldNoun, ItemNotFound>;

/// A table definition: its properties (built-in ones first, then those stored with the table)
/// and its fields. Of a table whose definition or stored properties the file holds damaged only
/// the name can be read; Properties and Fields raise an error that says why.
class TableDef {
public:
    /// Damage: the message of the error that Properties and Fields raise.
    TableDef(std::string Name, PropertyList Properties, FieldList Fields, std::string Damage = {})
        : mName(std::move(Name)), mProperties(std::move(Properties)), mFields(std::move(Fields)),
          mDamage(std::move(Damage)) {}
    const std::string& Name() const { return mName; }
    const PropertyList& Properties() const;
    const FieldList& Fields() const;

private:
    std::string mName;
    PropertyList mProperties;
    FieldList mFields;
    std::string mDamage;
};

/// A saved query: its properties (with its SQL text) and its output columns as fields. As with a
/// table, only the name of a query whose stored properties are damaged can be read.
class QueryDef {
public:
    QueryDef(std::string Name, std::string SQL, PropertyList Properties, FieldList Fields,
             std::string Damage = {})
        : mName(std::move(Name)), mSQL(std::move(SQL)), mProperties(std::move(Properties)),
          mFields(std::move(Fields)), mDamage(std::move(Damage)) {}
    const std::string& Name() const { return mName; }
    const std::string& SQL() const { return mSQL; }
    const PropertyList& Properties() const;
    const FieldList& Fields() const;
    /// Releases the definition; later calls raise "Object invalid or no longer set.".
    void Close() { mClosed = true; }

private:
    void CheckOpen() const;
    std::string mName;
    std::string mSQL;
    PropertyList mProperties;
    FieldList mFields;
    std::string mDamage;
    bool mClosed = false;
};

class Database;

/// TableDefs of a database: every table in the catalogue, system tables included, in the
/// catalogue's order; looked up by index or by name (without regard to case).
class TableDefList {
public:
    explicit TableDefList(const Database* Owner) : mOwner(Owner) {}
    int Count() const;
    std::shared_ptr<TableDef> Item(int Index) const;
    std::shared_ptr<TableDef> Item(const std::string& Name) const;

private:
    const Database* mOwner;
};

class QueryDefList {
public:
    explicit QueryDefList(const Database* Owner) : mOwner(Owner) {}
    int Count() const;
    std::shared_ptr<QueryDef> Item(int Index) const;
    std::shared_ptr<QueryDef> Item(const std::string& Name) const;

private:
    const Database* mOwner;
};

/// The rows of a query, read at once. BOF and EOF are both true for an empty result;
/// RecordCount counts the rows reached so far, and MoveLast makes it exact.
class Recordset {
public:
    explicit Recordset(std::shared_ptr<RecordsetData> Data);
    ~Recordset();
    bool BOF() const;
    bool EOF() const;
    void MoveFirst();
    void MoveLast(int Options = 0);
    void MoveNext();
    long RecordCount() const;
    const FieldList& Fields() const;
    void Close();

private:
    void CheckOpen() const;
    std::shared_ptr<RecordsetData> mData;
    FieldList mFields;
    long mPosition = 0;
    long mReached = 0;
    bool mClosed = false;
};

/// An open database (read-only). Held as std::shared_ptr<dao::Database>.
class Database : public std::enable_shared_from_this<Database> {
public:
    Database(std::string FileName, std::shared_ptr<const Snapshot> Data);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& Name() const { return mFileName; }
    const TableDefList& TableDefs() const;
    const QueryDefList& QueryDefs() const;
    /// Runs a query over the system tables (MSysQueries, MSysIMEXSpecs, MSysIMEXColumns). Jet's
    /// DISTINCTROW, [bracketed names] and "double-quoted texts" are understood. A file without the
    /// import/export specification tables answers as if they were empty. Type, Options and
    /// LockEdit are accepted as DAO takes them; the result is always a read-only snapshot.
    std::shared_ptr<Recordset> OpenRecordset(const std::string& SQL, int Type = 2, int Options = 0,
                                             int LockEdit = 0);
    void Close();
    bool IsOpen() const { return !mClosed; }

    // Used by the collections.
    const Snapshot& Data() const;
    std::shared_ptr<TableDef> MakeTableDef(const CatalogObject& O) const;
    std::shared_ptr<QueryDef> MakeQueryDef(const CatalogObject& O) const;
    /// The message of the error for an object that the file holds damaged ("" when it is not).
    std::string Unreadable(const char* Kind, const CatalogObject& O) const;
    const std::vector<const CatalogObject*>& Tables() const { return mTables; }
    const std::vector<const CatalogObject*>& Queries() const { return mQueries; }

private:
    struct SqlState;
    std::string mFileName;
    std::shared_ptr<const Snapshot> mData;
    std::vector<const CatalogObject*> mTables;
    std::vector<const CatalogObject*> mQueries;
    TableDefList mTableDefs{this};
    QueryDefList mQueryDefs{this};
    std::shared_ptr<SqlState> mSql;
    mutable int mQueryDepth = 0;
    bool mClosed = false;
};

/// The default workspace.
class Workspace {
public:
    /// Opens FileName read-only and shared. Options (exclusive) and Connect are accepted and
    /// ignored; ReadOnly False is accepted too, but nothing is ever written. A missing file, a file
    /// that is not an Access database, and one the reader cannot read in time raise
    /// EOleException naming the file.
    std::shared_ptr<Database> OpenDatabase(const std::string& Name, bool Options = false,
                                           bool ReadOnly = true, const std::string& Connect = "");
};

/// The engine object.
class DBEngine {
public:
    static std::shared_ptr<DBEngine> Create();
    /// Only workspace 0 exists.
    std::shared_ptr<Workspace> Workspaces(int Index);

private:
    std::shared_ptr<Workspace> mDefault = std::make_shared<Workspace>();
};

/// Where the engine finds the reader program and how long it lets it run. The defaults: beside
/// the running program, else in the build's program folder; 20 seconds.
void SetReaderProgram(const std::string& Path);
std::string ReaderProgram();
void SetReaderTimeLimit(int Milliseconds);
int ReaderTimeLimit();

} // namespace dao
