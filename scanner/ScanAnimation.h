#pragma once
// The picture the scan wizard shows while it scans: a magnifying glass that circles over an open
// folder and a sheet of paper, drawn in code.

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <vector>

class QPainter;

class TScanAnimation final : public QWidget {
    Q_OBJECT
public:
    explicit TScanAnimation(QWidget* Parent = nullptr);

    /// Runs the animation from its first frame, or stops it and shows the picture at rest.
    void SetActive(bool Value);
    bool Active() const { return mTimer.isActive(); }
    int Frame() const { return mFrame; }

    QSize sizeHint() const override { return {272, 60}; }

    /// Frames in one round of the glass.
    static constexpr int FrameCount = 16;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    /// Draws the current frame, or the picture at rest.
    void Draw(QPainter& P) const;

    QTimer mTimer;
    int mFrame = 0;
    std::vector<QPixmap> mFrames; ///< the frames drawn so far, the picture at rest last
    QSize mFramesSize;            ///< in device pixels
};
