#include "platform/rtl/SafeFile.h"
#include "tests/support/SpecialFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iostream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    std::ptrdiff_t Entries() const {
        return std::distance(fs::directory_iterator(Dir), fs::directory_iterator());
    }
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

    // A name as long as a folder allows is saved and replaced as well.
    const std::string Long = (Dir / std::string(NAME_MAX, 'n')).string();
    for (const char* Text : {"old", "new"})
        SaveFileSafely(Long, [&](TStream& S) { S.WriteBuffer(Text, 3); });
    EXPECT_EQ(ReadAll(Long), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 2);
}

TEST_F(SafeFileTest, MissingFolderOrAFolderInThePlaceOfTheFile) {
    const std::string Nowhere = (Dir / "none" / "doc.qxs").string();
    try {
        SaveFileSafely(Nowhere, [](TStream& S) { S.WriteBuffer("x", 1); });
        FAIL() << "saving into a missing folder succeeded";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(E.Message(), "Cannot create file " + Nowhere + " (No such file or directory)");
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
    try {
        SaveFileSafely((Dir / "loop1.qxs").string(), [](TStream& S) { S.WriteBuffer("x", 1); });
        ADD_FAILURE() << "a loop of links was saved";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(E.Message(),
                  "Cannot create file " + (Dir / "loop1.qxs").string() + " (" + std::strerror(ELOOP) + ")");
    }
}

// A file saved by a user other than its owner keeps its owner and group where the saving process
// may give them (root saving a user's file); where it may not, the file keeps its group and loses
// the set-user and set-group bits instead of passing them on to the one who saved it.
TEST_F(SafeFileTest, TheReplacedFileKeepsItsOwnerWherePossible) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make files of other users";
    const uid_t User = 65534;
    const gid_t Group = 65534;
    fs::permissions(Dir, fs::perms::all);
    const std::string File = (Dir / "doc.qxs").string();
    SaveFileSafely(File, [](TStream& S) { S.WriteBuffer("old", 3); });
    ASSERT_EQ(::chown(File.c_str(), 1, Group), 0);
    ASSERT_EQ(::chmod(File.c_str(), 06664), 0);
    auto Owner = [&] {
        struct stat St {};
        EXPECT_EQ(::stat(File.c_str(), &St), 0);
        return std::to_string(St.st_uid) + ":" + std::to_string(St.st_gid) + " " +
               std::to_string(St.st_mode & 07777);
    };
    SaveFileSafely(File, [](TStream& S) { S.WriteBuffer("root", 4); });
    EXPECT_EQ(Owner(), "1:65534 " + std::to_string(06664));

    const pid_t Child = ::fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(Group) != 0 || ::setuid(User) != 0)
            ::_exit(2);
        try {
            SaveFileSafely(File, [](TStream& S) { S.WriteBuffer("user", 4); });
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int Status = 0;
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;
    EXPECT_EQ(ReadAll(File), "user");
    EXPECT_EQ(Owner(), "65534:65534 " + std::to_string(0664));
}

// A named pipe, a socket, a device node or a folder is never replaced, nor is one that a link
// points to: the save names it and says what it is, and the node and the link stay as they were.
// A link that is to be replaced itself (ReplaceLink) is replaced, and the node it points to stays.
TEST_F(SafeFileTest, WhatIsNoFileIsRefusedAndStaysAsItWas) {
    std::vector<std::pair<std::string, std::string>> Nodes; // name, what it is
    ASSERT_EQ(::mkfifo((Dir / "pipe.qxs").c_str(), 0644), 0);
    Nodes.emplace_back("pipe.qxs", "a named pipe");
    ASSERT_TRUE(testsupport::MakeSocket((Dir / "socket.qxs").string()));
    Nodes.emplace_back("socket.qxs", "a socket");
    fs::create_directory(Dir / "folder.qxs");
    Nodes.emplace_back("folder.qxs", "a folder");
    if (const std::string Problem = testsupport::MakeDeviceNode((Dir / "device.qxs").string());
        Problem.empty())
        Nodes.emplace_back("device.qxs", "a device");
    else
        std::cout << "device node left out: " << Problem << "\n";

    for (const auto& [Name, Kind] : Nodes) {
        fs::create_symlink(Name, Dir / ("link-" + Name));
        const fs::file_type Type = fs::symlink_status(Dir / Name).type();
        for (const std::string& Saved : {Name, "link-" + Name}) {
            SCOPED_TRACE(Saved);
            const std::string File = (Dir / Saved).string();
            try {
                SaveFileSafely(File, [](TStream& S) { S.WriteBuffer("new", 3); });
                ADD_FAILURE() << "saved";
            } catch (const EFCreateError& E) {
                EXPECT_EQ(E.Message(), "Cannot create file " + File + ": it is " + Kind + ", not a file");
            }
        }
        EXPECT_THROW(SaveFileSafely((Dir / Name).string(), [](TStream&) {}, true), EFCreateError);
        EXPECT_EQ(fs::symlink_status(Dir / Name).type(), Type);
        EXPECT_TRUE(fs::is_symlink(Dir / ("link-" + Name)));
    }
    EXPECT_EQ(Entries(), static_cast<std::ptrdiff_t>(2 * Nodes.size()));

    SaveFileSafely((Dir / "link-pipe.qxs").string(), [](TStream& S) { S.WriteBuffer("new", 3); }, true);
    EXPECT_EQ(ReadAll(Dir / "link-pipe.qxs"), "new");
    EXPECT_EQ(fs::symlink_status(Dir / "pipe.qxs").type(), fs::file_type::fifo);
}

// A save killed half-way through a large write leaves the old file as it was and nothing else in
// the folder, not even while it writes: the new file has no name until it is complete.
TEST_F(SafeFileTest, ASaveKilledHalfWayLeavesTheOldFileAndNothingElse) {
    if (const int Fd = ::open(Dir.c_str(), O_TMPFILE | O_RDWR, 0600); Fd >= 0)
        ::close(Fd);
    else
        GTEST_SKIP() << "the temporary folder's file system has no unnamed files (" << std::strerror(errno)
                     << "); saves there keep a hidden temporary name";
    const std::string File = (Dir / "doc.qxs").string();
    SaveFileSafely(File, [](TStream& S) { S.WriteBuffer("old", 3); });
    int Written[2];
    ASSERT_EQ(::pipe(Written), 0);
    const pid_t Child = ::fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        ::close(Written[0]);
        SaveFileSafely(File, [&](TStream& S) {
            const std::vector<char> Block(1 << 20, 'x');
            for (int I = 0; I < 16; ++I)
                S.WriteBuffer(Block.data(), static_cast<Longint>(Block.size()));
            [[maybe_unused]] const ssize_t N = ::write(Written[1], "w", 1);
            ::pause(); // killed here
        });
        ::_exit(1);
    }
    ::close(Written[1]);
    char Byte = 0;
    const bool HalfWay = ::read(Written[0], &Byte, 1) == 1;
    ::close(Written[0]);
    EXPECT_TRUE(HalfWay) << "the child did not get to write";
    EXPECT_EQ(Entries(), 1);
    ::kill(Child, SIGKILL);
    int Status = 0;
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == SIGKILL);
    EXPECT_EQ(ReadAll(File), "old");
    EXPECT_EQ(Entries(), 1);
}

} // namespace
