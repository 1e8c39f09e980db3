#pragma once
// The folder-search wizard of Scan Directories: step 1 asks for the scan document's name and a
// start folder, its Next searches the folder tree for Visual Basic project files and Access
// databases, and step 2 lists them with check boxes and asks for the scan mode. The main window
// creates it for one use and scans each checked file after Finish.

#include "platform/ui/Dialogs.h"
#include "scanner/FormVariable.h"

#include <QStringList>

#include <string>

class QListWidget;
class QLineEdit;
class TCDKPathEditor;
class TxdkSteps;

namespace Ui {
class TfrmProjects;
}

class TfrmProjects;
/// The window of the current Scan Directories command (nullptr outside it).
extern TfrmProjects* frmProjects;

class TfrmProjects final : public TModalForm {
    Q_OBJECT
public:
    explicit TfrmProjects(QWidget* Parent = nullptr);
    ~TfrmProjects() override;

    /// The document name typed in step 1 (Windows-1252, as the document keeps it).
    std::string DocumentName() const;
    /// The checked entries of the project list, in list order.
    QStringList CheckedProjects() const;
    /// The "Scan Mode" group: 0 Manual, 1 Automatic.
    int ScanMode() const;
    void SetScanMode(int Value);

    // The controls the user works with.
    TxdkSteps* Steps() const;
    QLineEdit* NameEdit() const;
    TCDKPathEditor* PathEditor() const;
    QListWidget* Projects() const;

    // Handlers.
    void FormShow();
    void txtPathDialogDrop();
    void xdkStepTab1Next();
    void xdkStepTab2Back();
    void xdkStepsFinish();
    void xdkStepsCancel();
    void xdkStepsAbout();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    Ui::TfrmProjects* const ui;
    TFormVariable<TfrmProjects> mFormVariable{frmProjects, this};
};
