// The hit report of a document of 10 000 hits in 20 projects and 2 databases: producing all
// pages, exporting it as HTML and as CSV, and the viewer opening the saved report file and
// showing its first page. Run one benchmark at a time (--benchmark_filter) for its own peak
// memory: peak_MB is the process's high-water mark. The report file stays in the temporary
// folder, so that the viewer's figures, run after the others, do not include producing it.
// ScannedReportFile reports on real scan results instead: the generated Visual Basic project
// (VbProjectGen) scanned with the shipped word lists, its modules shared out among projects
// until the hits fill a report of about 950 pages; it gives the size of that report's file,
// which stays in the temporary folder.
#include "VbProjectGen.h"
#include "platform/report/QRPreview.h"
#include "platform/ui/ImageList.h"
#include "reports/fPreview.h"
#include "reports/qrHtml.h"
#include "reports/rptHits.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/Glyphs.h"
#include "scanner/WordLists.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>

namespace {
/// The process's peak memory since the benchmark began (it resets the peak first).
double PeakMegabytes() {
    return static_cast<double>(qxbench::StatusKb("VmHWM")) / 1024.0;
}

// The program's keywords, the words they come in, and lines as Visual Basic code holds them.
const char* const Variables[] = {"Date",       "Now",      "Format",  "Year",    "Month",
                                 "DateAdd",    "DateDiff", "Day",     "Weekday", "Hour",
                                 "DateSerial", "CDate",    "txtDate", "dtDue",   "yy"};
const char* const Lines[] = {
    "    txtDate.Text = Format(Date, \"dd/mm/yy\")",
    "    If DateDiff(\"d\", dtStart, Now) > 30 Then",
    "    dtDue = DateSerial(Year(Now), Month(Now) + 1, 1)",
    "    lblYear.Caption = Format$(Year(rs!OrderDate), \"yy\")",
    "    nDays = Weekday(CDate(txtShipped.Text)) - 1",
    "    Select Case Month(dtInvoice)",
    "    sStamp = Format(Now, \"hh:nn:ss\") & \" \" & Format(Date, \"mm/dd/yy\")",
    "    If Val(Right$(sYear, 2)) < 50 Then nCentury = 19 ' two-digit year",
};
const char* const ErrorTypes[] = {"Computation", "Branching", "Sort", ""};
const char* const Routines[] = {"Form_Load",     "cmdPrint_Click", "CalculateDueDate", "Declarations",
                                "ValidateEntry", "LoadInvoices",   "Class_Initialize", "GetAge"};
const char* const Extensions[] = {".frm", ".bas", ".cls", ".ctl"};

template <class T>
T* Fill(T* Hit, int N) {
    Hit->Compliant = static_cast<TCompliant>(N % 3);
    Hit->ErrorType = ErrorTypes[N % 4];
    Hit->Line = Lines[N % 8];
    Hit->LineInModule = 12 + 17 * (N % 60);
    Hit->LineInSub = 3 + N % 20;
    Hit->Sub = Routines[N % 8];
    Hit->Variable = Variables[N % 15];
    Hit->Key = "Date";
    Hit->Position = 5;
    return Hit;
}

// 8 000 hits in 20 projects of 16 modules (every fourth module without hits), 2 000 in two
// databases of tables, queries, forms, reports and modules.
std::unique_ptr<TQuorvex> BenchDocument() {
    auto Doc = std::make_unique<TQuorvex>();
    Doc->Name = "Accounts Receivable Y2K audit";
    int N = 0;
    for (int P = 0; P < 20; ++P) {
        auto* Project = new TProjectInfo;
        Project->Name = "ACCOUNTS" + std::to_string(P) + ".VBP";
        Project->Path = "/srv/vb/accounts" + std::to_string(P) + "/";
        Project->ImageIndex = 1;
        for (int M = 0; M < 16; ++M) {
            auto* Module = new TModuleInfo;
            Module->Name = "MODULE" + std::to_string(M) + Extensions[M % 4];
            Module->Path = Project->Path;
            Module->LinesOfCode = 800;
            Module->ImageIndex = 2 + M % 4;
            if (M % 4 != 3) {
                Module->ImageIndex += 5;
                for (int H = 0; H < 33 + (M == 0 ? 4 : 0); ++H)
                    Module->AddHit(Fill(new THitInfo, N++));
            }
            Project->AddModule(Module);
        }
        Doc->AddProject(Project);
    }
    for (int D = 0; D < 2; ++D) {
        auto* MDB = new TMDBInfo;
        MDB->Name = D == 0 ? "ORDERS.MDB" : "BILLING.MDB";
        MDB->Path = "/srv/access/";
        auto Add = [&](TMDBObjectInfo* Object, const std::string& Name, int Image, int Hits,
                       void (TMDBInfo::*Adder)(TMDBObjectInfo*)) {
            Object->Name = Name;
            Object->ImageIndex = Image + 7;
            Object->LinesOfCode = 40;
            for (int H = 0; H < Hits; ++H) {
                auto* Hit = Fill(new TMDBHitInfo, N++);
                Hit->Field = "ShipDate";
                Object->AddHit(Hit);
            }
            (MDB->*Adder)(Object);
        };
        for (int I = 0; I < 20; ++I) {
            Add(new TMDBTableInfo, "Table" + std::to_string(I), 11, 10, &TMDBInfo::AddTable);
            Add(new TMDBQueryInfo, "Query" + std::to_string(I), 12, 10, &TMDBInfo::AddQuery);
            Add(new TMDBFormInfo, "Form" + std::to_string(I), 13, 15, &TMDBInfo::AddForm);
            Add(new TMDBReportInfo, "Report" + std::to_string(I), 14, 10, &TMDBInfo::AddReport);
            Add(new TMDBModuleInfo, "Module" + std::to_string(I), 16, 5, &TMDBInfo::AddModule);
        }
        Doc->AddMDB(MDB);
    }
    return Doc;
}

struct TBench {
    TBench() : Document(BenchDocument()), Report(Document, Images) { FillLargeImages(Images); }
    std::string File(const char* Name) const { return Dir.filePath(QString::fromLatin1(Name)).toStdString(); }

    QTemporaryDir Dir;
    TImageList Images{32, 32};
    std::unique_ptr<TQuorvex> Document;
    TrepHits Report;
};

TBench& Bench() {
    static TBench B;
    return B;
}

Longint HitCount(const TQuorvex& Doc) {
    Longint Hits = 0;
    for (Longint P = 0; P < Doc.ProjectCount(); ++P)
        for (Longint M = 0; M < Doc.GetProject(P)->ModuleCount(); ++M)
            Hits += Doc.GetProject(P)->GetModule(M)->HitCount();
    for (Longint D = 0; D < Doc.MDBCount(); ++D)
        for (TMDBObjectInfos* Kind :
             {&Doc.GetMDB(D)->Tables(), &Doc.GetMDB(D)->Querys(), &Doc.GetMDB(D)->Forms(),
              &Doc.GetMDB(D)->Reports(), &Doc.GetMDB(D)->Modules()})
            for (Longint O = 0; O < Kind->Count(); ++O)
                Hits += Kind->Items(O)->HitCount();
    return Hits;
}

const std::string ReportFile = (std::filesystem::temp_directory_path() / "qx_hitreport_bench.QXV").string();

void ProduceHitReport(benchmark::State& State) {
    qxbench::ResetPeakMemory();
    int Pages = 0;
    auto Printer = std::make_unique<TQRPrinter>();
    for (auto _ : State) {
        Printer = std::make_unique<TQRPrinter>();
        Bench().Report.Prepare(*Printer);
        Pages = Printer->PageCount();
    }
    const double Peak = PeakMegabytes();
    Printer->Save(ReportFile);
    State.counters["hits"] = static_cast<double>(HitCount(*Bench().Document));
    State.counters["pages"] = Pages;
    State.counters["peak_MB"] = Peak;
}

template <class F>
void ExportHitReport(benchmark::State& State) {
    qxbench::ResetPeakMemory();
    const std::string Name = Bench().File("export");
    for (auto _ : State) {
        F Filter(Name);
        Bench().Report.ExportWithFilter(Filter);
    }
    State.counters["rows"] = static_cast<double>(Bench().Report.ReportWalk.HitTotal);
    State.counters["peak_MB"] = PeakMegabytes();
}

void ViewerOpensReportFile(benchmark::State& State) {
    qxbench::ResetPeakMemory();
    if (!std::filesystem::exists(ReportFile)) {
        TQRPrinter Source;
        Bench().Report.Prepare(Source);
        Source.Save(ReportFile);
    }
    for (auto _ : State) {
        TQRPrinter Printer;
        auto Window = TfrmPreview::Open(&Printer, {});
        Window->LoadReportFile(ReportFile);
        // Page 1 drawn as the window shows it.
        benchmark::DoNotOptimize(Window->QRPreview()->viewport()->grab());
        Window->close();
    }
    State.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(ReportFile)) / 1048576.0;
    State.counters["peak_MB"] = PeakMegabytes();
}
// The generated project scanned with the shipped lists, its modules dealt out in turn to six
// projects until the document holds Hits hits; every hit rated, a third of them with an
// error type, as an audit leaves them.
std::unique_ptr<TQuorvex> ScannedDocument(long Hits) {
    const std::string Source = QUORVEX_SOURCE_DIR;
    const std::string Folder =
        (std::filesystem::temp_directory_path() / "qx_hitreport_bench_project").string();
    const qxbench::TVbProject P =
        qxbench::GenerateVbProject(Folder, qxbench::ReadWordList(Source + "/resources/scanner/KeyWords.TXT"));
    TStringList Keys;
    Keys.LoadFromFile(Source + "/resources/scanner/KeyWords.TXT");
    TStringList Excludes;
    Excludes.SetSorted(true);
    LoadWordList(Excludes, Source + "/resources/scanner/ExcWords.TXT");

    auto Doc = std::make_unique<TQuorvex>();
    Doc->Name = "Accounts Receivable Y2K audit";
    const char* const Names[] = {"LEDGER.VBP", "PAYROLL.VBP", "INVOICING.VBP",
                                 "STOCK.VBP",  "ORDERS.VBP",  "REPORTS.VBP"};
    std::vector<TProjectInfo*> Projects;
    for (const char* Name : Names) {
        auto* Project = new TProjectInfo;
        Project->Name = Name;
        Project->Path = P.Folder;
        Projects.push_back(Project);
        Doc->AddProject(Project);
    }
    std::mt19937 Random(1999);
    const char* const ErrorTypes[] = {"Computation", "Branching", "Sort", "Display"};
    long Found = 0;
    for (std::size_t M = 0; M < P.Modules.size() && Found < Hits; ++M) {
        auto* Module = new TModuleInfo;
        Module->Path = P.Folder;
        Module->Name = UpperCase(P.Modules[M].FileName);
        Module->OnHit = [&](TObject*, THitInfo*& Hit, const std::string&, TModalResult&) {
            Hit->Compliant = static_cast<TCompliant>(Random() % 3);
            if (Random() % 3 == 0)
                Hit->ErrorType = ErrorTypes[Random() % 4];
        };
        TProjectInfo& Project = *Projects[M % Projects.size()];
        Project.AddModule(Module);
        Module->Scan(Keys, Excludes);
        Module->OnHit = nullptr;
        // The last module takes only the hits still wanted.
        while (Module->HitCount() > 0 && Found + Module->HitCount() > Hits)
            Module->DeleteHit(Module->HitCount() - 1);
        Found += Module->HitCount();
    }
    std::filesystem::remove_all(Folder);
    return Doc;
}

void ScannedReportFile(benchmark::State& State) {
    // As many hits as make about 950 pages.
    static const std::unique_ptr<TQuorvex> Document = ScannedDocument(13500);
    TImageList Images{32, 32};
    FillLargeImages(Images);
    TrepHits Report(Document, Images);
    auto Printer = std::make_unique<TQRPrinter>();
    for (auto _ : State) {
        Printer = std::make_unique<TQRPrinter>();
        Report.Prepare(*Printer);
    }
    const std::string File = (std::filesystem::temp_directory_path() / "qx_hitreport_scanned.QXV").string();
    Printer->Save(File);
    State.counters["hits"] = static_cast<double>(Report.ReportWalk.HitTotal);
    State.counters["pages"] = Printer->PageCount();
    State.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(File)) / 1048576.0;
}
} // namespace

BENCHMARK(ScannedReportFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ProduceHitReport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ExportHitReport<TQRHtmlExportFilter>)
    ->Name("ExportHtml")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(ExportHitReport<TQRCSVExportFilter>)
    ->Name("ExportCsv")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(ViewerOpensReportFile)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
