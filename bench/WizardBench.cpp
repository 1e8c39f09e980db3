// The scan wizard's whole path, as a user takes it in automatic mode: the project file picked in
// the path editor, read, its modules built, scanned with the progress display running, and the
// result merged into the document and the tree. Measured on the generated project the scan
// benchmarks share (VbProjectGen: about 366 000 lines in 300 modules, shaped after real projects)
// and on the example project, with the word list the program ships with. In the same run: the
// model's own scan of the same files (modules built and counted as the wizard does, progress
// events bound to a counter) and `grep -c -F -f` with the same word list. Counters: the best time
// of each and the ratios wizard / model and wizard / grep. Also the fixture databases picked in the
// wizard: the catalogue reader's and the scan's wall time.

#include "VbProjectGen.h"

#include "components/CDKPathE.h"
#include "platform/ui/Application.h"
#include "scanner/Main.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"

#include "ui_ScanWizard1.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string SourceDir = QUORVEX_SOURCE_DIR;

double Seconds(std::chrono::steady_clock::duration D) {
    return std::chrono::duration<double>(D).count();
}

/// The model's scan of the modules the wizard built, prepared as the wizard prepares them, best
/// of Runs. Freeing the scanned project is left out of the time, as it is for the wizard.
double ModelScan(const TProjectInfo& Built, int Runs, Longint& Hits) {
    double Best = 1e9;
    for (int Run = 0; Run < Runs; ++Run) {
        TProjectInfo Project;
        long long Steps = 0;
        Hits = 0;
        const auto T0 = std::chrono::steady_clock::now();
        for (Longint I = 0; I < Built.ModuleCount(); ++I) {
            auto* Module = new TModuleInfo;
            Module->Path = Built.GetModule(I)->Path;
            Module->Name = Built.GetModule(I)->Name;
            Module->CountLines();
            Module->OnBeforeScan = [&](TObject*) { ++Steps; };
            Module->OnHit = [&](TObject*, THitInfo*&, const std::string&, TModalResult&) { ++Hits; };
            Project.AddModule(Module);
        }
        Project.Scan(*KeyWordList, *ExcludeWordList);
        Best = std::min(Best, Seconds(std::chrono::steady_clock::now() - T0));
        benchmark::DoNotOptimize(Steps);
    }
    return Best;
}

/// The program's windows, over a program folder that holds the word list the program ships with.
struct TProgram {
    QTemporaryDir Dir;
    std::string Folder = Dir.path().toStdString() + "/";
    bool WordList = fs::copy_file(SourceDir + "/resources/scanner/KeyWords.TXT", Folder + "KeyWords.TXT");
    TfrmMain Main{Folder, {}};
    TfrmScanHit Prompt;
    TfrmScanWizard Wizard;
};

void WizardPath(benchmark::State& State, const std::string& ProjectFile) {
    TProgram Program;
    TfrmMain& Main = Program.Main;
    TfrmScanWizard& Wizard = Program.Wizard;

    // One run from the path editor's drop to the merged tree.
    auto Run = [&] {
        QTimer::singleShot(0, [&] {
            Wizard.ui->sbSelect->SetText(QString::fromStdString(ProjectFile));
            Wizard.ui->sbSelect->DoDialogDrop();
            Wizard.SetScanMode(1);
            Wizard.ui->btnNext->click();
        });
        Main.sbScanClick();
        Modified = false;
    };

    Run();
    if (Document->ProjectCount() != 1) {
        State.SkipWithError("the wizard merged nothing");
        return;
    }
    const TProjectInfo& Built = *Document->GetProject(0);
    Longint WizardHits = 0;
    std::vector<std::string> Files;
    for (Longint I = 0; I < Built.ModuleCount(); ++I) {
        WizardHits += Built.GetModule(I)->HitCount();
        Files.push_back(ResolveWindowsPath({}, Built.GetModule(I)->Path + Built.GetModule(I)->Name));
    }
    // grep over the module files the project lists (the wizard's module list), best of five; the
    // words go to grep with Unix line ends (the program's list file has Windows ones).
    std::vector<std::string> Words;
    for (Longint I = 0; I < KeyWordList->Count(); ++I)
        if (!(*KeyWordList)[I].empty())
            Words.push_back((*KeyWordList)[I]);
    const double Grep = qxbench::BestGrepSeconds(Built.Path, Files, Words, "", 5);
    Longint ModelHits = 0;
    const double Model = ModelScan(*Document->GetProject(0), 3, ModelHits);

    double WizardTime = 1e9;
    for (auto _ : State) {
        State.PauseTiming();
        Main.FileNew(); // frees the last run's document outside the timed part
        State.ResumeTiming();
        const auto T0 = std::chrono::steady_clock::now();
        Run();
        WizardTime = std::min(WizardTime, Seconds(std::chrono::steady_clock::now() - T0));
    }
    State.counters["lines"] = static_cast<double>(Document->GetProject(0)->ProjectLinesOfCode());
    State.counters["hits"] = static_cast<double>(WizardHits);
    State.counters["model_hits"] = static_cast<double>(ModelHits);
    State.counters["wizard_s"] = WizardTime;
    State.counters["model_s"] = Model;
    State.counters["grep_s"] = Grep;
    State.counters["wizard_over_model"] = WizardTime / Model;
    State.counters["wizard_over_grep"] = Grep > 0 ? WizardTime / Grep : 0;
    Main.FileNew();
}

void BM_WizardGeneratedProject(benchmark::State& State) {
    const qxbench::TVbProject Project =
        qxbench::GenerateVbProject((fs::temp_directory_path() / "qx_wizard_bench").string(),
                                   qxbench::ReadWordList(SourceDir + "/resources/scanner/KeyWords.TXT"));
    WizardPath(State, Project.ProjectFile);
    fs::remove_all(Project.Folder);
}
BENCHMARK(BM_WizardGeneratedProject)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WizardExampleProject(benchmark::State& State) {
    WizardPath(State, SourceDir + "/examples/Ledger/Ledger.vbp");
}
BENCHMARK(BM_WizardExampleProject)->Unit(benchmark::kMillisecond)->Iterations(20);

/// A fixture database picked in the wizard in automatic mode: the catalogue reader's time (the
/// pick up to the listed objects, code files written) and the scan's up to the merged tree.
void DatabasePath(benchmark::State& State, const std::string& Fixture) {
    TProgram Program;
    TfrmMain& Main = Program.Main;
    TfrmScanWizard& Wizard = Program.Wizard;
    QTemporaryDir Data;
    const fs::path Target(Data.path().toStdString());
    const fs::path Source = fs::path(QUORVEX_TEST_DATA) / Fixture;
    fs::copy_file(Source, Target / Fixture);
    if (fs::exists(Source.string() + ".src"))
        fs::copy(Source.string() + ".src", (Target / Fixture).string() + ".src", fs::copy_options::recursive);
    const QString File = QString::fromStdString((Target / Fixture).string());

    // The wizard's notes after the catalogue (forms read without their property values) are
    // answered at once.
    QTimer Answer;
    QObject::connect(&Answer, &QTimer::timeout, [] {
        if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            Box && Box->isVisible())
            Box->done(QMessageBox::Ok);
    });
    Answer.start(1);

    double Catalogue = 1e9, Scan = 1e9;
    Longint Objects = 0, Hits = 0;
    for (auto _ : State) {
        std::chrono::steady_clock::time_point Scanned;
        QTimer::singleShot(0, [&] {
            const auto T0 = std::chrono::steady_clock::now();
            Wizard.ui->sbSelect->SetText(File);
            Wizard.ui->sbSelect->DoDialogDrop();
            Scanned = std::chrono::steady_clock::now();
            Catalogue = std::min(Catalogue, Seconds(Scanned - T0));
            Wizard.SetScanMode(1);
            Wizard.ui->btnNext->click();
        });
        Main.sbScanClick();
        Scan = std::min(Scan, Seconds(std::chrono::steady_clock::now() - Scanned));
        if (Document->MDBCount() != 1) {
            State.SkipWithError("the wizard merged nothing");
            return;
        }
        const TMDBInfo& Merged = *Document->GetMDB(0);
        Objects = Merged.ObjectCount();
        Hits = 0;
        for (const TMDBObjectInfos* Kind :
             {&Merged.Tables(), &Merged.Querys(), &Merged.Forms(), &Merged.Reports(), &Merged.Macros(),
              &Merged.Modules(), &Merged.IMEXSpecs()})
            for (Longint I = 0; I < Kind->Count(); ++I)
                Hits += Kind->Items(I)->HitCount();
        State.PauseTiming();
        Modified = false;
        Main.FileNew();
        State.ResumeTiming();
    }
    State.counters["objects"] = static_cast<double>(Objects);
    State.counters["hits"] = static_cast<double>(Hits);
    State.counters["catalogue_s"] = Catalogue;
    State.counters["scan_s"] = Scan;
}

void BM_WizardDatabaseWithExport(benchmark::State& State) {
    DatabasePath(State, "nwind.mdb");
}
BENCHMARK(BM_WizardDatabaseWithExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_WizardDatabaseFromTheFile(benchmark::State& State) {
    DatabasePath(State, "Northwind2000.mdb");
}
BENCHMARK(BM_WizardDatabaseFromTheFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The main window keeps its recent-files list in the settings: keep the user's untouched.
    QTemporaryDir Settings;
    qputenv("XDG_CONFIG_HOME", Settings.path().toLocal8Bit());
    QApplication App(argc, argv);
    TApplication Program;
    RegisterScanClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
