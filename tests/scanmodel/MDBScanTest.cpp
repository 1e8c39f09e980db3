// Database scans on the real nwind.mdb and its text export: the order of the
// collections, the lent database and application, the values that are matched
// and how hits are filled, stop and abort, and import/export specifications
// read from a snapshot written by a stand-in reader.

#include "platform/access/Access.h"
#include "platform/dao/DAO.h"
#include "platform/dao/Snapshot.h"
#include "scanmodel/ScanInfo.h"
#include "tests/platform/dao/SpecTables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string kData = QUORVEX_TEST_DATA "/";

TStringList Words(std::initializer_list<const char*> List, bool Sorted = false) {
    TStringList L;
    for (const char* W : List)
        L.Add(W);
    L.SetSorted(Sorted);
    return L;
}

struct TempDir {
    fs::path Path;
    TempDir() {
        std::string Templ = (fs::temp_directory_path() / "qxmdbscan-XXXXXX").string();
        Path = mkdtemp(Templ.data());
    }
    ~TempDir() { fs::remove_all(Path); }
    std::string Folder() const { return Path.string() + "/"; }
};

/// Records every hit offered and answers with Answer.
struct THitLog {
    struct Entry {
        std::string Object, File, Sub, Field, Key, Variable, Line;
        Longint Index, InSub, Position;
    };
    std::vector<Entry> Hits;
    TModalResult Answer = mrNone;
    TMDBHitEvent Handler() {
        return [this](TObject* Sender, TMDBHitInfo*& Hit, const std::string& File, TModalResult& Accept) {
            EXPECT_EQ(Accept, mrNone);
            Hits.push_back({static_cast<TMDBObjectInfo*>(Sender)->Name, File, Hit->Sub, Hit->Field, Hit->Key,
                            Hit->Variable, Hit->Line, Hit->LineInModule, Hit->LineInSub, Hit->Position});
            Accept = Answer;
        };
    }
    const Entry* Find(const std::string& Object, const std::string& Sub, const std::string& Field) const {
        for (const Entry& E : Hits)
            if (E.Object == Object && E.Sub == Sub && E.Field == Field)
                return &E;
        return nullptr;
    }
};

template <class T>
T* Add(TMDBInfo& Db, void (TMDBInfo::*Adder)(TMDBObjectInfo*), const std::string& Name, THitLog& Log,
       const std::string& Path = "") {
    auto* O = new T;
    O->Name = Name;
    O->Path = Path;
    O->SetDatabaseFile(Db.Path + Db.Name);
    O->OnHit = Log.Handler();
    (Db.*Adder)(O);
    return O;
}

/// Exports a module's code beside the database as the catalogue reader does;
/// returns the file name.
std::string Export(const std::string& Database, const std::string& Module, const std::string& File,
                   const std::string& Folder) {
    auto App = msaccess::Application::Create();
    App->OpenCurrentDatabase(Database);
    App->DoCmd().OutputTo(msaccess::acOutputModule, Module, msaccess::acFormatTXT, Folder + File);
    App->Quit();
    return File;
}

/// Puts a script in front of the reader program that counts its starts in a log
/// file.
struct TReaderCounter {
    TempDir Dir;
    std::string Saved = dao::ReaderProgram();
    std::string Log = Dir.Folder() + "starts";
    TReaderCounter() {
        const std::string Script = Dir.Folder() + "reader.sh";
        std::ofstream(Script) << "#!/bin/sh\necho x >> '" << Log << "'\nexec '" << Saved << "' \"$@\"\n";
        fs::permissions(Script, fs::perms::owner_all);
        dao::SetReaderProgram(Script);
    }
    ~TReaderCounter() { dao::SetReaderProgram(Saved); }
    int Starts() const {
        std::ifstream In(Log);
        return static_cast<int>(std::count(std::istreambuf_iterator<char>(In), {}, '\n'));
    }
};

/// A database node over nwind.mdb with objects of every kind the catalogue
/// reader makes.
struct TNwindNode {
    TempDir Exports;
    THitLog Log;
    TMDBInfo Db;
    TNwindNode() {
        Db.Path = kData;
        Db.Name = "nwind.mdb";
        Add<TMDBTableInfo>(Db, &TMDBInfo::AddTable, "Orders", Log);
        Add<TMDBTableInfo>(Db, &TMDBInfo::AddTable, "Employees", Log);
        Add<TMDBQueryInfo>(Db, &TMDBInfo::AddQuery, "Employee Sales by Country", Log);
        Add<TMDBFormInfo>(Db, &TMDBInfo::AddForm, "Orders", Log);
        Add<TMDBModuleInfo>(Db, &TMDBInfo::AddModule,
                            Export(kData + "nwind.mdb", "Form_Orders", "Form_Orders.cbf", Exports.Folder()),
                            Log, Exports.Folder());
        Add<TMDBFormInfo>(Db, &TMDBInfo::AddForm, "Customers", Log);
        Add<TMDBReportInfo>(Db, &TMDBInfo::AddReport, "Sales by Year", Log);
        Add<TMDBModuleInfo>(
            Db, &TMDBInfo::AddModule,
            Export(kData + "nwind.mdb", "Utility Functions", "Utility Functions.Bas", Exports.Folder()), Log,
            Exports.Folder());
        Add<TMDBIMEXSpecInfo>(Db, &TMDBInfo::AddIMEXSpec, "No Such Spec", Log);
    }
};

} // namespace

TEST(MDBScanTest, ScansEveryCollectionInOrderWithOneDatabaseAndOneApplication) {
    TNwindNode Node;
    TReaderCounter Reader; // the starts of the scan alone
    TMDBInfo& Db = Node.Db;
    std::vector<std::string> Order;
    int Before = 0, After = 0;
    Db.OnBeforeScan = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Db);
        ++Before;
    };
    Db.OnAfterScan = [&](TObject*) { ++After; };
    auto Track = [&](TMDBObjectInfos& C) {
        for (Longint I = 0; I < C.Count(); ++I) {
            TMDBObjectInfo* O = C.Items(I);
            O->OnBeforeScan = [&Order, O](TObject*) {
                if (Order.empty() || Order.back() != O->ClassName() + " " + O->Name)
                    Order.push_back(O->ClassName() + " " + O->Name);
                // Access starts after the tables and queries and runs to the end.
                const bool Early = O->ClassName() == "TMDBTableInfo" || O->ClassName() == "TMDBQueryInfo";
                EXPECT_EQ(msaccess::Application::RunningCount(), Early ? 0 : 1);
            };
        }
    };
    for (TMDBObjectInfos* C :
         {&Db.Tables(), &Db.Querys(), &Db.Forms(), &Db.Reports(), &Db.Modules(), &Db.IMEXSpecs()})
        Track(*C);

    Db.Scan(Words({"Date"}), Words({}, true));

    EXPECT_EQ(Order, (std::vector<std::string>{
                         "TMDBTableInfo Orders", "TMDBTableInfo Employees",
                         "TMDBQueryInfo Employee Sales by Country", "TMDBFormInfo Orders",
                         "TMDBFormInfo Customers", "TMDBReportInfo Sales by Year",
                         "TMDBModuleInfo Form_Orders.cbf", "TMDBModuleInfo Utility Functions.Bas"}));
    EXPECT_EQ(Before, Db.ObjectCount());
    EXPECT_EQ(After, Db.ObjectCount());
    EXPECT_EQ(Reader.Starts(), 1); // opened once and lent to every object
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);

    // Images after a complete scan: with hits the kind's image + 7, without the
    // kind's own.
    EXPECT_EQ(Db.GetTable(0)->ImageIndex, 18);
    EXPECT_EQ(Db.GetQuery(0)->ImageIndex, 19);
    EXPECT_EQ(Db.GetForm(0)->ImageIndex, 20);
    EXPECT_EQ(Db.GetReport(0)->ImageIndex, 21);
    EXPECT_EQ(Db.GetModule(0)->ImageIndex, 23);
    EXPECT_EQ(Db.GetIMEXSpec(0)->ImageIndex, 17);
    EXPECT_EQ(Db.GetIMEXSpec(0)->HitCount(), 0);
    const auto& Table = *Db.GetTable(0);
    auto Tables =
        dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(kData + "nwind.mdb")->TableDefs().Item("Orders");
    EXPECT_EQ(Table.LinesOfCode, Tables->Properties().Count() + Tables->Fields().Count());
}

TEST(MDBScanTest, TextValuesBecomeHitsWithTheirFieldAndIndex) {
    TNwindNode Node;
    Node.Db.Scan(Words({"Date"}), Words({}, true));
    const THitLog& Log = Node.Log;

    // A field's Caption: Field is the field, both line numbers the property's
    // index in the field.
    const auto* Caption = Log.Find("Orders", "Caption", "OrderDate");
    ASSERT_NE(Caption, nullptr);
    EXPECT_EQ(Caption->Line, "Order Date");
    EXPECT_EQ(Caption->Variable, "Date");
    EXPECT_EQ(Caption->Position, 7);
    EXPECT_EQ(Caption->Index, Caption->InSub);
    EXPECT_EQ(Caption->File, "Orders"); // Path is empty for tables
    auto Db = dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(kData + "nwind.mdb");
    auto Orders = Db->TableDefs().Item("Orders");
    const auto& Props = Orders->Fields().Item("OrderDate").Properties();
    EXPECT_EQ(Props.Item(Caption->Index).Name(), "Caption");

    // Names of fields and controls, dates and Booleans are never matched.
    for (const auto& H : Log.Hits) {
        EXPECT_FALSE(H.Sub == "Name" && !H.Field.empty()) << H.Object << "." << H.Field;
        EXPECT_NE(H.Sub, "Value");
        EXPECT_NE(H.Sub, "DateCreated");
        EXPECT_NE(H.Sub, "LastUpdated");
    }
    // The query's SQL, with the word around the keyword.
    const auto* Sql = Log.Find("Employee Sales by Country", "SQL", "");
    ASSERT_NE(Sql, nullptr);
    EXPECT_EQ(Sql->Variable, "Date"); // first in "[Beginning Date]"
    EXPECT_EQ(Sql->Index, 4);
    // Controls of forms and reports.
    const auto* Default = Log.Find("Orders", "DefaultValue", "OrderDate");
    ASSERT_NE(Default, nullptr);
    EXPECT_EQ(Default->Line, "=Date()");
    EXPECT_EQ(Default->Variable, "Date");
    EXPECT_NE(Log.Find("Sales by Year", "ControlSource", "PrintedOn"), nullptr);
    EXPECT_NE(Log.Find("Orders", "ControlSource", "OrderDate"), nullptr);
    // Code: routine, lines since its declaration, the exported file's full name.
    const auto* Code = Log.Find("Form_Orders.cbf", "Form_Current", "");
    ASSERT_NE(Code, nullptr);
    EXPECT_EQ(Code->Index, 2);
    EXPECT_EQ(Code->InSub, 2);
    EXPECT_EQ(Code->Variable, "ShippedDate");
    EXPECT_EQ(Code->File, Node.Exports.Folder() + "Form_Orders.cbf");
    EXPECT_EQ(Log.Find("Form_Orders.cbf", "Form_Current", "")->Line.rfind("If IsNull", 0), 0u);

    // A second scan adds its hits after the first ones.
    const std::size_t First = Log.Hits.size();
    const Longint Kept = Node.Db.GetTable(0)->HitCount();
    Node.Db.Scan(Words({"Date"}), Words({}, true));
    EXPECT_EQ(Node.Log.Hits.size(), 2 * First);
    EXPECT_EQ(Node.Db.GetTable(0)->HitCount(), 2 * Kept);
}

TEST(MDBScanTest, ControlPropertiesOfTheExportGiveTheirHits) {
    THitLog Log;
    TMDBInfo Db;
    Db.Path = kData;
    Db.Name = "nwind.mdb";
    TMDBObjectInfo* Orders = Add<TMDBFormInfo>(Db, &TMDBInfo::AddForm, "Orders", Log);
    Add<TMDBFormInfo>(Db, &TMDBInfo::AddForm, "Customers", Log);
    Add<TMDBReportInfo>(Db, &TMDBInfo::AddReport, "Invoice", Log);
    Db.Scan(Words({"Date", "Invoice"}), Words({}, true));

    auto App = msaccess::Application::Create();
    App->OpenCurrentDatabase(kData + "nwind.mdb");
    App->DoCmd().OpenForm("Orders", msaccess::acDesign);
    const auto Form = App->Forms("Orders");
    App->Quit();
    EXPECT_EQ(Orders->LinesOfCode, Form->Properties().Count() + 23);
    // Every hit of the form is on the form itself or on one of its controls, never on a section.
    for (const auto& H : Log.Hits)
        if (H.Object == "Orders" && !H.Field.empty()) {
            EXPECT_NO_THROW(Form->Controls().Item(H.Field)) << H.Field;
        }

    // A text box's own Format and DefaultValue.
    const auto* Format = Log.Find("Orders", "Format", "OrderDate");
    ASSERT_NE(Format, nullptr);
    EXPECT_EQ(Format->Line, "Short Date");
    EXPECT_EQ(Format->Position, 7);
    const auto* Default = Log.Find("Orders", "DefaultValue", "OrderDate");
    ASSERT_NE(Default, nullptr);
    EXPECT_EQ(Default->Line, "=Date()");
    // The TextBox default's Format hits on every text box that does not set its own, at the index
    // that the default has among the control's properties.
    std::vector<std::string> Inherited;
    for (const auto& H : Log.Hits)
        if (H.Object == "Orders" && H.Sub == "Format" && H.Line == "Medium Date") {
            Inherited.push_back(H.Field);
            const auto& Props = Form->Controls().Item(H.Field).Properties();
            EXPECT_EQ(Props.Item(H.Index).Name(), "Format");
        }
    EXPECT_EQ(Inherited, (std::vector<std::string>{"RequiredDate", "ShippedDate"}));
    // An attached label is a control of its own.
    const auto* Label = Log.Find("Orders", "Caption", "OrderDate_Label");
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->Line, "Order Date:");
    // An embedded macro is matched as the value of its property.
    const auto* Macro = Log.Find("Orders", "OnClickEmMacro", "PrintInvoice");
    ASSERT_NE(Macro, nullptr);
    EXPECT_EQ(Macro->Key, "Invoice");
    EXPECT_EQ(Macro->Line.rfind("Version =196611\r\n", 0), 0u);

    // Escaped quotes no longer cut the value: the hit is on the whole expression.
    const auto* DMax = Log.Find("Customers", "ControlSource", "LastOrder");
    ASSERT_NE(DMax, nullptr);
    EXPECT_EQ(DMax->Line, "=DMax(\"OrderDate\",\"Orders\",\"CustomerID='\" & [CustomerID] & \"'\")");
    EXPECT_EQ(DMax->Variable, "OrderDate");
    EXPECT_EQ(DMax->Position, 13);
    // A value continued over two pieces, the keyword's word split between them.
    const auto* Rows = Log.Find("Customers", "RowSource", "RecentOrders");
    ASSERT_NE(Rows, nullptr);
    EXPECT_EQ(Rows->Variable, "ShippedDate");
    EXPECT_EQ(Rows->Position, static_cast<Longint>(Rows->Line.find("ShippedDate") + 8));
    EXPECT_EQ(Rows->Line.substr(Rows->Line.size() - 13), "OrderID DESC;");
    // Reports: controls of group headers and footers.
    const auto* Due = Log.Find("Invoice", "ControlSource", "DueDate");
    ASSERT_NE(Due, nullptr);
    EXPECT_EQ(Due->Line, "=DateAdd(\"d\",30,[OrderDate])");
    EXPECT_NE(Log.Find("Invoice", "Caption", "ShippedDate_Label"), nullptr);
}

TEST(MDBScanTest, AFormThatCannotBeParsedEndsTheScanNamingItsFileAndLine) {
    TempDir Dir;
    fs::copy_file(kData + "nwind.mdb", Dir.Folder() + "nwind.mdb");
    fs::copy(kData + "nwind.mdb.src", Dir.Folder() + "nwind.mdb.src", fs::copy_options::recursive);
    const std::string Customers = Dir.Folder() + "nwind.mdb.src/forms/Customers.bas";
    {
        std::ifstream In(Customers, std::ios::binary);
        std::string Text((std::istreambuf_iterator<char>(In)), {});
        In.close();
        // The file ends inside the block of the Detail section's controls, begun at line 36.
        Text.resize(Text.find("                Begin TextBox"));
        std::ofstream(Customers, std::ios::binary | std::ios::trunc) << Text;
    }
    THitLog Log;
    TMDBInfo Db;
    Db.Path = Dir.Folder();
    Db.Name = "nwind.mdb";
    TMDBObjectInfo* Table = Add<TMDBTableInfo>(Db, &TMDBInfo::AddTable, "Orders", Log);
    TMDBObjectInfo* Orders = Add<TMDBFormInfo>(Db, &TMDBInfo::AddForm, "Orders", Log);
    TMDBObjectInfo* Bad = Add<TMDBFormInfo>(Db, &TMDBInfo::AddForm, "Customers", Log);
    TMDBObjectInfo* Report = Add<TMDBReportInfo>(Db, &TMDBInfo::AddReport, "Sales by Year", Log);
    try {
        Db.Scan(Words({"Date"}), Words({}, true));
        FAIL() << "the scan must end with the form's error";
    } catch (const EOleException& E) {
        EXPECT_NE(E.Message().find("'" + Customers + "'"), std::string::npos) << E.Message();
        EXPECT_NE(E.Message().find("the file ends inside a block at line 36."), std::string::npos)
            << E.Message();
    }
    // What was scanned before keeps its hits; the application has quit.
    EXPECT_EQ(Table->ImageIndex, 18);
    EXPECT_EQ(Orders->ImageIndex, 20);
    EXPECT_EQ(Bad->ImageIndex, 13);
    EXPECT_EQ(Bad->HitCount(), 0);
    EXPECT_EQ(Report->ImageIndex, 11);
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);
}

TEST(MDBScanTest, StopDuringTheTablesEndsBeforeAccessStarts) {
    TNwindNode Node;
    int Seen = 0;
    TMDBObjectInfo* Orders = Node.Db.GetTable(0);
    Orders->OnAfterScan = [&](TObject*) {
        if (++Seen == 150)
            StopScan = true;
    };
    int Starts = 0;
    Node.Db.GetForm(0)->OnBeforeScan = [&](TObject*) { ++Starts; };
    Node.Db.Scan(Words({"Date"}), Words({}, true));
    EXPECT_TRUE(StopScan);
    EXPECT_EQ(Seen, 150);
    EXPECT_EQ(Starts, 0);
    EXPECT_EQ(Orders->ImageIndex, 11); // open, not finished, even with hits
    EXPECT_GT(Orders->HitCount(), 0);
    EXPECT_EQ(Node.Db.GetTable(1)->ImageIndex, 11);
    EXPECT_EQ(Node.Db.GetTable(1)->LinesOfCode, 0);
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);
    // A new scan starts again from the first object.
    Orders->OnAfterScan = nullptr;
    Node.Db.Scan(Words({"Date"}), Words({}, true));
    EXPECT_FALSE(StopScan);
    EXPECT_EQ(Orders->ImageIndex, 18);
}

TEST(MDBScanTest, StopDuringTheFormsQuitsAccess) {
    TNwindNode Node;
    TMDBObjectInfo* Form = Node.Db.GetForm(0);
    int Seen = 0;
    Form->OnAfterScan = [&](TObject*) {
        EXPECT_EQ(msaccess::Application::RunningCount(), 1);
        if (++Seen == Form->LinesOfCode + 20) // inside the controls
            StopScan = true;
    };
    Node.Db.Scan(Words({"Date"}), Words({}, true));
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);
    EXPECT_EQ(Form->ImageIndex, 13);
    EXPECT_GT(Form->HitCount(), 0);
    EXPECT_EQ(Node.Db.GetForm(1)->ImageIndex, 11); // never reached
    EXPECT_EQ(Node.Db.GetTable(0)->ImageIndex, 18);
}

TEST(MDBScanTest, AnAbortedHitEndsTheScanFromInsideThePropertyGuard) {
    TNwindNode Node;
    Node.Log.Answer = mrAbort;
    EXPECT_THROW(Node.Db.Scan(Words({"Date"}), Words({}, true)), EAbort);
    ASSERT_EQ(Node.Log.Hits.size(),
              1u); // the first hit, in the first table, ended everything
    EXPECT_EQ(Node.Db.GetTable(0)->HitCount(), 0);
    EXPECT_EQ(Node.Db.GetTable(1)->LinesOfCode, 0);
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);

    // Hits answered with Cancel are dropped and the scan goes on.
    TNwindNode Other;
    Other.Log.Answer = mrCancel;
    Other.Db.Scan(Words({"Date"}), Words({}, true));
    EXPECT_GT(Other.Log.Hits.size(), 10u);
    EXPECT_EQ(Other.Db.GetTable(0)->HitCount(), 0);
    EXPECT_EQ(Other.Db.GetTable(0)->ImageIndex, 11);
}

// A report object whose scan ends the Access application lent to it, as a user closing Access
// would, and then fails when Abort is set.
class TQuittingReport final : public TMDBObjectInfo {
public:
    static inline const TStreamableClass StaticClass{"TQuittingReport", &TMDBReportInfo::StaticClass,
                                                     nullptr};
    const TStreamableClass& ClassType() const override { return StaticClass; }
    void Scan(const TStringList&, const TStringList&) override {
        AccessApp->Quit();
        if (Abort)
            ::Abort();
    }
    bool Abort = false;
};

// An Access application that cannot be quit at the end is a failure the caller hears of; a scan
// that failed itself reports its own exception instead.
TEST(MDBScanTest, AFailingQuitReachesTheCallerUnlessTheScanFailedFirst) {
    TNwindNode Node;
    auto* Quitter = new TQuittingReport;
    Node.Db.AddReport(Quitter);
    int Objects = 0;
    Node.Db.OnAfterScan = [&](TObject*) { ++Objects; };
    EXPECT_THROW(Node.Db.Scan(Words({"Date"}), Words({}, true)), EOleSysError);
    EXPECT_EQ(Objects, 10); // the modules and the import/export specification after it were scanned too
    EXPECT_GT(Node.Db.GetModule(1)->HitCount(), 0);
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);

    Quitter->Abort = true;
    Objects = 0;
    EXPECT_THROW(Node.Db.Scan(Words({"Date"}), Words({}, true)), EAbort);
    EXPECT_EQ(Objects, 6);
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);
}

TEST(MDBScanTest, AnEmptyNodeStillOpensAndReleasesEverything) {
    TReaderCounter Reader;
    TMDBInfo Db;
    Db.Path = kData;
    Db.Name = "nwind.mdb";
    Db.Scan(Words({"Date"}), Words({}, true));
    EXPECT_EQ(Reader.Starts(), 1);
    EXPECT_EQ(msaccess::Application::RunningCount(), 0);

    // A damaged file fails before anything is scanned, naming the file.
    TempDir Dir;
    std::ofstream(Dir.Folder() + "bad.mdb") << std::string(10000, 'x');
    TMDBInfo Bad;
    Bad.Path = Dir.Folder();
    Bad.Name = "bad.mdb";
    THitLog Log;
    TMDBObjectInfo* Table = Add<TMDBTableInfo>(Bad, &TMDBInfo::AddTable, "Orders", Log);
    try {
        Bad.Scan(Words({"Date"}), Words({}, true));
        FAIL();
    } catch (const EOleException& E) {
        EXPECT_NE(E.Message().find(Dir.Folder() + "bad.mdb"), std::string::npos);
    }
    EXPECT_EQ(Table->ImageIndex, 11);
    EXPECT_EQ(Table->LinesOfCode, 0);
}

TEST(MDBScanTest, MatchValueFillsHitsAsCallersGiveThem) {
    THitLog Log;
    TMDBTableInfo Object;
    Object.Name = "T";
    Object.OnHit = Log.Handler();
    Object.MatchValue("Prop", "DateCreated and Date", "Fld", "file", 7, Words({"Date", "Crea"}),
                      Words({}, true));
    ASSERT_EQ(Log.Hits.size(), 2u);
    EXPECT_EQ(Log.Hits[0].Variable, "DateCreated");
    EXPECT_EQ(Log.Hits[0].Position, 1);
    EXPECT_EQ(Log.Hits[0].Index, 7);
    EXPECT_EQ(Log.Hits[0].InSub, 7);
    EXPECT_EQ(Log.Hits[0].Field, "Fld");
    EXPECT_EQ(Log.Hits[0].File, "file");
    EXPECT_EQ(Log.Hits[1].Key, "Crea");
    // The first occurrence's word excluded, the next occurrence is looked at.
    Object.MatchValue("Prop", "DateCreated and Date", "", "file", 0, Words({"Date"}),
                      Words({"datecreated"}, true));
    ASSERT_EQ(Log.Hits.size(), 3u);
    EXPECT_EQ(Log.Hits[2].Position, 17);
    EXPECT_EQ(Object.HitCount(), 3);
    Object.OnHit = nullptr;
    Object.MatchValue("Prop", "Date", "", "file", 0, Words({"Date"}), Words({}, true));
    EXPECT_EQ(Object.HitCount(), 3);
}

TEST(MDBScanTest, ModulesCountLinesFromTheirRoutineAndStopWhereAsked) {
    TempDir Dir;
    std::ofstream(Dir.Folder() + "M.Bas")
        << "Option Compare Database\r\nDim d As Date\r\n' Date in a comment\r\n"
           "\r\nSub Calc()\r\n  x = \"Date\"\r\nEnd Sub\r\n";
    THitLog Log;
    TMDBModuleInfo Module;
    Module.Path = Dir.Folder();
    Module.Name = "M.Bas";
    Module.SetDatabaseFile(kData + "nwind.mdb");
    Module.OnHit = Log.Handler();
    int Lines = 0;
    Module.OnAfterScan = [&](TObject*) {
        if (++Lines == 3)
            StopScan = true;
    };
    Module.Scan(Words({"Date"}), Words({}, true));
    EXPECT_EQ(Module.ScanIndex, 2);
    ASSERT_EQ(Log.Hits.size(), 1u);
    EXPECT_EQ(Log.Hits[0].Sub, "Declarations");
    EXPECT_EQ(Log.Hits[0].Index, 2);
    StopScan = false;
    Module.OnAfterScan = nullptr;
    Module.Scan(Words({"Date"}), Words({}, true)); // resumes at line 2
    ASSERT_EQ(Log.Hits.size(), 2u);
    EXPECT_EQ(Log.Hits[1].Sub, "Calc");
    EXPECT_EQ(Log.Hits[1].Index, 1);
    EXPECT_EQ(Module.ImageIndex, 23);
    EXPECT_EQ(Module.ScanIndex, 0);

    TMDBModuleInfo Missing;
    Missing.Path = Dir.Folder();
    Missing.Name = "Gone.Bas";
    Missing.SetDatabaseFile(kData + "nwind.mdb");
    EXPECT_THROW(Missing.Scan(Words({"Date"}), Words({}, true)), Exception);

    TMDBMacroInfo Macro;
    Macro.SetDatabaseFile(kData + "nwind.mdb");
    Macro.Scan(Words({"Date"}), Words({}, true));
    EXPECT_EQ(Macro.ImageIndex, 15);
}

namespace {

/// A reader stand-in that answers with a snapshot holding the rows of SpecTables.
struct TSpecReader {
    TempDir Dir;
    std::string Saved = dao::ReaderProgram();
    TSpecReader() {
        std::string Text;
        dao::SnapshotWriter W(Text);
        W.Header(0);
        for (const dao::TableRows& T : SpecTables())
            W.Table(T);
        W.End();
        std::ofstream(Dir.Folder() + "snapshot") << Text;
        const std::string Script = Dir.Folder() + "reader.sh";
        std::ofstream(Script) << "#!/bin/sh\ncat '" << Dir.Folder() << "snapshot' >&3\n";
        fs::permissions(Script, fs::perms::owner_all);
        dao::SetReaderProgram(Script);
    }
    ~TSpecReader() { dao::SetReaderProgram(Saved); }
};

} // namespace

TEST(MDBScanTest, AnImportExportSpecScansItsOwnShortDateColumns) {
    TSpecReader Reader;
    THitLog Log;
    TMDBIMEXSpecInfo Spec;
    Spec.Name = "Orders Import";
    Spec.SetDatabaseFile(kData + "nwind.mdb");
    Spec.OnHit = Log.Handler();
    Spec.Scan(Words({"Date"}), Words({}, true));
    ASSERT_EQ(Log.Hits.size(),
              2u); // not RequiredDate (10 wide), Freight (no date) nor Ausgabe's Datum
    EXPECT_EQ(Log.Hits[0].Variable, "OrderDate");
    EXPECT_EQ(Log.Hits[0].Line, "OrderDate");
    EXPECT_EQ(Log.Hits[0].Field, "OrderDate");
    EXPECT_EQ(Log.Hits[0].Sub, "Orders Import");
    EXPECT_EQ(Log.Hits[0].Index, 1);
    EXPECT_EQ(Log.Hits[1].Variable, "ShippedDate");
    EXPECT_EQ(Log.Hits[1].Index, 2);
    EXPECT_EQ(Spec.LinesOfCode, 2);
    EXPECT_EQ(Spec.ImageIndex, 24);

    TMDBIMEXSpecInfo Other;
    Other.Name = "Ausgabe";
    Other.SetDatabaseFile(kData + "nwind.mdb");
    Other.OnHit = Log.Handler();
    Other.Scan(Words({"Dat"}), Words({}, true));
    ASSERT_EQ(Log.Hits.size(), 3u);
    EXPECT_EQ(Log.Hits[2].Variable, "Datum");
    EXPECT_EQ(Log.Hits[2].Index, 1);
    EXPECT_EQ(Other.LinesOfCode, 1);
}

TEST(MDBScanTest, ACopyWithoutItsExportIsScannedFromTheCodeInTheFile) {
    // As the catalogue reader does it: every module that Access gives is written beside the copy.
    TempDir Dir;
    fs::copy_file(kData + "nwind.mdb", Dir.Path / "nwind.mdb");
    THitLog Log;
    TMDBInfo Db;
    Db.Path = Dir.Folder();
    Db.Name = "nwind.mdb";
    auto App = msaccess::Application::Create();
    App->OpenCurrentDatabase(Db.Path + Db.Name);
    std::vector<std::string> Modules;
    const auto& Forms = App->CurrentDB()->Containers("Forms").Documents();
    for (int I = 0; I < Forms.Count(); ++I)
        Modules.push_back("Form_" + Forms.Item(I).Name());
    const auto& Standard = App->CurrentDB()->Containers("Modules").Documents();
    for (int I = 0; I < Standard.Count(); ++I)
        Modules.push_back(Standard.Item(I).Name());
    for (const std::string& Module : Modules)
        try {
            App->DoCmd().OutputTo(msaccess::acOutputModule, Module, msaccess::acFormatTXT,
                                  Db.Path + Module + ".Bas");
            Add<TMDBModuleInfo>(Db, &TMDBInfo::AddModule, Module + ".Bas", Log, Db.Path);
        } catch (const EOleException&) {
            // a form without code
        }
    App->Quit();
    ASSERT_EQ(Db.Modules().Count(), 13); // 10 of the 21 forms have code; 3 standard modules

    // nwind's code handles no dates; its forms' names and a function of Access stand in for keywords.
    Db.Scan(Words({"Year", "SysCmd"}), Words({}, true));
    const THitLog::Entry* Hit = Log.Find("Form_Sales by Year Dialog.Bas", "OK_Click", "");
    ASSERT_NE(Hit, nullptr);
    EXPECT_EQ(Hit->Line, "If Not Reports![Sales By Year].blnOpening Then Err.Raise 0");
    EXPECT_NE(Log.Find("Utility Functions.Bas", "IsLoaded", ""), nullptr);
}

TEST(MDBScanTest, ATableThatCannotBeReadIsNamedAndTheOthersAreScanned) {
    // A copy of nwind.mdb whose Orders table has its definition page (449) zeroed: the scan names
    // Orders through the object-failure path, leaves it out, and scans the other tables whole.
    TempDir Dir;
    std::ifstream In(kData + "nwind.mdb", std::ios::binary);
    std::string Data(std::istreambuf_iterator<char>(In), {});
    std::fill_n(Data.begin() + 449 * 2048, 2048, '\0');
    std::ofstream(Dir.Path / "nwind.mdb", std::ios::binary) << Data;
    THitLog Log;
    TMDBInfo Db;
    Db.Path = Dir.Folder();
    Db.Name = "nwind.mdb";
    for (const char* Table : {"Employees", "Orders", "Products"})
        Add<TMDBTableInfo>(Db, &TMDBInfo::AddTable, Table, Log);
    std::vector<std::string> Failed;
    Db.OnObjectFailed = [&Failed](TMDBObjectInfo& Object, const std::exception& E) {
        Failed.push_back(Object.Name + ": " + E.what());
    };
    Db.Scan(Words({"Date"}), Words({}, true));
    ASSERT_EQ(Failed.size(), 1u);
    EXPECT_EQ(Failed[0].rfind("Orders: The table 'Orders' of '" + Db.Path + Db.Name +
                                  "' cannot be read: the file is damaged: page 449 of table Orders",
                              0),
              0u)
        << Failed[0];
    EXPECT_EQ(Db.Tables().Count(), 2);
    EXPECT_NE(Log.Find("Employees", "Caption", "BirthDate"), nullptr);
}
