#pragma once
// A one-line label for names that may be longer than the room it has.

#include <QLabel>

/// Shows its text whole when it fits, else cut in the middle with "…", keeping both ends (a
/// file name's folder and its own name); the tool tip always holds the whole text. The label
/// never asks its layout for more width than a few characters.
class TElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit TElidedLabel(QWidget* Parent = nullptr);

    /// Sets the whole text.
    void SetFullText(const QString& Text);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void Elide();

    QString mFullText;
};
