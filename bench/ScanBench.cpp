// Scan throughput: a deterministic Visual Basic project of 1 000 000 lines in 200 modules
// (forms with layout blocks, modules, classes; about one line in 50 holds a date keyword) is
// scanned with 40 keywords and 300 exclusions, every hit accepted, progress events bound. The
// same run times `grep -c -F -f keywords` over the same files; the counter grep_ratio is the
// best scan's time over the best grep's.

#include "scanmodel/ScanInfo.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

constexpr int ModuleCount = 200;
constexpr int TotalLines = 1000000;
constexpr int LinesPerModule = TotalLines / ModuleCount;

const char* const KeyWords[40] = {"Date",       "Now",         "Year",        "Month",
                                  "Weekday",    "DateAdd",     "DateDiff",    "DatePart",
                                  "DateSerial", "DateValue",   "TimeSerial",  "TimeValue",
                                  "Timer",      "CDate",       "IsDate",      "FormatDateTime",
                                  "MonthName",  "WeekdayName", "DTPicker",    "Calendar",
                                  "Y2K",        "Century",     "LeapYear",    "Today",
                                  "Expiry",     "BirthDay",    "Fiscal",      "Julian",
                                  "dd/mm",      "mm/dd",       "yyyy",        "Hour(",
                                  "Minute(",    "Second(",     "Day(",        "Time$",
                                  "Date$",      "DateCreated", "LastUpdated", "Due"};

/// Code lines that hold no keyword.
const char* const Plain[] = {
    "    Dim i As Integer",
    "    For i = 1 To nCount",
    "    Next i",
    "    If rs.EOF Then Exit Sub",
    "    strName = Trim$(txtName.Text)",
    "    Call LoadList(lstItems, \"Select * From Items\")",
    "    total = total + rs!Amount * nQty  ' running sum",
    "    MsgBox \"Record saved\", vbInformation",
    "    Set rs = Nothing",
    "    lblStatus.Caption = \"Ready\"",
    "    End If",
    "    sql = sql & \" WHERE ID = \" & CStr(lngID)",
    "    On Error GoTo ErrHandler",
    "    cboType.AddItem \"Standard\"",
    "",
};

/// Lines with a keyword; some of their words are on the exclusion list.
const char* const Dated[] = {
    "    d = DateAdd(\"d\", 1, Date)",
    "    txtDate.Text = Format(Now, \"dd/mm/yy\")",
    "    If Year(dtStart) < 1900 Then dtStart = DateSerial(1900, 1, 1)",
    "    nDays = DateDiff(\"d\", dtFrom, dtTo)",
    "    rs!DateCreated = Now",
    "    lblToday.Caption = WeekdayName(Weekday(Date))",
    "    If IsDate(txtExpiry.Text) Then dtExpiry = CDate(txtExpiry.Text)",
    "    nMonth = Month(dtInvoice)  ' fiscal period",
};

std::vector<std::string> Exclusions() {
    std::vector<std::string> W = {"txtDate",   "DateCreated", "lblToday",
                                  "txtExpiry", "dtExpiry",    "UpdateRecord"};
    for (int I = 0; W.size() < 300; ++I)
        W.push_back("ExcludedWord" + std::to_string(I));
    return W;
}

const char* Extension(int Module) {
    return Module % 10 < 3 ? ".FRM" : Module % 10 < 8 ? ".BAS" : ".CLS";
}

/// Writes the project; returns the folder.
std::string Generate() {
    const std::string Folder = (std::filesystem::temp_directory_path() / "qx_scan_bench/").string();
    std::filesystem::remove_all(Folder);
    std::filesystem::create_directories(Folder);
    std::mt19937 Rng(1998);
    for (int M = 0; M < ModuleCount; ++M) {
        std::ofstream Out(Folder + "MOD" + std::to_string(M) + Extension(M), std::ios::binary);
        int Line = 0;
        auto Emit = [&](const std::string& S) {
            Out << S << "\r\n";
            ++Line;
        };
        if (std::string(Extension(M)) == ".FRM") {
            Emit("VERSION 5.00");
            Emit("Begin VB.Form frmMain" + std::to_string(M));
            for (int C = 0; C < 20; ++C) {
                Emit("   Begin VB.TextBox txtDate" + std::to_string(C));
                Emit("      Text            =   \"Date\"");
                Emit("      Top             =   " + std::to_string(120 * C));
                Emit("   End");
            }
            Emit("End");
            Emit("Attribute VB_Name = \"frmMain" + std::to_string(M) + "\"");
        }
        int Routine = 0;
        while (Line < LinesPerModule) {
            if (Line % 40 == 0) {
                Emit("Private Sub Routine" + std::to_string(Routine++) + "()");
            } else if (Line % 40 == 39) {
                Emit("End Sub");
            } else if (Rng() % 50 == 0) {
                Emit(Dated[Rng() % std::size(Dated)]);
            } else {
                Emit(Plain[Rng() % std::size(Plain)]);
            }
        }
    }
    std::ofstream Keys(Folder + "keywords.txt", std::ios::binary);
    for (const char* K : KeyWords)
        Keys << K << "\n";
    return Folder;
}

double Seconds(std::chrono::steady_clock::duration D) {
    return std::chrono::duration<double>(D).count();
}

/// Best of five runs of grep over the project's files.
double GrepSeconds(const std::string& Folder) {
    const std::string Command = "cd '" + Folder + "' && grep -c -F -f keywords.txt MOD* > /dev/null";
    double Best = 1e9;
    for (int I = 0; I < 5; ++I) {
        const auto T0 = std::chrono::steady_clock::now();
        if (std::system(Command.c_str()) == -1)
            return 0;
        Best = std::min(Best, Seconds(std::chrono::steady_clock::now() - T0));
    }
    return Best;
}

void BM_ScanProject(benchmark::State& State) {
    const std::string Folder = Generate();
    TStringList Keys;
    for (const char* K : KeyWords)
        Keys.Add(K);
    TStringList Excludes;
    Excludes.SetSorted(true);
    for (const std::string& W : Exclusions())
        Excludes.Add(W);
    const double Grep = GrepSeconds(Folder);

    long long Hits = 0, Steps = 0;
    double Scan = 1e9; // the best scan, compared with the best grep: the machine may be busy
    for (auto _ : State) {
        State.PauseTiming();
        TProjectInfo Project;
        Project.Path = Folder;
        for (int M = 0; M < ModuleCount; ++M) {
            auto* Module = new TModuleInfo;
            Module->Path = Folder;
            Module->Name = "MOD" + std::to_string(M) + Extension(M);
            Module->OnHit = [&](TObject*, THitInfo*&, const std::string&, TModalResult&) { ++Hits; };
            Module->OnBeforeScan = [&](TObject*) { ++Steps; };
            Project.AddModule(Module);
        }
        Project.OnBeforeScan = [&](TObject*) { ++Steps; };
        State.ResumeTiming();
        const auto T0 = std::chrono::steady_clock::now();
        Project.Scan(Keys, Excludes);
        Scan = std::min(Scan, Seconds(std::chrono::steady_clock::now() - T0));
        benchmark::DoNotOptimize(Project.ProjectLinesOfCode());
        State.PauseTiming();
        Project.Clear(); // frees the hits outside the timed part
        State.ResumeTiming();
    }
    State.counters["lines_per_s"] = TotalLines / Scan;
    State.counters["hits_per_scan"] = static_cast<double>(Hits) / static_cast<double>(State.iterations());
    State.counters["grep_s"] = Grep;
    State.counters["scan_s"] = Scan;
    State.counters["grep_ratio"] = Grep > 0 ? Scan / Grep : 0;
    benchmark::DoNotOptimize(Steps);
    if (std::getenv("QX_KEEP_BENCH_PROJECT") == nullptr)
        std::filesystem::remove_all(Folder);
}
BENCHMARK(BM_ScanProject)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
