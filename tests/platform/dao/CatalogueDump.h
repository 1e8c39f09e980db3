#pragma once
// Everything the scans read of a database through the engine, as text: the properties of every
// table and query and of their fields, and the rows of the import/export specification tables.

#include "platform/dao/DAO.h"

#include <string>

namespace daotest {

inline std::string Text(const Variant& V) {
    try {
        return V.AsString();
    } catch (const Exception&) {
        return "<" + std::to_string(V.VarType()) + ">";
    }
}

inline void DumpProperties(const dao::PropertyList& L, std::string& Out) {
    for (int I = 0; I < L.Count(); ++I) {
        Out += " " + L.Item(I).Name() + "=";
        try {
            Out += Text(L.Item(I).Value());
        } catch (const EOleException&) {
            Out += "-";
        }
    }
    Out += "\n";
}

/// Everything the scans read through the engine, as text.
/// Without Stores, the tables that hold forms, reports and code are left out.
inline std::string Catalogue(const std::string& File, bool Stores = true) {
    auto Db = dao::DBEngine::Create()->Workspaces(0)->OpenDatabase(File, false, true, "");
    std::string Out;
    for (int I = 0; I < Db->TableDefs().Count(); ++I) {
        const auto T = Db->TableDefs().Item(I);
        if (!Stores && (T->Name().starts_with("MSysAccess") || T->Name().starts_with("MSysModules")))
            continue;
        DumpProperties(T->Properties(), Out);
        for (int F = 0; F < T->Fields().Count(); ++F)
            DumpProperties(T->Fields().Item(F).Properties(), Out);
    }
    for (int I = 0; I < Db->QueryDefs().Count(); ++I) {
        const auto Q = Db->QueryDefs().Item(I);
        DumpProperties(Q->Properties(), Out);
        for (int F = 0; F < Q->Fields().Count(); ++F)
            DumpProperties(Q->Fields().Item(F).Properties(), Out);
    }
    for (const char* Table : {"MSysIMEXSpecs", "MSysIMEXColumns"})
        for (auto Rs = Db->OpenRecordset(std::string("SELECT * FROM ") + Table, 2, 512, 3); !Rs->EOF();
             Rs->MoveNext())
            for (int F = 0; F < Rs->Fields().Count(); ++F)
                Out += Text(Rs->Fields().Item(F).Value()) + (F + 1 < Rs->Fields().Count() ? "\t" : "\n");
    return Out;
}

} // namespace daotest
