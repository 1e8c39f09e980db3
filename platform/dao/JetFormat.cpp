#include "platform/dao/JetFormat.h"

#include "platform/rtl/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace dao {

namespace {

std::uint32_t U16(std::string_view B, std::size_t At) {
    return static_cast<std::uint8_t>(B[At]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(B[At + 1]))
                                                  << 8;
}

std::uint32_t U32(std::string_view B, std::size_t At) {
    return U16(B, At) | U16(B, At + 2) << 16;
}

std::uint64_t U64(std::string_view B, std::size_t At) {
    return U32(B, At) | static_cast<std::uint64_t>(U32(B, At + 4)) << 32;
}

double F64(std::string_view B, std::size_t At) {
    const std::uint64_t Bits = U64(B, At);
    double D;
    std::memcpy(&D, &Bits, sizeof D);
    return D;
}

std::vector<std::uint8_t> ToBytes(std::string_view B) {
    return std::vector<std::uint8_t>(B.begin(), B.end());
}

} // namespace

std::string NonDatabaseKind(std::string_view Head, long long Size) {
    if (Size == 0)
        return "the file is empty";
    if (Head.starts_with("PK\x03\x04"))
        return "it is a ZIP archive, such as an Excel workbook or a Word document";
    if (Head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return "it is an OLE compound file, such as an Excel workbook or a Word document of before 2007";
    // Text: no control characters but line ends and tabs, a byte-order mark allowed.
    if (Head.starts_with("\xEF\xBB\xBF") || Head.starts_with("\xFF\xFE") || Head.starts_with("\xFE\xFF"))
        return "it is a text file";
    const bool Text = std::all_of(Head.begin(), Head.end(), [](char C) {
        const auto B = static_cast<unsigned char>(C);
        return B >= 0x20 || B == '\t' || B == '\n' || B == '\r' || B == '\f';
    });
    return Text ? "it is a text file" : "";
}

JetHeader CheckJetFile(const std::string& FileName) {
    JetHeader H;
    std::ifstream In(FileName, std::ios::binary);
    if (!In) {
        H.Problem = "the file cannot be opened";
        return H;
    }
    In.seekg(0, std::ios::end);
    H.FileSize = static_cast<long long>(In.tellg());
    In.seekg(0);
    char Head[512] = {};
    In.read(Head, sizeof Head);
    const auto Got = static_cast<std::size_t>(In.gcount());
    const char* Page0 = Head;
    if (Got < 0x20 || std::memcmp(Page0, "\x00\x01\x00\x00", 4) != 0 ||
        (std::memcmp(Page0 + 4, "Standard Jet DB", 16) != 0 &&
         std::memcmp(Page0 + 4, "Standard ACE DB", 16) != 0)) {
        H.NotDatabase = true;
        H.Problem = NonDatabaseKind(std::string_view(Head, Got), H.FileSize);
        return H;
    }
    H.Version = static_cast<std::uint8_t>(Page0[0x14]);
    if (H.Version > 6) {
        H.Problem = Format("its format version %d is unknown", H.Version);
        return H;
    }
    H.PageSize = H.Version == 0 ? 2048 : 4096;
    H.Damaged = true;
    if (H.FileSize < 3LL * H.PageSize) {
        H.Problem = "the file is truncated";
        return H;
    }
    char Kind = 0;
    In.seekg(2LL * H.PageSize);
    In.read(&Kind, 1);
    if (!In || Kind != kDefinitionPage) {
        H.Problem = "its catalogue is damaged";
        return H;
    }
    H.Damaged = false;
    H.Ok = true;
    return H;
}

std::string ReadPageRows(std::string_view Page, bool Jet4, std::vector<PageRow>& Rows) {
    Rows.clear();
    if (Page.size() < 16 || static_cast<std::uint8_t>(Page[0]) != kDataPage)
        return Format("it is not a data page (kind %d)",
                      Page.empty() ? 0 : static_cast<std::uint8_t>(Page[0]));
    const std::size_t CountAt = Jet4 ? 12 : 8;
    const std::size_t Count = U16(Page, CountAt);
    const std::size_t TableEnd = CountAt + 2 + 2 * Count;
    if (TableEnd > Page.size())
        return Format("its %zu rows do not fit the page", Count);
    int Above = static_cast<int>(Page.size());
    std::string Problem;
    for (std::size_t I = 0; I < Count; ++I) {
        const std::uint32_t Raw = U16(Page, CountAt + 2 + 2 * I);
        const int Start = static_cast<int>(Raw & 0x1FFF);
        if (Start < static_cast<int>(TableEnd) || Start > Above) {
            if (Problem.empty())
                Problem = Format("the offset of its row %zu does not fit the page", I);
            Rows.push_back({Above, Above, Raw & 0xC000, true});
            continue;
        }
        Rows.push_back({Start, Above, Raw & 0xC000});
        Above = Start;
    }
    return Problem;
}

std::uint32_t PageOwner(std::string_view Page) {
    return Page.size() >= 8 ? U32(Page, 4) : 0;
}

namespace {

/// Whether the offsets of a row's variable-length values, the end of its data last, can frame it:
/// none before the fixed part, none below the one before, and the end of the data at or before
/// the offset table. A row that shrank keeps its offset table where it was, with slack (zero
/// bytes) between its data and the table; a row cut at the wrong place rarely gives such offsets.
bool VarOffsetsFit(const std::vector<std::size_t>& Offsets, std::size_t CountSize, std::size_t TableAt) {
    std::size_t Below = CountSize;
    for (const std::size_t O : Offsets) {
        if (O < Below)
            return false;
        Below = O;
    }
    return Below <= TableAt;
}

} // namespace

bool RowFrameFits(std::string_view Row, bool Jet4, unsigned Columns, unsigned VarColumns) {
    const std::size_t Size = Row.size(), CountSize = Jet4 ? 2 : 1;
    if (Size < CountSize)
        return false;
    const std::size_t Count = Jet4 ? U16(Row, 0) : static_cast<std::uint8_t>(Row[0]);
    const std::size_t Mask = (Count + 7) / 8;
    if (Count == 0 || Count > Columns || Size < CountSize + Mask)
        return false;
    if (VarColumns == 0)
        return true;
    if (Size < CountSize + Mask + 2 * CountSize)
        return false;
    const std::size_t VarAt = Size - Mask - CountSize;
    const std::size_t Var = Jet4 ? U16(Row, VarAt) : static_cast<std::uint8_t>(Row[VarAt]);
    if (Var > VarColumns)
        return false;
    std::vector<std::size_t> Offsets;
    if (Jet4) {
        if (VarAt < 2 * Var + 2 + CountSize)
            return false;
        const std::size_t EodAt = VarAt - 2 * Var - 2;
        for (std::size_t I = 0; I <= Var; ++I)
            Offsets.push_back(U16(Row, VarAt - 2 - 2 * I));
        return VarOffsetsFit(Offsets, CountSize, EodAt);
    }
    // One-byte offsets: the jump table lists the values at which they pass the next multiple of
    // 256. It may carry one dummy entry more than the row needs.
    for (std::size_t Jumps = (Size - 1) / 256 + 1; Jumps-- > 0;) {
        if (VarAt < Jumps + Var + 1 + CountSize)
            continue;
        const std::size_t EodAt = VarAt - Jumps - Var - 1;
        Offsets.clear();
        for (std::size_t I = 0, Used = 0; I <= Var; ++I) {
            while (Used < Jumps && static_cast<std::uint8_t>(Row[VarAt - 1 - Used]) == I)
                ++Used;
            Offsets.push_back(static_cast<std::uint8_t>(Row[EodAt + Var - I]) + 256 * Used);
        }
        if (VarOffsetsFit(Offsets, CountSize, EodAt))
            return true;
    }
    return false;
}

std::string DecodeJetText(std::string_view Bytes, bool Jet4) {
    if (!Jet4)
        return std::string(Bytes);
    if (Bytes.size() >= 2 && static_cast<std::uint8_t>(Bytes[0]) == 0xFF &&
        static_cast<std::uint8_t>(Bytes[1]) == 0xFE) {
        // Compressed: runs of one-byte characters and of UTF-16 units, switched by a 00 byte.
        std::string Units;
        bool Compressed = true;
        for (std::size_t I = 2; I < Bytes.size();) {
            if (Bytes[I] == '\0') {
                Compressed = !Compressed;
                ++I;
            } else if (Compressed) {
                Units += Bytes[I++];
                Units += '\0';
            } else {
                if (I + 1 >= Bytes.size())
                    break;
                Units += Bytes.substr(I, 2);
                I += 2;
            }
        }
        return Utf16ToCp1252(Units);
    }
    return Utf16ToCp1252(Bytes);
}

Variant JetValue(int Type, std::string_view B, bool Jet4) {
    auto Need = [&B](std::size_t N) { return B.size() >= N; };
    switch (Type) {
    case jtBoolean:
        return Need(1) ? Variant(B[0] != 0) : Variant::Null();
    case jtByte:
        return Need(1) ? Variant(static_cast<std::uint8_t>(B[0])) : Variant::Null();
    case jtInteger:
        return Need(2) ? Variant(static_cast<std::int16_t>(U16(B, 0))) : Variant::Null();
    case jtLong:
        return Need(4) ? Variant(static_cast<std::int32_t>(U32(B, 0))) : Variant::Null();
    case jtCurrency:
        return Need(8) ? Variant::Currency(static_cast<std::int64_t>(U64(B, 0))) : Variant::Null();
    case jtSingle: {
        if (!Need(4))
            return Variant::Null();
        const std::uint32_t Bits = U32(B, 0);
        float F;
        std::memcpy(&F, &Bits, sizeof F);
        return Variant(F);
    }
    case jtDouble:
        return Need(8) ? Variant(F64(B, 0)) : Variant::Null();
    case jtDate:
        return Need(8) ? Variant::Date(F64(B, 0)) : Variant::Null();
    case jtText:
    case jtMemo:
        return Variant(DecodeJetText(B, Jet4));
    case jtGuid:
        return Need(16) ? Variant::Bytes(ToBytes(B.substr(0, 16))) : Variant::Null();
    default:
        return Variant::Bytes(ToBytes(B));
    }
}

namespace {

bool ValueFits(int Type, std::size_t Size) {
    switch (Type) {
    case jtBoolean:
    case jtByte:
        return Size >= 1;
    case jtInteger:
        return Size >= 2;
    case jtLong:
    case jtSingle:
        return Size >= 4;
    case jtCurrency:
    case jtDouble:
    case jtDate:
        return Size >= 8;
    case jtGuid:
        return Size >= 16;
    default:
        return true;
    }
}

void ParseBlock(std::string_view Body, const std::vector<std::string>& Names, bool Jet4, PropertyBlock& Block,
                std::string& Damage) {
    if (Body.size() < 6) {
        Damage = "a block is cut short";
        return;
    }
    const std::size_t NameLength = U16(Body, 4);
    if (6 + NameLength > Body.size()) {
        Damage = "a block's name does not fit it";
        return;
    }
    Block.Name = DecodeJetText(Body.substr(6, NameLength), Jet4);
    std::size_t Pos = 6 + NameLength;
    while (Pos + 8 <= Body.size()) {
        const std::size_t Length = U16(Body, Pos);
        if (Length < 8 || Pos + Length > Body.size())
            break; // the rest of the block cannot be framed
        const int Type = static_cast<std::uint8_t>(Body[Pos + 3]);
        const std::size_t NameIndex = U16(Body, Pos + 4);
        const std::size_t Size = U16(Body, Pos + 6);
        if (NameIndex < Names.size() && 8 + Size <= Length && ValueFits(Type, Size))
            Block.Properties.push_back({Names[NameIndex], JetValue(Type, Body.substr(Pos + 8, Size), Jet4)});
        else if (Damage.empty())
            Damage = Format("a property of the block '%s' cannot be read", Block.Name);
        Pos += Length;
    }
    if (Pos != Body.size() && Damage.empty())
        Damage = Format("the block '%s' cannot be read to its end", Block.Name);
}

} // namespace

std::vector<PropertyBlock> ParseLvProp(std::string_view Blob, bool Jet4, std::string* Damage) {
    std::vector<PropertyBlock> Blocks;
    std::string Why;
    if (Blob.size() < 4 || (Blob.substr(0, 4) != std::string_view("KKD\0", 4) &&
                            Blob.substr(0, 4) != std::string_view("MR2\0", 4))) {
        if (Damage && !Blob.empty())
            *Damage = "its stored properties do not start as such a list does";
        return Blocks;
    }
    std::vector<std::string> Names;
    bool HaveNames = false;
    std::size_t Pos = 4;
    while (Pos + 6 <= Blob.size()) {
        const std::size_t Length = U32(Blob, Pos);
        if (Length < 6 || Length > Blob.size() - Pos)
            break;
        const unsigned Type = U16(Blob, Pos + 4);
        const std::string_view Body = Blob.substr(Pos + 6, Length - 6);
        if (Type == 0x80) {
            Names.clear();
            std::size_t N = 0;
            while (N + 2 <= Body.size()) {
                const std::size_t L = U16(Body, N);
                if (N + 2 + L > Body.size())
                    break;
                Names.push_back(DecodeJetText(Body.substr(N + 2, L), Jet4));
                N += 2 + L;
            }
            if (N != Body.size() && Why.empty())
                Why = "its list of property names cannot be read to its end";
            HaveNames = true;
        } else if (Type <= 2 && HaveNames) {
            PropertyBlock Block;
            ParseBlock(Body, Names, Jet4, Block, Why);
            Blocks.push_back(std::move(Block));
        }
        Pos += Length;
    }
    if (Pos != Blob.size() && Why.empty())
        Why = "they cannot be read to their end";
    if (Damage && !Why.empty())
        *Damage = "its stored properties are damaged: " + Why;
    return Blocks;
}

} // namespace dao
