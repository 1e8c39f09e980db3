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
    setFixedSize(324, 215);
    ui->imgLogo->setPixmap(ProgramPicture(64));
    ui->lblVB->setText(QStringLiteral("for Visual Basic - Pro"));
    // Losing activation to another window of ours (the main window, or an error box during
    // start-up) closes the splash; like every window but the main window it is only hidden.
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
