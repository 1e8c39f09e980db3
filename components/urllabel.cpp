#include "components/urllabel.h"

#include <QDesktopServices>
#include <QEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

#include <optional>

namespace {
std::optional<QCursor>& InstalledHandPoint() {
    static std::optional<QCursor> Cursor;
    return Cursor;
}

// Hands a link to the desktop. The class library's "http:\\" and "ftp:\\" prefixes are written
// the way the desktop's handlers understand them.
void OpenLink(QString Link) {
    for (const char* Scheme : {"http:", "ftp:"}) {
        const QString Backslashed = QLatin1String(Scheme) + QStringLiteral("\\\\");
        if (Link.startsWith(Backslashed, Qt::CaseInsensitive)) {
            Link = QLatin1String(Scheme) + QStringLiteral("//") + Link.mid(Backslashed.size());
            break;
        }
    }
    QDesktopServices::openUrl(QUrl(Link, QUrl::TolerantMode));
}
} // namespace

void InstallHandPointCursor() {
    InitKitResources();
    InstalledHandPoint() = QCursor(QPixmap(QStringLiteral(":/components/URLHAND.xpm")), 0, 0);
}

QCursor HandPointCursor() {
    return InstalledHandPoint().value_or(QCursor(Qt::PointingHandCursor));
}

TURLLabel::TURLLabel(QWidget* Parent) : QLabel(Parent) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    InstallHandPointCursor();
    setCursor(HandPointCursor());
    SetFontColor(mURLColStd);
    QFont F = font();
    F.setBold(false);
    F.setItalic(false);
    F.setStrikeOut(false);
    F.setUnderline(true);
    setFont(F);
}

void TURLLabel::SetLabelType(TLabelType Value) {
    if (mLabelType == Value)
        return;
    mLabelType = Value;
    SetUnderline(!(Value == hmCUSTOM || mEffect98));
    update();
}

void TURLLabel::SetURLColStd(const QColor& Value) {
    if (mURLColStd == Value)
        return;
    mURLColStd = Value;
    SetFontColor(Value);
}

void TURLLabel::SetURLColPre(const QColor& Value) {
    if (mURLColPre == Value)
        return;
    mURLColPre = Value;
    update();
}

void TURLLabel::SetAllowDown(bool Value) {
    if (mAllowDown == Value)
        return;
    mAllowDown = Value;
    update();
}

void TURLLabel::SetEffect98(bool Value) {
    if (mEffect98 == Value)
        return;
    mEffect98 = Value;
    if (Value)
        SetUnderline(false);
    else if (mLabelType != hmCUSTOM)
        SetUnderline(true);
    update();
}

void TURLLabel::SetCaption(const QString& Value) {
    setText(Value);
    if (mAutoSize)
        adjustSize();
}

void TURLLabel::SetFont(const QFont& Value, const QColor& Color) {
    setFont(Value);
    mURLColStd = Color;
    SetFontColor(Color);
}

void TURLLabel::SetAutoSize(bool Value) {
    mAutoSize = Value;
    if (Value)
        adjustSize();
}

QString TURLLabel::LinkText() const {
    switch (mLabelType) {
    case hmHTTP:
        return QStringLiteral("http:\\\\") + text();
    case hmFTP:
        return QStringLiteral("ftp:\\\\") + text();
    case hmMAIL:
        return QStringLiteral("mailto:") + text();
    case hmCUSTOM:
        break;
    }
    return {};
}

void TURLLabel::Click() {
    if (OnClick)
        OnClick(this);
    if (mLabelType != hmCUSTOM)
        OpenLink(LinkText());
}

void TURLLabel::enterEvent(QEnterEvent* Event) {
    QLabel::enterEvent(Event);
    if (!mEffect98)
        return;
    SetFontColor(mURLColPre);
    if (mLabelType != hmCUSTOM)
        SetUnderline(true);
}

void TURLLabel::leaveEvent(QEvent* Event) {
    QLabel::leaveEvent(Event);
    if (!mEffect98)
        return;
    SetFontColor(mURLColStd);
    if (mLabelType != hmCUSTOM)
        SetUnderline(false);
}

void TURLLabel::mousePressEvent(QMouseEvent* Event) {
    QLabel::mousePressEvent(Event);
    if (Event->button() != Qt::LeftButton)
        return;
    if (mAllowDown)
        move(x(), y() + 1);
    SetFontColor(mURLColPre);
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* Event) {
    QLabel::mouseReleaseEvent(Event);
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        RunGuarded(this, [this] { Click(); });
    if (!mEffect98)
        SetFontColor(mURLColStd);
    if (mAllowDown && Event->button() == Qt::LeftButton)
        move(x(), y() - 1);
}

void TURLLabel::changeEvent(QEvent* Event) {
    QLabel::changeEvent(Event);
    if (Event->type() == QEvent::FontChange && mAutoSize)
        adjustSize();
}

void TURLLabel::SetFontColor(const QColor& Value) {
    QPalette Pal = palette();
    Pal.setColor(QPalette::WindowText, Value);
    setPalette(Pal);
}

void TURLLabel::SetUnderline(bool Value) {
    QFont F = font();
    F.setUnderline(Value);
    setFont(F);
}
