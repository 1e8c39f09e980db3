// Recordsets: queries over the snapshot's system tables, run by SQLite in memory.

#include "platform/dao/DAO.h"
#include "platform/dao/Snapshot.h"

#include <cmath>
#include <sqlite3.h>

namespace dao {

namespace {

const char* const kSource = "DAO.Recordset";

/// Declared column types: each keeps its Jet type recognisable in sqlite3_column_decltype and
/// gives SQLite the storage affinity that keeps the value as it is (text never becomes a number).
const char* DeclaredType(int JetType) {
    switch (JetType) {
    case jtBoolean:
        return "BOOLEAN_INT";
    case jtByte:
        return "BYTE_INT";
    case jtInteger:
        return "SMALLINT";
    case jtLong:
        return "INTEGER";
    case jtCurrency:
        return "CURRENCY_REAL";
    case jtSingle:
        return "SINGLE_REAL";
    case jtDouble:
        return "DOUBLE";
    case jtDate:
        return "DATETIME_REAL";
    case jtText:
        return "TEXT";
    case jtMemo:
        return "MEMO_TEXT";
    default:
        return "BINARY_BLOB";
    }
}

int JetTypeOfDeclared(const char* Declared) {
    if (!Declared)
        return 0;
    const std::string D = Declared;
    for (int T :
         {jtBoolean, jtByte, jtInteger, jtLong, jtCurrency, jtSingle, jtDouble, jtDate, jtText, jtMemo})
        if (D == DeclaredType(T))
            return T;
    return D == "BINARY_BLOB" ? jtBinary : 0;
}

std::string QuoteName(const std::string& Name) {
    std::string Q = "\"";
    for (char C : Name)
        Q += C == '"' ? std::string("\"\"") : std::string(1, C);
    return Q + "\"";
}

// The import/export specification tables as Access defines them; a file made by an Access version
// that no longer keeps them answers as if they were empty.
const TableRows kEmptySpecs{"MSysIMEXSpecs",
                            {{"DateDelim", jtText},
                             {"DateFourDigitYear", jtBoolean},
                             {"DateLeadingZeros", jtBoolean},
                             {"DateOrder", jtInteger},
                             {"DecimalPoint", jtText},
                             {"FieldSeparator", jtText},
                             {"FileType", jtInteger},
                             {"SpecID", jtLong},
                             {"SpecName", jtText},
                             {"SpecType", jtByte},
                             {"StartRow", jtLong},
                             {"TextDelim", jtText},
                             {"TimeDelim", jtText}},
                            {}};
const TableRows kEmptyColumns{"MSysIMEXColumns",
                              {{"DataType", jtInteger},
                               {"FieldName", jtText},
                               {"IndexType", jtByte},
                               {"SkipColumn", jtBoolean},
                               {"SpecID", jtLong},
                               {"Start", jtInteger},
                               {"Width", jtInteger},
                               {"Attributes", jtLong}},
                              {}};

bool IsWordChar(char C) {
    const auto U = static_cast<unsigned char>(C);
    return (U >= 'A' && U <= 'Z') || (U >= 'a' && U <= 'z') || (U >= '0' && U <= '9') || U == '_' ||
           U >= 0x80;
}

/// Jet SQL to SQLite: [names] and "texts" change their quotes, DISTINCTROW becomes DISTINCT and
/// True/False become Jet's -1/0.
std::string TranslateSql(const std::string& Sql) {
    std::string Out;
    for (std::size_t I = 0; I < Sql.size();) {
        const char C = Sql[I];
        if (C == '\'') {
            const std::size_t End = Sql.find('\'', I + 1);
            const std::size_t Stop = End == std::string::npos ? Sql.size() : End + 1;
            Out += Sql.substr(I, Stop - I);
            I = Stop;
        } else if (C == '"') {
            std::string Text;
            std::size_t J = I + 1;
            for (; J < Sql.size(); ++J) {
                if (Sql[J] == '"') {
                    if (J + 1 < Sql.size() && Sql[J + 1] == '"') {
                        Text += '"';
                        ++J;
                        continue;
                    }
                    break;
                }
                Text += Sql[J] == '\'' ? std::string("''") : std::string(1, Sql[J]);
            }
            Out += "'" + Text + "'";
            I = J + 1;
        } else if (C == '[') {
            const std::size_t End = Sql.find(']', I + 1);
            const std::size_t Stop = End == std::string::npos ? Sql.size() : End;
            Out += QuoteName(Sql.substr(I + 1, Stop - I - 1));
            I = Stop + 1;
        } else if (IsWordChar(C)) {
            std::size_t J = I;
            while (J < Sql.size() && IsWordChar(Sql[J]))
                ++J;
            const std::string Word = Sql.substr(I, J - I);
            if (SameText(Word, "DISTINCTROW"))
                Out += "DISTINCT";
            else if (SameText(Word, "True"))
                Out += "-1";
            else if (SameText(Word, "False"))
                Out += "0";
            else
                Out += Word;
            I = J;
        } else {
            Out += C;
            ++I;
        }
    }
    return Out;
}

void Check(sqlite3* Db, int Rc, const std::string& File) {
    if (Rc != SQLITE_OK && Rc != SQLITE_DONE && Rc != SQLITE_ROW)
        throw EOleException(Format("The query engine failed on '%s': %s", File, sqlite3_errmsg(Db)),
                            daoErrSyntax, kSource);
}

void Bind(sqlite3_stmt* S, int Index, const Variant& V) {
    switch (V.VarType()) {
    case varEmpty:
    case varNull:
        sqlite3_bind_null(S, Index);
        break;
    case varBoolean:
        sqlite3_bind_int(S, Index, V.AsBoolean() ? -1 : 0);
        break;
    case varByte:
    case varSmallint:
    case varInteger:
        sqlite3_bind_int64(S, Index, V.AsInteger());
        break;
    case varString:
    case varOleStr: {
        const std::string Text = V.AsString();
        sqlite3_bind_text(S, Index, Text.data(), static_cast<int>(Text.size()), SQLITE_TRANSIENT);
        break;
    }
    case varArray | varByte: {
        const auto& B = V.AsBytes();
        sqlite3_bind_blob(S, Index, B.data(), static_cast<int>(B.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        sqlite3_bind_double(S, Index, V.AsDouble());
        break;
    }
}

Variant ColumnValue(sqlite3_stmt* S, int I) {
    const int Storage = sqlite3_column_type(S, I);
    if (Storage == SQLITE_NULL)
        return Variant::Null();
    auto Text = [&] {
        const auto* P = reinterpret_cast<const char*>(sqlite3_column_text(S, I));
        return std::string(P ? P : "", static_cast<std::size_t>(sqlite3_column_bytes(S, I)));
    };
    switch (JetTypeOfDeclared(sqlite3_column_decltype(S, I))) {
    case jtBoolean:
        return Variant(sqlite3_column_int64(S, I) != 0);
    case jtByte:
        return Variant(static_cast<std::uint8_t>(sqlite3_column_int64(S, I)));
    case jtInteger:
        return Variant(static_cast<std::int16_t>(sqlite3_column_int64(S, I)));
    case jtLong:
        return Variant(static_cast<std::int32_t>(sqlite3_column_int64(S, I)));
    case jtCurrency:
        return Variant::Currency(std::llround(sqlite3_column_double(S, I) * 10000.0));
    case jtSingle:
        return Variant(static_cast<float>(sqlite3_column_double(S, I)));
    case jtDouble:
        return Variant(sqlite3_column_double(S, I));
    case jtDate:
        return Variant::Date(sqlite3_column_double(S, I));
    case jtText:
    case jtMemo:
        return Variant(Text());
    default:
        break;
    }
    switch (Storage) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 N = sqlite3_column_int64(S, I);
        if (N >= INT32_MIN && N <= INT32_MAX)
            return Variant(static_cast<std::int32_t>(N));
        return Variant(static_cast<double>(N));
    }
    case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(S, I));
    case SQLITE_TEXT:
        return Variant(Text());
    default: {
        const auto* P = static_cast<const std::uint8_t*>(sqlite3_column_blob(S, I));
        return Variant::Bytes(std::vector<std::uint8_t>(P, P + sqlite3_column_bytes(S, I)));
    }
    }
}

/// Finalizes a statement when it goes out of scope.
struct Statement {
    sqlite3_stmt* S = nullptr;
    ~Statement() { sqlite3_finalize(S); }
};

} // namespace

/// The rows of one query result.
class RecordsetData {
public:
    std::vector<std::string> Columns;
    std::vector<std::vector<Variant>> Rows;
};

struct Database::SqlState {
    sqlite3* Db = nullptr;
    ~SqlState() { sqlite3_close(Db); }

    void Load(const TableRows& T, const std::string& File) {
        std::string Create = "CREATE TABLE " + QuoteName(T.Name) + " (";
        std::string Insert = "INSERT INTO " + QuoteName(T.Name) + " VALUES (";
        for (std::size_t I = 0; I < T.Columns.size(); ++I) {
            Create +=
                (I ? ", " : "") + QuoteName(T.Columns[I].first) + " " + DeclaredType(T.Columns[I].second);
            Insert += I ? ", ?" : "?";
        }
        Check(Db, sqlite3_exec(Db, (Create + ")").c_str(), nullptr, nullptr, nullptr), File);
        Statement S;
        Check(Db, sqlite3_prepare_v2(Db, (Insert + ")").c_str(), -1, &S.S, nullptr), File);
        for (const auto& Row : T.Rows) {
            for (std::size_t I = 0; I < Row.size(); ++I)
                Bind(S.S, static_cast<int>(I + 1), Row[I]);
            Check(Db, sqlite3_step(S.S), File);
            sqlite3_reset(S.S);
        }
    }
};

Database::~Database() = default;

void Database::Close() {
    mSql.reset();
    mClosed = true;
}

std::shared_ptr<Recordset> Database::OpenRecordset(const std::string& SQL, int /*Type*/, int /*Options*/,
                                                   int /*LockEdit*/) {
    const Snapshot& S = Data();
    // A table of the catalogue that the file holds damaged, by name.
    auto Damaged = [this](const std::string& Name) -> const CatalogObject* {
        for (const CatalogObject* T : mTables)
            if (SameText(T->Name, Name) && !T->Damage.empty())
                return T;
        return nullptr;
    };
    if (!mSql) {
        auto State = std::make_shared<SqlState>();
        if (sqlite3_open(":memory:", &State->Db) != SQLITE_OK)
            throw EOleException("The query engine cannot be started.", daoErrCannotRead, kSource);
        Check(State->Db, sqlite3_exec(State->Db, "BEGIN", nullptr, nullptr, nullptr), mFileName);
        for (const TableRows& T : S.Tables)
            State->Load(T, mFileName);
        // A file without them has none; a file whose table cannot be read says so when it is asked.
        for (const TableRows* Empty : {&kEmptySpecs, &kEmptyColumns})
            if (!S.FindTable(Empty->Name) && !Damaged(Empty->Name))
                State->Load(*Empty, mFileName);
        Check(State->Db, sqlite3_exec(State->Db, "COMMIT", nullptr, nullptr, nullptr), mFileName);
        mSql = std::move(State);
    }
    Statement Stmt;
    if (sqlite3_prepare_v2(mSql->Db, TranslateSql(SQL).c_str(), -1, &Stmt.S, nullptr) != SQLITE_OK ||
        !Stmt.S) {
        const std::string Message = sqlite3_errmsg(mSql->Db);
        if (const CatalogObject* T =
                Message.rfind("no such table: ", 0) == 0 ? Damaged(Message.substr(15)) : nullptr)
            throw EOleException(Unreadable("table", *T), daoErrCannotRead, kSource);
        if (Message.rfind("no such table: ", 0) == 0)
            throw EOleException(
                Format("The database engine cannot find the input table or query '%s' in '%s'.",
                       Message.substr(15), mFileName),
                daoErrNoInputTable, kSource);
        throw EOleException(Format("The query cannot be run on '%s': %s.", mFileName, Message), daoErrSyntax,
                            kSource);
    }
    auto Data = std::make_shared<RecordsetData>();
    const int Count = sqlite3_column_count(Stmt.S);
    for (int I = 0; I < Count; ++I)
        Data->Columns.push_back(sqlite3_column_name(Stmt.S, I));
    int Rc;
    while ((Rc = sqlite3_step(Stmt.S)) == SQLITE_ROW) {
        std::vector<Variant> Row;
        for (int I = 0; I < Count; ++I)
            Row.push_back(ColumnValue(Stmt.S, I));
        Data->Rows.push_back(std::move(Row));
    }
    Check(mSql->Db, Rc, mFileName);
    return std::make_shared<Recordset>(std::move(Data));
}

// ---- recordset ----

Recordset::Recordset(std::shared_ptr<RecordsetData> Data) : mData(std::move(Data)) {
    mReached = mData->Rows.empty() ? 0 : 1;
    for (std::size_t I = 0; I < mData->Columns.size(); ++I) {
        PropertyList P;
        P.Add(Property("Name", Variant(mData->Columns[I])));
        mFields.Add(Field(mData->Columns[I], std::move(P), [this, I]() -> Variant {
            CheckOpen();
            if (EOF())
                throw EOleException("No current record.", daoErrNoCurrentRecord, kSource);
            return mData->Rows[static_cast<std::size_t>(mPosition)][I];
        }));
    }
}

Recordset::~Recordset() = default;

void Recordset::CheckOpen() const {
    if (mClosed)
        throw EOleException("Object invalid or no longer set (the recordset is closed).", daoErrObjectClosed,
                            kSource);
}

bool Recordset::BOF() const {
    CheckOpen();
    return mData->Rows.empty();
}

bool Recordset::EOF() const {
    CheckOpen();
    return mPosition >= static_cast<long>(mData->Rows.size());
}

void Recordset::MoveFirst() {
    CheckOpen();
    if (mData->Rows.empty())
        throw EOleException("No current record.", daoErrNoCurrentRecord, kSource);
    mPosition = 0;
}

void Recordset::MoveLast(int /*Options*/) {
    CheckOpen();
    if (mData->Rows.empty())
        throw EOleException("No current record.", daoErrNoCurrentRecord, kSource);
    mPosition = static_cast<long>(mData->Rows.size()) - 1;
    mReached = static_cast<long>(mData->Rows.size());
}

void Recordset::MoveNext() {
    if (EOF())
        throw EOleException("No current record.", daoErrNoCurrentRecord, kSource);
    ++mPosition;
    mReached = std::max(mReached, std::min(mPosition + 1, static_cast<long>(mData->Rows.size())));
}

long Recordset::RecordCount() const {
    CheckOpen();
    return mReached;
}

const FieldList& Recordset::Fields() const {
    CheckOpen();
    return mFields;
}

void Recordset::Close() {
    mClosed = true;
}

} // namespace dao
