// The scans of Access databases and their objects. Until the database engine is in place, a
// database scan reports that it is not available; Open shows each object with its kind's image.

#include "scanmodel/HitProtocol.h"
#include "scanmodel/Scan.h"
#include "scanmodel/ScanInfo.h"

namespace {
[[noreturn]] void NotAvailable() {
    throw Exception("Database scanning is not available");
}
} // namespace

void TMDBInfo::Scan(const TStringList&, const TStringList&) {
    StopScan = false;
    NotAvailable();
}

void TMDBObjectInfo::Open() {}

void TMDBObjectInfo::Close() {}

void TMDBObjectInfo::MatchValue(const std::string& Sub, const std::string& Line, const std::string& Field,
                                const std::string& Filename, Longint Index, const TStringList& KeyWords,
                                const TStringList& Excludes) {
    if (!OnHit)
        return;
    TKeywordMatcher Matcher(KeyWords);
    Matcher.Match(Line, Excludes, [&](Longint K, Longint P, const std::string& W) {
        auto Hit = std::make_unique<TMDBHitInfo>();
        Hit->Line = Line;
        Hit->LineInModule = Index;
        Hit->LineInSub = Index;
        Hit->Position = P;
        Hit->Sub = Sub;
        Hit->Variable = W;
        Hit->Field = Field;
        Hit->Key = Matcher.Key(K);
        OfferHit(*this, OnHit, std::move(Hit), Filename);
    });
}

#define QX_MDB_OBJECT_PLACEHOLDER(Class, Image)                                                              \
    void Class::Scan(const TStringList&, const TStringList&) {                                               \
        NotAvailable();                                                                                      \
    }                                                                                                        \
    void Class::Open() {                                                                                     \
        TMDBObjectInfo::Open();                                                                              \
        ImageIndex = Image;                                                                                  \
    }                                                                                                        \
    void Class::Close() {                                                                                    \
        TMDBObjectInfo::Close();                                                                             \
    }

QX_MDB_OBJECT_PLACEHOLDER(TMDBTableInfo, 11)
QX_MDB_OBJECT_PLACEHOLDER(TMDBQueryInfo, 12)
QX_MDB_OBJECT_PLACEHOLDER(TMDBFormInfo, 13)
QX_MDB_OBJECT_PLACEHOLDER(TMDBReportInfo, 14)
QX_MDB_OBJECT_PLACEHOLDER(TMDBMacroInfo, 15)
QX_MDB_OBJECT_PLACEHOLDER(TMDBModuleInfo, 16)
QX_MDB_OBJECT_PLACEHOLDER(TMDBIMEXSpecInfo, 17)
