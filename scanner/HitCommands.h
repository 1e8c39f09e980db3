#pragma once
// Re-rating and deleting the hits shown in the main window's hit lists.

class QTreeWidget;
class QTreeWidgetItem;
class TDocumentTree;
class TImageList;
class TfrmHit;

/// Shows the hit of List's first selected row in Dialog. On OK the hit takes the dialog's rating
/// and error type, and the row and the tree node (Node, which shows the module or database
/// object) show the new ratings. Returns True when the hit changed; nothing happens without a
/// selected row.
bool EditSelectedHit(QTreeWidget& List, QTreeWidgetItem* Node, const TDocumentTree& Tree, TfrmHit& Dialog,
                     const TImageList& HitImages);

/// Deletes the hit of List's first selected row from Node's object and removes the row. When the
/// last hit goes, the node and its object take the image without hits. Returns True when a hit
/// was deleted.
bool DeleteSelectedHit(QTreeWidget& List, QTreeWidgetItem* Node, const TDocumentTree& Tree);
