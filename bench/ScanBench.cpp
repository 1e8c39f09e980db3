// Scan throughput on the generated Visual Basic project of VbProjectGen (about 366 000 lines,
// 12 MB, 300 modules, shaped after real projects), every hit accepted, progress events bound.
// Scanned twice: with the word lists the program ships (resources/scanner/KeyWords.TXT and
// ExcWords.TXT), and with 40 date keywords and 300 exclusions. Each run also times
// `grep -c -F -f` and `grep -c -i -F -f` with the same keywords over the same files; the ratios
// are the best scan's time over the best grep's. BM_GeneratedProject reports what the project
// holds and how long writing it takes.

#include "VbProjectGen.h"

#include "scanmodel/ScanInfo.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

const std::string SourceDir = QUORVEX_SOURCE_DIR;
const std::string ShippedKeyWords = SourceDir + "/resources/scanner/KeyWords.TXT";
const std::string ShippedExcludes = SourceDir + "/resources/scanner/ExcWords.TXT";

const char* const FortyKeyWords[40] = {"Date",       "Now",         "Year",        "Month",
                                       "Weekday",    "DateAdd",     "DateDiff",    "DatePart",
                                       "DateSerial", "DateValue",   "TimeSerial",  "TimeValue",
                                       "Timer",      "CDate",       "IsDate",      "FormatDateTime",
                                       "MonthName",  "WeekdayName", "DTPicker",    "Calendar",
                                       "Y2K",        "Century",     "LeapYear",    "Today",
                                       "Expiry",     "BirthDay",    "Fiscal",      "Julian",
                                       "dd/mm",      "mm/dd",       "yyyy",        "Hour(",
                                       "Minute(",    "Second(",     "Day(",        "Time$",
                                       "Date$",      "DateCreated", "LastUpdated", "Due"};

std::vector<std::string> FortyExclusions() {
    std::vector<std::string> W = {"txtDate",   "DateCreated", "lblToday",
                                  "txtExpiry", "dtExpiry",    "UpdateRecord"};
    for (int I = 0; W.size() < 300; ++I)
        W.push_back("ExcludedWord" + std::to_string(I));
    return W;
}

std::string ProjectFolder() {
    return (std::filesystem::temp_directory_path() / "qx_scan_bench").string();
}

/// The project every scan reads, written on first use and removed at exit (kept when
/// QX_KEEP_BENCH_PROJECT is set).
const qxbench::TVbProject& Project() {
    static const qxbench::TVbProject P = [] {
        std::atexit([] {
            if (std::getenv("QX_KEEP_BENCH_PROJECT") == nullptr)
                std::filesystem::remove_all(ProjectFolder());
        });
        return qxbench::GenerateVbProject(ProjectFolder(), qxbench::ReadWordList(ShippedKeyWords));
    }();
    return P;
}

double Seconds(std::chrono::steady_clock::duration D) {
    return std::chrono::duration<double>(D).count();
}

std::string Upper(std::string S) {
    for (char& C : S)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return S;
}

void BM_GeneratedProject(benchmark::State& State) {
    const std::string Folder = (std::filesystem::temp_directory_path() / "qx_scan_bench_gen").string();
    const std::vector<std::string> Shipped = qxbench::ReadWordList(ShippedKeyWords);
    qxbench::TVbProject P;
    for (auto _ : State)
        P = qxbench::GenerateVbProject(Folder, Shipped);
    const auto Lines = static_cast<double>(P.Lines);
    State.counters["modules"] = static_cast<double>(P.Modules.size());
    State.counters["lines"] = Lines;
    State.counters["bytes"] = static_cast<double>(P.Bytes);
    State.counters["avg_line_bytes"] = P.AverageLineBytes();
    State.counters["layout_share"] = static_cast<double>(P.LayoutLines) / Lines;
    State.counters["layout_block_share"] = static_cast<double>(P.LayoutBlockLines) / Lines;
    State.counters["long_line_share"] = static_cast<double>(P.LongLines) / Lines;
    State.counters["lf_files"] = static_cast<double>(P.LfFiles);
    State.counters["ansi_bytes"] = static_cast<double>(P.AnsiBytes);
    State.counters["keyword_line_share"] = static_cast<double>(qxbench::LinesHoldingAny(P, Shipped)) / Lines;
    State.counters["keyword_line_share_40"] = static_cast<double>(qxbench::LinesHoldingAny(
                                                  P, {std::begin(FortyKeyWords), std::end(FortyKeyWords)})) /
                                              Lines;
    std::filesystem::remove_all(Folder);
}
BENCHMARK(BM_GeneratedProject)->Unit(benchmark::kMillisecond)->Iterations(3);

/// Scans the project with Keys and Excludes.
void ScanProject(benchmark::State& State, const TStringList& Keys, const TStringList& Excludes) {
    const qxbench::TVbProject& P = Project();
    std::vector<std::string> Words;
    for (Longint I = 0; I < Keys.Count(); ++I)
        if (!Keys[I].empty()) // an empty pattern would make grep match every line
            Words.push_back(Keys[I]);
    const std::vector<std::string> Files = P.Files();
    const double Grep = qxbench::BestGrepSeconds(P.Folder, Files, Words, "", 5);
    const double GrepI = qxbench::BestGrepSeconds(P.Folder, Files, Words, "-i", 5);

    long long Hits = 0, Steps = 0;
    double Scan = 1e9; // the best scan, compared with the best grep: the machine may be busy
    for (auto _ : State) {
        State.PauseTiming();
        TProjectInfo Project;
        Project.Path = P.Folder;
        for (const qxbench::TVbModule& M : P.Modules) {
            auto* Module = new TModuleInfo;
            Module->Path = P.Folder;
            Module->Name = Upper(M.FileName); // as the project reader gives it
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
    State.counters["lines_per_s"] = static_cast<double>(P.Lines) / Scan;
    State.counters["hits_per_scan"] = static_cast<double>(Hits) / static_cast<double>(State.iterations());
    State.counters["scan_s"] = Scan;
    State.counters["grep_s"] = Grep;
    State.counters["grep_ratio"] = Grep > 0 ? Scan / Grep : 0;
    State.counters["grep_i_s"] = GrepI;
    State.counters["grep_i_ratio"] = GrepI > 0 ? Scan / GrepI : 0;
    benchmark::DoNotOptimize(Steps);
}

void BM_ScanShippedLists(benchmark::State& State) {
    // Read as the program reads its lists: one entry per line, CR LF taken off.
    TStringList Keys;
    Keys.LoadFromFile(ShippedKeyWords);
    TStringList Excludes;
    Excludes.SetSorted(true);
    TStringList Lines;
    Lines.LoadFromFile(ShippedExcludes);
    for (Longint I = 0; I < Lines.Count(); ++I)
        Excludes.Add(Lines[I]);
    ScanProject(State, Keys, Excludes);
}
BENCHMARK(BM_ScanShippedLists)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ScanFortyKeywords(benchmark::State& State) {
    TStringList Keys;
    for (const char* K : FortyKeyWords)
        Keys.Add(K);
    TStringList Excludes;
    Excludes.SetSorted(true);
    for (const std::string& W : FortyExclusions())
        Excludes.Add(W);
    ScanProject(State, Keys, Excludes);
}
BENCHMARK(BM_ScanFortyKeywords)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
