#pragma once
// Shared pieces of the report tests: pictures for the hit report, scan documents built in code
// and a preview run that acts on its window.

#include "platform/ui/ImageList.h"
#include "scanmodel/ScanInfo.h"
#include "tests/reports/ExportFiles.h"
#include "tests/support/ModalHelper.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TQuickRep;
class TfrmPreview;

namespace reportstest {

/// 24 pictures of 32 x 32, each of its own colour, as the main window's large list holds them.
void FillImages(TImageList& List);

/// A hit with the given texts; line numbers as given.
THitInfo* NewHit(const std::string& Sub, const std::string& Variable, const std::string& Line,
                 Longint LineInModule, TCompliant Rating = ctNo,
                 const std::string& ErrorType = "Computation");
TMDBHitInfo* NewMDBHit(const std::string& Sub, const std::string& Field, const std::string& Variable,
                       const std::string& Line, Longint LineInModule, TCompliant Rating = ctMayBe);
/// A module holding Hits hits named "<Name>.<n>" (Variable "v<n>").
TModuleInfo* NewModule(const std::string& Name, int Hits, Longint Image = 3, Longint Lines = 100);
TProjectInfo* NewProject(const std::string& Name, std::vector<TModuleInfo*> Modules);

/// Runs Report's preview; once its window is up, Action runs on it and the window is closed.
void WithPreview(TQuickRep& Report, const std::function<void(TfrmPreview&)>& Action);

using testsupport::AnswerFileDialog;

} // namespace reportstest
