// Pictures of the main window for people to look at: a document with a project, a module's hit
// list and a database page, saved as PNG files in the test's build folder.
#include "platform/ui/Text.h"
#include "scanner/DocumentFile.h"
#include "scanner/Main.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "tests/scanner/ScannerTestSupport.h"

#include "ui_Main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace scannertest;

namespace {

TEST(ScreenshotTest, SavesTheMainWindowShowingAProjectAModuleAndADatabase) {
    QTemporaryDir Dir;
    TfrmKeyWords KeyWords;
    TfrmOptions Options;
    TfrmHit Hit;
    TfrmMain Main(ToFileName(Dir.path()) + "/", {});
    const std::string Name = ToFileName(Dir.filePath(QStringLiteral("audit.qxs")));
    WriteDocument(*SampleDocument(), Name);
    Main.OpenFile(Name);
    Main.resize(760, 460);
    Main.show();

    QTreeWidgetItem* Root = Main.ui->tvwFiles->topLevelItem(0);
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
        Main.ui->tvwFiles->setCurrentItem(Node);
        QApplication::processEvents();
        ASSERT_TRUE(Main.grab().save(Out.filePath(File)));
        const QImage Saved(Out.filePath(File));
        EXPECT_EQ(Saved.size(), Main.size());
    }
    Modified = false;
}

} // namespace
