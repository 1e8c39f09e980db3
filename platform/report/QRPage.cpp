#include "platform/report/QRPage.h"

#include <QBuffer>
#include <QByteArrayView>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPicture>
#include <QTransform>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qrpage {

QFont PageFont(const QFont& DesignFont) {
    QFont F(DesignFont);
    const double Points = DesignFont.pointSizeF();
    const double Units =
        Points > 0 ? Points * UnitsPerInch / 72.0 : std::max(1, DesignFont.pixelSize()) * UnitsPerDesignPixel;
    F.setPixelSize(std::max(1, static_cast<int>(std::lround(Units))));
    return F;
}

QFont PointFont(const QFont& DesignFont) {
    QFont F(DesignFont);
    if (DesignFont.pointSizeF() <= 0)
        F.setPointSizeF(std::max(1, DesignFont.pixelSize()) * 72.0 / DesignDpi);
    return F;
}

void PlayPage(QPainter& Painter, const QPicture& Page, const QTransform& PageToDevice) {
    // QPicture scales its contents by the device's resolution over its own default one;
    // undo that so that PageToDevice alone decides where page units land.
    QPaintDevice* Device = Painter.device();
    const double Dpi = QPicture().logicalDpiX();
    const double Sx = Device->logicalDpiX() / Dpi;
    const double Sy = Device->logicalDpiY() / QPicture().logicalDpiY();
    Painter.save();
    Painter.setTransform(QTransform::fromScale(1 / Sx, 1 / Sy) * PageToDevice);
    const_cast<QPicture&>(Page).play(&Painter);
    Painter.restore();
}

namespace {

// Record codes of Qt's picture format that the engine's pages may hold.
enum : quint8 {
    PdcNOP = 0,
    PdcDrawPoint = 1,
    PdcDrawLine = 4,
    PdcDrawRect = 5,
    PdcDrawEllipse = 7,
    PdcDrawPolyline = 12,
    PdcDrawPolygon = 13,
    PdcDrawImage = 18,
    PdcDrawTextItem = 21,
    PdcDrawPath = 25,
    PdcBegin = 30,
    PdcEnd = 31,
    PdcSave = 32,
    PdcRestore = 33,
    PdcSetBkColor = 40,
    PdcSetBkMode = 41,
    PdcSetBrushOrigin = 43,
    PdcSetFont = 45,
    PdcSetPen = 46,
    PdcSetBrush = 47,
    PdcSetWMatrix = 55,
    PdcSetClipRegion = 61,
    PdcSetClipPath = 62,
    PdcSetRenderHint = 63,
    PdcSetClipEnabled = 65,
    PdcSetOpacity = 66,
};

constexpr double MaxCoordinate = 1e7;
constexpr int HeaderSize = 32;
// The most drawing one page may ask for. A report page draws texts, frame lines and a few
// dozen small pictures; these bounds leave room for far more, yet keep a page that was built
// to take minutes to draw (hundreds of thousands of path points, or huge pictures drawn over
// and over) from ever reaching the painter.
constexpr quint64 MaxPagePoints = 20'000;
constexpr quint64 MaxPagePixels = 16'000'000;
// A page is drawn with each picture's PNG file in every image record that refers to it: a small
// picture with large extra chunks, drawn over and over, would make the drawn page huge.
constexpr quint64 MaxPagePictureBytes = 64u << 20;

// The most pixels a picture may have: 50 million, and no more than Qt decodes at 4 bytes a pixel
// within its allocation limit (0: none).
quint64 MaxPicturePixels() {
    const quint64 Limit = static_cast<quint64>(std::max(0, QImageReader::allocationLimit())) << 20;
    return Limit > 0 ? std::min<quint64>(50'000'000, Limit / 4) : 50'000'000;
}

// An image record that refers to the report's picture table holds this marker where Qt's
// image stream has 0 (no image) or 1 (a PNG file follows), then the picture's number.
constexpr qint32 SharedImageMarker = 2;
// DrawTableImage's stand-in: a polyline whose first point has this x and the picture's number
// as y, then the target's and the source's corners. No page draws near this x.
constexpr double StandInMark = -8'765'432.0;
constexpr quint32 StandInPoints = 5;

// The picture header's version: what this Qt writes, and so the newest it can replay.
quint16 RecordedVersion() {
    static const quint16 Version = [] {
        QPicture P;
        QPainter Painter(&P);
        Painter.end();
        const auto* D = reinterpret_cast<const unsigned char*>(P.data());
        return P.size() >= 8 ? static_cast<quint16>(D[6] << 8 | D[7]) : quint16(0);
    }();
    return Version;
}

quint32 GetBE(const unsigned char* D) {
    return static_cast<quint32>(D[0]) << 24 | static_cast<quint32>(D[1]) << 16 |
           static_cast<quint32>(D[2]) << 8 | D[3];
}

/// The drawing work a page asks for so far: points of polygons and path elements, and the
/// pixels of the pictures it draws (each drawing counted).
struct TPageWork {
    quint64 Points = 0;
    quint64 Pixels = 0;
    quint64 PictureBytes = 0;
    /// Whether an image record holds its picture instead of referring to the table.
    bool HeldPictures = false;
};

/// Bounds-checked big-endian reader over one record; every read fails softly, and the
/// record is sound only when all reads succeeded and consumed it exactly.
class TRecordReader {
public:
    TRecordReader(const unsigned char* Data, qsizetype Size, TPageWork& Work,
                  const TPictureTable* Pictures = nullptr)
        : mData(Data), mSize(Size), mWork(Work), mPictures(Pictures) {}

    bool Ok() const { return mOk; }
    bool AtEnd() const { return mOk && mPos == mSize; }
    qsizetype Left() const { return mSize - mPos; }
    qsizetype Pos() const { return mPos; }
    const unsigned char* Here() const { return mData + mPos; }
    void Fail() { mOk = false; }

    quint64 Bytes(int N) {
        if (!mOk || Left() < N) {
            mOk = false;
            return 0;
        }
        quint64 V = 0;
        for (int I = 0; I < N; ++I)
            V = V << 8 | mData[mPos + I];
        mPos += N;
        return V;
    }
    quint8 U8() { return static_cast<quint8>(Bytes(1)); }
    quint16 U16() { return static_cast<quint16>(Bytes(2)); }
    quint32 U32() { return static_cast<quint32>(Bytes(4)); }
    qint32 I32() { return static_cast<qint32>(U32()); }
    double F64() {
        const quint64 Raw = Bytes(8);
        double V;
        std::memcpy(&V, &Raw, sizeof V);
        return V;
    }
    void Skip(qsizetype N) {
        if (!mOk || N < 0 || Left() < N)
            mOk = false;
        else
            mPos += N;
    }

    // Values of Qt's stream formats, checked for what replaying them needs.
    double Coord() {
        const double V = F64();
        if (!std::isfinite(V) || std::fabs(V) > MaxCoordinate)
            mOk = false;
        return V;
    }
    void Point() {
        Coord();
        Coord();
    }
    void Rect() {
        Point();
        Point();
    }
    void String() {
        const quint32 Len = U32();
        if (Len == 0xFFFFFFFFu)
            return;
        if (Len % 2 != 0)
            mOk = false;
        Skip(Len);
    }
    void Color() {
        if (U8() > 5)
            mOk = false;
        Skip(10);
    }
    void Transform() {
        for (int I = 0; I < 9; ++I)
            Coord();
    }
    void Polygon() {
        const quint32 N = U32();
        if (N > Left() / 16)
            mOk = false;
        mWork.Points += N;
        for (quint32 I = 0; mOk && I < N; ++I)
            Point();
    }
    void Brush() {
        // Plain colours and the simple hatch patterns only: no gradients, no textures.
        if (U8() > Qt::DiagCrossPattern)
            mOk = false;
        Color();
        Transform();
    }
    void Pen() {
        const quint16 Style = U16();
        // Style in bits 0-3, cap in 4-5, join in 6-8 (Qt::MPenStyle, MPenCapStyle, MPenJoinStyle).
        const int Line = Style & 0x0F, Cap = Style & 0x30, Join = Style & 0x1C0;
        if (Line > Qt::DashDotDotLine || Cap > Qt::RoundCap ||
            (Join != 0 && Join != Qt::BevelJoin && Join != Qt::RoundJoin && Join != Qt::SvgMiterJoin) ||
            (Style & ~0x1FF) != 0)
            mOk = false;
        U8(); // cosmetic
        const double Width = F64();
        if (!std::isfinite(Width) || Width < 0 || Width > MaxCoordinate)
            mOk = false;
        Brush();
        Coord();        // miter limit
        if (U32() != 0) // dash pattern: the engine's pens have none
            mOk = false;
        Coord(); // dash offset
        U8();    // default width
    }
    void Font() {
        String(); // family
        String(); // style name
        const double PointSize = F64();
        const qint32 PixelSize = I32();
        if (!std::isfinite(PointSize) || PointSize > 10000 || PixelSize > 100000 ||
            (PointSize <= 0 && PixelSize <= 0))
            mOk = false;
        U8();  // style hint
        U16(); // style strategy
        const quint16 Weight = U16();
        if (Weight < 1 || Weight > 1000)
            mOk = false;
        U8();             // bits
        if (U16() > 4000) // stretch
            mOk = false;
        U8();  // extended bits
        I32(); // letter spacing
        I32(); // word spacing
        U8();  // hinting
        U8();  // capitalisation
        const quint32 Families = U32();
        if (Families > Left() / 4)
            mOk = false;
        for (quint32 I = 0; mOk && I < Families; ++I)
            String();
    }
    void Region() {
        // A byte array holding one list of rectangles (Qt's region record 10).
        const quint32 Size = U32();
        if (Size == 0)
            return;
        if (Size < 8 || (Size - 8) % 16 != 0) {
            mOk = false;
            return;
        }
        const qint32 Kind = I32();
        const quint32 Count = U32();
        if (Kind != 10 || Count != (Size - 8) / 16)
            mOk = false;
        Skip(static_cast<qsizetype>(Count) * 16);
    }
    void Path() {
        const qint32 Count = I32();
        if (Count == 0)
            return;
        if (Count < 0 || Count > Left() / 20)
            mOk = false;
        else
            mWork.Points += static_cast<quint64>(Count);
        for (qint32 I = 0; mOk && I < Count; ++I) {
            const qint32 Type = I32();
            if (Type < 0 || Type > 3 || (I == 0 && Type != 0))
                mOk = false;
            Point();
        }
        const qint32 Start = I32();
        if (Start < 0 || Start >= Count || U32() > 1)
            mOk = false;
    }
    // An image as Qt streams it: a marker, then a PNG file whose chunks must end exactly at
    // the given end, so that replaying leaves the stream where the next field begins.
    void Image(qsizetype End) {
        const qint32 Marker = I32();
        if (Marker == 0 || !mOk)
            return;
        if (Marker == SharedImageMarker) {
            const quint32 Index = U32();
            if (mPictures == nullptr || Index >= static_cast<quint32>(mPictures->Count()) || mPos != End)
                mOk = false;
            else {
                mWork.Pixels += mPictures->Pixels(static_cast<int>(Index));
                mWork.PictureBytes += static_cast<quint64>(mPictures->Png(static_cast<int>(Index)).size());
            }
            return;
        }
        if (Marker != 1) {
            mOk = false;
            return;
        }
        mWork.HeldPictures = true;
        mWork.PictureBytes += static_cast<quint64>(std::max<qsizetype>(0, End - mPos));
        Png(End);
    }
    // A PNG file whose chunks end exactly at End, each with its checksum. Whether it decodes is
    // learnt when it is first drawn (TPictureTable::Drawable): decoding every picture of a file
    // at once would take long and is mostly not needed.
    void Png(qsizetype End) {
        static const unsigned char Signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        if (End > mSize || End - mPos < 8 || std::memcmp(Here(), Signature, 8) != 0) {
            mOk = false;
            return;
        }
        Skip(8);
        bool First = true;
        while (mOk) {
            const quint32 Len = U32();
            const quint32 Type = U32();
            if (!mOk || Len > 0x7FFFFFFF || static_cast<qsizetype>(Len) + 4 > End - mPos) {
                mOk = false;
                return;
            }
            // The checksum covers the chunk's type and data.
            const uLong Sum = crc32(crc32(0, nullptr, 0), Here() - 4, Len + 4);
            if (GetBE(Here() + Len) != Sum) {
                mOk = false;
                return;
            }
            if (First) {
                // IHDR: bound the pixel count before anything decodes it.
                const quint32 W = Len >= 8 ? U32() : 0;
                const quint32 H = Len >= 8 ? U32() : 0;
                if (Type != 0x49484452u || W == 0 || H == 0 || W > 20000 || H > 20000 ||
                    static_cast<quint64>(W) * H > MaxPicturePixels()) {
                    mOk = false;
                    return;
                }
                mWork.Pixels += static_cast<quint64>(W) * H;
                Skip(Len - 8);
                First = false;
            } else {
                Skip(Len);
            }
            Skip(4);                   // CRC
            if (Type == 0x49454E44u) { // IEND
                if (mPos != End)
                    mOk = false;
                return;
            }
        }
    }

private:
    const unsigned char* mData;
    qsizetype mSize;
    qsizetype mPos = 0;
    bool mOk = true;
    TPageWork& mWork;
    const TPictureTable* mPictures;
};

bool CheckRecord(quint8 Code, TRecordReader& R) {
    switch (Code) {
    case PdcNOP:
    case PdcSave:
    case PdcRestore:
        break;
    case PdcDrawPoint:
    case PdcSetBrushOrigin:
        R.Point();
        break;
    case PdcDrawLine:
        R.Point();
        R.Point();
        break;
    case PdcDrawRect:
    case PdcDrawEllipse:
        R.Rect();
        break;
    case PdcDrawPolyline:
        R.Polygon();
        break;
    case PdcDrawPolygon:
        R.Polygon();
        R.U8();
        break;
    case PdcDrawImage:
        R.Rect();
        R.Image(R.Pos() + R.Left() - 36);
        R.Rect();
        R.U32();
        break;
    case PdcDrawTextItem: {
        R.Point();
        R.String();
        R.Font();
        R.U32();
        const double DpiRatio = R.F64();
        const double Justification = R.F64();
        if (!(DpiRatio >= 0.05 && DpiRatio <= 100) || !std::isfinite(Justification) ||
            std::fabs(Justification) > MaxCoordinate)
            R.Fail();
        break;
    }
    case PdcDrawPath:
        R.Path();
        break;
    case PdcSetBkColor:
        R.Color();
        break;
    case PdcSetBkMode:
        if (R.U8() > 1)
            R.Fail();
        break;
    case PdcSetFont:
        R.Font();
        break;
    case PdcSetPen:
        R.Pen();
        break;
    case PdcSetBrush:
        R.Brush();
        break;
    case PdcSetWMatrix:
        R.Transform();
        R.U8();
        break;
    case PdcSetClipRegion:
        R.Region();
        if (R.U8() > Qt::IntersectClip)
            R.Fail();
        break;
    case PdcSetClipPath:
        R.Path();
        if (R.U8() > Qt::IntersectClip)
            R.Fail();
        break;
    case PdcSetRenderHint:
        R.U32();
        break;
    case PdcSetClipEnabled:
        R.U8();
        break;
    case PdcSetOpacity: {
        const double Opacity = R.F64();
        if (!(Opacity >= 0 && Opacity <= 1))
            R.Fail();
        break;
    }
    default:
        return false;
    }
    return R.AtEnd();
}

// The frame of the record at Pos, as QPicture writes it: its code, then its length in a byte, or
// 255 and the length in four bytes. Pos moves to the record's body. False when the frame or the
// body runs past Size.
bool NextRecord(const unsigned char* D, qsizetype Size, qsizetype& Pos, quint8& Code, qsizetype& Len) {
    if (Size - Pos < 2)
        return false;
    Code = D[Pos];
    Len = D[Pos + 1];
    Pos += 2;
    if (Len == 255) {
        if (Size - Pos < 4)
            return false;
        Len = GetBE(D + Pos);
        Pos += 4;
    }
    return Len <= Size - Pos;
}

void AppendBE(QByteArray& Out, quint32 Value) {
    const char Bytes[4] = {static_cast<char>(Value >> 24), static_cast<char>(Value >> 16),
                           static_cast<char>(Value >> 8), static_cast<char>(Value)};
    Out.append(Bytes, 4);
}

double GetDouble(const unsigned char* D) {
    const quint64 Raw = static_cast<quint64>(GetBE(D)) << 32 | GetBE(D + 4);
    double V;
    std::memcpy(&V, &Raw, sizeof V);
    return V;
}

// A record in Qt's framing: its code, its length in one byte or, from 255 on, 255 and four bytes.
void AppendRecord(QByteArray& Out, quint8 Code, const QByteArray& Body) {
    Out.append(static_cast<char>(Code));
    if (Body.size() < 255) {
        Out.append(static_cast<char>(Body.size()));
    } else {
        Out.append(static_cast<char>(255));
        AppendBE(Out, static_cast<quint32>(Body.size()));
    }
    Out.append(Body);
}

// The bytes of an image record: the target, the image field, the source and the flags.
QByteArray ImageRecord(const unsigned char* Target, const QByteArray& Image,
                       const unsigned char* SourceAndFlags) {
    QByteArray Body(reinterpret_cast<const char*>(Target), 32);
    Body.append(Image);
    Body.append(reinterpret_cast<const char*>(SourceAndFlags), 36);
    return Body;
}

QByteArray SharedImageField(int Index) {
    QByteArray Field;
    AppendBE(Field, static_cast<quint32>(SharedImageMarker));
    AppendBE(Field, static_cast<quint32>(Index));
    return Field;
}

// Copies a page record by record; Replace may put a record of its own in place of one
// (returning true). The picture header's checksum is made to match the new bytes.
template <class F>
QByteArray RewriteRecords(const QByteArray& Page, F Replace) {
    const auto* D = reinterpret_cast<const unsigned char*>(Page.constData());
    const qsizetype Size = Page.size();
    if (Size < HeaderSize)
        return Page;
    QByteArray Out;
    Out.reserve(Size);
    Out.append(Page.constData(), HeaderSize);
    qsizetype Pos = HeaderSize;
    quint8 Code = 0;
    qsizetype Len = 0;
    for (qsizetype Start = Pos; NextRecord(D, Size, Pos, Code, Len); Start = Pos) {
        if (!Replace(Code, D + Pos, Len, Out))
            Out.append(Page.constData() + Start, Pos + Len - Start);
        Pos += Len;
    }
    Out.append(Page.constData() + Pos, Size - Pos);
    const quint16 Sum = qChecksum(QByteArrayView(Out).sliced(6));
    Out[4] = static_cast<char>(Sum >> 8);
    Out[5] = static_cast<char>(Sum & 0xFF);
    return Out;
}

} // namespace

int TPictureTable::Add(const QImage& Image) {
    const auto Known = mByImage.constFind(Image.cacheKey());
    if (Known != mByImage.constEnd())
        return *Known;
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    // As Qt's picture stream writes an image.
    QImageWriter(&Buffer, "png").write(Image);
    const int Index = AddPng(Png);
    mByImage.insert(Image.cacheKey(), Index);
    // Made from a picture in memory, it decodes.
    mDrawable[static_cast<std::size_t>(Index)] = 1;
    return Index;
}

int TPictureTable::AddPng(const QByteArray& Png) {
    const auto Known = mByPng.constFind(Png);
    if (Known != mByPng.constEnd())
        return *Known;
    const int Index = Count();
    mPngs.push_back(Png);
    mDrawable.push_back(0);
    mByPng.insert(Png, Index);
    return Index;
}

bool TPictureTable::Drawable(int Index) const {
    qint8& Known = mDrawable[static_cast<std::size_t>(Index)];
    if (Known == 0)
        Known = QImage::fromData(Png(Index), "PNG").isNull() ? -1 : 1;
    return Known > 0;
}

quint64 TPictureTable::Pixels(int Index) const {
    const QByteArray& Png = this->Png(Index);
    if (Png.size() < 24)
        return 0;
    const auto* D = reinterpret_cast<const unsigned char*>(Png.constData());
    return static_cast<quint64>(GetBE(D + 16)) * GetBE(D + 20);
}

void DrawTableImage(QPainter& Painter, const QRectF& Target, int Index, const QRectF& Source) {
    const QPointF StandIn[StandInPoints] = {{StandInMark, static_cast<double>(Index)},
                                            {Target.x(), Target.y()},
                                            {Target.width(), Target.height()},
                                            {Source.x(), Source.y()},
                                            {Source.width(), Source.height()}};
    Painter.drawPolyline(StandIn, StandInPoints);
}

QByteArray ShareImages(const QByteArray& Page, TPictureTable& Table, bool StandIns) {
    return RewriteRecords(Page, [&](quint8 Code, const unsigned char* Body, qsizetype Len, QByteArray& Out) {
        if (StandIns && Code == PdcDrawPolyline && Len == 4 + 16 * StandInPoints &&
            GetBE(Body) == StandInPoints && GetDouble(Body + 4) == StandInMark) {
            // The stand-in's later points are the image record's two rectangles, field by field.
            const auto* Rects = reinterpret_cast<const char*>(Body + 4 + 16);
            QByteArray Record(Rects, 32);
            Record.append(SharedImageField(static_cast<int>(GetDouble(Body + 12))));
            Record.append(Rects + 32, 32);
            AppendBE(Record, 0); // flags
            AppendRecord(Out, PdcDrawImage, Record);
            return true;
        }
        if (Code == PdcDrawImage && Len > 32 + 4 + 36 && GetBE(Body + 32) == 1) {
            const QByteArray Png(reinterpret_cast<const char*>(Body + 36), Len - 36 - 36);
            AppendRecord(Out, PdcDrawImage,
                         ImageRecord(Body, SharedImageField(Table.AddPng(Png)), Body + Len - 36));
            return true;
        }
        return false;
    });
}

QByteArray ResolveImages(const QByteArray& Page, const TPictureTable& Table, std::vector<int>* Undrawable) {
    return RewriteRecords(Page, [&](quint8 Code, const unsigned char* Body, qsizetype Len, QByteArray& Out) {
        if (Code != PdcDrawImage || Len != 32 + 8 + 36 || GetBE(Body + 32) != SharedImageMarker)
            return false;
        const quint32 Index = GetBE(Body + 36);
        if (Index >= static_cast<quint32>(Table.Count()))
            return false;
        QByteArray Image;
        if (Table.Drawable(static_cast<int>(Index))) {
            AppendBE(Image, 1);
            Image.append(Table.Png(static_cast<int>(Index)));
        } else {
            // No image: Qt draws nothing there and reads on at the next field.
            AppendBE(Image, 0);
            if (Undrawable != nullptr)
                Undrawable->push_back(static_cast<int>(Index));
        }
        AppendRecord(Out, PdcDrawImage, ImageRecord(Body, Image, Body + 40));
        return true;
    });
}

QString CheckPicture(const QByteArray& Png) {
    TPageWork Work;
    TRecordReader R(reinterpret_cast<const unsigned char*>(Png.constData()), Png.size(), Work);
    R.Png(Png.size());
    return R.AtEnd() ? QString() : QStringLiteral("not a sound PNG picture");
}

QString CheckPage(const QByteArray& Data, QRect& PageRect) {
    TPageChecker Checker;
    return Checker.Check(Data, PageRect);
}

QString TPageChecker::Check(const QByteArray& Data, QRect& PageRect) {
    const auto* D = reinterpret_cast<const unsigned char*>(Data.constData());
    const qsizetype Size = Data.size();
    if (Size < HeaderSize || std::memcmp(D, "QPIC", 4) != 0)
        return QStringLiteral("not a page picture");
    TPageWork Work;
    TRecordReader Header(D, HeaderSize, Work);
    Header.Skip(4);
    const quint16 Checksum = Header.U16();
    const quint16 Version = Header.U16();
    Header.U16();
    if (qChecksum(QByteArrayView(Data).sliced(6)) != Checksum)
        return QStringLiteral("checksum mismatch");
    if (Version < 11 || Version > RecordedVersion())
        return QStringLiteral("unsupported picture version %1").arg(Version);
    if (Header.U8() != PdcBegin)
        return QStringLiteral("no picture start");
    Header.U8();
    const qint32 Left = Header.I32(), Top = Header.I32(), Width = Header.I32(), Height = Header.I32();
    const quint32 Records = Header.U32();
    constexpr qint32 MaxPage = 100000;
    // No std::abs: the most negative value has no positive counterpart.
    if (Width <= 0 || Height <= 0 || Width > MaxPage || Height > MaxPage || Left < -MaxPage ||
        Left > MaxPage || Top < -MaxPage || Top > MaxPage)
        return QStringLiteral("no page size");
    if (Records == 0 || Records > static_cast<quint32>(Size / 2))
        return QStringLiteral("bad record count");

    qsizetype Pos = HeaderSize;
    bool Ended = false;
    for (quint32 I = 0; I < Records; ++I) {
        quint8 Code = 0;
        qsizetype Len = 0;
        if (!NextRecord(D, Size, Pos, Code, Len))
            return QStringLiteral("truncated picture");
        if (Code == PdcEnd) {
            if (I + 1 != Records || Len != 0)
                return QStringLiteral("misplaced picture end");
            Ended = true;
        } else {
            TRecordReader R(D + Pos, Len, Work, mPictures);
            if (!CheckRecord(Code, R))
                return QStringLiteral("bad picture record %1 (code %2)").arg(I + 1).arg(Code);
            if (Work.Points > MaxPagePoints)
                return QStringLiteral("more drawing than a report page holds: over %1 points")
                    .arg(MaxPagePoints);
            if (Work.Pixels > MaxPagePixels)
                return QStringLiteral("more drawing than a report page holds: over %1 picture pixels")
                    .arg(MaxPagePixels);
            if (Work.PictureBytes > MaxPagePictureBytes)
                return QStringLiteral("more drawing than a report page holds: over %1 MB of pictures")
                    .arg(MaxPagePictureBytes >> 20);
        }
        Pos += Len;
    }
    if (!Ended)
        return QStringLiteral("no picture end");
    PageRect = QRect(Left, Top, Width, Height);
    mHeldPictures = Work.HeldPictures;
    return {};
}

} // namespace qrpage

const std::vector<TQRPaperDimensions>& QRPaperSizes() {
    static const std::vector<TQRPaperDimensions> Sizes = {
        {TQRPaperSize::Letter, "Letter", 215.9, 279.4},
        {TQRPaperSize::Legal, "Legal", 215.9, 355.6},
        {TQRPaperSize::Executive, "Executive", 184.15, 266.7},
        {TQRPaperSize::Tabloid, "Tabloid", 279.4, 431.8},
        {TQRPaperSize::A3, "A3", 297, 420},
        {TQRPaperSize::A4, "A4", 210, 297},
        {TQRPaperSize::A5, "A5", 148, 210},
        {TQRPaperSize::B4, "B4", 250, 353},
        {TQRPaperSize::B5, "B5", 176, 250}};
    return Sizes;
}

QSizeF QRPaperSizeMM(TQRPaperSize Size, TPrinterOrientation Orientation) {
    for (const TQRPaperDimensions& P : QRPaperSizes())
        if (P.Size == Size)
            return Orientation == poLandscape ? QSizeF(P.Height, P.Width) : QSizeF(P.Width, P.Height);
    return {210, 297};
}
