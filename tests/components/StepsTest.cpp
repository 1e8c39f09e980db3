#include "components/XDKSteps.h"
#include "tests/support/ModalHelper.h"

#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using testsupport::AllAnswered;
using testsupport::AnswerNextMessageBox;

namespace {
// A wizard form with a step panel and Pages step pages, loaded as a form loads.
struct Wizard {
    std::unique_ptr<QWidget> Form = std::make_unique<QWidget>();
    TxdkSteps* Steps;
    std::vector<TxdkStepTab*> Pages;

    explicit Wizard(int PageCount, bool Designing = false) {
        Form->setWindowTitle(QStringLiteral("Scanning Wizard"));
        Form->resize(500, 300);
        Steps = new TxdkSteps(Form.get());
        Steps->SetDesigning(Designing);
        for (int I = 0; I < PageCount; ++I)
            Pages.push_back(new TxdkStepTab(Steps));
    }
    void Load() { NotifyLoaded(Form.get()); }
    QString Caption() const { return Form->windowTitle(); }
    int Page() const { return Steps->PageControl->currentIndex(); }
    bool NextIsBoldFinish() const {
        return Steps->NextButton->text() == QStringLiteral("Finish") && Steps->NextButton->font().bold();
    }
};
} // namespace

TEST(StepPanel, WalksForwardAndBackWithCaptionsAndButtons) {
    Wizard W(2);
    std::vector<std::string> Calls;
    W.Pages[0]->OnNext = [&](TObject* S) { Calls.push_back(S == W.Steps->NextButton ? "next1" : "?"); };
    W.Pages[1]->OnBack = [&](TObject* S) { Calls.push_back(S == W.Steps->BackButton ? "back2" : "?"); };
    W.Steps->OnFinish = [&](TObject*) { Calls.push_back("finish"); };
    W.Load();
    W.Form->show();
    EXPECT_EQ(W.Steps->PageControl->count(), 2);
    EXPECT_EQ(W.Steps->PageControl->widget(0), W.Pages[0]);
    EXPECT_EQ(W.Page(), 0);
    EXPECT_FALSE(W.Steps->BackButton->isVisible());
    EXPECT_EQ(W.Steps->NextButton->text(), QStringLiteral("Next >"));
    EXPECT_FALSE(W.Steps->NextButton->font().bold());
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard : Step 1 of 2"));
    EXPECT_FALSE(W.Steps->PageControl->tabBar()->isVisible());
    EXPECT_TRUE(W.Pages[0]->isVisible());

    W.Steps->NextButton->click();
    EXPECT_EQ(W.Page(), 1);
    EXPECT_TRUE(W.Pages[1]->isVisible());
    EXPECT_FALSE(W.Pages[0]->isVisible());
    EXPECT_TRUE(W.Steps->BackButton->isVisible());
    EXPECT_TRUE(W.NextIsBoldFinish());
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard : Step 2 of 2"));

    // Finish on the last page fires OnFinish and changes nothing, however often.
    W.Steps->NextButton->click();
    W.Steps->NextButton->click();
    EXPECT_EQ(W.Page(), 1);
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard : Step 2 of 2"));

    W.Steps->BackButton->click();
    EXPECT_EQ(W.Page(), 0);
    EXPECT_FALSE(W.Steps->BackButton->isVisible());
    EXPECT_EQ(W.Steps->NextButton->text(), QStringLiteral("Next >"));
    EXPECT_FALSE(W.Steps->NextButton->font().bold());
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard : Step 1 of 2"));
    EXPECT_EQ(Calls, (std::vector<std::string>{"next1", "finish", "finish", "back2"}));
}

TEST(StepPanel, PageHandlerVetoesTheMoveWithTheSilentAbort) {
    Wizard W(3);
    bool Veto = true;
    W.Pages[0]->OnNext = [&](TObject*) {
        if (Veto)
            Abort();
    };
    W.Load();
    W.Form->show();
    W.Steps->NextButton->click();
    EXPECT_EQ(W.Page(), 0);
    EXPECT_FALSE(W.Steps->BackButton->isVisible());
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard : Step 1 of 3"));
    EXPECT_THROW(W.Steps->NextClick(W.Steps->NextButton), EAbort);

    Veto = false;
    W.Steps->NextButton->click();
    EXPECT_EQ(W.Page(), 1);
    EXPECT_FALSE(W.NextIsBoldFinish());

    // Any other exception is shown, and the move has not happened either.
    W.Pages[1]->OnBack = [](TObject*) { throw Exception("Cannot go back now"); };
    QString Message;
    AnswerNextMessageBox(QMessageBox::Ok, &Message);
    W.Steps->BackButton->click();
    EXPECT_TRUE(AllAnswered());
    EXPECT_EQ(Message, QStringLiteral("Cannot go back now"));
    EXPECT_EQ(W.Page(), 1);
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard : Step 2 of 3"));
}

TEST(StepPanel, OnePageOrNoneShowsFinishFromLoading) {
    Wizard One(1);
    One.Load();
    EXPECT_TRUE(One.NextIsBoldFinish());
    EXPECT_EQ(One.Caption(), QStringLiteral("Scanning Wizard : Step 1 of 1"));
    EXPECT_TRUE(One.Steps->BackButton->isHidden());
    One.Steps->BackButton->click();
    EXPECT_EQ(One.Page(), 0);

    Wizard None(0);
    int Finishes = 0;
    None.Steps->OnFinish = [&](TObject*) { ++Finishes; };
    None.Load();
    EXPECT_TRUE(None.NextIsBoldFinish());
    EXPECT_EQ(None.Caption(), QStringLiteral("Scanning Wizard"));
    None.Steps->NextButton->click();
    EXPECT_EQ(Finishes, 1);
}

TEST(StepPanel, AboutAndCancelAreWiredOnlyWhenAssignedBeforeLoading) {
    Wizard W(2);
    TObject* AboutSender = nullptr;
    W.Steps->OnAbout = [&](TObject* S) { AboutSender = S; };
    W.Load();
    int Cancels = 0;
    W.Steps->OnCancel = [&](TObject*) { ++Cancels; };
    W.Steps->AboutButton->click();
    W.Steps->CancelButton->click();
    EXPECT_EQ(AboutSender, W.Steps->AboutButton);
    EXPECT_EQ(Cancels, 0);
}

TEST(StepPanel, KeepsTheMinimumSizeAndButtonsFollowTheEdges) {
    Wizard W(2);
    W.Load();
    W.Form->show();
    EXPECT_EQ(W.Steps->geometry(), QRect(0, 0, 500, 300));
    EXPECT_EQ(W.Steps->PageControl->geometry(), QRect(0, 0, 500, 267));
    EXPECT_EQ(W.Steps->AboutButton->geometry(), QRect(4, 271, 75, 25));
    EXPECT_EQ(W.Steps->BackButton->pos(), QPoint(261, 271));
    EXPECT_EQ(W.Steps->NextButton->pos(), QPoint(336, 271));
    EXPECT_EQ(W.Steps->CancelButton->pos(), QPoint(421, 271));

    W.Form->resize(200, 100);
    QApplication::processEvents();
    EXPECT_EQ(W.Form->size(), QSize(360, 160));
    EXPECT_EQ(W.Steps->size(), QSize(360, 160));
    EXPECT_EQ(W.Steps->CancelButton->pos(), QPoint(281, 131));
}

TEST(StepPanel, DesignModeKeepsTheCaptionAndShowsTheTabs) {
    Wizard W(2, true);
    W.Load();
    W.Form->show();
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard"));
    EXPECT_TRUE(W.Steps->PageControl->tabBar()->isVisible());
    W.Steps->NextClick(W.Steps->NextButton);
    EXPECT_EQ(W.Page(), 1);
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard"));
}

TEST(StepPanel, RemovingThePanelGivesTheFormItsCaptionBack) {
    Wizard W(2);
    W.Load();
    W.Steps->NextClick(W.Steps->NextButton);
    delete W.Steps;
    EXPECT_EQ(W.Caption(), QStringLiteral("Scanning Wizard"));

    // Destroyed together with its form, the panel leaves the caption alone.
    Wizard Other(2);
    Other.Load();
    QString CaptionAtDestruction;
    QWidget* Form = Other.Form.get();
    QObject::connect(Other.Steps, &QObject::destroyed, [&] { CaptionAtDestruction = Form->windowTitle(); });
    Other.Form.reset();
    EXPECT_EQ(CaptionAtDestruction, QStringLiteral("Scanning Wizard : Step 1 of 2"));
}
