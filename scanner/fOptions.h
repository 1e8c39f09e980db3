#pragma once
// The options dialog: the document's name and its AutoSave flag.

#include "platform/ui/Dialogs.h"
#include "scanner/FormVariable.h"

#include <string>

namespace Ui {
class TfrmOptions;
}

class TfrmOptions;
/// The dialog created at start-up.
extern TfrmOptions* frmOptions;

class TfrmOptions final : public TModalForm {
    Q_OBJECT
public:
    explicit TfrmOptions(QWidget* Parent = nullptr);
    ~TfrmOptions() override;

    /// The text of the name box (Windows-1252, as the document keeps it).
    std::string ApplicationName() const;
    void SetApplicationName(const std::string& Value);
    bool AutoSave() const;
    void SetAutoSave(bool Value);

private:
    Ui::TfrmOptions* const ui;
    TFormVariable<TfrmOptions> mFormVariable{frmOptions, this};
};
