#pragma once
// A folder that runs out of room, for tests of what a save leaves behind on a full disk. Two
// kinds: a small tmpfs mounted on the folder (needs the right to mount; the mount lives in a
// mount namespace of the test's own, so it never shows outside the test process), and a limit on
// the size of every file the process writes (a write past it fails as on a full disk), which any
// process may set.

#include <csignal>
#include <cstddef>
#include <ostream>
#include <string>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace testsupport {

enum class TFullDisk { Tmpfs, FileSizeLimit };

inline const char* FullDiskName(TFullDisk Kind) {
    return Kind == TFullDisk::Tmpfs ? "Tmpfs" : "FileSizeLimit";
}

inline void PrintTo(TFullDisk Kind, std::ostream* Out) {
    *Out << FullDiskName(Kind);
}

/// While it lives, files written in Folder can hold about Room bytes in all (tmpfs) or each
/// (file-size limit). Ready() tells whether it could be set up; Problem() says why not.
class TFullDiskFolder {
public:
    TFullDiskFolder(TFullDisk Kind, const std::string& Folder, std::size_t Room)
        : mKind(Kind), mFolder(Folder) {
        if (Kind == TFullDisk::Tmpfs) {
            const std::string Options = "size=" + std::to_string(Room) + ",mode=0755";
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", Folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, Options.c_str()) != 0) {
                mProblem = "this process may not mount a tmpfs";
                return;
            }
        } else {
            if (::getrlimit(RLIMIT_FSIZE, &mOldLimit) != 0) {
                mProblem = "the file-size limit cannot be read";
                return;
            }
            const rlimit Limit{static_cast<rlim_t>(Room), mOldLimit.rlim_max};
            mOldSignal = std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
            if (::setrlimit(RLIMIT_FSIZE, &Limit) != 0) {
                std::signal(SIGXFSZ, mOldSignal);
                mProblem = "the file-size limit cannot be set";
                return;
            }
        }
        mReady = true;
    }
    ~TFullDiskFolder() {
        if (!mReady)
            return;
        if (mKind == TFullDisk::Tmpfs) {
            ::umount2(mFolder.c_str(), MNT_DETACH);
        } else {
            ::setrlimit(RLIMIT_FSIZE, &mOldLimit);
            std::signal(SIGXFSZ, mOldSignal);
        }
    }
    TFullDiskFolder(const TFullDiskFolder&) = delete;
    TFullDiskFolder& operator=(const TFullDiskFolder&) = delete;

    bool Ready() const { return mReady; }
    const std::string& Problem() const { return mProblem; }

private:
    TFullDisk mKind;
    std::string mFolder;
    bool mReady = false;
    std::string mProblem;
    rlimit mOldLimit{};
    void (*mOldSignal)(int) = SIG_DFL;
};

} // namespace testsupport
