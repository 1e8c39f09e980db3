#include "platform/ui/Application.h"

#include "platform/rtl/Classes.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/Text.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QStatusTipEvent>
#include <QWidget>

TApplication* Application = nullptr;

namespace {
// Controls keep their full hint here; the status line shows its long part on hover.
constexpr const char* HintProperty = "quorvexHint";
} // namespace

QString GetShortHint(const QString& Hint) {
    const qsizetype Bar = Hint.indexOf(u'|');
    return Bar < 0 ? Hint : Hint.left(Bar);
}

QString GetLongHint(const QString& Hint) {
    const qsizetype Bar = Hint.indexOf(u'|');
    return Bar < 0 ? Hint : Hint.mid(Bar + 1);
}

TApplication::TApplication() {
    Application = this;
    qApp->installEventFilter(this);
}

TApplication::~TApplication() {
    delete mHelpWindow.data();
    if (Application == this)
        Application = nullptr;
}

void TApplication::SetHint(const QString& Hint) {
    mHint = Hint;
    if (OnHint)
        OnHint(this);
}

void TApplication::HelpContents() {
    if (mHelpFile.empty())
        throw Exception("No help file is available");
    const QFileInfo Info(FromFileName(mHelpFile));
    if (!Info.isFile())
        throw EFOpenError(Format("Cannot open file %s", mHelpFile));
    if (mHelpWindow == nullptr)
        mHelpWindow = new THelpWindow();
    mHelpWindow->ShowFile(Info.absoluteFilePath(), mTitle);
}

THelpWindow* TApplication::HelpWindow() const {
    return mHelpWindow.data();
}

void TApplication::ShowException(const std::exception& E) {
    QMessageBox Box(QMessageBox::Critical, mTitle, QString(), QMessageBox::Ok);
    SetMessageText(Box, FromMessage(E.what()));
    ExecOverActiveWindow(Box);
}

void TApplication::HandleException(std::exception_ptr E) noexcept {
    try {
        try {
            std::rethrow_exception(E);
        } catch (const EAbort&) {
        } catch (const std::exception& X) {
            ShowException(X);
        } catch (...) {
            ShowException(Exception("Unknown error"));
        }
    } catch (...) {
        // The error box itself failed (out of memory); nothing more can be reported.
    }
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents();
}

bool TApplication::eventFilter(QObject* Watched, QEvent* Event) {
    switch (Event->type()) {
    case QEvent::StatusTip:
        if (!OnHint)
            return false;
        SetHint(static_cast<QStatusTipEvent*>(Event)->tip());
        return true;
    case QEvent::Enter:
    case QEvent::Leave: {
        const QVariant Hint = Watched->property(HintProperty);
        if (Hint.isValid() && Watched->isWidgetType())
            SetHint(Event->type() == QEvent::Enter ? GetLongHint(Hint.toString()) : QString());
        return false;
    }
    default:
        return false;
    }
}

void SetHint(QWidget* Control, const QString& Hint) {
    Control->setToolTip(GetShortHint(Hint));
    Control->setProperty(HintProperty, Hint);
}

void SetHint(QAction* Item, const QString& Hint) {
    Item->setToolTip(GetShortHint(Hint));
    Item->setStatusTip(GetLongHint(Hint));
}

THourglass::THourglass() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

THourglass::~THourglass() {
    QApplication::restoreOverrideCursor();
}
