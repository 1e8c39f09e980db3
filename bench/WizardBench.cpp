// The scan wizard's whole path, as a user takes it in automatic mode: a project file picked in
// the path editor, read, its modules built, scanned with the progress display running, and the
// result merged into the document and the tree. The projects are the files named on the command
// line (after the benchmark's own flags) or in QX_BENCH_PROJECTS (separated by ':'); without
// either, the generated folder of twelve projects of VbProjectGen (396 modules, about 257 000
// lines), with the word list the program ships with.
//
// BM_WizardProjects runs the wizard on every project one after another into one document. Each
// round also times the model's own scan of the same modules (built and counted as the wizard
// builds them, progress events bound to a counter) and `grep -c -F -f` and `grep -c -i -F -f`
// with the same word list over the same files, started directly. Counters: the smallest and the
// median of the rounds, and their ratios.
// BM_WizardGrowingDocument runs the projects ten times over (from copies of their folder) into
// one document, and compares the time of the last ten with that of the first ones.
// Also the fixture databases picked in the wizard: the catalogue reader's and the scan's time.

#include "VbProjectGen.h"

#include "components/CDKPathE.h"
#include "platform/ui/Application.h"
#include "scanmodel/SourceFiles.h"
#include "scanner/Main.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string SourceDir = QUORVEX_SOURCE_DIR;

/// The project files of the command line or of QX_BENCH_PROJECTS.
std::vector<std::string> GivenProjects;

const qxbench::TVbFolder& Folder() {
    static const qxbench::TVbFolder F = [] {
        std::atexit([] { fs::remove_all(qxbench::TempName("qx_wizard_bench")); });
        return qxbench::GenerateVbFolder(
            qxbench::TempName("qx_wizard_bench"),
            qxbench::ReadWordList(SourceDir + "/resources/scanner/KeyWords.TXT"));
    }();
    return F;
}

std::vector<std::string> ProjectFiles() {
    return GivenProjects.empty() ? Folder().ProjectFiles() : GivenProjects;
}

/// The model's scan of the modules of the projects the wizard built, prepared as the wizard
/// prepares them. Freeing the scanned projects is left out of the time, as it is for the wizard.
double ModelScan(const std::vector<const TProjectInfo*>& BuiltProjects, Longint& Hits) {
    std::vector<std::unique_ptr<TProjectInfo>> Projects;
    long long Steps = 0;
    Hits = 0;
    const auto T0 = std::chrono::steady_clock::now();
    for (const TProjectInfo* Built : BuiltProjects) {
        auto& Project = Projects.emplace_back(std::make_unique<TProjectInfo>());
        std::size_t ReadAhead = ProjectReadAheadBytes;
        for (Longint I = 0; I < Built->ModuleCount(); ++I) {
            auto* Module = new TModuleInfo;
            Module->Path = Built->GetModule(I)->Path;
            Module->Name = Built->GetModule(I)->Name;
            ReadAhead -= Module->CountLines(ReadAhead);
            Module->OnBeforeScan = [&](TObject*) { ++Steps; };
            Module->OnHit = [&](TObject*, THitInfo*&, const std::string&, TModalResult&) { ++Hits; };
            Project->AddModule(Module);
        }
        Project->Scan(*KeyWordList, *ExcludeWordList);
    }
    const double Time = qxbench::Seconds(std::chrono::steady_clock::now() - T0);
    benchmark::DoNotOptimize(Steps);
    return Time;
}

/// The program's windows, over a program folder that holds the word list the program ships with.
struct TProgram {
    QTemporaryDir Dir;
    std::string Folder = Dir.path().toStdString() + "/";
    bool WordList = fs::copy_file(SourceDir + "/resources/scanner/KeyWords.TXT", Folder + "KeyWords.TXT");
    TfrmMain Main{Folder, {}};
    TfrmScanHit Prompt;
    TfrmScanWizard Wizard;

    /// One run of the wizard from the path editor's drop to the merged tree.
    void Run(const std::string& ProjectFile) {
        QTimer::singleShot(0, [&] {
            auto* Select = Wizard.findChild<TCDKPathEditor*>(QStringLiteral("sbSelect"));
            Select->SetText(QString::fromStdString(ProjectFile));
            Select->DoDialogDrop();
            Wizard.SetScanMode(smAutomatic);
            Wizard.findChild<QPushButton*>(QStringLiteral("btnNext"))->click();
        });
        Main.sbScanClick();
        Modified = false;
    }
};

void BM_WizardProjects(benchmark::State& State) {
    TProgram Program;
    const std::vector<std::string> Projects = ProjectFiles();
    for (const std::string& File : Projects)
        Program.Run(File);
    if (Document->ProjectCount() != static_cast<Longint>(Projects.size())) {
        State.SkipWithError("the wizard did not merge every project");
        return;
    }
    std::vector<const TProjectInfo*> Built;
    std::vector<std::string> Files;
    Longint WizardHits = 0, Lines = 0, Modules = 0;
    for (Longint P = 0; P < Document->ProjectCount(); ++P) {
        Built.push_back(Document->GetProject(P));
        Lines += Built.back()->ProjectLinesOfCode();
        Modules += Built.back()->ModuleCount();
        for (Longint I = 0; I < Built.back()->ModuleCount(); ++I) {
            const TModuleInfo& M = *Built.back()->GetModule(I);
            WizardHits += M.HitCount();
            Files.push_back(ResolveWindowsPath({}, M.Path + M.Name));
        }
    }
    // The words go to grep with Unix line ends (the program's list file has Windows ones).
    std::vector<std::string> Words;
    for (Longint I = 0; I < KeyWordList->Count(); ++I)
        if (!(*KeyWordList)[I].empty())
            Words.push_back((*KeyWordList)[I]);
    // The first run's document stays, for the model's scan: the wizard's runs go to another.
    auto First = std::exchange(Document, std::make_unique<TQuorvex>());
    Program.Main.FileNew();

    std::vector<double> Wizard, Model, Grep, GrepI;
    Longint ModelHits = 0;
    for (auto _ : State) {
        State.PauseTiming();
        for (const double S : qxbench::GrepSeconds(Files, Words, "", 1))
            Grep.push_back(S);
        for (const double S : qxbench::GrepSeconds(Files, Words, "-i", 1))
            GrepI.push_back(S);
        Model.push_back(ModelScan(Built, ModelHits));
        Program.Main.FileNew(); // frees the last run's document outside the timed part
        State.ResumeTiming();
        const auto T0 = std::chrono::steady_clock::now();
        for (const std::string& File : Projects)
            Program.Run(File);
        Wizard.push_back(qxbench::Seconds(std::chrono::steady_clock::now() - T0));
    }
    State.counters["projects"] = static_cast<double>(Projects.size());
    State.counters["modules"] = static_cast<double>(Modules);
    State.counters["lines"] = static_cast<double>(Lines);
    State.counters["hits"] = static_cast<double>(WizardHits);
    State.counters["model_hits"] = static_cast<double>(ModelHits);
    qxbench::SetTimes(State.counters, "wizard", Wizard);
    qxbench::SetTimes(State.counters, "model", Model);
    qxbench::SetTimes(State.counters, "grep", Grep);
    qxbench::SetTimes(State.counters, "grep_i", GrepI);
    qxbench::SetRatios(State.counters, "wizard_over_model", Wizard, Model);
    qxbench::SetRatios(State.counters, "wizard_over_grep", Wizard, Grep);
    qxbench::SetRatios(State.counters, "wizard_over_grep_i", Wizard, GrepI);
    Program.Main.FileNew();
    First.reset();
}
BENCHMARK(BM_WizardProjects)->Unit(benchmark::kMillisecond)->Iterations(9);

/// The folder that holds all of Files.
fs::path CommonFolder(const std::vector<std::string>& Files) {
    fs::path Common = fs::path(Files.front()).parent_path();
    for (const std::string& F : Files)
        while (!fs::path(F).parent_path().string().starts_with(Common.string()))
            Common = Common.parent_path();
    return Common;
}

void BM_WizardGrowingDocument(benchmark::State& State) {
    // The projects' folder copied nine times (hard links where the disk allows), the copies'
    // folders dated as old as the folder of a project under audit is.
    const std::vector<std::string> Originals = ProjectFiles();
    const fs::path Common = CommonFolder(Originals);
    const std::string CopyRoot = qxbench::TempName("qx_wizard_growing");
    constexpr int Copies = 10;
    std::vector<std::string> Projects = Originals;
    for (int C = 1; C < Copies; ++C) {
        const fs::path Copy = fs::path(CopyRoot) / std::to_string(C) / Common.filename();
        fs::create_directories(Copy.parent_path());
        std::error_code Ec;
        fs::copy(Common, Copy, fs::copy_options::recursive | fs::copy_options::create_hard_links, Ec);
        if (Ec)
            fs::copy(Common, Copy, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        for (const std::string& F : Originals)
            Projects.push_back((Copy / fs::path(F).lexically_relative(Common)).string());
    }
    for (const auto& E : fs::recursive_directory_iterator(CopyRoot))
        if (E.is_directory())
            fs::last_write_time(E.path(), fs::file_time_type::clock::now() - std::chrono::hours(24 * 365));

    TProgram Program;
    const std::size_t N = Originals.size();
    std::vector<double> FirstTimes, LastTimes, Ratios;
    for (auto _ : State) {
        State.PauseTiming();
        Program.Main.FileNew();
        State.ResumeTiming();
        double First = 0, Last = 0;
        for (std::size_t P = 0; P < Projects.size(); ++P) {
            const auto T0 = std::chrono::steady_clock::now();
            Program.Run(Projects[P]);
            const double S = qxbench::Seconds(std::chrono::steady_clock::now() - T0);
            if (P < N)
                First += S;
            else if (P >= Projects.size() - N)
                Last += S;
        }
        FirstTimes.push_back(First / static_cast<double>(N));
        LastTimes.push_back(Last / static_cast<double>(N));
        Ratios.push_back(Last / First);
    }
    if (Document->ProjectCount() != static_cast<Longint>(Projects.size()))
        State.SkipWithError("the wizard did not merge every project");
    State.counters["projects"] = static_cast<double>(Projects.size());
    State.counters["first_per_project_med_s"] = qxbench::Median(FirstTimes);
    State.counters["last_per_project_med_s"] = qxbench::Median(LastTimes);
    State.counters["last_over_first_min"] = qxbench::Min(Ratios);
    State.counters["last_over_first_med"] = qxbench::Median(Ratios);
    Program.Main.FileNew();
    fs::remove_all(CopyRoot);
}
BENCHMARK(BM_WizardGrowingDocument)->Unit(benchmark::kMillisecond)->Iterations(7);

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
            auto* Select = Wizard.findChild<TCDKPathEditor*>(QStringLiteral("sbSelect"));
            const auto T0 = std::chrono::steady_clock::now();
            Select->SetText(File);
            Select->DoDialogDrop();
            Scanned = std::chrono::steady_clock::now();
            Catalogue = std::min(Catalogue, qxbench::Seconds(Scanned - T0));
            Wizard.SetScanMode(smAutomatic);
            Wizard.findChild<QPushButton*>(QStringLiteral("btnNext"))->click();
        });
        Main.sbScanClick();
        Scan = std::min(Scan, qxbench::Seconds(std::chrono::steady_clock::now() - Scanned));
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
    GivenProjects = qxbench::ProjectFilesFrom(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
