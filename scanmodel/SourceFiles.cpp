#include "scanmodel/SourceFiles.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/TextCodec.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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

/// The names in a folder, sorted by their ASCII-lower-cased form and then by their bytes, so
/// that the names that equal one without regard to ASCII case lie together, smallest first.
struct TFolderListing {
    std::string Folder;
    dev_t Device = 0;
    ino_t Inode = 0;
    timespec Modified{};
    std::vector<std::pair<std::string, std::string>> Names; ///< lower-cased, as on disk
    /// The names, sorted, that the listing did not give as a file or a folder (links, and all
    /// names on a file system that does not say): only a look at the name tells what they are.
    std::vector<std::string> Unsure;
};

bool SameTime(const timespec& A, const timespec& B) {
    return A.tv_sec == B.tv_sec && A.tv_nsec == B.tv_nsec;
}

/// The listing of Dir. A project's modules are looked up one after another in a few folders,
/// so listings are kept and used again while the folder's modification time says it has not
/// changed. Only a folder that had not changed for some seconds when it was listed is kept:
/// a change within the granularity of its file system's clock (two seconds on FAT) would not
/// show in that time.
const TFolderListing* ListingOf(const std::string& Dir) {
    constexpr time_t SettledSeconds = 3;
    constexpr std::size_t Kept = 8;
    thread_local std::vector<TFolderListing> Listings; // the most recent last
    struct stat St {};
    if (::stat(Dir.c_str(), &St) != 0 || !S_ISDIR(St.st_mode))
        return nullptr;
    // The folder's listing moves to the end: the one used least recently is dropped first.
    auto It = std::find_if(Listings.begin(), Listings.end(),
                           [&](const TFolderListing& L) { return L.Folder == Dir; });
    if (It == Listings.end()) {
        if (Listings.size() == Kept)
            Listings.erase(Listings.begin());
        Listings.push_back({Dir, 0, 0, {-1, -1}, {}, {}});
    } else {
        std::rotate(It, It + 1, Listings.end());
    }
    TFolderListing& L = Listings.back();
    if (L.Device == St.st_dev && L.Inode == St.st_ino && SameTime(L.Modified, St.st_mtim))
        return &L;
    L.Device = St.st_dev;
    L.Inode = St.st_ino;
    L.Names.clear();
    L.Unsure.clear();
    if (DIR* D = ::opendir(Dir.c_str())) {
        while (const dirent* E = ::readdir(D)) {
            const std::string_view Name(E->d_name);
            if (Name == "." || Name == "..")
                continue;
            L.Names.emplace_back(LowerCase(Name), std::string(Name));
            if (E->d_type != DT_REG && E->d_type != DT_DIR)
                L.Unsure.emplace_back(Name);
        }
        ::closedir(D);
    }
    std::sort(L.Names.begin(), L.Names.end());
    std::sort(L.Unsure.begin(), L.Unsure.end());
    timespec Now{};
    ::clock_gettime(CLOCK_REALTIME, &Now);
    // A listing that may miss a change serves this look-up only.
    L.Modified = Now.tv_sec - St.st_mtim.tv_sec > SettledSeconds ? St.st_mtim : timespec{-1, -1};
    return &L;
}

/// The first of Listing's names that equals Name without regard to ASCII case.
auto FirstFolded(const TFolderListing& Listing, const std::string& Key) {
    return std::lower_bound(Listing.Names.begin(), Listing.Names.end(), Key,
                            [](const auto& Entry, const std::string& K) { return Entry.first < K; });
}

/// The smallest name of Listing that equals Name without regard to ASCII case; empty for none.
std::string FindInListing(const TFolderListing& Listing, const std::string& Name) {
    const std::string Key = LowerCase(Name);
    const auto It = FirstFolded(Listing, Key);
    return It != Listing.Names.end() && It->first == Key ? It->second : std::string();
}

/// Whether Listing holds Name exactly.
bool InListing(const TFolderListing& Listing, const std::string& Name) {
    const std::string Key = LowerCase(Name);
    for (auto It = FirstFolded(Listing, Key); It != Listing.Names.end() && It->first == Key; ++It)
        if (It->second == Name)
            return true;
    return false;
}

/// The entry of a folder that a Windows short name (8.3 form, "FRMCAL~1.FRM") stands for: the one
/// whose name, without blanks and inner dots, starts with the part before '~' and whose extension
/// starts with the short one, in any letter case. Empty when Component is no short name or
/// nothing fits; raises EFOpenError naming the candidates when several fit.
std::string ResolveShortName(const std::string& Folder, const TFolderListing& Listing,
                             const std::string& Component) {
    const std::size_t Tilde = Component.find('~');
    const std::size_t Dot = Component.rfind('.');
    const std::size_t NumberEnd = Dot == std::string::npos || Dot < Tilde ? Component.size() : Dot;
    if (Tilde == std::string::npos || Tilde == 0 || Tilde + 1 >= NumberEnd ||
        !std::all_of(Component.begin() + static_cast<std::ptrdiff_t>(Tilde) + 1,
                     Component.begin() + static_cast<std::ptrdiff_t>(NumberEnd),
                     [](char C) { return C >= '0' && C <= '9'; }))
        return {};
    const std::string Base = LowerCase(Component.substr(0, Tilde));
    const std::string Ext = NumberEnd < Component.size() ? LowerCase(Component.substr(NumberEnd + 1)) : "";
    std::vector<std::string> Fits;
    for (const auto& [Lower, Name] : Listing.Names) {
        const std::size_t LastDot = Lower.rfind('.');
        std::string Stem = Lower.substr(0, LastDot == 0 ? std::string::npos : LastDot);
        const std::string Extension =
            LastDot == 0 || LastDot == std::string::npos ? "" : Lower.substr(LastDot + 1);
        std::erase_if(Stem, [](char C) { return C == ' ' || C == '.'; });
        if (Stem.starts_with(Base) && Extension.starts_with(Ext))
            Fits.push_back(Name);
    }
    if (Fits.size() <= 1)
        return Fits.empty() ? std::string() : Fits.front();
    std::string Names;
    for (const std::string& Name : Fits)
        Names += (Names.empty() ? "" : ", ") + Name;
    throw EFOpenError(Format("Cannot open file %s: the short name %s fits %d names: %s", Folder + Component,
                             Component, static_cast<int>(Fits.size()), Names));
}

/// The smallest of Listing's names that equals Name, or its UTF-8 form Utf8 (empty for none),
/// without regard to ASCII case; empty when none does.
std::string FindFolded(const TFolderListing& Listing, const std::string& Name, const std::string& Utf8) {
    const std::string Plain = FindInListing(Listing, Name);
    const std::string Encoded = Utf8.empty() ? std::string() : FindInListing(Listing, Utf8);
    return Plain.empty() ? Encoded : Encoded.empty() ? Plain : std::min(Plain, Encoded);
}

/// The entry of Folder whose name is Component: the exact name when it exists, else the first
/// (in sorted order) that equals it or its UTF-8 form without regard to ASCII case. Entries of a
/// Windows project are upper-cased in their ASCII letters only, so ASCII folding is enough.
std::string FindComponent(const std::string& Folder, const std::string& Component) {
    if (Exists(Folder + Component))
        return Component;
    const std::string Utf8 = HasHighBytes(Component) ? Cp1252ToUtf8(Component) : std::string();
    if (!Utf8.empty() && Exists(Folder + Utf8))
        return Utf8;
    const TFolderListing* Listing = ListingOf(Folder.empty() ? std::string(".") : Folder);
    if (Listing == nullptr)
        return {};
    if (std::string Found = FindFolded(*Listing, Component, Utf8); !Found.empty())
        return Found;
    return ResolveShortName(Folder, *Listing, Component);
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

std::string ResolveInFolder(std::string_view Folder, std::string_view Name) {
    const std::string Entry(Name);
    if (!Folder.starts_with('/') || Folder.find('\\') != std::string_view::npos || Entry.empty() ||
        Entry.find_first_of("/\\:") != std::string::npos || Entry == "." || Entry == "..")
        return ResolveWindowsPath({}, std::string(Folder) + Entry);
    std::string Dir(Folder);
    if (!Dir.ends_with('/'))
        Dir += '/';
    // The folder's listing answers for the name as it stands, for its UTF-8 form, and for both
    // without regard to case, in the order ResolveWindowsPath tries them.
    std::string Found;
    const TFolderListing* Listing = ListingOf(Dir);
    if (Listing) {
        const std::string Utf8 = HasHighBytes(Entry) ? Cp1252ToUtf8(Entry) : std::string();
        if (InListing(*Listing, Entry)) {
            Found = Entry;
        } else if (!Utf8.empty() && InListing(*Listing, Utf8)) {
            Found = Utf8;
        } else {
            Found = FindFolded(*Listing, Entry, Utf8);
        }
    }
    // A name listed that leads nowhere (a broken link), a name the folder does not hold, or a
    // folder that cannot be listed: looked up as any entry is. A name listed as a file or a
    // folder is there: the listing is of the folder as it is now.
    if (!Found.empty() &&
        (!std::binary_search(Listing->Unsure.begin(), Listing->Unsure.end(), Found) || Exists(Dir + Found)))
        return Dir + Found;
    // Nothing in the folder by that name in any case, and no short name: the name as it stands,
    // as the walk from the root ends too.
    if (Listing && Found.empty() && Entry.find('~') == std::string::npos)
        return Dir + Entry;
    return ResolveWindowsPath({}, Dir + Entry);
}

void CutProjectFileValue(std::string& Line) {
    if (const auto Eq = Line.find('='); Eq != std::string::npos)
        Line.erase(0, Eq + 1);
    if (const auto Semi = Line.find(';'); Semi != std::string::npos)
        Line.erase(0, std::min(Semi + 2, Line.size()));
}

std::pair<std::string, std::string> ModuleFile(const std::string& Entry, const std::string& Folder) {
    const bool Drive = Entry.find(':') != std::string::npos;
    if (!Drive && Entry.find("..") == std::string::npos && !Entry.starts_with('/'))
        return {Folder, Entry};
    std::string Path = ExtractWindowsPath(Entry);
    if (!Drive && !Entry.starts_with('/')) {
        // A folder beside or above the project's: resolved from the project's folder, so that a
        // document re-scans the same files whatever the current folder is.
        Path = fs::path(ResolveWindowsPath(Folder, Path)).lexically_normal().string();
        if (!Path.ends_with('/'))
            Path += '/';
    }
    return {Path, ExtractWindowsName(Entry)};
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

/// A text that begins with a UTF-8 or UTF-16 byte-order mark, or is UTF-16 without one, is put
/// back in place as the Windows-1252 text it stands for, without the mark (never longer than the
/// bytes it came from); returns the text's size.
std::size_t DecodeMarked(char* Text, std::size_t Size) {
    std::string Decoded;
    if (Size < 2 || !DecodeMarkedText(std::string_view(Text, Size), Decoded))
        return Size;
    std::memcpy(Text, Decoded.data(), Decoded.size());
    return Decoded.size();
}

/// A byte count with its thousands separated: "51,539,607,552".
std::string GroupedDigits(std::uint64_t N) {
    std::string Digits = std::to_string(N);
    for (std::size_t I = Digits.size(); I > 3; I -= 3)
        Digits.insert(I - 3, 1, ',');
    return Digits;
}

/// A file whose text cannot be held in memory is refused with its size, rather than ending its
/// reading with the bare "std::bad_alloc".
[[noreturn]] void TooLarge(const std::string& FileName, std::uint64_t Size) {
    throw EReadError("Cannot read file " + FileName + ": it is " + GroupedDigits(Size) +
                     " bytes, more than the memory can hold");
}

/// The memory of the machine: no file larger than it is read. Asked of the system once, not
/// for every module file.
std::uint64_t MemoryBytes() {
    static const std::uint64_t Bytes = [] {
        const long Pages = ::sysconf(_SC_PHYS_PAGES);
        const long PageSize = ::sysconf(_SC_PAGESIZE);
        return Pages > 0 && PageSize > 0
                   ? static_cast<std::uint64_t>(Pages) * static_cast<std::uint64_t>(PageSize)
                   : UINT64_MAX;
    }();
    return Bytes;
}

/// ReadWhole's reading, once the file is open and its size known.
std::size_t ReadOpened(TFileStream& F, const std::string& FileName, std::size_t Want,
                       std::unique_ptr<char[]>& Text, std::size_t& Capacity) {
    // One byte more than the file holds, so that the read that finds the end needs no second
    // buffer; a file that grows meanwhile is read to its new end. A buffer far larger than the
    // file is not kept.
    if (!Text || Capacity < Want + 1 || Capacity > 2 * Want + 65536) {
        Capacity = Want + 1;
        Text = std::make_unique_for_overwrite<char[]>(Capacity);
    }
    std::size_t Size = 0;
    for (;;) {
        if (Size == Capacity) {
            auto Larger = std::make_unique_for_overwrite<char[]>(2 * Capacity);
            std::memcpy(Larger.get(), Text.get(), Size);
            Text = std::move(Larger);
            Capacity *= 2;
        }
        const ssize_t N = ::read(F.Handle(), Text.get() + Size, Capacity - Size);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            throw EReadError("Stream read error: " + FileName + " (" + std::strerror(errno) + ")");
        Size += static_cast<std::size_t>(N);
        // Done at a read that gives nothing, or at one that gives less than it had room for once
        // all the file held when it was opened is in: that spares the call that would give
        // nothing.
        if (N == 0 || (Size < Capacity && Size >= Want && Want > 0))
            return DecodeMarked(Text.get(), Size);
    }
}

/// Reads the whole of FileName into Text (of Capacity bytes; both are replaced when the file is
/// larger) with as few system calls as the file allows; returns its size. Raises the class
/// library's "Cannot open file %s", "Stream read error: <file> (<reason>)" when reading fails part
/// way, so that a scan never goes on with a text cut short, and TooLarge's error for a file the
/// memory cannot hold.
std::size_t ReadWhole(const std::string& FileName, std::unique_ptr<char[]>& Text, std::size_t& Capacity,
                      TFileIdentity* Identity = nullptr) {
    TFileStream F(FileName, fmOpenRead);
    const struct stat& St = F.Status();
    if (Identity)
        *Identity = TFileIdentity::Of(St);
    const std::size_t Want = St.st_size > 0 ? static_cast<std::size_t>(St.st_size) : 0;
    if (Want >= MemoryBytes())
        TooLarge(FileName, Want);
    try {
        return ReadOpened(F, FileName, Want, Text, Capacity);
    } catch (const std::bad_alloc&) {
        TooLarge(FileName, Want);
    }
}

/// Takes the spare text buffer (ReadWhole decides whether it fits).
void TakeSpare(std::unique_ptr<char[]>& Text, std::size_t& Capacity) {
    TSpareBuffers& S = Spare();
    Text = std::move(S.Text);
    Capacity = std::exchange(S.Capacity, 0);
}

} // namespace

std::size_t CountLineEnds(std::string_view Text) {
    const char* const B = Text.data();
    const std::size_t N = Text.size();
    std::size_t Ends = 0, Pairs = 0, I = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: each byte lane counts its CRs and LFs, and the CR LF pairs (which
    // end one line), in bytes of its own, added up before they can overflow.
    const __m128i Cr = _mm_set1_epi8('\r');
    const __m128i Lf = _mm_set1_epi8('\n');
    const __m128i Zero = _mm_setzero_si128();
    auto Sum = [&](__m128i Lanes) {
        const __m128i S = _mm_sad_epu8(Lanes, Zero);
        return static_cast<std::size_t>(_mm_cvtsi128_si32(S)) +
               static_cast<std::size_t>(_mm_extract_epi16(S, 4));
    };
    while (I + 17 <= N) {
        __m128i EndLanes = Zero, PairLanes = Zero;
        for (int Round = 0; Round < 255 && I + 17 <= N; ++Round, I += 16) {
            const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + I));
            const __m128i Next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + I + 1));
            const __m128i IsCr = _mm_cmpeq_epi8(V, Cr);
            EndLanes = _mm_sub_epi8(EndLanes, _mm_or_si128(IsCr, _mm_cmpeq_epi8(V, Lf)));
            PairLanes = _mm_sub_epi8(PairLanes, _mm_and_si128(IsCr, _mm_cmpeq_epi8(Next, Lf)));
        }
        Ends += Sum(EndLanes);
        Pairs += Sum(PairLanes);
    }
#endif
    for (; I < N; ++I) {
        if (B[I] == '\n') {
            ++Ends;
        } else if (B[I] == '\r') {
            ++Ends;
            if (I + 1 < N && B[I + 1] == '\n')
                ++Pairs;
        }
    }
    return Ends - Pairs;
}

std::size_t CountSourceLines(const std::string& FileName) {
    std::unique_ptr<char[]> Text;
    std::size_t Capacity = 0;
    TakeSpare(Text, Capacity);
    const std::size_t Size = ReadWhole(FileName, Text, Capacity);
    const std::string_view View(Text.get(), Size);
    const bool Unended = Size > 0 && View.back() != '\r' && View.back() != '\n';
    const std::size_t Count = CountLineEnds(View) + (Unended ? 1 : 0);
    Spare().Text = std::move(Text);
    Spare().Capacity = Capacity;
    return Count;
}

void TSourceText::LoadFromFile(const std::string& FileName) {
    Clear();
    TakeSpare(mText, mCapacity);
    mLines = std::move(Spare().Lines);
    mLines.clear();
    mSize = ReadWhole(FileName, mText, mCapacity, &mRead);
    try {
        FindLines();
    } catch (const std::bad_alloc&) {
        // The bounds of a file of very many short lines may need more memory than its text.
        const auto Bytes = static_cast<std::uint64_t>(mRead.Size);
        Clear();
        TooLarge(FileName, Bytes);
    }
}

void TSourceText::FindLines() {
    const std::size_t Size = mSize;
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

TFileIdentity TFileIdentity::Of(const struct stat& St) {
    return {St.st_dev,          St.st_ino,         St.st_size,        St.st_mtim.tv_sec,
            St.st_mtim.tv_nsec, St.st_ctim.tv_sec, St.st_ctim.tv_nsec};
}

bool TSourceText::StillAsRead(const std::string& FileName) const {
    struct stat St {};
    return mRead.Inode != 0 && ::stat(FileName.c_str(), &St) == 0 && TFileIdentity::Of(St) == mRead;
}

void TSourceText::Clear() {
    // A very large module's buffers are let go rather than kept for the next file.
    constexpr std::size_t LargestSpare = std::size_t{64} << 20;
    if (mText && mCapacity <= LargestSpare) {
        TSpareBuffers& S = Spare();
        S.Text = std::move(mText);
        S.Capacity = mCapacity;
        S.Lines = std::move(mLines);
    }
    mText.reset();
    mCapacity = 0;
    mSize = 0;
    mRead = {};
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
