#include "scanner/fOptions.h"

#include "platform/ui/Text.h"

#include "ui_fOptions.h"

TfrmOptions* frmOptions = nullptr;

TfrmOptions::TfrmOptions(QWidget* Parent) : TModalForm(Parent), ui(new Ui::TfrmOptions) {
    ui->setupUi(this);
    setFixedSize(sizeHint());
    SetModalResult(ui->OKBtn, mrOk);
    SetModalResult(ui->CancelBtn, mrCancel);
    SetCancelButton(ui->CancelBtn);
}

TfrmOptions::~TfrmOptions() {
    delete ui;
}

std::string TfrmOptions::ApplicationName() const {
    return ToAnsi(ui->txtName->text());
}

void TfrmOptions::SetApplicationName(const std::string& Value) {
    ui->txtName->setText(FromAnsi(Value));
}

bool TfrmOptions::AutoSave() const {
    return ui->chkAutoSave->isChecked();
}

void TfrmOptions::SetAutoSave(bool Value) {
    ui->chkAutoSave->setChecked(Value);
}
