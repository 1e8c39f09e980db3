#pragma once
// The scan wizard: the one window in which scans run. It reads a Visual Basic project file (or,
// through the catalogue reader, an Access database), builds the scan objects, runs the model's
// scan with a progress bar, asks about every hit in manual mode, and hands the scanned project
// or database back to the main window, which merges it into the document.

#include "platform/ui/Dialogs.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/FormVariable.h"
#include "scanner/ScanMode.h"

#include <QElapsedTimer>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class QListWidget;
class QTimer;

namespace Ui {
class TfrmScanWizard;
}
namespace dao {
class Workspace;
}
namespace msaccess {
class Application;
}

/// The project and the database of the wizard's current showing; created fresh each time the
/// wizard is shown. The main window takes the merged one into the document.
extern std::unique_ptr<TProjectInfo> ScanProject;
extern std::unique_ptr<TMDBInfo> ScanMDB;
/// Folder of the last project file or database read, ending with '/'.
extern std::string ScanFolder;

/// What the wizard is shown for; the main window sets it before each showing.
enum TScanWizardMode : Byte {
    wmSelectFile = 0,    ///< a project or database the user picks (the menu or toolbar scan)
    wmFolderSearch = 1,  ///< one checked file of a folder-search batch, in the path editor
    wmRescanProject = 2, ///< a project of the document again, with the module list it has
    wmRescanModule = 3,  ///< one module of the document; it then replaces the old one
};

class TfrmScanWizard;
/// The wizard created at start-up.
extern TfrmScanWizard* frmScanWizard;

/// A part of a scan that could not be read and is left out of the document: the project file or
/// database it belongs to, what it is in that file (empty for the file itself), and why it could
/// not be read (all UTF-8).
struct TSkippedPart {
    std::string File;
    std::string What;
    std::string Reason;
};
/// The one message that names every skipped part with its reason: a count of the parts and
/// files as its text, the parts in its scrolling list. Nothing when there are none.
void ShowSkipped(const std::vector<TSkippedPart>& Parts);
/// The note that the forms and reports of these database files were read without their property
/// values, and how to have them scanned; the export folders in its list. Nothing for none.
void ShowPropertiesUnread(const std::vector<std::string>& Databases);

/// The tree image of a module by its entry's extension (".FRM", ".BAS", ".CLS", ".CTL").
Longint ModuleImage(const std::string& Entry);

class TfrmScanWizard final : public TModalForm {
    Q_OBJECT
public:
    explicit TfrmScanWizard(QWidget* Parent = nullptr);
    ~TfrmScanWizard() override;

    /// Set by the main window before it shows the wizard.
    TScanWizardMode Mode = wmSelectFile;

    /// This showing's scan was started by the wizard itself (a folder-search file in automatic mode).
    bool AutoStarted() const { return mAutoStarted; }
    /// The file chosen is an Access database.
    bool IsMDB() const { return mIsMDB; }
    /// What this showing could not read: modules, database objects, add-on files, and in an
    /// automatic batch run the file itself. The wizard names them at the scan's end itself,
    /// except in a batch run, whose caller names them all at the batch's end.
    const std::vector<TSkippedPart>& Skipped() const { return mSkipped; }
    /// The database of this showing when some of its forms or reports were read without their
    /// property values; the wizard says so at the scan's end, a batch after its last file.
    const std::vector<std::string>& PropertiesUnread() const { return mPropertiesUnread; }
    /// The "Scan mode" group.
    TScanMode ScanMode() const;
    void SetScanMode(TScanMode Value);
    /// Replaces the entries of a sorted list box (entries are 8-bit strings).
    static void SetEntries(QListWidget* List, const std::vector<std::string>& Entries);
    static std::vector<std::string> Entries(const QListWidget* List);
    /// Adds Entry at its sorted place (without regard to case), after equal entries.
    static void AddSorted(QListWidget* List, const std::string& Entry);

    /// The project or database file to read (the path editor's text).
    void SetFileName(const QString& FileName);
    /// Replaces the module list and the add-on file list of a re-scan.
    void SetEntries(const std::vector<std::string>& Files, const std::vector<std::string>& VBXs);

    // Handlers.
    void FormShow();
    void FormActivate();
    void tmrKillTimer();
    void sbSelectDialogDrop();
    void btnNextClick();
    void btnCancelClick();
    void ModuleProgress(TObject* Sender);
    void MDBProgress(TObject* Sender);
    void ModuleHit(TObject* Sender, THitInfo*& Hit, const std::string& Filename, TModalResult& Accept);
    void MDBHit(TObject* Sender, TMDBHitInfo*& Hit, const std::string& Filename, TModalResult& Accept);

    /// Closing the window otherwise (the window manager's close) is Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    void BuildModules();
    void DoScanProject();
    void DoScanMDB();
    /// Stops the progress display and closes the wizard as a scan's end requires.
    void EndScan();
    void LoadProjectFile();
    /// Reads the chosen database's objects into ScanMDB and its names into the file list, and
    /// writes the code of its forms, reports and modules beside it.
    void LoadMDBObjects();
    /// The import/export setups, tables and queries, from the database engine's catalogue.
    void ReadMDBCatalogue(dao::Workspace& Workspace, const std::string& DatabaseFile);
    /// The forms, reports and standard modules, from Access, each with its code exported.
    /// Returns whether forms or reports were read without their property values.
    bool ReadMDBDocuments(const std::string& DatabaseFile);
    /// The code ExportMDBModule writes out, by the object it belongs to.
    enum TMDBModuleKind : int {
        mkForm = 0,           ///< a form's module, "Form_" + its name, written as .cbf
        mkReport = 1,         ///< a report's module, "Report_" + its name, written as .cbf
        mkStandardModule = 2, ///< a standard module, under its own name, written as .Bas
    };
    /// Writes the code of the form, report or standard module ObjectName to a text file beside
    /// the database and adds a code-module object for that file. A form or report without code
    /// gets none; code that cannot be read or written is named at the scan's end.
    void ExportMDBModule(msaccess::Application& Access, TMDBModuleKind Kind, const std::string& ObjectName,
                         const std::string& DatabaseFile);
    /// A new object of the database, bound to its file and to the hit prompt.
    template <class Info>
    Info* NewMDBObject(const std::string& Name, const std::string& DatabaseFile);
    /// Closes the wizard with its result, or with mrCancel when it has none. While the wizard
    /// is being shown there is no modal loop to end yet: the close waits for CloseOnActivate.
    void Close();
    /// One unit of work done; the clock is read every ClockEvery units.
    void Progress(int ClockEvery);
    /// Repaints the parts of the window that changed, at once.
    void PaintChanges();
    /// Whether the progress display is due for a repaint (at most every few hundredths of a
    /// second, so that repaints cost the scan little).
    bool PaintDue();
    template <class Hit>
    void AskHit(Hit& Found, const std::string& Filename, TModalResult& Accept);
    /// The project of a re-scan (wmRescanProject and wmRescanModule), named after the path editor's file.
    void PrepareRescan();
    /// Reads the chosen file and, when it gives something to scan, scans it, in a batch run's
    /// automatic mode: what fails is noted as skipped rather than shown, so that the batch runs
    /// on without waiting for anyone.
    void AutoScan();
    /// Adds the add-on file Entry names to the project.
    void AddVBX(const std::string& Entry);
    /// Notes a part of the chosen file that could not be read.
    void Skip(const std::string& What, const std::string& Reason);
    /// Runs the project's scan; a module that cannot be read is skipped (taken out of the project)
    /// and the scan goes on with the next one.
    void ScanModules();

    Ui::TfrmScanWizard* const ui;
    QTimer* const tmrKill;
    bool mAutoStarted = false;
    bool mIsMDB = false;
    bool mCloseOnActivate = false;
    bool mShowing = false;
    TModalResult mResult = mrNone;
    int mProgress = 0;
    int mProgressMaximum = 0;
    const TObject* mShownModule = nullptr;
    std::vector<TSkippedPart> mSkipped;
    std::vector<std::string> mPropertiesUnread;
    /// The database read gives forms or reports from its own file, without property values.
    bool mFormsFromFile = false;
    /// Hits the user accepted in this showing's scan.
    int mAcceptedHits = 0;
    /// Since the wizard last painted on the progress clock; kept from one showing to the next.
    QElapsedTimer mSincePaint;
    TFormVariable<TfrmScanWizard> mFormVariable{frmScanWizard, this};
};
