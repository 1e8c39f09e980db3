// Damaged copies of a real database: opening and reading the catalogue either works or raises
// EOleException naming the file; it never takes the test process down.

#include "platform/dao/DAO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

/// Walks everything a scan reads, reading values where they can be read.
int WalkCatalogue(dao::Database& Db) {
    int Values = 0;
    auto Props = [&Values](const dao::PropertyList& L) {
        for (int I = 0; I < L.Count(); ++I) {
            try {
                Values += !L.Item(I).Value().AsString().empty();
            } catch (const EOleException&) {
            }
        }
    };
    for (int I = 0; I < Db.TableDefs().Count(); ++I) {
        auto T = Db.TableDefs().Item(I);
        Props(T->Properties());
        for (int F = 0; F < T->Fields().Count(); ++F)
            Props(T->Fields().Item(F).Properties());
    }
    for (int I = 0; I < Db.QueryDefs().Count(); ++I) {
        auto Q = Db.QueryDefs().Item(I);
        Props(Q->Properties());
        for (int F = 0; F < Q->Fields().Count(); ++F)
            Props(Q->Fields().Item(F).Properties());
    }
    auto Rs = Db.OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3);
    while (!Rs->EOF())
        Rs->MoveNext();
    return Values;
}

} // namespace

TEST(OpenDatabaseFuzzTest, DamagedFilesOpenOrFailCleanly) {
    std::ifstream In(QUORVEX_TEST_DATA "/nwind.mdb", std::ios::binary);
    const std::string Original(std::istreambuf_iterator<char>(In), {});
    std::string Templ = (fs::temp_directory_path() / "qxfuzz-XXXXXX").string();
    const fs::path Dir = mkdtemp(Templ.data());
    std::mt19937 Rng(20240601);
    const std::size_t PageSize = 2048;
    const std::size_t Pages = Original.size() / PageSize;
    int Opened = 0, Refused = 0;
    for (int Round = 0; Round < 60; ++Round) {
        std::string Data = Original;
        // Damage the pages libmdb trusts most: the catalogue's definition and data pages, the
        // page holding property blobs, and pages picked at random; sometimes cut the file short.
        const int Hits = 1 + static_cast<int>(Rng() % 40);
        for (int H = 0; H < Hits; ++H) {
            const std::size_t Page = Rng() % 3 == 0 ? Rng() % Pages : 2 + Rng() % 8;
            Data[Page * PageSize + Rng() % PageSize] = static_cast<char>(Rng());
        }
        if (Round % 7 == 6)
            Data.resize(PageSize * (3 + Rng() % (Pages - 3)) + Rng() % PageSize);
        const std::string File = (Dir / ("damaged" + std::to_string(Round) + ".mdb")).string();
        std::ofstream(File, std::ios::binary) << Data;
        try {
            auto Db = dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(File, false, true, "");
            WalkCatalogue(*Db);
            ++Opened;
        } catch (const EOleException& E) {
            EXPECT_NE(E.Message().find(File), std::string::npos) << E.Message();
            ++Refused;
        }
    }
    fs::remove_all(Dir);
    EXPECT_EQ(Opened + Refused, 60);
}
