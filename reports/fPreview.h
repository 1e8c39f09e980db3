#pragma once
// The preview window that both programs show reports in: the engine's preview control, a
// toolbar for zoom, paging, printer setup, printing, saving and loading report files (*.QXV),
// and a status line. Every page, zoom and print operation goes to the preview control or to
// the printer object attached to it. One second after it is shown, the window loads the report
// file named first on the program's command line.

#include "platform/report/QRPrinter.h"
#include "platform/rtl/Classes.h"
#include "platform/ui/Dialogs.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

class QAbstractButton;
class QLabel;
class TQRPreview;

namespace Ui {
class TfrmPreview;
}

/// Asks whether to replace FileName when it exists: for a name that got its extension after the
/// save dialog had closed, so that the dialog's own question was about another name. True when
/// the file may be written.
bool ConfirmReplace(const std::string& FileName);

class TfrmPreview final : public QWidget {
    Q_OBJECT
public:
    /// Creates the window, maximised and shown. Arguments are the program's command-line
    /// arguments after its name.
    explicit TfrmPreview(const QStringList& Arguments = QCoreApplication::arguments().mid(1));
    ~TfrmPreview() override;

    /// What a report's preview event does: a new window showing the printer object Sender,
    /// with "Page 1 of n" once its pages are complete. A picture of the pages that turns out not
    /// to decode when drawn is named in a message.
    static std::unique_ptr<TfrmPreview>
    Open(TObject* Sender, const QStringList& Arguments = QCoreApplication::arguments().mid(1));

    TQRPreview* QRPreview() const;
    /// The printer object attached to the preview control, or nullptr.
    TQRPrinter* Printer() const;
    /// The status line's text.
    QString StatusText() const;

    /// Shows "Page n of m" in the status line.
    void UpdateStatus();
    /// Loads a report file into the attached printer object and shows its first page and
    /// "Page 1 of n"; a file that does not exist gives the message "File does not exist" (a
    /// folder of that name "<name> is a folder, not a report file") and keeps the pages. A file
    /// that cannot be read raises, keeping the pages, with the status line cleared.
    void LoadReportFile(const std::string& FileName);

    // Handlers of the toolbar and the timer.
    void ZoomToFitClick();
    void ZoomTo100Click();
    void ZoomToWidthClick();
    void FirstPageClick();
    void PrevPageClick();
    void NextPageClick();
    void LastPageClick();
    void PrintSetupClick();
    void PrintClick();
    void sbSaveClick();
    void sbOpenClick();
    void ExitClick();
    void tmrViewTimer();

    TFileDialog dlgOpen;
    TFileDialog dlgSave;
    /// Fires once, a second after each showing.
    QTimer tmrView;

protected:
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    void ConnectCommands();

    Ui::TfrmPreview* const ui;
    QStringList mArguments;
};
