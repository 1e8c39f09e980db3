#include "platform/ui/Application.h"
#include "platform/ui/Registry.h"
#include "platform/ui/Text.h"
#include "scanner/DocumentFile.h"
#include "scanner/DocumentTree.h"
#include "scanner/MRUList.h"
#include "scanner/Main.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "streams/Filters.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/FullDisk.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/Named.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using testsupport::Named;

using namespace scannertest;

namespace {

// A main window on a temporary program folder, with the dialogs it uses.
class DocumentCommandsTest : public ::testing::Test {
protected:
    DocumentCommandsTest() {
        TRegIniFile("\\Software\\Brackle\\Quorvex\\VB").EraseSection("MRU Items");
        Program = ToFileName(Dir.path()) + "/";
    }
    ~DocumentCommandsTest() override {
        // A test may have left the document changed; the window goes without asking.
        Modified = false;
    }

    TfrmMain& Open(const QStringList& Arguments = {}) {
        Main.reset();
        Main = std::make_unique<TfrmMain>(Program, Arguments);
        return *Main;
    }
    QString Path(const QString& Name) const { return Dir.filePath(Name); }
    std::string File(const QString& Name) const { return ToFileName(Path(Name)); }
    std::string SaveSample(const QString& Name) {
        SaveScanDocument(*SampleDocument(), File(Name));
        return File(Name);
    }
    // Runs Command as the event loop would, returning the text of the error box it showed.
    template <class F>
    QString ErrorOf(F Command) {
        QString Text;
        testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Text);
        Application->Guard(Command);
        EXPECT_TRUE(testsupport::AllAnswered());
        return Text;
    }
    QString Caption() const { return Main->windowTitle(); }
    QStringList RecentFiles() const {
        QStringList Out;
        for (Longint I = 0; I < Main->MRUFileList->FileNames().Count(); ++I)
            Out << FromFileName(Main->MRUFileList->FileNames()[I]);
        return Out;
    }

    QTemporaryDir Dir;
    std::string Program;
    TfrmKeyWords KeyWords;
    TfrmOptions Options;
    TfrmHit Hit;
    std::unique_ptr<TfrmMain> Main;
};

TEST_F(DocumentCommandsTest, StartsUntitledAndRewritesTheWordListsSortedAtExit) {
    WriteFile(Path(QStringLiteral("KeyWords.TXT")), "Year\r\nDate\r\ndate\nNow\r\n");
    TfrmMain& W = Open();
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - Untitled"));
    ASSERT_EQ(Named<QTreeWidget>(W, "tvwFiles")->topLevelItemCount(), 1);
    EXPECT_EQ(Named<QTreeWidget>(W, "tvwFiles")->topLevelItem(0)->text(0), QStringLiteral("Untitled"));
    EXPECT_EQ(Named<QStackedWidget>(W, "nteResults")->currentWidget()->objectName(), QStringLiteral("Blank"));
    EXPECT_EQ(Entries(*KeyWordList), (std::vector<std::string>{"Date", "Now", "Year"}));
    EXPECT_EQ(ExcludeWordList->Count(), 0);
    EXPECT_EQ(KeyWordFile, Program + "KeyWords.TXT");
    EXPECT_FALSE(Modified);

    Main.reset();
    EXPECT_EQ(ReadFile(Path(QStringLiteral("KeyWords.TXT"))), "Date\r\nNow\r\nYear\r\n");
    EXPECT_EQ(ReadFile(Path(QStringLiteral("ExcWords.TXT"))), "");
    EXPECT_EQ(Document, nullptr);
}

// Closing saves a named document without asking; word-list files that cannot be written
// afterwards are reported in one box and cost the document nothing.
// The word lists compare their Windows-1252 entries as text, by the locale's rules and without
// regard to case: accented letters in either case are one entry, and sort among the plain ones.
TEST_F(DocumentCommandsTest, WordListsCompareTheirEntriesByTheLocalesRules) {
    const QLocale Saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    WriteFile(Path(QStringLiteral("ExcWords.TXT")),
              "zone\r\n\xC9t\xE9\r\nYear\r\n\xE9t\xE9\r\nDate\r\n\xE9T\xC9\r\n");
    Open();
    QLocale::setDefault(Saved);
    EXPECT_EQ(Entries(*ExcludeWordList), (std::vector<std::string>{"Date", "\xC9t\xE9", "Year", "zone"}));
    EXPECT_EQ(ExcludeWordList->IndexOf("\xC9T\xC9"), 1);
    EXPECT_EQ(ExcludeWordList->IndexOf("ete"), -1);
    ExcludeWordList->Add("ETE");
    ExcludeWordList->Add("\xE9t\xE9");
    EXPECT_EQ(Entries(*ExcludeWordList),
              (std::vector<std::string>{"Date", "ETE", "\xC9t\xE9", "Year", "zone"}));
    Main.reset();
    EXPECT_EQ(ReadFile(Path(QStringLiteral("ExcWords.TXT"))), "Date\r\nETE\r\n\xC9t\xE9\r\nYear\r\nzone\r\n");
}

TEST_F(DocumentCommandsTest, ClosingSavesTheDocumentEvenWhenTheWordListsCannotBeWritten) {
    TfrmMain& W = Open();
    const std::string Saved = SaveSample(QStringLiteral("audit.qxs"));
    W.OpenFile(Saved);
    W.show();
    Document->Name = "Kept";
    Modified = true;
    ASSERT_TRUE(W.close());
    QDir(Dir.path()).mkdir(QStringLiteral("KeyWords.TXT"));
    QDir(Dir.path()).mkdir(QStringLiteral("ExcWords.TXT"));
    QString Text;
    testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Text);
    Main.reset();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Text, FromFileName("Cannot create file " + Program +
                                 "ExcWords.TXT: it is a folder, not a file\nCannot create file " + Program +
                                 "KeyWords.TXT: it is a folder, not a file"));
    EXPECT_EQ(LoadScanDocument(Saved)->Name, "Kept");
    EXPECT_EQ(Document, nullptr);
}

TEST_F(DocumentCommandsTest, TheMainWindowOpensCentredAtItsDesignSize) {
    TfrmMain& W = Open();
    W.show();
    EXPECT_EQ(W.size(), QSize(616, 396));
    // Centred up to the window frame, which is not known before the window shows.
    const QPoint Off = W.frameGeometry().center() - W.screen()->availableGeometry().center();
    EXPECT_LE(std::abs(Off.x()), W.frameGeometry().width() - W.width());
    EXPECT_LE(std::abs(Off.y()), W.frameGeometry().height() - W.height());
}

TEST_F(DocumentCommandsTest, TheFirstArgumentOpensAnExistingDocumentOnly) {
    Open({Path(QStringLiteral("missing.qxs")), QStringLiteral("extra")});
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - Untitled"));
    EXPECT_TRUE(testsupport::AllAnswered());

    const std::string Saved = SaveSample(QStringLiteral("audit.qxs"));
    Open({FromFileName(Saved), Path(QStringLiteral("ignored.qxs"))});
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - ") + FromFileName(Saved));
    EXPECT_EQ(Document->Name, "Audit");
    EXPECT_EQ(RecentFiles(), QStringList({FromFileName(Saved)}));
}

TEST_F(DocumentCommandsTest, SaveAsAddsTheExtensionOnlyWhenTheFileNameHasNone) {
    TfrmMain& W = Open();
    QDir(Dir.path()).mkdir(QStringLiteral("plain"));
    QDir(Dir.path()).mkdir(QStringLiteral("my.docs"));
    Modified = true;
    AnswerFileDialog(Path(QStringLiteral("plain/audit")));
    W.FileSaveAs();
    EXPECT_EQ(W.CurrentFileName(), File(QStringLiteral("plain/audit.qxs")));
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - ") + Path(QStringLiteral("plain/audit.qxs")));
    EXPECT_FALSE(Modified);
    EXPECT_EQ(LoadScanDocument(W.CurrentFileName())->Name, "Untitled");

    // A dot in a folder name does not count as the file's extension; one in the name does.
    AnswerFileDialog(Path(QStringLiteral("my.docs/audit")));
    W.FileSaveAs();
    EXPECT_EQ(W.CurrentFileName(), File(QStringLiteral("my.docs/audit.qxs")));
    AnswerFileDialog(Path(QStringLiteral("my.docs/audit.v2")));
    W.FileSaveAs();
    EXPECT_EQ(W.CurrentFileName(), File(QStringLiteral("my.docs/audit.v2")));
    EXPECT_EQ(LoadScanDocument(W.CurrentFileName())->Name, "Untitled");
    // Saving does not touch the recent files.
    EXPECT_TRUE(RecentFiles().isEmpty());
}

// A name typed without extension stands for the document file already there, whatever the
// letter case of its extension: Save As asks before replacing it, Open finds it.
TEST_F(DocumentCommandsTest, SaveAsAsksBeforeReplacingAndOpenFindsTheFileTypedWithoutExtension) {
    TfrmMain& W = Open();
    for (const QString& Existing : {QStringLiteral("upper/audit.QXS"), QStringLiteral("lower/audit.qxs")}) {
        const QString Folder = Existing.section(u'/', 0, 0);
        QDir(Dir.path()).mkdir(Folder);
        const std::string Saved = SaveSample(Existing);
        const std::string Before = ReadFile(Path(Existing));
        const QString Typed = Path(Folder + QStringLiteral("/audit"));
        Document->Name = "Replacement";
        Modified = true;

        // No leaves the file alone; the dialog stays until it is cancelled, which cancels Save As.
        QString Question;
        testsupport::AnswerNextModal([&](QWidget* Dialog) {
            testsupport::AnswerNextMessageBox(QMessageBox::No, &Question);
            auto* D = qobject_cast<QFileDialog*>(Dialog);
            D->selectFile(Typed);
            static_cast<QDialog*>(D)->accept();
            D->reject();
        });
        EXPECT_THROW(W.FileSaveAs(), EAbort);
        EXPECT_TRUE(testsupport::AllAnswered());
        EXPECT_TRUE(Question.startsWith(Existing.section(u'/', 1) + QStringLiteral(" already exists.")))
            << Question.toStdString();
        EXPECT_EQ(ReadFile(Path(Existing)), Before);
        EXPECT_TRUE(Modified);
        EXPECT_EQ(QDir(Path(Folder)).entryList(QDir::Files), QStringList({Existing.section(u'/', 1)}));

        testsupport::AnswerNextModal([&](QWidget* Dialog) {
            testsupport::AnswerNextMessageBox(QMessageBox::Yes);
            auto* D = qobject_cast<QFileDialog*>(Dialog);
            D->selectFile(Typed);
            static_cast<QDialog*>(D)->accept();
        });
        W.FileSaveAs();
        EXPECT_TRUE(testsupport::AllAnswered());
        EXPECT_EQ(W.CurrentFileName(), Saved);
        EXPECT_EQ(LoadScanDocument(Saved)->Name, "Replacement");
        EXPECT_EQ(QDir(Path(Folder)).entryList(QDir::Files), QStringList({Existing.section(u'/', 1)}));

        W.FileNew();
        AnswerFileDialog(Typed);
        W.FileOpen();
        EXPECT_TRUE(testsupport::AllAnswered());
        EXPECT_EQ(W.CurrentFileName(), Saved);
        EXPECT_EQ(Document->Name, "Replacement");
    }
}

TEST_F(DocumentCommandsTest, AFailedSaveKeepsTheChangesMarkedAndThePreviousFile) {
    TfrmMain& W = Open();
    const std::string Saved = SaveSample(QStringLiteral("audit.qxs"));
    W.OpenFile(Saved);
    const std::string Before = ReadFile(FromFileName(Saved));
    Document->Name = "Renamed";
    Modified = true;
    AnswerFileDialog(Path(QStringLiteral("gone/audit.qxs")));
    EXPECT_EQ(ErrorOf([&] { W.FileSaveAs(); }), QStringLiteral("Cannot create file ") +
                                                    Path(QStringLiteral("gone/audit.qxs")) +
                                                    QStringLiteral(" (No such file or directory)"));
    EXPECT_TRUE(Modified);
    EXPECT_EQ(W.CurrentFileName(), File(QStringLiteral("gone/audit.qxs")));
    EXPECT_EQ(ReadFile(FromFileName(Saved)), Before);
}

// Save on a disk that is full: the error box names the file and why, the changes stay marked and
// the file saved before is unchanged, with nothing left beside it.
class FullDiskSaveTest : public DocumentCommandsTest,
                         public ::testing::WithParamInterface<testsupport::TFullDisk> {};

TEST_P(FullDiskSaveTest, KeepsTheSavedFileAndTheChanges) {
    QDir(Dir.path()).mkdir(QStringLiteral("full"));
    const std::string Saved = File(QStringLiteral("full/audit.qxs"));
    testsupport::TFullDiskFolder Full(GetParam(), File(QStringLiteral("full")), 64 * 1024);
    if (!Full.Ready())
        GTEST_SKIP() << Full.Problem();
    TfrmMain& W = Open();
    SaveScanDocument(*SampleDocument(), Saved);
    W.OpenFile(Saved);
    const std::string Before = ReadFile(FromFileName(Saved));
    TModuleInfo& Module = *Document->GetProject(0)->GetModule(0);
    for (int I = 0; I < 2000; ++I) // some 100 KB of hits
        Module.AddHit(new THitInfo(*Module.GetHit(0)));
    Modified = true;
    EXPECT_TRUE(
        ErrorOf([&] {
            W.FileSave();
        }).startsWith(QStringLiteral("Cannot write file ") + FromFileName(Saved) + QStringLiteral(" (")));
    EXPECT_TRUE(Modified);
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - ") + FromFileName(Saved));
    EXPECT_EQ(ReadFile(FromFileName(Saved)), Before);
    EXPECT_EQ(QDir(Path(QStringLiteral("full"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(DocumentCommandsTest, FullDiskSaveTest,
                         ::testing::Values(testsupport::TFullDisk::Tmpfs,
                                           testsupport::TFullDisk::FileSizeLimit),
                         [](const auto& Info) { return std::string(testsupport::FullDiskName(Info.param)); });

TEST_F(DocumentCommandsTest, OpenFailuresKeepTheDocumentItsTreeAndTheRecentFiles) {
    TfrmMain& W = Open();
    const std::string Saved = SaveSample(QStringLiteral("audit.qxs"));
    W.OpenFile(Saved);
    TQuorvex* Shown = Document.get();

    const std::string Good = ReadFile(FromFileName(Saved));
    WriteFile(Path(QStringLiteral("bogus.qxs")), "\x06TBogus");
    WriteFile(Path(QStringLiteral("short.qxs")), Good.substr(0, Good.size() / 2));
    {
        TProjectInfo Project;
        TBufFileStream Stream(File(QStringLiteral("project.qxs")), fmCreate, 4096);
        Stream.WriteObject(&Project);
        Stream.FlushBuffer();
    }
    auto NoDocument = [&](const char* Name, const char* Why) {
        return u'\'' + Path(QString::fromLatin1(Name)) +
               QStringLiteral("' is damaged or not a scan document (") + QString::fromLatin1(Why) +
               QStringLiteral(").");
    };
    const std::pair<QString, QString> Cases[] = {
        {QStringLiteral("missing.qxs"),
         QStringLiteral("Cannot open file ") + Path(QStringLiteral("missing.qxs"))},
        {QStringLiteral("bogus.qxs"), NoDocument("bogus.qxs", "TBogus not registered as streamable")},
        {QStringLiteral("project.qxs"), NoDocument("project.qxs", "Invalid class typecast")},
        {QStringLiteral("short.qxs"), NoDocument("short.qxs", "Stream read error")},
    };
    for (const auto& [Name, Message] : Cases) {
        SCOPED_TRACE(Name.toStdString());
        EXPECT_EQ(ErrorOf([&] { W.OpenFile(File(Name)); }), Message);
        EXPECT_EQ(Document.get(), Shown);
        EXPECT_EQ(Caption(), QStringLiteral("Quorvex - ") + FromFileName(Saved));
        EXPECT_EQ(RecentFiles(), QStringList({FromFileName(Saved)}));
        QTreeWidgetItem* Root = Named<QTreeWidget>(W, "tvwFiles")->topLevelItem(0);
        ASSERT_NE(Root, nullptr);
        EXPECT_EQ(TDocumentTree::Data(Root), Shown);
        EXPECT_EQ(Root->childCount(), 2);
    }
}

TEST_F(DocumentCommandsTest, ReopeningTheOpenFileDoesNothingAfterTheQuestion) {
    TfrmMain& W = Open();
    const std::string Saved = SaveSample(QStringLiteral("audit.qxs"));
    W.OpenFile(Saved);
    TQuorvex* Shown = Document.get();
    Modified = true;
    testsupport::AnswerNextModal([&](QWidget* Box) {
        AnswerFileDialog(FromFileName(Saved));
        qobject_cast<QMessageBox*>(Box)->button(QMessageBox::No)->click();
    });
    W.FileOpen();
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Document.get(), Shown);
    EXPECT_TRUE(Modified);
}

TEST_F(DocumentCommandsTest, NewAsksBeforeDroppingChangesUnlessAutoSaveIsOn) {
    TfrmMain& W = Open();
    Document->Name = "Work";
    Modified = true;
    QString Question;
    testsupport::AnswerNextMessageBox(QMessageBox::No, &Question);
    W.FileNew();
    EXPECT_EQ(Question, QStringLiteral("Do you wish to save changes."));
    EXPECT_EQ(Document->Name, "Untitled");
    EXPECT_FALSE(Modified);

    // Yes with an untitled document asks for a name; cancelling that cancels New.
    Document->Name = "Work";
    Modified = true;
    testsupport::AnswerNextModal([](QWidget* Box) {
        CancelFileDialog();
        qobject_cast<QMessageBox*>(Box)->button(QMessageBox::Yes)->click();
    });
    Application->Guard([&] { W.FileNew(); });
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_EQ(Document->Name, "Work");
    EXPECT_TRUE(Modified);

    // With AutoSave the name is asked for at once, without the question.
    Document->AutoSave = true;
    AnswerFileDialog(Path(QStringLiteral("work")));
    W.FileNew();
    EXPECT_EQ(LoadScanDocument(File(QStringLiteral("work.qxs")))->Name, "Work");
    EXPECT_EQ(Document->Name, "Untitled");
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - Untitled"));
}

TEST_F(DocumentCommandsTest, ClosingStaysOpenWhenTheSaveIsCancelledOrFails) {
    TfrmMain& W = Open();
    W.show();
    Modified = true;
    Document->AutoSave = true;
    CancelFileDialog();
    EXPECT_FALSE(W.close());
    EXPECT_TRUE(W.isVisible());

    AnswerFileDialog(Path(QStringLiteral("gone/x.qxs")));
    testsupport::AnswerNextMessageBox(QMessageBox::Ok);
    EXPECT_FALSE(W.close());
    EXPECT_TRUE(testsupport::AllAnswered());
    EXPECT_TRUE(Modified);

    // An untitled document without AutoSave is asked about; No closes without saving.
    Document->AutoSave = false;
    W.OpenFile(SaveSample(QStringLiteral("a.qxs")));
    W.FileNew();
    Modified = true;
    testsupport::AnswerNextMessageBox(QMessageBox::No);
    EXPECT_TRUE(W.close());
}

TEST_F(DocumentCommandsTest, ARecentFileOpensAfterNewAndAMissingOneLeavesTheNewDocument) {
    TfrmMain& W = Open();
    const std::string A = SaveSample(QStringLiteral("a.qxs"));
    const std::string B = SaveSample(QStringLiteral("b.qxs"));
    W.OpenFile(A);
    W.OpenFile(B);
    QList<QAction*> Items = Named<QMenu>(W, "FileMenu")->actions();
    ASSERT_EQ(Items.last()->text(), QStringLiteral("&2 ") + FromFileName(A));
    Items.last()->trigger();
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - ") + FromFileName(A));
    EXPECT_EQ(RecentFiles(), QStringList({FromFileName(A), FromFileName(B)}));

    QFile::remove(FromFileName(B));
    Items = Named<QMenu>(W, "FileMenu")->actions();
    QString Text;
    testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Text);
    Items.last()->trigger();
    EXPECT_EQ(Text, QStringLiteral("Cannot open file ") + FromFileName(B));
    EXPECT_EQ(Caption(), QStringLiteral("Quorvex - Untitled"));
    EXPECT_EQ(Named<QTreeWidget>(W, "tvwFiles")->topLevelItemCount(), 1);
    EXPECT_EQ(RecentFiles(), QStringList({FromFileName(A)}));
}

TEST_F(DocumentCommandsTest, TheWordListEditorSortsAndDropsDuplicatesOnOkOnly) {
    WriteFile(Path(QStringLiteral("KeyWords.TXT")), "Now\r\nDate\r\n");
    TfrmMain& W = Open();
    QString Shown, Caption;
    testsupport::AnswerNextModal([&](QWidget*) {
        Shown = Named<QPlainTextEdit>(KeyWords, "tblWords")->toPlainText();
        Caption = KeyWords.windowTitle();
        Named<QPlainTextEdit>(KeyWords, "tblWords")->setPlainText(QStringLiteral("zeta\nAlpha\nalpha\n"));
        Named<QPushButton>(KeyWords, "cmdOk")->click();
    });
    W.sbKeyWordsClick();
    EXPECT_EQ(Shown, QStringLiteral("Date\nNow"));
    EXPECT_EQ(Caption, QStringLiteral("Maintain Keyword List"));
    EXPECT_EQ(Entries(*KeyWordList), (std::vector<std::string>{"Alpha", "zeta"}));
    EXPECT_EQ(ReadFile(Path(QStringLiteral("KeyWords.TXT"))), "zeta\r\nAlpha\r\nalpha\r\n");

    ExcludeWordList->Add("Nowhere");
    testsupport::AnswerNextModal([&](QWidget*) {
        Caption = KeyWords.windowTitle();
        Named<QPlainTextEdit>(KeyWords, "tblWords")->setPlainText(QStringLiteral("Other"));
        Named<QPushButton>(KeyWords, "cmdCancel")->click();
    });
    W.sbExcludeWordsClick();
    EXPECT_EQ(Caption, QStringLiteral("Maintain Exclusion Word List"));
    EXPECT_EQ(Entries(*ExcludeWordList), std::vector<std::string>{"Nowhere"});
    EXPECT_EQ(ReadFile(Path(QStringLiteral("ExcWords.TXT"))), "Nowhere\r\n");
}

TEST_F(DocumentCommandsTest, OptionsRenameTheDocumentAndItsRootNode) {
    TfrmMain& W = Open();
    testsupport::AnswerNextModal([&](QWidget*) {
        EXPECT_EQ(Named<QLineEdit>(Options, "txtName")->text(), QStringLiteral("Untitled"));
        Named<QLineEdit>(Options, "txtName")->clear();
        Named<QCheckBox>(Options, "chkAutoSave")->setChecked(true);
        Named<QPushButton>(Options, "OKBtn")->click();
    });
    W.sbOptionsClick();
    EXPECT_EQ(Document->Name, "");
    EXPECT_TRUE(Document->AutoSave);
    EXPECT_EQ(Named<QTreeWidget>(W, "tvwFiles")->topLevelItem(0)->text(0), QString());
    EXPECT_TRUE(Modified);

    Modified = false;
    testsupport::AnswerNextModal([&](QWidget*) {
        Named<QLineEdit>(Options, "txtName")->setText(QStringLiteral("Ignored"));
        Named<QPushButton>(Options, "CancelBtn")->click();
    });
    W.sbOptionsClick();
    EXPECT_EQ(Document->Name, "");
    EXPECT_FALSE(Modified);
}

TEST_F(DocumentCommandsTest, ExportNamesGetTheChosenTypesExtensionWhenTheyHaveNone) {
    EXPECT_EQ(ExportFileName("/out/report", etHTML), "/out/report.HTM");
    EXPECT_EQ(ExportFileName("/out/report", etText), "/out/report.TXT");
    EXPECT_EQ(ExportFileName("/out/report", etCSV), "/out/report.CSV");
    EXPECT_EQ(ExportFileName("/out/report.htm", etCSV), "/out/report.htm");
    EXPECT_EQ(ExportFileName("/out.d/report", etText), "/out.d/report.TXT");
    EXPECT_EQ(WithDefaultExt("/a.b/doc", ".QXS"), "/a.b/doc.QXS");
}

} // namespace
