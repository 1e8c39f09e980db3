// The version-resource reader on every kind of executable, and on files without a resource.
// The fixtures are made by tests/data/verinfo/make_fixtures.py.

#include "scanmodel/VerinfoObject.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string Fixture(const char* Name) {
    return std::string(QUORVEX_TEST_DATA) + "/verinfo/" + Name;
}

template <class E>
void ExpectFailure(const char* Name, const char* Message) {
    try {
        TVerInfoRes Info(Fixture(Name));
        ADD_FAILURE() << Name << " was read";
    } catch (const E& Error) {
        EXPECT_EQ(Error.Message(), Message) << Name;
    }
}

} // namespace

TEST(VerInfoRes, ReadsA32BitPortableExecutable) {
    TVerInfoRes Info(Fixture("pe32_full.dll"));
    EXPECT_EQ(Info.FixedFileVersion(), "1.2.3.4");
    EXPECT_EQ(Info.GetString(0), "Brackle Controls");
    EXPECT_EQ(Info.GetString(1), "Calendar control");
    EXPECT_EQ(Info.GetString(2), "1.2.3.4");
    EXPECT_EQ(Info.GetString(4), "(c) 1997");
    EXPECT_EQ(Info.GetString(7), "Brackle Calendar");
    EXPECT_EQ(Info.GetString(9), "") << "no Comments in this file";
    EXPECT_EQ(Info.GetString(10), "");
    EXPECT_EQ(Info.Translation(), 0x04E40409u);
}

TEST(VerInfoRes, ReadsA64BitPortableExecutableInItsFirstTranslation) {
    TVerInfoRes Info(Fixture("pe64_full.ocx"));
    EXPECT_EQ(Info.FixedFileVersion(), "65535.0.32768.7");
    EXPECT_EQ(Info.GetString(0), "Erste Firma");
    EXPECT_EQ(Info.GetString(9), "Erste");
    EXPECT_EQ(Info.GetString(1), "") << "the first translation has no description";
}

TEST(VerInfoRes, ReadsAFileOfTheMingwToolChain) {
    TVerInfoRes Info(Fixture("windres_pe64.dll"));
    EXPECT_EQ(Info.FixedFileVersion(), "4.5.6.7");
    EXPECT_EQ(Info.GetString(0), "Windres Company");
    EXPECT_EQ(Info.GetString(7), "Windres Product");
    EXPECT_EQ(Info.GetString(9), "Linked by ld");
}

TEST(VerInfoRes, ReadsThe16BitLayoutOfANewExecutable) {
    TVerInfoRes Info(Fixture("ne_control.vbx"));
    EXPECT_EQ(Info.FixedFileVersion(), "3.0.0.1");
    EXPECT_EQ(Info.GetString(0), "Brackle Controls");
    EXPECT_EQ(Info.GetString(4), "\xA9 1995 Brackle");
    EXPECT_EQ(Info.GetString(7), "Brackle Grid");
    EXPECT_EQ(Info.GetString(9), "16-bit");
}

TEST(VerInfoRes, ReadsTheSectionOfOurOwnProgram) {
    // The test program embeds its resource with quorvex_embed_version (see CMakeLists.txt).
    TVerInfoRes Info("/proc/self/exe");
    EXPECT_EQ(Info.FixedFileVersion(), "2.7.1.65535");
    EXPECT_EQ(Info.GetString(0), "Quorvex Test Company");
    EXPECT_EQ(Info.GetString(1), "Scan model tests");
    EXPECT_EQ(Info.GetString(2), "2.7.1.65535");
    EXPECT_EQ(Info.GetString(4), "\xA9 2026 Quorvex") << "UTF-8 in the build, Windows-1252 in the model";
    EXPECT_EQ(Info.GetString(7), "Quorvex for Linux");
    EXPECT_EQ(Info.GetString(9), "Built by the test suite");
    EXPECT_EQ(Info.GetString(5), "");
}

TEST(VerInfoRes, FilesWithoutAVersionResource) {
    for (const char* Name :
         {"pe32_norsrc.dll", "pe32_icononly.dll", "ne_noversion.dll", "plain.txt", "missing.dll"})
        ExpectFailure<ENoVerInfoError>(Name, "No Version Info Available.");
    ExpectFailure<EVerInfoError>("pe32_truncated.dll", "Cannot obtain version info.");
    ExpectFailure<EVerInfoError>("pe32_nolang.dll", "No language info.");
    ExpectFailure<eNoFixeVerInfo>("pe32_nofixed.dll", "No fixed file info");
}

TEST(VerInfoRes, SurvivesEveryTruncationAndCorruptionOfAFixture) {
    std::ifstream In(Fixture("pe32_full.dll"), std::ios::binary);
    const std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    ASSERT_GT(Bytes.size(), 1000u);
    const std::string Tmp = testing::TempDir() + "verinfo_mutant.dll";
    int Read = 0;
    auto Try = [&](const std::string& Data) {
        std::ofstream(Tmp, std::ios::binary | std::ios::trunc) << Data;
        try {
            TVerInfoRes Info(Tmp);
            Info.FixedFileVersion();
            for (Byte I = 0; I < 10; ++I)
                Info.GetString(I);
            ++Read;
        } catch (const ENoVerInfoError&) {
        } catch (const EVerInfoError&) {
        } catch (const eNoFixeVerInfo&) {
        }
    };
    for (std::size_t Cut = 0; Cut < Bytes.size(); Cut += 7)
        Try(Bytes.substr(0, Cut));
    std::uint32_t Seed = 12345;
    for (int I = 0; I < 3000; ++I) {
        std::string M = Bytes;
        for (int K = 0; K < 4; ++K) {
            Seed = Seed * 1103515245u + 12345u;
            M[(Seed >> 8) % M.size()] = static_cast<char>(Seed >> 24);
        }
        Try(M);
    }
    EXPECT_GT(Read, 0) << "most mutations leave the resource readable";
}
