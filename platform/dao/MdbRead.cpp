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
#include <set>
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

[[noreturn]] void Damaged(const std::string& What) {
    throw Failure{"the file is damaged: " + What};
}

/// The file's pages, read one at a time beside the pages libmdb holds, to check what it would trust.
class PageFile {
public:
    PageFile(MdbHandle* Mdb, long long PageCount) : mMdb(Mdb), mPageCount(PageCount) {}

    long long Count() const { return mPageCount; }
    /// Page N, which What names in the message when it lies past the end of the file. The page
    /// stays valid until the next read of a page by this or by libmdb's page look-ups.
    std::string_view Read(std::uint32_t N, const std::string& What) {
        if (N >= mPageCount)
            Damaged(Format("page %u of %s lies past the end of the file", N, What));
        if (mdb_read_alt_pg(mMdb, N) != mMdb->fmt->pg_size)
            throw Failure{Format("page %u of %s cannot be read", N, What)};
        return {reinterpret_cast<const char*>(mMdb->alt_pg_buf),
                static_cast<std::size_t>(mMdb->fmt->pg_size)};
    }

private:
    MdbHandle* mMdb;
    long long mPageCount;
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
        mJet4 = !IS_JET3(Mdb);
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
    /// Rows of the table are independent: a data page or a row that cannot be read is noted in
    /// Lost and left out, instead of failing the table.
    void KeepGoing(std::vector<std::string>* Lost) { mLost = Lost; }
    void CheckPages(PageFile& Pages, bool Rows);
    bool Fetch();
    void CheckAllRowsRead();
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
    std::string What() const { return Format("table %s", mEntry.object_name); }

    MdbCatalogEntry mEntry;
    MdbTableDef* mTable = nullptr;
    bool mJet4 = false;
    /// Rows of the checked data pages that libmdb is to give (page, row), those it gave, and the
    /// deleted rows it gives too (sorted), which are no rows.
    std::vector<std::pair<std::uint32_t, unsigned>> mExpected, mFetched, mDeleted;
    /// With KeepGoing: what was left out, and the data pages whose rows were all left out.
    std::vector<std::string>* mLost = nullptr;
    std::vector<std::uint32_t> mLostPages;
};

/// Checks the pages that libmdb reads for this table, so that damage fails the read instead of
/// quietly leaving rows out: the chain of definition pages and, with Rows, the usage map and each
/// data page it lists (a data page of this table whose row offsets fit the page).
void Table::CheckPages(PageFile& Pages, bool Rows) {
    auto U32At = [](std::string_view P, std::size_t At) {
        std::uint32_t V = 0;
        if (At + 4 <= P.size())
            std::memcpy(&V, P.data() + At, 4);
        return V;
    };
    std::uint32_t Page = static_cast<std::uint32_t>(mEntry.table_pg), MapRow = 0;
    for (long long Hops = 0; Page != 0; ++Hops) {
        const std::string_view P = Pages.Read(Page, What());
        if (static_cast<std::uint8_t>(P[0]) != kDefinitionPage || Hops >= Pages.Count())
            Damaged(Format("page %u of %s is not a table definition page", Page, What()));
        if (Hops == 0)
            MapRow = U32At(P, mEntry.mdb->fmt->tab_usage_map_offset);
        Page = PageOwner(P); // the next page of the definition, 0 after the last
    }
    if (!mTable)
        Damaged(Format("the definition of %s cannot be read", What()));
    for (unsigned I = 0; I < Columns(); ++I)
        if (Column(I)->name[0] == '\0')
            Damaged(Format("the definition of %s is damaged", What()));
    if (!Rows)
        return;
    // The usage map is a row of a data page; libmdb takes whatever lies there.
    std::vector<PageRow> Slots;
    const unsigned char* Map = mTable->usage_map;
    const std::size_t MapSize = mTable->map_sz;
    {
        const std::string_view P = Pages.Read(MapRow >> 8, What());
        const std::string Problem = ReadPageRows(P, mJet4, Slots);
        if (!Problem.empty() || (MapRow & 0xFF) >= Slots.size() || MapSize < 1 || Map[0] > 1 ||
            static_cast<std::size_t>(Slots[MapRow & 0xFF].End - Slots[MapRow & 0xFF].Start) != MapSize ||
            std::memcmp(P.data() + Slots[MapRow & 0xFF].Start, Map, MapSize) != 0)
            Damaged(Format("the usage map of %s is damaged", What()));
    }
    for (std::size_t At = 1; Map[0] == 1 && At + 4 <= MapSize; At += 4) {
        std::uint32_t MapPage;
        std::memcpy(&MapPage, Map + At, 4);
        if (MapPage != 0 && static_cast<std::uint8_t>(Pages.Read(MapPage, What())[0]) != kUsageMapPage)
            Damaged(Format("page %u of %s is not a usage map page", MapPage, What()));
    }
    // Row slots: 0x4000 a pointer to the place a row that grew out of its page moved to (libmdb
    // passes over it); 0x8000 the row at such a place, or, when no pointer leads to it, a deleted
    // row. libmdb reads every row flagged 0x8000; deleted ones are passed over here, whatever
    // their bytes hold.
    std::vector<std::pair<std::uint32_t, std::vector<PageRow>>> DataPages;
    mDeleted.clear();
    std::vector<std::uint32_t> Moved; // page and row where rows flagged as moved went
    for (gint32 Next = 0;
         (Next = mdb_map_find_next(mTable->entry->mdb, mTable->usage_map, static_cast<unsigned>(MapSize),
                                   static_cast<guint32>(Next))) != 0;) {
        if (Next < 0)
            Damaged(Format("the usage map of %s is damaged", What()));
        const auto N = static_cast<std::uint32_t>(Next);
        std::string_view P;
        try {
            P = Pages.Read(N, What());
            const std::string Problem = ReadPageRows(P, mJet4, Slots);
            const bool BadRows =
                std::any_of(Slots.begin(), Slots.end(), [](const PageRow& R) { return R.Bad; });
            if (!Problem.empty() && (!mLost || !BadRows))
                Damaged(Format("page %u of %s is damaged: %s", N, What(), Problem));
            // Rows are independent: a row whose offset does not fit costs only that row.
            for (std::size_t R = 0; R < Slots.size(); ++R)
                if (Slots[R].Bad) {
                    mLost->push_back(
                        Format("the file is damaged: row %zu of page %u of %s is damaged", R, N, What()));
                    mDeleted.emplace_back(N, static_cast<unsigned>(R));
                }
            if (PageOwner(P) != mEntry.table_pg)
                Damaged(Format("page %u listed by %s belongs to another table", N, What()));
        } catch (const Failure& F) {
            if (!mLost)
                throw;
            mLost->push_back(F.Message);
            mLostPages.push_back(N);
            continue;
        }
        for (const PageRow& R : Slots)
            if (R.Flags == 0x4000)
                Moved.push_back(R.End - R.Start >= 4 ? U32At(P, static_cast<std::size_t>(R.Start)) : 0);
        DataPages.emplace_back(N, Slots);
    }
    std::vector<std::pair<std::uint32_t, unsigned>> Targets;
    for (const std::uint32_t To : Moved) {
        const bool Outside = (To >> 8) >= Pages.Count();
        const std::string_view P = Outside ? std::string_view() : Pages.Read(To >> 8, What());
        if (Outside || !ReadPageRows(P, mJet4, Slots).empty() || PageOwner(P) != mEntry.table_pg ||
            (To & 0xFF) >= Slots.size() || Slots[To & 0xFF].Flags != 0x8000) {
            const std::string Problem =
                Format("a moved row of %s points at page %u, which does not hold it", What(), To >> 8);
            if (!mLost)
                Damaged(Problem);
            mLost->push_back("the file is damaged: " + Problem);
            continue;
        }
        Targets.emplace_back(To >> 8, To & 0xFF);
    }
    std::sort(Targets.begin(), Targets.end());
    for (const auto& [N, Rows] : DataPages)
        for (std::size_t R = 0; R < Rows.size(); ++R) {
            const std::pair<std::uint32_t, unsigned> Key(N, static_cast<unsigned>(R));
            if ((Rows[R].Flags & 0x4000) || Rows[R].End <= Rows[R].Start)
                continue;
            if ((Rows[R].Flags & 0x8000) && !std::binary_search(Targets.begin(), Targets.end(), Key))
                mDeleted.push_back(Key);
            else
                mExpected.push_back(Key);
        }
    std::sort(mDeleted.begin(), mDeleted.end());
    std::sort(mLostPages.begin(), mLostPages.end());
}

/// mdb_fetch_row, passing over deleted rows, noting which row of which page it gave and checking
/// that row's frame.
bool Table::Fetch() {
    while (mdb_fetch_row(mTable)) {
        const unsigned Row = mTable->cur_row - 1;
        const std::pair<std::uint32_t, unsigned> Key(mTable->cur_phys_pg, Row);
        if (std::binary_search(mDeleted.begin(), mDeleted.end(), Key) ||
            std::binary_search(mLostPages.begin(), mLostPages.end(), Key.first))
            continue;
        int Start = 0;
        std::size_t Size = 0;
        if (mdb_find_row(mEntry.mdb, static_cast<int>(Row), &Start, &Size) != 0 ||
            !RowFrameFits({reinterpret_cast<const char*>(mEntry.mdb->pg_buf) + (Start & 0x1FFF), Size}, mJet4,
                          mTable->num_cols, mTable->num_var_cols)) {
            const std::string Problem =
                Format("row %u of page %u of %s is damaged", Row, mTable->cur_phys_pg, What());
            if (!mLost)
                Damaged(Problem);
            mLost->push_back("the file is damaged: " + Problem);
            mFetched.push_back(Key);
            continue;
        }
        mFetched.push_back(Key);
        return true;
    }
    return false;
}

void Table::CheckAllRowsRead() {
    std::sort(mFetched.begin(), mFetched.end());
    for (const auto& [Page, Row] : mExpected)
        if (!std::binary_search(mFetched.begin(), mFetched.end(), std::make_pair(Page, Row))) {
            const std::string Problem = Format("row %u of page %u of %s cannot be read", Row, Page, What());
            if (!mLost)
                Damaged(Problem);
            mLost->push_back("the file is damaged: " + Problem);
        }
}

class Reader {
public:
    Reader(MdbHandle* Mdb, const JetHeader& H)
        : mMdb(Mdb), mJet4(H.Version != 0), mPageSize(H.PageSize), mPageCount(H.FileSize / H.PageSize),
          mPages(Mdb, mPageCount) {}

    void Run(SnapshotWriter& W);

private:
    std::string_view Raw(MdbColumn* C) const;
    std::string LongValue(std::string_view Header, const MdbColumn* C) const;
    Variant Value(MdbColumn* C, bool ReadLongBinary) const;
    std::string Text(MdbColumn* C) const;
    void ReadCatalog(std::vector<CatalogObject>& Objects);
    void ReadDefinition(CatalogObject& O);
    /// With RowDamage, a row whose values cannot all be read is kept with Null in their place and
    /// why in (*RowDamage)[row]; RowDamage stays empty when every row was read.
    /// With Lost, a data page or row that cannot be read is left out and noted there.
    bool ReadRows(const std::string& Name, unsigned long Page, TableRows& Rows, bool LongBinary = false,
                  std::vector<std::string>* RowDamage = nullptr, std::vector<std::string>* Lost = nullptr);
    FileProject ReadProject(const std::vector<CatalogObject>& Objects);
    void ReadLegacyObjects(const std::vector<CatalogObject>& Objects, FileProject& P);

    MdbHandle* mMdb;
    bool mJet4;
    int mPageSize;
    long long mPageCount;
    PageFile mPages;
    /// The controls of forms and reports without code in the Access 95 layout (MSysObjects' Lv).
    std::vector<LegacyObject> mLegacyDesigns;
    /// What of the tables that hold forms, reports and code could not be read.
    std::vector<std::string> mStoreProblems;
    /// Why the definition of MSysModules2 cannot be read: it costs only modules that the VBA
    /// project does not give.
    std::string mLegacyFailure;
};

/// The tables that hold forms, reports and code: damage there costs those objects, never the
/// tables, queries and import/export setups.
bool IsStoreTable(const std::string& Name) {
    for (const char* Store : {"MSysAccessStorage", "MSysAccessObjects", "MSysModules", "MSysModules2"})
        if (Name == Store)
            return true;
    return false;
}

std::string_view Reader::Raw(MdbColumn* C) const {
    // After mdb_fetch_row the current data page is in pg_buf and every column knows where its
    // value lies; a value that would reach past the page is damage.
    if (C->cur_value_len <= 0)
        return {};
    if (C->cur_value_start < 0 || C->cur_value_start + C->cur_value_len > mPageSize)
        Damaged(Format("a value of column %s of table %s lies outside its page", C->name, C->table->name));
    return std::string_view(reinterpret_cast<const char*>(mMdb->pg_buf) + C->cur_value_start,
                            static_cast<std::size_t>(C->cur_value_len));
}

std::string Reader::LongValue(std::string_view Header, const MdbColumn* C) const {
    // A memo or OLE value: 12 bytes of length and flags, page and row, then the data itself when
    // inline (flag 0x80), or one row elsewhere (0x40), or a chain of rows each starting with the
    // page and row of the next. A value that its rows do not hold in full is damage.
    auto Broken = [C]() {
        Damaged(Format("a long value of column %s of table %s is damaged", C->name, C->table->name));
    };
    if (Header.size() < 12)
        Broken();
    auto U32 = [](const char* P) {
        std::uint32_t V;
        std::memcpy(&V, P, 4);
        return V;
    };
    const std::uint32_t LengthFlags = U32(Header.data());
    const std::size_t Length = std::min<std::size_t>(LengthFlags & 0x3FFFFFFF, kMaxLongValue);
    if (LengthFlags & 0x80000000) {
        if (Length > Header.size() - 12)
            Broken();
        return std::string(Header.substr(12, Length));
    }
    int PageRow = static_cast<int>(U32(Header.data() + 4));
    // One row of a data page, or nothing when the page or the row cannot hold it.
    auto Row = [this, &PageRow]() -> std::string_view {
        void* Buf = nullptr;
        int Offset = 0;
        std::size_t Size = 0;
        if ((PageRow >> 8) <= 0 || (PageRow >> 8) >= mPageCount ||
            mdb_find_pg_row(mMdb, PageRow, &Buf, &Offset, &Size) != 0 ||
            static_cast<const unsigned char*>(Buf)[0] != kDataPage ||
            Offset + Size > static_cast<std::size_t>(mPageSize))
            return {};
        return {static_cast<const char*>(Buf) + Offset, Size};
    };
    std::string Out;
    if (LengthFlags & 0x40000000) {
        const std::string_view R = Row();
        if (R.size() < Length)
            Broken();
        return std::string(R.substr(0, Length));
    }
    for (long long Hops = 0; Out.size() < Length; ++Hops) {
        const std::string_view R = Row();
        if (R.size() < 4 || Hops >= mPageCount)
            Broken();
        Out.append(R.substr(4, std::min(R.size() - 4, Length - Out.size())));
        PageRow = static_cast<int>(U32(R.data()));
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
        return Variant(DecodeJetText(LongValue(R, C), mJet4));
    case MDB_OLE: {
        if (!ReadLongBinary)
            return Variant::Null();
        const std::string Data = LongValue(R, C);
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
    T.CheckPages(mPages, true);
    const int Id = T.Find("Id"), ParentId = T.Find("ParentId"), Name = T.Find("Name"), Type = T.Find("Type"),
              Flags = T.Find("Flags"), Created = T.Find("DateCreate"), Updated = T.Find("DateUpdate"),
              Connect = T.Find("Connect"), Database = T.Find("Database"), Foreign = T.Find("ForeignName"),
              LvProp = T.Find("LvProp"), Lv = T.Find("Lv");
    if (Id < 0 || Name < 0 || Type < 0)
        throw Failure{"its catalogue has no Id, Name or Type column"};
    auto Col = [&T](int I) { return I < 0 ? nullptr : T.Column(static_cast<unsigned>(I)); };
    mdb_rewind_table(T.Def());
    while (T.Fetch()) {
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
        // Stored properties that cannot be read cost only their object, which says so when used.
        if (LvProp >= 0) {
            try {
                const std::string_view R = Raw(Col(LvProp));
                if (!R.empty())
                    O.Properties = ParseLvProp(LongValue(R, Col(LvProp)), mJet4, &O.Damage);
            } catch (const Failure& F) {
                O.Damage = F.Message;
            }
        }
        // Forms and reports of the Access 95 layout keep their controls in Lv.
        if (Lv >= 0 && (O.Type == kFormObject || O.Type == kReportObject)) {
            const bool Form = O.Type == kFormObject;
            try {
                const std::string_view R = Raw(Col(Lv));
                std::string Data = R.empty() ? std::string() : LongValue(R, Col(Lv));
                if (Data.size() >= 4 && Data.compare(0, 4, "\xF7\xEA\xCD\xAC") == 0)
                    mLegacyDesigns.push_back(
                        {Form ? LegacyObject::Form : LegacyObject::Report, O.Name, {}, std::move(Data)});
            } catch (const Failure& F) {
                mStoreProblems.push_back(Format("the design of the %s '%s' cannot be read (%s)",
                                                Form ? "form" : "report", O.Name, F.Message));
            }
        }
        Objects.push_back(std::move(O));
    }
    T.CheckAllRowsRead();
}

void Reader::ReadDefinition(CatalogObject& O) {
    Table T(mMdb, O.Name, static_cast<unsigned long>(O.Id) & 0x00FFFFFF, mPageCount);
    T.CheckPages(mPages, false);
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

bool Reader::ReadRows(const std::string& Name, unsigned long Page, TableRows& Rows, bool LongBinary,
                      std::vector<std::string>* RowDamage, std::vector<std::string>* Lost) {
    Table T(mMdb, Name, Page, mPageCount);
    T.KeepGoing(Lost);
    T.CheckPages(mPages, true);
    Rows.Name = Name;
    for (unsigned I = 0; I < T.Columns(); ++I)
        Rows.Columns.emplace_back(Utf8ToCp1252(T.Column(I)->name), T.Column(I)->col_type);
    mdb_rewind_table(T.Def());
    while (T.Fetch()) {
        if (Rows.Rows.size() >= kMaxRows)
            throw Failure{Format("its table %s holds too many rows", Name)};
        std::vector<Variant> Row;
        std::string Damage;
        for (unsigned I = 0; I < T.Columns(); ++I) {
            // With RowDamage, a long value that cannot be read costs only what its row holds.
            try {
                Row.push_back(Value(T.Column(I), LongBinary));
            } catch (const Failure& F) {
                if (!RowDamage)
                    throw;
                Row.push_back(Variant::Null());
                Damage = F.Message;
            }
        }
        if (RowDamage && (!Damage.empty() || !RowDamage->empty())) {
            RowDamage->resize(Rows.Rows.size());
            RowDamage->push_back(Damage);
        }
        Rows.Rows.push_back(std::move(Row));
    }
    T.CheckAllRowsRead();
    return true;
}

/// Why rows of Table were left out, as one reason: the first few, and how many more.
std::string LostRows(const std::string& Table, const std::vector<std::string>& Lost) {
    constexpr std::size_t kShown = 3;
    std::string Why;
    for (std::size_t I = 0; I < Lost.size() && I < kShown; ++I) {
        std::string_view L = Lost[I];
        if (L.starts_with("the file is damaged: "))
            L.remove_prefix(21);
        Why += (I ? "; " : "") + std::string(L);
    }
    if (Lost.size() > kShown)
        Why += Format("; and %zu more", Lost.size() - kShown);
    return Format("the file is damaged: rows of %s are missing (%s)", Table, Why);
}

FileProject Reader::ReadProject(const std::vector<CatalogObject>& Objects) {
    FileProject P;
    auto Lists = [&Objects](std::initializer_list<int> Types) {
        return std::any_of(Objects.begin(), Objects.end(), [Types](const CatalogObject& O) {
            return std::find(Types.begin(), Types.end(), O.Type) != Types.end();
        });
    };
    const ListedObjects Listed{Lists({kFormObject}), Lists({kReportObject}),
                               Lists({kFormObject, kReportObject, kModuleObject})};
    // Access 2002 and later keep the objects in MSysAccessStorage (a file may still have an old
    // MSysAccessObjects beside it); Access 97 and 2000 in the chunks of MSysAccessObjects.
    bool Read = false, Unreadable = false;
    for (const char* Name : {"MSysAccessStorage", "MSysAccessObjects"}) {
        const auto Source = std::find_if(Objects.begin(), Objects.end(), [Name](const CatalogObject& O) {
            return O.Type == 1 && O.Name == Name;
        });
        if (Source == Objects.end())
            continue;
        if (!Source->HasDefinition) {
            Unreadable = true; // noted in mStoreProblems
            continue;
        }
        // Rows are independent: a row or page that cannot be read costs what lay in it.
        std::vector<std::string> Lost;
        try {
            TableRows Rows;
            std::vector<std::string> Damage;
            ReadRows(Source->Name, static_cast<unsigned long>(Source->Id) & 0x00FFFFFF, Rows, true, &Damage,
                     &Lost);
            if (Rows.Rows.empty() && Lost.empty())
                continue;
            const std::vector<StorageRow> Storage = StorageRows(Rows, Damage);
            Rows = {};
            P = Source->Name == "MSysAccessStorage" ? ReadAccessProject(StorageTree(Storage), Listed)
                                                    : ReadChunkedProject(Storage, mJet4 ? 3992 : 241, Listed);
        } catch (const AccessFileError& E) {
            P.Problems.push_back(E.what());
        } catch (const Failure& F) {
            P.Problems.push_back(Format("its table %s cannot be read (%s)", Source->Name, F.Message));
        }
        if (!Lost.empty())
            NoteCause(P, LostRows(Source->Name, Lost));
        Read = true;
        break;
    }
    // Access 2000 and later keep every form, report and module there; without that table (its
    // catalogue row damaged, or every row of it lost) nothing of them is known, not even that a
    // form has no code. Files of the Access 95 layout keep them in MSysObjects and MSysModules2.
    const bool Legacy = std::any_of(Objects.begin(), Objects.end(), [](const CatalogObject& O) {
        return O.Type == 1 && O.Name == "MSysModules2";
    });
    if (!Read && !Unreadable && (mJet4 || (!Legacy && mLegacyDesigns.empty())) && Listed.Code)
        P.Problems.push_back("the table that holds its forms, reports and modules is missing (the file is "
                             "damaged: its catalogue lists them, but no table MSysAccessStorage or "
                             "MSysAccessObjects holds them)");
    P.Problems.insert(P.Problems.begin(), mStoreProblems.begin(), mStoreProblems.end());
    ReadLegacyObjects(Objects, P);
    return P;
}

void Reader::ReadLegacyObjects(const std::vector<CatalogObject>& Objects, FileProject& P) {
    // The modules of MSysModules2 count where the VBA project did not give them.
    const auto ProjectNote = [](const std::string& Problem) {
        return Problem.starts_with("its VBA project");
    };
    const bool Needed = P.Modules.empty() || std::any_of(P.Problems.begin(), P.Problems.end(), ProjectNote);
    std::vector<std::string> Lost;
    bool ReadWhole = false;
    std::vector<LegacyObject> Legacy;
    const auto Table = std::find_if(Objects.begin(), Objects.end(), [](const CatalogObject& O) {
        return O.Type == 1 && O.HasDefinition && O.Name == "MSysModules2";
    });
    if (Table != Objects.end()) {
        try {
            TableRows Rows;
            ReadRows(Table->Name, static_cast<unsigned long>(Table->Id) & 0x00FFFFFF, Rows, true, nullptr,
                     &Lost);
            auto Column = [&Rows](const char* Name) {
                for (std::size_t I = 0; I < Rows.Columns.size(); ++I)
                    if (SameText(Rows.Columns[I].first, Name))
                        return static_cast<int>(I);
                return -1;
            };
            const int Name = Column("Name"), Type = Column("Type"), Module = Column("Module"),
                      TypeInfo = Column("TypeInfo");
            if (Name < 0 || Type < 0 || Module < 0)
                throw Failure{"it has no Name, Type or Module column"};
            auto Bytes = [](const Variant& V) {
                if (V.IsNull() || V.IsText())
                    return std::string();
                const std::vector<std::uint8_t>& B = V.AsBytes();
                return std::string(B.begin(), B.end());
            };
            for (const std::vector<Variant>& Row : Rows.Rows) {
                const Variant& TypeValue = Row[static_cast<std::size_t>(Type)];
                const int Kind = TypeValue.IsNull() ? 0 : static_cast<int>(TypeValue.AsInteger());
                LegacyObject O;
                O.Name = VarToStr(Row[static_cast<std::size_t>(Name)]);
                const char* Prefix = Kind == 32768 ? "Form_" : "Report_";
                if (Kind == 32775)
                    O.Kind = LegacyObject::Module;
                else if ((Kind == 32768 || Kind == 32772) && O.Name.rfind(Prefix, 0) == 0) {
                    O.Kind = Kind == 32768 ? LegacyObject::Form : LegacyObject::Report;
                    O.Name.erase(0, std::strlen(Prefix));
                } else
                    continue;
                O.Code = Bytes(Row[static_cast<std::size_t>(Module)]);
                if (TypeInfo >= 0)
                    O.TypeInfo = Bytes(Row[static_cast<std::size_t>(TypeInfo)]);
                Legacy.push_back(std::move(O));
            }
            ReadWhole = Lost.empty();
        } catch (const Failure& F) {
            Lost = {F.Message};
        }
    }
    Legacy.insert(Legacy.end(), mLegacyDesigns.begin(), mLegacyDesigns.end());
    const bool Supplied =
        std::any_of(Legacy.begin(), Legacy.end(), [](const LegacyObject& O) { return !O.Code.empty(); });
    AddLegacyObjects(Legacy, P);
    // Read whole, MSysModules2 holds every module (Access 97 keeps each in both tables): what the
    // VBA project lost is not lost, and what the other application objects lost costs the forms'
    // and reports' designs only.
    if (Supplied && ReadWhole)
        for (auto It = P.Problems.begin(); It != P.Problems.end();) {
            if (It->starts_with("its VBA project")) {
                It = P.Problems.erase(It);
                continue;
            }
            if (!It->starts_with("the design of ") && !It->starts_with("the code of module ") &&
                !It->starts_with("the list of "))
                *It = "the list of forms and reports cannot be read (" + *It + ")";
            ++It;
        }
    if (!mLegacyFailure.empty())
        Lost = {mLegacyFailure};
    if (Needed && !Lost.empty())
        P.Problems.push_back("its VBA project cannot be read whole from MSysModules2 (" +
                             LostRows("MSysModules2", Lost) + ")");
}

void Reader::Run(SnapshotWriter& W) {
    std::vector<CatalogObject> Objects;
    ReadCatalog(Objects);
    std::vector<TableRows> Tables;
    for (CatalogObject& O : Objects) {
        if (O.Type != 1)
            continue;
        if (IsStoreTable(O.Name)) {
            try {
                ReadDefinition(O);
            } catch (const Failure& F) {
                O.HasDefinition = false;
                if (O.Name == "MSysModules2")
                    mLegacyFailure = F.Message;
                else
                    mStoreProblems.push_back(Format("its table %s cannot be read (%s)", O.Name, F.Message));
            }
            continue;
        }
        // The catalogue's queries need MSysQueries; any other table that cannot be read costs only
        // itself, and says why to whoever asks for it.
        const bool Queries = O.Name == "MSysQueries";
        try {
            ReadDefinition(O);
            for (const char* System : {"MSysQueries", "MSysIMEXSpecs", "MSysIMEXColumns"})
                if (O.Name == System) {
                    TableRows Rows;
                    if (ReadRows(O.Name, static_cast<unsigned long>(O.Id) & 0x00FFFFFF, Rows))
                        Tables.push_back(std::move(Rows));
                }
        } catch (const Failure& F) {
            if (Queries)
                throw;
            O.HasDefinition = false;
            O.Columns.clear();
            O.Damage = F.Message;
        }
    }
    // Every query has rows in MSysQueries (its kind at least): a query without any lost its
    // definition, or the catalogue lost the table itself, and is not read as an empty one.
    const auto Queries = std::find_if(Tables.begin(), Tables.end(),
                                      [](const TableRows& T) { return T.Name == "MSysQueries"; });
    std::set<std::int64_t> Defined;
    if (Queries != Tables.end())
        for (std::size_t C = 0; C < Queries->Columns.size(); ++C)
            if (g_ascii_strcasecmp(Queries->Columns[C].first.c_str(), "ObjectId") == 0)
                for (const std::vector<Variant>& Row : Queries->Rows)
                    try {
                        if (!Row[C].IsNull())
                            Defined.insert(Row[C].AsInteger());
                    } catch (const std::exception&) {
                        // a damaged file may give the column another type: no query's row
                    }
    for (CatalogObject& O : Objects)
        if (O.Type == kQueryObject && O.Damage.empty() && !Defined.contains(O.Id))
            O.Damage = Queries == Tables.end()
                           ? "the file is damaged: its catalogue lists queries, but no table MSysQueries"
                           : "the file is damaged: MSysQueries holds no row of it";
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
        W.Error(H.NotDatabase ? "it is not an Access database" : H.Problem);
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
