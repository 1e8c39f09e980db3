#include "viewer/rptView.h"

#include "platform/ui/Application.h"
#include "reports/fPreview.h"
#include "viewer/frepsplash.h"

TrepView* repView = nullptr;

TrepView::TrepView(const QStringList& Arguments) : mArguments(Arguments) {
    Page.PaperSize = TQRPaperSize::A4;
    Page.Orientation = poPortrait;
    QFont Arial(QStringLiteral("Arial"));
    Arial.setPixelSize(13);
    Font = Arial;
    ReportTitle = "Report Viewer";
    PrintIfEmpty = true;
    OnPreview = [this](TObject* Sender) { repViewPreview(Sender); };
    if (repView == nullptr)
        repView = this;
}

TrepView::~TrepView() {
    if (repView == this)
        repView = nullptr;
}

void TrepView::repViewPreview(TObject* Sender) {
    mPreview = TfrmPreview::Open(Sender, mArguments);
}

int RunViewer(const QStringList& Arguments) {
    TfrmSplash Splash;
    Splash.ShowNow();
    TApplication Program;
    Program.SetTitle(QStringLiteral("Quorvex"));
    TrepView Report(Arguments);
    // Returns once the preview window has closed; the user's work all happens in between.
    Program.Guard([&] { Report.Preview(); });
    return 0;
}
