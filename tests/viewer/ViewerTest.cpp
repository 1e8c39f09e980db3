// The viewer started as its program block runs: with and without a report file on its command
// line, loading files, and ending when its window closes.
#include "platform/report/QRPreview.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "reports/fPreview.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/NamedPipe.h"
#include "tests/viewer/ViewerTestSupport.h"
#include "viewer/frepsplash.h"
#include "viewer/rptView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace viewertest;

namespace {
class ViewerTest : public ::testing::Test {
protected:
    ViewerTest() { WriteLandscapeReport(File(QStringLiteral("hits.QXV")), 3); }
    ~ViewerTest() override {
        // Whatever happened, the program left no window behind.
        for (QWidget* W : QApplication::topLevelWidgets())
            EXPECT_FALSE(W->isVisible()) << W->metaObject()->className();
        EXPECT_EQ(repView, nullptr);
        EXPECT_EQ(frmSplash, nullptr);
    }
    std::string File(const QString& Name) const { return ToFileName(Dir.filePath(Name)); }
    QString Path(const QString& Name) const { return Dir.filePath(Name); }

    QTemporaryDir Dir;
};

// Waits the second after which the window looks at its command line, and a little more.
void WaitForCommandLine() {
    QTest::qWait(1300);
}
} // namespace

TEST_F(ViewerTest, WithoutArgumentsItShowsTheEmptyReportAndLoadsThroughItsLoadButton) {
    bool Ran = false;
    EXPECT_EQ(RunViewerWith({},
                            [&](TfrmPreview& Window) {
                                EXPECT_EQ(Application->Title(), QStringLiteral("Quorvex"));
                                EXPECT_TRUE(Window.windowState() & Qt::WindowMaximized);
                                // The splash hides once the preview window is active; it is not freed.
                                EXPECT_TRUE(QTest::qWaitFor(
                                    [] { return frmSplash != nullptr && !frmSplash->isVisible(); }));
                                TQRPrinter& Printer = *Window.Printer();
                                EXPECT_EQ(Printer.PageCount(), 1);
                                EXPECT_EQ(Printer.PaperSize(), TQRPaperSize::A4);
                                EXPECT_EQ(Printer.Orientation(), poPortrait);
                                WaitForCommandLine();
                                EXPECT_EQ(Printer.PageCount(), 1);

                                testsupport::AnswerNextModal([&](QWidget* W) {
                                    auto* Dialog = qobject_cast<QFileDialog*>(W);
                                    ASSERT_NE(Dialog, nullptr);
                                    EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("Open Quorvex File"));
                                    EXPECT_EQ(Dialog->nameFilters(),
                                              QStringList{QStringLiteral("Quorvex File (*.QXV)")});
                                    Dialog->selectFile(Path(QStringLiteral("hits.QXV")));
                                    static_cast<QDialog*>(Dialog)->accept();
                                });
                                Window.findChild<QAbstractButton*>(QStringLiteral("Load"))->click();
                                EXPECT_EQ(Printer.PageCount(), 3);
                                // A landscape report file is shown in landscape.
                                EXPECT_EQ(Printer.Orientation(), poLandscape);
                                EXPECT_EQ(Window.QRPreview()->PageNumber(), 1);
                                Ran = true;
                            }),
              0);
    EXPECT_TRUE(Ran);
}

TEST_F(ViewerTest, AReportFileOnTheCommandLineLoadsASecondAfterTheWindowShows) {
    QFile::rename(Path(QStringLiteral("hits.QXV")), Path(QStringLiteral("hits.qxv")));
    RunViewerWith({Path(QStringLiteral("hits.qxv"))}, [&](TfrmPreview& Window) {
        EXPECT_EQ(Window.Printer()->PageCount(), 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Window.Printer()->PageCount() == 3; }, 3000));
        EXPECT_EQ(Window.Printer()->Orientation(), poLandscape);
        EXPECT_EQ(Window.QRPreview()->PageNumber(), 1);
    });
}

TEST_F(ViewerTest, AnArgumentThatIsNotAReportFileIsIgnored) {
    QFile::copy(Path(QStringLiteral("hits.QXV")), Path(QStringLiteral("hits.txt")));
    RunViewerWith({Path(QStringLiteral("hits.txt"))}, [&](TfrmPreview& Window) {
        WaitForCommandLine();
        EXPECT_EQ(Window.Printer()->PageCount(), 1);
        EXPECT_EQ(Window.Printer()->Orientation(), poPortrait);
    });
}

TEST_F(ViewerTest, AMissingReportFileIsReportedAndTheEmptyReportStays) {
    QString Message;
    RunViewerWith({Path(QStringLiteral("missing.QXV"))}, [&](TfrmPreview& Window) {
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
        EXPECT_TRUE(QTest::qWaitFor([] { return testsupport::AllAnswered(); }, 3000));
        EXPECT_EQ(Window.Printer()->PageCount(), 1);
    });
    EXPECT_EQ(Message, QStringLiteral("File does not exist"));

    // A folder of a report's name is named as a folder.
    const QString Folder = Path(QStringLiteral("x.QXV"));
    ASSERT_TRUE(QDir().mkpath(Folder));
    RunViewerWith({Folder}, [&](TfrmPreview& Window) {
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
        EXPECT_TRUE(QTest::qWaitFor([] { return testsupport::AllAnswered(); }, 3000));
        EXPECT_EQ(Window.Printer()->PageCount(), 1);
    });
    EXPECT_EQ(Message, Folder + QStringLiteral(" is a folder, not a report file"));
}

// A report file that is a named pipe is refused with a message naming it, not waited on.
TEST_F(ViewerTest, AReportFileThatIsAPipeIsRefusedNotWaitedOn) {
    testsupport::TNamedPipe Pipe(File(QStringLiteral("pipe.QXV")));
    ASSERT_TRUE(Pipe.Made());
    QString Message;
    RunViewerWith({FromFileName(Pipe.Name())}, [&](TfrmPreview& Window) {
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
        EXPECT_TRUE(QTest::qWaitFor([] { return testsupport::AllAnswered(); }, 3000));
        EXPECT_EQ(Window.Printer()->PageCount(), 1);
    });
    EXPECT_FALSE(Pipe.Released());
    EXPECT_EQ(Message, QStringLiteral("Cannot open file ") + FromFileName(Pipe.Name()) +
                           QStringLiteral(": it is a named pipe, not a file"));
}

TEST_F(ViewerTest, ClosingTheWindowByEscapeEndsTheProgram) {
    RunViewerWith({}, [](TfrmPreview& Window) {
        QTest::keyClick(&Window, Qt::Key_Escape);
        EXPECT_FALSE(Window.isVisible());
    });
}
