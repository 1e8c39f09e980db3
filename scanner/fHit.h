#pragma once
// The hit-edit dialog: shows one hit and lets the user re-rate it (rating and error type).

#include "platform/ui/Dialogs.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/FormVariable.h"

#include <string>

class QButtonGroup;

namespace Ui {
class TfrmHit;
}

class TfrmHit;
/// The dialog created at start-up.
extern TfrmHit* frmHit;

/// Answers mrOk from its Ok button; Cancel and Esc answer mrAbort, the close box mrCancel.
class TfrmHit final : public TModalForm {
    Q_OBJECT
public:
    explicit TfrmHit(QWidget* Parent = nullptr);
    ~TfrmHit() override;

    TCompliant Compliant() const;
    void SetCompliant(TCompliant Value);
    /// The chosen entry, '' when none is chosen.
    std::string ErrorType() const;
    /// Chooses the entry equal to Value without regard to case; none when no entry is.
    void SetErrorType(const std::string& Value);
    void SetFilename(const std::string& Value);
    /// The line, in which the keyword at Position is selected when the dialog shows.
    void SetLine(const std::string& Value);
    void SetSub(const std::string& Value);
    void SetKeyWord(const std::string& Value);
    void SetWord(const std::string& Value);
    /// The field of a database-object hit; shows the Field row until the dialog closes.
    void SetField(const std::string& Value);

    /// 1-based position of the keyword in the line.
    Longint Position = 0;

    void done(int Result) override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void SelectKeyWord();

    Ui::TfrmHit* const ui;
    QButtonGroup* mRating;
    std::string mKeyWord;
    TFormVariable<TfrmHit> mFormVariable{frmHit, this};
};
