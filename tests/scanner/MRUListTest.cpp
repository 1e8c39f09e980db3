#include "scanner/MRUList.h"
#include "platform/ui/Registry.h"
#include "tests/scanner/ScannerTestSupport.h"

#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

const std::string Key = "\\Software\\Test\\Recent";

std::vector<std::string> Names(TMRUFileList& List) {
    return scannertest::Entries(List.FileNames());
}

QStringList Captions(QMenu* Menu) {
    QStringList Out;
    for (QAction* A : Menu->actions())
        Out << (A->isSeparator() ? QStringLiteral("-") : A->text());
    return Out;
}

// A File menu like the main window's, with the list anchored at it.
class MRUListTest : public ::testing::Test {
protected:
    MRUListTest() {
        File = Bar.addMenu(QStringLiteral("&File"));
        File->addAction(QStringLiteral("&New"));
        File->addSeparator();
        File->addAction(QStringLiteral("E&xit"));
        List.AutoSave = false;
        List.AutoSaveName = Key;
        List.SetFileMenu(File->menuAction());
    }
    QMenuBar Bar;
    QMenu* File;
    TMRUFileList List;
};

TEST_F(MRUListTest, KeepsTheMostRecentNamesAndMovesAKnownNameUp) {
    for (const char* N : {"/a.qxs", "/b.qxs", "/c.qxs", "/d.qxs", "/e.qxs", "/f.qxs"})
        List.AddItem(N);
    EXPECT_EQ(Names(List), (std::vector<std::string>{"/f.qxs", "/e.qxs", "/d.qxs", "/c.qxs", "/b.qxs"}));
    // The stored spelling stays; the list does not grow.
    List.AddItem("/C.QXS");
    EXPECT_EQ(Names(List), (std::vector<std::string>{"/c.qxs", "/f.qxs", "/e.qxs", "/d.qxs", "/b.qxs"}));
    // Letters beyond A-Z match in either case too; file names are the system's UTF-8 bytes.
    List.AddItem("/x/\xC3\xA9t\xC3\xA9.qxs"); // été
    List.AddItem("/b.qxs");
    List.AddItem("/x/\xC3\x89T\xC3\x89.QXS"); // ÉTÉ
    EXPECT_EQ(Names(List),
              (std::vector<std::string>{"/x/\xC3\xA9t\xC3\xA9.qxs", "/b.qxs", "/c.qxs", "/f.qxs", "/e.qxs"}));
    // Accents still count, and names that are not UTF-8 are told apart by their bytes.
    List.AddItem("/x/ete.qxs");
    List.AddItem("/x/\xE9.qxs");
    List.AddItem("/x/\xE8.qxs");
    EXPECT_EQ(Names(List), (std::vector<std::string>{"/x/\xE8.qxs", "/x/\xE9.qxs", "/x/ete.qxs",
                                                     "/x/\xC3\xA9t\xC3\xA9.qxs", "/b.qxs"}));
}

TEST_F(MRUListTest, EntriesFollowTheLastItemOfTheFileMenu) {
    EXPECT_EQ(Captions(File),
              QStringList({QStringLiteral("&New"), QStringLiteral("-"), QStringLiteral("E&xit")}));
    List.AddItem("/docs/old.qxs");
    List.AddItem("/docs/new & improved.qxs");
    EXPECT_EQ(Captions(File),
              QStringList({QStringLiteral("&New"), QStringLiteral("-"), QStringLiteral("E&xit"),
                           QStringLiteral("-"), QStringLiteral("&1 /docs/new && improved.qxs"),
                           QStringLiteral("&2 /docs/old.qxs")}));
    const auto* Second = qobject_cast<TMRUMenuItem*>(File->actions().last());
    ASSERT_NE(Second, nullptr);
    EXPECT_EQ(Second->EntryIndex, 2);

    List.SetUseSubmenu(true);
    const QList<QAction*> Items = File->actions();
    ASSERT_EQ(Items.size(), 5);
    EXPECT_TRUE(Items[3]->isSeparator());
    EXPECT_EQ(Items[4]->text(), QStringLiteral("Reopen"));
    ASSERT_NE(Items[4]->menu(), nullptr);
    EXPECT_EQ(Captions(Items[4]->menu()), QStringList({QStringLiteral("&1 /docs/new && improved.qxs"),
                                                       QStringLiteral("&2 /docs/old.qxs")}));
    List.SetSubmenuName("Recent");
    EXPECT_EQ(File->actions()[4]->text(), QStringLiteral("Recent"));

    // An emptied list leaves no separator behind.
    List.SetMaximum(0);
    EXPECT_EQ(Captions(File),
              QStringList({QStringLiteral("&New"), QStringLiteral("-"), QStringLiteral("E&xit")}));
}

TEST_F(MRUListTest, AnItemWithoutSubItemsTakesTheEntriesAboveItself) {
    QAction* Placeholder = File->actions()[1];
    List.SetFileMenu(Placeholder);
    List.AddItem("/x.qxs");
    EXPECT_EQ(Captions(File),
              QStringList({QStringLiteral("&New"), QStringLiteral("-"), QStringLiteral("&1 /x.qxs"),
                           QStringLiteral("-"), QStringLiteral("E&xit")}));
    // Moving the anchor takes the entries away from the old place.
    List.SetFileMenu(File->menuAction());
    EXPECT_EQ(Captions(File),
              QStringList({QStringLiteral("&New"), QStringLiteral("-"), QStringLiteral("E&xit"),
                           QStringLiteral("-"), QStringLiteral("&1 /x.qxs")}));
}

TEST_F(MRUListTest, AClickedEntryLeavesTheListBeforeItIsReported) {
    for (const char* N : {"/1.qxs", "/2.qxs", "/3.qxs", "/4.qxs"})
        List.AddItem(N);
    std::string Reported;
    std::vector<std::string> AtReport;
    QObject* Sender = nullptr;
    List.OnMRUItemClick = [&](QObject* S, const std::string& Name) {
        Sender = S;
        Reported = Name;
        AtReport = Names(List);
    };
    QAction* Third = File->actions()[6];
    ASSERT_EQ(Third->text(), QStringLiteral("&3 /2.qxs"));
    Third->trigger();
    EXPECT_EQ(Reported, "/2.qxs");
    EXPECT_EQ(Sender, Third);
    EXPECT_EQ(AtReport, (std::vector<std::string>{"/4.qxs", "/3.qxs", "/1.qxs"}));
    EXPECT_EQ(File->actions().last()->text(), QStringLiteral("&3 /1.qxs"));

    List.RemoveOnClick = false;
    File->actions()[4]->trigger();
    EXPECT_EQ(Reported, "/4.qxs");
    EXPECT_EQ(List.FileNames().Count(), 3);
}

TEST_F(MRUListTest, LoweringTheMaximumDropsTheOldestNames) {
    for (const char* N : {"/1", "/2", "/3", "/4", "/5"})
        List.AddItem(N);
    List.SetMaximum(5);
    EXPECT_EQ(List.FileNames().Count(), 5);
    List.SetMaximum(3);
    EXPECT_EQ(Names(List), (std::vector<std::string>{"/5", "/4", "/3"}));
    EXPECT_EQ(File->actions().size(), 3 + 1 + 3);
    List.SetMaximum(8);
    List.AddItem("/6");
    EXPECT_EQ(Names(List), (std::vector<std::string>{"/6", "/5", "/4", "/3"}));
}

TEST_F(MRUListTest, TheRegistryKeepsExactlyTheCurrentEntries) {
    TRegIniFile Reg(Key);
    Reg.EraseSection("MRU Items");
    for (const char* N : {"/1", "/2", "/3", "/4", "/5"})
        List.AddItem(N);
    ASSERT_TRUE(List.SaveToRegistry());
    List.SetMaximum(2);
    ASSERT_TRUE(List.SaveToRegistry());
    TStringList Values;
    Reg.ReadSectionValues("MRU Items", Values);
    ASSERT_EQ(Values.Count(), 2);
    EXPECT_EQ(Values[0], "F0=/5");
    EXPECT_EQ(Values[1], "F1=/4");

    // Values of any name are loaded, appended, by their data only; empty data is skipped.
    Reg.WriteString("MRU Items", "Extra", "/x=y.qxs");
    Reg.WriteString("MRU Items", "F2", "");
    TMRUFileList Loaded;
    Loaded.AutoSave = false;
    Loaded.AutoSaveName = Key;
    Loaded.FileNames().Add("/already.qxs");
    ASSERT_TRUE(Loaded.LoadFromRegistry());
    EXPECT_EQ(Names(Loaded), (std::vector<std::string>{"/already.qxs", "/x=y.qxs", "/5", "/4"}));

    Loaded.AutoSaveKey.clear();
    EXPECT_FALSE(Loaded.LoadFromRegistry());
    EXPECT_FALSE(Loaded.SaveToRegistry());
}

TEST_F(MRUListTest, AutoSaveLoadsAfterLoadingAndSavesOnDestruction) {
    TRegIniFile Reg(Key);
    Reg.EraseSection("MRU Items");
    {
        TMRUFileList First;
        First.AutoSaveName = Key;
        First.Loaded();
        First.AddItem("/kept.qxs");
    }
    TMRUFileList Second;
    Second.AutoSaveName = Key;
    Second.SetFileMenu(File->menuAction());
    Second.Loaded();
    EXPECT_EQ(Names(Second), std::vector<std::string>{"/kept.qxs"});
    EXPECT_EQ(File->actions().last()->text(), QStringLiteral("&1 /kept.qxs"));
    Second.AutoSave = false;
}

TEST_F(MRUListTest, AnOverfullSettingsFileLoadsTheMaximumAndIsWrittenBackWithOnlyThose) {
    const QString Settings = TRegIniFile::SettingsFileName();
    {
        // A damaged or hand-edited file, beside another key of the program.
        QSettings Raw(Settings, QSettings::IniFormat);
        Raw.remove(QStringLiteral("Software/Test/Recent"));
        for (int I = 0; I < 300; ++I)
            Raw.setValue(QStringLiteral("Software/Test/Recent/MRU Items/F%1").arg(I),
                         QStringLiteral("/f%1.qxs").arg(I));
        Raw.setValue(QStringLiteral("Software/Test/Other/Kept"), QStringLiteral("yes"));
    }
    {
        TMRUFileList Loaded;
        Loaded.AutoSaveName = Key;
        Loaded.SetFileMenu(File->menuAction());
        Loaded.Loaded();
        EXPECT_EQ(Names(Loaded),
                  (std::vector<std::string>{"/f0.qxs", "/f1.qxs", "/f2.qxs", "/f3.qxs", "/f4.qxs"}));
        EXPECT_EQ(Captions(File).size(), 3 + 1 + 5);
    }
    // On disk: the five entries, and the other key as it was.
    const std::string Saved = scannertest::ReadFile(Settings);
    std::size_t Entries = 0;
    for (std::size_t At = Saved.find("MRU%20Items\\F"); At != std::string::npos;
         At = Saved.find("MRU%20Items\\F", At + 1))
        ++Entries;
    EXPECT_EQ(Entries, 5u) << Saved;
    EXPECT_NE(Saved.find("Other\\Kept=yes"), std::string::npos) << Saved;
}

} // namespace
