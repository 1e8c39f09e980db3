// Printing a printer object's pages through Qt's printer, and the report's preview.
#include "platform/report/QRPrinter.h"
#include "platform/report/QuickRep.h"
#include "platform/rtl/TextCodec.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include <memory>

namespace {
QPrinter* TheSharedPrinter = nullptr;
// Set once the user has accepted Printer Setup: from then on the paper and orientation chosen
// there are the ones printed on, whatever the report's own.
bool TheSetupChosen = false;

// The busy cursor while pages are produced or printed; the window does not react meanwhile.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

void FreeSharedPrinter() {
    delete TheSharedPrinter;
    TheSharedPrinter = nullptr;
    TheSetupChosen = false;
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

// Offers the pages' own paper to the printer unless the user chose one in Printer Setup; the
// dialogs may still change it. Where no printer is installed, the printer writes a PDF file.
void OfferPaper(QPrinter& Printer, const TQRPrinter& Pages) {
    if (QPrinterInfo::availablePrinterNames().isEmpty() && Printer.outputFormat() != QPrinter::PdfFormat) {
        Printer.setOutputFormat(QPrinter::PdfFormat);
        const QString Title = QString::fromStdString(Cp1252ToUtf8(Pages.Title()));
        Printer.setOutputFileName(QDir::home().filePath((Title.isEmpty() ? QStringLiteral("report") : Title) +
                                                        QStringLiteral(".pdf")));
    }
    if (TheSetupChosen)
        return;
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
    TBusyCursor Busy;
    QPainter Painter;
    if (!Painter.begin(&Printer))
        throw Exception("The printer could not be started");
    const QRectF Paper = Printer.pageLayout().fullRectPixels(Printer.resolution());
    // Pictures that do not decode are named once for the whole print.
    std::vector<int> Unreadable;
    for (int Number = First; Number <= Last; ++Number) {
        if (Number > First && !Printer.newPage())
            throw Exception("The printer did not accept a new page");
        const QSize Size = PageSize(Number);
        const double Scale = std::min(Paper.width() / Size.width(), Paper.height() / Size.height());
        qrpage::PlayPage(Painter, Drawn(Number, Unreadable), QTransform::fromScale(Scale, Scale));
    }
    if (!Painter.end())
        throw Exception("Printing failed");
    if (!Unreadable.empty())
        emit PictureUnreadable(UnreadableMessage(Unreadable, QStringLiteral("The pages are printed")));
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
    // No page range to choose, but printing to a file stays offered: where no printer is
    // installed it is the only choice.
    Dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // The dialog only sets the printer up; its button does not print.
    if (auto* Buttons = Dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* Ok = Buttons->button(QDialogButtonBox::Ok))
            Ok->setText(QStringLiteral("OK"));
    if (Dialog.exec() == QDialog::Accepted)
        TheSetupChosen = true;
}

void TQuickRep::Preview() {
    auto Printer = std::make_unique<TQRPrinter>();
    {
        TBusyCursor Busy;
        Prepare(*Printer);
    }
    QEventLoop Wait;
    QObject::connect(Printer.get(), &TQRPrinter::PreviewsReleased, &Wait, &QEventLoop::quit);
    if (OnPreview)
        OnPreview(Printer.get());
    if (Printer->PreviewCount() > 0)
        Wait.exec();
}
