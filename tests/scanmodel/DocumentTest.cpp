// Scan documents: golden bytes of saved records, loading back byte for byte, older documents,
// class checks, and a fuzz of the reader starting from real saved documents.

#include "scanmodel/ScanInfo.h"
#include "tests/support/FullDisk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

std::string Bytes(TStreamable& Obj) {
    TMemoryStream Mem;
    {
        TFilter F(&Mem);
        F.WriteObject(&Obj);
    }
    return std::string(Mem.Memory(), Mem.Bytes().size());
}

TStreamable* Read(const std::string& Data) {
    TMemoryStream Mem;
    Mem.WriteBuffer(Data.data(), static_cast<Longint>(Data.size()));
    Mem.SetPosition(0);
    TFilter F(&Mem);
    return F.ReadObject();
}

std::unique_ptr<TQuorvex> ReadDocument(const std::string& Data) {
    std::unique_ptr<TStreamable> Obj(Read(Data));
    auto* Doc = As<TQuorvex>(Obj.get());
    Obj.release();
    return std::unique_ptr<TQuorvex>(Doc);
}

std::string Short(const std::string& S) {
    return std::string(1, static_cast<char>(S.size())) + S;
}

std::string Int(std::int32_t V) {
    std::string S(4, '\0');
    for (int I = 0; I < 4; ++I)
        S[I] = static_cast<char>(static_cast<std::uint32_t>(V) >> (8 * I));
    return S;
}

std::string Container(const std::string& Tag, std::int32_t Count) {
    return Short(Tag) + std::string("\x00\x01\x01\x00", 4) + Int(Count);
}

std::string NodePart(const std::string& Name, std::int32_t Scan, std::int32_t Lines, const std::string& Path,
                     std::int32_t Page, std::int32_t Image) {
    return Short(Name) + Int(Scan) + Int(Lines) + Short(Path) + Int(Page) + Int(Image) +
           std::string(16, '\0');
}

/// A document with one project of two modules (hits of every rating), a custom control, and a
/// database with objects in several collections.
std::unique_ptr<TQuorvex> SampleDocument() {
    auto Doc = std::make_unique<TQuorvex>();
    Doc->Name = "Audit";
    Doc->AutoSave = true;
    auto* P = new TProjectInfo;
    P->Name = "Calendar.vbp";
    P->Path = "/home/u/vb/";
    for (int M = 0; M < 2; ++M) {
        auto* Mod = new TModuleInfo;
        Mod->Name = M == 0 ? "FRMMAIN.FRM" : "MODDATES.BAS";
        Mod->Path = P->Path;
        Mod->LinesOfCode = 40 + M;
        Mod->ImageIndex = 7;
        for (int H = 0; H < 3; ++H) {
            auto* Hit = new THitInfo;
            Hit->Compliant = static_cast<TCompliant>(H);
            Hit->ErrorType = H == 1 ? "Branching" : "";
            Hit->Line = "d = DateAdd(\"d\", 1, Date) \xE9";
            Hit->LineInModule = 10 * H;
            Hit->LineInSub = H;
            Hit->Position = 5;
            Hit->Sub = "Form_Load";
            Hit->Key = "Date";
            Hit->Variable = "DateAdd";
            Mod->AddHit(Hit);
        }
        P->AddModule(Mod);
    }
    auto* V = new TVBXInfo;
    V->Name = "COMDLG32.OCX";
    V->Company = "A";
    V->Description = "B";
    V->Product = "C";
    V->Version = "D";
    P->AddVBX(V);
    Doc->AddProject(P);

    auto* DB = new TMDBInfo;
    DB->Name = "nwind.mdb";
    DB->Path = "/data/";
    auto* T = new TMDBTableInfo;
    T->Name = "Orders";
    auto* Hit = new TMDBHitInfo;
    Hit->Field = "OrderDate";
    Hit->Key = "Date";
    T->AddHit(Hit);
    DB->AddTable(T);
    DB->AddForm(new TMDBFormInfo);
    DB->AddIMEXSpec(new TMDBIMEXSpecInfo);
    Doc->AddMDB(DB);
    return Doc;
}

} // namespace

TEST(DocumentRecords, ANewDocumentIsTheKnown105Bytes) {
    TQuorvex Doc;
    const std::string Expected = Short("TQuorvex") + NodePart("Untitled", 0, 0, "", 0, 0) +
                                 Short("Untitled") + Int(0) + std::string(1, '\0') +
                                 Container("TProjectInfos", 0) + Container("TMDBInfos", 0);
    ASSERT_EQ(Expected.size(), 105u);
    EXPECT_EQ(Bytes(Doc), Expected);

    const auto Back = ReadDocument(Expected);
    EXPECT_EQ(Back->Name, "Untitled");
    EXPECT_EQ(Back->PageIndex, 0);
    EXPECT_EQ(Back->ProjectCount() + Back->MDBCount(), 0);
}

TEST(DocumentRecords, EachClassWritesItsFieldsInTheirOrder) {
    TVBXInfo V;
    V.Name = "X.OCX";
    V.Company = "A";
    V.Description = "B";
    V.Product = "C";
    V.Version = "D";
    EXPECT_EQ(Bytes(V), Short("TVBXInfo") + NodePart("X.OCX", 0, 0, "", 4, 6) + Short("A") + Short("C") +
                            Short("B") + Short("D"));

    TModuleInfo M;
    M.Name = "A.BAS";
    M.ScanIndex = 3;
    M.LinesOfCode = 9;
    M.Path = "/p/";
    for (int I = 0; I < 2; ++I) {
        auto* H = new THitInfo;
        H->LineInModule = I;
        H->Compliant = ctMayBe;
        H->ErrorType = "Sort";
        H->Line = "L";
        H->LineInSub = 7;
        H->Position = -2;
        H->Sub = "S";
        H->Key = "K";
        H->Variable = "V";
        M.AddHit(H);
    }
    auto HitRecord = [](int I) {
        return Short("THitInfo") + Int(I) + std::string(1, '\x01') + Short("Sort") + Short("L") + Int(7) +
               Int(-2) + Short("S") + Short("K") + Short("V");
    };
    EXPECT_EQ(Bytes(M), Short("TModuleInfo") + NodePart("A.BAS", 3, 9, "/p/", 3, 3) +
                            Container("THitInfos", 2) + HitRecord(0) + HitRecord(1) + std::string(8, '\0'));

    TMDBQueryInfo Q;
    Q.Name = "Q";
    auto* H = new TMDBHitInfo;
    H->Field = "F";
    Q.AddHit(H);
    EXPECT_EQ(Bytes(Q), Short("TMDBQueryInfo") + NodePart("Q", 0, 0, "", 6, 11) +
                            Container("TMDBHitInfos", 1) + Short("TMDBHitInfo") + Int(0) +
                            std::string(1, '\0') + Short("") + Short("") + Int(0) + Int(0) + Short("") +
                            Short("") + Short("") + Short("F") + std::string(8, '\0'));

    TMDBInfo DB;
    std::string Expected = Short("TMDBInfo") + NodePart("", 0, 0, "", 5, 25);
    for (const char* C : {"TMDBTableInfos", "TMDBQueryInfos", "TMDBFormInfos", "TMDBReportInfos",
                          "TMDBMacroInfos", "TMDBModuleInfos", "TMDBIMEXSpecInfos"})
        Expected += Container(C, 0);
    EXPECT_EQ(Bytes(DB), Expected);

    TProjectInfo P;
    EXPECT_EQ(Bytes(P), Short("TProjectInfo") + NodePart("", 0, 0, "", 2, 1) + Container("TModuleInfos", 0) +
                            Container("TVBXInfos", 0));
}

TEST(DocumentRecords, ADocumentLoadsBackByteForByte) {
    const auto Doc = SampleDocument();
    const std::string First = Bytes(*Doc);
    const auto Back = ReadDocument(First);
    EXPECT_EQ(Bytes(*Back), First);
    EXPECT_EQ(Back->Name, "Audit");
    EXPECT_TRUE(Back->AutoSave);
    EXPECT_EQ(Back->GetProject(0)->GetModule(1)->GetHit(2)->Compliant, ctYes);
    EXPECT_EQ(Back->GetProject(0)->GetModule(0)->GetHit(0)->Line, "d = DateAdd(\"d\", 1, Date) \xE9");
    EXPECT_EQ(Back->GetMDB(0)->GetTable(0)->GetHit(0)->Field, "OrderDate");
    EXPECT_EQ(Back->Compliant(), ctNo);

    // Through a file, as the main window saves and opens documents.
    const std::string File = testing::TempDir() + "sample.qxs";
    SaveScanDocument(*Back, File);
    std::ifstream In(File, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>()), First);
    EXPECT_EQ(Bytes(*LoadScanDocument(File)), First);
}

TEST(DocumentRecords, AnOlderDocumentGainsTheDatabasesContainer) {
    TQuorvex Doc;
    const std::string Full = Bytes(Doc);
    const std::string Older = Full.substr(0, Full.size() - 18);
    const auto Back = ReadDocument(Older);
    EXPECT_EQ(Back->MDBCount(), 0);
    Back->AddMDB(new TMDBInfo); // the collection is a real one
    Back->DeleteMDB(0);
    EXPECT_EQ(Bytes(*Back), Full);

    // The same through a buffered file, where the end is the file's.
    const std::string File = testing::TempDir() + "older.qxs";
    std::ofstream(File, std::ios::binary | std::ios::trunc) << Older;
    auto FromFile = LoadScanDocument(File);
    SaveScanDocument(*FromFile, File);
    std::ifstream In(File, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>()), Full);
}

TEST(DocumentRecords, LongTextsAreCutAt255Bytes) {
    TModuleInfo M;
    auto* H = new THitInfo;
    H->Line = std::string(300, 'x');
    M.AddHit(H);
    std::unique_ptr<TStreamable> Back(Read(Bytes(M)));
    EXPECT_EQ(As<TModuleInfo>(Back.get())->GetHit(0)->Line, std::string(255, 'x'));
}

TEST(DocumentRecords, EventBindingsAreIgnoredWhenRead) {
    TModuleInfo M;
    M.Name = "A.BAS";
    std::string Data = Bytes(M);
    const std::string Zeros(8, '\0');
    // The two bindings of the node part and the OnHit binding at the end.
    const std::size_t Node = Short("TModuleInfo").size() + Short("A.BAS").size() + 8 + 1 + 8;
    Data.replace(Node, 16, std::string(16, '\x7F'));
    Data.replace(Data.size() - 8, 8, std::string(8, '\xEE'));
    std::unique_ptr<TStreamable> Back(Read(Data));
    auto* Loaded = As<TModuleInfo>(Back.get());
    EXPECT_FALSE(Loaded->OnBeforeScan);
    EXPECT_FALSE(Loaded->OnHit);
    EXPECT_EQ(Bytes(*Loaded), Bytes(M));
}

TEST(DocumentRecords, AnyDatabaseCollectionLoadsInAnyOfTheSevenPlaces) {
    TMDBInfo DB;
    std::string Data = Bytes(DB);
    const std::string Tables = Short("TMDBTableInfos");
    const std::size_t At = Data.find(Tables);
    Data.replace(At, Tables.size(), Short("TMDBQueryInfos"));
    std::unique_ptr<TStreamable> Back(Read(Data));
    EXPECT_EQ(As<TMDBInfo>(Back.get())->Tables().ClassName(), "TMDBQueryInfos");
}

TEST(DocumentRecords, WrongClassesAreRefused) {
    auto ExpectCast = [](const std::string& Data) {
        try {
            std::unique_ptr<TStreamable> Obj(Read(Data));
            ADD_FAILURE() << "read";
        } catch (const EInvalidCast& E) {
            EXPECT_EQ(E.Message(), "Invalid class typecast");
        }
    };
    const std::string Doc = Bytes(*SampleDocument());
    auto Swap = [&](const std::string& From, const std::string& To) {
        std::string D = Doc;
        const std::size_t At = D.find(Short(From));
        EXPECT_NE(At, std::string::npos) << From;
        D.replace(At, Short(From).size(), Short(To));
        return D;
    };
    // A collection field holding another collection.
    ExpectCast(Swap("TModuleInfos", "TVBXInfos"));
    ExpectCast(Swap("TMDBInfos", "TMDBHitInfos"));
    // A collection holding items of another class (same record layout, so only the check stops it).
    ExpectCast(Swap("TMDBFormInfo", "TMDBReportInfo"));
    ExpectCast(Swap("TMDBHitInfos", "THitInfos"));
    // A document whose object is no document: LoadScanDocument refuses it.
    TProjectInfo P;
    const std::string File = testing::TempDir() + "project.qxs";
    {
        TBufFileStream S(File, fmCreate, 4096);
        S.WriteObject(&P);
    }
    EXPECT_THROW(LoadScanDocument(File), EInvalidCast);
    // An unknown class name.
    try {
        Read(Swap("TVBXInfos", "TNoSuchThing"));
        ADD_FAILURE();
    } catch (const EStreamableError& E) {
        EXPECT_EQ(E.Message(), "TNoSuchThing not registered as streamable");
    }
}

TEST(DocumentRecords, CorruptOrTruncatedDocumentsNeverCrashTheReader) {
    // Every prefix, then many mutations of real saved documents: each read ends in a whole
    // document or in one of the reader's exceptions.
    const std::vector<std::string> Seeds = {Bytes(*SampleDocument()), Bytes(*std::make_unique<TQuorvex>())};
    int Whole = 0, Refused = 0;
    auto Try = [&](const std::string& Data) {
        try {
            const auto Doc = ReadDocument(Data);
            Doc->Compliant();
            Doc->TotalLinesOfCode();
            Bytes(*Doc);
            ++Whole;
        } catch (const Exception&) {
            ++Refused;
        }
    };
    for (const std::string& Seed : Seeds)
        for (std::size_t Cut = 0; Cut < Seed.size(); ++Cut)
            Try(Seed.substr(0, Cut));
    std::uint64_t State = 0x9E3779B97F4A7C15u;
    auto Next = [&]() {
        State ^= State << 13;
        State ^= State >> 7;
        State ^= State << 17;
        return State;
    };
    for (int I = 0; I < 100000; ++I) {
        std::string M = Seeds[I % 2];
        const int Edits = 1 + static_cast<int>(Next() % 4);
        for (int E = 0; E < Edits; ++E) {
            const std::size_t At = Next() % M.size();
            switch (Next() % 4) {
            case 0:
                M[At] = static_cast<char>(Next());
                break;
            case 1:
                M.erase(At, 1 + Next() % 8);
                break;
            case 2:
                M.insert(At, std::string(1 + Next() % 4, static_cast<char>(Next())));
                break;
            default: // a length or count byte at its extremes
                M[At] = (Next() & 1) ? '\xFF' : '\x7F';
            }
            if (M.empty())
                M.push_back('x');
        }
        Try(M);
    }
    EXPECT_GT(Whole, 0);
    EXPECT_GT(Refused, 0);
}

namespace {

std::string ReadAll(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    return In ? std::string(std::istreambuf_iterator<char>(In), {}) : "<missing>";
}

// A save that runs out of room fails and leaves the document saved before as it was, byte for
// byte, with nothing left beside it; once there is room again, the save succeeds.
class FullDisk : public ::testing::TestWithParam<testsupport::TFullDisk> {};

TEST_P(FullDisk, TheDocumentSavedBeforeStaysByteForByte) {
    namespace fs = std::filesystem;
    const fs::path Folder = fs::path(testing::TempDir()) /
                            ("qx_full_" + std::string(FullDiskName(GetParam())) + std::to_string(::getpid()));
    fs::create_directories(Folder);
    const std::string File = (Folder / "audit.qxs").string();
    {
        testsupport::TFullDiskFolder Full(GetParam(), Folder.string(), 64 * 1024);
        if (!Full.Ready())
            GTEST_SKIP() << Full.Problem();
        SaveScanDocument(*SampleDocument(), File);
        const std::string Before = ReadAll(File);
        ASSERT_EQ(Before, Bytes(*SampleDocument()));

        auto Grown = SampleDocument();
        TModuleInfo& Module = *Grown->GetProject(0)->GetModule(0);
        for (int I = 0; I < 2000; ++I) // some 100 KB of hits
            Module.AddHit(new THitInfo(*Module.GetHit(0)));
        try {
            SaveScanDocument(*Grown, File);
            ADD_FAILURE() << "the save did not fail";
        } catch (const EWriteError& E) {
            EXPECT_EQ(E.Message().rfind("Cannot write file " + File + " (", 0), 0u) << E.Message();
        }
        EXPECT_EQ(ReadAll(File), Before);
        EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 1);

        while (Module.HitCount() > 3)
            Module.DeleteHit(0);
        Grown->Name = "Smaller";
        SaveScanDocument(*Grown, File);
        EXPECT_EQ(LoadScanDocument(File)->Name, "Smaller");
    }
    fs::remove_all(Folder);
}

INSTANTIATE_TEST_SUITE_P(DocumentRecords, FullDisk,
                         ::testing::Values(testsupport::TFullDisk::Tmpfs,
                                           testsupport::TFullDisk::FileSizeLimit),
                         [](const auto& Info) { return std::string(FullDiskName(Info.param)); });

} // namespace
