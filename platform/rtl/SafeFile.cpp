#include "platform/rtl/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The new file while it is written; remembers why a write fell short.
class TNewFile final : public TFileStream {
public:
    using TFileStream::TFileStream;
    Longint Write(const void* Buffer, Longint Count) override {
        errno = 0;
        const Longint Done = TFileStream::Write(Buffer, Count);
        if (Done < Count && Error == 0)
            Error = errno != 0 ? errno : ENOSPC;
        return Done;
    }
    int Error = 0;
};

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

void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write,
                    bool ReplaceLink) {
    if (FileName.empty())
        throw EFCreateError(Format("Cannot create file %s", FileName));
    const std::string Target = ReplaceLink ? FileName : LinkTarget(FileName);
    // A read-only file is not to be replaced, even though its folder would allow it. A link that
    // is replaced counts as no file: the new one gets the permissions of a new file.
    struct stat Old {};
    const bool Exists = ReplaceLink ? ::lstat(Target.c_str(), &Old) == 0 && !S_ISLNK(Old.st_mode)
                                    : ::stat(Target.c_str(), &Old) == 0;
    if (Exists && (S_ISDIR(Old.st_mode) || ::access(Target.c_str(), W_OK) != 0))
        throw EFCreateError(Format("Cannot create file %s", FileName));

    std::string Temp = ExtractFilePath(Target) + "." + ExtractFileName(Target) + ".XXXXXX";
    const int Fd = ::mkstemp(Temp.data());
    if (Fd < 0)
        throw EFCreateError(Format("Cannot create file %s", FileName));
    ::close(Fd);
    std::unique_ptr<TNewFile> Data;
    try {
        Data = std::make_unique<TNewFile>(Temp, fmOpenReadWrite);
    } catch (const EFOpenError&) {
        ::unlink(Temp.c_str());
        throw EFCreateError(Format("Cannot create file %s", FileName));
    }
    auto Fail = [&](int Error) {
        ::unlink(Temp.c_str());
        throw EWriteError(Format("Cannot write file %s (%s)", FileName, std::strerror(Error)));
    };
    // The new file keeps the old one's permission bits, or gets those of a newly created file.
    mode_t Mode = 0;
    if (Exists) {
        Mode = Old.st_mode & 07777;
    } else {
        const mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }
    if (::fchmod(Data->Handle(), Mode) != 0)
        Fail(errno);
    try {
        Write(*Data);
    } catch (...) {
        // A failing disk reads better in the system's words than in the stream's.
        if (Data->Error != 0)
            Fail(Data->Error);
        ::unlink(Temp.c_str());
        throw;
    }
    if (Data->Error != 0)
        Fail(Data->Error);
    // Synced before the rename, so that the name never stands for a file whose data is not on
    // disk yet; the close cannot lose anything after that.
    if (::fsync(Data->Handle()) != 0)
        Fail(errno);
    Data.reset();
    if (::rename(Temp.c_str(), Target.c_str()) != 0)
        Fail(errno);
    SyncFolder(Target);
}
