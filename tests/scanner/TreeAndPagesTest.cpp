#include "platform/ui/Text.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/DocumentTree.h"
#include "scanner/Main.h"
#include "scanner/ResultPages.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/Named.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

using testsupport::Named;

using namespace scannertest;

namespace {

QStringList Texts(QTreeWidgetItem* Node) {
    QStringList Out;
    for (int I = 0; I < Node->childCount(); ++I)
        Out << Node->child(I)->text(0);
    return Out;
}

QStringList Row(QTreeWidgetItem* Item) {
    QStringList Out;
    for (int I = 0; I < Item->columnCount(); ++I)
        Out << Item->text(I);
    return Out;
}

// A main window showing the sample document, read from a file as Open reads it.
class TreeAndPagesTest : public ::testing::Test {
protected:
    TreeAndPagesTest() {
        Main = std::make_unique<TfrmMain>(ToFileName(Dir.path()) + "/", QStringList());
        const std::string Name = ToFileName(Dir.filePath(QStringLiteral("audit.qxs")));
        SaveScanDocument(*SampleDocument(), Name);
        Main->OpenFile(Name);
        Root = Named<QTreeWidget>(*Main, "tvwFiles")->topLevelItem(0);
        Project = Child(Root, QStringLiteral("Calendar.vbp"));
        Form = Child(Project, QStringLiteral("frmMain.frm"));
        Database = Child(Root, QStringLiteral("nwind.mdb"));
        Orders = Child(Database, QStringLiteral("Orders"));
    }
    ~TreeAndPagesTest() override { Modified = false; }

    QString Page() const { return Named<QStackedWidget>(*Main, "nteResults")->currentWidget()->objectName(); }
    void Select(QTreeWidgetItem* Node) { Named<QTreeWidget>(*Main, "tvwFiles")->setCurrentItem(Node); }
    void SelectRow(QTreeWidget* List, int Index) {
        List->clearSelection();
        List->topLevelItem(Index)->setSelected(true);
    }
    TModuleInfo& FormModule() const { return *As<TModuleInfo>(TDocumentTree::Data(Form)); }

    QTemporaryDir Dir;
    TfrmKeyWords KeyWords;
    TfrmOptions Options;
    TfrmHit Hit;
    std::unique_ptr<TfrmMain> Main;
    QTreeWidgetItem* Root = nullptr;
    QTreeWidgetItem* Project = nullptr;
    QTreeWidgetItem* Form = nullptr;
    QTreeWidgetItem* Database = nullptr;
    QTreeWidgetItem* Orders = nullptr;
};

TEST_F(TreeAndPagesTest, AnOpenedDocumentShowsProjectsThenDatabasesWithTheirChildren) {
    ASSERT_NE(Form, nullptr);
    ASSERT_NE(Orders, nullptr);
    EXPECT_EQ(Root->text(0), QStringLiteral("Audit"));
    EXPECT_EQ(Texts(Root), QStringList({QStringLiteral("Calendar.vbp"), QStringLiteral("nwind.mdb")}));
    EXPECT_EQ(Texts(Project), QStringList({QStringLiteral("frmMain.frm"), QStringLiteral("modDates.bas"),
                                           QStringLiteral("MSCAL.OCX")}));
    EXPECT_EQ(Texts(Database),
              QStringList({QStringLiteral("Orders"), QStringLiteral("Sales"), QStringLiteral("Utils")}));
    EXPECT_TRUE(Root->isExpanded());
    EXPECT_FALSE(Project->isExpanded());
    EXPECT_EQ(Document->PageIndex, 1);
    EXPECT_FALSE(Modified);

    // Images come from the objects; rating marks (Compliant + 1) only on modules and objects.
    const struct {
        QTreeWidgetItem* Node;
        int Image, State;
    } Expected[] = {
        {Root, 0, NoState},
        {Project, 1, NoState},
        {Form, 7, ctNo + 1},
        {Child(Project, QStringLiteral("modDates.bas")), 3, ctYes + 1},
        {Child(Project, QStringLiteral("MSCAL.OCX")), 6, NoState},
        {Database, 25, NoState},
        {Orders, 18, ctNo + 1},
        {Child(Database, QStringLiteral("Sales")), 12, ctYes + 1},
    };
    for (const auto& E : Expected) {
        SCOPED_TRACE(E.Node->text(0).toStdString());
        EXPECT_EQ(TDocumentTree::Image(E.Node), E.Image);
        EXPECT_EQ(TDocumentTree::State(E.Node), E.State);
    }
    // Only the document may be renamed in place.
    EXPECT_TRUE(Root->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(Project->flags() & Qt::ItemIsEditable);
}

TEST_F(TreeAndPagesTest, SummaryPagesShowTheSelectedNodesFigures) {
    // Opening leaves the document's node current, with its page shown.
    EXPECT_EQ(Named<QTreeWidget>(*Main, "tvwFiles")->currentItem(), Root);
    EXPECT_EQ(Page(), QStringLiteral("Quorvex"));
    Select(Root);
    EXPECT_EQ(Page(), QStringLiteral("Quorvex"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblQvxModCount")->text(), QStringLiteral("2"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblQvxLinesOfCode")->text(), QStringLiteral("167"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblQvxCompliant")->text(), QStringLiteral("No"));
    EXPECT_EQ(Named<QLabel>(*Main, "imgQvxCompliant")->pixmap().toImage(),
              Main->imlHits.Pixmap(ctNo + 4).toImage());
    EXPECT_EQ(Main->TreePopup(), nullptr);

    Select(Project);
    EXPECT_EQ(Page(), QStringLiteral("Project"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblPrjFileName")->text(), QStringLiteral("/src/cal/Calendar.vbp"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblPrjModCount")->text(), QStringLiteral("2"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblPrjLinesOfCode")->text(), QStringLiteral("160"));
    EXPECT_EQ(Main->TreePopup(), Main->popProject);

    Select(Database);
    EXPECT_EQ(Page(), QStringLiteral("MDB"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblMDBFilename")->text(), QStringLiteral("/data/nwind.mdb"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblMDBTabCount")->text(), QStringLiteral("1"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblMDBQryCount")->text(), QStringLiteral("1"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblMDBModCount")->text(), QStringLiteral("1"));
    // Names and version texts come from files: markup in them is shown as it stands.
    for (const char* Label : {"lblQvxFilename", "lblPrjFileName", "lblMDBFilename", "lblFilename",
                              "lblProduct", "lblCompany", "lblVersion", "lblDescription"})
        EXPECT_EQ(Named<QLabel>(*Main, Label)->textFormat(), Qt::PlainText) << Label;
    EXPECT_EQ(Named<QLabel>(*Main, "lblMDBLinesOfCode")->text(), QStringLiteral("7"));
    EXPECT_EQ(Named<QLabel>(*Main, "lblMDBCompliant")->text(), QStringLiteral("No"));
}

TEST_F(TreeAndPagesTest, ANewDocumentShowsTheBlankPageUntilItHoldsSomething) {
    Main->FileNew();
    Select(Named<QTreeWidget>(*Main, "tvwFiles")->topLevelItem(0));
    EXPECT_EQ(Page(), QStringLiteral("Blank"));
    Document->AddProject(new TProjectInfo);
    Select(nullptr);
    Select(Named<QTreeWidget>(*Main, "tvwFiles")->topLevelItem(0));
    EXPECT_EQ(Page(), QStringLiteral("Quorvex"));
}

TEST_F(TreeAndPagesTest, HitListsShowOneRowPerHitWithItsRating) {
    Select(Form);
    EXPECT_EQ(Page(), QStringLiteral("Module"));
    EXPECT_EQ(Main->TreePopup(), Main->popModule);
    QTreeWidget* List = Named<QTreeWidget>(*Main, "lvwHits");
    ASSERT_EQ(List->topLevelItemCount(), 2);
    EXPECT_EQ(Row(List->topLevelItem(0)), QStringList({QStringLiteral("DateAdd"), QStringLiteral("4"),
                                                       QStringLiteral("14"), QStringLiteral("Computation")}));
    EXPECT_EQ(RowState(List->topLevelItem(0)), ctNo + 1);
    EXPECT_EQ(RowState(List->topLevelItem(1)), ctMayBe + 1);
    EXPECT_EQ(List->topLevelItem(0)->textAlignment(2) & Qt::AlignRight, Qt::AlignRight);

    Select(Orders);
    EXPECT_EQ(Page(), QStringLiteral("MDBObject"));
    EXPECT_EQ(Main->TreePopup(), nullptr);
    ASSERT_EQ(Named<QTreeWidget>(*Main, "lvwMDBHits")->topLevelItemCount(), 1);
    EXPECT_EQ(Row(Named<QTreeWidget>(*Main, "lvwMDBHits")->topLevelItem(0)),
              QStringList({QStringLiteral("OrderDate"), QStringLiteral("OrderDate"), QStringLiteral("0"),
                           QStringLiteral("3"), QString()}));
}

TEST_F(TreeAndPagesTest, EditingAHitReRatesItsRowAndNode) {
    Select(Form);
    QTreeWidget* List = Named<QTreeWidget>(*Main, "lvwHits");
    // Without a selected row nothing happens.
    Main->popHitEditClick();
    EXPECT_FALSE(Modified);

    // The Maybe hit becomes Yes; the module stays No because of its other hit.
    SelectRow(List, 1);
    QString Filename, Word;
    testsupport::AnswerNextModal([&](QWidget*) {
        Filename = Named<QLabel>(Hit, "lblFilename")->text();
        Word = Named<QLabel>(Hit, "lblWord")->text();
        EXPECT_FALSE(Named<QLabel>(Hit, "lblField")->isVisible());
        Named<QRadioButton>(Hit, "rdoYes")->setChecked(true);
        Named<QComboBox>(Hit, "cboErrorType")->setCurrentIndex(2);
        Named<QPushButton>(Hit, "cmdClose")->click();
    });
    Main->popHitEditClick();
    EXPECT_EQ(Filename, QStringLiteral("/src/cal/frmMain.frm"));
    EXPECT_EQ(Word, QStringLiteral("DateDiff"));
    EXPECT_EQ(FormModule().GetHit(1)->Compliant, ctYes);
    EXPECT_EQ(FormModule().GetHit(1)->ErrorType, "Sort");
    EXPECT_EQ(RowState(List->topLevelItem(1)), ctYes + 1);
    EXPECT_EQ(List->topLevelItem(1)->text(3), QStringLiteral("Sort"));
    EXPECT_EQ(TDocumentTree::State(Form), ctNo + 1);
    EXPECT_TRUE(Modified);

    // Cancel changes nothing, whatever was chosen in the dialog.
    SelectRow(List, 0);
    testsupport::AnswerNextModal([&](QWidget*) {
        Named<QRadioButton>(Hit, "rdoYes")->setChecked(true);
        Named<QPushButton>(Hit, "cmdCancel")->click();
    });
    Main->popHitEditClick();
    EXPECT_EQ(FormModule().GetHit(0)->Compliant, ctNo);

    // Now the last No hit becomes Yes, and so does the module.
    testsupport::AnswerNextModal([&](QWidget*) {
        Named<QRadioButton>(Hit, "rdoYes")->setChecked(true);
        Named<QPushButton>(Hit, "cmdClose")->click();
    });
    Main->popHitEditClick();
    EXPECT_EQ(TDocumentTree::State(Form), ctYes + 1);
}

TEST_F(TreeAndPagesTest, EditingADatabaseHitShowsItsField) {
    Select(Orders);
    SelectRow(Named<QTreeWidget>(*Main, "lvwMDBHits"), 0);
    QString Field, Selected;
    testsupport::AnswerNextModal([&](QWidget*) {
        Field =
            Named<QLabel>(Hit, "lblField")->isVisible() ? Named<QLabel>(Hit, "lblField")->text() : QString();
        Selected = Named<QTextEdit>(Hit, "lblLine")->textCursor().selectedText();
        Named<QRadioButton>(Hit, "rdoMaybe")->setChecked(true);
        Named<QPushButton>(Hit, "cmdClose")->click();
    });
    Main->popMDBHitEditClick();
    EXPECT_EQ(Field, QStringLiteral("OrderDate"));
    EXPECT_EQ(Selected, QStringLiteral("Date"));
    EXPECT_EQ(TDocumentTree::State(Orders), ctMayBe + 1);
    EXPECT_EQ(Named<QTreeWidget>(*Main, "lvwMDBHits")->topLevelItem(0)->text(4), QString());
}

TEST_F(TreeAndPagesTest, DeletingTheLastHitDropsTheNodeToItsImageWithoutHits) {
    Select(Form);
    QTreeWidget* List = Named<QTreeWidget>(*Main, "lvwHits");
    SelectRow(List, 0);
    Main->popHitDeleteClick();
    EXPECT_EQ(FormModule().HitCount(), 1);
    EXPECT_EQ(List->topLevelItemCount(), 1);
    EXPECT_EQ(RowHit(List->topLevelItem(0)), FormModule().GetHit(0));
    EXPECT_EQ(TDocumentTree::Image(Form), 7);
    EXPECT_EQ(TDocumentTree::State(Form), ctMayBe + 1);
    EXPECT_TRUE(Modified);

    SelectRow(List, 0);
    Main->popHitDeleteClick();
    EXPECT_EQ(FormModule().HitCount(), 0);
    EXPECT_EQ(TDocumentTree::Image(Form), 2);
    EXPECT_EQ(FormModule().ImageIndex, 2);
    EXPECT_EQ(TDocumentTree::State(Form), ctYes + 1);

    Select(Orders);
    SelectRow(Named<QTreeWidget>(*Main, "lvwMDBHits"), 0);
    Main->popMDBHitDeleteClick();
    EXPECT_EQ(TDocumentTree::Image(Orders), 11);
    EXPECT_EQ(TDocumentTree::Data(Orders)->ImageIndex, 11);
}

TEST_F(TreeAndPagesTest, DeletingTheLastHitOfANodeWithoutTheHitsImageKeepsItsImage) {
    // A module holding hits under its no-hits image (a scan stopped early) keeps a valid image.
    FormModule().ImageIndex = 2;
    Select(Form);
    for (int I = 0; I < 2; ++I) {
        SelectRow(Named<QTreeWidget>(*Main, "lvwHits"), 0);
        Main->popHitDeleteClick();
    }
    EXPECT_EQ(TDocumentTree::Image(Form), 2);
    EXPECT_EQ(FormModule().ImageIndex, 2);
}

TEST_F(TreeAndPagesTest, DeleteProjectRemovesItFromTreeAndDocument) {
    Select(Database);
    Main->popDeleteProjectClick();
    EXPECT_EQ(Document->MDBCount(), 1);
    EXPECT_FALSE(Modified);

    Select(Project);
    Main->popDeleteProjectClick();
    EXPECT_EQ(Document->ProjectCount(), 0);
    EXPECT_EQ(Texts(Root), QStringList({QStringLiteral("nwind.mdb")}));
    EXPECT_TRUE(Modified);
}

TEST_F(TreeAndPagesTest, RenamingTheRootRenamesTheDocument) {
    Select(Root);
    Named<QTreeWidget>(*Main, "tvwFiles")->editItem(Root);
    auto* Editor = Named<QTreeWidget>(*Main, "tvwFiles")->findChild<QLineEdit*>();
    ASSERT_NE(Editor, nullptr);
    Editor->setText(QStringLiteral("Payroll 1999"));
    QKeyEvent Enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(Editor, &Enter);
    // The item view commits the edit from a queued call.
    QCoreApplication::processEvents();
    EXPECT_EQ(Document->Name, "Payroll 1999");
    EXPECT_EQ(Named<QLabel>(*Main, "lblQvxFilename")->text(), QStringLiteral("Payroll 1999"));
    EXPECT_TRUE(Modified);
}

/// Clicks the right mouse button on Item and opens the context menu there, as the window
/// system does.
void RightClick(QTreeWidget* View, QTreeWidgetItem* Item) {
    const QPoint Pos = View->visualItemRect(Item).center();
    QTest::mouseClick(View->viewport(), Qt::RightButton, {}, Pos);
    QContextMenuEvent Menu(QContextMenuEvent::Mouse, Pos, View->viewport()->mapToGlobal(Pos));
    QApplication::sendEvent(View->viewport(), &Menu);
}

TEST_F(TreeAndPagesTest, EditAfterARatingShowsTheHitChosenByMouseOrKeyboard) {
    Main->show();
    FormModule().GetHit(1)->ErrorType = ""; // as an automatic scan leaves it
    Select(Form);
    QTreeWidget* List = Named<QTreeWidget>(*Main, "lvwHits");
    // The first hit is rated "Branching" after a left click on it.
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {},
                      List->visualItemRect(List->topLevelItem(0)).center());
    testsupport::AnswerNextModal([](QWidget*) {
        Named<QComboBox>(*frmHit, "cboErrorType")->setCurrentIndex(1);
        Named<QPushButton>(*frmHit, "cmdClose")->click();
    });
    Main->popHitEditClick();
    ASSERT_EQ(FormModule().GetHit(0)->ErrorType, "Branching");

    struct TShown {
        QString Word, ErrorType;
    } Shown;
    auto Capture = [&] {
        testsupport::AnswerNextModal([&](QWidget*) {
            Shown = {Named<QLabel>(*frmHit, "lblWord")->text(),
                     Named<QComboBox>(*frmHit, "cboErrorType")->currentText()};
            Named<QPushButton>(*frmHit, "cmdCancel")->click();
        });
    };
    // Down to the next hit, then Edit: that hit, with no error type chosen.
    QTest::keyClick(List, Qt::Key_Down);
    Capture();
    Main->popHitEditClick();
    EXPECT_EQ(Shown.Word, QStringLiteral("DateDiff"));
    EXPECT_EQ(Shown.ErrorType, QString());
    // Edit from the menu opened on the first row by a right click: the first hit again.
    RightClick(List, List->topLevelItem(0));
    ASSERT_TRUE(Main->popHit->isVisible());
    Capture();
    Main->popHit->actions().constFirst()->trigger();
    Main->popHit->hide();
    EXPECT_EQ(Shown.Word, QStringLiteral("DateAdd"));
    EXPECT_EQ(Shown.ErrorType, QStringLiteral("Branching"));
}

TEST_F(TreeAndPagesTest, TheTreeTakesTheWidthTheWindowGainsAndNamesItCutsShowInToolTips) {
    Main->show();
    QApplication::processEvents();
    QTreeWidget* Tree = Named<QTreeWidget>(*Main, "tvwFiles");
    const QWidget* Book = Named<QStackedWidget>(*Main, "nteResults");
    const int BookWidth = Book->width(), TreeWidth = Tree->width(), Gained = 1200 - Main->width();
    Main->resize(1200, 800);
    QApplication::processEvents();
    EXPECT_EQ(Book->width(), BookWidth);
    EXPECT_EQ(Tree->width(), TreeWidth + Gained);
    EXPECT_EQ(Book->x(), Tree->geometry().right() + 1 + 3) << "the 3-pixel splitter lies between";
    EXPECT_EQ(Book->geometry().right(), Named<QSplitter>(*Main, "splResults")->width() - 1);

    auto TipAt = [&](QTreeWidgetItem* Node) {
        QToolTip::hideText();
        const QPoint Pos = Tree->visualItemRect(Node).center();
        QHelpEvent Help(QEvent::ToolTip, Pos, Tree->viewport()->mapToGlobal(Pos));
        QApplication::sendEvent(Tree->viewport(), &Help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // A node of a file names it in full; the document's name shows only when it is cut.
    EXPECT_EQ(TipAt(Root), QString());
    EXPECT_EQ(TipAt(Project), QStringLiteral("/src/cal/Calendar.vbp"));
    const QString Long = QStringLiteral("Attendance audit of the personnel department, second quarter");
    Root->setText(0, Long);
    Main->resize(616, 396);
    QApplication::processEvents();
    EXPECT_EQ(TipAt(Root), Long);
    QToolTip::hideText();

    // A long variable name widens its column; a short one leaves the design width.
    FormModule().GetHit(1)->Variable = "DateDiffBetweenHireDateAndTerminationDate";
    Select(Form);
    QTreeWidget* List = Named<QTreeWidget>(*Main, "lvwHits");
    EXPECT_GE(List->columnWidth(0), List->fontMetrics().horizontalAdvance(
                                        QStringLiteral("DateDiffBetweenHireDateAndTerminationDate")));
    FormModule().GetHit(1)->Variable = "D";
    Select(Project);
    Select(Form);
    EXPECT_EQ(List->columnWidth(0), 80);
}

} // namespace
