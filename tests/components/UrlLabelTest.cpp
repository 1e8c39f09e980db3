#include "components/urllabel.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {
// Stands in for the desktop: records every link handed over for the schemes it registers.
class LinkRecorder final : public QObject {
    Q_OBJECT
public:
    LinkRecorder() {
        for (const char* Scheme : {"http", "ftp", "mailto"})
            QDesktopServices::setUrlHandler(QLatin1String(Scheme), this, "Open");
    }
    ~LinkRecorder() override {
        for (const char* Scheme : {"http", "ftp", "mailto"})
            QDesktopServices::unsetUrlHandler(QLatin1String(Scheme));
    }
    QStringList Links;

public slots:
    void Open(const QUrl& Url) { Links << Url.toString(); }
};

QColor Blue() {
    return {0, 0, 255};
}
QColor Red() {
    return {255, 0, 0};
}

void Hover(TURLLabel& Label) {
    QEnterEvent Enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&Label, &Enter);
}
void Leave(TURLLabel& Label) {
    QEvent Event(QEvent::Leave);
    QCoreApplication::sendEvent(&Label, &Event);
}
} // namespace

TEST(UrlLabel, ClickHandsTheDesktopThePrefixedCaption) {
    LinkRecorder Desktop;
    TURLLabel Label;
    std::vector<std::string> Order;
    Label.OnClick = [&](TObject* S) {
        Order.push_back(S == &Label ? "click" : "?");
        Order.push_back("links " + std::to_string(Desktop.Links.size()));
    };
    Label.SetCaption(QStringLiteral("www.example.org/quorvex"));
    EXPECT_EQ(Label.LinkText(), QStringLiteral("http:\\\\www.example.org/quorvex"));
    QTest::mouseClick(&Label, Qt::LeftButton);
    Label.SetLabelType(hmFTP);
    Label.SetCaption(QStringLiteral("ftp.example.org/pub"));
    QTest::mouseClick(&Label, Qt::LeftButton);
    Label.SetLabelType(hmMAIL);
    Label.SetCaption(QStringLiteral("support@example.org"));
    QTest::mouseClick(&Label, Qt::LeftButton);
    // Other buttons do not click.
    QTest::mouseClick(&Label, Qt::RightButton);
    EXPECT_EQ(Desktop.Links, (QStringList{QStringLiteral("http://www.example.org/quorvex"),
                                          QStringLiteral("ftp://ftp.example.org/pub"),
                                          QStringLiteral("mailto:support@example.org")}));
    EXPECT_EQ(Order[0], "click");
    EXPECT_EQ(Order[1], "links 0");
}

TEST(UrlLabel, LongLinksAreHandedOverWhole) {
    LinkRecorder Desktop;
    TURLLabel Label;
    const QString Path = QStringLiteral("www.example.org/") + QString(150, QLatin1Char('p'));
    Label.SetCaption(Path);
    QTest::mouseClick(&Label, Qt::LeftButton);
    EXPECT_EQ(Desktop.Links, QStringList{QStringLiteral("http://") + Path});
}

TEST(UrlLabel, CustomLabelOnlyFiresOnClickAndIsNeverUnderlinedByHover) {
    LinkRecorder Desktop;
    TURLLabel Label;
    Label.SetCaption(QStringLiteral("www.example.org"));
    Label.SetLabelType(hmCUSTOM);
    EXPECT_FALSE(Label.font().underline());
    int Clicks = 0;
    Label.OnClick = [&](TObject*) { ++Clicks; };
    Label.SetEffect98(true);
    Hover(Label);
    EXPECT_FALSE(Label.font().underline());
    EXPECT_EQ(Label.FontColor(), Red());
    QTest::mouseClick(&Label, Qt::LeftButton);
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(Desktop.Links.isEmpty());
    Label.SetEffect98(false);
    EXPECT_FALSE(Label.font().underline());
}

TEST(UrlLabel, WithoutEffectItRestsUnderlinedAndTurnsRedWhilePressed) {
    TURLLabel Label;
    Label.SetLabelType(hmCUSTOM); // nothing is opened
    Label.SetLabelType(hmHTTP);
    EXPECT_TRUE(Label.font().underline());
    EXPECT_EQ(Label.FontColor(), Blue());
    EXPECT_EQ(Label.URLColStd(), Blue());
    EXPECT_EQ(Label.URLColPre(), Red());
    EXPECT_EQ(Label.cursor().shape(), Qt::BitmapCursor);
    Label.SetLabelType(hmCUSTOM);
    QTest::mousePress(&Label, Qt::LeftButton);
    EXPECT_EQ(Label.FontColor(), Red());
    QTest::mouseRelease(&Label, Qt::LeftButton);
    EXPECT_EQ(Label.FontColor(), Blue());
    Hover(Label);
    EXPECT_EQ(Label.FontColor(), Blue());
}

TEST(UrlLabel, EffectFollowsThePointerAndKeepsTheHoverColourAfterAClick) {
    TURLLabel Label;
    Label.SetLabelType(hmCUSTOM);
    Label.SetLabelType(hmMAIL);
    Label.SetEffect98(true);
    EXPECT_FALSE(Label.font().underline());
    Hover(Label);
    EXPECT_TRUE(Label.font().underline());
    EXPECT_EQ(Label.FontColor(), Red());
    Label.SetLabelType(hmCUSTOM);
    QTest::mouseClick(&Label, Qt::LeftButton);
    EXPECT_EQ(Label.FontColor(), Red());
    Label.SetLabelType(hmMAIL);
    Leave(Label);
    EXPECT_FALSE(Label.font().underline());
    EXPECT_EQ(Label.FontColor(), Blue());
}

TEST(UrlLabel, AllowDownMovesOnlyForTheLeftButton) {
    TURLLabel Label;
    Label.SetLabelType(hmCUSTOM);
    Label.move(10, 20);
    Label.SetAllowDown(true);
    QTest::mousePress(&Label, Qt::LeftButton);
    EXPECT_EQ(Label.pos(), QPoint(10, 21));
    QTest::mouseRelease(&Label, Qt::LeftButton);
    EXPECT_EQ(Label.pos(), QPoint(10, 20));
    QTest::mousePress(&Label, Qt::RightButton);
    EXPECT_EQ(Label.pos(), QPoint(10, 20));
    EXPECT_EQ(Label.FontColor(), Blue());
    QTest::mouseRelease(&Label, Qt::RightButton);
    EXPECT_EQ(Label.pos(), QPoint(10, 20));
}

TEST(UrlLabel, FontColourBecomesTheColourAtRest) {
    TURLLabel Label;
    QFont Font = Label.font();
    Font.setUnderline(false);
    Label.SetFont(Font, QColor(Qt::darkRed));
    EXPECT_EQ(Label.URLColStd(), QColor(Qt::darkRed));
    EXPECT_EQ(Label.FontColor(), QColor(Qt::darkRed));
    EXPECT_FALSE(Label.font().underline());
    QTest::mousePress(&Label, Qt::LeftButton);
    Label.SetLabelType(hmCUSTOM);
    QTest::mouseRelease(&Label, Qt::LeftButton);
    EXPECT_EQ(Label.FontColor(), QColor(Qt::darkRed));
    Label.SetURLColStd(Blue());
    EXPECT_EQ(Label.FontColor(), Blue());
}

#include "UrlLabelTest.moc"
