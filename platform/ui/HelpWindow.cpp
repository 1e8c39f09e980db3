#include "platform/ui/HelpWindow.h"

#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow::THelpWindow(QWidget* Parent) : QWidget(Parent, Qt::Window), mBrowser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    // The help window never keeps the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    mBrowser->setObjectName(QStringLiteral("txtHelp"));
    mBrowser->setOpenExternalLinks(true);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(mBrowser);
    resize(560, 480);
}

void THelpWindow::ShowFile(const QString& FileName, const QString& Title) {
    setWindowTitle(Title.isEmpty() ? QStringLiteral("Help") : Title + QStringLiteral(" Help"));
    mBrowser->setSource(QUrl::fromLocalFile(FileName));
    if (!isVisible()) {
        // Over the main window, and wholly on its screen; once shown, it stays where the user
        // puts it.
        if (const QWidget* Main = Application != nullptr ? Application->MainForm() : nullptr)
            setGeometry(QRect(Main->geometry().center() - rect().center(), size()));
        else
            CentreOnScreen(*this);
        KeepOnScreen(*this);
    }
    show();
    // The frame is known once the window is shown: it has to fit on the screen too.
    KeepOnScreen(*this);
    raise();
    activateWindow();
}
