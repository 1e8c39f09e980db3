#include "scanner/Main.h"

#include "components/CDKPathE.h"
#include "platform/report/QRExport.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "reports/fPreview.h"
#include "reports/qrHtml.h"
#include "reports/rptHits.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/About.h"
#include "scanner/DocumentFile.h"
#include "scanner/DocumentTree.h"
#include "scanner/Glyphs.h"
#include "scanner/HitCommands.h"
#include "scanner/MRUList.h"
#include "scanner/ResultPages.h"
#include "scanner/ScanWizard1.h"
#include "scanner/WordLists.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "scanner/fScan.h"

#include "ui_Main.h"
#include "ui_ScanWizard1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QTreeWidgetItemIterator>

#include <vector>

std::unique_ptr<TQuorvex> Document;
std::unique_ptr<TStringList> KeyWordList;
std::unique_ptr<TStringList> ExcludeWordList;
std::string KeyWordFile;
std::string ExcludeWordFile;
bool Modified = false;
TfrmMain* frmMain = nullptr;

namespace {
const QString SaveQuestion = QStringLiteral("Do you wish to save changes.");
const QString DocumentFilter = QStringLiteral("Quorvex|*.qxs");
constexpr const char* DocumentMask = "*.qxs";
const QString DocumentExt = QStringLiteral("qxs");

// Word lists whose file could not be read are not written back at exit, so that a file the
// program failed to read is never replaced by an empty list.
bool KeyWordsUnreadable = false;
bool ExcludeWordsUnreadable = false;

void LoadWordListFile(TStringList& List, const std::string& FileName, bool& Unreadable) {
    Unreadable = false;
    // A folder or a pipe at the list's name is refused by name, not taken for an empty list.
    if (!FileExists(FileName) && !DirectoryExists(FileName))
        return;
    Unreadable = true;
    LoadWordList(List, FileName);
    Unreadable = false;
}
} // namespace

std::string ExportFileName(const std::string& Name, int FilterIndex) {
    switch (FilterIndex) {
    case etText:
        return WithDefaultExt(Name, ".TXT");
    case etCSV:
        return WithDefaultExt(Name, ".CSV");
    default:
        return WithDefaultExt(Name, ".HTM");
    }
}

TfrmMain::TfrmMain(const std::string& ProgramDir, const QStringList& Arguments)
    : dlgOpen(this, QStringLiteral("dlgOpen"), TFileDialog::dkOpen),
      dlgSave(this, QStringLiteral("dlgSave"), TFileDialog::dkSave),
      dlgExport(this, QStringLiteral("dlgExport"), TFileDialog::dkSave), ui(new Ui::TfrmMain),
      mProgramDir(ProgramDir) {
    SetupControls();
    FormCreate(Arguments);
}

void TfrmMain::SetupControls() {
    ui->setupUi(this);
    CentreOnScreen(*this);
    Application->SetMainForm(this);
    setWindowIcon(ProgramIcon());
    FillTreeImages(imlTree);
    FillHitImages(imlHits);
    FillLargeImages(imlLarge);
    mTree = std::make_unique<TDocumentTree>(*ui->tvwFiles, imlTree, imlHits);

    const struct {
        QToolButton* Button;
        TGlyph Glyph;
        const char* Hint;
    } Buttons[] = {
        {ui->sbExit, TGlyph::Exit, "Exit"},
        {ui->sbNew, TGlyph::New, "New"},
        {ui->sbOpen, TGlyph::Open, "Open"},
        {ui->sbSave, TGlyph::Save, "Save"},
        {ui->sbScan, TGlyph::Scan, "Scan Wizard"},
        {ui->sbScanDirectory, TGlyph::ScanDirectory, "Scan Directories"},
        {ui->sbPrint, TGlyph::Print, "Report"},
        {ui->sbExport, TGlyph::Export, "Export Report"},
        {ui->sbKeyWords, TGlyph::KeyWords, "Key Words"},
        {ui->sbExcludeWords, TGlyph::ExcludeWords, "Exclude Words"},
        {ui->sbOptions, TGlyph::Options, "Options"},
        {ui->sbHelp, TGlyph::Help, "Help Contents|"},
    };
    for (const auto& B : Buttons) {
        B.Button->setIcon(QIcon(DrawGlyph(B.Glyph)));
        SetHint(B.Button, QString::fromLatin1(B.Hint));
    }

    // The notebook keeps its design width; the tree takes whatever the window gains or loses.
    ui->splResults->setSizes({203, 410});
    ui->splResults->setStretchFactor(0, 1);
    ui->splResults->setStretchFactor(1, 0);
    for (int I = 0; I < 4; ++I)
        ui->lvwHits->setColumnWidth(I, HitColumnWidths[I]);
    for (int I = 0; I < 5; ++I)
        ui->lvwMDBHits->setColumnWidth(I, MDBHitColumnWidths[I]);
    for (int I : {1, 2})
        ui->lvwHits->headerItem()->setTextAlignment(I, Qt::AlignRight | Qt::AlignVCenter);
    for (int I : {2, 3})
        ui->lvwMDBHits->headerItem()->setTextAlignment(I, Qt::AlignRight | Qt::AlignVCenter);
    MakePopups();
    mTreePopup = popProject;

    dlgOpen.Filter = DocumentFilter;
    dlgOpen.DefaultExt = DocumentExt;
    dlgSave.Filter = DocumentFilter;
    dlgSave.DefaultExt = DocumentExt;
    dlgExport.Title = QStringLiteral("Export Report as");
    // In the order of TExportType.
    dlgExport.Filter = QStringLiteral("HTML Document (*.HTM)|*.HTM|Text File (*.TXT)|*.TXT|"
                                      "CSV Comma Seperated File (*.CSV)|*.CSV");

    MRUFileList = new TMRUFileList(this);
    MRUFileList->SetSubmenuName("Reopen");
    MRUFileList->AutoSaveName = "\\Software\\Brackle\\Quorvex\\VB";
    MRUFileList->AutoSaveKey = "MRU Items";
    MRUFileList->OnMRUItemClick = [this](QObject* Sender, const std::string& AFilename) {
        MRUFileListMRUItemClick(Sender, AFilename);
    };
    MRUFileList->SetFileMenu(ui->FileMenu->menuAction());
    ConnectCommands();
    MRUFileList->Loaded();
}

void TfrmMain::FormCreate(const QStringList& Arguments) {
    Document = std::make_unique<TQuorvex>();
    KeyWordList = CreateWordList();
    KeyWordFile = mProgramDir + "KeyWords.TXT";
    Application->Guard([] { LoadWordListFile(*KeyWordList, KeyWordFile, KeyWordsUnreadable); });
    ExcludeWordList = CreateWordList();
    ExcludeWordFile = mProgramDir + "ExcWords.TXT";
    Application->Guard([] { LoadWordListFile(*ExcludeWordList, ExcludeWordFile, ExcludeWordsUnreadable); });
    const std::string HelpName = ExtractFileName(Application->HelpFile());
    if (!HelpName.empty() && FileExists(mProgramDir + HelpName))
        Application->SetHelpFile(mProgramDir + HelpName);
    Application->OnHint = [this](QObject*) { ShowHint(); };
    Application->Guard([this] { FileNew(); });
    if (!Arguments.isEmpty()) {
        // A folder named is refused by name; a name that is nowhere opens nothing.
        const std::string First = ToFileName(Arguments.constFirst());
        if (FileExists(First) || DirectoryExists(First))
            Application->Guard([&] { OpenFile(First); });
    }
    ui->tvwFiles->setFocus();
}

TfrmMain::~TfrmMain() {
    // Both lists are written even when the first fails; the failures are reported together.
    QStringList Errors;
    auto Write = [&](const TStringList& List, const std::string& FileName, bool Unreadable) {
        if (Unreadable)
            return;
        try {
            SaveWordList(List, FileName);
        } catch (const std::exception& E) {
            Errors << FromMessage(E.what());
        }
    };
    if (ExcludeWordList)
        Write(*ExcludeWordList, ExcludeWordFile, ExcludeWordsUnreadable);
    ExcludeWordList.reset();
    if (KeyWordList)
        Write(*KeyWordList, KeyWordFile, KeyWordsUnreadable);
    KeyWordList.reset();
    mTree->Clear();
    Document.reset();
    if (Application != nullptr) {
        Application->OnHint = nullptr;
        if (!Errors.isEmpty())
            Application->ShowException(Exception(ToFileName(Errors.join(u'\n'))));
    }
    delete ui;
}

void TfrmMain::ConnectCommands() {
    const std::pair<QAbstractButton*, void (TfrmMain::*)()> Buttons[] = {
        {ui->sbExit, &TfrmMain::FileExit},
        {ui->sbNew, &TfrmMain::FileNew},
        {ui->sbOpen, &TfrmMain::FileOpen},
        {ui->sbSave, &TfrmMain::FileSave},
        {ui->sbScan, &TfrmMain::sbScanClick},
        {ui->sbScanDirectory, &TfrmMain::sbScanDirectoryClick},
        {ui->sbPrint, &TfrmMain::FilePrint},
        {ui->sbExport, &TfrmMain::sbExportClick},
        {ui->sbKeyWords, &TfrmMain::sbKeyWordsClick},
        {ui->sbExcludeWords, &TfrmMain::sbExcludeWordsClick},
        {ui->sbOptions, &TfrmMain::sbOptionsClick},
        {ui->sbHelp, &TfrmMain::HelpContents},
    };
    for (const auto& [Button, Handler] : Buttons)
        connect(Button, &QAbstractButton::clicked, this, Guarded([this, H = Handler] { (this->*H)(); }));

    const std::pair<QAction*, void (TfrmMain::*)()> Items[] = {
        {ui->mnuFileNew, &TfrmMain::FileNew},
        {ui->mnuFileOpen, &TfrmMain::FileOpen},
        {ui->mnuFileSave, &TfrmMain::FileSave},
        {ui->mnuFileSaveAs, &TfrmMain::FileSaveAs},
        {ui->mnuFileExport, &TfrmMain::sbExportClick},
        {ui->mnuFilePrint, &TfrmMain::FilePrint},
        {ui->mnuFilePrintSetup, &TfrmMain::FilePrintSetup},
        {ui->mnuFileExit, &TfrmMain::FileExit},
        {ui->mnuEditKeywords, &TfrmMain::sbKeyWordsClick},
        {ui->mnuEditExclusions, &TfrmMain::sbExcludeWordsClick},
        {ui->mnuEditOptions, &TfrmMain::sbOptionsClick},
        {ui->mnuScanProject, &TfrmMain::sbScanClick},
        {ui->mnuScanDirectory, &TfrmMain::sbScanDirectoryClick},
        {ui->mnuHelpContents, &TfrmMain::HelpContents},
        {ui->mnuHelpAbout, &TfrmMain::HelpAbout},
    };
    for (const auto& [Item, Handler] : Items)
        connect(Item, &QAction::triggered, this, Guarded([this, H = Handler] { (this->*H)(); }));

    connect(ui->tvwFiles, &QTreeWidget::currentItemChanged, this,
            Guarded([this](QTreeWidgetItem* Current) { tvwFilesChange(Current); }));
    // The view stores the edited text before this runs, so the node already holds it.
    connect(ui->tvwFiles->itemDelegate(), &QAbstractItemDelegate::commitData, this, Guarded([this] {
                if (QTreeWidgetItem* Node = ui->tvwFiles->currentItem())
                    tvwFilesEdited(Node, Node->text(0));
            }));
    connect(ui->tvwFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint& Pos) {
        if (mTreePopup != nullptr)
            mTreePopup->popup(ui->tvwFiles->viewport()->mapToGlobal(Pos));
    });
    connect(ui->lvwHits, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& Pos) { popHit->popup(ui->lvwHits->viewport()->mapToGlobal(Pos)); });
    connect(ui->lvwMDBHits, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& Pos) { popMDBHit->popup(ui->lvwMDBHits->viewport()->mapToGlobal(Pos)); });
    connect(ui->lvwHits, &QTreeWidget::itemDoubleClicked, this, Guarded([this] { popHitEditClick(); }));
    connect(ui->lvwMDBHits, &QTreeWidget::itemDoubleClicked, this, Guarded([this] { popMDBHitEditClick(); }));
}

QMenu* TfrmMain::MakePopup(const char* Name,
                           std::initializer_list<std::pair<QString, void (TfrmMain::*)()>> Items) {
    auto* Menu = new QMenu(this);
    Menu->setObjectName(QString::fromLatin1(Name));
    for (const auto& [Caption, Handler] : Items)
        connect(Menu->addAction(Caption), &QAction::triggered, this,
                Guarded([this, H = Handler] { (this->*H)(); }));
    return Menu;
}

void TfrmMain::MakePopups() {
    popProject =
        MakePopup("popProject", {{QStringLiteral("&Delete Project"), &TfrmMain::popDeleteProjectClick},
                                 {QStringLiteral("&Scan Project"), &TfrmMain::popScanProjectClick}});
    popModule = MakePopup("popModule", {{QStringLiteral("&Scan Module"), &TfrmMain::popScanModuleClick}});
    popHit = MakePopup("popHit", {{QStringLiteral("&Edit"), &TfrmMain::popHitEditClick},
                                  {QStringLiteral("&Delete"), &TfrmMain::popHitDeleteClick}});
    popMDBHit = MakePopup("popMDBHit", {{QStringLiteral("&Edit"), &TfrmMain::popMDBHitEditClick},
                                        {QStringLiteral("&Delete"), &TfrmMain::popMDBHitDeleteClick}});
}

void TfrmMain::ShowHint() {
    ui->StatusLine->showMessage(Application->Hint());
}

void TfrmMain::SetCaption() {
    setWindowTitle(QStringLiteral("Quorvex - ") +
                   (mCurrentFileName.empty() ? QStringLiteral("Untitled") : FromFileName(mCurrentFileName)));
}

// --- document commands ---

void TfrmMain::CheckSave() {
    if (!Modified)
        return;
    if (Document->AutoSave)
        FileSave();
    else if (MessageDlg(SaveQuestion, TMsgDlgType::mtInformation, mbYes | mbNo) == mrYes)
        FileSave();
}

void TfrmMain::FileNew() {
    CheckSave();
    ui->tvwFiles->setUpdatesEnabled(false);
    mTree->Clear();
    Document = std::make_unique<TQuorvex>();
    mTree->AddRoot(*Document);
    ui->tvwFiles->setUpdatesEnabled(true);
    ui->nteResults->setCurrentIndex(pgBlank);
    mCurrentFileName.clear();
    Modified = false;
    SetCaption();
}

void TfrmMain::FileOpen() {
    CheckSave();
    if (mCurrentFileName.empty())
        dlgOpen.FileName = DocumentMask;
    dlgOpen.InitialDir = mProgramDir;
    if (!dlgOpen.Execute())
        return;
    if (dlgOpen.FileName != mCurrentFileName)
        OpenFile(dlgOpen.FileName);
}

void TfrmMain::OpenFile(const std::string& FileName) {
    // The file is read completely before anything is replaced: a file that cannot be read leaves
    // the document, its tree and the recent-files list as they were.
    std::unique_ptr<TQuorvex> Opened = LoadScanDocument(FileName);
    ui->tvwFiles->setUpdatesEnabled(false);
    mTree->Clear();
    Document = std::move(Opened);
    mTree->Build(*Document);
    Modified = false;
    ui->tvwFiles->setUpdatesEnabled(true);
    ShowRoot();
    mCurrentFileName = FileName;
    MRUFileList->AddItem(FileName);
    SetCaption();
}

void TfrmMain::FileSave() {
    if (mCurrentFileName.empty()) {
        FileSaveAs();
        return;
    }
    SaveScanDocument(*Document, mCurrentFileName);
    Modified = false;
    SetCaption();
}

void TfrmMain::FileSaveAs() {
    dlgSave.FileName = mCurrentFileName.empty() ? std::string(DocumentMask) : mCurrentFileName;
    dlgSave.InitialDir = mProgramDir;
    // The dialog has added the extension and asked before replacing a file.
    if (!dlgSave.Execute())
        Abort();
    mCurrentFileName = dlgSave.FileName;
    FileSave();
}

void TfrmMain::FilePrint() {
    if (repHits != nullptr)
        repHits->Preview();
}

void TfrmMain::FilePrintSetup() {
    // The choices stay with the program's printer for the next print; the paper offered is the
    // hit report's.
    TQRPrinter Setup;
    if (repHits != nullptr)
        Setup.SetPaper(repHits->Page.PaperSize, repHits->Page.Orientation);
    Setup.PrinterSetup();
}

void TfrmMain::FileExit() {
    close();
}

void TfrmMain::HelpContents() {
    Application->HelpContents();
}

void TfrmMain::HelpAbout() {
    if (frmAbout != nullptr)
        frmAbout->ShowModal();
}

void TfrmMain::MRUFileListMRUItemClick(QObject*, const std::string& AFilename) {
    FileNew();
    OpenFile(AFilename);
}

void TfrmMain::FormClose() {
    if (!Modified)
        return;
    if (!mCurrentFileName.empty() || Document->AutoSave)
        FileSave();
    else if (MessageDlg(SaveQuestion, TMsgDlgType::mtInformation, mbYes | mbNo) == mrYes)
        FileSave();
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
    // A failed or cancelled save keeps the window, and with it the unsaved document, open.
    bool Saved = false;
    Application->Guard([&] {
        FormClose();
        Saved = true;
    });
    if (!Saved) {
        Event->ignore();
        return;
    }
    Event->accept();
    // The program ends with its main window: windows of its own, such as report previews,
    // close with it, so that none keeps the program running.
    for (QWidget* Window : QApplication::topLevelWidgets())
        if (Window != this && Window->isVisible())
            Window->close();
}

// --- tree, pages and lists ---

void TfrmMain::tvwFilesChange(QTreeWidgetItem* Node) {
    TScanInfo* Object = TDocumentTree::Data(Node);
    if (Object == nullptr) {
        ui->nteResults->setCurrentIndex(pgBlank);
        return;
    }
    mTreePopup = nullptr;
    switch (ShowNode(*ui, *mTree, imlHits, Node, *Object)) {
    case TTreePopup::Project:
        mTreePopup = popProject;
        break;
    case TTreePopup::Module:
        mTreePopup = popModule;
        break;
    case TTreePopup::None:
        break;
    }
}

void TfrmMain::ShowRoot() {
    QTreeWidgetItem* Root = mTree->Root();
    {
        const QSignalBlocker Quiet(ui->tvwFiles);
        ui->tvwFiles->setCurrentItem(Root);
    }
    tvwFilesChange(Root);
}

void TfrmMain::tvwFilesEdited(QTreeWidgetItem* Node, const QString& S) {
    if (Node != mTree->Root())
        return;
    Document->Name = ToAnsi(S);
    ui->lblQvxFilename->setText(S);
    Modified = true;
}

void TfrmMain::popDeleteProjectClick() {
    QTreeWidgetItem* Node = ui->tvwFiles->currentItem();
    auto* Project = dynamic_cast<TProjectInfo*>(TDocumentTree::Data(Node));
    if (Project == nullptr)
        return;
    const Longint Index = Document->IndexOfProject(Project);
    if (Index < 0)
        return;
    // The node goes first, so that no node is left showing a freed project.
    delete Node;
    Document->DeleteProject(Index);
    Modified = true;
}

void TfrmMain::popHitEditClick() {
    if (EditSelectedHit(*ui->lvwHits, ui->tvwFiles->currentItem(), *mTree, *frmHit, imlHits))
        Modified = true;
}

void TfrmMain::popHitDeleteClick() {
    if (DeleteSelectedHit(*ui->lvwHits, ui->tvwFiles->currentItem(), *mTree))
        Modified = true;
}

void TfrmMain::popMDBHitEditClick() {
    if (EditSelectedHit(*ui->lvwMDBHits, ui->tvwFiles->currentItem(), *mTree, *frmHit, imlHits))
        Modified = true;
}

void TfrmMain::popMDBHitDeleteClick() {
    if (DeleteSelectedHit(*ui->lvwMDBHits, ui->tvwFiles->currentItem(), *mTree))
        Modified = true;
}

void TfrmMain::EditWordList(TStringList& List, const std::string& FileName, const QString& Caption) {
    ::EditWordList(*frmKeyWords, List, FileName, Caption);
}

void TfrmMain::sbKeyWordsClick() {
    EditWordList(*KeyWordList, KeyWordFile, QStringLiteral("Maintain Keyword List"));
    KeyWordsUnreadable = false;
}

void TfrmMain::sbExcludeWordsClick() {
    EditWordList(*ExcludeWordList, ExcludeWordFile, QStringLiteral("Maintain Exclusion Word List"));
    ExcludeWordsUnreadable = false;
}

void TfrmMain::sbOptionsClick() {
    frmOptions->SetApplicationName(Document->Name);
    frmOptions->SetAutoSave(Document->AutoSave);
    if (frmOptions->ShowModal() != mrOk)
        return;
    Document->Name = frmOptions->ApplicationName();
    Document->AutoSave = frmOptions->AutoSave();
    if (QTreeWidgetItem* Root = mTree->Root())
        Root->setText(0, FromAnsi(Document->Name));
    Modified = true;
}

void TfrmMain::sbExportClick() {
    if (!dlgExport.Execute() || repHits == nullptr)
        return;
    const std::string FileName = ExportFileName(dlgExport.FileName, dlgExport.FilterIndex);
    if (FileName != dlgExport.FileName && !ConfirmReplace(FileName))
        return;
    std::unique_ptr<TQRExportFilter> Filter;
    switch (dlgExport.FilterIndex) {
    case etText:
        Filter = std::make_unique<TQRAsciiExportFilter>(FileName);
        break;
    case etCSV:
        Filter = std::make_unique<TQRCSVExportFilter>(FileName);
        break;
    default:
        Filter = std::make_unique<TQRHtmlExportFilter>(FileName);
    }
    THourglass Wait;
    repHits->ExportWithFilter(*Filter);
}

// --- scan commands (the scan wizard runs them) ---

namespace {
/// The file-list entry that makes the wizard scan Module again where it lies: its Name when it
/// lies in the project's folder, else its Path and Name.
std::string ModuleEntry(const TProjectInfo& Project, const TModuleInfo& Module) {
    return Module.Path == Project.Path ? Module.Name : Module.Path + Module.Name;
}

bool SameFile(const TScanInfo& A, const TScanInfo& Entry) {
    return A.Name == Entry.Name && A.Path == Entry.Path;
}

template <class Items>
Longint IndexOfEntry(const Items& List, const TScanInfo& Entry) {
    for (Longint I = 0; I < List.Count(); ++I)
        if (SameFile(*List.Items(I), Entry))
            return I;
    return -1;
}

/// Whether a module, custom control or database object of the document has Entry's Name and Path.
bool HoldsPartLike(const TQuorvex& Doc, const TScanInfo& Entry) {
    for (Longint P = 0; P < Doc.ProjectCount(); ++P)
        if (IndexOfEntry(Doc.GetProject(P)->Modules(), Entry) >= 0 ||
            IndexOfEntry(Doc.GetProject(P)->VBXs(), Entry) >= 0)
            return true;
    for (Longint D = 0; D < Doc.MDBCount(); ++D)
        for (const TMDBObjectKind Kind : MDBObjectKinds)
            if (IndexOfEntry(Doc.GetMDB(D)->Objects(Kind), Entry) >= 0)
                return true;
    return false;
}

/// The first node after the root, in depth-first order, whose object has Name and Path. Nodes
/// show the document's objects, so when no module, custom control or database object of the
/// document has them, only the project and database nodes under the root need looking at: the
/// merge then looks at no tree node below a project or database.
QTreeWidgetItem* FindNode(QTreeWidget& Tree, const TScanInfo& Entry) {
    auto Same = [&](const QTreeWidgetItem* Node) {
        const TScanInfo* Object = TDocumentTree::Data(Node);
        return Object != nullptr && SameFile(*Object, Entry);
    };
    if (Tree.topLevelItemCount() == 1 && !HoldsPartLike(*Document, Entry)) {
        const QTreeWidgetItem* Root = Tree.topLevelItem(0);
        for (int I = 0; I < Root->childCount(); ++I)
            if (Same(Root->child(I)))
                return Root->child(I);
        return nullptr;
    }
    QTreeWidgetItemIterator It(&Tree);
    for (++It; *It != nullptr; ++It)
        if (Same(*It))
            return *It;
    return nullptr;
}
} // namespace

void TfrmMain::sbScanClick() {
    frmScanWizard->Mode = wmSelectFile;
    RunScanWizard();
}

void TfrmMain::sbScanDirectoryClick() {
    const auto Search = std::make_unique<TfrmProjects>(this);
    if (Search->ShowModal() != mrOk)
        return;
    Document->Name = Search->DocumentName();
    if (QTreeWidgetItem* Root = mTree->Root())
        Root->setText(0, FromAnsi(Document->Name));
    Modified = true;
    TfrmScanWizard& Wizard = *frmScanWizard;
    // What each file could not read is named once, after the last file, so that an automatic
    // batch runs through without waiting for anyone.
    std::vector<TSkippedPart> Skipped;
    std::vector<std::string> PropertiesUnread;
    for (const QString& File : Search->CheckedProjects()) {
        Wizard.SetFileName(File);
        Wizard.SetScanMode(Search->ScanMode());
        Wizard.Mode = wmFolderSearch;
        RunScanWizard();
        Skipped.insert(Skipped.end(), Wizard.Skipped().begin(), Wizard.Skipped().end());
        PropertiesUnread.insert(PropertiesUnread.end(), Wizard.PropertiesUnread().begin(),
                                Wizard.PropertiesUnread().end());
    }
    ShowSkipped(Skipped);
    ShowPropertiesUnread(PropertiesUnread);
}

void TfrmMain::popScanProjectClick() {
    auto* Project = dynamic_cast<TProjectInfo*>(TDocumentTree::Data(ui->tvwFiles->currentItem()));
    if (Project == nullptr)
        return;
    TfrmScanWizard& Wizard = *frmScanWizard;
    Wizard.SetFileName(FromFileName(Project->Path + Project->Name));
    std::vector<std::string> Files, VBXs;
    for (Longint I = 0; I < Project->ModuleCount(); ++I)
        Files.push_back(ModuleEntry(*Project, *Project->GetModule(I)));
    for (Longint I = 0; I < Project->VBXCount(); ++I)
        VBXs.push_back(Project->GetVBX(I)->Path + Project->GetVBX(I)->Name);
    Wizard.SetEntries(Files, VBXs);
    Wizard.Mode = wmRescanProject;
    RunScanWizard();
}

void TfrmMain::popScanModuleClick() {
    QTreeWidgetItem* Node = ui->tvwFiles->currentItem();
    auto* Module = dynamic_cast<TModuleInfo*>(TDocumentTree::Data(Node));
    auto* Project =
        Module != nullptr ? dynamic_cast<TProjectInfo*>(TDocumentTree::Data(Node->parent())) : nullptr;
    if (Project == nullptr)
        return;
    TfrmScanWizard& Wizard = *frmScanWizard;
    Wizard.SetFileName(FromFileName(Project->Path + Project->Name));
    Wizard.SetEntries({ModuleEntry(*Project, *Module)}, {});
    Wizard.Mode = wmRescanModule;
    const TModalResult Result = Wizard.ShowModal();
    if (Result == mrOk && Document->IndexOfProject(Project) >= 0 && ScanProject->ModuleCount() > 0) {
        TModuleInfo* Scanned = ScanProject->GetModule(0);
        ScanProject->Modules().AtDelete(0);
        Project->RemoveModule(Module);
        Project->AddModule(Scanned);
        TDocumentTree::SetData(Node, Scanned);
        tvwFilesChange(Node);
        Modified = true;
    }
    ScanProject.reset();
    ScanMDB.reset();
}

void TfrmMain::RunScanWizard() {
    TfrmScanWizard& Wizard = *frmScanWizard;
    const TModalResult Result = Wizard.ShowModal();
    if (Result != mrOk && !Wizard.AutoStarted()) {
        ScanProject.reset();
        ScanMDB.reset();
        return;
    }
    const bool IsMDB = Wizard.IsMDB();
    TScanInfo* Entry = IsMDB ? static_cast<TScanInfo*>(ScanMDB.get()) : ScanProject.get();
    QTreeWidgetItem* Root = mTree->Root();
    QTreeWidgetItem* Node = FindNode(*ui->tvwFiles, *Entry);
    if (Node != nullptr) {
        // The children go first, so that no node is left showing an object that is freed.
        qDeleteAll(Node->takeChildren());
        if (IsMDB) {
            if (const Longint Index = IndexOfEntry(Document->MDBs(), *Entry); Index >= 0)
                Document->DeleteMDB(Index);
        } else if (const Longint Index = IndexOfEntry(Document->Projects(), *Entry); Index >= 0) {
            Document->DeleteProject(Index);
        }
    }
    if (IsMDB) {
        TMDBInfo* MDB = ScanMDB.release();
        Document->AddMDB(MDB);
        if (Node == nullptr)
            Node = mTree->AddNode(Root, MDB);
        TDocumentTree::SetData(Node, MDB);
        mTree->AddMDBChildren(Node, *MDB);
        ScanProject.reset();
    } else {
        TProjectInfo* Project = ScanProject.release();
        Document->AddProject(Project);
        if (Node == nullptr)
            Node = mTree->AddNode(Root, Project);
        TDocumentTree::SetData(Node, Project);
        mTree->AddProjectChildren(Node, *Project);
        ScanMDB.reset();
    }
    mTree->SetImage(Node, Entry->ImageIndex);
    ui->tvwFiles->collapseAll();
    Root->setExpanded(true);
    ShowRoot();
    Modified = true;
}
