#pragma once
// The application object: the program's title and help file, the hint shown in the status line,
// the standard error box and the guard through which every event handler runs, so that no
// exception ever crosses the Qt event loop.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <concepts>
#include <exception>
#include <functional>
#include <string>

class QAction;
class THelpWindow;

/// Text of a hint before its first '|' (the tool tip); the whole hint when there is none.
QString GetShortHint(const QString& Hint);
/// Text of a hint after its first '|' (the status-line text); the whole hint when there is none.
QString GetLongHint(const QString& Hint);

/// One per program, reached through `Application`. Create it after the QApplication.
class TApplication final : public QObject {
    Q_OBJECT
public:
    TApplication();
    ~TApplication() override;

    /// The program's title: the caption of message boxes and of the help window.
    QString Title() const { return mTitle; }
    void SetTitle(const QString& Title) { mTitle = Title; }

    /// The help document, a bare name or a full path.
    std::string HelpFile() const { return mHelpFile; }
    void SetHelpFile(const std::string& FileName) { mHelpFile = FileName; }
    /// Shows the contents of the help file in the help window; raises when there is none.
    void HelpContents();
    /// The help window once it has been shown, else nullptr.
    THelpWindow* HelpWindow() const;

    /// The program's main window: dialogs open on its screen and stay with it.
    QWidget* MainForm() const { return mMainForm.data(); }
    void SetMainForm(QWidget* Form) { mMainForm = Form; }

    /// The status-line part of the hint of the control or menu item under the mouse.
    QString Hint() const { return mHint; }
    /// Stores Hint and fires OnHint.
    void SetHint(const QString& Hint);
    /// Fired whenever the hint changes; while bound, hints are routed here instead of to the
    /// main window's own status handling.
    std::function<void(QObject* Sender)> OnHint;

    /// The standard error box: the exception's message with the error icon, fitted to the screen
    /// as SetMessageText fits it.
    void ShowException(const std::exception& E);
    /// Reports an exception caught by a guard: EAbort is silent, anything else goes to the error
    /// box. Never throws.
    void HandleException(std::exception_ptr E) noexcept;

    /// Runs Fn; an exception it raises is handled here and does not propagate.
    template <class F>
    void Guard(F&& Fn) noexcept {
        try {
            Fn();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }

    /// Lets pending events run (repaints, clicks on a Cancel button during long work).
    static void ProcessMessages();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QString mTitle;
    std::string mHelpFile;
    QString mHint;
    QPointer<THelpWindow> mHelpWindow;
    QPointer<QWidget> mMainForm;
};

/// The program's application object (nullptr before it is created).
extern TApplication* Application;

/// Wraps a handler so that it runs inside the application's guard; use it for every connection
/// to a signal that the event loop delivers.
/// The wrapper takes only the arguments Fn takes, so Qt drops the signal's extra ones.
template <class F>
auto Guarded(F Fn) {
    return [Fn](auto&&... Args) mutable requires std::invocable<F&, decltype(Args)...> {
        Application->Guard([&] { Fn(std::forward<decltype(Args)>(Args)...); });
    };
}

/// Sets a control's hint: the tool tip takes the short part; the status line shows the long
/// part while the mouse is over the control.
void SetHint(QWidget* Control, const QString& Hint);
/// Sets a menu item's or tool action's hint in the same way.
void SetHint(QAction* Item, const QString& Hint);

/// Shows the hourglass cursor for its lifetime.
class THourglass final {
public:
    THourglass();
    ~THourglass();
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};
