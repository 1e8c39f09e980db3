// The main window's report commands: Report previews the hit report of the current document,
// Print Setup shows the printer dialog, Export writes the hit report as HTML, text or CSV.
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "reports/fPreview.h"
#include "reports/rptHits.h"
#include "scanmodel/NodeImages.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/Main.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/Named.h"

#include <QAction>
#include <QFileDialog>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using testsupport::Named;

using namespace scannertest;

namespace {
class ReportCommandsTest : public ::testing::Test {
protected:
    ReportCommandsTest() {
        const std::string Name = File(QStringLiteral("audit.qxs"));
        SaveScanDocument(*SampleDocument(), Name);
        Main.OpenFile(Name);
    }
    ~ReportCommandsTest() override { Modified = false; }

    QString Path(const QString& Name) const { return Dir.filePath(Name); }
    std::string File(const QString& Name) const { return ToFileName(Path(Name)); }

    // Clicks Export and answers its dialog with Name typed and the file type Index chosen.
    void Export(const QString& Name, TExportType Index) {
        testsupport::AnswerNextModal([&](QWidget* W) {
            auto* Dialog = qobject_cast<QFileDialog*>(W);
            ASSERT_NE(Dialog, nullptr);
            DialogTitle = Dialog->windowTitle();
            DialogFilters = Dialog->nameFilters();
            Dialog->selectNameFilter(DialogFilters.value(Index - 1));
            Dialog->selectFile(Name);
            static_cast<QDialog*>(Dialog)->accept();
        });
        Named<QToolButton>(Main, "sbExport")->click();
        EXPECT_TRUE(testsupport::AllAnswered());
    }

    QTemporaryDir Dir;
    TfrmKeyWords KeyWords;
    TfrmOptions Options;
    TfrmHit Hit;
    TfrmMain Main{ToFileName(Dir.path()) + "/", {}};
    TrepHits HitReport{Document, Main.imlLarge};
    QString DialogTitle;
    QStringList DialogFilters;
};
} // namespace

TEST_F(ReportCommandsTest, ReportPreviewsTheHitsOfTheCurrentDocument) {
    int Pages = 0;
    bool Shown = false;
    QTimer::singleShot(0, [&] {
        ASSERT_EQ(HitReport.PreviewWindows().size(), 1u);
        TfrmPreview& Window = *HitReport.PreviewWindows().front();
        Shown = Window.isVisible();
        Pages = Window.Printer()->PageCount();
        Window.close();
    });
    Named<QToolButton>(Main, "sbPrint")->click();
    EXPECT_TRUE(Shown);
    EXPECT_EQ(Pages, 1);
    // The sample document's three hits, with the main window's pictures.
    EXPECT_EQ(HitReport.ReportWalk.HitTotal, 3);
    EXPECT_EQ(HitReport.imgCompliant->Picture, Main.imlLarge.Pixmap(RatingLargeImage(ctNo)).toImage());
}

TEST_F(ReportCommandsTest, ExportWritesTheChosenFormatAndAddsItsExtensionToABareName) {
    Export(Path(QStringLiteral("report")), etHTML);
    EXPECT_EQ(DialogTitle, QStringLiteral("Export Report as"));
    EXPECT_EQ(DialogFilters,
              (QStringList{QStringLiteral("HTML Document (*.HTM)"), QStringLiteral("Text File (*.TXT)"),
                           QStringLiteral("CSV Comma Seperated File (*.CSV)")}));
    const std::string Html = ReadFile(Path(QStringLiteral("report.HTM")));
    EXPECT_EQ(Html.rfind("<html>\r\n", 0), 0u);
    EXPECT_NE(Html.find("<TR><TD>Calendar.vbp<TD>frmMain.frm<TD>Form_Load<TD>x = DateAdd(Now)<TD>DateAdd"),
              std::string::npos);

    Export(Path(QStringLiteral("report")), etText);
    EXPECT_NE(ReadFile(Path(QStringLiteral("report.TXT"))).find("Audit"), std::string::npos);

    Export(Path(QStringLiteral("report")), etCSV);
    EXPECT_EQ(ReadFile(Path(QStringLiteral("report.CSV"))).rfind("Audit\r\nProject File;Module;", 0), 0u);

    // The file that the added extension names is replaced only when the user says so.
    QString Question;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QFileDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        Dialog->selectNameFilter(Dialog->nameFilters().value(etHTML - 1));
        Dialog->selectFile(Path(QStringLiteral("report")));
        static_cast<QDialog*>(Dialog)->accept();
        testsupport::AnswerNextMessageBox(QMessageBox::No, &Question);
    });
    WriteFile(Path(QStringLiteral("report.HTM")), "kept");
    Named<QToolButton>(Main, "sbExport")->click();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Question, Path(QStringLiteral("report.HTM")) +
                            QStringLiteral(" already exists.\nDo you want to replace it?"));
    EXPECT_EQ(ReadFile(Path(QStringLiteral("report.HTM"))), "kept");

    // A name with a dot stays as typed, whatever the type.
    Export(Path(QStringLiteral("hits.list")), etCSV);
    EXPECT_EQ(ReadFile(Path(QStringLiteral("hits.list"))), ReadFile(Path(QStringLiteral("report.CSV"))));
    EXPECT_FALSE(Modified);
}

TEST_F(ReportCommandsTest, AnExportThatCannotWriteItsFileShowsTheError) {
    // The name the extension makes is taken by a folder.
    QDir(Dir.path()).mkdir(QStringLiteral("report.HTM"));
    QString Text;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QFileDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        Dialog->selectFile(Path(QStringLiteral("report")));
        static_cast<QDialog*>(Dialog)->accept();
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Text);
    });
    Named<QToolButton>(Main, "sbExport")->click();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Text, QStringLiteral("Cannot create file ") + Path(QStringLiteral("report.HTM")) +
                        QStringLiteral(": it is a folder, not a file"));
}

TEST_F(ReportCommandsTest, PrintSetupShowsThePrinterDialogWithTheReportsPaper) {
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QPrintDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        Orientation = Dialog->printer()->pageLayout().orientation();
        Dialog->reject();
    });
    Named<QAction>(Main, "mnuFilePrintSetup")->trigger();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Orientation, QPageLayout::Landscape);
}
