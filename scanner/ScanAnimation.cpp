#include "scanner/ScanAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {
constexpr int FrameMs = 80;
} // namespace

TScanAnimation::TScanAnimation(QWidget* Parent) : QWidget(Parent) {
    setMinimumSize(sizeHint());
    mTimer.setInterval(FrameMs);
    connect(&mTimer, &QTimer::timeout, this, [this] {
        mFrame = (mFrame + 1) % FrameCount;
        update();
    });
}

void TScanAnimation::SetActive(bool Value) {
    mFrame = 0;
    if (Value)
        mTimer.start();
    else
        mTimer.stop();
    update();
}

void TScanAnimation::paintEvent(QPaintEvent*) {
    // Each frame is drawn once for the widget's size and kept: the scan repaints it often.
    const qreal Ratio = devicePixelRatioF();
    const QSize Pixels = size() * Ratio;
    if (mFrames.empty() || mFramesSize != Pixels) {
        mFrames.assign(FrameCount + 1, QPixmap());
        mFramesSize = Pixels;
    }
    QPixmap& Picture = mFrames[Active() ? mFrame : FrameCount];
    if (Picture.isNull()) {
        Picture = QPixmap(Pixels);
        Picture.setDevicePixelRatio(Ratio);
        Picture.fill(Qt::transparent);
        QPainter P(&Picture);
        Draw(P);
    }
    QPainter(this).drawPixmap(0, 0, Picture);
}

void TScanAnimation::Draw(QPainter& P) const {
    P.setRenderHint(QPainter::Antialiasing);
    const double Scale = std::min(width() / 272.0, height() / 60.0);
    P.translate((width() - 272 * Scale) / 2, (height() - 60 * Scale) / 2);
    P.scale(Scale, Scale);
    const QColor Ink(40, 40, 40);
    P.setPen(QPen(Ink, 1));

    // An open folder with a sheet of paper standing in it.
    const QPointF Base(112, 8);
    P.setBrush(QColor(230, 190, 80));
    P.drawPolygon(QPolygonF({Base + QPointF(0, 8), Base + QPointF(16, 8), Base + QPointF(20, 12),
                             Base + QPointF(48, 12), Base + QPointF(48, 46), Base + QPointF(0, 46)}));
    P.setBrush(Qt::white);
    P.drawRect(QRectF(Base + QPointF(8, 2), QSizeF(30, 36)));
    P.setPen(QPen(QColor(120, 120, 120), 1));
    for (int I = 0; I < 5; ++I)
        P.drawLine(Base + QPointF(12, 9 + 6 * I), Base + QPointF(34 - (I % 2) * 6, 9 + 6 * I));
    P.setPen(QPen(Ink, 1));
    P.setBrush(QColor(245, 210, 110));
    P.drawPolygon(QPolygonF(
        {Base + QPointF(0, 46), Base + QPointF(6, 22), Base + QPointF(54, 22), Base + QPointF(48, 46)}));

    // The glass: on a circle over the folder while running, at rest beside it when stopped.
    const double Angle = 2 * std::numbers::pi * mFrame / FrameCount;
    const QPointF Centre =
        Active() ? QPointF(136 + 14 * std::cos(Angle), 27 + 10 * std::sin(Angle)) : QPointF(150, 30);
    constexpr double Radius = 9;
    const QPointF Handle = Centre + QPointF(Radius * 0.72, Radius * 0.72);
    P.setPen(QPen(QColor(90, 60, 20), 4, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(Handle, Handle + QPointF(9, 9));
    P.setPen(QPen(Ink, 1.6));
    P.setBrush(QColor(190, 225, 255, 190));
    P.drawEllipse(Centre, Radius, Radius);
}
