// The hit report of a small document exported as HTML, CSV and plain text, compared with the
// files kept in tests/data/reports and read back by a real HTML parser (libxml2's). The CSV
// file is read back by Python's csv module in a test of its own (check_csv.py).
#include "platform/report/QRExport.h"
#include "reports/qrHtml.h"
#include "reports/rptHits.h"
#include "tests/reports/ReportsTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>

#include <algorithm>

using namespace reportstest;

namespace {
const QString Golden = QStringLiteral(QUORVEX_TEST_DATA "/reports/");

// Texts that break markup or columns when written as they stand.
std::unique_ptr<TQuorvex> TrickyDocument() {
    auto Doc = std::make_unique<TQuorvex>();
    Doc->Name = "Smith & Sons; audit";
    auto* Module = NewModule("frmMain.frm", 0, 7, 120);
    Module->AddHit(NewHit("Form_Load", "Date", "If d < Date And x > 0 Then", 14, ctNo, "Branching"));
    Module->AddHit(
        NewHit("Print_Click", "Format", "s = Format(d, \"dd;mm;yy\")", 31, ctMayBe, "Computation"));
    Doc->AddProject(NewProject("Calendar.vbp", {Module}));
    auto* MDB = new TMDBInfo;
    MDB->Name = "Caf\xE9.mdb";
    auto* Table = new TMDBTableInfo;
    Table->Name = "Orders & Items";
    Table->ImageIndex = 18;
    Table->LinesOfCode = 4;
    Table->AddHit(NewMDBHit("Orders", "Ship;Date", "ShipDate", "Short Date", 2));
    MDB->AddTable(Table);
    Doc->AddMDB(MDB);
    return Doc;
}

class GoldenExportTest : public ::testing::Test {
protected:
    GoldenExportTest() { FillImages(Images); }

    // Exports through Filter and compares with the golden file; QUORVEX_UPDATE_GOLDEN=1 rewrites it.
    template <class T>
    std::string ExportAndCompare(const QString& Name) {
        const QString Out = Dir.filePath(Name);
        T Filter(Out.toStdString());
        Report.ExportWithFilter(Filter);
        const std::string Bytes = ReadAll(Out);
        if (qEnvironmentVariableIntValue("QUORVEX_UPDATE_GOLDEN") == 1)
            QFile::remove(Golden + Name), QFile::copy(Out, Golden + Name);
        EXPECT_EQ(Bytes, ReadAll(Golden + Name)) << Name.toStdString();
        return Bytes;
    }

    QTemporaryDir Dir;
    TImageList Images{32, 32};
    std::unique_ptr<TQuorvex> Document = TrickyDocument();
    TrepHits Report{Document, Images};
};

// The texts of the table cells in document order, as UTF-8.
void CellTexts(xmlNode* Node, std::vector<std::string>& Cells) {
    for (xmlNode* N = Node; N != nullptr; N = N->next) {
        if (N->type == XML_ELEMENT_NODE && xmlStrcasecmp(N->name, BAD_CAST "td") == 0) {
            xmlChar* Text = xmlNodeGetContent(N);
            // A cell runs to the next tag, line end included, which a browser does not show.
            Cells.push_back(QString::fromUtf8(reinterpret_cast<const char*>(Text)).trimmed().toStdString());
            xmlFree(Text);
        }
        CellTexts(N->children, Cells);
    }
}

bool HasRun(const std::vector<std::string>& Cells, const std::vector<std::string>& Run) {
    return std::search(Cells.begin(), Cells.end(), Run.begin(), Run.end()) != Cells.end();
}
} // namespace

TEST_F(GoldenExportTest, HtmlShowsTheExactTextsToARealParser) {
    const std::string Html = ExportAndCompare<TQRHtmlExportFilter>(QStringLiteral("hits.htm"));
    htmlDocPtr Doc = htmlReadMemory(Html.data(), static_cast<int>(Html.size()), nullptr, nullptr,
                                    HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    ASSERT_NE(Doc, nullptr);
    std::vector<std::string> Cells;
    CellTexts(xmlDocGetRootElement(Doc), Cells);
    xmlChar* Whole = xmlNodeGetContent(xmlDocGetRootElement(Doc));
    const std::string Text = reinterpret_cast<const char*>(Whole);
    xmlFree(Whole);
    xmlFreeDoc(Doc);

    EXPECT_TRUE(QString::fromUtf8(Text).trimmed().startsWith(QStringLiteral("Smith & Sons; audit")));
    EXPECT_TRUE(HasRun(Cells, {"Calendar.vbp", "frmMain.frm", "If d < Date And x > 0 Then", "Form_Load",
                               "Date", "14", "Branching"}));
    EXPECT_TRUE(HasRun(Cells, {"Calendar.vbp", "frmMain.frm", "s = Format(d, \"dd;mm;yy\")", "Print_Click",
                               "Format", "31", "Computation"}));
    // The declared code page makes the Windows-1252 byte an é.
    EXPECT_TRUE(HasRun(Cells, {"Caf\xC3\xA9.mdb", "Orders & Items", "Short Date", "Orders - Ship;Date",
                               "ShipDate", "2", "Computation"}));
    EXPECT_TRUE(HasRun(Cells, {"Total Hits:", "3"}));
}

TEST_F(GoldenExportTest, CsvAndPlainTextMatchTheirGoldenFiles) {
    const std::string Csv = ExportAndCompare<TQRCSVExportFilter>(QStringLiteral("hits.csv"));
    EXPECT_NE(Csv.find("Calendar.vbp;frmMain.frm;\"s = Format(d, \"\"dd;mm;yy\"\")\";Print_Click"),
              std::string::npos);
    EXPECT_NE(Csv.find("Caf\xE9.mdb;Orders & Items;Short Date;\"Orders - Ship;Date\";ShipDate;2;Computation"),
              std::string::npos);
    ExportAndCompare<TQRAsciiExportFilter>(QStringLiteral("hits.txt"));
}
