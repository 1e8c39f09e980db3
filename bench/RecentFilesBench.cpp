// The recent-files list against a settings file that holds many entries (damaged, or edited by
// hand): loading it at start-up, and saving it at Exit, which is when the main window's list
// writes itself back. The file is made anew for every run with Count entries F0..F(Count-1)
// under the main window's key, beside a few other keys of the program.
//
//   build/test/bench/recentfiles_bench --benchmark_filter=Exit
//
// Counter: entries, the values in the settings file before the run.

#include "scanner/MRUList.h"

#include <benchmark/benchmark.h>

#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

const QString MainKey = QStringLiteral("Software/Brackle/Quorvex/VB/MRU Items/");

/// A settings folder of the benchmark's own, so that the user's file is never touched.
const QTemporaryDir& SettingsHome() {
    static const auto Dir = [] {
        auto D = std::make_unique<QTemporaryDir>();
        ::setenv("XDG_CONFIG_HOME", D->path().toLocal8Bit().constData(), 1);
        return D;
    }();
    return *Dir;
}

void MakeSettingsFile(int Count) {
    const QString File = SettingsHome().path() + QStringLiteral("/Quorvex/Registry.ini");
    QFile::remove(File);
    QSettings Raw(File, QSettings::IniFormat);
    Raw.setValue(QStringLiteral("Software/Brackle/Quorvex/Other/Value"), QStringLiteral("kept"));
    for (int I = 0; I < Count; ++I)
        Raw.setValue(MainKey + QStringLiteral("F%1").arg(I),
                     QStringLiteral("/home/user/audits/project-%1/audit.qxs").arg(I));
    Raw.sync();
}

std::unique_ptr<TMRUFileList> MainWindowList() {
    auto List = std::make_unique<TMRUFileList>();
    List->SetSubmenuName("Reopen");
    List->AutoSaveName = "\\Software\\Brackle\\Quorvex\\VB";
    List->AutoSaveKey = "MRU Items";
    return List;
}

void BM_LoadRecentFiles(benchmark::State& State) {
    const int Count = static_cast<int>(State.range(0));
    MakeSettingsFile(Count);
    for (auto _ : State) {
        auto List = MainWindowList();
        List->Loaded();
        benchmark::DoNotOptimize(List->FileNames().Count());
        List->AutoSave = false;
    }
    State.counters["entries"] = Count;
}

// Exit alone: the list is loaded outside the time, its destruction (the save) is timed.
void BM_ExitWithRecentFiles(benchmark::State& State) {
    const int Count = static_cast<int>(State.range(0));
    for (auto _ : State) {
        MakeSettingsFile(Count);
        auto List = MainWindowList();
        List->Loaded();
        const auto T0 = std::chrono::steady_clock::now();
        List.reset();
        State.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count());
    }
    State.counters["entries"] = Count;
}

} // namespace

BENCHMARK(BM_LoadRecentFiles)->Arg(5)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExitWithRecentFiles)
    ->Arg(5)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
