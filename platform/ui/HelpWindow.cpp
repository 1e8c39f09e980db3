#include "platform/ui/HelpWindow.h"

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
    show();
    raise();
    activateWindow();
}
