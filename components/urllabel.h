#pragma once
// A label whose caption is a link: a click hands the link to the desktop, which opens the web
// page, the FTP site or a new mail message. Colour and underline follow the mouse.

#include "components/CDK_Comp.h"

#include <QCursor>
#include <QLabel>

enum TLabelType : Byte { hmHTTP, hmMAIL, hmFTP, hmCUSTOM };

/// Loads the kit's hand cursor and makes it the application's hand-point cursor.
void InstallHandPointCursor();
/// The application's hand-point cursor: the kit's own once a hyperlink label has been created.
QCursor HandPointCursor();

/// The hyperlink label. Its font colour is the palette's window-text colour.
class TURLLabel : public QLabel, public TKitComponent {
    Q_OBJECT
public:
    explicit TURLLabel(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TURLLabel"; }

    TLabelType LabelType() const { return mLabelType; }
    void SetLabelType(TLabelType Value);
    QColor URLColStd() const { return mURLColStd; }
    void SetURLColStd(const QColor& Value);
    QColor URLColPre() const { return mURLColPre; }
    void SetURLColPre(const QColor& Value);
    bool AllowDown() const { return mAllowDown; }
    void SetAllowDown(bool Value);
    bool Effect98() const { return mEffect98; }
    void SetEffect98(bool Value);
    QString Caption() const { return text(); }
    void SetCaption(const QString& Value);
    /// Assigns the font and makes Color the colour at rest.
    void SetFont(const QFont& Value, const QColor& Color);
    QColor FontColor() const { return palette().color(QPalette::WindowText); }
    bool AutoSize() const { return mAutoSize; }
    void SetAutoSize(bool Value);
    bool Transparent() const { return !autoFillBackground(); }
    void SetTransparent(bool Value) { setAutoFillBackground(!Value); }

    /// The link a click opens: the type's prefix followed directly by the caption.
    QString LinkText() const;

    TNotifyEvent OnClick;

protected:
    /// Fires OnClick, then opens the link unless the label is of the custom type.
    virtual void Click();
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void SetFontColor(const QColor& Value);
    void SetUnderline(bool Value);

    TLabelType mLabelType = hmHTTP;
    QColor mURLColStd{0, 0, 255};
    QColor mURLColPre{255, 0, 0};
    bool mAllowDown = false;
    bool mEffect98 = false;
    bool mAutoSize = true;
};
