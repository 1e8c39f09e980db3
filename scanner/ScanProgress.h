#pragma once
// The scan wizard's progress bar: a plain bar drawn with a few filled rectangles. The scan
// repaints it often and a wizard run in a batch shows it for a few milliseconds, where the
// desktop style's bar (rounded, shaded and striped) costs more to draw than scanning a module.

#include <QProgressBar>

class TScanProgressBar final : public QProgressBar {
    Q_OBJECT
public:
    explicit TScanProgressBar(QWidget* Parent = nullptr);

protected:
    void paintEvent(QPaintEvent* Event) override;
};
