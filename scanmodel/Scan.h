#pragma once
// Pure text functions on one line of Visual Basic source, and the keyword matcher that the
// module and database scans share. Texts are 8-bit strings; positions are 1-based.

#include "platform/rtl/Classes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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
/// False when Line cannot be a declaration line: its first word does not start with F, P or S.
/// Cutting text off a line's end never changes the answer.
bool MayDeclare(std::string_view Line);

/// Line from its first non-blank character (blanks only, not TABs), at most 999 characters.
std::string TrimLeadingBlanks(std::string_view Line);

/// Line without its comment: the comment starts at the first apostrophe, or the first whole
/// word Rem, that lies outside a string literal. Blanks before the comment stay.
std::string StripComment(std::string_view Line);

/// The views behind StripComment and TrimLeadingBlanks, for the scans' inner loops.
std::string_view StripCommentView(std::string_view Line);
std::string_view TrimLeadingBlanksView(std::string_view Line);

/// Whether Word is on the exclusion list (compared without regard to case).
bool IsExcluded(const TStringList& Excludes, const std::string& Word);

/// Finds, for every keyword of a list, where it makes a hit in a line: the first occurrence
/// whose word is not excluded. Built once per scan from the keyword list; the exclusion list is
/// consulted afresh on every look-up, so words added during a scan count at once.
class TKeywordMatcher {
public:
    explicit TKeywordMatcher(const TStringList& KeyWords);

    /// Calls OnHit(KeyIndex, Position, Variable) in keyword-list order, at most once per keyword.
    template <class F>
    void Match(std::string_view Line, const TStringList& Excludes, F&& OnHit);

    const std::string& Key(Longint Index) const { return mKeys[static_cast<std::size_t>(Index)]; }
    /// Whether any keyword occurs anywhere in Text (no exclusions looked at).
    bool Occurs(std::string_view Text) { return FindFirst(Text); }

private:
    /// Fills mFirst with the first occurrence of every keyword (npos when absent); returns
    /// whether any keyword occurs.
    bool FindFirst(std::string_view Line);
    /// Position of the first occurrence of key K at or after From whose word is not excluded;
    /// npos when there is none. Fills Variable.
    std::size_t FirstAccepted(std::string_view Line, std::size_t K, std::size_t From,
                              const TStringList& Excludes, std::string& Variable) const;

    std::vector<std::string> mKeys;
    std::vector<std::size_t> mFirst;
    std::vector<std::uint32_t> mFound; ///< keywords whose mFirst is set
    /// Keywords of one character; the longer ones sorted by their first two bytes (read as one
    /// 16-bit number), and by every such number the place + 1 of its first keyword there (0 for
    /// none; 255 for a place beyond 254), so that most positions of a line are passed over with
    /// one look-up.
    std::vector<std::uint32_t> mSingles;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> mPairs;
    std::unique_ptr<std::uint8_t[]> mPairStart;
};

template <class F>
void TKeywordMatcher::Match(std::string_view Line, const TStringList& Excludes, F&& OnHit) {
    if (!FindFirst(Line))
        return;
    std::string Variable;
    for (std::size_t K = 0; K < mKeys.size(); ++K) {
        if (mFirst[K] == std::string_view::npos)
            continue;
        const std::size_t P = FirstAccepted(Line, K, mFirst[K], Excludes, Variable);
        if (P != std::string_view::npos)
            OnHit(static_cast<Longint>(K), static_cast<Longint>(P + 1), Variable);
    }
}
