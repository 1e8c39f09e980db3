// The Access service on databases without a text export: what it reads from the file must be what
// the export that an add-in wrote from the same file holds.

#include "platform/access/FileSource.h"
#include "platform/access/Access.h"
#include "platform/access/SaveAsText.h"
#include "platform/dao/Snapshot.h"
#include "platform/rtl/TextCodec.h"
#include "tests/platform/access/AccessTestSupport.h"
#include "tests/platform/dao/CatalogueDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
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

    // Access 2000 with its objects in MSysAccessStorage, a row of which ends its data before its
    // offset table: one form with six controls and its code, nothing else.
    auto Connect = Application::Create();
    Connect->OpenCurrentDatabase(CopyAlone(Dir, "connect.mdb"));
    EXPECT_EQ(Documents(*Connect, "Forms"), std::vector<std::string>{"admGerenciadorDeTabelas"});
    EXPECT_TRUE(Documents(*Connect, "Reports").empty());
    EXPECT_TRUE(Documents(*Connect, "Modules").empty());
    Connect->DoCmd().OpenForm("admGerenciadorDeTabelas", acDesign);
    const auto& Controls = Connect->Forms("admGerenciadorDeTabelas")->Controls();
    std::vector<std::string> Names;
    for (int I = 0; I < Controls.Count(); ++I)
        Names.push_back(Controls.Item(I).Name() + "/" + Controls.Item(I).ControlType());
    EXPECT_EQ(Names, (std::vector<std::string>{"lstTabelas/ListBox", "Tabelas vinculadas_Label/Label",
                                               "cmdVerificar/CommandButton", "cmdAtualizar/CommandButton",
                                               "cmdSelecionar/CommandButton", "cmdLimpar/CommandButton"}));
    const std::vector<std::string> FormCode = Output(*Connect, "Form_admGerenciadorDeTabelas", Dir);
    EXPECT_EQ(FormCode.size(), 165u); // its 175 lines less 8 Attribute lines and the blank ones at the end
    EXPECT_EQ(FormCode.front(), "Option Compare Database");
    EXPECT_EQ(FormCode.back(), "End Sub");
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

// Real files of every layout, and copies of them in the layouts no fixture shows: what the file
// holds is read whole, and damage to the tables of forms, reports and code costs only the objects
// it touches, each named with the reason.

namespace {

std::string ReadFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

void WriteFile(const std::string& Path, const std::string& Data) {
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << Data;
}

/// Data written as Name into the folder Sub of Dir; the file's full name.
std::string WriteCopy(const TempDir& Dir, const char* Sub, const std::string& Name, const std::string& Data) {
    fs::create_directories(Dir.Path / Sub);
    const std::string File = (Dir.Path / Sub / fs::path(Name).filename()).string();
    WriteFile(File, Data);
    return File;
}

std::uint32_t U32At(const std::string& B, std::size_t At) {
    std::uint32_t V;
    std::memcpy(&V, B.data() + At, 4);
    return V;
}

std::size_t U16At(const std::string& B, std::size_t At) {
    return static_cast<std::uint8_t>(B[At]) | static_cast<std::size_t>(static_cast<std::uint8_t>(B[At + 1]))
                                                  << 8;
}

/// A Jet file's pages: their size, and where a data page keeps its row count.
struct Pages {
    std::size_t Size, CountAt;
    explicit Pages(const std::string& Data)
        : Size(Data[0x14] == 0 ? 2048 : 4096), CountAt(Data[0x14] == 0 ? 8 : 12) {}
};

/// The data pages of the table whose definition is on page Definition.
std::vector<std::size_t> TablePages(const std::string& Data, std::uint32_t Definition) {
    const Pages P(Data);
    std::vector<std::size_t> Out;
    for (std::size_t N = 3; N < Data.size() / P.Size; ++N)
        if (Data[N * P.Size] == 1 && U32At(Data, N * P.Size + 4) == Definition)
            Out.push_back(N);
    return Out;
}

/// The definition pages of the tables that hold forms, reports and code (their Id in MSysObjects).
constexpr std::uint32_t kTestingStorage = 43;

/// What Access serves of every form, report and module, object by object: its controls or its
/// code, or the message of the error it raises.
std::map<std::string, std::string> Objects(Application& App, const TempDir& Dir) {
    std::map<std::string, std::string> Out;
    for (const auto& [Container, Kind, Prefix] :
         {std::tuple{"Forms", acForm, "Form_"}, {"Reports", acReport, "Report_"}, {"Modules", acModule, ""}})
        for (const std::string& Name : Documents(App, Container)) {
            std::string& Text = Out[std::string(Prefix) + Name];
            try {
                if (Kind != acModule) {
                    std::shared_ptr<AccessObject> O;
                    if (Kind == acForm) {
                        App.DoCmd().OpenForm(Name, acDesign);
                        O = App.Forms(Name);
                    } else {
                        App.DoCmd().OpenReport(Name, acDesign);
                        O = App.Reports(Name);
                    }
                    for (int I = 0; I < O->Controls().Count(); ++I)
                        Text +=
                            O->Controls().Item(I).Name() + "/" + O->Controls().Item(I).ControlType() + "\n";
                    App.DoCmd().Close(Kind, Name);
                }
                for (const std::string& L : Output(App, Prefix + Name, Dir))
                    Text += L + "\n";
            } catch (const EOleException& E) {
                Text += "! " + E.Message();
            }
        }
    return Out;
}

std::map<std::string, std::string> Objects(const std::string& File, const TempDir& Dir) {
    auto App = Application::Create();
    App->OpenCurrentDatabase(File);
    return Objects(*App, Dir);
}

/// The objects of Read that differ from Expected; each must be unread and named with the reason.
std::vector<std::string> NamedLosses(const std::map<std::string, std::string>& Read,
                                     const std::map<std::string, std::string>& Expected) {
    std::vector<std::string> Named;
    EXPECT_EQ(Read.size(), Expected.size());
    for (const auto& [Name, Text] : Read) {
        if (!Expected.contains(Name) || Text == Expected.at(Name))
            continue;
        // Unread, and said so: the object's name and the reason after it ("has no module" is
        // neither).
        const std::size_t At = Text.find("! ");
        EXPECT_NE(At, std::string::npos) << Name << ": read otherwise than from the original";
        if (At == std::string::npos)
            continue;
        EXPECT_NE(Text.find(Name.starts_with("Form_") || Name.starts_with("Report_")
                                ? Name.substr(Name.find('_') + 1)
                                : Name,
                            At),
                  std::string::npos)
            << Text;
        EXPECT_NE(Text.find("': ", At), std::string::npos) << Text;
        Named.push_back(Name);
    }
    return Named;
}

int Unread(const std::map<std::string, std::string>& Objects) {
    return static_cast<int>(std::count_if(Objects.begin(), Objects.end(), [](const auto& O) {
        return O.second.find("! ") != std::string::npos &&
               O.second.find("has no module") == std::string::npos;
    }));
}

} // namespace

TEST(FileSourceTest, ChunksPastTheStatedEndAreLeftOversAndTheWholeProjectIsRead) {
    // Its MSysAccessObjects holds two chunks beyond the length its header row states.
    TempDir Dir;
    const auto Read = Objects(CopyAlone(Dir, "Northwind-chunks.mdb"), Dir);
    ASSERT_EQ(Read.size(), 3u); // 2 reports, 1 module: what its catalogue lists
    EXPECT_EQ(Unread(Read), 0);
    EXPECT_NE(Read.at("Report_Summary of Sales by Quarter").find("/TextBox\n"), std::string::npos);
    EXPECT_NE(Read.at("Northwind Help Function").find("Option Compare Database"), std::string::npos);
}

TEST(FileSourceTest, Jet3CodeKeptOnlyInMSysModules2ReadsAsFromTheProject) {
    // nwind.mdb keeps every module in MSysAccessObjects and in MSysModules2, and the controls of
    // forms and reports without code in MSysObjects as well. Renamed in the catalogue, its
    // MSysAccessObjects is no longer found: what is left is the Access 95 layout.
    TempDir Dir;
    const std::string Original = CopyAlone(Dir, "nwind.mdb");
    std::string Data = ReadFile(Original);
    const Pages P(Data);
    int Renamed = 0;
    for (std::size_t N = 3; N < Data.size() / P.Size; ++N)
        if (Data[N * P.Size] == 1 && U32At(Data, N * P.Size + 4) == 2)
            for (std::size_t At = Data.find("MSysAccessObjects", N * P.Size); At < (N + 1) * P.Size;
                 At = Data.find("MSysAccessObjects", At + 1), ++Renamed)
                Data[At + 16] = 'X';
    ASSERT_EQ(Renamed, 1);
    const std::string Legacy = WriteCopy(Dir, "jet3", "nwind.mdb", Data);

    const auto Expected = Objects(Original, Dir);
    ASSERT_EQ(Unread(Expected), 0);
    const auto Read = Objects(Legacy, Dir);
    EXPECT_EQ(Read.size(), 21u + 13u + 3u);
    for (const auto& [Name, Text] : Expected)
        EXPECT_EQ(Read.at(Name), Text) << Name;
}

TEST(FileSourceTest, RowsFlaggedDeletedInTheObjectStoreAreNoRows) {
    // Rows flagged deleted (0x8000 in the row offset) hold whatever was left there, here bytes
    // that frame no row. One is added to every data page of MSysAccessStorage that has room.
    TempDir Dir;
    const std::string Original = CopyAlone(Dir, "vcs-testing/Testing.accdb");
    std::string Data = ReadFile(Original);
    const Pages P(Data);
    int Added = 0;
    for (const std::size_t N : TablePages(Data, kTestingStorage)) {
        const std::size_t Page = N * P.Size, Count = U16At(Data, Page + P.CountAt);
        const std::size_t TableEnd = P.CountAt + 2 + 2 * Count;
        const std::size_t Lowest = Count == 0 ? P.Size : U16At(Data, Page + TableEnd - 2) & 0x1FFF;
        if (Lowest < TableEnd + 2 + 24)
            continue;
        const std::size_t Start = Lowest - 24;
        std::fill_n(Data.begin() + static_cast<std::ptrdiff_t>(Page + Start), 24, '\xEE');
        Data[Page + TableEnd] = static_cast<char>(Start & 0xFF);
        Data[Page + TableEnd + 1] = static_cast<char>(Start >> 8 | 0x80);
        Data[Page + P.CountAt] = static_cast<char>((Count + 1) & 0xFF);
        Data[Page + P.CountAt + 1] = static_cast<char>((Count + 1) >> 8);
        ++Added;
    }
    ASSERT_GT(Added, 0);
    const std::string Flagged = WriteCopy(Dir, "deleted", "Testing.accdb", Data);
    EXPECT_EQ(daotest::Catalogue(Flagged), daotest::Catalogue(Original));
    EXPECT_EQ(Objects(Flagged, Dir), Objects(Original, Dir));
}

TEST(FileSourceTest, DamageToTheObjectStoreCostsOnlyTheObjectsItTouches) {
    // Damage of the kinds real files show (zeroed pages, flipped row offsets, overwritten bytes),
    // confined to the pages of the table that holds forms, reports and code.
    TempDir Dir;
    int Cases = 0, Named = 0;
    for (const auto& [Database, Definition] : {std::pair<std::string, std::uint32_t>{"nwind.mdb", 996},
                                               {"Northwind2000.mdb", 498},
                                               {"vcs-testing/Testing.accdb", kTestingStorage}}) {
        const std::string Original = CopyAlone(Dir, Database);
        const std::string Data = ReadFile(Original);
        const Pages P(Data);
        const std::vector<std::size_t> Store = TablePages(Data, Definition);
        ASSERT_GE(Store.size(), 2u) << Database;
        const std::string Catalogue = daotest::Catalogue(Original, false);
        const auto Expected = Objects(Original, Dir);
        std::mt19937 Rng(2121);
        std::vector<std::string> Damaged(1, Data);
        std::fill_n(Damaged[0].begin() + static_cast<std::ptrdiff_t>(Definition * P.Size), P.Size, '\0');
        for (const std::size_t N : {Store.front(), Store[Store.size() / 2], Store.back()}) {
            std::string D = Data;
            std::fill_n(D.begin() + static_cast<std::ptrdiff_t>(N * P.Size), P.Size, '\0');
            Damaged.push_back(D);
            D = Data;
            D[N * P.Size + P.CountAt + 3] ^= 0x04; // the first row's offset
            Damaged.push_back(D);
            D = Data;
            for (int H = 0; H < 40; ++H)
                D[N * P.Size + 200 + Rng() % (P.Size - 200)] = static_cast<char>(Rng());
            Damaged.push_back(D);
        }
        for (const std::string& D : Damaged) {
            const std::string File = WriteCopy(Dir, "damaged", Database, D);
            ++Cases;
            EXPECT_EQ(daotest::Catalogue(File, false), Catalogue) << Database << " case " << Cases;
            Named += static_cast<int>(NamedLosses(Objects(File, Dir), Expected).size());
        }
    }
    EXPECT_EQ(Cases, 30);
    EXPECT_GT(Named, 20); // the damage did reach objects
}

TEST(FileSourceTest, ALongValueOfTheObjectStoreThatCannotBeReadCostsOnlyItsObject) {
    // The control list of a report of Testing.accdb is a long value of MSysAccessStorage, a row of
    // a page of long values ("LVAL"). Its offset made that of the row before it, it holds no bytes.
    TempDir Dir;
    const std::string Original = CopyAlone(Dir, "vcs-testing/Testing.accdb");
    std::string Data = ReadFile(Original);
    const Pages P(Data);
    std::size_t Slot = 0;
    for (std::size_t N = 3; N < Data.size() / P.Size && Slot == 0; ++N) {
        const std::size_t Page = N * P.Size;
        if (Data[Page] != 1 || Data.compare(Page + 4, 4, "LVAL") != 0)
            continue;
        for (std::size_t R = 1; R < U16At(Data, Page + P.CountAt) && Slot == 0; ++R) {
            const std::size_t At = Page + P.CountAt + 2 + 2 * R, Offset = U16At(Data, At);
            if (Offset < 0x1000 && Data.compare(Page + Offset, 4, "\xF7\xEA\xCD\xAC") == 0 &&
                U16At(Data, At - 2) < 0x1000)
                Slot = At;
        }
    }
    ASSERT_NE(Slot, 0u);
    Data[Slot] = Data[Slot - 2];
    Data[Slot + 1] = Data[Slot - 1];
    const std::string File = WriteCopy(Dir, "lval", "Testing.accdb", Data);
    EXPECT_EQ(daotest::Catalogue(File), daotest::Catalogue(Original));
    const auto Expected = Objects(Original, Dir);
    const auto Read = Objects(File, Dir);
    std::vector<std::string> Differ;
    for (const auto& [Name, Text] : Read)
        if (Text != Expected.at(Name)) {
            Differ.push_back(Name);
            EXPECT_NE(
                Text.find("' cannot be read from '" + File +
                          "': the file is damaged: a long value of column Lv of table MSysAccessStorage "
                          "is damaged."),
                std::string::npos)
                << Text;
        }
    ASSERT_EQ(Differ.size(), 1u);
    EXPECT_TRUE(Differ[0].starts_with("Report_")) << Differ[0];
}

namespace {

/// A name as the catalogue of a Jet 4 file stores it: UTF-16.
std::string CatalogueName(const std::string& Name) {
    std::string Out;
    for (const char C : Name)
        Out += std::string{C, '\0'};
    return Out;
}

/// Data with the flags of row Row of page Page xored with Bits (0x8000: deleted; 0x0001: an offset
/// that no longer frames the row).
std::string FlipRowFlags(std::string Data, std::size_t Page, std::size_t Row, unsigned Bits) {
    const Pages P(Data);
    const std::size_t At = Page * P.Size + P.CountAt + 2 + 2 * Row;
    Data[At] = static_cast<char>(Data[At] ^ (Bits & 0xFF));
    Data[At + 1] = static_cast<char>(Data[At + 1] ^ (Bits >> 8));
    return Data;
}

} // namespace

TEST(FileSourceTest, ARowFlaggedDeletedByDamageNeverLosesCodeUnnamed) {
    // One bit sets the deleted flag of a row of the object store: the chunk or storage row it held
    // is missing. Whatever lay in it is named; no form or report module that has code answers
    // "has no module".
    TempDir Dir;
    int Cases = 0, Named = 0;
    for (const auto& [Database, Definition, Step] :
         {std::tuple<std::string, std::uint32_t, std::size_t>{"Northwind2000.mdb", 498, 11},
          {"vcs-testing/Testing.accdb", kTestingStorage, 9}}) {
        const std::string Original = CopyAlone(Dir, Database);
        const std::string Data = ReadFile(Original);
        const Pages P(Data);
        const auto Expected = Objects(Original, Dir);
        std::size_t Row = 0;
        for (const std::size_t N : TablePages(Data, Definition))
            for (std::size_t R = 0; R < U16At(Data, N * P.Size + P.CountAt); ++R)
                if (Row++ % Step == 0) {
                    ++Cases;
                    const std::string Copy =
                        WriteCopy(Dir, "deleted", Database, FlipRowFlags(Data, N, R, 0x8000));
                    Named += static_cast<int>(NamedLosses(Objects(Copy, Dir), Expected).size());
                }
    }
    EXPECT_EQ(Cases, 17 + 17);
    EXPECT_GT(Named, 30); // the damage did reach objects
}

TEST(FileSourceTest, DamageToRowsAndPagesOfTheObjectStoreCostsOnlyWhatLayInThem) {
    TempDir Dir;
    // One chunk of Northwind2000.mdb (page 81) holds part of a report's code: a zeroed page or a
    // row offset that frames no row costs that module alone.
    const std::string North = CopyAlone(Dir, "Northwind2000.mdb");
    const std::string NorthData = ReadFile(North);
    const auto NorthExpected = Objects(North, Dir);
    std::string Zeroed = NorthData;
    std::fill_n(Zeroed.begin() + 81 * 4096, 4096, '\0');
    for (const std::string& D : {Zeroed, FlipRowFlags(NorthData, 81, 0, 0x0001)}) {
        const auto Read = Objects(WriteCopy(Dir, "north", "Northwind2000.mdb", D), Dir);
        EXPECT_EQ(NamedLosses(Read, NorthExpected), std::vector<std::string>{"Report_Sales by Year"});
        EXPECT_NE(Read.at("Report_Sales by Year").find("chunk 159 is missing"), std::string::npos);
    }
    // A storage row of Testing.accdb whose offset frames no row: the class module it held.
    const std::string Testing = CopyAlone(Dir, "vcs-testing/Testing.accdb");
    const auto TestingExpected = Objects(Testing, Dir);
    const auto Read = Objects(
        WriteCopy(Dir, "testing", "Testing.accdb", FlipRowFlags(ReadFile(Testing), 134, 3, 0x0001)), Dir);
    EXPECT_EQ(NamedLosses(Read, TestingExpected), std::vector<std::string>{"clsPerson"});
    EXPECT_NE(Read.at("clsPerson").find("row 3 of page 134 of table MSysAccessStorage is damaged"),
              std::string::npos);

    // nwind.mdb cut at a page boundary, or within its last page, keeps every control and code line
    // (its modules are in MSysModules2 too): nothing is named, and every form without code has
    // none.
    const std::string Nwind = CopyAlone(Dir, "nwind.mdb");
    const std::string NwindData = ReadFile(Nwind);
    const auto NwindExpected = Objects(Nwind, Dir);
    for (const std::size_t Size : {1400u * 2048, 1465u * 2048 + 100})
        EXPECT_EQ(Objects(WriteCopy(Dir, "cut", "nwind.mdb", NwindData.substr(0, Size)), Dir), NwindExpected)
            << Size;
    // Nor does the loss of its MSysModules2 (the definition on page 220): the VBA project holds all.
    std::string NoLegacy = NwindData;
    std::fill_n(NoLegacy.begin() + 220 * 2048, 2048, '\0');
    EXPECT_EQ(Objects(WriteCopy(Dir, "legacy", "nwind.mdb", NoLegacy), Dir), NwindExpected);
}

TEST(FileSourceTest, AFileThatLostItsTableOfApplicationObjectsNamesEveryObjectItsCatalogueLists) {
    // One damaged letter of the table's name in the catalogue: the table that holds the forms,
    // reports and code is no longer found. Nothing of them is known, not even which forms have no
    // code: every one is named, none answers "has no module".
    TempDir Dir;
    for (const auto& [Database, Table] :
         {std::pair<std::string, std::string>{"connect.mdb", "MSysAccessStorage"},
          {"Northwind2000.mdb", "MSysAccessObjects"}}) {
        const std::string Original = CopyAlone(Dir, Database);
        std::string Data = ReadFile(Original);
        const std::string Name = CatalogueName(Table);
        int Renamed = 0;
        for (const std::size_t N : TablePages(Data, 2))
            for (std::size_t At = Data.find(Name, N * Pages(Data).Size); At < (N + 1) * Pages(Data).Size;
                 At = Data.find(Name, At + 1), ++Renamed)
                Data[At + Name.size() - 2] = 'X';
        ASSERT_EQ(Renamed, 1) << Database;
        const auto Expected = Objects(Original, Dir);
        const auto Read = Objects(WriteCopy(Dir, "renamed", Database, Data), Dir);
        EXPECT_EQ(NamedLosses(Read, Expected).size(), Expected.size()) << Database;
        for (const auto& [Object, Text] : Read)
            EXPECT_NE(Text.find("no table MSysAccessStorage or MSysAccessObjects holds them"),
                      std::string::npos)
                << Object << ": " << Text;
    }
}

TEST(FileSourceTest, FormsReportsAndModulesAreFoundWhenTheirContainersRowsAreDamaged) {
    // One damaged letter in the catalogue row of each container ("Forms", "Reports", "Modules")
    // of Northwind2000.mdb: the objects are still its forms, reports and modules, none is lost.
    TempDir Dir;
    const std::string Original = CopyAlone(Dir, "Northwind2000.mdb");
    std::string Data = ReadFile(Original);
    int Renamed = 0;
    for (const std::string Container : {"Forms", "Reports", "Modules"}) {
        const std::string Name = CatalogueName(Container);
        // The name alone, not within another ("Sales Reports Dialog"): after the row's fixed part.
        for (const std::size_t N : TablePages(Data, 2))
            for (std::size_t At = Data.find(Name, N * 4096); At < (N + 1) * 4096;
                 At = Data.find(Name, At + 1))
                if (Data.compare(At - 2, 2, std::string(2, '\0')) == 0 &&
                    !std::isalpha(static_cast<unsigned char>(Data[At + Name.size()]))) {
                    Data[At + Name.size() - 2] = 'X';
                    ++Renamed;
                }
    }
    ASSERT_EQ(Renamed, 3);
    EXPECT_EQ(Objects(WriteCopy(Dir, "containers", "Northwind2000.mdb", Data), Dir), Objects(Original, Dir));
}

TEST(FileSourceTest, FormsReportsAndCodeWhoseCatalogueRowsAreDamagedAreStillRead) {
    // connect.mdb with one damaged letter of its one form's name in the catalogue: the name the
    // catalogue now gives has no design (and says so); the form, its controls and its code are
    // read under the name the file's list of forms gives.
    TempDir Dir;
    const std::string Original = CopyAlone(Dir, "connect.mdb");
    std::string Data = ReadFile(Original);
    const std::string Name = CatalogueName("admGerenciadorDeTabelas");
    const std::size_t At = Data.find(Name, 14 * 4096);
    ASSERT_LT(At, 15 * 4096u); // page 14: the catalogue's
    Data[At + Name.size() - 2] = 'X';
    const auto Expected = Objects(Original, Dir);
    auto Read = Objects(WriteCopy(Dir, "renamed", "connect.mdb", Data), Dir);
    EXPECT_NE(Read["Form_admGerenciadorDeTabelaX"].find(
                  "! The design of the form 'admGerenciadorDeTabelaX' cannot be read from '"),
              std::string::npos);
    Read.erase("Form_admGerenciadorDeTabelaX");
    EXPECT_EQ(Read, Expected);
    // Testing.accdb with the catalogue row of a report (row 9 of page 112) flagged deleted.
    const std::string Testing = CopyAlone(Dir, "vcs-testing/Testing.accdb");
    EXPECT_EQ(
        Objects(WriteCopy(Dir, "deleted", "Testing.accdb", FlipRowFlags(ReadFile(Testing), 112, 9, 0x8000)),
                Dir),
        Objects(Testing, Dir));
}
