#pragma once
// Two import/export specifications with their columns, as the system tables hold them: none of
// the real test files has any. "Orders Import" has two short date columns (OrderDate and
// ShippedDate, 8 wide), a wide one and one of another type; "Ausgabe" one short date column.

#include "platform/dao/Snapshot.h"

#include <vector>

inline std::vector<dao::TableRows> SpecTables() {
    dao::TableRows Specs{"MSysIMEXSpecs", {{"SpecID", dao::jtLong}, {"SpecName", dao::jtText}}, {}};
    Specs.Rows = {{Variant(std::int32_t(1)), Variant("Orders Import")},
                  {Variant(std::int32_t(2)), Variant("Ausgabe")}};
    dao::TableRows Columns{"MSysIMEXColumns",
                           {{"SpecID", dao::jtLong},
                            {"FieldName", dao::jtText},
                            {"Start", dao::jtInteger},
                            {"Width", dao::jtInteger},
                            {"DataType", dao::jtInteger},
                            {"SkipColumn", dao::jtBoolean}},
                           {}};
    auto Row = [](int Spec, const char* Name, int Start, int Width, int Type) {
        return std::vector<Variant>{Variant(std::int32_t(Spec)),  Variant(Name),
                                    Variant(std::int16_t(Start)), Variant(std::int16_t(Width)),
                                    Variant(std::int16_t(Type)),  Variant(false)};
    };
    Columns.Rows = {Row(1, "ShippedDate", 20, 8, 8), Row(1, "OrderDate", 1, 8, 8), Row(1, "Freight", 9, 8, 7),
                    Row(1, "RequiredDate", 30, 10, 8), Row(2, "Datum", 1, 6, 8)};
    return {Specs, Columns};
}
