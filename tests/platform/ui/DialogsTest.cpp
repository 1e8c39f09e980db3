#include "platform/ui/Dialogs.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "tests/support/ModalHelper.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

class DialogsTest : public ::testing::Test {
protected:
    DialogsTest() { App.SetTitle(QStringLiteral("Quorvex for VB")); }
    TApplication App;
    QTemporaryDir Dir;
};

TEST_F(DialogsTest, MessageBoxesAnswerWithTheModalResultOfTheButton) {
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QString Caption;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* Box = qobject_cast<QMessageBox*>(W);
        Icon = Box->icon();
        Caption = Box->windowTitle();
        Box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(
        MessageDlg(QStringLiteral("Do you wish to save changes."), TMsgDlgType::mtInformation, mbYes | mbNo),
        mrNo);
    EXPECT_EQ(Icon, QMessageBox::Information);
    EXPECT_EQ(Caption, QStringLiteral("Information"));

    // Closing the box without a button counts as cancel.
    testsupport::AnswerNextModal([](QWidget* W) { qobject_cast<QMessageBox*>(W)->reject(); });
    EXPECT_EQ(MessageDlg(QStringLiteral("?"), TMsgDlgType::mtWarning, mbOK | mbCancel), mrCancel);

    testsupport::AnswerNextModal([&](QWidget* W) {
        Caption = W->windowTitle();
        qobject_cast<QMessageBox*>(W)->button(QMessageBox::Ok)->click();
    });
    ShowMessage(QStringLiteral("Need to specify project"));
    EXPECT_EQ(Caption, QStringLiteral("Quorvex for VB"));
}

// A box goes over the active window without becoming its child: a window that deletes itself when
// it loses the activation to the box (as a splash may) takes nothing with it.
TEST_F(DialogsTest, BoxesOutliveTheWindowTheyWereShownOver) {
    const std::function<void()> Shows[] = {
        [] { EXPECT_EQ(MessageDlg(QStringLiteral("?"), TMsgDlgType::mtWarning, mbOK), mrOk); },
        [this] { App.ShowException(Exception("Stream read error")); },
    };
    for (const auto& Show : Shows) {
        auto* Window = new QWidget;
        Window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, Window, [Window](QWindow* Focus) {
            if (Focus != nullptr && Focus != Window->windowHandle())
                Window->close();
        });
        Window->show();
        Window->activateWindow();
        for (int I = 0; I < 50 && QApplication::activeWindow() != Window; ++I)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(QApplication::activeWindow(), Window);

        // The box is answered once the window is gone.
        QPointer<QWidget> Alive = Window;
        int Ticks = 0;
        QTimer Watch;
        QObject::connect(&Watch, &QTimer::timeout, [&] {
            auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (Box != nullptr && (Alive.isNull() || ++Ticks > 400))
                Box->button(QMessageBox::Ok)->click();
        });
        Watch.start(5);
        Show();
        EXPECT_TRUE(Alive.isNull());
        delete Alive.data();
    }
}

TEST_F(DialogsTest, ModalFormsAnswerThroughTheirButtonsEscAndCloseBox) {
    TModalForm Form;
    auto* Ok = new QPushButton(QStringLiteral("Ok"), &Form);
    auto* Cancel = new QPushButton(QStringLiteral("Cancel"), &Form);
    Form.SetModalResult(Ok, mrOk);
    Form.SetModalResult(Cancel, mrAbort);
    Form.SetCancelButton(Cancel);

    testsupport::AnswerNextModal([&](QWidget*) { Ok->click(); });
    EXPECT_EQ(Form.ShowModal(), mrOk);
    testsupport::AnswerNextModal([&](QWidget* W) {
        QKeyEvent Esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(W, &Esc);
    });
    EXPECT_EQ(Form.ShowModal(), mrAbort);
    testsupport::AnswerNextModal([](QWidget* W) { W->close(); });
    EXPECT_EQ(Form.ShowModal(), mrCancel);
}

TEST_F(DialogsTest, FileDialogsTranslateFiltersAndReportTheChoice) {
    TFileDialog Dlg(nullptr, QStringLiteral("dlgExport"), TFileDialog::dkSave);
    Dlg.Filter = QStringLiteral("HTML Document (*.HTM)|*.HTM|Text File (*.TXT)|*.TXT|Projects|*.mak;*.vbp");
    Dlg.FilterIndex = 2;
    Dlg.InitialDir = ToFileName(Dir.path());
    QStringList Filters;
    QString Selected, Name;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* D = qobject_cast<QFileDialog*>(W);
        Name = D->objectName();
        Filters = D->nameFilters();
        Selected = D->selectedNameFilter();
        D->selectNameFilter(Filters[2]);
        D->selectFile(Dir.filePath(QStringLiteral("out")));
        static_cast<QDialog*>(D)->accept();
    });
    ASSERT_TRUE(Dlg.Execute());
    EXPECT_EQ(Name, QStringLiteral("dlgExport"));
    EXPECT_EQ(Filters,
              QStringList({QStringLiteral("HTML Document (*.HTM)"), QStringLiteral("Text File (*.TXT)"),
                           QStringLiteral("Projects (*.mak *.vbp)")}));
    EXPECT_EQ(Selected, Filters[1]);
    EXPECT_EQ(Dlg.FilterIndex, 3);
    EXPECT_EQ(Dlg.FileName, ToFileName(Dir.filePath(QStringLiteral("out"))));

    testsupport::AnswerNextModal([](QWidget* W) { qobject_cast<QFileDialog*>(W)->reject(); });
    EXPECT_FALSE(Dlg.Execute());
}

// Typed names get the default extension before the dialog decides: the save dialog asks about
// the file that will be written, the open dialog finds the file. A file already there keeps the
// letter case of its extension.
TEST_F(DialogsTest, DefaultExtensionIsAppliedBeforeTheOverwriteQuestionAndTheOpenLookUp) {
    auto Touch = [&](const QString& Name) {
        QFile F(Dir.filePath(Name));
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        F.write("old");
    };
    QDir(Dir.path()).mkdir(QStringLiteral("upper"));
    QDir(Dir.path()).mkdir(QStringLiteral("lower"));
    QDir(Dir.path()).mkdir(QStringLiteral("my.docs"));
    Touch(QStringLiteral("upper/audit.QXS"));
    Touch(QStringLiteral("lower/audit.qxs"));

    TFileDialog Save(nullptr, QStringLiteral("dlgSave"), TFileDialog::dkSave);
    Save.Filter = QStringLiteral("Quorvex|*.qxs");
    Save.DefaultExt = QStringLiteral("qxs");
    // Types Typed, accepts, answers the question with Answer and records it; a dialog still open
    // after the answer is cancelled.
    auto SaveAs = [&](const QString& Typed, QMessageBox::StandardButton Answer, QString* Question) {
        testsupport::AnswerNextModal([=, this](QWidget* W) {
            auto* D = qobject_cast<QFileDialog*>(W);
            if (Question != nullptr)
                testsupport::AnswerNextMessageBox(Answer, Question);
            D->selectFile(Dir.filePath(Typed));
            static_cast<QDialog*>(D)->accept();
            if (D->isVisible())
                D->reject();
        });
        const bool Accepted = Save.Execute();
        EXPECT_TRUE(testsupport::AllAnswered());
        return Accepted;
    };

    for (const QString& Existing : {QStringLiteral("upper/audit.QXS"), QStringLiteral("lower/audit.qxs")}) {
        const QString Folder = Existing.section(u'/', 0, 0);
        QString Question;
        Save.FileName.clear();
        EXPECT_FALSE(SaveAs(Folder + QStringLiteral("/audit"), QMessageBox::No, &Question))
            << Existing.toStdString();
        EXPECT_EQ(
            Question,
            QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(Existing.section(u'/', 1)));
        EXPECT_TRUE(Save.FileName.empty());
        Question.clear();
        EXPECT_TRUE(SaveAs(Folder + QStringLiteral("/audit"), QMessageBox::Yes, &Question));
        EXPECT_FALSE(Question.isEmpty());
        EXPECT_EQ(Save.FileName, ToFileName(Dir.filePath(Existing)));
    }
    // A new name gets the extension as given, without a question; a dot in the file's own name
    // keeps it as typed, one in a folder name does not count.
    EXPECT_TRUE(SaveAs(QStringLiteral("upper/fresh"), QMessageBox::NoButton, nullptr));
    EXPECT_EQ(Save.FileName, ToFileName(Dir.filePath(QStringLiteral("upper/fresh.qxs"))));
    EXPECT_TRUE(SaveAs(QStringLiteral("my.docs/audit"), QMessageBox::NoButton, nullptr));
    EXPECT_EQ(Save.FileName, ToFileName(Dir.filePath(QStringLiteral("my.docs/audit.qxs"))));
    EXPECT_TRUE(SaveAs(QStringLiteral("upper/audit.v2"), QMessageBox::NoButton, nullptr));
    EXPECT_EQ(Save.FileName, ToFileName(Dir.filePath(QStringLiteral("upper/audit.v2"))));

    TFileDialog Open(nullptr, QStringLiteral("dlgOpen"), TFileDialog::dkOpen);
    Open.Filter = Save.Filter;
    Open.DefaultExt = Save.DefaultExt;
    for (const QString& Existing : {QStringLiteral("upper/audit.QXS"), QStringLiteral("lower/audit.qxs")}) {
        testsupport::AnswerNextModal([&](QWidget* W) {
            auto* D = qobject_cast<QFileDialog*>(W);
            D->selectFile(Dir.filePath(Existing.section(u'/', 0, 0) + QStringLiteral("/audit")));
            static_cast<QDialog*>(D)->accept();
        });
        ASSERT_TRUE(Open.Execute());
        EXPECT_EQ(Open.FileName, ToFileName(Dir.filePath(Existing)));
    }
    // A name that is not there with the extension either is reported by the dialog, which stays.
    QString NotFound;
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto* D = qobject_cast<QFileDialog*>(W);
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &NotFound);
        D->selectFile(Dir.filePath(QStringLiteral("lower/missing")));
        static_cast<QDialog*>(D)->accept();
        EXPECT_TRUE(D->isVisible());
        D->reject();
    });
    EXPECT_FALSE(Open.Execute());
    EXPECT_TRUE(NotFound.contains(QStringLiteral("File not found")));
}

// Messages quote file names, which may hold hundreds of line breaks, thousands of characters
// without a blank, or markup, and reasons read from damaged files. Whatever they hold, the box
// fits its screen: what does not fit is shown in part, and whole in the details area; an
// ordinary message shows as it is, alone.
TEST_F(DialogsTest, MessageBoxesFitTheScreenWhateverTheMessageHolds) {
    QString Lines;
    for (int I = 0; I < 500; ++I)
        Lines += QStringLiteral("line %1\n").arg(I);
    const QString Unbroken = QStringLiteral("Cannot open file /") + QString(10000, u'x');
    const QString Markup =
        QStringLiteral("Cannot open file /tmp/<table width=5000 height=5000><tr><td>x</td></tr></table>.qxs");
    const QString Ordinary = QStringLiteral("Cannot open file /tmp/audit.qxs");
    struct TShown {
        QString Text, Details;
        Qt::TextFormat Format = Qt::AutoText;
    };
    auto Show = [](const std::function<void()>& Call) {
        TShown Shown;
        testsupport::AnswerNextModal([&](QWidget* W) {
            auto* Box = qobject_cast<QMessageBox*>(W);
            const QRect Screen = Box->screen()->availableGeometry();
            EXPECT_TRUE(Screen.contains(Box->frameGeometry()))
                << Box->frameGeometry().width() << " x " << Box->frameGeometry().height() << " px";
            Shown.Text = Box->text();
            Shown.Format = Box->textFormat();
            if (auto* Details = Box->findChild<QTextEdit*>(QStringLiteral("memDetails"))) {
                EXPECT_TRUE(Details->isVisible());
                Shown.Details = Details->toPlainText();
            }
            Box->button(QMessageBox::Ok)->click();
        });
        Call();
        return Shown;
    };
    for (const QString& Msg : {Lines, Unbroken, Markup, Ordinary}) {
        SCOPED_TRACE(Msg.left(40).toStdString());
        const bool Large = Msg == Lines || Msg == Unbroken;
        const TShown Plain = Show([&] { MessageDlg(Msg, TMsgDlgType::mtWarning, mbOK); });
        const TShown Error = Show([&] { App.ShowException(Exception(ToFileName(Msg))); });
        for (const TShown& Shown : {Plain, Error}) {
            EXPECT_EQ(Shown.Format, Qt::PlainText);
            EXPECT_EQ(Shown.Text == Msg, !Large);
            EXPECT_EQ(Shown.Details, Large ? Msg : QString());
        }
        if (Large) {
            EXPECT_TRUE(Plain.Text.startsWith(Msg.left(17))) << Plain.Text.toStdString();
            EXPECT_LT(Plain.Text.size(), 200);
        }
        // A summary too large for the screen comes whole before the list.
        const TShown Listed = Show([&] {
            MessageDlg(Msg, {QStringLiteral("a"), QStringLiteral("b")}, TMsgDlgType::mtWarning, mbOK);
        });
        EXPECT_EQ(Listed.Text == Msg, !Large);
        EXPECT_EQ(Listed.Details, Large ? Msg + QStringLiteral("\n\na\nb") : QStringLiteral("a\nb"));
    }
}

} // namespace
