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
    // A routine name wider than its column, no error type, and the bytes that Windows-1252
    // leaves undefined.
    Module->AddHit(NewHit("ValidateCustomerInvoiceDueDateAgainstFiscalCalendar", "Now",
                          "sTag = \"\x81\x8D\x8F\x90\x9D\" & Now", 40, ctYes, ""));
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

bool Is(const xmlNode* N, const char* Name) {
    return N->type == XML_ELEMENT_NODE && xmlStrcasecmp(N->name, BAD_CAST Name) == 0;
}

// The table rows as the parser sees them, the texts of each row's cells as UTF-8. A table's
// first row has no <TR> of its own: its cells are the table's own.
void TableRows(xmlNode* Node, std::vector<std::vector<std::string>>& Rows) {
    for (xmlNode* N = Node; N != nullptr; N = N->next) {
        if (Is(N, "tr") || Is(N, "table")) {
            std::vector<std::string> Cells;
            for (xmlNode* C = N->children; C != nullptr; C = C->next)
                if (Is(C, "td")) {
                    xmlChar* Text = xmlNodeGetContent(C);
                    // A cell runs to the next tag, line end included, which a browser does not show.
                    Cells.push_back(
                        QString::fromUtf8(reinterpret_cast<const char*>(Text)).trimmed().toStdString());
                    xmlFree(Text);
                }
            if (!Cells.empty())
                Rows.push_back(std::move(Cells));
        }
        TableRows(N->children, Rows);
    }
}

bool HasRow(const std::vector<std::vector<std::string>>& Rows, const std::vector<std::string>& Row) {
    return std::find(Rows.begin(), Rows.end(), Row) != Rows.end();
}
} // namespace

TEST_F(GoldenExportTest, HtmlShowsTheExactTextsToARealParser) {
    const std::string Html = ExportAndCompare<TQRHtmlExportFilter>(QStringLiteral("hits.htm"));
    htmlDocPtr Doc = htmlReadMemory(Html.data(), static_cast<int>(Html.size()), nullptr, nullptr,
                                    HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    ASSERT_NE(Doc, nullptr);
    std::vector<std::vector<std::string>> Rows;
    TableRows(xmlDocGetRootElement(Doc), Rows);
    xmlChar* Whole = xmlNodeGetContent(xmlDocGetRootElement(Doc));
    const std::string Text = reinterpret_cast<const char*>(Whole);
    xmlFree(Whole);
    xmlFreeDoc(Doc);

    EXPECT_TRUE(QString::fromUtf8(Text).trimmed().startsWith(QStringLiteral("Smith & Sons; audit")));
    // The parser read the whole file: the last texts of the page are there.
    EXPECT_NE(Text.find("Page 1"), std::string::npos);
    // Every row of the table has the heading row's cells; the routine's column is split for
    // the code line below the routine name.
    ASSERT_FALSE(Rows.empty());
    EXPECT_EQ(Rows[0], (std::vector<std::string>{"Project File", "Module", "Routine Name", "", "Variable",
                                                 "Line No", "Error Type"}));
    for (const auto& Row : Rows)
        EXPECT_EQ(Row.size(), Rows[0].size()) << Row[0];
    EXPECT_TRUE(HasRow(Rows, {"Calendar.vbp", "frmMain.frm", "Form_Load", "If d < Date And x > 0 Then",
                              "Date", "14", "Branching"}));
    EXPECT_TRUE(HasRow(Rows, {"Calendar.vbp", "frmMain.frm", "Print_Click", "s = Format(d, \"dd;mm;yy\")",
                              "Format", "31", "Computation"}));
    // The undefined bytes come back as the code points they stand for; no error type, an empty cell.
    EXPECT_TRUE(
        HasRow(Rows, {"Calendar.vbp", "frmMain.frm", "ValidateCustomerInvoiceDueDateAgainstFiscalCalendar",
                      "sTag = \"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\" & Now", "Now", "40", ""}));
    // The declared code page makes the Windows-1252 byte an é.
    EXPECT_TRUE(HasRow(Rows, {"Caf\xC3\xA9.mdb", "Orders & Items", "Orders - Ship;Date", "Short Date",
                              "ShipDate", "2", "Computation"}));
    EXPECT_TRUE(HasRow(Rows, {"Total Hits:", "4", "", "", "", "", ""}));
}

TEST_F(GoldenExportTest, CsvAndPlainTextMatchTheirGoldenFiles) {
    const std::string Csv = ExportAndCompare<TQRCSVExportFilter>(QStringLiteral("hits.csv"));
    EXPECT_NE(Csv.find("Calendar.vbp;frmMain.frm;Print_Click;\"s = Format(d, \"\"dd;mm;yy\"\")\";Format"),
              std::string::npos);
    EXPECT_NE(Csv.find("Caf\xE9.mdb;Orders & Items;\"Orders - Ship;Date\";Short Date;ShipDate;2;Computation"),
              std::string::npos);
    ExportAndCompare<TQRAsciiExportFilter>(QStringLiteral("hits.txt"));
}
