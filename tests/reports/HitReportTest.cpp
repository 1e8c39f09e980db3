// The hit report's walk over the document and its summary, and the hit report itself through
// the HTML and CSV filters.
#include "reports/qrHtml.h"
#include "reports/rptHits.h"
#include "tests/platform/report/ReportFiles.h"
#include "tests/reports/ReportsTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace reportstest;

namespace {
struct TRow {
    std::string Project, Module, Sub, Variable, LineNo, ErrorType, Line;
    int ProjectImage, ModuleImage, HitImage;
    bool operator==(const TRow&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TRow& R) {
    return Out << R.Project << "/" << R.Module << "/" << R.Sub << "/" << R.Variable << "/" << R.LineNo
               << " images " << R.ProjectImage << "," << R.ModuleImage << "," << R.HitImage;
}

class HitReportTest : public ::testing::Test {
protected:
    HitReportTest() {
        FillImages(Images);
        Document = std::make_unique<TQuorvex>();
        Document->Name = "Audit";
    }

    int ImageIndex(const QImage& Picture) const {
        if (Picture.isNull())
            return -1;
        for (int I = 0; I < Images.Count(); ++I)
            if (Images.Pixmap(I).toImage() == Picture)
                return I;
        return -2;
    }

    // Runs the walk as the engine does and returns its rows.
    std::vector<TRow> Walk() {
        std::vector<TRow> Rows;
        bool PrintReport = false;
        Report.repHitsBeforePrint(&Report, PrintReport);
        EXPECT_TRUE(PrintReport);
        for (;;) {
            bool More = false;
            Report.repHitsNeedData(&Report, More);
            if (!More)
                break;
            Rows.push_back({Report.lblProject->Caption, Report.lblModule->Caption, Report.lblSub->Caption,
                            Report.lblVariable->Caption, Report.lblLineNo->Caption,
                            Report.lblErrorType->Caption, Report.lblLine->Caption,
                            ImageIndex(Report.imgProject->Picture), ImageIndex(Report.imgModule->Picture),
                            ImageIndex(Report.imgHit->Picture)});
            if (Rows.size() > 1000)
                break;
        }
        return Rows;
    }

    std::vector<std::string> ExportLines(bool Html = false) {
        const QString Name = Dir.filePath(QStringLiteral("out"));
        if (Html) {
            TQRHtmlExportFilter Filter(Name.toStdString());
            Report.ExportWithFilter(Filter);
        } else {
            TQRCSVExportFilter Filter(Name.toStdString());
            Report.ExportWithFilter(Filter);
        }
        return Lines(ReadAll(Name));
    }

    // A document with projects and databases without modules or objects at either end and in
    // between, modules and objects without hits, and database objects added out of kind order.
    void FillDocument() {
        Document->AddProject(NewProject("Empty.vbp", {}));
        Document->AddProject(
            NewProject("A.vbp", {NewModule("m1.frm", 2, 7, 30), NewModule("m2.bas", 0, 3, 20),
                                 NewModule("m3.cls", 1, 9, 10)}));
        Document->AddProject(NewProject("NoModules.vbp", {}));
        Document->AddProject(NewProject("B.vbp", {NewModule("b1.bas", 0), NewModule("b2.bas", 1, 8)}));
        Document->GetProject(3)->GetModule(1)->GetHit(0)->Compliant = ctYes;

        auto* EmptyMDB = new TMDBInfo;
        EmptyMDB->Name = "empty.mdb";
        Document->AddMDB(EmptyMDB);
        auto* MDB = new TMDBInfo;
        MDB->Name = "nwind.mdb";
        auto* Form = NewObject<TMDBFormInfo>("Orders form", 20);
        Form->AddHit(NewMDBHit("Form", "", "Date", "=Date()", 0));
        MDB->AddForm(Form);
        auto* Module = NewObject<TMDBModuleInfo>("Utility", 23);
        Module->AddHit(NewMDBHit("DueDate", "", "DateAdd", "DueDate = DateAdd(\"d\", 30, d)", 12, ctNo));
        MDB->AddModule(Module);
        auto* Table = NewObject<TMDBTableInfo>("Orders", 18);
        Table->AddHit(NewMDBHit("Orders", "OrderDate", "OrderDate", "Short Date", 3));
        MDB->AddTable(Table);
        MDB->AddQuery(NewObject<TMDBQueryInfo>("Sales", 12));
        Document->AddMDB(MDB);
        auto* Last = new TMDBInfo;
        Last->Name = "last.mdb";
        auto* ImportSpecification = NewObject<TMDBIMEXSpecInfo>("Import", 24);
        ImportSpecification->AddHit(NewMDBHit("Import", "Shipped", "Shipped", "Date8", 1, ctYes));
        Last->AddIMEXSpec(ImportSpecification);
        Document->AddMDB(Last);
    }

    template <class T>
    static T* NewObject(const std::string& Name, Longint Image) {
        auto* Object = new T;
        Object->Name = Name;
        Object->ImageIndex = Image;
        Object->LinesOfCode = 5;
        return Object;
    }

    QTemporaryDir Dir;
    TImageList Images{32, 32};
    std::unique_ptr<TQuorvex> Document;
    TrepHits Report{Document, Images};
};
} // namespace

TEST_F(HitReportTest, AnEmptyDocumentPrintsItsHeadersAndASummaryOfNothing) {
    EXPECT_TRUE(Walk().empty());
    EXPECT_EQ(ExportLines(),
              (std::vector<std::string>{
                  "Audit", "Project File;Module;Routine Name;Variable;Line No;Error Type",
                  "Total Hits:;0;;;;", "Total Modules:;0;Compliant Status;;;", "Total Lines of Code:;0;;;;",
                  ";;;Quorvex for VB - Year 2000 hit report;;Page 1", "</CSV>"}));
    EXPECT_EQ(ImageIndex(Report.imgCompliant->Picture), 12 + ctYes);
}

TEST_F(HitReportTest, RowsFollowTheDocumentAndSkipWhatHasNoHits) {
    FillDocument();
    const std::vector<TRow> Expected = {
        {"A.vbp", "m1.frm", "Sub1", "v1", "1", "Computation", "m1.frm.1", 1, 7, 12},
        {"A.vbp", "m1.frm", "Sub2", "v2", "2", "Computation", "m1.frm.2", 1, 7, 12},
        {"A.vbp", "m3.cls", "Sub1", "v1", "1", "Computation", "m3.cls.1", 1, 9, 12},
        {"B.vbp", "b2.bas", "Sub1", "v1", "1", "Computation", "b2.bas.1", 1, 8, 14},
        {"nwind.mdb", "Orders", "Orders - OrderDate", "OrderDate", "3", "Computation", "Short Date", 23, 16,
         13},
        {"nwind.mdb", "Orders form", "Form - ", "Date", "0", "Computation", "=Date()", 23, 18, 13},
        {"nwind.mdb", "Utility", "DueDate - ", "DateAdd", "12", "Computation",
         "DueDate = DateAdd(\"d\", 30, d)", 23, 21, 12},
        {"last.mdb", "Import", "Import - Shipped", "Shipped", "1", "Computation", "Date8", 23, 22, 14},
    };
    EXPECT_EQ(Walk(), Expected);
    // Every module and object counts, with hits or without; every hit is a row.
    EXPECT_EQ(Report.ReportWalk.HitTotal, 8);
    EXPECT_EQ(Report.ReportWalk.ModuleTotal, 5 + 4 + 1);

    // Running again, or exporting after that, starts from the beginning.
    EXPECT_EQ(Walk(), Expected);
    const std::vector<std::string> First = ExportLines();
    EXPECT_EQ(ExportLines(), First);
    const auto Line = [&](const std::string& Start) {
        for (const std::string& L : First)
            if (L.rfind(Start, 0) == 0)
                return L;
        return std::string("<none>");
    };
    // The summary continues the table of hits: every row has its seven cells.
    EXPECT_EQ(Line("Total Hits:"), "Total Hits:;8;;;;;");
    EXPECT_EQ(Line("Total Modules:"), "Total Modules:;10;Compliant Status;;;;");
    EXPECT_EQ(Line("Total Lines of Code:"),
              "Total Lines of Code:;" + std::to_string(Document->TotalLinesOfCode()) + ";;;;;");
    EXPECT_EQ(ImageIndex(Report.imgCompliant->Picture), 12 + ctNo);
}

TEST_F(HitReportTest, TheReportFollowsTheDocumentThatIsCurrentWhenItRuns) {
    FillDocument();
    EXPECT_EQ(Walk().size(), 8u);
    Document = std::make_unique<TQuorvex>();
    Document->Name = "Other";
    Document->AddProject(NewProject("C.vbp", {NewModule("c.bas", 3)}));
    EXPECT_EQ(Walk().size(), 3u);
    EXPECT_EQ(ExportLines().front(), "Other");
}

TEST_F(HitReportTest, EveryHitIsOneLineOfTheExportOnEveryPage) {
    // Texts of a row lie 1.5 line heights apart; a row must never split, wherever it falls.
    std::vector<TModuleInfo*> Modules;
    for (int M = 0; M < 6; ++M)
        Modules.push_back(NewModule("mod" + std::to_string(M) + ".bas", 25));
    Document->AddProject(NewProject("Big.vbp", Modules));
    const std::vector<std::string> Csv = ExportLines();
    int Rows = 0;
    for (const std::string& L : Csv) {
        if (L.rfind("Big.vbp;", 0) != 0)
            continue;
        ++Rows;
        // Project, module, routine, line, variable, line number, error type.
        EXPECT_EQ(std::count(L.begin(), L.end(), ';'), 6) << L;
    }
    EXPECT_EQ(Rows, 150);
    EXPECT_EQ(Csv[1], "Project File;Module;Routine Name;;Variable;Line No;Error Type");
    EXPECT_EQ(Csv[2], "Big.vbp;mod0.bas;Sub1;mod0.bas.1;v1;1;Computation");

    int TableRows = 0;
    for (const std::string& L : ExportLines(true))
        TableRows += L.rfind("<TR><TD>Big.vbp<TD>", 0) == 0;
    EXPECT_EQ(TableRows, 150);
}

TEST_F(HitReportTest, SavedReportsReopenAndDrawExactlyAsPreviewedWhateverTheTexts) {
    // Documents of random texts for every label of the report: routine names and error types
    // cut by their fixed width, names, variables and code lines that wrap (inside over-long
    // words too) and grow the row, line breaks, Windows-1252 letters, empty texts, every
    // rating picture, and rows of databases; pages break anywhere and end in the summary.
    std::mt19937 Random(7);
    auto Pick = [&](int N) { return static_cast<int>(Random() % static_cast<unsigned>(N)); };
    const std::string Alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJ_0123456789 \xE9\xFC\xA3";
    auto Text = [&](int MaxLength, bool Spaces = true) {
        std::string T;
        const int Length = Pick(MaxLength + 1);
        for (int I = 0; I < Length; ++I) {
            const char C = Alphabet[static_cast<std::size_t>(Pick(static_cast<int>(Alphabet.size())))];
            T += C == ' ' && !Spaces ? '_' : C;
        }
        if (Pick(8) == 0)
            T += "\r\nIf x Then y";
        return T;
    };
    QTemporaryDir Files;
    for (int Round = 0; Round < 4; ++Round) {
        Document = std::make_unique<TQuorvex>();
        Document->Name = Text(90);
        for (int P = 0; P < 3; ++P) {
            std::vector<TModuleInfo*> Modules;
            for (int M = 0; M < 3; ++M) {
                TModuleInfo* Module = NewModule(Text(60, Pick(2) == 0), 0, 2 + Pick(8));
                for (int H = 0; H < 1 + Pick(12); ++H)
                    Module->AddHit(NewHit(Text(Pick(2) ? 90 : 20, false), Text(70, Pick(2) == 0), Text(250),
                                          Pick(100000), static_cast<TCompliant>(Pick(3)), Text(40)));
                Modules.push_back(Module);
            }
            Document->AddProject(NewProject(Text(50), Modules));
        }
        auto* MDB = new TMDBInfo;
        MDB->Name = Text(40);
        auto* Table = NewObject<TMDBTableInfo>(Text(40), 18);
        for (int H = 0; H < 5; ++H)
            Table->AddHit(NewMDBHit(Text(50, false), Text(30, false), Text(30), Text(120), Pick(50),
                                    static_cast<TCompliant>(Pick(3))));
        MDB->AddTable(Table);
        Document->AddMDB(MDB);

        TQRPrinter Previewed;
        Report.Prepare(Previewed);
        ASSERT_GT(Previewed.PageCount(), 1);
        const std::string Name = Files.filePath(QStringLiteral("round.QXV")).toStdString();
        ASSERT_TRUE(Previewed.Save(Name));
        TQRPrinter Loaded;
        ASSERT_NO_THROW(Loaded.Load(Name)) << "round " << Round;
        ASSERT_EQ(Loaded.PageCount(), Previewed.PageCount());
        for (int Page = 1; Page <= Previewed.PageCount(); ++Page)
            ASSERT_EQ(reportfiles::Render(Loaded, Page, 0.2), reportfiles::Render(Previewed, Page, 0.2))
                << "round " << Round << " page " << Page;
    }
}
