#pragma once
// The document tree of the main window: one node per model object, each carrying its object,
// its image (from the tree's image list) and its state image (a rating mark, Compliant + 1, or
// none). A node's icon shows the state mark left of the image.

#include "scanmodel/NodeImages.h"

#include <QHash>
#include <QIcon>
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;
class TImageList;
class TScanInfo;
class TQuorvex;
class TProjectInfo;
class TMDBInfo;

/// Builds and updates the nodes of one tree widget.
class TDocumentTree final {
public:
    TDocumentTree(QTreeWidget& Tree, const TImageList& Images, const TImageList& States);

    /// The object a node shows, or nullptr.
    static TScanInfo* Data(const QTreeWidgetItem* Node);
    static void SetData(QTreeWidgetItem* Node, TScanInfo* Object);
    static int Image(const QTreeWidgetItem* Node);
    static int State(const QTreeWidgetItem* Node);
    void SetImage(QTreeWidgetItem* Node, int Image) const;
    void SetState(QTreeWidgetItem* Node, int State) const;

    /// Adds a node under Parent (at the top level when nullptr) with the object's Name as text
    /// and its ImageIndex as image.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* Parent, TScanInfo* Object, int State = NoState) const;
    /// The tree's first node, or nullptr.
    QTreeWidgetItem* Root() const;

    /// Adds the document's node at the top level; it is the only node the user may rename.
    QTreeWidgetItem* AddRoot(TQuorvex& Document) const;
    /// Empties the tree.
    void Clear() const;
    /// Shows Document: the root, then each project with its modules and custom-control files,
    /// then each database with its objects. Sets the document's PageIndex to 1 when it holds a
    /// project or a database. Everything is collapsed except the root's first level.
    void Build(TQuorvex& Document) const;
    /// Adds the module nodes (with their rating marks), then the custom-control nodes.
    void AddProjectChildren(QTreeWidgetItem* Node, TProjectInfo& Project) const;
    /// Adds the object nodes (with their rating marks) kind by kind: tables, queries, forms,
    /// reports, macros, modules, import/export specifications.
    void AddMDBChildren(QTreeWidgetItem* Node, TMDBInfo& MDB) const;

private:
    void UpdateIcon(QTreeWidgetItem* Node) const;

    QTreeWidget& mTree;
    const TImageList& mImages;
    const TImageList& mStates;
    mutable QHash<quint64, QIcon> mIcons; ///< by state and image
};
