#include "components/CDKRotat.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

bool operator==(const TTextPass& A, const TTextPass& B) {
    return A.Color == B.Color && A.DX == B.DX && A.DY == B.DY;
}

void PrintTo(const TTextPass& P, std::ostream* Out) {
    *Out << "colour " << P.Color << " at (" << P.DX << "," << P.DY << ")";
}

namespace {
// A tiny bitmap font of our own: a face that cannot be drawn rotated.
QString BitmapFamily() {
    static const QString Family = [] {
        const QByteArray Bdf =
            "STARTFONT 2.1\nFONT -misc-qxbitmap-medium-r-normal--8-80-75-75-c-80-iso10646-1\n"
            "SIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\nSTARTPROPERTIES 3\nFAMILY_NAME \"QxBitmap\"\n"
            "FONT_ASCENT 8\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\n"
            "SWIDTH 500 0\nDWIDTH 8 0\nBBX 8 8 0 0\nBITMAP\nFF\n81\n81\n81\n81\n81\n81\nFF\n"
            "ENDCHAR\nENDFONT\n";
        const int Id = QFontDatabase::addApplicationFontFromData(Bdf);
        return Id < 0 ? QString() : QFontDatabase::applicationFontFamilies(Id).value(0);
    }();
    return Family;
}
} // namespace

TEST(RotatedLabel, RotationIsNormalisedIntoTheHalfOpenCircle) {
    const std::pair<int, int> Cases[] = {{450, 90},   {-180, 180}, {360, 0},  {540, 180},
                                         {181, -179}, {-181, 179}, {-360, 0}, {-540, 180}};
    for (const auto& [In, Out] : Cases)
        EXPECT_EQ(TCDKRotate3DLabel::NormalizeRotation(In), Out) << In;
    TCDKRotate3DLabel Label;
    Label.SetRotation(450);
    EXPECT_EQ(Label.Rotation(), 90);
}

TEST(RotatedLabel, BoxAndOriginFollowTheQuadrant) {
    struct Case {
        int Rotation, BW, BH, OX, OY;
    };
    const Case Cases[] = {{0, 61, 14, 0, 0},     {90, 14, 61, 0, 60},   {-90, 14, 61, 13, 0},
                          {180, 61, 14, 60, 14}, {-135, 53, 53, 53, 9}, {45, 53, 53, 0, 42}};
    for (const Case& C : Cases) {
        const TRotatedTextBox Box = TCDKRotate3DLabel::RotatedBox(60, 13, C.Rotation, 1);
        EXPECT_EQ(Box.BW, C.BW) << C.Rotation;
        EXPECT_EQ(Box.BH, C.BH) << C.Rotation;
        EXPECT_EQ(Box.OX, C.OX) << C.Rotation;
        EXPECT_EQ(Box.OY, C.OY) << C.Rotation;
    }
}

TEST(RotatedLabel, SizesItselfToTheRotatedTextAsItsAlignmentAllows) {
    TCDKRotate3DLabel Label;
    Label.SetCaption(QStringLiteral("C:/Data/Projects"));
    const QFontMetrics FM(Label.font());
    const int TW = FM.horizontalAdvance(Label.Caption()), TH = FM.height();
    EXPECT_EQ(Label.TextExtent(), QSize(TW, TH));
    EXPECT_EQ(Label.size(), QSize(TW + 1, TH + 1));
    Label.SetRotation(90);
    EXPECT_EQ(Label.size(), QSize(TH + 1, TW + 1));
    Label.SetShadowOffset(3);
    EXPECT_EQ(Label.size(), QSize(TH + 3, TW + 3));

    Label.SetAlign(alTop);
    Label.resize(200, 5);
    Label.SetRotation(0);
    EXPECT_EQ(Label.size(), QSize(200, TH + 3));
    Label.SetAlign(alClient);
    Label.resize(300, 40);
    Label.SetCaption(QStringLiteral("x"));
    EXPECT_EQ(Label.size(), QSize(300, 40));
}

TEST(RotatedLabel, EveryPaintTakesBackASizeGivenFromOutside) {
    QWidget Form;
    Form.resize(400, 200);
    auto* Label = new TCDKRotate3DLabel(&Form);
    Label->SetCaption(QStringLiteral("C:/Data"));
    const QSize Fitted = Label->size();
    Form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    Label->resize(300, 60);
    Label->repaint();
    EXPECT_EQ(Label->size(), Fitted);

    // A top-aligned label keeps the width it is given and takes back its height.
    Label->SetAlign(alTop);
    Label->resize(300, 60);
    Label->repaint();
    EXPECT_EQ(Label->size(), QSize(300, Fitted.height()));
}

TEST(RotatedLabel, PassesDrawTheThreeDimensionalEffect) {
    using P = TTextPass;
    EXPECT_EQ(TCDKRotate3DLabel::Passes(ssRaised, true, 1),
              (std::vector<P>{{P::pcHighlight, -1, -1}, {P::pcShadow, 1, 1}, {P::pcFace, 0, 0}}));
    EXPECT_EQ(TCDKRotate3DLabel::Passes(ssLowered, true, 2),
              (std::vector<P>{{P::pcHighlight, 2, 2}, {P::pcShadow, -2, -2}, {P::pcFace, 0, 0}}));
    EXPECT_EQ(TCDKRotate3DLabel::Passes(ssHasShadow, false, 1),
              (std::vector<P>{{P::pcShadow, 1, 1}, {P::pcFace, 0, 0}}));
    EXPECT_EQ(TCDKRotate3DLabel::Passes(ssNormalWithDisable, true, 1), (std::vector<P>{{P::pcFace, 0, 0}}));
    EXPECT_EQ(TCDKRotate3DLabel::Passes(ssNormalWithDisable, false, 1),
              (std::vector<P>{{P::pcHighlight, 1, 1}, {P::pcShadow, 0, 0}}));
    EXPECT_EQ(TCDKRotate3DLabel::Passes(ssNoShadow, true, 1), (std::vector<P>{{P::pcFace, 0, 0}}));
}

TEST(RotatedLabel, BitmapFontBecomesArialWhenRotatedAtRunTimeOnly) {
    ASSERT_FALSE(BitmapFamily().isEmpty());
    QFont Bitmap(BitmapFamily());
    Bitmap.setPixelSize(8);
    ASSERT_FALSE(
        QFontDatabase::isSmoothlyScalable(QFontInfo(Bitmap).family(), QFontInfo(Bitmap).styleName()));

    TCDKRotate3DLabel Loaded;
    Loaded.setFont(Bitmap);
    Loaded.BeginLoading();
    Loaded.SetRotation(90);
    Loaded.Loaded();
    EXPECT_EQ(Loaded.font().family(), BitmapFamily());

    TCDKRotate3DLabel Running;
    Running.setFont(Bitmap);
    Running.SetRotation(0);
    EXPECT_EQ(Running.font().family(), BitmapFamily());
    Running.SetRotation(30);
    EXPECT_EQ(Running.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(Running.font().pixelSize(), 8);

    // A scalable face is kept.
    TCDKRotate3DLabel Scalable;
    QFont DejaVu(QStringLiteral("DejaVu Sans"));
    Scalable.setFont(DejaVu);
    Scalable.SetRotation(30);
    EXPECT_EQ(Scalable.font().family(), QFontInfo(DejaVu).family());
}

TEST(RotatedLabel, UnicodeCaptionMeasuresBytePairs) {
    TCDKRotate3DLabel Label;
    Label.SetCaption(QString::fromLatin1("A\0B\0C", 5));
    Label.SetUnicodeCaption(true);
    const QFontMetrics FM(Label.font());
    EXPECT_EQ(Label.TextExtent().width(), FM.horizontalAdvance(QStringLiteral("AB")));
}
