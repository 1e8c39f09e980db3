#include "platform/access/Access.h"
#include "platform/access/SaveAsText.h"
#include "tests/platform/access/AccessTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

TEST_F(AccessAppTest, ContainersListTheExportedObjectsByName) {
    EXPECT_EQ(Documents(*App, "Forms"), (std::vector<std::string>{"Customers", "Employees", "Orders"}));
    EXPECT_EQ(Documents(*App, "Reports"), (std::vector<std::string>{"Invoice", "Sales by Year"}));
    EXPECT_EQ(Documents(*App, "modules"), (std::vector<std::string>{"Startup", "Utility Functions"}));
    EXPECT_THROW(App->CurrentDB()->Containers("Scripts"), EOleException);
    EXPECT_EQ(App->ExportFolder(), kNwind + ".src/");
}

TEST_F(AccessAppTest, AFormInDesignViewHasTypedPropertiesAndTheNamedControlsOfItsSections) {
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
    EXPECT_EQ(ControlNames(*Form),
              (std::vector<std::string>{"Orders Label", "OrderDate", "RequiredDate", "ShipVia", "ShipPeriod",
                                        "ShipThisYear", "Orders Subform"}));
    const auto& OrderDate = Form->Controls().Item("OrderDate");
    EXPECT_EQ(OrderDate.ControlType(), "TextBox");
    EXPECT_EQ(OrderDate.Properties().Item("Format").Value(), Variant("dd/mm/yy"));
    EXPECT_EQ(OrderDate.Properties().Item("DefaultValue").Value(), Variant("=Date()"));
    EXPECT_EQ(OrderDate.Properties().Item("Top").Value(), Variant(std::int32_t(120)));
    EXPECT_EQ(Form->Controls().Item("RequiredDate").Properties().Item("DefaultValue").Value(),
              Variant("=DateAdd(\"d\",14,Date())"));
    EXPECT_EQ(Form->Controls().Item("ShipVia").Properties().Item("RowSource").Value(),
              Variant("SELECT DISTINCTROW Shippers.ShipperID, Shippers.CompanyName FROM Shippers ORDER BY "
                      "Shippers.CompanyName;"));
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
    EXPECT_EQ(App->Reports("Invoice")->Controls().Item("Stamp").Properties().Item("Caption").Value(),
              Variant("F\xE4llig"));
    App->DoCmd().OpenForm("Customers", acDesign); // Windows-1252
    EXPECT_EQ(App->Forms("Customers")->Properties().Item("Caption").Value(), Variant("Kunden \x96 \xDC"
                                                                                     "bersicht"));
    App->DoCmd().OpenForm("Employees", acDesign); // UTF-16 with a byte-order mark
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
    EXPECT_EQ(Documents(*App, "Modules"),
              (std::vector<std::string>{"Northwind Help Function", "Startup", "Utility Functions"}));
    EXPECT_NE(OleMessage([&] { App->OpenCurrentDatabase(kNwind); }).find("already has the database"),
              std::string::npos);
    App->CloseCurrentDatabase();
    EXPECT_THROW(App->CurrentDB(), EOleException);

    const std::string Text = (Dir.Path / "text.mdb").string();
    std::ofstream(Text) << "not a database at all";
    EXPECT_NE(OleMessage([&] { App->OpenCurrentDatabase(Text); }).find("is not an Access database"),
              std::string::npos);
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
