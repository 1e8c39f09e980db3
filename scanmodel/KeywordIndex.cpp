#include "scanmodel/KeywordIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QX_X86 1
#endif

TVectorLevel BestVectorLevel() {
#if defined(QX_X86)
    static const TVectorLevel Best = __builtin_cpu_supports("avx2")    ? TVectorLevel::Avx2
                                     : __builtin_cpu_supports("ssse3") ? TVectorLevel::Ssse3
                                                                       : TVectorLevel::Plain;
    return Best;
#else
    return TVectorLevel::Plain;
#endif
}

std::vector<TVectorLevel> VectorLevels() {
    std::vector<TVectorLevel> Levels{TVectorLevel::Plain};
    if (BestVectorLevel() >= TVectorLevel::Ssse3)
        Levels.push_back(TVectorLevel::Ssse3);
    if (BestVectorLevel() >= TVectorLevel::Avx2)
        Levels.push_back(TVectorLevel::Avx2);
    return Levels;
}

namespace {

/// One group of the filter: per byte place, the sets of low and high halves its keywords have
/// there (bit n set for the half n).
struct TGroup {
    std::array<std::uint16_t, 3> Lo{};
    std::array<std::uint16_t, 3> Hi{};

    static TGroup Of(std::string_view Prefix) {
        TGroup G;
        for (std::size_t J = 0; J < 3; ++J) {
            if (J < Prefix.size()) {
                const auto C = static_cast<unsigned char>(Prefix[J]);
                G.Lo[J] = static_cast<std::uint16_t>(1u << (C & 15));
                G.Hi[J] = static_cast<std::uint16_t>(1u << (C >> 4));
            } else {
                // A keyword shorter than three bytes lets any byte through there.
                G.Lo[J] = G.Hi[J] = 0xFFFF;
            }
        }
        return G;
    }
    TGroup With(const TGroup& O) const {
        TGroup G;
        for (std::size_t J = 0; J < 3; ++J) {
            G.Lo[J] = Lo[J] | O.Lo[J];
            G.Hi[J] = Hi[J] | O.Hi[J];
        }
        return G;
    }
    /// How many three-byte sequences the group lets through: the filter's rate of false
    /// candidates grows with it.
    double Width() const {
        double W = 1;
        for (std::size_t J = 0; J < 3; ++J)
            W *= std::popcount(Lo[J]) * std::popcount(Hi[J]);
        return W;
    }
};

#if defined(QX_X86)

// The filter, 32 or 16 positions at a time: a byte's two halves pick their group bits from the
// tables of its place; a position is a candidate where the bits of its three bytes share one.

#define QX_AVX2 __attribute__((target("avx2")))
#define QX_SSSE3 __attribute__((target("ssse3")))

QX_AVX2 inline __m256i Table256(const std::array<std::uint8_t, 16>& A) {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(A.data())));
}

/// The group bits of the 32 bytes at P for one byte place.
QX_AVX2 inline __m256i Look256(const char* P, __m256i Lo, __m256i Hi) {
    const __m256i Low = _mm256_set1_epi8(0x0F);
    const __m256i V = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(P));
    return _mm256_and_si256(_mm256_shuffle_epi8(Lo, _mm256_and_si256(V, Low)),
                            _mm256_shuffle_epi8(Hi, _mm256_and_si256(_mm256_srli_epi16(V, 4), Low)));
}

QX_AVX2 std::size_t FindAvx2(const TKeywordIndex& X, const TKeywordIndex::TNibbleTables& F,
                             std::string_view Text, std::vector<TKeyStart>& Out) {
    const __m256i Lo0 = Table256(F.Lo[0]), Lo1 = Table256(F.Lo[1]), Lo2 = Table256(F.Lo[2]);
    const __m256i Hi0 = Table256(F.Hi[0]), Hi1 = Table256(F.Hi[1]), Hi2 = Table256(F.Hi[2]);
    const __m256i Zero = _mm256_setzero_si256();
    const char* const T = Text.data();
    std::size_t I = 0;
    for (; I + 34 <= Text.size(); I += 32) {
        const __m256i R =
            _mm256_and_si256(_mm256_and_si256(Look256(T + I, Lo0, Hi0), Look256(T + I + 1, Lo1, Hi1)),
                             Look256(T + I + 2, Lo2, Hi2));
        auto Mask = ~static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(R, Zero)));
        for (; Mask != 0; Mask &= Mask - 1) {
            const std::size_t P = I + static_cast<std::size_t>(std::countr_zero(Mask));
            if (const std::size_t L = X.ShortestAt(Text, P))
                Out.push_back({P, P + L});
        }
    }
    return I;
}

QX_SSSE3 inline __m128i Look128(const char* P, __m128i Lo, __m128i Hi) {
    const __m128i Low = _mm_set1_epi8(0x0F);
    const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
    return _mm_and_si128(_mm_shuffle_epi8(Lo, _mm_and_si128(V, Low)),
                         _mm_shuffle_epi8(Hi, _mm_and_si128(_mm_srli_epi16(V, 4), Low)));
}

QX_SSSE3 std::size_t FindSsse3(const TKeywordIndex& X, const TKeywordIndex::TNibbleTables& F,
                               std::string_view Text, std::vector<TKeyStart>& Out) {
    auto Table = [](const std::array<std::uint8_t, 16>& A) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(A.data()));
    };
    const __m128i Lo0 = Table(F.Lo[0]), Lo1 = Table(F.Lo[1]), Lo2 = Table(F.Lo[2]);
    const __m128i Hi0 = Table(F.Hi[0]), Hi1 = Table(F.Hi[1]), Hi2 = Table(F.Hi[2]);
    const __m128i Zero = _mm_setzero_si128();
    const char* const T = Text.data();
    std::size_t I = 0;
    for (; I + 18 <= Text.size(); I += 16) {
        const __m128i R = _mm_and_si128(_mm_and_si128(Look128(T + I, Lo0, Hi0), Look128(T + I + 1, Lo1, Hi1)),
                                        Look128(T + I + 2, Lo2, Hi2));
        auto Mask = ~static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(R, Zero))) & 0xFFFFu;
        for (; Mask != 0; Mask &= Mask - 1) {
            const std::size_t P = I + static_cast<std::size_t>(std::countr_zero(Mask));
            if (const std::size_t L = X.ShortestAt(Text, P))
                Out.push_back({P, P + L});
        }
    }
    return I;
}

#endif

} // namespace

TKeywordIndex::TKeywordIndex(std::vector<std::string> Keys) : mKeys(std::move(Keys)) {
    std::vector<std::pair<std::uint16_t, std::uint32_t>> Pairs;
    for (std::size_t K = 0; K < mKeys.size(); ++K) {
        const std::string& Key = mKeys[K];
        mLongest = std::max(mLongest, Key.size());
        if (Key.size() == 1) {
            mSingles.push_back(static_cast<std::uint32_t>(K));
            mSingleByte[static_cast<unsigned char>(Key[0])] = true;
        } else if (Key.size() > 1) {
            std::uint16_t Pair;
            std::memcpy(&Pair, Key.data(), 2);
            Pairs.push_back({Pair, static_cast<std::uint32_t>(K)});
        }
    }
    mAnyKey = !mSingles.empty() || !Pairs.empty();
    std::stable_sort(Pairs.begin(), Pairs.end(), [&](const auto& A, const auto& B) {
        return A.first != B.first ? A.first < B.first : mKeys[A.second].size() < mKeys[B.second].size();
    });
    for (const auto& [Pair, K] : Pairs) {
        mPairOf.push_back(Pair);
        mPairKeys.push_back(K);
    }
    mPairStart = std::make_unique<std::uint8_t[]>(65536);
    for (std::size_t I = mPairOf.size(); I > 0; --I)
        mPairStart[mPairOf[I - 1]] = static_cast<std::uint8_t>(std::min<std::size_t>(I, 255));
    BuildFilter();
}

void TKeywordIndex::BuildFilter() {
    // One group per distinct prefix of up to three bytes; while there are more than the eight
    // bits of a table entry, the two groups whose union widens the filter least are joined.
    std::vector<std::string_view> Prefixes;
    for (const std::string& Key : mKeys)
        if (!Key.empty())
            Prefixes.push_back(std::string_view(Key).substr(0, 3));
    std::sort(Prefixes.begin(), Prefixes.end());
    Prefixes.erase(std::unique(Prefixes.begin(), Prefixes.end()), Prefixes.end());
    std::vector<TGroup> Groups;
    for (std::string_view P : Prefixes)
        Groups.push_back(TGroup::Of(P));
    while (Groups.size() > 8) {
        std::size_t BestA = 0, BestB = 1;
        double BestCost = 0;
        bool First = true;
        for (std::size_t A = 0; A < Groups.size(); ++A)
            for (std::size_t B = A + 1; B < Groups.size(); ++B) {
                const double Cost = Groups[A].With(Groups[B]).Width() - Groups[A].Width() - Groups[B].Width();
                if (First || Cost < BestCost) {
                    BestA = A;
                    BestB = B;
                    BestCost = Cost;
                    First = false;
                }
            }
        Groups[BestA] = Groups[BestA].With(Groups[BestB]);
        Groups.erase(Groups.begin() + static_cast<std::ptrdiff_t>(BestB));
    }
    for (std::size_t G = 0; G < Groups.size(); ++G)
        for (std::size_t J = 0; J < 3; ++J)
            for (unsigned H = 0; H < 16; ++H) {
                if (Groups[G].Lo[J] & (1u << H))
                    mFilter.Lo[J][H] |= static_cast<std::uint8_t>(1u << G);
                if (Groups[G].Hi[J] & (1u << H))
                    mFilter.Hi[J][H] |= static_cast<std::uint8_t>(1u << G);
            }
}

std::shared_ptr<const TKeywordIndex> TKeywordIndex::For(const TStringList& KeyWords) {
    thread_local std::shared_ptr<const TKeywordIndex> Last;
    if (!Last || !Last->SameKeys(KeyWords)) {
        std::vector<std::string> Keys;
        Keys.reserve(static_cast<std::size_t>(KeyWords.Count()));
        for (Longint I = 0; I < KeyWords.Count(); ++I)
            Keys.push_back(KeyWords[I]);
        Last = std::make_shared<const TKeywordIndex>(std::move(Keys));
    }
    return Last;
}

bool TKeywordIndex::SameKeys(const TStringList& KeyWords) const {
    if (static_cast<std::size_t>(KeyWords.Count()) != mKeys.size())
        return false;
    for (std::size_t I = 0; I < mKeys.size(); ++I)
        if (KeyWords[static_cast<Longint>(I)] != mKeys[I])
            return false;
    return true;
}

std::size_t TKeywordIndex::FirstWithPair(std::uint16_t Pair) const {
    const std::uint8_t First = mPairStart[Pair];
    if (First == 0)
        return std::string_view::npos;
    if (First < 255)
        return First - 1u;
    return static_cast<std::size_t>(std::lower_bound(mPairOf.begin(), mPairOf.end(), Pair) - mPairOf.begin());
}

std::size_t TKeywordIndex::ShortestAt(std::string_view Text, std::size_t P) const {
    if (mSingleByte[static_cast<unsigned char>(Text[P])])
        return 1;
    const std::size_t Left = Text.size() - P;
    if (Left < 2)
        return 0;
    std::uint16_t Pair;
    std::memcpy(&Pair, Text.data() + P, 2);
    const std::size_t First = FirstWithPair(Pair);
    if (First == std::string_view::npos)
        return 0;
    for (std::size_t I = First; I < mPairOf.size() && mPairOf[I] == Pair; ++I) {
        const std::string& Key = mKeys[mPairKeys[I]];
        if (Key.size() > Left)
            break; // the others are longer still
        if (std::memcmp(Text.data() + P + 2, Key.data() + 2, Key.size() - 2) == 0)
            return Key.size();
    }
    return 0;
}

void TKeywordIndex::FindPlain(const char* T, std::size_t N, std::size_t From,
                              std::vector<TKeyStart>& Out) const {
    const std::string_view Text(T, N);
    for (std::size_t P = From; P < N; ++P)
        if (const std::size_t L = ShortestAt(Text, P))
            Out.push_back({P, P + L});
}

void TKeywordIndex::FindStarts(std::string_view Text, std::vector<TKeyStart>& Out, TVectorLevel Level) const {
    if (!mAnyKey)
        return;
    std::size_t I = 0;
#if defined(QX_X86)
    if (Level == TVectorLevel::Avx2 && BestVectorLevel() >= TVectorLevel::Avx2)
        I = FindAvx2(*this, mFilter, Text, Out);
    else if (Level >= TVectorLevel::Ssse3 && BestVectorLevel() >= TVectorLevel::Ssse3)
        I = FindSsse3(*this, mFilter, Text, Out);
#else
    (void)Level;
#endif
    FindPlain(Text.data(), Text.size(), I, Out);
}
