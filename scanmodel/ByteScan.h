#pragma once
// Eight bytes at a time: the line splitter and the comment stripper pass over runs of ordinary
// text with one test per word instead of one per byte.

#include <bit>
#include <cstdint>
#include <cstring>

namespace qxbytes {

static_assert(std::endian::native == std::endian::little, "byte masks assume little-endian words");

constexpr std::uint64_t Ones = 0x0101010101010101u;
constexpr std::uint64_t Highs = 0x8080808080808080u;

inline std::uint64_t Load(const char* P) {
    std::uint64_t W;
    std::memcpy(&W, P, 8);
    return W;
}

/// A mask with the high bit set in (at least) every byte of W that equals B. Bits can also be set
/// above a true match, never without one: the lowest set bit marks the first match exactly, and a
/// zero mask means no byte equals B.
constexpr std::uint64_t Matches(std::uint64_t W, unsigned char B) {
    const std::uint64_t X = W ^ (Ones * B);
    return (X - Ones) & ~X & Highs;
}

/// Index (0..7) of the byte that the lowest set bit of a non-zero mask marks.
inline unsigned FirstByte(std::uint64_t Mask) {
    return static_cast<unsigned>(std::countr_zero(Mask)) / 8;
}

} // namespace qxbytes
