#include "reports/fPreview.h"

#include "platform/report/QRPreview.h"
#include "platform/report/QRResources.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Text.h"

#include "ui_fPreview.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QStyle>

namespace {
const QString ReportFileFilter = QStringLiteral("Quorvex File (*.QXV)|*.QXV");
constexpr const char* ReportFileMask = "*.QXV";
constexpr const char* ReportFileExt = ".QXV";
} // namespace

bool ConfirmReplace(const std::string& FileName) {
    if (!FileExists(FileName))
        return true;
    return MessageDlg(
               QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(FromFileName(FileName)),
               TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
}

TfrmPreview::TfrmPreview(const QStringList& Arguments)
    : dlgOpen(this, QStringLiteral("dlgOpen"), TFileDialog::dkOpen),
      dlgSave(this, QStringLiteral("dlgSave"), TFileDialog::dkSave), ui(new Ui::TfrmPreview),
      mArguments(Arguments) {
    ui->setupUi(this);
    dlgOpen.Title = QStringLiteral("Open Quorvex File");
    dlgOpen.Filter = ReportFileFilter;
    dlgOpen.FileName = ReportFileMask;
    dlgSave.Title = QStringLiteral("Save Quorvex File");
    dlgSave.Filter = ReportFileFilter;
    dlgSave.FileName = ReportFileMask;
    tmrView.setInterval(1000);
    tmrView.setSingleShot(true);
    ConnectCommands();
    FormCreate();
    show();
}

TfrmPreview::~TfrmPreview() {
    delete ui;
}

std::unique_ptr<TfrmPreview> TfrmPreview::Open(TObject* Sender, const QStringList& Arguments) {
    auto Window = std::make_unique<TfrmPreview>(Arguments);
    auto* Printer = dynamic_cast<TQRPrinter*>(Sender);
    Window->QRPreview()->SetQRPrinter(Printer);
    if (Printer != nullptr) {
        // Found while a page is painted; the message waits until the painting is done.
        connect(Printer, &TQRPrinter::PictureUnreadable, Window.get(), &ShowMessage, Qt::QueuedConnection);
        if (Printer->Complete())
            Window->UpdateStatus();
    }
    return Window;
}

TQRPreview* TfrmPreview::QRPreview() const {
    return ui->QRPreview;
}

TQRPrinter* TfrmPreview::Printer() const {
    return ui->QRPreview->QRPrinter();
}

QString TfrmPreview::StatusText() const {
    return ui->Status->text();
}

void TfrmPreview::ConnectCommands() {
    const std::pair<QAbstractButton*, void (TfrmPreview::*)()> Buttons[] = {
        {ui->ZoomToFit, &TfrmPreview::ZoomToFitClick},
        {ui->ZoomTo100, &TfrmPreview::ZoomTo100Click},
        {ui->ZoomToWidth, &TfrmPreview::ZoomToWidthClick},
        {ui->FirstPage, &TfrmPreview::FirstPageClick},
        {ui->PrevPage, &TfrmPreview::PrevPageClick},
        {ui->NextPage, &TfrmPreview::NextPageClick},
        {ui->LastPage, &TfrmPreview::LastPageClick},
        {ui->PrintSetup, &TfrmPreview::PrintSetupClick},
        {ui->Print, &TfrmPreview::PrintClick},
        {ui->Save, &TfrmPreview::sbSaveClick},
        {ui->Load, &TfrmPreview::sbOpenClick},
        {ui->Exit, &TfrmPreview::ExitClick},
    };
    for (const auto& [Button, Handler] : Buttons)
        connect(Button, &QAbstractButton::clicked, this, Guarded([this, H = Handler] { (this->*H)(); }));
    connect(&tmrView, &QTimer::timeout, this, Guarded([this] { tmrViewTimer(); }));
}

void TfrmPreview::FormCreate() {
    // Maximised on the screen that holds the program's main window.
    CentreOnScreen(*this);
    setWindowState(windowState() | Qt::WindowMaximized);
    const std::pair<QAbstractButton*, const char*> Glyphs[] = {
        {ui->ZoomToFit, "QRZOOMTOFITBITMAP"},
        {ui->ZoomTo100, "QRZOOMTO100BITMAP"},
        {ui->ZoomToWidth, "QRZOOMTOWIDTHBITMAP"},
        {ui->FirstPage, "QRFIRSTPAGEBITMAP"},
        {ui->PrevPage, "QRPREVPAGEBITMAP"},
        {ui->NextPage, "QRNEXTPAGEBITMAP"},
        {ui->LastPage, "QRLASTPAGEBITMAP"},
        {ui->PrintSetup, "QRPRINTSETUPBITMAP"},
        {ui->Print, "QRPRINTBITMAP"},
        {ui->Save, "QRSAVEBITMAP"},
        {ui->Load, "QROPENBITMAP"},
    };
    for (const auto& [Button, Name] : Glyphs) {
        Button->setIcon(QIcon(QPixmap::fromImage(QRBitmap(Name))));
        SetHint(Button, Button->toolTip());
    }
    ui->Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    // The zoom group shows page width pressed; the zoom itself starts at 100.
    ui->ZoomToWidth->setChecked(true);
}

void TfrmPreview::FormShow() {
    tmrView.start();
}

void TfrmPreview::FormResize() {
    ui->QRPreview->UpdateZoom();
}

void TfrmPreview::FormClose() {
    // Letting go of the printer object ends the report's preview.
    ui->QRPreview->SetQRPrinter(nullptr);
}

void TfrmPreview::showEvent(QShowEvent* Event) {
    QWidget::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

void TfrmPreview::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    FormResize();
}

void TfrmPreview::closeEvent(QCloseEvent* Event) {
    tmrView.stop();
    FormClose();
    Event->accept();
}

void TfrmPreview::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        ui->Exit->click();
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TfrmPreview::UpdateStatus() {
    const int Pages = Printer() != nullptr ? Printer()->PageCount() : 0;
    // A file without pages has no page to name.
    if (Pages == 0) {
        ui->Status->clear();
        return;
    }
    ui->Status->setText(QStringLiteral("%1 %2 %3 %4")
                            .arg(QLatin1String(QRStrPage))
                            .arg(ui->QRPreview->PageNumber())
                            .arg(QLatin1String(QRStrOf))
                            .arg(Pages));
}

void TfrmPreview::LoadReportFile(const std::string& FileName) {
    if (!FileExists(FileName)) {
        // A folder of a report's name is there, but is no file: the message says which it is.
        ShowMessage(DirectoryExists(FileName)
                        ? QStringLiteral("%1 is a folder, not a report file").arg(FromFileName(FileName))
                        : QString::fromLatin1(QRStrFileDoesNotExist));
        return;
    }
    TQRPrinter* Pages = Printer();
    if (Pages == nullptr)
        return;
    // Until the file's pages are ready the status line says so; a file refused clears it.
    ui->Status->setText(QStringLiteral("Working..."));
    ui->Status->repaint();
    THourglass Wait;
    try {
        Pages->Load(FileName);
    } catch (...) {
        ui->Status->clear();
        throw;
    }
    ui->QRPreview->ShowPage(1);
    UpdateStatus();
}

void TfrmPreview::ZoomToFitClick() {
    TApplication::ProcessMessages();
    ui->QRPreview->ZoomToFit();
}

void TfrmPreview::ZoomTo100Click() {
    TApplication::ProcessMessages();
    ui->QRPreview->SetZoom(100);
}

void TfrmPreview::ZoomToWidthClick() {
    TApplication::ProcessMessages();
    ui->QRPreview->ZoomToWidth();
}

void TfrmPreview::FirstPageClick() {
    ui->QRPreview->SetPageNumber(1);
    UpdateStatus();
}

void TfrmPreview::PrevPageClick() {
    ui->QRPreview->SetPageNumber(ui->QRPreview->PageNumber() - 1);
    UpdateStatus();
}

void TfrmPreview::NextPageClick() {
    ui->QRPreview->SetPageNumber(ui->QRPreview->PageNumber() + 1);
    UpdateStatus();
}

void TfrmPreview::LastPageClick() {
    if (Printer() != nullptr)
        ui->QRPreview->SetPageNumber(Printer()->PageCount());
    UpdateStatus();
}

void TfrmPreview::PrintSetupClick() {
    if (Printer() != nullptr)
        Printer()->PrinterSetup();
}

void TfrmPreview::PrintClick() {
    if (Printer() != nullptr)
        Printer()->Print();
}

void TfrmPreview::sbSaveClick() {
    if (!dlgSave.Execute() || Printer() == nullptr)
        return;
    std::string Name = dlgSave.FileName;
    if (ExtractFileExt(Name).empty()) {
        Name += ReportFileExt;
        if (!ConfirmReplace(Name))
            return;
    }
    THourglass Wait;
    Printer()->Save(Name);
}

void TfrmPreview::sbOpenClick() {
    if (dlgOpen.Execute())
        LoadReportFile(dlgOpen.FileName);
}

void TfrmPreview::ExitClick() {
    close();
}

void TfrmPreview::tmrViewTimer() {
    tmrView.stop();
    if (mArguments.isEmpty())
        return;
    const std::string First = ToFileName(mArguments.constFirst());
    if (UpperCase(ExtractFileExt(First)) == ReportFileExt)
        LoadReportFile(First);
}
