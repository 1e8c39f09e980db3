// Database scanning on nwind.mdb and its text export, and on Northwind2000.mdb without one: building the
// database node from the catalogue (engine and application, with the export of every module's code), and
// scanning the node with 40 keywords. The scan reports the properties, rows and lines it went through per
// second.

#include "platform/access/Access.h"
#include "platform/dao/DAO.h"
#include "scanmodel/ScanInfo.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>

namespace {

const std::string kDatabase = QUORVEX_TEST_DATA "/nwind.mdb";

/// Builds the node as the catalogue reader does; exported code goes to Folder.
std::unique_ptr<TMDBInfo> BuildNode(const std::string& Folder, const std::string& Database = kDatabase) {
    auto Db = std::make_unique<TMDBInfo>();
    Db->Path = ExtractFilePath(Database);
    Db->Name = ExtractFileName(Database);
    auto Make = [&](TMDBObjectInfo* O, const std::string& Name, const std::string& Path = "") {
        O->Name = Name;
        O->Path = Path;
        O->SetDatabaseFile(Database);
        O->OnHit = [](TObject*, TMDBHitInfo*&, const std::string&, TModalResult&) {};
        return O;
    };
    {
        auto Data = dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(Database, false, true, "");
        auto Specs = Data->OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3);
        for (; !Specs->EOF(); Specs->MoveNext())
            Db->AddIMEXSpec(Make(new TMDBIMEXSpecInfo, Specs->Fields().Item("SpecName").Value().AsString()));
        for (int I = 0; I < Data->TableDefs().Count(); ++I)
            if (const std::string N = Data->TableDefs().Item(I)->Name(); N.rfind("MSys", 0) != 0)
                Db->AddTable(Make(new TMDBTableInfo, N));
        for (int I = 0; I < Data->QueryDefs().Count(); ++I)
            if (const std::string N = Data->QueryDefs().Item(I)->Name(); N.rfind("MSys", 0) != 0)
                Db->AddQuery(Make(new TMDBQueryInfo, N));
        Data->Close();
    }
    auto App = msaccess::Application::Create();
    App->OpenCurrentDatabase(Database, false);
    auto Export = [&](const std::string& Module, const std::string& File) {
        try {
            App->DoCmd().OpenModule(Module);
            App->DoCmd().OutputTo(msaccess::acOutputModule, Module, msaccess::acFormatTXT, Folder + File);
            Db->AddModule(Make(new TMDBModuleInfo, File, Folder));
        } catch (const EOleSysError&) {
        }
        App->DoCmd().Close(msaccess::acModule, Module, 0);
    };
    const auto& Forms = App->CurrentDB()->Containers("Forms").Documents();
    for (int I = 0; I < Forms.Count(); ++I) {
        Db->AddForm(Make(new TMDBFormInfo, Forms.Item(I).Name()));
        Export("Form_" + Forms.Item(I).Name(), "Form_" + Forms.Item(I).Name() + ".cbf");
    }
    const auto& Reports = App->CurrentDB()->Containers("Reports").Documents();
    for (int I = 0; I < Reports.Count(); ++I) {
        Db->AddReport(Make(new TMDBReportInfo, Reports.Item(I).Name()));
        Export("Report_" + Reports.Item(I).Name(), "Report_" + Reports.Item(I).Name() + ".cbf");
    }
    const auto& Modules = App->CurrentDB()->Containers("Modules").Documents();
    for (int I = 0; I < Modules.Count(); ++I)
        Export(Modules.Item(I).Name(), Modules.Item(I).Name() + ".Bas");
    App->Quit();
    return Db;
}

std::string TempFolder() {
    std::string Templ = (std::filesystem::temp_directory_path() / "qxbench-XXXXXX").string();
    return std::string(mkdtemp(Templ.data())) + "/";
}

/// Northwind2000.mdb (Access 2000) copied into Folder without its export: forms, reports and
/// the code of modules come from the file itself.
std::string Northwind2000(const std::string& Folder) {
    const std::string Copy = Folder + "Northwind2000.mdb";
    std::filesystem::copy_file(QUORVEX_TEST_DATA "/Northwind2000.mdb", Copy,
                               std::filesystem::copy_options::overwrite_existing);
    return Copy;
}

/// Peak resident memory of this process and of the reader processes it waited for, in MB.
void PeakMemory(benchmark::State& State) {
    rusage Self{}, Children{};
    getrusage(RUSAGE_SELF, &Self);
    getrusage(RUSAGE_CHILDREN, &Children);
    State.counters["peak MB"] = static_cast<double>(Self.ru_maxrss) / 1024.0;
    State.counters["reader peak MB"] = static_cast<double>(Children.ru_maxrss) / 1024.0;
}

void Catalogue(benchmark::State& State, bool FromFile) {
    const std::string Folder = TempFolder();
    const std::string Database = FromFile ? Northwind2000(Folder) : kDatabase;
    Longint Objects = 0;
    for (auto _ : State)
        Objects = BuildNode(Folder, Database)->ObjectCount();
    State.counters["objects"] = static_cast<double>(Objects);
    PeakMemory(State);
    std::filesystem::remove_all(Folder);
}

void BM_Catalogue(benchmark::State& State) {
    Catalogue(State, false);
}
BENCHMARK(BM_Catalogue)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatalogueNorthwind2000FromFile(benchmark::State& State) {
    Catalogue(State, true);
}
BENCHMARK(BM_CatalogueNorthwind2000FromFile)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The modules' code alone: Access opens the database (the reader's run with the project) and
/// writes every module, as the catalogue reader has it do.
void BM_ModulesNorthwind2000FromFile(benchmark::State& State) {
    const std::string Folder = TempFolder();
    const std::string Database = Northwind2000(Folder);
    std::size_t Lines = 0;
    for (auto _ : State) {
        auto App = msaccess::Application::Create();
        App->OpenCurrentDatabase(Database, false);
        std::vector<std::string> Modules;
        for (const auto& [Container, Prefix] :
             {std::pair{"Forms", "Form_"}, {"Reports", "Report_"}, {"Modules", ""}}) {
            const auto& Docs = App->CurrentDB()->Containers(Container).Documents();
            for (int I = 0; I < Docs.Count(); ++I)
                Modules.push_back(Prefix + Docs.Item(I).Name());
        }
        Lines = 0;
        for (const std::string& Module : Modules)
            try {
                App->DoCmd().OutputTo(msaccess::acOutputModule, Module, msaccess::acFormatTXT,
                                      Folder + "m.txt");
                Lines += std::filesystem::file_size(Folder + "m.txt");
            } catch (const EOleSysError&) {
            }
        App->Quit();
    }
    State.counters["code bytes"] = static_cast<double>(Lines);
    PeakMemory(State);
    std::filesystem::remove_all(Folder);
}
BENCHMARK(BM_ModulesNorthwind2000FromFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void Scan40Keywords(benchmark::State& State, bool FromFile) {
    const std::string Folder = TempFolder();
    const std::string Database = FromFile ? Northwind2000(Folder) : kDatabase;
    TStringList KeyWords, Excludes;
    for (const char* K :
         {"Date",     "Now",        "Year",      "Month",      "Day",       "Time",    "DateAdd", "DateDiff",
          "DatePart", "DateSerial", "DateValue", "Format",     "CDate",     "IsDate",  "Weekday", "Hour",
          "Minute",   "Second",     "Timer",     "TimeSerial", "TimeValue", "Shipped", "Order",   "Required",
          "Birth",    "Hire",       "dd",        "mm",         "yy",        "yyyy",    "Short",   "Medium",
          "Long",     "General",    "Between",   "#",          "Qtr",       "Quarter", "Fiscal",  "Century"})
        KeyWords.Add(K);
    Excludes.SetSorted(true);
    Excludes.Add("Ordering");
    double Units = 0;
    Longint Hits = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto Db = BuildNode(Folder, Database);
        std::size_t Seen = 0;
        for (auto* C :
             {&Db->Tables(), &Db->Querys(), &Db->Forms(), &Db->Reports(), &Db->Modules(), &Db->IMEXSpecs()})
            for (Longint I = 0; I < C->Count(); ++I)
                C->Items(I)->OnBeforeScan = [&Seen](TObject*) { ++Seen; };
        State.ResumeTiming();
        Db->Scan(KeyWords, Excludes);
        Units += static_cast<double>(Seen);
        Hits = 0;
        for (auto* C :
             {&Db->Tables(), &Db->Querys(), &Db->Forms(), &Db->Reports(), &Db->Modules(), &Db->IMEXSpecs()})
            for (Longint I = 0; I < C->Count(); ++I)
                Hits += C->Items(I)->HitCount();
    }
    State.counters["properties/s"] = benchmark::Counter(Units, benchmark::Counter::kIsRate);
    State.counters["hits"] = static_cast<double>(Hits);
    PeakMemory(State);
    std::filesystem::remove_all(Folder);
}

void BM_Scan40Keywords(benchmark::State& State) {
    Scan40Keywords(State, false);
}
BENCHMARK(BM_Scan40Keywords)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Scan40KeywordsNorthwind2000FromFile(benchmark::State& State) {
    Scan40Keywords(State, true);
}
BENCHMARK(BM_Scan40KeywordsNorthwind2000FromFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
