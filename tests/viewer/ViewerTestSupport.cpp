#include "tests/viewer/ViewerTestSupport.h"

#include "platform/report/QuickRep.h"
#include "reports/fPreview.h"
#include "viewer/rptView.h"

#include <QAbstractButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace viewertest {
namespace {
void WhenShown(const std::function<void(TfrmPreview&)>& Action, int Tries) {
    TfrmPreview* Window = repView != nullptr ? repView->PreviewWindow() : nullptr;
    if (Window == nullptr || !Window->isVisible()) {
        if (Tries == 0) {
            ADD_FAILURE() << "the viewer's window did not show";
            return;
        }
        QTimer::singleShot(5, [=] { WhenShown(Action, Tries - 1); });
        return;
    }
    Action(*Window);
    if (Window->isVisible())
        Window->findChild<QAbstractButton*>(QStringLiteral("Exit"))->click();
}
} // namespace

int RunViewerWith(const QStringList& Arguments, const std::function<void(TfrmPreview&)>& Action) {
    QTimer::singleShot(0, [=] { WhenShown(Action, 1000); });
    return RunViewer(Arguments);
}

void WriteLandscapeReport(const std::string& FileName, int Pages) {
    TQuickRep Report;
    Report.Page.Orientation = poLandscape;
    TQRBand* Detail = Report.AddBand(rbDetail);
    Detail->Height = 700; // one row fills a landscape page
    TQRLabel* Row = Detail->Add<TQRLabel>();
    int Rows = 0;
    Report.BeforePrint = [&](TQuickRep*, bool& Print) {
        Rows = 0;
        Print = true;
    };
    Report.OnNeedData = [&](TObject*, bool& More) {
        More = Rows < Pages;
        Row->Caption = "Row " + std::to_string(++Rows);
    };
    TQRPrinter Printer;
    Report.Prepare(Printer);
    ASSERT_EQ(Printer.PageCount(), Pages);
    ASSERT_TRUE(Printer.Save(FileName));
}

} // namespace viewertest
