#pragma once
// Page geometry of the report engine. Report designs place bands and controls in pixels of a
// 96-dpi design page; pages are recorded as QPictures in page units of 1/720 inch (a tenth of a
// point, so fonts in whole points map to whole pixel sizes); export filters receive positions
// in paper units of a tenth of a millimetre.

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QRect>
#include <QSizeF>
#include <QString>

#include <string>
#include <vector>

class QImage;
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

/// The distinct pictures of one report, each kept once as a PNG file. Pages refer to them
/// by number (from 0) instead of holding a copy of the picture at every use.
class TPictureTable {
public:
    /// The number of Image, encoding it the first time it (or an image of the same PNG) comes.
    int Add(const QImage& Image);
    /// The number of a PNG file that was checked, adding it when it is new.
    int AddPng(const QByteArray& Png);
    int Count() const { return static_cast<int>(mPngs.size()); }
    const QByteArray& Png(int Index) const { return mPngs[static_cast<std::size_t>(Index)]; }
    /// Width x height of picture Index, read from its PNG header.
    quint64 Pixels(int Index) const;
    /// Whether picture Index decodes: learnt when it is first asked, then remembered.
    bool Drawable(int Index) const;

private:
    std::vector<QByteArray> mPngs;
    /// Per picture: 1 decodes, -1 does not, 0 not yet known.
    mutable std::vector<qint8> mDrawable;
    QHash<QByteArray, int> mByPng;
    QHash<qint64, int> mByImage;
};

/// Draws picture Index of the report's table on a page being recorded. The page holds a
/// stand-in until ShareImages turns it into a reference to the table.
void DrawTableImage(QPainter& Painter, const QRectF& Target, int Index, const QRectF& Source);

/// A recorded page as report files and printer objects keep it: every PNG held in the page,
/// and with StandIns every stand-in of DrawTableImage, becomes a reference to Table (pictures
/// held in the page are added to it). Only a page just recorded holds stand-ins; in a page read
/// from a file such a polyline is a polyline.
QByteArray ShareImages(const QByteArray& Page, TPictureTable& Table, bool StandIns);
/// The page as Qt replays it: every reference to Table replaced by the picture's PNG. A picture
/// that does not decode is left out (nothing is drawn in its place) and its number added to
/// Undrawable.
QByteArray ResolveImages(const QByteArray& Page, const TPictureTable& Table,
                         std::vector<int>* Undrawable = nullptr);

/// Checks that Png is a picture a page may refer to: a sound PNG file of bounded size whose
/// chunks match their checksums. Returns an empty string when it is, otherwise what is wrong.
/// Whether its pixels decode is learnt when it is drawn (TPictureTable::Drawable).
QString CheckPicture(const QByteArray& Png);

/// Checks that Data is a page picture the engine can replay safely: the picture header,
/// its checksum and version, a page size, and every record's framing and contents. Returns
/// an empty string and sets PageRect when the page is sound, otherwise what is wrong.
QString CheckPage(const QByteArray& Data, QRect& PageRect);

/// CheckPage for the pages of one file. With a picture table, pages may refer to its pictures,
/// which must have been checked.
class TPageChecker {
public:
    TPageChecker() = default;
    explicit TPageChecker(const TPictureTable* Pictures) : mPictures(Pictures) {}
    QString Check(const QByteArray& Data, QRect& PageRect);
    /// Whether the page last found sound holds a picture of its own instead of referring to the
    /// table (see ShareImages).
    bool HeldPictures() const { return mHeldPictures; }

private:
    const TPictureTable* mPictures = nullptr;
    bool mHeldPictures = false;
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
