#include "scanner/ScanProgress.h"

#include <QPainter>

#include <algorithm>

TScanProgressBar::TScanProgressBar(QWidget* Parent) : QProgressBar(Parent) {
    // Every pixel is drawn here: what lies behind the bar is not drawn first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TScanProgressBar::paintEvent(QPaintEvent*) {
    // A thin frame around the field, filled from the left as far as the value has come.
    QPainter P(this);
    const QRect Field = rect().adjusted(1, 1, -1, -1);
    P.fillRect(rect(), palette().color(QPalette::Mid));
    P.fillRect(Field, palette().color(QPalette::Base));
    const qint64 Range = static_cast<qint64>(maximum()) - minimum();
    if (Range <= 0 || value() <= minimum())
        return;
    const qint64 Done = static_cast<qint64>(value()) - minimum();
    const auto Width = static_cast<int>(Field.width() * std::min(Done, Range) / Range);
    P.fillRect(QRect(Field.topLeft(), QSize(Width, Field.height())), palette().color(QPalette::Highlight));
}
