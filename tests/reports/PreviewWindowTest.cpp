// The preview window on the hit report: paging and its status line, the zoom group, saving and
// loading report files. The viewer's tests cover the command-line timer and closing by Esc.
#include "platform/report/QRPreview.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "reports/fPreview.h"
#include "reports/rptHits.h"
#include "tests/reports/ReportsTestSupport.h"
#include "tests/support/ModalHelper.h"

#include <QFile>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace reportstest;

namespace {
class PreviewWindowTest : public ::testing::Test {
protected:
    PreviewWindowTest() {
        FillImages(Images);
        Document = std::make_unique<TQuorvex>();
        Document->Name = "Twelve pages";
        std::vector<TModuleInfo*> Modules;
        for (int M = 0; M < 13; ++M)
            Modules.push_back(NewModule("module" + std::to_string(M) + ".bas", 15));
        Document->AddProject(NewProject("Big.vbp", Modules));
    }

    static void Click(TfrmPreview& Window, const char* Button) {
        auto* B = Window.findChild<QAbstractButton*>(QString::fromLatin1(Button));
        ASSERT_NE(B, nullptr) << Button;
        B->click();
    }
    QString File(const QString& Name) const { return Dir.filePath(Name); }

    QTemporaryDir Dir;
    TImageList Images{32, 32};
    std::unique_ptr<TQuorvex> Document;
    TrepHits Report{Document, Images};
};

std::vector<QByteArray> PageBytes(const TQRPrinter& Printer) {
    std::vector<QByteArray> Pages;
    for (int I = 1; I <= Printer.PageCount(); ++I)
        Pages.emplace_back(Printer.Page(I).data(), Printer.Page(I).size());
    return Pages;
}
} // namespace

TEST_F(PreviewWindowTest, PageButtonsStayWithinTheReportAndShowWhereTheyAre) {
    WithPreview(Report, [&](TfrmPreview& Window) {
        ASSERT_EQ(Window.Printer()->PageCount(), 12);
        EXPECT_EQ(Window.windowTitle(), QStringLiteral("Report Preview"));
        EXPECT_TRUE(Window.windowState() & Qt::WindowMaximized);
        // The report is ready when the window shows it.
        EXPECT_EQ(Window.StatusText(), QStringLiteral("Page 1 of 12"));
        TQRPreview& View = *Window.QRPreview();
        const std::pair<const char*, std::pair<int, const char*>> Steps[] = {
            {"LastPage", {12, "Page 12 of 12"}}, {"NextPage", {12, "Page 12 of 12"}},
            {"PrevPage", {11, "Page 11 of 12"}}, {"FirstPage", {1, "Page 1 of 12"}},
            {"PrevPage", {1, "Page 1 of 12"}},   {"NextPage", {2, "Page 2 of 12"}},
        };
        for (const auto& [Button, Expected] : Steps) {
            Click(Window, Button);
            EXPECT_EQ(View.PageNumber(), Expected.first) << Button;
            EXPECT_EQ(Window.StatusText(), QString::fromLatin1(Expected.second)) << Button;
        }
    });
    // The closed window let go of its printer object; it stays, hidden, until the report goes.
    ASSERT_EQ(Report.PreviewWindows().size(), 1u);
    EXPECT_FALSE(Report.PreviewWindows().front()->isVisible());
    EXPECT_EQ(Report.PreviewWindows().front()->Printer(), nullptr);
}

TEST_F(PreviewWindowTest, OneZoomButtonIsDownAndEachZoomsThePreview) {
    WithPreview(Report, [&](TfrmPreview& Window) {
        const std::pair<const char*, const char*> Hints[] = {{"ZoomToFit", "Zoom to fit"},
                                                             {"ZoomTo100", "Zoom to 100%"},
                                                             {"ZoomToWidth", "Zoom to page width"},
                                                             {"FirstPage", "First Page"},
                                                             {"PrevPage", "Previous page"},
                                                             {"NextPage", "Next page"},
                                                             {"LastPage", "Last page"},
                                                             {"PrintSetup", "Printer setup"},
                                                             {"Print", "Print"},
                                                             {"Save", "Save"},
                                                             {"Load", "Load"}};
        for (const auto& [Name, Hint] : Hints) {
            auto* B = Window.findChild<QToolButton*>(QString::fromLatin1(Name));
            ASSERT_NE(B, nullptr) << Name;
            EXPECT_EQ(B->toolTip(), QString::fromLatin1(Hint));
            EXPECT_FALSE(B->icon().isNull()) << Name;
        }
        auto Down = [&] {
            QStringList Names;
            for (const char* Name : {"ZoomToFit", "ZoomTo100", "ZoomToWidth"})
                if (Window.findChild<QToolButton*>(QString::fromLatin1(Name))->isChecked())
                    Names << QString::fromLatin1(Name);
            return Names.join(u',');
        };
        TQRPreview& View = *Window.QRPreview();
        EXPECT_EQ(Down(), QStringLiteral("ZoomToWidth"));
        EXPECT_EQ(View.Zoom(), 100);

        // Landscape A4 in pixels at 100 %.
        const double Width = 297 / 25.4 * View.logicalDpiX(), Height = 210 / 25.4 * View.logicalDpiY();
        Click(Window, "ZoomToFit");
        EXPECT_EQ(Down(), QStringLiteral("ZoomToFit"));
        EXPECT_EQ(View.Zoom(), static_cast<int>(std::min(View.width() / Width, View.height() / Height) * 95));
        Click(Window, "ZoomTo100");
        EXPECT_EQ(Down(), QStringLiteral("ZoomTo100"));
        EXPECT_EQ(View.Zoom(), 100);
        Click(Window, "ZoomToWidth");
        EXPECT_EQ(Down(), QStringLiteral("ZoomToWidth"));
        EXPECT_EQ(View.Zoom(), static_cast<int>(View.width() / Width * 90));
    });
}

TEST_F(PreviewWindowTest, PrintAndPrinterSetupOfferTheAttachedPages) {
    WithPreview(Report, [&](TfrmPreview& Window) {
        int Last = 0;
        bool Range = false;
        auto Answer = [&](QWidget* W) {
            auto* Dialog = qobject_cast<QPrintDialog*>(W);
            ASSERT_NE(Dialog, nullptr);
            Last = Dialog->maxPage();
            Range = Dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            Dialog->reject();
        };
        testsupport::AnswerNextModal(Answer);
        Click(Window, "Print");
        EXPECT_TRUE(Range);
        EXPECT_EQ(Last, 12);
        testsupport::AnswerNextModal(Answer);
        Click(Window, "PrintSetup");
        EXPECT_TRUE(testsupport::AllAnswered());
        EXPECT_FALSE(Range);
    });
}

TEST_F(PreviewWindowTest, ASavedReportLoadsBackAsTheSamePages) {
    std::vector<QByteArray> Saved;
    WithPreview(Report, [&](TfrmPreview& Window) {
        Saved = PageBytes(*Window.Printer());
        // A name typed without extension gets the report file's.
        AnswerFileDialog(File(QStringLiteral("hits")));
        Click(Window, "Save");
        EXPECT_TRUE(testsupport::AllAnswered());
    });
    ASSERT_TRUE(QFile::exists(File(QStringLiteral("hits.QXV"))));
    const std::string Bytes = ReadAll(File(QStringLiteral("hits.QXV")));

    // Another preview, of another document, loads the file.
    Document = std::make_unique<TQuorvex>();
    WithPreview(Report, [&](TfrmPreview& Window) {
        EXPECT_EQ(Window.Printer()->PageCount(), 1);
        Click(Window, "LastPage");
        EXPECT_EQ(Window.StatusText(), QStringLiteral("Page 1 of 1"));
        AnswerFileDialog(File(QStringLiteral("hits.QXV")));
        Click(Window, "Load");
        EXPECT_EQ(PageBytes(*Window.Printer()), Saved);
        EXPECT_EQ(Window.Printer()->Orientation(), poLandscape);
        EXPECT_EQ(Window.QRPreview()->PageNumber(), 1);
        // Once the file's pages are ready the status line says where they are.
        EXPECT_EQ(Window.StatusText(), QStringLiteral("Page 1 of 12"));

        // Saving as "hits" again asks before the file of that name with the extension is replaced.
        QString Question;
        AnswerFileDialog(File(QStringLiteral("hits")), 0,
                         [&] { testsupport::AnswerNextMessageBox(QMessageBox::No, &Question); });
        Click(Window, "Save");
        EXPECT_TRUE(testsupport::AllAnswered());
        EXPECT_EQ(Question, File(QStringLiteral("hits.QXV")) +
                                QStringLiteral(" already exists.\nDo you want to replace it?"));
        EXPECT_EQ(ReadAll(File(QStringLiteral("hits.QXV"))), Bytes);
    });
}

TEST_F(PreviewWindowTest, MissingAndDamagedFilesLeaveThePagesShown) {
    QFile Damaged(File(QStringLiteral("damaged.QXV")));
    ASSERT_TRUE(Damaged.open(QIODevice::WriteOnly));
    Damaged.write(QByteArray(200, 'x'));
    Damaged.close();
    WithPreview(Report, [&](TfrmPreview& Window) {
        const std::vector<QByteArray> Before = PageBytes(*Window.Printer());
        QString Message;
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
        Application->Guard([&] { Window.LoadReportFile(ToFileName(File(QStringLiteral("missing.QXV")))); });
        EXPECT_EQ(Message, QStringLiteral("File does not exist"));

        AnswerFileDialog(File(QStringLiteral("damaged.QXV")), 0,
                         [&] { testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message); });
        Click(Window, "Load");
        EXPECT_TRUE(testsupport::AllAnswered());
        EXPECT_TRUE(Message.startsWith(QStringLiteral("Cannot load report file "))) << Message.toStdString();
        EXPECT_EQ(PageBytes(*Window.Printer()), Before);
        // The refused file leaves no "Working..." behind.
        EXPECT_EQ(Window.StatusText(), QString());
    });
}
