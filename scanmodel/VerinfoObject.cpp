#include "scanmodel/VerinfoObject.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace {

/// The ELF section that carries a program's version resource.
constexpr std::string_view VersionSection = ".qxversion";
constexpr std::uint16_t RtVersion = 16;
/// Largest version resource taken; real ones are a few kilobytes.
constexpr std::uint64_t MaxVersionSize = 1 << 20;

/// Reads little- (or big-) endian numbers at absolute file offsets; a read past the end fails.
class TFileReader {
public:
    explicit TFileReader(const std::string& FileName) {
        try {
            mFile = std::make_unique<TFileStream>(FileName, fmOpenRead);
            mSize = static_cast<std::uint64_t>(mFile->Size());
        } catch (const EStreamError&) {
            mFile.reset();
        }
    }
    bool IsOpen() const { return mFile != nullptr; }
    std::uint64_t Size() const { return mSize; }

    bool Bytes(std::uint64_t Offset, std::uint64_t Count, void* Out) {
        if (!mFile || Offset > mSize || Count > mSize - Offset)
            return false;
        mFile->Seek(static_cast<Longint>(Offset), soFromBeginning);
        return mFile->Read(Out, static_cast<Longint>(Count)) == static_cast<Longint>(Count);
    }
    bool Bytes(std::uint64_t Offset, std::uint64_t Count, std::vector<unsigned char>& Out) {
        if (Count > mSize)
            return false;
        Out.resize(static_cast<std::size_t>(Count));
        return Bytes(Offset, Count, Out.data());
    }
    std::uint64_t Number(std::uint64_t Offset, int Width, bool& Ok) {
        unsigned char B[8] = {};
        if (!Bytes(Offset, static_cast<std::uint64_t>(Width), B)) {
            Ok = false;
            return 0;
        }
        std::uint64_t V = 0;
        for (int I = 0; I < Width; ++I)
            V |= std::uint64_t(B[BigEndian ? Width - 1 - I : I]) << (8 * I);
        return V;
    }

    bool BigEndian = false;

private:
    std::unique_ptr<TFileStream> mFile;
    std::uint64_t mSize = 0;
};

/// Where the version resource lies in the file.
struct TLocation {
    std::uint64_t Offset = 0;
    std::uint64_t Size = 0;
    bool Wide = true;
};

bool LocatePE(TFileReader& F, std::uint64_t Pe, TLocation& Loc) {
    bool Ok = true;
    const auto Sections = F.Number(Pe + 6, 2, Ok);
    const auto OptSize = F.Number(Pe + 20, 2, Ok);
    const std::uint64_t Opt = Pe + 24;
    const auto Magic = F.Number(Opt, 2, Ok);
    if (!Ok || (Magic != 0x10B && Magic != 0x20B))
        return false;
    const std::uint64_t Dirs = Opt + (Magic == 0x10B ? 96 : 112);
    const auto DirCount = F.Number(Dirs - 4, 4, Ok);
    if (!Ok || DirCount < 3)
        return false;
    const auto RsrcRva = F.Number(Dirs + 16, 4, Ok);
    if (!Ok || RsrcRva == 0)
        return false;

    const std::uint64_t Table = Opt + OptSize;
    auto RvaToOffset = [&](std::uint64_t Rva, std::uint64_t& Offset) {
        for (std::uint64_t S = 0; S < Sections; ++S) {
            const std::uint64_t H = Table + S * 40;
            bool SOk = true;
            const auto VSize = F.Number(H + 8, 4, SOk);
            const auto Va = F.Number(H + 12, 4, SOk);
            const auto RawSize = F.Number(H + 16, 4, SOk);
            const auto Raw = F.Number(H + 20, 4, SOk);
            if (!SOk)
                return false;
            const auto Extent = VSize > RawSize ? VSize : RawSize;
            if (Rva >= Va && Rva < Va + Extent) {
                Offset = Rva - Va + Raw;
                return true;
            }
        }
        return false;
    };
    std::uint64_t Root = 0;
    if (!RvaToOffset(RsrcRva, Root))
        return false;

    // Three levels: type (RT_VERSION), then the first name, then the first language.
    std::uint64_t Dir = Root;
    for (int Level = 0; Level < 3; ++Level) {
        const auto Named = F.Number(Dir + 12, 2, Ok);
        const auto Ids = F.Number(Dir + 14, 2, Ok);
        if (!Ok || Named + Ids == 0)
            return false;
        std::uint64_t Entry = Dir + 16;
        if (Level == 0) {
            std::uint64_t I = 0;
            for (Entry = Dir + 16 + Named * 8; I < Ids; ++I, Entry += 8)
                if (F.Number(Entry, 4, Ok) == RtVersion)
                    break;
            if (!Ok || I == Ids)
                return false;
        }
        const auto Target = F.Number(Entry + 4, 4, Ok);
        const bool IsDir = (Target & 0x80000000u) != 0;
        if (!Ok || IsDir != (Level < 2))
            return false;
        Dir = Root + (Target & 0x7FFFFFFFu);
    }
    const auto DataRva = F.Number(Dir, 4, Ok);
    Loc.Size = F.Number(Dir + 4, 4, Ok);
    Loc.Wide = true;
    return Ok && RvaToOffset(DataRva, Loc.Offset);
}

bool LocateNE(TFileReader& F, std::uint64_t Ne, TLocation& Loc) {
    bool Ok = true;
    const auto TableOffset = F.Number(Ne + 0x24, 2, Ok);
    const auto NamesOffset = F.Number(Ne + 0x26, 2, Ok);
    if (!Ok || TableOffset == NamesOffset)
        return false;
    std::uint64_t P = Ne + TableOffset;
    const auto Shift = F.Number(P, 2, Ok);
    if (!Ok || Shift > 24)
        return false;
    P += 2;
    while (Ok) {
        const auto Type = F.Number(P, 2, Ok);
        if (!Ok || Type == 0)
            return false;
        const auto Count = F.Number(P + 2, 2, Ok);
        P += 8;
        if (Type == (0x8000u | RtVersion) && Count > 0) {
            Loc.Offset = F.Number(P, 2, Ok) << Shift;
            Loc.Size = F.Number(P + 2, 2, Ok) << Shift;
            Loc.Wide = false;
            return Ok;
        }
        P += Count * 12;
        if (P > F.Size())
            return false;
    }
    return false;
}

bool LocateELF(TFileReader& F, TLocation& Loc) {
    bool Ok = true;
    const auto Class = F.Number(4, 1, Ok);
    const auto Data = F.Number(5, 1, Ok);
    if (!Ok || (Class != 1 && Class != 2) || (Data != 1 && Data != 2))
        return false;
    F.BigEndian = Data == 2;
    const bool Is64 = Class == 2;
    const int Addr = Is64 ? 8 : 4;
    const auto ShOff = F.Number(Is64 ? 0x28 : 0x20, Addr, Ok);
    const auto ShEntSize = F.Number(Is64 ? 0x3A : 0x2E, 2, Ok);
    const auto ShNum = F.Number(Is64 ? 0x3C : 0x30, 2, Ok);
    const auto ShStrNdx = F.Number(Is64 ? 0x3E : 0x32, 2, Ok);
    if (!Ok || ShOff == 0 || ShEntSize < (Is64 ? 64u : 40u) || ShStrNdx >= ShNum)
        return false;
    auto Section = [&](std::uint64_t Index, std::uint64_t& Name, std::uint64_t& Type, std::uint64_t& Offset,
                       std::uint64_t& Size) {
        const std::uint64_t H = ShOff + Index * ShEntSize;
        Name = F.Number(H, 4, Ok);
        Type = F.Number(H + 4, 4, Ok);
        Offset = F.Number(H + (Is64 ? 24 : 16), Addr, Ok);
        Size = F.Number(H + (Is64 ? 32 : 20), Addr, Ok);
        return Ok;
    };
    std::uint64_t Name = 0, Type = 0, StrOffset = 0, StrSize = 0;
    if (!Section(ShStrNdx, Name, Type, StrOffset, StrSize) || StrSize > MaxVersionSize * 16)
        return false;
    std::vector<unsigned char> Names;
    if (!F.Bytes(StrOffset, StrSize, Names))
        return false;
    for (std::uint64_t I = 0; I < ShNum; ++I) {
        std::uint64_t Offset = 0, Size = 0;
        if (!Section(I, Name, Type, Offset, Size))
            return false;
        if (Name >= Names.size() || Type == 8 /* SHT_NOBITS */)
            continue;
        const char* S = reinterpret_cast<const char*>(Names.data()) + Name;
        const std::size_t MaxLen = Names.size() - Name;
        if (std::string_view(S, strnlen(S, MaxLen)) == VersionSection) {
            Loc.Offset = Offset;
            Loc.Size = Size;
            Loc.Wide = true;
            return true;
        }
    }
    return false;
}

/// Finds the version resource of an executable; false when the file has none.
bool Locate(TFileReader& F, TLocation& Loc) {
    unsigned char Magic[4] = {};
    if (!F.Bytes(0, 4, Magic))
        return false;
    if (Magic[0] == 0x7F && Magic[1] == 'E' && Magic[2] == 'L' && Magic[3] == 'F')
        return LocateELF(F, Loc);
    if (Magic[0] != 'M' || Magic[1] != 'Z')
        return false;
    bool Ok = true;
    const auto Header = F.Number(0x3C, 4, Ok);
    unsigned char Sig[4] = {};
    if (!Ok || !F.Bytes(Header, 4, Sig))
        return false;
    if (Sig[0] == 'P' && Sig[1] == 'E' && Sig[2] == 0 && Sig[3] == 0)
        return LocatePE(F, Header, Loc);
    if (Sig[0] == 'N' && Sig[1] == 'E')
        return LocateNE(F, Header, Loc);
    return false;
}

} // namespace

// --- the version data ---

namespace {

/// One block of the version data: its key, value and children.
struct TBlock {
    std::size_t Start = 0;
    std::size_t End = 0; ///< Start + wLength, within the data
    std::string Key;
    std::size_t Value = 0;
    std::size_t ValueLength = 0; ///< in bytes
    bool IsText = false;
    std::size_t Children = 0;
};

std::size_t Align4(std::size_t V) {
    return (V + 3) & ~std::size_t(3);
}

std::uint16_t Word16(const std::vector<unsigned char>& D, std::size_t At) {
    return static_cast<std::uint16_t>(D[At] | D[At + 1] << 8);
}

/// Parses the block at Start, which must end by Limit.
bool ParseBlock(const std::vector<unsigned char>& D, bool Wide, std::size_t Start, std::size_t Limit,
                TBlock& B) {
    const std::size_t Header = Wide ? 6 : 4;
    if (Start + Header > Limit)
        return false;
    const std::size_t Length = Word16(D, Start);
    const std::size_t ValueLength = Word16(D, Start + 2);
    if (Length < Header || Start + Length > Limit)
        return false;
    B.Start = Start;
    B.End = Start + Length;
    B.IsText = Wide && Word16(D, Start + 4) == 1;
    B.Key.clear();
    std::size_t P = Start + Header;
    if (Wide) {
        std::string Units;
        while (P + 2 <= B.End && Word16(D, P) != 0) {
            Units.append(reinterpret_cast<const char*>(&D[P]), 2);
            P += 2;
        }
        B.Key = Utf16ToCp1252(Units);
        P += 2;
    } else {
        while (P < B.End && D[P] != 0)
            B.Key += static_cast<char>(D[P++]);
        P += 1;
    }
    B.Value = std::min(Align4(P), B.End);
    // Text values count characters of two bytes; everything else counts bytes.
    B.ValueLength = std::min(B.IsText ? ValueLength * 2 : ValueLength, B.End - B.Value);
    B.Children = std::min(Align4(B.Value + B.ValueLength), B.End);
    return true;
}

} // namespace

TVerInfoRes::TVerInfoRes(const std::string& FileName) : mFileName(FileName) {
    TFileReader F(FileName);
    TLocation Loc;
    if (!F.IsOpen() || !Locate(F, Loc) || Loc.Size == 0)
        throw ENoVerInfoError("No Version Info Available.");
    TBlock Root;
    if (Loc.Size > MaxVersionSize || !F.Bytes(Loc.Offset, Loc.Size, mVerData) ||
        !ParseBlock(mVerData, Loc.Wide, 0, mVerData.size(), Root))
        throw EVerInfoError("Cannot obtain version info.");
    mWide = Loc.Wide;
    // The root block's own length bounds every look-up; what follows it is padding.
    mVerData.resize(Root.End);

    std::size_t Offset = 0, Length = 0;
    bool IsText = false;
    if (!QueryValue("\\VarFileInfo\\Translation", Offset, Length, IsText) || Length < 4)
        throw EVerInfoError("No language info.");
    mTranslation = static_cast<std::uint32_t>(Word16(mVerData, Offset)) |
                   static_cast<std::uint32_t>(Word16(mVerData, Offset + 2)) << 16;
    if (!QueryValue("\\", Offset, Length, IsText) || Length < 52)
        throw eNoFixeVerInfo("No fixed file info");
    mFixedInfo = Offset;
}

bool TVerInfoRes::QueryValue(const std::string& SubBlock, std::size_t& Offset, std::size_t& Length,
                             bool& IsText) const {
    TBlock Current;
    if (!ParseBlock(mVerData, mWide, 0, mVerData.size(), Current))
        return false;
    std::size_t P = 0;
    while (P < SubBlock.size()) {
        while (P < SubBlock.size() && SubBlock[P] == '\\')
            ++P;
        if (P >= SubBlock.size())
            break;
        std::size_t E = SubBlock.find('\\', P);
        if (E == std::string::npos)
            E = SubBlock.size();
        const std::string_view Wanted = std::string_view(SubBlock).substr(P, E - P);
        P = E;
        bool Found = false;
        TBlock Child;
        for (std::size_t C = Current.Children; C < Current.End;) {
            if (!ParseBlock(mVerData, mWide, C, Current.End, Child))
                break;
            if (SameText(Child.Key, Wanted)) {
                Found = true;
                break;
            }
            C = Align4(Child.End);
        }
        if (!Found)
            return false;
        Current = Child;
    }
    Offset = Current.Value;
    Length = Current.ValueLength;
    IsText = Current.IsText;
    return true;
}

std::string TVerInfoRes::GetString(Byte Index) const {
    if (Index >= std::size(Keys))
        return {};
    const std::string Path = Format("\\StringFileInfo\\%04X%04X\\%s", unsigned(mTranslation & 0xFFFF),
                                    unsigned(mTranslation >> 16), Keys[Index]);
    std::size_t Offset = 0, Length = 0;
    bool IsText = false;
    if (!QueryValue(Path, Offset, Length, IsText))
        return {};
    if (mWide) {
        std::size_t N = 0;
        while (N + 2 <= Length && Word16(mVerData, Offset + N) != 0)
            N += 2;
        return Utf16ToCp1252(std::string_view(reinterpret_cast<const char*>(mVerData.data() + Offset), N));
    }
    std::size_t N = 0;
    while (N < Length && mVerData[Offset + N] != 0)
        ++N;
    return std::string(reinterpret_cast<const char*>(mVerData.data() + Offset), N);
}

std::string TVerInfoRes::FixedFileVersion() const {
    auto Word = [&](std::size_t At) { return unsigned(Word16(mVerData, mFixedInfo + At)); };
    // dwFileVersionMS at byte 8, dwFileVersionLS at byte 12; the high word of each comes first.
    return Format("%u.%u.%u.%u", Word(10), Word(8), Word(14), Word(12));
}
