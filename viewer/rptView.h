#pragma once
// The viewer's empty report and its program block. Previewing the empty report opens the
// preview window, which becomes the viewer's main window; report files are loaded into it.

#include "platform/report/QuickRep.h"

#include <QStringList>

#include <memory>

class TfrmPreview;

/// An empty A4 portrait report without bands, there to open the preview window.
class TrepView final : public TQuickRep {
public:
    explicit TrepView(const QStringList& Arguments);
    ~TrepView() override;
    std::string ClassName() const override { return "TrepView"; }

    /// The report's preview event: a preview window on the printer object Sender.
    void repViewPreview(TObject* Sender);
    /// The preview window, once the preview has started.
    TfrmPreview* PreviewWindow() const { return mPreview.get(); }

private:
    QStringList mArguments;
    std::unique_ptr<TfrmPreview> mPreview;
};

/// The viewer's report; nullptr outside its lifetime.
extern TrepView* repView;

/// The viewer's program block, run inside a QApplication: the splash, the title, the empty
/// report's preview, and back when the preview window has closed. Arguments are the command
/// line after the program's name; the first, when it names a *.QXV file, is loaded.
int RunViewer(const QStringList& Arguments);
