// The viewer started as its program block runs: with and without a report file on its command
// line, loading files, and ending when its window closes.
#include "platform/report/QRPreview.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "reports/fPreview.h"
#include "tests/platform/report/ReportFiles.h"
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

#include <filesystem>

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

// Loads File with the window's Load button; when the file is Refused, returns the text of the
// message box that follows.
QString LoadWithButton(TfrmPreview& Window, const QString& File, bool Refused) {
    QString Message;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QFileDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        Dialog->selectFile(File);
        if (Refused)
            testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
        static_cast<QDialog*>(Dialog)->accept();
    });
    Window.findChild<QAbstractButton*>(QStringLiteral("Load"))->click();
    EXPECT_TRUE(testsupport::AllAnswered());
    return Message;
}

std::vector<char> ReadBytes(const std::string& Name) {
    TFileStream File(Name, fmOpenRead);
    std::vector<char> Bytes(static_cast<std::size_t>(File.Size()));
    File.ReadBuffer(Bytes.data(), File.Size());
    return Bytes;
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
                                EXPECT_EQ(Window.StatusText(), QStringLiteral("Page 1 of 1"));
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
                                EXPECT_EQ(Window.StatusText(), QStringLiteral("Page 1 of 3"));
                                // A landscape report file is shown in landscape.
                                EXPECT_EQ(Printer.Orientation(), poLandscape);
                                EXPECT_EQ(Window.QRPreview()->PageNumber(), 1);
                                // A file without pages names no page.
                                TQRPrinter Pageless;
                                Pageless.SetPages({});
                                ASSERT_TRUE(Pageless.Save(File(QStringLiteral("none.QXV"))));
                                LoadWithButton(Window, Path(QStringLiteral("none.QXV")), false);
                                EXPECT_EQ(Printer.PageCount(), 0);
                                EXPECT_EQ(Window.StatusText(), QString());
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

// Files built to expand without bound or to hide pages are refused with a message naming the
// fault; the pages shown stay and the status line no longer says "Working...".
TEST_F(ViewerTest, ReportFilesPastWhatTheyCouldHoldAreRefusedWithAMessage) {
    using namespace reportfiles;
    const std::vector<char> Plain = ReadBytes(File(QStringLiteral("hits.QXV")));
    const std::vector<char> Packed = Repacked(Plain, true);
    std::vector<char> FewerCounted = Plain, NoneCounted = Plain;
    Put32(FewerCounted, 8, 2);
    Put32(NoneCounted, 8, 0);
    const std::pair<std::vector<char>, const char*> Cases[] = {
        // One page of 9 MB, and 20 pages of 4 MB, in files of a few kilobytes.
        {HighExpansionFile(Packed, 9 << 20, 1),
         "page 1 expands to more than a report page holds (9437184 bytes)"},
        {HighExpansionFile(Packed, 4 << 20, 20),
         "its pages expand to more than a report file of its size holds (over 64 MB)"},
        {FewerCounted, "its page count (2) is lower than the page records it holds"},
        {NoneCounted, "its page count (0) is lower than the page records it holds"},
    };
    RunViewerWith({}, [&](TfrmPreview& Window) {
        for (const auto& [Bytes, Fault] : Cases) {
            const QString Name = Path(QStringLiteral("hostile.QXV"));
            WriteFile(ToFileName(Name), Bytes);
            EXPECT_EQ(LoadWithButton(Window, Name, true).toStdString(),
                      "Cannot load report file " + ToFileName(Name) + ": " + Fault);
            EXPECT_EQ(Window.Printer()->PageCount(), 1) << Fault;
            EXPECT_EQ(Window.StatusText(), QString()) << Fault;
        }
        // A file larger than any report file is refused by its size, not read whole.
        const QString Huge = Path(QStringLiteral("huge.QXV"));
        WriteFile(ToFileName(Huge), std::vector<char>(Plain.begin(), Plain.begin() + 124));
        std::filesystem::resize_file(ToFileName(Huge), std::uintmax_t{3} << 30);
        EXPECT_EQ(LoadWithButton(Window, Huge, true).toStdString(),
                  "Cannot load report file " + ToFileName(Huge) +
                      ": it is larger than a report file can be (2 GB or more)");
        EXPECT_EQ(Window.Printer()->PageCount(), 1);
        // Within what it could hold, a file that expands much still loads.
        WriteFile(File(QStringLiteral("dense.QXV")), HighExpansionFile(Packed, 4 << 20, 3));
        LoadWithButton(Window, Path(QStringLiteral("dense.QXV")), false);
        EXPECT_EQ(Window.StatusText(), QStringLiteral("Page 1 of 3"));
    });
}

// Pictures are decoded when a page draws them: a picture that does not decode is named when its
// page is shown, and the page is shown without it, whether the file keeps it in its table or (as
// another program might write it) in the page.
TEST_F(ViewerTest, APictureThatCannotBeDecodedIsNamedWhenItsPageIsShown) {
    using namespace reportfiles;
    std::vector<QPicture> Pages;
    for (int I = 0; I < 2; ++I) {
        QImage Picture(40, 40, QImage::Format_RGB32);
        Picture.fill(I == 0 ? Qt::red : Qt::blue);
        QPicture Page;
        Page.setBoundingRect(QRect(0, 0, 8419, 5953));
        QPainter P(&Page);
        P.drawImage(QRectF(500, 2000, 3000, 3000), Picture);
        // Drawn after the picture, so that it shows whether the page's replay went past it.
        P.setFont(QFont(QStringLiteral("Arial"), 40));
        P.drawText(500, 1000, QStringLiteral("Page %1").arg(I + 1));
        P.end();
        Pages.push_back(Page);
    }
    TQRPrinter Source;
    Source.SetPages(std::move(Pages));
    std::vector<char> Bytes = SaveToBytes(Source);
    std::vector<char> Header(Bytes.begin(), Bytes.begin() + 128);
    Put32(Header, 124, 0); // no pictures in the table
    std::vector<QByteArray> HeldPages{QByteArray(Source.Page(1).data(), Source.Page(1).size()),
                                      QByteArray(Source.Page(2).data(), Source.Page(2).size())};
    BreakPixels(HeldPages[1].data(), HeldPages[1].size());
    FixChecksum(HeldPages[1]);
    WriteFile(File(QStringLiteral("held.QXV")), WithPages(Header, HeldPages));
    BreakPixels(Bytes, 1);
    WriteFile(File(QStringLiteral("pictures.QXV")), Bytes);

    for (const QString& Name : {QStringLiteral("pictures.QXV"), QStringLiteral("held.QXV")})
        RunViewerWith({Path(Name)}, [&](TfrmPreview& Window) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return Window.Printer()->PageCount() == 2; }, 3000));
            TQRPreview& View = *Window.QRPreview();
            // Drawn at a tenth of page units, the picture covers 50..350 x 200..500.
            const QPoint InPicture(200, 350);
            View.viewport()->grab();
            EXPECT_EQ(Render(*Window.Printer(), 1).pixelColor(InPicture), QColor(Qt::red));

            QString Message;
            testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
            Window.findChild<QAbstractButton*>(QStringLiteral("NextPage"))->click();
            View.viewport()->grab();
            EXPECT_TRUE(QTest::qWaitFor([] { return testsupport::AllAnswered(); }, 3000));
            EXPECT_EQ(Message.toStdString(),
                      "Picture 2 of the report cannot be drawn: it is damaged. Page 2 is shown without it.")
                << Name.toStdString();
            // The page's text is there; where the picture was, the paper.
            const QImage Second = Render(*Window.Printer(), 2);
            EXPECT_GT(InkedPixels(Second), 20) << Name.toStdString();
            EXPECT_EQ(Second.pixelColor(InPicture), QColor(Qt::white));
        });
}
