#include "components/CDK_Comp.h"

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QMetaObject>
#include <QPainter>

#include <vector>

QRect AlignedBounds(TAlign Align, const QRect& Client, const QRect& Current) {
    switch (Align) {
    case alTop:
        return {Client.left(), Client.top(), Client.width(), Current.height()};
    case alBottom:
        return {Client.left(), Client.bottom() + 1 - Current.height(), Client.width(), Current.height()};
    case alLeft:
        return {Client.left(), Client.top(), Current.width(), Client.height()};
    case alRight:
        return {Client.right() + 1 - Current.width(), Client.top(), Current.width(), Client.height()};
    case alClient:
        return Client;
    case alNone:
        break;
    }
    return Current;
}

namespace {
void CollectLoaded(QWidget* W, std::vector<TKitComponent*>& Out) {
    for (QObject* Child : W->children())
        if (auto* ChildWidget = qobject_cast<QWidget*>(Child))
            CollectLoaded(ChildWidget, Out);
    if (auto* Component = dynamic_cast<TKitComponent*>(W))
        Out.push_back(Component);
}

// One axis of the placement in the parent: 1 at the start margin, 2 centred, 3 at the end margin,
// 4 stretched between the margins. PEnd is the parent's client edge, excluded.
void PlaceOnAxis(Byte Code, int PStart, int PEnd, int MarginStart, int MarginEnd, int& Pos, int& Size) {
    switch (Code) {
    case 1:
        Pos = PStart + MarginStart;
        break;
    case 2:
        Pos = (PStart + PEnd - Size) / 2;
        break;
    case 3:
        Pos = PEnd - Size - MarginEnd;
        break;
    case 4:
        Size = PEnd - MarginEnd - PStart - MarginStart;
        Pos = PStart + MarginStart;
        break;
    default:
        break;
    }
}

// A 3-D frame of Width lines; each line shrinks R by one pixel on every side.
void Frame3D(QPainter& P, QRect& R, const QColor& TopLeft, const QColor& BottomRight, int Width) {
    for (int I = 0; I < Width && R.width() > 0 && R.height() > 0; ++I) {
        P.setPen(TopLeft);
        P.drawLine(R.left(), R.bottom(), R.left(), R.top());
        P.drawLine(R.left(), R.top(), R.right(), R.top());
        P.setPen(BottomRight);
        P.drawLine(R.right(), R.top(), R.right(), R.bottom());
        P.drawLine(R.right(), R.bottom(), R.left(), R.bottom());
        R.adjust(1, 1, -1, -1);
    }
}
} // namespace

static void RegisterKitResources() {
    Q_INIT_RESOURCE(components);
}

void InitKitResources() {
    static const bool Done = (RegisterKitResources(), true);
    (void)Done;
}

void NotifyLoaded(QWidget* Root) {
    std::vector<TKitComponent*> Components;
    CollectLoaded(Root, Components);
    for (TKitComponent* Component : Components)
        Component->Loaded();
}

void RunGuarded(QWidget* Parent, const std::function<void()>& Handler) noexcept {
    // Inside a program the application's guard reports the error; without an application
    // object (tools, tests) the kit shows the same error box itself.
    if (Application != nullptr) {
        Application->Guard(Handler);
        return;
    }
    QString Message;
    try {
        Handler();
        return;
    } catch (const EAbort&) {
        return;
    } catch (const std::exception& E) {
        Message = FromMessage(E.what());
    } catch (...) {
        Message = QStringLiteral("Unknown error");
    }
    try {
        QMessageBox::critical(Parent, QApplication::applicationDisplayName(), Message);
    } catch (...) {
    }
}

TButton::TButton(const QString& Caption, QWidget* Parent) : QPushButton(Caption, Parent) {
    resize(75, 25);
}

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(QWidget* Parent) : QWidget(Parent) {
    mColor = palette().color(QPalette::Button);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    mBevelOuter = Value;
    update();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    mBevelInner = Value;
    update();
}

void TCustomPanel::SetBevelWidth(int Value) {
    mBevelWidth = Value;
    update();
}

void TCustomPanel::SetBorderWidth(int Value) {
    mBorderWidth = Value;
    update();
}

void TCustomPanel::SetColor(const QColor& Value) {
    mColor = Value;
    update();
}

void TCustomPanel::SetAlign(TAlign Value) {
    if (mAlign == Value)
        return;
    QWidget* P = parentWidget();
    if (P != nullptr) {
        if (mAlign == alNone)
            P->installEventFilter(this);
        else if (Value == alNone)
            P->removeEventFilter(this);
    }
    mAlign = Value;
    if (P != nullptr)
        SetBounds(AlignedBounds(mAlign, P->rect(), geometry()));
}

bool TCustomPanel::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == parentWidget() && Event->type() == QEvent::Resize && mAlign != alNone)
        SetBounds(AlignedBounds(mAlign, parentWidget()->rect(), geometry()));
    return QWidget::eventFilter(Watched, Event);
}

void TCustomPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const QRect R(ALeft, ATop, qMax(AWidth, 0), qMax(AHeight, 0));
    if (R != geometry())
        setGeometry(R);
    // A hidden widget only gets its resize and move events when shown: handle them now.
    GeometryChanged();
}

void TCustomPanel::GeometryChanged() {
    if (size() != mHandledSize) {
        mHandledSize = size();
        WMSize();
    }
    if (pos() != mHandledPos) {
        mHandledPos = pos();
        WMMove();
    }
}

void TCustomPanel::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    GeometryChanged();
}

void TCustomPanel::moveEvent(QMoveEvent* Event) {
    QWidget::moveEvent(Event);
    GeometryChanged();
}

void TCustomPanel::WMSize() {
    AlignControls();
    if (!Loading())
        Resize();
}

void TCustomPanel::paintEvent(QPaintEvent*) {
    QPainter P(this);
    QRect R = rect();
    const QColor Shadow = palette().color(QPalette::Dark);
    const QColor Highlight = palette().color(QPalette::Light);
    if (mBevelOuter != bvNone)
        Frame3D(P, R, mBevelOuter == bvLowered ? Shadow : Highlight,
                mBevelOuter == bvLowered ? Highlight : Shadow, mBevelWidth);
    Frame3D(P, R, mColor, mColor, mBorderWidth);
    if (mBevelInner != bvNone)
        Frame3D(P, R, mBevelInner == bvLowered ? Shadow : Highlight,
                mBevelInner == bvLowered ? Highlight : Shadow, mBevelWidth);
    if (!SeeThrough())
        P.fillRect(R, mColor);
}

// ---- TCompoundComponentPanel ----

TCompoundComponentPanel::TCompoundComponentPanel(QWidget* Parent) : TCustomPanel(Parent) {}

void TCompoundComponentPanel::Loaded() {
    TCustomPanel::Loaded();
    SavedWidth = Width();
    SavedHeight = Height();
}

void TCompoundComponentPanel::RefreshPanel() {
    if (Designing())
        return;
    setVisible(false);
    setVisible(true);
}

void TCompoundComponentPanel::StretchWidth() {
    if (Loading() || parentWidget() == nullptr)
        return;
    const QRect P = parentWidget()->rect();
    SetWidth(P.x() + P.width() - RightMargin - P.left() - LeftMargin);
}

void TCompoundComponentPanel::StretchHeight() {
    if (Loading() || parentWidget() == nullptr)
        return;
    const QRect P = parentWidget()->rect();
    SetHeight(P.y() + P.height() - BottomMargin - P.top() - TopMargin);
}

void TCompoundComponentPanel::PlaceInParent() {
    if (parentWidget() == nullptr || Loading())
        return;
    if (HorzPlacement == 0 && VertPlacement == 0) {
        if (BackgroundTransparent)
            RefreshPanel();
        return;
    }
    const QRect Client = parentWidget()->rect();
    int RLeft = Left(), RTop = Top();
    int W = Width(), H = Height();
    PlaceOnAxis(HorzPlacement, Client.left(), Client.left() + Client.width(), LeftMargin, RightMargin, RLeft,
                W);
    PlaceOnAxis(VertPlacement, Client.top(), Client.top() + Client.height(), TopMargin, BottomMargin, RTop,
                H);
    SetBounds(RLeft, RTop, W, H);
    if (BackgroundTransparent)
        RefreshPanel();
}

void TCompoundComponentPanel::WMSize() {
    NeedRefresh = true;
    if (KeepWidth && SavedWidth != 0 && !Loading()) {
        SetWidth(SavedWidth);
    } else {
        if (HorzPlacement == 4)
            StretchWidth();
        SavedWidth = Width();
    }
    if (KeepHeight && SavedHeight != 0 && !Loading()) {
        SetHeight(SavedHeight);
    } else {
        if (VertPlacement == 4)
            StretchHeight();
        SavedHeight = Height();
    }
    TCustomPanel::WMSize();
    PlaceInParent();
}

void TCompoundComponentPanel::WMMove() {
    NeedRefresh = true;
    TCustomPanel::WMMove();
    PlaceInParent();
}

void TCompoundComponentPanel::paintEvent(QPaintEvent* Event) {
    TCustomPanel::paintEvent(Event);
    // The erase of a see-through panel asks the parent to repaint what lies under it; hiding and
    // showing inside a paint would recurse, so it runs right after this paint.
    if (SeeThrough() && NeedRefresh) {
        NeedRefresh = false;
        QMetaObject::invokeMethod(
            this, [this] { RefreshPanel(); }, Qt::QueuedConnection);
    }
}
