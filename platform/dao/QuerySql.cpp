#include "platform/dao/QuerySql.h"

#include <algorithm>

namespace dao {

namespace {

const char* const kEol = "\r\n";
/// Flag of a column row of an append query whose expression is a value of its VALUES list.
constexpr int kAppendValue = 0x8000;

struct QueryRow {
    int Attribute = 0;
    std::string Name1, Name2, Expression, Order;
    int Flag = 0;
};

bool IsWordChar(char C) {
    const auto U = static_cast<unsigned char>(C);
    return (U >= 'A' && U <= 'Z') || (U >= 'a' && U <= 'z') || (U >= '0' && U <= '9') || U == '_' ||
           U >= 0x80;
}

/// Splits "A.[B C].D" into its identifiers; false when Expr is anything else.
bool IdentifierChain(const std::string& Expr, std::vector<std::string>& Parts) {
    std::size_t I = 0;
    while (I < Expr.size()) {
        std::string Part;
        if (Expr[I] == '[') {
            const std::size_t End = Expr.find(']', I);
            if (End == std::string::npos)
                return false;
            Part = Expr.substr(I + 1, End - I - 1);
            I = End + 1;
        } else if (Expr[I] == '*') {
            Part = "*";
            ++I;
        } else {
            const std::size_t Start = I;
            while (I < Expr.size() && IsWordChar(Expr[I]))
                ++I;
            if (I == Start)
                return false;
            Part = Expr.substr(Start, I - Start);
        }
        Parts.push_back(Part);
        if (I == Expr.size())
            break;
        if (Expr[I] != '.' || ++I == Expr.size())
            return false;
    }
    return !Parts.empty() && Parts.size() <= 3;
}

QueryColumn MakeColumn(const std::string& Expression, const std::string& Alias, int& ExprCount) {
    QueryColumn C;
    C.Expression = Expression;
    std::vector<std::string> Parts;
    const std::string Trimmed = Trim(Expression);
    const bool Plain = IdentifierChain(Trimmed, Parts);
    if (Plain) {
        C.SourceField = Parts.back();
        if (Parts.size() >= 2)
            C.SourceTable = Parts[Parts.size() - 2];
    }
    if (!Alias.empty())
        C.Name = Alias;
    else if (Plain)
        C.Name = Parts.back();
    else
        C.Name = "Expr" + IntToStr(1000 + ExprCount++);
    return C;
}

/// Finds Word (any case) at nesting level 0, outside quotes and brackets, from Start.
std::size_t FindTopLevel(const std::string& S, const std::string& Word, std::size_t Start = 0) {
    int Depth = 0;
    for (std::size_t I = Start; I < S.size(); ++I) {
        const char C = S[I];
        if (C == '"' || C == '\'') {
            const std::size_t End = S.find(C, I + 1);
            if (End == std::string::npos)
                return std::string::npos;
            I = End;
        } else if (C == '[') {
            const std::size_t End = S.find(']', I + 1);
            if (End == std::string::npos)
                return std::string::npos;
            I = End;
        } else if (C == '(') {
            ++Depth;
        } else if (C == ')') {
            --Depth;
        } else if (Depth == 0 && I + Word.size() <= S.size() && SameText(S.substr(I, Word.size()), Word)) {
            // A keyword must stand as a whole word; punctuation matches anywhere.
            const bool Keyword = IsWordChar(Word.front());
            if (!Keyword || ((I == 0 || !IsWordChar(S[I - 1])) &&
                             (I + Word.size() == S.size() || !IsWordChar(S[I + Word.size()]))))
                return I;
        }
    }
    return std::string::npos;
}

std::vector<std::string> SplitTopLevel(const std::string& S, char Separator) {
    std::vector<std::string> Items;
    std::size_t Start = 0;
    while (true) {
        const std::size_t At = FindTopLevel(S, std::string(1, Separator), Start);
        Items.push_back(Trim(S.substr(Start, At == std::string::npos ? std::string::npos : At - Start)));
        if (At == std::string::npos)
            break;
        Start = At + 1;
    }
    return Items;
}

std::string Unbracket(const std::string& S) {
    if (S.size() >= 2 && S.front() == '[' && S.back() == ']')
        return S.substr(1, S.size() - 2);
    return S;
}

const char* ParameterType(int Flag) {
    switch (Flag) {
    case 1:
        return "Bit";
    case 2:
        return "Byte";
    case 3:
        return "Short";
    case 4:
        return "Long";
    case 5:
        return "Currency";
    case 6:
        return "IEEESingle";
    case 7:
        return "IEEEDouble";
    case 8:
        return "DateTime";
    case 9:
        return "Binary";
    case 11:
        return "LongBinary";
    case 12:
        return "Memo";
    case 15:
        return "Guid";
    default:
        return "Text";
    }
}

std::string Join(const std::vector<std::string>& Items, const char* Separator) {
    std::string S;
    for (const std::string& I : Items) {
        if (!S.empty())
            S += Separator;
        S += I;
    }
    return S;
}

std::string TableReference(const QueryRow& R) {
    if (!R.Expression.empty() && R.Name1.empty()) // a subquery in FROM
        return "(" + Trim(R.Expression) + ")" + (R.Name2.empty() ? "" : " AS " + BracketName(R.Name2));
    std::string Ref = BracketName(R.Name1);
    if (!R.Name2.empty())
        Ref += " AS " + BracketName(R.Name2);
    return Ref;
}

/// FROM clause: tables in no join first, then the joins, each one nested around those before it.
std::string FromClause(const std::vector<QueryRow>& Tables, const std::vector<QueryRow>& Joins) {
    std::vector<std::pair<std::string, std::string>> Refs; // name in joins -> reference text
    for (const QueryRow& T : Tables)
        Refs.emplace_back(T.Name2.empty() ? T.Name1 : T.Name2, TableReference(T));
    auto RefOf = [&Refs](const std::string& Name) {
        for (const auto& [N, Ref] : Refs)
            if (SameText(N, Name))
                return Ref;
        return BracketName(Name);
    };
    std::vector<std::string> Joined;
    std::string Tree;
    for (const QueryRow& J : Joins) {
        const char* Kind = J.Flag == 2 ? " LEFT JOIN " : J.Flag == 3 ? " RIGHT JOIN " : " INNER JOIN ";
        auto In = [&Joined](const std::string& N) {
            return std::any_of(Joined.begin(), Joined.end(),
                               [&N](const std::string& X) { return SameText(X, N); });
        };
        const bool Left = In(J.Name1), Right = In(J.Name2);
        if (Tree.empty()) {
            Tree = RefOf(J.Name1) + Kind + RefOf(J.Name2) + " ON " + J.Expression;
        } else if (Left && Right) {
            Tree += " AND " + J.Expression;
        } else if (Left || Right) {
            Tree = Left ? "(" + Tree + ")" + Kind + RefOf(J.Name2) + " ON " + J.Expression
                        : RefOf(J.Name1) + Kind + "(" + Tree + ") ON " + J.Expression;
        } else {
            Tree += ", " + RefOf(J.Name1) + Kind + RefOf(J.Name2) + " ON " + J.Expression;
        }
        Joined.push_back(J.Name1);
        Joined.push_back(J.Name2);
    }
    std::vector<std::string> Parts;
    for (const auto& [Name, Ref] : Refs)
        if (std::none_of(Joined.begin(), Joined.end(),
                         [&Name](const std::string& X) { return SameText(X, Name); }))
            Parts.push_back(Ref);
    if (!Tree.empty())
        Parts.push_back(Tree);
    return Join(Parts, ", ");
}

/// A column reference such as T.F, each part bracketed where Jet SQL needs it; text that already
/// holds brackets is kept as it stands.
std::string QualifiedName(const std::string& Name) {
    if (Name.find('[') != std::string::npos)
        return Name;
    std::string Out;
    for (std::size_t Start = 0;;) {
        const std::size_t Dot = Name.find('.', Start);
        Out += BracketName(Name.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start));
        if (Dot == std::string::npos)
            return Out;
        Out += '.';
        Start = Dot + 1;
    }
}

/// The IN clause that names another database: its path, and its type when it is not Access.
std::string ExternalDatabase(const std::string& Path, const std::string& Type) {
    if (Path.empty() && Type.empty())
        return {};
    return " IN '" + Path + "'" + (Type.empty() ? std::string() : " [" + Type + "]");
}

std::vector<std::string> PivotValues(const std::string& Pivot) {
    std::vector<std::string> Values;
    const std::size_t In = FindTopLevel(Pivot, "In");
    if (In == std::string::npos)
        return Values;
    const std::size_t Open = Pivot.find('(', In), Close = Pivot.rfind(')');
    if (Open == std::string::npos || Close == std::string::npos || Close < Open)
        return Values;
    for (std::string V : SplitTopLevel(Pivot.substr(Open + 1, Close - Open - 1), ',')) {
        if (V.size() >= 2 && (V.front() == '"' || V.front() == '\'') && V.back() == V.front())
            V = V.substr(1, V.size() - 2);
        if (!V.empty())
            Values.push_back(V);
    }
    return Values;
}

} // namespace

std::string BracketName(const std::string& Name) {
    if (!Name.empty() && std::all_of(Name.begin(), Name.end(), IsWordChar) &&
        !(Name[0] >= '0' && Name[0] <= '9'))
        return Name;
    return "[" + Name + "]";
}

std::vector<QueryColumn> SelectListColumns(const std::string& Select) {
    std::vector<QueryColumn> Columns;
    std::size_t Start = FindTopLevel(Select, "SELECT");
    if (Start == std::string::npos)
        return Columns;
    Start += 6;
    const std::size_t From = FindTopLevel(Select, "FROM", Start);
    std::string List =
        Trim(Select.substr(Start, From == std::string::npos ? std::string::npos : From - Start));
    for (const char* Predicate : {"DISTINCTROW", "DISTINCT", "ALL"})
        if (FindTopLevel(List, Predicate) == 0)
            List = Trim(List.substr(std::string(Predicate).size()));
    if (FindTopLevel(List, "TOP") == 0) {
        std::size_t I = 3;
        while (I < List.size() && (List[I] == ' ' || (List[I] >= '0' && List[I] <= '9')))
            ++I;
        List = Trim(List.substr(I));
        if (FindTopLevel(List, "PERCENT") == 0)
            List = Trim(List.substr(7));
    }
    int ExprCount = 0;
    for (const std::string& Item : SplitTopLevel(List, ',')) {
        if (Item.empty())
            continue;
        std::size_t As = std::string::npos;
        for (std::size_t P = FindTopLevel(Item, "AS"); P != std::string::npos;
             P = FindTopLevel(Item, "AS", P + 2))
            As = P;
        if (As != std::string::npos && As > 0)
            Columns.push_back(
                MakeColumn(Trim(Item.substr(0, As)), Unbracket(Trim(Item.substr(As + 2))), ExprCount));
        else
            Columns.push_back(MakeColumn(Item, "", ExprCount));
    }
    return Columns;
}

QueryText RebuildQuery(const TableRows* MSysQueries, std::int32_t ObjectId) {
    QueryText Q;
    std::vector<QueryRow> Rows;
    if (MSysQueries) {
        auto Index = [MSysQueries](const char* Name) {
            for (std::size_t I = 0; I < MSysQueries->Columns.size(); ++I)
                if (SameText(MSysQueries->Columns[I].first, Name))
                    return static_cast<int>(I);
            return -1;
        };
        const int Id = Index("ObjectId"), Attribute = Index("Attribute"), Name1 = Index("Name1"),
                  Name2 = Index("Name2"), Expression = Index("Expression"), Flag = Index("Flag"),
                  Order = Index("Order");
        auto Text = [](const std::vector<Variant>& R, int I) {
            return I < 0 ? std::string() : R[I].AsString();
        };
        // A damaged file may give a column another type; such a value counts as 0.
        auto Number = [](const std::vector<Variant>& R, int I) -> std::int64_t {
            if (I < 0 || R[I].IsNull())
                return 0;
            try {
                return R[I].AsInteger();
            } catch (const EVariantError&) {
                return 0;
            }
        };
        if (Id >= 0 && Attribute >= 0)
            for (const auto& R : MSysQueries->Rows)
                if (Number(R, Id) == ObjectId)
                    Rows.push_back({static_cast<int>(Number(R, Attribute)), Text(R, Name1), Text(R, Name2),
                                    Text(R, Expression), Text(R, Order), static_cast<int>(Number(R, Flag))});
    }
    std::stable_sort(Rows.begin(), Rows.end(), [](const QueryRow& A, const QueryRow& B) {
        return A.Attribute != B.Attribute ? A.Attribute < B.Attribute : A.Order < B.Order;
    });

    int KindFlag = 1, Flags = 0;
    std::string Top, Target, TargetDb, SourceDb;
    std::vector<std::string> Parameters, Where, GroupBy, Having, OrderBy;
    std::vector<QueryRow> Tables, Columns, Joins;
    for (const QueryRow& R : Rows) {
        switch (R.Attribute) {
        case 1:
            KindFlag = R.Flag;
            Target = R.Name1;
            TargetDb = ExternalDatabase(R.Name2, R.Expression);
            break;
        case 2:
            Parameters.push_back(BracketName(R.Name1) + " " + ParameterType(R.Flag));
            break;
        case 3:
            Flags = R.Flag;
            Top = R.Name1;
            break;
        case 4:
            SourceDb = ExternalDatabase(R.Name1, R.Expression);
            break;
        case 5:
            Tables.push_back(R);
            break;
        case 6:
            Columns.push_back(R);
            break;
        case 7:
            Joins.push_back(R);
            break;
        case 8:
            Where.push_back(R.Expression);
            break;
        case 9:
            GroupBy.push_back(R.Expression);
            break;
        case 10:
            Having.push_back(R.Expression);
            break;
        case 11:
            OrderBy.push_back(R.Expression + (R.Name1 == "D" ? " DESC" : ""));
            break;
        default:
            break;
        }
    }
    static const int kKinds[] = {dbQSelect, dbQSelect,   dbQMakeTable, dbQAppend,         dbQUpdate,
                                 dbQDelete, dbQCrosstab, dbQDDL,       dbQSQLPassThrough, dbQSetOperation};
    Q.Kind = KindFlag >= 1 && KindFlag <= 9 ? kKinds[KindFlag] : dbQSelect;
    for (const QueryRow& T : Tables)
        if (!T.Name1.empty())
            Q.Tables.emplace_back(T.Name2.empty() ? T.Name1 : T.Name2, T.Name1);

    std::string Predicate;
    if (Flags & 0x08)
        Predicate += "DISTINCTROW ";
    else if (Flags & 0x02)
        Predicate += "DISTINCT ";
    if ((Flags & 0x10) && !Top.empty())
        Predicate += "TOP " + Top + ((Flags & 0x20) ? " PERCENT " : " ");

    int ExprCount = 0;
    std::vector<std::string> Select, Into, Values;
    std::string Transform, Pivot;
    for (const QueryRow& C : Columns) {
        const std::string Item = C.Expression + (C.Name1.empty() ? "" : " AS " + BracketName(C.Name1));
        if (Q.Kind == dbQCrosstab && C.Flag == 0) {
            Transform = Item;
        } else if (Q.Kind == dbQCrosstab && C.Flag == 1) {
            Pivot = C.Expression;
        } else if (Q.Kind == dbQUpdate) {
            // Name2 names the column set; a row without it falls back on its alias.
            Select.push_back(QualifiedName(C.Name2.empty() ? C.Name1 : C.Name2) + " = " + C.Expression);
        } else if (Q.Kind == dbQAppend && (C.Flag & kAppendValue)) {
            Values.push_back(C.Expression);
            if (!C.Name2.empty())
                Into.push_back(QualifiedName(C.Name2));
        } else {
            Select.push_back(Item);
            if (Q.Kind == dbQAppend && !C.Name2.empty())
                Into.push_back(QualifiedName(C.Name2));
            if (Q.Kind == dbQSelect || Q.Kind == dbQMakeTable || Q.Kind == dbQCrosstab)
                Q.Columns.push_back(MakeColumn(C.Expression, C.Name1, ExprCount));
        }
    }
    if ((Flags & 0x01) &&
        (Q.Kind == dbQSelect || Q.Kind == dbQMakeTable || Q.Kind == dbQAppend || Q.Kind == dbQDelete)) {
        Select.insert(Select.begin(), "*");
        if (Q.Kind == dbQSelect || Q.Kind == dbQMakeTable)
            Q.Columns.insert(Q.Columns.begin(), QueryColumn{"*", "*", "", "*"});
    }
    if (Q.Kind == dbQCrosstab)
        for (const std::string& V : PivotValues(Pivot))
            Q.Columns.push_back(QueryColumn{V, Pivot, "", ""});

    std::string Sql;
    if (!Parameters.empty())
        Sql += "PARAMETERS " + Join(Parameters, ", ") + ";" + kEol;
    const std::string Tables_ = FromClause(Tables, Joins);
    const std::string From = Tables_.empty() ? std::string() : kEol + ("FROM " + Tables_) + SourceDb;
    const std::string Columns_ = Join(Select, ", ");
    switch (Q.Kind) {
    case dbQSetOperation: {
        std::vector<std::string> Parts;
        for (const QueryRow& T : Tables)
            if (!T.Expression.empty())
                Parts.push_back(Trim(T.Expression));
        Sql += Join(Parts, (std::string(kEol) + ((Flags & 0x02) ? "UNION " : "UNION ALL ")).c_str());
        if (!Parts.empty())
            Q.Columns = SelectListColumns(Parts.front());
        break;
    }
    case dbQDDL:
    case dbQSQLPassThrough:
        for (const QueryRow& R : Rows)
            if (!R.Expression.empty()) {
                Sql += Trim(R.Expression);
                break;
            }
        break;
    case dbQUpdate:
        Sql += "UPDATE " + Tables_ + SourceDb + " SET " + Columns_;
        break;
    case dbQDelete:
        Sql += "DELETE " + Predicate + Columns_ + From;
        break;
    case dbQAppend:
        Sql += "INSERT INTO " + BracketName(Target) + TargetDb;
        if (!Into.empty())
            Sql += " ( " + Join(Into, ", ") + " )";
        if (!Values.empty())
            Sql += kEol + ("VALUES (" + Join(Values, ", ") + ")");
        else
            Sql += kEol + ("SELECT " + Predicate + Columns_) + From;
        break;
    default:
        if (Q.Kind == dbQCrosstab)
            Sql += "TRANSFORM " + Transform + kEol;
        Sql += "SELECT " + Predicate + Columns_;
        if (Q.Kind == dbQMakeTable)
            Sql += " INTO " + BracketName(Target) + TargetDb;
        Sql += From;
        break;
    }
    if (Q.Kind != dbQSetOperation && Q.Kind != dbQDDL && Q.Kind != dbQSQLPassThrough) {
        if (!Where.empty())
            Sql += std::string(kEol) + "WHERE " + Join(Where, " AND ");
        if (!GroupBy.empty())
            Sql += std::string(kEol) + "GROUP BY " + Join(GroupBy, ", ");
        if (!Having.empty())
            Sql += std::string(kEol) + "HAVING " + Join(Having, " AND ");
        if (Q.Kind == dbQCrosstab && !Pivot.empty())
            Sql += std::string(kEol) + "PIVOT " + Pivot;
    }
    if (!OrderBy.empty() && Q.Kind != dbQDDL && Q.Kind != dbQSQLPassThrough)
        Sql += std::string(kEol) + "ORDER BY " + Join(OrderBy, ", ");
    Q.SQL = Sql + ";" + kEol;
    return Q;
}

} // namespace dao
