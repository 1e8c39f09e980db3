#include "platform/report/QRExport.h"
#include "platform/report/QRPage.h"
#include "platform/report/QRRun.h"
#include "platform/rtl/TextCodec.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using qrpage::UnitsPerDesignPixel;

const TQRPrintContext::TFontInfo& TQRPrintContext::FontInfo(const QFont& Design) {
    for (const auto& F : mFonts)
        if (F->Design == Design)
            return *F;
    const QFont Page = qrpage::PageFont(Design);
    const QFontMetricsF Metrics(Page);
    mFonts.push_back(std::make_unique<TFontInfo>(TFontInfo{Design, Page, qrpage::PointFont(Design), Metrics,
                                                           Metrics.ascent(), Metrics.lineSpacing()}));
    return *mFonts.back();
}

void TQRPrintContext::PlaceText(double X, double Y, const TFontInfo& Font, const QColor& Background,
                                TAlignment Alignment, const std::string& Text) {
    if (Filter != nullptr)
        Filter->PlaceText(X * qrpage::PaperUnitsPerUnit, Y * qrpage::PaperUnitsPerUnit, Font.Points,
                          Background.isValid() && Background.alpha() > 0 ? Background : QColor(Qt::white),
                          Alignment, Text);
}

QFont TQRPrintable::Font() const {
    return mFont ? *mFont : mParent.Font();
}

namespace {
// Breaks one paragraph into lines no wider than Width, at blanks where it can and inside a
// word that is wider than a whole line. Widths holds each line's width.
void WrapParagraph(const QString& Text, double Width, const QFontMetricsF& Metrics, QStringList& Lines,
                   std::vector<double>& Widths) {
    // Most texts fit on one line: one measurement settles them.
    const double Whole = Metrics.horizontalAdvance(Text);
    if (Whole <= Width) {
        Lines.push_back(Text);
        Widths.push_back(Whole);
        return;
    }
    const QStringList Words = Text.split(QLatin1Char(' '));
    QString Line;
    double LineWidth = 0;
    bool LineStarted = false;
    auto Flush = [&] {
        Lines.push_back(Line);
        Widths.push_back(LineWidth);
    };
    for (const QString& Word : Words) {
        QString Candidate = LineStarted ? Line + QLatin1Char(' ') + Word : Word;
        const double CandidateWidth = Metrics.horizontalAdvance(Candidate);
        if (!LineStarted || CandidateWidth <= Width) {
            Line = std::move(Candidate);
            LineWidth = CandidateWidth;
            LineStarted = true;
        } else {
            Flush();
            Line = Word;
            LineWidth = Metrics.horizontalAdvance(Line);
        }
        while (Line.size() > 1 && LineWidth > Width) {
            qsizetype Fit = 1;
            while (Fit + 1 < Line.size() && Metrics.horizontalAdvance(Line.left(Fit + 1)) <= Width)
                ++Fit;
            const QString Rest = Line.mid(Fit);
            Line.truncate(Fit);
            LineWidth = Metrics.horizontalAdvance(Line);
            Flush();
            Line = Rest;
            LineWidth = Metrics.horizontalAdvance(Line);
        }
    }
    Flush();
}
} // namespace

void TQRCustomLabel::Measure(TQRPrintContext& Context) {
    mValue = BaseText(Context);
    if (OnPrint)
        OnPrint(this, mValue);
    const TQRPrintContext::TFontInfo& F = Context.FontInfo(Font());
    const double DesignWidth = Width * UnitsPerDesignPixel;
    const double DesignHeight = Height * UnitsPerDesignPixel;

    QString Text = QString::fromStdString(Cp1252ToUtf8(mValue));
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList Paragraphs = Text.split(QLatin1Char('\n'));
    mLines.clear();
    mLineWidths.clear();
    if (WordWrap && !AutoSize) {
        for (const QString& P : Paragraphs)
            WrapParagraph(P, DesignWidth, F.Metrics, mLines, mLineWidths);
    } else {
        mLines = Paragraphs;
        for (const QString& L : mLines)
            mLineWidths.push_back(F.Metrics.horizontalAdvance(L));
    }
    const double Widest = *std::max_element(mLineWidths.begin(), mLineWidths.end());
    const double TextHeight = static_cast<double>(mLines.size()) * F.LineHeight;

    double X = Left * UnitsPerDesignPixel;
    double RectWidth = DesignWidth;
    double RectHeight = DesignHeight;
    if (AutoSize) {
        RectWidth = std::ceil(Widest);
        if (Alignment == taRightJustify)
            X += DesignWidth - RectWidth;
        else if (Alignment == taCenter)
            X += (DesignWidth - RectWidth) / 2;
        RectHeight = TextHeight;
    } else if (AutoStretch) {
        RectHeight = std::max(DesignHeight, TextHeight);
    }
    mRect = QRectF(X, Top * UnitsPerDesignPixel, RectWidth, RectHeight);
    // Only stretching labels make their band grow; an auto-sized one keeps the design's room.
    mGrowth = AutoStretch && !AutoSize ? std::max(0.0, RectHeight - DesignHeight) : 0.0;
    mClip = Widest > RectWidth + 0.5 || TextHeight > RectHeight + 0.5;
}

void TQRCustomLabel::Draw(TQRPrintContext& Context, QPointF Origin) {
    const TQRPrintContext::TFontInfo& F = Context.FontInfo(Font());
    const QRectF Rect = mRect.translated(Origin);
    auto LineX = [&](std::size_t I) {
        switch (Alignment) {
        case taRightJustify:
            return Rect.right() - mLineWidths[I];
        case taCenter:
            return Rect.left() + (Rect.width() - mLineWidths[I]) / 2;
        default:
            return Rect.left();
        }
    };
    // An empty label draws nothing but still gives export filters its (empty) text, so that
    // a row of a table keeps all its cells.
    QPainter* P = mValue.empty() ? nullptr : Context.Painter;
    if (P != nullptr) {
        if (Color.isValid() && Color.alpha() > 0)
            P->fillRect(Rect, Color);
        if (mClip) {
            P->save();
            P->setClipRect(Rect);
        }
        // Every change of font is a record of the page; rows of labels mostly share one.
        if (P->font() != F.Page)
            P->setFont(F.Page);
        for (qsizetype I = 0; I < mLines.size(); ++I) {
            const double Y = Rect.top() + static_cast<double>(I) * F.LineHeight;
            if (Y >= Rect.bottom())
                break;
            if (!mLines[I].isEmpty())
                P->drawText(QPointF(LineX(static_cast<std::size_t>(I)), Y + F.Ascent), mLines[I]);
        }
        if (mClip)
            P->restore();
    }
    Context.PlaceText(mLines.isEmpty() ? Rect.left() : LineX(0), Rect.top(), F, Color, Alignment, mValue);
}

std::string TQRSysData::BaseText(const TQRPrintContext& Context) const {
    switch (Data) {
    case qrsPageNumber:
        return Text + IntToStr(Context.PageNumber);
    }
    return Text;
}

namespace {
// Pages record images as PNG, which Qt writes an order of magnitude faster from an indexed
// image than from a true-colour one. Transparent parts go onto white paper first; an image
// of at most 256 colours then takes an exact palette, a richer one stays true-colour.
QImage PrintableImage(const QImage& Picture) {
    QImage Opaque(Picture.size(), QImage::Format_RGB32);
    Opaque.fill(Qt::white);
    QPainter Flatten(&Opaque);
    Flatten.drawImage(0, 0, Picture);
    Flatten.end();
    QList<QRgb> Colors;
    for (int Y = 0; Y < Opaque.height(); ++Y) {
        const auto* Line = reinterpret_cast<const QRgb*>(Opaque.constScanLine(Y));
        for (int X = 0; X < Opaque.width(); ++X)
            if (!Colors.contains(Line[X])) {
                if (Colors.size() == 256)
                    return Opaque;
                Colors.push_back(Line[X]);
            }
    }
    return Opaque.convertToFormat(QImage::Format_Indexed8, Colors);
}
} // namespace

void TQRImage::Draw(TQRPrintContext& Context, QPointF Origin) {
    QPainter* P = Context.Painter;
    if (P == nullptr || Picture.isNull())
        return;
    // Rows usually cycle through a few pictures; each is prepared once.
    const QImage* Printable = nullptr;
    for (const auto& [Key, Image] : mPrepared)
        if (Key == Picture.cacheKey())
            Printable = &Image;
    if (Printable == nullptr) {
        if (mPrepared.size() >= 32)
            mPrepared.clear();
        mPrepared.emplace_back(Picture.cacheKey(), PrintableImage(Picture));
        Printable = &mPrepared.back().second;
    }
    const QRectF Bounds(Origin.x() + Left * UnitsPerDesignPixel, Origin.y() + Top * UnitsPerDesignPixel,
                        Width * UnitsPerDesignPixel, Height * UnitsPerDesignPixel);
    // Stretched to the control, or at its own size cut to the control.
    QRectF Target = Bounds;
    QRectF Source(0, 0, Printable->width(), Printable->height());
    if (!Stretch) {
        const double Scale = UnitsPerDesignPixel;
        Target = QRectF(Bounds.topLeft(), Source.size() * Scale).intersected(Bounds);
        if (Target.isEmpty())
            return;
        Source.setSize(Target.size() / Scale);
    }
    if (Context.Pictures != nullptr)
        qrpage::DrawTableImage(*P, Target, Context.Pictures->Add(*Printable), Source);
    else
        P->drawImage(Target, *Printable, Source);
}
