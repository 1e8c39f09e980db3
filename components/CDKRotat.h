#pragma once
// A label that draws its caption at any angle, with a raised, lowered, shadowed or
// engraved-when-disabled 3-D effect made of up to three passes of the text, and that sizes itself
// to the rotated text.

#include "components/CDK_Comp.h"

#include <vector>

enum TCDKShadowStyle : Byte { ssRaised, ssLowered, ssHasShadow, ssNormalWithDisable, ssNoShadow };

/// The box of a rotated text (each side grown by the shadow offset) and the point where the
/// text's unrotated top-left corner lands.
struct TRotatedTextBox {
    int BW;
    int BH;
    int OX;
    int OY;
};

/// One drawing of the caption: its colour and its offset from the text origin.
struct TTextPass {
    enum TPassColor { pcHighlight, pcShadow, pcFace };
    TPassColor Color;
    int DX;
    int DY;
};

/// The rotated 3-D label. Rotation is in degrees, counter-clockwise, kept in (-180, 180].
class TCDKRotate3DLabel : public QWidget, public TKitComponent {
    Q_OBJECT
public:
    explicit TCDKRotate3DLabel(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TCDKRotate3DLabel"; }

    /// Brings an angle into (-180, 180]: 540 gives 180, -180 gives 180, 181 gives -179.
    static int NormalizeRotation(int Value);
    /// The rotated box and text origin of a TW x TH text (rounding halves to even).
    static TRotatedTextBox RotatedBox(int TW, int TH, int Rotation, int ShadowOffset);
    /// The passes of a style, in drawing order; S is the shadow offset.
    static std::vector<TTextPass> Passes(TCDKShadowStyle Style, bool Enabled, int S);

    int Rotation() const { return mRotation; }
    /// Normalises and stores the angle. Outside loading, a non-zero angle replaces a font that
    /// cannot be drawn rotated (a bitmap font) by "Arial".
    void SetRotation(int Value);
    int ShadowOffset() const { return mShadowOffset; }
    void SetShadowOffset(int Value);
    TCDKShadowStyle ShadowStyle() const { return mShadowStyle; }
    void SetShadowStyle(TCDKShadowStyle Value);
    QColor HighlightColor() const { return mHighlightColor; }
    void SetHighlightColor(const QColor& Value);
    QColor ShadowColor() const { return mShadowColor; }
    void SetShadowColor(const QColor& Value);
    /// Measure the caption's 8-bit bytes read as 16-bit characters; the drawing stays 8-bit.
    bool UnicodeCaption() const { return mUnicodeCaption; }
    void SetUnicodeCaption(bool Value);
    bool Transparent() const { return mTransparent; }
    void SetTransparent(bool Value);
    QString Caption() const { return mCaption; }
    void SetCaption(const QString& Value);
    /// Colour of the face pass (the font's colour).
    QColor FontColor() const { return mFontColor; }
    void SetFontColor(const QColor& Value);
    /// Background of an opaque label.
    QColor Color() const { return palette().color(QPalette::Window); }
    void SetColor(const QColor& Value);
    /// Alignment in the parent: only decides which sides the label sizes (client keeps both).
    TAlign Align() const { return mAlign; }
    void SetAlign(TAlign Value);

    /// The measured size of the caption in the label's font, before rotation.
    QSize TextExtent() const;
    /// Sizes the label to its rotated text, as its alignment allows.
    void AdjustBounds();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    int mRotation = 0;
    int mShadowOffset = 1;
    TCDKShadowStyle mShadowStyle = ssRaised;
    QColor mHighlightColor;
    QColor mShadowColor;
    QColor mFontColor;
    bool mUnicodeCaption = false;
    bool mTransparent = false;
    QString mCaption;
    TAlign mAlign = alNone;
};
