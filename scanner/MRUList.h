#pragma once
// The recent-files list: file names most recent first, shown as numbered entries in a menu and
// kept in the registry between runs.

#include "platform/rtl/Classes.h"
#include "platform/ui/Text.h"

#include <QAction>
#include <QPointer>

#include <functional>
#include <string>

class QMenu;

/// A menu entry made by TMRUFileList. EntryIndex is the entry's 1-based place in the list, 0 for
/// the separator and the submenu item.
class TMRUMenuItem final : public QAction {
    Q_OBJECT
public:
    explicit TMRUMenuItem(QObject* Owner) : QAction(Owner) {}
    Byte EntryIndex = 0;
};

/// Sender is the clicked menu entry.
using TMRUClick = std::function<void(QObject* Sender, const std::string& AFilename)>;

/// Keeps up to Maximum file names. The entries go into the menu of FileMenu after its last item
/// when FileMenu has items, else into FileMenu's parent menu just above FileMenu itself. With
/// AutoSave the list is read from the registry key AutoSaveName\AutoSaveKey when the owner calls
/// Loaded() and written back on destruction, as values F0, F1, ... (F0 the most recent).
class TMRUFileList : public QObject {
    Q_OBJECT
public:
    explicit TMRUFileList(QObject* Owner = nullptr);
    ~TMRUFileList() override;

    /// The owner's after-load step: loads the list when AutoSave is on.
    void Loaded();

    /// Puts FileName at the top (a name already held, in any letter case, moves up keeping its
    /// stored spelling), drops the oldest names beyond Maximum and rebuilds the menu.
    void AddItem(const std::string& FileName);
    /// Takes the component's entries out of the menu and inserts them anew from FileNames.
    virtual void RebuildMenu();
    /// Takes every TMRUMenuItem out of the anchoring menu level.
    void RemoveMenuItems();
    /// Click of an entry: removes it when RemoveOnClick, then reports it to OnMRUItemClick.
    void ItemClick(QObject* Sender);
    /// Appends the registry's entries while the list holds fewer than Maximum; False when
    /// AutoSaveName or AutoSaveKey is empty.
    bool LoadFromRegistry();
    /// Replaces the registry's entries with FileNames in one write of the settings file; False
    /// when AutoSaveName or AutoSaveKey is empty.
    bool SaveToRegistry();

    Byte Maximum() const { return mMaximum; }
    void SetMaximum(Byte Value);
    QAction* FileMenu() const { return mFileMenu; }
    void SetFileMenu(QAction* Value);
    bool UseSubmenu() const { return mUseSubmenu; }
    void SetUseSubmenu(bool Value);
    const std::string& SubmenuName() const { return mSubmenuName; }
    void SetSubmenuName(const std::string& Value);
    /// The file names, index 0 the most recent.
    TStringList& FileNames() { return mFileNames; }

    bool RemoveOnClick = true;
    bool AutoSave = true;
    std::string AutoSaveName = "\\Software\\My Application";
    std::string AutoSaveKey = "MRU Items";
    TMRUClick OnMRUItemClick;

private:
    /// The menu that holds the entries and the place of the first one in it.
    QMenu* AnchorMenu(qsizetype* Position) const;

    Byte mMaximum = 5;
    bool mUseSubmenu = false;
    std::string mSubmenuName = "Reopen";
    QPointer<QAction> mFileMenu;
    TLocaleStringList mFileNames{TEntryText::FileName};
};
