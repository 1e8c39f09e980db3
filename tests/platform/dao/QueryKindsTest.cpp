// Action queries rebuilt from their MSysQueries rows, in the column layout of the real files
// (ObjectId Long, Attribute Byte, Order Binary, Name1 and Name2 Text, Expression Memo, Flag Integer),
// and the names Jet gives output columns that share a name.

#include "platform/dao/DAO.h"
#include "platform/dao/QuerySql.h"
#include "platform/dao/Snapshot.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kQueryId = -2147483600;

/// MSysQueries rows of one query, added as Access stores them.
struct QueryRows {
    dao::TableRows Table{"MSysQueries",
                         {{"ObjectId", dao::jtLong},
                          {"Attribute", dao::jtByte},
                          {"Order", dao::jtBinary},
                          {"Name1", dao::jtText},
                          {"Name2", dao::jtText},
                          {"Expression", dao::jtMemo},
                          {"Flag", dao::jtInteger}},
                         {}};

    QueryRows& Row(int Attribute, const char* Name1, const char* Name2, const char* Expression,
                   int Flag = 0) {
        auto Text = [](const char* S) { return S ? Variant(S) : Variant::Null(); };
        const auto Order = static_cast<std::uint8_t>(Table.Rows.size());
        Table.Rows.push_back({Variant(kQueryId), Variant(static_cast<std::uint8_t>(Attribute)),
                              Variant::Bytes({Order, 0, 0, 0}), Text(Name1), Text(Name2), Text(Expression),
                              Variant(static_cast<std::int16_t>(Flag))});
        return *this;
    }
    dao::QueryText Rebuild() const { return dao::RebuildQuery(&Table, kQueryId); }
};

} // namespace

TEST(QueryKindsTest, AppendQueriesKeepTheirTargetTableAndColumns) {
    QueryRows Q;
    Q.Row(0, nullptr, nullptr, nullptr)
        .Row(1, "Order Archive", nullptr, nullptr, 3)
        .Row(3, nullptr, nullptr, nullptr, 0)
        .Row(5, "Orders", nullptr, nullptr)
        .Row(6, nullptr, "OrderID", "Orders.OrderID")
        .Row(6, nullptr, "Order Date", "Orders.OrderDate")
        .Row(6, "Expr1", "ArchivedOn", "Date()")
        .Row(8, nullptr, nullptr, "(((Orders.OrderDate)<#1/1/1995#))")
        .Row(255, nullptr, nullptr, nullptr);
    const dao::QueryText T = Q.Rebuild();
    EXPECT_EQ(T.Kind, dao::dbQAppend);
    EXPECT_EQ(T.SQL, "INSERT INTO [Order Archive] ( OrderID, [Order Date], ArchivedOn )\r\n"
                     "SELECT Orders.OrderID, Orders.OrderDate, Date() AS Expr1\r\n"
                     "FROM Orders\r\n"
                     "WHERE (((Orders.OrderDate)<#1/1/1995#));\r\n");
    EXPECT_TRUE(T.Columns.empty());

    // Values rather than a SELECT: the column rows carry flag 0x8000.
    QueryRows V;
    V.Row(1, "Shippers", nullptr, nullptr, 3)
        .Row(6, nullptr, "CompanyName", "\"Speedy Express\"", -32768)
        .Row(6, nullptr, "Phone", "\"(503) 555-9831\"", -32768);
    EXPECT_EQ(V.Rebuild().SQL, "INSERT INTO Shippers ( CompanyName, Phone )\r\n"
                               "VALUES (\"Speedy Express\", \"(503) 555-9831\");\r\n");

    // A target in another database, all fields of the source.
    QueryRows R;
    R.Row(1, "Orders", "C:\\Archive\\Old.mdb", nullptr, 3)
        .Row(3, nullptr, nullptr, nullptr, 1)
        .Row(5, "Orders", nullptr, nullptr);
    EXPECT_EQ(R.Rebuild().SQL,
              "INSERT INTO Orders IN 'C:\\Archive\\Old.mdb'\r\nSELECT *\r\nFROM Orders;\r\n");
}

TEST(QueryKindsTest, MakeTableUpdateAndDeleteQueriesKeepTheirTargets) {
    QueryRows M;
    M.Row(1, "Customer Copy", nullptr, nullptr, 2)
        .Row(3, nullptr, nullptr, nullptr, 8)
        .Row(5, "Customers", nullptr, nullptr)
        .Row(6, nullptr, nullptr, "Customers.CustomerID")
        .Row(6, "Since", nullptr, "Min(Orders.OrderDate)")
        .Row(9, nullptr, nullptr, "Customers.CustomerID");
    const dao::QueryText Make = M.Rebuild();
    EXPECT_EQ(Make.Kind, dao::dbQMakeTable);
    EXPECT_EQ(Make.SQL, "SELECT DISTINCTROW Customers.CustomerID, Min(Orders.OrderDate) AS Since "
                        "INTO [Customer Copy]\r\nFROM Customers\r\nGROUP BY Customers.CustomerID;\r\n");
    ASSERT_EQ(Make.Columns.size(), 2u);
    EXPECT_EQ(Make.Columns[1].Name, "Since");

    // The column that an update sets is in Name2; the source tables may lie in another database.
    // Access writes UPDATE and SET on one line.
    QueryRows U;
    U.Row(1, nullptr, nullptr, nullptr, 4)
        .Row(2, "Rate", nullptr, nullptr, 7)
        .Row(4, "C:\\Data\\Sales.mdb", nullptr, nullptr)
        .Row(5, "Order Details", nullptr, nullptr)
        .Row(6, nullptr, "Order Details.Unit Price", "[Unit Price]*[Rate]")
        .Row(6, nullptr, "[Order Details].Discount", "0")
        .Row(8, nullptr, nullptr, "(([Order Details].ShippedDate) Is Null)");
    const dao::QueryText Update = U.Rebuild();
    EXPECT_EQ(Update.Kind, dao::dbQUpdate);
    EXPECT_EQ(Update.SQL,
              "PARAMETERS Rate IEEEDouble;\r\n"
              "UPDATE [Order Details] IN 'C:\\Data\\Sales.mdb' SET [Order Details].[Unit Price] = "
              "[Unit Price]*[Rate], [Order Details].Discount = 0\r\n"
              "WHERE (([Order Details].ShippedDate) Is Null);\r\n");

    QueryRows D;
    D.Row(1, nullptr, nullptr, nullptr, 5)
        .Row(5, "Orders", nullptr, nullptr)
        .Row(6, nullptr, nullptr, "Orders.*")
        .Row(6, nullptr, nullptr, "Orders.OrderDate")
        .Row(8, nullptr, nullptr, "(((Orders.OrderDate)<#1/1/1990#))");
    const dao::QueryText Delete = D.Rebuild();
    EXPECT_EQ(Delete.Kind, dao::dbQDelete);
    EXPECT_EQ(Delete.SQL, "DELETE Orders.*, Orders.OrderDate\r\nFROM Orders\r\n"
                          "WHERE (((Orders.OrderDate)<#1/1/1990#));\r\n");
    QueryRows All;
    All.Row(1, nullptr, nullptr, nullptr, 5)
        .Row(3, nullptr, nullptr, nullptr, 1)
        .Row(5, "Orders", nullptr, nullptr);
    EXPECT_EQ(All.Rebuild().SQL, "DELETE *\r\nFROM Orders;\r\n");
}

TEST(QueryKindsTest, ActionQueriesReturnNoRecordsThroughTheEngine) {
    QueryRows Q;
    Q.Row(1, "Order Archive", nullptr, nullptr, 3)
        .Row(5, "Orders", nullptr, nullptr)
        .Row(6, nullptr, "OrderID", "Orders.OrderID");
    auto S = std::make_shared<dao::Snapshot>();
    dao::CatalogObject O;
    O.Id = kQueryId;
    O.Type = 5;
    O.Flags = 64;
    O.Name = "Archive Old Orders";
    S->Objects.push_back(O);
    S->Tables.push_back(Q.Table);
    dao::Database Db("archive.mdb", S);
    const auto Def = Db.QueryDefs().Item("Archive Old Orders");
    EXPECT_EQ(Def->Properties().Item("Type").Value().AsInteger(), dao::dbQAppend);
    EXPECT_FALSE(Def->Properties().Item("ReturnsRecords").Value().AsBoolean());
    EXPECT_EQ(Def->SQL(),
              "INSERT INTO [Order Archive] ( OrderID )\r\nSELECT Orders.OrderID\r\nFROM Orders;\r\n");
    EXPECT_EQ(Def->Fields().Count(), 0);
}

TEST(QueryKindsTest, ColumnsThatShareANameTakeTheirTablesName) {
    auto Db =
        dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(QUORVEX_TEST_DATA "/nwind.mdb", false, true, "");
    const auto Invoices = Db->QueryDefs().Item("Invoices");
    std::vector<std::string> Names;
    for (int I = 0; I < Invoices->Fields().Count(); ++I)
        Names.push_back(Invoices->Fields().Item(I).Name());
    EXPECT_EQ(std::count(Names.begin(), Names.end(), "Customers.CompanyName"), 1);
    EXPECT_EQ(std::count(Names.begin(), Names.end(), "Shippers.CompanyName"), 1);
    EXPECT_EQ(std::count(Names.begin(), Names.end(), "CompanyName"), 0);
    EXPECT_EQ(Names.front(), "ShipName");
    const auto& Shipper = Invoices->Fields().Item("Shippers.CompanyName").Properties();
    EXPECT_EQ(Shipper.Item("SourceTable").Value().AsString(), "Shippers");
    EXPECT_EQ(Shipper.Item("SourceField").Value().AsString(), "CompanyName");
    // A query over it sees the same names.
    EXPECT_EQ(Db->QueryDefs().Item("Invoices Filter")->Fields().Item(7).Name(), "Customers.CompanyName");
}
