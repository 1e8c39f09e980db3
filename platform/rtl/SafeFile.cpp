#include "platform/rtl/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int Fd, const char* Data, std::size_t Size) {
    while (Size > 0) {
        const ssize_t N = ::write(Fd, Data, Size);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0) {
            if (N == 0)
                errno = ENOSPC;
            return false;
        }
        Data += N;
        Size -= static_cast<std::size_t>(N);
    }
    return true;
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
            break;
        const std::string Target(Buf, static_cast<std::size_t>(N));
        Name = Target.front() == '/' ? Target : ExtractFilePath(Name) + Target;
    }
    throw EFCreateError(Format("Cannot create file %s", FileName));
}

// Makes the rename itself durable. The new file is already in place when this runs, so a folder
// that cannot be synced costs nothing but that guarantee.
void SyncFolder(const std::string& FileName) {
    const std::string Folder = ExtractFilePath(FileName);
    const int Fd = ::open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd >= 0) {
        ::fsync(Fd);
        ::close(Fd);
    }
}

} // namespace

void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write) {
    TMemoryStream Data;
    Write(Data);

    if (FileName.empty())
        throw EFCreateError(Format("Cannot create file %s", FileName));
    const std::string Target = LinkTarget(FileName);
    // A read-only file is not to be replaced, even though its folder would allow it.
    struct stat Old {};
    const bool Exists = ::stat(Target.c_str(), &Old) == 0;
    if (Exists && (S_ISDIR(Old.st_mode) || ::access(Target.c_str(), W_OK) != 0))
        throw EFCreateError(Format("Cannot create file %s", FileName));

    std::string Temp = ExtractFilePath(Target) + "." + ExtractFileName(Target) + ".XXXXXX";
    const int Fd = ::mkstemp(Temp.data());
    if (Fd < 0)
        throw EFCreateError(Format("Cannot create file %s", FileName));
    // The new file keeps the old one's permission bits, or gets those of a newly created file.
    mode_t Mode = 0;
    if (Exists) {
        Mode = Old.st_mode & 07777;
    } else {
        const mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }
    bool Written =
        ::fchmod(Fd, Mode) == 0 && WriteAll(Fd, Data.Memory(), Data.Bytes().size()) && ::fsync(Fd) == 0;
    int Error = errno;
    if (::close(Fd) != 0 && Written) {
        Written = false;
        Error = errno;
    }
    if (Written && ::rename(Temp.c_str(), Target.c_str()) != 0) {
        Written = false;
        Error = errno;
    }
    if (!Written) {
        ::unlink(Temp.c_str());
        throw EWriteError(Format("Cannot write file %s (%s)", FileName, std::strerror(Error)));
    }
    SyncFolder(Target);
}
