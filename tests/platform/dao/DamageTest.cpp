// Damaged copies of the real Jet 3, Jet 4 and ACE fixtures: every open either fails with the
// engine's damaged-file error naming the file and what is wrong, or gives exactly the catalogue
// of the undamaged file. Nothing in between: an audit must never scan half a database.

#include "platform/dao/DAO.h"
#include "platform/dao/JetFormat.h"
#include "platform/dao/ReaderProcess.h"
#include "platform/dao/Snapshot.h"
#include "tests/platform/dao/CatalogueDump.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

struct Fixture {
    const char* File;
    std::size_t PageSize;
    bool Jet4;
};

const Fixture kFixtures[] = {
    {"nwind.mdb", 2048, false}, {"Northwind2000.mdb", 4096, true}, {"vcs-testing/Testing.accdb", 4096, true}};

struct Damage {
    std::string What;
    std::string Data;
    /// Text the error must hold; empty when the damaged file may also give the same catalogue.
    std::string MustFail;
};

/// Damage of the kinds real damaged files show: cut files, zeroed pages, flipped row offsets.
std::vector<Damage> Damages(const std::string& Original, const Fixture& F) {
    const std::size_t Size = F.PageSize, Pages = Original.size() / Size;
    auto Page = [&](std::size_t N) { return std::string_view(Original).substr(N * Size, Size); };
    std::vector<std::size_t> Catalogue; // data pages of MSysObjects
    for (std::size_t N = 3; N < Pages; ++N)
        if (Page(N)[0] == dao::kDataPage && dao::PageOwner(Page(N)) == 2)
            Catalogue.push_back(N);
    std::vector<Damage> Out;
    for (const std::size_t N : {std::size_t{3}, Catalogue.front(), Catalogue.back(), Pages / 2, Pages - 1})
        Out.push_back({"cut at page " + std::to_string(N), Original.substr(0, N * Size), ""});
    // A partial last page is missing as in the file cut before it.
    for (const std::size_t Cut : {Size * 3 + 1, Size * (Pages / 3) + 100, Original.size() - 1})
        Out.push_back({"cut at byte " + std::to_string(Cut), Original.substr(0, Cut), ""});
    auto Zeroed = [&](std::size_t N) {
        std::string D = Original;
        std::fill_n(D.begin() + static_cast<std::ptrdiff_t>(N * Size), Size, '\0');
        return D;
    };
    for (const std::size_t N : Catalogue)
        Out.push_back({"catalogue page " + std::to_string(N) + " zeroed", Zeroed(N), "damaged"});
    for (std::size_t N = 4; N < Pages; N += Pages / 7)
        Out.push_back({"page " + std::to_string(N) + " zeroed", Zeroed(N), ""});
    const std::size_t CountAt = F.Jet4 ? 12 : 8;
    for (const std::size_t N : Catalogue) {
        const std::size_t Rows = static_cast<std::uint8_t>(Page(N)[CountAt]) |
                                 static_cast<std::size_t>(static_cast<std::uint8_t>(Page(N)[CountAt + 1]))
                                     << 8;
        for (const std::size_t Row : {std::size_t{0}, Rows - 1})
            for (const int Bit : {0, 9, 14}) {
                std::string D = Original;
                D[N * Size + CountAt + 2 + 2 * Row + Bit / 8] ^= static_cast<char>(1 << (Bit % 8));
                Out.push_back({"page " + std::to_string(N) + " row " + std::to_string(Row) + " offset bit " +
                                   std::to_string(Bit),
                               D, ""});
            }
    }
    return Out;
}

} // namespace

TEST(DamagedDatabaseTest, OpensFailClearlyOrGiveTheWholeCatalogue) {
    const fs::path Dir = fs::temp_directory_path() / ("qxdamage-" + std::to_string(getpid()));
    fs::create_directories(Dir);
    for (const Fixture& F : kFixtures) {
        const std::string Path = std::string(QUORVEX_TEST_DATA "/") + F.File;
        const std::string Original = ReadFile(Path);
        const std::string Expected = daotest::Catalogue(Path);
        int Refused = 0, Same = 0;
        for (const Damage& D : Damages(Original, F)) {
            const std::string File = (Dir / "damaged.mdb").string();
            std::ofstream(File, std::ios::binary | std::ios::trunc) << D.Data;
            try {
                const std::string Got = daotest::Catalogue(File);
                EXPECT_TRUE(D.MustFail.empty()) << F.File << ", " << D.What << ": opened";
                EXPECT_TRUE(Got == Expected) << F.File << ", " << D.What << ": opened with another catalogue";
                ++Same;
            } catch (const EOleException& E) {
                // The file refused whole, or one table of it that cannot be read.
                EXPECT_EQ(E.ErrorCode(), dao::daoErrCannotRead) << E.Message();
                EXPECT_TRUE(E.Message().starts_with("'" + File + "' could not be read: ") ||
                            std::regex_search(E.Message(), std::regex("^The table '[^']+' of '" + File +
                                                                      "' cannot be read: ")))
                    << E.Message();
                EXPECT_NE(E.Message().find(D.MustFail.empty() ? "damaged" : D.MustFail), std::string::npos)
                    << F.File << ", " << D.What << ": " << E.Message();
                ++Refused;
            }
        }
        // Both outcomes occur: damage that misses what the scans read leaves the catalogue whole.
        EXPECT_GT(Refused, 20) << F.File;
        EXPECT_GT(Same, 3) << F.File;
    }
    fs::remove_all(Dir);
}

TEST(DamagedDatabaseTest, MessagesSayWhatIsWrong) {
    const std::string Original = ReadFile(QUORVEX_TEST_DATA "/nwind.mdb");
    const fs::path Dir = fs::temp_directory_path() / ("qxdamage-msg-" + std::to_string(getpid()));
    fs::create_directories(Dir);
    auto Message = [&](const std::string& Data) {
        const std::string File = (Dir / "nwind.mdb").string();
        std::ofstream(File, std::ios::binary | std::ios::trunc) << Data;
        try {
            dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(File, false, true, "");
        } catch (const EOleException& E) {
            return E.Message().substr(E.Message().find(": ") + 2);
        }
        return std::string("opened");
    };
    // A partial page at the end is missing, as in the file cut before it.
    EXPECT_EQ(Message(Original.substr(0, 2048 * 700 + 5)),
              "the file is damaged: page 713 of table MSysObjects lies past the end of the file.");
    // The catalogue's first data page is page 18; cut before it, it is missing.
    EXPECT_EQ(Message(Original.substr(0, 2048 * 10)),
              "the file is damaged: page 18 of table MSysObjects lies past the end of the file.");
    std::string Zeroed = Original;
    std::fill_n(Zeroed.begin() + 18 * 2048, 2048, '\0');
    EXPECT_EQ(Message(Zeroed),
              "the file is damaged: page 18 of table MSysObjects is damaged: it is not a data page "
              "(kind 0).");
    std::string Flipped = Original;
    Flipped[18 * 2048 + 10 + 2 * 3 + 1] ^= 0x04; // row 3 now starts 1 KB further on
    EXPECT_NE(Message(Flipped).find("page 18 of table MSysObjects is damaged: the offset of its row"),
              std::string::npos);
    Flipped = Original;
    Flipped[18 * 2048 + 10 + 2 * 3] ^= 0x01; // row 3 one byte longer, row 4 one byte shorter
    EXPECT_NE(Message(Flipped).find("of page 18 of table MSysObjects is damaged."), std::string::npos);
    fs::remove_all(Dir);
}

TEST(DamagedDatabaseTest, AFileNotClosedProperlyStillGivesAllItsRows) {
    // Access leaves the row count of a definition at 0 when it is not closed properly. The tables'
    // RecordCount shows that count; everything else is as in the file closed properly.
    auto WithoutCounts = [](const std::string& Catalogue) {
        return std::regex_replace(Catalogue, std::regex(" RecordCount=-?[0-9]+"), "");
    };
    for (const Fixture& F : kFixtures) {
        const std::string Path = std::string(QUORVEX_TEST_DATA "/") + F.File;
        std::string Data = ReadFile(Path);
        const std::size_t RowCountAt = F.Jet4 ? 16 : 12;
        for (std::size_t N = 2; N < Data.size() / F.PageSize; ++N)
            if (Data[N * F.PageSize] == dao::kDefinitionPage)
                std::fill_n(Data.begin() + static_cast<std::ptrdiff_t>(N * F.PageSize + RowCountAt), 4, '\0');
        const std::string File =
            (fs::temp_directory_path() / ("qxunclosed-" + std::to_string(getpid()) + ".mdb")).string();
        std::ofstream(File, std::ios::binary) << Data;
        EXPECT_TRUE(WithoutCounts(daotest::Catalogue(File)) == WithoutCounts(daotest::Catalogue(Path)))
            << F.File;
        fs::remove(File);
    }
}

TEST(JetPageTest, RowSlotsAndRowFramesOfARealPage) {
    // Page 18 of nwind.mdb is a data page of MSysObjects (page 2).
    const std::string Page = ReadFile(QUORVEX_TEST_DATA "/nwind.mdb").substr(18 * 2048, 2048);
    std::vector<dao::PageRow> Rows;
    ASSERT_EQ(dao::ReadPageRows(Page, false, Rows), "");
    EXPECT_EQ(dao::PageOwner(Page), 2u);
    ASSERT_GT(Rows.size(), 2u);
    EXPECT_EQ(Rows[0].End, 2048);
    for (std::size_t I = 1; I < Rows.size(); ++I)
        EXPECT_EQ(Rows[I].End, Rows[I - 1].Start);
    // MSysObjects of Jet 3: 17 columns, 11 of them of variable length.
    const dao::PageRow& R = Rows[1];
    const std::string_view Row = std::string_view(Page).substr(R.Start, R.End - R.Start);
    EXPECT_TRUE(dao::RowFrameFits(Row, false, 17, 11));
    EXPECT_FALSE(dao::RowFrameFits(Row.substr(1), false, 17, 11));                 // start one byte late
    EXPECT_FALSE(dao::RowFrameFits(Row.substr(0, Row.size() - 1), false, 17, 11)); // end one byte early
    EXPECT_FALSE(dao::RowFrameFits(Row, false, 16, 11)); // more columns than the table

    std::string Bad = Page;
    Bad[8] = static_cast<char>(0xFF); // 255+ rows cannot fit their offsets into the page header area
    Bad[9] = 0x04;
    EXPECT_EQ(dao::ReadPageRows(Bad, false, Rows), "its 1279 rows do not fit the page");
    Bad = Page;
    Bad[0] = dao::kDefinitionPage;
    EXPECT_EQ(dao::ReadPageRows(Bad, false, Rows), "it is not a data page (kind 2)");
}

namespace {

/// Everything the reader gives of a file, as text.
std::string SnapshotText(const std::string& File) {
    const auto S = dao::ReadSnapshot(File, dao::ReaderProgram(), dao::ReaderTimeLimit());
    std::string Text;
    dao::SnapshotWriter W(Text);
    W.Header(S->JetVersion);
    for (const dao::CatalogObject& O : S->Objects)
        W.Object(O);
    for (const dao::TableRows& T : S->Tables)
        W.Table(T);
    W.Project(S->Project);
    return Text;
}

std::size_t U16At(const std::string& B, std::size_t At) {
    return static_cast<std::uint8_t>(B[At]) | static_cast<std::size_t>(static_cast<std::uint8_t>(B[At + 1]))
                                                  << 8;
}

void PutU16(std::string& B, std::size_t At, std::size_t V) {
    B[At] = static_cast<char>(V & 0xFF);
    B[At + 1] = static_cast<char>(V >> 8);
}

/// Gives the lowest row of each data page of the table defined on page Definition Slack zero bytes
/// between its data and its offset table, as Access leaves a row that shrank; the row grows into
/// the page's free space. Returns how many rows were given slack.
int AddSlack(std::string& Data, const Fixture& F, std::uint32_t Definition, std::size_t Slack) {
    const std::size_t CountAt = F.Jet4 ? 12 : 8, CountSize = F.Jet4 ? 2 : 1;
    int Done = 0;
    for (std::size_t N = 3; N < Data.size() / F.PageSize; ++N) {
        const std::size_t Page = N * F.PageSize;
        if (Data[Page] != dao::kDataPage ||
            dao::PageOwner(std::string_view(Data).substr(Page, 8)) != Definition)
            continue;
        const std::size_t Count = U16At(Data, Page + CountAt);
        if (Count == 0)
            continue;
        const std::size_t Slot = Page + CountAt + 2 * Count, Raw = U16At(Data, Slot);
        const std::size_t Start = Raw & 0x1FFF,
                          End = Count == 1 ? F.PageSize : U16At(Data, Slot - 2) & 0x1FFF;
        const std::size_t Size = End - Start;
        if ((Raw & 0xC000) != 0 || Size < 8 || Start < CountAt + 2 * Count + 2 + Slack ||
            (Size - 1) / 256 != (Size + Slack - 1) / 256)
            continue;
        std::string Row = Data.substr(Page + Start, Size);
        const std::size_t Columns = F.Jet4 ? U16At(Row, 0) : static_cast<std::uint8_t>(Row[0]);
        const std::size_t VarAt = Size - (Columns + 7) / 8 - CountSize;
        const std::size_t Var = F.Jet4 ? U16At(Row, VarAt) : static_cast<std::uint8_t>(Row[VarAt]);
        const std::size_t Table = F.Jet4 ? VarAt - 2 * Var - 2 : VarAt - (Size - 1) / 256 - Var - 1;
        Row.insert(Table, Slack, '\0');
        Data.replace(Page + Start - Slack, Row.size(), Row);
        PutU16(Data, Slot, Start - Slack);
        PutU16(Data, Page + 2, U16At(Data, Page + 2) - Slack); // free space
        ++Done;
    }
    return Done;
}

} // namespace

TEST(JetPageTest, RowsWithSlackBeforeTheirOffsetTableAreRead) {
    // Row 0 of page 85 of connect.mdb ends its data 11 bytes before its offset table (its form and
    // code are read whole: FileSourceTest). The same slack given to rows of the catalogue and of
    // the object stores of real files leaves everything read as it was.
    const fs::path Dir = fs::temp_directory_path() / ("qxslack-" + std::to_string(getpid()));
    fs::create_directories(Dir);
    const std::pair<const Fixture*, std::vector<std::uint32_t>> Cases[] = {
        {&kFixtures[0], {2}}, {&kFixtures[1], {2, 498}}, {&kFixtures[2], {2, 43}}};
    for (const auto& [F, Tables] : Cases) {
        const std::string Path = std::string(QUORVEX_TEST_DATA "/") + F->File;
        std::string Data = ReadFile(Path);
        for (const std::uint32_t Definition : Tables)
            EXPECT_GT(AddSlack(Data, *F, Definition, 6), 0) << F->File << " table " << Definition;
        const std::string File = (Dir / fs::path(F->File).filename()).string();
        std::ofstream(File, std::ios::binary | std::ios::trunc) << Data;
        EXPECT_TRUE(SnapshotText(File) == SnapshotText(Path)) << F->File;
    }
    fs::remove_all(Dir);
}

namespace {

/// Every table and query of a file, each as what the scans read of it or the message of the error
/// that reading it raises.
std::map<std::string, std::string> Definitions(const std::string& File) {
    auto Db = dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(File, false, true, "");
    std::map<std::string, std::string> Out;
    auto Dump = [&Out](const std::string& Name, const auto& Def) {
        std::string& Text = Out[Name];
        try {
            daotest::DumpProperties(Def->Properties(), Text);
            for (int F = 0; F < Def->Fields().Count(); ++F)
                daotest::DumpProperties(Def->Fields().Item(F).Properties(), Text);
        } catch (const EOleException& E) {
            Text = "! " + E.Message();
        }
    };
    for (int I = 0; I < Db->TableDefs().Count(); ++I)
        Dump(Db->TableDefs().Item(I)->Name(), Db->TableDefs().Item(I));
    for (int I = 0; I < Db->QueryDefs().Count(); ++I)
        Dump(Db->QueryDefs().Item(I)->Name(), Db->QueryDefs().Item(I));
    return Out;
}

/// The names whose text differs between two reads.
std::vector<std::string> Differ(const std::map<std::string, std::string>& A,
                                const std::map<std::string, std::string>& B) {
    std::vector<std::string> Out;
    for (const auto& [Name, Text] : A)
        if (!B.contains(Name) || B.at(Name) != Text)
            Out.push_back(Name);
    return Out;
}

} // namespace

TEST(DamagedDatabaseTest, ATableThatCannotBeReadCostsOnlyItselfAndSaysWhy) {
    // nwind.mdb: the definition pages of a user table and of three system tables the scans need
    // or not, and the stored properties of tables and queries (records whose length is made
    // impossible).
    const std::string Path = QUORVEX_TEST_DATA "/nwind.mdb";
    const std::string Original = ReadFile(Path);
    const auto Expected = Definitions(Path);
    const fs::path Dir = fs::temp_directory_path() / ("qxtable-" + std::to_string(getpid()));
    fs::create_directories(Dir);
    const std::string File = (Dir / "nwind.mdb").string();
    auto Write = [&File](const std::string& Data) {
        std::ofstream(File, std::ios::binary | std::ios::trunc) << Data;
    };
    for (const auto& [Table, Page] : {std::pair<std::string, std::size_t>{"Employees", 94},
                                      {"MSysCmdbars", 204},
                                      {"MSysIMEXColumns", 211}}) {
        std::string Data = Original;
        std::fill_n(Data.begin() + static_cast<std::ptrdiff_t>(Page * 2048), 2048, '\0');
        Write(Data);
        const auto Read = Definitions(File);
        // Queries over the table take their columns from it, and say so.
        std::vector<std::string> Names = Differ(Read, Expected);
        std::erase_if(Names, [&](const std::string& Name) {
            return Read.at(Name).starts_with("! The query '" + Name + "' of '" + File +
                                             "' cannot be read: its table '" + Table + "' cannot be read (");
        });
        EXPECT_EQ(Names, std::vector<std::string>{Table});
        EXPECT_TRUE(Read.at(Table).starts_with("! The table '" + Table + "' of '" + File +
                                               "' cannot be read: the file is damaged: page " +
                                               std::to_string(Page)))
            << Read.at(Table);
        // A query over the import/export tables fails on the one that cannot be read only.
        auto Db = dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(File, false, true, "");
        EXPECT_TRUE(Db->OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3)->EOF());
        if (Table == "MSysIMEXColumns") {
            EXPECT_THROW(Db->OpenRecordset("SELECT * FROM MSysIMEXColumns", 2, 512, 3), EOleException);
        }
    }
    // A record of stored properties whose length is made impossible: the rest of its block cannot
    // be framed, and the one table or query it belongs to says so.
    int Damaged = 0, Tried = 0;
    for (std::size_t At = Original.find(std::string("KKD\0", 4)); At != std::string::npos && Tried < 12;
         At = Original.find(std::string("KKD\0", 4), At + 1)) {
        // The blob: magic, the chunk of names (length, type), then a block: chunk length and type,
        // block length, name length and name, then its first record's length.
        const std::size_t Names = U16At(Original, At + 4) | U16At(Original, At + 6) << 16;
        const std::size_t Block = At + 4 + Names;
        // Those of tables and queries name field properties such as Caption.
        if (Block + 16 > Original.size() || U16At(Original, Block + 4) > 2 ||
            Original.substr(At, Names).find("Caption") == std::string::npos)
            continue;
        const std::size_t Record = Block + 6 + 6 + U16At(Original, Block + 10);
        std::string Data = Original;
        PutU16(Data, Record, 0xFFF0);
        Write(Data);
        ++Tried;
        const auto Read = Definitions(File);
        std::vector<std::string> Changed = Differ(Read, Expected);
        if (Changed.empty())
            continue; // a copy the file no longer uses
        // One table or query says so, and queries over it name it.
        const auto Own = std::find_if(Changed.begin(), Changed.end(), [&Read](const std::string& Name) {
            return Read.at(Name).find("cannot be read: its stored properties are damaged") !=
                   std::string::npos;
        });
        ASSERT_NE(Own, Changed.end()) << "blob at " << At;
        for (const std::string& Name : Changed) {
            if (Name == *Own)
                continue;
            EXPECT_NE(Read.at(Name).find("' cannot be read: its query '" + *Own + "' cannot be read ("),
                      std::string::npos)
                << Read.at(Name);
        }
        ++Damaged;
    }
    EXPECT_GE(Damaged, 6);
    // Northwind2000.mdb cut before the stored properties of some of its objects: those say so.
    Write(ReadFile(QUORVEX_TEST_DATA "/Northwind2000.mdb").substr(0, 650 * 4096));
    int Unread = 0;
    for (const auto& [Name, Text] : Definitions(File))
        Unread += Text.ends_with(
            "the file is damaged: a long value of column LvProp of table MSysObjects is damaged.");
    EXPECT_GT(Unread, 0);
    fs::remove_all(Dir);
}

TEST(DamagedDatabaseTest, QueriesWhoseDefinitionsAreGoneSayWhyAndTheTablesAreReadWhole) {
    // One damaged letter of MSysQueries' name in the catalogue of nwind.mdb: the queries it lists
    // have no definition left. Each says so instead of being read as an empty query.
    const std::string Path = QUORVEX_TEST_DATA "/nwind.mdb";
    std::string Data = ReadFile(Path);
    int Renamed = 0;
    for (std::size_t N = 3; N < Data.size() / 2048; ++N)
        if (Data[N * 2048] == dao::kDataPage &&
            dao::PageOwner(std::string_view(Data).substr(N * 2048, 2048)) == 2)
            for (std::size_t At = Data.find("MSysQueries", N * 2048); At < (N + 1) * 2048;
                 At = Data.find("MSysQueries", At + 1), ++Renamed)
                Data[At + 10] = 'X';
    ASSERT_EQ(Renamed, 1);
    const fs::path Dir = fs::temp_directory_path() / ("qxqueries-" + std::to_string(getpid()));
    fs::create_directories(Dir);
    const std::string File = (Dir / "nwind.mdb").string();
    std::ofstream(File, std::ios::binary) << Data;
    const auto Expected = Definitions(Path);
    const auto Read = Definitions(File);
    int Queries = 0;
    for (const auto& [Name, Text] : Read)
        if (Name == "MSysQuerieX") {
            continue;
        } else if (Text.starts_with("! The query '")) {
            ++Queries;
            EXPECT_EQ(Text, "! The query '" + Name + "' of '" + File +
                                "' cannot be read: the file is damaged: its catalogue lists queries, but no "
                                "table MSysQueries.");
        } else {
            EXPECT_EQ(Text, Expected.at(Name)) << Name;
        }
    EXPECT_GT(Queries, 10);
    fs::remove_all(Dir);
}
