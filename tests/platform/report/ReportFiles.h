#pragma once
// Helpers of the report-file tests: report files as bytes, their fields, and pages as images.

#include "platform/report/QRPage.h"
#include "platform/report/QRPrinter.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

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
