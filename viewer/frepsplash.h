#pragma once
// The viewer's splash window: shown before anything else and hidden as soon as another window
// of the program becomes active. It only ever hides, so a message box shown over it at start-up
// never loses its parent.

#include <QWidget>

namespace Ui {
class TfrmSplash;
}

class TfrmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* Parent = nullptr);
    ~TfrmSplash() override;

    /// Shows the window centred on the screen and paints it at once.
    void ShowNow();
    /// Another window became active: the splash closes, which hides it.
    void FormDeactivate();

private:
    Ui::TfrmSplash* const ui;
};

/// The one splash window; nullptr outside its lifetime.
extern TfrmSplash* frmSplash;
