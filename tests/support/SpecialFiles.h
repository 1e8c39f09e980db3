#pragma once
// Things that are no regular file, made under a test's own folder for tests of what the program
// does when a file name stands for one: a socket and a device node (a named pipe: NamedPipe.h).

#include <cerrno>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace testsupport {

/// Makes a Unix socket at Name (left there once its handle is closed); false when it cannot.
inline bool MakeSocket(const std::string& Name) {
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    if (Name.size() >= sizeof Address.sun_path)
        return false;
    std::strcpy(Address.sun_path, Name.c_str());
    const int Socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool Made =
        Socket >= 0 && ::bind(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof Address) == 0;
    if (Socket >= 0)
        ::close(Socket);
    return Made;
}

/// Makes a character device node at Name like the system's /dev/null. Returns why it could not
/// (making one needs the right to: root, outside a container that forbids it), or nothing.
inline std::string MakeDeviceNode(const std::string& Name) {
    if (::mknod(Name.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        return {};
    return std::string("this process may not make a device node (") + std::strerror(errno) + ")";
}

} // namespace testsupport
