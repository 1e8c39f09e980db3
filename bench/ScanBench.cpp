// Scan throughput of the model on Visual Basic projects, every hit accepted, progress events
// bound. The projects are the files named on the command line (after the benchmark's own flags)
// or in QX_BENCH_PROJECTS (separated by ':'); without either, the generated folder of twelve
// projects of VbProjectGen (396 modules, about 257 000 lines, names on disk in other letter
// cases than the entries, shared modules listed as "..\Common\…").
//
// Scanned with the word lists the program ships (resources/scanner/KeyWords.TXT and
// ExcWords.TXT), and with 40 date keywords and 300 exclusions. Each round also runs
// `grep -c -F -f` and `grep -c -i -F -f` with the same keywords over the same files, started
// directly; counters give the smallest and the median of the rounds and their ratios.
// BM_OneLineModule scans a module of one 200 MB line (QX_BENCH_ONE_LINE_MB sets the size) and
// gives the growth of the process's peak memory over the module's size.

#include "VbProjectGen.h"

#include "scanmodel/ScanInfo.h"
#include "scanmodel/SourceFiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

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

/// The project files of the command line or of QX_BENCH_PROJECTS.
std::vector<std::string> GivenProjects;

/// The generated folder, written on first use and removed at exit (kept when
/// QX_KEEP_BENCH_PROJECT is set).
const qxbench::TVbFolder& Folder() {
    static const qxbench::TVbFolder F = [] {
        std::atexit([] {
            if (std::getenv("QX_KEEP_BENCH_PROJECT") == nullptr)
                fs::remove_all(qxbench::TempName("qx_scan_bench"));
        });
        return qxbench::GenerateVbFolder(qxbench::TempName("qx_scan_bench"),
                                         qxbench::ReadWordList(ShippedKeyWords));
    }();
    return F;
}

std::vector<std::string> ProjectFiles() {
    return GivenProjects.empty() ? Folder().ProjectFiles() : GivenProjects;
}

void BM_GeneratedFolder(benchmark::State& State) {
    const std::string Root = qxbench::TempName("qx_scan_bench_gen");
    const std::vector<std::string> Shipped = qxbench::ReadWordList(ShippedKeyWords);
    qxbench::TVbFolder F;
    for (auto _ : State)
        F = qxbench::GenerateVbFolder(Root, Shipped);
    long long Bytes = 0, LfFiles = 0, Shared = 0, Mismatched = 0;
    for (const qxbench::TVbProject& P : F.Projects) {
        Bytes += P.Bytes;
        LfFiles += P.LfFiles;
        for (const qxbench::TVbModule& M : P.Modules) {
            Shared += M.Entry.starts_with("..");
            Mismatched += !M.Entry.starts_with("..") && M.Entry != M.FileName;
        }
    }
    State.counters["projects"] = static_cast<double>(F.Projects.size());
    State.counters["modules"] = static_cast<double>(F.Modules());
    State.counters["lines"] = static_cast<double>(F.Lines());
    State.counters["bytes"] = static_cast<double>(Bytes);
    State.counters["lf_files"] = static_cast<double>(LfFiles);
    State.counters["shared_entries"] = static_cast<double>(Shared);
    State.counters["other_case_on_disk"] = static_cast<double>(Mismatched);
    fs::remove_all(Root);
}
BENCHMARK(BM_GeneratedFolder)->Unit(benchmark::kMillisecond)->Iterations(1);

/// Scans every project with Keys and Excludes, one after another; each round also runs both
/// greps over the same files.
void ScanProjects(benchmark::State& State, const TStringList& Keys, const TStringList& Excludes) {
    struct TProject {
        std::string File;
        std::vector<std::pair<std::string, std::string>> Modules;
    };
    std::vector<TProject> Projects;
    std::vector<std::string> Files;
    long long Lines = 0;
    for (const std::string& File : ProjectFiles()) {
        Projects.push_back({File, qxbench::ProjectModules(File)});
        for (const auto& [Path, Name] : Projects.back().Modules) {
            Files.push_back(ResolveWindowsPath({}, Path + Name));
            Lines += static_cast<long long>(CountSourceLines(Files.back()));
        }
    }
    std::vector<std::string> Words;
    for (Longint I = 0; I < Keys.Count(); ++I)
        if (!Keys[I].empty()) // an empty pattern would make grep match every line
            Words.push_back(Keys[I]);

    long long Hits = 0, Steps = 0;
    std::vector<double> Scan, Grep, GrepI;
    for (auto _ : State) {
        State.PauseTiming();
        for (const double S : qxbench::GrepSeconds(Files, Words, "", 1))
            Grep.push_back(S);
        for (const double S : qxbench::GrepSeconds(Files, Words, "-i", 1))
            GrepI.push_back(S);
        std::vector<std::unique_ptr<TProjectInfo>> Built;
        for (const TProject& P : Projects) {
            auto Project = std::make_unique<TProjectInfo>();
            for (const auto& [Path, Name] : P.Modules) {
                auto* Module = new TModuleInfo;
                Module->Path = Path;
                Module->Name = Name;
                Module->OnHit = [&](TObject*, THitInfo*&, const std::string&, TModalResult&) { ++Hits; };
                Module->OnBeforeScan = [&](TObject*) { ++Steps; };
                Project->AddModule(Module);
            }
            Project->OnBeforeScan = [&](TObject*) { ++Steps; };
            Built.push_back(std::move(Project));
        }
        State.ResumeTiming();
        const auto T0 = std::chrono::steady_clock::now();
        for (const auto& Project : Built)
            Project->Scan(Keys, Excludes);
        Scan.push_back(qxbench::Seconds(std::chrono::steady_clock::now() - T0));
        State.PauseTiming();
        Built.clear(); // frees the hits outside the timed part
        State.ResumeTiming();
    }
    State.counters["projects"] = static_cast<double>(Projects.size());
    State.counters["modules"] = static_cast<double>(Files.size());
    State.counters["lines"] = static_cast<double>(Lines);
    State.counters["hits_per_scan"] = static_cast<double>(Hits) / static_cast<double>(State.iterations());
    State.counters["lines_per_s"] = static_cast<double>(Lines) / qxbench::Median(Scan);
    qxbench::SetTimes(State.counters, "scan", Scan);
    qxbench::SetTimes(State.counters, "grep", Grep);
    qxbench::SetTimes(State.counters, "grep_i", GrepI);
    qxbench::SetRatios(State.counters, "over_grep", Scan, Grep);
    qxbench::SetRatios(State.counters, "over_grep_i", Scan, GrepI);
    benchmark::DoNotOptimize(Steps);
}

/// The shipped lists, read as the program reads them: one entry per line, CR LF taken off.
void ShippedLists(TStringList& Keys, TStringList& Excludes) {
    Keys.LoadFromFile(ShippedKeyWords);
    Excludes.SetSorted(true);
    TStringList Lines;
    Lines.LoadFromFile(ShippedExcludes);
    for (Longint I = 0; I < Lines.Count(); ++I)
        Excludes.Add(Lines[I]);
}

void BM_ScanShippedLists(benchmark::State& State) {
    TStringList Keys, Excludes;
    ShippedLists(Keys, Excludes);
    ScanProjects(State, Keys, Excludes);
}
BENCHMARK(BM_ScanShippedLists)->Unit(benchmark::kMillisecond)->Iterations(9);

void BM_ScanFortyKeywords(benchmark::State& State) {
    TStringList Keys;
    for (const char* K : FortyKeyWords)
        Keys.Add(K);
    TStringList Excludes;
    Excludes.SetSorted(true);
    for (const std::string& W : FortyExclusions())
        Excludes.Add(W);
    ScanProjects(State, Keys, Excludes);
}
BENCHMARK(BM_ScanFortyKeywords)->Unit(benchmark::kMillisecond)->Iterations(9);

/// A module of one line, repeated to the size asked for: with argument 0 the generated modules'
/// code lines that name a keyword of the shipped list and hold no comment, joined by the
/// statement separator ':'; with 1 date arithmetic, a keyword every nine bytes.
void BM_OneLineModule(benchmark::State& State) {
    const char* Mb = std::getenv("QX_BENCH_ONE_LINE_MB");
    const long long Size = (Mb != nullptr ? std::atoll(Mb) : 200) * 1000 * 1000;
    const std::string Dir = qxbench::TempName("qx_scan_bench_line") + "/";
    fs::create_directories(Dir);
    {
        const std::vector<std::string> Words = qxbench::ReadWordList(ShippedKeyWords);
        std::string Text;
        if (State.range(0) == 1)
            Text = "d = DateSerial(Year(Now), Month(Now), Day(Now)) : t = Format(Time, \"hh:mm\") : ";
        else
            for (const qxbench::TVbProject& P : Folder().Projects)
                for (const std::string& File : P.Files())
                    for (const std::string& Line : LoadSourceLines(File))
                        if (Line.find('\'') == std::string::npos &&
                            std::any_of(Words.begin(), Words.end(), [&](const std::string& W) {
                                return Line.find(W) != std::string::npos;
                            }))
                            Text += Line + " : ";
        std::ofstream Out(Dir + "ONELINE.BAS", std::ios::binary);
        for (long long Written = 0; Written < Size; Written += static_cast<long long>(Text.size()))
            Out.write(Text.data(),
                      static_cast<std::streamsize>(std::min<long long>(Size - Written, Text.size())));
    }
    TStringList Keys, Excludes;
    ShippedLists(Keys, Excludes);
    std::vector<double> Times, Peaks;
    Longint Hits = 0;
    for (auto _ : State) {
        TModuleInfo Module;
        Module.Path = Dir;
        Module.Name = "ONELINE.BAS";
        Module.OnHit = [&](TObject*, THitInfo*&, const std::string&, TModalResult&) {};
        const long long Before = qxbench::StatusKb("VmRSS");
        qxbench::ResetPeakMemory();
        const auto T0 = std::chrono::steady_clock::now();
        Module.Scan(Keys, Excludes);
        Times.push_back(qxbench::Seconds(std::chrono::steady_clock::now() - T0));
        Peaks.push_back(static_cast<double>(qxbench::StatusKb("VmHWM") - Before) * 1024.0);
        Hits = Module.HitCount();
    }
    fs::remove_all(Dir);
    State.counters["module_bytes"] = static_cast<double>(Size);
    State.counters["hits"] = static_cast<double>(Hits);
    qxbench::SetTimes(State.counters, "scan", Times);
    // The first scan's: the text's buffer is used again by the later ones.
    State.counters["peak_growth_bytes"] = Peaks.front();
    State.counters["peak_over_module"] = Peaks.front() / static_cast<double>(Size);
}
BENCHMARK(BM_OneLineModule)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    GivenProjects = qxbench::ProjectFilesFrom(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
