// Pictures of the main window for people to look at: a document with a project, a module's hit
// list and a database page, saved as PNG files in the test's build folder.
#include "components/CDKPathE.h"
#include "components/XDKSteps.h"
#include "platform/ui/Text.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/Main.h"
#include "scanner/ScanAnimation.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "scanner/fScan.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/Named.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using testsupport::Named;

using namespace scannertest;

namespace {

TEST(ScreenshotTest, SavesTheMainWindowShowingAProjectAModuleAndADatabase) {
    QTemporaryDir Dir;
    TfrmKeyWords KeyWords;
    TfrmOptions Options;
    TfrmHit Hit;
    TfrmMain Main(ToFileName(Dir.path()) + "/", {});
    const std::string Name = ToFileName(Dir.filePath(QStringLiteral("audit.qxs")));
    SaveScanDocument(*SampleDocument(), Name);
    Main.OpenFile(Name);
    Main.resize(760, 460);
    Main.show();

    QTreeWidgetItem* Root = Named<QTreeWidget>(Main, "tvwFiles")->topLevelItem(0);
    QTreeWidgetItem* Project = Child(Root, QStringLiteral("Calendar.vbp"));
    QTreeWidgetItem* Database = Child(Root, QStringLiteral("nwind.mdb"));
    Project->setExpanded(true);
    Database->setExpanded(true);
    const std::pair<QTreeWidgetItem*, QString> Shots[] = {
        {Project, QStringLiteral("main-project.png")},
        {Child(Project, QStringLiteral("frmMain.frm")), QStringLiteral("main-module-hits.png")},
        {Database, QStringLiteral("main-database.png")},
    };
    const QDir Out(QCoreApplication::applicationDirPath());
    for (const auto& [Node, File] : Shots) {
        ASSERT_NE(Node, nullptr);
        Named<QTreeWidget>(Main, "tvwFiles")->setCurrentItem(Node);
        QApplication::processEvents();
        ASSERT_TRUE(Main.grab().save(Out.filePath(File)));
    }
    Modified = false;
}

TEST(ScreenshotTest, SavesTheScanWizardsPagesAndTheHitPrompt) {
    const QDir Out(QCoreApplication::applicationDirPath());
    auto Save = [&](QWidget& W, const QString& File) {
        QApplication::processEvents();
        ASSERT_TRUE(W.grab().save(Out.filePath(File)));
    };

    TfrmScanWizard Wizard;
    Wizard.Mode = wmSelectFile;
    Wizard.show();
    Named<TCDKPathEditor>(Wizard, "sbSelect")
        ->SetText(QStringLiteral(QUORVEX_TEST_DATA "/../../examples/Ledger/Ledger.vbp"));
    Wizard.sbSelectDialogDrop();
    Named<QStackedWidget>(Wizard, "nteScan")->setCurrentIndex(0);
    Save(Wizard, QStringLiteral("wizard-intro.png"));

    Named<QStackedWidget>(Wizard, "nteScan")->setCurrentIndex(1);
    Named<QPushButton>(Wizard, "btnNext")->hide();
    Named<QLabel>(Wizard, "lblFilename")->setText(QStringLiteral("FRMMAIN.FRM"));
    Named<QProgressBar>(Wizard, "ProgressBar")->setMaximum(100);
    Named<QProgressBar>(Wizard, "ProgressBar")->setValue(40);
    // The bar is filled as far as the value has come, and no further.
    {
        QProgressBar& Bar = *Named<QProgressBar>(Wizard, "ProgressBar");
        const QImage Shot = Bar.grab().toImage();
        const int Y = Shot.height() / 2;
        EXPECT_EQ(Shot.pixelColor(Shot.width() * 3 / 10, Y), Bar.palette().color(QPalette::Highlight));
        EXPECT_EQ(Shot.pixelColor(Shot.width() / 2, Y), Bar.palette().color(QPalette::Base));
    }
    Named<TScanAnimation>(Wizard, "aniScan")->SetActive(true);
    Save(Wizard, QStringLiteral("wizard-scan.png"));
    Named<TScanAnimation>(Wizard, "aniScan")->SetActive(false);
    Wizard.hide();
    ScanProject.reset();
    ScanMDB.reset();

    TfrmScanHit Prompt;
    THitInfo Hit;
    Hit.Line = "txtPeriod.Text = Format$(Date, \"mm/yy\")";
    Hit.Position = 26;
    Hit.Key = "Date";
    Hit.Variable = "Date";
    Hit.Sub = "Form_Load";
    Prompt.ShowHit(Hit, "/home/audit/Ledger/FRMMAIN.FRM");
    Prompt.show();
    Save(Prompt, QStringLiteral("hit-prompt.png"));
    Prompt.hide();
}

TEST(ScreenshotTest, SavesTheFolderSearchWizardsTwoSteps) {
    const QDir Out(QCoreApplication::applicationDirPath());
    QTemporaryDir Dir;
    for (const char* Name :
         {"Ledger/LEDGER.MAK", "Ledger/Ledger.vbp", "Payroll/Payroll.vbp", "Data/Accounts.mdb"}) {
        QDir().mkpath(QFileInfo(Dir.filePath(QString::fromLatin1(Name))).absolutePath());
        WriteFile(Dir.filePath(QString::fromLatin1(Name)), "");
    }
    TfrmProjects Search;
    Search.show();
    QApplication::processEvents();
    Search.PathEditor()->SetText(Dir.path());
    ASSERT_TRUE(Search.grab().save(Out.filePath(QStringLiteral("folder-search-step1.png"))));
    Search.txtPathDialogDrop();
    Search.Steps()->NextButton->click();
    Search.Projects()->item(1)->setCheckState(Qt::Unchecked);
    QApplication::processEvents();
    ASSERT_TRUE(Search.grab().save(Out.filePath(QStringLiteral("folder-search-step2.png"))));
    EXPECT_EQ(Search.windowTitle(), QStringLiteral("Scanning Wizard : Step 2 of 2"));
    Search.hide();
}

} // namespace
