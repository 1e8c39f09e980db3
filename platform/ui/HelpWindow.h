#pragma once
// The help window: shows the program's HTML help document, with its links followed inside the
// window and addresses outside the program handed to the desktop.

#include <QWidget>

class QTextBrowser;

/// A top-level window with a browser over one local HTML document.
class THelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* Parent = nullptr);

    /// Loads FileName and brings the window to the front; the caption is Title + " Help". A
    /// window that is not on the screen yet opens over the main window, wholly on its screen.
    void ShowFile(const QString& FileName, const QString& Title);
    QTextBrowser* Browser() const { return mBrowser; }

private:
    QTextBrowser* mBrowser;
};
