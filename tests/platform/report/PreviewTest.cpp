#include "tests/platform/report/SampleReport.h"

#include "platform/report/QRPreview.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
struct TPreviewFixture : ::testing::Test {
    TPreviewFixture() : Report(60) {
        Report.Prepare(Printer);
        View.resize(600, 400);
        View.show();
    }
    TSampleReport Report;
    TQRPrinter Printer;
    TQRPreview View;
};

int DarkPixels(const QImage& Image) {
    int Count = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Count += qGray(Image.pixel(X, Y)) < 64;
    return Count;
}
} // namespace

TEST_F(TPreviewFixture, PageNumberAndZoomIgnoreValuesOutOfRange) {
    View.SetPageNumber(2);
    EXPECT_EQ(View.PageNumber(), 1);

    ASSERT_EQ(Printer.PageCount(), 4);
    View.SetQRPrinter(&Printer);
    EXPECT_EQ(Printer.PreviewCount(), 1);
    View.SetPageNumber(3);
    EXPECT_EQ(View.PageNumber(), 3);
    for (int Bad : {0, -1, 5})
        View.SetPageNumber(Bad);
    EXPECT_EQ(View.PageNumber(), 3);
    View.SetPageNumber(4);
    EXPECT_EQ(View.PageNumber(), 4);

    for (int Bad : {1, 0, 2001})
        View.SetZoom(Bad);
    EXPECT_EQ(View.Zoom(), 100);
    View.SetZoom(2);
    EXPECT_EQ(View.Zoom(), 2);
    View.SetZoom(2000);
    EXPECT_EQ(View.Zoom(), 2000);
}

TEST_F(TPreviewFixture, ZoomToFitAndToWidthFollowTheControlsSize) {
    View.SetQRPrinter(&Printer);
    // Landscape A4 at 96 dpi: 1122.5 x 793.7 pixels at 100 %.
    ASSERT_EQ(View.logicalDpiX(), 96);
    View.ZoomToFit();
    EXPECT_EQ(View.Zoom(), static_cast<int>(400 / 793.7 * 95));
    View.ZoomToWidth();
    EXPECT_EQ(View.Zoom(), static_cast<int>(600 / 1122.5 * 90));
    View.resize(1200, 900);
    View.ZoomToWidth();
    EXPECT_EQ(View.Zoom(), static_cast<int>(1200 / 1122.5 * 90));

    View.SetZoom(300);
    EXPECT_GT(View.horizontalScrollBar()->maximum(), 2000);
    EXPECT_GT(View.verticalScrollBar()->maximum(), 1500);
    View.ZoomToFit();
    EXPECT_EQ(View.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(View.verticalScrollBar()->maximum(), 0);
}

TEST_F(TPreviewFixture, ShowsTheAttachedPage) {
    View.SetQRPrinter(&Printer);
    View.ZoomToFit();
    const QImage First = View.viewport()->grab().toImage();
    EXPECT_GT(DarkPixels(First), 500);
    View.ShowPage(2);
    EXPECT_EQ(View.PageNumber(), 2);
    const QImage Second = View.viewport()->grab().toImage();
    EXPECT_NE(First, Second);

    // Loading other pages into the printer object goes back to a page that exists.
    View.ShowPage(4);
    TSampleReport Small(3);
    TQRPrinter One;
    Small.Prepare(One);
    TMemoryStream File;
    ASSERT_TRUE(One.SaveToStream(File));
    Printer.LoadFromStream(File);
    EXPECT_EQ(View.PageNumber(), 1);
    View.SetPageNumber(2);
    EXPECT_EQ(View.PageNumber(), 1);
}

TEST_F(TPreviewFixture, ThePrinterObjectIsReleasedByTheLastControl) {
    QSignalSpy Released(&Printer, &TQRPrinter::PreviewsReleased);
    auto Other = std::make_unique<TQRPreview>();
    View.SetQRPrinter(&Printer);
    Other->SetQRPrinter(&Printer);
    EXPECT_EQ(Printer.PreviewCount(), 2);
    View.SetQRPrinter(nullptr);
    EXPECT_EQ(Released.count(), 0);
    Other.reset();
    EXPECT_EQ(Released.count(), 1);
    EXPECT_EQ(Printer.PreviewCount(), 0);

    // A printer object that goes away first leaves an empty control behind.
    auto Doomed = std::make_unique<TQRPrinter>();
    Report.Prepare(*Doomed);
    View.SetQRPrinter(Doomed.get());
    View.SetPageNumber(2);
    Doomed.reset();
    EXPECT_EQ(View.QRPrinter(), nullptr);
    View.SetPageNumber(1);
    EXPECT_EQ(View.PageNumber(), 2);
    EXPECT_EQ(DarkPixels(View.viewport()->grab().toImage()), 0);
}

TEST(ReportPreview, PreviewRunsTheEventLoopUntilTheControlLetsGo) {
    TSampleReport Report(30);
    std::unique_ptr<TQRPreview> View;
    int Pages = 0;
    bool TimerRan = false;
    // The preview event shows the pages in a new control; a timer later lets go of them, by
    // detaching (Detach) or by destroying the control, as closing its window does.
    auto ShowThenLetGo = [&](bool Detach) {
        Pages = 0;
        TimerRan = false;
        Report.OnPreview = [&, Detach](TObject* Sender) {
            auto* Printer = As<TQRPrinter>(Sender);
            Pages = Printer->PageCount();
            View = std::make_unique<TQRPreview>();
            View->SetQRPrinter(Printer);
            QTimer::singleShot(20, [&, Detach] {
                TimerRan = true;
                if (Detach)
                    View->SetQRPrinter(nullptr);
                else
                    View.reset();
            });
        };
        Report.Preview();
    };
    ShowThenLetGo(true);
    EXPECT_TRUE(TimerRan);
    EXPECT_EQ(Pages, 2);
    EXPECT_EQ(View->QRPrinter(), nullptr);
    ShowThenLetGo(false);
    EXPECT_TRUE(TimerRan);
    EXPECT_EQ(Pages, 2);
    EXPECT_EQ(View, nullptr);

    // Nobody attaches: the preview does not wait.
    int Runs = 0;
    Report.OnPreview = [&](TObject*) { ++Runs; };
    Report.Preview();
    EXPECT_EQ(Runs, 1);
}
