#include "components/CDKRotat.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace {
// Rounds to the nearest integer, halves to even.
int RoundEven(double V) {
    return static_cast<int>(std::nearbyint(V));
}
} // namespace

TCDKRotate3DLabel::TCDKRotate3DLabel(QWidget* Parent) : QWidget(Parent) {
    mShadowColor = palette().color(QPalette::Dark);
    mHighlightColor = palette().color(QPalette::Light);
    mFontColor = palette().color(QPalette::WindowText);
    AdjustBounds();
}

int TCDKRotate3DLabel::NormalizeRotation(int Value) {
    int R = Value > 0 ? Value % 360 : -(std::abs(Value) % 360);
    if (R > 180)
        R -= 360;
    if (R <= -180)
        R += 360;
    return R;
}

TRotatedTextBox TCDKRotate3DLabel::RotatedBox(int TW, int TH, int Rotation, int ShadowOffset) {
    const double A = Rotation * std::numbers::pi / 180.0;
    const double S = std::sin(A), C = std::cos(A);
    TRotatedTextBox Box{};
    Box.BW = RoundEven(std::abs(TW * C) + std::abs(TH * S)) + ShadowOffset;
    Box.BH = RoundEven(std::abs(TW * S) + std::abs(TH * C)) + ShadowOffset;
    if (Rotation >= 0 && Rotation <= 90) {
        Box.OX = 0;
        Box.OY = RoundEven(std::abs(TW * S));
    } else if (Rotation >= -90 && Rotation < 0) {
        Box.OX = RoundEven(std::abs(TH * S));
        Box.OY = 0;
    } else if (Rotation > 90) {
        Box.OX = RoundEven(std::abs(TW * C));
        Box.OY = Box.BH;
    } else {
        Box.OX = Box.BW;
        Box.OY = RoundEven(std::abs(TH * C));
    }
    return Box;
}

std::vector<TTextPass> TCDKRotate3DLabel::Passes(TCDKShadowStyle Style, bool Enabled, int S) {
    using P = TTextPass;
    switch (Style) {
    case ssRaised:
        return {{P::pcHighlight, -S, -S}, {P::pcShadow, S, S}, {P::pcFace, 0, 0}};
    case ssLowered:
        return {{P::pcHighlight, S, S}, {P::pcShadow, -S, -S}, {P::pcFace, 0, 0}};
    case ssHasShadow:
        return {{P::pcShadow, S, S}, {P::pcFace, 0, 0}};
    case ssNormalWithDisable:
        if (!Enabled)
            return {{P::pcHighlight, S, S}, {P::pcShadow, 0, 0}};
        break;
    case ssNoShadow:
        break;
    }
    return {{P::pcFace, 0, 0}};
}

void TCDKRotate3DLabel::SetRotation(int Value) {
    const int R = NormalizeRotation(Value);
    if (R == mRotation)
        return;
    mRotation = R;
    if (!Loading() && R != 0) {
        const QFontInfo Info(font());
        if (!QFontDatabase::isSmoothlyScalable(Info.family(), Info.styleName())) {
            QFont Replaced = font();
            Replaced.setFamily(QStringLiteral("Arial"));
            setFont(Replaced);
        }
    }
    AdjustBounds();
    update();
}

void TCDKRotate3DLabel::SetShadowOffset(int Value) {
    if (mShadowOffset == Value)
        return;
    mShadowOffset = Value;
    AdjustBounds();
    update();
}

void TCDKRotate3DLabel::SetShadowStyle(TCDKShadowStyle Value) {
    if (mShadowStyle == Value)
        return;
    mShadowStyle = Value;
    update();
}

void TCDKRotate3DLabel::SetHighlightColor(const QColor& Value) {
    if (mHighlightColor == Value)
        return;
    mHighlightColor = Value;
    update();
}

void TCDKRotate3DLabel::SetShadowColor(const QColor& Value) {
    if (mShadowColor == Value)
        return;
    mShadowColor = Value;
    update();
}

void TCDKRotate3DLabel::SetUnicodeCaption(bool Value) {
    mUnicodeCaption = Value;
    AdjustBounds();
    update();
}

void TCDKRotate3DLabel::SetTransparent(bool Value) {
    mTransparent = Value;
    update();
}

void TCDKRotate3DLabel::SetCaption(const QString& Value) {
    mCaption = Value;
    AdjustBounds();
    update();
}

void TCDKRotate3DLabel::SetFontColor(const QColor& Value) {
    mFontColor = Value;
    update();
}

void TCDKRotate3DLabel::SetColor(const QColor& Value) {
    QPalette Pal = palette();
    Pal.setColor(QPalette::Window, Value);
    setPalette(Pal);
    update();
}

void TCDKRotate3DLabel::SetAlign(TAlign Value) {
    mAlign = Value;
    AdjustBounds();
}

QSize TCDKRotate3DLabel::TextExtent() const {
    const QFontMetrics FM(font());
    QString Measured = mCaption;
    if (mUnicodeCaption) {
        // The caption's bytes taken two at a time as 16-bit characters; an odd last byte is left out.
        const QByteArray Bytes = mCaption.toLatin1();
        Measured.clear();
        for (qsizetype I = 0; I + 1 < Bytes.size(); I += 2)
            Measured += QChar(static_cast<char16_t>(static_cast<unsigned char>(Bytes[I]) |
                                                    static_cast<unsigned char>(Bytes[I + 1]) << 8));
    }
    return {FM.horizontalAdvance(Measured), FM.height()};
}

void TCDKRotate3DLabel::AdjustBounds() {
    const QSize Text = TextExtent();
    const TRotatedTextBox Box = RotatedBox(Text.width(), Text.height(), mRotation, mShadowOffset);
    int W = width(), H = height();
    if (mAlign == alNone || mAlign == alTop || mAlign == alBottom)
        H = Box.BH;
    if (mAlign == alNone || mAlign == alLeft || mAlign == alRight)
        W = Box.BW;
    if (W != width() || H != height())
        resize(W, H);
}

void TCDKRotate3DLabel::changeEvent(QEvent* Event) {
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::FontChange)
        AdjustBounds();
    else if (Event->type() == QEvent::EnabledChange)
        update();
}

void TCDKRotate3DLabel::paintEvent(QPaintEvent*) {
    // Every paint sizes the label, so a size given from outside lasts only until it shows.
    AdjustBounds();
    QPainter P(this);
    if (!mTransparent)
        P.fillRect(rect(), Color());
    const QSize Text = TextExtent();
    const TRotatedTextBox Box = RotatedBox(Text.width(), Text.height(), mRotation, mShadowOffset);
    P.setFont(font());
    const int Ascent = QFontMetrics(font()).ascent();
    for (const TTextPass& Pass : Passes(mShadowStyle, isEnabled(), mShadowOffset)) {
        P.setPen(Pass.Color == TTextPass::pcHighlight ? mHighlightColor
                 : Pass.Color == TTextPass::pcShadow  ? mShadowColor
                                                      : mFontColor);
        P.save();
        P.translate(Box.OX + Pass.DX, Box.OY + Pass.DY);
        P.rotate(-mRotation);
        P.drawText(0, Ascent, mCaption);
        P.restore();
    }
}
