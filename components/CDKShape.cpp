#include "components/CDKShape.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TCDKShape::TCDKShape(QWidget* Parent) : QWidget(Parent) {
    resize(65, 65);
    setMouseTracking(true);
}

void TCDKShape::SetBrush(const QBrush& Value) {
    mBrush = Value;
    Invalidate();
}

void TCDKShape::SetPen(const QPen& Value) {
    mPen = Value;
    Invalidate();
}

void TCDKShape::SetShape(TShapeType Value) {
    if (mShape == Value)
        return;
    mShape = Value;
    Invalidate();
}

void TCDKShape::SetRotation(TRotation Value) {
    if (mRotation == Value)
        return;
    mRotation = Value;
    Invalidate();
}

void TCDKShape::SetArrowWidth(int Value) {
    if (mArrowWidth == Value)
        return;
    mArrowWidth = Value;
    Invalidate();
}

void TCDKShape::SetArrowLength(int Value) {
    if (mArrowLength == Value)
        return;
    mArrowLength = Value;
    Invalidate();
}

std::vector<TShapeElement> TCDKShape::Figure() const {
    using E = TShapeElement;
    const int PW = mPen.width();
    int X = PW / 2;
    int Y = X;
    int W = width() - PW + 1;
    int H = height() - PW + 1;
    const int S = std::min(W, H);
    switch (mShape) {
    case stSquare:
    case stRoundSquare:
    case stCircle:
        X += (W - S) / 2;
        Y += (H - S) / 2;
        W = S;
        H = S;
        break;
    case stTriangle:
    case stDiamond:
    case stLine:
    case stArrow:
        --W;
        --H;
        break;
    default:
        break;
    }
    // The centre is measured from the control's edges, without the pen offset.
    const int CX = W / 2;
    const int CY = H / 2;
    const int AW2 = mArrowWidth / 2;
    const int AL = mArrowLength;
    const bool Vertical = mRotation == _0 || mRotation == _180;
    const E VerticalLine{E::ekPolyline, QPolygon({QPoint(CX, Y), QPoint(CX, Y + H)})};
    const E HorizontalLine{E::ekPolyline, QPolygon({QPoint(X, CY), QPoint(X + W, CY)})};
    switch (mShape) {
    case stRectangle:
    case stSquare:
        return {{E::ekRectangle, QPolygon({QPoint(X, Y), QPoint(X + W, Y + H)})}};
    case stRoundRect:
    case stRoundSquare:
        return {{E::ekRoundRect, QPolygon({QPoint(X, Y), QPoint(X + W, Y + H)}), S / 4}};
    case stEllipse:
    case stCircle:
        return {{E::ekEllipse, QPolygon({QPoint(X, Y), QPoint(X + W, Y + H)})}};
    case stTriangle:
        switch (mRotation) {
        case _0:
            return {{E::ekPolygon, QPolygon({QPoint(CX, Y), QPoint(X + W, Y + H), QPoint(X, Y + H)})}};
        case _090:
            return {{E::ekPolygon, QPolygon({QPoint(X, Y), QPoint(X + W, CY), QPoint(X, Y + H)})}};
        case _180:
            return {{E::ekPolygon, QPolygon({QPoint(X, Y), QPoint(X + W, Y), QPoint(CX, Y + H)})}};
        case _270:
            return {{E::ekPolygon, QPolygon({QPoint(X, CY), QPoint(X + W, Y), QPoint(X + W, Y + H)})}};
        }
        break;
    case stDiamond:
        return {
            {E::ekPolygon, QPolygon({QPoint(CX, Y), QPoint(X + W, CY), QPoint(CX, Y + H), QPoint(X, CY)})}};
    case stLine:
        return {Vertical ? VerticalLine : HorizontalLine};
    case stArrow:
        switch (mRotation) {
        case _0:
            return {VerticalLine,
                    {E::ekPolygon,
                     QPolygon({QPoint(CX, Y), QPoint(CX - AW2, Y + AL), QPoint(CX + AW2, Y + AL)})}};
        case _180:
            return {VerticalLine,
                    {E::ekPolygon, QPolygon({QPoint(CX, Y + H), QPoint(CX - AW2, Y + H - AL),
                                             QPoint(CX + AW2, Y + H - AL)})}};
        case _090:
            return {HorizontalLine,
                    {E::ekPolygon, QPolygon({QPoint(X + W, CY), QPoint(X + W - AL, CY - AW2),
                                             QPoint(X + W - AL, CY + AW2)})}};
        case _270:
            return {HorizontalLine,
                    {E::ekPolygon,
                     QPolygon({QPoint(X, CY), QPoint(X + AL, CY - AW2), QPoint(X + AL, CY + AW2)})}};
        }
        break;
    case stPaper: {
        // The sheet keeps the full size; its top right corner is folded over.
        const int F = std::min(W, H) / 8 + 2;
        return {{E::ekPolygon, QPolygon({QPoint(X, Y + 1), QPoint(X + W - F, Y + 1), QPoint(X + W - 1, Y + F),
                                         QPoint(X + W - 1, Y + H - 1), QPoint(X, Y + H - 1)})},
                {E::ekPolyline,
                 QPolygon({QPoint(X + W - F, Y + 1), QPoint(X + W - F, Y + F), QPoint(X + W, Y + F)})}};
    }
    }
    return {};
}

void TCDKShape::paintEvent(QPaintEvent*) {
    QPainter P(this);
    P.setPen(mPen);
    P.setBrush(mBrush);
    for (const TShapeElement& Element : Figure()) {
        const QPolygon& Pts = Element.Points;
        // Canvas rectangles exclude their right and bottom edges, while a drawn QRect outline covers
        // width + 1 pixels: one less on each axis gives the same pixels.
        const auto Box = [&] {
            return QRect(Pts[0].x(), Pts[0].y(), Pts[1].x() - Pts[0].x() - 1, Pts[1].y() - Pts[0].y() - 1);
        };
        switch (Element.Kind) {
        case TShapeElement::ekRectangle:
            P.drawRect(Box());
            break;
        case TShapeElement::ekRoundRect:
            P.drawRoundedRect(Box(), Element.Corner / 2.0, Element.Corner / 2.0);
            break;
        case TShapeElement::ekEllipse:
            P.drawEllipse(Box());
            break;
        case TShapeElement::ekPolygon:
            P.drawPolygon(Pts);
            break;
        case TShapeElement::ekPolyline:
            P.drawPolyline(Pts);
            break;
        }
    }
}

void TCDKShape::mousePressEvent(QMouseEvent* Event) {
    const QPoint Pos = Event->position().toPoint();
    if (OnMouseDown)
        RunGuarded(this, [&] { OnMouseDown(this, Event->button(), Event->modifiers(), Pos.x(), Pos.y()); });
}

void TCDKShape::mouseMoveEvent(QMouseEvent* Event) {
    const QPoint Pos = Event->position().toPoint();
    if (OnMouseMove)
        RunGuarded(this, [&] { OnMouseMove(this, Event->modifiers(), Pos.x(), Pos.y()); });
}

void TCDKShape::mouseReleaseEvent(QMouseEvent* Event) {
    const QPoint Pos = Event->position().toPoint();
    if (OnMouseUp)
        RunGuarded(this, [&] { OnMouseUp(this, Event->button(), Event->modifiers(), Pos.x(), Pos.y()); });
}
