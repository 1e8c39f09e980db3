#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QTextEdit>
#include <QWindow>

#include <algorithm>
#include <array>

namespace {
struct ButtonMap {
    unsigned Btn;
    QMessageBox::StandardButton Std;
    TModalResult Result;
};
constexpr std::array<ButtonMap, 7> Buttons = {{
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
}};

QString TitleText() {
    return Application != nullptr ? Application->Title() : QCoreApplication::applicationName();
}

// The file that Name stands for in a dialog with the default extension Ext (without its dot):
// Name itself when its own name holds a dot or when it is a folder; otherwise Name + "." + Ext, or
// the file already there whose extension equals Ext without regard to case, as on the file
// systems the extension comes from.
QString WithDefaultExtension(const QString& Name, const QString& Ext) {
    const QFileInfo Info(Name);
    const QString Own = Info.fileName();
    if (Ext.isEmpty() || Own.isEmpty() || Own.contains(u'.') || Info.isDir())
        return Name;
    const QString Exact = Name + u'.' + Ext;
    if (QFileInfo::exists(Exact))
        return Exact;
    const QString Prefix = Own + u'.';
    const QDir Folder = Info.dir();
    for (const QString& Entry : Folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System))
        if (Entry.size() == Prefix.size() + Ext.size() && Entry.startsWith(Prefix) &&
            Entry.endsWith(Ext, Qt::CaseInsensitive))
            return Folder.filePath(Entry);
    return Exact;
}

// Qt's file dialog with the default extension applied to the chosen name before the dialog
// decides on it: the save dialog asks about the file that will be written, the open dialog finds
// the file the user meant.
class TExtFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    QString DefaultExt;
    /// The accepted file when the default extension changed the name.
    QString Chosen;

    void accept() override {
        const QStringList Files = selectedFiles();
        if (Files.size() != 1 || DefaultExt.isEmpty()) {
            QFileDialog::accept();
            return;
        }
        const QString Name = WithDefaultExtension(Files.constFirst(), DefaultExt);
        const QFileInfo Info(Name);
        // A name left as it was, and an open of a file that is not there, take Qt's own course
        // (folders are entered, a missing file is reported).
        if (Name == Files.constFirst() || (acceptMode() == AcceptOpen && !Info.exists())) {
            QFileDialog::accept();
            return;
        }
        if (Info.isDir()) {
            setDirectory(Name);
            return;
        }
        if (acceptMode() == AcceptSave && Info.exists() &&
            QMessageBox::warning(
                this, windowTitle(),
                QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(Info.fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        Chosen = Name;
        QDialog::accept();
    }
};

} // namespace

QScreen* MainScreen() {
    if (Application != nullptr && Application->MainForm() != nullptr)
        if (QScreen* Screen = Application->MainForm()->screen())
            return Screen;
    return QGuiApplication::primaryScreen();
}

namespace {
// Windows are placed by their client area, which is the same at every showing: the frame is known
// only once the window manager has framed the window, and a place computed from it would differ
// between the first showing and the later ones. The frame, where it is known, is kept on the
// screen too.
void PlaceClientArea(QWidget& Window, QPoint TopLeft) {
    if (const QScreen* Screen = MainScreen()) {
        const QRect Area = Screen->availableGeometry();
        const QRect Client = Window.geometry(), Frame = Window.frameGeometry();
        const QMargins Margins(Client.left() - Frame.left(), Client.top() - Frame.top(),
                               Frame.right() - Client.right(), Frame.bottom() - Client.bottom());
        const QRect Room = Area.marginsRemoved(Margins);
        TopLeft.setX(std::max(Room.left(), std::min(TopLeft.x(), Room.right() + 1 - Client.width())));
        TopLeft.setY(std::max(Room.top(), std::min(TopLeft.y(), Room.bottom() + 1 - Client.height())));
    }
    Window.setGeometry(QRect(TopLeft, Window.size()));
}
} // namespace

void CentreOnScreen(QWidget& Window) {
    if (const QScreen* Screen = MainScreen())
        PlaceClientArea(Window, Screen->availableGeometry().center() - Window.rect().center());
}

void KeepOnScreen(QWidget& Window) {
    PlaceClientArea(Window, Window.geometry().topLeft());
}

QStringList QtNameFilters(const QString& Filter) {
    const QStringList Parts = Filter.split(u'|');
    QStringList Out;
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        QStringList Patterns;
        for (QString Pattern : Parts[I + 1].split(u';', Qt::SkipEmptyParts)) {
            Pattern = Pattern.trimmed();
            Patterns << (Pattern == QStringLiteral("*.*") ? QStringLiteral("*") : Pattern);
        }
        const QString List = u'(' + Patterns.join(u' ') + u')';
        Out << (Parts[I].endsWith(List) ? Parts[I] : Parts[I] + u' ' + List);
    }
    return Out;
}

namespace {
/// Gives a message box the type's icon and caption and the buttons Btns.
void SetUpBox(QMessageBox& Box, TMsgDlgType Type, unsigned Btns) {
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QString Caption;
    switch (Type) {
    case TMsgDlgType::mtWarning:
        Icon = QMessageBox::Warning;
        Caption = QStringLiteral("Warning");
        break;
    case TMsgDlgType::mtError:
        Icon = QMessageBox::Critical;
        Caption = QStringLiteral("Error");
        break;
    case TMsgDlgType::mtInformation:
        Icon = QMessageBox::Information;
        Caption = QStringLiteral("Information");
        break;
    case TMsgDlgType::mtConfirmation:
        Icon = QMessageBox::Question;
        Caption = QStringLiteral("Confirm");
        break;
    case TMsgDlgType::mtCustom:
        Caption = TitleText();
        break;
    }
    QMessageBox::StandardButtons Std;
    for (const ButtonMap& B : Buttons)
        if ((Btns & B.Btn) != 0)
            Std |= B.Std;
    Box.setIcon(Icon);
    Box.setWindowTitle(Caption);
    Box.setStandardButtons(Std);
}

TModalResult ShowBox(QMessageBox& Box) {
    const auto Clicked = static_cast<QMessageBox::StandardButton>(ExecOverActiveWindow(Box));
    for (const ButtonMap& B : Buttons)
        if (B.Std == Clicked)
            return B.Result;
    return mrCancel;
}
} // namespace

QString CutInMiddle(const QString& Text, qsizetype MaxLength) {
    if (Text.size() <= MaxLength)
        return Text;
    const qsizetype Head = (MaxLength - 1) / 2;
    const qsizetype Tail = MaxLength - 1 - Head;
    return Text.left(Head) + u'\u2026' + Text.right(Tail);
}

namespace {
// What the details area holds at most: a message is bounded before it reaches the screen.
constexpr qsizetype MaxDetailsText = 100000;

/// The room a message box's text has on the screen, as the box lays it out: the box is at most
/// the screen's width on small screens and 1000 px on others; its text wraps at half that width
/// until a word needs more.
struct TTextRoom {
    int WordWidth; ///< the widest word shown whole
    int WrapWidth; ///< the narrowest width the text may be wrapped at
    int Height;    ///< the tallest text that leaves room for the box's title, buttons and margins
};

TTextRoom RoomOnScreen(const QRect& Area) {
    const int HardLimit = Area.width() <= 1024 ? Area.width() : std::min(Area.width() - 480, 1000);
    const int SoftLimit = std::min(Area.width() / 2, 500);
    // The icon and the margins take about a quarter of the box's width, and the title, the buttons
    // and the margins about a fifth of the screen's height.
    return {HardLimit * 3 / 4, SoftLimit * 3 / 4, Area.height() * 3 / 5};
}

/// Each word of Line wider than Width cut in the middle to fit it.
QString CutWideWords(const QFontMetrics& Metrics, const QString& Line, int Width) {
    QStringList Words = Line.split(u' ');
    for (QString& Word : Words)
        if (Metrics.horizontalAdvance(Word) > Width)
            Word = Metrics.elidedText(Word, Qt::ElideMiddle, Width);
    return Words.join(u' ');
}

int TextHeight(const QFontMetrics& Metrics, const QString& Text, int WrapWidth) {
    return Metrics.boundingRect(QRect(0, 0, WrapWidth, 1 << 24), Qt::TextWordWrap, Text).height();
}

/// Shows Details, one entry a line, in the box's read-only details area (object name
/// "memDetails"), open under the text in a scrolling area of a bounded height.
void ShowDetails(QMessageBox& Box, const QString& Details) {
    Box.setDetailedText(Details);
    // The list is what the box is about: it shows open, in its scrolling area of a fixed height.
    for (QAbstractButton* Button : Box.buttons())
        if (Box.buttonRole(Button) == QMessageBox::ActionRole) {
            Button->click();
            break;
        }
    if (auto* Area = Box.findChild<QTextEdit*>()) {
        Area->setObjectName(QStringLiteral("memDetails"));
        // Wider and taller than Qt's few lines where the screen has room; the box's size stays
        // bounded by the screen whatever the list holds.
        if (const QScreen* Screen = MainScreen()) {
            const QRect Room = Screen->availableGeometry();
            Area->setMinimumWidth(std::min(600, Room.width() * 3 / 5));
            Area->setFixedHeight(
                std::max(100, std::min(Area->fontMetrics().lineSpacing() * 16, Room.height() * 2 / 5)));
        }
    }
}

/// Gives Box the text Text, and Details (one entry a line) in its details area when not empty.
/// A text the box cannot show whole on the screen (very many lines, or a word wider than the
/// screen, as a file name may be) shows as its first lines, with over-wide words cut in the
/// middle, and whole in the details area, before Details.
void SetBoxText(QMessageBox& Box, const QString& Text, const QString& Details) {
    // Messages quote file names and file contents: they are never read as markup.
    Box.setTextFormat(Qt::PlainText);
    const QString Bounded = CutInMiddle(Text, MaxDetailsText);
    const QStringList Lines = Bounded.split(u'\n');
    // Measured in the font of the box's label, which a style may set apart from the box's.
    const auto* Label = Box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QFontMetrics Metrics = Label != nullptr ? Label->fontMetrics() : Box.fontMetrics();
    const QScreen* Screen = MainScreen();
    const QRect Area = Screen != nullptr ? Screen->availableGeometry() : QRect();
    const TTextRoom Room = RoomOnScreen(Area);
    // With a details area the text shares the screen with it.
    const int Height = Details.isEmpty() ? Room.Height : Area.height() / 5;
    const bool Fits =
        Screen == nullptr || (Lines.size() <= Height / std::max(1, Metrics.lineSpacing()) &&
                              std::all_of(Lines.begin(), Lines.end(),
                                          [&](const QString& Line) {
                                              return CutWideWords(Metrics, Line, Room.WordWidth) == Line;
                                          }) &&
                              TextHeight(Metrics, Bounded, Room.WrapWidth) <= Height);
    if (Fits) {
        Box.setText(Text);
        if (!Details.isEmpty())
            ShowDetails(Box, Details);
        return;
    }
    // The lines that fit a fifth of the screen, and "…" on a line of its own when some do not;
    // a first line taller than that on its own is cut in the middle to fit it.
    const int Shown = Area.height() / 5;
    QString Short = CutWideWords(Metrics, Lines[0], Room.WordWidth);
    if (TextHeight(Metrics, Short, Room.WrapWidth) > Shown) {
        qsizetype Low = 1, High = Short.size();
        while (Low < High) {
            const qsizetype Mid = (Low + High + 1) / 2;
            if (TextHeight(Metrics, CutInMiddle(Short, Mid), Room.WrapWidth) <= Shown)
                Low = Mid;
            else
                High = Mid - 1;
        }
        Short = CutInMiddle(Short, Low);
    }
    for (qsizetype I = 1; I < Lines.size(); ++I) {
        const QString Longer = Short + u'\n' + CutWideWords(Metrics, Lines[I], Room.WordWidth);
        if (TextHeight(Metrics, Longer + QStringLiteral("\n\u2026"), Room.WrapWidth) > Shown) {
            Short += QStringLiteral("\n\u2026");
            break;
        }
        Short = Longer;
    }
    Box.setText(Short);
    ShowDetails(Box, Details.isEmpty() ? Bounded : Bounded + QStringLiteral("\n\n") + Details);
}
} // namespace

void SetMessageText(QMessageBox& Box, const QString& Text) {
    SetBoxText(Box, Text, QString());
}

TModalResult MessageDlg(const QString& Msg, TMsgDlgType Type, unsigned Btns) {
    QMessageBox Box;
    SetUpBox(Box, Type, Btns);
    SetMessageText(Box, Msg);
    return ShowBox(Box);
}

TModalResult MessageDlg(const QString& Summary, const QStringList& Details, TMsgDlgType Type, unsigned Btns) {
    QMessageBox Box;
    SetUpBox(Box, Type, Btns);
    QStringList Lines;
    Lines.reserve(Details.size());
    for (const QString& Entry : Details)
        Lines << CutInMiddle(Entry, MaxDetailLength);
    SetBoxText(Box, Summary, Lines.join(u'\n'));
    return ShowBox(Box);
}

void ShowMessage(const QString& Msg) {
    MessageDlg(Msg, TMsgDlgType::mtCustom, mbOK);
}

int ExecOverActiveWindow(QDialog& Dialog) {
    Dialog.setWindowModality(Qt::ApplicationModal);
    if (const QWidget* Active = QApplication::activeWindow(); Active != nullptr && Active != &Dialog) {
        // Qt keeps the transient parent as a guarded pointer: it only clears if that window goes.
        Dialog.winId();
        Dialog.windowHandle()->setTransientParent(Active->windowHandle());
    }
    return Dialog.exec();
}

TModalForm::TModalForm(QWidget* Parent) : QDialog(Parent) {}

TModalResult TModalForm::ShowModal() {
    setResult(mrNone);
    CentreOnScreen(*this);
    // A dialog of the main window to the window manager: stacked over it, without buttons that
    // would minimise or maximise it on its own.
    if (Application != nullptr && Application->MainForm() != nullptr && Application->MainForm() != this) {
        winId();
        windowHandle()->setTransientParent(Application->MainForm()->window()->windowHandle());
    }
    return exec();
}

void TModalForm::SetModalResult(QAbstractButton* Button, TModalResult Result) {
    connect(Button, &QAbstractButton::clicked, this, [this, Result] { done(Result); });
}

void TModalForm::reject() {
    done(mrCancel);
}

void TModalForm::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier && mCancelButton != nullptr) {
        mCancelButton->click();
        return;
    }
    QDialog::keyPressEvent(Event);
}

TFileDialog::TFileDialog(QWidget* Owner, const QString& Name, TKind Kind)
    : mOwner(Owner), mName(Name), mKind(Kind) {}

bool TFileDialog::Execute() {
    TExtFileDialog Dlg(mOwner, Title);
    Dlg.DefaultExt = DefaultExt;
    Dlg.setObjectName(mName);
    Dlg.setOption(QFileDialog::DontUseNativeDialog);
    Dlg.setAcceptMode(mKind == dkSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    Dlg.setFileMode(mKind == dkSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList Filters = QtNameFilters(Filter);
    if (!Filters.isEmpty()) {
        Dlg.setNameFilters(Filters);
        if (FilterIndex >= 1 && FilterIndex <= Filters.size())
            Dlg.selectNameFilter(Filters[FilterIndex - 1]);
    }
    if (!InitialDir.empty())
        Dlg.setDirectory(FromFileName(InitialDir));
    const QString Name = FromFileName(FileName);
    if (!Name.isEmpty() && !Name.contains(u'*') && !Name.contains(u'?'))
        Dlg.selectFile(Name);
    if (Dlg.exec() != QDialog::Accepted)
        return false;
    const QStringList Chosen = Dlg.Chosen.isEmpty() ? Dlg.selectedFiles() : QStringList{Dlg.Chosen};
    if (Chosen.isEmpty())
        return false;
    FileName = ToFileName(Chosen.constFirst());
    const qsizetype Index = Filters.indexOf(Dlg.selectedNameFilter());
    if (Index >= 0)
        FilterIndex = static_cast<int>(Index) + 1;
    return true;
}
