#include "platform/rtl/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int Fd, const char* Data, std::size_t Size) {
    while (Size > 0) {
        const ssize_t N = ::write(Fd, Data, Size);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            return false;
        Data += N;
        Size -= static_cast<std::size_t>(N);
    }
    return true;
}

} // namespace

void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write) {
    TMemoryStream Data;
    Write(Data);

    // A read-only file is not to be replaced, even though its folder would allow it.
    struct stat Old {};
    const bool Exists = ::stat(FileName.c_str(), &Old) == 0;
    if (FileName.empty() || (Exists && (S_ISDIR(Old.st_mode) || ::access(FileName.c_str(), W_OK) != 0)))
        throw EFCreateError(Format("Cannot create file %s", FileName));

    std::string Temp = ExtractFilePath(FileName) + "." + ExtractFileName(FileName) + ".XXXXXX";
    const int Fd = ::mkstemp(Temp.data());
    if (Fd < 0)
        throw EFCreateError(Format("Cannot create file %s", FileName));
    // The new file keeps the old one's permissions, or gets those of a newly created file.
    mode_t Mode = 0;
    if (Exists) {
        Mode = Old.st_mode & 07777;
    } else {
        const mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }
    const bool Written =
        ::fchmod(Fd, Mode) == 0 && WriteAll(Fd, Data.Memory(), Data.Bytes().size()) && ::fsync(Fd) == 0;
    const bool Closed = ::close(Fd) == 0;
    if (!Written || !Closed || ::rename(Temp.c_str(), FileName.c_str()) != 0) {
        ::unlink(Temp.c_str());
        throw EWriteError(Format("Cannot write file %s", FileName));
    }
}
