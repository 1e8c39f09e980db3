#include "components/CDKShape.h"

#include <gtest/gtest.h>

using E = TShapeElement;

bool operator==(const E& A, const E& B) {
    return A.Kind == B.Kind && A.Points == B.Points && A.Corner == B.Corner;
}

void PrintTo(const E& X, std::ostream* Out) {
    *Out << "kind " << X.Kind << " corner " << X.Corner << " points";
    for (const QPoint& P : X.Points)
        *Out << " (" << P.x() << "," << P.y() << ")";
}

namespace {
E Element(E::TKind Kind, std::initializer_list<QPoint> Points, int Corner = 0) {
    return {Kind, QPolygon(QList<QPoint>(Points)), Corner};
}

std::vector<E> FigureOf(TShapeType Type, QSize Size, int PenWidth = 1, TRotation Rotation = _0) {
    TCDKShape Shape;
    Shape.resize(Size);
    Shape.SetShape(Type);
    Shape.SetRotation(Rotation);
    Shape.SetPen(QPen(Qt::black, PenWidth));
    return Shape.Figure();
}

// Counts repaint requests.
class CountingShape final : public TCDKShape {
public:
    int Repaints = 0;

protected:
    void Invalidate() override { ++Repaints; }
};
} // namespace

TEST(Shape, NewControlIsAWhiteRectangleOfSixtyFive) {
    TCDKShape Shape;
    EXPECT_EQ(Shape.size(), QSize(65, 65));
    EXPECT_EQ(Shape.Brush().color(), QColor(Qt::white));
    EXPECT_EQ(Shape.Pen().color(), QColor(Qt::black));
    EXPECT_EQ(Shape.Pen().width(), 1);
    EXPECT_EQ(Shape.ArrowWidth(), 6);
    EXPECT_EQ(Shape.ArrowLength(), 8);
    EXPECT_EQ(Shape.Figure(), std::vector<E>{Element(E::ekRectangle, {{0, 0}, {65, 65}})});
}

TEST(Shape, SquareFiguresAreCentredInTheLongerDirection) {
    EXPECT_EQ(FigureOf(stCircle, {41, 25}), std::vector<E>{Element(E::ekEllipse, {{8, 0}, {33, 25}})});
    EXPECT_EQ(FigureOf(stSquare, {25, 41}), std::vector<E>{Element(E::ekRectangle, {{0, 8}, {25, 33}})});
    EXPECT_EQ(FigureOf(stRoundRect, {65, 65}),
              std::vector<E>{Element(E::ekRoundRect, {{0, 0}, {65, 65}}, 16)});
    EXPECT_EQ(FigureOf(stRoundSquare, {80, 40}),
              std::vector<E>{Element(E::ekRoundRect, {{20, 0}, {60, 40}}, 10)});
}

TEST(Shape, PaperHasAFoldedCorner) {
    EXPECT_EQ(FigureOf(stPaper, {65, 65}),
              (std::vector<E>{Element(E::ekPolygon, {{0, 1}, {55, 1}, {64, 10}, {64, 64}, {0, 64}}),
                              Element(E::ekPolyline, {{55, 1}, {55, 10}, {65, 10}})}));
}

TEST(Shape, ArrowsAndLinesPointByRotation) {
    EXPECT_EQ(FigureOf(stArrow, {65, 65}, 1, _090),
              (std::vector<E>{Element(E::ekPolyline, {{0, 32}, {64, 32}}),
                              Element(E::ekPolygon, {{64, 32}, {56, 29}, {56, 35}})}));
    EXPECT_EQ(FigureOf(stArrow, {65, 65}, 1, _180),
              (std::vector<E>{Element(E::ekPolyline, {{32, 0}, {32, 64}}),
                              Element(E::ekPolygon, {{32, 64}, {29, 56}, {35, 56}})}));
    EXPECT_EQ(FigureOf(stLine, {65, 33}, 1, _270),
              std::vector<E>{Element(E::ekPolyline, {{0, 16}, {64, 16}})});
    EXPECT_EQ(FigureOf(stDiamond, {65, 33}, 1, _180),
              std::vector<E>{Element(E::ekPolygon, {{32, 0}, {64, 16}, {32, 32}, {0, 16}})});
}

TEST(Shape, WidePenKeepsTheTriangleApexMeasuredFromTheEdge) {
    EXPECT_EQ(FigureOf(stTriangle, {65, 65}, 4),
              std::vector<E>{Element(E::ekPolygon, {{30, 2}, {63, 63}, {2, 63}})});
    EXPECT_EQ(FigureOf(stTriangle, {65, 65}, 1, _270),
              std::vector<E>{Element(E::ekPolygon, {{0, 32}, {64, 0}, {64, 64}})});
}

TEST(Shape, RepaintsOnlyOnRealChanges) {
    CountingShape Shape;
    Shape.SetShape(stCircle);
    Shape.SetShape(stCircle);
    EXPECT_EQ(Shape.Repaints, 1);
    Shape.SetArrowLength(8);
    Shape.SetRotation(_0);
    EXPECT_EQ(Shape.Repaints, 1);
    QPen Pen = Shape.Pen();
    Pen.setColor(Qt::red);
    Shape.SetPen(Pen);
    Shape.SetBrush(QBrush(Qt::yellow));
    EXPECT_EQ(Shape.Repaints, 3);
    EXPECT_EQ(Shape.Brush().color(), QColor(Qt::yellow));
}
