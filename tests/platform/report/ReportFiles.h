#pragma once
// Helpers of the report-file tests: report files as bytes, their fields, and pages as images.

#include "platform/report/QRPage.h"
#include "platform/report/QRPrinter.h"

#include <QImage>
#include <QPainter>
#include <QTransform>
#include <QtEndian>

#include <zlib.h>

#include <cstdio>
#include <vector>

namespace reportfiles {

inline std::vector<char> SaveToBytes(const TQRPrinter& Printer) {
    TMemoryStream Stream;
    if (!Printer.SaveToStream(Stream))
        return {};
    return Stream.Bytes();
}

inline void LoadFromBytes(TQRPrinter& Printer, const std::vector<char>& Bytes) {
    TMemoryStream Stream;
    if (!Bytes.empty())
        Stream.WriteBuffer(Bytes.data(), static_cast<Longint>(Bytes.size()));
    Printer.LoadFromStream(Stream);
}

inline void WriteFile(const std::string& Name, const std::vector<char>& Bytes) {
    TFileStream File(Name, fmCreate);
    File.WriteBuffer(Bytes.data(), static_cast<Longint>(Bytes.size()));
}

inline quint32 U32(const std::vector<char>& F, std::size_t At) {
    quint32 V = 0;
    for (int I = 3; I >= 0; --I)
        V = V << 8 | static_cast<unsigned char>(F[At + I]);
    return V;
}

inline quint16 U16(const std::vector<char>& F, std::size_t At) {
    return static_cast<quint16>(static_cast<unsigned char>(F[At]) | static_cast<unsigned char>(F[At + 1])
                                                                        << 8);
}

/// Offset of the first page record: after the header and, when the file keeps its pictures
/// once, after their table.
inline std::size_t FirstRecord(const std::vector<char>& F) {
    std::size_t Pos = 124;
    if (F.size() < 128 || F[22] != 1)
        return Pos;
    const quint32 Count = U32(F, Pos);
    Pos += 4;
    for (quint32 I = 0; I < Count && Pos + 4 <= F.size(); ++I)
        Pos += 4 + U32(F, Pos);
    return Pos;
}

inline void Put32(std::vector<char>& F, std::size_t At, quint32 V) {
    for (int I = 0; I < 4; ++I)
        F[At + I] = static_cast<char>(V >> (8 * I));
}

/// Recomputes a page picture's checksum after its bytes were changed on purpose.
inline void FixChecksum(QByteArray& Page) {
    const quint16 Sum = qChecksum(QByteArrayView(Page).sliced(6));
    Page[4] = static_cast<char>(Sum >> 8);
    Page[5] = static_cast<char>(Sum & 0xFF);
}

/// The page data of page Number (from 1) of a report file, expanded when the file is compressed.
inline QByteArray PageData(const std::vector<char>& F, int Number) {
    std::size_t Pos = FirstRecord(F);
    for (int I = 1; I < Number; ++I)
        Pos = U32(F, Pos + 4);
    const std::size_t Next = U32(F, Pos + 4);
    if (F[21] == 0)
        return QByteArray(F.data() + Pos + 8, static_cast<qsizetype>(Next - Pos - 12));
    QByteArray Page(static_cast<qsizetype>(U32(F, Pos + 8)), '\0');
    uLongf Size = static_cast<uLongf>(Page.size());
    uncompress(reinterpret_cast<Bytef*>(Page.data()), &Size,
               reinterpret_cast<const Bytef*>(F.data() + Pos + 12), static_cast<uLong>(Next - Pos - 16));
    return Page;
}

/// The header and pictures of report file F followed by Pages as its page records, compressed at
/// Level when F is; the page count becomes the number of pages.
inline std::vector<char> WithPages(const std::vector<char>& F, const std::vector<QByteArray>& Pages,
                                   int Level = Z_BEST_SPEED) {
    std::vector<char> Out(F.begin(), F.begin() + static_cast<std::ptrdiff_t>(FirstRecord(F)));
    Put32(Out, 8, static_cast<quint32>(Pages.size()));
    for (std::size_t I = 0; I < Pages.size(); ++I) {
        const std::size_t Start = Out.size();
        Out.resize(Start + 8);
        Put32(Out, Start, static_cast<quint32>(I + 1));
        const QByteArray& Page = Pages[I];
        if (F[21] == 0) {
            Out.insert(Out.end(), Page.begin(), Page.end());
        } else {
            uLongf Size = compressBound(static_cast<uLong>(Page.size()));
            std::vector<char> Packed(Size);
            compress2(reinterpret_cast<Bytef*>(Packed.data()), &Size,
                      reinterpret_cast<const Bytef*>(Page.data()), static_cast<uLong>(Page.size()), Level);
            Out.resize(Out.size() + 4);
            Put32(Out, Out.size() - 4, static_cast<quint32>(Page.size()));
            Out.insert(Out.end(), Packed.begin(), Packed.begin() + static_cast<std::ptrdiff_t>(Size));
        }
        Put32(Out, Start + 4, static_cast<quint32>(Out.size() + 4));
        Out.resize(Out.size() + 4);
        Put32(Out, Out.size() - 4, static_cast<quint32>(Start));
    }
    return Out;
}

/// Page with Times copies of Record (its code, length and body) put before its first record:
/// the header's record count and checksum follow.
inline QByteArray InsertRecords(const QByteArray& Page, const QByteArray& Record, int Times) {
    QByteArray Out = Page.left(32);
    Out.reserve(Page.size() + Record.size() * Times);
    for (int I = 0; I < Times; ++I)
        Out.append(Record);
    Out.append(Page.mid(32));
    const auto* D = reinterpret_cast<const unsigned char*>(Page.constData());
    const quint32 Records = (static_cast<quint32>(D[28]) << 24 | static_cast<quint32>(D[29]) << 16 |
                             static_cast<quint32>(D[30]) << 8 | D[31]) +
                            static_cast<quint32>(Times);
    for (int I = 0; I < 4; ++I)
        Out[28 + I] = static_cast<char>(Records >> (24 - 8 * I));
    FixChecksum(Out);
    return Out;
}

/// A report file of Pages pages that each expand to about PageBytes: the first page of Source (a
/// compressed report file) with empty records put before its own, packed as tightly as zlib can.
inline std::vector<char> HighExpansionFile(const std::vector<char>& Source, qsizetype PageBytes, int Pages) {
    const QByteArray Page = PageData(Source, 1);
    const QByteArray Big =
        InsertRecords(Page, QByteArray(2, '\0'), static_cast<int>((PageBytes - Page.size()) / 2));
    return WithPages(Source, std::vector<QByteArray>(static_cast<std::size_t>(Pages), Big),
                     Z_BEST_COMPRESSION);
}

/// F with its pages compressed (or not): the same report in the other page storage.
inline std::vector<char> Repacked(const std::vector<char>& F, bool Compress) {
    std::vector<QByteArray> Pages;
    for (int I = 1; I <= static_cast<int>(U32(F, 8)); ++I)
        Pages.push_back(PageData(F, I));
    std::vector<char> Out = F;
    Out[21] = Compress ? 1 : 0;
    return WithPages(Out, Pages);
}

/// The first PNG file in Data made undecodable yet sound in every chunk checksum: its pixel data
/// no longer starts a zlib stream.
inline void BreakPixels(char* Data, qsizetype Size) {
    const qsizetype Type = QByteArrayView(Data, Size).indexOf("IDAT");
    const quint32 Length = qFromBigEndian<quint32>(Data + Type - 4);
    Data[Type + 4] = Data[Type + 5] = static_cast<char>(0xFF);
    const quint32 Sum =
        static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(Data + Type), Length + 4));
    qToBigEndian(Sum, Data + Type + 4 + Length);
}

/// F with picture Index (from 0) of its table made undecodable (BreakPixels).
inline void BreakPixels(std::vector<char>& F, int Index) {
    std::size_t Pos = 128;
    for (int I = 0; I < Index; ++I)
        Pos += 4 + U32(F, Pos);
    BreakPixels(F.data() + Pos + 4, static_cast<qsizetype>(U32(F, Pos)));
}

/// Page PageNumber drawn at a tenth of its page units (72 dpi).
inline QImage Render(const TQRPrinter& Printer, int PageNumber, double Scale = 0.1) {
    const QSize Size = Printer.PageSize(PageNumber);
    QImage Image(static_cast<int>(Size.width() * Scale), static_cast<int>(Size.height() * Scale),
                 QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter Painter(&Image);
    qrpage::PlayPage(Painter, Printer.Page(PageNumber), QTransform::fromScale(Scale, Scale));
    return Image;
}

inline int InkedPixels(const QImage& Image) {
    int Count = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Count += Image.pixel(X, Y) != qRgb(255, 255, 255);
    return Count;
}

} // namespace reportfiles
