#include "scanmodel/Scan.h"

#include "scanmodel/ByteScan.h"

#include <algorithm>
#include <cstring>

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
    bool Is(std::string_view Upper) const {
        if (mWord.size() != Upper.size())
            return false;
        for (std::size_t I = 0; I < Upper.size(); ++I)
            if ((mWord[I] & ~0x20) != Upper[I])
                return false;
        return true;
    }
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
    if (!MayDeclare(Line))
        return {};
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

std::string TrimLeadingBlanks(std::string_view Line) {
    return std::string(TrimLeadingBlanksView(Line));
}

std::string_view StripCommentView(std::string_view Line) {
    bool InString = false;
    const std::size_t N = Line.size();
    const char* const S = Line.data();
    std::size_t I = 0;
    // Looks at the byte at At: a quote toggles the literal; outside it an apostrophe or a whole
    // word Rem starts the comment. Returns whether the comment starts at At.
    auto CommentAt = [&](std::size_t At) {
        const char C = S[At];
        // A doubled quote inside a literal toggles twice and so stays inside it.
        if (C == '"') {
            InString = !InString;
            return false;
        }
        if (InString)
            return false;
        if (C == '\'')
            return true;
        return (C | 0x20) == 'r' && At + 3 <= N && (S[At + 1] | 0x20) == 'e' && (S[At + 2] | 0x20) == 'm' &&
               (At == 0 || !IsIdentChar(S[At - 1])) && (At + 3 == N || !IsIdentChar(S[At + 3]));
    };
    // Blocks of eight bytes without a quote, an apostrophe or the "em" of a Rem are passed over at
    // once; each marked byte is looked at in order (a mark without a match costs one look).
    for (; I + 10 <= N; I += 8) {
        const std::uint64_t W = qxbytes::Load(S + I);
        const std::uint64_t E = qxbytes::Load(S + I + 1) | qxbytes::Ones * 0x20;
        const std::uint64_t M = qxbytes::Load(S + I + 2) | qxbytes::Ones * 0x20;
        std::uint64_t Mask = qxbytes::Matches(W, '"') | qxbytes::Matches(W, '\'') |
                             (qxbytes::Matches(E, 'e') & qxbytes::Matches(M, 'm'));
        for (; Mask != 0; Mask &= Mask - 1) {
            const std::size_t J = I + qxbytes::FirstByte(Mask);
            if (CommentAt(J))
                return Line.substr(0, J);
        }
    }
    for (; I < N; ++I) {
        const char C = S[I];
        if ((C == '"' || C == '\'' || (C | 0x20) == 'r') && CommentAt(I))
            return Line.substr(0, I);
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

TKeywordMatcher::TKeywordMatcher(std::shared_ptr<const TKeywordIndex> Index)
    : mIndex(std::move(Index)), mFirst(mIndex->Count(), std::string_view::npos) {}

bool TKeywordMatcher::FindFirst(std::string_view Line) {
    for (std::uint32_t K : mFound)
        mFirst[K] = std::string_view::npos;
    mFound.clear();
    const TKeywordIndex& X = *mIndex;
    for (std::uint32_t K : X.Singles()) {
        mFirst[K] = Line.find(X.Key(K)[0]);
        if (mFirst[K] != std::string_view::npos)
            mFound.push_back(K);
    }
    if (X.PairCount() > 0)
        for (std::size_t I = 0; I + 1 < Line.size(); ++I)
            NoteAt(Line, I);
    return !mFound.empty();
}

bool TKeywordMatcher::FindFirst(std::string_view Line, const std::vector<std::size_t>& Starts) {
    for (std::uint32_t K : mFound)
        mFirst[K] = std::string_view::npos;
    mFound.clear();
    const TKeywordIndex& X = *mIndex;
    for (const std::size_t I : Starts) {
        for (std::uint32_t K : X.Singles())
            if (mFirst[K] == std::string_view::npos && Line[I] == X.Key(K)[0]) {
                mFirst[K] = I;
                mFound.push_back(K);
            }
        if (I + 1 < Line.size())
            NoteAt(Line, I);
    }
    return !mFound.empty();
}

void TKeywordMatcher::NoteAt(std::string_view Line, std::size_t I) {
    const TKeywordIndex& X = *mIndex;
    std::uint16_t Pair;
    std::memcpy(&Pair, Line.data() + I, 2);
    const std::size_t First = X.FirstWithPair(Pair);
    if (First == std::string_view::npos)
        return;
    for (std::size_t J = First; J < X.PairCount() && X.PairAt(J) == Pair; ++J) {
        const std::uint32_t K = X.KeyAt(J);
        if (mFirst[K] == std::string_view::npos && Line.substr(I, X.Key(K).size()) == X.Key(K)) {
            mFirst[K] = I;
            mFound.push_back(K);
        }
    }
}

std::size_t TKeywordMatcher::FirstAccepted(std::string_view Line, std::size_t K, std::size_t From,
                                           const TStringList& Excludes, std::string& Variable) const {
    const std::string& Key = mIndex->Key(K);
    for (std::size_t P = From; P != std::string_view::npos;) {
        std::size_t Start = 0, End = 0;
        WordBounds(Line, P, Start, End);
        Variable.assign(Line.substr(Start, End - Start));
        if (!Excluded(Excludes, Variable))
            return P;
        // The next occurrence outside this excluded word.
        P = Line.find(Key, std::max(End, P + 1));
    }
    return std::string_view::npos;
}

bool TKeywordMatcher::Excluded(const TStringList& Excludes, const std::string& Word) const {
    if (Excludes.Count() == 0)
        return false;
    if (Excludes.ChangeStamp() != mExcludesStamp || mExcluded.size() > 100000) {
        mExcluded.clear();
        mExcludesStamp = Excludes.ChangeStamp();
    }
    if (const auto It = mExcluded.find(Word); It != mExcluded.end())
        return It->second;
    const bool Answer = IsExcluded(Excludes, Word);
    mExcluded.emplace(Word, Answer);
    return Answer;
}
