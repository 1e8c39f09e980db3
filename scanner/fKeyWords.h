#pragma once
// The word-list editor: a memo with one word per line, shown for the keyword list and for the
// exclusion list; its callers set the caption and work on the memo directly.

#include "platform/ui/Dialogs.h"
#include "scanner/FormVariable.h"

namespace Ui {
class TfrmKeyWords;
}

class TfrmKeyWords;
/// The editor created at start-up.
extern TfrmKeyWords* frmKeyWords;

class TfrmKeyWords final : public TModalForm {
    Q_OBJECT
public:
    explicit TfrmKeyWords(QWidget* Parent = nullptr);
    ~TfrmKeyWords() override;

    /// The words being edited, one a line.
    QString Words() const;
    void SetWords(const QString& Value);

private:
    Ui::TfrmKeyWords* const ui;
    TFormVariable<TfrmKeyWords> mFormVariable{frmKeyWords, this};
};
