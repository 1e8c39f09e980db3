#include "scanner/MRUList.h"

#include "platform/ui/Application.h"
#include "platform/ui/Registry.h"
#include "platform/ui/Text.h"

#include <QMenu>

namespace {
QMenu* ParentMenu(QAction* Item) {
    for (QObject* Obj : Item->associatedObjects())
        if (auto* Menu = qobject_cast<QMenu*>(Obj))
            return Menu;
    return nullptr;
}

bool HasSubItems(QAction* Item) {
    return Item->menu() != nullptr && !Item->menu()->actions().isEmpty();
}
} // namespace

TMRUFileList::TMRUFileList(QObject* Owner) : QObject(Owner) {}

TMRUFileList::~TMRUFileList() {
    if (!AutoSave)
        return;
    if (Application != nullptr)
        Application->Guard([this] { SaveToRegistry(); });
    else
        try {
            SaveToRegistry();
        } catch (...) {
            // Without an application there is nobody to tell; the old list stays in the registry.
        }
}

void TMRUFileList::Loaded() {
    if (AutoSave)
        LoadFromRegistry();
}

void TMRUFileList::AddItem(const std::string& FileName) {
    const Longint Index = mFileNames.IndexOf(FileName);
    if (Index >= 0) {
        const std::string Stored = mFileNames[Index];
        mFileNames.Delete(Index);
        mFileNames.Insert(0, Stored);
    } else {
        mFileNames.Insert(0, FileName);
        while (mFileNames.Count() > mMaximum)
            mFileNames.Delete(mFileNames.Count() - 1);
    }
    RebuildMenu();
}

QMenu* TMRUFileList::AnchorMenu(qsizetype* Position) const {
    if (mFileMenu == nullptr)
        return nullptr;
    if (HasSubItems(mFileMenu)) {
        QMenu* Menu = mFileMenu->menu();
        *Position = Menu->actions().size();
        return Menu;
    }
    QMenu* Menu = ParentMenu(mFileMenu);
    if (Menu != nullptr)
        *Position = Menu->actions().indexOf(mFileMenu.data());
    return Menu;
}

void TMRUFileList::RebuildMenu() {
    if (mFileMenu == nullptr)
        return;
    RemoveMenuItems();
    if (mFileNames.Count() == 0)
        return;
    qsizetype Position = 0;
    QMenu* Target = AnchorMenu(&Position);
    if (Target == nullptr)
        return;
    auto InsertAt = [](QMenu* Menu, qsizetype Pos, QAction* Item) {
        const QList<QAction*> Items = Menu->actions();
        Menu->insertAction(Pos < Items.size() ? Items[Pos] : nullptr, Item);
    };
    auto* Separator = new TMRUMenuItem(Target);
    Separator->setSeparator(true);
    InsertAt(Target, Position++, Separator);
    if (mUseSubmenu) {
        auto* Sub = new TMRUMenuItem(Target);
        Sub->setText(FromFileName(mSubmenuName));
        Sub->setMenu(new QMenu(Target));
        InsertAt(Target, Position, Sub);
        Target = Sub->menu();
        Position = 0;
    }
    for (Longint I = 0; I < mFileNames.Count(); ++I) {
        auto* Item = new TMRUMenuItem(Target);
        // A '&' in a file name is shown as such, not taken as an accelerator.
        Item->setText(QStringLiteral("&%1 ").arg(I + 1) +
                      FromFileName(mFileNames[I]).replace(u'&', QStringLiteral("&&")));
        Item->EntryIndex = static_cast<Byte>(I + 1);
        connect(Item, &QAction::triggered, this, Guarded([this, Item] { ItemClick(Item); }));
        InsertAt(Target, Position++, Item);
    }
}

void TMRUFileList::RemoveMenuItems() {
    if (mFileMenu == nullptr)
        return;
    QMenu* Menu = HasSubItems(mFileMenu) ? mFileMenu->menu() : ParentMenu(mFileMenu);
    if (Menu == nullptr)
        return;
    const QList<QAction*> Items = Menu->actions();
    for (qsizetype I = Items.size() - 1; I >= 0; --I) {
        auto* Item = qobject_cast<TMRUMenuItem*>(Items[I]);
        if (Item == nullptr)
            continue;
        Menu->removeAction(Item);
        // Deferred, so that a clicked entry stays valid while its click is handled.
        if (Item->menu() != nullptr)
            Item->menu()->deleteLater();
        Item->deleteLater();
    }
}

void TMRUFileList::ItemClick(QObject* Sender) {
    auto* Item = qobject_cast<TMRUMenuItem*>(Sender);
    if (Item == nullptr)
        throw EInvalidCast("Invalid class typecast");
    const Longint Index = Item->EntryIndex - 1;
    std::string FileName;
    if (OnMRUItemClick)
        FileName = mFileNames[Index];
    if (RemoveOnClick) {
        mFileNames.Delete(Index);
        RebuildMenu();
    }
    if (OnMRUItemClick)
        OnMRUItemClick(Sender, FileName);
}

void TMRUFileList::SetMaximum(Byte Value) {
    if (Value == mMaximum)
        return;
    if (Value < mMaximum) {
        while (mFileNames.Count() > Value)
            mFileNames.Delete(mFileNames.Count() - 1);
        RebuildMenu();
    }
    mMaximum = Value;
}

void TMRUFileList::SetFileMenu(QAction* Value) {
    RemoveMenuItems();
    mFileMenu = Value;
    RebuildMenu();
}

void TMRUFileList::SetUseSubmenu(bool Value) {
    if (Value == mUseSubmenu)
        return;
    mUseSubmenu = Value;
    RebuildMenu();
}

void TMRUFileList::SetSubmenuName(const std::string& Value) {
    if (Value == mSubmenuName)
        return;
    mSubmenuName = Value;
    if (mUseSubmenu)
        RebuildMenu();
}

bool TMRUFileList::LoadFromRegistry() {
    if (AutoSaveName.empty() || AutoSaveKey.empty())
        return false;
    TRegIniFile Reg(AutoSaveName);
    TStringList Values;
    Reg.ReadSectionValues(AutoSaveKey, Values);
    // A damaged or hand-edited file may hold any number of values: the list takes no more than
    // it keeps.
    for (Longint I = 0; I < Values.Count() && mFileNames.Count() < mMaximum; ++I) {
        const std::string& Line = Values[I];
        const std::size_t Eq = Line.find('=');
        // Only the data is kept; a '=' inside a file name stays part of it.
        const std::string Data = Eq == std::string::npos ? Line : Line.substr(Eq + 1);
        if (!Data.empty())
            mFileNames.Add(Data);
    }
    RebuildMenu();
    return true;
}

bool TMRUFileList::SaveToRegistry() {
    if (AutoSaveName.empty() || AutoSaveKey.empty())
        return false;
    TRegIniFile Reg(AutoSaveName);
    Reg.EraseSection(AutoSaveKey);
    for (Longint I = 0; I < mFileNames.Count(); ++I)
        Reg.WriteString(AutoSaveKey, "F" + IntToStr(I), mFileNames[I]);
    Reg.UpdateFile();
    return true;
}
