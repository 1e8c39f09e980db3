#include "components/CDKDir95.h"

#include "platform/ui/Text.h"
#include <QApplication>

#include <QDir>
#include <QLabel>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int KindRole = Qt::UserRole + 2;
constexpr int IndentPerLevel = 8;

// Draws each line indented by its depth, with the list box's picture for its kind.
class TFolderItemDelegate final : public QStyledItemDelegate {
public:
    explicit TFolderItemDelegate(TDirectoryListBox* List) : QStyledItemDelegate(List), mList(List) {}

protected:
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override {
        QStyledItemDelegate::initStyleOption(Option, Index);
        const QPixmap Picture =
            mList->FolderPicture(static_cast<TDirectoryListBox::TFolderKind>(Index.data(KindRole).toInt()));
        Option->icon = QIcon(Picture);
        Option->decorationSize = Picture.size();
        Option->features |= QStyleOptionViewItem::HasDecoration;
        Option->rect.adjust(Index.data(LevelRole).toInt() * IndentPerLevel, 0, 0, 0);
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        QSize Size = QStyledItemDelegate::sizeHint(Option, Index);
        Size.setHeight(mList->ItemHeight());
        Size.rwidth() += Index.data(LevelRole).toInt() * IndentPerLevel;
        return Size;
    }

private:
    TDirectoryListBox* mList;
};
} // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* Parent) : QListWidget(Parent) {
    setItemDelegate(new TFolderItemDelegate(this));
    setUniformItemSizes(true);
    mDirectory = QDir::currentPath();
    ReadDirectoryNames();
    // A double click opens a line. Enter is left to the window, whose default button answers it.
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this] { RunGuarded(this, [this] { OpenCurrent(); }); });
}

void TDirectoryListBox::SetDirectory(const QString& Value) {
    const QString Path = QDir::cleanPath(QDir(mDirectory).absoluteFilePath(Value));
    if (!QDir::setCurrent(Path))
        throw EInOutError("Cannot open folder \"" + ToFileName(Path) + '"');
    mDirectory = QDir::currentPath();
    ReadDirectoryNames();
    UpdateDirLabel();
}

void TDirectoryListBox::SetDirLabel(QLabel* Value) {
    mDirLabel = Value;
    UpdateDirLabel();
}

void TDirectoryListBox::SetItemHeight(int Value) {
    mItemHeight = Value;
    doItemsLayout();
}

QString TDirectoryListBox::GetItemPath(int Index) const {
    const QListWidgetItem* Line = item(Index);
    return Line != nullptr ? Line->data(PathRole).toString() : QString();
}

void TDirectoryListBox::OpenCurrent() {
    if (currentRow() >= 0)
        SetDirectory(GetItemPath(currentRow()));
}

QPixmap TDirectoryListBox::FolderPicture(TFolderKind Kind) {
    if (!mBitmapsLoaded) {
        mBitmapsLoaded = true;
        LoadFolderBitmaps();
    }
    switch (Kind) {
    case fkOpen:
        return mOpenedBmp;
    case fkClosed:
        return mClosedBmp;
    case fkCurrent:
        break;
    }
    return mCurrentBmp;
}

void TDirectoryListBox::LoadFolderBitmaps() {
    const QSize Size(16, 16);
    mOpenedBmp = style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(Size);
    mClosedBmp = style()->standardIcon(QStyle::SP_DirClosedIcon).pixmap(Size);
    mCurrentBmp = style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(Size);
}

void TDirectoryListBox::ReadDirectoryNames() {
    clear();
    auto AddLine = [this](const QString& Text, const QString& Path, int Level, TFolderKind Kind) {
        auto* Line = new QListWidgetItem(Text, this);
        Line->setData(PathRole, Path);
        Line->setData(LevelRole, Level);
        Line->setData(KindRole, static_cast<int>(Kind));
    };
    // The path from the root down to the current folder.
    const QStringList Parts = mDirectory.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString Path = QStringLiteral("/");
    AddLine(Path, Path, 0, Parts.isEmpty() ? fkCurrent : fkOpen);
    for (qsizetype I = 0; I < Parts.size(); ++I) {
        Path = QDir::cleanPath(Path + QLatin1Char('/') + Parts[I]);
        AddLine(Parts[I], Path, static_cast<int>(I) + 1, I + 1 == Parts.size() ? fkCurrent : fkOpen);
    }
    const int CurrentRow = count() - 1;
    const QDir Current(mDirectory);
    for (const QString& Name :
         Current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        AddLine(Name, Current.absoluteFilePath(Name), static_cast<int>(Parts.size()) + 1, fkClosed);
    setCurrentRow(CurrentRow);
}

void TDirectoryListBox::UpdateDirLabel() {
    if (mDirLabel != nullptr)
        mDirLabel->setText(
            mDirLabel->fontMetrics().elidedText(mDirectory, Qt::ElideMiddle, mDirLabel->width()));
}

void TDirectoryListBox::resizeEvent(QResizeEvent* Event) {
    QListWidget::resizeEvent(Event);
    UpdateDirLabel();
}

void TCDKWin95DirListBox::LoadFolderBitmaps() {
    InitKitResources();
    mOpenedBmp = QPixmap(QStringLiteral(":/components/WIN95DIRLISTBOX_OPEN_FOLDER.xpm"));
    mClosedBmp = QPixmap(QStringLiteral(":/components/WIN95DIRLISTBOX_CLOSED_FOLDER.xpm"));
    mCurrentBmp = QPixmap(QStringLiteral(":/components/WIN95DIRLISTBOX_CURRENT_FOLDER.xpm"));
}
