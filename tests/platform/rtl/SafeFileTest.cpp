#include "platform/rtl/SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& Name) {
    std::ifstream In(Name, std::ios::binary);
    return In ? std::string(std::istreambuf_iterator<char>(In), {}) : "<missing>";
}

class SafeFileTest : public ::testing::Test {
protected:
    SafeFileTest() : Dir(fs::temp_directory_path() / ("qx_safe_" + std::to_string(::getpid()))) {
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    ~SafeFileTest() override { fs::remove_all(Dir); }
    fs::path Dir;
};

TEST_F(SafeFileTest, ReplacesTheFileOnlyWhenEverythingWasWritten) {
    const std::string File = (Dir / "doc.qxs").string();
    SaveFileSafely(File, [](TStream& S) { S.WriteBuffer("old", 3); });
    EXPECT_EQ(ReadAll(File), "old");
    ::chmod(File.c_str(), 0640);

    // A writer that fails half-way leaves the old file and no stray file beside it.
    EXPECT_THROW(SaveFileSafely(File,
                                [](TStream& S) {
                                    S.WriteBuffer("new", 3);
                                    throw EWriteError("Stream write error");
                                }),
                 EWriteError);
    EXPECT_EQ(ReadAll(File), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);

    SaveFileSafely(File, [](TStream& S) { S.WriteBuffer("new", 3); });
    EXPECT_EQ(ReadAll(File), "new");
    struct stat St {};
    ASSERT_EQ(::stat(File.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0640u); // the replaced file keeps its permissions
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
}

TEST_F(SafeFileTest, MissingFolderOrAFolderInThePlaceOfTheFile) {
    const std::string Nowhere = (Dir / "none" / "doc.qxs").string();
    try {
        SaveFileSafely(Nowhere, [](TStream& S) { S.WriteBuffer("x", 1); });
        FAIL() << "saving into a missing folder succeeded";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(E.Message(), "Cannot create file " + Nowhere);
    }
    fs::create_directory(Dir / "taken.qxs");
    EXPECT_THROW(SaveFileSafely((Dir / "taken.qxs").string(), [](TStream&) {}), EFCreateError);
    EXPECT_TRUE(fs::is_directory(Dir / "taken.qxs"));
}

// Saving through a symbolic link replaces the file it points to, with that file's permission bits;
// the link stays a link, whether it is absolute, relative or one of a chain.
TEST_F(SafeFileTest, SavingThroughALinkReplacesItsTarget) {
    fs::create_directory(Dir / "real");
    const fs::path Target = Dir / "real" / "doc.qxs";
    SaveFileSafely(Target.string(), [](TStream& S) { S.WriteBuffer("old", 3); });
    ::chmod(Target.c_str(), 0604);
    fs::create_symlink(Target, Dir / "absolute.qxs");
    fs::create_symlink("real/doc.qxs", Dir / "relative.qxs");
    fs::create_symlink("relative.qxs", Dir / "chain.qxs");
    for (const char* Link : {"absolute.qxs", "relative.qxs", "chain.qxs"}) {
        SCOPED_TRACE(Link);
        SaveFileSafely((Dir / Link).string(), [&](TStream& S) { S.WriteBuffer(Link, 3); });
        EXPECT_TRUE(fs::is_symlink(Dir / Link));
        EXPECT_EQ(ReadAll(Target), std::string(Link, 3));
        struct stat St {};
        ASSERT_EQ(::stat(Target.c_str(), &St), 0);
        EXPECT_EQ(St.st_mode & 07777, 0604u);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "real"), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 4);

    // A link to a file not there yet creates it; a loop of links cannot be saved.
    fs::create_symlink("real/new.qxs", Dir / "dangling.qxs");
    SaveFileSafely((Dir / "dangling.qxs").string(), [](TStream& S) { S.WriteBuffer("new", 3); });
    EXPECT_TRUE(fs::is_symlink(Dir / "dangling.qxs"));
    EXPECT_EQ(ReadAll(Dir / "real" / "new.qxs"), "new");
    fs::create_symlink("loop2.qxs", Dir / "loop1.qxs");
    fs::create_symlink("loop1.qxs", Dir / "loop2.qxs");
    EXPECT_THROW(SaveFileSafely((Dir / "loop1.qxs").string(), [](TStream& S) { S.WriteBuffer("x", 1); }),
                 EFCreateError);
}

} // namespace
