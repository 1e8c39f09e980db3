#include "platform/dao/DAO.h"

#include "platform/dao/QuerySql.h"
#include "platform/dao/ReaderProcess.h"
#include "platform/dao/Snapshot.h"

#include <algorithm>

#ifndef QUORVEX_BIN_DIR
#define QUORVEX_BIN_DIR ""
#endif

namespace dao {

namespace {

const char* const kSource = "DAO";
std::string gReaderProgram;
int gReaderTimeLimit = 20000;

[[noreturn]] void NotFound(const std::string& What) {
    throw EOleException(Format("Item not found in this collection (%s).", What), daoErrNotFound, kSource);
}

[[noreturn]] void Closed(const char* What) {
    throw EOleException(Format("Object invalid or no longer set (%s is closed).", What), daoErrObjectClosed,
                        kSource);
}

// Catalogue types of MSysObjects rows: local table, linked ODBC table, linked Jet table, query.
constexpr int kLocalTable = 1;
constexpr int kLinkedOdbc = 4;
constexpr int kQuery = 5;
constexpr int kLinkedJet = 6;

// Table attributes of DAO.
constexpr std::int32_t dbSystemObject = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t dbHiddenObject = 0x1;
constexpr std::int32_t dbAttachedTable = 0x40000000;
constexpr std::int32_t dbAttachedODBC = 0x20000000;
// Field attributes.
constexpr std::int32_t dbFixedField = 0x1;
constexpr std::int32_t dbVariableField = 0x2;
constexpr std::int32_t dbAutoIncrField = 0x10;
constexpr std::int32_t dbUpdatableField = 0x20;
constexpr std::int32_t dbSortGeneral = 1033;

Variant Nullable(const Variant& V) {
    return V.IsEmpty() ? Variant::Null() : V;
}

int TypeSize(int Type, int Size) {
    switch (Type) {
    case jtBoolean:
    case jtByte:
        return 1;
    case jtInteger:
        return 2;
    case jtLong:
    case jtSingle:
        return 4;
    case jtCurrency:
    case jtDouble:
    case jtDate:
        return 8;
    case jtGuid:
        return 16;
    case jtText:
    case jtBinary:
        return Size;
    default:
        return 0;
    }
}

/// Gives the built-in properties the values stored in the file, then adds the other stored ones.
void MergeStored(PropertyList& List, const PropertyBlock* Block) {
    if (!Block)
        return;
    for (const StoredProperty& P : Block->Properties)
        if (!List.Set(P.Name, P.Value))
            List.Add(Property(P.Name, P.Value));
}

/// The built-in properties of a field of a table or query definition, in the engine's order.
PropertyList FieldProperties(const std::string& Name, int Type, int Size, std::int32_t Attributes,
                             int Ordinal, const std::string& SourceField, const std::string& SourceTable) {
    PropertyList L;
    L.Add(Property::Unreadable("Value"));
    L.Add(Property("Attributes", Variant(Attributes)));
    L.Add(Property("CollatingOrder", Variant(dbSortGeneral)));
    L.Add(Property("Type", Variant(static_cast<std::int16_t>(Type))));
    L.Add(Property("Name", Variant(Name)));
    L.Add(Property("OrdinalPosition", Variant(static_cast<std::int16_t>(Ordinal))));
    L.Add(Property("Size", Variant(static_cast<std::int32_t>(Size))));
    L.Add(Property("SourceField", Variant(SourceField)));
    L.Add(Property("SourceTable", Variant(SourceTable)));
    L.Add(Property("ValidateOnSet", Variant(false)));
    L.Add(Property("DataUpdatable", Variant(false)));
    L.Add(Property::Unreadable("ForeignName"));
    L.Add(Property("DefaultValue", Variant("")));
    L.Add(Property("ValidationRule", Variant("")));
    L.Add(Property("ValidationText", Variant("")));
    L.Add(Property("Required", Variant(false)));
    L.Add(Property("AllowZeroLength", Variant(false)));
    L.Add(Property::Unreadable("FieldSize"));
    L.Add(Property::Unreadable("OriginalValue"));
    L.Add(Property::Unreadable("VisibleValue"));
    return L;
}

const CatalogObject* FindObject(const std::vector<const CatalogObject*>& List, const std::string& Name) {
    for (const CatalogObject* O : List)
        if (SameText(O->Name, Name))
            return O;
    return nullptr;
}

} // namespace

// ---- properties and fields ----

Property Property::Unreadable(std::string Name) {
    Property P(std::move(Name), Variant());
    P.mReadable = false;
    return P;
}

Variant Property::Value() const {
    if (!mReadable)
        throw EOleException(Format("Invalid operation (property %s has no value here).", mName),
                            daoErrInvalidOperation, kSource);
    return mValue;
}

void ItemNotFound::Raise(const char* Noun, int Index) {
    NotFound(Format("%s %d", Noun, Index));
}

void ItemNotFound::Raise(const char* Noun, const std::string& Name) {
    NotFound(std::string(Noun) + " " + Name);
}

bool PropertyList::Set(const std::string& Name, const Variant& Value) {
    Property* P = Find(Name);
    if (P != nullptr)
        *P = Property(P->Name(), Value);
    return P != nullptr;
}

Variant Field::Value() const {
    if (!mValue)
        throw EOleException(Format("Invalid operation (field %s has no value outside a recordset).", mName),
                            daoErrInvalidOperation, kSource);
    return mValue();
}

const PropertyList& TableDef::Properties() const {
    if (!mDamage.empty())
        throw EOleException(mDamage, daoErrCannotRead, kSource);
    return mProperties;
}

const FieldList& TableDef::Fields() const {
    if (!mDamage.empty())
        throw EOleException(mDamage, daoErrCannotRead, kSource);
    return mFields;
}

void QueryDef::CheckOpen() const {
    if (mClosed)
        Closed(("query " + mName).c_str());
    if (!mDamage.empty())
        throw EOleException(mDamage, daoErrCannotRead, kSource);
}

const PropertyList& QueryDef::Properties() const {
    CheckOpen();
    return mProperties;
}

const FieldList& QueryDef::Fields() const {
    CheckOpen();
    return mFields;
}

// ---- collections ----

int TableDefList::Count() const {
    return static_cast<int>(mOwner->Tables().size());
}

std::shared_ptr<TableDef> TableDefList::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        NotFound(Format("table %d", Index));
    return mOwner->MakeTableDef(*mOwner->Tables()[static_cast<std::size_t>(Index)]);
}

std::shared_ptr<TableDef> TableDefList::Item(const std::string& Name) const {
    const CatalogObject* O = FindObject(mOwner->Tables(), Name);
    if (!O)
        NotFound("table '" + Name + "'");
    return mOwner->MakeTableDef(*O);
}

int QueryDefList::Count() const {
    return static_cast<int>(mOwner->Queries().size());
}

std::shared_ptr<QueryDef> QueryDefList::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        NotFound(Format("query %d", Index));
    return mOwner->MakeQueryDef(*mOwner->Queries()[static_cast<std::size_t>(Index)]);
}

std::shared_ptr<QueryDef> QueryDefList::Item(const std::string& Name) const {
    const CatalogObject* O = FindObject(mOwner->Queries(), Name);
    if (!O)
        NotFound("query '" + Name + "'");
    return mOwner->MakeQueryDef(*O);
}

// ---- database ----

Database::Database(std::string FileName, std::shared_ptr<const Snapshot> Data)
    : mFileName(std::move(FileName)), mData(std::move(Data)) {
    for (const CatalogObject& O : mData->Objects) {
        if (O.Type == kLocalTable || O.Type == kLinkedOdbc || O.Type == kLinkedJet)
            mTables.push_back(&O);
        else if (O.Type == kQuery)
            mQueries.push_back(&O);
    }
    // The engine lists its collections by name.
    auto ByName = [](const CatalogObject* A, const CatalogObject* B) {
        return CompareText(A->Name, B->Name) < 0;
    };
    std::stable_sort(mTables.begin(), mTables.end(), ByName);
    std::stable_sort(mQueries.begin(), mQueries.end(), ByName);
}

const Snapshot& Database::Data() const {
    if (mClosed)
        Closed(("database " + mFileName).c_str());
    return *mData;
}

const TableDefList& Database::TableDefs() const {
    Data();
    return mTableDefs;
}

const QueryDefList& Database::QueryDefs() const {
    Data();
    return mQueryDefs;
}

std::string Database::Unreadable(const char* Kind, const CatalogObject& O) const {
    return O.Damage.empty()
               ? std::string()
               : Format("The %s '%s' of '%s' cannot be read: %s.", Kind, O.Name, mFileName, O.Damage);
}

std::shared_ptr<TableDef> Database::MakeTableDef(const CatalogObject& O) const {
    Data();
    const bool Linked = O.Type != kLocalTable;
    std::int32_t Attributes = 0;
    if ((O.Flags & static_cast<std::int32_t>(0x80000000u)) || (O.Flags & 0x2))
        Attributes |= dbSystemObject;
    if (O.Flags & 0x8)
        Attributes |= dbHiddenObject;
    if (O.Type == kLinkedJet)
        Attributes |= dbAttachedTable;
    if (O.Type == kLinkedOdbc)
        Attributes |= dbAttachedODBC;
    std::string Connect = O.Connect;
    if (Linked && !O.Database.empty())
        Connect += ";DATABASE=" + O.Database;

    PropertyList P;
    P.Add(Property("Name", Variant(O.Name)));
    P.Add(Property("Updatable", Variant(!(Attributes & dbSystemObject))));
    P.Add(Property("DateCreated", Nullable(O.DateCreate)));
    P.Add(Property("LastUpdated", Nullable(O.DateUpdate)));
    P.Add(Property("Connect", Variant(Connect)));
    P.Add(Property("Attributes", Variant(Attributes)));
    P.Add(Property("SourceTableName", Variant(Linked ? O.ForeignName : std::string())));
    P.Add(Property("RecordCount", Variant(static_cast<std::int32_t>(Linked ? -1 : O.RecordCount))));
    P.Add(Property("ValidationRule", Variant("")));
    P.Add(Property("ValidationText", Variant("")));
    P.Add(Property("ConflictTable", Variant("")));
    P.Add(Property("ReplicaFilter", Variant(false)));
    MergeStored(P, O.Block(""));

    FieldList Fields;
    int Ordinal = 0;
    for (const ColumnInfo& C : O.Columns) {
        std::int32_t A = ((C.Flags & 1) ? dbFixedField : dbVariableField) | dbUpdatableField;
        if (C.Flags & 4)
            A |= dbAutoIncrField;
        PropertyList FP =
            FieldProperties(C.Name, C.Type, TypeSize(C.Type, C.Size), A, Ordinal++, C.Name, O.Name);
        MergeStored(FP, O.Block(C.Name));
        Fields.Add(Field(C.Name, std::move(FP)));
    }
    return std::make_shared<TableDef>(O.Name, std::move(P), std::move(Fields), Unreadable("table", O));
}

std::shared_ptr<QueryDef> Database::MakeQueryDef(const CatalogObject& O) const {
    const Snapshot& S = Data();
    const QueryText Q = RebuildQuery(S.FindTable("MSysQueries"), O.Id);
    const bool Action = Q.Kind == dbQDelete || Q.Kind == dbQUpdate || Q.Kind == dbQAppend ||
                        Q.Kind == dbQMakeTable || Q.Kind == dbQDDL;

    PropertyList P;
    P.Add(Property("Name", Variant(O.Name)));
    P.Add(Property("DateCreated", Nullable(O.DateCreate)));
    P.Add(Property("LastUpdated", Nullable(O.DateUpdate)));
    P.Add(Property("Type", Variant(static_cast<std::int16_t>(Q.Kind))));
    P.Add(Property("SQL", Variant(Q.SQL)));
    P.Add(Property("Updatable", Variant(true)));
    P.Add(Property("Connect", Variant("")));
    P.Add(Property("ReturnsRecords", Variant(!Action)));
    P.Add(Property("ODBCTimeout", Variant(static_cast<std::int16_t>(60))));
    P.Add(Property("RecordsAffected", Variant(static_cast<std::int32_t>(0))));
    P.Add(Property("MaxRecords", Variant(static_cast<std::int32_t>(0))));
    MergeStored(P, O.Block(""));

    // Output columns; T.* (and * for all tables) stand for the fields of the tables they name.
    auto TableOf = [&Q](const std::string& Alias) {
        for (const auto& [A, T] : Q.Tables)
            if (SameText(A, Alias))
                return T;
        return Alias;
    };
    // A query over a table whose definition cannot be read cannot be read whole either.
    std::string Damage = Unreadable("query", O);
    auto Damaged = [&](const CatalogObject* T) {
        if (T && !T->HasDefinition && !T->Damage.empty() && Damage.empty())
            Damage = Format("The query '%s' of '%s' cannot be read: its table '%s' cannot be read (%s).",
                            O.Name, mFileName, T->Name, T->Damage);
        return T;
    };
    auto SourceColumn = [this, &Damaged](const std::string& Table,
                                         const std::string& Field) -> const ColumnInfo* {
        if (const CatalogObject* T = Damaged(FindObject(mTables, Table)))
            for (const ColumnInfo& C : T->Columns)
                if (SameText(C.Name, Field))
                    return &C;
        return nullptr;
    };
    struct Out {
        std::string Name, Block, Table, Field;
        /// The table or alias that names the column where it is not aliased.
        std::string Qualifier;
    };
    std::vector<Out> Columns;
    for (const QueryColumn& C : Q.Columns) {
        if (C.SourceField != "*") {
            Columns.push_back({C.Name, C.Expression, C.SourceTable.empty() ? "" : TableOf(C.SourceTable),
                               C.SourceField, SameText(C.Name, C.SourceField) ? C.SourceTable : ""});
            continue;
        }
        for (const auto& [Alias, Table] : Q.Tables) {
            if (!C.SourceTable.empty() && !SameText(C.SourceTable, Alias))
                continue;
            if (const CatalogObject* T = Damaged(FindObject(mTables, Table))) {
                for (const ColumnInfo& TC : T->Columns)
                    Columns.push_back({TC.Name, Alias + "." + TC.Name, Table, TC.Name, Alias});
            } else if (const CatalogObject* Inner = FindObject(mQueries, Table); Inner && mQueryDepth < 8) {
                // A query over a query: its output columns, with a bound against queries naming themselves.
                ++mQueryDepth;
                std::shared_ptr<QueryDef> Def;
                try {
                    Def = MakeQueryDef(*Inner);
                } catch (...) {
                    --mQueryDepth;
                    throw;
                }
                --mQueryDepth;
                try {
                    for (int I = 0; I < Def->Fields().Count(); ++I)
                        Columns.push_back({Def->Fields().Item(I).Name(),
                                           Alias + "." + Def->Fields().Item(I).Name(), "", "", Alias});
                } catch (const EOleException& E) {
                    if (Damage.empty())
                        Damage = Format(
                            "The query '%s' of '%s' cannot be read: its query '%s' cannot be read (%s)",
                            O.Name, mFileName, Inner->Name, E.Message());
                }
            }
        }
    }
    // Columns that share a name are named after their tables as well, as Jet does
    // (Customers.CompanyName, Shippers.CompanyName).
    std::vector<bool> Shared(Columns.size());
    for (std::size_t I = 0; I < Columns.size(); ++I)
        for (std::size_t J = I + 1; J < Columns.size(); ++J)
            if (SameText(Columns[I].Name, Columns[J].Name))
                Shared[I] = Shared[J] = true;
    for (std::size_t I = 0; I < Columns.size(); ++I)
        if (Shared[I] && !Columns[I].Qualifier.empty())
            Columns[I].Name = Columns[I].Qualifier + "." + Columns[I].Name;
    FieldList Fields;
    int Ordinal = 0;
    for (const Out& C : Columns) {
        const ColumnInfo* Src = C.Table.empty() ? nullptr : SourceColumn(C.Table, C.Field);
        const int Type = Src ? Src->Type : jtText;
        const int Size = Src ? TypeSize(Src->Type, Src->Size) : 255;
        PropertyList FP = FieldProperties(C.Name, Type, Size, dbVariableField, Ordinal++,
                                          Src ? Src->Name : C.Name, Src ? C.Table : std::string());
        const PropertyBlock* Block = O.Block(C.Name);
        MergeStored(FP, Block ? Block : O.Block(C.Block));
        Fields.Add(Field(C.Name, std::move(FP)));
    }
    return std::make_shared<QueryDef>(O.Name, Q.SQL, std::move(P), std::move(Fields), Damage);
}

// ---- workspace and engine ----

std::shared_ptr<Database> Workspace::OpenDatabase(const std::string& Name, bool /*Options*/,
                                                  bool /*ReadOnly*/, const std::string& /*Connect*/) {
    return std::make_shared<Database>(Name, ReadSnapshot(Name, ReaderProgram(), ReaderTimeLimit()));
}

std::shared_ptr<DBEngine> DBEngine::Create() {
    return std::make_shared<DBEngine>();
}

std::shared_ptr<Workspace> DBEngine::Workspaces(int Index) {
    if (Index != 0)
        NotFound(Format("workspace %d", Index));
    return mDefault;
}

void SetReaderProgram(const std::string& Path) {
    gReaderProgram = Path;
}

std::string ReaderProgram() {
    if (!gReaderProgram.empty())
        return gReaderProgram;
    const std::string Beside = ProgramFolder() + "quorvex-mdbread";
    if (FileExists(Beside) || std::string(QUORVEX_BIN_DIR).empty())
        return Beside;
    return std::string(QUORVEX_BIN_DIR) + "/quorvex-mdbread";
}

void SetReaderTimeLimit(int Milliseconds) {
    gReaderTimeLimit = std::max(1, Milliseconds);
}

int ReaderTimeLimit() {
    return gReaderTimeLimit;
}

} // namespace dao
