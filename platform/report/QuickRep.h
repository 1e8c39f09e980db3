#pragma once
// The banded report: a report holds bands (page header, column header, detail, summary, page
// footer) and the bands hold printable controls (labels, system-data fields, images). A run
// asks the report for each detail row through OnNeedData and lays the bands out on pages,
// recorded as QPictures for a printer object, or passed as placed texts to an export filter.
//
// Designs use pixels of a 96-dpi page for band heights and control positions; control
// positions are relative to their band, whose left edge is the page's left margin.

#include "platform/report/QRPrinter.h"
#include "platform/rtl/Classes.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TQRCustomBand;
class TQRExportFilter;
class TQRPrintContext;
class TQuickRep;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TQRBandType { rbPageHeader, rbColumnHeader, rbDetail, rbSummary, rbPageFooter };
enum TQRSysDataType { qrsPageNumber };

using TQRNeedDataEvent = std::function<void(TObject* Sender, bool& MoreData)>;
using TQRReportBeforePrintEvent = std::function<void(TQuickRep* Sender, bool& PrintReport)>;
using TQRBandBeforePrintEvent = std::function<void(TQRCustomBand* Sender, bool& PrintBand)>;
using TQRLabelOnPrintEvent = std::function<void(TObject* Sender, std::string& Value)>;

/// Base of the controls placed on a band. Positions and sizes are design pixels relative to
/// the band. The font is the band's (and so the report's) until one is set.
class TQRPrintable : public TObject {
public:
    explicit TQRPrintable(TQRCustomBand& Parent) : mParent(Parent) {}
    TQRPrintable(const TQRPrintable&) = delete;
    TQRPrintable& operator=(const TQRPrintable&) = delete;
    std::string ClassName() const override { return "TQRPrintable"; }

    TQRCustomBand& Parent() const { return mParent; }
    QFont Font() const;
    void SetFont(const QFont& Font) { mFont = Font; }

    int Left = 0;
    int Top = 0;
    int Width = 64;
    int Height = 17;

    // Called by the engine for each printing of the band: Measure fires the control's
    // events and lays it out, Growth tells how far it reaches below its design height (page
    // units), Draw puts it on the page with the band's top-left corner at Origin.
    virtual void Measure(TQRPrintContext& Context) = 0;
    virtual double Growth() const { return 0; }
    virtual void Draw(TQRPrintContext& Context, QPointF Origin) = 0;

private:
    TQRCustomBand& mParent;
    std::optional<QFont> mFont;
};

/// A text control: one line, or word-wrapped lines growing downwards (AutoStretch) when the
/// text is longer than the width. AutoSize fits the width to a single line of text and keeps
/// the right edge for right alignment and the centre for centred text. OnPrint may change
/// the text printed (Value); it starts as the control's text.
class TQRCustomLabel : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    std::string ClassName() const override { return "TQRCustomLabel"; }

    TAlignment Alignment = taLeftJustify;
    bool AutoSize = true;
    bool AutoStretch = false;
    bool WordWrap = true;
    /// Background; none when invalid or transparent.
    QColor Color;
    TQRLabelOnPrintEvent OnPrint;

    void Measure(TQRPrintContext& Context) override;
    double Growth() const override { return mGrowth; }
    void Draw(TQRPrintContext& Context, QPointF Origin) override;

    /// The text of the last printing, after OnPrint.
    const std::string& PrintedValue() const { return mValue; }

protected:
    /// The text before OnPrint.
    virtual std::string BaseText(const TQRPrintContext& Context) const = 0;

private:
    std::string mValue;
    QStringList mLines;
    std::vector<double> mLineWidths;
    QRectF mRect;
    double mGrowth = 0;
    bool mClip = false;
};

/// A label with a caption.
class TQRLabel final : public TQRCustomLabel {
public:
    using TQRCustomLabel::TQRCustomLabel;
    std::string ClassName() const override { return "TQRLabel"; }
    std::string Caption;

protected:
    std::string BaseText(const TQRPrintContext&) const override { return Caption; }
};

/// A field of data the engine knows: the page number, printed after Text.
class TQRSysData final : public TQRCustomLabel {
public:
    using TQRCustomLabel::TQRCustomLabel;
    std::string ClassName() const override { return "TQRSysData"; }
    TQRSysDataType Data = qrsPageNumber;
    std::string Text;

protected:
    std::string BaseText(const TQRPrintContext& Context) const override;
};

/// A picture, at its own size (one image pixel per design pixel, clipped to the control) or
/// stretched to the control. Transparent parts print as white paper.
class TQRImage final : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    std::string ClassName() const override { return "TQRImage"; }

    QImage Picture;
    bool Stretch = false;

    void Measure(TQRPrintContext&) override {}
    void Draw(TQRPrintContext& Context, QPointF Origin) override;

private:
    std::vector<std::pair<qint64, QImage>> mPrepared;
};

/// Lines drawn along a band's edges.
struct TQRFrame {
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;
    int Width = 1;
    QColor Color = Qt::black;
};

/// A band of a report: its kind, height, frame, controls and BeforePrint event, which can
/// stop one printing of the band. A band grows by the most that one of its controls grows.
class TQRCustomBand : public TObject {
public:
    TQRCustomBand(TQuickRep& Report, TQRBandType Type) : BandType(Type), mReport(Report) {}
    TQRCustomBand(const TQRCustomBand&) = delete;
    TQRCustomBand& operator=(const TQRCustomBand&) = delete;
    std::string ClassName() const override { return "TQRCustomBand"; }

    TQRBandType BandType;
    int Height = 25;
    TQRFrame Frame;
    TQRBandBeforePrintEvent BeforePrint;

    TQuickRep& ParentReport() const { return mReport; }
    QFont Font() const;
    void SetFont(const QFont& Font) { mFont = Font; }

    /// Creates a control of class T on the band; the band owns it.
    template <class T>
    T* Add() {
        auto Control = std::make_unique<T>(*this);
        T* Result = Control.get();
        mControls.push_back(std::move(Control));
        return Result;
    }
    const std::vector<std::unique_ptr<TQRPrintable>>& Controls() const { return mControls; }

private:
    TQuickRep& mReport;
    std::optional<QFont> mFont;
    std::vector<std::unique_ptr<TQRPrintable>> mControls;
};

class TQRBand final : public TQRCustomBand {
public:
    using TQRCustomBand::TQRCustomBand;
    std::string ClassName() const override { return "TQRBand"; }
};

/// Paper, orientation and margins (millimetres) of a report.
struct TQRPage {
    TQRPaperSize PaperSize = TQRPaperSize::A4;
    TPrinterOrientation Orientation = poPortrait;
    double LeftMargin = 10;
    double TopMargin = 10;
    double RightMargin = 10;
    double BottomMargin = 10;
};

struct TQuickRepOptions {
    /// Print the page header on the first page too.
    bool FirstPageHeader = false;
    /// Print the page footer on the last page too.
    bool LastPageFooter = false;
    /// Report files saved from the report's printer objects compress their pages.
    bool Compression = false;
};

/// A banded report. A run fires BeforePrint (which can cancel it), then OnNeedData before
/// each detail row until it leaves MoreData false. Pages break when a band does not fit above
/// the page footer; the summary sits at the bottom of the last page. Without rows the report
/// still prints its headers and summary when PrintIfEmpty is set, otherwise no page at all.
class TQuickRep : public TObject {
public:
    TQuickRep();
    ~TQuickRep() override;
    TQuickRep(const TQuickRep&) = delete;
    TQuickRep& operator=(const TQuickRep&) = delete;
    std::string ClassName() const override { return "TQuickRep"; }

    TQRPage Page;
    QFont Font;
    std::string ReportTitle;
    TQuickRepOptions Options;
    bool PrintIfEmpty = true;

    TQRNeedDataEvent OnNeedData;
    TQRReportBeforePrintEvent BeforePrint;
    /// Fired by Preview with the printer object holding the pages as Sender.
    TNotifyEvent OnPreview;

    /// Creates a band of the given kind; the report owns it. Bands of one kind print in the
    /// order in which they were added.
    TQRBand* AddBand(TQRBandType Type);
    const std::vector<std::unique_ptr<TQRCustomBand>>& Bands() const { return mBands; }

    /// The page in design pixels, and the width of the bands between the margins.
    int PageWidth() const;
    int PageHeight() const;
    int BandWidth() const;

    /// The page being printed during a run (from 1); 0 outside runs.
    int PageNumber() const { return mPageNumber; }

    /// Runs the report into Printer, replacing its pages and setting its paper.
    void Prepare(TQRPrinter& Printer);
    /// Runs the report once through Filter: BeginExport, then per page ClearPage, PlaceText
    /// for each text and FlushPage, then EndExport.
    void ExportWithFilter(TQRExportFilter& Filter);
    /// Runs the report into a fresh printer object, fires OnPreview with it and returns once
    /// every preview control attached to it has let go, the event loop running meanwhile.
    /// In the widgets library (Quorvex::report_widgets).
    void Preview();

private:
    friend class TQRReportRun;
    void Execute(TQRPrintContext& Context, std::vector<QPicture>* Pages);

    std::vector<std::unique_ptr<TQRCustomBand>> mBands;
    int mPageNumber = 0;
};
