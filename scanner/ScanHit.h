#pragma once
// The hit prompt: shows one hit that a manual scan found and asks whether to keep it (Accept,
// with a rating and an error type), drop it (Reject, optionally excluding its word from further
// hits) or end the whole scan (Cancel).

#include "platform/ui/Dialogs.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/FormVariable.h"

#include <string>

class QButtonGroup;

namespace Ui {
class TfrmScanHit;
}

class TfrmScanHit;
/// The prompt created at start-up.
extern TfrmScanHit* frmScanHit;

/// Answers mrOk (Accept), mrCancel (Reject) or mrAbort (Cancel, Esc, the close box). The rating and the
/// "Exclude from further Hits" box keep their state from one hit to the next; the error type
/// returns to "Computation" whenever the prompt is shown.
class TfrmScanHit final : public TModalForm {
    Q_OBJECT
public:
    explicit TfrmScanHit(QWidget* Parent = nullptr);
    ~TfrmScanHit() override;

    /// Fills the prompt from Hit; the keyword is selected in the line.
    void ShowHit(const THitInfo& Hit, const std::string& Filename);
    TCompliant Compliant() const;
    std::string ErrorType() const;
    bool Exclude() const;

    /// Hits accepted so far in the running scan: Cancel asks before it discards them.
    int AcceptedHits = 0;

    void FormShow();
    /// Ends the whole scan (mrAbort); with accepted hits only when the user confirms.
    void btnCancelClick();
    /// The close box is Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void SelectKeyWord();

    Ui::TfrmScanHit* const ui;
    QButtonGroup* mRating;
    Longint mPosition = 0;
    std::string mKeyWord;
    TFormVariable<TfrmScanHit> mFormVariable{frmScanHit, this};
};
