#pragma once
// The scanner's main window: the document tree beside the result pages, the toolbar, menus and
// status line, and the document commands. The window dispatches; the work is done by the units
// it calls (DocumentFile, DocumentTree, ResultPages, HitCommands, WordLists).

#include "platform/rtl/Classes.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ImageList.h"
#include "scanner/DocumentFile.h"
#include "scanner/FormVariable.h"
#include "scanner/WordLists.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <string>

class QMenu;
class QTreeWidgetItem;
class TDocumentTree;
class TMRUFileList;

namespace Ui {
class TfrmMain;
}

/// The document changed since New, Open or Save.
extern bool Modified;

class TfrmMain;
/// The main window.
extern TfrmMain* frmMain;

class TfrmMain final : public QMainWindow {
    Q_OBJECT
public:
    /// Creates the document and the word lists (loaded from ProgramDir, which ends with '/'),
    /// starts with an untitled document and opens the scan document named first in Arguments
    /// when that file exists.
    explicit TfrmMain(const std::string& ProgramDir = ProgramFolder(),
                      const QStringList& Arguments = QCoreApplication::arguments().mid(1));
    /// Writes both word lists back to their files and frees the document.
    ~TfrmMain() override;

    // Document commands.
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FilePrint();
    void FilePrintSetup();
    void FileExit();
    void HelpContents();
    void HelpAbout();
    /// Reads FileName as the new document and shows it; the old document stays on failure.
    void OpenFile(const std::string& FileName);
    void MRUFileListMRUItemClick(QObject* Sender, const std::string& AFilename);

    // Tree, pages and lists.
    void tvwFilesChange(QTreeWidgetItem* Node);
    void tvwFilesEdited(QTreeWidgetItem* Node, const QString& S);
    void popDeleteProjectClick();
    void popHitEditClick();
    void popHitDeleteClick();
    void popMDBHitEditClick();
    void popMDBHitDeleteClick();
    void sbKeyWordsClick();
    void sbExcludeWordsClick();
    void sbOptionsClick();
    void sbExportClick();

    // Scan commands.
    void sbScanClick();
    void sbScanDirectoryClick();
    void popScanProjectClick();
    void popScanModuleClick();
    /// Shows the scan wizard, which has its Mode and inputs, and merges its result into the
    /// document and the tree (a folder-search batch runs it once per file).
    void RunScanWizard();

    /// Full name of the open scan document file; empty for an untitled document.
    const std::string& CurrentFileName() const { return mCurrentFileName; }
    /// The pop-up menu the tree offers now (popProject at start), or nullptr.
    QMenu* TreePopup() const { return mTreePopup; }
    TDocumentTree& Tree() const { return *mTree; }

    TImageList imlTree{16, 16};
    TImageList imlHits{16, 16};
    TImageList imlLarge{32, 32};
    TMRUFileList* MRUFileList;
    QMenu* popProject;
    QMenu* popModule;
    QMenu* popHit;
    QMenu* popMDBHit;
    TFileDialog dlgOpen;
    TFileDialog dlgSave;
    TFileDialog dlgExport;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    /// The form's controls, images, pop-up menus, dialogs and recent-files list.
    void SetupControls();
    /// The document, the word lists, the help file, the first document.
    void FormCreate(const QStringList& Arguments);
    void CheckSave();
    void FormClose();
    void ShowHint();
    void SetCaption();
    /// Makes the document's node current and shows its page.
    void ShowRoot();
    void ConnectCommands();
    void MakePopups();
    QMenu* MakePopup(const char* Name, std::initializer_list<std::pair<QString, void (TfrmMain::*)()>> Items);
    void EditWordList(TStringList& List, const std::string& FileName, const QString& Caption);

    Ui::TfrmMain* const ui;
    std::string mProgramDir;
    std::string mCurrentFileName;
    std::unique_ptr<TDocumentTree> mTree;
    QMenu* mTreePopup = nullptr;
    TFormVariable<TfrmMain> mFormVariable{frmMain, this};
};

/// The file types of the export dialog, by their filter index (counted from 1).
enum TExportType : int {
    etHTML = 1, ///< "HTML Document (*.HTM)": the HTML filter
    etText = 2, ///< "Text File (*.TXT)": the report engine's plain-text filter
    etCSV = 3,  ///< "CSV Comma Seperated File (*.CSV)": the CSV filter
};

/// The export file name: Name with the extension of the chosen type (".HTM", ".TXT", ".CSV";
/// any other index counts as HTML) appended when the name part holds no '.'.
std::string ExportFileName(const std::string& Name, int FilterIndex);
