#include "scanner/DocumentTree.h"

#include "platform/ui/ImageList.h"
#include "platform/ui/Text.h"
#include "scanmodel/ScanInfo.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeWidget>

namespace {
constexpr int ObjectRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int StateRole = Qt::UserRole + 2;

/// Tool tips of the tree: a node whose object lies in a file names that file in full, so that
/// projects of the same name in different folders can be told apart; any other node shows its
/// text whole when the tree is too narrow for it.
class TNodeTips final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* Event, QAbstractItemView* View, const QStyleOptionViewItem& Option,
                   const QModelIndex& Index) override {
        if (Event->type() != QEvent::ToolTip || !Index.isValid())
            return QStyledItemDelegate::helpEvent(Event, View, Option, Index);
        QString Tip = Index.data(Qt::ToolTipRole).toString();
        if (Tip.isEmpty()) {
            QStyleOptionViewItem Item = Option;
            initStyleOption(&Item, Index);
            const QRect Text = View->style()->subElementRect(QStyle::SE_ItemViewItemText, &Item, View);
            if (Item.fontMetrics.horizontalAdvance(Item.text) > Text.width())
                Tip = Item.text;
        }
        if (Tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(Event->globalPos(), Tip, View->viewport());
        return true;
    }
};
} // namespace

TDocumentTree::TDocumentTree(QTreeWidget& Tree, const TImageList& Images, const TImageList& States)
    : mTree(Tree), mImages(Images), mStates(States) {
    // Names cut in the middle keep their endings, which is where siblings differ.
    mTree.setTextElideMode(Qt::ElideMiddle);
    mTree.setItemDelegate(new TNodeTips(&mTree));
}

TScanInfo* TDocumentTree::Data(const QTreeWidgetItem* Node) {
    if (Node == nullptr)
        return nullptr;
    return reinterpret_cast<TScanInfo*>(Node->data(0, ObjectRole).value<quintptr>());
}

void TDocumentTree::SetData(QTreeWidgetItem* Node, TScanInfo* Object) {
    Node->setData(0, ObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(Object)));
}

int TDocumentTree::Image(const QTreeWidgetItem* Node) {
    return Node->data(0, ImageRole).toInt();
}

int TDocumentTree::State(const QTreeWidgetItem* Node) {
    return Node->data(0, StateRole).toInt();
}

void TDocumentTree::SetImage(QTreeWidgetItem* Node, int Image) const {
    Node->setData(0, ImageRole, Image);
    UpdateIcon(Node);
}

void TDocumentTree::SetState(QTreeWidgetItem* Node, int State) const {
    Node->setData(0, StateRole, State);
    UpdateIcon(Node);
}

void TDocumentTree::UpdateIcon(QTreeWidgetItem* Node) const {
    // Nodes share the few pictures their images and states make, each drawn once.
    const int S = State(Node), I = Image(Node);
    const auto Key = (static_cast<quint64>(static_cast<quint32>(S)) << 32) | static_cast<quint32>(I);
    auto It = mIcons.find(Key);
    if (It == mIcons.end()) {
        const int W = mImages.Width(), H = mImages.Height();
        QPixmap Icon(2 * W, H);
        Icon.fill(Qt::transparent);
        QPainter P(&Icon);
        if (S != NoState)
            P.drawPixmap(0, 0, mStates.Pixmap(S));
        P.drawPixmap(W, 0, mImages.Pixmap(I));
        P.end();
        It = mIcons.insert(Key, QIcon(Icon));
    }
    Node->setIcon(0, *It);
}

QTreeWidgetItem* TDocumentTree::AddNode(QTreeWidgetItem* Parent, TScanInfo* Object, int State) const {
    // Filled before it joins the tree, so that the tree hears of it once, not of every field.
    auto* Node = new QTreeWidgetItem;
    Node->setText(0, FromAnsi(Object->Name));
    if (!Object->Path.empty())
        Node->setToolTip(0, FromAnsi(Object->Path + Object->Name));
    SetData(Node, Object);
    Node->setData(0, ImageRole, Object->ImageIndex);
    Node->setData(0, StateRole, State);
    UpdateIcon(Node);
    if (Parent != nullptr)
        Parent->addChild(Node);
    else
        mTree.addTopLevelItem(Node);
    return Node;
}

QTreeWidgetItem* TDocumentTree::Root() const {
    return mTree.topLevelItemCount() > 0 ? mTree.topLevelItem(0) : nullptr;
}

QTreeWidgetItem* TDocumentTree::AddRoot(TQuorvex& Document) const {
    QTreeWidgetItem* Root = AddNode(nullptr, &Document);
    Root->setFlags(Root->flags() | Qt::ItemIsEditable);
    return Root;
}

void TDocumentTree::Clear() const {
    mTree.clear();
}

void TDocumentTree::Build(TQuorvex& Document) const {
    QTreeWidgetItem* Root = AddRoot(Document);
    for (Longint I = 0; I < Document.ProjectCount(); ++I) {
        TProjectInfo* Project = Document.GetProject(I);
        AddProjectChildren(AddNode(Root, Project), *Project);
        Document.PageIndex = pgQuorvex;
    }
    for (Longint I = 0; I < Document.MDBCount(); ++I) {
        TMDBInfo* MDB = Document.GetMDB(I);
        AddMDBChildren(AddNode(Root, MDB), *MDB);
        Document.PageIndex = pgQuorvex;
    }
    mTree.collapseAll();
    Root->setExpanded(true);
}

void TDocumentTree::AddProjectChildren(QTreeWidgetItem* Node, TProjectInfo& Project) const {
    for (Longint I = 0; I < Project.ModuleCount(); ++I) {
        TModuleInfo* Module = Project.GetModule(I);
        AddNode(Node, Module, StateImage(Module->Compliant()));
    }
    for (Longint I = 0; I < Project.VBXCount(); ++I)
        AddNode(Node, Project.GetVBX(I));
}

void TDocumentTree::AddMDBChildren(QTreeWidgetItem* Node, TMDBInfo& MDB) const {
    for (const TMDBObjectKind Kind : MDBObjectKinds)
        for (Longint I = 0; I < MDB.ObjectCount(Kind); ++I) {
            TMDBObjectInfo* Object = MDB.GetObject(Kind, I);
            AddNode(Node, Object, StateImage(Object->Compliant()));
        }
}
