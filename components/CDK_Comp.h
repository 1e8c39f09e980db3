#pragma once
// Basics of the component kit: the class-library notions the kit's widgets share (event types,
// alignment, bevels, the loading and design states), the panel base class and the compound panel
// from which controls made of several inner controls derive.

#include "platform/rtl/Classes.h"

#include <QColor>
#include <QPushButton>
#include <QWidget>

#include <functional>

class QMimeData;

using TShiftState = Qt::KeyboardModifiers;
using TMouseButton = Qt::MouseButton;
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Event types of the class library. Keys are Qt key codes; a handler that sets Key to 0 swallows
// the key. Drag sources and targets are the Qt objects involved (a kit component is also a TObject).
using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TDragDropEvent = std::function<void(TObject* Sender, QObject* Source, int X, int Y)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, QObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TEndDragEvent = std::function<void(TObject* Sender, QObject* Target, int X, int Y)>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TBevelCut { bvNone, bvLowered, bvRaised };

/// Where a control with alignment Align goes inside Client, given its current bounds: top and
/// bottom keep the height, left and right the width, client takes all, none keeps Current.
QRect AlignedBounds(TAlign Align, const QRect& Client, const QRect& Current);

/// Lifecycle shared by the kit's components. A form that builds its components (in code or from a
/// .ui file) marks them loading with BeginLoading() while it applies their settings, if it needs
/// the loading behaviour, and runs their after-load steps with NotifyLoaded() once all are in place.
class TKitComponent : public TObject {
public:
    bool Loading() const { return mLoading; }
    void BeginLoading() { mLoading = true; }
    /// The after-load step; overrides call the inherited one first.
    virtual void Loaded() { mLoading = false; }
    /// Design mode: the component is being edited in a form designer, not run.
    bool Designing() const { return mDesigning; }
    void SetDesigning(bool Value) { mDesigning = Value; }

private:
    bool mLoading = false;
    bool mDesigning = false;
};

/// Runs the after-load step of every kit component inside Root (Root included), children before
/// their parent, as a form does once it has created all its components and applied their settings.
void NotifyLoaded(QWidget* Root);

/// Registers the kit's images (glyphs, folder pictures, hand cursor) with Qt's resource system;
/// the static library's resources are otherwise dropped by the linker.
void InitKitResources();

/// Runs a handler that the event loop called inside the application's guard: the silent abort
/// ends it quietly, any other exception shows its message in the error box. Nothing escapes
/// into the event loop.
void RunGuarded(QWidget* Parent, const std::function<void()>& Handler) noexcept;

/// A push button that is also a TObject, so that it can be the Sender of a notify event.
class TButton final : public QPushButton, public TObject {
    Q_OBJECT
public:
    explicit TButton(const QString& Caption, QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TButton"; }
};

/// The class library's panel: bevels, border and a background colour; it has no caption. Size and
/// position changes run the size and move handling at once, also while the panel is hidden.
class TCustomPanel : public QWidget, public TKitComponent {
    Q_OBJECT
public:
    explicit TCustomPanel(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TCustomPanel"; }

    TBevelCut BevelOuter() const { return mBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return mBevelInner; }
    void SetBevelInner(TBevelCut Value);
    int BevelWidth() const { return mBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return mBorderWidth; }
    void SetBorderWidth(int Value);
    QColor Color() const { return mColor; }
    void SetColor(const QColor& Value);
    /// Alignment in the parent; alClient follows the parent's size.
    TAlign Align() const { return mAlign; }
    void SetAlign(TAlign Value);

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int Value) { SetBounds(Value, y(), width(), height()); }
    void SetTop(int Value) { SetBounds(x(), Value, width(), height()); }
    void SetWidth(int Value) { SetBounds(x(), y(), Value, height()); }
    void SetHeight(int Value) { SetBounds(x(), y(), width(), Value); }
    /// Moves and sizes the panel; the size and move handling run before this returns.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    void SetBounds(const QRect& R) { SetBounds(R.left(), R.top(), R.width(), R.height()); }

protected:
    /// Size handling: lays out aligned children, then Resize() unless loading.
    virtual void WMSize();
    /// Move handling; the base does nothing.
    virtual void WMMove() {}
    /// Places the inner controls that have an alignment; the base has none.
    virtual void AlignControls() {}
    /// The resize notification; the base does nothing.
    virtual void Resize() {}
    /// Whether the background is left unpainted.
    virtual bool SeeThrough() const { return false; }

    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void GeometryChanged();

    TBevelCut mBevelOuter = bvRaised;
    TBevelCut mBevelInner = bvNone;
    int mBevelWidth = 1;
    int mBorderWidth = 0;
    QColor mColor;
    TAlign mAlign = alNone;
    QSize mHandledSize;
    QPoint mHandledPos;
};

/// Base of controls built from several inner controls: a panel with an optional see-through
/// background, optional fixed width and height, and placement inside its parent with margins.
class TCompoundComponentPanel : public TCustomPanel {
    Q_OBJECT
public:
    explicit TCompoundComponentPanel(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TCompoundComponentPanel"; }

    void Loaded() override;
    /// Hides and shows the panel again so that its parent repaints what lies under it.
    virtual void RefreshPanel();
    /// Moves (and for stretch codes sizes) the panel by the placement codes and margins.
    virtual void PlaceInParent();
    void StretchWidth();
    void StretchHeight();

    // Settings for descendants.
    bool NeedRefresh = true;
    bool BackgroundTransparent = false;
    bool KeepWidth = false;
    bool KeepHeight = false;
    Byte HorzPlacement = 0; ///< 0 none, 1 left, 2 centre, 3 right, 4 stretch
    Byte VertPlacement = 0; ///< 0 none, 1 top, 2 centre, 3 bottom, 4 stretch
    Longint SavedWidth = 0;
    Longint SavedHeight = 0;
    Longint TopMargin = 16;
    Longint LeftMargin = 16;
    Longint BottomMargin = 16;
    Longint RightMargin = 16;

protected:
    void WMSize() override;
    void WMMove() override;
    bool SeeThrough() const override { return BackgroundTransparent && !Designing(); }
    void paintEvent(QPaintEvent* Event) override;
};
