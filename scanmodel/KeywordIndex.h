#pragma once
// A keyword list prepared for searching whole texts: where does any keyword start? Scans ask
// this of a whole source file at once instead of line by line. A filter on the first three
// bytes of every keyword looks at 32 positions at a time (AVX2) or 16 (SSSE3), chosen when the
// program runs, and each position it lets through is confirmed against the keywords themselves,
// so the answer is exact whatever the level.

#include "platform/rtl/Classes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// The instruction sets the search can use; Plain runs everywhere.
enum class TVectorLevel { Plain, Ssse3, Avx2 };
/// The best level this processor runs.
TVectorLevel BestVectorLevel();
/// Every level this processor runs, Plain first.
std::vector<TVectorLevel> VectorLevels();

/// A position at which a keyword starts, and the end of the shortest keyword that starts there.
struct TKeyStart {
    std::size_t Pos;
    std::size_t End;
};

/// The keywords of a list with the tables that find them. Immutable once built, so scans that
/// use the same list share one, also a scan started from inside another's hit handler.
class TKeywordIndex {
public:
    explicit TKeywordIndex(std::vector<std::string> Keys);

    /// The index of KeyWords: the one built last when it holds the same keywords in the same
    /// order, else a new one.
    static std::shared_ptr<const TKeywordIndex> For(const TStringList& KeyWords);

    std::size_t Count() const { return mKeys.size(); }
    const std::string& Key(std::size_t K) const { return mKeys[K]; }
    /// Length of the longest keyword.
    std::size_t LongestKey() const { return mLongest; }
    bool SameKeys(const TStringList& KeyWords) const;

    /// Appends to Out, in order of position, every place in Text where a keyword starts and lies
    /// wholly inside Text. Empty keywords start nowhere.
    void FindStarts(std::string_view Text, std::vector<TKeyStart>& Out,
                    TVectorLevel Level = BestVectorLevel()) const;
    /// Length of the shortest keyword that starts at P and lies wholly inside Text; 0 for none.
    std::size_t ShortestAt(std::string_view Text, std::size_t P) const;

    /// Keywords of one byte, in list order.
    const std::vector<std::uint32_t>& Singles() const { return mSingles; }
    /// The keywords of two bytes or more, sorted by their first two bytes (read as one 16-bit
    /// number in machine order), then by length: the place of the first whose two bytes are
    /// Pair, or npos. The following places hold the others (PairAt(I) == Pair).
    std::size_t FirstWithPair(std::uint16_t Pair) const;
    std::uint16_t PairAt(std::size_t I) const { return mPairOf[I]; }
    std::uint32_t KeyAt(std::size_t I) const { return mPairKeys[I]; }
    std::size_t PairCount() const { return mPairOf.size(); }

    /// The filter's tables: for each of the first three bytes of a keyword, two 16-byte tables
    /// indexed by the low and the high half of the byte; bit b is set where a keyword of group b
    /// may have that half there.
    struct TNibbleTables {
        alignas(16) std::array<std::array<std::uint8_t, 16>, 3> Lo{};
        alignas(16) std::array<std::array<std::uint8_t, 16>, 3> Hi{};
    };

private:
    void BuildFilter();
    void FindPlain(const char* T, std::size_t N, std::size_t From, std::vector<TKeyStart>& Out) const;

    std::vector<std::string> mKeys;
    std::vector<std::uint32_t> mSingles;
    std::array<bool, 256> mSingleByte{};
    /// Keywords of two bytes or more sorted by their first two bytes, then by length.
    std::vector<std::uint16_t> mPairOf;
    std::vector<std::uint32_t> mPairKeys;
    /// By every 16-bit number the place + 1 in mPairKeys of its first keyword (0 for none; 255
    /// for a place beyond 254, looked up in mPairOf then).
    std::unique_ptr<std::uint8_t[]> mPairStart;
    TNibbleTables mFilter;
    bool mAnyKey = false;
    std::size_t mLongest = 0;
};
