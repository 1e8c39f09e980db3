#include "components/urllabel.h"
#include "scanmodel/VerinfoObject.h"
#include "scanner/About.h"
#include "scanner/Fsplash.h"
#include "scanner/fHit.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/Named.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

using testsupport::Named;

namespace {

struct Shown {
    QString Selected;
    bool FieldRow = false;
    QString Field;
    QSize Size;
    bool Squeezed = false;
    TModalResult Result = mrNone;
};

// Shows the dialog, records what it shows, and closes it with Button.
Shown ShowHit(TfrmHit& Dialog, QPushButton* Button) {
    Shown Seen;
    testsupport::AnswerNextModal([&](QWidget*) {
        Seen.Selected = Named<QTextEdit>(Dialog, "lblLine")->textCursor().selectedText();
        Seen.FieldRow = Named<QLabel>(Dialog, "lblField")->isVisible() &&
                        Named<QLabel>(Dialog, "lblMDBField")->isVisible();
        Seen.Field = Named<QLabel>(Dialog, "lblField")->text();
        Seen.Size = Dialog.size();
        for (const QWidget* W : Dialog.findChildren<QWidget*>())
            if (W->isVisible() && W->height() < std::min(W->minimumSizeHint().height(), W->maximumHeight()))
                Seen.Squeezed = true;
        Button->click();
    });
    Seen.Result = Dialog.ShowModal();
    return Seen;
}

TEST(HitDialogTest, HighlightsTheKeywordOfTheHitShownWhateverTheOrderOfTheValues) {
    TfrmHit Dialog;
    Dialog.SetLine("x = DateAdd(\"d\", 1, Now)");
    Dialog.Position = 5;
    Dialog.SetKeyWord("Date");
    EXPECT_EQ(ShowHit(Dialog, Named<QPushButton>(Dialog, "cmdClose")).Selected, QStringLiteral("Date"));

    // Keyword first, then position, then line: the selection still matches this hit.
    Dialog.SetKeyWord("Year");
    Dialog.Position = 4;
    Dialog.SetLine("If Year(d) < 2000 Then");
    EXPECT_EQ(ShowHit(Dialog, Named<QPushButton>(Dialog, "cmdClose")).Selected, QStringLiteral("Year"));

    // A position beyond the line selects nothing rather than failing.
    Dialog.Position = 99;
    EXPECT_EQ(ShowHit(Dialog, Named<QPushButton>(Dialog, "cmdClose")).Selected, QString());
}

TEST(HitDialogTest, TheFieldRowShowsOnlyForTheDatabaseHitItWasGivenFor) {
    TfrmHit Dialog;
    Dialog.SetField("OrderDate");
    const Shown Database = ShowHit(Dialog, Named<QPushButton>(Dialog, "cmdClose"));
    EXPECT_TRUE(Database.FieldRow);
    EXPECT_EQ(Database.Field, QStringLiteral("OrderDate"));
    // Its Cancel button answers mrAbort, which the caller takes as cancel.
    const Shown Module = ShowHit(Dialog, Named<QPushButton>(Dialog, "cmdCancel"));
    EXPECT_FALSE(Module.FieldRow);
    EXPECT_EQ(Module.Result, mrAbort);

    // A fixed dialog: the user cannot resize it, and neither the Field row nor a long file name
    // changes its size or crowds its rows.
    EXPECT_EQ(Dialog.minimumSize(), Dialog.maximumSize());
    EXPECT_EQ(Database.Size, QSize(460, 330));
    EXPECT_EQ(Module.Size, Database.Size);
    EXPECT_FALSE(Database.Squeezed);
    Dialog.SetFilename(std::string(200, 'x') + ".frm");
    Dialog.SetField("OrderDate");
    EXPECT_EQ(ShowHit(Dialog, Named<QPushButton>(Dialog, "cmdClose")).Size, Database.Size);
}

TEST(HitDialogTest, RatingAndErrorTypeRoundTrip) {
    TfrmHit Dialog;
    Dialog.SetCompliant(ctMayBe);
    EXPECT_EQ(Dialog.Compliant(), ctMayBe);
    EXPECT_TRUE(Named<QRadioButton>(Dialog, "rdoMaybe")->isChecked());
    Dialog.SetErrorType("sort");
    EXPECT_EQ(Named<QComboBox>(Dialog, "cboErrorType")->currentText(), QStringLiteral("Sort"));
    EXPECT_EQ(Dialog.ErrorType(), "Sort");
    Dialog.SetErrorType("");
    EXPECT_EQ(Named<QComboBox>(Dialog, "cboErrorType")->currentIndex(), -1);
    EXPECT_EQ(Dialog.ErrorType(), "");
    Dialog.SetErrorType("Overflow");
    EXPECT_EQ(Dialog.ErrorType(), "");
}

TEST(AboutWindowTest, ShowsTheVersionResourceOfTheProgram) {
    TfrmAbout About;
    EXPECT_EQ(Named<QLabel>(About, "Version")->text(), QStringLiteral("v1.0.0.6"));
    EXPECT_EQ(Named<QLabel>(About, "Comments")->text(), QStringLiteral("VB 3,4,5 Version."));
    EXPECT_EQ(Named<QLabel>(About, "Copyright")->text(),
              QStringLiteral("Copyright (C) 2026 The Quorvex Project"));
    EXPECT_EQ(Named<QLabel>(About, "lblVB")->text(), QStringLiteral("for Visual Basic - Pro"));
    EXPECT_EQ(Named<TURLLabel>(About, "UrlLabel1")->LabelType(), hmHTTP);
    EXPECT_EQ(Named<TURLLabel>(About, "UrlLabel2")->LinkText(),
              QStringLiteral("mailto:support@quorvex.example.org"));
    EXPECT_EQ(frmAbout, &About);
}

TEST(AboutWindowTest, AProgramWithoutVersionResourceHasNoAboutWindow) {
    EXPECT_THROW(TfrmAbout About(QUORVEX_TEST_DATA "/verinfo/plain.txt"), ENoVerInfoError);
    EXPECT_EQ(frmAbout, nullptr);
}

TEST(SplashTest, HidesWhenAnotherWindowBecomesActiveAndStaysAllocated) {
    auto* Splash = new TfrmSplash;
    QPointer<TfrmSplash> Alive = Splash;
    Splash->ShowNow();
    EXPECT_EQ(Named<QLabel>(*Splash, "lblVB")->text(), QStringLiteral("for Visual Basic - Pro"));
    EXPECT_TRUE(Splash->isVisible());
    QWidget Main;
    Main.show();
    Main.activateWindow();
    for (int I = 0; I < 50 && Splash->isVisible(); ++I)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(Alive.isNull());
    EXPECT_FALSE(Splash->isVisible());
    delete Splash;
}

} // namespace
