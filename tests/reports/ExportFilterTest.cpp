// The row rules of the HTML and CSV filters, fed through the filters' own PlaceText with the
// positions the engine would hand them.
#include "reports/qrHtml.h"
#include "tests/reports/ExportFiles.h"
#include "tests/support/ExceptionMessage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace reportstest;

namespace {
// The grid of an 8 pt report font in tenths of a millimetre.
constexpr double Grid = 8 * 254.0 / 72;

struct TText {
    double Col;
    double Row;
    std::string Text;
};
using TPage = std::vector<TText>;

// Exports Pages through a filter of class F and returns the file's lines.
template <class F>
std::vector<std::string> Export(const std::vector<TPage>& Pages) {
    QTemporaryDir Dir;
    const QString Name = Dir.filePath(QStringLiteral("out"));
    F Filter(Name.toStdString());
    Filter.BeginExport(2970, 2100, QFont(QStringLiteral("Tahoma"), 8));
    for (const TPage& Page : Pages) {
        Filter.ClearPage();
        for (const TText& T : Page)
            Filter.PlaceText(T.Col * Grid / 1.5, T.Row * Grid, QFont(), Qt::white, taLeftJustify, T.Text);
        Filter.FlushPage();
    }
    Filter.EndExport();
    return Lines(ReadAll(Name));
}

// The rows of a container as texts joined by '|', in list order.
std::vector<std::string> Rows(const TTextCont& Cont) {
    std::vector<std::string> Result;
    for (const TTextRec* Row = Cont.FirstRow(); Row != nullptr; Row = Row->NextRow) {
        std::string Line;
        for (const TTextRec* Item = Row; Item != nullptr; Item = Item->NextInRow)
            Line += (Item == Row ? "" : "|") + Item->Text;
        Result.push_back(Line);
    }
    return Result;
}

const std::string TableStart = "<TABLE BORDER=1 WIDTH=100%><TD>";
} // namespace

TEST(RowRules, TextsOfOneHeightJoinInColumnOrderWhateverThePlacingOrder) {
    TTextCont Cont;
    Cont.AddText(30, 4, "c");
    Cont.AddText(10, 4, "a");
    Cont.AddText(20, 4, "b");
    // Texts that start at one column stand from top to bottom, whatever the placing order.
    Cont.AddText(20, 5, "b below");
    Cont.AddText(20, 3.5, "b above");
    Cont.AddText(20.2, 4, "b beside");
    Cont.AddText(5, 4.2, "first");
    EXPECT_EQ(Rows(Cont), std::vector<std::string>{"first|a|b above|b|b beside|b below|c"});
    // The new first text took the row's place: its Row value now decides matches.
    Cont.AddText(1, 5.65, "joins");
    Cont.AddText(1, 2.6, "new row");
    EXPECT_EQ(Rows(Cont),
              (std::vector<std::string>{"joins|first|a|b above|b|b beside|b below|c", "new row"}));
    Cont.ClearItems();
    EXPECT_EQ(Cont.FirstRow(), nullptr);
}

TEST(RowRules, RowsStandInTheOrderStartedAndATextJoinsTheEarlierOfTwoRows) {
    TTextCont Cont;
    Cont.AddText(1, 10, "ten");
    Cont.AddText(1, 2, "two");
    Cont.AddText(1, 4.5, "four and a half");
    Cont.AddText(2, 7.5, "beyond reach"); // 2.5 and 3 away from its neighbours
    Cont.AddText(3, 3.25, "near both");   // within reach of two rows: the earlier in the list
    EXPECT_EQ(Rows(Cont),
              (std::vector<std::string>{"ten", "two|near both", "four and a half", "beyond reach"}));
    Cont.ClassifyRows();
    const TTextRec* Two = Cont.FirstRow()->NextRow;
    EXPECT_EQ(Cont.FirstRow()->Kind, TTextRec::tkSingle);
    EXPECT_EQ(Two->Kind, TTextRec::tkTableStart);
    EXPECT_EQ(Two->NextInRow->Kind, TTextRec::tkTableStart);
    EXPECT_EQ(Two->PrevRow, Cont.FirstRow());
}

TEST(RowRules, ExactlyOneAndAHalfLineHeightsJoinsWhereverThePageIsAndMoreDoesNot) {
    // The hit report puts texts of one row 16 design pixels apart: 1.5 lines of 8 pt. The
    // engine's positions come out a hair above or below that depending on the page position.
    const double Apart = 16 * 254.0 / 96;
    for (int Top = 0; Top < 600; ++Top) {
        const double Y = 100 + Top * 254.0 / 96;
        TTextCont Cont;
        Cont.AddText(1, Y / Grid, "upper");
        Cont.AddText(2, (Y + Apart) / Grid, "lower");
        Cont.AddText(3, (Y + Apart + 0.01) / Grid, "beyond");
        ASSERT_EQ(Rows(Cont), (std::vector<std::string>{"upper|lower", "beyond"})) << "at " << Top;
    }
}

TEST(HtmlExport, SingleRowsEndInBreaksAndRunsOfWideRowsFormTables) {
    const TPage Page = {{1, 0, "title"}, {1, 3, "a"},    {9, 3, "b"},  {1, 6, "c"},
                        {9, 6, "d"},     {1, 9, "note"}, {1, 12, "e"}, {9, 12, "f"},
                        {1, 15, "end"},  {1, 18, "g"},   {9, 18, "h"}};
    EXPECT_EQ(Export<TQRHtmlExportFilter>({Page}),
              (std::vector<std::string>{"<html>", "<meta charset=\"windows-1252\">", "title<BR>",
                                        TableStart + "a<TD>b", "<TR><TD>c<TD>d", "</TABLE>note<BR>",
                                        TableStart + "e<TD>f", "</TABLE>end<BR>",
                                        TableStart + "g<TD>h</TABLE>", "</HTML>"}));
    EXPECT_EQ(Export<TQRCSVExportFilter>({Page}),
              (std::vector<std::string>{"title", "a;b", "c;d", "note", "e;f", "end", "g;h", "</CSV>"}));
}

TEST(HtmlExport, EveryRowOfATableHasTheSameCellsEachUnderItsHeading) {
    // Headings at 2, 20, 40, 60. A row of a table puts each text under the last heading that
    // starts at or left of it; two texts under one heading (a routine and, below it, its code
    // line) split that heading's column; a missing or empty text leaves an empty cell.
    const TPage Page = {{2, 0, "Project"}, {20, 0, "Routine"},   {40, 0, "Variable"}, {60, 0, "Type"},
                        {3, 3, "A.vbp"},   {20, 3, "Sub1"},      {20, 4, "x = Now"},  {41, 3, "v"},
                        {60, 3, ""},       {0, 6, "left"},       {25, 6, "Sub2"},     {62, 6, "Sort"},
                        {4, 9, "B.vbp"},   {70, 9, "far right"}, {1, 12, "end"}};
    EXPECT_EQ(Export<TQRCSVExportFilter>({Page}),
              (std::vector<std::string>{"Project;Routine;;Variable;Type", "A.vbp;Sub1;x = Now;v;",
                                        "left;Sub2;;;Sort", "B.vbp;;;;far right", "end", "</CSV>"}));
    const std::vector<std::string> Html = Export<TQRHtmlExportFilter>({Page});
    EXPECT_EQ(std::vector<std::string>(Html.begin() + 2, Html.end() - 1),
              (std::vector<std::string>{TableStart + "Project<TD>Routine<TD><TD>Variable<TD>Type",
                                        "<TR><TD>A.vbp<TD>Sub1<TD>x = Now<TD>v<TD>",
                                        "<TR><TD>left<TD>Sub2<TD><TD><TD>Sort",
                                        "<TR><TD>B.vbp<TD><TD><TD><TD>far right", "</TABLE>end<BR>"}));
}

TEST(HtmlExport, ATableNeverContinuesOntoTheNextPageAndPagesWithoutTextWriteNothing) {
    const TPage Wide = {{1, 3, "a"}, {9, 3, "b"}};
    EXPECT_EQ(
        Export<TQRHtmlExportFilter>({Wide, {}, Wide}),
        (std::vector<std::string>{"<html>", "<meta charset=\"windows-1252\">", TableStart + "a<TD>b</TABLE>",
                                  TableStart + "a<TD>b</TABLE>", "</HTML>"}));
    EXPECT_EQ(Export<TQRHtmlExportFilter>({{}, {}}),
              (std::vector<std::string>{"<html>", "<meta charset=\"windows-1252\">", "</HTML>"}));
    EXPECT_EQ(Export<TQRCSVExportFilter>({{}}), std::vector<std::string>{"</CSV>"});
}

TEST(HtmlExport, TextsAreEscapedOrQuotedSoThatEveryColumnStaysInPlace) {
    const TPage Page = {
        {1, 0, "If d < Date And x > 0 Then"}, {40, 0, "A&B \"q\""}, {60, 0, "Caf\xE9;x"}, {1, 3, "plain"}};
    EXPECT_EQ(
        Export<TQRHtmlExportFilter>({Page}),
        (std::vector<std::string>{"<html>", "<meta charset=\"windows-1252\">",
                                  TableStart + "If d &lt; Date And x &gt; 0 Then<TD>A&amp;B &quot;q&quot;<TD>"
                                               "Caf\xE9;x",
                                  "</TABLE>plain<BR>", "</HTML>"}));
    EXPECT_EQ(Export<TQRCSVExportFilter>({Page}),
              (std::vector<std::string>{"If d < Date And x > 0 Then;\"A&B \"\"q\"\"\";\"Caf\xE9;x\"", "plain",
                                        "</CSV>"}));
    // Bytes that Windows-1252 leaves undefined stay readable under the declared encoding.
    EXPECT_EQ(HtmlEscape("a\x81\x8D\x8F\x90\x9D\x80z"), "a&#129;&#141;&#143;&#144;&#157;\x80z");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");

    // Control characters that HTML forbids become U+FFFD; tab and the line ends stay. A CSV cell
    // that a spreadsheet would run as a formula starts with an apostrophe, inside its quotes.
    EXPECT_EQ(HtmlEscape(std::string("a\0b\x01\x08\t\x0B\x0C\r\n\x0E\x1F\x20\x7Fz", 15)),
              "a&#65533;b&#65533;&#65533;\t&#65533;&#65533;\r\n&#65533;&#65533; &#65533;z");
    const TPage Formulas = {{1, 0, "=Date + cmd|' /C calc'!A0"},
                            {30, 0, "-Date+1"},
                            {50, 0, "+1;2"},
                            {70, 0, "@SUM(A1)"},
                            {90, 0, "x = -1"}};
    EXPECT_EQ(Export<TQRCSVExportFilter>({Formulas}),
              (std::vector<std::string>{"'=Date + cmd|' /C calc'!A0;'-Date+1;\"'+1;2\";'@SUM(A1);x = -1",
                                        "</CSV>"}));
}

TEST(HtmlExport, AFileThatCannotBeCreatedRaisesNamingIt) {
    TQRHtmlExportFilter Filter("/nonexistent-folder/report.HTM");
    EXPECT_EQ(testsupport::MessageOf<EFCreateError>([&] { Filter.BeginExport(2970, 2100, QFont()); }),
              "Cannot create file /nonexistent-folder/report.HTM (No such file or directory)");
}

TEST(HtmlExport, BothFiltersAreInTheEnginesLibrary) {
    std::vector<std::pair<std::string, std::string>> Found;
    for (const auto& Entry : QRExportFilterLibrary().Filters())
        Found.emplace_back(Entry.FilterName, Entry.Extension);
    EXPECT_NE(
        std::find(Found.begin(), Found.end(), std::pair<std::string, std::string>("HTML document", "HTM")),
        Found.end());
    EXPECT_NE(std::find(Found.begin(), Found.end(),
                        std::pair<std::string, std::string>("CSV comma separated", "CSV")),
              Found.end());
}
