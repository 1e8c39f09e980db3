#include "platform/rtl/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void RefuseCreate(const std::string& FileName, int Error) {
    throw EFCreateError(Format("Cannot create file %s (%s)", FileName, std::strerror(Error)));
}

// The file that FileName finally names: symbolic links are followed, a relative one from its own
// folder, so that the link's target is replaced and the link stays. A link that points nowhere
// names the file it would create.
std::string LinkTarget(const std::string& FileName) {
    std::string Name = FileName;
    for (int Hops = 0; Hops < 40; ++Hops) {
        struct stat St {};
        if (::lstat(Name.c_str(), &St) != 0 || !S_ISLNK(St.st_mode))
            return Name;
        char Buf[PATH_MAX];
        const ssize_t N = ::readlink(Name.c_str(), Buf, sizeof Buf);
        if (N <= 0 || N == static_cast<ssize_t>(sizeof Buf))
            RefuseCreate(FileName, N < 0 ? errno : ENAMETOOLONG);
        const std::string Target(Buf, static_cast<std::size_t>(N));
        Name = Target.front() == '/' ? Target : ExtractFilePath(Name) + Target;
    }
    RefuseCreate(FileName, ELOOP);
}

std::string FolderOf(const std::string& FileName) {
    const std::string Folder = ExtractFilePath(FileName);
    return Folder.empty() ? "." : Folder;
}

// The hidden name beside Target that a new file has before the rename, less six random letters or
// digits at its end. Target's own name is cut short where the whole would pass the longest name a
// folder holds, so that a name of that length can be saved too.
std::string TempPrefix(const std::string& Target) {
    const std::string Name = ExtractFileName(Target);
    return ExtractFilePath(Target) + "." + Name.substr(0, std::min<std::size_t>(Name.size(), NAME_MAX - 8)) +
           ".";
}

// A hidden name beside Target that ends in six random letters or digits.
std::string TempName(const std::string& Target) {
    static const char Chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 Random{std::random_device{}()};
    std::string Name = TempPrefix(Target);
    for (int I = 0; I < 6; ++I)
        Name += Chars[std::uniform_int_distribution<std::size_t>(0, sizeof Chars - 2)(Random)];
    return Name;
}

// Gives the unnamed file open at Fd the name Name, through its entry under /proc, or without
// /proc where the process may link a file by its handle.
int LinkUnnamed(int Fd, const std::string& Name) {
    const std::string Proc = "/proc/self/fd/" + std::to_string(Fd);
    if (::linkat(AT_FDCWD, Proc.c_str(), AT_FDCWD, Name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    return ::linkat(Fd, "", AT_FDCWD, Name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

// Makes the rename itself durable. The new file is already in place when this runs, so a folder
// that cannot be synced costs nothing but that guarantee.
void SyncFolder(const std::string& FileName) {
    const int Fd = ::open(FolderOf(FileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd >= 0) {
        ::fsync(Fd);
        ::close(Fd);
    }
}

[[noreturn]] void RefuseNonFile(const std::string& FileName, const std::string& Kind) {
    throw EFCreateError(Format("Cannot create file %s: it is %s, not a file", FileName, Kind));
}

} // namespace

struct TSafeFile::TNew {
    std::string Target;
    int Handle = -1;
    std::string Temp;
};

TSafeFile::TNew TSafeFile::Create(const std::string& FileName, bool ReplaceLink) {
    if (FileName.empty())
        RefuseCreate(FileName, ENOENT);
    TNew New;
    New.Target = ReplaceLink ? FileName : LinkTarget(FileName);
    // Only a regular file is replaced: renaming over a pipe or a device node would put a
    // file where the system expects the node. A link that is replaced counts as no file.
    struct stat Old {};
    const bool Exists = ReplaceLink ? ::lstat(New.Target.c_str(), &Old) == 0 && !S_ISLNK(Old.st_mode)
                                    : ::stat(New.Target.c_str(), &Old) == 0;
    if (Exists) {
        if (const std::string Kind = NonFileKind(Old); !Kind.empty())
            RefuseNonFile(FileName, Kind);
        // A read-only file is not to be replaced, even though its folder would allow it.
        if (::access(New.Target.c_str(), W_OK) != 0)
            RefuseCreate(FileName, errno);
    }
    // Unnamed where the file system has unnamed files and the process can name one later.
    New.Handle = ::open(FolderOf(New.Target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (New.Handle >= 0 && ::access("/proc/self/fd", X_OK) != 0 && ::geteuid() != 0) {
        ::close(New.Handle);
        New.Handle = -1;
    }
    if (New.Handle < 0) {
        New.Temp = TempPrefix(New.Target) + "XXXXXX";
        New.Handle = ::mkostemp(New.Temp.data(), O_CLOEXEC);
        if (New.Handle < 0)
            RefuseCreate(FileName, errno);
    }
    // The new file keeps the old one's owner and permission bits, or gets those of a newly created
    // file. A file whose owner cannot be kept (another user's, writable through its group) keeps
    // at least its group, and loses the set-user and set-group bits rather than pass them on to
    // the user who saves.
    mode_t Mode = 0;
    if (Exists) {
        Mode = Old.st_mode & 07777;
        if (::fchown(New.Handle, Old.st_uid, Old.st_gid) != 0) {
            [[maybe_unused]] const int Kept = ::fchown(New.Handle, static_cast<uid_t>(-1), Old.st_gid);
            Mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
        }
    } else {
        const mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }
    if (::fchmod(New.Handle, Mode) != 0) {
        const int Error = errno;
        ::close(New.Handle);
        if (!New.Temp.empty())
            ::unlink(New.Temp.c_str());
        throw EWriteError(Format("Cannot write file %s (%s)", FileName, std::strerror(Error)));
    }
    return New;
}

TSafeFile::TSafeFile(const std::string& FileName, bool ReplaceLink)
    : TSafeFile(FileName, Create(FileName, ReplaceLink)) {}

TSafeFile::TSafeFile(const std::string& FileName, TNew New)
    : TFileStream(New.Handle, FileName), mTarget(std::move(New.Target)), mTemp(std::move(New.Temp)) {}

TSafeFile::~TSafeFile() {
    // An unnamed file goes with its handle; a named one is removed.
    if (mOpen && !mTemp.empty())
        ::unlink(mTemp.c_str());
}

void TSafeFile::Fail(int Error) {
    throw EWriteError(Format("Cannot write file %s (%s)", FileName(), std::strerror(Error)));
}

Longint TSafeFile::Write(const void* Buffer, Longint Count) {
    errno = 0;
    const Longint Done = TFileStream::Write(Buffer, Count);
    // A failing disk reads better in the system's words than in the stream's.
    if (Done < Count)
        Fail(errno != 0 ? errno : ENOSPC);
    return Done;
}

void TSafeFile::Commit() {
    if (!mOpen)
        return;
    // Synced before it gets the name, so that the name never stands for a file whose data is not
    // on disk yet.
    if (::fsync(Handle()) != 0)
        Fail(errno);
    // Whatever took the name while the file was written is looked at once more.
    struct stat Now {};
    if (::lstat(mTarget.c_str(), &Now) == 0 && !S_ISLNK(Now.st_mode))
        if (const std::string Kind = NonFileKind(Now); !Kind.empty())
            RefuseNonFile(FileName(), Kind);
    if (mTemp.empty()) {
        // A link cannot replace a file, so the unnamed file gets a temporary name first; the
        // rename then replaces the old file in one step.
        for (int Tries = 0;; ++Tries) {
            std::string Temp = TempName(mTarget);
            const int Error = LinkUnnamed(Handle(), Temp);
            if (Error == 0) {
                mTemp = std::move(Temp);
                break;
            }
            if (Error != EEXIST || Tries == 100)
                Fail(Error);
        }
    }
    if (::rename(mTemp.c_str(), mTarget.c_str()) != 0)
        Fail(errno);
    mTemp.clear();
    mOpen = false;
    SyncFolder(mTarget);
}

void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write,
                    bool ReplaceLink) {
    TSafeFile File(FileName, ReplaceLink);
    Write(File);
    File.Commit();
}
