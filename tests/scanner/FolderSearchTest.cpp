// The folder-search wizard and Scan Directories, driven as the user drives them: the folder is
// chosen in the path editor's dialog, the steps walked with the panel's buttons, and the scan
// wizard answered while it is modal. The trees searched are made on disk for each test.
#include "components/CDKDir95.h"
#include "components/CDKDirSe.h"
#include "components/CDKPathE.h"
#include "components/XDKSteps.h"
#include "platform/ui/Text.h"
#include "scanner/DocumentTree.h"
#include "scanner/Main.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "scanner/fScan.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/Named.h"
#include "tests/support/NamedPipe.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

using testsupport::Named;

using namespace scannertest;
namespace fs = std::filesystem;

namespace {

class FolderSearchTest : public TScanningTest {
protected:
    /// The test folder's path + "/" + Name.
    QString At(const QString& Name) const { return Dir.path() + u'/' + Name; }
    /// Writes Bytes to the file Name below the test folder, making its folders.
    QString Touch(const QString& Name, const std::string& Bytes = {}) {
        QDir().mkpath(QFileInfo(At(Name)).absolutePath());
        WriteFile(At(Name), Bytes);
        return At(Name);
    }

    /// Chooses Folder in the path editor's browse dialog, as the user does.
    static void BrowseTo(TfrmProjects& Search, const QString& Folder) {
        testsupport::AnswerNextModal([Folder](QWidget* W) {
            auto* Form = qobject_cast<TDirectorySelectForm*>(W);
            ASSERT_NE(Form, nullptr);
            Form->DirectoryListBox->SetDirectory(Folder);
            Form->OKButton->click();
        });
        Search.PathEditor()->BrowseButton->click();
    }
    static int Page(const TfrmProjects& Search) { return Search.Steps()->PageControl->currentIndex(); }
    static QStringList Items(const TfrmProjects& Search) {
        QStringList Out;
        for (int I = 0; I < Search.Projects()->count(); ++I)
            Out << Search.Projects()->item(I)->text();
        return Out;
    }
    static bool AllChecked(const TfrmProjects& Search) {
        for (int I = 0; I < Search.Projects()->count(); ++I)
            if (Search.Projects()->item(I)->checkState() != Qt::Checked)
                return false;
        return true;
    }
    /// The search of Folder through the wizard: chosen in the dialog, then Next.
    QStringList SearchThroughWizard(const QString& Folder) {
        TfrmProjects Search;
        QStringList Found;
        testsupport::AnswerNextModal([&](QWidget*) {
            BrowseTo(Search, Folder);
            Search.Steps()->NextButton->click();
            EXPECT_EQ(Page(Search), 1);
            EXPECT_TRUE(AllChecked(Search));
            Found = Items(Search);
            Search.Steps()->NextButton->click(); // Finish
        });
        EXPECT_EQ(Search.ShowModal(), mrOk);
        EXPECT_TRUE(testsupport::AllAnswered());
        return Found;
    }
    QStringList Under(const QString& Root, const QStringList& Names) {
        QStringList Out;
        for (const QString& Name : Names)
            Out << Root + u'/' + Name;
        return Out;
    }
};

TEST_F(FolderSearchTest, ListsProjectsThenDatabasesOfBothLayoutsBreadthFirstInAnyCaseAndSkipsHiddenFolders) {
    Touch(QStringLiteral("tree/b.vbp"));
    Touch(QStringLiteral("tree/A.MAK"));
    Touch(QStringLiteral("tree/z.mdb"));
    Touch(QStringLiteral("tree/Y.ACCDB"));
    Touch(QStringLiteral("tree/accdb"));
    Touch(QStringLiteral("tree/notes.txt"));
    Touch(QStringLiteral("tree/vbp"));
    Touch(QStringLiteral("tree/.hidden.vbp"));
    Touch(QStringLiteral("tree/sub1/c.mak"));
    Touch(QStringLiteral("tree/sub1/D.VBP"));
    Touch(QStringLiteral("tree/sub1/x.mdb/inner.vbp"));
    Touch(QStringLiteral("tree/sub1/deep/f.Vbp"));
    Touch(QStringLiteral("tree/sub2/e.Mdb"));
    Touch(QStringLiteral("tree/sub2/d.accdb"));
    Touch(QStringLiteral("tree/sub2/h.vbp"));
    Touch(QStringLiteral("tree/.git/g.vbp"));
    Touch(QStringLiteral("tree/sub2/.cache/deeper/i.mak"));

    const QString Root = At(QStringLiteral("tree"));
    EXPECT_EQ(
        SearchThroughWizard(Root),
        Under(Root, {QStringLiteral("A.MAK"), QStringLiteral("sub1/c.mak"), QStringLiteral(".hidden.vbp"),
                     QStringLiteral("b.vbp"), QStringLiteral("sub1/D.VBP"), QStringLiteral("sub2/h.vbp"),
                     QStringLiteral("sub1/deep/f.Vbp"), QStringLiteral("sub1/x.mdb/inner.vbp"),
                     QStringLiteral("Y.ACCDB"), QStringLiteral("z.mdb"), QStringLiteral("sub1/x.mdb"),
                     QStringLiteral("sub2/d.accdb"), QStringLiteral("sub2/e.Mdb")}));
}

TEST_F(FolderSearchTest, NextWaitsForAFolderFromTheDialogAndAnEmptyPathKeepsTheWizardOnStep1) {
    Main();
    Document->Name = "Audit 2000";
    Touch(QStringLiteral("tree/one.vbp"));
    const QString Root = At(QStringLiteral("tree"));

    TfrmProjects Search(&Main());
    testsupport::AnswerNextModal([&](QWidget*) {
        EXPECT_EQ(Search.windowTitle(), QStringLiteral("Scanning Wizard : Step 1 of 2"));
        EXPECT_EQ(Search.NameEdit()->text(), QStringLiteral("Audit 2000"));
        EXPECT_EQ(Search.PathEditor()->Text(), QCoreApplication::applicationDirPath() + u'/');
        // A valid folder in the editor, typed or not, is not enough; nor a dialog cancelled.
        TxdkSteps& Steps = *Search.Steps();
        EXPECT_FALSE(Steps.NextButton->isEnabled());
        Search.PathEditor()->MainPathEdit->setText(Root);
        EXPECT_FALSE(Steps.NextButton->isEnabled());
        testsupport::AnswerNextModal(
            [](QWidget* W) { qobject_cast<TDirectorySelectForm*>(W)->CancelButton->click(); });
        Search.PathEditor()->BrowseButton->click();
        EXPECT_FALSE(Steps.NextButton->isEnabled());
        BrowseTo(Search, Root);
        EXPECT_TRUE(Steps.NextButton->isEnabled());

        Search.PathEditor()->SetText(QString());
        QString Message;
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
        Steps.NextButton->click();
        EXPECT_EQ(Message, QStringLiteral("Please select a path to scan."));
        EXPECT_EQ(Page(Search), 0);
        EXPECT_EQ(Search.windowTitle(), QStringLiteral("Scanning Wizard : Step 1 of 2"));
        EXPECT_EQ(Search.Projects()->count(), 0);

        // A trailing separator is taken off before the search; the items read folder/name.
        Search.PathEditor()->SetText(Root + u'/');
        Steps.NextButton->click();
        EXPECT_EQ(Search.PathEditor()->Text(), Root);
        EXPECT_EQ(Items(Search), QStringList{Root + QStringLiteral("/one.vbp")});
        EXPECT_EQ(Search.windowTitle(), QStringLiteral("Scanning Wizard : Step 2 of 2"));

        // Back and Next again: the list is searched anew and every item checked again.
        Search.Projects()->item(0)->setCheckState(Qt::Unchecked);
        Steps.BackButton->click();
        EXPECT_EQ(Page(Search), 0);
        EXPECT_FALSE(Steps.BackButton->isVisible());
        Touch(QStringLiteral("tree/two.MAK"));
        Steps.NextButton->click();
        EXPECT_EQ(Items(Search),
                  (QStringList{Root + QStringLiteral("/two.MAK"), Root + QStringLiteral("/one.vbp")}));
        EXPECT_TRUE(AllChecked(Search));

        // Finish with nothing checked is still OK.
        for (int I = 0; I < Search.Projects()->count(); ++I)
            Search.Projects()->item(I)->setCheckState(Qt::Unchecked);
        Steps.NextButton->click();
    });
    EXPECT_EQ(Search.ShowModal(), mrOk);
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_TRUE(Search.CheckedProjects().isEmpty());

    // Cancel, on either step, answers Cancel.
    testsupport::AnswerNextModal([&](QWidget*) {
        BrowseTo(Search, Root);
        Search.Steps()->NextButton->click();
        Search.Steps()->CancelButton->click();
    });
    EXPECT_EQ(Search.ShowModal(), mrCancel);
    EXPECT_EQ(Page(Search), 1);
    testsupport::AnswerNextModal([&](QWidget*) {
        EXPECT_EQ(Page(Search), 0) << "each showing starts on step 1";
        Search.Steps()->CancelButton->click();
    });
    EXPECT_EQ(Search.ShowModal(), mrCancel);
    EXPECT_TRUE(testsupport::AllAnswered());
}

/// Runs the scan wizard's showings of a folder-search batch from a queue of actions, one per
/// showing that waits for the user (a showing that closes by itself takes none), and accepts
/// every hit prompt.
class WizardAnswers {
public:
    WizardAnswers() {
        QObject::connect(&mTimer, &QTimer::timeout, [this] { Poll(); });
        mTimer.start(2);
    }
    ~WizardAnswers() { EXPECT_TRUE(mActions.empty()) << mActions.size() << " showings did not wait"; }
    void Add(std::function<void(TfrmScanWizard&)> Action) { mActions.push_back(std::move(Action)); }
    QStringList Files;
    int Prompts = 0;

private:
    void Poll() {
        if (QApplication::activeModalWidget() == frmScanHit && frmScanHit->isVisible()) {
            ++Prompts;
            Named<QPushButton>(*frmScanHit, "btnNext")->click();
            return;
        }
        TfrmScanWizard& W = *frmScanWizard;
        if (mBusy || QApplication::activeModalWidget() != &W || !W.isVisible() ||
            Named<QStackedWidget>(W, "nteScan")->currentIndex() != 0)
            return;
        Files << Named<TCDKPathEditor>(W, "sbSelect")->Text();
        if (mActions.empty()) {
            ADD_FAILURE() << "the wizard waited for "
                          << Named<TCDKPathEditor>(W, "sbSelect")->Text().toStdString();
            Named<QPushButton>(W, "btnCancel")->click();
            return;
        }
        // Run after this poll returns: the poll timer does not fire again while its slot runs, and
        // the scan started here shows hit prompts that the poll answers.
        mBusy = true;
        QTimer::singleShot(0, &mTimer, [this, &W, Action = std::move(mActions.front())] {
            Action(W);
            mBusy = false;
        });
        mActions.pop_front();
    }
    QTimer mTimer;
    std::deque<std::function<void(TfrmScanWizard&)>> mActions;
    bool mBusy = false;
};

TEST_F(FolderSearchTest, CaptionsLineUpWithTheirBoxesAndLongPathsAreCutInTheMiddle) {
    Main();
    const QString Deep = Touch(QStringLiteral("tree/") + QString(60, u'a') + u'/' + QString(60, u'b') +
                               QStringLiteral("/Payroll.vbp"));
    TfrmProjects Search(&Main());
    testsupport::AnswerNextModal([&](QWidget*) {
        const std::pair<const char*, QWidget*> Rows[] = {{"Label1", Search.NameEdit()},
                                                         {"Label2", Search.PathEditor()}};
        for (const auto& [Name, Box] : Rows) {
            const auto* Caption = Search.findChild<QLabel*>(QString::fromLatin1(Name));
            ASSERT_NE(Caption, nullptr);
            EXPECT_TRUE(Caption->alignment() & Qt::AlignVCenter) << Name;
            EXPECT_EQ(Caption->mapToGlobal(Caption->rect().center()).y(),
                      Box->mapToGlobal(Box->rect().center()).y())
                << Name;
        }
        BrowseTo(Search, At(QStringLiteral("tree")));
        Search.Steps()->NextButton->click();
        QListWidget* List = Search.Projects();
        ASSERT_EQ(List->count(), 1);
        EXPECT_EQ(List->item(0)->toolTip(), Deep);
        EXPECT_EQ(List->textElideMode(), Qt::ElideMiddle);
        EXPECT_FALSE(List->horizontalScrollBar()->isVisible());
        EXPECT_LE(List->visualItemRect(List->item(0)).right(), List->viewport()->width() - 1);
        Search.Steps()->CancelButton->click();
    });
    EXPECT_EQ(Search.ShowModal(), mrCancel);
}

TEST_F(FolderSearchTest, ScanDirectoriesScansEveryCheckedFileInListOrder) {
    // Three projects with one hit each; the VB3 one upper-case, as such files are named.
    Touch(QStringLiteral("src/SPGNEWS.MAK"), "MAIN.FRM\r\n");
    Touch(QStringLiteral("src/MAIN.FRM"), "Sub Form_Load ()\r\n    d = Date\r\nEnd Sub\r\n");
    Touch(QStringLiteral("src/ledger/Ledger.vbp"), "Type=Exe\r\nModule=modA; modA.bas\r\n");
    Touch(QStringLiteral("src/ledger/modA.bas"), "Public Sub A()\r\n    x = Now\r\nEnd Sub\r\n");
    Touch(QStringLiteral("src/pay/Pay.vbp"), "Type=Exe\r\nModule=modB; modB.bas\r\n");
    Touch(QStringLiteral("src/pay/modB.bas"), "Public Sub B()\r\n    y = Year(z)\r\nEnd Sub\r\n");
    const QString Root = At(QStringLiteral("src"));
    Main();

    // Automatic: no window waits; each run closes itself.
    bool Forced = false;
    QTimer Guard;
    Guard.setSingleShot(true);
    QObject::connect(&Guard, &QTimer::timeout, [&] {
        Forced = true;
        if (QWidget* W = QApplication::activeModalWidget())
            W->close();
    });
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto& Search = *qobject_cast<TfrmProjects*>(W);
        Search.NameEdit()->setText(QStringLiteral("Batch"));
        BrowseTo(Search, Root);
        Search.Steps()->NextButton->click();
        Search.SetScanMode(smAutomatic);
        Guard.start(10000);
        Search.Steps()->NextButton->click();
    });
    Main().sbScanDirectoryClick();
    Guard.stop();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_FALSE(Forced) << "a window waited for the user";
    EXPECT_EQ(frmProjects, nullptr) << "the search window is freed";
    EXPECT_EQ(Document->Name, "Batch");
    QTreeWidgetItem* Root0 = Named<QTreeWidget>(Main(), "tvwFiles")->topLevelItem(0);
    EXPECT_EQ(Root0->text(0), QStringLiteral("Batch"));
    EXPECT_TRUE(Modified);
    ASSERT_EQ(Document->ProjectCount(), 3);
    ASSERT_EQ(Root0->childCount(), 3);
    const std::string R = ToFileName(Root);
    const std::pair<std::string, std::string> Scanned[] = {
        {R + "/", "SPGNEWS.MAK"}, {R + "/ledger/", "Ledger.vbp"}, {R + "/pay/", "Pay.vbp"}};
    for (int I = 0; I < 3; ++I) {
        const TProjectInfo& Project = *Document->GetProject(I);
        EXPECT_EQ(Project.Path, Scanned[I].first);
        EXPECT_EQ(Project.Name, Scanned[I].second);
        ASSERT_EQ(Project.ModuleCount(), 1);
        EXPECT_EQ(Project.GetModule(0)->HitCount(), 1) << Project.Name;
        EXPECT_EQ(TDocumentTree::Data(Root0->child(I)), &Project);
    }

    // Manual, one item unchecked: the first scan is cancelled and dropped, the batch goes on.
    Modified = false;
    Main().FileNew();
    {
        WizardAnswers Answers;
        Answers.Add([](TfrmScanWizard& W) {
            EXPECT_EQ(W.ScanMode(), smManual);
            Named<QPushButton>(W, "btnCancel")->click();
        });
        Answers.Add([](TfrmScanWizard& W) { Named<QPushButton>(W, "btnNext")->click(); });
        testsupport::AnswerNextModal([&](QWidget* W) {
            auto& Search = *qobject_cast<TfrmProjects*>(W);
            BrowseTo(Search, Root);
            Search.Steps()->NextButton->click();
            Search.Projects()->item(1)->setCheckState(Qt::Unchecked);
            Search.SetScanMode(smManual);
            Search.Steps()->NextButton->click();
        });
        Main().sbScanDirectoryClick();
        EXPECT_TRUE(testsupport::AllAnswered());
        EXPECT_EQ(Answers.Files, (QStringList{Root + QStringLiteral("/SPGNEWS.MAK"),
                                              Root + QStringLiteral("/pay/Pay.vbp")}));
        EXPECT_EQ(Answers.Prompts, 1) << "Manual asks about the hit";
    }
    ASSERT_EQ(Document->ProjectCount(), 1);
    EXPECT_EQ(Document->GetProject(0)->Name, "Pay.vbp");
    EXPECT_EQ(Named<QTreeWidget>(Main(), "tvwFiles")->topLevelItem(0)->childCount(), 1);

    // Cancel in the search window scans nothing and leaves the document as it was.
    Modified = false;
    testsupport::AnswerNextModal(
        [](QWidget* W) { qobject_cast<TfrmProjects*>(W)->Steps()->CancelButton->click(); });
    Main().sbScanDirectoryClick();
    EXPECT_FALSE(Modified);
    EXPECT_EQ(Document->ProjectCount(), 1);
}

TEST_F(FolderSearchTest, ScanDirectoriesScansTheDatabasesItFindsToo) {
    Touch(QStringLiteral("office/Ledger.vbp"), "Type=Exe\r\nModule=modA; modA.bas\r\n");
    Touch(QStringLiteral("office/modA.bas"), "Public Sub A()\r\n    x = Now\r\nEnd Sub\r\n");
    namespace fs = std::filesystem;
    const fs::path Data(QUORVEX_TEST_DATA);
    const fs::path Db(ToFileName(At(QStringLiteral("office/db"))));
    fs::create_directories(Db);
    fs::copy(Data / "nwind.mdb", Db / "nwind.mdb");
    fs::copy(Data / "nwind.mdb.src", Db / "nwind.mdb.src", fs::copy_options::recursive);
    Main();
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto& Search = *qobject_cast<TfrmProjects*>(W);
        BrowseTo(Search, At(QStringLiteral("office")));
        Search.Steps()->NextButton->click();
        EXPECT_EQ(Items(Search), (QStringList{At(QStringLiteral("office/Ledger.vbp")),
                                              At(QStringLiteral("office/db/nwind.mdb"))}));
        Search.SetScanMode(smAutomatic);
        Search.Steps()->NextButton->click();
    });
    QStringList Messages;
    {
        scannertest::TMessageBoxAnswers Answers(Messages);
        Main().sbScanDirectoryClick();
    }
    EXPECT_TRUE(testsupport::AllAnswered());
    // Its export holds 3 of its forms: the others were read without their property values.
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains(QStringLiteral("nwind.mdb.src"))) << Messages[0].toStdString();
    ASSERT_EQ(Document->ProjectCount(), 1);
    ASSERT_EQ(Document->MDBCount(), 1);
    const TMDBInfo& Database = *Document->GetMDB(0);
    EXPECT_EQ(Database.Name, "nwind.mdb");
    EXPECT_EQ(Database.Forms().Count(), 21);
    Longint Hits = 0;
    for (Longint I = 0; I < Database.Modules().Count(); ++I)
        Hits += Database.Modules().Items(I)->HitCount();
    EXPECT_GT(Hits, 0) << "the code written beside the database is scanned";
    EXPECT_EQ(Named<QTreeWidget>(Main(), "tvwFiles")->topLevelItem(0)->childCount(), 2);
}

// An automatic batch over real-shaped folders runs through without a click: what cannot be read
// (modules, a database object, a project file that is a pipe or lists no modules, a folder named
// like a database) costs only itself, and one message after the last file names each with its
// reason.
TEST_F(FolderSearchTest, AnAutomaticBatchRunsUnattendedAndNamesEverySkippedPartOnceAtItsEnd) {
    Touch(QStringLiteral("batch/good/App.vbp"), "\xEF\xBB\xBF"
                                                "Module=A; A_PILOT.BAS\r\nModule=L; Lost.bas\r\n"
                                                "Error1=WARNING|D:\\src\\Main.frm|cannot load\r\n");
    Touch(QStringLiteral("batch/good/A_PILOT.BAS"), "x = Now\r\n");
    Touch(QStringLiteral("batch/wide/U.vbp"),
          std::string("\xFE\xFF\0M\0o\0d\0u\0l\0e\0=\0U\0;\0 \0U\0.\0b\0a\0s\0\r\0\n", 36));
    Touch(QStringLiteral("batch/wide/U.bas"), std::string("\xFF\xFEy\0=\0D\0a\0t\0e\0", 14));
    Touch(QStringLiteral("batch/empty/Empty.vbp"));
    QDir().mkpath(At(QStringLiteral("batch/SecMan.mdb")));
    const fs::path Db(ToFileName(At(QStringLiteral("batch/db"))));
    fs::create_directories(Db);
    fs::copy(fs::path(QUORVEX_TEST_DATA) / "nwind.mdb", Db / "nwind.mdb");
    fs::copy(fs::path(QUORVEX_TEST_DATA) / "nwind.mdb.src", Db / "nwind.mdb.src",
             fs::copy_options::recursive);
    const QString Invoice = FromFileName((Db / "nwind.mdb.src/reports/Invoice.bas").string());
    WriteFile(Invoice, ReadFile(Invoice).substr(0, 300));
    QDir().mkpath(At(QStringLiteral("batch/pipe")));
    testsupport::TNamedPipe Pipe(ToFileName(At(QStringLiteral("batch/pipe/Pipe.vbp"))));
    ASSERT_TRUE(Pipe.Made());
    Main();

    // Every message box is recorded and answered; none may show while a scan wizard is up.
    QStringList Boxes;
    bool WizardUp = false;
    QTimer Poll;
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Boxes << BoxText(*Box);
            WizardUp = WizardUp || frmScanWizard->isVisible();
            Box->button(QMessageBox::Ok)->click();
        }
    });
    Poll.start(5);
    testsupport::AnswerNextModal([&](QWidget* W) {
        auto& Search = *qobject_cast<TfrmProjects*>(W);
        BrowseTo(Search, At(QStringLiteral("batch")));
        Search.Steps()->NextButton->click();
        EXPECT_EQ(Search.Projects()->count(), 6);
        Search.SetScanMode(smAutomatic);
        Search.Steps()->NextButton->click();
    });
    Main().sbScanDirectoryClick();
    Poll.stop();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_FALSE(Pipe.Released());
    EXPECT_FALSE(WizardUp);

    ASSERT_EQ(Document->ProjectCount(), 2);
    const TProjectInfo& App = *Document->GetProject(0);
    ASSERT_EQ(App.ModuleCount(), 1);
    EXPECT_EQ(App.GetModule(0)->Name, "A_PILOT.BAS");
    EXPECT_EQ(App.GetModule(0)->HitCount(), 1);
    const TProjectInfo& Wide = *Document->GetProject(1);
    ASSERT_EQ(Wide.ModuleCount(), 1);
    EXPECT_EQ(Wide.GetModule(0)->HitCount(), 1);
    ASSERT_EQ(Document->MDBCount(), 1);
    // Its export holds 3 forms and 2 reports; the file gives the others, without their property
    // values, which the batch says after the skipped parts.
    EXPECT_EQ(Document->GetMDB(0)->Reports().Count(), 12);
    EXPECT_EQ(Document->GetMDB(0)->Forms().Count(), 21);

    ASSERT_EQ(Boxes.size(), 2) << Boxes.join(u'|').toStdString();
    EXPECT_TRUE(Boxes[1].startsWith(QStringLiteral("The forms and reports of nwind.mdb were read from the "
                                                   "database file")))
        << Boxes[1].toStdString();
    EXPECT_TRUE(Boxes[1].endsWith(u'\n' + At(QStringLiteral("batch/db/nwind.mdb.src/"))))
        << Boxes[1].toStdString();
    const QStringList Lines = Boxes[0].split(u'\n');
    const QString Good = At(QStringLiteral("batch/good/App.vbp, module "));
    const QString Nwind = At(QStringLiteral("batch/db/nwind.mdb, "));
    ASSERT_EQ(Lines.size(), 7) << Boxes[0].toStdString();
    EXPECT_EQ(Lines[0],
              QStringLiteral("6 parts in 5 files could not be read and are left out of the document."));
    // A project file that lists no modules is named, not merged as an empty project.
    EXPECT_EQ(Lines[1],
              At(QStringLiteral("batch/empty/Empty.vbp: '")) +
                  At(QStringLiteral("batch/empty/Empty.vbp' lists no modules (no form, module, class or "
                                    "user control file): there is nothing in it to scan.")));
    EXPECT_TRUE(Lines[2].startsWith(Good + QStringLiteral("LOST.BAS: Cannot open file ")))
        << Lines[2].toStdString();
    EXPECT_TRUE(Lines[3].startsWith(Good + QStringLiteral("WARNING|D:\\SRC\\MAIN.FRM|CANNOT LOAD: ")));
    EXPECT_EQ(Lines[4], At(QStringLiteral("batch/pipe/Pipe.vbp: Cannot open file ")) +
                            At(QStringLiteral("batch/pipe/Pipe.vbp: it is a named pipe, not a file")));
    EXPECT_EQ(Lines[5], At(QStringLiteral("batch/SecMan.mdb: Cannot open '")) +
                            At(QStringLiteral("batch/SecMan.mdb': it is a folder, not a database file.")));
    // The report's code is a file of its own and is read; its damaged design is not.
    EXPECT_TRUE(Lines[6].startsWith(Nwind + QStringLiteral("report 'Invoice': "))) << Lines[6].toStdString();
    EXPECT_EQ(Document->GetMDB(0)->Modules().Count(), 16);
}

} // namespace
