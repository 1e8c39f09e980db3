#pragma once
// Step-by-step wizards on a form: a panel that fills its form with a page control (tabs hidden)
// holding one page per step and a row of About, Back, Next and Cancel buttons. Back and Next walk
// the pages; a page's OnNext or OnBack handler vetoes a move by raising the silent abort.

#include "components/CDK_Comp.h"

class QTabWidget;
class TxdkSteps;

/// One step page. Create it with the panel as parent; its after-load step moves it into the
/// panel's page control as the last page.
class TxdkStepTab : public QWidget, public TKitComponent {
    Q_OBJECT
public:
    explicit TxdkStepTab(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TxdkStepTab"; }
    void Loaded() override;

    TNotifyEvent OnBack;
    TNotifyEvent OnNext;

private:
    bool mTabVisible;
};

/// The wizard panel. After loading it stands on step 1 with Back hidden, and the form's caption
/// carries " : Step 1 of N". The panel never closes its form: OnFinish and OnCancel decide.
class TxdkSteps : public TCustomPanel {
    Q_OBJECT
public:
    explicit TxdkSteps(QWidget* Parent = nullptr);
    ~TxdkSteps() override;
    std::string ClassName() const override { return "TxdkSteps"; }

    void Loaded() override;
    /// One step back, after the active page's OnBack.
    virtual void BackClick(TObject* Sender);
    /// One step on, after the active page's OnNext; on the last page fires OnFinish instead.
    virtual void NextClick(TObject* Sender);
    void DisableNext();
    void EnableNext();

    QTabWidget* PageControl;
    TButton* AboutButton;
    TButton* BackButton;
    TButton* NextButton;
    TButton* CancelButton;

    /// Wired to the About and Cancel buttons when the panel finishes loading, and only then.
    TNotifyEvent OnAbout;
    TNotifyEvent OnFinish;
    TNotifyEvent OnCancel;

protected:
    void Resize() override;

private:
    void Layout();
    void ShowFinish(bool Finish);
    void ShowStepCaption();
    TxdkStepTab* ActivePage() const;

    QString SavedCaption;
    bool mLoadedOnce = false;
    TNotifyEvent mAboutClick;
    TNotifyEvent mCancelClick;
};
