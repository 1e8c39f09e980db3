#include "tests/platform/report/ReportFiles.h"
#include "tests/platform/report/SampleReport.h"
#include "tests/support/ModalHelper.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

namespace {
int PdfPages(const QString& Name) {
    QFile File(Name);
    if (!File.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray Data = File.readAll();
    return static_cast<int>(
        QString::fromLatin1(Data).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}
} // namespace

TEST(ReportPrint, PrintsThePagesThroughQPrinter) {
    TSampleReport Report(60);
    TQRPrinter Pages;
    Report.Prepare(Pages);
    ASSERT_EQ(Pages.PageCount(), 4);

    QTemporaryDir Dir;
    const QString All = Dir.filePath(QStringLiteral("all.pdf"));
    QPrinter Printer(QPrinter::HighResolution);
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(All);
    Printer.setPageSize(QPageSize(QPageSize::A4));
    Printer.setPageOrientation(QPageLayout::Landscape);
    Pages.Print(Printer);
    EXPECT_EQ(PdfPages(All), 4);
    EXPECT_EQ(Printer.docName(), QStringLiteral("Sample"));

    const QString Some = Dir.filePath(QStringLiteral("some.pdf"));
    Printer.setOutputFileName(Some);
    Printer.setFromTo(2, 3);
    Pages.Print(Printer);
    EXPECT_EQ(PdfPages(Some), 2);
}

// However many pictures turn out not to decode, a page shown or a print names them in one message.
TEST(ReportPrint, PicturesThatDoNotDecodeAreNamedInOneMessagePerPageOrPrint) {
    using namespace reportfiles;
    std::vector<QPicture> Pages(2);
    for (int Page = 0; Page < 2; ++Page) {
        Pages[Page].setBoundingRect(QRect(0, 0, 8419, 5953));
        QPainter P(&Pages[Page]);
        for (int I = 0; I < (Page == 0 ? 12 : 2); ++I) {
            QImage Picture(4, 4, QImage::Format_RGB32);
            Picture.fill(QColor(Page * 100 + I, 0, 0));
            P.drawImage(QRectF(I * 100, 0, 80, 80), Picture);
        }
    }
    TQRPrinter Source;
    Source.SetPages(std::move(Pages));
    std::vector<char> File = SaveToBytes(Source);
    for (int I = 0; I < 14; ++I)
        BreakPixels(File, I);
    TQRPrinter Loaded;
    QStringList Messages;
    QObject::connect(&Loaded, &TQRPrinter::PictureUnreadable, [&](const QString& M) { Messages << M; });

    LoadFromBytes(Loaded, File);
    Loaded.Page(1);
    Loaded.Page(2);
    EXPECT_EQ(Messages,
              QStringList({QStringLiteral("Pictures 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 2 more of the report "
                                          "cannot be drawn: they are damaged. Page 1 is shown without them."),
                           QStringLiteral("Pictures 13 and 14 of the report cannot be drawn: they are "
                                          "damaged. Page 2 is shown without them.")}));

    Messages.clear();
    LoadFromBytes(Loaded, File);
    QTemporaryDir Dir;
    QPrinter Printer(QPrinter::HighResolution);
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(Dir.filePath(QStringLiteral("broken.pdf")));
    Loaded.Print(Printer);
    EXPECT_EQ(Messages,
              QStringList(QStringLiteral("Pictures 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 4 more of the report "
                                         "cannot be drawn: they are damaged. The pages are printed without "
                                         "them.")));
}

TEST(ReportPrint, ThePrintDialogOffersThePagesAndTheirPaper) {
    TSampleReport Report(60);
    TQRPrinter Pages;
    Report.Prepare(Pages);
    int Min = 0, Max = 0;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QPrintDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        Min = Dialog->minPage();
        Max = Dialog->maxPage();
        Orientation = Dialog->printer()->pageLayout().orientation();
        Dialog->reject();
    });
    Pages.Print();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Min, 1);
    EXPECT_EQ(Max, 4);
    EXPECT_EQ(Orientation, QPageLayout::Landscape);

    // Printer setup: the same printer, without a page range to choose.
    QString Title;
    bool Range = true;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QPrintDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        Title = Dialog->windowTitle();
        Range = Dialog->testOption(QAbstractPrintDialog::PrintPageRange);
        Orientation = Dialog->printer()->pageLayout().orientation();
        Dialog->reject();
    });
    Report.Page.Orientation = poPortrait;
    Report.Prepare(Pages);
    Pages.PrinterSetup();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Title, QStringLiteral("Printer Setup"));
    EXPECT_FALSE(Range);
    EXPECT_EQ(Orientation, QPageLayout::Portrait);
}

TEST(ReportPrint, PrinterSetupOffersPdfAndItsPaperReachesTheNextPrint) {
    // The sample is landscape A4. In Printer Setup the user picks A5 portrait through the
    // printer's properties; the next print dialog keeps it and the file printed has that paper.
    TSampleReport Report(60);
    TQRPrinter Pages;
    Report.Prepare(Pages);
    QTemporaryDir Dir;
    const QString Pdf = Dir.filePath(QStringLiteral("setup.pdf"));

    QStringList Printers;
    QString Button;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QPrintDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        // Where no printer is installed, printing to a PDF file is still offered.
        if (auto* Printer = Dialog->findChild<QComboBox*>(QStringLiteral("printers")))
            for (int I = 0; I < Printer->count(); ++I)
                Printers << Printer->itemText(I);
        Button = Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
        testsupport::AnswerNextModal([](QWidget* Properties) {
            auto* Size = Properties->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
            ASSERT_NE(Size, nullptr);
            Size->setCurrentIndex(Size->findText(QStringLiteral("A5"), Qt::MatchStartsWith));
            Properties->findChild<QRadioButton*>(QStringLiteral("portrait"))->click();
            qobject_cast<QDialog*>(Properties)->accept();
        });
        Dialog->findChild<QPushButton*>(QStringLiteral("properties"))->click();
        Dialog->accept();
    });
    Pages.PrinterSetup();
    ASSERT_TRUE(testsupport::AllAnswered());
    EXPECT_TRUE(Printers.contains(QStringLiteral("Print to File (PDF)")))
        << Printers.join(u',').toStdString();
    EXPECT_EQ(Button, QStringLiteral("OK"));

    QPageLayout Offered;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QPrintDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        Offered = Dialog->printer()->pageLayout();
        Dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(Pdf);
        Dialog->accept();
    });
    Pages.Print();
    ASSERT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Offered.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(Offered.orientation(), QPageLayout::Portrait);
    // A5 portrait is 420 x 595 points.
    QFile File(Pdf);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch Box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
            .match(QString::fromLatin1(File.readAll()));
    ASSERT_TRUE(Box.hasMatch());
    EXPECT_NEAR(Box.captured(1).toDouble(), 420, 1);
    EXPECT_NEAR(Box.captured(2).toDouble(), 595, 1);
    EXPECT_EQ(PdfPages(Pdf), 4);
}

TEST(ReportPrint, TheBusyCursorShowsWhilePagesAreMadeAndNotInThePreview) {
    TSampleReport Report(60);
    auto Shape = [] {
        return QApplication::overrideCursor() != nullptr ? QApplication::overrideCursor()->shape()
                                                         : Qt::ArrowCursor;
    };
    std::vector<Qt::CursorShape> WhileMaking;
    const TQRNeedDataEvent NeedData = Report.OnNeedData;
    Report.OnNeedData = [&](TObject* Sender, bool& More) {
        WhileMaking.push_back(Shape());
        NeedData(Sender, More);
    };
    Qt::CursorShape InPreview = Qt::WaitCursor;
    Report.OnPreview = [&](TObject*) { InPreview = Shape(); };
    Report.Preview();
    ASSERT_FALSE(WhileMaking.empty());
    EXPECT_TRUE(
        std::all_of(WhileMaking.begin(), WhileMaking.end(), [](auto S) { return S == Qt::WaitCursor; }));
    EXPECT_EQ(InPreview, Qt::ArrowCursor);
}
