// The Visual Basic line helpers and the keyword matcher.

#include "scanmodel/Scan.h"

#include <gtest/gtest.h>

#include <cctype>
#include <utility>
#include <vector>

TEST(WordAt, FindsTheWordAroundAPosition) {
    EXPECT_EQ(WordAt("x = Date + 1", 5), "Date");
    EXPECT_EQ(WordAt("dtNow=Now()", 7), "Now");
    EXPECT_EQ(WordAt("UpdateRec", 3), "UpdateRec");
    EXPECT_EQ(WordAt(" abc", 3), "abc");
    // Apostrophe, underscore and operators belong to words.
    EXPECT_EQ(WordAt("a = b_c+d'e", 6), "b_c+d'e");
}

TEST(WordAt, IsEmptyOnADelimiterOrOutsideTheText) {
    EXPECT_EQ(WordAt("a.b", 2), "");
    EXPECT_EQ(WordAt("abc", 4), "");
    EXPECT_EQ(WordAt("abc", 0), "");
    EXPECT_EQ(WordAt("", 1), "");
    EXPECT_EQ(WordAt("x[Date]", 3), "Date");
}

TEST(DeclName, NamesTheDeclaredRoutine) {
    EXPECT_EQ(DeclName("Sub X()"), "X");
    EXPECT_EQ(DeclName("Private Function GetDate(x As Date) As Date"), "GetDate");
    EXPECT_EQ(DeclName("Sub Form_Load()"), "Form_Load");
    EXPECT_EQ(DeclName("public property get Total"), "Property get Total");
    EXPECT_EQ(DeclName("Property Get"), "Property Get ");
    EXPECT_EQ(DeclName("Function Name$(x)"), "Name");
}

TEST(DeclName, AcceptsRunsOfBlanksAndEveryModifier) {
    EXPECT_EQ(DeclName("Public  Sub Foo()"), "Foo");
    EXPECT_EQ(DeclName("Public\tSub\t\tFoo()"), "Foo");
    EXPECT_EQ(DeclName("Public Static Function F"), "F");
    EXPECT_EQ(DeclName("Friend Sub SetToday(d)"), "SetToday");
    EXPECT_EQ(DeclName("Static Sub S"), "S");
    EXPECT_EQ(DeclName("Friend  Property  Let  Value(v)"), "Property Let Value");
    // Indents of every length up to and past sixteen characters, blanks and TABs, and lines that
    // hold nothing else.
    for (std::size_t Indent = 0; Indent < 40; ++Indent) {
        std::string Lead;
        for (std::size_t I = 0; I < Indent; ++I)
            Lead += I % 5 == 3 ? '\t' : ' ';
        EXPECT_EQ(DeclName(Lead + "Private Sub Deep()"), "Deep") << Indent;
        EXPECT_EQ(DeclName(Lead + "Sub"), "") << Indent;
        EXPECT_EQ(DeclName(Lead), "") << Indent;
        EXPECT_FALSE(MayDeclare(Lead + "Su")) << Indent;
    }
}

TEST(DeclName, IgnoresLinesThatDeclareNoRoutine) {
    EXPECT_EQ(DeclName("Dim d As Date"), "");
    EXPECT_EQ(DeclName("End Sub"), "");
    EXPECT_EQ(DeclName("Exit Function"), "");
    EXPECT_EQ(DeclName("Public Declare Function GetTickCount Lib x"), "");
    EXPECT_EQ(DeclName("Static Counter As Long"), "");
    EXPECT_EQ(DeclName("Private Type TDay"), "");
    EXPECT_EQ(DeclName(""), "");
    EXPECT_EQ(DeclName("Subtotal = 1"), "");
}

TEST(TrimLeadingBlanks, DropsBlanksButNotTabsAndCutsAt999) {
    EXPECT_EQ(TrimLeadingBlanks("   x = 1"), "x = 1");
    EXPECT_EQ(TrimLeadingBlanks("\tx"), "\tx");
    EXPECT_EQ(TrimLeadingBlanks(""), "");
    EXPECT_EQ(TrimLeadingBlanks("    "), "");
    const std::string Long = "  " + std::string(1200, 'a');
    EXPECT_EQ(TrimLeadingBlanks(Long), std::string(999, 'a'));
}

TEST(StripComment, CutsAtTheCommentMarker) {
    EXPECT_EQ(StripComment("x = 1 ' set x"), "x = 1 ");
    EXPECT_EQ(StripComment("REM all of it"), "");
    EXPECT_EQ(StripComment("Rem"), "");
    EXPECT_EQ(StripComment("x = 1: Rem note"), "x = 1: ");
    EXPECT_EQ(StripComment("x = 1 REM it's"), "x = 1 ");
    EXPECT_EQ(StripComment("no comment here"), "no comment here");
}

TEST(StripComment, RemCountsOnlyAsAWholeWord) {
    EXPECT_EQ(StripComment("Call Remove(x)"), "Call Remove(x)");
    EXPECT_EQ(StripComment("Premium = REMAINDER"), "Premium = REMAINDER");
    EXPECT_EQ(StripComment("x = y_Rem"), "x = y_Rem");
}

TEST(StripComment, MarkersInsideStringLiteralsStartNoComment) {
    EXPECT_EQ(StripComment("MsgBox \"Don't\""), "MsgBox \"Don't\"");
    EXPECT_EQ(StripComment("x = \"a\" ' note"), "x = \"a\" ");
    EXPECT_EQ(StripComment("x = 1 ' say \"hi\""), "x = 1 ");
    EXPECT_EQ(StripComment("s = \"Rem is here\" & t"), "s = \"Rem is here\" & t");
    // A doubled quote stays inside the literal.
    EXPECT_EQ(StripComment("s = \"He said \"\"it's\"\" ok\" ' quoted"), "s = \"He said \"\"it's\"\" ok\" ");
    // An unterminated literal runs to the end of the line.
    EXPECT_EQ(StripComment("s = \"open ' still text"), "s = \"open ' still text");
}

namespace {

TStringList MakeList(std::initializer_list<const char*> Words, bool Sorted = false) {
    TStringList L;
    for (const char* W : Words)
        L.Add(W);
    L.SetSorted(Sorted);
    return L;
}

/// (keyword, position, variable) of every hit in Line.
std::vector<std::tuple<std::string, Longint, std::string>>
Hits(const TStringList& Keys, const TStringList& Excl, std::string_view Line) {
    std::vector<std::tuple<std::string, Longint, std::string>> Out;
    TKeywordMatcher M(Keys);
    M.Match(Line, Excl,
            [&](Longint K, Longint P, const std::string& W) { Out.emplace_back(M.Key(K), P, W); });
    return Out;
}

using H = std::tuple<std::string, Longint, std::string>;

} // namespace

TEST(KeywordMatcher, ReportsEachKeywordOnceInListOrder) {
    const auto Keys = MakeList({"DateAdd", "Date", "Now", "N"});
    const auto None = MakeList({}, true);
    EXPECT_EQ(Hits(Keys, None, "x = DateAdd(\"d\", 1, Now) + Date"),
              (std::vector<H>{
                  {"DateAdd", 5, "DateAdd"}, {"Date", 5, "DateAdd"}, {"Now", 21, "Now"}, {"N", 21, "Now"}}));
    EXPECT_TRUE(Hits(Keys, None, "nothing to see").empty());
    // Case-sensitive keywords.
    EXPECT_TRUE(Hits(MakeList({"Date"}), None, "DATE").empty());
}

TEST(KeywordMatcher, ExcludedWordsPassToTheNextOccurrence) {
    const auto Keys = MakeList({"Date", "DateAdd"});
    const auto Excl = MakeList({"dateadd"}, true);
    EXPECT_TRUE(Hits(Keys, Excl, "y = DateAdd(\"m\", 1, d)").empty());
    EXPECT_EQ(Hits(Keys, Excl, "x = DateAdd(\"d\", 1, Date)"), (std::vector<H>{{"Date", 21, "Date"}}));
    // Occurrences inside the same excluded word are passed over as a whole.
    EXPECT_EQ(Hits(MakeList({"Da"}), MakeList({"dada"}, true), "DaDa Da"), (std::vector<H>{{"Da", 6, "Da"}}));
    // An unsorted exclusion list is looked up as well.
    EXPECT_TRUE(Hits(Keys, MakeList({"DATEADD", "x"}), "DateAdd").empty());
}

TEST(KeywordMatcher, SeesWordsAddedToTheExclusionListAtOnce) {
    const auto Keys = MakeList({"Date"});
    TStringList Excl = MakeList({}, true);
    TKeywordMatcher M(Keys);
    int Count = 0;
    M.Match("Date", Excl, [&](Longint, Longint, const std::string&) { ++Count; });
    Excl.Add("DATE");
    M.Match("Date", Excl, [&](Longint, Longint, const std::string&) { ++Count; });
    EXPECT_EQ(Count, 1);
}

TEST(KeywordMatcher, HandlesEmptyAndHighByteKeywords) {
    const auto Keys = MakeList({"", "\xE9t\xE9", "x"});
    EXPECT_EQ(Hits(Keys, MakeList({}, true), "l'\xE9t\xE9 x"),
              (std::vector<H>{{"\xE9t\xE9", 3, "l'\xE9t\xE9"}, {"x", 7, "x"}}));
}

namespace {

/// The comment rule written plainly, one byte after another.
std::string PlainStripComment(const std::string& L) {
    auto Ident = [](char C) { return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || (C & 0x80); };
    bool InString = false;
    for (std::size_t I = 0; I < L.size(); ++I) {
        if (L[I] == '"')
            InString = !InString;
        else if (!InString && L[I] == '\'')
            return L.substr(0, I);
        else if (!InString && I + 3 <= L.size() && SameText(L.substr(I, 3), "rem") &&
                 (I == 0 || !Ident(L[I - 1])) && (I + 3 == L.size() || !Ident(L[I + 3])))
            return L.substr(0, I);
    }
    return L;
}

} // namespace

TEST(StripComment, AgreesWithThePlainRuleOnRandomLines) {
    // The stripper passes over eight bytes at a time; lines of every length and every place of
    // the markers relative to those blocks must give what the plain rule gives.
    const std::string Alphabet = "\"'RrEeMm x_.(\xE9";
    std::uint32_t Seed = 7;
    auto Next = [&]() { return Seed = Seed * 1664525u + 1013904223u; };
    for (int I = 0; I < 20000; ++I) {
        std::string L(Next() % 40, ' ');
        for (char& C : L)
            C = Alphabet[(Next() >> 16) % Alphabet.size()];
        ASSERT_EQ(StripComment(L), PlainStripComment(L)) << L;
    }
}

TEST(KeywordMatcher, AgreesWithPlainSearchesOnRandomLines) {
    const auto Keys = MakeList({"ab", "b", "abc", "ca", "aa", "c"});
    const auto None = MakeList({}, true);
    std::uint32_t Seed = 11;
    auto Next = [&]() { return Seed = Seed * 1664525u + 1013904223u; };
    for (int I = 0; I < 5000; ++I) {
        std::string L(Next() % 30, ' ');
        for (char& C : L)
            C = "abc ."[(Next() >> 16) % 5];
        std::vector<H> Expected;
        for (Longint K = 0; K < Keys.Count(); ++K)
            if (const auto P = L.find(Keys[K]); P != std::string::npos)
                Expected.emplace_back(Keys[K], static_cast<Longint>(P + 1),
                                      WordAt(L, static_cast<Longint>(P + 1)));
        ASSERT_EQ(Hits(Keys, None, L), Expected) << L;
    }
}
