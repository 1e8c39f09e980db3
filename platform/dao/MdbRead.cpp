// quorvex-mdbread <database file> [<seconds>]: reads what the database engine needs from an Access
// file with libmdb and writes it as a snapshot (platform/dao/Snapshot.h) to file descriptor 3, or to
// standard output when 3 is not open. It runs in a process of its own because libmdb can loop
// forever or crash on a damaged file and prints to both standard streams; the engine gives it a
// time limit and reads only descriptor 3. No locale is set: libmdb's number handling needs "C".

#include "platform/dao/AccessProject.h"
#include "platform/dao/JetFormat.h"
#include "platform/dao/Snapshot.h"
#include "platform/rtl/TextCodec.h"

#include <mdbtools.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace dao;

namespace {

constexpr std::size_t kMaxRows = 500000;
constexpr std::size_t kMaxLongValue = 16 * 1024 * 1024;

struct Failure {
    std::string Message;
};

/// A table opened from its definition page, without libmdb's catalogue.
class Table {
public:
    Table(MdbHandle* Mdb, const std::string& Name, unsigned long Page, long long PageCount) {
        std::memset(&mEntry, 0, sizeof mEntry);
        mEntry.mdb = Mdb;
        mEntry.object_type = MDB_TABLE;
        mEntry.table_pg = Page;
        std::snprintf(mEntry.object_name, sizeof mEntry.object_name, "%s", Name.c_str());
        if (Page < 2 || static_cast<long long>(Page) >= PageCount)
            return;
        mTable = mdb_read_table(&mEntry);
        if (mTable && !mdb_read_columns(mTable)) {
            mdb_free_tabledef(mTable);
            mTable = nullptr;
        }
    }
    ~Table() {
        if (mTable)
            mdb_free_tabledef(mTable);
    }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    MdbTableDef* Def() const { return mTable; }
    unsigned Columns() const { return mTable ? mTable->num_cols : 0; }
    MdbColumn* Column(unsigned I) const {
        return static_cast<MdbColumn*>(g_ptr_array_index(mTable->columns, I));
    }
    int Find(const char* Name) const {
        for (unsigned I = 0; I < Columns(); ++I)
            if (g_ascii_strcasecmp(Column(I)->name, Name) == 0)
                return static_cast<int>(I);
        return -1;
    }

private:
    MdbCatalogEntry mEntry;
    MdbTableDef* mTable = nullptr;
};

class Reader {
public:
    Reader(MdbHandle* Mdb, const JetHeader& H)
        : mMdb(Mdb), mJet4(H.Version != 0), mPageSize(H.PageSize), mPageCount(H.FileSize / H.PageSize) {}

    void Run(SnapshotWriter& W);

private:
    std::string_view Raw(MdbColumn* C) const;
    std::string LongValue(std::string_view Header) const;
    Variant Value(MdbColumn* C, bool ReadLongBinary) const;
    std::string Text(MdbColumn* C) const;
    void ReadCatalog(std::vector<CatalogObject>& Objects);
    void ReadDefinition(CatalogObject& O);
    bool ReadRows(const std::string& Name, unsigned long Page, TableRows& Rows, bool LongBinary = false);
    FileProject ReadProject(const std::vector<CatalogObject>& Objects);

    MdbHandle* mMdb;
    bool mJet4;
    int mPageSize;
    long long mPageCount;
};

std::string_view Reader::Raw(MdbColumn* C) const {
    // After mdb_fetch_row the current data page is in pg_buf and every column knows where its
    // value lies; values that would reach past the page are treated as missing.
    if (C->cur_value_len <= 0 || C->cur_value_start < 0 || C->cur_value_start + C->cur_value_len > mPageSize)
        return {};
    return std::string_view(reinterpret_cast<const char*>(mMdb->pg_buf) + C->cur_value_start,
                            static_cast<std::size_t>(C->cur_value_len));
}

std::string Reader::LongValue(std::string_view Header) const {
    // A memo or OLE value: 12 bytes of length and flags, page and row, then the data itself when
    // inline (flag 0x80), or one row elsewhere (0x40), or a chain of rows each starting with the
    // page and row of the next.
    if (Header.size() < 12)
        return {};
    auto U32 = [](const char* P) {
        std::uint32_t V;
        std::memcpy(&V, P, 4);
        return V;
    };
    const std::uint32_t LengthFlags = U32(Header.data());
    const std::size_t Length = std::min<std::size_t>(LengthFlags & 0x3FFFFFFF, kMaxLongValue);
    if (LengthFlags & 0x80000000)
        return std::string(Header.substr(12, std::min(Length, Header.size() - 12)));
    int PageRow = static_cast<int>(U32(Header.data() + 4));
    std::string Out;
    void* Buf = nullptr;
    int Offset = 0;
    std::size_t Size = 0;
    if (LengthFlags & 0x40000000) {
        if (mdb_find_pg_row(mMdb, PageRow, &Buf, &Offset, &Size) == 0 &&
            Offset + Size <= static_cast<std::size_t>(mPageSize))
            Out.assign(static_cast<const char*>(Buf) + Offset, std::min(Size, Length));
        return Out;
    }
    if (LengthFlags & 0xC0000000)
        return Out;
    for (long long Hops = 0; Hops < mPageCount && Out.size() < Length && (PageRow >> 8) != 0; ++Hops) {
        if (mdb_find_pg_row(mMdb, PageRow, &Buf, &Offset, &Size) != 0 || Size < 4 ||
            Offset + Size > static_cast<std::size_t>(mPageSize))
            break;
        const char* Row = static_cast<const char*>(Buf) + Offset;
        Out.append(Row + 4, std::min(Size - 4, Length - Out.size()));
        PageRow = static_cast<int>(U32(Row));
    }
    return Out;
}

Variant Reader::Value(MdbColumn* C, bool ReadLongBinary) const {
    if (C->col_type == MDB_BOOL)
        return Variant(C->cur_value_len == 0); // Booleans live in the null mask: set means False
    const std::string_view R = Raw(C);
    if (R.empty())
        return Variant::Null();
    switch (C->col_type) {
    case MDB_MEMO:
        return Variant(DecodeJetText(LongValue(R), mJet4));
    case MDB_OLE: {
        if (!ReadLongBinary)
            return Variant::Null();
        const std::string Data = LongValue(R);
        return Variant::Bytes(std::vector<std::uint8_t>(Data.begin(), Data.end()));
    }
    case MDB_NUMERIC:
        return Variant::Null();
    default:
        return JetValue(C->col_type, R, mJet4);
    }
}

std::string Reader::Text(MdbColumn* C) const {
    const Variant V = Value(C, false);
    return V.IsText() ? V.AsString() : std::string();
}

void Reader::ReadCatalog(std::vector<CatalogObject>& Objects) {
    Table T(mMdb, "MSysObjects", 2, mPageCount);
    if (!T.Def())
        throw Failure{"its catalogue cannot be read"};
    const int Id = T.Find("Id"), ParentId = T.Find("ParentId"), Name = T.Find("Name"), Type = T.Find("Type"),
              Flags = T.Find("Flags"), Created = T.Find("DateCreate"), Updated = T.Find("DateUpdate"),
              Connect = T.Find("Connect"), Database = T.Find("Database"), Foreign = T.Find("ForeignName"),
              LvProp = T.Find("LvProp");
    if (Id < 0 || Name < 0 || Type < 0)
        throw Failure{"its catalogue has no Id, Name or Type column"};
    auto Col = [&T](int I) { return I < 0 ? nullptr : T.Column(static_cast<unsigned>(I)); };
    mdb_rewind_table(T.Def());
    while (mdb_fetch_row(T.Def())) {
        if (Objects.size() >= kMaxRows)
            throw Failure{"its catalogue holds too many rows"};
        CatalogObject O;
        const Variant IdValue = Value(Col(Id), false);
        const Variant TypeValue = Value(Col(Type), false);
        if (IdValue.IsNull() || TypeValue.IsNull())
            continue;
        O.Id = static_cast<std::int32_t>(IdValue.AsInteger());
        O.Type = static_cast<int>(TypeValue.AsInteger());
        O.Name = Text(Col(Name));
        if (ParentId >= 0) {
            const Variant V = Value(Col(ParentId), false);
            O.ParentId = V.IsNull() ? 0 : static_cast<std::int32_t>(V.AsInteger());
        }
        if (Flags >= 0) {
            const Variant V = Value(Col(Flags), false);
            O.Flags = V.IsNull() ? 0 : static_cast<std::int32_t>(V.AsInteger());
        }
        O.DateCreate = Created >= 0 ? Value(Col(Created), false) : Variant::Null();
        O.DateUpdate = Updated >= 0 ? Value(Col(Updated), false) : Variant::Null();
        if (Connect >= 0)
            O.Connect = Text(Col(Connect));
        if (Database >= 0)
            O.Database = Text(Col(Database));
        if (Foreign >= 0)
            O.ForeignName = Text(Col(Foreign));
        if (LvProp >= 0) {
            const std::string_view R = Raw(Col(LvProp));
            if (!R.empty())
                O.Properties = ParseLvProp(LongValue(R), mJet4);
        }
        Objects.push_back(std::move(O));
    }
}

void Reader::ReadDefinition(CatalogObject& O) {
    Table T(mMdb, O.Name, static_cast<unsigned long>(O.Id) & 0x00FFFFFF, mPageCount);
    if (!T.Def())
        return;
    O.HasDefinition = true;
    O.RecordCount = T.Def()->num_rows;
    for (unsigned I = 0; I < T.Columns(); ++I) {
        MdbColumn* C = T.Column(I);
        ColumnInfo Info;
        Info.Name = Utf8ToCp1252(C->name);
        Info.Type = C->col_type;
        Info.Size = C->col_size;
        if (mJet4 && (C->col_type == MDB_TEXT || C->col_type == MDB_MEMO))
            Info.Size /= 2;
        Info.Flags = (C->is_fixed ? 1 : 0) | (C->is_long_auto ? 4 : 0);
        O.Columns.push_back(std::move(Info));
    }
}

bool Reader::ReadRows(const std::string& Name, unsigned long Page, TableRows& Rows, bool LongBinary) {
    Table T(mMdb, Name, Page, mPageCount);
    if (!T.Def())
        return false;
    Rows.Name = Name;
    for (unsigned I = 0; I < T.Columns(); ++I)
        Rows.Columns.emplace_back(Utf8ToCp1252(T.Column(I)->name), T.Column(I)->col_type);
    mdb_rewind_table(T.Def());
    while (mdb_fetch_row(T.Def())) {
        if (Rows.Rows.size() >= kMaxRows)
            throw Failure{Format("its table %s holds too many rows", Name)};
        std::vector<Variant> Row;
        for (unsigned I = 0; I < T.Columns(); ++I)
            Row.push_back(Value(T.Column(I), LongBinary));
        Rows.Rows.push_back(std::move(Row));
    }
    return true;
}

FileProject Reader::ReadProject(const std::vector<CatalogObject>& Objects) {
    // Access 2002 and later keep the objects in MSysAccessStorage (a file may still have an old
    // MSysAccessObjects beside it); Access 97 and 2000 in the chunks of MSysAccessObjects.
    const CatalogObject* Source = nullptr;
    for (const char* Name : {"MSysAccessStorage", "MSysAccessObjects"})
        for (const CatalogObject& O : Objects)
            if (!Source && O.Type == 1 && O.HasDefinition && O.RecordCount > 0 && O.Name == Name)
                Source = &O;
    if (!Source)
        return {};
    try {
        TableRows Rows;
        if (!ReadRows(Source->Name, static_cast<unsigned long>(Source->Id) & 0x00FFFFFF, Rows, true))
            throw AccessFileError(Format("its table %s cannot be read", Source->Name));
        const std::vector<StorageRow> Storage = StorageRows(Rows);
        Rows = {};
        if (Source->Name == "MSysAccessStorage")
            return ReadAccessProject(StorageTree(Storage));
        return ReadAccessProject(ReadCompoundFile(AssembleChunks(Storage, mJet4 ? 3992 : 241)));
    } catch (const AccessFileError& E) {
        FileProject P;
        P.Problems.push_back(E.what());
        return P;
    }
}

void Reader::Run(SnapshotWriter& W) {
    std::vector<CatalogObject> Objects;
    ReadCatalog(Objects);
    std::vector<TableRows> Tables;
    for (CatalogObject& O : Objects) {
        if (O.Type != 1)
            continue;
        ReadDefinition(O);
        for (const char* System : {"MSysQueries", "MSysIMEXSpecs", "MSysIMEXColumns"})
            if (O.Name == System && O.HasDefinition) {
                TableRows Rows;
                if (ReadRows(O.Name, static_cast<unsigned long>(O.Id) & 0x00FFFFFF, Rows))
                    Tables.push_back(std::move(Rows));
            }
    }
    for (const CatalogObject& O : Objects)
        W.Object(O);
    for (const TableRows& T : Tables)
        W.Table(T);
    W.Project(ReadProject(Objects));
}

void Emit(const std::string& Text, int Fd) {
    for (std::size_t Done = 0; Done < Text.size();) {
        const ssize_t N = write(Fd, Text.data() + Done, Text.size() - Done);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            return;
        Done += static_cast<std::size_t>(N);
    }
}

} // namespace

int main(int argc, char** argv) {
    // Where the snapshot goes: descriptor 3 when the engine opened it, else standard output.
    const int Out = fcntl(3, F_GETFD) != -1 ? 3 : 1;
    std::string Text;
    SnapshotWriter W(Text);
    auto Finish = [&](int Code) {
        Emit(Text, Out);
        // _exit: no atexit handlers (libmdb's and the leak checker's) run after the snapshot is out.
        _exit(Code);
    };
    if (argc < 2 || argc > 3) {
        W.Error("usage: quorvex-mdbread <database file> [<seconds>]");
        Finish(2);
    }
    if (argc == 3)
        alarm(static_cast<unsigned>(std::max(1, std::atoi(argv[2]))));
#if !defined(__SANITIZE_ADDRESS__)
    const rlimit Memory{2048UL << 20, 2048UL << 20};
    setrlimit(RLIMIT_AS, &Memory);
#endif
    const JetHeader H = CheckJetFile(argv[1]);
    if (!H.Ok) {
        W.Error(H.Problem);
        Finish(1);
    }
    MdbHandle* Mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (!Mdb) {
        W.Error("it cannot be opened as an Access database");
        Finish(1);
    }
    try {
        W.Header(H.Version);
        Reader(Mdb, H).Run(W);
        W.End();
    } catch (const Failure& F) {
        Text.clear();
        W.Error(F.Message);
        Finish(1);
    } catch (const std::exception& E) {
        Text.clear();
        W.Error(E.what());
        Finish(1);
    }
    Finish(0);
}
