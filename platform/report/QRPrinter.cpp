#include "platform/report/QRPrinter.h"

#include "platform/rtl/SafeFile.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr int HeaderSize = 124;
constexpr int CountOffset = 8;
constexpr int DateOffset = 12;
constexpr int CompressionOffset = 21;
constexpr int PictureTableOffset = 22;
// What a file may expand to. A report page's picture is a few hundred kilobytes at most, and
// pictures held in a page (files with byte 22 zero) do not shrink when compressed: a page may
// take MaxPageBytes more than it is stored in. Real pages compress about tenfold; all pages of
// a file together may take MaxExpansionRatio times the file, or MinExpansion for a small file.
constexpr quint64 MaxPageBytes = 8u << 20;
constexpr quint64 MaxExpansionRatio = 64;
constexpr quint64 MinExpansion = 64u << 20;
// Files are written below 2 GB: streams give the size of larger ones as 2 GB less a byte.
constexpr quint64 MaxFileSize = 0x7FFFFFFF;

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

// A page's bytes as a zlib stream.
QByteArray Compressed(const QByteArray& Page) {
    uLongf Size = compressBound(static_cast<uLong>(Page.size()));
    QByteArray Packed(static_cast<qsizetype>(Size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(Packed.data()), &Size,
                  reinterpret_cast<const Bytef*>(Page.constData()), static_cast<uLong>(Page.size()),
                  Z_BEST_SPEED) != Z_OK)
        throw EWriteError("Cannot compress report page");
    Packed.resize(static_cast<qsizetype>(Size));
    return Packed;
}
} // namespace

TQRPrinter::TQRPrinter() = default;
TQRPrinter::~TQRPrinter() = default;

QPicture TQRPrinter::Page(int PageNumber) const {
    std::vector<int> Found;
    QPicture Picture = Drawn(PageNumber, Found);
    if (!Found.empty())
        emit PictureUnreadable(UnreadableMessage(Found, QStringLiteral("Page %1 is shown").arg(PageNumber)));
    return Picture;
}

QPicture TQRPrinter::Drawn(int PageNumber, std::vector<int>& Found) const {
    if (PageNumber < 1 || PageNumber > PageCount())
        throw EListError(Format("List index out of bounds (%d)", PageNumber));
    if (PageNumber == mDrawnNumber)
        return mDrawn;
    std::vector<int> Undrawable;
    const QByteArray Bytes = qrpage::ResolveImages(Expanded(mPages[static_cast<std::size_t>(PageNumber - 1)]),
                                                   mPictures, &Undrawable);
    mDrawn = QPicture();
    mDrawn.setData(Bytes.constData(), static_cast<uint>(Bytes.size()));
    mDrawnNumber = PageNumber;
    for (const int Index : Undrawable)
        if (std::find(mUnreadable.begin(), mUnreadable.end(), Index) == mUnreadable.end()) {
            mUnreadable.push_back(Index);
            Found.push_back(Index);
        }
    return mDrawn;
}

QString TQRPrinter::UnreadableMessage(const std::vector<int>& Pictures, const QString& Pages) {
    if (Pictures.size() == 1)
        return QStringLiteral("Picture %1 of the report cannot be drawn: it is damaged. %2 without it.")
            .arg(Pictures.front() + 1)
            .arg(Pages);
    // A page may draw thousands of pictures: the first few are named, the rest counted.
    constexpr std::size_t Named = 10;
    QStringList Numbers;
    for (std::size_t I = 0; I < std::min(Pictures.size(), Named); ++I)
        Numbers << QString::number(Pictures[I] + 1);
    const QString Last =
        Pictures.size() > Named ? QStringLiteral("%1 more").arg(Pictures.size() - Named) : Numbers.takeLast();
    return QStringLiteral(
               "Pictures %1 and %2 of the report cannot be drawn: they are damaged. %3 without them.")
        .arg(Numbers.join(QStringLiteral(", ")), Last, Pages);
}

QByteArray TQRPrinter::Expanded(const TPage& Page) {
    if (Page.Length == 0)
        return Page.Stored;
    // Loading checked that the stream expands to exactly Length bytes.
    QByteArray Bytes(static_cast<qsizetype>(Page.Length), Qt::Uninitialized);
    uLongf Size = Page.Length;
    uncompress(reinterpret_cast<Bytef*>(Bytes.data()), &Size,
               reinterpret_cast<const Bytef*>(Page.Stored.constData()),
               static_cast<uLong>(Page.Stored.size()));
    return Bytes;
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
    ForgetDrawn();
    for (const QPicture& P : Pages)
        mPages.push_back(
            {qrpage::ShareImages(QByteArray::fromRawData(P.data(), static_cast<qsizetype>(P.size())),
                                 mPictures, true),
             0, P.boundingRect().size()});
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

    for (int I = 0; I < PageCount(); ++I) {
        const TPage& Page = mPages[static_cast<std::size_t>(I)];
        const auto Start = static_cast<quint32>(Out.size());
        AppendLE(Out, static_cast<quint32>(I + 1));
        AppendLE(Out, 0); // forward link, known once the data is in
        if (mCompression) {
            // A page kept compressed is written as it is kept.
            const bool Kept = Page.Length != 0;
            const QByteArray Packed = Kept ? Page.Stored : Compressed(Page.Stored);
            AppendLE(Out, Kept ? Page.Length : static_cast<quint32>(Page.Stored.size()));
            Out.insert(Out.end(), Packed.begin(), Packed.end());
        } else {
            const QByteArray Data = Expanded(Page);
            Out.insert(Out.end(), Data.begin(), Data.end());
        }
        PutLE(Out, Start + 4, static_cast<quint32>(Out.size() + 4), 4);
        AppendLE(Out, Start);
    }
    if (Out.size() >= MaxFileSize)
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
    // The header first: a large file of another kind is not read whole to learn what it is.
    std::vector<char> In(HeaderSize);
    Stream.ReadBuffer(In.data(), HeaderSize);
    if (GetLE(In, 0) != (207u << 16 | 3u))
        Damaged("not a report file");
    if (static_cast<quint64>(Size) >= MaxFileSize)
        Damaged("it is larger than a report file can be (2 GB or more)");
    In.resize(static_cast<std::size_t>(Size));
    Stream.ReadBuffer(In.data() + HeaderSize, Size - HeaderSize);
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
    const quint64 MaxTotal = std::max(MinExpansion, MaxExpansionRatio * static_cast<quint64>(Size));
    quint64 Total = 0;
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
        TPage Page;
        if (Flag == 1) {
            if (DataSize < 4)
                Damaged(Format("page %d is damaged", Number));
            const quint32 Length = GetLE(In, Pos + 8);
            if (Length == 0)
                Damaged(Format("page %d is damaged", Number));
            if (Length > MaxPageBytes + DataSize)
                Damaged(
                    Format("page %d expands to more than a report page holds (%u bytes)", Number, Length));
            Total += Length;
            if (Total > MaxTotal)
                Damaged(Format("its pages expand to more than a report file of its size holds (over %llu MB)",
                               static_cast<unsigned long long>(MaxTotal >> 20)));
            Bytes.resize(static_cast<qsizetype>(Length));
            uLongf Unpacked = Length;
            if (uncompress(reinterpret_cast<Bytef*>(Bytes.data()), &Unpacked,
                           reinterpret_cast<const Bytef*>(Data + 4),
                           static_cast<uLong>(DataSize - 4)) != Z_OK ||
                Unpacked != Length)
                Damaged(Format("page %d is damaged", Number));
            // The page stays as stored; it is expanded again when drawn.
            Page.Stored = QByteArray(Data + 4, static_cast<qsizetype>(DataSize - 4));
            Page.Length = Length;
        } else {
            Bytes = QByteArray(Data, static_cast<qsizetype>(DataSize));
            Page.Stored = Bytes;
        }
        QRect Rect;
        const QString Problem = Checker.Check(Bytes, Rect);
        if (!Problem.isEmpty())
            Damaged(Format("page %d is damaged (%s)", Number, Problem.toStdString()));
        Page.Size = Rect.size();
        // Pictures held in a page (every page of an older file holds its own) join the table like
        // a report run's, and the page is kept as it is then: one that does not decode is found and
        // named when drawn, where Qt would end the page's replay at it without a word.
        if (Checker.HeldPictures()) {
            const QByteArray Own = qrpage::ShareImages(Bytes, Pictures, false);
            Page.Stored = Flag == 1 ? Compressed(Own) : Own;
            Page.Length = Flag == 1 ? static_cast<quint32>(Own.size()) : 0;
        }
        Pages.push_back(std::move(Page));
        Pos = Next;
    }
    if (Pos != static_cast<std::size_t>(Size)) {
        // A page count lower than the records would leave pages out without a word.
        if (static_cast<std::size_t>(Size) - Pos >= 12 && GetLE(In, Pos) == static_cast<quint32>(Count) + 1)
            Damaged(Format("its page count (%d) is lower than the page records it holds", Count));
        Damaged(Format("it holds data after its last page record (page %d)", Count));
    }

    mPages = std::move(Pages);
    mPictures = std::move(Pictures);
    ForgetDrawn();
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

void TQRPrinter::ForgetDrawn() {
    mDrawnNumber = 0;
    mDrawn = QPicture();
    mUnreadable.clear();
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
