#include "platform/ui/Application.h"
#include "platform/rtl/Classes.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/Text.h"
#include "tests/support/ModalHelper.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    TApplication App;
};

TEST_F(ApplicationTest, ControlAndMenuHintsReachTheHintHandler) {
    QStringList Seen;
    App.OnHint = [&](QObject*) { Seen << App.Hint(); };
    QPushButton Exit, Help;
    SetHint(&Exit, QStringLiteral("Exit"));
    SetHint(&Help, QStringLiteral("Help Contents|"));
    EXPECT_EQ(Exit.toolTip(), QStringLiteral("Exit"));
    EXPECT_EQ(Help.toolTip(), QStringLiteral("Help Contents"));

    QEvent Enter(QEvent::Enter), Leave(QEvent::Leave);
    QCoreApplication::sendEvent(&Exit, &Enter);
    QCoreApplication::sendEvent(&Exit, &Leave);
    QCoreApplication::sendEvent(&Help, &Enter);
    // A menu item's status text arrives as a status-tip event; it is routed, not passed on.
    QStatusTipEvent Tip(QStringLiteral("Create a new file"));
    EXPECT_TRUE(QCoreApplication::sendEvent(&Exit, &Tip));
    EXPECT_EQ(GetLongHint(QStringLiteral("a|b|c")), QStringLiteral("b|c"));
    EXPECT_EQ(Seen, QStringList(
                        {QStringLiteral("Exit"), QString(), QString(), QStringLiteral("Create a new file")}));
}

TEST_F(ApplicationTest, GuardShowsTheMessageOfAnErrorAndStaysSilentOnAbort) {
    QString Text;
    testsupport::AnswerNextMessageBox(QMessageBox::Ok, &Text);
    App.Guard([] { throw EFOpenError("Cannot open file /x/y.qxs"); });
    EXPECT_EQ(Text, QStringLiteral("Cannot open file /x/y.qxs"));
    EXPECT_TRUE(testsupport::AllAnswered());

    // Anything modal that appears during the silent abort is recorded and closed.
    bool BoxShown = false;
    QTimer Watch;
    QObject::connect(&Watch, &QTimer::timeout, [&] {
        if (QWidget* W = QApplication::activeModalWidget()) {
            BoxShown = true;
            W->close();
        }
    });
    Watch.start(1);
    App.Guard([] { Abort(); });
    QCoreApplication::processEvents();
    EXPECT_FALSE(BoxShown);
}

TEST_F(ApplicationTest, HelpContentsShowsTheHelpDocumentOrReportsItMissing) {
    QTemporaryDir Dir;
    const std::string Missing = ToFileName(Dir.filePath(QStringLiteral("Quorvex.html")));
    App.SetHelpFile(Missing);
    try {
        App.HelpContents();
        FAIL() << "a missing help file was not reported";
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message(), "Cannot open file " + Missing);
    }

    QFile Help(FromFileName(Missing));
    ASSERT_TRUE(Help.open(QIODevice::WriteOnly));
    Help.write("<html><body><h1>Contents</h1><p>How to scan.</p></body></html>");
    Help.close();
    App.SetTitle(QStringLiteral("Quorvex for VB"));
    // A main window low on the screen: the help window opens over it, wholly on the screen.
    QWidget Main;
    const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
    Main.setGeometry(Screen.left() + 10, Screen.bottom() - 200, 600, 150);
    Main.show();
    App.SetMainForm(&Main);
    App.HelpContents();
    ASSERT_NE(App.HelpWindow(), nullptr);
    EXPECT_TRUE(App.HelpWindow()->isVisible());
    const QRect Shown = App.HelpWindow()->frameGeometry();
    EXPECT_EQ(App.HelpWindow()->size(), QSize(560, 480));
    EXPECT_TRUE(Screen.contains(Shown)) << Shown.y() << " + " << Shown.height();
    // Over the main window, raised only as far as the screen needs.
    EXPECT_EQ(App.HelpWindow()->geometry().center().x(), Main.geometry().center().x());
    EXPECT_EQ(Shown.bottom(), Screen.bottom());
    EXPECT_EQ(App.HelpWindow()->windowTitle(), QStringLiteral("Quorvex for VB Help"));
    EXPECT_TRUE(App.HelpWindow()->Browser()->toPlainText().contains(QStringLiteral("How to scan.")));
}

TEST(TextTest, MessagesNamingFilesKeepTheirLettersAndModelTextIsWindows1252) {
    // A message naming a UTF-8 file keeps its letters; one quoting model text is Windows-1252.
    EXPECT_EQ(FromMessage("Cannot open file /tmp/caf\xC3\xA9.qxs"),
              QStringLiteral("Cannot open file /tmp/caf") + QChar(0xE9) + QStringLiteral(".qxs"));
    EXPECT_EQ(FromMessage("Sub caf\xE9"), QStringLiteral("Sub caf") + QChar(0xE9));
}

} // namespace
