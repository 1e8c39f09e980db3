// The fast paths of the module scan against plain versions of the same rules: where keywords
// start in a whole text (at every vector level this processor runs), line counting without
// splitting, and whole module scans against a line-by-line reference, on random and adversarial
// text.

#include "scanmodel/KeywordIndex.h"
#include "scanmodel/Scan.h"
#include "scanmodel/ScanInfo.h"
#include "scanmodel/SourceFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <tuple>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> DefaultWords = {"Date", "Day",    "Format", "Hour",    "Minute", "Month",
                                               "Now",  "Second", "Time",   "Weekday", "Year",   "yy"};

/// Every start, looked for one position and one keyword after another.
std::vector<std::pair<std::size_t, std::size_t>> PlainStarts(const std::vector<std::string>& Keys,
                                                             std::string_view Text) {
    std::vector<std::pair<std::size_t, std::size_t>> Out;
    for (std::size_t P = 0; P < Text.size(); ++P) {
        std::size_t Shortest = 0;
        for (const std::string& K : Keys)
            if (!K.empty() && Text.substr(P, K.size()) == K && (Shortest == 0 || K.size() < Shortest))
                Shortest = K.size();
        if (Shortest > 0)
            Out.emplace_back(P, P + Shortest);
    }
    return Out;
}

std::vector<std::pair<std::size_t, std::size_t>> FastStarts(const TKeywordIndex& X, std::string_view Text,
                                                            TVectorLevel Level) {
    std::vector<TKeyStart> Starts;
    X.FindStarts(Text, Starts, Level);
    std::vector<std::pair<std::size_t, std::size_t>> Out;
    for (const TKeyStart& S : Starts)
        Out.emplace_back(S.Pos, S.End);
    return Out;
}

/// Text of bytes drawn mostly from the keywords' own letters, with line ends, NUL and bytes
/// above 0x7F among them, and whole keywords dropped in at random places.
std::string RandomText(std::mt19937& Rng, const std::vector<std::string>& Keys, std::size_t Size) {
    static const std::string Alphabet =
        std::string("DaeFomHurMinNSscTWkYyt \r\n\"'(") + '\0' + "\xE9\xFF\x80";
    std::string T;
    while (T.size() < Size) {
        if (Rng() % 6 == 0 && !Keys.empty()) {
            const std::string& K = Keys[Rng() % Keys.size()];
            // Now and then only the keyword's beginning, so that candidates fail to confirm.
            T += Rng() % 3 == 0 ? K.substr(0, K.size() / 2 + 1) : K;
        } else {
            T += Alphabet[Rng() % Alphabet.size()];
        }
    }
    return T;
}

std::vector<std::vector<std::string>> KeyLists() {
    std::vector<std::string> Many;
    std::mt19937 Rng(7);
    // More distinct beginnings than the filter has groups, so that groups are joined.
    for (int I = 0; I < 100; ++I) {
        std::string K;
        for (std::size_t L = 1 + Rng() % 6; K.size() < L;)
            K += static_cast<char>('A' + Rng() % 58);
        Many.push_back(K);
    }
    return {DefaultWords,
            {"DateAdd", "DateDiff", "Date", "Date$", "Y2K", "dd/mm", "Due", "Hour(", "Time$", "Now"},
            {"", "x", "\xE9t\xE9", "Date", "Date", "\r", "a\nb", std::string("N\0w", 3)},
            {"yy"},
            Many,
            {}};
}

} // namespace

TEST(KeywordIndex, FindsEveryStartAtEveryVectorLevel) {
    std::mt19937 Rng(2000);
    for (const auto& Keys : KeyLists()) {
        const TKeywordIndex X(Keys);
        for (int Round = 0; Round < 300; ++Round) {
            const std::string Text = RandomText(Rng, Keys, Rng() % 300);
            const auto Expected = PlainStarts(Keys, Text);
            for (TVectorLevel Level : VectorLevels())
                ASSERT_EQ(FastStarts(X, Text, Level), Expected)
                    << "level " << static_cast<int>(Level) << " keys " << Keys.size() << " text "
                    << Text.size();
        }
    }
}

TEST(KeywordIndex, FindsKeywordsAtEveryOffsetAroundVectorBoundariesAndTheTextsEnd) {
    const TKeywordIndex X(DefaultWords);
    for (const std::string& Key : {std::string("Weekday"), std::string("yy"), std::string("Now")}) {
        for (std::size_t At = 0; At < 70; ++At) {
            std::string Text(At, '.');
            Text += Key;
            Text += std::string(At % 5, '.');
            for (std::size_t Cut = Text.size(); Cut + 3 > Text.size() && Cut > 0; --Cut) {
                const std::string_view Part(Text.data(), Cut);
                const auto Expected = PlainStarts(DefaultWords, Part);
                for (TVectorLevel Level : VectorLevels())
                    ASSERT_EQ(FastStarts(X, Part, Level), Expected) << Key << " at " << At << " cut " << Cut;
            }
        }
    }
}

TEST(KeywordIndex, IsSharedByListsWithTheSameKeywordsOnly) {
    TStringList A, B, C;
    for (const std::string& W : DefaultWords) {
        A.Add(W);
        B.Add(W);
    }
    C.Add("Date");
    const auto IndexA = TKeywordIndex::For(A);
    EXPECT_EQ(TKeywordIndex::For(B), IndexA);
    const auto IndexC = TKeywordIndex::For(C);
    EXPECT_NE(IndexC, IndexA);
    EXPECT_EQ(IndexC->Count(), 1u);
    B.Add("Century");
    EXPECT_EQ(TKeywordIndex::For(B)->Count(), DefaultWords.size() + 1);
    // The index built before stays whole for a scan still holding it.
    EXPECT_EQ(IndexA->Key(11), "yy");
}

namespace {

void SetBack(const fs::path& Folder) {
    fs::last_write_time(Folder, fs::file_time_type::clock::now() - std::chrono::hours(48));
}

struct TTempFolder {
    fs::path Path = fs::temp_directory_path() / ("qx_fastscan_" + std::to_string(::getpid()));
    TTempFolder() { fs::create_directories(Path); }
    ~TTempFolder() { fs::remove_all(Path); }
    std::string Write(const std::string& Name, const std::string& Bytes) const {
        std::ofstream(Path / Name, std::ios::binary) << Bytes;
        return (Path / Name).string();
    }
};

} // namespace

TEST(LineCount, CountsTheLinesTheSourceTextSplits) {
    TTempFolder Folder;
    std::mt19937 Rng(33);
    const std::string Ends[] = {"a", "b", "\r", "\n", "\r\n"};
    for (int Round = 0; Round < 400; ++Round) {
        std::string Text;
        for (std::size_t N = Rng() % 80; Text.size() < N;)
            Text += Ends[Rng() % std::size(Ends)];
        const std::string File = Folder.Write("t.bas", Text);
        TSourceText Source;
        Source.LoadFromFile(File);
        ASSERT_EQ(CountSourceLines(File), Source.Count()) << Round;
    }
    // A text long enough for the counters of the vector lanes to be added up several times.
    std::string Long;
    while (Long.size() < 70000)
        Long += Ends[Rng() % std::size(Ends)];
    const std::string LongFile = Folder.Write("long.bas", Long);
    TSourceText LongSource;
    LongSource.LoadFromFile(LongFile);
    EXPECT_EQ(CountSourceLines(LongFile), LongSource.Count());
    // A CR LF pair split across the sixteen-byte blocks ends one line.
    for (std::size_t At = 10; At < 40; ++At) {
        const std::string Text = std::string(At, 'x') + "\r\n" + "y";
        EXPECT_EQ(CountLineEnds(Text), 1u) << At;
    }
    EXPECT_EQ(CountSourceLines(Folder.Write("empty.bas", "")), 0u);
    EXPECT_THROW(CountSourceLines((Folder.Path / "missing.bas").string()), EFOpenError);
}

namespace {

/// A hit as a test compares it.
using HitRow = std::tuple<Longint, Longint, Longint, std::string, std::string, std::string, std::string>;

HitRow RowOf(const THitInfo& H) {
    return {H.LineInModule, H.LineInSub, H.Position, H.Sub, H.Key, H.Variable, H.Line};
}

/// The rows of Module's hits, in order.
std::vector<HitRow> RowsOf(const TModuleInfo& Module) {
    std::vector<HitRow> Rows;
    for (Longint I = 0; I < Module.HitCount(); ++I)
        Rows.push_back(RowOf(*Module.GetHit(I)));
    return Rows;
}

/// A module of the file Name in Folder that keeps every hit.
std::unique_ptr<TModuleInfo> ModuleOf(const TTempFolder& Folder, const std::string& Name) {
    auto Module = std::make_unique<TModuleInfo>();
    Module->Path = Folder.Path.string() + "/";
    Module->Name = Name;
    Module->OnHit = [](TObject*, THitInfo*&, const std::string&, TModalResult&) {};
    return Module;
}

/// The module scan written plainly: every line split, the layout block skipped, every other line
/// stripped, its routine followed and matched.
std::vector<HitRow> ReferenceScan(const std::string& File, bool IsForm, const TStringList& Keys,
                                  const TStringList& Excludes) {
    std::vector<HitRow> Out;
    TKeywordMatcher Matcher(std::make_shared<const TKeywordIndex>([&] {
        std::vector<std::string> K;
        for (Longint I = 0; I < Keys.Count(); ++I)
            K.push_back(Keys[I]);
        return K;
    }()));
    std::string Sub = "Declarations";
    Longint InSub = 0;
    int Nesting = 0;
    const auto Lines = LoadSourceLines(File);
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        const std::string& Raw = Lines[I];
        if (IsForm && (Raw.starts_with("Begin") || Nesting > 0)) {
            if (Raw.starts_with("Begin"))
                ++Nesting;
            else if (Raw.starts_with("End"))
                --Nesting;
            continue;
        }
        const std::string L = TrimLeadingBlanks(StripComment(Raw));
        if (const std::string D = DeclName(L); !D.empty()) {
            Sub = D;
            InSub = 0;
        } else {
            ++InSub;
        }
        Matcher.Match(L, Excludes, [&](Longint K, Longint P, const std::string& W) {
            Out.emplace_back(static_cast<Longint>(I), InSub, P, Sub, Matcher.Key(K), W, L);
        });
    }
    return Out;
}

/// Visual Basic lines with keywords in code, comments and strings, declarations of every kind,
/// layout blocks, a line longer than the 999 bytes a hit keeps, NUL and high bytes.
std::string RandomModule(std::mt19937& Rng, bool IsForm) {
    static const char* const Lines[] = {
        "    d = DateAdd(\"d\", 1, Date)",
        "    txtDate.Text = Format(Now, \"dd/mm/yy\") ' Year 2000",
        "Private Sub cmdOK_Click()",
        "Public Function DueDate(ByVal d As Date) As Date",
        "  Property Get Today() As Date",
        "Friend Static Sub Tick()",
        "End Sub",
        "    For i = 1 To nDays",
        "    Set rs = Nothing",
        "    Rem the Time of Day",
        "    s = \"Now 'or' never\" & sTime",
        "    Select Case Weekday(dt)",
        "Pub' Sub NotADeclaration()",
        "\tSub Tabbed() ' Hour",
        "    x = \"\xE9t\xE9\" & Month(d)",
        "    y = Chr$(0) & \"\0Now\"",
        "",
        "Begin VB.Label lblDate",
        "End",
    };
    std::string Text;
    if (IsForm)
        Text += "VERSION 5.00\r\nBegin VB.Form frmX\r\n   Caption = \"Date\"\r\n   Begin VB.TextBox "
                "txtNow\r\n   End\r\nEnd\r\n";
    const char* const Ends[] = {"\r\n", "\n", "\r"};
    for (int N = 0; N < 120; ++N) {
        if (Rng() % 60 == 0)
            Text += "    s = s & \"" + std::string(995 + Rng() % 10, 'x') + "Date Now\"";
        else
            Text += Lines[Rng() % std::size(Lines)];
        Text += Ends[Rng() % 10 == 0 ? 1 + Rng() % 2 : 0];
    }
    if (Rng() % 2)
        Text += "    Last = Now"; // no line end at the end of the file
    return Text;
}

} // namespace

TEST(ModuleScan, GivesTheHitsOfThePlainLineByLineScan) {
    TTempFolder Folder;
    std::mt19937 Rng(1999);
    TStringList Keys;
    for (const std::string& W : DefaultWords)
        Keys.Add(W);
    Keys.Add("Due");
    TStringList Excludes;
    Excludes.Add("txtDate");
    Excludes.Add("sTime");
    Excludes.SetSorted(true);
    std::size_t Total = 0;
    for (int Round = 0; Round < 60; ++Round) {
        const bool IsForm = Round % 3 == 0;
        const std::string Name = IsForm ? "F.FRM" : "M.BAS";
        const std::string File = Folder.Write(Name, RandomModule(Rng, IsForm));
        const auto Module = ModuleOf(Folder, Name);
        Longint Steps = 0;
        Module->OnBeforeScan = [&](TObject*) { ++Steps; };
        Module->Scan(Keys, Excludes);
        const std::vector<HitRow> Seen = RowsOf(*Module);
        ASSERT_EQ(Seen, ReferenceScan(File, IsForm, Keys, Excludes)) << "round " << Round;
        ASSERT_EQ(Steps, static_cast<Longint>(LoadSourceLines(File).size()));
        Total += Seen.size();
    }
    EXPECT_GT(Total, 3000u);
}

TEST(ModuleScan, TextsOfManyBlocksAndLinesLongerThanABlockGiveTheHitsOfThePlainScan) {
    TTempFolder Folder;
    TStringList Keys;
    for (const std::string& W : DefaultWords)
        Keys.Add(W);
    Keys.Add("DateSerial");
    TStringList Excludes;
    std::mt19937 Rng(64);
    // Keywords placed on every byte around the ends of the 64 KB blocks the scan works in (a
    // keyword cut by a block's end, a long keyword whose shorter prefix is a keyword too), lines
    // far longer than a block with keywords at their start, past their 999th byte and after a
    // block of leading blanks, and the ordinary random lines between them.
    for (std::size_t Shift = 0; Shift < 12; ++Shift) {
        std::string Text;
        const std::size_t Block = 65536;
        while (Text.size() < 3 * Block) {
            const std::size_t Next = (Text.size() / Block + 1) * Block;
            if (Next - Text.size() < 40 && Next > Text.size() + Shift + 2) {
                Text += std::string(Next - Text.size() - Shift, 'x');
                Text += Rng() % 2 ? "DateSerial(y)\r\n" : "Weekday + yy\n";
            }
            Text += RandomModule(Rng, false).substr(0, 500 + Rng() % 2000);
            Text += "\r\n";
        }
        Text += "s = \"Now" + std::string(Block + 5000, '.') + "Date\" ' Year\r\n";
        Text += std::string(Block + 10, ' ') + "t = Month(Now) + Hour\r\n";
        Text += "u = 1" + std::string(2 * Block, ' ') + "Now";
        const std::string File = Folder.Write("LONG.BAS", Text);
        const auto Module = ModuleOf(Folder, "LONG.BAS");
        Module->Scan(Keys, Excludes);
        ASSERT_EQ(RowsOf(*Module), ReferenceScan(File, false, Keys, Excludes)) << "shift " << Shift;
    }
}

TEST(ModuleFiles, AModuleIsFoundInItsFolderAsTheWholePathWouldBeFound) {
    TTempFolder Folder;
    const std::string Dir = Folder.Path.string() + "/";
    fs::create_directories(Folder.Path / "Sub");
    for (const char* Name :
         {"frmMain.frm", "Caf\xC3\xA9.bas", "MOD.bas", "mod.BAS", "Sub/Util.bas", "exact.BAS"})
        Folder.Write(Name, "x = Now\r\n");
    fs::create_symlink(Folder.Path / "gone.bas", Folder.Path / "dangling.bas");
    SetBack(Folder.Path);
    // Names in another case, Windows-1252 names of UTF-8 files, two files that differ in case
    // only, entries with a folder of their own, a missing file and a link to one: the name found
    // in the folder is the one the look-up from the root finds, for every kind of entry.
    for (const std::string Entry :
         {"FRMMAIN.FRM", "frmMain.frm", "CAF\xC9.BAS", "MOD.BAS", "mod.bas", "SUB\\UTIL.BAS", "..\\NONE.BAS",
          "NONE.BAS", "EXACT~1.BAS", "DANGLING.BAS", "exact.BAS"})
        EXPECT_EQ(ResolveInFolder(Dir, Entry), ResolveWindowsPath({}, Dir + Entry)) << Entry;
    EXPECT_EQ(ResolveInFolder("C:\\" + Dir.substr(1), "FRMMAIN.FRM"), Dir + "frmMain.frm");
    // The module counts and scans the file its entry names.
    const auto Module = ModuleOf(Folder, "FRMMAIN.FRM");
    Module->CountLines();
    EXPECT_EQ(Module->LinesOfCode, 1);
    // Renamed between the count and the scan: looked up again.
    fs::rename(Folder.Path / "frmMain.frm", Folder.Path / "FrmMain.FRM");
    TStringList Keys;
    Keys.Add("Now");
    Module->Scan(Keys, TStringList());
    EXPECT_EQ(Module->HitCount(), 1);
}

TEST(ModuleFiles, LinesReadByTheCountServeTheScanOnlyWhileTheFileStaysAsItWas) {
    TTempFolder Folder;
    TStringList Keys;
    Keys.Add("Now");
    Keys.Add("Day");
    auto Counted = [&](const char* Name, const std::string& Text, std::size_t KeepUpTo, std::size_t Kept) {
        Folder.Write(Name, Text);
        auto Module = ModuleOf(Folder, Name);
        EXPECT_EQ(Module->CountLines(KeepUpTo), Kept) << Name;
        EXPECT_EQ(Module->LinesOfCode, 2) << Name;
        return Module;
    };
    // Kept when the file fits what may be kept; a larger one is counted only.
    auto Same = Counted("SAME.BAS", "x = Now\r\ny = 1\r\n", 100, 16);
    auto Large = Counted("LARGE.BAS", "x = Now\r\ny = 1\r\n", 15, 0);
    // Rewritten after the count with text of the same size, or gone: the scan reads the file as
    // it is then, and names it when it is gone.
    auto Rewritten = Counted("REWRITE.BAS", "x = Now\r\ny = 1\r\n", 100, 16);
    Folder.Write("REWRITE.BAS", "x = Day\r\ny = 1\r\n");
    fs::last_write_time(Folder.Path / "REWRITE.BAS", fs::last_write_time(Folder.Path / "REWRITE.BAS") + 2s);
    auto Gone = Counted("GONE.BAS", "x = Now\r\n\r\n", 100, 11);
    fs::remove(Folder.Path / "GONE.BAS");
    for (TModuleInfo* Module : {Same.get(), Large.get(), Rewritten.get()}) {
        Module->Scan(Keys, TStringList());
        ASSERT_EQ(Module->HitCount(), 1) << Module->Name;
        EXPECT_EQ(Module->CurrentSub(), "Declarations");
    }
    EXPECT_EQ(Rewritten->GetHit(0)->Key, "Day");
    EXPECT_THROW(Gone->Scan(Keys, TStringList()), EFOpenError);
}

TEST(ModuleScan, AHandlerBoundDuringTheScanSeesTheLinesAfterIt) {
    TTempFolder Folder;
    Folder.Write("M.BAS", "x = Now\r\ny = Now\r\nz = Now\r\n");
    TModuleInfo Module;
    Module.Path = Folder.Path.string() + "/";
    Module.Name = "M.BAS";
    TStringList Keys;
    Keys.Add("Now");
    // The progress handler binds the hit handler on the second line, and unbinds it again on
    // the third, from inside its first hit.
    Module.OnBeforeScan = [&](TObject*) {
        if (Module.ScanIndex == 1)
            Module.OnHit = [&](TObject*, THitInfo*&, const std::string&, TModalResult&) {
                Module.OnHit = nullptr;
            };
    };
    Module.Scan(Keys, TStringList());
    ASSERT_EQ(Module.HitCount(), 1);
    EXPECT_EQ(Module.GetHit(0)->LineInModule, 1);
}

TEST(DatabaseValueScan, AValueMatchedFromInsideAnotherValuesHitHandlerLeavesItsMatcherAlone) {
    TMDBTableInfo Outer, Inner;
    TStringList OuterKeys, InnerKeys;
    for (const char* W : {"Date", "Now", "Year"})
        OuterKeys.Add(W);
    InnerKeys.Add("Time");
    int InnerHits = 0;
    Inner.OnHit = [&](TObject*, TMDBHitInfo*&, const std::string&, TModalResult&) { ++InnerHits; };
    Outer.OnHit = [&](TObject*, TMDBHitInfo*&, const std::string&, TModalResult&) {
        Inner.MatchValue("Sub", "Time and Time again", "F", "db", 0, InnerKeys, TStringList());
    };
    Outer.MatchValue("Sub", "Date = Now + Year", "F", "db", 0, OuterKeys, TStringList());
    ASSERT_EQ(Outer.HitCount(), 3);
    EXPECT_EQ(Outer.GetHit(1)->Key, "Now");
    EXPECT_EQ(Outer.GetHit(2)->Key, "Year");
    EXPECT_EQ(InnerHits, 3);
}

TEST(ModuleFiles, ListingsKeptForAFolderFollowEveryChangeToIt) {
    TTempFolder Folder;
    const std::string Dir = Folder.Path.string() + "/";
    Folder.Write("mod.bas", "x");
    SetBack(Folder.Path);
    EXPECT_EQ(ResolveWindowsPath(Dir, "MOD.BAS"), Dir + "mod.bas");
    // A renamed file, a new file and a removed one are seen at the next look-up, though the
    // folder's listing was kept.
    fs::rename(Folder.Path / "mod.bas", Folder.Path / "Mod.bas");
    EXPECT_EQ(ResolveWindowsPath(Dir, "MOD.BAS"), Dir + "Mod.bas");
    SetBack(Folder.Path);
    EXPECT_EQ(ResolveWindowsPath(Dir, "MOD.BAS"), Dir + "Mod.bas");
    Folder.Write("MOD.bas", "y");
    EXPECT_EQ(ResolveWindowsPath(Dir, "MOD.BAS"), Dir + "MOD.bas"); // the first in sorted order
    SetBack(Folder.Path);
    fs::remove(Folder.Path / "MOD.bas");
    fs::remove(Folder.Path / "Mod.bas");
    EXPECT_EQ(ResolveWindowsPath(Dir, "MOD.BAS"), Dir + "MOD.BAS");
}

TEST(ModuleFiles, AFolderChangedMomentsAgoIsListedAgainAtEveryLookUp) {
    TTempFolder Folder;
    const std::string Dir = Folder.Path.string() + "/";
    EXPECT_EQ(ResolveWindowsPath(Dir, "NEW.BAS"), Dir + "NEW.BAS");
    // Created within the same tick of the file system's clock, the file may leave the folder's
    // time as it was: the folder had changed too recently for its listing to be kept.
    Folder.Write("new.bas", "x");
    EXPECT_EQ(ResolveWindowsPath(Dir, "NEW.BAS"), Dir + "new.bas");
    // A folder replaced by another of the same name is listed anew.
    Folder.Write("other.bas", "x");
    SetBack(Folder.Path);
    EXPECT_EQ(ResolveWindowsPath(Dir, "OTHER.BAS"), Dir + "other.bas");
    fs::remove_all(Folder.Path);
    fs::create_directories(Folder.Path);
    Folder.Write("Other.bas", "x");
    SetBack(Folder.Path);
    EXPECT_EQ(ResolveWindowsPath(Dir, "OTHER.BAS"), Dir + "Other.bas");
}

namespace {

/// A list whose compare, like a locale's, takes é for e; the matcher must keep using it.
class TAccentBlindList final : public TStringList {
public:
    int CompareStrings(const std::string& S1, const std::string& S2) const override {
        auto Plain = [](std::string S) {
            for (char& C : S)
                if (C == '\xE9')
                    C = 'e';
            return S;
        };
        return CompareText(Plain(S1), Plain(S2));
    }
};

std::vector<std::tuple<Longint, Longint, std::string>> MatchWith(TKeywordMatcher& M,
                                                                 const TStringList& Excludes) {
    std::vector<std::tuple<Longint, Longint, std::string>> Out;
    M.Match("d\xE9lai = xDate + Date + Datum", Excludes,
            [&](Longint K, Longint P, const std::string& W) { Out.emplace_back(K, P, W); });
    return Out;
}

} // namespace

TEST(KeywordMatcher, KeptExclusionAnswersFollowEveryChangeOfTheList) {
    TStringList Keys;
    for (const char* W : {"Date", "lai", "Dat"})
        Keys.Add(W);
    TKeywordMatcher Kept(Keys);
    std::optional<TAccentBlindList> List;
    List.emplace();
    // After each change, the matcher that kept its answers says what a new one says.
    auto Check = [&](const char* Step) {
        TKeywordMatcher Fresh(Keys);
        ASSERT_EQ(MatchWith(Kept, *List), MatchWith(Fresh, *List)) << Step;
    };
    Check("empty");
    List->Add("xDate");
    Check("add");
    List->Add("delai"); // equal to "délai" by the list's own compare
    Check("add by the list's compare");
    List->SetSorted(true);
    Check("sorted");
    List->Add("DATE");
    Check("add to a sorted list");
    List->Delete(0);
    Check("delete");
    List->SetSorted(false);
    Check("unsorted");
    List->Put(0, "Datum");
    Check("put");
    List->Exchange(0, 1);
    Check("exchange");
    List->Insert(0, "xdate");
    Check("insert");
    List->SetText("date\r\nxdate\r\n");
    Check("set text");
    TStringList Other;
    Other.Add("Datum");
    List->Assign(Other);
    Check("assign");
    List->Clear();
    Check("clear");
    // A new list in the same place, and a copy changed afterwards.
    List.emplace();
    List->Add("DATE");
    Check("a new list at the same address");
    TAccentBlindList Copy = *List;
    Copy.Delete(0);
    TKeywordMatcher Fresh(Keys);
    EXPECT_EQ(MatchWith(Kept, Copy), MatchWith(Fresh, Copy));
    EXPECT_EQ(MatchWith(Kept, *List), MatchWith(Fresh, *List));
}
