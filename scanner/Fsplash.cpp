#include "scanner/Fsplash.h"

#include "platform/ui/Application.h"
#include "scanner/Glyphs.h"

#include "ui_Fsplash.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

TfrmSplash::TfrmSplash(QWidget* Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint), ui(new Ui::TfrmSplash) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(324, 215);
    ui->imgLogo->setPixmap(ProgramPicture(64));
    ui->lblVB->setText(QStringLiteral("for Visual Basic - Pro"));
    // Losing activation to another window of ours ends the splash.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* Focus) {
        if (Focus != nullptr && Focus != windowHandle())
            close();
    });
}

TfrmSplash::~TfrmSplash() {
    delete ui;
}

void TfrmSplash::ShowNow() {
    if (const QScreen* Screen = QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    TApplication::ProcessMessages();
}
