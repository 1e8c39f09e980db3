#include "scanmodel/Scan.h"

#include <algorithm>

namespace {

/// The 16 characters that end a word.
constexpr std::array<bool, 256> MakeDelimiters() {
    std::array<bool, 256> D{};
    for (unsigned char C : std::string_view("\t !\"#$%&(),.:=[]"))
        D[C] = true;
    return D;
}
constexpr std::array<bool, 256> Delimiters = MakeDelimiters();

bool IsDelimiter(char C) {
    return Delimiters[static_cast<unsigned char>(C)];
}

/// Characters of a Visual Basic identifier (letters of the code page included).
bool IsIdentChar(char C) {
    const auto U = static_cast<unsigned char>(C);
    return (U >= 'A' && U <= 'Z') || (U >= 'a' && U <= 'z') || (U >= '0' && U <= '9') || U == '_' || U >= 128;
}

bool IsBlankOrTab(char C) {
    return C == ' ' || C == '\t';
}

/// 0-based bounds [Start, End) of the word covering the 0-based index I (empty when I holds a
/// delimiter).
void WordBounds(std::string_view Text, std::size_t I, std::size_t& Start, std::size_t& End) {
    Start = I;
    while (Start > 0 && !IsDelimiter(Text[Start - 1]))
        --Start;
    End = I;
    while (End < Text.size() && !IsDelimiter(Text[End]))
        ++End;
    if (IsDelimiter(Text[I]))
        Start = End = I;
}

/// Reads declaration lines word by word, words separated by runs of blanks and TABs.
class TWordReader {
public:
    explicit TWordReader(std::string_view Line) : mLine(Line) { Next(); }

    /// The current word as written.
    std::string_view Word() const { return mWord; }
    bool Is(std::string_view Upper) const { return UpperCase(mWord) == Upper; }
    /// Steps to the next word.
    void Next() {
        while (mPos < mLine.size() && IsBlankOrTab(mLine[mPos]))
            ++mPos;
        if (mPos >= mLine.size()) {
            mWord = {};
            return;
        }
        std::size_t Start = 0, End = 0;
        WordBounds(mLine, mPos, Start, End);
        mWord = mLine.substr(Start, End - Start);
        // A word that stands on a delimiter is empty and ends the reading.
        mPos = End == Start ? mLine.size() : End;
    }

private:
    std::string_view mLine;
    std::size_t mPos = 0;
    std::string_view mWord;
};

} // namespace

std::string WordAt(std::string_view Text, Longint Position) {
    if (Text.empty() || Position < 1 || static_cast<std::size_t>(Position) > Text.size())
        return {};
    std::size_t Start = 0, End = 0;
    WordBounds(Text, static_cast<std::size_t>(Position - 1), Start, End);
    return std::string(Text.substr(Start, End - Start));
}

std::string DeclName(std::string_view Line) {
    TWordReader R(Line);
    // Modifiers in front of the routine kind: [Public | Private | Friend] [Static].
    while (R.Is("PUBLIC") || R.Is("PRIVATE") || R.Is("FRIEND") || R.Is("STATIC"))
        R.Next();
    if (R.Is("PROPERTY")) {
        R.Next();
        if (R.Is("LET") || R.Is("GET") || R.Is("SET")) {
            const std::string Kind(R.Word());
            R.Next();
            return "Property " + Kind + " " + std::string(R.Word());
        }
    }
    if (R.Is("SUB") || R.Is("FUNCTION")) {
        R.Next();
        return std::string(R.Word());
    }
    return {};
}

std::string_view TrimLeadingBlanksView(std::string_view Line) {
    std::size_t I = 0;
    while (I < Line.size() && Line[I] == ' ')
        ++I;
    return Line.substr(I, 999);
}

std::string TrimLeadingBlanks(std::string_view Line) {
    return std::string(TrimLeadingBlanksView(Line));
}

std::string_view StripCommentView(std::string_view Line) {
    bool InString = false;
    const std::size_t N = Line.size();
    for (std::size_t I = 0; I < N; ++I) {
        const char C = Line[I];
        // A doubled quote inside a literal toggles twice and so stays inside it.
        if (C == '"') {
            InString = !InString;
        } else if (InString) {
            continue;
        } else if (C == '\'') {
            return Line.substr(0, I);
        } else if ((C == 'R' || C == 'r') && I + 3 <= N && SameText(Line.substr(I, 3), "REM") &&
                   (I == 0 || !IsIdentChar(Line[I - 1])) && (I + 3 == N || !IsIdentChar(Line[I + 3]))) {
            return Line.substr(0, I);
        }
    }
    return Line;
}

std::string StripComment(std::string_view Line) {
    return std::string(StripCommentView(Line));
}

bool IsExcluded(const TStringList& Excludes, const std::string& Word) {
    if (Excludes.Sorted()) {
        Longint Index = 0;
        return Excludes.Find(Word, Index);
    }
    return Excludes.IndexOf(Word) >= 0;
}

// --- TKeywordMatcher ---

TKeywordMatcher::TKeywordMatcher(const TStringList& KeyWords) {
    mKeys.reserve(static_cast<std::size_t>(KeyWords.Count()));
    for (Longint I = 0; I < KeyWords.Count(); ++I)
        mKeys.push_back(KeyWords[I]);
    mFirst.resize(mKeys.size());
    for (std::size_t K = 0; K < mKeys.size(); ++K) {
        const std::string& Key = mKeys[K];
        if (Key.size() == 1) {
            mSingles.push_back(static_cast<std::uint32_t>(K));
        } else if (Key.size() > 1) {
            const std::uint16_t Pair = PairOf(Key[0], Key[1]);
            mPairBits[Pair >> 6] |= std::uint64_t(1) << (Pair & 63);
            mPairs.push_back({Pair, static_cast<std::uint32_t>(K)});
        }
    }
    std::sort(mPairs.begin(), mPairs.end());
}

bool TKeywordMatcher::FindFirst(std::string_view Line) {
    std::fill(mFirst.begin(), mFirst.end(), std::string_view::npos);
    bool Any = false;
    for (std::uint32_t K : mSingles) {
        mFirst[K] = Line.find(mKeys[K][0]);
        Any = Any || mFirst[K] != std::string_view::npos;
    }
    if (mPairs.empty() || Line.size() < 2)
        return Any;
    const auto* B = reinterpret_cast<const unsigned char*>(Line.data());
    const std::size_t Last = Line.size() - 1;
    for (std::size_t I = 0; I < Last; ++I) {
        const std::uint16_t Pair = static_cast<std::uint16_t>(B[I] | B[I + 1] << 8);
        if ((mPairBits[Pair >> 6] >> (Pair & 63) & 1) == 0)
            continue;
        auto It =
            std::lower_bound(mPairs.begin(), mPairs.end(), std::pair<std::uint16_t, std::uint32_t>{Pair, 0});
        for (; It != mPairs.end() && It->first == Pair; ++It) {
            const std::uint32_t K = It->second;
            if (mFirst[K] == std::string_view::npos && Line.substr(I, mKeys[K].size()) == mKeys[K]) {
                mFirst[K] = I;
                Any = true;
            }
        }
    }
    return Any;
}

std::size_t TKeywordMatcher::FirstAccepted(std::string_view Line, std::size_t K, std::size_t From,
                                           const TStringList& Excludes, std::string& Variable) const {
    const std::string& Key = mKeys[K];
    for (std::size_t P = From; P != std::string_view::npos;) {
        std::size_t Start = 0, End = 0;
        WordBounds(Line, P, Start, End);
        Variable.assign(Line.substr(Start, End - Start));
        if (!IsExcluded(Excludes, Variable))
            return P;
        // The next occurrence outside this excluded word.
        P = Line.find(Key, std::max(End, P + 1));
    }
    return std::string_view::npos;
}
