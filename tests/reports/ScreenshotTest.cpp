// A picture of the preview window on the first page of a hit report, for people to look at,
// saved as a PNG file in the test's build folder.
#include "platform/report/QRPreview.h"
#include "reports/fPreview.h"
#include "reports/rptHits.h"
#include "tests/reports/ReportsTestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

using namespace reportstest;

TEST(ScreenshotTest, SavesThePreviewWindowOnPageOne) {
    TImageList Images(32, 32);
    FillImages(Images);
    auto Document = std::make_unique<TQuorvex>();
    Document->Name = "Calendar audit";
    Document->AddProject(
        NewProject("Calendar.vbp", {NewModule("frmMain.frm", 12, 7), NewModule("modDates.bas", 9, 8)}));
    TrepHits Report(Document, Images);
    const QString File =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("preview-page1.png"));
    WithPreview(Report, [&](TfrmPreview& Window) {
        Window.showNormal();
        Window.resize(1000, 700);
        QApplication::processEvents();
        EXPECT_EQ(Window.QRPreview()->PageNumber(), 1);
        ASSERT_TRUE(Window.grab().save(File));
    });
}
