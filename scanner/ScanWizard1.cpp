#include "scanner/ScanWizard1.h"

#include "components/CDKPathE.h"
#include "platform/access/Access.h"
#include "platform/dao/DAO.h"
#include "platform/rtl/TextCodec.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "scanmodel/NodeImages.h"
#include "scanmodel/SourceFiles.h"
#include "scanner/ScanHit.h"
#include "scanner/WordLists.h"

#include "ui_ScanWizard1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QShowEvent>
#include <QTimer>

#include <set>

std::unique_ptr<TProjectInfo> ScanProject;
std::unique_ptr<TMDBInfo> ScanMDB;
std::string ScanFolder;
TfrmScanWizard* frmScanWizard = nullptr;

namespace {
constexpr int IntroPage = 0;
constexpr int ScanPage = 1;
// Repaints and message pumping while a file is read and scanned, at most this often (ten times a
// second keeps the bar moving and Cancel answering, and costs a scan little): the picked file, the
// scan page and the end of a scan are painted when the clock is due, so a scan of a few
// milliseconds, or a run of them, does not paint pages nobody could see; a page left unpainted is
// painted by the next message loop that finds the wizard on the screen. StopScan is still tested
// after every unit of work.
constexpr int PaintIntervalMs = 100;

bool Contains(const std::string& S, const char* Part) {
    return S.find(Part) != std::string::npos;
}

/// How the end message names a database object's kind.
std::string ObjectKind(const TMDBObjectInfo& Object) {
    if (dynamic_cast<const TMDBTableInfo*>(&Object))
        return "table";
    if (dynamic_cast<const TMDBQueryInfo*>(&Object))
        return "query";
    if (dynamic_cast<const TMDBFormInfo*>(&Object))
        return "form";
    if (dynamic_cast<const TMDBReportInfo*>(&Object))
        return "report";
    if (dynamic_cast<const TMDBModuleInfo*>(&Object))
        return "code module";
    if (dynamic_cast<const TMDBIMEXSpecInfo*>(&Object))
        return "import/export specification";
    return "object";
}

/// Whether a form or report of the scanned database was read: one that failed is no longer in
/// it, and one that the scan did not reach still has the image it was made with.
bool AnyDesignRead(const TMDBInfo& Database) {
    for (const TMDBObjectKind Kind : {okForm, okReport}) {
        const TMDBObjectInfos& Objects = Database.Objects(Kind);
        for (Longint I = 0; I < Objects.Count(); ++I)
            if (const Longint Image = Objects.Items(I)->ImageIndex;
                Image == imMDBForm || Image == imMDBFormHits || Image == imMDBReport ||
                Image == imMDBReportHits)
                return true;
    }
    return false;
}

/// Quits an Access application however the work with it ends: a failure of that work is the
/// one the user hears of, and Quit fails only once the application has quit.
class TQuitAtExit {
public:
    explicit TQuitAtExit(msaccess::Application& Access) : mAccess(Access) {}
    TQuitAtExit(const TQuitAtExit&) = delete;
    TQuitAtExit& operator=(const TQuitAtExit&) = delete;
    ~TQuitAtExit() {
        if (mAccess.Running())
            mAccess.Quit();
    }

private:
    msaccess::Application& mAccess;
};

} // namespace

void ShowPropertiesUnread(const std::vector<std::string>& Databases) {
    if (Databases.empty())
        return;
    const QString Values =
        QStringLiteral("only their controls' names and types: their property values (formats, "
                       "control sources, default values) are not scanned.");
    const QString Export =
        QStringLiteral("(Access's SaveAsText files in the folders forms, reports and modules)");
    QStringList Folders;
    for (const std::string& Database : Databases)
        Folders << FromFileName(Database + ".src/");
    const QString Summary =
        Databases.size() == 1
            ? QStringLiteral(
                  "The forms and reports of %1 were read from the database file, which gives %2\nTo "
                  "have them scanned, put a text export of the database %3 into the folder "
                  "named below.")
                  .arg(FromFileName(ExtractFileName(Databases[0])), Values, Export)
            : QStringLiteral("The forms and reports of %1 databases were read from the database files, which "
                             "give %2\nTo have them scanned, put a text export of each database %3 into the "
                             "folder named after its file plus .src beside it, as listed below.")
                  .arg(Databases.size())
                  .arg(Values, Export);
    MessageDlg(Summary, Folders, TMsgDlgType::mtInformation, mbOK);
}

void ShowSkipped(const std::vector<TSkippedPart>& Parts) {
    if (Parts.empty())
        return;
    std::set<std::string> Files;
    QStringList Lines;
    for (const TSkippedPart& Part : Parts) {
        Files.insert(Part.File);
        const std::string Name = Part.What.empty() ? Part.File : Part.File + ", " + Part.What;
        Lines << QStringLiteral("%1: %2").arg(FromMessage(Name), FromMessage(Part.Reason));
    }
    const QString Summary =
        (Parts.size() == 1
             ? QStringLiteral("1 part in 1 file could not be read and is left out of the document.")
             : QStringLiteral("%1 parts in %2 %3 could not be read and are left out of the "
                              "document.")
                   .arg(Parts.size())
                   .arg(Files.size())
                   .arg(Files.size() == 1 ? QStringLiteral("file") : QStringLiteral("files")));
    MessageDlg(Summary, Lines, TMsgDlgType::mtWarning, mbOK);
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
    Select->SetFilter(
        QStringLiteral("Visual Basic Project|*.mak;*.vbp|MS Access|*.mdb;*.accdb|All Files (*.*)|*.*"));
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

TScanMode TfrmScanWizard::ScanMode() const {
    return ui->rdoAutomatic->isChecked() ? smAutomatic : smManual;
}

void TfrmScanWizard::SetScanMode(TScanMode Value) {
    (Value == smAutomatic ? ui->rdoAutomatic : ui->rdoManual)->setChecked(true);
}

void TfrmScanWizard::AddSorted(QListWidget* List, const std::string& Entry) {
    // The place is found by halving: a project file or a database may list tens of thousands of
    // entries, which a search from the end would compare with each other entry.
    const QString Text = FromAnsi(Entry);
    int Low = 0, High = List->count();
    while (Low < High) {
        const int Mid = Low + (High - Low) / 2;
        if (List->item(Mid)->text().compare(Text, Qt::CaseInsensitive) > 0)
            High = Mid;
        else
            Low = Mid + 1;
    }
    List->insertItem(Low, Text);
}

void TfrmScanWizard::SetEntries(QListWidget* List, const std::vector<std::string>& Entries) {
    List->clear();
    for (const std::string& Entry : Entries)
        AddSorted(List, Entry);
}

void TfrmScanWizard::SetFileName(const QString& FileName) {
    ui->sbSelect->SetText(FileName);
}

void TfrmScanWizard::SetEntries(const std::vector<std::string>& Files, const std::vector<std::string>& VBXs) {
    SetEntries(ui->lstFiles, Files);
    SetEntries(ui->lstVBXs, VBXs);
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
    mSkipped.clear();
    mPropertiesUnread.clear();
    mFormsFromFile = false;
    mAcceptedHits = 0;
    // The database reader hides the list of add-ons; every showing starts with it shown.
    ui->lblVBXs->setVisible(true);
    ui->lstVBXs->setVisible(true);
    switch (Mode) {
    case wmSelectFile:
        ui->sbSelect->SetText({});
        // Emptied before the page shows them, so that their old entries are not laid out.
        ui->lstFiles->clear();
        ui->lstVBXs->clear();
        ui->nteScan->setCurrentIndex(IntroPage);
        ui->btnNext->show();
        ui->btnNext->setEnabled(false);
        break;
    case wmFolderSearch:
        ui->nteScan->setCurrentIndex(IntroPage);
        ui->btnNext->show();
        ui->btnNext->setEnabled(false);
        if (ScanMode() == smManual) {
            sbSelectDialogDrop();
            break;
        }
        AutoScan();
        mCloseOnActivate = true;
        break;
    case wmRescanProject:
    case wmRescanModule:
        SetScanMode(smManual);
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
    ScanFolder = ExtractFilePath(FileName);
    ScanProject->Path = ScanFolder;
    ScanProject->Name = ExtractFileName(FileName);
    if (Mode == wmRescanProject)
        for (const std::string& Entry : Entries(ui->lstVBXs))
            AddVBX(Entry);
}

void TfrmScanWizard::AutoScan() {
    try {
        sbSelectDialogDrop();
        if (ui->btnNext->isEnabled()) {
            btnNextClick();
            mAutoStarted = true;
            return;
        }
    } catch (const EAbort&) {
    } catch (const std::exception& E) {
        Skip({}, E.what());
    }
    mResult = mrNone;
    StopScan = true;
    Close();
}

void TfrmScanWizard::AddVBX(const std::string& Entry) {
    // An add-on whose file cannot be read is named at the scan's end, not kept.
    try {
        ScanProject->AddVBX(new TVBXInfo(Entry, ScanFolder));
    } catch (const std::exception& E) {
        Skip("add-on " + Cp1252ToUtf8(Entry), E.what());
    }
}

void TfrmScanWizard::Skip(const std::string& What, const std::string& Reason) {
    mSkipped.push_back({ToFileName(ui->sbSelect->Text()), What, Reason});
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
    // A stopped scan merges nothing: nothing is left out of the document to name.
    mSkipped.clear();
    Close();
}

// --- choosing the file ---

void TfrmScanWizard::sbSelectDialogDrop() {
    const QString Extension = QFileInfo(ui->sbSelect->FileName()).suffix();
    THourglass Hourglass;
    if (PaintDue()) {
        Application->ProcessMessages();
        PaintChanges();
    }
    // Nothing to scan until the file is read: one that cannot be read must not leave the
    // previous file's entries and Next in place, which would scan an empty project over it.
    ui->lstFiles->clear();
    ui->lstVBXs->clear();
    ui->btnNext->setEnabled(false);
    mSkipped.clear();
    mPropertiesUnread.clear();
    mFormsFromFile = false;
    if (const QString Kind = Extension.toUpper();
        Kind == QStringLiteral("MDB") || Kind == QStringLiteral("ACCDB")) {
        mIsMDB = true;
        LoadMDBObjects();
    } else {
        mIsMDB = false;
        LoadProjectFile();
    }
}

void TfrmScanWizard::LoadMDBObjects() {
    // A database has no add-on files.
    ui->lblVBXs->setVisible(false);
    ui->lstVBXs->setVisible(false);

    auto Engine = dao::DBEngine::Create();
    auto Workspace = Engine->Workspaces(0);

    const QString Text = ui->sbSelect->Text();
    // Made absolute as project files are, so that the objects find their database and code
    // files whatever the current folder is later.
    const std::string FileName =
        ToFileName(Text.isEmpty() ? Text : QDir::cleanPath(QFileInfo(Text).absoluteFilePath()));
    ScanFolder = ExtractFilePath(FileName);
    ScanMDB->Clear();
    ScanMDB->Path = ScanFolder;
    ScanMDB->Name = ExtractFileName(FileName);

    ReadMDBCatalogue(*Workspace, FileName);
    Workspace.reset();
    Engine.reset();
    mFormsFromFile = ReadMDBDocuments(FileName);

    const bool Any = ui->lstFiles->count() > 0;
    ui->btnNext->setEnabled(Any);
    if (Any)
        ui->btnNext->setFocus();
}

template <class Info>
Info* TfrmScanWizard::NewMDBObject(const std::string& Name, const std::string& DatabaseFile) {
    auto* Object = new Info;
    Object->Name = Name;
    Object->SetDatabaseFile(DatabaseFile);
    Object->OnHit = [this](TObject* Sender, TMDBHitInfo*& Hit, const std::string& Filename,
                           TModalResult& Accept) { MDBHit(Sender, Hit, Filename, Accept); };
    return Object;
}

void TfrmScanWizard::ReadMDBCatalogue(dao::Workspace& Workspace, const std::string& DatabaseFile) {
    const auto IsSystemObject = [](const std::string& Name) { return Name.starts_with("MSys"); };
    const auto Database = Workspace.OpenDatabase(DatabaseFile, false, true, "");
    // A damaged table of import/export specifications costs only the import/export specifications.
    try {
        auto Specs = Database->OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3);
        if (!(Specs->BOF() && Specs->EOF())) {
            Specs->MoveFirst();
            for (; !Specs->EOF(); Specs->MoveNext()) {
                const std::string Name = Specs->Fields().Item("SpecName").Value().AsString();
                ScanMDB->AddIMEXSpec(NewMDBObject<TMDBIMEXSpecInfo>(Name, DatabaseFile));
                AddSorted(ui->lstFiles, Name);
            }
        }
        Specs->Close();
    } catch (const EOleException& E) {
        Skip("import/export specifications", E.what());
    }
    for (int I = 0; I < Database->TableDefs().Count(); ++I)
        if (const std::string Name = Database->TableDefs().Item(I)->Name(); !IsSystemObject(Name)) {
            ScanMDB->AddTable(NewMDBObject<TMDBTableInfo>(Name, DatabaseFile));
            AddSorted(ui->lstFiles, Name);
        }
    for (int I = 0; I < Database->QueryDefs().Count(); ++I)
        if (const std::string Name = Database->QueryDefs().Item(I)->Name(); !IsSystemObject(Name)) {
            ScanMDB->AddQuery(NewMDBObject<TMDBQueryInfo>(Name, DatabaseFile));
            AddSorted(ui->lstFiles, Name);
        }
    // Access opens the file only once the engine has let go of it.
    Database->Close();
}

bool TfrmScanWizard::ReadMDBDocuments(const std::string& DatabaseFile) {
    const std::shared_ptr<msaccess::Application> Access = msaccess::Application::Create();
    const TQuitAtExit Quit(*Access);
    Access->OpenCurrentDatabase(DatabaseFile, false);
    const auto Current = Access->CurrentDB();
    const msaccess::DocumentList& Forms = Current->Containers("Forms").Documents();
    for (int I = 0; I < Forms.Count(); ++I) {
        const std::string Name = Forms.Item(I).Name();
        ScanMDB->AddForm(NewMDBObject<TMDBFormInfo>(Name, DatabaseFile));
        AddSorted(ui->lstFiles, Name);
        ExportMDBModule(*Access, mkForm, Name, DatabaseFile);
    }
    const msaccess::DocumentList& Reports = Current->Containers("Reports").Documents();
    for (int I = 0; I < Reports.Count(); ++I) {
        const std::string Name = Reports.Item(I).Name();
        ScanMDB->AddReport(NewMDBObject<TMDBReportInfo>(Name, DatabaseFile));
        AddSorted(ui->lstFiles, Name);
        ExportMDBModule(*Access, mkReport, Name, DatabaseFile);
    }
    const msaccess::DocumentList& Modules = Current->Containers("Modules").Documents();
    for (int I = 0; I < Modules.Count(); ++I) {
        const std::string Name = Modules.Item(I).Name();
        ExportMDBModule(*Access, mkStandardModule, Name, DatabaseFile);
        AddSorted(ui->lstFiles, Name);
    }
    const bool PropertiesUnread = Access->PropertiesUnread();
    Current->Close();
    return PropertiesUnread;
}

void TfrmScanWizard::ExportMDBModule(msaccess::Application& Access, TMDBModuleKind Kind,
                                     const std::string& ObjectName, const std::string& DatabaseFile) {
    const std::string ModuleName = Kind == mkForm     ? "Form_" + ObjectName
                                   : Kind == mkReport ? "Report_" + ObjectName
                                                      : ObjectName;
    const std::string ExportName = ModuleName + (Kind == mkStandardModule ? ".Bas" : ".cbf");
    msaccess::DoCmdObject& DoCmd = Access.DoCmd();
    try {
        DoCmd.OpenModule(ModuleName);
        DoCmd.OutputTo(msaccess::acOutputModule, ModuleName, msaccess::acFormatTXT, ScanFolder + ExportName,
                       false, "");
        auto* Module = NewMDBObject<TMDBModuleInfo>(ExportName, DatabaseFile);
        Module->Path = ScanFolder;
        ScanMDB->AddModule(Module);
    } catch (const EOleException& E) {
        // A form or report without code has no module: nothing to scan and nothing lost. Code
        // that cannot be read or written is named at the scan's end.
        if (E.ErrorCode() != msaccess::acErrNoModule)
            Skip("code module '" + Cp1252ToUtf8(ModuleName) + "'", E.what());
    } catch (const std::exception& E) {
        Skip("code module '" + Cp1252ToUtf8(ModuleName) + "'", E.what());
    }
    DoCmd.Close(msaccess::acModule, ModuleName, 0);
}

void TfrmScanWizard::LoadProjectFile() {
    ui->lblVBXs->setVisible(true);
    ui->lstVBXs->setVisible(true);

    const QString Text = ui->sbSelect->Text();
    // A name relative to the current folder is made absolute (and "." and ".." taken out), so
    // that the project's folder stays valid whatever the current folder is later.
    const std::string FileName =
        ToFileName(Text.isEmpty() ? Text : QDir::cleanPath(QFileInfo(Text).absoluteFilePath()));
    const std::vector<std::string> Lines = LoadSourceLines(FileName);

    ScanFolder = ExtractFilePath(FileName);
    ScanProject->Clear();
    ScanProject->Path = ScanFolder;
    ScanProject->Name = ExtractFileName(FileName);

    // A module listed twice is scanned once: twice, its hits and lines would count double.
    std::set<std::string> Listed;
    for (const std::string& Line : Lines) {
        std::string S = UpperCase(Line);
        if (Contains(S, ".FRM") || Contains(S, ".BAS") || Contains(S, ".CTL") || Contains(S, ".CLS")) {
            CutProjectFileValue(S);
            if (Listed.insert(S).second)
                AddSorted(ui->lstFiles, S);
        }
        const bool VBX = Contains(S, ".VBX");
        if (VBX || Contains(S, ".OCX")) {
            if (!VBX)
                CutProjectFileValue(S);
            AddSorted(ui->lstVBXs, S);
            AddVBX(S);
        }
    }
    // A file without a module line (empty, binary, or text of something else) would be merged as
    // an empty project, replacing one scanned before from the same file: it is refused by name.
    if (ui->lstFiles->count() == 0) {
        ui->lstVBXs->clear();
        mSkipped.clear();
        throw Exception(Format("'%s' lists no modules (no form, module, class or user control file): "
                               "there is nothing in it to scan.",
                               FileName));
    }
    ui->btnNext->setEnabled(true);
    ui->btnNext->setFocus();
}

// --- scanning ---

void TfrmScanWizard::btnNextClick() {
    if (ui->nteScan->currentIndex() != IntroPage)
        return;
    if (ui->sbSelect->FileName().isEmpty()) {
        ShowMessage(QStringLiteral("Need to specify project"));
        return;
    }
    // The bar starts empty, set while its page is hidden: the last scan left it full, and a bar
    // on the screen repaints itself at once when its value changes.
    ui->ProgressBar->setValue(0);
    ui->nteScan->setCurrentIndex(ScanPage);
    ui->btnNext->hide();
    ui->btnCancel->setFocus();
    // The page shows the first file from the start: the line does not change again at once.
    if (!mIsMDB && ui->lstFiles->count() > 0)
        ui->lblFilename->setText(ui->lstFiles->item(0)->text());
    if (PaintDue())
        PaintChanges();
    if (mIsMDB)
        DoScanMDB();
    else
        DoScanProject();
}

void TfrmScanWizard::BuildModules() {
    std::size_t ReadAhead = ProjectReadAheadBytes;
    for (const std::string& Entry : Entries(ui->lstFiles)) {
        auto Module = std::make_unique<TModuleInfo>();
        if (PaintDue()) {
            ui->lblFilename->setText(FromAnsi(Entry));
            PaintChanges();
        }
        // The lines are counted for the progress bar; what the project's text may keep of them is
        // kept for the scan. A module that cannot be read is left out and named at the end.
        try {
            std::tie(Module->Path, Module->Name) = ModuleFile(Entry, ScanFolder);
            ReadAhead -= Module->CountLines(ReadAhead);
        } catch (const std::exception& E) {
            Skip("module " + Cp1252ToUtf8(Entry), E.what());
            continue;
        }
        Module->ImageIndex = ModuleImage(Entry);
        Module->PageIndex = pgModule;
        Module->OnBeforeScan = [this](TObject* Sender) { ModuleProgress(Sender); };
        Module->OnHit = [this](TObject* Sender, THitInfo*& Hit, const std::string& Filename,
                               TModalResult& Accept) { ModuleHit(Sender, Hit, Filename, Accept); };
        ScanProject->AddModule(Module.release());
    }
    mProgressMaximum = static_cast<int>(ScanProject->ProjectLinesOfCode());
}

void TfrmScanWizard::DoScanProject() {
    ui->aniScan->SetActive(true);
    mProgress = 0;
    mShownModule = nullptr;
    try {
        BuildModules();
        ScanModules();
        // A project none of whose modules could be read is not merged: it would replace a node
        // scanned before with an empty one, losing its hits and ratings.
        if (ScanProject->ModuleCount() == 0 && ui->lstFiles->count() > 0)
            Skip("", "none of its modules could be read; the document keeps what it had");
        else
            mResult = mrOk;
    } catch (...) {
        EndScan();
        throw;
    }
    EndScan();
}

void TfrmScanWizard::ScanModules() {
    for (;;) {
        try {
            if (Mode == wmRescanModule) {
                if (ScanProject->ModuleCount() > 0)
                    ScanProject->GetModule(0)->Scan(*KeyWordList, *ExcludeWordList);
            } else {
                ScanProject->Scan(*KeyWordList, *ExcludeWordList);
            }
            return;
        } catch (const EAbort&) {
            throw;
        } catch (const std::exception& E) {
            // The project's scan keeps the index of the module that failed; once that module is
            // taken out, the next scan goes on from the module after it.
            const Longint Index = Mode == wmRescanModule ? 0 : ScanProject->ScanIndex;
            if (Index < 0 || Index >= ScanProject->ModuleCount())
                throw;
            Skip("module " + Cp1252ToUtf8(ScanProject->GetModule(Index)->Name), E.what());
            mShownModule = nullptr;
            ScanProject->Modules().AtFree(Index);
            if (Mode == wmRescanModule)
                return;
        }
    }
}

void TfrmScanWizard::DoScanMDB() {
    mProgressMaximum = static_cast<int>(ScanMDB->ObjectCount());
    mProgress = 0;
    ui->aniScan->SetActive(true);
    ui->lblFilename->setText(ui->sbSelect->FileName());
    ScanMDB->OnBeforeScan = [this](TObject* Sender) { MDBProgress(Sender); };
    ScanMDB->OnObjectFailed = [this](TMDBObjectInfo& Object, const std::exception& Failure) {
        Skip(ObjectKind(Object) + " '" + Cp1252ToUtf8(Object.Name) + "'", Failure.what());
    };
    try {
        ScanMDB->Scan(*KeyWordList, *ExcludeWordList);
        mResult = mrOk;
        // Read from the database file, forms and reports have their controls but no property
        // values; that is said of a database only when some of them were read.
        if (mFormsFromFile && AnyDesignRead(*ScanMDB))
            mPropertiesUnread.push_back(ToFileName(ui->sbSelect->Text()));
    } catch (...) {
        EndScan();
        throw;
    }
    EndScan();
}

void TfrmScanWizard::EndScan() {
    // The display shows where the scan ended: a finished scan full, the file scanned named, no
    // busy bar, and so it stays while the skipped parts are named.
    ui->aniScan->SetActive(false);
    ui->ProgressBar->setValue(mResult == mrOk ? ui->ProgressBar->maximum() : 0);
    ui->lblFilename->setText(ui->sbSelect->FileName());
    // A batch names what it left out after its last file, so that it runs without waiting for anyone.
    const bool Named = Mode != wmFolderSearch && (!mSkipped.empty() || !mPropertiesUnread.empty());
    if (Named || PaintDue()) {
        PaintChanges();
        Application->ProcessMessages();
    }
    if (Named) {
        ShowSkipped(mSkipped);
        ShowPropertiesUnread(mPropertiesUnread);
    }
    // A returned scan ends the wizard with OK; anything else closes it without a result.
    Close();
}

void TfrmScanWizard::PaintChanges() {
    // The window's pending repaint, done now: only what changed is drawn again (the backing store
    // keeps the rest), where a whole-window repaint would draw every control of the page.
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
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
    if (mProgress % ClockEvery == 0 && PaintDue()) {
        // The bar gets its range once it shows progress: with a maximum of 0, Qt would show it
        // as a busy indicator, drawn again and again while the wizard waits, and an empty bar
        // looks the same whatever its range.
        if (const int Position = std::min(mProgress, mProgressMaximum); Position > 0) {
            ui->ProgressBar->setMaximum(mProgressMaximum);
            ui->ProgressBar->setValue(Position);
        }
        PaintChanges();
        // Lets a click on Cancel reach the wizard.
        Application->ProcessMessages();
    }
    if (StopScan)
        Close();
}

void TfrmScanWizard::ModuleProgress(TObject* Sender) {
    // The label follows the module being scanned; it is painted with the bar.
    if (Sender != mShownModule) {
        mShownModule = Sender;
        if (const auto* Module = dynamic_cast<const TModuleInfo*>(Sender))
            ui->lblFilename->setText(FromAnsi(Module->Name));
    }
    Progress(64);
}

void TfrmScanWizard::MDBProgress(TObject*) {
    Progress(1);
}

template <class Hit>
void TfrmScanWizard::AskHit(Hit& Found, const std::string& Filename, TModalResult& Accept) {
    Accept = mrOk;
    // Automatic mode keeps the hit as the model filled it; the progress display repaints.
    if (ScanMode() == smAutomatic)
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
