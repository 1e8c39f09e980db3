#include "components/CDKDir95.h"
#include "components/CDKDirSe.h"
#include "components/CDKPathE.h"
#include "platform/ui/Application.h"
#include "tests/support/ModalHelper.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using testsupport::AllAnswered;
using testsupport::AnswerNextMessageBox;
using testsupport::AnswerNextModal;

namespace {
// A form holding one loaded path editor and a second focusable control.
struct EditorForm {
    QWidget Form;
    TCDKPathEditor* Editor;
    QLineEdit* Other;
    EditorForm() {
        Form.resize(400, 200);
        Editor = new TCDKPathEditor(&Form);
        Other = new QLineEdit(&Form);
        Other->setGeometry(10, 10, 100, 22);
        NotifyLoaded(&Form);
    }
};

// Restores the process's current directory after a test that browses folders.
struct CurrentDirGuard {
    QString Saved = QDir::currentPath();
    ~CurrentDirGuard() { QDir::setCurrent(Saved); }
};

// What a folder browse showed: answers the "Select a Directory" dialog by choosing Choice.
struct FolderBrowse {
    QString OpenedAt;
    QString Caption;
    bool NewVisible = false;
};

FolderBrowse BrowseFolder(TCDKPathEditor& Editor, const QString& Choice) {
    FolderBrowse Seen;
    AnswerNextModal([&](QWidget* W) {
        auto* Form = qobject_cast<TDirectorySelectForm*>(W);
        ASSERT_NE(Form, nullptr);
        Seen.OpenedAt = Form->DirectoryListBox->Directory();
        Seen.Caption = Form->windowTitle();
        Seen.NewVisible = Form->CreateDirectoryButton->isVisible();
        Form->DirectoryListBox->SetDirectory(Choice);
        Form->OKButton->click();
    });
    Editor.BrowseButton->click();
    EXPECT_TRUE(AllAnswered());
    return Seen;
}

QImage Image(const QPixmap& P) {
    return P.toImage().convertToFormat(QImage::Format_ARGB32);
}
} // namespace

TEST(PathEditor, TextIsCopiedIntoFileNameBeforeOnChangeButFileNameDoesNotTouchText) {
    EditorForm F;
    QString FileNameSeenByOnChange;
    TObject* Sender = nullptr;
    F.Editor->OnChange = [&](TObject* S) {
        Sender = S;
        FileNameSeenByOnChange = F.Editor->GetFileName();
    };
    F.Editor->SetText(QStringLiteral("/data/project.vbp"));
    EXPECT_EQ(F.Editor->GetFileName(), QStringLiteral("/data/project.vbp"));
    EXPECT_EQ(FileNameSeenByOnChange, QStringLiteral("/data/project.vbp"));
    EXPECT_EQ(Sender, F.Editor);

    F.Editor->SetFileName(QStringLiteral("/other.mdb"));
    EXPECT_EQ(F.Editor->GetText(), QStringLiteral("/data/project.vbp"));
    EXPECT_EQ(F.Editor->GetFileName(), QStringLiteral("/other.mdb"));

    // Typing goes the same way.
    F.Editor->MainPathEdit->clear();
    QTest::keyClicks(F.Editor->MainPathEdit, QStringLiteral("/x"));
    EXPECT_EQ(F.Editor->GetFileName(), QStringLiteral("/x"));
}

TEST(PathEditor, LayoutKeepsTheEditorTwoPixelsTallerThanItsEditBox) {
    EditorForm F;
    TCDKPathEditor& E = *F.Editor;
    const int Tall = E.MainPathEdit->height() + 2;
    EXPECT_EQ(E.Height(), Tall);
    EXPECT_EQ(E.Width(), 185);
    EXPECT_EQ(E.MainPathEdit->geometry(), QRect(2, 1, 156, E.MainPathEdit->height()));
    EXPECT_EQ(E.BrowseButton->geometry(), QRect(162, 0, 23, Tall));

    E.SetHeight(50);
    EXPECT_EQ(E.Height(), Tall);
    EXPECT_EQ(E.BrowseButton->height(), Tall);

    E.SetButtonOffset(10);
    EXPECT_EQ(E.Width(), 189);
    EXPECT_EQ(E.MainPathEdit->width(), 156);
    EXPECT_EQ(E.BrowseButton->x(), 166);
    E.SetButtonOffset(-3);
    EXPECT_EQ(E.ButtonOffset(), 10);
    EXPECT_EQ(E.Width(), 189);

    E.SetWidth(300);
    EXPECT_EQ(E.MainPathEdit->width(), 300 - 23 - 10);
    EXPECT_EQ(E.BrowseButton->x(), 277);
}

TEST(PathEditor, GlyphFollowsStyleOnlyWhileDefaultGlyphsAreUsed) {
    EditorForm F;
    TCDKPathEditor& E = *F.Editor;
    const QPixmap Open(QStringLiteral(":/components/BMP_OPEN_FILE.xpm"));
    const QPixmap Save(QStringLiteral(":/components/BMP_SAVE_FILE.xpm"));
    ASSERT_EQ(Open.size(), QSize(28, 14));
    EXPECT_EQ(Image(E.BrowseButtonGlyph()), Image(Open));

    E.SetStyle(_SaveFile);
    EXPECT_EQ(Image(E.BrowseButtonGlyph()), Image(Save));

    QPixmap Custom(28, 14);
    Custom.fill(Qt::red);
    E.SetBrowseButtonGlyph(Custom);
    EXPECT_FALSE(E.UseDefaultGlyphs());
    E.SetStyle(_SelectDirectory);
    EXPECT_EQ(Image(E.BrowseButtonGlyph()), Image(Custom));

    E.SetBrowseButtonGlyph(QPixmap());
    EXPECT_TRUE(E.UseDefaultGlyphs());
    EXPECT_EQ(Image(E.BrowseButtonGlyph()),
              Image(QPixmap(QStringLiteral(":/components/BMP_BROWSE_FOLDERS.xpm"))));
}

TEST(PathEditor, SmartShowShowsTheButtonOnlyWhileTheEditBoxHasTheFocus) {
    EditorForm F;
    F.Form.show();
    QApplication::setActiveWindow(&F.Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F.Form));
    F.Other->setFocus();
    int Enters = 0, Exits = 0;
    F.Editor->OnEnter = [&](TObject* S) { Enters += S == F.Editor; };
    F.Editor->OnExit = [&](TObject* S) { Exits += S == F.Editor; };
    F.Editor->SetSmartShowBrowseButton(true);
    EXPECT_FALSE(F.Editor->BrowseButton->isVisible());

    F.Editor->setFocus();
    EXPECT_TRUE(F.Editor->MainPathEdit->hasFocus());
    EXPECT_TRUE(F.Editor->BrowseButton->isVisible());
    F.Other->setFocus();
    EXPECT_FALSE(F.Editor->BrowseButton->isVisible());
    EXPECT_EQ(Enters, 1);
    EXPECT_EQ(Exits, 1);

    F.Editor->SetSmartShowBrowseButton(false);
    EXPECT_TRUE(F.Editor->BrowseButton->isVisible());
}

// Another window becoming active (the editor's own browse dialog) or a pop-up menu opening does
// not leave the edit box; focus moved elsewhere while the window was inactive does.
TEST(PathEditor, EnterAndExitFollowTheFocusBetweenTheWindowsControlsOnly) {
    CurrentDirGuard Guard;
    EditorForm F;
    F.Editor->SetStyle(_SelectDirectory);
    F.Editor->SetSmartShowBrowseButton(true);
    int Enters = 0, Exits = 0;
    F.Editor->OnEnter = [&](TObject*) { ++Enters; };
    F.Editor->OnExit = [&](TObject*) { ++Exits; };
    F.Form.show();
    QApplication::setActiveWindow(&F.Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F.Form));
    F.Editor->setFocus();
    ASSERT_EQ(Enters, 1);

    bool ButtonDuringBrowse = false;
    int ExitsDuringBrowse = -1;
    AnswerNextModal([&](QWidget* W) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(W));
        ButtonDuringBrowse = F.Editor->BrowseButton->isVisible();
        ExitsDuringBrowse = Exits;
        qobject_cast<TDirectorySelectForm*>(W)->CancelButton->click();
    });
    F.Editor->BrowseButton->click();
    ASSERT_TRUE(AllAnswered());
    QApplication::setActiveWindow(&F.Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F.Form));
    EXPECT_TRUE(ButtonDuringBrowse);
    EXPECT_EQ(ExitsDuringBrowse, 0);
    EXPECT_TRUE(F.Editor->MainPathEdit->hasFocus());
    EXPECT_EQ(Enters, 1);
    EXPECT_EQ(Exits, 0);

    QMenu Menu;
    Menu.addAction(QStringLiteral("Paste"));
    Menu.popup(F.Form.mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Menu));
    Menu.close();
    QApplication::processEvents();
    EXPECT_TRUE(F.Editor->BrowseButton->isVisible());
    EXPECT_EQ(Exits, 0);
    EXPECT_EQ(Enters, 1);

    QWidget Elsewhere;
    Elsewhere.show();
    QApplication::setActiveWindow(&Elsewhere);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Elsewhere));
    F.Other->setFocus();
    EXPECT_EQ(Exits, 0);
    QApplication::setActiveWindow(&F.Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F.Form));
    EXPECT_EQ(Exits, 1);
    EXPECT_FALSE(F.Editor->BrowseButton->isVisible());
    F.Editor->setFocus();
    EXPECT_EQ(Enters, 2);
}

TEST(PathEditor, KeyHandlersCanSwallowOrReplaceKeys) {
    EditorForm F;
    F.Editor->OnKeyDown = [](TObject*, int& Key, TShiftState) {
        if (Key == Qt::Key_X)
            Key = 0;
    };
    F.Editor->OnKeyPress = [](TObject*, QChar& Key) {
        if (Key == QLatin1Char('b'))
            Key = QLatin1Char('c');
    };
    int Ups = 0;
    F.Editor->OnKeyUp = [&](TObject* S, int&, TShiftState) { Ups += S == F.Editor; };
    QTest::keyClicks(F.Editor->MainPathEdit, QStringLiteral("axb"));
    EXPECT_EQ(F.Editor->GetText(), QStringLiteral("ac"));
    EXPECT_EQ(Ups, 3);
}

TEST(PathEditor, MouseEventsAreRefiredWithTheEditorAsSender) {
    EditorForm F;
    F.Form.show();
    std::vector<std::string> Seen;
    F.Editor->OnMouseDown = [&](TObject* S, TMouseButton B, TShiftState, int X, int Y) {
        if (S == F.Editor && B == Qt::LeftButton)
            Seen.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
    };
    F.Editor->OnMouseUp = [&](TObject* S, TMouseButton, TShiftState, int, int) {
        if (S == F.Editor)
            Seen.push_back("up");
    };
    F.Editor->OnClick = [&](TObject* S) {
        if (S == F.Editor)
            Seen.push_back("click");
    };
    QTest::mouseClick(F.Editor->MainPathEdit, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_EQ(Seen, (std::vector<std::string>{"down 5,6", "up", "click"}));
}

TEST(PathEditor, HandlerExceptionsStayInsideTheEditor) {
    EditorForm F;
    F.Editor->OnChange = [](TObject*) { Abort(); };
    F.Editor->SetText(QStringLiteral("quiet"));
    EXPECT_EQ(F.Editor->GetText(), QStringLiteral("quiet"));

    F.Editor->OnChange = [](TObject*) { throw Exception("Bad path"); };
    QString Message;
    AnswerNextMessageBox(QMessageBox::Ok, &Message);
    F.Editor->SetText(QStringLiteral("loud"));
    EXPECT_TRUE(AllAnswered());
    EXPECT_EQ(Message, QStringLiteral("Bad path"));

    // Inside a program the application's error box reports it, under the program's title.
    TApplication App;
    App.SetTitle(QStringLiteral("Quorvex for VB"));
    QString Title;
    AnswerNextModal([&](QWidget* W) {
        Title = W->windowTitle();
        Message = qobject_cast<QMessageBox*>(W)->text();
        W->close();
    });
    F.Editor->SetText(QStringLiteral("louder"));
    EXPECT_TRUE(AllAnswered());
    EXPECT_EQ(Title, QStringLiteral("Quorvex for VB"));
    EXPECT_EQ(Message, QStringLiteral("Bad path"));
}

TEST(PathEditor, FileBrowseWritesTheChoiceThenFiresDialogDrop) {
    QTemporaryDir Dir;
    const QString Chosen = Dir.filePath(QStringLiteral("PROJECT.VBP"));
    QFile(Chosen).open(QIODevice::WriteOnly);
    EditorForm F;
    F.Editor->SetFilter(QStringLiteral("Visual Basic Project|*.mak;*.vbp|All Files (*.*)|*.*"));
    F.Editor->SetInitialDir(Dir.path());
    QString TextAtDrop;
    int Drops = 0;
    F.Editor->OnDialogDrop = [&](TObject* S) {
        Drops += S == F.Editor;
        TextAtDrop = F.Editor->GetText();
    };
    // The click handler still decides the dialog's settings.
    F.Editor->OnBrowseButtonClick = [&](TObject*) { F.Editor->SetTitle(QStringLiteral("Pick a project")); };
    QString DialogTitle;
    QStringList DialogFilters;
    AnswerNextModal([&](QWidget* W) {
        auto* Dialog = qobject_cast<QFileDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        DialogTitle = Dialog->windowTitle();
        DialogFilters = Dialog->nameFilters();
        Dialog->selectFile(Chosen);
        static_cast<QDialog*>(Dialog)->accept();
    });
    F.Editor->BrowseButton->click();
    ASSERT_TRUE(AllAnswered());
    EXPECT_EQ(DialogTitle, QStringLiteral("Pick a project"));
    EXPECT_EQ(DialogFilters, (QStringList{QStringLiteral("Visual Basic Project (*.mak *.vbp)"),
                                          QStringLiteral("All Files (*.*) (*)")}));
    EXPECT_EQ(Drops, 1);
    EXPECT_EQ(TextAtDrop, Chosen);
    EXPECT_EQ(F.Editor->GetFileName(), Chosen);

    // A cancelled browse changes nothing and fires nothing.
    AnswerNextModal([](QWidget* W) { qobject_cast<QDialog*>(W)->reject(); });
    F.Editor->BrowseButton->click();
    EXPECT_EQ(Drops, 1);
    EXPECT_EQ(F.Editor->GetText(), Chosen);
}

TEST(PathEditor, SaveBrowseCopiesTheDialogSettingsBack) {
    QTemporaryDir Dir;
    EditorForm F;
    F.Editor->SetStyle(_SaveFile);
    F.Editor->SetFilter(QStringLiteral("Text|*.txt|CSV|*.csv"));
    F.Editor->SetInitialDir(Dir.path());
    F.Editor->SetTitle(QStringLiteral("Save Hits"));
    TSaveDialog* DuringBrowse = nullptr;
    const QString Target = Dir.filePath(QStringLiteral("hits.csv"));
    // The drop comes before the settings are copied back: its handler sees the text chosen and
    // the settings as they were, and the copy overrides what it changes in them.
    QString TextAtDrop;
    int FilterIndexAtDrop = 0;
    F.Editor->OnDialogDrop = [&](TObject*) {
        TextAtDrop = F.Editor->GetText();
        FilterIndexAtDrop = F.Editor->FilterIndex();
        F.Editor->SetTitle(QStringLiteral("Changed"));
    };
    AnswerNextModal([&](QWidget* W) {
        DuringBrowse = F.Editor->SaveDialog;
        auto* Dialog = qobject_cast<QFileDialog*>(W);
        ASSERT_NE(Dialog, nullptr);
        EXPECT_EQ(Dialog->acceptMode(), QFileDialog::AcceptSave);
        Dialog->selectNameFilter(Dialog->nameFilters().value(1));
        Dialog->selectFile(Target);
        static_cast<QDialog*>(Dialog)->accept();
    });
    F.Editor->BrowseButton->click();
    ASSERT_TRUE(AllAnswered());
    EXPECT_NE(DuringBrowse, nullptr);
    EXPECT_EQ(F.Editor->SaveDialog, nullptr);
    EXPECT_EQ(F.Editor->GetText(), Target);
    EXPECT_EQ(F.Editor->GetFileName(), Target);
    EXPECT_EQ(F.Editor->FilterIndex(), 2);
    EXPECT_EQ(TextAtDrop, Target);
    EXPECT_EQ(FilterIndexAtDrop, 1);
    EXPECT_EQ(F.Editor->Title(), QStringLiteral("Save Hits"));
}

TEST(PathEditor, FolderBrowseStartsAtTheInitialFolderAndHonoursNoChangeDir) {
    CurrentDirGuard Guard;
    QTemporaryDir Dir;
    const QString Start = QDir(Dir.path()).canonicalPath() + QStringLiteral("/start");
    const QString Choice = QDir(Dir.path()).canonicalPath() + QStringLiteral("/choice");
    QDir().mkpath(Start);
    QDir().mkpath(Choice);
    EditorForm F;
    F.Editor->SetStyle(_SelectDirectory);
    F.Editor->SetOptions({ofHideReadOnly, ofPathMustExist, ofNoChangeDir});
    F.Editor->SetInitialDir(Start + QLatin1Char('/'));
    F.Editor->SetTitle(QStringLiteral("Folder to search"));
    FolderBrowse Seen = BrowseFolder(*F.Editor, Choice);
    EXPECT_EQ(Seen.OpenedAt, Start);
    EXPECT_EQ(Seen.Caption, QStringLiteral("Folder to search"));
    EXPECT_FALSE(Seen.NewVisible);
    EXPECT_EQ(F.Editor->GetText(), Choice);
    EXPECT_EQ(QDir::currentPath(), Start);

    // Without ofNoChangeDir the choice stays the current directory; "&New..." shows without
    // ofPathMustExist, and the text, an existing folder, is where the dialog opens.
    F.Editor->SetOptions({});
    F.Editor->SetInitialDir(QString());
    F.Editor->SetTitle(QString());
    F.Editor->SetText(Start);
    Seen = BrowseFolder(*F.Editor, Choice);
    EXPECT_EQ(Seen.OpenedAt, Start);
    EXPECT_EQ(Seen.Caption, QStringLiteral("Select a Directory"));
    EXPECT_TRUE(Seen.NewVisible);
    EXPECT_EQ(QDir::currentPath(), Choice);
}

TEST(PathEditor, DragHandlersDecideAndSeeTheDrop) {
    EditorForm F;
    QMimeData Data;
    Data.setText(QStringLiteral("/dropped"));
    std::vector<TDragState> States;
    F.Editor->OnDragOver = [&](TObject* S, QObject*, int X, int Y, TDragState State, bool& Accept) {
        EXPECT_EQ(S, F.Editor);
        EXPECT_EQ(QPoint(X, Y), QPoint(5, 6));
        States.push_back(State);
        Accept = false;
    };
    QDragEnterEvent Refused(QPoint(5, 6), Qt::CopyAction, &Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(F.Editor->MainPathEdit, &Refused);
    EXPECT_FALSE(Refused.isAccepted());
    EXPECT_EQ(States, std::vector<TDragState>{dsDragEnter});

    F.Editor->OnDragOver = nullptr;
    QDragEnterEvent Accepted(QPoint(5, 6), Qt::CopyAction, &Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(F.Editor->MainPathEdit, &Accepted);
    EXPECT_TRUE(Accepted.isAccepted());
    QPoint DropAt;
    F.Editor->OnDragDrop = [&](TObject* S, QObject*, int X, int Y) {
        if (S == F.Editor)
            DropAt = QPoint(X, Y);
    };
    QDropEvent Drop(QPointF(7, 3), Qt::CopyAction, &Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(F.Editor->MainPathEdit, &Drop);
    EXPECT_EQ(DropAt, QPoint(7, 3));
}

TEST(CompoundPanel, PlacesItselfInItsParentByCodeAndMargins) {
    QWidget Parent;
    Parent.resize(400, 300);
    auto* Panel = new TCompoundComponentPanel(&Parent);
    NotifyLoaded(&Parent);
    EXPECT_EQ(Panel->geometry(), QRect(0, 0, 185, 41));
    Panel->HorzPlacement = 2;
    Panel->VertPlacement = 3;
    Panel->PlaceInParent();
    EXPECT_EQ(Panel->geometry(), QRect(107, 243, 185, 41));
    Panel->HorzPlacement = 3;
    Panel->VertPlacement = 1;
    Panel->RightMargin = 10;
    Panel->PlaceInParent();
    EXPECT_EQ(Panel->geometry(), QRect(205, 16, 185, 41));

    // Stretching follows every size change; a kept height is restored.
    Panel->HorzPlacement = 4;
    Panel->VertPlacement = 0;
    Panel->KeepHeight = true;
    Panel->SetBounds(0, 0, 50, 90);
    EXPECT_EQ(Panel->geometry(), QRect(16, 0, 374, 41));
    EXPECT_EQ(Panel->SavedWidth, 374);
}
