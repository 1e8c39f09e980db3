#include "reports/rptHits.h"

#include "platform/ui/ImageList.h"
#include "reports/fPreview.h"
#include "scanmodel/NodeImages.h"
#include "scanmodel/ScanInfo.h"

TrepHits* repHits = nullptr;

namespace {
QFont ReportFont(int Points, bool Bold = false, bool Italic = false) {
    QFont F(QStringLiteral("Tahoma"), Points);
    F.setBold(Bold);
    F.setItalic(Italic);
    return F;
}

TQRLabel* AddLabel(TQRCustomBand& Band, int Left, int Top, const char* Caption = "") {
    TQRLabel* L = Band.Add<TQRLabel>();
    L->Left = Left;
    L->Top = Top;
    L->Caption = Caption;
    return L;
}

// A label of fixed width whose text wraps and grows downwards.
TQRLabel* AddGrowingLabel(TQRCustomBand& Band, int Left, int Top, int Width) {
    TQRLabel* L = AddLabel(Band, Left, Top);
    L->Width = Width;
    L->Height = 13;
    L->AutoSize = false;
    L->AutoStretch = true;
    return L;
}

// A label of fixed width cut to one line.
TQRLabel* AddFixedLabel(TQRCustomBand& Band, int Left, int Top, int Width) {
    TQRLabel* L = AddLabel(Band, Left, Top);
    L->Width = Width;
    L->Height = 13;
    L->AutoSize = false;
    L->WordWrap = false;
    return L;
}

TQRLabel* AddRightLabel(TQRCustomBand& Band, int Left, int Top, int Width) {
    TQRLabel* L = AddLabel(Band, Left, Top);
    L->Width = Width;
    L->Alignment = taRightJustify;
    return L;
}

TQRImage* AddPicture(TQRCustomBand& Band, int Left, int Top) {
    TQRImage* I = Band.Add<TQRImage>();
    I->Left = Left;
    I->Top = Top;
    I->Width = I->Height = 32;
    I->Stretch = true;
    return I;
}
} // namespace

TrepHits::TrepHits(const std::unique_ptr<TQuorvex>& Document, const TImageList& Images)
    : mDocument(Document), mImageList(Images) {
    Page.PaperSize = TQRPaperSize::A4;
    Page.Orientation = poLandscape;
    Font = ReportFont(8);
    ReportTitle = "Quorvex";
    Options.FirstPageHeader = true;
    Options.LastPageFooter = true;
    PrintIfEmpty = true;
    CreateBands();

    BeforePrint = [this](TQuickRep* Sender, bool& PrintReport) { repHitsBeforePrint(Sender, PrintReport); };
    OnNeedData = [this](TObject* Sender, bool& MoreData) { repHitsNeedData(Sender, MoreData); };
    OnPreview = [this](TObject* Sender) { repHitsPreview(Sender); };
    if (repHits == nullptr)
        repHits = this;
}

TrepHits::~TrepHits() {
    if (repHits == this)
        repHits = nullptr;
}

void TrepHits::CreateBands() {
    PageHeaderBand1 = AddBand(rbPageHeader);
    PageHeaderBand1->Height = 40;
    PageHeaderBand1->Frame.DrawBottom = true;
    lblHeader = AddLabel(*PageHeaderBand1, 0, 8);
    lblHeader->Width = BandWidth();
    lblHeader->Alignment = taCenter;
    lblHeader->SetFont(ReportFont(16));
    lblHeader->OnPrint = [this](TObject* Sender, std::string& Value) { lblHeaderPrint(Sender, Value); };

    ColumnHeaderBand1 = AddBand(rbColumnHeader);
    ColumnHeaderBand1->Height = 22;
    ColumnHeaderBand1->Frame.DrawBottom = true;
    ColumnHeaderBand1->SetFont(ReportFont(10, true));
    const std::pair<int, const char*> Captions[] = {{4, "Project File"},   {174, "Module"},
                                                    {340, "Routine Name"}, {608, "Variable"},
                                                    {848, "Line No"},      {912, "Error Type"}};
    for (const auto& [Left, Caption] : Captions)
        AddLabel(*ColumnHeaderBand1, Left, 4, Caption);

    DetailBand1 = AddBand(rbDetail);
    DetailBand1->Height = 36;
    imgProject = AddPicture(*DetailBand1, 0, 0);
    lblProject = AddGrowingLabel(*DetailBand1, 36, 16, 133);
    imgModule = AddPicture(*DetailBand1, 174, 0);
    lblModule = AddGrowingLabel(*DetailBand1, 208, 16, 129);
    imgHit = AddPicture(*DetailBand1, 340, 0);
    lblSub = AddFixedLabel(*DetailBand1, 374, 0, 233);
    lblVariable = AddGrowingLabel(*DetailBand1, 608, 0, 239);
    // Sized to its text, right edge kept clear of the error type.
    lblLineNo = AddRightLabel(*DetailBand1, 856, 0, 41);
    lblErrorType = AddFixedLabel(*DetailBand1, 913, 0, 121);
    lblLine = AddGrowingLabel(*DetailBand1, 374, 16, 659);

    SummaryBand1 = AddBand(rbSummary);
    SummaryBand1->Height = 80;
    SummaryBand1->Frame.DrawTop = SummaryBand1->Frame.DrawLeft = SummaryBand1->Frame.DrawRight = true;
    SummaryBand1->BeforePrint = [this](TQRCustomBand* Sender, bool& PrintBand) {
        SummaryBand1BeforePrint(Sender, PrintBand);
    };
    const QFont Bold = ReportFont(8, true);
    for (const auto& [Top, Caption] : {std::pair{8, "Total Hits:"}, std::pair{32, "Total Modules:"},
                                       std::pair{56, "Total Lines of Code:"}})
        AddLabel(*SummaryBand1, 8, Top, Caption)->SetFont(Bold);
    lblHits = AddRightLabel(*SummaryBand1, 152, 8, 129);
    lblMods = AddRightLabel(*SummaryBand1, 152, 32, 129);
    lblLins = AddRightLabel(*SummaryBand1, 152, 56, 129);
    imgCompliant = AddPicture(*SummaryBand1, 340, 16);
    AddLabel(*SummaryBand1, 376, 32, "Compliant Status")->SetFont(Bold);

    PageFooterBand1 = AddBand(rbPageFooter);
    PageFooterBand1->Height = 24;
    PageFooterBand1->Frame.DrawTop = true;
    PageFooterBand1->SetFont(ReportFont(8, false, true));
    TQRSysData* PageNumber = PageFooterBand1->Add<TQRSysData>();
    PageNumber->Left = 968;
    PageNumber->Top = 4;
    PageNumber->Text = "Page ";
    TQRLabel* Product = AddRightLabel(*PageFooterBand1, 753, 4, 200);
    Product->Caption = "Quorvex for VB - Year 2000 hit report";
}

const QImage& TrepHits::Image(Longint Index) const {
    static const QImage None;
    return Index >= 0 && Index < static_cast<Longint>(mImages.size())
               ? mImages[static_cast<std::size_t>(Index)]
               : None;
}

void TrepHits::repHitsBeforePrint(TQuickRep*, bool& PrintReport) {
    ReportWalk = TReportWalk();
    // Each row takes the same image objects, so the engine prepares each picture only once.
    mImages.clear();
    for (int I = 0; I < mImageList.Count(); ++I)
        mImages.push_back(mImageList.Pixmap(I).toImage());
    PrintReport = true;
}

void TrepHits::lblHeaderPrint(TObject*, std::string& Value) {
    Value = mDocument->Name;
}

void TrepHits::FillRow(const std::string& Owner, Longint OwnerImage, const std::string& Module,
                       Longint ModuleImage, const THitInfo& Hit, const std::string& Sub) {
    imgProject->Picture = Image(OwnerImage);
    lblProject->Caption = Owner;
    imgModule->Picture = Image(ModuleImage);
    lblModule->Caption = Module;
    imgHit->Picture = Image(RatingLargeImage(Hit.Compliant));
    lblSub->Caption = Sub;
    lblVariable->Caption = Hit.Variable;
    lblLineNo->Caption = IntToStr(Hit.LineInModule);
    lblErrorType->Caption = Hit.ErrorType;
    lblLine->Caption = Hit.Line;
    ++ReportWalk.HitTotal;
    ++ReportWalk.HitIndex;
}

void TrepHits::FinishModule(Longint ModuleCount) {
    TReportWalk& W = ReportWalk;
    W.HitIndex = 0;
    ++W.ModuleIndex;
    ++W.ModuleTotal;
    if (W.ModuleIndex >= ModuleCount) {
        W.ModuleIndex = 0;
        ++W.ProjectIndex;
    }
}

void TrepHits::FinishDatabase() {
    TReportWalk& W = ReportWalk;
    W.ObjectIndex.fill(0);
    W.HitIndex = 0;
    ++W.DatabaseIndex;
}

void TrepHits::repHitsNeedData(TObject*, bool& MoreData) {
    const TQuorvex& Doc = *mDocument;
    TReportWalk& W = ReportWalk;
    lblHeader->Caption = Doc.Name;
    imgProject->Picture = imgModule->Picture = imgHit->Picture = QImage();
    MoreData = false;

    while (W.ProjectIndex < Doc.ProjectCount()) {
        const TProjectInfo& Project = *Doc.GetProject(W.ProjectIndex);
        const Longint Modules = Project.ModuleCount();
        if (W.ModuleIndex >= Modules) {
            W.ModuleIndex = 0;
            W.HitIndex = 0;
            ++W.ProjectIndex;
            continue;
        }
        const TModuleInfo& Module = *Project.GetModule(W.ModuleIndex);
        if (W.HitIndex < Module.HitCount()) {
            const THitInfo& Hit = *Module.GetHit(W.HitIndex);
            FillRow(Project.Name, Project.ImageIndex, Module.Name, Module.ImageIndex, Hit, Hit.Sub);
            if (W.HitIndex >= Module.HitCount())
                FinishModule(Modules);
            MoreData = true;
            return;
        }
        FinishModule(Modules);
    }

    while (W.DatabaseIndex < Doc.MDBCount()) {
        const TMDBInfo& Database = *Doc.GetMDB(W.DatabaseIndex);
        // The first kind, in the database's order, with an object not yet walked.
        Longint* Counter = nullptr;
        const TMDBObjectInfo* Object = nullptr;
        for (const TMDBObjectKind Kind : MDBObjectKinds) {
            Longint& Walked = W.ObjectIndex[Kind];
            if (Walked < Database.ObjectCount(Kind)) {
                Counter = &Walked;
                Object = Database.GetObject(Kind, Walked);
                break;
            }
        }
        if (Object == nullptr) {
            FinishDatabase();
            continue;
        }
        const bool HasRow = W.HitIndex < Object->HitCount();
        if (HasRow) {
            const TMDBHitInfo& Hit = *Object->GetHit(W.HitIndex);
            FillRow(Database.Name, liMDB, Object->Name, MDBObjectLargeImage(Object->ImageIndex), Hit,
                    Hit.Sub + " - " + Hit.Field);
        }
        if (!HasRow || W.HitIndex >= Object->HitCount()) {
            W.HitIndex = 0;
            ++*Counter;
            ++W.ModuleTotal;
        }
        if (HasRow) {
            MoreData = true;
            return;
        }
    }
}

void TrepHits::SummaryBand1BeforePrint(TQRCustomBand*, bool& PrintBand) {
    imgCompliant->Picture = Image(RatingLargeImage(mDocument->Compliant()));
    lblHits->Caption = IntToStr(ReportWalk.HitTotal);
    lblMods->Caption = IntToStr(ReportWalk.ModuleTotal);
    lblLins->Caption = IntToStr(mDocument->TotalLinesOfCode());
    PrintBand = true;
}

void TrepHits::repHitsPreview(TObject* Sender) {
    mPreviews.push_back(TfrmPreview::Open(Sender));
}
