#include "platform/dao/DAO.h"
#include "platform/dao/JetFormat.h"
#include "platform/dao/QuerySql.h"
#include "platform/dao/Snapshot.h"
#include "tests/platform/dao/SpecTables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string kNwind = QUORVEX_TEST_DATA "/nwind.mdb";

/// A temporary folder removed with everything in it at the end of the test.
struct TempDir {
    fs::path Path;
    TempDir() {
        std::string Templ = (fs::temp_directory_path() / "qxdao-XXXXXX").string();
        Path = mkdtemp(Templ.data());
    }
    ~TempDir() { fs::remove_all(Path); }
    std::string File(const std::string& Name, const std::string& Content) const {
        const std::string P = (Path / Name).string();
        std::ofstream(P, std::ios::binary) << Content;
        return P;
    }
};

std::string ReadAll(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

std::shared_ptr<dao::Database> Open(const std::string& File) {
    return dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(File, false, true, "");
}

std::vector<std::string> PropertyNames(const dao::PropertyList& L, int First, int Count) {
    std::vector<std::string> Names;
    for (int I = First; I < First + Count; ++I)
        Names.push_back(L.Item(I).Name());
    return Names;
}

/// The message of the EOleException that F raises ("" when it raises none).
template <class F>
std::string OleMessage(F&& Call) {
    try {
        Call();
    } catch (const EOleException& E) {
        return E.Message();
    }
    return {};
}

class NwindTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Db = Open(kNwind); }
    static void TearDownTestSuite() { Db.reset(); }
    static std::shared_ptr<dao::Database> Db;
};
std::shared_ptr<dao::Database> NwindTest::Db;

} // namespace

TEST_F(NwindTest, ListsTablesAndQueriesByName) {
    const auto& T = Db->TableDefs();
    std::vector<std::string> Names;
    for (int I = 0; I < T.Count(); ++I)
        Names.push_back(T.Item(I)->Name());
    const std::vector<std::string> Expected = {
        "Categories",  "Customers",       "Employees",         "MSysAccessObjects", "MSysACEs",
        "MSysCmdbars", "MSysIMEXColumns", "MSysIMEXSpecs",     "MSysModules",       "MSysModules2",
        "MSysObjects", "MSysQueries",     "MSysRelationships", "Order Details",     "Orders",
        "Products",    "Shippers",        "Suppliers",         "Ums\xE4tze"};
    EXPECT_EQ(Names, Expected);
    EXPECT_EQ(Db->QueryDefs().Count(), 22);
    EXPECT_EQ(Db->QueryDefs().Item(0)->Name(), "Alphabetical List of Products");
    EXPECT_EQ(T.Item("orders")->Name(), "Orders");
    EXPECT_EQ(OleMessage([&] { T.Item("No such table"); }),
              "Item not found in this collection (table 'No such table').");
    EXPECT_THROW(T.Item(T.Count()), EOleException);
}

TEST_F(NwindTest, TablePropertiesComeBuiltInFirstThenStoredWithTheirTypes) {
    const auto Orders = Db->TableDefs().Item("Orders");
    const auto& P = Orders->Properties();
    EXPECT_EQ(
        PropertyNames(P, 0, 10),
        (std::vector<std::string>{"Name", "Updatable", "DateCreated", "LastUpdated", "Connect", "Attributes",
                                  "SourceTableName", "RecordCount", "ValidationRule", "ValidationText"}));
    EXPECT_EQ(P.Item("DateCreated").Value().VarType(), varDate);
    EXPECT_EQ(P.Item("DateCreated").Value().AsString(), "1995-09-13 10:51:38");
    EXPECT_EQ(P.Item("RecordCount").Value().AsInteger(), 830);
    EXPECT_EQ(P.Item("Attributes").Value().AsInteger(), 0);
    EXPECT_EQ(P.Item("Description").Value().VarType(), varString);
    EXPECT_EQ(P.Item("Description").Value().AsString(),
              "Customer name, order date, and freight charge for each order.");
    EXPECT_EQ(P.Item("OrderByOn").Value().VarType(), varBoolean);
    // System tables carry the system attribute.
    EXPECT_EQ(Db->TableDefs().Item("MSysObjects")->Properties().Item("Attributes").Value().AsInteger(),
              static_cast<std::int32_t>(0x80000002u));
}

TEST_F(NwindTest, FieldPropertiesMergeStoredValuesIntoTheBuiltInOnes) {
    const auto Orders = Db->TableDefs().Item("Orders");
    ASSERT_EQ(Orders->Fields().Count(), 14);
    const auto& OrderDate = Orders->Fields().Item("OrderDate");
    const auto& P = OrderDate.Properties();
    EXPECT_EQ(PropertyNames(P, 0, 9),
              (std::vector<std::string>{"Value", "Attributes", "CollatingOrder", "Type", "Name",
                                        "OrdinalPosition", "Size", "SourceField", "SourceTable"}));
    EXPECT_EQ(OleMessage([&] { P.Item("Value").Value(); }).rfind("Invalid operation", 0), 0u);
    EXPECT_THROW(OrderDate.Value(), EOleException);
    EXPECT_EQ(P.Item("Type").Value().AsInteger(), dao::jtDate);
    EXPECT_EQ(P.Item("Type").Value().VarType(), varSmallint);
    EXPECT_EQ(P.Item("Size").Value().AsInteger(), 8);
    EXPECT_EQ(P.Item("SourceTable").Value().AsString(), "Orders");
    // Required is stored in the file and lands in its built-in place, once.
    int Required = 0;
    for (int I = 0; I < P.Count(); ++I)
        Required += P.Item(I).Name() == "Required";
    EXPECT_EQ(Required, 1);
    const auto& CustomerID = Orders->Fields().Item("CustomerID").Properties();
    EXPECT_EQ(CustomerID.Item("Caption").Value().AsString(), "Customer");
    EXPECT_EQ(CustomerID.Item("ColumnWidth").Value().VarType(), varSmallint);
    EXPECT_EQ(CustomerID.Item("Size").Value().AsInteger(), 5);
}

TEST_F(NwindTest, QueriesCarryTheirRebuiltSqlAndOutputColumns) {
    const auto Q = Db->QueryDefs().Item("Employee Sales by Country");
    EXPECT_EQ(Q->SQL(), "PARAMETERS [Beginning Date] DateTime, [Ending Date] DateTime;\r\n"
                        "SELECT DISTINCTROW Employees.Country, Employees.LastName, Employees.FirstName, "
                        "Orders.ShippedDate, Orders.OrderID, [Order Subtotals].Subtotal AS SaleAmount\r\n"
                        "FROM Employees INNER JOIN (Orders INNER JOIN [Order Subtotals] ON Orders.OrderID = "
                        "[Order Subtotals].OrderID) ON Employees.EmployeeID = Orders.EmployeeID\r\n"
                        "WHERE (((Orders.ShippedDate) Between [Beginning Date] And [Ending Date]));\r\n");
    const auto& P = Q->Properties();
    EXPECT_EQ(PropertyNames(P, 0, 5),
              (std::vector<std::string>{"Name", "DateCreated", "LastUpdated", "Type", "SQL"}));
    EXPECT_EQ(P.Item("SQL").Value().AsString(), Q->SQL());
    std::vector<std::string> Fields;
    for (int I = 0; I < Q->Fields().Count(); ++I)
        Fields.push_back(Q->Fields().Item(I).Name());
    EXPECT_EQ(Fields, (std::vector<std::string>{"Country", "LastName", "FirstName", "ShippedDate", "OrderID",
                                                "SaleAmount"}));
    EXPECT_EQ(Q->Fields().Item("ShippedDate").Properties().Item("Type").Value().AsInteger(), dao::jtDate);

    const auto Top = Db->QueryDefs().Item("Ten Most Expensive Products");
    EXPECT_NE(Top->SQL().find("SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts"),
              std::string::npos);
    EXPECT_NE(Top->SQL().find("ORDER BY Products.UnitPrice DESC;"), std::string::npos);

    const auto Union = Db->QueryDefs().Item("Customers and Suppliers by City");
    EXPECT_EQ(Union->Properties().Item("Type").Value().AsInteger(), dao::dbQSetOperation);
    EXPECT_NE(Union->SQL().find("\r\nUNION SELECT City, CompanyName, ContactName, \"Suppliers\""),
              std::string::npos);
    EXPECT_EQ(Union->Fields().Item(3).Name(), "Relationship");

    const auto Crosstab = Db->QueryDefs().Item("Quarterly Orders by Product");
    EXPECT_EQ(Crosstab->SQL().rfind("TRANSFORM Sum(", 0), 0u);
    EXPECT_EQ(Crosstab->Fields().Item(3).Name(), "Qtr 1");

    // SELECT Invoices.* takes the columns of the query it names.
    EXPECT_EQ(Db->QueryDefs().Item("Invoices Filter")->Fields().Count(),
              Db->QueryDefs().Item("Invoices")->Fields().Count());

    Q->Close();
    EXPECT_THROW(Q->Properties(), EOleException);
}

TEST(QuerySqlTest, NamesOutputColumnsAsJetDoes) {
    const auto C = dao::SelectListColumns(
        "SELECT DISTINCT TOP 5 T.[Order Date], Sum(x) AS [Total Sum], a + b, Name, 'x, y' FROM T");
    ASSERT_EQ(C.size(), 5u);
    EXPECT_EQ(C[0].Name, "Order Date");
    EXPECT_EQ(C[0].SourceTable, "T");
    EXPECT_EQ(C[1].Name, "Total Sum");
    EXPECT_EQ(C[2].Name, "Expr1000");
    EXPECT_EQ(C[3].Name, "Name");
    EXPECT_EQ(C[4].Name, "Expr1001");
    EXPECT_EQ(dao::BracketName("Order Details"), "[Order Details]");
    EXPECT_EQ(dao::BracketName("Orders"), "Orders");
}

TEST_F(NwindTest, RecordsetsRunOverTheSystemTables) {
    auto Specs = Db->OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3);
    EXPECT_TRUE(Specs->BOF());
    EXPECT_TRUE(Specs->EOF());
    EXPECT_EQ(Specs->RecordCount(), 0);
    EXPECT_THROW(Specs->MoveFirst(), EOleException);
    Specs->Close();
    EXPECT_THROW(Specs->EOF(), EOleException);

    auto Rs = Db->OpenRecordset(
        "SELECT DISTINCTROW [Name1] FROM MSysQueries WHERE Attribute = 5 AND Name1 Like \"Order%\" "
        "ORDER BY Name1;",
        2, 512, 3);
    ASSERT_FALSE(Rs->EOF());
    EXPECT_EQ(Rs->RecordCount(), 1);
    Rs->MoveLast(0);
    EXPECT_EQ(Rs->RecordCount(), 4); // Order Details, Order Details Extended, Order Subtotals, Orders
    Rs->MoveFirst();
    EXPECT_EQ(Rs->Fields().Item("name1").Value().AsString(), "Order Details");
    EXPECT_EQ(Rs->Fields().Item("Name1").Value().VarType(), varString);
    for (int I = 0; I < 4; ++I)
        Rs->MoveNext();
    EXPECT_TRUE(Rs->EOF());
    EXPECT_THROW(Rs->Fields().Item("Name1").Value(), EOleException);
    EXPECT_THROW(Rs->MoveNext(), EOleException);

    EXPECT_NE(
        OleMessage([&] { Db->OpenRecordset("SELECT * FROM Orders"); }).find("cannot find the input table"),
        std::string::npos);
}

namespace {

/// A snapshot with the two import/export specifications of SpecTables, or without those tables.
std::shared_ptr<const dao::Snapshot> SpecSnapshot(bool WithSpecTables) {
    auto S = std::make_shared<dao::Snapshot>();
    if (WithSpecTables)
        S->Tables = SpecTables();
    return S;
}

const char* const kSpecQuery =
    "SELECT DISTINCTROW MSysIMEXSpecs.SpecName, MSysIMEXColumns.FieldName, MSysIMEXColumns.Start, "
    "MSysIMEXColumns.Width, MSysIMEXColumns.DataType, MSysIMEXColumns.SkipColumn"
    " FROM MSysIMEXSpecs INNER JOIN MSysIMEXColumns ON MSysIMEXSpecs.SpecID = MSysIMEXColumns.SpecID"
    " WHERE (((MSysIMEXColumns.Width) < 10) And ((MSysIMEXColumns.DataType) = 8))"
    " ORDER BY MSysIMEXSpecs.SpecName, MSysIMEXColumns.Start;";

} // namespace

TEST(RecordsetTest, TheSpecQueryFindsShortDateColumnsInOrder) {
    dao::Database Db("specs.mdb", SpecSnapshot(true));
    auto Rs = Db.OpenRecordset(kSpecQuery, 2, 512, 3);
    std::vector<std::string> Rows;
    for (; !Rs->EOF(); Rs->MoveNext())
        Rows.push_back(Rs->Fields().Item("SpecName").Value().AsString() + "/" +
                       Rs->Fields().Item("FieldName").Value().AsString());
    EXPECT_EQ(Rows, (std::vector<std::string>{"Ausgabe/Datum", "Orders Import/OrderDate",
                                              "Orders Import/ShippedDate"}));
    EXPECT_EQ(Rs->Fields().Count(), 6);
    // Values keep their Jet types through SQLite.
    Rs->MoveFirst();
    EXPECT_EQ(Rs->Fields().Item("Width").Value().VarType(), varSmallint);
    EXPECT_EQ(Rs->Fields().Item("SkipColumn").Value().VarType(), varBoolean);
}

TEST(RecordsetTest, AFileWithoutImexTablesHasNoSpecs) {
    dao::Database Db("later.mdb", SpecSnapshot(false));
    auto Names = Db.OpenRecordset("Select Specname From MSysIMEXSpecs", 2, 512, 3);
    EXPECT_TRUE(Names->BOF() && Names->EOF());
    auto Rows = Db.OpenRecordset(kSpecQuery, 2, 512, 3);
    EXPECT_TRUE(Rows->BOF() && Rows->EOF());
    Db.Close();
    EXPECT_THROW(Db.TableDefs(), EOleException);
    EXPECT_THROW(Db.OpenRecordset("Select Specname From MSysIMEXSpecs"), EOleException);
}

TEST(OpenDatabaseTest, RefusesWhatIsNoReadableAccessFileNamingIt) {
    TempDir Dir;
    const std::string Missing = (Dir.Path / "missing.mdb").string();
    EXPECT_EQ(OleMessage([&] { Open(Missing); }), "Could not find file '" + Missing + "'.");

    // Said once, with what the file is where that is plain.
    const std::string Text = Dir.File("notes.mdb", "This is a text file, not a database.\n");
    EXPECT_EQ(OleMessage([&] { Open(Text); }),
              "'" + Text + "' is not an Access database (it is a text file).");
    const std::string Empty = Dir.File("empty.mdb", "");
    EXPECT_EQ(OleMessage([&] { Open(Empty); }),
              "'" + Empty + "' is not an Access database (the file is empty).");
    const std::string Zip = Dir.File("book.mdb", std::string("PK\x03\x04\x14\x00\x06\x00\x08\x00", 10) +
                                                     std::string(300, '\x01'));
    EXPECT_EQ(OleMessage([&] { Open(Zip); }),
              "'" + Zip +
                  "' is not an Access database (it is a ZIP archive, such as an "
                  "Excel workbook or a Word document).");
    const std::string Binary =
        Dir.File("data.mdb", std::string("\x7f\x01\x02\x00", 4) + std::string(100, '\x03'));
    EXPECT_EQ(OleMessage([&] { Open(Binary); }), "'" + Binary + "' is not an Access database.");

    const std::string Nwind = ReadAll(kNwind);
    const std::string Truncated = Dir.File("truncated.mdb", Nwind.substr(0, 5000));
    EXPECT_NE(OleMessage([&] { Open(Truncated); }).find(Truncated), std::string::npos);

    // A database whose catalogue page is not a table definition.
    std::string Broken = Nwind;
    Broken[2 * 2048] = 0x01;
    const std::string BrokenFile = Dir.File("broken.mdb", Broken);
    EXPECT_NE(OleMessage([&] { Open(BrokenFile); }).find("catalogue"), std::string::npos);
}

TEST(OpenDatabaseTest, AReaderThatFailsHangsOrIsMissingGivesAnError) {
    TempDir Dir;
    const std::string Saved = dao::ReaderProgram();
    const int SavedLimit = dao::ReaderTimeLimit();
    auto Script = [&Dir](const std::string& Name, const std::string& Body) {
        const std::string P = Dir.File(Name, "#!/bin/sh\n" + Body + "\n");
        fs::permissions(P, fs::perms::owner_all);
        return P;
    };
    dao::SetReaderProgram(Script("crash.sh", "kill -SEGV $$"));
    EXPECT_NE(OleMessage([] { Open(kNwind); }).find("signal 11"), std::string::npos);
    dao::SetReaderProgram(Script("garbage.sh", "echo 'V\t1\t0' >&3; echo 'O\tbroken' >&3"));
    EXPECT_NE(OleMessage([] { Open(kNwind); }).find("malformed object"), std::string::npos);
    dao::SetReaderProgram(Script("silent.sh", "exit 0"));
    EXPECT_NE(OleMessage([] { Open(kNwind); }).find("could not be read"), std::string::npos);
    dao::SetReaderProgram(Script("hang.sh", "exec sleep 30"));
    dao::SetReaderTimeLimit(300);
    EXPECT_NE(OleMessage([] { Open(kNwind); }).find("took longer than 1 seconds"), std::string::npos);
    dao::SetReaderProgram((Dir.Path / "nothing-here").string());
    EXPECT_NE(OleMessage([] { Open(kNwind); }).find("is missing"), std::string::npos);
    dao::SetReaderProgram(Saved);
    dao::SetReaderTimeLimit(SavedLimit);
    EXPECT_EQ(Open(kNwind)->TableDefs().Count(), 19);
}

TEST(SnapshotTest, ValuesAndTextRoundTripExactly) {
    dao::Snapshot S;
    dao::CatalogObject O;
    O.Id = -7;
    O.Name = "Tab\there\\and\nnew line\r";
    O.DateCreate = Variant::Date(-657434.75);
    O.DateUpdate = Variant::Null();
    O.Properties = {{"",
                     {{"A", Variant(true)},
                      {"B", Variant(std::uint8_t(200))},
                      {"C", Variant(3.25)},
                      {"D", Variant::Currency(-12345)},
                      {"E", Variant::Bytes({0, 255, 16})},
                      {"F", Variant(float(1.5))},
                      {"G", Variant(std::int16_t(-2))}}},
                    {"Col", {{"Caption", Variant("\xE4")}}}};
    O.Columns = {{"Col", dao::jtText, 50, 0}};
    O.HasDefinition = true;
    O.RecordCount = 3;
    std::string Text;
    dao::SnapshotWriter W(Text);
    W.Header(1);
    W.Object(O);
    W.Table({"MSysQueries", {{"Name1", dao::jtText}}, {{Variant("x")}, {Variant::Null()}}});
    W.End();
    const dao::ParsedSnapshot P = dao::ParseSnapshot(Text);
    ASSERT_TRUE(P.Complete) << P.Error;
    const dao::CatalogObject& R = P.Data.Objects.at(0);
    EXPECT_EQ(R.Name, O.Name);
    EXPECT_EQ(R.DateCreate, O.DateCreate);
    ASSERT_EQ(R.Properties.size(), 2u);
    for (std::size_t I = 0; I < O.Properties[0].Properties.size(); ++I)
        EXPECT_EQ(R.Properties[0].Properties[I].Value, O.Properties[0].Properties[I].Value) << I;
    EXPECT_EQ(R.Block("Col")->Properties[0].Value.AsString(), "\xE4");
    EXPECT_EQ(R.RecordCount, 3);
    EXPECT_EQ(P.Data.FindTable("msysqueries")->Rows.size(), 2u);

    // Cut anywhere before its end record, the output is not taken as complete.
    for (std::size_t Cut = 0; Cut + 1 < Text.size(); Cut += 7)
        EXPECT_FALSE(dao::ParseSnapshot(Text.substr(0, Cut)).Complete) << Cut;
}

namespace {

std::string U16(unsigned V) {
    return std::string{static_cast<char>(V & 0xFF), static_cast<char>(V >> 8)};
}
std::string U32(unsigned V) {
    return U16(V & 0xFFFF) + U16(V >> 16);
}
std::string Chunk(unsigned Type, const std::string& Body) {
    return U32(static_cast<unsigned>(Body.size()) + 6) + U16(Type) + Body;
}
std::string Record(int Type, unsigned Name, const std::string& Value) {
    return U16(static_cast<unsigned>(Value.size()) + 8) + std::string(1, '\0') +
           std::string(1, static_cast<char>(Type)) + U16(Name) + U16(static_cast<unsigned>(Value.size())) +
           Value;
}
std::string Block(const std::string& Name, const std::string& Records) {
    const std::string Body = U16(static_cast<unsigned>(Name.size())) + Name + Records;
    return Chunk(0, U32(static_cast<unsigned>(Body.size()) + 4) + Body);
}

} // namespace

TEST(LvPropTest, ParsesTypedPropertiesAndPassesOverMalformedRecords) {
    const std::string Names = Chunk(0x80, U16(6) + "Format" + U16(8) + "Required" + U16(7) + "Created");
    double When = 35000.5;
    std::string Date(8, '\0');
    std::memcpy(Date.data(), &When, 8);
    const std::string Blob = std::string("KKD\0", 4) + Names +
                             Block("", Record(dao::jtText, 0, "dd/mm/yy") + Record(dao::jtDate, 2, Date)) +
                             Block("OrderDate", Record(dao::jtBoolean, 1, std::string(1, '\1')) +
                                                    Record(dao::jtText, 9, "bad name index") + // passed over
                                                    Record(dao::jtLong, 0, "ab") + // too short for its type
                                                    Record(dao::jtText, 0, "Short Date")) +
                             Chunk(0, "\xFF\xFF"); // ends the blob cleanly
    const auto Blocks = dao::ParseLvProp(Blob, false);
    ASSERT_EQ(Blocks.size(), 3u);
    EXPECT_EQ(Blocks[0].Name, "");
    ASSERT_EQ(Blocks[0].Properties.size(), 2u);
    EXPECT_EQ(Blocks[0].Properties[0].Value, Variant("dd/mm/yy"));
    EXPECT_EQ(Blocks[0].Properties[1].Value, Variant::Date(35000.5));
    EXPECT_EQ(Blocks[1].Name, "OrderDate");
    ASSERT_EQ(Blocks[1].Properties.size(), 2u);
    EXPECT_EQ(Blocks[1].Properties[0].Value, Variant(true));
    EXPECT_EQ(Blocks[1].Properties[1].Value, Variant("Short Date"));

    EXPECT_TRUE(dao::ParseLvProp("XYZ\0garbage", false).empty());
    // A chunk claiming more bytes than the blob has ends the parse with what came before.
    const std::string Truncated = std::string("MR2\0", 4) + Names + U32(1000) + U16(0);
    EXPECT_TRUE(dao::ParseLvProp(Truncated, true).empty());
}

TEST(LvPropTest, DecodesJet4TextInBothForms) {
    EXPECT_EQ(dao::DecodeJetText(std::string("D\0a\0t\0e\0", 8), true), "Date");
    // Compressed: FF FE, then one-byte characters; 00 switches to two-byte units and back.
    EXPECT_EQ(dao::DecodeJetText(std::string("\xFF\xFE"
                                             "ab\0\xAC\x20\0c",
                                             9),
                                 true),
              "ab\x80"
              "c");
    EXPECT_EQ(dao::DecodeJetText("Ums\xE4tze", false), "Ums\xE4tze");
}

TEST(LvPropTest, RandomBlobsNeverCrashTheParsers) {
    std::srand(7);
    for (int I = 0; I < 3000; ++I) {
        std::string Blob(static_cast<std::size_t>(std::rand() % 200), '\0');
        for (char& C : Blob)
            C = static_cast<char>(std::rand() % 8 == 0 ? 0xFF : std::rand() % 12);
        if (I % 2)
            Blob.replace(0, std::min<std::size_t>(4, Blob.size()), std::string("KKD\0", 4));
        for (const auto& B : dao::ParseLvProp(Blob, I % 3 == 0))
            for (const auto& P : B.Properties)
                EXPECT_FALSE(P.Value.IsEmpty());
        EXPECT_FALSE(dao::ParseSnapshot(Blob).Complete);
    }
}
