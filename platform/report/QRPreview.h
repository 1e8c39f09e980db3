#pragma once
// The preview control: shows one page of a printer object, zoomed, with scroll bars.

#include "platform/report/QRPrinter.h"

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QPointer>

/// Shows the pages of an attached printer object. Attaching registers the control with the
/// printer object and detaching (QRPrinter nullptr, or destroying the control) lets it go;
/// the report's Preview returns once no control holds its printer object.
class TQRPreview : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TQRPreview(QWidget* Parent = nullptr);
    ~TQRPreview() override;

    TQRPrinter* QRPrinter() const { return mPrinter; }
    /// Attaches Printer (nullptr detaches) and shows its first page.
    void SetQRPrinter(TQRPrinter* Printer);

    /// The page shown, from 1. Values outside 1 .. page count are ignored, and so is any
    /// value while no printer object is attached.
    int PageNumber() const { return mPageNumber; }
    void SetPageNumber(int Value);
    /// Shows page Value (same rules as SetPageNumber) from its top.
    void ShowPage(int Value);

    /// Percent of the page's real size; values outside 2 .. 2000 are ignored.
    int Zoom() const { return mZoom; }
    void SetZoom(int Value);
    /// Zooms to 95 % of the smaller of the width and height ratios of control to page.
    void ZoomToFit();
    /// Zooms to 90 % of the width ratio of control to page.
    void ZoomToWidth();
    /// Lays the page out again at the current zoom (after a resize).
    void UpdateZoom();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;

private:
    QSize PageUnits() const;
    double PixelsPerUnit(int Zoom) const;
    QSize PagePixels() const;
    QRect PageRect() const;
    void PagesChanged();
    void Invalidate();

    QPointer<TQRPrinter> mPrinter;
    QMetaObject::Connection mPagesConnection;
    int mPageNumber = 1;
    int mZoom = 100;
    QPixmap mCache;
    bool mCacheValid = false;
};
