#include "platform/report/QRResources.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>
#include <map>

namespace {
// Glyphs are drawn on a 16 x 16 grid and scaled to the size asked for.
using TGlyph = std::function<void(QPainter&)>;

const QColor Ink(40, 40, 40);
const QColor Paper(Qt::white);
const QColor Accent(30, 90, 190);

void Sheet(QPainter& P, const QRectF& R) {
    P.setPen(QPen(Ink, 1));
    P.setBrush(Paper);
    P.drawRect(R);
    P.setPen(QPen(QColor(150, 150, 150), 1));
    for (double Y = R.top() + 2.5; Y < R.bottom() - 1; Y += 2)
        P.drawLine(QPointF(R.left() + 2, Y), QPointF(R.right() - 2, Y));
}

void Triangle(QPainter& P, double Tip, double Base) {
    QPainterPath Path;
    Path.moveTo(Tip, 8);
    Path.lineTo(Base, 3);
    Path.lineTo(Base, 13);
    Path.closeSubpath();
    P.fillPath(Path, Accent);
}

void Printer(QPainter& P) {
    P.setPen(QPen(Ink, 1));
    P.setBrush(Paper);
    P.drawRect(QRectF(4.5, 1.5, 7, 5));
    P.setBrush(QColor(190, 190, 190));
    P.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    P.setBrush(Paper);
    P.drawRect(QRectF(4.5, 10.5, 7, 4));
    P.fillRect(QRectF(12, 8, 1.5, 1.5), Accent);
}

const std::map<std::string_view, TGlyph>& Glyphs() {
    static const std::map<std::string_view, TGlyph> Map = {
        {"QRZOOMTOFITBITMAP",
         [](QPainter& P) {
             Sheet(P, QRectF(4.5, 3.5, 7, 9));
             P.setPen(QPen(Accent, 1.4));
             for (const QPointF& C : {QPointF(1, 1), QPointF(15, 1), QPointF(1, 15), QPointF(15, 15)}) {
                 const double Dx = C.x() < 8 ? 3 : -3, Dy = C.y() < 8 ? 3 : -3;
                 P.drawLine(C, C + QPointF(Dx, 0));
                 P.drawLine(C, C + QPointF(0, Dy));
             }
         }},
        {"QRZOOMTO100BITMAP",
         [](QPainter& P) {
             P.setPen(QPen(Accent, 1.6));
             P.setBrush(Paper);
             P.drawEllipse(QPointF(6.5, 6.5), 5, 5);
             P.drawLine(QPointF(10.2, 10.2), QPointF(15, 15));
             P.setPen(QPen(Ink, 1.6));
             P.drawLine(QPointF(5.5, 5), QPointF(7, 3.8));
             P.drawLine(QPointF(7, 3.8), QPointF(7, 9.5));
         }},
        {"QRZOOMTOWIDTHBITMAP",
         [](QPainter& P) {
             Sheet(P, QRectF(3.5, 1.5, 9, 13));
             P.setPen(QPen(Accent, 1.4));
             P.drawLine(QPointF(1, 8), QPointF(15, 8));
             P.drawLine(QPointF(1, 8), QPointF(3.5, 5.5));
             P.drawLine(QPointF(1, 8), QPointF(3.5, 10.5));
             P.drawLine(QPointF(15, 8), QPointF(12.5, 5.5));
             P.drawLine(QPointF(15, 8), QPointF(12.5, 10.5));
         }},
        {"QRFIRSTPAGEBITMAP",
         [](QPainter& P) {
             P.fillRect(QRectF(3, 3, 2, 10), Accent);
             Triangle(P, 5, 12);
         }},
        {"QRPREVPAGEBITMAP", [](QPainter& P) { Triangle(P, 4, 11); }},
        {"QRNEXTPAGEBITMAP", [](QPainter& P) { Triangle(P, 12, 5); }},
        {"QRLASTPAGEBITMAP",
         [](QPainter& P) {
             Triangle(P, 11, 4);
             P.fillRect(QRectF(11, 3, 2, 10), Accent);
         }},
        {"QRPRINTSETUPBITMAP",
         [](QPainter& P) {
             Printer(P);
             P.setPen(QPen(Accent, 1.6));
             P.drawLine(QPointF(10, 15), QPointF(15, 10));
             P.drawEllipse(QPointF(14.5, 10.5), 1.2, 1.2);
         }},
        {"QRPRINTBITMAP", [](QPainter& P) { Printer(P); }},
        {"QRSAVEBITMAP",
         [](QPainter& P) {
             P.setPen(QPen(Ink, 1));
             P.setBrush(Accent);
             P.drawRect(QRectF(1.5, 1.5, 13, 13));
             P.setBrush(Paper);
             P.drawRect(QRectF(3.5, 1.5, 9, 6));
             P.setBrush(QColor(200, 200, 200));
             P.drawRect(QRectF(4.5, 10.5, 7, 4));
         }},
        {"QROPENBITMAP",
         [](QPainter& P) {
             P.setPen(QPen(Ink, 1));
             P.setBrush(QColor(230, 190, 80));
             P.drawPolygon(
                 QPolygonF({{1.5, 13.5}, {1.5, 3.5}, {5.5, 3.5}, {6.5, 4.5}, {12.5, 4.5}, {12.5, 13.5}}));
             P.setBrush(QColor(250, 215, 110));
             P.drawPolygon(QPolygonF({{1.5, 13.5}, {4.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}}));
         }},
    };
    return Map;
}
} // namespace

QImage QRBitmap(std::string_view Name, int Size) {
    const auto Found = Glyphs().find(Name);
    if (Found == Glyphs().end() || Size <= 0)
        return {};
    QImage Image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Size / 16.0, Size / 16.0);
    Found->second(P);
    return Image;
}
