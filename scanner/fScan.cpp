#include "scanner/fScan.h"

#include "components/CDKPathE.h"
#include "components/CDKShape.h"
#include "components/XDKSteps.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/About.h"
#include "scanner/FolderWalk.h"
#include "scanner/Glyphs.h"
#include "scanner/Main.h"

#include "ui_fScan.h"

#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTabWidget>

#include <algorithm>

TfrmProjects* frmProjects = nullptr;

namespace {
constexpr int ItemHeight = 13;

/// The project list's lines: of a fixed height, and never wider than the list, so that a long
/// name is cut (in the middle, by the list's elide mode) instead of running off its edge.
class TItemHeight final : public QStyledItemDelegate {
public:
    explicit TItemHeight(QListWidget* List) : QStyledItemDelegate(List), mList(List) {}
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        return {std::min(QStyledItemDelegate::sizeHint(Option, Index).width(), mList->viewport()->width()),
                ItemHeight};
    }

private:
    QListWidget* mList;
};
} // namespace

TfrmProjects::TfrmProjects(QWidget* Parent) : TModalForm(Parent), ui(new Ui::TfrmProjects) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    QFont Form = font();
    Form.setPixelSize(11);
    setFont(Form);

    const QPixmap Picture = WizardPicture();
    ui->Image1->setPixmap(Picture);
    ui->Image2->setPixmap(Picture);
    // The step digits' own font is not installed on Linux; bold DejaVu Sans, which comes with
    // Qt's fonts, fills the circles in the same way.
    QFont Digit(QStringLiteral("DejaVu Sans"));
    Digit.setPixelSize(19);
    Digit.setBold(true);
    const std::pair<TCDKShape*, QLabel*> Marks[] = {{ui->CDKShape1, ui->lblNumber},
                                                    {ui->CDKShape2, ui->Label3},
                                                    {ui->CDKShape3, ui->Label5},
                                                    {ui->CDKShape4, ui->Label7},
                                                    {ui->CDKShape5, ui->Label8}};
    for (const auto& [Shape, Number] : Marks) {
        Shape->SetShape(stCircle);
        Shape->SetRotation(_0);
        Shape->SetBrush(QBrush(Qt::yellow));
        Number->setFont(Digit);
        Number->setForegroundRole(QPalette::WindowText);
        Number->setAutoFillBackground(false);
        Number->raise();
    }

    TCDKPathEditor* Path = ui->txtPath;
    Path->SetStyle(_SelectDirectory);
    Path->SetOptions({ofHideReadOnly, ofPathMustExist});
    Path->SetSmartShowBrowseButton(false);
    Path->SetBorderStyle(bsSingle);
    Path->OnDialogDrop = [this](TObject*) { txtPathDialogDrop(); };

    ui->lstProjects->setItemDelegate(new TItemHeight(ui->lstProjects));
    ui->lstProjects->setUniformItemSizes(true);
    ui->lstProjects->setTextElideMode(Qt::ElideMiddle);
    ui->lstProjects->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->lstProjects->setResizeMode(QListView::Adjust);

    ui->xdkSteps->OnAbout = [this](TObject*) { xdkStepsAbout(); };
    ui->xdkSteps->OnFinish = [this](TObject*) { xdkStepsFinish(); };
    ui->xdkSteps->OnCancel = [this](TObject*) { xdkStepsCancel(); };
    ui->xdkStepTab1->OnNext = [this](TObject*) { xdkStepTab1Next(); };
    ui->xdkStepTab2->OnBack = [this](TObject*) { xdkStepTab2Back(); };
    NotifyLoaded(this);
    // Each caption stands beside its box with its text on the box's middle line.
    for (const auto& [Caption, Box] : {std::pair<QLabel*, QWidget*>{ui->Label1, ui->txtName},
                                       std::pair<QLabel*, QWidget*>{ui->Label2, ui->txtPath}}) {
        Caption->setGeometry(Caption->x(), Box->y(), Caption->width(), Box->height());
        Caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    setFixedSize(size());
}

TfrmProjects::~TfrmProjects() {
    delete ui;
}

std::string TfrmProjects::DocumentName() const {
    return ToAnsi(ui->txtName->text());
}

QStringList TfrmProjects::CheckedProjects() const {
    QStringList Out;
    for (int I = 0; I < ui->lstProjects->count(); ++I)
        if (ui->lstProjects->item(I)->checkState() == Qt::Checked)
            Out << ui->lstProjects->item(I)->text();
    return Out;
}

int TfrmProjects::ScanMode() const {
    return ui->rdoAutomatic->isChecked() ? 1 : 0;
}

void TfrmProjects::SetScanMode(int Value) {
    (Value == 1 ? ui->rdoAutomatic : ui->rdoManual)->setChecked(true);
}

TxdkSteps* TfrmProjects::Steps() const {
    return ui->xdkSteps;
}

QLineEdit* TfrmProjects::NameEdit() const {
    return ui->txtName;
}

TCDKPathEditor* TfrmProjects::PathEditor() const {
    return ui->txtPath;
}

QListWidget* TfrmProjects::Projects() const {
    return ui->lstProjects;
}

void TfrmProjects::showEvent(QShowEvent* Event) {
    TModalForm::showEvent(Event);
    if (Event->spontaneous())
        return;
    CentreOnScreen(*this);
    Application->Guard([this] { FormShow(); });
}

// --- handlers ---

void TfrmProjects::FormShow() {
    if (Document)
        ui->txtName->setText(FromAnsi(Document->Name));
    ui->txtPath->SetText(FromFileName(ProgramFolder()));
    ui->xdkSteps->DisableNext();
    // Back through the steps, so that the buttons and the caption follow the page.
    while (ui->xdkSteps->PageControl->currentIndex() > 0)
        ui->xdkSteps->BackClick(nullptr);
}

void TfrmProjects::txtPathDialogDrop() {
    ui->xdkSteps->EnableNext();
}

void TfrmProjects::xdkStepTab1Next() {
    std::string Start = ToFileName(ui->txtPath->Text());
    if (Start.empty()) {
        ShowMessage(QStringLiteral("Please select a path to scan."));
        Abort();
    }
    // The root stays "/"; any other folder loses its trailing separators.
    while (Start.size() > 1 && Start.ends_with('/'))
        Start.pop_back();
    ui->txtPath->SetText(FromFileName(Start));

    THourglass Wait;
    QListWidget* List = ui->lstProjects;
    List->clear();
    for (const std::string& Name : SearchFolders(Start)) {
        auto* Item = new QListWidgetItem(FromFileName(Name), List);
        Item->setToolTip(Item->text());
        Item->setFlags(Item->flags() | Qt::ItemIsUserCheckable);
        Item->setCheckState(Qt::Checked);
    }
}

void TfrmProjects::xdkStepTab2Back() {}

void TfrmProjects::xdkStepsFinish() {
    done(mrOk);
}

void TfrmProjects::xdkStepsCancel() {
    close();
}

void TfrmProjects::xdkStepsAbout() {
    if (frmAbout != nullptr)
        frmAbout->ShowModal();
}
