#pragma once
// The splash window: shown at start-up and hidden as soon as another window of the program
// becomes active (the main window once it is up, or an error box before). It stays allocated
// until the program ends.

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

private:
    Ui::TfrmSplash* const ui;
};
