#pragma once
// The about window: the program's name, its version, copyright and comments read from the
// program's own version resource, and links for mail and the web.

#include "platform/ui/Dialogs.h"
#include "scanner/FormVariable.h"

#include <string>

namespace Ui {
class TfrmAbout;
}

class TfrmAbout;
/// The window created at start-up (nullptr when it could not be created).
extern TfrmAbout* frmAbout;

class TfrmAbout final : public TModalForm {
    Q_OBJECT
public:
    /// Reads the version resource of ProgramFile (the running program by default); raises the
    /// version reader's error when the file has none.
    explicit TfrmAbout(const std::string& ProgramFile = ProgramFileName(), QWidget* Parent = nullptr);
    ~TfrmAbout() override;

    /// The running program's executable file.
    static std::string ProgramFileName();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    Ui::TfrmAbout* const ui;
    TFormVariable<TfrmAbout> mFormVariable{frmAbout, this};
};
