#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

void Abort() {
    throw EAbort();
}

namespace {
char FoldAscii(char C) {
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}
} // namespace

std::string UpperCase(std::string_view S) {
    std::string R(S);
    for (char& C : R)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return R;
}

std::string LowerCase(std::string_view S) {
    std::string R(S);
    for (char& C : R)
        C = FoldAscii(C);
    return R;
}

int CompareText(std::string_view A, std::string_view B) {
    const std::size_t N = std::min(A.size(), B.size());
    for (std::size_t I = 0; I < N; ++I) {
        const auto X = static_cast<unsigned char>(FoldAscii(A[I]));
        const auto Y = static_cast<unsigned char>(FoldAscii(B[I]));
        if (X != Y)
            return X < Y ? -1 : 1;
    }
    if (A.size() == B.size())
        return 0;
    return A.size() < B.size() ? -1 : 1;
}

bool SameText(std::string_view A, std::string_view B) {
    return A.size() == B.size() && CompareText(A, B) == 0;
}

std::string Trim(std::string_view S) {
    std::size_t B = 0, E = S.size();
    while (B < E && static_cast<unsigned char>(S[B]) <= ' ')
        ++B;
    while (E > B && static_cast<unsigned char>(S[E - 1]) <= ' ')
        --E;
    return std::string(S.substr(B, E - B));
}

std::string IntToStr(long long V) {
    return std::to_string(V);
}

int HexDigitValue(char C) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

std::string ExtractFilePath(std::string_view FileName) {
    const auto P = FileName.rfind('/');
    return P == std::string_view::npos ? std::string() : std::string(FileName.substr(0, P + 1));
}

std::string ExtractFileName(std::string_view FileName) {
    const auto P = FileName.rfind('/');
    return std::string(P == std::string_view::npos ? FileName : FileName.substr(P + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
    const std::string Name = ExtractFileName(FileName);
    const auto P = Name.rfind('.');
    return P == std::string::npos ? std::string() : Name.substr(P);
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
    const std::string Path = ExtractFilePath(FileName);
    std::string Name = ExtractFileName(FileName);
    const auto P = Name.rfind('.');
    if (P != std::string::npos)
        Name.erase(P);
    return Path + Name + std::string(Extension);
}

bool FileExists(const std::string& FileName) {
    struct stat St {};
    return !FileName.empty() && ::stat(FileName.c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

bool DirectoryExists(const std::string& Name) {
    struct stat St {};
    return !Name.empty() && ::stat(Name.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

std::string NonFileKind(const struct stat& St) {
    if (S_ISREG(St.st_mode))
        return {};
    if (S_ISDIR(St.st_mode))
        return "a folder";
    if (S_ISFIFO(St.st_mode))
        return "a named pipe";
    if (S_ISCHR(St.st_mode) || S_ISBLK(St.st_mode))
        return "a device";
    if (S_ISSOCK(St.st_mode))
        return "a socket";
    return "no regular file";
}

std::string NonFileKind(const std::string& Name) {
    struct stat St {};
    return !Name.empty() && ::stat(Name.c_str(), &St) == 0 ? NonFileKind(St) : std::string();
}

std::string ProgramFolder() {
    char Buf[PATH_MAX];
    const ssize_t N = ::readlink("/proc/self/exe", Buf, sizeof Buf - 1);
    if (N <= 0)
        return "./";
    return ExtractFilePath(std::string_view(Buf, static_cast<std::size_t>(N)));
}
