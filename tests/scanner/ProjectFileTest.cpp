// The project-file reader of the scan wizard and the rule by which its entries become module
// files.
#include "components/CDKPathE.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "scanmodel/NodeImages.h"
#include "scanner/ScanWizard1.h"
#include "tests/scanner/ScannerTestSupport.h"
#include "tests/support/ExceptionMessage.h"
#include "tests/support/Named.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using testsupport::Named;

using namespace scannertest;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    ProjectFileTest() {
        Wizard.Mode = wmSelectFile;
        Wizard.FormShow();
    }
    ~ProjectFileTest() override {
        ScanProject.reset();
        ScanMDB.reset();
    }
    /// Writes a project file and reads it as the browse button's drop does.
    void Read(const QString& Name, const std::string& Bytes) {
        WriteFile(Dir.filePath(Name), Bytes);
        ReadExisting(Name);
    }
    void ReadExisting(const QString& Name) {
        Named<TCDKPathEditor>(Wizard, "sbSelect")->SetText(Dir.filePath(Name));
        Wizard.sbSelectDialogDrop();
    }
    std::vector<std::string> Files() const {
        return TfrmScanWizard::Entries(Named<QListWidget>(Wizard, "lstFiles"));
    }
    std::vector<std::string> VBXs() const {
        return TfrmScanWizard::Entries(Named<QListWidget>(Wizard, "lstVBXs"));
    }
    std::string Folder() const { return ToFileName(Dir.path()) + "/"; }
    bool NextEnabled() const { return Named<QPushButton>(Wizard, "btnNext")->isEnabled(); }

    QTemporaryDir Dir;
    TfrmScanWizard Wizard;
};

TEST_F(ProjectFileTest, ReadsBothKindsOfLinesIntoSortedUpperCaseEntries) {
    const std::string Long = "Module=Long; " + std::string(120, 'd') + "\\Last.bas";
    Read(QStringLiteral("Calendar.vbp"),
         "Type=Exe\r\n"
         "Form=frmMain.frm\r\n"
         "Module=modDates; modDates.bas\r\n"
         "Class=clsItem; Sub\\clsItem.cls\r\n"
         "UserControl=ctlDate.ctl\r\n"
         "frmold.frm\n"                      // list kind: a bare file name
         "c:\\windows\\system\\grid.vbx\r\n" // list kind: added whole
         "Object={86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0; mscomct2.ocx\r\n"
         "Reference=*\\G{8E27C92E-1264-101C-8A2F-040224009C02}#7.0#0#C:\\WINDOWS\\SYSTEM\\MSCAL.OCX#Cal\r"
         "Module=Geb\xfchr; geb\xfchr.bas\r\n" // Windows-1252: only ASCII letters change case
         "Module=Both; Helpers.bas ' wraps Tabs.ocx\r\n" +
             Long + "\r\nName=\"Calendar\"\r\n");

    EXPECT_EQ(Files(),
              (std::vector<std::string>{"CTLDATE.CTL", std::string(120, 'D') + "\\LAST.BAS", "FRMMAIN.FRM",
                                        "FRMOLD.FRM", "GEB\xfcHR.BAS", "HELPERS.BAS ' WRAPS TABS.OCX",
                                        "MODDATES.BAS", "SUB\\CLSITEM.CLS"}));
    EXPECT_EQ(Files()[1].size(), 129u) << "long values are kept whole";
    EXPECT_EQ(VBXs(),
              (std::vector<std::string>{
                  "*\\G{8E27C92E-1264-101C-8A2F-040224009C02}#7.0#0#C:\\WINDOWS\\SYSTEM\\MSCAL.OCX#CAL",
                  "C:\\WINDOWS\\SYSTEM\\GRID.VBX", "HELPERS.BAS ' WRAPS TABS.OCX", "MSCOMCT2.OCX"}));

    // The custom controls reach the project in file order, each split into folder and name.
    ASSERT_EQ(ScanProject->VBXCount(), 4);
    EXPECT_EQ(ScanProject->GetVBX(0)->Name, "GRID.VBX");
    EXPECT_EQ(ScanProject->GetVBX(0)->Path, "C:\\WINDOWS\\SYSTEM\\");
    EXPECT_EQ(ScanProject->GetVBX(1)->Name, "MSCOMCT2.OCX");
    EXPECT_EQ(ScanProject->GetVBX(1)->Path, "");
    EXPECT_EQ(ScanProject->GetVBX(2)->Name, "MSCAL.OCX#CAL");
    EXPECT_EQ(ScanProject->GetVBX(3)->Name, "HELPERS.BAS ' WRAPS TABS.OCX");
    for (Longint I = 0; I < 4; ++I)
        EXPECT_EQ(ScanProject->GetVBX(I)->Version, "") << "none of the controls exists here";

    EXPECT_EQ(ScanProject->Name, "Calendar.vbp");
    EXPECT_EQ(ScanProject->Path, Folder());
    EXPECT_EQ(ScanFolder, Folder());
    EXPECT_EQ(ScanProject->ModuleCount(), 0) << "modules are built when the scan starts";
    EXPECT_TRUE(NextEnabled());
    EXPECT_TRUE(Named<QListWidget>(Wizard, "lstVBXs")->isVisibleTo(&Wizard));
    EXPECT_FALSE(Wizard.IsMDB());
}

TEST_F(ProjectFileTest, FilesWithoutModulesAreRefusedByNameAndASecondOrMissingFileReplacesTheLists) {
    // Empty, text of something else, binary, or add-ons alone: nothing to scan, said by name.
    std::string Binary;
    for (int I = 0; I < 1024; ++I)
        Binary += static_cast<char>(I * 7 % 256);
    const std::pair<QString, std::string> NoModules[] = {
        {QStringLiteral("Empty.vbp"), ""},
        {QStringLiteral("Other.mak"), "ProjWinSize=152,402,248,215\r\nTitle=\"Other\"\r\n"},
        {QStringLiteral("Picture.vbp"), Binary},
        {QStringLiteral("AddOns.vbp"), "Object={0}#1.0#0; A.ocx\r\n"}};
    for (const auto& [Name, Bytes] : NoModules) {
        const std::string Message = testsupport::MessageOf<Exception>([&] { Read(Name, Bytes); });
        EXPECT_EQ(Message, "'" + Folder() + ToFileName(Name) +
                               "' lists no modules (no form, module, class or user control file): there is "
                               "nothing in it to scan.");
        EXPECT_TRUE(Files().empty());
        EXPECT_TRUE(VBXs().empty());
        EXPECT_FALSE(NextEnabled());
    }
    // UTF-16 without a byte-order mark is read as such.
    Read(QStringLiteral("Wide.vbp"), std::string("F\0o\0r\0m\0=\0A\0.\0f\0r\0m\0\r\0\n\0", 24));
    EXPECT_EQ(Files(), std::vector<std::string>{"A.FRM"});
    EXPECT_TRUE(NextEnabled());

    // A second file replaces the lists and the project of the first.
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("two")));
    Read(QStringLiteral("First.vbp"), "Form=A.frm\r\nObject={0}#1.0#0; A.ocx\r\n");
    Read(QStringLiteral("two/Second.vbp"), "Form=B.frm\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"B.FRM"});
    EXPECT_TRUE(VBXs().empty());
    EXPECT_EQ(ScanProject->VBXCount(), 0);
    EXPECT_EQ(ScanProject->Name, "Second.vbp");
    EXPECT_EQ(ScanFolder, Folder() + "two/");

    // A file that cannot be read: the lists are emptied, the project and its folder stay.
    ScanProject->AddVBX(new TVBXInfo("KEPT.OCX"));
    const std::string Message =
        testsupport::MessageOf<Exception>([&] { ReadExisting(QStringLiteral("missing.vbp")); });
    EXPECT_NE(Message.find("missing.vbp"), std::string::npos) << Message;
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(ScanProject->Name, "Second.vbp");
    EXPECT_EQ(ScanProject->VBXCount(), 1);
    EXPECT_EQ(ScanFolder, Folder() + "two/");
}

TEST_F(ProjectFileTest, CustomControlsBesideTheProjectGiveTheirVersionAndDamagedOnesStopNothing) {
    const QString Data = QStringLiteral(QUORVEX_TEST_DATA "/verinfo/");
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("Controls")));
    ASSERT_TRUE(QFile::copy(Data + QStringLiteral("pe32_full.dll"),
                            Dir.filePath(QStringLiteral("Controls/Cal.ocx"))));
    ASSERT_TRUE(
        QFile::copy(Data + QStringLiteral("pe32_truncated.dll"), Dir.filePath(QStringLiteral("Bad.ocx"))));
    ASSERT_TRUE(
        QFile::copy(Data + QStringLiteral("ne_control.vbx"), Dir.filePath(QStringLiteral("grid.vbx"))));
    // Read from another current folder: controls are looked up from the project's folder.
    const QString Previous = QDir::currentPath();
    QDir::setCurrent(QDir::rootPath());
    Read(QStringLiteral("P.vbp"), "Object={0}#1.0#0; controls\\cal.ocx\r\n"
                                  "Object={1}#1.0#0; BAD.OCX\r\n"
                                  "GRID.VBX\r\n"
                                  "Form=After.frm\r\n");
    QDir::setCurrent(Previous);

    ASSERT_EQ(ScanProject->VBXCount(), 3);
    const TVBXInfo& Cal = *ScanProject->GetVBX(0);
    EXPECT_EQ(Cal.Name, "CAL.OCX");
    EXPECT_EQ(Cal.Path, "CONTROLS\\");
    EXPECT_EQ(Cal.Version, "1.2.3.4");
    EXPECT_EQ(Cal.Company, "Brackle Controls");
    EXPECT_EQ(Cal.Product, "Brackle Calendar");
    // A damaged version resource leaves the fields empty and the reading goes on.
    EXPECT_EQ(ScanProject->GetVBX(1)->Version, "");
    EXPECT_EQ(ScanProject->GetVBX(2)->Version, "3.0.0.1");
    EXPECT_EQ(Files(), std::vector<std::string>{"AFTER.FRM"});
}

// A module listed twice (in any letter case) is listed, and so scanned, once; however many
// entries a file lists, they come sorted.
TEST_F(ProjectFileTest, EachModuleIsListedOnceInSortedOrderHoweverManyTheFileLists) {
    std::string Project = "Type=Exe\r\n";
    std::vector<std::string> Expected;
    for (int I = 0; I < 5000; ++I) {
        const std::string Name = "M" + std::to_string(I * 7919 % 5000) + ".bas";
        Project += "Module=A; " + Name + "\r\n";
        Expected.push_back(UpperCase(Name));
        if (I % 100 == 0)
            Project += "Module=B; " + UpperCase(Name) + "\r\n";
    }
    Read(QStringLiteral("Many.vbp"), Project);
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(Files(), Expected);
}

TEST(ProjectEntries, RelativeEntriesLieInTheProjectFolderAndOthersHaveTheirOwn) {
    QTemporaryDir Dir;
    ASSERT_TRUE(QDir(Dir.path()).mkpath(QStringLiteral("src/app")));
    ASSERT_TRUE(QDir(Dir.path()).mkpath(QStringLiteral("src/Shared")));
    const std::string Root = ToFileName(Dir.path()) + "/src/";
    const std::string App = Root + "app/";
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(ModuleFile("FRMMAIN.FRM", App), (Pair{App, "FRMMAIN.FRM"}));
    EXPECT_EQ(ModuleFile("SUB\\CLSITEM.CLS", App), (Pair{App, "SUB\\CLSITEM.CLS"}));
    // ".." entries are taken from the project's folder, the folder found in its own case.
    EXPECT_EQ(ModuleFile("..\\SHARED\\DATES.BAS", App), (Pair{Root + "Shared/", "DATES.BAS"}));
    EXPECT_EQ(ModuleFile("..\\..\\LIB\\X.BAS", App), (Pair{ToFileName(Dir.path()) + "/LIB/", "X.BAS"}));
    EXPECT_EQ(ModuleFile("C:\\VB\\COMMON\\X.BAS", App), (Pair{"C:\\VB\\COMMON\\", "X.BAS"}));
    EXPECT_EQ(ModuleFile("/opt/vb/X.BAS", App), (Pair{"/opt/vb/", "X.BAS"}));

    // The image goes by the last of .FRM, .BAS, .CLS, .CTL that the entry holds.
    EXPECT_EQ(ModuleImage("A.FRM"), imForm);
    EXPECT_EQ(ModuleImage("a.cls"), imClass);
    EXPECT_EQ(ModuleImage("A.CTL"), imUserControl);
    EXPECT_EQ(ModuleImage("FORMS.FRM\\X.BAS"), imCodeModule);
    EXPECT_EQ(ModuleImage("MODULES.BAS\\X.FRM"), imCodeModule) << ".BAS is tested after .FRM";
    EXPECT_EQ(ModuleImage("README"), imCodeModule);
}

} // namespace
