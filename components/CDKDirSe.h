#pragma once
// The modal "Select a Directory" dialog of the path editor: drive box, folder list, OK, Cancel and
// "&New...", which opens the "Create Directory" dialog.

#include "components/CDK_Comp.h"
#include "platform/ui/Dialogs.h"

#include <QComboBox>

class QLabel;
class TDirectoryListBox;
class TCDKWin95DirListBox;

/// The process's current directory with a trailing "/".
QString GetCurrentDirWithSlash();

/// The drive box: on Linux its only drive is the root "/". Choosing it moves the linked folder list.
class TDriveComboBox final : public QComboBox, public TObject {
    Q_OBJECT
public:
    explicit TDriveComboBox(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TDriveComboBox"; }
    TDirectoryListBox* DirList() const { return mDirList; }
    void SetDirList(TDirectoryListBox* Value) { mDirList = Value; }

private:
    TDirectoryListBox* mDirList = nullptr;
};

/// "Select a Directory": opens on the process's current directory; on OK (modal result 1) the
/// caller reads DirectoryListBox->Directory(). Escape and the close box answer Cancel.
class TDirectorySelectForm final : public TModalForm, public TObject {
    Q_OBJECT
public:
    explicit TDirectorySelectForm(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TDirectorySelectForm"; }

    TDriveComboBox* DriveComboBox;
    QLabel* DirectoryShadowLabel;
    TButton* OKButton;
    TButton* CancelButton;
    TButton* CreateDirectoryButton;
    TCDKWin95DirListBox* DirectoryListBox;

    void ShowNewButton(bool Value);
    /// "&New...": asks for a folder to create under the current one and moves the list to it.
    void CreateDirectoryButtonClick(TObject* Sender);
    /// Opens the selected line (not attached to the list by default).
    void DirectoryListBoxClick(TObject* Sender);
    /// Up and Down move the selection by one line and are swallowed (not attached by default).
    void DirectoryListBoxKeyDown(TObject* Sender, int& Key, TShiftState Shift);
};
