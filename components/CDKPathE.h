#pragma once
// The path editor: a single-line edit box with a browse button at its right end that opens a
// file-open dialog, the "Select a Directory" dialog or a file-save dialog, by its Style. Also the
// file-dialog settings objects it keeps (TOpenDialog, TSaveDialog) and its browse button.

#include "components/CDK_Comp.h"

#include <QLineEdit>
#include <QPixmap>
#include <QStringList>
#include <QToolButton>

#include <set>

class QMenu;

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks
};
using TOpenOptions = std::set<TOpenOption>;
enum TFileEditStyle { fsEdit, fsComboBox };

/// The settings of a file-open dialog and the run of one on Qt's file dialog. Filter is the
/// class library's "Description|*.a;*.b|..." list; FilterIndex counts from 1.
class TOpenDialog : public TObject {
public:
    std::string ClassName() const override { return "TOpenDialog"; }
    /// Shows the dialog modally; on acceptance stores the chosen file and filter and returns true.
    bool Execute(QWidget* Parent);

    QString DefaultExt;
    TFileEditStyle FileEditStyle = fsEdit;
    QString FileName;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    QStringList HistoryList;
    TOpenOptions Options{ofHideReadOnly};
    QString Title;

protected:
    virtual bool SaveMode() const { return false; }
};

/// The settings of a file-save dialog.
class TSaveDialog final : public TOpenDialog {
public:
    std::string ClassName() const override { return "TSaveDialog"; }

protected:
    bool SaveMode() const override { return true; }
};

/// A speed button that can be aligned in its parent; the path editor's browse button. A glyph
/// twice as wide as high holds the enabled and the disabled image side by side.
class TCDKAlignSpeedButton final : public QToolButton, public TObject {
    Q_OBJECT
public:
    explicit TCDKAlignSpeedButton(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TCDKAlignSpeedButton"; }
    TAlign Align() const { return mAlign; }
    void SetAlign(TAlign Value) { mAlign = Value; }
    QPixmap Glyph() const { return mGlyph; }
    void SetGlyph(const QPixmap& Value);

private:
    TAlign mAlign = alNone;
    QPixmap mGlyph;
};

enum TCDKPathEdStyle : Byte { _SelectFile, _SelectDirectory, _SaveFile };
enum TBorderStyle { bsNone, bsSingle };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

/// An edit box for a file or folder name with a browse button. The editor publishes the edit box's
/// appearance and the file dialog's settings as its own, and re-fires the edit box's events with
/// itself as the sender. It is always two pixels taller than its edit box.
class TCDKPathEditor : public TCompoundComponentPanel {
    Q_OBJECT
public:
    explicit TCDKPathEditor(QWidget* Parent = nullptr);
    ~TCDKPathEditor() override;
    std::string ClassName() const override { return "TCDKPathEditor"; }

    void Loaded() override;
    /// Fires OnDialogDrop.
    virtual void DoDialogDrop();
    /// Runs the dialog of the current Style and puts an accepted choice into Text.
    virtual void BrowseForPath();

    // Inner controls; the editor owns them. SaveDialog exists only while a save browse runs.
    TCDKAlignSpeedButton* BrowseButton = nullptr;
    QLineEdit* MainPathEdit = nullptr;
    TSaveDialog* SaveDialog = nullptr;
    TOpenDialog* OpenDialog = nullptr;

    bool SmartShowBrowseButton() const { return mSmartShowBrowseButton; }
    void SetSmartShowBrowseButton(bool Value);
    QPixmap BrowseButtonGlyph() const;
    /// A null pixmap switches back to the style's own glyph.
    void SetBrowseButtonGlyph(const QPixmap& Value);
    QString BrowseButtonHint() const;
    void SetBrowseButtonHint(const QString& Value);
    TBorderStyle BorderStyle() const;
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return mCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool Ctl3D() const { return mCtl3D; }
    void SetCtl3D(bool Value) { mCtl3D = Value; }
    QFont Font() const;
    void SetFont(const QFont& Value);
    /// 0 means no limit.
    int MaxLength() const { return mMaxLength; }
    void SetMaxLength(int Value);
    bool OEMConvert() const { return mOEMConvert; }
    void SetOEMConvert(bool Value) { mOEMConvert = Value; }
    /// A non-null character hides what is typed.
    QChar PasswordChar() const { return mPasswordChar; }
    void SetPasswordChar(QChar Value);
    QMenu* PopupMenu() const { return mPopupMenu; }
    void SetPopupMenu(QMenu* Value) { mPopupMenu = Value; }
    QString GetText() const;
    void SetText(const QString& Value);
    QString Text() const { return GetText(); }

    QString DefaultExt() const { return OpenDialog->DefaultExt; }
    void SetDefaultExt(const QString& Value) { OpenDialog->DefaultExt = Value; }
    TFileEditStyle FileEditStyle() const { return OpenDialog->FileEditStyle; }
    void SetFileEditStyle(TFileEditStyle Value) { OpenDialog->FileEditStyle = Value; }
    QString GetFileName() const;
    void SetFileName(const QString& Value);
    QString FileName() const { return GetFileName(); }
    QString Filter() const { return OpenDialog->Filter; }
    void SetFilter(const QString& Value) { OpenDialog->Filter = Value; }
    int FilterIndex() const { return OpenDialog->FilterIndex; }
    void SetFilterIndex(int Value) { OpenDialog->FilterIndex = Value; }
    QString InitialDir() const { return OpenDialog->InitialDir; }
    void SetInitialDir(const QString& Value) { OpenDialog->InitialDir = Value; }
    QStringList HistoryList() const { return OpenDialog->HistoryList; }
    void SetHistoryList(const QStringList& Value) { OpenDialog->HistoryList = Value; }
    TOpenOptions Options() const { return OpenDialog->Options; }
    void SetOptions(const TOpenOptions& Value) { OpenDialog->Options = Value; }
    QString Title() const { return OpenDialog->Title; }
    void SetTitle(const QString& Value) { OpenDialog->Title = Value; }

    bool UseDefaultGlyphs() const { return mUseDefaultGlyphs; }
    void SetUseDefaultGlyphs(bool Value);
    TCDKPathEdStyle Style() const { return mStyle; }
    void SetStyle(TCDKPathEdStyle Value);
    int ButtonOffset() const { return mButtonOffset; }
    void SetButtonOffset(int Value);
    /// The editor itself never takes the focus from the Tab key; its edit box does.
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool Value);

    TNotifyEvent OnDialogDrop;
    TNotifyEvent OnBrowseButtonClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDrag;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    /// Copies the edit box's text into the open dialog's FileName.
    virtual void SyncFileName();
    /// Keeps the editor two pixels taller than its edit box and the edit box's width beside the button.
    virtual void AdjustLayout();
    void Resize() override { AdjustLayout(); }
    void AlignControls() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BrowseButtonClicked();
    void LoadDefaultGlyph();
    /// Makes Path (without trailing slashes) the process's current directory; failures are silent.
    static bool ChangeToFolder(QString Path);
    bool RelayEditEvent(QEvent* Event);
    /// OnEnter and OnExit, each once per stay of the focus in the edit box.
    void EditEntered();
    void EditLeft();
    void WatchDrag(QObject* Drag);

    bool mSmartShowBrowseButton = false;
    /// The edit box is the window's focused control (OnEnter fired, OnExit not yet).
    bool mEntered = false;
    TEditCharCase mCharCase = ecNormal;
    bool mCtl3D = true;
    int mMaxLength = 0;
    bool mOEMConvert = false;
    QChar mPasswordChar;
    QMenu* mPopupMenu = nullptr;
    TCDKPathEdStyle mStyle = _SelectFile;
    int mButtonOffset = 6;
    bool mUseDefaultGlyphs = true;
};
