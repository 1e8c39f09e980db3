// Start-up as the user meets it: the program block runs on a program folder of the test's with a
// document argument, the splash up, and every error box during start-up is answered while the
// splash is still there.
#include "platform/ui/Text.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/Fsplash.h"
#include "scanner/Main.h"
#include "scanner/QuorvexVB.h"
#include "tests/support/Named.h"
#include "tests/support/NamedPipe.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using testsupport::Named;

namespace {

std::string ReadFile(const QString& Name) {
    QFile F(Name);
    return F.open(QIODevice::ReadOnly) ? F.readAll().toStdString() : std::string("<unreadable>");
}

void WriteFile(const QString& Name, const std::string& Bytes) {
    QFile F(Name);
    ASSERT_TRUE(F.open(QIODevice::WriteOnly | QIODevice::Truncate));
    F.write(Bytes.data(), static_cast<qint64>(Bytes.size()));
}

// What one start-up showed.
struct TStartup {
    QStringList Errors;        // the texts of the error boxes, in order
    bool SplashUpAtBox = true; // the splash still existed, hidden or not, when each box showed
    bool BoxOwnedByWindow = false;
    bool BoxOverSplash = true; // each box was placed over the splash, the window active then
    bool BoxesOnScreen = true; // each box lay wholly on its screen's available area
    QStringList Details;       // the texts of the boxes' details areas, where they had one
    bool MainShown = false;
    std::string DocumentName;
    Longint Projects = -1;
    Longint Databases = -1;
    QString Caption;
    int TreeNodes = -1;
    int ExitCode = -1;
};

TfrmSplash* FindSplash() {
    for (QWidget* W : QApplication::topLevelWidgets())
        if (auto* Splash = qobject_cast<TfrmSplash*>(W))
            return Splash;
    return nullptr;
}

// Runs the program block. Error boxes are answered with OK; once the main window is up, the
// state it shows is recorded and the window is closed, which ends the program block.
TStartup Start(const std::string& ProgramDir, const QStringList& Arguments) {
    TStartup Result;
    QElapsedTimer Clock;
    Clock.start();
    QTimer Watch;
    Watch.setInterval(5);
    int BoxTicks = 0;
    QObject::connect(&Watch, &QTimer::timeout, [&] {
        if (Clock.elapsed() > 20000) {
            ADD_FAILURE() << "start-up did not reach the main window";
            Watch.stop();
            if (QWidget* Modal = QApplication::activeModalWidget())
                Modal->close();
            QApplication::exit(1);
            return;
        }
        if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            Box && Box->isVisible()) {
            // The box is answered once it has taken the activation and the program has had a few
            // turns of its event loop to react, as it has while a user reads the box.
            if (QGuiApplication::focusWindow() != Box->windowHandle() || ++BoxTicks < 4)
                return;
            BoxTicks = 0;
            Result.Errors << Box->text();
            Result.BoxesOnScreen =
                Result.BoxesOnScreen && Box->screen()->availableGeometry().contains(Box->frameGeometry());
            if (const auto* Details = Box->findChild<QTextEdit*>(QStringLiteral("memDetails")))
                Result.Details << Details->toPlainText();
            const TfrmSplash* Splash = FindSplash();
            Result.SplashUpAtBox = Result.SplashUpAtBox && Splash != nullptr;
            Result.BoxOwnedByWindow = Result.BoxOwnedByWindow || Box->parent() != nullptr;
            Result.BoxOverSplash = Result.BoxOverSplash && Splash != nullptr &&
                                   Box->windowHandle()->transientParent() == Splash->windowHandle();
            Box->button(QMessageBox::Ok)->click();
        } else if (frmMain != nullptr && frmMain->isVisible() &&
                   QApplication::activeModalWidget() == nullptr) {
            Watch.stop();
            Result.MainShown = true;
            Result.DocumentName = Document->Name;
            Result.Projects = Document->ProjectCount();
            Result.Databases = Document->MDBCount();
            Result.Caption = frmMain->windowTitle();
            const QTreeWidget& Tree = *Named<QTreeWidget>(*frmMain, "tvwFiles");
            Result.TreeNodes = Tree.topLevelItemCount() == 1 ? 1 + Tree.topLevelItem(0)->childCount() : -1;
            frmMain->close();
        }
    });
    Watch.start();
    Result.ExitCode = RunQuorvexVB(ProgramDir, Arguments);
    return Result;
}

// Root reads any file whatever its permission bits; while this lives, the calling thread has given
// up that power, so that a file without read permission is unreadable to it as to a user.
class TWithoutReadOverride {
public:
    TWithoutReadOverride() {
        if (::syscall(SYS_capget, &mHeader, mSaved) != 0)
            return;
        __user_cap_data_struct Reduced[2] = {mSaved[0], mSaved[1]};
        Reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        mChanged = ::syscall(SYS_capset, &mHeader, Reduced) == 0;
    }
    ~TWithoutReadOverride() {
        if (mChanged)
            ::syscall(SYS_capset, &mHeader, mSaved);
    }
    TWithoutReadOverride(const TWithoutReadOverride&) = delete;
    TWithoutReadOverride& operator=(const TWithoutReadOverride&) = delete;

private:
    __user_cap_header_struct mHeader{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct mSaved[2]{};
    bool mChanged = false;
};

class StartupTest : public ::testing::Test {
protected:
    StartupTest() : Program(ToFileName(Dir.path()) + "/") {}

    std::string File(const QString& Name) const { return ToFileName(Dir.filePath(Name)); }
    // A document "Audit" with one project.
    std::string Sample(const QString& Name) {
        TQuorvex Doc;
        Doc.Name = "Audit";
        auto* Project = new TProjectInfo;
        Project->Name = "Calendar.vbp";
        Doc.AddProject(Project);
        SaveScanDocument(Doc, File(Name));
        return File(Name);
    }
    static QString Quoted(const std::string& FileName) { return u'\'' + FromFileName(FileName) + u'\''; }
    // Every box stood over the splash, still there, without being its child, and the program went
    // on to its main window and ended when that closed.
    static void ExpectBoxesOverTheSplashAndUp(const TStartup& Run) {
        EXPECT_TRUE(Run.SplashUpAtBox);
        EXPECT_FALSE(Run.BoxOwnedByWindow);
        EXPECT_TRUE(Run.BoxOverSplash);
        EXPECT_TRUE(Run.BoxesOnScreen);
        EXPECT_TRUE(Run.MainShown);
        EXPECT_EQ(Run.ExitCode, 0);
    }
    static void ExpectUntitled(const TStartup& Run) {
        EXPECT_EQ(Run.DocumentName, "Untitled");
        EXPECT_EQ(Run.Projects, 0);
        EXPECT_EQ(Run.Databases, 0);
        EXPECT_EQ(Run.Caption, QStringLiteral("Quorvex - Untitled"));
        EXPECT_EQ(Run.TreeNodes, 1);
    }

    QTemporaryDir Dir;
    std::string Program;
};

TEST_F(StartupTest, ADocumentNamedOnTheCommandLineOpens) {
    const std::string Good = Sample(QStringLiteral("audit.qxs"));
    const TStartup Run = Start(Program, {FromFileName(Good)});
    EXPECT_TRUE(Run.Errors.isEmpty()) << Run.Errors.join(u'\n').toStdString();
    EXPECT_TRUE(Run.MainShown);
    EXPECT_EQ(Run.DocumentName, "Audit");
    EXPECT_EQ(Run.Caption, QStringLiteral("Quorvex - ") + FromFileName(Good));
}

// Each bad document shows one error box that names the file and why, over the splash, and the
// program goes on with the untitled document.
TEST_F(StartupTest, ABadDocumentShowsItsErrorAndTheProgramStaysUpUntitled) {
    const std::string Good = ReadFile(FromFileName(Sample(QStringLiteral("audit.qxs"))));
    // A damaged copy: the projects container's class-name tag overwritten by control bytes.
    std::string Damaged = Good;
    const std::size_t Tag = Damaged.find("TProjectInfos");
    ASSERT_NE(Tag, std::string::npos);
    Damaged.replace(Tag, 4, "\x03\x01\x7f\\");
    WriteFile(Dir.filePath(QStringLiteral("damaged.qxs")), Damaged);
    WriteFile(Dir.filePath(QStringLiteral("truncated.qxs")), Good.substr(0, Good.size() / 2));
    WriteFile(Dir.filePath(QStringLiteral("empty.qxs")), "");
    QFile::copy(QStringLiteral(QUORVEX_TEST_DATA "/nwind.mdb"), Dir.filePath(QStringLiteral("nwind.mdb")));
    QFile::copy(QStringLiteral(QUORVEX_TEST_DATA "/vbproject/Calendar.vbp"),
                Dir.filePath(QStringLiteral("Calendar.vbp")));
    {
        TProjectInfo Project;
        TBufFileStream Stream(File(QStringLiteral("project.qxs")), fmCreate, 4096);
        Stream.WriteObject(&Project);
        Stream.FlushBuffer();
    }

    const std::pair<QString, QString> Cases[] = {
        {QStringLiteral("damaged.qxs"),
         QStringLiteral("\\x03\\x01\\x7f\\\\jectInfos not registered as streamable")},
        {QStringLiteral("truncated.qxs"), QStringLiteral("Stream read error")},
        {QStringLiteral("empty.qxs"), QStringLiteral("Stream read error")},
        {QStringLiteral("nwind.mdb"), QStringLiteral("\"\" not registered as streamable")},
        // A long "class name" is cut at 40 characters as shown.
        {QStringLiteral("Calendar.vbp"),
         QStringLiteral("ype=Exe\\x0d\\x0aForm=frmMain.frm\\x0d\\x0aM\u2026 not registered as streamable")},
        {QStringLiteral("project.qxs"), QStringLiteral("Invalid class typecast")},
    };
    for (const auto& [Name, Why] : Cases) {
        SCOPED_TRACE(Name.toStdString());
        const TStartup Run = Start(Program, {Dir.filePath(Name)});
        EXPECT_EQ(Run.Errors,
                  QStringList{Quoted(File(Name)) + QStringLiteral(" is damaged or not a scan document (") +
                              Why + QStringLiteral(").")});
        ExpectBoxesOverTheSplashAndUp(Run);
        ExpectUntitled(Run);
    }
}

// A word-list file the program cannot read is reported at start-up and left as it is at exit.
TEST_F(StartupTest, AnUnreadableWordListIsReportedAndKept) {
    const QString KeyWords = Dir.filePath(QStringLiteral("KeyWords.TXT"));
    WriteFile(KeyWords, "Date\r\nNow\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(KeyWords).constData(), 0), 0);
    TStartup Run;
    {
        TWithoutReadOverride NotRoot;
        if (QFile Probe(KeyWords); Probe.open(QIODevice::ReadOnly))
            GTEST_SKIP() << "this process reads files without read permission";
        Run = Start(Program, {FromFileName(Sample(QStringLiteral("audit.qxs")))});
    }
    EXPECT_EQ(Run.Errors, QStringList{QStringLiteral("Cannot open file ") + KeyWords});
    ExpectBoxesOverTheSplashAndUp(Run);
    EXPECT_EQ(Run.DocumentName, "Audit");
    ::chmod(QFile::encodeName(KeyWords).constData(), 0600);
    EXPECT_EQ(ReadFile(KeyWords), "Date\r\nNow\r\n");
}

TEST_F(StartupTest, ClosingTheMainWindowEndsTheProgramWithAReportPreviewOpen) {
    // The report's preview is a window of its own; closing the main window while it shows
    // closes it too, the program ends, and the word lists are written then.
    const std::string Audit = Sample(QStringLiteral("audit.qxs"));
    QElapsedTimer Clock;
    Clock.start();
    QTimer Watch;
    Watch.setInterval(10);
    int Step = 0;
    bool PreviewShown = false;
    QObject::connect(&Watch, &QTimer::timeout, [&] {
        if (Clock.elapsed() > 20000) {
            ADD_FAILURE() << "the program did not end at step " << Step;
            Watch.stop();
            for (QWidget* W : QApplication::topLevelWidgets())
                W->close();
            QApplication::exit(1);
            return;
        }
        if (Step == 0 && frmMain != nullptr && frmMain->isVisible() &&
            QApplication::activeModalWidget() == nullptr) {
            Step = 1;
            // The preview runs its own wait; the watch goes on from inside it.
            QTimer::singleShot(0, frmMain, [] { Named<QAction>(*frmMain, "mnuFilePrint")->trigger(); });
        } else if (Step == 1) {
            for (QWidget* W : QApplication::topLevelWidgets())
                if (W->inherits("TfrmPreview") && W->isVisible()) {
                    PreviewShown = true;
                    Step = 2;
                    KeyWordList->Add("Fiscal");
                    frmMain->close();
                }
        }
    });
    Watch.start();
    EXPECT_EQ(RunQuorvexVB(Program, {FromFileName(Audit)}), 0);
    EXPECT_TRUE(PreviewShown);
    for (QWidget* W : QApplication::topLevelWidgets())
        EXPECT_FALSE(W->isVisible()) << W->metaObject()->className();
    EXPECT_NE(ReadFile(Dir.filePath(QStringLiteral("KeyWords.TXT"))).find("Fiscal\r\n"), std::string::npos);
}

// A document and a word list that are named pipes or folders are refused, each with one box that
// names it and says what it is, rather than waited on or taken for nothing; the program comes up
// untitled and leaves the word list as it was.
TEST_F(StartupTest, PipesAndFoldersNamedAsDocumentOrWordListAreRefusedByName) {
    testsupport::TNamedPipe Document(File(QStringLiteral("pipe.qxs")));
    testsupport::TNamedPipe KeyWords(File(QStringLiteral("KeyWords.TXT")));
    ASSERT_TRUE(Document.Made() && KeyWords.Made());
    const TStartup Run = Start(Program, {FromFileName(Document.Name())});
    EXPECT_FALSE(Document.Released());
    EXPECT_FALSE(KeyWords.Released());
    EXPECT_EQ(Run.Errors, (QStringList{QStringLiteral("Cannot open file ") + FromFileName(KeyWords.Name()) +
                                           QStringLiteral(": it is a named pipe, not a file"),
                                       QStringLiteral("Cannot open file ") + FromFileName(Document.Name()) +
                                           QStringLiteral(": it is a named pipe, not a file")}));
    EXPECT_TRUE(Run.MainShown);
    EXPECT_EQ(Run.ExitCode, 0);
    ExpectUntitled(Run);
    struct stat St {};
    EXPECT_TRUE(::stat(KeyWords.Name().c_str(), &St) == 0 && S_ISFIFO(St.st_mode));

    const QString Folder = Dir.filePath(QStringLiteral("audit.qxs"));
    const QString Excluded = Dir.filePath(QStringLiteral("ExcWords.TXT"));
    QFile::remove(Excluded); // written at the end of the first run
    ASSERT_TRUE(QDir().mkpath(Folder) && QDir().mkpath(Excluded));
    const TStartup Again = Start(Program, {Folder});
    EXPECT_EQ(Again.Errors.mid(1), (QStringList{QStringLiteral("Cannot open file ") + Excluded +
                                                    QStringLiteral(": it is a folder, not a file"),
                                                QStringLiteral("Cannot open file ") + Folder +
                                                    QStringLiteral(": it is a folder, not a file")}));
    EXPECT_EQ(Again.ExitCode, 0);
    ExpectUntitled(Again);
    EXPECT_TRUE(QFileInfo(Excluded).isDir());
}

// A damaged document whose name holds hundreds of line breaks and long runs without a blank:
// its error box, shown before the main window, fits the screen and gives the whole message in
// its details area.
TEST_F(StartupTest, TheErrorBoxOfADocumentWithAHostileNameFitsTheScreen) {
    QString Path = Dir.path();
    for (int I = 0; I < 12; ++I)
        Path += u'/' + QString(60, u'\n') + QString(180, u'x');
    ASSERT_TRUE(QDir().mkpath(Path));
    const QString Name = Path + QStringLiteral("/audit.qxs");
    WriteFile(Name, "");
    const TStartup Run = Start(Program, {Name});
    const QString Message =
        u'\'' + Name + QStringLiteral("' is damaged or not a scan document (Stream read error).");
    ASSERT_EQ(Run.Errors.size(), 1);
    EXPECT_TRUE(Run.Errors[0].startsWith(u'\'' + Dir.path())) << Run.Errors[0].toStdString();
    EXPECT_EQ(Run.Details, QStringList{Message});
    ExpectBoxesOverTheSplashAndUp(Run);
    ExpectUntitled(Run);
}

} // namespace
