#pragma once
// Pure text functions on one line of Visual Basic source, and the keyword matcher that the
// module and database scans share. Texts are 8-bit strings; positions are 1-based.

#include "platform/rtl/Classes.h"
#include "scanmodel/KeywordIndex.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

/// The word that covers Position: the characters around it up to the nearest delimiters
/// (TAB, blank and ! " # $ % & ( ) , . : = [ ]). Empty when Position holds a delimiter or lies
/// outside the text.
std::string WordAt(std::string_view Text, Longint Position);

/// The routine a declaration line declares: "Foo" for [Public|Private|Friend] [Static]
/// Sub|Function Foo, "Property Get Foo" (the kind word in the line's own case) for property
/// procedures; empty for any other line. Words may be separated by runs of blanks and TABs.
std::string DeclName(std::string_view Line);
/// False when Line cannot be a declaration line: its first word does not begin with the first
/// three letters of a word that starts a declaration. Then no line made of Line's first part
/// (less leading blanks) declares a routine either.
inline bool MayDeclare(std::string_view Line);

/// Line from its first non-blank character (blanks only, not TABs), at most 999 characters.
std::string TrimLeadingBlanks(std::string_view Line);

/// Line without its comment: the comment starts at the first apostrophe, or the first whole
/// word Rem, that lies outside a string literal. Blanks before the comment stay.
std::string StripComment(std::string_view Line);

/// The views behind StripComment and TrimLeadingBlanks, for the scans' inner loops.
std::string_view StripCommentView(std::string_view Line);
inline std::string_view TrimLeadingBlanksView(std::string_view Line);

/// Whether Word is on the exclusion list (compared without regard to case).
bool IsExcluded(const TStringList& Excludes, const std::string& Word);

/// Finds, for every keyword of a list, where it makes a hit in a line: the first occurrence
/// whose word is not excluded. The exclusion list is consulted afresh on every look-up, so words
/// added during a scan count at once. Each scan has its own matcher (it holds the state of the
/// line being matched); matchers of the same list share its index.
class TKeywordMatcher {
public:
    explicit TKeywordMatcher(const TStringList& KeyWords) : TKeywordMatcher(TKeywordIndex::For(KeyWords)) {}
    explicit TKeywordMatcher(std::shared_ptr<const TKeywordIndex> Index);

    /// Calls OnHit(KeyIndex, Position, Variable) in keyword-list order, at most once per keyword.
    template <class F>
    void Match(std::string_view Line, const TStringList& Excludes, F&& OnHit);
    /// The same, when the places of Line at which keywords start are known: Starts holds them
    /// all (0-based, in order), and other places besides. No other place is looked at.
    template <class F>
    void Match(std::string_view Line, const std::vector<std::size_t>& Starts, const TStringList& Excludes,
               F&& OnHit);

    const std::string& Key(Longint Index) const { return mIndex->Key(static_cast<std::size_t>(Index)); }
    const TKeywordIndex& Index() const { return *mIndex; }

private:
    /// Fills mFirst with the first occurrence of every keyword (npos when absent); returns
    /// whether any keyword occurs.
    bool FindFirst(std::string_view Line);
    bool FindFirst(std::string_view Line, const std::vector<std::size_t>& Starts);
    /// Notes the keywords of two bytes or more that occur at I.
    void NoteAt(std::string_view Line, std::size_t I);
    template <class F>
    void Report(std::string_view Line, const TStringList& Excludes, F&& OnHit);
    /// Position of the first occurrence of key K at or after From whose word is not excluded;
    /// npos when there is none. Fills Variable.
    std::size_t FirstAccepted(std::string_view Line, std::size_t K, std::size_t From,
                              const TStringList& Excludes, std::string& Variable) const;

    /// Whether Word is on Excludes; the answers are kept while the list stays as it is (looking a
    /// word up in a locale-aware list costs far more than in a hash table).
    bool Excluded(const TStringList& Excludes, const std::string& Word) const;

    std::shared_ptr<const TKeywordIndex> mIndex;
    mutable std::uint64_t mExcludesStamp = 0;
    mutable std::unordered_map<std::string, bool> mExcluded;
    std::vector<std::size_t> mFirst;
    std::vector<std::uint32_t> mFound; ///< keywords whose mFirst is set
};

template <class F>
void TKeywordMatcher::Match(std::string_view Line, const TStringList& Excludes, F&& OnHit) {
    if (FindFirst(Line))
        Report(Line, Excludes, OnHit);
}

template <class F>
void TKeywordMatcher::Match(std::string_view Line, const std::vector<std::size_t>& Starts,
                            const TStringList& Excludes, F&& OnHit) {
    if (FindFirst(Line, Starts))
        Report(Line, Excludes, OnHit);
}

template <class F>
void TKeywordMatcher::Report(std::string_view Line, const TStringList& Excludes, F&& OnHit) {
    std::string Variable;
    for (std::size_t K = 0; K < mFirst.size(); ++K) {
        if (mFirst[K] == std::string_view::npos)
            continue;
        const std::size_t P = FirstAccepted(Line, K, mFirst[K], Excludes, Variable);
        if (P != std::string_view::npos)
            OnHit(static_cast<Longint>(K), static_cast<Longint>(P + 1), Variable);
    }
}

// Called for every line a scan reads: defined here, so that the scan loops take them in.

inline bool MayDeclare(std::string_view Line) {
    // Every word that can begin a declaration (Public, Private, Friend, Static, Property, Sub,
    // Function) has three letters at least and begins with one of these three.
    std::size_t First = 0;
    while (First < Line.size() && (Line[First] == ' ' || Line[First] == '\t'))
        ++First;
    if (Line.size() - First < 3)
        return false;
    auto Lower = [&](std::size_t I) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(Line[First + I]) | 0x20);
    };
    switch (Lower(0) << 16 | Lower(1) << 8 | Lower(2)) {
    case 'p' << 16 | 'u' << 8 | 'b':
    case 'p' << 16 | 'r' << 8 | 'i':
    case 'p' << 16 | 'r' << 8 | 'o':
    case 'f' << 16 | 'r' << 8 | 'i':
    case 'f' << 16 | 'u' << 8 | 'n':
    case 's' << 16 | 't' << 8 | 'a':
    case 's' << 16 | 'u' << 8 | 'b':
        return true;
    default:
        return false;
    }
}

inline std::string_view TrimLeadingBlanksView(std::string_view Line) {
    std::size_t I = 0;
    while (I < Line.size() && Line[I] == ' ')
        ++I;
    return Line.substr(I, 999);
}
