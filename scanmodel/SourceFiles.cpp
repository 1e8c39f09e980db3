#include "scanmodel/SourceFiles.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/TextCodec.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& Name) {
    std::error_code Ec;
    return !Name.empty() && fs::exists(fs::path(Name), Ec);
}

bool HasHighBytes(std::string_view S) {
    return std::any_of(S.begin(), S.end(), [](char C) { return static_cast<unsigned char>(C) >= 0x80; });
}

/// The entry of Folder whose name is Component: the exact name when it exists, else the first
/// (in sorted order) that equals it or its UTF-8 form without regard to ASCII case. Entries of a
/// Windows project are upper-cased in their ASCII letters only, so ASCII folding is enough.
std::string FindComponent(const std::string& Folder, const std::string& Component) {
    const std::string Dir = Folder.empty() ? std::string(".") : Folder;
    if (Exists(Folder + Component))
        return Component;
    const std::string Utf8 = HasHighBytes(Component) ? Cp1252ToUtf8(Component) : std::string();
    if (!Utf8.empty() && Exists(Folder + Utf8))
        return Utf8;
    std::vector<std::string> Found;
    std::error_code Ec;
    for (fs::directory_iterator It(fs::path(Dir), Ec), End; !Ec && It != End; It.increment(Ec)) {
        std::string Name = It->path().filename().string();
        if (SameText(Name, Component) || (!Utf8.empty() && SameText(Name, Utf8)))
            Found.push_back(std::move(Name));
    }
    if (Found.empty())
        return {};
    return *std::min_element(Found.begin(), Found.end());
}

bool IsWindowsSeparator(char C) {
    return C == '\\' || C == '/' || C == ':';
}

std::size_t LastWindowsSeparator(std::string_view Entry) {
    for (std::size_t I = Entry.size(); I > 0; --I)
        if (IsWindowsSeparator(Entry[I - 1]))
            return I - 1;
    return std::string_view::npos;
}

} // namespace

std::string ResolveWindowsPath(std::string_view Folder, std::string_view Entry) {
    std::string Name(Entry);
    std::replace(Name.begin(), Name.end(), '\\', '/');
    // A drive letter names the root of this disk.
    if (Name.size() >= 2 && Name[1] == ':' &&
        ((Name[0] >= 'A' && Name[0] <= 'Z') || (Name[0] >= 'a' && Name[0] <= 'z'))) {
        Name.erase(0, 2);
        if (!Name.starts_with('/'))
            Name.insert(0, "/");
    }
    std::string Base;
    if (!Name.starts_with('/') && !Folder.empty()) {
        Base = std::string(Folder);
        if (!Base.ends_with('/'))
            Base += '/';
    }
    const std::string Direct = Base + Name;
    if (Exists(Direct))
        return Direct;

    // Walk the components from the base, matching each without regard to case.
    std::string Resolved = Name.starts_with('/') ? std::string("/") : Base;
    std::size_t P = 0;
    while (P < Name.size()) {
        std::size_t E = Name.find('/', P);
        if (E == std::string::npos)
            E = Name.size();
        const std::string Component = Name.substr(P, E - P);
        P = E + 1;
        if (Component.empty() || Component == ".")
            continue;
        if (Component == "..") {
            Resolved += "../";
            continue;
        }
        const std::string Found = FindComponent(Resolved, Component);
        if (Found.empty())
            return Direct;
        Resolved += Found;
        if (E < Name.size())
            Resolved += '/';
    }
    return Exists(Resolved) ? Resolved : Direct;
}

std::string ExtractWindowsPath(std::string_view Entry) {
    const std::size_t P = LastWindowsSeparator(Entry);
    return P == std::string_view::npos ? std::string() : std::string(Entry.substr(0, P + 1));
}

std::string ExtractWindowsName(std::string_view Entry) {
    const std::size_t P = LastWindowsSeparator(Entry);
    return std::string(P == std::string_view::npos ? Entry : Entry.substr(P + 1));
}

std::vector<std::string> LoadSourceLines(const std::string& FileName) {
    std::string Text;
    {
        TFileStream F(FileName, fmOpenRead);
        char Buf[65536];
        for (;;) {
            const Longint N = F.Read(Buf, sizeof Buf);
            if (N <= 0)
                break;
            Text.append(Buf, static_cast<std::size_t>(N));
        }
    }
    std::vector<std::string> Lines;
    Lines.reserve(Text.size() / 32 + 1);
    const std::size_t N = Text.size();
    std::size_t P = 0;
    while (P < N) {
        std::size_t E = Text.find_first_of("\r\n", P);
        if (E == std::string::npos)
            E = N;
        Lines.emplace_back(Text, P, E - P);
        P = E;
        if (P < N && Text[P] == '\r')
            ++P;
        if (P < N && Text[P] == '\n')
            ++P;
    }
    return Lines;
}
