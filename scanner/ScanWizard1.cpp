#include "scanner/ScanWizard1.h"

#include "components/CDKPathE.h"
#include "platform/access/Access.h"
#include "platform/dao/DAO.h"
#include "platform/rtl/TextCodec.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "scanmodel/NodeImages.h"
#include "scanmodel/SourceFiles.h"
#include "scanner/Main.h"
#include "scanner/ScanHit.h"

#include "ui_ScanWizard1.h"

#include <QDir>
#include <QFileInfo>
#include <QShowEvent>
#include <QTimer>

#include <filesystem>

std::unique_ptr<TProjectInfo> ScanProject;
std::unique_ptr<TMDBInfo> ScanMDB;
std::string ScanFolder;
TfrmScanWizard* frmScanWizard = nullptr;

namespace {
constexpr int IntroPage = 0;
constexpr int ScanPage = 1;
// Progress repaints and message pumping at most this often (ten times a second keeps the bar
// moving and Cancel answering, and costs a scan little); StopScan is still tested after every
// unit of work.
constexpr int PaintIntervalMs = 100;

bool Contains(const std::string& S, const char* Part) {
    return S.find(Part) != std::string::npos;
}

/// The equals cut and the semicolon cut of a project-file line. The whole value is kept, so that
/// long relative paths still name their file.
void CutValue(std::string& S) {
    if (const auto Eq = S.find('='); Eq != std::string::npos)
        S.erase(0, Eq + 1);
    if (const auto Semi = S.find(';'); Semi != std::string::npos)
        S.erase(0, std::min(Semi + 2, S.size()));
}

std::string FolderOf(const std::string& FileName) {
    const auto P = FileName.rfind('/');
    return P == std::string::npos ? std::string() : FileName.substr(0, P + 1);
}
} // namespace

std::pair<std::string, std::string> ModuleFile(const std::string& Entry, const std::string& Folder) {
    const bool Drive = Contains(Entry, ":");
    if (!Drive && !Contains(Entry, "..") && !Entry.starts_with('/'))
        return {Folder, Entry};
    std::string Path = ExtractWindowsPath(Entry);
    if (!Drive && !Entry.starts_with('/')) {
        // A folder beside or above the project's: resolved from the project's folder, so that a
        // document re-scans the same files whatever the current folder is.
        Path = std::filesystem::path(ResolveWindowsPath(Folder, Path)).lexically_normal().string();
        if (!Path.ends_with('/'))
            Path += '/';
    }
    return {Path, ExtractWindowsName(Entry)};
}

Longint ModuleImage(const std::string& Entry) {
    const std::string S = UpperCase(Entry);
    Longint Image = imCodeModule;
    const std::pair<const char*, TNodeImage> Kinds[] = {
        {".FRM", imForm}, {".BAS", imCodeModule}, {".CLS", imClass}, {".CTL", imUserControl}};
    for (const auto& [Extension, KindImage] : Kinds)
        if (Contains(S, Extension))
            Image = KindImage;
    return Image;
}

TfrmScanWizard::TfrmScanWizard(QWidget* Parent)
    : TModalForm(Parent), ui(new Ui::TfrmScanWizard), tmrKill(new QTimer(this)) {
    ui->setupUi(this);
    setWindowFlags(NoBorderIcons);
    TCDKPathEditor* Select = ui->sbSelect;
    Select->SetFilter(QStringLiteral("Visual Basic Project|*.mak;*.vbp|MS Access|*.mdb|All Files (*.*)|*.*"));
    Select->SetFilterIndex(1);
    Select->SetDefaultExt(QStringLiteral("Mak"));
    Select->SetOptions({ofReadOnly, ofHideReadOnly, ofPathMustExist, ofFileMustExist});
    Select->OnDialogDrop = [this](TObject*) { Application->Guard([this] { sbSelectDialogDrop(); }); };
    // The editor keeps itself two pixels taller than its edit box; the layout learns it here.
    Select->setMinimumHeight(Select->MainPathEdit->sizeHint().height() + 2);
    NotifyLoaded(this);
    setFixedSize(sizeHint());

    tmrKill->setSingleShot(false);
    tmrKill->setInterval(100);
    connect(tmrKill, &QTimer::timeout, this, Guarded([this] { tmrKillTimer(); }));
    connect(ui->btnNext, &QAbstractButton::clicked, this, Guarded([this] { btnNextClick(); }));
    connect(ui->btnCancel, &QAbstractButton::clicked, this, Guarded([this] { btnCancelClick(); }));
    SetCancelButton(ui->btnCancel);
}

TfrmScanWizard::~TfrmScanWizard() {
    delete ui;
}

int TfrmScanWizard::ScanMode() const {
    return ui->rdoAutomatic->isChecked() ? 1 : 0;
}

void TfrmScanWizard::SetScanMode(int Value) {
    (Value == 1 ? ui->rdoAutomatic : ui->rdoManual)->setChecked(true);
}

void TfrmScanWizard::AddSorted(QListWidget* List, const std::string& Entry) {
    const QString Text = FromAnsi(Entry);
    int Row = List->count();
    while (Row > 0 && List->item(Row - 1)->text().compare(Text, Qt::CaseInsensitive) > 0)
        --Row;
    List->insertItem(Row, Text);
}

void TfrmScanWizard::SetEntries(QListWidget* List, const std::vector<std::string>& Entries) {
    List->clear();
    for (const std::string& Entry : Entries)
        AddSorted(List, Entry);
}

std::vector<std::string> TfrmScanWizard::Entries(const QListWidget* List) {
    std::vector<std::string> Out;
    for (int I = 0; I < List->count(); ++I)
        Out.push_back(ToAnsi(List->item(I)->text()));
    return Out;
}

// --- showing and closing ---

void TfrmScanWizard::showEvent(QShowEvent* Event) {
    TModalForm::showEvent(Event);
    if (Event->spontaneous())
        return;
    mShowing = true;
    Application->Guard([this] { FormShow(); });
    mShowing = false;
    // The modal loop starts without a result, as a window's does.
    mResult = mrNone;
}

bool TfrmScanWizard::event(QEvent* Event) {
    const bool Result = TModalForm::event(Event);
    if (Event->type() == QEvent::WindowActivate)
        Application->Guard([this] { FormActivate(); });
    return Result;
}

void TfrmScanWizard::FormShow() {
    ScanProject = std::make_unique<TProjectInfo>();
    ScanMDB = std::make_unique<TMDBInfo>();
    mAutoStarted = false;
    mCloseOnActivate = false;
    mResult = mrNone;
    mSincePaint.invalidate();
    mAcceptedHits = 0;
    // The database reader hides the list of add-ons; every showing starts with it shown.
    ui->lblVBXs->setVisible(true);
    ui->lstVBXs->setVisible(true);
    switch (Mode) {
    case 0:
        ui->sbSelect->SetText({});
        ui->nteScan->setCurrentIndex(IntroPage);
        ui->lstFiles->clear();
        ui->lstVBXs->clear();
        ui->btnNext->show();
        ui->btnNext->setEnabled(false);
        break;
    case 1:
        ui->nteScan->setCurrentIndex(IntroPage);
        ui->btnNext->show();
        ui->btnNext->setEnabled(false);
        sbSelectDialogDrop();
        if (ScanMode() == 0)
            break;
        if (ui->btnNext->isEnabled()) {
            btnNextClick();
            mAutoStarted = true;
        } else {
            btnCancelClick();
        }
        mCloseOnActivate = true;
        break;
    case 2:
    case 3:
        SetScanMode(0);
        ui->nteScan->setCurrentIndex(IntroPage);
        mIsMDB = false;
        ui->btnNext->show();
        ui->btnNext->setEnabled(true);
        PrepareRescan();
        break;
    default:
        break;
    }
}

void TfrmScanWizard::PrepareRescan() {
    // The project file is not read again: the project keeps its name and folder, its modules
    // come from the file list and its custom controls from the list of add-ons.
    const std::string FileName = ToFileName(ui->sbSelect->Text());
    ScanFolder = FolderOf(FileName);
    ScanProject->Path = ScanFolder;
    ScanProject->Name = FileName.substr(ScanFolder.size());
    if (Mode == 2)
        for (const std::string& Entry : Entries(ui->lstVBXs))
            ScanProject->AddVBX(new TVBXInfo(Entry, ScanFolder));
}

void TfrmScanWizard::FormActivate() {
    if (!mCloseOnActivate)
        return;
    mCloseOnActivate = false;
    tmrKill->start();
}

void TfrmScanWizard::tmrKillTimer() {
    tmrKill->stop();
    Close();
}

void TfrmScanWizard::Close() {
    if (mShowing)
        return;
    done(mResult == mrNone ? mrCancel : mResult);
}

void TfrmScanWizard::reject() {
    btnCancelClick();
}

void TfrmScanWizard::btnCancelClick() {
    StopScan = true;
    Close();
}

// --- choosing the file ---

void TfrmScanWizard::sbSelectDialogDrop() {
    const QString Extension = QFileInfo(ui->sbSelect->FileName()).suffix();
    THourglass Hourglass;
    Application->ProcessMessages();
    repaint();
    if (Extension.toUpper() == QStringLiteral("MDB")) {
        mIsMDB = true;
        LoadMDBObjects();
    } else {
        mIsMDB = false;
        LoadProjectFile();
    }
}

namespace {

/// The code modules that could not be written beside the database, and why the first could not.
struct TExportFailures {
    int Count = 0;
    std::string Reason;
};

} // namespace

void TfrmScanWizard::LoadMDBObjects() {
    ui->lstFiles->clear();
    ui->lstVBXs->clear();
    // A database has no add-on files.
    ui->lblVBXs->setVisible(false);
    ui->lstVBXs->setVisible(false);

    auto Engine = dao::DBEngine::Create();
    auto Workspace = Engine->Workspaces(0);
    std::shared_ptr<dao::Database> Database;
    std::shared_ptr<msaccess::Application> AccessApp;
    TExportFailures Failures;
    bool PropertiesUnread = false;

    const QString Text = ui->sbSelect->Text();
    // Made absolute as project files are, so that the objects find their database and code
    // files whatever the current folder is later.
    const std::string FileName =
        ToFileName(Text.isEmpty() ? Text : QDir::cleanPath(QFileInfo(Text).absoluteFilePath()));

    // Every object of the database node knows its file and reports its hits to the wizard.
    auto Bind = [&](TMDBObjectInfo* Object, const std::string& Name) {
        Object->Name = Name;
        Object->SetDatabaseFile(FileName);
        Object->OnHit = [this](TObject* Sender, TMDBHitInfo*& Hit, const std::string& Filename,
                               TModalResult& Accept) { MDBHit(Sender, Hit, Filename, Accept); };
        return Object;
    };
    // The objects of the database's own names are listed too.
    auto Listed = [&](TMDBObjectInfo* Object) {
        AddSorted(ui->lstFiles, Object->Name);
        return Object;
    };
    // The code of a form, report or standard module, written beside the database as a text file
    // that the database module scan reads; Kind 0 form, 1 report, 2 standard module.
    auto ExportMDBModule = [&](int Kind, const std::string& ObjectName) {
        const std::string ModuleName = Kind == 0   ? "Form_" + ObjectName
                                       : Kind == 1 ? "Report_" + ObjectName
                                                   : ObjectName;
        const std::string ExportName = ModuleName + (Kind == 2 ? ".Bas" : ".cbf");
        msaccess::DoCmdObject& DoCmd = AccessApp->DoCmd();
        try {
            // A form or report without code has no module to open: no failure, no object.
            DoCmd.OpenModule(ModuleName);
            try {
                DoCmd.OutputTo(msaccess::acOutputModule, ModuleName, msaccess::acFormatTXT,
                               ScanFolder + ExportName, false, "");
            } catch (const std::exception& E) {
                // The module has code that will not be scanned: the user hears of it below.
                if (Failures.Count++ == 0)
                    Failures.Reason = E.what();
                throw;
            }
            auto* Module = Bind(new TMDBModuleInfo, ExportName);
            Module->Path = ScanFolder;
            ScanMDB->AddModule(Module);
        } catch (...) {
        }
        DoCmd.Close(msaccess::acModule, ModuleName, 0);
    };
    auto IsSystemObject = [](const std::string& Name) { return Name.starts_with("MSys"); };

    // Leaving however the reader ends: the database is let go and Access quits.
    auto Release = [&] {
        Database.reset();
        if (AccessApp)
            std::exchange(AccessApp, nullptr)->Quit();
        Workspace.reset();
        Engine.reset();
    };
    try {
        ScanFolder = FolderOf(FileName);
        ScanMDB->Clear();
        ScanMDB->Path = ScanFolder;
        ScanMDB->Name = FileName.substr(ScanFolder.size());

        Database = Workspace->OpenDatabase(FileName, false, true, "");
        auto Specs = Database->OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3);
        if (!(Specs->BOF() && Specs->EOF())) {
            Specs->MoveFirst();
            for (; !Specs->EOF(); Specs->MoveNext())
                ScanMDB->AddIMEXSpec(
                    Listed(Bind(new TMDBIMEXSpecInfo, Specs->Fields().Item("SpecName").Value().AsString())));
        }
        Specs->Close();
        for (int I = 0; I < Database->TableDefs().Count(); ++I)
            if (const std::string Name = Database->TableDefs().Item(I)->Name(); !IsSystemObject(Name))
                ScanMDB->AddTable(Listed(Bind(new TMDBTableInfo, Name)));
        for (int I = 0; I < Database->QueryDefs().Count(); ++I)
            if (const std::string Name = Database->QueryDefs().Item(I)->Name(); !IsSystemObject(Name))
                ScanMDB->AddQuery(Listed(Bind(new TMDBQueryInfo, Name)));
        // Access opens the file only once the engine has let go of it.
        Database->Close();
        Database.reset();

        AccessApp = msaccess::Application::Create();
        AccessApp->OpenCurrentDatabase(FileName, false);
        const auto Current = AccessApp->CurrentDB();
        const msaccess::DocumentList& Forms = Current->Containers("Forms").Documents();
        for (int I = 0; I < Forms.Count(); ++I) {
            const std::string Name = Forms.Item(I).Name();
            ScanMDB->AddForm(Listed(Bind(new TMDBFormInfo, Name)));
            ExportMDBModule(0, Name);
        }
        const msaccess::DocumentList& Reports = Current->Containers("Reports").Documents();
        for (int I = 0; I < Reports.Count(); ++I) {
            const std::string Name = Reports.Item(I).Name();
            ScanMDB->AddReport(Listed(Bind(new TMDBReportInfo, Name)));
            ExportMDBModule(1, Name);
        }
        const msaccess::DocumentList& Modules = Current->Containers("Modules").Documents();
        for (int I = 0; I < Modules.Count(); ++I) {
            const std::string Name = Modules.Item(I).Name();
            ExportMDBModule(2, Name);
            AddSorted(ui->lstFiles, Name);
        }
        PropertiesUnread = AccessApp->PropertiesUnread();
        Current->Close();

        const bool Any = ui->lstFiles->count() > 0;
        ui->btnNext->setEnabled(Any);
        if (Any)
            ui->btnNext->setFocus();
    } catch (...) {
        // A database that cannot be read leaves nothing to scan; the reader's own failure is the
        // one the user hears of, not a failing clean-up.
        ui->btnNext->setEnabled(false);
        try {
            Release();
        } catch (...) {
        }
        throw;
    }
    Release();
    if (Failures.Count > 0)
        MessageDlg(QStringLiteral(
                       "%1 code module(s) could not be exported to the folder %2 and are not scanned:\n%3")
                       .arg(Failures.Count)
                       .arg(FromFileName(ScanFolder), FromMessage(Failures.Reason)),
                   TMsgDlgType::mtWarning, mbOK);
    // Read from the database file, forms and reports have their controls but no property values.
    if (PropertiesUnread)
        MessageDlg(
            QStringLiteral("The forms and reports of %1 were read from the database file, which gives only "
                           "their controls' names and types: their property values (formats, control "
                           "sources, default values) are not scanned.\nTo have them scanned, put a text "
                           "export of the database (Access's SaveAsText files in the folders forms, "
                           "reports and modules) into the folder %2.")
                .arg(FromFileName(ScanMDB->Name), FromFileName(FileName + ".src/")),
            TMsgDlgType::mtInformation, mbOK);
}

void TfrmScanWizard::LoadProjectFile() {
    ui->lstFiles->clear();
    ui->lstVBXs->clear();
    ui->lblVBXs->setVisible(true);
    ui->lstVBXs->setVisible(true);

    const QString Text = ui->sbSelect->Text();
    // A name relative to the current folder is made absolute (and "." and ".." taken out), so
    // that the project's folder stays valid whatever the current folder is later.
    const std::string FileName =
        ToFileName(Text.isEmpty() ? Text : QDir::cleanPath(QFileInfo(Text).absoluteFilePath()));
    const std::vector<std::string> Lines = LoadSourceLines(FileName);

    ScanFolder = FolderOf(FileName);
    ScanProject->Clear();
    ScanProject->Path = ScanFolder;
    ScanProject->Name = FileName.substr(ScanFolder.size());

    for (const std::string& Line : Lines) {
        std::string S = UpperCase(Line);
        if (Contains(S, ".FRM") || Contains(S, ".BAS") || Contains(S, ".CTL") || Contains(S, ".CLS")) {
            CutValue(S);
            AddSorted(ui->lstFiles, S);
        }
        if (Contains(S, ".VBX")) {
            AddSorted(ui->lstVBXs, S);
            ScanProject->AddVBX(new TVBXInfo(S, ScanFolder));
        }
        if (Contains(S, ".OCX")) {
            CutValue(S);
            AddSorted(ui->lstVBXs, S);
            ScanProject->AddVBX(new TVBXInfo(S, ScanFolder));
        }
    }
    if (!Lines.empty()) {
        ui->btnNext->setEnabled(true);
        ui->btnNext->setFocus();
    }
}

// --- scanning ---

void TfrmScanWizard::btnNextClick() {
    if (ui->nteScan->currentIndex() != IntroPage)
        return;
    if (ui->sbSelect->FileName().isEmpty()) {
        ShowMessage(QStringLiteral("Need to specify project"));
        return;
    }
    ui->nteScan->setCurrentIndex(ScanPage);
    ui->btnNext->hide();
    ui->btnCancel->setFocus();
    repaint();
    if (mIsMDB)
        DoScanMDB();
    else
        DoScanProject();
}

void TfrmScanWizard::BuildModules() {
    ui->ProgressBar->setValue(0);
    ui->ProgressBar->setMaximum(0);
    for (const std::string& Entry : Entries(ui->lstFiles)) {
        auto Module = std::make_unique<TModuleInfo>();
        if (PaintDue()) {
            ui->lblFilename->setText(FromAnsi(Entry));
            ui->lblFilename->repaint();
        }
        std::tie(Module->Path, Module->Name) = ModuleFile(Entry, ScanFolder);
        Module->ImageIndex = ModuleImage(Entry);
        // The scan reads the file again: here its lines are only counted, for the progress bar.
        try {
            Module->CountLines();
        } catch (const std::exception& E) {
            throw Exception("Cannot read the module " + Cp1252ToUtf8(Entry) + " in the folder " +
                            Module->Path + ": " + E.what());
        }
        Module->PageIndex = pgModule;
        Module->OnBeforeScan = [this](TObject* Sender) { ModuleProgress(Sender); };
        Module->OnHit = [this](TObject* Sender, THitInfo*& Hit, const std::string& Filename,
                               TModalResult& Accept) { ModuleHit(Sender, Hit, Filename, Accept); };
        ScanProject->AddModule(Module.release());
    }
    ui->ProgressBar->setMaximum(static_cast<int>(ScanProject->ProjectLinesOfCode()));
}

void TfrmScanWizard::DoScanProject() {
    ui->aniScan->SetActive(true);
    mProgress = 0;
    try {
        BuildModules();
    } catch (...) {
        // The wizard waits on the Scan page for Cancel.
        ui->aniScan->SetActive(false);
        throw;
    }
    try {
        if (Mode == 3) {
            if (ScanProject->ModuleCount() > 0)
                ScanProject->GetModule(0)->Scan(*KeyWordList, *ExcludeWordList);
        } else {
            ScanProject->Scan(*KeyWordList, *ExcludeWordList);
        }
        mResult = mrOk;
    } catch (...) {
        EndScan();
        throw;
    }
    EndScan();
}

void TfrmScanWizard::DoScanMDB() {
    ui->ProgressBar->setValue(0);
    ui->ProgressBar->setMaximum(static_cast<int>(ScanMDB->ObjectCount()));
    mProgress = 0;
    ui->aniScan->SetActive(true);
    ui->lblFilename->setText(ui->sbSelect->FileName());
    ScanMDB->OnBeforeScan = [this](TObject* Sender) { MDBProgress(Sender); };
    try {
        ScanMDB->Scan(*KeyWordList, *ExcludeWordList);
        mResult = mrOk;
    } catch (...) {
        EndScan();
        throw;
    }
    EndScan();
}

void TfrmScanWizard::EndScan() {
    ui->ProgressBar->setValue(0);
    ui->aniScan->SetActive(false);
    Application->ProcessMessages();
    // A returned scan ends the wizard with OK; anything else closes it without a result.
    Close();
}

bool TfrmScanWizard::PaintDue() {
    if (mSincePaint.isValid() && mSincePaint.elapsed() < PaintIntervalMs)
        return false;
    mSincePaint.start();
    return true;
}

void TfrmScanWizard::Progress(int ClockEvery) {
    ++mProgress;
    // Reading the clock costs more than a short unit of work: lines look at it in batches.
    if ((mProgress % ClockEvery == 0 || !mSincePaint.isValid()) && PaintDue()) {
        ui->ProgressBar->setValue(std::min(mProgress, ui->ProgressBar->maximum()));
        repaint();
        // Lets a click on Cancel reach the wizard.
        Application->ProcessMessages();
    }
    if (StopScan)
        Close();
}

void TfrmScanWizard::ModuleProgress(TObject*) {
    Progress(64);
}

void TfrmScanWizard::MDBProgress(TObject*) {
    Progress(1);
}

template <class Hit>
void TfrmScanWizard::AskHit(Hit& Found, const std::string& Filename, TModalResult& Accept) {
    Accept = mrOk;
    // Automatic mode keeps the hit as the model filled it; the progress display repaints.
    if (ScanMode() == 1)
        return;
    TfrmScanHit& Prompt = *frmScanHit;
    Prompt.ShowHit(Found, Filename);
    Prompt.AcceptedHits = mAcceptedHits;
    const TModalResult Answer = Prompt.ShowModal();
    if (Answer == mrCancel && Prompt.Exclude())
        ExcludeWordList->Add(Found.Variable);
    if (Answer == mrOk) {
        ++mAcceptedHits;
        Found.Compliant = Prompt.Compliant();
        Found.ErrorType = Prompt.ErrorType();
    }
    Accept = Answer;
    update();
}

void TfrmScanWizard::ModuleHit(TObject*, THitInfo*& Hit, const std::string& Filename, TModalResult& Accept) {
    AskHit(*Hit, Filename, Accept);
}

void TfrmScanWizard::MDBHit(TObject*, TMDBHitInfo*& Hit, const std::string& Filename, TModalResult& Accept) {
    AskHit(*Hit, Filename, Accept);
}
