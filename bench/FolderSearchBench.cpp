// The folder search of Scan Directories over a generated tree of 50 000 folders and 200 000 files
// (up to eight levels deep, a few hundred project files and databases among them), against
// `find -iname` for the same three kinds in the same run, with its output written to a file.
// Both run on a warm cache. Counters: the best time of each, their ratio, and the matches found
// by each (the same number: the tree has no hidden folders).

#include "scanner/FolderWalk.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int Folders = 50'000;
constexpr int FilesPerFolder = 4;
constexpr int Fanout = 6;
// Every MatchEvery-th file is a project file or a database: 200 000 / 667 = 299 matches.
constexpr int MatchEvery = 667;

struct TTree {
    std::string Root;
    int Matches = 0;
};

/// Folders breadth-first with Fanout children each; module-like files in every folder, and now
/// and then a project file (".vbp", ".MAK") or a database (".mdb") instead.
TTree Generate(const fs::path& Root) {
    fs::remove_all(Root);
    fs::create_directories(Root);
    TTree Tree{Root.string()};
    const char* const Plain[] = {".frm", ".bas", ".cls", ".txt"};
    const char* const Matching[] = {".vbp", ".MAK", ".mdb"};
    std::deque<fs::path> Queue{Root};
    int Made = 1, File = 0;
    while (!Queue.empty()) {
        const fs::path Folder = Queue.front();
        Queue.pop_front();
        for (int I = 0; I < FilesPerFolder; ++I, ++File) {
            const bool Match = File % MatchEvery == MatchEvery - 1;
            const std::string Name =
                "File" + std::to_string(File) + (Match ? Matching[Tree.Matches % 3] : Plain[I % 4]);
            std::ofstream(Folder / Name) << "x";
            Tree.Matches += Match;
        }
        for (int I = 0; I < Fanout && Made < Folders; ++I, ++Made) {
            const fs::path Sub = Folder / ("Dir" + std::to_string(Made));
            fs::create_directory(Sub);
            Queue.push_back(Sub);
        }
    }
    return Tree;
}

double Seconds(std::chrono::steady_clock::duration D) {
    return std::chrono::duration<double>(D).count();
}

/// The best of Runs runs of find; its matches are counted from the output file.
double BestFind(const std::string& Root, int Runs, int& Found) {
    const std::string Out =
        (fs::temp_directory_path() / ("qx_find_" + std::to_string(getpid()) + ".out")).string();
    const std::string Command =
        "find '" + Root + "' -iname '*.mak' -o -iname '*.vbp' -o -iname '*.mdb' > '" + Out + "'";
    double Best = 1e9;
    for (int I = 0; I < Runs; ++I) {
        const auto T0 = std::chrono::steady_clock::now();
        const int Status = std::system(Command.c_str());
        const double S = Seconds(std::chrono::steady_clock::now() - T0);
        if (Status == -1 || !WIFEXITED(Status) || WEXITSTATUS(Status) != 0)
            return 0;
        Best = std::min(Best, S);
    }
    std::ifstream In(Out);
    Found = 0;
    for (std::string Line; std::getline(In, Line);)
        ++Found;
    fs::remove(Out);
    return Best;
}

void BM_FolderSearch(benchmark::State& State) {
    const TTree Tree = Generate(fs::temp_directory_path() / "qx_foldersearch_bench");
    int FindFound = 0;
    BestFind(Tree.Root, 1, FindFound); // warms the cache for both
    const double Find = BestFind(Tree.Root, 5, FindFound);

    double Search = 1e9;
    std::size_t Found = 0;
    for (auto _ : State) {
        const auto T0 = std::chrono::steady_clock::now();
        const std::vector<std::string> Results = SearchFolders(Tree.Root);
        Search = std::min(Search, Seconds(std::chrono::steady_clock::now() - T0));
        Found = Results.size();
        benchmark::DoNotOptimize(Results.data());
    }
    State.counters["folders"] = Folders;
    State.counters["files"] = Folders * FilesPerFolder;
    State.counters["matches"] = Tree.Matches;
    State.counters["search_found"] = static_cast<double>(Found);
    State.counters["find_found"] = FindFound;
    State.counters["search_s"] = Search;
    State.counters["find_s"] = Find;
    State.counters["search_over_find"] = Find > 0 ? Search / Find : 0;
    fs::remove_all(Tree.Root);
}
BENCHMARK(BM_FolderSearch)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
