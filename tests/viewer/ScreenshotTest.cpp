// A picture of the viewer showing a landscape report file, for people to look at, saved as a
// PNG file in the test's build folder.
#include "platform/ui/Text.h"
#include "reports/fPreview.h"
#include "tests/viewer/ViewerTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace viewertest;

TEST(ScreenshotTest, SavesTheViewerShowingALandscapeReport) {
    QTemporaryDir Dir;
    const QString Report = Dir.filePath(QStringLiteral("landscape.QXV"));
    WriteLandscapeReport(ToFileName(Report), 2);
    const QString File =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("viewer-landscape.png"));
    RunViewerWith({Report}, [&](TfrmPreview& Window) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return Window.Printer()->PageCount() == 2; }, 3000));
        Window.showNormal();
        Window.resize(900, 640);
        Window.findChild<QAbstractButton*>(QStringLiteral("ZoomToFit"))->click();
        QApplication::processEvents();
        ASSERT_TRUE(Window.grab().save(File));
    });
}
