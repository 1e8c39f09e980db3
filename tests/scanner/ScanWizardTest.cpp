// The scan wizard, the hit prompt and the main window's scan commands, driven as the user drives
// them: the wizard and the prompts are answered while they are modal.
#include "components/CDKPathE.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "scanner/DocumentTree.h"
#include "scanner/Main.h"
#include "scanner/ScanAnimation.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/Named.h"
#include "tests/support/NamedPipe.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

using testsupport::Named;

using namespace scannertest;

namespace {

const QString RepositoryRoot = QStringLiteral(QUORVEX_TEST_DATA "/../..");
// Hits of the example project with the program's word list.
constexpr Longint ExampleHits = 69;

/// Answers the next error box, recording its text, and runs Then once the box has closed.
void AnswerErrorThen(QString* Text, std::function<void()> Then) {
    testsupport::AnswerNextModal([=](QWidget* W) {
        auto* Box = qobject_cast<QMessageBox*>(W);
        ASSERT_NE(Box, nullptr);
        *Text = Box->text();
        QTimer::singleShot(50, Then);
        Box->button(QMessageBox::Ok)->click();
    });
}

/// Answers every hit prompt the scan shows, in order, from a queue of actions; records what each
/// prompt showed when it appeared.
class PromptAnswers {
public:
    struct TShown {
        QString Word, Line, Selected;
        TCompliant Compliant;
        QString ErrorType;
        bool Exclude;
        QString Scanning; ///< the wizard's file name line behind the prompt
    };

    PromptAnswers() {
        QObject::connect(&mTimer, &QTimer::timeout, [this] { Poll(); });
        mTimer.start(2);
    }
    ~PromptAnswers() { EXPECT_TRUE(mActions.empty()) << mActions.size() << " prompts did not appear"; }
    void Add(std::function<void(TfrmScanHit&)> Action) { mActions.push_back(std::move(Action)); }
    void Accept(TCompliant Rating, int ErrorType) {
        Add([=](TfrmScanHit& P) {
            (Rating == ctNo      ? Named<QRadioButton>(P, "rdoNo")
             : Rating == ctMayBe ? Named<QRadioButton>(P, "rdoMaybe")
                                 : Named<QRadioButton>(P, "rdoYes"))
                ->setChecked(true);
            Named<QComboBox>(P, "cboErrorType")->setCurrentIndex(ErrorType);
            Named<QPushButton>(P, "btnNext")->click();
        });
    }
    void Reject(bool Exclude) {
        Add([=](TfrmScanHit& P) {
            Named<QCheckBox>(P, "chkExclude")->setChecked(Exclude);
            Named<QPushButton>(P, "btnReject")->click();
        });
    }
    std::vector<TShown> Shown;

private:
    void Poll() {
        TfrmScanHit& P = *frmScanHit;
        if (QApplication::activeModalWidget() != &P || !P.isVisible())
            return;
        Shown.push_back({Named<QLabel>(P, "lblWord")->text(), Named<QTextEdit>(P, "lblLine")->toPlainText(),
                         Named<QTextEdit>(P, "lblLine")->textCursor().selectedText(), P.Compliant(),
                         Named<QComboBox>(P, "cboErrorType")->currentText(), P.Exclude(),
                         Named<QLabel>(*frmScanWizard, "lblFilename")->text()});
        if (mActions.empty()) {
            ADD_FAILURE() << "unexpected hit prompt for "
                          << Named<QLabel>(P, "lblWord")->text().toStdString();
            Named<QPushButton>(P, "btnCancel")->click();
            return;
        }
        auto Action = std::move(mActions.front());
        mActions.pop_front();
        Action(P);
    }
    QTimer mTimer;
    std::deque<std::function<void(TfrmScanHit&)>> mActions;
};

class ScanWizardTest : public TScanningTest {
protected:
    /// Writes Files (name relative to Folder → bytes) under the test folder; returns Folder's path.
    QString Write(const QString& Folder, const std::vector<std::pair<QString, std::string>>& Files) {
        const QString Base = Dir.filePath(Folder);
        for (const auto& [Name, Bytes] : Files) {
            QDir().mkpath(QFileInfo(Base + u'/' + Name).absolutePath());
            WriteFile(Base + u'/' + Name, Bytes);
        }
        return Base;
    }
    /// A project "App.vbp" in Folder: a form with two date lines, a code module with one, a class
    /// without, and a custom control.
    QString SampleProject(const QString& Folder = QStringLiteral("app")) {
        return Write(Folder,
                     {{QStringLiteral("App.vbp"),
                       "Type=Exe\r\nForm=frmMain.frm\r\nModule=modDates; modDates.bas\r\n"
                       "Class=clsItem; clsItem.cls\r\n"
                       "Object={86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCT2.OCX\r\n"},
                      {QStringLiteral("frmMain.frm"),
                       "VERSION 5.00\r\nBegin VB.Form frmMain\r\n   Caption = \"Date\"\r\nEnd\r\n"
                       "Private Sub Form_Load()\r\n    txtDate.Text = Now\r\n    d = Date\r\nEnd Sub\r\n"},
                      {QStringLiteral("modDates.bas"),
                       "Attribute VB_Name = \"modDates\"\r\nPublic Function Y(d)\r\n    Y = Year(d)\r\n"
                       "End Function\r\n"},
                      {QStringLiteral("clsItem.cls"), "Option Explicit\r\nPrivate mName As String\r\n"}}) +
               QStringLiteral("/App.vbp");
    }

    /// Runs Scan > Project on File as the user does: the wizard opens, the file is picked with
    /// the browse button, the scan mode chosen and Next pressed.
    void ScanProjectFile(const QString& File, TScanMode ScanMode, std::function<void()> OnScanPage = {}) {
        testsupport::AnswerNextModal([=](QWidget*) {
            TfrmScanWizard& W = *frmScanWizard;
            Named<TCDKPathEditor>(W, "sbSelect")->SetText(File);
            Named<TCDKPathEditor>(W, "sbSelect")->DoDialogDrop();
            W.SetScanMode(ScanMode);
            if (OnScanPage)
                OnScanPage();
            Named<QPushButton>(W, "btnNext")->click();
        });
        Main().sbScanClick();
        EXPECT_TRUE(testsupport::AllAnswered());
    }

    QTreeWidgetItem* Root() { return Named<QTreeWidget>(Main(), "tvwFiles")->topLevelItem(0); }
    static QStringList Captions(QTreeWidgetItem* Node) {
        QStringList Out;
        for (int I = 0; Node != nullptr && I < Node->childCount(); ++I)
            Out << Node->child(I)->text(0);
        return Out;
    }
    static Longint HitCount(const TProjectInfo& Project) {
        Longint N = 0;
        for (Longint I = 0; I < Project.ModuleCount(); ++I)
            N += Project.GetModule(I)->HitCount();
        return N;
    }
};

TEST_F(ScanWizardTest, AnAutomaticScanMergesTheProjectAndAScanOfTheSameFileReplacesIt) {
    const QString File = SampleProject();
    ScanProjectFile(File, smAutomatic);

    ASSERT_EQ(Document->ProjectCount(), 1);
    TProjectInfo* First = Document->GetProject(0);
    EXPECT_EQ(First->Name, "App.vbp");
    EXPECT_EQ(First->Path, ToFileName(Dir.filePath(QStringLiteral("app"))) + "/");
    // The form's code: "Date" in txtDate, "Now", "Date" (its layout block is no code); the
    // module: "Date" in modDates, "Year".
    EXPECT_EQ(HitCount(*First), 5);
    // Modules in the sorted order of the file list, then the custom control.
    EXPECT_EQ(Captions(Root()), QStringList{QStringLiteral("App.vbp")});
    QTreeWidgetItem* Node = Root()->child(0);
    EXPECT_EQ(Captions(Node), (QStringList{QStringLiteral("CLSITEM.CLS"), QStringLiteral("FRMMAIN.FRM"),
                                           QStringLiteral("MODDATES.BAS"), QStringLiteral("MSCOMCT2.OCX")}));
    EXPECT_EQ(TDocumentTree::Data(Node), First);
    EXPECT_EQ(TDocumentTree::Image(Node), imProject);
    const int Images[] = {imClass, imFormHits, imCodeModuleHits, imVBX};
    const int States[] = {StateImage(ctYes), StateImage(ctNo), StateImage(ctNo), NoState};
    for (int I = 0; I < 4; ++I) {
        EXPECT_EQ(TDocumentTree::Image(Node->child(I)), Images[I]) << I;
        EXPECT_EQ(TDocumentTree::State(Node->child(I)), States[I]) << I;
    }
    EXPECT_TRUE(Root()->isExpanded());
    EXPECT_FALSE(Node->isExpanded());
    // The document's node is current and its page shows what the document now holds.
    EXPECT_EQ(Named<QTreeWidget>(Main(), "tvwFiles")->currentItem(), Root());
    EXPECT_EQ(Named<QStackedWidget>(Main(), "nteResults")->currentWidget()->objectName(),
              QStringLiteral("Quorvex"));
    EXPECT_EQ(Named<QLabel>(Main(), "lblQvxModCount")->text(), QStringLiteral("1"));
    EXPECT_TRUE(Modified);
    EXPECT_EQ(ScanProject, nullptr);
    EXPECT_EQ(ScanMDB, nullptr);

    // Again: one node and one document entry, bound to the new scan.
    ScanProjectFile(File, smAutomatic);
    ASSERT_EQ(Document->ProjectCount(), 1);
    EXPECT_NE(Document->GetProject(0), First);
    ASSERT_EQ(Root()->childCount(), 1);
    EXPECT_EQ(TDocumentTree::Data(Root()->child(0)), Document->GetProject(0));
    EXPECT_EQ(Root()->child(0)->childCount(), 4);

    // The same file name in another folder is a second entry.
    ScanProjectFile(SampleProject(QStringLiteral("copy")), smAutomatic);
    EXPECT_EQ(Document->ProjectCount(), 2);
    EXPECT_EQ(Root()->childCount(), 2);
}

TEST_F(ScanWizardTest, TheHitPromptRatesRejectsAndExcludesWordsForTheRestOfTheScan) {
    const QString File = Write(QStringLiteral("p"), {{QStringLiteral("P.vbp"), "Module=M; M.bas\r\n"},
                                                     {QStringLiteral("M.bas"),
                                                      "Sub A()\r\n  x = Now\r\n  y = txtDate\r\n  z = Now\r\n"
                                                      "  w = txtDate + 1\r\n  v = Date\r\nEnd Sub\r\n"}}) +
                         QStringLiteral("/P.vbp");
    PromptAnswers Answers;
    Answers.Accept(ctMayBe, 2); // Now, rated Maybe and "Sort"
    Answers.Reject(true);       // txtDate: excluded from now on
    Answers.Reject(false);      // the second Now: dropped only
    Answers.Accept(ctYes, 1);   // Date
    ScanProjectFile(File, smManual);

    ASSERT_EQ(Answers.Shown.size(), 4u);
    // Behind the prompt, the wizard names the file being scanned.
    EXPECT_EQ(Answers.Shown[0].Scanning, QStringLiteral("M.BAS"));
    EXPECT_EQ(Answers.Shown[0].Word, QStringLiteral("Now"));
    EXPECT_EQ(Answers.Shown[0].Line, QStringLiteral("x = Now"));
    EXPECT_EQ(Answers.Shown[0].Selected, QStringLiteral("Now"));
    EXPECT_EQ(Answers.Shown[0].Compliant, ctNo);
    EXPECT_EQ(Answers.Shown[1].Word, QStringLiteral("txtDate"));
    EXPECT_EQ(Answers.Shown[1].Selected, QStringLiteral("Date"));
    // The rating carries over from one prompt to the next, the error type does not.
    EXPECT_EQ(Answers.Shown[1].Compliant, ctMayBe);
    EXPECT_EQ(Answers.Shown[1].ErrorType, QStringLiteral("Computation"));
    EXPECT_TRUE(Answers.Shown[2].Exclude) << "the box keeps its state";
    EXPECT_EQ(Answers.Shown[3].Word, QStringLiteral("Date")) << "the second txtDate gave no hit";

    ASSERT_EQ(Document->ProjectCount(), 1);
    const TModuleInfo& M = *Document->GetProject(0)->GetModule(0);
    ASSERT_EQ(M.HitCount(), 2);
    EXPECT_EQ(M.GetHit(0)->Variable, "Now");
    EXPECT_EQ(M.GetHit(0)->Compliant, ctMayBe);
    EXPECT_EQ(M.GetHit(0)->ErrorType, "Sort");
    EXPECT_EQ(M.GetHit(1)->Variable, "Date");
    EXPECT_EQ(M.GetHit(1)->Compliant, ctYes);
    EXPECT_EQ(M.GetHit(1)->ErrorType, "Branching");
    EXPECT_EQ(Entries(*ExcludeWordList), std::vector<std::string>{"txtDate"});
}

TEST_F(ScanWizardTest, CancelMergesNothingBeforeAScanOrFromAPromptAndThePartScannedDuringOne) {
    const QString File = SampleProject();
    // Cancel on the Intro page.
    testsupport::AnswerNextModal([](QWidget*) { Named<QPushButton>(*frmScanWizard, "btnCancel")->click(); });
    Main().sbScanClick();
    EXPECT_EQ(Document->ProjectCount(), 0);
    EXPECT_FALSE(Modified);

    // Cancel in the hit prompt discards the whole scan: at once when no hit was accepted yet;
    // after an accepted hit only once the user confirms, No (to Esc) going back to the same hit.
    {
        PromptAnswers Answers;
        Answers.Add([](TfrmScanHit& P) { Named<QPushButton>(P, "btnCancel")->click(); });
        ScanProjectFile(File, smManual);
    }
    EXPECT_EQ(Document->ProjectCount(), 0);
    QString Question;
    {
        PromptAnswers Answers;
        Answers.Accept(ctNo, 0);
        Answers.Add([&](TfrmScanHit& P) {
            testsupport::AnswerNextMessageBox(QMessageBox::No, &Question);
            QTest::keyClick(&P, Qt::Key_Escape);
        });
        Answers.Add([](TfrmScanHit& P) {
            testsupport::AnswerNextMessageBox(QMessageBox::Yes);
            Named<QPushButton>(P, "btnCancel")->click();
        });
        ScanProjectFile(File, smManual);
        ASSERT_EQ(Answers.Shown.size(), 3u);
        EXPECT_EQ(Answers.Shown[2].Line, Answers.Shown[1].Line);
        EXPECT_EQ(Answers.Shown[2].Word, Answers.Shown[1].Word);
    }
    EXPECT_EQ(Question,
              QStringLiteral("End the scan? The 1 hit(s) accepted in this scan will be discarded."));
    EXPECT_EQ(Document->ProjectCount(), 0);
    EXPECT_EQ(Root()->childCount(), 0);

    // Cancel in the wizard while a prompt is up: the scan ends after that line and what was
    // scanned so far is merged. CLSITEM.CLS has no hits; FRMMAIN.FRM is scanned next.
    {
        PromptAnswers Answers;
        Answers.Add([](TfrmScanHit& P) {
            Named<QPushButton>(*frmScanWizard, "btnCancel")->click();
            Named<QPushButton>(P, "btnNext")->click();
        });
        Answers.Accept(ctNo, 0); // the rest of that line is still scanned
        ScanProjectFile(File, smManual);
    }
    ASSERT_EQ(Document->ProjectCount(), 1);
    const TProjectInfo& Project = *Document->GetProject(0);
    EXPECT_EQ(Project.ModuleCount(), 3) << "every module of the file list is built";
    EXPECT_EQ(HitCount(Project), 2);
    EXPECT_EQ(Project.GetModule(1)->HitCount(), 2);
    EXPECT_TRUE(StopScan);
}

TEST_F(ScanWizardTest, ReScansOfAProjectOrAModuleKeepTheirNodeAndReplaceOnlyWhatWasScanned) {
    const QString File = SampleProject();
    ScanProjectFile(File, smAutomatic);
    ASSERT_EQ(Document->ProjectCount(), 1);
    QTreeWidgetItem* ProjectNode = Root()->child(0);
    TProjectInfo* Old = Document->GetProject(0);

    // The module gains a hit on disk; Scan Module replaces that module only.
    WriteFile(Dir.filePath(QStringLiteral("app/modDates.bas")),
              "Public Function Y(d)\r\n    Y = Year(d) + Year(Now)\r\nEnd Function\r\n");
    QTreeWidgetItem* ModuleNode = Child(ProjectNode, QStringLiteral("MODDATES.BAS"));
    TModuleInfo* OldForm = Old->GetModule(1);
    Named<QTreeWidget>(Main(), "tvwFiles")->setCurrentItem(ModuleNode);
    {
        PromptAnswers Answers;
        Answers.Accept(ctYes, 0);
        Answers.Accept(ctYes, 0);
        testsupport::AnswerNextModal([](QWidget*) {
            EXPECT_EQ(frmScanWizard->ScanMode(), smManual) << "re-scans ask about every hit";
            Named<QPushButton>(*frmScanWizard, "btnNext")->click();
        });
        Main().popScanModuleClick();
    }
    ASSERT_EQ(Document->GetProject(0), Old);
    ASSERT_EQ(Old->ModuleCount(), 3);
    EXPECT_EQ(Old->GetModule(1), OldForm);
    EXPECT_EQ(OldForm->HitCount(), 3) << "the form keeps its hits";
    TModuleInfo* New = Old->GetModule(2);
    EXPECT_EQ(New->Name, "MODDATES.BAS");
    EXPECT_EQ(New->HitCount(), 2);
    EXPECT_EQ(New->Compliant(), ctYes);
    EXPECT_EQ(TDocumentTree::Data(ModuleNode), New);
    EXPECT_EQ(TDocumentTree::State(ModuleNode), StateImage(ctYes));
    EXPECT_EQ(Named<QTreeWidget>(Main(), "lvwHits")->topLevelItemCount(), 2);
    EXPECT_EQ(ScanProject, nullptr);

    // Scan Project: the same node, a new project with the modules and the control of the old.
    Named<QTreeWidget>(Main(), "tvwFiles")->setCurrentItem(ProjectNode);
    PromptAnswers More;
    for (int I = 0; I < 5; ++I)
        More.Reject(false);
    testsupport::AnswerNextModal([](QWidget*) { Named<QPushButton>(*frmScanWizard, "btnNext")->click(); });
    Main().popScanProjectClick();
    ASSERT_EQ(Document->ProjectCount(), 1);
    ASSERT_EQ(Root()->childCount(), 1);
    EXPECT_EQ(Root()->child(0), ProjectNode);
    TProjectInfo* Rescanned = Document->GetProject(0);
    EXPECT_EQ(TDocumentTree::Data(ProjectNode), Rescanned);
    EXPECT_EQ(Rescanned->Name, "App.vbp");
    EXPECT_EQ(Rescanned->Path, ToFileName(Dir.filePath(QStringLiteral("app"))) + "/");
    EXPECT_EQ(Rescanned->ModuleCount(), 3);
    EXPECT_EQ(Rescanned->VBXCount(), 1);
    EXPECT_EQ(HitCount(*Rescanned), 0);
    EXPECT_EQ(Captions(ProjectNode),
              (QStringList{QStringLiteral("CLSITEM.CLS"), QStringLiteral("FRMMAIN.FRM"),
                           QStringLiteral("MODDATES.BAS"), QStringLiteral("MSCOMCT2.OCX")}));
}

TEST_F(ScanWizardTest, AnAutomaticBatchRunClosesItselfAndMergesWithoutAnyWindowWaiting) {
    const QString File = SampleProject();
    Main();
    TfrmScanWizard& W = *frmScanWizard;
    bool Forced = false;
    QTimer Guard;
    Guard.setSingleShot(true);
    QObject::connect(&Guard, &QTimer::timeout, [&] {
        Forced = true;
        W.done(mrCancel);
    });
    auto Run = [&](const QString& Name, TScanMode ScanMode) {
        Named<TCDKPathEditor>(W, "sbSelect")->SetText(Name);
        W.SetScanMode(ScanMode);
        W.Mode = wmFolderSearch;
        Guard.start(5000);
        Main().RunScanWizard();
        Guard.stop();
    };
    Run(File, smAutomatic);
    EXPECT_FALSE(Forced) << "the wizard did not close itself";
    EXPECT_TRUE(W.AutoStarted());
    ASSERT_EQ(Document->ProjectCount(), 1);
    EXPECT_EQ(HitCount(*Document->GetProject(0)), 5);

    // A file that gives nothing to scan, or cannot be read, closes itself the same way; nothing is
    // merged, and the file is noted for the batch's end message.
    const std::string Empty = ToFileName(Write(QStringLiteral("e"), {{QStringLiteral("Empty.vbp"), ""}}) +
                                         QStringLiteral("/Empty.vbp"));
    Run(FromFileName(Empty), smAutomatic);
    EXPECT_FALSE(Forced);
    EXPECT_FALSE(W.AutoStarted());
    EXPECT_EQ(Document->ProjectCount(), 1);
    ASSERT_EQ(W.Skipped().size(), 1u);
    EXPECT_EQ(W.Skipped()[0].File, Empty);
    EXPECT_EQ(W.Skipped()[0].Reason, "'" + Empty +
                                         "' lists no modules (no form, module, class or user control file): "
                                         "there is nothing in it to scan.");
    const std::string Missing = ToFileName(Dir.filePath(QStringLiteral("missing.vbp")));
    Run(FromFileName(Missing), smAutomatic);
    EXPECT_FALSE(Forced);
    ASSERT_EQ(W.Skipped().size(), 1u);
    EXPECT_EQ(W.Skipped()[0].File, Missing);
    EXPECT_TRUE(W.Skipped()[0].What.empty());
    EXPECT_EQ(W.Skipped()[0].Reason, "Cannot open file " + Missing);
    EXPECT_EQ(Document->ProjectCount(), 1);
}

TEST_F(ScanWizardTest, EntriesAboveTheProjectAndWindowsNamesAreFoundFromAnyCurrentFolder) {
    // The project lists a module one folder up, in a folder of another case, and a module whose
    // Windows-1252 name is stored in UTF-8 on this disk.
    const QString Base = Write(QStringLiteral("src"),
                               {{QStringLiteral("app/App.vbp"), "Module=Shared; ..\\Shared\\Dates.bas\r\n"
                                                                "Module=Fees; Geb\xFC"
                                                                "hren.bas\r\n"},
                                {QStringLiteral("shared/dates.bas"), "x = Now\r\n"},
                                {QStringLiteral("app/Gebühren.bas"), "y = Date\r\n"}});
    const QString Previous = QDir::currentPath();
    QDir::setCurrent(QDir::rootPath());
    ScanProjectFile(Base + QStringLiteral("/app/App.vbp"), smAutomatic);
    QDir::setCurrent(Previous);

    ASSERT_EQ(Document->ProjectCount(), 1);
    const TProjectInfo& Project = *Document->GetProject(0);
    ASSERT_EQ(Project.ModuleCount(), 2);
    const TModuleInfo& Shared = *Project.GetModule(0);
    EXPECT_EQ(Shared.Name, "DATES.BAS");
    EXPECT_EQ(Shared.Path, ToFileName(Base) + "/shared/");
    EXPECT_EQ(Shared.HitCount(), 1);
    const TModuleInfo& Fees = *Project.GetModule(1);
    EXPECT_EQ(Fees.Name, "GEB\xFCHREN.BAS");
    EXPECT_EQ(Fees.HitCount(), 1);
}

// Modules that cannot be read cost only themselves: the project is merged with every module that
// was read, and one message at the end names each of the others with its reason, while the
// progress display shows the finished scan of the project file.
TEST_F(ScanWizardTest, UnreadableModulesAreLeftOutAndNamedOnceAtTheEndOfTheScan) {
    const QString Base =
        Write(QStringLiteral("m/app"),
              {// A UTF-8 byte-order mark before the first entry, a line that merely mentions a form, short
               // names, one of which fits two files, a module saved as UTF-16, one larger than memory,
               // and an add-on that is a folder.
               {QStringLiteral("P.vbp"),
                "\xEF\xBB\xBF"
                "Module=A; A_PILOT.BAS\r\nForm=Lost.frm\r\n"
                "Class=R; ..\\..\\other\\viewer\\RecordSetDat.cls\r\n"
                "Form=CALCUL~1\\FRMCAL~1.FRM\r\nModule=U; MODUTI~1.BAS\r\n"
                "Module=W; Wide.bas\r\nModule=Q; Pipe.bas\r\nObject={0}#1.0#0; Pipe.ocx\r\n"
                "Error1=WARNING|D:\\src\\Main.frm|cannot load\r\nModule=H; Huge.bas\r\n"
                "Object={1}#1.0#0; Grid.ocx\r\n"},
               {QStringLiteral("a_pilot.bas"), "x = Now\r\n"},
               {QStringLiteral("Huge.bas"), ""},
               {QStringLiteral("Calculator Tools/frmCalculator.frm"), "d = Date\r\n"},
               {QStringLiteral("modUtilDates.bas"), "y = Year(d)\r\n"},
               {QStringLiteral("modUtilities.bas"), "y = Year(d)\r\n"},
               {QStringLiteral("Wide.bas"), std::string("\xFF\xFEz\0 \0=\0 \0N\0o\0w\0\r\0\n\0", 20)}});
    std::filesystem::resize_file(ToFileName(Base) + "/Huge.bas", std::uintmax_t{1} << 40); // sparse
    QDir().mkpath(Base + QStringLiteral("/Grid.ocx"));
    testsupport::TNamedPipe Pipe(ToFileName(Base) + "/Pipe.bas");
    testsupport::TNamedPipe AddOn(ToFileName(Base) + "/Pipe.ocx");
    ASSERT_TRUE(Pipe.Made() && AddOn.Made());
    const QString File = Base + QStringLiteral("/P.vbp");
    QString EndMessage;
    bool Visible = false, Animated = true;
    int Value = -1, Maximum = -1;
    QString Shown;
    ScanProjectFile(File, smAutomatic, [&] {
        testsupport::AnswerNextModal([&](QWidget* Box) {
            TfrmScanWizard& W = *frmScanWizard;
            EndMessage = BoxText(*qobject_cast<QMessageBox*>(Box));
            Visible = W.isVisible();
            Animated = Named<TScanAnimation>(W, "aniScan")->Active();
            Value = Named<QProgressBar>(W, "ProgressBar")->value();
            Maximum = Named<QProgressBar>(W, "ProgressBar")->maximum();
            Shown = Named<QLabel>(W, "lblFilename")->text();
            qobject_cast<QMessageBox*>(Box)->button(QMessageBox::Ok)->click();
        });
    });
    EXPECT_FALSE(Pipe.Released() || AddOn.Released());
    EXPECT_EQ(Document->GetProject(0)->VBXCount(), 0);
    EXPECT_TRUE(Visible);
    EXPECT_FALSE(Animated);
    EXPECT_GT(Maximum, 0);
    EXPECT_EQ(Value, Maximum);
    EXPECT_EQ(Shown, File);

    ASSERT_EQ(Document->ProjectCount(), 1);
    const TProjectInfo& Project = *Document->GetProject(0);
    std::vector<std::string> Names;
    for (Longint I = 0; I < Project.ModuleCount(); ++I)
        Names.push_back(Project.GetModule(I)->Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"A_PILOT.BAS", "CALCUL~1\\FRMCAL~1.FRM", "WIDE.BAS"}));
    EXPECT_EQ(HitCount(Project), 3);
    EXPECT_EQ(Captions(Root()->child(0)).size(), 3);

    const QString Folder = Base + u'/';
    // In the order of the file list; each reason names the file as it was looked for.
    const QStringList Expected = {
        QStringLiteral("8 parts in 1 file could not be read and are left out of the document."),
        File + QStringLiteral(", add-on PIPE.OCX: Cannot open file ") + Folder +
            QStringLiteral("Pipe.ocx: it is a named pipe, not a file"),
        File + QStringLiteral(", add-on GRID.OCX: Cannot open file ") + Folder +
            QStringLiteral("Grid.ocx: it is a folder, not a file"),
        File + QStringLiteral(", module ..\\..\\OTHER\\VIEWER\\RECORDSETDAT.CLS: Cannot open file ") +
            Dir.filePath(QStringLiteral("OTHER/VIEWER/RECORDSETDAT.CLS")),
        File + QStringLiteral(", module HUGE.BAS: Cannot read file ") + Folder +
            QStringLiteral("Huge.bas: it is 1,099,511,627,776 bytes, more than the memory can hold"),
        File + QStringLiteral(", module LOST.FRM: Cannot open file ") + Folder + QStringLiteral("LOST.FRM"),
        File + QStringLiteral(", module MODUTI~1.BAS: Cannot open file ") + Folder +
            QStringLiteral("MODUTI~1.BAS: the short name MODUTI~1.BAS fits 2 names: modUtilDates.bas, "
                           "modUtilities.bas"),
        File + QStringLiteral(", module PIPE.BAS: Cannot open file ") + Folder +
            QStringLiteral("Pipe.bas: it is a named pipe, not a file"),
        File + QStringLiteral(", module WARNING|D:\\SRC\\MAIN.FRM|CANNOT LOAD: Cannot open file "
                              "WARNING|D:/SRC/MAIN.FRM|CANNOT LOAD"),
    };
    EXPECT_EQ(EndMessage.toStdString(), Expected.join(u'\n').toStdString());

    // A module that goes while the scan runs (deleted at the first module's hit prompt) is left
    // out the same way; the scan goes on with the module after it.
    const QString Second =
        Write(QStringLiteral("v"), {{QStringLiteral("V.vbp"), "Module=A; a.bas\r\nModule=B; b.bas\r\n"
                                                              "Module=C; c.bas\r\n"},
                                    {QStringLiteral("a.bas"), "x = Now\r\n"},
                                    {QStringLiteral("b.bas"), "x = Now\r\n"},
                                    {QStringLiteral("c.bas"), "x = Now\r\n"}});
    PromptAnswers Answers;
    Answers.Add([&](TfrmScanHit& P) {
        QFile::remove(Second + QStringLiteral("/b.bas"));
        Named<QPushButton>(P, "btnNext")->click();
    });
    Answers.Accept(ctYes, 0);
    QTimer EndBox;
    QObject::connect(&EndBox, &QTimer::timeout, [&] {
        if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EndMessage = BoxText(*Box);
            Box->button(QMessageBox::Ok)->click();
        }
    });
    EndBox.start(5);
    ScanProjectFile(Second + QStringLiteral("/V.vbp"), smManual);
    EndBox.stop();
    ASSERT_EQ(Document->ProjectCount(), 2);
    EXPECT_EQ(Document->GetProject(1)->ModuleCount(), 2);
    EXPECT_EQ(HitCount(*Document->GetProject(1)), 2);
    EXPECT_TRUE(EndMessage.endsWith(QStringLiteral(", module B.BAS: Cannot open file ") + Second +
                                    QStringLiteral("/B.BAS")))
        << EndMessage.toStdString();

    // Next without a file asks for one and stays on the Intro page.
    QString Message;
    testsupport::AnswerNextModal([&](QWidget*) {
        Named<QPushButton>(*frmScanWizard, "btnNext")->setEnabled(true);
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Message);
        Named<QPushButton>(*frmScanWizard, "btnNext")->click();
        EXPECT_EQ(Named<QStackedWidget>(*frmScanWizard, "nteScan")->currentIndex(), 0);
        Named<QPushButton>(*frmScanWizard, "btnCancel")->click();
    });
    Main().sbScanClick();
    EXPECT_EQ(Message, QStringLiteral("Need to specify project"));
}

TEST_F(ScanWizardTest, TheExampleProjectScansEndToEndWithTheProgramsWordList) {
    QFile::remove(Dir.filePath(QStringLiteral("KeyWords.TXT")));
    ASSERT_TRUE(QFile::copy(RepositoryRoot + QStringLiteral("/resources/scanner/KeyWords.TXT"),
                            Dir.filePath(QStringLiteral("KeyWords.TXT"))));
    ScanProjectFile(RepositoryRoot + QStringLiteral("/examples/Ledger/Ledger.vbp"), smAutomatic);

    ASSERT_EQ(Document->ProjectCount(), 1);
    const TProjectInfo& Project = *Document->GetProject(0);
    EXPECT_EQ(Project.Name, "Ledger.vbp");
    std::vector<std::string> Modules;
    for (Longint I = 0; I < Project.ModuleCount(); ++I)
        Modules.push_back(Project.GetModule(I)->Name);
    EXPECT_EQ(Modules, (std::vector<std::string>{"CLSPERIOD.CLS", "COMMON\\MODFORMAT.BAS", "FRMINVOICE.FRM",
                                                 "FRMMAIN.FRM", "MODDATES.BAS"}));
    EXPECT_EQ(Project.VBXCount(), 2);
    EXPECT_EQ(HitCount(Project), ExampleHits);
    EXPECT_EQ(Project.Compliant(), ctNo);
}

} // namespace

namespace {

/// Copies the fixture database Name (and its text export, when it has one) into Folder.
QString CopyDatabase(const QString& Folder, const std::string& Name) {
    namespace fs = std::filesystem;
    const fs::path Data(QUORVEX_TEST_DATA);
    const fs::path Target(ToFileName(Folder));
    fs::create_directories(Target);
    fs::copy(Data / Name, Target / Name);
    if (fs::exists(Data / (Name + ".src")))
        fs::copy(Data / (Name + ".src"), Target / (Name + ".src"), fs::copy_options::recursive);
    return FromFileName((Target / Name).string());
}

std::vector<std::string> NamesOf(const TMDBObjectInfos& Objects) {
    std::vector<std::string> Out;
    for (Longint I = 0; I < Objects.Count(); ++I)
        Out.push_back(Objects.Items(I)->Name);
    return Out;
}

/// Picks File in the wizard's path editor as the browse button does.
void Pick(const QString& File) {
    Named<TCDKPathEditor>(*frmScanWizard, "sbSelect")->SetText(File);
    Named<TCDKPathEditor>(*frmScanWizard, "sbSelect")->DoDialogDrop();
}

} // namespace

TEST_F(ScanWizardTest, ADatabaseIsListedWithItsCodeWrittenBesideItAndThenScanned) {
    const QString File = CopyDatabase(Dir.filePath(QStringLiteral("db")), "nwind.mdb");
    const std::string Folder = ToFileName(Dir.filePath(QStringLiteral("db"))) + "/";
    std::vector<std::string> Listed;
    QStringList Messages;
    TMessageBoxAnswers Answers(Messages);
    testsupport::AnswerNextModal([&](QWidget*) {
        TfrmScanWizard& W = *frmScanWizard;
        Pick(File);
        EXPECT_TRUE(Messages.isEmpty()) << "nothing is said before the scan";
        EXPECT_TRUE(W.IsMDB());
        EXPECT_TRUE(Named<QListWidget>(W, "lstVBXs")->isHidden());
        EXPECT_TRUE(Named<QLabel>(W, "lblVBXs")->isHidden());
        EXPECT_TRUE(Named<QPushButton>(W, "btnNext")->isEnabled());
        EXPECT_EQ(ScanMDB->Name, "nwind.mdb");
        EXPECT_EQ(ScanMDB->Path, Folder);
        EXPECT_EQ(ScanMDB->IMEXSpecs().Count(), 0); // its specification tables are empty
        EXPECT_EQ(ScanMDB->Macros().Count(), 0);
        EXPECT_GT(ScanMDB->Tables().Count(), 5);
        EXPECT_GT(ScanMDB->Querys().Count(), 5);
        for (const auto* Objects : {&ScanMDB->Tables(), &ScanMDB->Querys()})
            for (const std::string& Name : NamesOf(*Objects))
                EXPECT_FALSE(Name.starts_with("MSys")) << Name;
        // Its text export holds 3 forms, 2 reports and 2 modules; the file gives the others.
        EXPECT_EQ(ScanMDB->Forms().Count(), 21);
        EXPECT_EQ(ScanMDB->Reports().Count(), 13);
        // A form without code (Customers) gives no code object; each code file lies beside the
        // database: from the export (Report_Invoice) or from the file (Form_Products).
        const std::vector<std::string> Modules = NamesOf(ScanMDB->Modules());
        EXPECT_EQ(Modules.size(), 16u);
        for (const char* Name :
             {"Form_Employees.cbf", "Form_Products.cbf", "Report_Invoice.cbf", "Report_Sales by Year.cbf",
              "Northwind Help Function.Bas", "Utility Functions.Bas"})
            EXPECT_NE(std::find(Modules.begin(), Modules.end(), Name), Modules.end()) << Name;
        EXPECT_EQ(std::find(Modules.begin(), Modules.end(), "Form_Customers.cbf"), Modules.end());
        for (Longint I = 0; I < ScanMDB->Modules().Count(); ++I) {
            const TMDBObjectInfo& M = *ScanMDB->Modules().Items(I);
            EXPECT_EQ(M.Path, Folder);
            EXPECT_TRUE(std::filesystem::is_regular_file(M.Path + M.Name)) << M.Name;
        }
        for (const auto* Objects : {&ScanMDB->Tables(), &ScanMDB->Forms(), &ScanMDB->Modules()})
            for (Longint I = 0; I < Objects->Count(); ++I) {
                EXPECT_EQ(Objects->Items(I)->ImageIndex, imTable); // every kind until scanned
                EXPECT_EQ(Objects->Items(I)->DatabaseFile(), ToFileName(File));
            }
        Listed = TfrmScanWizard::Entries(Named<QListWidget>(W, "lstFiles"));
        W.SetScanMode(smAutomatic);
        Named<QPushButton>(W, "btnNext")->click();
    });
    Main().sbScanClick();
    ASSERT_TRUE(testsupport::AllAnswered());

    // Every object by its own name (not the code files'), sorted without regard to case.
    EXPECT_EQ(Listed.size(),
              static_cast<std::size_t>(ScanMDB ? 0
                                               : Document->GetMDB(0)->Tables().Count() +
                                                     Document->GetMDB(0)->Querys().Count() + 21 + 13 + 3));
    // Most forms and reports came from the file without their property values: said once, at the
    // scan's end.
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("The forms and reports of nwind.mdb were read from the "
                                                      "database file")))
        << Messages[0].toStdString();
    EXPECT_TRUE(std::is_sorted(Listed.begin(), Listed.end(), [](const std::string& A, const std::string& B) {
        return CompareText(A, B) < 0;
    }));
    EXPECT_NE(std::find(Listed.begin(), Listed.end(), "Utility Functions"), Listed.end());
    ASSERT_EQ(Document->MDBCount(), 1);
    const TMDBInfo& Merged = *Document->GetMDB(0);
    Longint CodeHits = 0;
    for (Longint I = 0; I < Merged.Modules().Count(); ++I)
        CodeHits += Merged.Modules().Items(I)->HitCount();
    EXPECT_GT(CodeHits, 0);
    EXPECT_EQ(Captions(Root()), QStringList{QStringLiteral("nwind.mdb")});
}

TEST_F(ScanWizardTest, ASecondDatabaseReplacesTheFirstAndOneTheEngineRefusesLeavesNothingToScan) {
    const QString First = CopyDatabase(Dir.filePath(QStringLiteral("a")), "nwind.mdb");
    const QString Second = CopyDatabase(Dir.filePath(QStringLiteral("b")), "Northwind2000.mdb");
    const QString Bad = Dir.filePath(QStringLiteral("bad.mdb"));
    WriteFile(Bad, "this is no database");
    QString Error;
    QStringList Messages;
    testsupport::AnswerNextModal([&](QWidget*) {
        TfrmScanWizard& W = *frmScanWizard;
        auto Answers = std::make_unique<TMessageBoxAnswers>(Messages);
        Pick(First);
        const Longint FirstCount = ScanMDB->ObjectCount();
        // Northwind2000 has no text export: forms, reports and code come from the file itself.
        Pick(Second);
        Answers.reset();
        EXPECT_TRUE(Messages.isEmpty()) << "the forms are read, and the note given, by the scan";
        EXPECT_EQ(ScanMDB->Name, "Northwind2000.mdb");
        EXPECT_NE(ScanMDB->ObjectCount(), FirstCount);
        EXPECT_EQ(ScanMDB->Forms().Count(), 22);
        EXPECT_EQ(ScanMDB->Reports().Count(), 14);
        EXPECT_EQ(
            TfrmScanWizard::Entries(Named<QListWidget>(W, "lstFiles")).size(),
            static_cast<std::size_t>(ScanMDB->Tables().Count() + ScanMDB->Querys().Count() + 22 + 14 + 2));
        EXPECT_TRUE(Named<QPushButton>(W, "btnNext")->isEnabled());
        // The engine's own message, and the wizard waits on its Intro page with nothing to scan.
        AnswerErrorThen(&Error, [] {
            EXPECT_EQ(Named<QStackedWidget>(*frmScanWizard, "nteScan")->currentIndex(), 0);
            EXPECT_FALSE(Named<QPushButton>(*frmScanWizard, "btnNext")->isEnabled());
            Named<QPushButton>(*frmScanWizard, "btnCancel")->click();
        });
        Named<TCDKPathEditor>(W, "sbSelect")->SetText(Bad);
        Named<TCDKPathEditor>(W, "sbSelect")->DoDialogDrop();
    });
    Main().sbScanClick();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_TRUE(Error.contains(QStringLiteral("bad.mdb"))) << Error.toStdString();
    EXPECT_EQ(Document->MDBCount(), 0);
}

// Database objects that cannot be read cost only themselves: a form whose design is damaged, and
// the code of forms and modules that cannot be read or written, are named in the one message at
// the scan's end, and everything else is scanned and merged. A form without code is no failure.
// The code files are replaced, never written through a link standing at their names.
TEST_F(ScanWizardTest, DatabaseObjectsThatCannotBeReadAreLeftOutAndNamedOnceAtTheEndOfTheScan) {
    const QString File = CopyDatabase(Dir.filePath(QStringLiteral("ro")), "nwind.mdb");
    const std::string Folder = ToFileName(Dir.filePath(QStringLiteral("ro"))) + "/";
    // The definition page of MSysIMEXSpecs is zeroed; Orders' design ends inside a block; a
    // folder stands in the place of one code file (a read-only folder would not stop tests that
    // run as root); a link at another points away.
    std::string Database = ReadFile(File);
    std::fill_n(Database.begin() + 215 * 2048, 2048, '\0');
    WriteFile(File, Database);
    const std::string Orders = Folder + "nwind.mdb.src/forms/Orders.bas";
    const std::string Design = ReadFile(FromFileName(Orders));
    WriteFile(FromFileName(Orders), Design.substr(0, Design.size() / 2));
    QDir().mkpath(Dir.filePath(QStringLiteral("ro/Startup.Bas")));
    const QString Kept = Dir.filePath(QStringLiteral("kept.txt"));
    WriteFile(Kept, "not code");
    std::filesystem::create_symlink(ToFileName(Kept), Folder + "Form_Employees.cbf");

    QStringList Messages;
    TMessageBoxAnswers Answers(Messages);
    testsupport::AnswerNextModal([&](QWidget*) {
        Pick(File);
        // The export holds 3 forms, 2 reports and 2 modules; the file gives the others.
        const std::vector<std::string> Modules = NamesOf(ScanMDB->Modules());
        EXPECT_EQ(Modules.size(), 14u);
        for (const char* Name : {"Form_Employees.cbf", "Report_Invoice.cbf", "Report_Sales by Year.cbf",
                                 "Utility Functions.Bas", "Form_Products.cbf"})
            EXPECT_NE(std::find(Modules.begin(), Modules.end(), Name), Modules.end()) << Name;
        for (const char* Name : {"Form_Orders.cbf", "Startup.Bas"})
            EXPECT_EQ(std::find(Modules.begin(), Modules.end(), Name), Modules.end()) << Name;
        EXPECT_EQ(ScanMDB->Forms().Count(), 21);
        EXPECT_TRUE(Named<QPushButton>(*frmScanWizard, "btnNext")->isEnabled());
        frmScanWizard->SetScanMode(smAutomatic);
        Named<QPushButton>(*frmScanWizard, "btnNext")->click();
    });
    Main().sbScanClick();
    EXPECT_TRUE(testsupport::AllAnswered());

    EXPECT_EQ(ReadFile(Kept), "not code");
    EXPECT_TRUE(
        std::filesystem::is_regular_file(std::filesystem::symlink_status(Folder + "Form_Employees.cbf")));
    EXPECT_NE(ReadFile(FromFileName(Folder + "Form_Employees.cbf")).find("Sub "), std::string::npos);

    ASSERT_EQ(Document->MDBCount(), 1);
    const TMDBInfo& Merged = *Document->GetMDB(0);
    EXPECT_EQ(Merged.Forms().Count(), 20);
    EXPECT_EQ(Merged.Modules().Count(), 14);
    EXPECT_EQ(Merged.Reports().Count(), 13);
    EXPECT_GT(Merged.Tables().Count(), 5);

    // The parts left out, then the forms read without their property values.
    ASSERT_EQ(Messages.size(), 2);
    EXPECT_TRUE(Messages[1].startsWith(QStringLiteral("The forms and reports of nwind.mdb were read")));
    const QString Db = File + QStringLiteral(", ");
    const QStringList Lines = Messages[0].split(u'\n');
    ASSERT_EQ(Lines.size(), 5) << Messages[0].toStdString();
    EXPECT_EQ(Lines[0],
              QStringLiteral("4 parts in 1 file could not be read and are left out of the document."));
    // The import/export specifications fail when the database is read, the rest during the scan.
    EXPECT_EQ(Lines[1], Db + QStringLiteral("import/export specifications: The table 'MSysIMEXSpecs' of '") +
                            File +
                            QStringLiteral("' cannot be read: the file is damaged: page 215 of table "
                                           "MSysIMEXSpecs is not a table definition page."));
    EXPECT_TRUE(Lines[2].startsWith(Db + QStringLiteral("code module 'Form_Orders': ")) &&
                Lines[2].contains(QStringLiteral("the file ends inside a block")))
        << Lines[2].toStdString();
    EXPECT_TRUE(Lines[3].startsWith(Db +
                                    QStringLiteral("code module 'Startup': Access cannot write the module "
                                                   "'Startup' to '") +
                                    FromFileName(Folder) + QStringLiteral("Startup.Bas'")))
        << Lines[3].toStdString();
    EXPECT_TRUE(Lines[4].startsWith(Db + QStringLiteral("form 'Orders': ")) &&
                Lines[4].contains(QStringLiteral("the file ends inside a block")))
        << Lines[4].toStdString();
}

// An Access file of the newer layout, named in any letter case, is read and scanned as a
// database. The note on forms and reports read without their property values comes at the scan's
// end, and only for a database some of whose forms or reports were read.
TEST_F(ScanWizardTest, AnAccdbFileIsScannedAsADatabaseAndTheFormsNoteNamesOnlyDatabasesWhoseFormsWereRead) {
    namespace fs = std::filesystem;
    const fs::path Data = fs::path(QUORVEX_TEST_DATA) / "vcs-testing";
    const fs::path Folder(ToFileName(Dir.filePath(QStringLiteral("t"))));
    fs::create_directories(Folder);
    fs::copy_file(Data / "Testing.accdb", Folder / "Testing.ACCDB");
    fs::copy(Data / "Testing.accdb.src", Folder / "Testing.ACCDB.src", fs::copy_options::recursive);
    const QString File = FromFileName((Folder / "Testing.ACCDB").string());
    EXPECT_TRUE(QtNameFilters(Named<TCDKPathEditor>(Wizard, "sbSelect")->Filter())
                    .contains(QStringLiteral("MS Access (*.mdb *.accdb)")));
    QStringList Messages;
    TMessageBoxAnswers Answers(Messages);
    auto Scan = [&](std::function<void()> BeforeScan) {
        testsupport::AnswerNextModal([=](QWidget*) {
            TfrmScanWizard& W = *frmScanWizard;
            Pick(File);
            EXPECT_TRUE(W.IsMDB());
            EXPECT_EQ(TfrmScanWizard::Entries(Named<QListWidget>(W, "lstFiles")).size(), 16u);
            BeforeScan();
            W.SetScanMode(smAutomatic);
            Named<QPushButton>(W, "btnNext")->click();
        });
        Main().sbScanClick();
        EXPECT_TRUE(testsupport::AllAnswered());
    };

    // With its complete text export: nothing to say.
    Scan([] {});
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(u'|').toStdString();
    ASSERT_EQ(Document->MDBCount(), 1);
    EXPECT_EQ(Document->ProjectCount(), 0);
    EXPECT_EQ(Document->GetMDB(0)->Name, "Testing.ACCDB");
    EXPECT_EQ(NamesOf(Document->GetMDB(0)->Forms()), std::vector<std::string>{"frmMain"});
    EXPECT_EQ(Document->GetMDB(0)->Reports().Count(), 2);

    // Without it: said once, at the end, with the folder to put it in.
    fs::remove_all(Folder / "Testing.ACCDB.src");
    Scan([] {});
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(
        Messages[0],
        QStringLiteral("The forms and reports of Testing.ACCDB were read from the database file, which gives "
                       "only their controls' names and types: their property values (formats, control "
                       "sources, default values) are not scanned.\nTo have them scanned, put a text export "
                       "of the database (Access's SaveAsText files in the folders forms, reports and "
                       "modules) into the folder named below.\n") +
            File + QStringLiteral(".src/"));
    EXPECT_EQ(Document->GetMDB(0)->Forms().Count(), 1);

    // Forms and reports none of which could be read (the file listed is replaced by another
    // database before the scan): they are named as left out, and no note speaks of them.
    Messages.clear();
    Scan([=] {
        fs::copy_file(Data / ".." / "nwind.mdb", Folder / "Testing.ACCDB",
                      fs::copy_options::overwrite_existing);
    });
    ASSERT_EQ(Messages.size(), 1) << Messages.join(u'|').toStdString();
    EXPECT_TRUE(Messages[0].contains(File + QStringLiteral(", form 'frmMain': ")))
        << Messages[0].toStdString();
    EXPECT_TRUE(Messages[0].contains(File + QStringLiteral(", report 'rptDefaultPrinter': ")));
    EXPECT_EQ(Document->GetMDB(0)->Forms().Count() + Document->GetMDB(0)->Reports().Count(), 0);
}

// A file that cannot be read, or lists no modules, leaves nothing to scan: Next is disabled, so
// that the project read before cannot be replaced by an empty one. A named pipe is refused, not
// waited on.
TEST_F(ScanWizardTest, AFileThatCannotBeReadDisablesNextSoNothingReplacesTheProjectBefore) {
    const QString Good = SampleProject();
    ScanProjectFile(Good, smAutomatic);
    ASSERT_EQ(Document->ProjectCount(), 1);
    testsupport::TNamedPipe Pipe(ToFileName(Dir.filePath(QStringLiteral("Pipe.vbp"))));
    ASSERT_TRUE(Pipe.Made());
    QString PipeError, MissingError;
    testsupport::AnswerNextModal([&](QWidget*) {
        TfrmScanWizard& W = *frmScanWizard;
        Pick(Good);
        EXPECT_TRUE(Named<QPushButton>(W, "btnNext")->isEnabled());
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &PipeError);
        Pick(FromFileName(Pipe.Name()));
        EXPECT_FALSE(Named<QPushButton>(W, "btnNext")->isEnabled());
        Pick(Good);
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &MissingError);
        Pick(Dir.filePath(QStringLiteral("missing.vbp")));
        EXPECT_FALSE(Named<QPushButton>(W, "btnNext")->isEnabled());
        Named<QPushButton>(W, "btnCancel")->click();
    });
    Main().sbScanClick();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_FALSE(Pipe.Released());
    EXPECT_EQ(PipeError, QStringLiteral("Cannot open file ") + FromFileName(Pipe.Name()) +
                             QStringLiteral(": it is a named pipe, not a file"));
    EXPECT_EQ(MissingError,
              QStringLiteral("Cannot open file ") + Dir.filePath(QStringLiteral("missing.vbp")));
    ASSERT_EQ(Document->ProjectCount(), 1);
    EXPECT_EQ(HitCount(*Document->GetProject(0)), 5);

    // Rewritten so that it lists no modules, the project file is refused by name and the node
    // keeps its hits.
    const std::string Text = ReadFile(Good);
    WriteFile(Good, "[MS Transaction Server]\r\nAutoRefresh=1\r\n");
    QString Refused;
    testsupport::AnswerNextModal([&](QWidget*) {
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Refused);
        Pick(Good);
        EXPECT_FALSE(Named<QPushButton>(*frmScanWizard, "btnNext")->isEnabled());
        Named<QPushButton>(*frmScanWizard, "btnCancel")->click();
    });
    Main().sbScanClick();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_TRUE(
        Refused.endsWith(QStringLiteral("App.vbp' lists no modules (no form, module, class or user control "
                                        "file): there is nothing in it to scan.")))
        << Refused.toStdString();
    ASSERT_EQ(Document->ProjectCount(), 1);
    EXPECT_EQ(HitCount(*Document->GetProject(0)), 5);
    WriteFile(Good, Text);

    // The project file reads, but none of its modules does: the node keeps its hits.
    for (const char* Module : {"frmMain.frm", "modDates.bas", "clsItem.cls"})
        ASSERT_TRUE(QFile::remove(QFileInfo(Good).dir().filePath(QString::fromLatin1(Module))));
    QStringList Named;
    {
        TMessageBoxAnswers Answers(Named);
        ScanProjectFile(Good, smAutomatic);
    }
    ASSERT_EQ(Named.size(), 1);
    EXPECT_TRUE(Named[0].contains(QStringLiteral("App.vbp: none of its modules could be read")));
    ASSERT_EQ(Document->ProjectCount(), 1);
    EXPECT_EQ(HitCount(*Document->GetProject(0)), 5);
}

namespace {

class ScanWindowsTest : public ScanWizardTest {
protected:
    /// A project with one module whose one line holds one keyword, in the folder Folder.
    QString OneHitProject(const QString& Folder) {
        return Write(Folder, {{QStringLiteral("P.vbp"), "Module=M; M.bas\r\n"},
                              {QStringLiteral("M.bas"), "Sub A()\r\n  x = Now\r\nEnd Sub\r\n"}}) +
               QStringLiteral("/P.vbp");
    }
};

TEST_F(ScanWindowsTest, TheWizardAndThePromptOpenCentredEachTimeAsDialogsOfTheMainWindow) {
    const QString File = OneHitProject(QStringLiteral("p"));
    Main().show();
    const QRect Screen = Main().screen()->availableGeometry();
    std::vector<QRect> Places;
    auto Record = [&](QDialog& Window) {
        SCOPED_TRACE(Window.objectName().toStdString());
        Places.push_back(Window.geometry());
        EXPECT_TRUE(Main().screen()->availableGeometry().contains(Window.frameGeometry()));
        const Qt::WindowFlags Flags = Window.windowFlags();
        EXPECT_TRUE(Flags & Qt::WindowTitleHint);
        EXPECT_FALSE(Flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(Window.minimumSize(), Window.maximumSize());
        EXPECT_EQ(Window.windowHandle()->transientParent(), Main().windowHandle());
    };
    for (int Run = 0; Run < 2; ++Run) {
        PromptAnswers Answers;
        Answers.Add([&](TfrmScanHit& P) {
            Record(P);
            Named<QPushButton>(P, "btnNext")->click();
        });
        ScanProjectFile(File, smManual, [&] { Record(*frmScanWizard); });
    }
    ASSERT_EQ(Places.size(), 4u);
    EXPECT_EQ(Places[2], Places[0]) << "the wizard opens where it opened before";
    EXPECT_EQ(Places[3], Places[1]) << "the prompt opens where it opened before";
    for (const QRect& Place : Places)
        EXPECT_LE((Place.center() - Screen.center()).manhattanLength(), 1);
}

// However many parts a scan leaves out, its end message fits the screen: a count as its text, the
// parts in a scrolling list that can be copied, an over-long entry cut in the middle.
TEST_F(ScanWindowsTest, TheEndMessageFitsTheScreenWhateverTheNumberOfPartsLeftOut) {
    constexpr int Missing = 3000;
    const QString Long = QString(600, u'x');
    std::string Project;
    for (int I = 0; I < Missing; ++I)
        Project += "Module=M; " + (I == 7 ? ToFileName(Long) + "\\" : std::string()) + "M" +
                   std::to_string(I) + ".bas\r\n";
    const QString File =
        Write(QStringLiteral("many"), {{QStringLiteral("P.vbp"), Project}}) + QStringLiteral("/P.vbp");
    Main().show();
    QString Summary, Copied;
    QStringList Lines;
    ScanProjectFile(File, smAutomatic, [&] {
        testsupport::AnswerNextModal([&](QWidget* W) {
            auto* Box = qobject_cast<QMessageBox*>(W);
            ASSERT_NE(Box, nullptr);
            EXPECT_TRUE(Box->screen()->availableGeometry().contains(Box->frameGeometry()))
                << Box->frameGeometry().height() << " px tall";
            Summary = Box->text();
            auto* List = Named<QTextEdit>(*Box, "memDetails");
            EXPECT_TRUE(List->isVisible());
            EXPECT_TRUE(List->isReadOnly());
            EXPECT_TRUE(List->verticalScrollBar()->isVisible());
            Lines = List->toPlainText().split(u'\n');
            List->selectAll();
            List->copy();
            Copied = QApplication::clipboard()->text();
            Box->button(QMessageBox::Ok)->click();
        });
    });
    // Each module, and the project that is therefore not merged.
    EXPECT_EQ(Summary,
              QStringLiteral("3001 parts in 1 file could not be read and are left out of the document."));
    ASSERT_EQ(Lines.size(), Missing + 1);
    EXPECT_TRUE(Lines.back().endsWith(
        QStringLiteral("none of its modules could be read; the document keeps what it had")));
    EXPECT_EQ(Copied, Lines.join(u'\n'));
    const auto Cut =
        std::find_if(Lines.begin(), Lines.end(), [](const QString& L) { return L.contains(u'…'); });
    ASSERT_NE(Cut, Lines.end());
    EXPECT_EQ(Cut->size(), MaxDetailLength);
    EXPECT_TRUE(Cut->startsWith(File + QStringLiteral(", module XXX")));
    EXPECT_TRUE(Cut->endsWith(QStringLiteral("XXX/M7.BAS"))) << Cut->toStdString();
    EXPECT_EQ(Document->ProjectCount(), 0);
}

// File and module names are shown as they are: markup in a name (a '<' is allowed in names on
// Linux) is not read as such.
TEST_F(ScanWindowsTest, TheFileNameLineShowsANameHoldingMarkupAsItIs) {
    const QString File = OneHitProject(QStringLiteral("<b>bold"));
    ScanProjectFile(File, smAutomatic);
    const QLabel* Shown = Named<QLabel>(*frmScanWizard, "lblFilename");
    EXPECT_EQ(Shown->text(), File);
    // Laid out as the name written plainly is, not as the bold remainder of it.
    QLabel Plain;
    Plain.setFont(Shown->font());
    Plain.setTextFormat(Qt::PlainText);
    Plain.setText(File);
    EXPECT_EQ(Shown->sizeHint(), Plain.sizeHint());
}

TEST_F(ScanWindowsTest, ThePromptCutsALongFileNameInTheMiddleAndShowsItWholeInItsToolTip) {
    const QString File = OneHitProject(QStringLiteral("attendance-vb6/") + QString(120, u'x'));
    PromptAnswers Answers;
    QString Shown, Tip;
    Answers.Add([&](TfrmScanHit& P) {
        const QLabel* Name = Named<QLabel>(P, "lblFilename");
        Shown = Name->text();
        Tip = Name->toolTip();
        EXPECT_LE(Name->fontMetrics().horizontalAdvance(Shown), Name->contentsRect().width());
        EXPECT_LE(Name->mapTo(&P, Name->rect().topRight()).x(), P.width());
        Named<QPushButton>(P, "btnNext")->click();
    });
    ScanProjectFile(File, smManual);
    EXPECT_TRUE(Tip.startsWith(Dir.path())) << Tip.toStdString();
    EXPECT_TRUE(Tip.endsWith(QStringLiteral("/M.BAS"))) << Tip.toStdString();
    ASSERT_TRUE(Shown.contains(u'…')) << Shown.toStdString();
    EXPECT_TRUE(Tip.startsWith(Shown.section(u'…', 0, 0)));
    EXPECT_TRUE(Tip.endsWith(Shown.section(u'…', 1)));
    EXPECT_TRUE(Shown.endsWith(QStringLiteral("M.BAS")));
}

TEST_F(ScanWindowsTest, TheListOfAddOnsShowsAgainAfterADatabaseWasPicked) {
    ScanProjectFile(SampleProject(), smAutomatic);
    const QString Database = CopyDatabase(Dir.filePath(QStringLiteral("db")), "nwind.mdb");
    QStringList Messages;
    testsupport::AnswerNextModal([&](QWidget*) {
        {
            TMessageBoxAnswers Answers(Messages); // forms read without their property values
            Pick(Database);
        }
        EXPECT_TRUE(Named<QListWidget>(*frmScanWizard, "lstVBXs")->isHidden());
        Named<QPushButton>(*frmScanWizard, "btnCancel")->click();
    });
    Main().sbScanClick();

    // A new showing, and a re-scan of the project, which reads no project file.
    auto AddOns = [](QStringList* Shown) {
        testsupport::AnswerNextModal([=](QWidget*) {
            TfrmScanWizard& W = *frmScanWizard;
            EXPECT_TRUE(Named<QLabel>(W, "lblVBXs")->isVisible());
            EXPECT_TRUE(Named<QListWidget>(W, "lstVBXs")->isVisible());
            for (int I = 0; I < Named<QListWidget>(W, "lstVBXs")->count(); ++I)
                *Shown << Named<QListWidget>(W, "lstVBXs")->item(I)->text();
            Named<QPushButton>(W, "btnCancel")->click();
        });
    };
    QStringList New, Rescan;
    AddOns(&New);
    Main().sbScanClick();
    EXPECT_TRUE(New.isEmpty());
    Named<QTreeWidget>(Main(), "tvwFiles")->setCurrentItem(Root()->child(0));
    AddOns(&Rescan);
    Main().popScanProjectClick();
    ASSERT_EQ(Rescan.size(), 1);
    EXPECT_TRUE(Rescan[0].endsWith(QStringLiteral("MSCOMCT2.OCX"))) << Rescan[0].toStdString();
    EXPECT_TRUE(testsupport::AllAnswered());
}

} // namespace
