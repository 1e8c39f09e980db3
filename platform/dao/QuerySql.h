#pragma once
// Rebuilds a saved query's SQL text and its output columns from its rows in MSysQueries.
//
// Each row carries an attribute and, depending on it, Name1, Name2, Expression and Flag:
//   1 kind (Flag: 1 select, 2 make-table, 3 append, 4 update, 5 delete, 6 crosstab, 7 DDL,
//     8 pass-through, 9 union); for make-table and append the target table (Name1) and the
//     database it lies in when not this one (path Name2, type Expression)
//   2 a parameter (Name1, Flag the data type)        3 flags (1 all fields, 2 DISTINCT,
//     4 owner access, 8 DISTINCTROW, 16 TOP Name1, 32 PERCENT)
//   4 the database the tables lie in when not this one (path Name1, type Expression)
//   5 a table (Name1, alias Name2) or, in a union or a FROM subquery, a SELECT in Expression
//   6 an output column (Expression, alias Name1; the target column in Name2 for append and update;
//     Flag 0x8000 an append's VALUES item; in a crosstab Flag 0 value, 1 pivot, 2 row heading)
//   7 a join (Name1, Name2, ON Expression; Flag 1 inner, 2 left, 3 right)
//   8 WHERE   9 GROUP BY   10 HAVING   11 ORDER BY (Name1 "D": descending)

#include "platform/dao/Snapshot.h"

#include <string>
#include <vector>

namespace dao {

// DAO query type codes.
constexpr int dbQSelect = 0;
constexpr int dbQCrosstab = 16;
constexpr int dbQDelete = 32;
constexpr int dbQUpdate = 48;
constexpr int dbQAppend = 64;
constexpr int dbQMakeTable = 80;
constexpr int dbQDDL = 96;
constexpr int dbQSQLPassThrough = 112;
constexpr int dbQSetOperation = 128;

struct QueryColumn {
    /// The output name: the alias, else the last identifier of T.F, else Expr1000, Expr1001...
    std::string Name;
    std::string Expression;
    /// For a plain T.F or F column: the table (or alias) and field it names; T.* has Field "*".
    std::string SourceTable;
    std::string SourceField;
};

struct QueryText {
    int Kind = dbQSelect;
    std::string SQL;
    std::vector<QueryColumn> Columns;
    /// Alias (or name) -> table name of the tables in FROM.
    std::vector<std::pair<std::string, std::string>> Tables;
};

/// Rebuilds the query whose MSysObjects Id is ObjectId from the rows of MSysQueries (nil: the
/// file has none, which gives an empty SELECT).
QueryText RebuildQuery(const TableRows* MSysQueries, std::int32_t ObjectId);

/// The output columns of a SELECT's column list ("a, T.b AS [c], 1+2"), as Jet names them.
std::vector<QueryColumn> SelectListColumns(const std::string& Select);

/// Name written as Jet SQL wants it: in brackets unless it is a plain identifier.
std::string BracketName(const std::string& Name);

} // namespace dao
