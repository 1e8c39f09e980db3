#pragma once
// The notebook pages of the main window: what each page shows for the selected node, and the
// rows of the two hit lists.

#include "scanmodel/NodeImages.h"

class QTreeWidget;
class QTreeWidgetItem;
class TDocumentTree;
class TImageList;
class TScanInfo;
class THitInfo;

namespace Ui {
class TfrmMain;
}

/// The design widths of the hit lists' columns: lvwHits (Variable, Line in Sub, Line in Module,
/// Error Type) and lvwMDBHits (Field, Variable, Line in Sub, Line in Module, Error Type).
inline constexpr int HitColumnWidths[] = {80, 70, 90, 120};
inline constexpr int MDBHitColumnWidths[] = {70, 80, 70, 85, 100};

/// Which pop-up menu the tree offers for the node shown.
enum class TTreePopup { None, Project, Module };

/// Turns to the page of Object's PageIndex (a page outside 0..6 leaves the page as it was),
/// fills it from Object, and sets Node's image and state image as that page wants them.
/// Raises "Invalid class typecast" when Object is not of the kind the page shows.
TTreePopup ShowNode(Ui::TfrmMain& Form, const TDocumentTree& Tree, const TImageList& HitImages,
                    QTreeWidgetItem* Node, TScanInfo& Object);

/// The column of a hit list that shows the error type.
int ErrorTypeColumn(const QTreeWidget& List);
/// The hit a list row carries.
THitInfo* RowHit(const QTreeWidgetItem* Row);
/// The first selected row of a hit list, or nullptr.
QTreeWidgetItem* SelectedRow(const QTreeWidget& List);
/// Updates a row's rating mark (Compliant + 1) and its error type from its hit.
void UpdateHitRow(QTreeWidgetItem* Row, const TImageList& HitImages);
/// The rating mark a row shows.
int RowState(const QTreeWidgetItem* Row);
