// Scan documents: saving and reopening a document of 200 projects, 20 000 modules and 200 000
// hits through the buffered file stream (4096-byte buffer), as the main window does.

#include "scanmodel/ScanInfo.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

std::unique_ptr<TQuorvex> BigDocument() {
    auto Doc = std::make_unique<TQuorvex>();
    Doc->Name = "Benchmark";
    for (int P = 0; P < 200; ++P) {
        auto* Project = new TProjectInfo;
        Project->Name = "Project" + std::to_string(P) + ".vbp";
        Project->Path = "/home/user/projects/vb/project" + std::to_string(P) + "/";
        for (int M = 0; M < 100; ++M) {
            auto* Module = new TModuleInfo;
            Module->Name = "MODULE" + std::to_string(M) + ".BAS";
            Module->Path = Project->Path;
            Module->LinesOfCode = 500;
            for (int H = 0; H < 10; ++H) {
                auto* Hit = new THitInfo;
                Hit->Compliant = static_cast<TCompliant>(H % 3);
                Hit->ErrorType = H % 3 == 1 ? "Computation" : "";
                Hit->Line =
                    "txtDate.Text = Format(DateAdd(\"d\", " + std::to_string(H) + ", Date), \"dd/mm/yy\")";
                Hit->LineInModule = 40 * H + 7;
                Hit->LineInSub = 7;
                Hit->Position = 5;
                Hit->Sub = "Routine" + std::to_string(H);
                Hit->Key = "Date";
                Hit->Variable = "txtDate";
                Module->AddHit(Hit);
            }
            Project->AddModule(Module);
        }
        Doc->AddProject(Project);
    }
    return Doc;
}

const std::string File = (std::filesystem::temp_directory_path() / "qx_document_bench.qxs").string();

void BM_SaveDocument(benchmark::State& State) {
    const auto Doc = BigDocument();
    for (auto _ : State)
        SaveScanDocument(*Doc, File);
    State.counters["bytes"] = static_cast<double>(std::filesystem::file_size(File));
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

void BM_OpenDocument(benchmark::State& State) {
    SaveScanDocument(*BigDocument(), File);
    for (auto _ : State) {
        auto Doc = LoadScanDocument(File);
        benchmark::DoNotOptimize(Doc->ProjectCount());
        State.PauseTiming();
        Doc.reset();
        State.ResumeTiming();
    }
    std::filesystem::remove(File);
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
