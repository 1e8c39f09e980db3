#include "components/CDKPathE.h"

#include "components/CDKDir95.h"
#include "components/CDKDirSe.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QValidator>

#include <memory>

namespace {
// Converts what is typed into upper or lower case, as an edit box with a character case does.
class TCaseValidator final : public QValidator {
public:
    TCaseValidator(TEditCharCase Case, QObject* Parent) : QValidator(Parent), mCase(Case) {}
    State validate(QString& Input, int&) const override {
        Input = mCase == ecUpperCase ? Input.toUpper() : Input.toLower();
        return Acceptable;
    }

private:
    TEditCharCase mCase;
};

QString WithCase(const QString& S, TEditCharCase Case) {
    switch (Case) {
    case ecUpperCase:
        return S.toUpper();
    case ecLowerCase:
        return S.toLower();
    case ecNormal:
        break;
    }
    return S;
}
} // namespace

// ---- TOpenDialog ----

bool TOpenDialog::Execute(QWidget* Parent) {
    QFileDialog Dialog(Parent);
    Dialog.setWindowTitle(!Title.isEmpty() ? Title
                          : SaveMode()     ? QStringLiteral("Save As")
                                           : QStringLiteral("Open"));
    Dialog.setAcceptMode(SaveMode() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (SaveMode())
        Dialog.setFileMode(QFileDialog::AnyFile);
    else if (Options.contains(ofAllowMultiSelect))
        Dialog.setFileMode(QFileDialog::ExistingFiles);
    else if (Options.contains(ofFileMustExist))
        Dialog.setFileMode(QFileDialog::ExistingFile);
    else
        Dialog.setFileMode(QFileDialog::AnyFile);
    // The filter list shows its descriptions only, as the patterns are often part of them already.
    Dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (SaveMode() && !Options.contains(ofOverwritePrompt))
        Dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList Filters = QtNameFilters(Filter);
    if (!Filters.isEmpty()) {
        Dialog.setNameFilters(Filters);
        if (FilterIndex >= 1 && FilterIndex <= Filters.size())
            Dialog.selectNameFilter(Filters[FilterIndex - 1]);
    }
    Dialog.setDirectory(!InitialDir.isEmpty() ? InitialDir : QDir::currentPath());
    if (!FileName.isEmpty())
        Dialog.selectFile(FileName);
    Dialog.setDefaultSuffix(DefaultExt);
    Dialog.setHistory(HistoryList);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return false;
    FileName = Dialog.selectedFiles().constFirst();
    // With the details hidden the dialog may answer with the description alone.
    const QString Selected = Dialog.selectedNameFilter();
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    for (qsizetype I = 0; I < Filters.size(); ++I)
        if (Selected == Filters[I] || Selected == Parts[2 * I].trimmed()) {
            FilterIndex = static_cast<int>(I) + 1;
            break;
        }
    return true;
}

// ---- TCDKAlignSpeedButton ----

TCDKAlignSpeedButton::TCDKAlignSpeedButton(QWidget* Parent) : QToolButton(Parent) {
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(14, 14));
}

void TCDKAlignSpeedButton::SetGlyph(const QPixmap& Value) {
    mGlyph = Value;
    QIcon Icon;
    if (!Value.isNull() && Value.width() == 2 * Value.height()) {
        const int Side = Value.height();
        Icon.addPixmap(Value.copy(0, 0, Side, Side), QIcon::Normal);
        Icon.addPixmap(Value.copy(Side, 0, Side, Side), QIcon::Disabled);
        setIconSize(QSize(Side, Side));
    } else if (!Value.isNull()) {
        Icon.addPixmap(Value);
        setIconSize(Value.size());
    }
    setIcon(Icon);
}

// ---- TCDKPathEditor ----

TCDKPathEditor::TCDKPathEditor(QWidget* Parent) : TCompoundComponentPanel(Parent) {
    SetBounds(44, 126, Width(), 23);
    SetBevelOuter(bvNone);
    SetTabStop(false);

    BrowseButton = new TCDKAlignSpeedButton(this);
    BrowseButton->setGeometry(Width() - 23, 0, 23, 23);
    BrowseButton->SetAlign(alRight);
    connect(BrowseButton, &QToolButton::clicked, this,
            [this] { RunGuarded(this, [this] { BrowseButtonClicked(); }); });

    MainPathEdit = new QLineEdit(this);
    MainPathEdit->setGeometry(2, 1, Width() - BrowseButton->width() - mButtonOffset, 22);
    MainPathEdit->setMouseTracking(true);
    MainPathEdit->installEventFilter(this);
    connect(MainPathEdit, &QLineEdit::textChanged, this, [this] {
        RunGuarded(this, [this] {
            SyncFileName();
            if (OnChange)
                OnChange(this);
        });
    });
    setFocusProxy(MainPathEdit);
    // Focus given to another control while the window was inactive reaches that control only
    // when the window is active again; the edit box has been left all the same.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* Now) {
        if (mEntered && Now != nullptr && Now != MainPathEdit && Now->window() == window())
            RunGuarded(this, [this] { EditLeft(); });
    });

    OpenDialog = new TOpenDialog;
}

TCDKPathEditor::~TCDKPathEditor() {
    // The edit box outlives this part of the editor; its events must not reach it any more.
    MainPathEdit->removeEventFilter(this);
    disconnect(MainPathEdit, nullptr, this, nullptr);
    delete OpenDialog;
    OpenDialog = nullptr;
}

void TCDKPathEditor::Loaded() {
    TCompoundComponentPanel::Loaded();
    if (mUseDefaultGlyphs)
        LoadDefaultGlyph();
    AdjustLayout();
}

void TCDKPathEditor::DoDialogDrop() {
    if (OnDialogDrop)
        OnDialogDrop(this);
}

void TCDKPathEditor::BrowseForPath() {
    switch (mStyle) {
    case _SelectFile:
        if (OpenDialog->Execute(window())) {
            SetText(OpenDialog->FileName);
            DoDialogDrop();
        }
        break;
    case _SaveFile: {
        auto Dialog = std::make_unique<TSaveDialog>();
        SaveDialog = Dialog.get();
        struct Reset {
            TSaveDialog*& Field;
            ~Reset() { Field = nullptr; }
        } ResetField{SaveDialog};
        Dialog->Options = Options();
        Dialog->Title = Title();
        Dialog->InitialDir = InitialDir();
        Dialog->DefaultExt = DefaultExt();
        Dialog->FileEditStyle = FileEditStyle();
        Dialog->FileName = GetFileName();
        Dialog->Filter = Filter();
        Dialog->HistoryList = HistoryList();
        Dialog->FilterIndex = FilterIndex();
        if (Dialog->Execute(window())) {
            SetText(Dialog->FileName);
            DoDialogDrop();
        }
        // Settings the user changed in the dialog (folder, filter) are kept, accepted or not.
        SetOptions(Dialog->Options);
        SetTitle(Dialog->Title);
        SetInitialDir(Dialog->InitialDir);
        SetDefaultExt(Dialog->DefaultExt);
        SetFileEditStyle(Dialog->FileEditStyle);
        SetFileName(Dialog->FileName);
        SetFilter(Dialog->Filter);
        SetHistoryList(Dialog->HistoryList);
        SetFilterIndex(Dialog->FilterIndex);
        break;
    }
    case _SelectDirectory: {
        if (!InitialDir().isEmpty())
            ChangeToFolder(InitialDir());
        else if (!GetText().isEmpty() && QFileInfo(GetText()).isDir())
            ChangeToFolder(GetText());
        auto Form = std::make_unique<TDirectorySelectForm>(window());
        const bool NoChangeDir = Options().contains(ofNoChangeDir);
        const QString StartDir = NoChangeDir ? GetCurrentDirWithSlash() : QString();
        struct Restore {
            bool Active;
            const QString& Dir;
            ~Restore() {
                if (Active)
                    ChangeToFolder(Dir);
            }
        } RestoreDir{NoChangeDir, StartDir};
        Form->ShowNewButton(!Options().contains(ofPathMustExist));
        if (!Title().isEmpty())
            Form->setWindowTitle(Title());
        if (Form->exec() == mrOk) {
            SetText(Form->DirectoryListBox->Directory());
            DoDialogDrop();
        }
        break;
    }
    }
}

void TCDKPathEditor::BrowseButtonClicked() {
    if (Designing())
        return;
    if (OnBrowseButtonClick)
        OnBrowseButtonClick(this);
    BrowseForPath();
}

void TCDKPathEditor::SyncFileName() {
    OpenDialog->FileName = MainPathEdit->text();
}

bool TCDKPathEditor::ChangeToFolder(QString Path) {
    while (Path.size() >= 2 && Path.endsWith(QLatin1Char('/')))
        Path.chop(1);
    return !Path.isEmpty() && QDir::setCurrent(Path);
}

void TCDKPathEditor::LoadDefaultGlyph() {
    InitKitResources();
    static const char* const Names[] = {":/components/BMP_OPEN_FILE.xpm",
                                        ":/components/BMP_BROWSE_FOLDERS.xpm",
                                        ":/components/BMP_SAVE_FILE.xpm"};
    BrowseButton->SetGlyph(QPixmap(QString::fromLatin1(Names[mStyle])));
}

void TCDKPathEditor::AlignControls() {
    if (BrowseButton != nullptr)
        BrowseButton->setGeometry(AlignedBounds(BrowseButton->Align(), rect(), BrowseButton->geometry()));
}

void TCDKPathEditor::AdjustLayout() {
    if (MainPathEdit == nullptr || BrowseButton == nullptr)
        return;
    QRect R = geometry();
    R.setHeight(MainPathEdit->height() + 2);
    MainPathEdit->resize(Width() - BrowseButton->width() - mButtonOffset, MainPathEdit->height());
    SetBounds(R);
}

void TCDKPathEditor::SetSmartShowBrowseButton(bool Value) {
    if (mSmartShowBrowseButton == Value)
        return;
    mSmartShowBrowseButton = Value;
    BrowseButton->setVisible(!Value);
}

QPixmap TCDKPathEditor::BrowseButtonGlyph() const {
    return BrowseButton->Glyph();
}

void TCDKPathEditor::SetBrowseButtonGlyph(const QPixmap& Value) {
    if (Value.isNull()) {
        SetUseDefaultGlyphs(true);
    } else {
        SetUseDefaultGlyphs(false);
        BrowseButton->SetGlyph(Value);
    }
}

QString TCDKPathEditor::BrowseButtonHint() const {
    return BrowseButton->toolTip();
}

void TCDKPathEditor::SetBrowseButtonHint(const QString& Value) {
    BrowseButton->setToolTip(Value);
}

TBorderStyle TCDKPathEditor::BorderStyle() const {
    return MainPathEdit->hasFrame() ? bsSingle : bsNone;
}

void TCDKPathEditor::SetBorderStyle(TBorderStyle Value) {
    MainPathEdit->setFrame(Value == bsSingle);
}

void TCDKPathEditor::SetCharCase(TEditCharCase Value) {
    mCharCase = Value;
    delete MainPathEdit->validator();
    MainPathEdit->setValidator(Value == ecNormal ? nullptr : new TCaseValidator(Value, MainPathEdit));
    MainPathEdit->setText(WithCase(MainPathEdit->text(), Value));
}

QFont TCDKPathEditor::Font() const {
    return MainPathEdit->font();
}

void TCDKPathEditor::SetFont(const QFont& Value) {
    MainPathEdit->setFont(Value);
}

void TCDKPathEditor::SetMaxLength(int Value) {
    mMaxLength = Value;
    MainPathEdit->setMaxLength(Value > 0 ? Value : 32767);
}

void TCDKPathEditor::SetPasswordChar(QChar Value) {
    mPasswordChar = Value;
    MainPathEdit->setEchoMode(Value.isNull() ? QLineEdit::Normal : QLineEdit::Password);
}

QString TCDKPathEditor::GetText() const {
    return MainPathEdit->text();
}

void TCDKPathEditor::SetText(const QString& Value) {
    MainPathEdit->setText(WithCase(Value, mCharCase));
}

QString TCDKPathEditor::GetFileName() const {
    return OpenDialog->FileName;
}

void TCDKPathEditor::SetFileName(const QString& Value) {
    OpenDialog->FileName = Value;
}

void TCDKPathEditor::SetUseDefaultGlyphs(bool Value) {
    if (mUseDefaultGlyphs == Value)
        return;
    mUseDefaultGlyphs = Value;
    if (Value)
        LoadDefaultGlyph();
}

void TCDKPathEditor::SetStyle(TCDKPathEdStyle Value) {
    if (mStyle == Value)
        return;
    mStyle = Value;
    if (mUseDefaultGlyphs)
        LoadDefaultGlyph();
}

void TCDKPathEditor::SetButtonOffset(int Value) {
    if (Value < 0 || Value == mButtonOffset)
        return;
    const int Old = mButtonOffset;
    mButtonOffset = Value;
    SetWidth(Width() + Value - Old);
}

void TCDKPathEditor::SetTabStop(bool Value) {
    setFocusPolicy(Value ? Qt::TabFocus : Qt::NoFocus);
}

bool TCDKPathEditor::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == MainPathEdit) {
        bool Swallow = false;
        RunGuarded(this, [&] { Swallow = RelayEditEvent(Event); });
        if (Swallow)
            return true;
    }
    return TCompoundComponentPanel::eventFilter(Watched, Event);
}

// Entering and leaving follow the focus moving between the window's controls: the edit box stays
// entered while another window (a browse dialog, another program) is active or a pop-up menu is
// open.
void TCDKPathEditor::EditEntered() {
    if (mEntered)
        return;
    mEntered = true;
    if (mSmartShowBrowseButton)
        BrowseButton->setVisible(true);
    if (OnEnter)
        OnEnter(this);
}

void TCDKPathEditor::EditLeft() {
    if (!mEntered)
        return;
    mEntered = false;
    if (mSmartShowBrowseButton)
        BrowseButton->setVisible(false);
    if (OnExit)
        OnExit(this);
}

// Re-fires the edit box's events as the editor's own; returns true when a handler swallowed it.
bool TCDKPathEditor::RelayEditEvent(QEvent* Event) {
    switch (Event->type()) {
    case QEvent::FocusIn:
        EditEntered();
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
        if (Reason != Qt::ActiveWindowFocusReason && Reason != Qt::PopupFocusReason)
            EditLeft();
        break;
    }
    case QEvent::KeyPress: {
        auto* KE = static_cast<QKeyEvent*>(Event);
        int Key = KE->key();
        if (OnKeyDown)
            OnKeyDown(this, Key, KE->modifiers());
        if (Key == 0)
            return true;
        if (OnKeyPress && KE->text().size() == 1) {
            QChar Char = KE->text().front();
            OnKeyPress(this, Char);
            if (Char.isNull())
                return true;
            if (Char != KE->text().front()) {
                if (Char.isPrint())
                    MainPathEdit->insert(QString(Char));
                return true;
            }
        }
        break;
    }
    case QEvent::KeyRelease: {
        auto* KE = static_cast<QKeyEvent*>(Event);
        int Key = KE->key();
        if (OnKeyUp)
            OnKeyUp(this, Key, KE->modifiers());
        return Key == 0;
    }
    case QEvent::MouseButtonPress: {
        auto* ME = static_cast<QMouseEvent*>(Event);
        if (OnMouseDown)
            OnMouseDown(this, ME->button(), ME->modifiers(), ME->position().toPoint().x(),
                        ME->position().toPoint().y());
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* ME = static_cast<QMouseEvent*>(Event);
        const QPoint P = ME->position().toPoint();
        if (OnMouseUp)
            OnMouseUp(this, ME->button(), ME->modifiers(), P.x(), P.y());
        if (ME->button() == Qt::LeftButton && MainPathEdit->rect().contains(P) && OnClick)
            OnClick(this);
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (OnDblClick)
            OnDblClick(this);
        break;
    case QEvent::MouseMove: {
        auto* ME = static_cast<QMouseEvent*>(Event);
        if (OnMouseMove)
            OnMouseMove(this, ME->modifiers(), ME->position().toPoint().x(), ME->position().toPoint().y());
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* DE = static_cast<QDragMoveEvent*>(Event);
        if (OnDragOver) {
            bool Accept = true;
            const QPoint P = DE->position().toPoint();
            OnDragOver(this, DE->source(), P.x(), P.y(),
                       Event->type() == QEvent::DragEnter ? dsDragEnter : dsDragMove, Accept);
            if (!Accept) {
                DE->ignore();
                return true;
            }
        }
        break;
    }
    case QEvent::DragLeave:
        if (OnDragOver) {
            bool Accept = true;
            const QPoint P = MainPathEdit->mapFromGlobal(QCursor::pos());
            OnDragOver(this, nullptr, P.x(), P.y(), dsDragLeave, Accept);
        }
        break;
    case QEvent::Drop: {
        auto* DE = static_cast<QDropEvent*>(Event);
        if (OnDragDrop)
            OnDragDrop(this, DE->source(), DE->position().toPoint().x(), DE->position().toPoint().y());
        break;
    }
    case QEvent::ChildAdded:
        if (auto* Drag = qobject_cast<QDrag*>(static_cast<QChildEvent*>(Event)->child()))
            WatchDrag(Drag);
        break;
    case QEvent::ContextMenu:
        if (mPopupMenu != nullptr) {
            mPopupMenu->popup(static_cast<QContextMenuEvent*>(Event)->globalPos());
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

// A drag that the edit box started ends when its drag object goes away; the editor then fires
// OnEndDrag with the object that took the drop (or none).
void TCDKPathEditor::WatchDrag(QObject* DragObject) {
    auto* Drag = static_cast<QDrag*>(DragObject);
    auto Target = std::make_shared<QPointer<QObject>>();
    connect(Drag, &QDrag::targetChanged, this, [Target](QObject* NewTarget) { *Target = NewTarget; });
    connect(Drag, &QObject::destroyed, this, [this, Target] {
        RunGuarded(this, [&] {
            if (!OnEndDrag)
                return;
            QPoint P;
            if (auto* W = qobject_cast<QWidget*>(Target->data()))
                P = W->mapFromGlobal(QCursor::pos());
            OnEndDrag(this, Target->data(), P.x(), P.y());
        });
    });
}
