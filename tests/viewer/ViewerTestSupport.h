#pragma once
// Runs the viewer's program block as the program would, with a test acting on its window.

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class TfrmPreview;

namespace viewertest {

/// Runs RunViewer(Arguments); once the preview window is up, Action runs on it, and then the
/// window's Close button is clicked unless the action closed it. Returns RunViewer's result.
int RunViewerWith(const QStringList& Arguments, const std::function<void(TfrmPreview&)>& Action);

/// Writes a report file of Pages landscape A4 pages to FileName.
void WriteLandscapeReport(const std::string& FileName, int Pages);

} // namespace viewertest
