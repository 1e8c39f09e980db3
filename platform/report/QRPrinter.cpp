#include "platform/report/QRPrinter.h"

#include "platform/rtl/SafeFile.h"

#include <QDate>
#include <QDateTime>

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr int HeaderSize = 124;
constexpr int CountOffset = 8;
constexpr int DateOffset = 12;
constexpr int CompressionOffset = 21;
constexpr int PictureTableOffset = 22;
// A page's uncompressed size is a few hundred kilobytes at most; a larger claim is damage.
constexpr quint32 MaxPageBytes = 64u << 20;

void PutLE(std::vector<char>& Out, std::size_t At, quint64 Value, int Bytes) {
    for (int I = 0; I < Bytes; ++I)
        Out[At + I] = static_cast<char>(Value >> (8 * I) & 0xFF);
}

void AppendLE(std::vector<char>& Out, quint32 Value) {
    const std::size_t At = Out.size();
    Out.resize(At + 4);
    PutLE(Out, At, Value, 4);
}

quint32 GetLE(const std::vector<char>& In, std::size_t At) {
    quint32 V = 0;
    for (int I = 3; I >= 0; --I)
        V = V << 8 | static_cast<unsigned char>(In[At + I]);
    return V;
}

double NowAsDayCount() {
    const QDateTime Now = QDateTime::currentDateTime();
    return static_cast<double>(QDate(1899, 12, 30).daysTo(Now.date())) +
           Now.time().msecsSinceStartOfDay() / 86400000.0;
}

[[noreturn]] void Damaged(const std::string& What) {
    throw EQRFileError(What);
}
} // namespace

TQRPrinter::TQRPrinter() = default;
TQRPrinter::~TQRPrinter() = default;

const QPicture& TQRPrinter::Page(int PageNumber) const {
    if (PageNumber < 1 || PageNumber > PageCount())
        throw EListError(Format("List index out of bounds (%d)", PageNumber));
    const TPage& P = mPages[static_cast<std::size_t>(PageNumber - 1)];
    if (!P.Picture)
        P.Picture = Resolved(P);
    return *P.Picture;
}

QPicture TQRPrinter::Resolved(const TPage& Page) const {
    const QByteArray Bytes = qrpage::ResolveImages(Page.Stored, mPictures);
    QPicture Picture;
    Picture.setData(Bytes.constData(), static_cast<uint>(Bytes.size()));
    return Picture;
}

QSize TQRPrinter::PageSize(int PageNumber) const {
    if (PageNumber < 1 || PageNumber > PageCount())
        return PaperUnits();
    return mPages[static_cast<std::size_t>(PageNumber - 1)].Size;
}

void TQRPrinter::SetPaper(TQRPaperSize Size, TPrinterOrientation Orientation) {
    mPaperSize = Size;
    mOrientation = Orientation;
}

QSize TQRPrinter::PaperUnits() const {
    const QSizeF MM = QRPaperSizeMM(mPaperSize, mOrientation);
    return QSize(static_cast<int>(std::lround(MM.width() * qrpage::UnitsPerMM)),
                 static_cast<int>(std::lround(MM.height() * qrpage::UnitsPerMM)));
}

void TQRPrinter::SetPages(std::vector<QPicture> Pages, qrpage::TPictureTable Pictures) {
    mPages.clear();
    mPages.reserve(Pages.size());
    mPictures = std::move(Pictures);
    for (const QPicture& P : Pages)
        mPages.push_back({qrpage::ShareImages(
                              QByteArray::fromRawData(P.data(), static_cast<qsizetype>(P.size())), mPictures),
                          P.boundingRect().size(),
                          {}});
    mComplete = true;
    emit PagesChanged();
}

void TQRPrinter::RemovePreview() {
    if (mPreviews > 0 && --mPreviews == 0)
        emit PreviewsReleased();
}

bool TQRPrinter::SaveToStream(TStream& Stream) const {
    if (!mComplete)
        return false;
    std::vector<char> Out(HeaderSize, '\0');
    std::size_t Estimate = HeaderSize + 4;
    for (int I = 0; I < mPictures.Count(); ++I)
        Estimate += 4 + static_cast<std::size_t>(mPictures.Png(I).size());
    for (const TPage& P : mPages)
        Estimate += 16 + static_cast<std::size_t>(P.Stored.size()) / (mCompression ? 4 : 1);
    Out.reserve(Estimate);
    PutLE(Out, 0, 3, 2);
    PutLE(Out, 2, 207, 2);
    PutLE(Out, CountOffset, static_cast<quint32>(PageCount()), 4);
    const double Date = NowAsDayCount();
    quint64 DateBits;
    std::memcpy(&DateBits, &Date, sizeof DateBits);
    PutLE(Out, DateOffset, DateBits, 8);
    Out[CompressionOffset] = mCompression ? 1 : 0;
    Out[PictureTableOffset] = 1;
    AppendLE(Out, static_cast<quint32>(mPictures.Count()));
    for (int I = 0; I < mPictures.Count(); ++I) {
        const QByteArray& Png = mPictures.Png(I);
        AppendLE(Out, static_cast<quint32>(Png.size()));
        Out.insert(Out.end(), Png.begin(), Png.end());
    }

    std::vector<Bytef> Packed;
    for (int I = 0; I < PageCount(); ++I) {
        const QByteArray& Page = mPages[static_cast<std::size_t>(I)].Stored;
        const auto Start = static_cast<quint32>(Out.size());
        const char* Data = Page.constData();
        const auto Size = static_cast<uLong>(Page.size());
        AppendLE(Out, static_cast<quint32>(I + 1));
        AppendLE(Out, 0); // forward link, known once the data is in
        if (mCompression) {
            uLongf PackedSize = compressBound(Size);
            Packed.resize(PackedSize);
            if (compress2(Packed.data(), &PackedSize, reinterpret_cast<const Bytef*>(Data), Size,
                          Z_BEST_SPEED) != Z_OK)
                throw EWriteError("Cannot compress report page");
            AppendLE(Out, static_cast<quint32>(Size));
            Out.insert(Out.end(), reinterpret_cast<const char*>(Packed.data()),
                       reinterpret_cast<const char*>(Packed.data()) + PackedSize);
        } else {
            Out.insert(Out.end(), Data, Data + Size);
        }
        PutLE(Out, Start + 4, static_cast<quint32>(Out.size() + 4), 4);
        AppendLE(Out, Start);
    }
    if (Out.size() > 0x7FFFFFFFu)
        throw EWriteError("The report is too large for a report file");
    Stream.WriteBuffer(Out.data(), static_cast<Longint>(Out.size()));
    return true;
}

bool TQRPrinter::Save(const std::string& FileName) const {
    if (!mComplete)
        return false;
    // The old file is replaced only once the whole report was written.
    SaveFileSafely(FileName, [this](TStream& Data) { SaveToStream(Data); });
    return true;
}

void TQRPrinter::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    const Longint Size = Stream.Size();
    if (Size < HeaderSize)
        Damaged("not a report file");
    std::vector<char> In(static_cast<std::size_t>(Size));
    Stream.ReadBuffer(In.data(), Size);
    if (GetLE(In, 0) != (207u << 16 | 3u))
        Damaged("not a report file");
    const auto Count = static_cast<qint32>(GetLE(In, CountOffset));
    const auto Flag = static_cast<unsigned char>(In[CompressionOffset]);
    const auto Shared = static_cast<unsigned char>(In[PictureTableOffset]);
    if (Count < 0)
        Damaged(Format("invalid page count %d", Count));
    if (Flag > 1)
        Damaged("unknown page compression");
    if (Shared > 1)
        Damaged("unknown picture layout");
    std::size_t Pos = HeaderSize;
    qrpage::TPictureTable Pictures;
    if (Shared == 1) {
        if (static_cast<std::size_t>(Size) - Pos < 4)
            Damaged("the file is truncated");
        const quint32 PictureCount = GetLE(In, Pos);
        Pos += 4;
        if (PictureCount > (static_cast<std::size_t>(Size) - Pos) / 4)
            Damaged("the file is truncated");
        for (quint32 I = 0; I < PictureCount; ++I) {
            if (static_cast<std::size_t>(Size) - Pos < 4)
                Damaged("the file is truncated");
            const quint32 Length = GetLE(In, Pos);
            Pos += 4;
            if (Length > static_cast<std::size_t>(Size) - Pos)
                Damaged("the file is truncated");
            const QByteArray Png(In.data() + Pos, static_cast<qsizetype>(Length));
            Pos += Length;
            const QString Problem = qrpage::CheckPicture(Png);
            if (!Problem.isEmpty())
                Damaged(Format("picture %u is damaged (%s)", I + 1, Problem.toStdString()));
            // A file that holds one picture twice would have pages refer to a number that
            // the table gives to the first copy.
            if (Pictures.AddPng(Png) != static_cast<int>(I))
                Damaged(Format("picture %u is stored twice", I + 1));
        }
    }
    // Every record takes at least its 12 bytes of number and links.
    if (Count > static_cast<qint64>(static_cast<std::size_t>(Size) - Pos) / 12)
        Damaged("the file is truncated");

    std::vector<TPage> Pages;
    Pages.reserve(static_cast<std::size_t>(Count));
    qrpage::TPageChecker Checker(Shared == 1 ? &Pictures : nullptr);
    for (qint32 Number = 1; Number <= Count; ++Number) {
        if (static_cast<std::size_t>(Size) - Pos < 12)
            Damaged("the file is truncated");
        const quint32 Stored = GetLE(In, Pos);
        const std::size_t Next = GetLE(In, Pos + 4);
        if (Stored != static_cast<quint32>(Number))
            Damaged(Format("page record %d is numbered %u", Number, Stored));
        if (Next < Pos + 12 || Next > static_cast<std::size_t>(Size))
            Damaged(Format("page %d has a broken link", Number));
        if (GetLE(In, Next - 4) != Pos)
            Damaged(Format("page %d has a broken link", Number));
        const char* Data = In.data() + Pos + 8;
        std::size_t DataSize = Next - Pos - 12;
        QByteArray Bytes;
        if (Flag == 1) {
            if (DataSize < 4)
                Damaged(Format("page %d is damaged", Number));
            const quint32 Length = GetLE(In, Pos + 8);
            if (Length == 0 || Length > MaxPageBytes)
                Damaged(Format("page %d is damaged", Number));
            Bytes.resize(static_cast<qsizetype>(Length));
            uLongf Unpacked = Length;
            if (uncompress(reinterpret_cast<Bytef*>(Bytes.data()), &Unpacked,
                           reinterpret_cast<const Bytef*>(Data + 4),
                           static_cast<uLong>(DataSize - 4)) != Z_OK ||
                Unpacked != Length)
                Damaged(Format("page %d is damaged", Number));
        } else {
            Bytes = QByteArray(Data, static_cast<qsizetype>(DataSize));
        }
        QRect Rect;
        const QString Problem = Checker.Check(Bytes, Rect);
        if (!Problem.isEmpty())
            Damaged(Format("page %d is damaged (%s)", Number, Problem.toStdString()));
        // Pages of older files hold their pictures; they join the table like a report run's.
        Pages.push_back({Shared == 1 ? Bytes : qrpage::ShareImages(Bytes, Pictures), Rect.size(), {}});
        Pos = Next;
    }

    mPages = std::move(Pages);
    mPictures = std::move(Pictures);
    mComplete = true;
    if (!mPages.empty())
        AdoptPaper(mPages.front().Size);
    emit PagesChanged();
}

void TQRPrinter::Load(const std::string& FileName) {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    try {
        LoadFromStream(File);
    } catch (const EQRFileError& E) {
        throw EQRFileError(Format("Cannot load report file %s: %s", FileName, E.Message()));
    } catch (const EReadError&) {
        throw EQRFileError(Format("Cannot load report file %s: the file could not be read", FileName));
    }
}

void TQRPrinter::AdoptPaper(QSize PageSize) {
    const long Width = std::lround(PageSize.width() / qrpage::UnitsPerMM);
    const long Height = std::lround(PageSize.height() / qrpage::UnitsPerMM);
    for (const TQRPaperDimensions& P : QRPaperSizes()) {
        const long W = std::lround(P.Width), H = std::lround(P.Height);
        if (W == Width && H == Height)
            SetPaper(P.Size, poPortrait);
        else if (W == Height && H == Width)
            SetPaper(P.Size, poLandscape);
    }
}
