// The Access service on a real export written by a version-control add-in (tests/data/vcs-testing,
// UTF-8 with a byte-order mark, LF line ends): the objects it lists, the exact controls of its
// forms and reports and their decoded values.

#include "platform/access/Access.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <tuple>

using namespace msaccess;

namespace {

const std::string kTesting = QUORVEX_TEST_DATA "/vcs-testing/Testing.accdb";

std::vector<std::string> Names(Application& App, const std::string& Container) {
    std::vector<std::string> Out;
    const auto& Docs = App.CurrentDB()->Containers(Container).Documents();
    for (int I = 0; I < Docs.Count(); ++I)
        Out.push_back(Docs.Item(I).Name());
    return Out;
}

std::vector<std::string> ControlNames(const AccessObject& O) {
    std::vector<std::string> Out;
    for (int I = 0; I < O.Controls().Count(); ++I)
        Out.push_back(O.Controls().Item(I).Name());
    return Out;
}

Variant Value(const AccessObject& O, const std::string& Control, const std::string& Property) {
    return O.Controls().Item(Control).Properties().Item(Property).Value();
}

class RealExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        App = Application::Create();
        App->OpenCurrentDatabase(kTesting, false);
    }
    void TearDown() override { App->Quit(); }
    std::shared_ptr<Application> App;
};

} // namespace

TEST_F(RealExportTest, ListsTheObjectsButNotThePrintSettingsBesideAReport) {
    EXPECT_EQ(Names(*App, "Forms"), (std::vector<std::string>{"frmMain"}));
    EXPECT_EQ(Names(*App, "Reports"),
              (std::vector<std::string>{"rptDefaultPrinter", "rptNavigationPaneGroups"}));
    EXPECT_EQ(Names(*App, "Modules"), (std::vector<std::string>{"basUtility", "clsPerson", "Module1"}));
}

TEST_F(RealExportTest, AFormHasExactlyItsNamedControlsWithDecodedValues) {
    App->DoCmd().OpenForm("frmMain", acDesign);
    const auto Form = App->Forms("frmMain");
    EXPECT_EQ(Form->Properties().Item("Caption").Value(), Variant("Main Form"));
    EXPECT_EQ(Form->Properties().Item("AlternateBackShade").Value(), Variant(95.0));
    EXPECT_EQ(ControlNames(*Form),
              (std::vector<std::string>{"cmdRunTests", "lstResults", "Col1_Label", "Label4", "cmdEditTests",
                                        "lblResults", "imgResult"}));
    EXPECT_EQ(Form->Controls().Item("Col1_Label").ControlType(), "Label");
    EXPECT_EQ(Value(*Form, "lblResults", "Caption"), Variant("17 tests passed\r\n0 tests failed"));
    EXPECT_EQ(
        Value(*Form, "Label4", "Caption"),
        Variant("Click the button below to verify the objects in the current database. This helps confirm "
                "that everything was correctly reconstructed from source."));
    // Five pieces joined; the check mark has no Windows-1252 character.
    const std::string Rows = Value(*Form, "lstResults", "RowSource").AsString();
    EXPECT_EQ(
        Rows.rfind("?;Access Table exists;?;tblInternal has data;?;Linked Table exists;?;tblLinkedCSV has "
                   "data;?;Saved Table Data (TDF)",
                   0),
        0u);
    const std::string Tail = "?;Custom Database (DAO) property;?;Custom Project Property";
    ASSERT_GT(Rows.size(), Tail.size());
    EXPECT_EQ(Rows.substr(Rows.size() - Tail.size()), Tail);
    // A binary value between properties, then the properties after it.
    EXPECT_EQ(Value(*Form, "cmdRunTests", "ImageData").AsBytes().size(), 1064u);
    EXPECT_EQ(Value(*Form, "cmdRunTests", "Overlaps"), Variant(std::int32_t(1)));
    // The defaults of the form's CommandButton and Label blocks.
    EXPECT_EQ(Value(*Form, "cmdEditTests", "HoverTint"), Variant(40.0));
    EXPECT_EQ(Value(*Form, "Label4", "FontName"), Variant("Calibri"));
    EXPECT_EQ(Value(*Form, "lstResults", "LabelX"), Variant(std::int32_t(-1800)));

    App->DoCmd().OpenModule("Form_frmMain");
    App->DoCmd().Close(acModule, "Form_frmMain");
}

TEST_F(RealExportTest, AReportHasTheControlsOfEverySectionButNoSectionOrGroupLevel) {
    App->DoCmd().OpenReport("rptNavigationPaneGroups", acDesign);
    const auto Report = App->Reports("rptNavigationPaneGroups");
    EXPECT_EQ(ControlNames(*Report),
              (std::vector<std::string>{"Label4", "ObjectName_Label", "GroupName_Label", "ObjectName",
                                        "GroupName", "Text5", "Text6"}));
    EXPECT_EQ(Value(*Report, "Text6", "ControlSource"), Variant("=\"Page \" & [Page] & \" of \" & [Pages]"));
    EXPECT_EQ(Value(*Report, "Text5", "Format"), Variant("Long Date"));
    EXPECT_EQ(Value(*Report, "Text5", "ShowDatePicker"), Variant(std::int32_t(0)));
    EXPECT_EQ(Value(*Report, "Label4", "FontSize"), Variant(std::int32_t(20))); // its own, not the default 11
    EXPECT_EQ(Value(*Report, "ObjectName_Label", "Tag"), Variant("DetachedLabel"));

    App->DoCmd().OpenReport("rptDefaultPrinter", acDesign);
    EXPECT_EQ(ControlNames(*App->Reports("rptDefaultPrinter")), (std::vector<std::string>{"Label0"}));
}

TEST_F(RealExportTest, CodeOfFormsReportsAndClassModules) {
    // Each: the module's first visible line and a line further on.
    for (const auto& [Module, First, Later] :
         {std::tuple<std::string, std::string, std::string>{"Form_frmMain", "Option Compare Database",
                                                            "Public Sub cmdRunTests_Click()"},
          {"Report_rptNavigationPaneGroups", "Option Compare Database", "Option Explicit"},
          {"clsPerson", "Option Compare Database", "Public Sub Greet()"},
          {"basUtility", "Option Compare Database",
           "Public Property Get FSO() As Scripting.FileSystemObject"}}) {
        const std::string File = ::testing::TempDir() + "qx-real-export.txt";
        App->DoCmd().OutputTo(acOutputModule, Module, acFormatTXT, File);
        std::ifstream In(File, std::ios::binary);
        const std::string Text((std::istreambuf_iterator<char>(In)), {});
        EXPECT_EQ(Text.rfind(First + "\r\n", 0), 0u) << Module;
        EXPECT_NE(Text.find("\r\n" + Later + "\r\n"), std::string::npos) << Module;
        std::remove(File.c_str());
    }
}
