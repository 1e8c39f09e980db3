#include "components/CDKDir95.h"
#include "components/CDKDirCr.h"
#include "components/CDKDirSe.h"
#include "components/CDKRotat.h"
#include "tests/support/ModalHelper.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::AllAnswered;
using testsupport::AnswerNextMessageBox;
using testsupport::AnswerNextModal;

namespace {
class DirDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.isValid());
        Root = QDir(Temp.path()).canonicalPath();
        ASSERT_TRUE(QDir::setCurrent(Root));
    }
    void TearDown() override { QDir::setCurrent(Saved); }

    // Opens "&New..." on a select dialog, types Entry into "Create Directory" and presses OK.
    // An expected error box is answered and its text returned.
    QString CreateThroughDialog(TDirectorySelectForm& Select, const QString& Entry, bool ExpectError) {
        QString Error;
        AnswerNextModal([&](QWidget* W) {
            auto* Form = qobject_cast<TCreateDirectoryForm*>(W);
            ASSERT_NE(Form, nullptr);
            Form->DirectoryToCreateEdit->setText(Entry);
            if (ExpectError)
                AnswerNextMessageBox(QMessageBox::Ok, &Error);
            Form->OKButton->click();
        });
        Select.CreateDirectoryButton->click();
        EXPECT_TRUE(AllAnswered());
        return Error;
    }

    QString Saved = QDir::currentPath();
    QTemporaryDir Temp;
    QString Root;
};
} // namespace

TEST_F(DirDialogs, CreateDialogStartsFromTheCurrentDirectory) {
    QDir().mkpath(Root + QStringLiteral("/Data"));
    for (const auto& [Current, EditText, LabelText] :
         {std::tuple{Root + QStringLiteral("/Data"), Root + QStringLiteral("/Data/"),
                     Root + QStringLiteral("/Data")},
          std::tuple{QStringLiteral("/"), QStringLiteral("/"), QStringLiteral("/")}}) {
        ASSERT_TRUE(QDir::setCurrent(Current));
        TDirectorySelectForm Select;
        EXPECT_EQ(Select.DirectoryListBox->Directory(), Current);
        QString Edit, Label;
        AnswerNextModal([&](QWidget* W) {
            auto* Form = qobject_cast<TCreateDirectoryForm*>(W);
            ASSERT_NE(Form, nullptr);
            Edit = Form->DirectoryToCreateEdit->text();
            Label = Form->CurrentDirectoryLabel->Caption();
            Form->CancelButton->click();
        });
        Select.CreateDirectoryButton->click();
        ASSERT_TRUE(AllAnswered());
        EXPECT_EQ(Edit, EditText);
        EXPECT_EQ(Label, LabelText);
        EXPECT_EQ(Select.DirectoryListBox->Directory(), Current);
    }
}

TEST_F(DirDialogs, CreateMakesEveryMissingLevelAndMovesTheList) {
    TDirectorySelectForm Select;
    const QString Deep = Root + QStringLiteral("/a/b/c");
    EXPECT_TRUE(CreateThroughDialog(Select, Deep + QLatin1Char('/'), false).isEmpty());
    EXPECT_TRUE(QFileInfo(Deep).isDir());
    EXPECT_EQ(Select.DirectoryListBox->Directory(), Deep);
    EXPECT_EQ(QDir::currentPath(), Deep);

    // An existing folder creates nothing and the list moves to it.
    EXPECT_TRUE(CreateThroughDialog(Select, Root + QStringLiteral("/a"), false).isEmpty());
    EXPECT_EQ(Select.DirectoryListBox->Directory(), Root + QStringLiteral("/a"));
    EXPECT_EQ(QDir(Root + QStringLiteral("/a")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("b")});
}

TEST_F(DirDialogs, FailuresAreReportedAndTheListStays) {
    QFile(Root + QStringLiteral("/plain.txt")).open(QIODevice::WriteOnly);
    TDirectorySelectForm Select;
    EXPECT_EQ(CreateThroughDialog(Select, Root + QStringLiteral("/plain.txt/sub"), true),
              QStringLiteral("Unable to create directory \"") + Root + QStringLiteral("/plain.txt\""));
    EXPECT_EQ(Select.DirectoryListBox->Directory(), Root);

    EXPECT_EQ(CreateThroughDialog(Select, QString(), true), QStringLiteral("Unable to create directory"));
    EXPECT_EQ(Select.DirectoryListBox->Directory(), Root);

    // A bare name has no folder part to start from.
    EXPECT_THROW(CreateDirectoryWithParents(QStringLiteral("loose")), Exception);
    EXPECT_FALSE(QFileInfo::exists(Root + QStringLiteral("/loose")));
}

TEST_F(DirDialogs, ListShowsThePathDownToTheCurrentFolderAndItsVisibleSubfolders) {
    for (const char* Sub : {"work/Zeta", "work/alpha", "work/.hidden", "work/Beta"})
        QDir().mkpath(Root + QLatin1Char('/') + QLatin1String(Sub));
    TCDKWin95DirListBox List;
    List.SetDirectory(Root + QStringLiteral("/work"));
    const int Depth = static_cast<int>(Root.split(QLatin1Char('/'), Qt::SkipEmptyParts).size()) + 1;
    ASSERT_EQ(List.count(), Depth + 1 + 3);
    EXPECT_EQ(List.GetItemPath(0), QStringLiteral("/"));
    EXPECT_EQ(List.GetItemPath(Depth), Root + QStringLiteral("/work"));
    EXPECT_EQ(List.currentRow(), Depth);
    QStringList Subfolders;
    for (int I = Depth + 1; I < List.count(); ++I)
        Subfolders << List.item(I)->text();
    EXPECT_EQ(Subfolders,
              (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta"), QStringLiteral("Zeta")}));
    EXPECT_EQ(List.FolderPicture(TDirectoryListBox::fkClosed).size(), QSize(16, 15));

    // Opening a line moves the list and the process there; a vanished folder is an error.
    List.setCurrentRow(Depth + 1);
    List.OpenCurrent();
    EXPECT_EQ(List.Directory(), Root + QStringLiteral("/work/alpha"));
    EXPECT_EQ(QDir::currentPath(), List.Directory());
    EXPECT_THROW(List.SetDirectory(Root + QStringLiteral("/gone")), EInOutError);
    EXPECT_EQ(List.Directory(), Root + QStringLiteral("/work/alpha"));
}

TEST_F(DirDialogs, SelectDialogAnswersWithTheModalResults) {
    TDirectorySelectForm Select;
    AnswerNextModal([&](QWidget*) { Select.OKButton->click(); });
    EXPECT_EQ(Select.exec(), mrOk);
    AnswerNextModal([&](QWidget*) { Select.CancelButton->click(); });
    EXPECT_EQ(Select.exec(), mrCancel);
    AnswerNextModal([&](QWidget*) { Select.reject(); });
    EXPECT_EQ(Select.exec(), mrCancel);
    EXPECT_TRUE(AllAnswered());
}

// Enter on a highlighted folder presses OK, the default button: the dialog answers with the
// folder that is open, and the highlighted one is not opened. A double click opens it.
TEST_F(DirDialogs, EnterInTheFolderListPressesOkWithoutOpeningTheHighlightedFolder) {
    QDir().mkpath(Root + QStringLiteral("/work/alpha"));
    ASSERT_TRUE(QDir::setCurrent(Root + QStringLiteral("/work")));
    TDirectorySelectForm Select;
    TCDKWin95DirListBox* List = Select.DirectoryListBox;
    const int Alpha = List->currentRow() + 1;
    ASSERT_EQ(List->GetItemPath(Alpha), Root + QStringLiteral("/work/alpha"));
    AnswerNextModal([&](QWidget*) {
        List->setFocus();
        List->setCurrentRow(Alpha);
        QTest::keyClick(List, Qt::Key_Return);
        if (Select.isVisible())
            Select.CancelButton->click();
    });
    EXPECT_EQ(Select.exec(), mrOk);
    EXPECT_EQ(List->Directory(), Root + QStringLiteral("/work"));
    EXPECT_EQ(QDir::currentPath(), Root + QStringLiteral("/work"));

    AnswerNextModal([&](QWidget*) {
        const QPoint At = List->visualItemRect(List->item(Alpha)).center();
        // What the system sends for a double click: press, release, double click, release.
        QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, At);
        QTest::mouseDClick(List->viewport(), Qt::LeftButton, {}, At);
        QTest::mouseRelease(List->viewport(), Qt::LeftButton, {}, At);
        EXPECT_TRUE(Select.isVisible());
        Select.OKButton->click();
    });
    EXPECT_EQ(Select.exec(), mrOk);
    EXPECT_TRUE(AllAnswered());
    EXPECT_EQ(List->Directory(), Root + QStringLiteral("/work/alpha"));
}
