#pragma once
// The hit report: every hit of the current scan document on landscape pages, one detail row
// per hit (the projects' hits first, then the databases'), and a summary with the totals and
// the document's compliance. The report has no data set: the engine asks for each row through
// OnNeedData, and the report answers from a walk over the document that keeps its place from
// one call to the next.

#include "platform/report/QuickRep.h"
#include "scanmodel/ScanInfo.h"

#include <QImage>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class THitInfo;
class TImageList;
class TQuorvex;
class TfrmPreview;

/// Where the walk over the document stands between two rows of a run. Every field starts at
/// zero with each run.
struct TReportWalk {
    Longint ProjectIndex = 0;
    Longint ModuleIndex = 0;
    /// Next hit of the current module or database object.
    Longint HitIndex = 0;
    Longint DatabaseIndex = 0;
    /// Objects of each kind of the current database already walked, indexed by TMDBObjectKind.
    std::array<Longint, MDBObjectKindCount> ObjectIndex{};
    /// Rows filled in this run.
    Longint HitTotal = 0;
    /// Modules and database objects finished in this run.
    Longint ModuleTotal = 0;
};

/// The hit report of the document that Document holds (whichever document that is when a run
/// starts), with pictures from Images, the main window's 32 x 32 list (TLargeImage): projects and
/// modules by their ImageIndex, the ratings, database objects with hits and the database.
class TrepHits final : public TQuickRep {
public:
    TrepHits(const std::unique_ptr<TQuorvex>& Document, const TImageList& Images);
    ~TrepHits() override;
    std::string ClassName() const override { return "TrepHits"; }

    // The engine's events.
    void repHitsBeforePrint(TQuickRep* Sender, bool& PrintReport);
    void repHitsNeedData(TObject* Sender, bool& MoreData);
    void lblHeaderPrint(TObject* Sender, std::string& Value);
    void SummaryBand1BeforePrint(TQRCustomBand* Sender, bool& PrintBand);
    /// Opens a new preview window on the printer object Sender.
    void repHitsPreview(TObject* Sender);

    TReportWalk ReportWalk;

    /// The preview windows opened so far; a closed one stays, hidden, until the report goes.
    const std::vector<std::unique_ptr<TfrmPreview>>& PreviewWindows() const { return mPreviews; }

    TQRBand* PageHeaderBand1;
    TQRLabel* lblHeader;
    TQRBand* ColumnHeaderBand1;
    TQRBand* DetailBand1;
    TQRImage* imgProject;
    TQRLabel* lblProject;
    TQRImage* imgModule;
    TQRLabel* lblModule;
    TQRImage* imgHit;
    TQRLabel* lblSub;
    TQRLabel* lblVariable;
    TQRLabel* lblLineNo;
    TQRLabel* lblErrorType;
    TQRLabel* lblLine;
    TQRBand* SummaryBand1;
    TQRLabel* lblHits;
    TQRLabel* lblMods;
    TQRLabel* lblLins;
    TQRImage* imgCompliant;
    TQRBand* PageFooterBand1;

private:
    void CreateBands();
    const QImage& Image(Longint Index) const;
    /// Advances past the current module (step 3 of the walk).
    void FinishModule(Longint ModuleCount);
    /// Clears the seven object counters and moves to the next database.
    void FinishDatabase();
    /// Fills the row from a hit; Module is the module or database object.
    void FillRow(const std::string& Owner, Longint OwnerImage, const std::string& Module, Longint ModuleImage,
                 const THitInfo& Hit, const std::string& Sub);

    const std::unique_ptr<TQuorvex>& mDocument;
    const TImageList& mImageList;
    /// The images of the list as the report draws them, made once per run.
    std::vector<QImage> mImages;
    std::vector<std::unique_ptr<TfrmPreview>> mPreviews;
};

/// The hit report of the scanner, created by its program block; nullptr outside its lifetime.
extern TrepHits* repHits;
