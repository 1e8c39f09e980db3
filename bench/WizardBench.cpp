// The scan wizard's whole path, as a user takes it in automatic mode: the project file picked in
// the path editor, read, its modules built, scanned with the progress display running, and the
// result merged into the document and the tree. Measured on a generated project of 400 000
// lines in 200 modules (forms with layout blocks, code modules, classes) and on the example
// project, with the word list the program ships with. In the same run: the model's own scan of
// the same files (modules built and counted as the wizard does, progress events bound to a
// counter) and `grep -c -F -f` with the same word list. Counters: the best time of each and the
// ratios wizard / model and wizard / grep.

#include "components/CDKPathE.h"
#include "platform/ui/Application.h"
#include "scanner/Main.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"

#include "ui_ScanWizard1.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

const std::string SourceDir = QUORVEX_SOURCE_DIR;
constexpr int ModuleCount = 200;
constexpr int LinesPerModule = 2000;

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

const char* const Dated[] = {
    "    d = DateAdd(\"d\", 1, Date)",
    "    txtDate.Text = Format(Now, \"dd/mm/yy\")",
    "    If Year(dtStart) < 1900 Then dtStart = DateSerial(1900, 1, 1)",
    "    nDays = DateDiff(\"d\", dtFrom, dtTo)",
    "    rs!DateCreated = Now",
    "    lblToday.Caption = WeekdayName(Weekday(Date))",
    "    nMonth = Month(dtInvoice)  ' fiscal period",
    "    sStamp = Format$(Time, \"hh:nn\") & \" \" & Hour(Time)",
};

const char* Extension(int Module) {
    return Module % 10 < 3 ? ".frm" : Module % 10 < 8 ? ".bas" : ".cls";
}

/// Writes the generated project (Project.vbp and its modules) into Folder.
void Generate(const std::string& Folder) {
    fs::create_directories(Folder);
    std::mt19937 Rng(1998);
    std::ofstream Vbp(Folder + "Project.vbp", std::ios::binary);
    Vbp << "Type=Exe\r\n";
    for (int M = 0; M < ModuleCount; ++M) {
        const std::string Name = "Mod" + std::to_string(M) + Extension(M);
        const std::string Ext = Extension(M);
        Vbp << (Ext == ".frm" ? "Form=" + Name
                              : (Ext == ".bas" ? "Module=M" : "Class=C") + std::to_string(M) + "; " + Name)
            << "\r\n";
        std::ofstream Out(Folder + Name, std::ios::binary);
        int Line = 0;
        auto Emit = [&](const std::string& S) {
            Out << S << "\r\n";
            ++Line;
        };
        if (Ext == ".frm") {
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
            if (Line % 40 == 0)
                Emit("Private Sub Routine" + std::to_string(Routine++) + "()");
            else if (Line % 40 == 39)
                Emit("End Sub");
            else if (Rng() % 50 == 0)
                Emit(Dated[Rng() % std::size(Dated)]);
            else
                Emit(Plain[Rng() % std::size(Plain)]);
        }
    }
    Vbp << "Object={86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCT2.OCX\r\nName=\"Project\"\r\n";
}

double Seconds(std::chrono::steady_clock::duration D) {
    return std::chrono::duration<double>(D).count();
}

template <class F>
double Best(int Runs, F&& Fn) {
    double Result = 1e9;
    for (int I = 0; I < Runs; ++I) {
        const auto T0 = std::chrono::steady_clock::now();
        Fn();
        Result = std::min(Result, Seconds(std::chrono::steady_clock::now() - T0));
    }
    return Result;
}

/// grep over the module files the project lists (the wizard's module list), best of five.
double GrepSeconds(const std::string& Folder, const std::vector<std::string>& Files,
                   const std::string& Words) {
    std::string Command = "cd '" + Folder + "' && grep -c -F -f '" + Words + "'";
    for (const std::string& F : Files)
        Command += " '" + F + "'";
    Command += " > /dev/null";
    return Best(5, [&] {
        if (std::system(Command.c_str()) == -1)
            std::abort();
    });
}

/// The model's scan of the modules the wizard built, prepared as the wizard prepares them.
Longint ModelScan(const TProjectInfo& Built) {
    TProjectInfo Project;
    long long Steps = 0;
    Longint Hits = 0;
    for (Longint I = 0; I < Built.ModuleCount(); ++I) {
        auto* Module = new TModuleInfo;
        Module->Path = Built.GetModule(I)->Path;
        Module->Name = Built.GetModule(I)->Name;
        Module->LoadSource();
        Module->OnBeforeScan = [&](TObject*) { ++Steps; };
        Module->OnHit = [&](TObject*, THitInfo*&, const std::string&, TModalResult&) { ++Hits; };
        Module->ReleaseSource();
        Project.AddModule(Module);
    }
    Project.Scan(*KeyWordList, *ExcludeWordList);
    benchmark::DoNotOptimize(Steps);
    return Hits;
}

void WizardPath(benchmark::State& State, const std::string& ProjectFile) {
    QTemporaryDir ProgramDir;
    const std::string Program = ProgramDir.path().toStdString() + "/";
    fs::copy_file(SourceDir + "/resources/scanner/KeyWords.TXT", Program + "KeyWords.TXT");
    TfrmMain Main(Program, {});
    TfrmScanHit Prompt;
    TfrmScanWizard Wizard;

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
    const std::string Folder = Built.Path;
    // The program's word list has Windows line ends, which grep would take into its patterns.
    {
        std::ofstream Words(Program + "keywords.grep", std::ios::binary);
        for (Longint I = 0; I < KeyWordList->Count(); ++I)
            Words << (*KeyWordList)[I] << "\n";
    }
    const double Grep = GrepSeconds(Folder, Files, Program + "keywords.grep");
    Longint ModelHits = 0;
    const double Model = Best(3, [&] { ModelHits = ModelScan(*Document->GetProject(0)); });

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
    const std::string Folder = (fs::temp_directory_path() / "qx_wizard_bench/").string();
    fs::remove_all(Folder);
    Generate(Folder);
    WizardPath(State, Folder + "Project.vbp");
    fs::remove_all(Folder);
}
BENCHMARK(BM_WizardGeneratedProject)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WizardExampleProject(benchmark::State& State) {
    WizardPath(State, SourceDir + "/examples/Ledger/Ledger.vbp");
}
BENCHMARK(BM_WizardExampleProject)->Unit(benchmark::kMillisecond)->Iterations(20);

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
