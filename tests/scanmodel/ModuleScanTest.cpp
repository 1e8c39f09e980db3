// Module, project and document scans: hits on a little Visual Basic project, the form-layout
// skip, routine tracking and line counters, stop and resume, and the answers of the hit handler.

#include "scanmodel/ScanInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

const std::string ProjectFolder = std::string(QUORVEX_TEST_DATA) + "/vbproject/";

TStringList Words(std::initializer_list<const char*> List, bool Sorted) {
    TStringList L;
    for (const char* W : List)
        L.Add(W);
    L.SetSorted(Sorted);
    return L;
}

/// A module as the scan wizard builds it from an upper-cased project entry.
TModuleInfo* MakeModule(const std::string& Path, const std::string& Name, Longint Image) {
    auto* M = new TModuleInfo;
    M->Path = Path;
    M->Name = Name;
    M->ImageIndex = Image;
    return M;
}

/// Builds the Calendar project of tests/data/vbproject.
std::unique_ptr<TProjectInfo> CalendarProject() {
    auto P = std::make_unique<TProjectInfo>();
    P->Name = "Calendar.vbp";
    P->Path = ProjectFolder;
    P->AddModule(MakeModule(ProjectFolder, "FRMMAIN.FRM", 2));
    P->AddModule(MakeModule(ProjectFolder, "MODDATES.BAS", 3));
    P->AddModule(MakeModule(ProjectFolder, "CLSCALENDAR.CLS", 4));
    P->AddModule(MakeModule(ProjectFolder, "COMMON\\UTIL.BAS", 3));
    return P;
}

/// What a test sees of a hit.
using Seen = std::tuple<Longint, Longint, std::string, std::string, std::string, Longint>;

std::vector<Seen> SeenHits(const TModuleInfo& M) {
    std::vector<Seen> Out;
    for (Longint I = 0; I < M.HitCount(); ++I) {
        const THitInfo* H = M.GetHit(I);
        Out.emplace_back(H->LineInModule, H->LineInSub, H->Sub, H->Key, H->Variable, H->Position);
    }
    return Out;
}

/// Accepts every hit (the automatic mode) and records the file names it was given.
struct TAcceptAll {
    std::vector<std::string> Files;
    THitEvent Handler() {
        return [this](TObject*, THitInfo*&, const std::string& File, TModalResult& Accept) {
            EXPECT_EQ(Accept, mrNone);
            Files.push_back(File);
        };
    }
};

std::string WriteTemp(const std::string& Name, const std::string& Text) {
    const std::string File = testing::TempDir() + Name;
    std::ofstream(File, std::ios::binary) << Text;
    return File;
}

} // namespace

TEST(ModuleScan, FindsTheHitsOfARealProject) {
    auto P = CalendarProject();
    TAcceptAll Accept;
    for (Longint I = 0; I < P->ModuleCount(); ++I)
        P->GetModule(I)->OnHit = Accept.Handler();
    const auto Keys = Words({"Date", "DateAdd", "Now", "Year"}, false);
    const auto None = Words({}, true);
    P->Scan(Keys, None);

    EXPECT_EQ(SeenHits(*P->GetModule(0)), (std::vector<Seen>{
                                              {16, 1, "Form_Load", "Date", "txtDate", 4},
                                              {17, 2, "Form_Load", "Now", "lblNow", 4},
                                              {21, 1, "cmdNext_Click", "Date", "Date", 10},
                                              {22, 2, "cmdNext_Click", "Date", "DateAdd", 5},
                                              {22, 2, "cmdNext_Click", "DateAdd", "DateAdd", 5},
                                              {23, 3, "cmdNext_Click", "Year", "Year", 27},
                                          }))
        << "nothing from the layout block, nor from the comment";
    EXPECT_EQ(P->GetModule(0)->GetHit(5)->Line, "MsgBox \"Don't forget: \" & Year(d)");
    EXPECT_EQ(SeenHits(*P->GetModule(1)), (std::vector<Seen>{
                                              {0, 1, "Declarations", "Date", "modDates", 25},
                                              {5, 0, "NextDay", "Date", "Date", 36},
                                          }));
    EXPECT_EQ(SeenHits(*P->GetModule(2)), (std::vector<Seen>{
                                              {6, 7, "Declarations", "Date", "Date", 19},
                                              {8, 0, "Property Get Today", "Date", "Date", 32},
                                              {12, 0, "SetToday", "Date", "Date", 33},
                                          }));
    EXPECT_EQ(SeenHits(*P->GetModule(3)), (std::vector<Seen>{{2, 1, "Stamp", "Now", "Now", 10}}))
        << "a keyword inside a string literal is a hit";

    EXPECT_EQ(P->GetModule(0)->LinesOfCode, 25);
    EXPECT_EQ(P->GetModule(1)->LinesOfCode, 13);
    EXPECT_EQ(P->GetModule(3)->LinesOfCode, 4) << "lines ended by CR alone";
    EXPECT_EQ(P->ProjectLinesOfCode(), 25 + 13 + 15 + 4);
    for (Longint I = 0; I < 4; ++I) {
        EXPECT_EQ(P->GetModule(I)->LoadedLineCount(), 0) << "released after a complete scan";
        EXPECT_EQ(P->GetModule(I)->ScanIndex, 0);
    }
    EXPECT_EQ(P->GetModule(0)->ImageIndex, 7);
    EXPECT_EQ(P->GetModule(2)->ImageIndex, 9);
    EXPECT_EQ(P->ScanIndex, 0);
    EXPECT_EQ(Accept.Files.front(), ProjectFolder + "FRMMAIN.FRM");
    EXPECT_EQ(Accept.Files.back(), ProjectFolder + "COMMON\\UTIL.BAS");
}

TEST(ModuleScan, ExclusionsVetoByTheWholeWordAndPassToLaterOccurrences) {
    auto P = CalendarProject();
    TAcceptAll Accept;
    TModuleInfo* Form = P->GetModule(0);
    Form->OnHit = Accept.Handler();
    const auto Keys = Words({"Date", "DateAdd"}, false);
    const auto Excl = Words({"dateadd", "TXTDATE"}, true);
    Form->Scan(Keys, Excl);
    EXPECT_EQ(SeenHits(*Form), (std::vector<Seen>{
                                   {16, 1, "Form_Load", "Date", "Date", 23},
                                   {21, 1, "cmdNext_Click", "Date", "Date", 10},
                                   {22, 2, "cmdNext_Click", "Date", "Date", 21},
                               }));
}

TEST(ModuleScan, OnlyFormFilesSkipTheirLayoutBlock) {
    const std::string Text =
        "VERSION 5.00\r\nBegin VB.Form F\r\n   Caption = \"Date\"\r\n   Begin VB.Label L\r\n"
        "   End\r\nEnd\r\nSub Load()\r\n  x = Date\r\nEnd Sub\r\n";
    const auto Keys = Words({"Date"}, false);
    const auto None = Words({}, true);
    TAcceptAll Accept;
    for (const char* Name : {"LAYOUT.FRM", "LAYOUT.BAS"}) {
        WriteTemp(Name, Text);
        TModuleInfo M;
        M.Path = testing::TempDir();
        M.Name = Name;
        M.OnHit = Accept.Handler();
        M.Scan(Keys, None);
        std::vector<Longint> Lines;
        for (Longint I = 0; I < M.HitCount(); ++I)
            Lines.push_back(M.GetHit(I)->LineInModule);
        if (std::string(Name).ends_with(".FRM")) {
            EXPECT_EQ(Lines, std::vector<Longint>{7});
            EXPECT_EQ(M.GetHit(0)->LineInSub, 1);
        } else {
            EXPECT_EQ(Lines, (std::vector<Longint>{2, 7}));
        }
    }
}

TEST(ModuleScan, CommentsNeitherHitNorHideADeclaration) {
    // A declaration followed by a comment still names its routine; a keyword that stands only in a
    // comment gives no hit; one before the comment does.
    WriteTemp("COMMENTS.BAS", "Public Sub Calc()' Date of birth\r\n"
                              "    n = 1 ' Now and then\r\n"
                              "Rem Today\r\n"
                              "    d = Now 'Date\r\n"
                              "\tStatic Function Due(x) REM Date\r\n"
                              "x = Date\r\n");
    TModuleInfo M;
    M.Path = testing::TempDir();
    M.Name = "COMMENTS.BAS";
    TAcceptAll Accept;
    M.OnHit = Accept.Handler();
    M.Scan(Words({"Date", "Now", "Today"}, false), Words({}, true));
    EXPECT_EQ(SeenHits(M),
              (std::vector<Seen>{{3, 3, "Calc", "Now", "Now", 5}, {5, 1, "Due", "Date", "Date", 5}}));
}

TEST(ModuleScan, StopsAtTheLineInProgressAndResumesThere) {
    std::string Text = "Sub Foo()\n";
    for (int I = 1; I < 30; ++I)
        Text += "  d = Date\n";
    WriteTemp("STOP1.BAS", Text);
    WriteTemp("STOP2.BAS", Text);
    TProjectInfo P;
    P.AddModule(MakeModule(testing::TempDir(), "STOP1.BAS", 3));
    P.AddModule(MakeModule(testing::TempDir(), "STOP2.BAS", 3));
    TAcceptAll Accept;
    P.GetModule(0)->OnHit = Accept.Handler();
    P.GetModule(1)->OnHit = Accept.Handler();
    const auto Keys = Words({"Date"}, false);
    const auto None = Words({}, true);

    TModuleInfo* Second = P.GetModule(1);
    bool StopAt10 = true;
    Second->OnBeforeScan = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Second);
        if (StopAt10 && Second->ScanIndex == 10)
            StopScan = true;
    };
    P.Scan(Keys, None);
    EXPECT_EQ(P.GetModule(0)->HitCount(), 29);
    EXPECT_EQ(Second->ScanIndex, 10);
    EXPECT_EQ(Second->HitCount(), 10) << "line 10 was matched before the stop was seen";
    EXPECT_EQ(Second->LoadedLineCount(), 30);
    EXPECT_EQ(Second->CurrentSub(), "Foo");
    EXPECT_EQ(Second->ImageIndex, 3);
    EXPECT_EQ(P.ScanIndex, 1);

    StopAt10 = false;
    P.Scan(Keys, None);
    EXPECT_EQ(P.GetModule(0)->HitCount(), 29) << "the project resumes at the module in progress";
    EXPECT_EQ(Second->HitCount(), 30) << "line 10 again, then 11 to 29";
    const THitInfo* Again = Second->GetHit(10);
    EXPECT_EQ(Again->LineInModule, 10);
    EXPECT_EQ(Again->LineInSub, 1) << "the routine-line counter restarts";
    EXPECT_EQ(Again->Sub, "Foo");
    EXPECT_EQ(Second->ScanIndex, 0);
    EXPECT_EQ(Second->LoadedLineCount(), 0);
    EXPECT_EQ(Second->ImageIndex, 8);
    EXPECT_EQ(P.ScanIndex, 0);
}

TEST(ModuleScan, HandlerAnswersKeepDropOrAbort) {
    WriteTemp("ANSWERS.BAS", "a = Date\nb = Date\nc = Date\nd = Date\ne = Date\n");
    TProjectInfo P;
    auto* M = MakeModule(testing::TempDir(), "ANSWERS.BAS", 3);
    P.AddModule(M);
    int Calls = 0;
    M->OnHit = [&](TObject* Sender, THitInfo*& Hit, const std::string&, TModalResult& Accept) {
        EXPECT_EQ(Sender, M);
        switch (++Calls) {
        case 1:
            Accept = mrCancel;
            break;
        case 2:
            Hit->Compliant = ctMayBe;
            Hit->ErrorType = "Computation";
            Accept = mrOk;
            break;
        case 3: {
            // The handler may put another hit in place of the one it was given.
            auto* Other = new THitInfo(*Hit);
            Other->ErrorType = "Sort";
            delete Hit;
            Hit = Other;
            break;
        }
        default:
            Accept = mrAbort;
        }
    };
    const auto Keys = Words({"Date"}, false);
    const auto None = Words({}, true);
    EXPECT_THROW(P.Scan(Keys, None), EAbort);
    EXPECT_EQ(Calls, 4);
    ASSERT_EQ(M->HitCount(), 2);
    EXPECT_EQ(M->GetHit(0)->LineInModule, 1);
    EXPECT_EQ(M->GetHit(0)->ErrorType, "Computation");
    EXPECT_EQ(M->GetHit(1)->ErrorType, "Sort");
    EXPECT_EQ(M->ScanIndex, 3) << "an abort leaves the scan where it was";
    EXPECT_EQ(M->Compliant(), ctNo);
}

TEST(ModuleScan, WithoutAHandlerOnlyStepsThroughTheLines) {
    WriteTemp("QUIET.BAS", "x = Date\ny = Now\n");
    TModuleInfo M;
    M.Path = testing::TempDir();
    M.Name = "QUIET.BAS";
    int Before = 0, After = 0;
    M.OnBeforeScan = [&](TObject*) { ++Before; };
    M.OnAfterScan = [&](TObject*) { ++After; };
    M.Scan(Words({"Date", "Now"}, false), Words({}, true));
    EXPECT_EQ(M.HitCount(), 0);
    EXPECT_EQ(Before, 2);
    EXPECT_EQ(After, 2);
    EXPECT_EQ(M.ImageIndex, 3);
    EXPECT_EQ(M.LinesOfCode, 2);
}

TEST(ModuleScan, AModuleWithoutANameScansNothing) {
    TModuleInfo M;
    M.ImageIndex = 4;
    M.LinesOfCode = 50; // as a document may hold it
    M.ScanIndex = -3;
    TAcceptAll Accept;
    M.OnHit = Accept.Handler();
    M.Scan(Words({"Date"}, false), Words({}, true));
    EXPECT_EQ(M.HitCount(), 0);
    EXPECT_EQ(M.ImageIndex, 4);
}

TEST(ModuleScan, AMissingFileEndsTheScanWithTheFileError) {
    TProjectInfo P;
    auto* M = MakeModule("/nonexistent/folder/", "GONE.BAS", 3);
    M->LinesOfCode = 12;
    P.AddModule(M);
    try {
        P.Scan(Words({"Date"}, false), Words({}, true));
        ADD_FAILURE();
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message(), "Cannot open file /nonexistent/folder/GONE.BAS");
    }
    EXPECT_EQ(M->LinesOfCode, 12);
}

TEST(DocumentScan, ScansEveryProjectWithTheDocumentAsSender) {
    TQuorvex Doc;
    Doc.AddProject(CalendarProject().release());
    Doc.AddProject(CalendarProject().release());
    TAcceptAll Accept;
    for (Longint I = 0; I < 2; ++I)
        for (Longint J = 0; J < 4; ++J)
            Doc.GetProject(I)->GetModule(J)->OnHit = Accept.Handler();
    std::vector<Longint> Steps;
    Doc.OnBeforeScan = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Doc);
        Steps.push_back(Doc.ScanIndex);
    };
    StopScan = true; // a scan clears it when it begins
    Doc.Scan(Words({"Now"}, false), Words({}, true));
    EXPECT_EQ(Steps, (std::vector<Longint>{0, 1}));
    EXPECT_EQ(Accept.Files.size(), 4u);
    EXPECT_EQ(Doc.ScanIndex, 0);
    EXPECT_EQ(Doc.Compliant(), ctNo);
}
