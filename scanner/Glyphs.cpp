#include "scanner/Glyphs.h"

#include "platform/ui/ImageList.h"
#include "scanmodel/NodeImages.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {
// Everything is drawn on a 16 x 16 grid and scaled to the wanted size.
using TPainterFn = std::function<void(QPainter&)>;

enum class TPicture {
    Document,
    Project,
    Form,
    Code,
    Class,
    UserControl,
    CustomControl,
    Table,
    Query,
    DbForm,
    DbReport,
    Macro,
    DbModule,
    Spec,
    Database,
    Keyword,
    Report,
};

const QColor Ink(40, 40, 60);
const QColor Paper(255, 255, 250);

QPixmap Render(int Size, const TPainterFn& Paint) {
    QPixmap Pix(Size, Size);
    Pix.fill(Qt::transparent);
    QPainter P(&Pix);
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Size / 16.0, Size / 16.0);
    P.setPen(QPen(Ink, 0.8));
    Paint(P);
    return Pix;
}

void Page(QPainter& P, const QColor& Fill = Paper) {
    P.setBrush(Fill);
    P.drawPolygon(QPolygonF({{3, 1}, {10, 1}, {13.5, 4.5}, {13.5, 15}, {3, 15}}));
    P.drawLine(QPointF(10, 1), QPointF(10, 4.5));
    P.drawLine(QPointF(10, 4.5), QPointF(13.5, 4.5));
}

void TextLines(QPainter& P, const QColor& Colour, double Top, int Count, double Left = 5, double Right = 12) {
    P.save();
    P.setPen(QPen(Colour, 1.1));
    for (int I = 0; I < Count; ++I) {
        const double Y = Top + I * 2.2;
        P.drawLine(QPointF(Left + (I % 2) * 1.5, Y), QPointF(Right - (I % 3), Y));
    }
    P.restore();
}

void Window(QPainter& P, const QColor& Title, const QRectF& R = QRectF(1.5, 2.5, 13, 11)) {
    P.setBrush(Paper);
    P.drawRect(R);
    P.setBrush(Title);
    P.drawRect(QRectF(R.left(), R.top(), R.width(), 3));
}

void Grid(QPainter& P, const QRectF& R, const QColor& Header) {
    P.setBrush(Paper);
    P.drawRect(R);
    P.setBrush(Header);
    P.drawRect(QRectF(R.left(), R.top(), R.width(), R.height() / 4));
    for (int I = 1; I < 4; ++I)
        P.drawLine(QPointF(R.left(), R.top() + I * R.height() / 4),
                   QPointF(R.right(), R.top() + I * R.height() / 4));
    P.drawLine(QPointF(R.center().x(), R.top()), QPointF(R.center().x(), R.bottom()));
}

void Magnifier(QPainter& P, const QPointF& Centre, double Radius) {
    P.save();
    P.setPen(QPen(QColor(90, 60, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF Handle = Centre + QPointF(Radius * 0.75, Radius * 0.75);
    P.drawLine(Handle, Handle + QPointF(Radius * 0.9, Radius * 0.9));
    P.setPen(QPen(Ink, 1.2));
    P.setBrush(QColor(190, 225, 255, 200));
    P.drawEllipse(Centre, Radius, Radius);
    P.restore();
}

void Folder(QPainter& P, const QColor& Fill) {
    P.setBrush(Fill);
    P.drawPolygon(QPolygonF({{1, 3}, {6, 3}, {7.5, 4.5}, {15, 4.5}, {15, 14}, {1, 14}}));
    P.drawLine(QPointF(1, 6.5), QPointF(15, 6.5));
}

void Cylinder(QPainter& P, const QRectF& R, const QColor& Fill) {
    const double Cap = R.height() / 5;
    P.setBrush(Fill);
    QPainterPath Body;
    Body.moveTo(R.left(), R.top() + Cap / 2);
    Body.lineTo(R.left(), R.bottom() - Cap / 2);
    Body.arcTo(QRectF(R.left(), R.bottom() - Cap, R.width(), Cap), 180, 180);
    Body.lineTo(R.right(), R.top() + Cap / 2);
    Body.closeSubpath();
    P.drawPath(Body);
    P.setBrush(Fill.lighter(130));
    P.drawEllipse(QRectF(R.left(), R.top(), R.width(), Cap));
    P.setBrush(Qt::NoBrush);
    P.drawArc(QRectF(R.left(), R.top() + R.height() / 3, R.width(), Cap), 180 * 16, 180 * 16);
}

void Key(QPainter& P, const QColor& Fill) {
    P.save();
    P.setBrush(Fill);
    P.drawEllipse(QRectF(1.5, 5, 6, 6));
    P.setBrush(Paper);
    P.drawEllipse(QRectF(3.3, 6.8, 2.4, 2.4));
    P.setBrush(Fill);
    P.drawPolygon(QPolygonF({{7.3, 7},
                             {14.5, 7},
                             {14.5, 11},
                             {13, 11},
                             {13, 9.2},
                             {11.5, 9.2},
                             {11.5, 10.5},
                             {10, 10.5},
                             {10, 9},
                             {7.3, 9}}));
    P.restore();
}

void Badge(QPainter& P) {
    // Marks a node whose scan found hits: a red exclamation disc in the lower right corner.
    P.save();
    P.setPen(QPen(QColor(120, 0, 0), 0.6));
    P.setBrush(QColor(220, 30, 30));
    P.drawEllipse(QRectF(8.8, 8.8, 7, 7));
    P.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(12.3, 10.3), QPointF(12.3, 12.6));
    P.drawPoint(QPointF(12.3, 14.3));
    P.restore();
}

void DrawPicture(QPainter& P, TPicture Picture) {
    switch (Picture) {
    case TPicture::Document:
        Page(P);
        TextLines(P, QColor(90, 90, 90), 6, 4);
        Magnifier(P, QPointF(8, 9), 3);
        break;
    case TPicture::Project:
        Folder(P, QColor(250, 210, 90));
        P.setBrush(QColor(40, 90, 200));
        P.drawRect(QRectF(5, 8, 6, 4.5));
        break;
    case TPicture::Form:
        Window(P, QColor(40, 80, 190));
        P.setBrush(QColor(220, 220, 220));
        P.drawRect(QRectF(8.5, 10, 4.5, 2.2));
        TextLines(P, QColor(120, 120, 120), 8, 2, 3.5, 8);
        break;
    case TPicture::Code:
        Page(P);
        TextLines(P, QColor(30, 130, 40), 6, 4);
        break;
    case TPicture::Class:
        P.setBrush(QColor(240, 150, 50));
        P.drawRect(QRectF(5.5, 1.5, 5, 4));
        P.drawRect(QRectF(1.5, 10, 5, 4));
        P.drawRect(QRectF(9.5, 10, 5, 4));
        P.drawLine(QPointF(8, 5.5), QPointF(8, 8));
        P.drawLine(QPointF(4, 8), QPointF(12, 8));
        P.drawLine(QPointF(4, 8), QPointF(4, 10));
        P.drawLine(QPointF(12, 8), QPointF(12, 10));
        break;
    case TPicture::UserControl:
        Window(P, QColor(130, 60, 170));
        P.setBrush(QColor(200, 170, 230));
        P.drawRoundedRect(QRectF(4, 8, 8, 3.5), 1, 1);
        break;
    case TPicture::CustomControl: {
        P.setBrush(QColor(150, 150, 165));
        for (int I = 0; I < 8; ++I) {
            P.save();
            P.translate(8, 8);
            P.rotate(I * 45);
            P.drawRect(QRectF(-1.2, -7, 2.4, 3));
            P.restore();
        }
        P.drawEllipse(QPointF(8, 8), 5, 5);
        P.setBrush(Paper);
        P.drawEllipse(QPointF(8, 8), 1.8, 1.8);
        break;
    }
    case TPicture::Table:
        Grid(P, QRectF(1.5, 2.5, 13, 11), QColor(60, 120, 200));
        break;
    case TPicture::Query:
        Grid(P, QRectF(1.5, 1.5, 10, 9), QColor(60, 160, 160));
        Magnifier(P, QPointF(10, 10), 3);
        break;
    case TPicture::DbForm:
        Window(P, QColor(30, 140, 120));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(7, 7, 5.5, 1.8));
        P.drawRect(QRectF(7, 10, 5.5, 1.8));
        TextLines(P, QColor(80, 80, 80), 8, 2, 3, 5.5);
        break;
    case TPicture::DbReport:
        Page(P);
        P.setBrush(QColor(60, 110, 200));
        P.drawRect(QRectF(5, 10, 1.8, 3.5));
        P.setBrush(QColor(220, 130, 40));
        P.drawRect(QRectF(7.5, 7, 1.8, 6.5));
        P.setBrush(QColor(60, 170, 70));
        P.drawRect(QRectF(10, 8.5, 1.8, 5));
        break;
    case TPicture::Macro: {
        P.setBrush(QColor(250, 200, 40));
        P.drawPolygon(QPolygonF({{9.5, 1}, {3.5, 9}, {7.5, 9}, {6, 15}, {12.5, 6.5}, {8.5, 6.5}}));
        break;
    }
    case TPicture::DbModule:
        Page(P, QColor(255, 245, 225));
        TextLines(P, QColor(150, 70, 30), 6, 4);
        break;
    case TPicture::Spec: {
        P.save();
        P.setPen(QPen(QColor(40, 110, 190), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.drawLine(QPointF(2, 5), QPointF(13, 5));
        P.drawLine(QPointF(10, 2.5), QPointF(13, 5));
        P.drawLine(QPointF(10, 7.5), QPointF(13, 5));
        P.setPen(QPen(QColor(200, 90, 30), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.drawLine(QPointF(3, 11), QPointF(14, 11));
        P.drawLine(QPointF(6, 8.5), QPointF(3, 11));
        P.drawLine(QPointF(6, 13.5), QPointF(3, 11));
        P.restore();
        break;
    }
    case TPicture::Database:
        Cylinder(P, QRectF(2.5, 1.5, 11, 13), QColor(220, 180, 60));
        break;
    case TPicture::Keyword:
        Key(P, QColor(230, 190, 50));
        break;
    case TPicture::Report:
        Page(P);
        TextLines(P, QColor(60, 60, 140), 5, 5);
        break;
    }
}

// The three rating pictures: a red cross, an amber question mark, a green tick, each on a disc.
void DrawRating(QPainter& P, int Rating, double Radius) {
    static const QColor Fill[3] = {QColor(210, 40, 40), QColor(235, 170, 20), QColor(40, 160, 60)};
    P.setBrush(Fill[Rating]);
    P.setPen(QPen(Fill[Rating].darker(150), 0.7));
    P.drawEllipse(QPointF(8, 8), Radius, Radius);
    const double S = Radius / 7.0;
    P.setPen(QPen(Qt::white, 2.0 * S, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(Qt::NoBrush);
    P.translate(8, 8);
    P.scale(S, S);
    if (Rating == 0) {
        P.drawLine(QPointF(-3, -3), QPointF(3, 3));
        P.drawLine(QPointF(3, -3), QPointF(-3, 3));
    } else if (Rating == 1) {
        QPainterPath Q;
        Q.moveTo(-2.5, -2);
        Q.cubicTo(-2.5, -5.5, 3, -5.5, 2.8, -2);
        Q.cubicTo(2.6, 0, 0, 0, 0, 1.8);
        P.drawPath(Q);
        P.drawPoint(QPointF(0, 4.3));
    } else {
        QPainterPath Tick;
        Tick.moveTo(-3.5, 0);
        Tick.lineTo(-1, 3);
        Tick.lineTo(3.8, -3);
        P.drawPath(Tick);
    }
}

QPixmap Picture(TPicture Pic, int Size, bool WithHits = false) {
    return Render(Size, [&](QPainter& P) {
        DrawPicture(P, Pic);
        if (WithHits)
            Badge(P);
    });
}

QPixmap Rating(int Rating, int Size, double Radius) {
    return Render(Size, [&](QPainter& P) { DrawRating(P, Rating, Radius); });
}

constexpr TPicture Modules[] = {TPicture::Form, TPicture::Code, TPicture::Class, TPicture::UserControl};
constexpr TPicture DbObjects[] = {TPicture::Table, TPicture::Query,    TPicture::DbForm, TPicture::DbReport,
                                  TPicture::Macro, TPicture::DbModule, TPicture::Spec};

// Images 0 to 10 are the same in the tree list and the report's large list.
void AddProjectImages(TImageList& List, int Size) {
    List.Add(Picture(TPicture::Document, Size));
    List.Add(Picture(TPicture::Project, Size));
    for (TPicture M : Modules)
        List.Add(Picture(M, Size));
    List.Add(Picture(TPicture::CustomControl, Size));
    for (TPicture M : Modules)
        List.Add(Picture(M, Size, true));
}

// Adds Pixmap as the list's image Index: the list is filled in the order of its names.
void AddAt(TImageList& List, Longint Index, const QPixmap& Pixmap) {
    Q_ASSERT(List.Count() == Index);
    List.Add(Pixmap);
}
} // namespace

void FillTreeImages(TImageList& List) {
    AddProjectImages(List, 16);
    for (TPicture O : DbObjects)
        List.Add(Picture(O, 16));
    for (TPicture O : DbObjects)
        List.Add(Picture(O, 16, true));
    List.Add(Picture(TPicture::Database, 16));
}

void FillHitImages(TImageList& List) {
    List.Add(Render(16, [](QPainter&) {}));
    for (int R = 0; R < 3; ++R)
        List.Add(Rating(R, 16, 4.5));
    for (int R = 0; R < 3; ++R)
        List.Add(Rating(R, 16, 7.2));
}

void FillLargeImages(TImageList& List) {
    AddProjectImages(List, 32);
    AddAt(List, liKeyword, Picture(TPicture::Keyword, 32));
    for (int R = 0; R < 3; ++R)
        AddAt(List, RatingLargeImage(R), Rating(R, 32, 7.2));
    AddAt(List, liReport, Picture(TPicture::Report, 32));
    for (std::size_t K = 0; K < std::size(DbObjects); ++K)
        AddAt(List, liTableHits + static_cast<Longint>(K), Picture(DbObjects[K], 32, true));
    AddAt(List, liMDB, Picture(TPicture::Database, 32));
    Q_ASSERT(List.Count() == LargeImageCount);
}

QPixmap ProgramPicture(int Size) {
    return Picture(TPicture::Document, Size);
}

QIcon ProgramIcon() {
    QIcon Icon;
    for (int Size : {16, 32, 48, 64})
        Icon.addPixmap(ProgramPicture(Size));
    return Icon;
}

QPixmap DrawGlyph(TGlyph Glyph, int Size) {
    return Render(Size, [Glyph](QPainter& P) {
        switch (Glyph) {
        case TGlyph::Exit: {
            P.setBrush(QColor(150, 100, 60));
            P.drawRect(QRectF(2, 1.5, 7, 13));
            P.setBrush(QColor(250, 220, 100));
            P.drawEllipse(QPointF(7.5, 8), 0.8, 0.8);
            P.setPen(QPen(QColor(200, 30, 30), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            P.drawLine(QPointF(9, 8), QPointF(15, 8));
            P.drawLine(QPointF(12.5, 5.5), QPointF(15, 8));
            P.drawLine(QPointF(12.5, 10.5), QPointF(15, 8));
            break;
        }
        case TGlyph::New:
            Page(P);
            P.setPen(QPen(QColor(230, 170, 0), 1.3));
            P.drawLine(QPointF(3, 2), QPointF(7, 6));
            P.drawLine(QPointF(7, 2), QPointF(3, 6));
            P.drawLine(QPointF(5, 1.2), QPointF(5, 6.8));
            break;
        case TGlyph::Open: {
            Folder(P, QColor(250, 210, 90));
            P.setBrush(QColor(255, 230, 140));
            P.drawPolygon(QPolygonF({{1, 14}, {4, 8}, {16, 8}, {13.5, 14}}));
            break;
        }
        case TGlyph::Save:
            P.setBrush(QColor(50, 80, 160));
            P.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
            P.setBrush(Paper);
            P.drawRect(QRectF(4, 1.5, 8, 5));
            P.setBrush(QColor(200, 200, 210));
            P.drawRect(QRectF(4, 9.5, 8, 5));
            break;
        case TGlyph::Scan:
            Page(P);
            TextLines(P, QColor(90, 90, 90), 6, 4);
            Magnifier(P, QPointF(7, 7), 3.5);
            break;
        case TGlyph::ScanDirectory:
            Folder(P, QColor(250, 210, 90));
            Magnifier(P, QPointF(7, 8.5), 3.2);
            break;
        case TGlyph::Print:
            P.setBrush(Paper);
            P.drawRect(QRectF(4, 1.5, 8, 5));
            P.setBrush(QColor(170, 170, 180));
            P.drawRoundedRect(QRectF(1.5, 6, 13, 6.5), 1, 1);
            P.setBrush(Paper);
            P.drawRect(QRectF(4, 10, 8, 5));
            TextLines(P, QColor(90, 90, 90), 12, 2, 5, 11);
            break;
        case TGlyph::Export:
            Page(P);
            TextLines(P, QColor(90, 90, 90), 6, 3, 5, 9);
            P.setPen(QPen(QColor(30, 140, 50), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            P.drawLine(QPointF(7, 11.5), QPointF(15, 11.5));
            P.drawLine(QPointF(12.5, 9), QPointF(15, 11.5));
            P.drawLine(QPointF(12.5, 14), QPointF(15, 11.5));
            break;
        case TGlyph::KeyWords:
            Key(P, QColor(230, 190, 50));
            break;
        case TGlyph::ExcludeWords:
            Key(P, QColor(190, 190, 190));
            P.setPen(QPen(QColor(210, 30, 30), 1.8, Qt::SolidLine, Qt::RoundCap));
            P.setBrush(Qt::NoBrush);
            P.drawEllipse(QPointF(8, 8), 6.5, 6.5);
            P.drawLine(QPointF(3.5, 12.5), QPointF(12.5, 3.5));
            break;
        case TGlyph::Options:
            P.setBrush(Paper);
            for (int I = 0; I < 3; ++I) {
                P.drawRect(QRectF(1.5, 1.5 + I * 5, 3.5, 3.5));
                P.drawLine(QPointF(7, 3.2 + I * 5), QPointF(14.5, 3.2 + I * 5));
            }
            P.setPen(QPen(QColor(30, 140, 50), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            P.drawPolyline(QPolygonF({QPointF(2, 3), QPointF(3.2, 4.5), QPointF(5.5, 1)}));
            P.drawPolyline(QPolygonF({QPointF(2, 13), QPointF(3.2, 14.5), QPointF(5.5, 11)}));
            break;
        case TGlyph::Help:
            P.setBrush(QColor(40, 100, 210));
            P.drawEllipse(QPointF(8, 8), 7, 7);
            P.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            P.setBrush(Qt::NoBrush);
            QPainterPath Q;
            Q.moveTo(5.5, 6);
            Q.cubicTo(5.5, 2.5, 11, 2.5, 10.8, 6);
            Q.cubicTo(10.6, 8, 8, 8, 8, 9.8);
            P.drawPath(Q);
            P.drawPoint(QPointF(8, 12.5));
            break;
        }
    });
}

QPixmap WizardPicture() {
    QImage Image(118, 280, QImage::Format_RGB32);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    QLinearGradient Ground(0, 0, 0, 280);
    Ground.setColorAt(0, QColor(20, 60, 140));
    Ground.setColorAt(1, QColor(90, 160, 220));
    P.fillRect(Image.rect(), Ground);

    // A trunk with four folders hanging off it, one level deeper each time.
    P.setPen(QPen(QColor(230, 240, 255), 1.5));
    P.drawLine(QPointF(22, 44), QPointF(22, 222));
    for (int I = 0; I < 4; ++I) {
        const double Top = 30 + I * 56;
        const double Left = 14 + I * 12;
        P.drawLine(QPointF(22, Top + 14), QPointF(Left + 4, Top + 14));
        P.save();
        P.translate(Left, Top);
        P.scale(2, 2);
        P.setPen(QPen(Ink, 0.6));
        Folder(P, I == 2 ? QColor(255, 230, 120) : QColor(250, 205, 80));
        P.restore();
    }
    // The glass over the third folder, which holds what the search found.
    P.save();
    P.translate(58, 128);
    P.scale(3, 3);
    Magnifier(P, QPointF(8, 8), 5);
    P.restore();
    P.end();
    return QPixmap::fromImage(Image.convertToFormat(QImage::Format_Indexed8));
}
