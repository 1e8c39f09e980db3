#include "scanmodel/SourceFiles.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/TextCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
            Name = "/" + Name;
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

namespace {

/// The buffers of the text released last. A project's modules are read one after another; handing
/// the buffers on spares the allocator and the kernel a fresh buffer for each of them.
struct TSpareBuffers {
    std::unique_ptr<char[]> Text;
    std::size_t Capacity = 0;
    std::vector<TSourceText::TBounds> Lines;
};

TSpareBuffers& Spare() {
    thread_local TSpareBuffers S;
    return S;
}

} // namespace

void TSourceText::LoadFromFile(const std::string& FileName) {
    Clear();
    std::size_t Size = 0;
    {
        TFileStream F(FileName, fmOpenRead);
        const auto Capacity = static_cast<std::size_t>(F.Size());
        TSpareBuffers& S = Spare();
        if (S.Text && S.Capacity >= Capacity && S.Capacity <= 2 * Capacity + 65536) {
            mText = std::move(S.Text);
            mCapacity = S.Capacity;
        } else {
            mText = std::make_unique_for_overwrite<char[]>(Capacity);
            mCapacity = Capacity;
        }
        mLines = std::move(S.Lines);
        mLines.clear();
        while (Size < Capacity) {
            const Longint N = F.Read(mText.get() + Size, static_cast<Longint>(Capacity - Size));
            if (N <= 0)
                break;
            Size += static_cast<std::size_t>(N);
        }
    }
    mLines.reserve(Size / 32 + 1);
    const char* const Begin = mText.get();
    // Called with every CR and LF in order. The LF of a CR LF pair lies before P by then and
    // ends nothing.
    std::size_t P = 0;
    auto EndAt = [&](std::size_t E) {
        if (E < P)
            return;
        mLines.push_back({P, E - P});
        P = E + 1;
        if (Begin[E] == '\r' && P < Size && Begin[P] == '\n')
            ++P;
    };
    std::size_t I = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: one bit per CR or LF, visited lowest first.
    const __m128i Cr = _mm_set1_epi8('\r');
    const __m128i Lf = _mm_set1_epi8('\n');
    for (; I + 16 <= Size; I += 16) {
        const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Begin + I));
        auto Mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(V, Cr), _mm_cmpeq_epi8(V, Lf))));
        for (; Mask != 0; Mask &= Mask - 1)
            EndAt(I + static_cast<std::size_t>(std::countr_zero(Mask)));
    }
#endif
    for (; I < Size; ++I)
        if (Begin[I] == '\r' || Begin[I] == '\n')
            EndAt(I);
    if (P < Size)
        mLines.push_back({P, Size - P});
}

void TSourceText::Clear() {
    if (mText) {
        TSpareBuffers& S = Spare();
        S.Text = std::move(mText);
        S.Capacity = mCapacity;
        S.Lines = std::move(mLines);
    }
    mText.reset();
    mCapacity = 0;
    mLines.clear();
    mLines.shrink_to_fit();
}

std::vector<std::string> LoadSourceLines(const std::string& FileName) {
    TSourceText Text;
    Text.LoadFromFile(FileName);
    std::vector<std::string> Lines;
    Lines.reserve(Text.Count());
    for (std::size_t I = 0; I < Text.Count(); ++I)
        Lines.emplace_back(Text.Line(I));
    return Lines;
}
