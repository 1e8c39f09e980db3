#pragma once
// Builds, at compile time, the VS_VERSIONINFO bytes that a Windows program carries as its
// version resource, so that our Linux programs can carry the same bytes in their ELF section
// ".qxversion" (read back by TVerInfoRes). cmake/QuorvexVersionInfo.cmake generates the source
// that uses it:
//
//   constexpr qxversion::TVersionSpec Spec{{1, 0, 0, 6}, {{"CompanyName", "..."}, ...}};
//   QX_VERSION_RESOURCE(Spec)
//
// Layout written (32-bit resource layout, one translation: US English, code page 1252):
//   VS_VERSION_INFO (VS_FIXEDFILEINFO)
//     StringFileInfo / 040904E4 / one String block per non-empty value (UTF-16)
//     VarFileInfo / Translation = 0x0409, 0x04E4

#include <array>
#include <cstddef>
#include <cstdint>

namespace qxversion {

struct TVersionText {
    const char* Key;   ///< ASCII
    const char* Value; ///< UTF-8; an empty value is left out
};

struct TVersionSpec {
    std::uint16_t Version[4];
    TVersionText Texts[10];
};

/// Writes the resource into Out, or only counts its bytes when Out is null.
class TWriter {
public:
    constexpr explicit TWriter(unsigned char* Out) : mOut(Out) {}
    constexpr std::size_t Size() const { return mPos; }

    constexpr void Byte(unsigned V) {
        if (mOut)
            mOut[mPos] = static_cast<unsigned char>(V);
        ++mPos;
    }
    constexpr void Word(unsigned V) {
        Byte(V & 0xFF);
        Byte((V >> 8) & 0xFF);
    }
    constexpr void DWord(std::uint32_t V) {
        Word(V & 0xFFFF);
        Word(V >> 16);
    }
    constexpr void Align() {
        while (mPos % 4 != 0)
            Byte(0);
    }
    /// UTF-8 text as UTF-16 units with a closing NUL; returns the units written, NUL included.
    constexpr unsigned Text(const char* S) {
        unsigned Units = 0;
        for (std::size_t I = 0; S[I] != 0;) {
            const auto B = static_cast<unsigned char>(S[I]);
            char32_t C = B;
            std::size_t Len = 1;
            if (B >= 0xF0)
                C = B & 0x07, Len = 4;
            else if (B >= 0xE0)
                C = B & 0x0F, Len = 3;
            else if (B >= 0xC0)
                C = B & 0x1F, Len = 2;
            for (std::size_t K = 1; K < Len && S[I + K] != 0; ++K)
                C = (C << 6) | (static_cast<unsigned char>(S[I + K]) & 0x3F);
            I += Len;
            if (C >= 0x10000) {
                C -= 0x10000;
                Word(0xD800 + (C >> 10));
                Word(0xDC00 + (C & 0x3FF));
                Units += 2;
            } else {
                Word(C);
                Units += 1;
            }
        }
        Word(0);
        return Units + 1;
    }
    /// Starts a block: length placeholder, value length, type and key. Returns its start.
    constexpr std::size_t Begin(unsigned ValueLength, unsigned Type, const char* Key) {
        const std::size_t Start = mPos;
        Word(0);
        Word(ValueLength);
        Word(Type);
        Text(Key);
        Align();
        return Start;
    }
    /// Ends the block begun at Start by writing its length.
    constexpr void End(std::size_t Start) {
        if (mOut) {
            const std::size_t Length = mPos - Start;
            mOut[Start] = static_cast<unsigned char>(Length & 0xFF);
            mOut[Start + 1] = static_cast<unsigned char>(Length >> 8);
        }
    }
    /// Patches a block's value length.
    constexpr void ValueLength(std::size_t Start, unsigned Length) {
        if (mOut) {
            mOut[Start + 2] = static_cast<unsigned char>(Length & 0xFF);
            mOut[Start + 3] = static_cast<unsigned char>(Length >> 8);
        }
    }

private:
    unsigned char* mOut;
    std::size_t mPos = 0;
};

constexpr void Write(TWriter& W, const TVersionSpec& Spec) {
    const std::uint32_t Ms = std::uint32_t(Spec.Version[0]) << 16 | Spec.Version[1];
    const std::uint32_t Ls = std::uint32_t(Spec.Version[2]) << 16 | Spec.Version[3];
    const std::size_t Root = W.Begin(52, 0, "VS_VERSION_INFO");
    for (std::uint32_t V : {0xFEEF04BDu, 0x00010000u, Ms, Ls, Ms, Ls, 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u})
        W.DWord(V);
    W.Align();
    const std::size_t Info = W.Begin(0, 1, "StringFileInfo");
    const std::size_t Table = W.Begin(0, 1, "040904E4");
    for (const TVersionText& T : Spec.Texts) {
        if (T.Key == nullptr || T.Value == nullptr || T.Value[0] == 0)
            continue;
        const std::size_t S = W.Begin(0, 1, T.Key);
        W.ValueLength(S, W.Text(T.Value));
        W.Align();
        W.End(S);
    }
    W.End(Table);
    W.End(Info);
    const std::size_t Var = W.Begin(0, 1, "VarFileInfo");
    const std::size_t Translation = W.Begin(4, 0, "Translation");
    W.Word(0x0409);
    W.Word(0x04E4);
    W.End(Translation);
    W.End(Var);
    W.End(Root);
}

constexpr std::size_t SizeOf(const TVersionSpec& Spec) {
    TWriter W(nullptr);
    Write(W, Spec);
    return W.Size();
}

template <std::size_t N>
constexpr std::array<unsigned char, N> Build(const TVersionSpec& Spec) {
    std::array<unsigned char, N> Out{};
    TWriter W(Out.data());
    Write(W, Spec);
    return Out;
}

} // namespace qxversion

/// Places the resource built from Spec in the program's ".qxversion" section.
#define QX_VERSION_RESOURCE(Spec)                                                                            \
    [[gnu::section(".qxversion"), gnu::used]] constexpr auto QxVersionResource =                             \
        qxversion::Build<qxversion::SizeOf(Spec)>(Spec);
