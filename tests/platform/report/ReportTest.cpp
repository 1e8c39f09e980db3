#include "tests/platform/report/RecordingFilter.h"
#include "tests/platform/report/SampleReport.h"

#include "platform/report/QRPage.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <cmath>

namespace {
// Design pixels and millimetres in the paper units that filters receive.
double Px(double Pixels) {
    return Pixels * 254.0 / 96.0;
}
constexpr double Margin = 100;               // 10 mm
const double BodyTop = Margin + Px(40 + 22); // below page header and column header
const double BodyBottom = 2100 - Margin - Px(24);
const double RowHeight = Px(36);

TRecordingFilter Export(TQuickRep& Report) {
    TRecordingFilter Filter;
    Report.ExportWithFilter(Filter);
    return Filter;
}

int RowOf(const std::string& Text) {
    return Text.rfind("Row ", 0) == 0 ? std::stoi(Text.substr(4)) : 0;
}

std::vector<std::string> TextsOf(const TRecordingFilter& F, int Page) {
    std::vector<std::string> Result;
    for (const auto& T : F.PageTexts(Page))
        Result.push_back(T.Text);
    return Result;
}
} // namespace

TEST(ReportLayout, RowsFillPagesAndTheSummaryTakesANewPageWhenItDoesNotFit) {
    // 17 rows fit on a page; the summary needs the room of three more.
    TSampleReport Fits(32);
    TRecordingFilter A = Export(Fits);
    ASSERT_EQ(A.Pages, 2);
    int OnFirst = 0;
    for (const auto& T : A.PageTexts(1))
        OnFirst += RowOf(T.Text) > 0;
    EXPECT_EQ(OnFirst, 17);
    EXPECT_EQ(A.Find("Total Rows:")->Page, 2);

    TSampleReport Overflows(33);
    TRecordingFilter B = Export(Overflows);
    ASSERT_EQ(B.Pages, 3);
    EXPECT_EQ(B.Find("Row 33")->Page, 2);
    EXPECT_EQ(TextsOf(B, 3),
              (std::vector<std::string>{"Sample Report", "Name", "Value", "Total Rows:", "33", "Page 3"}));
}

TEST(ReportLayout, BandsPrintInOrderOnEveryPage) {
    TSampleReport Report(300);
    TRecordingFilter F = Export(Report);
    ASSERT_GT(F.Pages, 10);
    int NextRow = 1;
    for (int Page = 1; Page <= F.Pages; ++Page) {
        const auto Texts = F.PageTexts(Page);
        ASSERT_GE(Texts.size(), 4u);
        EXPECT_EQ(Texts[0].Text, "Sample Report");
        EXPECT_EQ(Texts[1].Text, "Name");
        EXPECT_EQ(Texts[2].Text, "Value");
        EXPECT_EQ(Texts.back().Text, "Page " + std::to_string(Page));
        double LastY = Texts[2].Y;
        for (std::size_t I = 3; I + 1 < Texts.size(); ++I) {
            if (const int Row = RowOf(Texts[I].Text)) {
                // The name sits 16 pixels below the top of its row.
                const double Top = Texts[I].Y - Px(16);
                EXPECT_EQ(Row, NextRow++);
                EXPECT_GE(Top, LastY) << Texts[I].Text;
                EXPECT_GE(Top, BodyTop - 0.5);
                EXPECT_LE(Top + RowHeight, BodyBottom + 0.5) << Texts[I].Text;
                LastY = Top;
            }
        }
        EXPECT_GT(Texts.back().Y, LastY);
    }
    EXPECT_EQ(NextRow, 301);
    const auto Last = TextsOf(F, F.Pages);
    EXPECT_EQ(Last[Last.size() - 3], "Total Rows:");
    EXPECT_EQ(Last[Last.size() - 2], "300");
}

TEST(ReportLayout, SummarySitsAtTheBottomOfTheLastPage) {
    TSampleReport Report(5);
    TRecordingFilter F = Export(Report);
    ASSERT_EQ(F.Pages, 1);
    const auto* Caption = F.Find("Total Rows:");
    ASSERT_NE(Caption, nullptr);
    EXPECT_NEAR(Caption->Y, BodyBottom - Px(80) + Px(8), 0.5);
    EXPECT_NEAR(Caption->X, Margin + Px(8), 0.5);
    const auto* Footer = F.Find("Page 1");
    EXPECT_NEAR(Footer->Y, BodyBottom + Px(4), 0.5);
}

TEST(ReportLayout, AGrowingLabelPushesTheNextRowDown) {
    TSampleReport Report(120);
    TRecordingFilter F = Export(Report);
    const QFont Font(QStringLiteral("Tahoma"), 8);
    const double Line = QFontMetricsF(qrpage::PageFont(Font)).lineSpacing() * qrpage::PaperUnitsPerUnit;
    int Checked = 0;
    for (int Row = 1; Row < 120; ++Row) {
        const auto* This = F.Find(TSampleReport::NameOf(Row));
        const auto* Next = F.Find(TSampleReport::NameOf(Row + 1));
        ASSERT_TRUE(This && Next);
        if (This->Page != Next->Page)
            continue;
        const double Step = Next->Y - This->Y;
        if (!TSampleReport::IsLong(Row)) {
            EXPECT_NEAR(Step, RowHeight, 0.01) << Row;
            continue;
        }
        // The long name wraps onto further lines; the band grows by what they need beyond the
        // label's 13 design pixels.
        const double Lines = (Step - RowHeight + Px(13)) / Line;
        EXPECT_GE(Lines, 2.0 - 1e-6) << Row;
        EXPECT_NEAR(Lines, std::round(Lines), 1e-6) << Row;
        ++Checked;
    }
    EXPECT_EQ(Checked, 2);
}

TEST(ReportLayout, PageNumbersAndTheFirstAndLastPageOptions) {
    TSampleReport Report(60);
    Report.Options.FirstPageHeader = false;
    Report.Options.LastPageFooter = false;
    TRecordingFilter F = Export(Report);
    ASSERT_EQ(F.Pages, 4);
    EXPECT_EQ(TextsOf(F, 1).front(), "Name");
    EXPECT_EQ(TextsOf(F, 2).front(), "Sample Report");
    for (int Page = 1; Page < F.Pages; ++Page)
        EXPECT_EQ(TextsOf(F, Page).back(), "Page " + std::to_string(Page));
    EXPECT_EQ(TextsOf(F, F.Pages).back(), "60");
    // Without the header the first page holds one row more.
    EXPECT_EQ(F.Find("Row 18")->Page, 1);
}

TEST(ReportLayout, AnEmptyReportPrintsItsFrameOnlyWhenPrintIfEmpty) {
    TSampleReport Report(0);
    TRecordingFilter F = Export(Report);
    EXPECT_EQ(TextsOf(F, 1),
              (std::vector<std::string>{"Sample Report", "Name", "Value", "Total Rows:", "0", "Page 1"}));
    EXPECT_EQ(F.Pages, 1);

    Report.PrintIfEmpty = false;
    TRecordingFilter None = Export(Report);
    EXPECT_EQ(None.Calls, (std::vector<std::string>{"Begin", "End"}));
    TQRPrinter Printer;
    Report.Prepare(Printer);
    EXPECT_EQ(Printer.PageCount(), 0);
    EXPECT_TRUE(Printer.Complete());
}

TEST(ReportLayout, BeforePrintEventsSkipTheRunOrSingleBands) {
    TSampleReport Report(10);
    auto Original = Report.BeforePrint;
    Report.BeforePrint = [](TQuickRep*, bool& PrintReport) { PrintReport = false; };
    TQRPrinter Printer;
    Report.Prepare(Printer);
    EXPECT_EQ(Printer.PageCount(), 0);

    Report.BeforePrint = Original;
    Report.Detail->BeforePrint = [&](TQRCustomBand*, bool& PrintBand) {
        PrintBand = std::stoi(Report.lblValue->Caption) % 2 == 0;
    };
    Report.Footer->BeforePrint = [](TQRCustomBand*, bool& PrintBand) { PrintBand = false; };
    TRecordingFilter F = Export(Report);
    EXPECT_EQ(TextsOf(F, 1),
              (std::vector<std::string>{"Sample Report", "Name", "Value", "Row 2", "2", "Row 4", "4", "Row 6",
                                        "6", "Row 8", "8", "Row 10", "10", "Total Rows:", "10"}));
    // A skipped band takes no room.
    EXPECT_NEAR(F.Find("Row 4")->Y - F.Find("Row 2")->Y, RowHeight, 0.01);
}

TEST(ReportLayout, ABandTallerThanThePageGetsAPageOfItsOwn) {
    TSampleReport Report(3);
    Report.Detail->Height = 2000;
    TRecordingFilter F = Export(Report);
    EXPECT_EQ(F.Pages, 4);
    for (int Row = 1; Row <= 3; ++Row)
        EXPECT_EQ(F.Find("Row " + std::to_string(Row))->Page, Row);
}

TEST(ReportLayout, AutoSizedLabelsKeepTheirAnchorEdge) {
    TSampleReport Report(1000);
    TRecordingFilter F = Export(Report);
    const QFontMetricsF Metrics(qrpage::PageFont(QFont(QStringLiteral("Tahoma"), 8)));
    for (const char* Value : {"7", "1000"}) {
        const auto* T = F.Find(Value);
        ASSERT_NE(T, nullptr);
        const double Width =
            Metrics.horizontalAdvance(QString::fromLatin1(Value)) * qrpage::PaperUnitsPerUnit;
        EXPECT_NEAR(T->X + Width, Margin + Px(360), 0.01) << Value;
        EXPECT_EQ(T->Alignment, taRightJustify);
    }
    const auto* Title = F.Find("Sample Report");
    const QFontMetricsF Big(qrpage::PageFont(QFont(QStringLiteral("Tahoma"), 16)));
    const double TitleWidth =
        Big.horizontalAdvance(QStringLiteral("Sample Report")) * qrpage::PaperUnitsPerUnit;
    EXPECT_NEAR(Title->X + TitleWidth / 2, 2970 / 2.0, 1.0);
    EXPECT_DOUBLE_EQ(Title->Points, 16);
}

TEST(ReportText, CaptionsReachFiltersByteForByte) {
    TSampleReport Report(1);
    Report.lblHeader->OnPrint = nullptr;
    Report.lblHeader->Caption = "Caf\xE9 \x80 5";
    EXPECT_NE(Export(Report).Find("Caf\xE9 \x80 5"), nullptr);
}

TEST(ReportLayout, AReportWithoutBandsGivesOneBlankPage) {
    // The viewer's empty report: A4 portrait, a font in pixels, no bands, printed when empty.
    TQuickRep Empty;
    Empty.Font = QFont(QStringLiteral("Arial"));
    Empty.Font.setPixelSize(13);
    TQRPrinter Printer;
    Empty.Prepare(Printer);
    ASSERT_EQ(Printer.PageCount(), 1);
    EXPECT_EQ(Printer.PageSize(1), QSize(5953, 8419));
    EXPECT_EQ(Printer.Orientation(), poPortrait);
    TRecordingFilter F = Export(Empty);
    EXPECT_EQ(F.Calls, (std::vector<std::string>{"Begin", "Clear", "Flush", "End"}));
    EXPECT_EQ(F.Width, 2100);
    EXPECT_DOUBLE_EQ(F.Points, 9.75);
}
