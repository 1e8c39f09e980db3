#pragma once
// Page geometry of the report engine. Report designs place bands and controls in pixels of a
// 96-dpi design page; pages are recorded as QPictures in page units of 1/720 inch (a tenth of a
// point, so fonts in whole points map to whole pixel sizes); export filters receive positions
// in paper units of a tenth of a millimetre.

#include <QFont>
#include <QRect>
#include <QSet>
#include <QSizeF>
#include <QString>

#include <string>
#include <vector>

class QPainter;
class QPicture;
class QTransform;

namespace qrpage {
constexpr double UnitsPerInch = 720;
constexpr double DesignDpi = 96;
constexpr double UnitsPerDesignPixel = UnitsPerInch / DesignDpi;
constexpr double UnitsPerMM = UnitsPerInch / 25.4;
constexpr double PaperUnitsPerUnit = 254.0 / UnitsPerInch;

/// The design font as recorded on pages: a pixel size in page units, independent of any
/// device's resolution. Point sizes are exact; pixel sizes count as 96-dpi design pixels.
QFont PageFont(const QFont& DesignFont);

/// The design font with its size in points, as export filters expect it.
QFont PointFont(const QFont& DesignFont);

/// Replays a page on Painter, mapping page units to device pixels with PageToDevice.
void PlayPage(QPainter& Painter, const QPicture& Page, const QTransform& PageToDevice);

/// Checks that Data is a page picture the engine can replay safely: the picture header,
/// its checksum and version, a page size, and every record's framing and contents. Returns
/// an empty string and sets PageRect when the page is sound, otherwise what is wrong.
QString CheckPage(const QByteArray& Data, QRect& PageRect);

/// CheckPage for the pages of one file: remembers the pictures already found sound.
class TPageChecker {
public:
    QString Check(const QByteArray& Data, QRect& PageRect);

private:
    QSet<QByteArray> mGoodImages;
};
} // namespace qrpage

enum class TQRPaperSize { Letter, Legal, Executive, Tabloid, A3, A4, A5, B4, B5 };
enum TPrinterOrientation { poPortrait, poLandscape };

/// One paper size of the engine, in millimetres, portrait.
struct TQRPaperDimensions {
    TQRPaperSize Size;
    const char* Name;
    double Width;
    double Height;
};

/// The engine's paper sizes, in the order in which loaded pages are matched against them.
const std::vector<TQRPaperDimensions>& QRPaperSizes();

/// Width and height in millimetres of a paper in an orientation.
QSizeF QRPaperSizeMM(TQRPaperSize Size, TPrinterOrientation Orientation);
