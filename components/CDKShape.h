#pragma once
// A control that paints one geometric figure with a pen and a brush: rectangle, square, rounded
// rectangle or square, ellipse, circle, triangle, diamond, line, arrow or a sheet of paper.

#include "components/CDK_Comp.h"

#include <QBrush>
#include <QPen>
#include <QPolygon>

#include <vector>

enum TShapeType : Byte {
    stRectangle,
    stSquare,
    stRoundRect,
    stRoundSquare,
    stEllipse,
    stCircle,
    stTriangle,
    stDiamond,
    stLine,
    stArrow,
    stPaper
};
/// Direction of triangles, lines and arrows: 0 points up, then clockwise.
enum TRotation : Byte { _0, _090, _180, _270 };

/// One drawing call of a figure, in canvas terms: rectangles, rounded rectangles and ellipses by
/// their corners (left, top) and (right, bottom) with the end excluded; polygons are filled with
/// the brush and outlined with the pen; polylines are drawn with the pen only.
struct TShapeElement {
    enum TKind { ekRectangle, ekRoundRect, ekEllipse, ekPolygon, ekPolyline };
    TKind Kind;
    QPolygon Points;
    int Corner = 0; ///< width and height of a rounded rectangle's corner ellipse
};

/// A graphic control that draws one figure; it takes no input beyond the mouse events it fires.
class TCDKShape : public QWidget, public TKitComponent {
    Q_OBJECT
public:
    explicit TCDKShape(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TCDKShape"; }

    QBrush Brush() const { return mBrush; }
    void SetBrush(const QBrush& Value);
    QPen Pen() const { return mPen; }
    void SetPen(const QPen& Value);
    TShapeType Shape() const { return mShape; }
    void SetShape(TShapeType Value);
    TRotation Rotation() const { return mRotation; }
    void SetRotation(TRotation Value);
    int ArrowWidth() const { return mArrowWidth; }
    void SetArrowWidth(int Value);
    int ArrowLength() const { return mArrowLength; }
    void SetArrowLength(int Value);

    /// The drawing calls of the figure at the control's size and pen width, in painting order.
    std::vector<TShapeElement> Figure() const;

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    /// Asks for a repaint.
    virtual void Invalidate() { update(); }
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    QBrush mBrush{Qt::white};
    QPen mPen{Qt::black, 1};
    TShapeType mShape = stRectangle;
    TRotation mRotation = _0;
    int mArrowWidth = 6;
    int mArrowLength = 8;
};
