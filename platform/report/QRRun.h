#pragma once
// State of one report run shared by the report and its controls: where pages are drawn, the
// export filter that receives texts, the page number, and measured fonts.

#include "platform/report/QuickRep.h"

#include <QFontMetricsF>

#include <memory>
#include <vector>

class QPainter;

class TQRPrintContext {
public:
    /// A design font prepared for pages: its page font, its size in points for filters, and
    /// its metrics in page units.
    struct TFontInfo {
        QFont Design;
        QFont Page;
        QFont Points;
        QFontMetricsF Metrics;
        double Ascent;
        double LineHeight;
    };

    /// Where pages are drawn; none when the run only exports.
    QPainter* Painter = nullptr;
    TQRExportFilter* Filter = nullptr;
    /// The report's distinct pictures, which the pages drawn refer to; none when only exporting.
    qrpage::TPictureTable* Pictures = nullptr;
    int PageNumber = 0;

    const TFontInfo& FontInfo(const QFont& Design);
    /// Hands a text at page-unit position X, Y to the export filter, if any.
    void PlaceText(double X, double Y, const TFontInfo& Font, const QColor& Background, TAlignment Alignment,
                   const std::string& Text);

private:
    std::vector<std::unique_ptr<TFontInfo>> mFonts;
};
