#include "scanner/ResultPages.h"

#include "platform/ui/ImageList.h"
#include "platform/ui/Text.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/DocumentTree.h"

#include "ui_Main.h"

#include <QTreeWidget>

#include <algorithm>

namespace {
constexpr int HitRole = Qt::UserRole;
constexpr int StateRole = Qt::UserRole + 2;

const char* const ComplianceCaptions[] = {"No", "Maybe", "Yes"};

QString Number(Longint N) {
    return QString::number(N);
}

void ShowCompliance(QLabel* Text, QLabel* Picture, TCompliant Compliant, const TImageList& HitImages) {
    Text->setText(QString::fromLatin1(ComplianceCaptions[Compliant]));
    Picture->setPixmap(HitImages.Pixmap(RatingPicture(Compliant)));
}

void AddHitRow(QTreeWidget* List, THitInfo* Hit, const TMDBHitInfo* MDBHit, const TImageList& HitImages) {
    QStringList Columns;
    if (MDBHit != nullptr)
        Columns << FromAnsi(MDBHit->Field);
    Columns << FromAnsi(Hit->Variable) << Number(Hit->LineInSub) << Number(Hit->LineInModule)
            << FromAnsi(Hit->ErrorType);
    auto* Row = new QTreeWidgetItem(List, Columns);
    const int FirstNumber = MDBHit != nullptr ? 2 : 1;
    Row->setTextAlignment(FirstNumber, Qt::AlignRight | Qt::AlignVCenter);
    Row->setTextAlignment(FirstNumber + 1, Qt::AlignRight | Qt::AlignVCenter);
    Row->setData(0, HitRole, QVariant::fromValue(reinterpret_cast<quintptr>(Hit)));
    UpdateHitRow(Row, HitImages);
}

/// Widens the name columns of a filled hit list to their longest entry, never below the design
/// width, so that variable and field names show whole.
template <std::size_t N>
void FitNameColumns(QTreeWidget* List, const int (&DesignWidths)[N], std::initializer_list<int> Columns) {
    for (const int Column : Columns) {
        List->resizeColumnToContents(Column);
        List->setColumnWidth(Column, std::max(DesignWidths[Column], List->columnWidth(Column)));
    }
}
} // namespace

int ErrorTypeColumn(const QTreeWidget& List) {
    return List.columnCount() - 1;
}

THitInfo* RowHit(const QTreeWidgetItem* Row) {
    return reinterpret_cast<THitInfo*>(Row->data(0, HitRole).value<quintptr>());
}

QTreeWidgetItem* SelectedRow(const QTreeWidget& List) {
    for (int I = 0; I < List.topLevelItemCount(); ++I)
        if (List.topLevelItem(I)->isSelected())
            return List.topLevelItem(I);
    return nullptr;
}

int RowState(const QTreeWidgetItem* Row) {
    return Row->data(0, StateRole).toInt();
}

void UpdateHitRow(QTreeWidgetItem* Row, const TImageList& HitImages) {
    const THitInfo* Hit = RowHit(Row);
    const int State = StateImage(Hit->Compliant);
    Row->setData(0, StateRole, State);
    Row->setIcon(0, HitImages.Icon(State));
    Row->setText(ErrorTypeColumn(*Row->treeWidget()), FromAnsi(Hit->ErrorType));
}

TTreePopup ShowNode(Ui::TfrmMain& Form, const TDocumentTree& Tree, const TImageList& HitImages,
                    QTreeWidgetItem* Node, TScanInfo& Object) {
    if (Object.PageIndex >= pgBlank && Object.PageIndex <= pgMDBObject)
        Form.nteResults->setCurrentIndex(Object.PageIndex);
    TTreePopup Popup = TTreePopup::None;
    int State = NoState;
    switch (Form.nteResults->currentIndex()) {
    case pgQuorvex: {
        auto& Doc = *As<TQuorvex>(&Object);
        Form.lblQvxFilename->setText(FromAnsi(Doc.Path + Doc.Name));
        Form.lblQvxLinesOfCode->setText(Number(Doc.TotalLinesOfCode()));
        Form.lblQvxModCount->setText(Number(Doc.ProjectCount() + Doc.MDBCount()));
        ShowCompliance(Form.lblQvxCompliant, Form.imgQvxCompliant, Doc.Compliant(), HitImages);
        break;
    }
    case pgProject: {
        auto& Project = *As<TProjectInfo>(&Object);
        Popup = TTreePopup::Project;
        Form.lblPrjFileName->setText(FromAnsi(Project.Path + Project.Name));
        Form.lblPrjLinesOfCode->setText(Number(Project.ProjectLinesOfCode()));
        Form.lblPrjModCount->setText(Number(Project.ModuleCount()));
        ShowCompliance(Form.lblPrjCompliant, Form.imgPrjCompliant, Project.Compliant(), HitImages);
        break;
    }
    case pgModule: {
        auto& Module = *As<TModuleInfo>(&Object);
        Popup = TTreePopup::Module;
        Form.lvwHits->clear();
        for (Longint I = 0; I < Module.HitCount(); ++I)
            AddHitRow(Form.lvwHits, Module.GetHit(I), nullptr, HitImages);
        FitNameColumns(Form.lvwHits, HitColumnWidths, {0});
        State = StateImage(Module.Compliant());
        break;
    }
    case pgVBX: {
        auto& VBX = *As<TVBXInfo>(&Object);
        Form.lblFilename->setText(FromAnsi(VBX.Path + VBX.Name));
        Form.lblProduct->setText(FromAnsi(VBX.Product));
        Form.lblCompany->setText(FromAnsi(VBX.Company));
        Form.lblDescription->setText(FromAnsi(VBX.Description));
        Form.lblVersion->setText(FromAnsi(VBX.Version));
        break;
    }
    case pgMDB: {
        auto& MDB = *As<TMDBInfo>(&Object);
        Form.lblMDBFilename->setText(FromAnsi(MDB.Path + MDB.Name));
        Form.lblMDBLinesOfCode->setText(Number(MDB.MDBLinesOfCode()));
        Form.lblMDBTabCount->setText(Number(MDB.TableCount()));
        Form.lblMDBQryCount->setText(Number(MDB.QueryCount()));
        Form.lblMDBFrmCount->setText(Number(MDB.FormCount()));
        Form.lblMDBRepCount->setText(Number(MDB.ReportCount()));
        Form.lblMDBMacCount->setText(Number(MDB.MacroCount()));
        Form.lblMDBModCount->setText(Number(MDB.ModuleCount()));
        Form.lblMDBExpCount->setText(Number(MDB.IMEXSpecCount()));
        ShowCompliance(Form.lblMDBCompliant, Form.imgMDBCompliant, MDB.Compliant(), HitImages);
        break;
    }
    case pgMDBObject: {
        auto& DbObject = *As<TMDBObjectInfo>(&Object);
        Form.lvwMDBHits->clear();
        for (Longint I = 0; I < DbObject.HitCount(); ++I) {
            TMDBHitInfo* Hit = DbObject.GetHit(I);
            AddHitRow(Form.lvwMDBHits, Hit, Hit, HitImages);
        }
        FitNameColumns(Form.lvwMDBHits, MDBHitColumnWidths, {0, 1});
        State = StateImage(DbObject.Compliant());
        break;
    }
    default:
        break;
    }
    Tree.SetImage(Node, Object.ImageIndex);
    Tree.SetState(Node, State);
    return Popup;
}
