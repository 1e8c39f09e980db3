#pragma once
// Message boxes, modal forms and the common file dialogs.

#include "platform/rtl/Classes.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <string>

class QAbstractButton;
class QMessageBox;
class QScreen;
class QWidget;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// Buttons of a message box; combine them with |.
enum TMsgDlgBtn : unsigned {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbIgnore = 64,
};

/// A modal message box with the type's icon and caption ("Warning", "Error", "Information",
/// "Confirm"; the application title for mtCustom). Returns the modal result of the button
/// pressed, or mrCancel when the box is closed otherwise.
/// Msg is shown as SetMessageText shows it.
TModalResult MessageDlg(const QString& Msg, TMsgDlgType Type, unsigned Buttons);
/// A message box as above for a list of any length: Summary as its text, and Details, one entry
/// a line, in a read-only area (object name "memDetails") shown open under it, which scrolls
/// within the box's bounded size and whose text can be selected and copied. An entry longer than
/// MaxDetailLength characters is cut in the middle. A Summary too large for the screen is shown as
/// SetMessageText shows a text, and whole before the list.
TModalResult MessageDlg(const QString& Summary, const QStringList& Details, TMsgDlgType Type,
                        unsigned Buttons);
inline constexpr qsizetype MaxDetailLength = 400;
/// Text itself when it has at most MaxLength characters; else its start and its end around "…",
/// MaxLength characters in all.
QString CutInMiddle(const QString& Text, qsizetype MaxLength);
/// Gives Box the message Text as plain text. A text the box could not show whole within the
/// screen (very many lines, or a word wider than the screen, as a file name may be) shows as its
/// first lines, with over-wide words cut in the middle, and whole in the details area under it
/// (as the list of the MessageDlg above), so that the box always fits its screen.
void SetMessageText(QMessageBox& Box, const QString& Text);
/// A message with an OK button under the application's title.
void ShowMessage(const QString& Msg);
/// Shows Dialog modally over the active window and returns its result. The dialog is placed and
/// stacked over that window without becoming its child, so a window that goes away meanwhile
/// (the splash, which closes when it loses activation) cannot take the dialog with it.
int ExecOverActiveWindow(QDialog& Dialog);

/// The window flags of a dialog without border icons. An X11 window manager leaves the minimise
/// and maximise buttons off only when the window names the actions it allows, and the close box
/// is the one such action a Qt window can name: such dialogs have a title bar and a close box.
inline constexpr Qt::WindowFlags NoBorderIcons =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

/// A dialog shown modally that answers with a modal result (mrOk, mrCancel, mrAbort...).
/// Closing it by its close box answers mrCancel; Esc presses the cancel button when one is set.
class TModalForm : public QDialog {
    Q_OBJECT
public:
    explicit TModalForm(QWidget* Parent = nullptr);

    /// Shows the form modally, centred on the main window's screen and kept over the main
    /// window, and returns its modal result.
    TModalResult ShowModal();
    /// Button that closes the form with Result when clicked.
    void SetModalResult(QAbstractButton* Button, TModalResult Result);
    /// Button that Esc presses.
    void SetCancelButton(QAbstractButton* Button) { mCancelButton = Button; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    QAbstractButton* mCancelButton = nullptr;
};

/// The screen that holds the application's main window; the primary screen without one.
QScreen* MainScreen();
/// Moves the window Window so that its client area is centred on the available area of the main
/// window's screen, and its frame, once the window manager has given it one, lies on that area.
void CentreOnScreen(QWidget& Window);
/// Moves the window Window as little as needed to lie wholly, frame included, on the available
/// area of the main window's screen; a window larger than that area keeps its top left on it.
void KeepOnScreen(QWidget& Window);

/// Converts a class-library filter list "Description|*.a;*.b|..." into Qt name filters
/// ("Description (*.a *.b)"); a description that already ends with its patterns in parentheses is
/// kept as it is, and "*.*" becomes "*", which matches every file name on Linux.
QStringList QtNameFilters(const QString& Filter);

/// The common open and save dialogs. Filter uses the pairs "Description|patterns|...", with
/// patterns separated by ';'; FilterIndex counts from 1. A FileName holding a wildcard is only a
/// filter and leaves the name box empty. DefaultExt is added to a chosen name whose own part has
/// no dot before the save dialog asks whether to replace an existing file and before the open
/// dialog looks for the file; a file already there with that extension in another letter case is
/// the one chosen.
class TFileDialog final {
public:
    enum TKind { dkOpen, dkSave };
    TFileDialog(QWidget* Owner, const QString& Name, TKind Kind);

    /// Shows the dialog modally; True with FileName and FilterIndex set when the user chose a
    /// file, False on cancel.
    bool Execute();

    std::string FileName;
    std::string InitialDir;
    QString Filter;
    int FilterIndex = 1;
    QString Title;
    /// Extension without its dot ("qxs"); empty for none.
    QString DefaultExt;

private:
    QWidget* mOwner;
    QString mName;
    TKind mKind;
};
