// Printing a printer object's pages through Qt's printer, and the report's preview.
#include "platform/report/QRPrinter.h"
#include "platform/report/QuickRep.h"
#include "platform/rtl/TextCodec.h"

#include <QApplication>
#include <QEventLoop>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace {
QPrinter* TheSharedPrinter = nullptr;

void FreeSharedPrinter() {
    delete TheSharedPrinter;
    TheSharedPrinter = nullptr;
}

// The program's printer: the choices of the printer dialogs stay in it from one use to the
// next. It goes away with the application object.
QPrinter& SharedPrinter() {
    if (TheSharedPrinter == nullptr) {
        TheSharedPrinter = new QPrinter(QPrinter::HighResolution);
        qAddPostRoutine(FreeSharedPrinter);
    }
    return *TheSharedPrinter;
}

// Offers the pages' own paper to the printer; the dialogs may still change it.
void OfferPaper(QPrinter& Printer, const TQRPrinter& Pages) {
    const QSizeF MM = QRPaperSizeMM(Pages.PaperSize(), poPortrait);
    Printer.setPageSize(QPageSize(MM, QPageSize::Millimeter));
    Printer.setPageOrientation(Pages.Orientation() == poLandscape ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
}
} // namespace

void TQRPrinter::Print(QPrinter& Printer) const {
    if (PageCount() == 0)
        return;
    Printer.setDocName(QString::fromStdString(Cp1252ToUtf8(mTitle)));
    Printer.setFullPage(true);
    int First = Printer.fromPage() > 0 ? Printer.fromPage() : 1;
    int Last = Printer.toPage() > 0 ? std::min(Printer.toPage(), PageCount()) : PageCount();
    QPainter Painter;
    if (!Painter.begin(&Printer))
        throw Exception("The printer could not be started");
    const QRectF Paper = Printer.pageLayout().fullRectPixels(Printer.resolution());
    for (int Number = First; Number <= Last; ++Number) {
        if (Number > First && !Printer.newPage())
            throw Exception("The printer did not accept a new page");
        const QSize Size = PageSize(Number);
        const double Scale = std::min(Paper.width() / Size.width(), Paper.height() / Size.height());
        qrpage::PlayPage(Painter, Page(Number), QTransform::fromScale(Scale, Scale));
    }
    if (!Painter.end())
        throw Exception("Printing failed");
}

void TQRPrinter::Print() {
    QPrinter& Printer = SharedPrinter();
    OfferPaper(Printer, *this);
    QPrintDialog Dialog(&Printer, QApplication::activeWindow());
    Dialog.setMinMax(1, std::max(1, PageCount()));
    Dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (Dialog.exec() != QDialog::Accepted)
        return;
    Print(Printer);
}

void TQRPrinter::PrinterSetup() {
    QPrinter& Printer = SharedPrinter();
    OfferPaper(Printer, *this);
    QPrintDialog Dialog(&Printer, QApplication::activeWindow());
    Dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    Dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    Dialog.exec();
}

void TQuickRep::Preview() {
    auto Printer = std::make_unique<TQRPrinter>();
    Prepare(*Printer);
    QEventLoop Wait;
    QObject::connect(Printer.get(), &TQRPrinter::PreviewsReleased, &Wait, &QEventLoop::quit);
    if (OnPreview)
        OnPreview(Printer.get());
    if (Printer->PreviewCount() > 0)
        Wait.exec();
}
