// The database reader program against the field's public reader on the same files: one run of
// quorvex-mdbread (everything the engine and the Access service take from a file: catalogue,
// properties, system tables, modules' code, forms' and reports' controls) against one run each of
// mdb-tables and mdb-queries (the names of the tables and of the queries).

#include "platform/dao/DAO.h"
#include "platform/dao/ReaderProcess.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

void BM_ReaderProgram(benchmark::State& State, const std::string& File) {
    const std::string Path = QUORVEX_TEST_DATA "/" + File;
    std::size_t Modules = 0, Designs = 0;
    for (auto _ : State) {
        const auto Data = dao::ReadSnapshot(Path, dao::ReaderProgram(), dao::ReaderTimeLimit());
        Modules = Data->Project.Modules.size();
        Designs = Data->Project.Forms.size() + Data->Project.Reports.size();
    }
    State.counters["modules"] = static_cast<double>(Modules);
    State.counters["designs"] = static_cast<double>(Designs);
}

void BM_MdbTablesAndQueries(benchmark::State& State, const std::string& File) {
    const std::string Path = QUORVEX_TEST_DATA "/" + File;
    const std::string Command =
        "mdb-tables -1 '" + Path + "' >/dev/null 2>&1 && mdb-queries -1 '" + Path + "' >/dev/null 2>&1";
    for (auto _ : State)
        if (std::system(Command.c_str()) != 0) {
            State.SkipWithError("mdb-tables or mdb-queries is missing or failed");
            return;
        }
}

#define QUORVEX_READER_BENCH(Name, File)                                                                     \
    BENCHMARK_CAPTURE(BM_ReaderProgram, Name, File)->Unit(benchmark::kMillisecond)->UseRealTime();           \
    BENCHMARK_CAPTURE(BM_MdbTablesAndQueries, Name, File)->Unit(benchmark::kMillisecond)->UseRealTime();

QUORVEX_READER_BENCH(nwind, "nwind.mdb")
QUORVEX_READER_BENCH(Northwind2000, "Northwind2000.mdb")
QUORVEX_READER_BENCH(NorthwindChunks, "Northwind-chunks.mdb")
QUORVEX_READER_BENCH(Testing, "vcs-testing/Testing.accdb")

} // namespace
