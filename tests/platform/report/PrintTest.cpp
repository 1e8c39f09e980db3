#include "tests/platform/report/SampleReport.h"
#include "tests/support/ModalHelper.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

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
