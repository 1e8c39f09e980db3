#include "platform/ui/ElidedLabel.h"

#include <QResizeEvent>

TElidedLabel::TElidedLabel(QWidget* Parent) : QLabel(Parent) {
    setTextFormat(Qt::PlainText);
}

void TElidedLabel::SetFullText(const QString& Text) {
    mFullText = Text;
    setToolTip(Text);
    Elide();
}

QSize TElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("M…M")), QLabel::minimumSizeHint().height()};
}

QSize TElidedLabel::sizeHint() const {
    return minimumSizeHint();
}

void TElidedLabel::resizeEvent(QResizeEvent* Event) {
    QLabel::resizeEvent(Event);
    Elide();
}

void TElidedLabel::Elide() {
    setText(fontMetrics().elidedText(mFullText, Qt::ElideMiddle, contentsRect().width()));
}
