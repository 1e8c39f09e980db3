#include "scanner/HitCommands.h"

#include "scanmodel/ScanInfo.h"
#include "scanner/DocumentTree.h"
#include "scanner/ResultPages.h"
#include "scanner/fHit.h"

#include <QTreeWidget>

bool EditSelectedHit(QTreeWidget& List, QTreeWidgetItem* Node, const TDocumentTree& Tree, TfrmHit& Dialog,
                     const TImageList& HitImages) {
    QTreeWidgetItem* Row = SelectedRow(List);
    TScanInfo* Object = TDocumentTree::Data(Node);
    if (Row == nullptr || Object == nullptr)
        return false;
    THitInfo* Hit = RowHit(Row);
    Dialog.SetFilename(Object->Path + Object->Name);
    if (auto* MDBHit = dynamic_cast<TMDBHitInfo*>(Hit))
        Dialog.SetField(MDBHit->Field);
    Dialog.SetWord(Hit->Variable);
    Dialog.Position = Hit->Position;
    Dialog.SetKeyWord(Hit->Key);
    Dialog.SetLine(Hit->Line);
    Dialog.SetSub(Hit->Sub);
    Dialog.SetCompliant(Hit->Compliant);
    Dialog.SetErrorType(Hit->ErrorType);
    if (Dialog.ShowModal() != mrOk)
        return false;
    Hit->Compliant = Dialog.Compliant();
    Hit->ErrorType = Dialog.ErrorType();
    UpdateHitRow(Row, HitImages);
    Tree.SetState(Node, StateImage(Object->Compliant()));
    return true;
}

bool DeleteSelectedHit(QTreeWidget& List, QTreeWidgetItem* Node, const TDocumentTree& Tree) {
    QTreeWidgetItem* Row = SelectedRow(List);
    TScanInfo* Object = TDocumentTree::Data(Node);
    if (Row == nullptr || Object == nullptr)
        return false;
    THitInfo* Hit = RowHit(Row);
    int Offset = 0, FirstWithHits = 0;
    if (auto* Module = dynamic_cast<TModuleInfo*>(Object)) {
        Module->DeleteHit(Module->IndexOfHit(Hit));
        Offset = ModuleHitsStep;
        FirstWithHits = imFormHits;
    } else {
        auto* DbObject = As<TMDBObjectInfo>(Object);
        DbObject->DeleteHit(DbObject->IndexOfHit(static_cast<TMDBHitInfo*>(Hit)));
        Offset = MDBObjectHitsStep;
        FirstWithHits = imTableHits;
    }
    delete Row;
    Tree.SetState(Node, StateImage(Object->Compliant()));
    // Only an image with hits has a no-hits counterpart; any other stays, so that the index
    // never leaves the image list.
    if (List.topLevelItemCount() == 0 && TDocumentTree::Image(Node) >= FirstWithHits) {
        const int Image = TDocumentTree::Image(Node) - Offset;
        Tree.SetImage(Node, Image);
        Object->ImageIndex = Image;
    }
    return true;
}
