#include "platform/access/Access.h"
#include "platform/access/SaveAsText.h"
#include "tests/platform/access/AccessTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace fs = std::filesystem;
using namespace msaccess;
using namespace accesstest;

namespace {

const std::string kNwind = QUORVEX_TEST_DATA "/nwind.mdb";

std::string ReadAll(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

std::vector<std::string> ControlNames(const AccessObject& O) {
    std::vector<std::string> Names;
    for (int I = 0; I < O.Controls().Count(); ++I)
        Names.push_back(O.Controls().Item(I).Name());
    return Names;
}

class AccessAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        App = Application::Create();
        App->OpenCurrentDatabase(kNwind, false);
    }
    void TearDown() override {
        if (App->Running())
            App->Quit();
    }
    std::shared_ptr<Application> App;
};

} // namespace

TEST_F(AccessAppTest, APartialExportGivesWhatItHoldsAndTheFileTheRest) {
    // The export beside nwind.mdb holds 3 of its 21 forms, 2 of its 13 reports, 2 of its 3 modules.
    const std::vector<std::string> Forms = Documents(*App, "Forms");
    EXPECT_EQ(Forms.size(), 21u);
    EXPECT_TRUE(std::is_sorted(Forms.begin(), Forms.end(), [](const std::string& A, const std::string& B) {
        return CompareText(A, B) < 0;
    }));
    EXPECT_EQ(Documents(*App, "Reports").size(), 13u);
    EXPECT_EQ(Documents(*App, "modules"),
              (std::vector<std::string>{"Northwind Help Function", "Startup", "Utility Functions"}));
    EXPECT_THROW(App->CurrentDB()->Containers("Scripts"), EOleException);
    EXPECT_EQ(App->ExportFolder(), kNwind + ".src/");

    // An exported form has its property values; one that only the file holds has its controls'
    // names and types, and the user is to be told.
    App->DoCmd().OpenForm("Customers", acDesign);
    EXPECT_NO_THROW(App->Forms("Customers")->Properties().Item("RecordSource"));
    App->DoCmd().OpenForm("Categories", acDesign);
    const auto Categories = App->Forms("Categories");
    EXPECT_EQ(Categories->Properties().Count(), 1);
    EXPECT_EQ(Categories->Controls().Item("CategoryName").ControlType(), "TextBox");
    EXPECT_TRUE(App->PropertiesUnread());
    // Code likewise: the export's where it holds the object, else the file's.
    App->DoCmd().OpenModule("Northwind Help Function");
    App->DoCmd().OpenModule("Form_Products");
    EXPECT_NE(OleMessage([&] { App->DoCmd().OpenModule("Form_Customers"); }).find("has no module"),
              std::string::npos);
}

TEST_F(AccessAppTest, AFormInDesignViewHasTypedPropertiesAndItsControlsAtAnyDepth) {
    EXPECT_NE(OleMessage([&] { App->Forms("Orders"); }).find("not open"), std::string::npos);
    App->DoCmd().OpenForm("Orders", acDesign, Variant(), Variant(), Variant(), 0);
    const auto Form = App->Forms("orders");
    const auto& P = Form->Properties();
    EXPECT_EQ(P.Item(0).Name(), "Name");
    EXPECT_EQ(P.Item(0).Value(), Variant("Orders"));
    EXPECT_EQ(P.Item(1).Name(), "RecordSelectors");
    EXPECT_EQ(P.Item("RecordSelectors").Value().VarType(), varBoolean);
    EXPECT_EQ(P.Item("Width").Value(), Variant(std::int32_t(9360)));
    EXPECT_EQ(P.Item("BeforeUpdate").Value(), Variant("=CheckShipDate()"));
    EXPECT_EQ(P.Item("PrtMip").Value().VarType(), varArray | varByte);
    EXPECT_EQ(P.Item("PrtMip").Value().AsBytes().size(), 56u);
    // Sections and the default blocks are no controls; attached labels, the buttons of an option
    // group and the controls of every section are.
    EXPECT_EQ(ControlNames(*Form), (std::vector<std::string>{"Orders Label",
                                                             "OrderID",
                                                             "OrderID_Label",
                                                             "CustomerID",
                                                             "CustomerID_Label",
                                                             "ShipName",
                                                             "ShipName_Label",
                                                             "OrderDate",
                                                             "OrderDate_Label",
                                                             "RequiredDate",
                                                             "RequiredDate_Label",
                                                             "ShippedDate",
                                                             "ShippedDate_Label",
                                                             "ShipVia",
                                                             "ShipVia_Label",
                                                             "Speedy",
                                                             "United",
                                                             "Federal",
                                                             "Freight",
                                                             "Freight_Label",
                                                             "Orders Subform",
                                                             "PrintInvoice",
                                                             "cmdClose"}));
    const auto& OrderDate = Form->Controls().Item("OrderDate");
    EXPECT_EQ(OrderDate.ControlType(), "TextBox");
    EXPECT_EQ(OrderDate.Properties().Item(0).Name(), "OverlapFlags");
    EXPECT_EQ(OrderDate.Properties().Item("Format").Value(), Variant("Short Date"));
    EXPECT_EQ(OrderDate.Properties().Item("DefaultValue").Value(), Variant("=Date()"));
    EXPECT_EQ(OrderDate.Properties().Item("Top").Value(), Variant(std::int32_t(1200)));
    EXPECT_EQ(Form->Controls().Item("OrderDate_Label").Properties().Item("Caption").Value(),
              Variant("Order Date:"));
    // The TextBox defaults follow a text box's own properties; its own Format wins.
    const auto& Required = Form->Controls().Item("RequiredDate").Properties();
    EXPECT_EQ(Required.Item("DefaultValue").Value(), Variant("=DateAdd(\"d\",14,Date())"));
    EXPECT_EQ(Required.Item("Format").Value(), Variant("Medium Date"));
    EXPECT_EQ(Required.Item(Required.Count() - 1).Name(), "AsianLineBreak");
    EXPECT_EQ(Form->Controls().Item("Freight").Properties().Item("Format").Value(), Variant("Currency"));
    EXPECT_EQ(Form->Controls().Item("ShipVia_Label").Properties().Item("FontName").Value(),
              Variant("Tahoma"));
    EXPECT_EQ(
        Form->Controls().Item("CustomerID").Properties().Item("RowSource").Value(),
        Variant("SELECT DISTINCTROW Customers.CustomerID, Customers.CompanyName FROM Customers ORDER BY "
                "Customers.CompanyName;"));
    // An embedded macro is the value of its property, its blocks no controls.
    const std::string Macro =
        Form->Controls().Item("PrintInvoice").Properties().Item("OnClickEmMacro").Value().AsString();
    EXPECT_EQ(Macro.rfind("Version =196611\r\nColumnsShown =8\r\nBegin\r\nAction =\"OpenReport\"\r\n"
                          "Argument =\"Invoice\"\r\n",
                          0),
              0u);
    EXPECT_NE(Macro.find("Comment =\"_AXL:<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\r\n"
                         "<UserInterfaceMacro For=\"PrintInvoice\" xmlns="),
              std::string::npos);
    EXPECT_EQ(Macro.substr(Macro.size() - 5), "\r\nEnd");
    App->DoCmd().Close(acForm, "Orders", acSavePrompt);
    EXPECT_THROW(App->Forms("Orders"), EOleException);
    EXPECT_NE(
        OleMessage([&] { App->DoCmd().OpenForm("Nowhere", acDesign); }).find("form 'Nowhere' was not found"),
        std::string::npos);
}

TEST_F(AccessAppTest, ReportsAndFilesInEveryEncoding) {
    App->DoCmd().OpenReport("Sales by Year", acDesign, Variant(std::int32_t(1)), Variant(std::int32_t(1)));
    const auto Report = App->Reports("Sales by Year");
    // Group levels and sections are no controls.
    EXPECT_EQ(ControlNames(*Report), (std::vector<std::string>{"Title", "PrintedOn", "Year", "ShippedDate"}));
    EXPECT_EQ(Report->Controls().Item("PrintedOn").Properties().Item("ControlSource").Value(),
              Variant("=Format(Date(),\"dd-mmm-yy\")"));

    App->DoCmd().OpenReport("Invoice", acDesign); // UTF-8 with a byte-order mark
    const auto& Invoice = App->Reports("Invoice")->Controls();
    EXPECT_EQ(Invoice.Item("Stamp").Properties().Item("Caption").Value(), Variant("F\xE4llig"));
    EXPECT_EQ(Invoice.Count(), 14);
    EXPECT_EQ(Invoice.Item("PageNumber").Properties().Item("ControlSource").Value(),
              Variant("=\"Page \" & [Page] & \" of \" & [Pages]"));
    App->DoCmd().OpenForm("Customers", acDesign); // Windows-1252
    const auto Customers = App->Forms("Customers");
    EXPECT_EQ(Customers->Properties().Item("Caption").Value(), Variant("Kunden \x96 \xDC"
                                                                       "bersicht"));
    EXPECT_EQ(Customers->Properties().Item("Picture").Value(),
              Variant("C:\\Programme\\Microsoft Office\\Office\\Beispiel\\Nwlogo.bmp"));
    const auto& LastOrder = Customers->Controls().Item("LastOrder").Properties();
    EXPECT_EQ(LastOrder.Item("ControlSource").Value(),
              Variant("=DMax(\"OrderDate\",\"Orders\",\"CustomerID='\" & [CustomerID] & \"'\")"));
    EXPECT_EQ(LastOrder.Item("Format").Value(), Variant("dd\\.mm\\.yyyy"));
    EXPECT_EQ(LastOrder.Item("ControlTipText").Value(),
              Variant("Letzte Bestellung\r\n(leer: keine Bestellung)"));
    EXPECT_EQ(Customers->Controls().Item("CompanyName").Properties().Item("StatusBarText").Value(),
              Variant("Stra\xDF"
                      "e und Firma"));
    App->DoCmd().OpenForm("Employees", acDesign); // UTF-16 with a byte-order mark, sections not in a block
    EXPECT_EQ(ControlNames(*App->Forms("Employees")), (std::vector<std::string>{"BirthDate", "HireDate"}));
    EXPECT_EQ(
        App->Forms("Employees")->Controls().Item("BirthDate").Properties().Item("ValidationRule").Value(),
        Variant("<Date()"));
}

TEST_F(AccessAppTest, OutputToWritesTheCodeOfModulesFormsAndReports) {
    TempDir Dir;
    const std::string Form = (Dir.Path / "Form_Orders.cbf").string();
    App->DoCmd().OpenModule("Form_Orders");
    App->DoCmd().OutputTo(acOutputModule, "Form_Orders", acFormatTXT, Form, false, "");
    App->DoCmd().Close(acModule, "Form_Orders", 0);
    const std::string Code = ReadAll(Form);
    EXPECT_EQ(
        Code.rfind("Option Compare Database\r\nOption Explicit\r\n\r\nPrivate Sub Form_Current()\r\n", 0),
        0u);
    EXPECT_EQ(Code.substr(Code.size() - 14), "End Function\r\n");

    const std::string Module = (Dir.Path / "Utility Functions.Bas").string();
    App->DoCmd().OutputTo(acOutputModule, "Utility Functions", acFormatTXT, Module);
    EXPECT_EQ(ReadAll(Module).rfind("Option Compare Database\r\n", 0), 0u);
    const std::string Report = (Dir.Path / "Report_Sales by Year.cbf").string();
    App->DoCmd().OutputTo(acOutputModule, "Report_Sales by Year", acFormatTXT, Report);
    EXPECT_NE(ReadAll(Report).find("Private Sub Report_Open(Cancel As Integer)\r\n"), std::string::npos);
    // The code an exporter wrote apart, in a class file beside the layout.
    const std::string Invoice = (Dir.Path / "Report_Invoice.cbf").string();
    App->DoCmd().OutputTo(acOutputModule, "Report_Invoice", acFormatTXT, Invoice);
    EXPECT_EQ(ReadAll(Invoice).rfind(
                  "Option Compare Database\r\nOption Explicit\r\n\r\nPrivate Sub Report_NoData(", 0),
              0u);

    // A form without code has no module; neither has a name that is nothing.
    EXPECT_NE(OleMessage([&] { App->DoCmd().OpenModule("Form_Customers"); }).find("has no module"),
              std::string::npos);
    EXPECT_THROW(App->DoCmd().OpenModule("Form_Nowhere"), EOleException);
    EXPECT_THROW(App->DoCmd().OutputTo(acOutputModule, "Startup", "HTML (*.html)", Module), EOleException);
    const std::string Unwritable = (Dir.Path / "no-such-folder" / "x.Bas").string();
    EXPECT_NE(OleMessage([&] {
                  App->DoCmd().OutputTo(acOutputModule, "Startup", acFormatTXT, Unwritable);
              }).find(Unwritable),
              std::string::npos);
}

TEST(AccessApplicationTest, OpeningAndEndingTheApplication) {
    TempDir Dir;
    // A database without its export folder is served from the file itself.
    const std::string Copy = (Dir.Path / "copy.mdb").string();
    fs::copy_file(kNwind, Copy);
    auto App = Application::Create();
    App->OpenCurrentDatabase(Copy);
    EXPECT_EQ(Documents(*App, "Forms").size(), 21u);
    EXPECT_TRUE(App->PropertiesUnread());
    EXPECT_EQ(Documents(*App, "Modules"),
              (std::vector<std::string>{"Northwind Help Function", "Startup", "Utility Functions"}));
    EXPECT_NE(OleMessage([&] { App->OpenCurrentDatabase(kNwind); }).find("already has the database"),
              std::string::npos);
    App->CloseCurrentDatabase();
    EXPECT_THROW(App->CurrentDB(), EOleException);

    const std::string Text = (Dir.Path / "text.mdb").string();
    std::ofstream(Text) << "not a database at all";
    EXPECT_EQ(OleMessage([&] { App->OpenCurrentDatabase(Text); }),
              "'" + Text + "' is not an Access database (it is a text file).");
    EXPECT_NE(OleMessage([&] { App->OpenCurrentDatabase(Text + ".gone"); }).find("cannot find"),
              std::string::npos);

    App->Quit();
    EXPECT_FALSE(App->Running());
    try {
        App->OpenCurrentDatabase(kNwind);
        FAIL() << "a call after Quit must fail";
    } catch (const EOleException&) {
        FAIL() << "a call after Quit fails as a system error, not an application one";
    } catch (const EOleSysError&) {
    }
}

TEST(AccessApplicationTest, AFileThatCannotBeParsedFailsOnlyItsObject) {
    TempDir Dir;
    const std::string Copy = (Dir.Path / "nwind.mdb").string();
    fs::copy_file(kNwind, Copy);
    fs::copy(kNwind + ".src", Copy + ".src", fs::copy_options::recursive);
    // The End of the form header's controls of Orders becomes a line that is no property.
    const std::string Orders = Copy + ".src/forms/Orders.bas";
    std::string Text = ReadAll(Orders);
    const std::size_t Cut = Text.find("        End\n        Begin Section\n");
    ASSERT_NE(Cut, std::string::npos);
    Text.replace(Cut, 12, "        EndOfHeader\n");
    std::ofstream(Orders, std::ios::binary | std::ios::trunc) << Text;
    const int Line =
        static_cast<int>(std::count(Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(Cut), '\n')) + 1;

    auto App = Application::Create();
    App->OpenCurrentDatabase(Copy);
    const std::string Message = OleMessage([&] { App->DoCmd().OpenForm("Orders", acDesign); });
    EXPECT_NE(Message.find("'" + Orders + "'"), std::string::npos) << Message;
    EXPECT_NE(Message.find("a line that is no property at line " + std::to_string(Line) + "."),
              std::string::npos)
        << Message;
    EXPECT_THROW(App->DoCmd().OpenModule("Form_Orders"), EOleException);
    // The other objects do not notice.
    App->DoCmd().OpenForm("Customers", acDesign);
    EXPECT_EQ(App->Forms("Customers")->Controls().Count(), 6);
    App->DoCmd().OpenModule("Report_Sales by Year");
    App->DoCmd().OpenModule("Startup");
    App->Quit();
}

TEST(SaveAsTextTest, ParsesValuesOfEveryKind) {
    const TextObject O = ParseSaveAsText("Version =20\r\n"
                                         "Begin Form\r\n"
                                         "    Caption =\"Say \"\"hi\"\"\"\r\n"
                                         "    Tag =\"first \"\r\n"
                                         "        \"second\"\r\n"
                                         "    Left =-15\r\n"
                                         "    Ratio =1.5\r\n"
                                         "    Visible = NotDefault\r\n"
                                         "    Open =\"unterminated\r\n"
                                         "    Begin\r\n"
                                         "    End\r\n"
                                         "End\r\n",
                                         "test.bas");
    EXPECT_EQ(O.Header.at(0).Value, Variant(std::int32_t(20)));
    EXPECT_EQ(O.Root.Type, "Form");
    const auto& P = O.Root.Properties;
    ASSERT_EQ(P.size(), 6u);
    EXPECT_EQ(P[0].Value, Variant("Say \"hi\""));
    EXPECT_EQ(P[1].Value, Variant("first second"));
    EXPECT_EQ(P[2].Value, Variant(std::int32_t(-15)));
    EXPECT_EQ(P[3].Value, Variant(1.5));
    EXPECT_EQ(P[4].Value, Variant(true));
    EXPECT_EQ(P[5].Value, Variant("unterminated"));
    EXPECT_FALSE(O.HasCode);
}

TEST(SaveAsTextTest, DecodesEscapesAndJoinsContinuedPieces) {
    const TextObject O = ParseSaveAsText("Begin Form\n"
                                         "    A =\"say \\\"hi\\\" to C:\\\\Data\\\\\"\n"
                                         "    B =\"one\\015\\012two\\011\"\n"
                                         "    C =\"=DMax(\\\"Order\"\n"
                                         "        \"Date\\\",\\\"Orders\\\")\"\n"
                                         "        \"\"\n"
                                         "    D =\"\"\n"
                                         "    E =\"old \"\"quoted\"\" text\"\n"
                                         "    F =\"kept: \\q \\01 \\8\"\n"
                                         "    G =\"\\\\\"\n"
                                         "End\n",
                                         "escapes.bas");
    const auto& P = O.Root.Properties;
    ASSERT_EQ(P.size(), 7u);
    EXPECT_EQ(P[0].Value, Variant("say \"hi\" to C:\\Data\\"));
    EXPECT_EQ(P[1].Value, Variant("one\r\ntwo\t"));
    EXPECT_EQ(P[2].Value, Variant("=DMax(\"OrderDate\",\"Orders\")"));
    EXPECT_EQ(P[3].Value, Variant(""));
    EXPECT_EQ(P[4].Value, Variant("old \"quoted\" text"));
    EXPECT_EQ(P[5].Value, Variant("kept: \\q \\01 \\8"));
    EXPECT_EQ(P[6].Value, Variant("\\"));
}

TEST(SaveAsTextTest, ControlsAreNamedBlocksWithTheirTypesDefaultsAndMacrosAreValues) {
    const TextObject O = ParseSaveAsText("Begin Report\n"
                                         "    Begin\n"
                                         "        Begin TextBox\n"
                                         "            Format =\"Short Date\"\n"
                                         "            FontName =\"Arial\"\n"
                                         "        End\n"
                                         "        Begin BreakLevel\n"
                                         "            ControlSource =\"OrderDate\"\n"
                                         "        End\n"
                                         "        Begin Section\n"
                                         "            Name =\"Detail\"\n"
                                         "            Begin\n"
                                         "                Begin TextBox\n"
                                         "                    Name =\"Due\"\n"
                                         "                    Begin\n"
                                         "                        Begin Label\n"
                                         "                            Name =\"Due_Label\"\n"
                                         "                        End\n"
                                         "                    End\n"
                                         "                End\n"
                                         "                Begin TextBox\n"
                                         "                    Format =\"Currency\"\n"
                                         "                    Name =\"Price\"\n"
                                         "                    GroupTable =1\n"
                                         "                    GroupTable =2\n"
                                         "                End\n"
                                         "                Begin CommandButton\n"
                                         "                    Name =\"Go\"\n"
                                         "                    Picture = Begin\n"
                                         "                    End\n"
                                         "                    OnClickEmMacro = Begin\n"
                                         "                        Version =196611\n"
                                         "                        Data = Begin\n"
                                         "                            0x0102 ,\n"
                                         "                        End\n"
                                         "                        Begin\n"
                                         "                            Action =\"Close\"\n"
                                         "                            Comment =\"a \\\"long\\\" com\"\n"
                                         "                                \"ment\"\n"
                                         "                            what Access may add\n"
                                         "                        End\n"
                                         "                        Begin Label\n"
                                         "                            Name =\"NoControl\"\n"
                                         "                        End\n"
                                         "                    End\n"
                                         "                    Caption =\"Go\"\n"
                                         "                End\n"
                                         "            End\n"
                                         "        End\n"
                                         "    End\n"
                                         "End\n",
                                         "controls.bas");
    const std::vector<TextBlock> C = NamedControls(O);
    ASSERT_EQ(C.size(), 4u);
    EXPECT_EQ(C[0].Name(), "Due");
    ASSERT_EQ(C[0].Properties.size(), 3u); // its Name, then both defaults
    EXPECT_EQ(C[0].Properties[1].Name, "Format");
    EXPECT_EQ(C[0].Properties[1].Value, Variant("Short Date"));
    EXPECT_EQ(C[1].Name(), "Due_Label");
    EXPECT_EQ(C[1].Type, "Label");
    EXPECT_EQ(C[1].Properties.size(), 1u);
    ASSERT_EQ(C[2].Properties.size(), 5u); // its own four lines as written, then FontName
    EXPECT_EQ(C[2].Properties[0].Value, Variant("Currency"));
    EXPECT_EQ(C[2].Properties[4].Name, "FontName");
    EXPECT_EQ(C[3].Name(), "Go");
    ASSERT_EQ(C[3].Properties.size(), 4u);
    EXPECT_EQ(C[3].Properties[1].Value.AsBytes().size(), 0u);
    EXPECT_EQ(C[3].Properties[2].Value,
              Variant("Version =196611\r\nData = Begin\r\n0x0102 ,\r\nEnd\r\nBegin\r\nAction =\"Close\"\r\n"
                      "Comment =\"a \"long\" comment\"\r\nwhat Access may add\r\nEnd\r\nBegin Label\r\n"
                      "Name =\"NoControl\"\r\nEnd"));
    EXPECT_EQ(C[3].Properties[3].Value, Variant("Go"));
}

TEST(SaveAsTextTest, RefusesMalformedBlocksNamingTheFile) {
    auto Message = [](const std::string& Text) {
        return OleMessage([&] { ParseSaveAsText(Text, "bad.bas"); });
    };
    EXPECT_NE(Message("Begin Form\nEnd\nEnd\n").find("End without Begin"), std::string::npos);
    EXPECT_NE(Message("Begin Form\n  Caption =\"x\"\n").find("ends inside a block"), std::string::npos);
    EXPECT_NE(Message("Begin Form\n  PrtMip = Begin\n 0x0102\n").find("binary value without End"),
              std::string::npos);
    EXPECT_NE(Message("Option Explicit\nSub X()\n").find("no Begin Form"), std::string::npos);
    EXPECT_NE(Message("Begin Form\n  what is this\nEnd\n").find("'bad.bas'"), std::string::npos);
    // The line named is the one at fault, or where the unfinished block or value began.
    EXPECT_NE(Message("Version =20\nBegin Form\n  Caption =\"x\"\n    \"y\"\n  what\nEnd\n")
                  .find("no property at line 5"),
              std::string::npos);
    EXPECT_NE(Message("Begin Form\n Begin\n  Begin Section\n   Name =\"Detail\"\n  End\n")
                  .find("inside a block at line 2"),
              std::string::npos);
    EXPECT_NE(Message("Begin Form\n  X =1\n  OnClickEmMacro = Begin\n    Version =1\n    Begin\n    End\n")
                  .find("embedded macro without End at line 3"),
              std::string::npos);
    std::string Deep = "Begin Form\n";
    for (int I = 0; I < 5000; ++I)
        Deep += "Begin Box\n";
    EXPECT_NE(Message(Deep).find("nested too deeply"), std::string::npos);
}

TEST(SaveAsTextTest, RandomTextNeverCrashesTheParser) {
    const std::string Pieces[] = {"Begin Form\n", "Begin\n",     "End\n",    "Name =\"x\"\n",
                                  "\"more\"\n",   "X = Begin\n", "0x0aFF\n", "CodeBehindForm\n",
                                  "Left =12\n",   "=\n",         "\"\n",     "Begin Label\n"};
    std::srand(11);
    int Parsed = 0;
    for (int I = 0; I < 2000; ++I) {
        std::string Text;
        for (int K = std::rand() % 30; K > 0; --K)
            Text += Pieces[std::rand() % 12];
        try {
            const TextObject O = ParseSaveAsText(Text, "random.bas");
            EXPECT_TRUE(O.Root.Type == "Form" || O.Root.Type == "Report");
            ++Parsed;
        } catch (const EOleException&) {
        }
    }
    EXPECT_GT(Parsed, 0);
}

// A real export written by a version-control add-in (tests/data/vcs-testing, UTF-8 with a
// byte-order mark, LF line ends): the objects listed, the exact controls of its forms and reports
// and their decoded values.

namespace {

const std::string kTesting = QUORVEX_TEST_DATA "/vcs-testing/Testing.accdb";

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
    EXPECT_EQ(Documents(*App, "Forms"), (std::vector<std::string>{"frmMain"}));
    EXPECT_FALSE(App->PropertiesUnread()); // the export holds every form and report of the file
    EXPECT_EQ(Documents(*App, "Reports"),
              (std::vector<std::string>{"rptDefaultPrinter", "rptNavigationPaneGroups"}));
    EXPECT_EQ(Documents(*App, "Modules"), (std::vector<std::string>{"basUtility", "clsPerson", "Module1"}));
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
