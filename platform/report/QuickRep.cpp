#include "platform/report/QuickRep.h"

#include "platform/report/QRExport.h"
#include "platform/report/QRPage.h"
#include "platform/report/QRRun.h"

#include <QPainter>

#include <cmath>
#include <optional>

using qrpage::UnitsPerDesignPixel;
using qrpage::UnitsPerMM;

QFont TQRCustomBand::Font() const {
    return mFont ? *mFont : mReport.Font;
}

TQuickRep::TQuickRep() : Font(QStringLiteral("Arial"), 10) {}
TQuickRep::~TQuickRep() = default;

TQRBand* TQuickRep::AddBand(TQRBandType Type) {
    auto Band = std::make_unique<TQRBand>(*this, Type);
    TQRBand* Result = Band.get();
    mBands.push_back(std::move(Band));
    return Result;
}

int TQuickRep::PageWidth() const {
    return static_cast<int>(std::lround(QRPaperSizeMM(Page.PaperSize, Page.Orientation).width() / 25.4 * 96));
}

int TQuickRep::PageHeight() const {
    return static_cast<int>(
        std::lround(QRPaperSizeMM(Page.PaperSize, Page.Orientation).height() / 25.4 * 96));
}

int TQuickRep::BandWidth() const {
    const double MM =
        QRPaperSizeMM(Page.PaperSize, Page.Orientation).width() - Page.LeftMargin - Page.RightMargin;
    return static_cast<int>(std::lround(MM / 25.4 * 96));
}

/// One run of a report: lays the bands out page by page.
class TQRReportRun {
public:
    TQRReportRun(TQuickRep& Report, TQRPrintContext& Context, std::vector<QPicture>* Pages)
        : mReport(Report), mContext(Context), mPages(Pages) {
        const QSizeF MM = QRPaperSizeMM(Report.Page.PaperSize, Report.Page.Orientation);
        mPaper = QSize(static_cast<int>(std::lround(MM.width() * UnitsPerMM)),
                       static_cast<int>(std::lround(MM.height() * UnitsPerMM)));
        mLeft = Report.Page.LeftMargin * UnitsPerMM;
        mTop = Report.Page.TopMargin * UnitsPerMM;
        mBottom = mPaper.height() - Report.Page.BottomMargin * UnitsPerMM;
        mWidth = Report.BandWidth() * UnitsPerDesignPixel;
        double Footers = 0;
        for (const TQRCustomBand* B : BandsOf(rbPageFooter))
            Footers += B->Height * UnitsPerDesignPixel;
        mBodyBottom = mBottom - Footers;
    }

    ~TQRReportRun() { mReport.mPageNumber = 0; }

    void Run() {
        bool AnyRow = false;
        for (;;) {
            bool MoreData = false;
            if (mReport.OnNeedData)
                mReport.OnNeedData(&mReport, MoreData);
            if (!MoreData)
                break;
            AnyRow = true;
            for (TQRCustomBand* B : BandsOf(rbDetail))
                PrintBody(*B);
        }
        if (!AnyRow && !mReport.PrintIfEmpty)
            return;
        if (mPageNumber == 0)
            NewPage();
        PrintSummaries();
        EndPage(true);
    }

private:
    std::vector<TQRCustomBand*> BandsOf(TQRBandType Type) const {
        std::vector<TQRCustomBand*> Result;
        for (const auto& B : mReport.Bands())
            if (B->BandType == Type)
                Result.push_back(B.get());
        return Result;
    }

    // Fires the band's and its controls' events and measures it; false when it does not print.
    bool Prepare(TQRCustomBand& Band, double& Height) {
        bool PrintBand = true;
        if (Band.BeforePrint)
            Band.BeforePrint(&Band, PrintBand);
        if (!PrintBand)
            return false;
        double Growth = 0;
        for (const auto& C : Band.Controls()) {
            C->Measure(mContext);
            Growth = std::max(Growth, C->Growth());
        }
        Height = Band.Height * UnitsPerDesignPixel + Growth;
        return true;
    }

    void Draw(TQRCustomBand& Band, double Y, double Height) {
        if (QPainter* P = mContext.Painter) {
            const TQRFrame& F = Band.Frame;
            if (F.DrawTop || F.DrawBottom || F.DrawLeft || F.DrawRight) {
                P->setPen(QPen(F.Color, F.Width * UnitsPerDesignPixel, Qt::SolidLine, Qt::SquareCap));
                const double L = mLeft, R = mLeft + mWidth, T = Y, B = Y + Height;
                if (F.DrawTop)
                    P->drawLine(QLineF(L, T, R, T));
                if (F.DrawBottom)
                    P->drawLine(QLineF(L, B, R, B));
                if (F.DrawLeft)
                    P->drawLine(QLineF(L, T, L, B));
                if (F.DrawRight)
                    P->drawLine(QLineF(R, T, R, B));
                P->setPen(Qt::black);
            }
        }
        for (const auto& C : Band.Controls())
            C->Draw(mContext, QPointF(mLeft, Y));
    }

    void PrintBody(TQRCustomBand& Band) {
        double Height;
        if (!Prepare(Band, Height))
            return;
        if (mPageNumber == 0)
            NewPage();
        // A band taller than a whole page prints on a fresh page, cut at its bottom, rather
        // than breaking page after page for ever.
        if (mY + Height > mBodyBottom && mBodiesOnPage > 0) {
            EndPage(false);
            NewPage();
        }
        Draw(Band, mY, Height);
        mY += Height;
        ++mBodiesOnPage;
    }

    using TPrepared = std::vector<std::pair<TQRCustomBand*, double>>;

    // Prepares the bands of one kind that print this time; Total is their height together.
    TPrepared PrepareAll(TQRBandType Type, double& Total) {
        TPrepared Printing;
        Total = 0;
        for (TQRCustomBand* B : BandsOf(Type)) {
            double Height;
            if (Prepare(*B, Height)) {
                Printing.emplace_back(B, Height);
                Total += Height;
            }
        }
        return Printing;
    }

    // Draws prepared bands one below the other from Y; returns where the last one ends.
    double DrawStacked(const TPrepared& Printing, double Y) {
        for (const auto& [Band, Height] : Printing) {
            Draw(*Band, Y, Height);
            Y += Height;
        }
        return Y;
    }

    void PrintSummaries() {
        double Total;
        const TPrepared Printing = PrepareAll(rbSummary, Total);
        if (Printing.empty())
            return;
        if (mY + Total > mBodyBottom && mBodiesOnPage > 0) {
            EndPage(false);
            NewPage();
        }
        mY = DrawStacked(Printing, std::max(mY, mBodyBottom - Total));
        ++mBodiesOnPage;
    }

    void NewPage() {
        ++mPageNumber;
        mContext.PageNumber = mPageNumber;
        mReport.mPageNumber = mPageNumber;
        if (mPages != nullptr) {
            mPicture = QPicture();
            mPicture.setBoundingRect(QRect(QPoint(0, 0), mPaper));
            mPainter.emplace(&mPicture);
            mPainter->setPen(Qt::black);
            mContext.Painter = &*mPainter;
        }
        if (mContext.Filter != nullptr)
            mContext.Filter->ClearPage();
        mY = mTop;
        mBodiesOnPage = 0;
        if (mPageNumber > 1 || mReport.Options.FirstPageHeader)
            for (TQRCustomBand* B : BandsOf(rbPageHeader))
                PrintHeader(*B);
        for (TQRCustomBand* B : BandsOf(rbColumnHeader))
            PrintHeader(*B);
    }

    void PrintHeader(TQRCustomBand& Band) {
        double Height;
        if (!Prepare(Band, Height))
            return;
        Draw(Band, mY, Height);
        mY += Height;
    }

    void EndPage(bool Last) {
        if (!Last || mReport.Options.LastPageFooter) {
            double Total;
            const TPrepared Printing = PrepareAll(rbPageFooter, Total);
            DrawStacked(Printing, mBottom - Total);
        }
        if (mPainter) {
            mPainter->end();
            mPainter.reset();
            mContext.Painter = nullptr;
            mPages->push_back(mPicture);
        }
        if (mContext.Filter != nullptr)
            mContext.Filter->FlushPage();
    }

    TQuickRep& mReport;
    TQRPrintContext& mContext;
    std::vector<QPicture>* mPages;
    QSize mPaper;
    double mLeft = 0, mTop = 0, mBottom = 0, mWidth = 0, mBodyBottom = 0;
    double mY = 0;
    int mPageNumber = 0;
    int mBodiesOnPage = 0;
    QPicture mPicture;
    std::optional<QPainter> mPainter;
};

void TQuickRep::Execute(TQRPrintContext& Context, std::vector<QPicture>* Pages) {
    bool PrintReport = true;
    if (BeforePrint)
        BeforePrint(this, PrintReport);
    if (!PrintReport)
        return;
    TQRReportRun Run(*this, Context, Pages);
    Run.Run();
}

void TQuickRep::Prepare(TQRPrinter& Printer) {
    std::vector<QPicture> Pages;
    qrpage::TPictureTable Pictures;
    TQRPrintContext Context;
    Context.Pictures = &Pictures;
    Execute(Context, &Pages);
    Printer.SetPaper(Page.PaperSize, Page.Orientation);
    Printer.SetTitle(ReportTitle);
    Printer.SetCompression(Options.Compression);
    Printer.SetPages(std::move(Pages), std::move(Pictures));
}

void TQuickRep::ExportWithFilter(TQRExportFilter& Filter) {
    const QSizeF MM = QRPaperSizeMM(Page.PaperSize, Page.Orientation);
    Filter.BeginExport(static_cast<int>(std::lround(MM.width() * 10)),
                       static_cast<int>(std::lround(MM.height() * 10)), qrpage::PointFont(Font));
    TQRPrintContext Context;
    Context.Filter = &Filter;
    Execute(Context, nullptr);
    Filter.EndExport();
}
