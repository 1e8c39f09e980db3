#include "platform/report/QRPreview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {
// Grey border around the page, in pixels.
constexpr int Border = 10;
// Above this many pixels the page is drawn straight onto the screen instead of being cached.
constexpr qint64 MaxCachedPixels = 16'000'000;
} // namespace

TQRPreview::TQRPreview(QWidget* Parent) : QAbstractScrollArea(Parent) {
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

TQRPreview::~TQRPreview() {
    if (mPrinter)
        mPrinter->RemovePreview();
}

void TQRPreview::SetQRPrinter(TQRPrinter* Printer) {
    if (Printer == mPrinter)
        return;
    QObject::disconnect(mPagesConnection);
    // Detach first and attach after: the old printer object's release may end a preview.
    QPointer<TQRPrinter> Old = mPrinter;
    mPrinter = Printer;
    mPageNumber = 1;
    if (Printer != nullptr) {
        Printer->AddPreview();
        mPagesConnection = connect(Printer, &TQRPrinter::PagesChanged, this, &TQRPreview::PagesChanged);
    }
    if (Old)
        Old->RemovePreview();
    UpdateZoom();
}

void TQRPreview::SetPageNumber(int Value) {
    if (!mPrinter || Value < 1 || Value > mPrinter->PageCount() || Value == mPageNumber)
        return;
    mPageNumber = Value;
    UpdateZoom();
}

void TQRPreview::ShowPage(int Value) {
    if (!mPrinter || Value < 1 || Value > mPrinter->PageCount())
        return;
    mPageNumber = Value;
    UpdateZoom();
    verticalScrollBar()->setValue(0);
}

void TQRPreview::SetZoom(int Value) {
    if (Value < 2 || Value > 2000 || Value == mZoom)
        return;
    mZoom = Value;
    UpdateZoom();
}

void TQRPreview::ZoomToFit() {
    const QSize Page = PageUnits();
    const double Unit = PixelsPerUnit(100);
    const double Ratio = std::min(width() / (Page.width() * Unit), height() / (Page.height() * Unit));
    SetZoom(static_cast<int>(Ratio * 95));
}

void TQRPreview::ZoomToWidth() {
    const double Ratio = width() / (PageUnits().width() * PixelsPerUnit(100));
    SetZoom(static_cast<int>(Ratio * 90));
}

void TQRPreview::UpdateZoom() {
    const QSize Page = PagePixels();
    const QSize View = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, Page.width() + 2 * Border - View.width()));
    verticalScrollBar()->setRange(0, std::max(0, Page.height() + 2 * Border - View.height()));
    horizontalScrollBar()->setPageStep(View.width());
    verticalScrollBar()->setPageStep(View.height());
    Invalidate();
}

QSize TQRPreview::PageUnits() const {
    if (mPrinter)
        return mPrinter->PageSize(mPageNumber);
    const QSizeF MM = QRPaperSizeMM(TQRPaperSize::A4, poPortrait);
    return QSize(static_cast<int>(std::lround(MM.width() * qrpage::UnitsPerMM)),
                 static_cast<int>(std::lround(MM.height() * qrpage::UnitsPerMM)));
}

double TQRPreview::PixelsPerUnit(int Zoom) const {
    return logicalDpiX() / qrpage::UnitsPerInch * Zoom / 100.0;
}

QSize TQRPreview::PagePixels() const {
    const QSize Units = PageUnits();
    const double Unit = PixelsPerUnit(mZoom);
    return QSize(std::max(1, static_cast<int>(std::lround(Units.width() * Unit))),
                 std::max(1, static_cast<int>(std::lround(Units.height() * Unit))));
}

QRect TQRPreview::PageRect() const {
    const QSize Page = PagePixels();
    const QSize View = viewport()->size();
    // Centred while it fits, otherwise at the scroll position.
    const int X = Page.width() + 2 * Border <= View.width() ? (View.width() - Page.width()) / 2
                                                            : Border - horizontalScrollBar()->value();
    const int Y = Page.height() + 2 * Border <= View.height() ? (View.height() - Page.height()) / 2
                                                              : Border - verticalScrollBar()->value();
    return QRect(QPoint(X, Y), Page);
}

void TQRPreview::PagesChanged() {
    if (mPrinter && mPageNumber > mPrinter->PageCount())
        mPageNumber = 1;
    UpdateZoom();
}

void TQRPreview::Invalidate() {
    mCacheValid = false;
    mCache = QPixmap();
    viewport()->update();
}

void TQRPreview::paintEvent(QPaintEvent* Event) {
    if (!mPrinter)
        return;
    QPainter Painter(viewport());
    const QRect Page = PageRect();
    Painter.fillRect(Page.translated(3, 3), Qt::black);
    Painter.fillRect(Page, Qt::white);
    if (mPageNumber > mPrinter->PageCount())
        return;
    const QPicture& Picture = mPrinter->Page(mPageNumber);
    const double Unit = PixelsPerUnit(mZoom);
    if (static_cast<qint64>(Page.width()) * Page.height() > MaxCachedPixels) {
        Painter.setClipRect(Event->rect().intersected(Page));
        qrpage::PlayPage(Painter, Picture,
                         QTransform::fromScale(Unit, Unit) * QTransform::fromTranslate(Page.x(), Page.y()));
        return;
    }
    if (!mCacheValid) {
        const qreal Ratio = devicePixelRatioF();
        mCache = QPixmap(Page.size() * Ratio);
        mCache.setDevicePixelRatio(Ratio);
        mCache.fill(Qt::white);
        QPainter CachePainter(&mCache);
        CachePainter.setRenderHint(QPainter::Antialiasing);
        CachePainter.setRenderHint(QPainter::SmoothPixmapTransform);
        qrpage::PlayPage(CachePainter, Picture, QTransform::fromScale(Unit, Unit));
        mCacheValid = true;
    }
    Painter.drawPixmap(Page.topLeft(), mCache);
}

void TQRPreview::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    UpdateZoom();
}

void TQRPreview::scrollContentsBy(int, int) {
    viewport()->update();
}
