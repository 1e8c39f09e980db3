#include "tests/platform/report/RecordingFilter.h"
#include "tests/platform/report/SampleReport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {
double Px(double Pixels) {
    return Pixels * 254.0 / 96.0;
}

std::string ReadAll(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    for (std::size_t End; (End = Text.find("\r\n", Start)) != std::string::npos; Start = End + 2)
        Lines.push_back(Text.substr(Start, End - Start));
    EXPECT_EQ(Start, Text.size()) << "text after the last line end";
    return Lines;
}
} // namespace

TEST(ReportExport, FiltersAreCalledPageByPageWithPositionsInTenthsOfAMillimetre) {
    TSampleReport Report(40);
    TRecordingFilter F;
    Report.ExportWithFilter(F);

    EXPECT_EQ(F.Width, 2970);
    EXPECT_EQ(F.Height, 2100);
    EXPECT_DOUBLE_EQ(F.Points, 8);
    ASSERT_EQ(F.Pages, 3);
    EXPECT_EQ(F.Calls, (std::vector<std::string>{"Begin", "Clear", "Text", "Flush", "Clear", "Text", "Flush",
                                                 "Clear", "Text", "Flush", "End"}));

    const auto* Caption = F.Find("Value");
    EXPECT_NEAR(Caption->X, 100 + Px(300), 1e-6);
    EXPECT_NEAR(Caption->Y, 100 + Px(40 + 4), 1e-6);
    EXPECT_DOUBLE_EQ(Caption->Points, 10);
    const auto* FirstRow = F.Find("Row 1");
    EXPECT_NEAR(FirstRow->X, 100 + Px(36), 1e-6);
    EXPECT_NEAR(FirstRow->Y, 100 + Px(40 + 22 + 16), 1e-6);
    const auto* Second = F.Find("Row 2");
    EXPECT_NEAR(Second->Y - FirstRow->Y, Px(36), 1e-6);

    // The same report runs again from its start.
    TRecordingFilter Again;
    Report.ExportWithFilter(Again);
    EXPECT_EQ(Again.Calls, F.Calls);
    EXPECT_EQ(Again.Texts.size(), F.Texts.size());
}

TEST(ReportExport, PlainTextFilterWritesPagesAsPositionedLines) {
    QTemporaryDir Dir;
    const std::string Name = Dir.filePath(QStringLiteral("report.TXT")).toStdString();
    TSampleReport Report(20);
    {
        TQRAsciiExportFilter Filter(Name);
        EXPECT_EQ(Filter.FileName(), Name);
        Report.ExportWithFilter(Filter);
    }
    const std::vector<std::string> Lines = SplitLines(ReadAll(Name));
    ASSERT_FALSE(Lines.empty());

    // A column is half the 8-point report font: 8 * 254/72 / 2 tenths of a millimetre.
    const double Column = 8 * 254.0 / 72 / 2;
    auto ColumnOf = [&](double Pixels) {
        return static_cast<std::size_t>(std::lround((100 + Px(Pixels)) / Column));
    };
    EXPECT_EQ(Lines[0].find("Sample Report"), Lines[0].find_first_not_of(' '));
    const auto Captions = std::find_if(
        Lines.begin(), Lines.end(), [](const std::string& L) { return L.find("Name") != std::string::npos; });
    ASSERT_NE(Captions, Lines.end());
    EXPECT_EQ(Captions->find("Name"), ColumnOf(36));
    EXPECT_EQ(Captions->find("Value"), ColumnOf(300));

    // 17 rows on the first page, an empty line, then the second page from its header.
    const auto Second = std::find(Lines.begin() + 1, Lines.end(), Lines[0]);
    ASSERT_NE(Second, Lines.end());
    EXPECT_EQ(*(Second - 1), "");
    EXPECT_EQ(std::count_if(Lines.begin(), Second,
                            [&](const std::string& L) { return L.find("Row ") == ColumnOf(36); }),
              17);
}

TEST(ReportExport, PlainTextFilterKeepsTextsThatShareALine) {
    QTemporaryDir Dir;
    const std::string Name = Dir.filePath(QStringLiteral("overlap.TXT")).toStdString();
    TQRAsciiExportFilter Filter(Name);
    Filter.BeginExport(2100, 2970, QFont(QStringLiteral("Arial"), 8));
    Filter.ClearPage();
    Filter.PlaceText(100, 100, QFont(), Qt::white, taLeftJustify, "first text");
    Filter.PlaceText(110, 101, QFont(), Qt::white, taLeftJustify, "second");
    Filter.PlaceText(100, 100 + 3 * 28.2, QFont(), Qt::white, taLeftJustify, "below");
    Filter.FlushPage();
    Filter.EndExport();
    const std::vector<std::string> Lines = SplitLines(ReadAll(Name));
    ASSERT_EQ(Lines.size(), 4u);
    EXPECT_EQ(Lines[0], std::string(7, ' ') + "first text second");
    EXPECT_EQ(Lines[1], "");
    EXPECT_EQ(Lines[3], std::string(7, ' ') + "below");
}

TEST(ReportExport, FilterLibraryRecordsTitlesAndExtensions) {
    class TSampleFilter : public TQRExportFilter {
    public:
        using TQRExportFilter::TQRExportFilter;
        std::string FileExtension() const override { return "SMP"; }
        std::string FilterTitle() const override { return "Sample filter"; }
    };

    TQRExportFilterLibrary& Library = QRExportFilterLibrary();
    ASSERT_FALSE(Library.Filters().empty());
    EXPECT_EQ(Library.Filters()[0].FilterName, "Text file");
    EXPECT_EQ(Library.Filters()[0].Extension, "TXT");
    const std::size_t Before = Library.Filters().size();
    Library.AddFilter<TSampleFilter>();
    Library.AddFilter<TSampleFilter>();
    ASSERT_EQ(Library.Filters().size(), Before + 1);
    const auto& Entry = Library.Filters().back();
    EXPECT_EQ(Entry.FilterName, "Sample filter");
    EXPECT_EQ(Entry.Extension, "SMP");
    EXPECT_EQ(Entry.FilterClass("out.smp")->FileName(), "out.smp");
}
