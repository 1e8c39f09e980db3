#include "viewer/frepsplash.h"

#include "platform/ui/Application.h"

#include "ui_frepsplash.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

TfrmSplash* frmSplash = nullptr;

namespace {
// A report page under a magnifying glass, 36 x 33 pixels.
QPixmap SplashPicture() {
    QPixmap Picture(36, 33);
    Picture.fill(Qt::transparent);
    QPainter P(&Picture);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(40, 40, 60), 1));
    P.setBrush(Qt::white);
    P.drawRect(QRectF(2.5, 1.5, 22, 29));
    P.setPen(QPen(QColor(120, 120, 140), 1));
    for (double Y = 6.5; Y < 28; Y += 4)
        P.drawLine(QPointF(6, Y), QPointF(21, Y));
    P.setPen(QPen(QColor(30, 60, 160), 2.5));
    P.setBrush(QColor(200, 220, 255, 160));
    P.drawEllipse(QPointF(23, 19), 7, 7);
    P.drawLine(QPointF(28, 24), QPointF(34, 31));
    return Picture;
}
} // namespace

TfrmSplash::TfrmSplash(QWidget* Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint), ui(new Ui::TfrmSplash) {
    ui->setupUi(this);
    setFixedSize(324, 215);
    ui->Image1->setPixmap(SplashPicture());
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* Focus) {
        if (Focus != nullptr && Focus != windowHandle() && isVisible())
            FormDeactivate();
    });
    if (frmSplash == nullptr)
        frmSplash = this;
}

TfrmSplash::~TfrmSplash() {
    if (frmSplash == this)
        frmSplash = nullptr;
    delete ui;
}

void TfrmSplash::ShowNow() {
    if (const QScreen* Screen = QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    TApplication::ProcessMessages();
}

void TfrmSplash::FormDeactivate() {
    close();
}
