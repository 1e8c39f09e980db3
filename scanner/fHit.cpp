#include "scanner/fHit.h"

#include "platform/ui/Text.h"

#include "ui_fHit.h"

#include <QButtonGroup>
#include <QTextCursor>

TfrmHit* frmHit = nullptr;

TfrmHit::TfrmHit(QWidget* Parent) : TModalForm(Parent), ui(new Ui::TfrmHit), mRating(new QButtonGroup(this)) {
    ui->setupUi(this);
    // A fixed dialog: its design size, whether or not the Field row shows.
    setFixedSize(size());
    mRating->addButton(ui->rdoNo, ctNo);
    mRating->addButton(ui->rdoMaybe, ctMayBe);
    mRating->addButton(ui->rdoYes, ctYes);
    SetModalResult(ui->cmdClose, mrOk);
    SetModalResult(ui->cmdCancel, mrAbort);
    SetCancelButton(ui->cmdCancel);
}

TfrmHit::~TfrmHit() {
    delete ui;
}

TCompliant TfrmHit::Compliant() const {
    const int Id = mRating->checkedId();
    return Id < ctNo ? ctNo : static_cast<TCompliant>(Id);
}

void TfrmHit::SetCompliant(TCompliant Value) {
    if (QAbstractButton* B = mRating->button(Value))
        B->setChecked(true);
}

std::string TfrmHit::ErrorType() const {
    return ui->cboErrorType->currentIndex() < 0 ? std::string() : ToAnsi(ui->cboErrorType->currentText());
}

void TfrmHit::SetErrorType(const std::string& Value) {
    const QString Text = FromAnsi(Value);
    int Found = -1;
    for (int I = 0; I < ui->cboErrorType->count() && Found < 0; ++I)
        if (ui->cboErrorType->itemText(I).compare(Text, Qt::CaseInsensitive) == 0)
            Found = I;
    ui->cboErrorType->setCurrentIndex(Found);
}

void TfrmHit::SetFilename(const std::string& Value) {
    ui->lblFilename->SetFullText(FromAnsi(Value));
}

void TfrmHit::SetLine(const std::string& Value) {
    ui->lblLine->setPlainText(FromAnsi(Value));
    SelectKeyWord();
}

void TfrmHit::SetSub(const std::string& Value) {
    ui->lblSub->setText(FromAnsi(Value));
}

void TfrmHit::SetKeyWord(const std::string& Value) {
    mKeyWord = Value;
    ui->lblKeyWord->setText(FromAnsi(Value));
}

void TfrmHit::SetWord(const std::string& Value) {
    ui->lblWord->setText(FromAnsi(Value));
}

void TfrmHit::SetField(const std::string& Value) {
    ui->lblField->setText(FromAnsi(Value));
    ui->lblMDBField->setVisible(true);
    ui->lblField->setVisible(true);
}

void TfrmHit::SelectKeyWord() {
    QTextCursor Cursor(ui->lblLine->document());
    const int Length = static_cast<int>(ui->lblLine->document()->characterCount()) - 1;
    const int Start = std::clamp(static_cast<int>(Position) - 1, 0, Length);
    const int End = std::clamp(Start + static_cast<int>(FromAnsi(mKeyWord).size()), Start, Length);
    Cursor.setPosition(Start);
    Cursor.setPosition(End, QTextCursor::KeepAnchor);
    ui->lblLine->setTextCursor(Cursor);
}

void TfrmHit::showEvent(QShowEvent* Event) {
    SelectKeyWord();
    TModalForm::showEvent(Event);
}

void TfrmHit::done(int Result) {
    ui->lblMDBField->setVisible(false);
    ui->lblField->setVisible(false);
    TModalForm::done(Result);
}
