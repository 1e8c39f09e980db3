#pragma once
// The folder list of the "Select a Directory" dialog: the class library's directory list box,
// here drawn with the kit's own folder pictures.

#include "components/CDK_Comp.h"

#include <QListWidget>
#include <QPixmap>

class QLabel;

/// A list of the folders on the path to the current directory (open folders, indented by depth),
/// the current directory itself and its subfolders (closed folders). Opening a line (a double
/// click) makes that folder the list's directory and the process's current directory, as the
/// class library does.
/// Hidden folders (names starting with a dot) are not listed.
class TDirectoryListBox : public QListWidget, public TKitComponent {
    Q_OBJECT
public:
    explicit TDirectoryListBox(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TDirectoryListBox"; }

    enum TFolderKind { fkOpen, fkClosed, fkCurrent };

    QString Directory() const { return mDirectory; }
    /// Changes to the folder Value; raises EInOutError when it cannot be opened.
    void SetDirectory(const QString& Value);
    /// The label that shows the current directory.
    QLabel* DirLabel() const { return mDirLabel; }
    void SetDirLabel(QLabel* Value);
    int ItemHeight() const { return mItemHeight; }
    void SetItemHeight(int Value);
    /// The full path of line Index.
    QString GetItemPath(int Index) const;
    /// Opens the selected line.
    void OpenCurrent();
    /// The picture of one kind of line; loaded on first use.
    QPixmap FolderPicture(TFolderKind Kind);

protected:
    /// Loads the three folder pictures; the base takes the style's folder icons.
    virtual void LoadFolderBitmaps();
    void resizeEvent(QResizeEvent* Event) override;

    QPixmap mOpenedBmp;
    QPixmap mClosedBmp;
    QPixmap mCurrentBmp;

private:
    void ReadDirectoryNames();
    void UpdateDirLabel();

    QString mDirectory;
    QLabel* mDirLabel = nullptr;
    int mItemHeight = 16;
    bool mBitmapsLoaded = false;
};

/// The directory list box with the kit's folder pictures.
class TCDKWin95DirListBox final : public TDirectoryListBox {
    Q_OBJECT
public:
    explicit TCDKWin95DirListBox(QWidget* Parent = nullptr) : TDirectoryListBox(Parent) {}
    std::string ClassName() const override { return "TCDKWin95DirListBox"; }

protected:
    void LoadFolderBitmaps() override;
};
