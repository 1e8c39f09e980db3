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
#include "tests/support/FullDisk.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/Named.h"
#include "tests/support/SpecialFiles.h"

#include <QAction>
#include <QFileDialog>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <iostream>
#include <sys/stat.h>

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

    // Exports to Name, which has its extension and is there, as the type Index, answering Yes when
    // the dialog asks before replacing it; returns the text of the error box that follows when
    // Fails.
    QString ExportOver(const QString& Name, TExportType Index, bool Fails = true) {
        QString Text;
        testsupport::AnswerNextModal([&](QWidget* W) {
            auto* Dialog = qobject_cast<QFileDialog*>(W);
            ASSERT_NE(Dialog, nullptr);
            Dialog->selectNameFilter(Dialog->nameFilters().value(Index - 1));
            Dialog->selectFile(Name);
            testsupport::AnswerNextModal([&](QWidget* Box) {
                auto* Question = qobject_cast<QMessageBox*>(Box);
                ASSERT_NE(Question, nullptr);
                if (Fails)
                    testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Text);
                Question->button(QMessageBox::Yes)->click();
            });
            static_cast<QDialog*>(Dialog)->accept();
        });
        Named<QToolButton>(Main, "sbExport")->click();
        EXPECT_TRUE(testsupport::AllAnswered());
        return Text;
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

// An export onto a folder, a named pipe, a socket or a device node, or onto a link to one, shows
// an error that names the file and says what it is; no export waits on the pipe, and each node
// and link stays as it was. A link to a file is written through: it stays, its file gets the
// report.
TEST_F(ReportCommandsTest, AnExportOntoWhatIsNoFileIsRefusedNamingWhatItIs) {
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

    std::vector<std::pair<QString, QString>> Nodes; // name, what it is
    for (const char* Name : {"pipe.HTM", "pipe.TXT", "pipe.CSV"}) {
        ASSERT_EQ(::mkfifo(File(QLatin1String(Name)).c_str(), 0644), 0);
        Nodes.emplace_back(QLatin1String(Name), QStringLiteral("a named pipe"));
    }
    ASSERT_TRUE(testsupport::MakeSocket(File(QStringLiteral("socket.HTM"))));
    Nodes.emplace_back(QStringLiteral("socket.HTM"), QStringLiteral("a socket"));
    if (const std::string Problem = testsupport::MakeDeviceNode(File(QStringLiteral("device.HTM")));
        Problem.empty())
        Nodes.emplace_back(QStringLiteral("device.HTM"), QStringLiteral("a device"));
    else
        std::cout << "device node left out: " << Problem << "\n";

    for (const auto& [Name, Kind] : Nodes) {
        const TExportType Type = Name.endsWith(QStringLiteral("TXT"))   ? etText
                                 : Name.endsWith(QStringLiteral("CSV")) ? etCSV
                                                                        : etHTML;
        const QString Link = QStringLiteral("link-") + Name;
        ASSERT_TRUE(QFile::link(Name, Path(Link)));
        struct stat Before {};
        ASSERT_EQ(::lstat(File(Name).c_str(), &Before), 0);
        for (const QString& Exported : {Name, Link}) {
            SCOPED_TRACE(Exported.toStdString());
            EXPECT_EQ(ExportOver(Path(Exported), Type), QStringLiteral("Cannot create file ") +
                                                            Path(Exported) + QStringLiteral(": it is ") +
                                                            Kind + QStringLiteral(", not a file"));
        }
        struct stat After {};
        ASSERT_EQ(::lstat(File(Name).c_str(), &After), 0);
        EXPECT_EQ(After.st_mode & S_IFMT, Before.st_mode & S_IFMT);
        EXPECT_EQ(QFileInfo(Path(Link)).symLinkTarget(), Path(Name));
    }

    WriteFile(Path(QStringLiteral("real.CSV")), "old");
    ASSERT_TRUE(QFile::link(QStringLiteral("real.CSV"), Path(QStringLiteral("link.CSV"))));
    ExportOver(Path(QStringLiteral("link.CSV")), etCSV, false);
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("link.CSV"))).isSymLink());
    EXPECT_EQ(ReadFile(Path(QStringLiteral("real.CSV"))).rfind("Audit\r\nProject File;", 0), 0u);
    // Nothing was left beside: the folder, the nodes, their links, and the linked file.
    EXPECT_EQ(QDir(Dir.path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              static_cast<qsizetype>(2 * Nodes.size() + 4));
}

// An export onto a full disk keeps the old export file whole, whatever the format, and the error
// names the file and the system's reason; nothing is left beside it.
class FullDiskExportTest : public ReportCommandsTest,
                           public ::testing::WithParamInterface<testsupport::TFullDisk> {};

TEST_P(FullDiskExportTest, KeepsTheOldExportWholeAndNamesTheReason) {
    QDir(Dir.path()).mkdir(QStringLiteral("full"));
    // Room for the three old files (a page each on a tmpfs), or for files of 64 bytes.
    const std::size_t Room = GetParam() == testsupport::TFullDisk::Tmpfs ? 3 * 4096 : 64;
    testsupport::TFullDiskFolder Full(GetParam(), File(QStringLiteral("full")), Room);
    if (!Full.Ready())
        GTEST_SKIP() << Full.Problem();
    const std::vector<std::pair<QString, TExportType>> Exports = {
        {Path(QStringLiteral("full/report.HTM")), etHTML},
        {Path(QStringLiteral("full/report.TXT")), etText},
        {Path(QStringLiteral("full/report.CSV")), etCSV}};
    for (const auto& [Exported, Type] : Exports)
        WriteFile(Exported, "the export made before\r\n");
    for (const auto& [Exported, Type] : Exports) {
        SCOPED_TRACE(Exported.toStdString());
        const QString Text = ExportOver(Exported, Type);
        EXPECT_TRUE(Text.startsWith(QStringLiteral("Cannot write file ") + Exported + QStringLiteral(" (")) &&
                    Text.endsWith(u')'))
            << Text.toStdString();
        EXPECT_EQ(ReadFile(Exported), "the export made before\r\n");
    }
    EXPECT_EQ(QDir(Path(QStringLiteral("full")))
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              3);
}

INSTANTIATE_TEST_SUITE_P(ReportCommandsTest, FullDiskExportTest,
                         ::testing::Values(testsupport::TFullDisk::Tmpfs,
                                           testsupport::TFullDisk::FileSizeLimit),
                         [](const auto& Info) { return std::string(testsupport::FullDiskName(Info.param)); });

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
