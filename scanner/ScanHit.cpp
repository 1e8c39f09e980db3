#include "scanner/ScanHit.h"

#include "platform/ui/Text.h"

#include "ui_ScanHit.h"

#include <QButtonGroup>
#include <QTextCursor>

#include <algorithm>

TfrmScanHit* frmScanHit = nullptr;

TfrmScanHit::TfrmScanHit(QWidget* Parent)
    : TModalForm(Parent), ui(new Ui::TfrmScanHit), mRating(new QButtonGroup(this)) {
    ui->setupUi(this);
    setWindowFlags(NoBorderIcons);
    setFixedSize(sizeHint());
    mRating->addButton(ui->rdoNo, ctNo);
    mRating->addButton(ui->rdoMaybe, ctMayBe);
    mRating->addButton(ui->rdoYes, ctYes);
    SetModalResult(ui->btnNext, mrOk);
    SetModalResult(ui->btnReject, mrCancel);
    connect(ui->btnCancel, &QAbstractButton::clicked, this, [this] { btnCancelClick(); });
    SetCancelButton(ui->btnCancel);
}

TfrmScanHit::~TfrmScanHit() {
    delete ui;
}

void TfrmScanHit::ShowHit(const THitInfo& Hit, const std::string& Filename) {
    ui->lblWord->setText(FromAnsi(Hit.Variable));
    ui->lblSub->setText(FromAnsi(Hit.Sub));
    ui->lblFilename->SetFullText(FromAnsi(Filename));
    mPosition = Hit.Position;
    mKeyWord = Hit.Key;
    ui->lblLine->setPlainText(FromAnsi(Hit.Line));
    SelectKeyWord();
    ui->lblKeyWord->setText(FromAnsi(Hit.Key));
}

TCompliant TfrmScanHit::Compliant() const {
    const int Id = mRating->checkedId();
    return Id < ctNo ? ctNo : static_cast<TCompliant>(Id);
}

std::string TfrmScanHit::ErrorType() const {
    return ToAnsi(ui->cboErrorType->currentText());
}

bool TfrmScanHit::Exclude() const {
    return ui->chkExclude->isChecked();
}

void TfrmScanHit::SelectKeyWord() {
    // Line and keyword are 8-bit text, one character per byte, so positions carry over.
    QTextCursor Cursor(ui->lblLine->document());
    const int Length = static_cast<int>(ui->lblLine->document()->characterCount()) - 1;
    const int Start = std::clamp(static_cast<int>(mPosition) - 1, 0, Length);
    const int End = std::clamp(Start + static_cast<int>(mKeyWord.size()), Start, Length);
    Cursor.setPosition(Start);
    Cursor.setPosition(End, QTextCursor::KeepAnchor);
    ui->lblLine->setTextCursor(Cursor);
}

void TfrmScanHit::FormShow() {
    ui->cboErrorType->setCurrentIndex(0);
    SelectKeyWord();
}

void TfrmScanHit::btnCancelClick() {
    // Ending the scan drops everything it found, the ratings given so far too.
    if (AcceptedHits > 0 &&
        MessageDlg(QStringLiteral("End the scan? The %1 hit(s) accepted in this scan will be discarded.")
                       .arg(AcceptedHits),
                   TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    done(mrAbort);
}

void TfrmScanHit::reject() {
    btnCancelClick();
}

void TfrmScanHit::showEvent(QShowEvent* Event) {
    FormShow();
    TModalForm::showEvent(Event);
}
