// The folder walk of Scan Directories on trees made on disk for each test, without a window.
#include "scanner/FolderWalk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FolderWalkTest : public ::testing::Test {
protected:
    FolderWalkTest() {
        std::string Templ = (fs::temp_directory_path() / "qxwalk-XXXXXX").string();
        if (::mkdtemp(Templ.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        Dir = Templ;
    }
    ~FolderWalkTest() override {
        std::error_code Ignored;
        fs::permissions(Dir / "tree" / "locked", fs::perms::owner_all, Ignored);
        fs::remove_all(Dir, Ignored);
    }
    /// Makes the empty file Name below the test folder, with its folders.
    void Touch(const std::string& Name) {
        fs::create_directories((Dir / Name).parent_path());
        std::ofstream(Dir / Name);
    }
    fs::path Dir;
};

TEST_F(FolderWalkTest, SymbolicLinksAreListedButNoFolderIsSearchedTwice) {
    Touch("tree/a/real.vbp");
    Touch("other/o.vbp");
    const fs::path Root = Dir / "tree";
    fs::create_directory_symlink(Root, Root / "a" / "loop");                     // back to the top
    fs::create_directory_symlink(Root / "a", Root / "a" / "self");               // to itself
    fs::create_directory_symlink(Root.parent_path() / "other", Root / "db.mdb"); // a folder elsewhere
    fs::create_symlink(Root / "a" / "real.vbp", Root / "alias.vbp");
    fs::create_symlink(Root / "gone", Root / "dangling.mak");

    const std::vector<std::string> Found = SearchFolders(Root.string());
    const std::string R = Root.string() + "/";
    EXPECT_EQ(Found, (std::vector<std::string>{R + "dangling.mak", R + "alias.vbp", R + "a/real.vbp",
                                               R + "db.mdb/o.vbp", R + "db.mdb"}));
}

TEST_F(FolderWalkTest, AFolderThatCannotBeListedAddsNothingAndStopsNothing) {
    EXPECT_TRUE(SearchFolders((Dir / "missing").string()).empty());

    Touch("tree/a.vbp");
    Touch("tree/locked/b.vbp");
    Touch("tree/locked/inner/c.vbp");
    Touch("tree/open/d.vbp");
    const std::string Root = (Dir / "tree").string();
    ASSERT_EQ(::chmod((Root + "/locked").c_str(), 0), 0);
    const std::vector<std::string> Expected{Root + "/a.vbp", Root + "/open/d.vbp"};

    if (::geteuid() != 0) {
        EXPECT_EQ(SearchFolders(Root), Expected);
        return;
    }
    // Permissions do not bind root: the search runs in a child that gives up root's rights and
    // answers through its exit status.
    ASSERT_EQ(::chmod(Dir.c_str(), 0755), 0);
    const pid_t Child = ::fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        constexpr uid_t Nobody = 65534;
        if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(77);
        ::_exit(SearchFolders(Root) == Expected ? 0 : 1);
    }
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    ASSERT_TRUE(WIFEXITED(Status));
    if (WEXITSTATUS(Status) == 77)
        GTEST_SKIP() << "cannot give up root's rights here";
    EXPECT_EQ(WEXITSTATUS(Status), 0) << "the child's search differs";
}

} // namespace
