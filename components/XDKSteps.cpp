#include "components/XDKSteps.h"

#include <QTabBar>
#include <QTabWidget>

namespace {
constexpr int MinWidth = 360;
constexpr int MinHeight = 160;
} // namespace

// ---- TxdkStepTab ----

TxdkStepTab::TxdkStepTab(QWidget* Parent) : QWidget(Parent) {
    // The tab shows only while the wizard is being designed.
    auto* Panel = dynamic_cast<TKitComponent*>(Parent);
    mTabVisible = Panel != nullptr && Panel->Designing();
}

void TxdkStepTab::Loaded() {
    TKitComponent::Loaded();
    auto* Panel = qobject_cast<TxdkSteps*>(parentWidget());
    if (Panel == nullptr)
        return;
    Panel->PageControl->addTab(this, objectName());
    // The page control's tab bar is hidden at run time; a page designed on the form shows it.
    // (Hiding single tabs would hide their pages as well.)
    if (mTabVisible)
        Panel->PageControl->tabBar()->setVisible(true);
}

// ---- TxdkSteps ----

TxdkSteps::TxdkSteps(QWidget* Parent) : TCustomPanel(Parent) {
    SetBevelOuter(bvNone);
    PageControl = new QTabWidget(this);
    PageControl->setTabPosition(QTabWidget::South);
    PageControl->tabBar()->setVisible(false);
    AboutButton = new TButton(QStringLiteral("About"), this);
    BackButton = new TButton(tr("< Back"), this);
    NextButton = new TButton(tr("Next >"), this);
    NextButton->setDefault(true);
    CancelButton = new TButton(QStringLiteral("Cancel"), this);

    connect(AboutButton, &QPushButton::clicked, this, [this] {
        if (mAboutClick)
            RunGuarded(this, [this] { mAboutClick(AboutButton); });
    });
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        if (mCancelClick)
            RunGuarded(this, [this] { mCancelClick(CancelButton); });
    });
    // Back and Next walk once the panel has loaded; the virtual calls reach a descendant's override.
    connect(BackButton, &QPushButton::clicked, this, [this] {
        if (mLoadedOnce)
            RunGuarded(this, [this] { BackClick(BackButton); });
    });
    connect(NextButton, &QPushButton::clicked, this, [this] {
        if (mLoadedOnce)
            RunGuarded(this, [this] { NextClick(NextButton); });
    });
    SetAlign(alClient);
    Layout();
}

TxdkSteps::~TxdkSteps() {
    // A panel destroyed with its form has already been taken off the form's list of children;
    // only a panel removed from a living form gives the caption back.
    QWidget* Form = window();
    if (!Designing() && mLoadedOnce && Form != this && parentWidget() != nullptr &&
        parentWidget()->children().contains(this))
        Form->setWindowTitle(SavedCaption);
}

void TxdkSteps::Loaded() {
    TCustomPanel::Loaded();
    Layout();
    mLoadedOnce = true;
    if (!Designing())
        SavedCaption = window() != this ? window()->windowTitle() : QString();
    if (PageControl->count() > 0) {
        PageControl->setCurrentIndex(0);
        ShowStepCaption();
    }
    BackButton->setVisible(false);
    mAboutClick = OnAbout;
    mCancelClick = OnCancel;
    if (PageControl->count() <= 1)
        ShowFinish(true);
}

void TxdkSteps::NextClick(TObject* Sender) {
    const int Last = PageControl->count() - 1;
    const int Index = PageControl->currentIndex();
    if (PageControl->count() == 0 || Index == Last) {
        if (OnFinish)
            OnFinish(Sender);
        return;
    }
    if (TxdkStepTab* Page = ActivePage(); Page != nullptr && Page->OnNext)
        Page->OnNext(Sender);
    if (Index == 0)
        BackButton->setVisible(true);
    PageControl->setCurrentIndex(Index + 1);
    if (Index + 1 == Last)
        ShowFinish(true);
    ShowStepCaption();
}

void TxdkSteps::BackClick(TObject* Sender) {
    const int Index = PageControl->currentIndex();
    if (Index <= 0)
        return;
    if (TxdkStepTab* Page = ActivePage(); Page != nullptr && Page->OnBack)
        Page->OnBack(Sender);
    if (Index == 1)
        BackButton->setVisible(false);
    if (Index == PageControl->count() - 1)
        ShowFinish(false);
    PageControl->setCurrentIndex(Index - 1);
    ShowStepCaption();
}

void TxdkSteps::DisableNext() {
    NextButton->setEnabled(false);
}

void TxdkSteps::EnableNext() {
    NextButton->setEnabled(true);
}

void TxdkSteps::Resize() {
    if (QWidget* P = parentWidget()) {
        if (P->height() < MinHeight)
            P->resize(P->width(), MinHeight);
        if (P->width() < MinWidth)
            P->resize(MinWidth, P->height());
    }
    Layout();
}

void TxdkSteps::Layout() {
    if (Height() < MinHeight)
        SetHeight(MinHeight);
    if (Width() < MinWidth)
        SetWidth(MinWidth);
    PageControl->setGeometry(0, 0, Width(), Height() - 33);
    const int Top = Height() - 29;
    AboutButton->move(4, Top);
    BackButton->move(Width() - 239, Top);
    NextButton->move(Width() - 164, Top);
    CancelButton->move(Width() - 79, Top);
}

void TxdkSteps::ShowFinish(bool Finish) {
    NextButton->setText(Finish ? tr("Finish") : tr("Next >"));
    QFont F = NextButton->font();
    F.setBold(Finish);
    NextButton->setFont(F);
}

void TxdkSteps::ShowStepCaption() {
    if (Designing() || window() == this)
        return;
    window()->setWindowTitle(
        SavedCaption +
        QStringLiteral(" : Step %1 of %2").arg(PageControl->currentIndex() + 1).arg(PageControl->count()));
}

TxdkStepTab* TxdkSteps::ActivePage() const {
    return dynamic_cast<TxdkStepTab*>(PageControl->currentWidget());
}
