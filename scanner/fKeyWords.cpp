#include "scanner/fKeyWords.h"

#include "ui_fKeyWords.h"

TfrmKeyWords* frmKeyWords = nullptr;

TfrmKeyWords::TfrmKeyWords(QWidget* Parent) : TModalForm(Parent), ui(new Ui::TfrmKeyWords) {
    ui->setupUi(this);
    QFont Font = ui->tblWords->font();
    Font.setPixelSize(13);
    ui->tblWords->setFont(Font);
    SetModalResult(ui->cmdOk, mrOk);
    SetModalResult(ui->cmdCancel, mrCancel);
    SetCancelButton(ui->cmdCancel);
}

TfrmKeyWords::~TfrmKeyWords() {
    delete ui;
}

QString TfrmKeyWords::Words() const {
    return ui->tblWords->toPlainText();
}

void TfrmKeyWords::SetWords(const QString& Value) {
    ui->tblWords->setPlainText(Value);
}
