// The Access service on databases without a text export: what it reads from the file must be what
// the export that an add-in wrote from the same file holds.

#include "platform/access/FileSource.h"
#include "platform/access/Access.h"
#include "platform/access/SaveAsText.h"
#include "platform/dao/Snapshot.h"
#include "platform/rtl/TextCodec.h"
#include "tests/platform/access/AccessTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace msaccess;
using namespace accesstest;

namespace {

const std::string kData = QUORVEX_TEST_DATA "/";

/// A copy of a database in a folder of its own, without its export.
std::string CopyAlone(const TempDir& Dir, const std::string& Database) {
    const fs::path Copy = Dir.Path / fs::path(Database).filename();
    fs::copy_file(kData + Database, Copy);
    return Copy.string();
}

std::string Key(const std::string& S) {
    return S;
}
std::string Key(const std::pair<std::string, std::string>& P) {
    return P.first;
}

template <class T>
std::vector<T> Sorted(std::vector<T> V) {
    std::sort(V.begin(), V.end(), [](const T& A, const T& B) { return CompareText(Key(A), Key(B)) < 0; });
    return V;
}

/// The named controls of an exported form or report, read from the file itself: named blocks at
/// any depth that are neither the object, nor a section, nor a group level.
void ExportedControls(const TextBlock& Block, std::vector<std::pair<std::string, std::string>>& Out) {
    static const std::vector<std::string> kNotControls = {"Section",     "FormHeader", "FormFooter",
                                                          "PageHeader",  "PageFooter", "BreakHeader",
                                                          "BreakFooter", "BreakLevel"};
    for (const TextBlock& Child : Block.Children) {
        if (!Child.Name().empty() && !Child.Type.empty() &&
            std::find(kNotControls.begin(), kNotControls.end(), Child.Type) == kNotControls.end())
            Out.emplace_back(Child.Name(), Child.Type);
        ExportedControls(Child, Out);
    }
}

std::vector<std::pair<std::string, std::string>> ExportedControls(const std::string& File) {
    std::ifstream In(File, std::ios::binary);
    const TextObject O =
        ParseSaveAsText(DecodeTextFile(std::string(std::istreambuf_iterator<char>(In), {})), File);
    std::vector<std::pair<std::string, std::string>> Out;
    ExportedControls(O.Root, Out);
    return Out;
}

/// The module's code as OutputTo writes it, as lines.
std::vector<std::string> Output(Application& App, const std::string& Module, const TempDir& Dir) {
    const std::string File = (Dir.Path / "out.txt").string();
    App.DoCmd().OpenModule(Module);
    App.DoCmd().OutputTo(acOutputModule, Module, acFormatTXT, File);
    App.DoCmd().Close(acModule, Module);
    std::ifstream In(File, std::ios::binary);
    std::vector<std::string> Lines = SplitLines(std::string(std::istreambuf_iterator<char>(In), {}));
    // The add-in's export drops the blank lines at the end of a form's or report's code.
    while (!Lines.empty() && Lines.back().empty())
        Lines.pop_back();
    return Lines;
}

} // namespace

TEST(FileSourceTest, TheFileGivesWhatTheExportHolds) {
    // Access 2007+ (MSysAccessStorage): one form, two reports, two standard modules and a class
    // module whose streams are named apart from the modules.
    TempDir Dir;
    auto Exported = Application::Create();
    Exported->OpenCurrentDatabase(kData + "vcs-testing/Testing.accdb");
    auto FromFile = Application::Create();
    FromFile->OpenCurrentDatabase(CopyAlone(Dir, "vcs-testing/Testing.accdb"));

    EXPECT_EQ(Documents(*FromFile, "Forms"), std::vector<std::string>{"frmMain"});
    for (const char* Container : {"Forms", "Reports", "Modules"})
        EXPECT_EQ(Sorted(Documents(*FromFile, Container)), Documents(*Exported, Container)) << Container;

    for (const std::string& Module : Documents(*Exported, "Modules"))
        EXPECT_EQ(Output(*FromFile, Module, Dir), Output(*Exported, Module, Dir)) << Module;
    for (const auto& [Container, Kind, Prefix] :
         {std::tuple{"Forms", acForm, "Form_"}, {"Reports", acReport, "Report_"}})
        for (const std::string& Name : Documents(*Exported, Container)) {
            EXPECT_EQ(Output(*FromFile, Prefix + Name, Dir), Output(*Exported, Prefix + Name, Dir)) << Name;
            std::shared_ptr<AccessObject> File;
            if (Kind == acForm) {
                FromFile->DoCmd().OpenForm(Name, acDesign);
                File = FromFile->Forms(Name);
            } else {
                FromFile->DoCmd().OpenReport(Name, acDesign);
                File = FromFile->Reports(Name);
            }
            std::vector<std::pair<std::string, std::string>> FileControls;
            for (int I = 0; I < File->Controls().Count(); ++I)
                FileControls.emplace_back(File->Controls().Item(I).Name(),
                                          File->Controls().Item(I).ControlType());
            EXPECT_EQ(Sorted(FileControls),
                      Sorted(ExportedControls(kData + "vcs-testing/Testing.accdb.src/" +
                                              LowerCase(Container) + "/" + Name + ".bas")))
                << Name;
        }
}

TEST(FileSourceTest, Jet3AndAccess2000FilesGiveTheirModulesAndControls) {
    TempDir Dir;
    // Jet 3 (Access 97): chunks of 241 bytes, 15 modules of which 3 standard ones.
    auto Nwind = Application::Create();
    Nwind->OpenCurrentDatabase(CopyAlone(Dir, "nwind.mdb"));
    const std::vector<std::string> Utility = Output(*Nwind, "Utility Functions", Dir);
    EXPECT_EQ(std::count(Utility.begin(), Utility.end(),
                         "Function IsLoaded(ByVal strFormName As String) As Boolean"),
              1);
    EXPECT_EQ(Output(*Nwind, "Form_Orders", Dir).at(4), "Private Sub CustomerID_AfterUpdate()");
    Nwind->DoCmd().OpenForm("Orders", acDesign);
    const auto Orders = Nwind->Forms("Orders");
    // Names that are no VBA identifiers are the names Access shows.
    EXPECT_NO_THROW(Orders->Controls().Item("OrderDate Label"));
    // A control's properties from the file are its name and its type code, typed.
    const auto& Date = Orders->Controls().Item("OrderDate");
    EXPECT_EQ(Date.ControlType(), "TextBox");
    EXPECT_EQ(Date.Properties().Item("ControlType").Value(), Variant(std::int32_t(109)));
    EXPECT_TRUE(Date.Properties().Item("Name").Value().IsText());
    // A form without a module says so.
    EXPECT_NE(OleMessage([&] { Nwind->DoCmd().OpenModule("Form_Customers"); }).find("has no module"),
              std::string::npos);
    EXPECT_NE(OleMessage([&] { Nwind->DoCmd().OpenForm("Nowhere", acDesign); }).find("was not found"),
              std::string::npos);

    // Access 2000 (chunks of 3992 bytes): 22 forms, 14 reports, 2 standard modules.
    auto North = Application::Create();
    North->OpenCurrentDatabase(CopyAlone(Dir, "Northwind2000.mdb"));
    EXPECT_EQ(Documents(*North, "Forms").size(), 22u);
    EXPECT_EQ(Documents(*North, "Reports").size(), 14u);
    EXPECT_EQ(Sorted(Documents(*North, "Modules")),
              (std::vector<std::string>{"Startup", "Utility Functions"}));
    const std::vector<std::string> Code = Output(*North, "Startup", Dir);
    ASSERT_FALSE(Code.empty());
    EXPECT_EQ(Code[0], "Option Compare Database");
    EXPECT_NE(std::find(Code.begin(), Code.end(), "End Function"), Code.end());
    for (const std::string& Form : Documents(*North, "Forms")) {
        North->DoCmd().OpenForm(Form, acDesign);
        EXPECT_GT(North->Forms(Form)->Controls().Count(), 0) << Form;
    }
}

TEST(FileSourceTest, DamagedApplicationObjectsGiveAClearErrorAndNeverStopTheReader) {
    // Damage where the file keeps its application objects: the start of the compound file in
    // Northwind2000.mdb's first chunk, and the control lists (TypeInfo) of Testing.accdb.
    TempDir Dir;
    std::mt19937 Rng(1616);
    int Rounds = 0, Refused = 0;
    for (const char* Database : {"Northwind2000.mdb", "vcs-testing/Testing.accdb"}) {
        std::ifstream In(kData + Database, std::ios::binary);
        const std::string Original(std::istreambuf_iterator<char>(In), {});
        const bool Chunks = std::string(Database) == "Northwind2000.mdb";
        std::vector<std::size_t> Places;
        const std::string Mark = Chunks ? "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" : "\xF7\xEA\xCD\xAC";
        for (std::size_t At = Original.find(Mark); At != std::string::npos; At = Original.find(Mark, At + 1))
            Places.push_back(At);
        ASSERT_FALSE(Places.empty()) << Database;
        const std::size_t Span = Chunks ? 3992 : 120;
        for (int Round = 0; Round < 25; ++Round, ++Rounds) {
            std::string Data = Original;
            const std::size_t Start = Places[Rng() % Places.size()];
            for (int H = 1 + static_cast<int>(Rng() % 12); H > 0; --H)
                Data[Start + Rng() % Span] = static_cast<char>(Rng());
            const std::string File = (Dir.Path / fs::path(Database).filename()).string();
            std::ofstream(File, std::ios::binary | std::ios::trunc) << Data;
            auto App = Application::Create();
            try {
                App->OpenCurrentDatabase(File);
            } catch (const EOleException& E) {
                EXPECT_EQ(E.Message().find("signal"), std::string::npos) << E.Message();
                ++Refused;
                continue;
            }
            for (const std::string& Form : Documents(*App, "Forms")) {
                try {
                    App->DoCmd().OpenForm(Form, acDesign);
                    App->Forms(Form)->Controls().Count();
                } catch (const EOleException& E) {
                    EXPECT_NE(E.Message().find(Form), std::string::npos) << E.Message();
                }
                try {
                    Output(*App, "Form_" + Form, Dir);
                } catch (const EOleException& E) {
                    EXPECT_NE(E.Message().find(Form), std::string::npos) << E.Message();
                }
            }
        }
    }
    EXPECT_EQ(Rounds, 50);
    EXPECT_LT(Refused, Rounds); // the tables are intact: the file still opens
}

TEST(FileSourceTest, AnUnreadableProjectIsNeverTakenForFormsWithoutCode) {
    auto Data = std::make_shared<dao::Snapshot>();
    auto Row = [](std::int32_t Id, std::int32_t Parent, int Type, std::string Name) {
        dao::CatalogObject O;
        O.Id = Id;
        O.ParentId = Parent;
        O.Type = Type;
        O.Name = std::move(Name);
        return O;
    };
    Data->Objects = {Row(10, 1, 3, "Forms"), Row(11, 1, 3, "Modules"), Row(20, 10, -32768, "Orders"),
                     Row(21, 10, -32768, "Customers"), Row(22, 11, -32761, "Startup")};
    Data->Project.Forms = {{"Orders", {{"Detail", dao::kFirstSection}, {"OrderDate", 109}}}};
    Data->Project.Modules = {
        {"Form_Orders", true, "Attribute VB_Name = \"Form_Orders\"\r\nSub X()\r\nEnd Sub\r\n"}};
    Data->Project.Problems = {"the design of the form 'Customers' cannot be read (its design is missing)"};
    FileSource Source("/data/db.mdb", Data);
    EXPECT_EQ(Source.Documents("forms"), (std::vector<std::string>{"Orders", "Customers"}));
    EXPECT_EQ(Source.ModuleCode("form_orders"), (std::vector<std::string>{"Sub X()", "End Sub"}));
    EXPECT_EQ(Source.Load(acForm, "Orders")->Controls().Count(), 1); // the section is no control
    EXPECT_NE(OleMessage([&] { Source.Load(acForm, "Customers"); }).find("its design is missing"),
              std::string::npos);
    EXPECT_NE(OleMessage([&] { Source.ModuleCode("Form_Customers"); }).find("has no module"),
              std::string::npos);

    // Once the project itself could not be read, no module is said to be missing.
    Data->Project.Problems.push_back("its VBA project cannot be read (the module 'A' has no type)");
    EXPECT_NE(OleMessage([&] { Source.ModuleCode("Form_Customers"); }).find("its VBA project cannot be read"),
              std::string::npos);
    EXPECT_NE(OleMessage([&] { Source.ModuleCode("Startup"); }).find("its VBA project cannot be read"),
              std::string::npos);
}
