#include "scanner/About.h"

#include "platform/ui/Text.h"
#include "scanmodel/VerinfoObject.h"
#include "scanner/Glyphs.h"

#include "ui_About.h"

#include <QCoreApplication>

TfrmAbout* frmAbout = nullptr;

namespace {
constexpr Byte LegalCopyright = 4;
constexpr Byte Comments = 9;
} // namespace

std::string TfrmAbout::ProgramFileName() {
    return ToFileName(QCoreApplication::applicationFilePath());
}

TfrmAbout::TfrmAbout(const std::string& ProgramFile, QWidget* Parent)
    : TModalForm(Parent), ui(new Ui::TfrmAbout) {
    ui->setupUi(this);
    // The reader raises before the window is kept: a program without its version resource has
    // no about window.
    std::unique_ptr<TVerInfoRes> Info;
    try {
        Info = std::make_unique<TVerInfoRes>(ProgramFile);
    } catch (...) {
        delete ui;
        throw;
    }
    ui->ProgramIcon->setPixmap(ProgramPicture(48));
    ui->Version->setText(QStringLiteral("v") + FromAnsi(Info->FixedFileVersion()));
    ui->Copyright->setText(FromAnsi(Info->GetString(LegalCopyright)));
    ui->Comments->setText(FromAnsi(Info->GetString(Comments)));
    ui->lblVB->setText(QStringLiteral("for Visual Basic - Pro"));
    for (TURLLabel* Link : {ui->UrlLabel1, ui->UrlLabel2}) {
        Link->SetEffect98(true);
        Link->SetFont(Link->font(), QColor(0, 0, 255));
    }
    ui->UrlLabel1->SetLabelType(hmHTTP);
    ui->UrlLabel1->SetCaption(QStringLiteral("quorvex.example.org"));
    ui->UrlLabel2->SetLabelType(hmMAIL);
    ui->UrlLabel2->SetCaption(QStringLiteral("support@quorvex.example.org"));
    SetModalResult(ui->OKButton, mrOk);
    setFixedSize(sizeHint());
}

TfrmAbout::~TfrmAbout() {
    delete ui;
}

void TfrmAbout::showEvent(QShowEvent* Event) {
    TModalForm::showEvent(Event);
    ui->OKButton->setFocus();
}
