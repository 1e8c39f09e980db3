// The model tree: compliance roll-up, pages and images, adders and deleters, Clear, custom-control
// nodes, class registration and the collections' item classes.

#include "scanmodel/ScanInfo.h"
#include "scanmodel/SourceFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

THitInfo* Hit(TCompliant C) {
    auto* H = new THitInfo;
    H->Compliant = C;
    return H;
}

TMDBHitInfo* MDBHit(TCompliant C) {
    auto* H = new TMDBHitInfo;
    H->Compliant = C;
    return H;
}

TModuleInfo* Module(std::initializer_list<TCompliant> Ratings, Longint Lines = 0) {
    auto* M = new TModuleInfo;
    for (TCompliant C : Ratings)
        M->AddHit(Hit(C));
    M->LinesOfCode = Lines;
    return M;
}

} // namespace

TEST(Compliance, RollsUpTheWorstRatingBelowEachNode) {
    TQuorvex Doc;
    EXPECT_EQ(Doc.Compliant(), ctYes);
    auto* P = new TProjectInfo;
    P->AddModule(Module({ctMayBe, ctYes}));
    P->AddModule(Module({}));
    Doc.AddProject(P);
    EXPECT_EQ(P->GetModule(0)->Compliant(), ctMayBe);
    EXPECT_EQ(P->GetModule(1)->Compliant(), ctYes);
    EXPECT_EQ(P->Compliant(), ctMayBe);
    EXPECT_EQ(Doc.Compliant(), ctMayBe);

    P->GetModule(1)->AddHit(Hit(ctNo));
    EXPECT_EQ(P->Compliant(), ctNo);
    EXPECT_EQ(Doc.Compliant(), ctNo);
    // Computed on every read: re-rating a hit changes every ancestor at once.
    P->GetModule(1)->GetHit(0)->Compliant = ctYes;
    EXPECT_EQ(Doc.Compliant(), ctMayBe);
    P->GetModule(0)->DeleteHit(0);
    EXPECT_EQ(Doc.Compliant(), ctYes);
}

TEST(Compliance, CustomControlsRateMaybeButDoNotCountForTheirProject) {
    TProjectInfo P;
    P.AddVBX(new TVBXInfo("NOSUCH.OCX"));
    EXPECT_EQ(P.GetVBX(0)->Compliant(), ctMayBe);
    EXPECT_EQ(P.Compliant(), ctYes);
    EXPECT_EQ(P.VBXCount(), 1);
}

TEST(Compliance, DatabasesRollUpOverAllSevenCollections) {
    TMDBInfo DB;
    auto* Table = new TMDBTableInfo;
    DB.AddTable(Table);
    DB.AddQuery(new TMDBQueryInfo);
    EXPECT_EQ(DB.Compliant(), ctYes) << "objects without hits";
    auto* Spec = new TMDBIMEXSpecInfo;
    Spec->AddHit(MDBHit(ctMayBe));
    DB.AddIMEXSpec(Spec);
    EXPECT_EQ(DB.Compliant(), ctMayBe);
    Table->AddHit(MDBHit(ctNo));
    EXPECT_EQ(DB.Compliant(), ctNo);

    TQuorvex Doc;
    Doc.AddMDB(new TMDBInfo);
    EXPECT_EQ(Doc.Compliant(), ctYes);
    auto* Bad = new TMDBInfo;
    auto* Form = new TMDBFormInfo;
    Form->AddHit(MDBHit(ctNo));
    Bad->AddForm(Form);
    Doc.AddMDB(Bad);
    EXPECT_EQ(Doc.Compliant(), ctNo);
}

TEST(Document, PageIndexFollowsAddsAndDeletes) {
    TQuorvex Doc;
    Doc.AddMDB(new TMDBInfo);
    EXPECT_EQ(Doc.PageIndex, 1);
    Doc.DeleteMDB(0);
    EXPECT_EQ(Doc.PageIndex, 0);

    Doc.AddProject(new TProjectInfo);
    Doc.AddMDB(new TMDBInfo);
    Doc.DeleteMDB(0);
    EXPECT_EQ(Doc.PageIndex, 1) << "a project remains";
    Doc.AddMDB(new TMDBInfo);
    Doc.DeleteProject(0);
    EXPECT_EQ(Doc.PageIndex, 0) << "only a database remains: the number of projects decides";
    EXPECT_EQ(Doc.MDBCount(), 1);
}

TEST(Document, GettersCountsAndTotals) {
    TQuorvex Doc;
    auto* P1 = new TProjectInfo;
    P1->AddModule(Module({}, 10));
    P1->AddModule(Module({}, 5));
    auto* P2 = new TProjectInfo;
    Doc.AddProject(P1);
    Doc.AddProject(P2);
    auto* DB = new TMDBInfo;
    auto* T = new TMDBTableInfo;
    T->LinesOfCode = 7;
    auto* M = new TMDBModuleInfo;
    M->LinesOfCode = 3;
    DB->AddTable(T);
    DB->AddModule(M);
    Doc.AddMDB(DB);

    EXPECT_EQ(P1->ProjectLinesOfCode(), 15);
    EXPECT_EQ(DB->MDBLinesOfCode(), 10);
    EXPECT_EQ(DB->ObjectCount(), 2);
    EXPECT_EQ(Doc.TotalLinesOfCode(), 25);
    EXPECT_EQ(Doc.IndexOfProject(P2), 1);
    TProjectInfo Stranger;
    EXPECT_EQ(Doc.IndexOfProject(&Stranger), -1);
    EXPECT_EQ(Doc.GetMDB(0)->GetModule(0), M);
    EXPECT_EQ(DB->MacroCount(), 0);

    try {
        Doc.GetProject(2);
        ADD_FAILURE();
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (2)");
    }
    EXPECT_THROW(Doc.DeleteProject(-1), EListError);
    EXPECT_EQ(Doc.ProjectCount(), 2);
}

TEST(Document, AddersIgnoreNilAndRemoveModuleIgnoresStrangers) {
    TQuorvex Doc;
    Doc.AddProject(nullptr);
    EXPECT_EQ(Doc.ProjectCount(), 0);
    TProjectInfo P;
    auto* M = Module({});
    P.AddModule(M);
    TModuleInfo Stranger;
    P.RemoveModule(&Stranger);
    EXPECT_EQ(P.ModuleCount(), 1);
    EXPECT_EQ(P.GetModule(0)->IndexOfHit(nullptr), -1);
    P.RemoveModule(M);
    EXPECT_EQ(P.ModuleCount(), 0);
}

TEST(Clear, ResetsEachKindOfNodeAndKeepsItUsable) {
    TQuorvex Doc;
    Doc.AddProject(new TProjectInfo);
    Doc.Name = "Mine";
    Doc.AutoSave = true;
    Doc.ScanIndex = 4;
    bool Fired = false;
    Doc.OnBeforeScan = [&](TObject*) { Fired = true; };
    Doc.Clear();
    EXPECT_EQ(Doc.Name, "Untitled");
    EXPECT_EQ(Doc.ProjectCount(), 0);
    EXPECT_EQ(Doc.PageIndex, 0);
    EXPECT_EQ(Doc.ScanIndex, 0);
    EXPECT_FALSE(Doc.AutoSave);
    ASSERT_TRUE(Doc.OnBeforeScan) << "events stay bound";

    TProjectInfo P;
    P.Name = "A.VBP";
    P.Path = "/x/";
    P.AddModule(Module({ctNo}));
    P.AddVBX(new TVBXInfo("A.OCX"));
    P.Clear();
    EXPECT_EQ(P.Name, "");
    EXPECT_EQ(P.Path, "");
    EXPECT_EQ(P.ModuleCount() + P.VBXCount(), 0);
    EXPECT_EQ(P.ImageIndex, 1);
    EXPECT_EQ(P.PageIndex, 2);

    TMDBInfo DB;
    DB.AddTable(new TMDBTableInfo);
    DB.AddForm(new TMDBFormInfo);
    DB.Clear();
    EXPECT_EQ(DB.ObjectCount(), 0);
    EXPECT_EQ(DB.ImageIndex, 25);
    EXPECT_EQ(DB.PageIndex, 5);
    DB.AddReport(new TMDBReportInfo);
    EXPECT_EQ(DB.ReportCount(), 1);

    TMDBQueryInfo Q;
    Q.AddHit(MDBHit(ctNo));
    Q.ImageIndex = 19;
    Q.Clear();
    EXPECT_EQ(Q.HitCount(), 0);
    EXPECT_EQ(Q.ImageIndex, 11);
    EXPECT_EQ(Q.PageIndex, 6);

    TVBXInfo V("C:\\WINDOWS\\X.OCX");
    V.Company = "c";
    V.Clear();
    EXPECT_EQ(V.Company, "");
    EXPECT_EQ(V.Name, "");
    EXPECT_EQ(V.PageIndex, 4);
    EXPECT_EQ(V.ImageIndex, 6);
}

TEST(CustomControl, SplitsTheNameAndReadsTheVersionResource) {
    TVBXInfo Missing("C:\\WINDOWS\\SYSTEM\\NOSUCH.OCX");
    EXPECT_EQ(Missing.Name, "NOSUCH.OCX");
    EXPECT_EQ(Missing.Path, "C:\\WINDOWS\\SYSTEM\\");
    EXPECT_EQ(Missing.Version + Missing.Company + Missing.Product + Missing.Description, "");
    EXPECT_EQ(TVBXInfo("GRID.VBX").Path, "");

    // A project names the file in upper case; the disk has it in its own case.
    const std::string Folder = std::string(QUORVEX_TEST_DATA) + "/verinfo/";
    TVBXInfo Found("PE32_FULL.DLL", Folder);
    EXPECT_EQ(Found.Name, "PE32_FULL.DLL");
    EXPECT_EQ(Found.Version, "1.2.3.4");
    EXPECT_EQ(Found.Company, "Brackle Controls");
    EXPECT_EQ(Found.Product, "Brackle Calendar");
    EXPECT_EQ(Found.Description, "Calendar control");

    TVBXInfo Vbx(Folder + "NE_CONTROL.VBX");
    EXPECT_EQ(Vbx.Version, "3.0.0.1");
    EXPECT_EQ(Vbx.Path, Folder);
}

TEST(CustomControl, AFileWithoutReadableVersionDataStillGetsANode) {
    const std::string Folder = std::string(QUORVEX_TEST_DATA) + "/verinfo/";
    for (const char* Name : {"plain.txt", "pe32_nolang.dll", "pe32_nofixed.dll", "pe32_truncated.dll"}) {
        TVBXInfo V(Folder + Name);
        EXPECT_EQ(V.Name, Name);
        EXPECT_EQ(V.Version + V.Company + V.Product + V.Description, "") << Name;
    }
}

TEST(Registration, ListsTheThirtyClassesInTheirOrder) {
    RegisterScanClasses();
    const char* Expected[] = {
        "THitInfo",        "THitInfos",         "TMDBHitInfo",     "TMDBHitInfos",    "TScanInfo",
        "TVBXInfo",        "TVBXInfos",         "TModuleInfo",     "TModuleInfos",    "TProjectInfo",
        "TProjectInfos",   "TMDBObjectInfo",    "TMDBObjectInfos", "TMDBTableInfo",   "TMDBTableInfos",
        "TMDBQueryInfo",   "TMDBQueryInfos",    "TMDBFormInfo",    "TMDBReportInfo",  "TMDBMacroInfo",
        "TMDBModuleInfo",  "TMDBIMEXSpecInfo",  "TMDBFormInfos",   "TMDBReportInfos", "TMDBMacroInfos",
        "TMDBModuleInfos", "TMDBIMEXSpecInfos", "TMDBInfo",        "TMDBInfos",       "TQuorvex"};
    std::vector<std::string> Ours;
    for (const TStreamableClass* C : StreamableClasses())
        if (std::find_if(std::begin(Expected), std::end(Expected),
                         [&](const char* N) { return std::string(N) == C->Name; }) != std::end(Expected))
            Ours.emplace_back(C->Name);
    EXPECT_EQ(Ours, std::vector<std::string>(std::begin(Expected), std::end(Expected)));
    EXPECT_EQ(&GetStreamable("tquorvex"), &TQuorvex::StaticClass);
}

TEST(Collections, HoldOnlyItemsOfTheirClass) {
    TMDBInfo DB;
    EXPECT_THROW(DB.AddTable(new TMDBQueryInfo), EInvalidCast) << "and the refused object is freed";
    EXPECT_EQ(DB.TableCount(), 0);
    TProjectInfo P;
    TProjectInfo Wrong;
    EXPECT_THROW(P.Modules().Add(&Wrong), EInvalidCast);
    // A module's hits may be database hits: they are hits too.
    TModuleInfo M;
    M.AddHit(new TMDBHitInfo);
    EXPECT_EQ(M.HitCount(), 1);
    TMDBTableInfo T;
    auto* Plain = new THitInfo;
    EXPECT_THROW(T.Hits().Add(Plain), EInvalidCast);
    delete Plain;
}

TEST(WindowsPaths, ResolveWithoutRegardToCase) {
    const std::string Root = testing::TempDir() + "qx_paths/";
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root + "Proj/Common");
    std::filesystem::create_directories(Root + "Lib");
    std::ofstream(Root + "Proj/Common/Util.bas") << "x";
    std::ofstream(Root + "Lib/Shared.bas") << "x";
    std::ofstream(Root + "Proj/Caf\xC3\xA9.bas") << "x"; // UTF-8 name on disk

    EXPECT_EQ(ResolveWindowsPath(Root + "Proj/", "COMMON\\UTIL.BAS"), Root + "Proj/Common/Util.bas");
    EXPECT_EQ(ResolveWindowsPath(Root + "Proj", "common\\Util.bas"), Root + "Proj/Common/Util.bas");
    EXPECT_EQ(ResolveWindowsPath(Root + "Proj/", "..\\LIB\\SHARED.BAS"), Root + "Proj/../Lib/Shared.bas");
    EXPECT_EQ(ResolveWindowsPath(Root + "Proj/", "CAF\xE9.BAS"), Root + "Proj/Caf\xC3\xA9.bas");
    EXPECT_EQ(ResolveWindowsPath("", "C:" + Root + "PROJ\\COMMON\\UTIL.BAS"), Root + "Proj/Common/Util.bas");
    EXPECT_EQ(ResolveWindowsPath("/elsewhere/", Root + "Lib/Shared.bas"), Root + "Lib/Shared.bas");
    // Nothing matches: the converted name, so that the error names what the project named.
    EXPECT_EQ(ResolveWindowsPath(Root + "Proj/", "COMMON\\NONE.BAS"), Root + "Proj/COMMON/NONE.BAS");

    EXPECT_EQ(ExtractWindowsPath("C:\\VB\\X.FRM"), "C:\\VB\\");
    EXPECT_EQ(ExtractWindowsName("C:X.FRM"), "X.FRM");
    std::filesystem::remove_all(Root);
}

// A Windows short name stands for the one entry it fits, in any case and with the blanks of the
// long name left out; where several fit, the error names them all.
TEST(WindowsPaths, ShortNamesStandForTheOneEntryTheyFit) {
    const std::string Root = testing::TempDir() + "qx_short/";
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root + "Calculator Tools");
    std::ofstream(Root + "Calculator Tools/frmCalculator.frm") << "x";
    std::ofstream(Root + "Calculator Tools/modCalc.bas") << "x";
    std::ofstream(Root + "modUtilDates.bas") << "x";
    std::ofstream(Root + "modUtilities.bas") << "x";
    std::ofstream(Root + "modUtilDates.frx") << "x";

    EXPECT_EQ(ResolveWindowsPath(Root, "CALCUL~1\\FRMCAL~1.FRM"),
              Root + "Calculator Tools/frmCalculator.frm");
    EXPECT_EQ(ResolveWindowsPath(Root, "calcul~1\\modcal~1.bas"), Root + "Calculator Tools/modCalc.bas");
    EXPECT_EQ(ResolveWindowsPath(Root, "MODUTI~1.FRX"), Root + "modUtilDates.frx");
    // Nothing fits: the name as the project gives it, as for any other missing file.
    EXPECT_EQ(ResolveWindowsPath(Root, "OTHER~1.BAS"), Root + "OTHER~1.BAS");
    try {
        ResolveWindowsPath(Root, "MODUTI~1.BAS");
        ADD_FAILURE() << "an ambiguous short name was resolved";
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message(),
                  "Cannot open file " + Root +
                      "MODUTI~1.BAS: the short name MODUTI~1.BAS fits 2 names: modUtilDates.bas, "
                      "modUtilities.bas");
    }
    std::filesystem::remove_all(Root);
}

TEST(SourceLines, KeepBytesAndAcceptEveryLineEnd) {
    const std::string File = testing::TempDir() + "qx_lines.bas";
    std::ofstream(File, std::ios::binary) << "a\r\nb\nc\rd\r\n\r\n\xE9";
    const auto Lines = LoadSourceLines(File);
    EXPECT_EQ(Lines, (std::vector<std::string>{"a", "b", "c", "d", "", "\xE9"}));
    std::ofstream(File, std::ios::binary) << std::string("x\0y", 3);
    EXPECT_EQ(LoadSourceLines(File), (std::vector<std::string>{std::string("x\0y", 3)}));
    // Text with a byte-order mark is read, and its lines counted, as Windows-1252 without the mark.
    for (const std::string& Marked :
         {std::string("\xEF\xBB\xBFx = Now\r\n\xC3\xA9\xE4\xB8\xAD"),
          std::string("\xFF\xFEx\0 \0=\0 \0N\0o\0w\0\r\0\n\0\xE9\0\x2D\x4E", 24)}) {
        std::ofstream(File, std::ios::binary) << Marked;
        EXPECT_EQ(LoadSourceLines(File), (std::vector<std::string>{"x = Now", "\xE9?"}));
        EXPECT_EQ(CountSourceLines(File), 2u);
    }
    try {
        LoadSourceLines(File + ".none");
        ADD_FAILURE();
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message(), "Cannot open file " + File + ".none");
    }
}

TEST(SourceLines, SplitLikeThePlainRuleWhateverTheBlockBoundaries) {
    const std::string File = testing::TempDir() + "qx_random_lines.bas";
    std::uint32_t Seed = 3;
    auto Next = [&]() { return Seed = Seed * 1664525u + 1013904223u; };
    for (int Round = 0; Round < 300; ++Round) {
        std::string Text(Next() % 60, ' ');
        for (char& C : Text)
            C = "ab\r\n"[(Next() >> 16) % 4];
        std::ofstream(File, std::ios::binary | std::ios::trunc) << Text;
        std::vector<std::string> Expected;
        std::size_t P = 0;
        while (P < Text.size()) {
            std::size_t E = P;
            while (E < Text.size() && Text[E] != '\r' && Text[E] != '\n')
                ++E;
            Expected.push_back(Text.substr(P, E - P));
            P = E + (E + 1 < Text.size() && Text[E] == '\r' && Text[E + 1] == '\n' ? 2 : 1);
        }
        ASSERT_EQ(LoadSourceLines(File), Expected);
    }
}
