// The application objects inside a database file: chunks, storage trees, the VBA project's
// module list and compressed streams, form designs; and what damaged copies of each give.

#include "platform/dao/AccessProject.h"

#include <gtest/gtest.h>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <cstring>
#include <random>

using namespace dao;

namespace {

std::string U16(unsigned V) {
    return {static_cast<char>(V & 0xFF), static_cast<char>((V >> 8) & 0xFF)};
}

std::string U32(std::uint32_t V) {
    return U16(V & 0xFFFF) + U16(V >> 16);
}

/// VBA compression in its simplest valid form, literal tokens only: every full 4096 bytes as a
/// raw chunk, the rest as one compressed chunk.
std::string Compress(std::string_view Text) {
    std::string Out = "\x01";
    while (Text.size() >= 4096) {
        Out += U16(0x3FFF & ~0x8000u) + std::string(Text.substr(0, 4096));
        Text.remove_prefix(4096);
    }
    if (!Text.empty()) {
        std::string Chunk;
        for (std::size_t I = 0; I < Text.size(); I += 8)
            Chunk += '\0' + std::string(Text.substr(I, 8));
        Out += U16(static_cast<unsigned>(Chunk.size() + 2 - 3) | 0x3000 | 0x8000) + Chunk;
    }
    return Out;
}

std::string Record(unsigned Id, std::string_view Data) {
    return U16(Id) + U32(static_cast<std::uint32_t>(Data.size())) + std::string(Data);
}

struct Module {
    std::string Name, Stream;
    std::uint32_t Offset;
    bool Class;
};

/// A `dir` stream with the records a real project carries, before compression.
std::string DirStream(int CodePage, const std::vector<Module>& Modules) {
    std::string D = Record(0x01, U32(1)) + Record(0x02, U32(0x409)) + Record(0x14, U32(0x409)) +
                    Record(0x03, U16(static_cast<unsigned>(CodePage))) + Record(0x04, "Db") +
                    Record(0x05, "") + Record(0x40, "") + Record(0x06, "") + Record(0x3D, "") +
                    Record(0x07, U32(0)) + Record(0x08, U32(0)) +
                    // the version record states 4 bytes and holds 6
                    U16(0x09) + U32(4) + U32(0x5A) + U16(0x12) + Record(0x0C, "") + Record(0x3C, "") +
                    Record(0x16, "stdole") + Record(0x3E, "s\0t\0") + Record(0x0D, std::string(30, 'x')) +
                    Record(0x0F, U16(static_cast<unsigned>(Modules.size()))) + Record(0x13, U16(0xFFFF));
    for (const Module& M : Modules)
        D += Record(0x19, M.Name) + Record(0x1A, M.Stream) + Record(0x32, "") + Record(0x1C, "") +
             Record(0x48, "") + Record(0x31, U32(M.Offset)) + Record(0x1E, U32(0)) +
             Record(0x2C, U16(0xFFFF)) + Record(M.Class ? 0x22 : 0x21, "") + Record(0x2B, "");
    return D + Record(0x10, "");
}

StorageNode Storage(std::string Name, std::vector<StorageNode> Children = {}) {
    StorageNode N;
    N.Name = std::move(Name);
    N.Children = std::move(Children);
    return N;
}

StorageNode Stream(std::string Name, std::string Data) {
    StorageNode N;
    N.Name = std::move(Name);
    N.Stream = true;
    N.Data = std::move(Data);
    return N;
}

/// The TypeInfo of a form of Testing.accdb: Detail, two buttons, a list box, three labels and an
/// image; its bytes as Access wrote them.
std::string RealTypeInfo() {
    std::string B = U32(0xACCDEAF7) + U32(0x96) + U32(0xFFFFFFFF) + U32(8) +
                    std::string("\xc7\x9e\xc0\x8e\xe7\x08\x05\x49\xb4\xe4\xc9\x5f\xe5\xdd\x51\x6a", 16);
    const std::pair<std::string, const char*> Entries[] = {
        {"\x98\x18\x79\x2f", "Detail"},     {"\x68\x0b\x79\x2f", "cmdRunTests"},
        {"\x6e\x10\x79\x2f", "lstResults"}, {"\x64\x0c\x79\x2f", "Col1_Label"},
        {"\x64\x0d\x79\x2f", "Label4"},     {"\x68\x0b\x79\x2f", "cmdEditTests"},
        {"\x64\x0d\x79\x2f", "lblResults"}, {"\x67\x0f\x79\x2f", "imgResult"}};
    std::uint32_t Index = 0;
    for (const auto& [Head, Name] : Entries)
        B += Head + U32(Index++) + Name + std::string(2, '\0');
    return B;
}

std::string DirData(const std::vector<std::pair<std::string, std::uint32_t>>& Entries) {
    std::string B = U32(0);
    for (const auto& [Name, Number] : Entries) {
        std::string Utf16;
        for (char C : Name)
            Utf16 += std::string{C, '\0'};
        B += std::string{'\x04', static_cast<char>(Utf16.size() + 4)} + Utf16 + U32(Number);
    }
    return B;
}

/// A project of two modules and a form with a design, in the tree layout of the database file.
StorageNode SampleTree(int CodePage, const std::string& ClassCode, const std::string& StandardCode) {
    const std::string PCode(300, '\x7f'); // compiled code before the source
    const std::string Dir =
        DirStream(CodePage, {{"Form_Orders", "ABCDEFGHIJ", 300, true}, {"Utility", "Utility", 0, false}});
    return Storage(
        "root",
        {Storage("VBA", {Storage("VBAProject", {Storage("VBA",
                                                        {
                                                            Stream("dir", Compress(Dir)),
                                                            Stream("ABCDEFGHIJ", PCode + Compress(ClassCode)),
                                                            Stream("Utility", Compress(StandardCode)),
                                                        })})}),
         Storage("Forms", {Stream("\x03"
                                  "DirData",
                                  DirData({{"Orders", 0}, {"Customers", 1}})),
                           Storage("0", {Stream("TypeInfo", RealTypeInfo())}),
                           Storage("1", {Stream("TypeInfo", RealTypeInfo())})})});
}

/// Damages a copy of Data: a few random bytes changed, sometimes cut short.
std::string Damage(std::string Data, std::mt19937& Rng) {
    if (Data.empty())
        return Data;
    const int Hits = 1 + static_cast<int>(Rng() % 6);
    for (int H = 0; H < Hits; ++H)
        Data[Rng() % Data.size()] = static_cast<char>(Rng());
    if (Rng() % 5 == 0)
        Data.resize(Rng() % Data.size());
    return Data;
}

} // namespace

TEST(AccessProjectTest, ModulesComeFromTheirStreamsInTheProjectsCodePage) {
    const std::string Long =
        "Attribute VB_Name = \"Utility\"\r\n" + std::string(5000, 'x') + "\r\nEnd Function\r\n";
    // 1251: Cyrillic has no place in Windows-1252 and becomes '?'; 1250's Š (0x8A) has one.
    FileProject P = ReadAccessProject(SampleTree(1251, "Dim s ' \xC0\xC1\r\n", Long));
    ASSERT_EQ(P.Modules.size(), 2u);
    EXPECT_EQ(P.Modules[0].Name, "Form_Orders");
    EXPECT_TRUE(P.Modules[0].Class);
    EXPECT_EQ(P.Modules[0].Code, "Dim s ' ??\r\n");
    EXPECT_FALSE(P.Modules[1].Class);
    EXPECT_EQ(P.Modules[1].Code, Long); // a raw chunk and a compressed one
    EXPECT_TRUE(P.Problems.empty());
    P = ReadAccessProject(SampleTree(1250, "x = \"\x8A\xB9\"\r\n", "y\r\n"));
    EXPECT_EQ(P.Modules[0].Code, "x = \"\x8A?\"\r\n");

    // Forms by their storage number, sections listed and told apart by their code.
    ASSERT_EQ(P.Forms.size(), 2u);
    EXPECT_EQ(P.Forms[1].Name, "Customers");
    ASSERT_EQ(P.Forms[0].Controls.size(), 8u);
    EXPECT_EQ(P.Forms[0].Controls[0].Type, kFirstSection);
    EXPECT_EQ(P.Forms[0].Controls[2].Name, "lstResults");
    EXPECT_EQ(P.Forms[0].Controls[2].Type, 110);

    // A form whose control list is damaged is left out and named, never shown without controls.
    StorageNode Damaged = SampleTree(1252, "a\r\n", "b\r\n");
    Damaged.Children[1].Children[2].Children[0].Data.resize(40);
    P = ReadAccessProject(Damaged);
    ASSERT_EQ(P.Forms.size(), 1u);
    ASSERT_EQ(P.Problems.size(), 1u);
    EXPECT_NE(P.Problems[0].find("'Customers'"), std::string::npos);

    // A database without any VBA project and without forms: nothing, and nothing to complain of.
    P = ReadAccessProject(Storage("root", {Storage("Reports")}));
    EXPECT_TRUE(P.Modules.empty() && P.Forms.empty() && P.Reports.empty() && P.Problems.empty());
}

TEST(AccessProjectTest, AProjectWithoutSourceSaysSoOnce) {
    StorageNode Tree = SampleTree(1252, "a\r\n", "b\r\n");
    StorageNode& Vba = Tree.Children[0].Children[0].Children[0];
    // Compiled only: each module stream ends where its source would begin.
    Vba.Children[0].Data = Compress(DirStream(1252, {{"A", "A", 4, false}, {"B", "B", 4, false}}));
    Vba.Children[1] = Stream("A", "pcod");
    Vba.Children[2] = Stream("B", "pcod");
    const FileProject P = ReadAccessProject(Tree);
    EXPECT_TRUE(P.Modules.empty());
    ASSERT_EQ(P.Problems.size(), 1u);
    EXPECT_NE(P.Problems[0].find("no source code"), std::string::npos);
    EXPECT_EQ(P.Forms.size(), 2u); // the designs are read all the same
}

TEST(AccessProjectTest, ChunksFillTheirGapsWithZerosAndLeaveOutWhatDoesNotBelong) {
    auto Row = [](std::int32_t Id, std::string Data) {
        StorageRow R;
        R.Id = Id;
        R.Data = std::move(Data);
        return R;
    };
    auto Holes = [](const std::vector<ChunkHole>& H) {
        std::string Out;
        for (const ChunkHole& Hole : H)
            Out += "[" + std::to_string(Hole.Start) + "," + std::to_string(Hole.End) + ") " + Hole.Why + "; ";
        return Out;
    };
    std::vector<ChunkHole> Problems;
    // Chunk 2 is left out (Access leaves out chunks of zeros, so it is a hole that may cost
    // nothing); chunk 4 is the tail, stored at full size with leftovers; chunk 6 lies wholly past
    // the stated end, left over from a longer file written before.
    const std::vector<StorageRow> Rows = {Row(3, "CCCC"), Row(0, U32(5) + U32(14)), Row(1, "AAAA"),
                                          Row(4, "DDxx"), Row(6, "FFFF")};
    EXPECT_EQ(AssembleChunks(Rows, 4, Problems), std::string("AAAA\0\0\0\0CCCCDD", 14));
    EXPECT_EQ(Holes(Problems), "[4,8) chunk 2 is missing; ");
    Problems.clear();
    EXPECT_EQ(AssembleChunks({Row(0, U32(5) + U32(6))}, 4, Problems), std::string(6, '\0'));
    EXPECT_EQ(Holes(Problems), "[0,4) chunk 1 is missing; [4,6) chunk 2 is missing; ");

    // A chunk that cannot belong, is cut short, or whose row could not be read costs only its
    // own place, and says why.
    StorageRow Unread = Row(3, {});
    Unread.Damage = "a long value is damaged";
    Problems.clear();
    EXPECT_EQ(AssembleChunks({Row(0, U32(5) + U32(16)), Row(1, "AAAAA"), Row(2, "BBBB"), Row(-1, "A"), Unread,
                              Row(4, "DD")},
                             4, Problems),
              std::string("\0\0\0\0BBBB\0\0\0\0DD\0\0", 16));
    EXPECT_EQ(Holes(Problems), "[0,4) chunk 1 holds more than a chunk; [8,12) chunk 3 cannot be read: a long "
                               "value is damaged; [14,16) chunk 4 is cut short; ");

    // Without a header row that can be read, the file runs to the end of its last chunk.
    Problems.clear();
    EXPECT_EQ(AssembleChunks({Row(2, "BBBB"), Row(0, U32(4) + U32(8))}, 4, Problems),
              std::string("\0\0\0\0BBBB", 8));
    EXPECT_EQ(Holes(Problems), "[0,0) its header row is missing or damaged; [0,4) chunk 1 is missing; ");
    EXPECT_THROW(AssembleChunks({Row(0, U32(5) + U32(0xFFFFFFF0))}, 4, Problems), AccessFileError);
    EXPECT_THROW(ReadCompoundFile(std::string(1024, '\0')), AccessFileError);
}

TEST(AccessProjectTest, TheAccess95LayoutFillsWhatTheProjectLacks) {
    // MSysModules2 keeps the source compressed inside the compiled code, other data after it.
    const std::string Source =
        "Attribute VB_Name = \"Form_Orders\"\r\nSub S()\r\n" + std::string(5000, 'x') + "\r\nEnd Sub\r\n";
    const std::string Code =
        std::string(200, '\x7f') + "Attribut" + Compress(Source) + std::string(90, '\x11');
    EXPECT_EQ(LegacyModuleSource(Code), Source);
    EXPECT_THROW(LegacyModuleSource(std::string(300, '\x7f')), AccessFileError);

    FileProject P = ReadAccessProject(SampleTree(1252, "a\r\n", "b\r\n"));
    P.Forms.pop_back(); // Customers
    AddLegacyObjects({{LegacyObject::Form, "Orders", Code, RealTypeInfo()},
                      {LegacyObject::Form, "Customers", {}, RealTypeInfo()},
                      {LegacyObject::Report, "Invoice", std::string(40, '\x7f'), "damaged"},
                      {LegacyObject::Module, "Startup", Code, {}}},
                     P);
    // What the project holds stays: Form_Orders' code and the design of Orders.
    ASSERT_EQ(P.Modules.size(), 3u);
    EXPECT_EQ(P.Modules[0].Code, "a\r\n");
    EXPECT_EQ(P.Modules[2].Name, "Startup");
    EXPECT_FALSE(P.Modules[2].Class);
    EXPECT_EQ(P.Modules[2].Code, Source);
    ASSERT_EQ(P.Forms.size(), 2u);
    EXPECT_EQ(P.Forms[1].Name, "Customers");
    EXPECT_EQ(P.Forms[1].Controls.size(), 8u);
    EXPECT_TRUE(P.Reports.empty());
    EXPECT_EQ(
        P.Problems,
        (std::vector<std::string>{
            "the code of module 'Report_Invoice' cannot be read (MSysModules2 holds no source code of it "
            "that can be read)",
            "the design of the report 'Invoice' cannot be read (its control list does not start with its "
            "signature)"}));
}

TEST(AccessProjectTest, TheStorageTreeHangsFromItsRootAndIgnoresStrayRows) {
    auto Row = [](std::int32_t Id, std::int32_t Parent, std::string Name, int Type, std::string Data = {},
                  std::string Damage = {}) {
        return StorageRow{Id, Parent, std::move(Name), Type, std::move(Data), std::move(Damage)};
    };
    const StorageNode Root = StorageTree({
        Row(2, 2, "MSysAccessStorage_SCRATCH", 1),
        Row(1, 1, "MSysAccessStorage_ROOT", 1),
        Row(4, 1, "VBA", 1),
        Row(5, 4, "dir", 2, "xyz"),
        Row(6, 2, "Lost", 2, "scratch"),
        Row(7, 8, "Loop", 1),
        Row(8, 7, "Loop", 1), // a cycle off the tree
        Row(9, 4, "Module1", 2, {}, "a long value is damaged"),
    });
    ASSERT_EQ(Root.Children.size(), 1u);
    ASSERT_NE(Root.Find("vba/DIR"), nullptr);
    EXPECT_EQ(Root.Find("VBA/dir")->Bytes(), "xyz");
    // A stream whose row could not be read says why when it is used.
    try {
        Root.Find("VBA/Module1")->Bytes();
        ADD_FAILURE() << "a damaged stream was read";
    } catch (const AccessFileError& E) {
        EXPECT_STREQ(E.what(), "a long value is damaged");
    }
    EXPECT_EQ(Root.Find("Lost"), nullptr);
    // A lost root row held nothing: the tree hangs from the parent of its top storages.
    EXPECT_EQ(StorageTree({Row(4, 1, "VBA", 1), Row(5, 4, "dir", 2, "xyz"), Row(6, 2, "Lost", 2)})
                  .Find("VBA/dir")
                  ->Bytes(),
              "xyz");
    EXPECT_THROW(StorageTree({Row(3, 3, "Other", 1)}), AccessFileError);
    EXPECT_THROW(
        StorageTree({Row(1, 1, "MSysAccessStorage_ROOT", 1), Row(2, 2, "MSysAccessStorage_ROOT", 1)}),
        AccessFileError);
}

TEST(AccessProjectTest, DamagedPartsGiveAClearErrorAndNeverACrashOrAHang) {
    std::mt19937 Rng(1606);
    const std::string Source = "Option Compare Database\r\nFunction F()\r\n  F = Date\r\nEnd Function\r\n";
    const std::string Dir = DirStream(1252, {{"M", "M", 0, false}});
    const std::string TypeInfo = RealTypeInfo();
    const std::string Names = DirData({{"Orders", 0}, {"Customers", 1}});
    int Errors = 0;
    for (int Round = 0; Round < 3000; ++Round) {
        auto Try = [&Errors](auto&& Call) {
            try {
                Call();
            } catch (const AccessFileError& E) {
                EXPECT_GT(std::strlen(E.what()), 10u);
                ++Errors;
            }
        };
        Try([&] { ParseVbaDir(Damage(Dir, Rng)); });
        Try([&] { DecompressVba(Damage(Compress(Source), Rng)); });
        Try([&] { ParseVbaDir(DecompressVba(Damage(Compress(Dir), Rng))); });
        Try([&] { ParseTypeInfo(Damage(TypeInfo, Rng)); });
        Try([&] { ParseDirData(Damage(Names, Rng)); });
        // The whole project with one part damaged: the rest is still read, the damage is noted.
        StorageNode Tree = SampleTree(1252, Source, Source);
        StorageNode& Part = Rng() % 2 ? Tree.Children[0].Children[0].Children[0].Children[Rng() % 3]
                                      : Tree.Children[1].Children[Rng() % 3];
        if (Part.Stream)
            Part.Data = Damage(Part.Data, Rng);
        else
            Part.Children[0].Data = Damage(Part.Children[0].Data, Rng);
        const FileProject P = ReadAccessProject(Tree);
        EXPECT_LE(P.Modules.size(), 2u);
    }
    EXPECT_GT(Errors, 3000);
}

TEST(AccessProjectTest, AControlListThatDoesNotReadToItsEndIsDamaged) {
    // A byte that ends a name, or one that makes an entry no control, shifts or breaks what
    // follows: the list is damaged, never read as other, nameless controls.
    const std::string TypeInfo = RealTypeInfo();
    ASSERT_EQ(ParseTypeInfo(TypeInfo).size(), 8u);
    std::string Joined = TypeInfo;
    Joined[TypeInfo.find("Detail") + 6] = 'x';
    std::string NoControl = TypeInfo;
    NoControl[TypeInfo.find("cmdRunTests") - 8] = '\x30';
    for (const std::string& Damaged : {Joined, NoControl, TypeInfo + "Extra\0\0"})
        EXPECT_THROW(ParseTypeInfo(Damaged), AccessFileError);
}

TEST(AccessProjectTest, DamagedCompoundFilesGiveAClearError) {
    // A compound file as a real writer lays it out, with the project inside.
    gsf_init();
    GsfOutput* Memory = gsf_output_memory_new();
    GsfOutfile* File = gsf_outfile_msole_new(Memory);
    auto Write = [](GsfOutfile* Parent, const char* Name, const std::string& Data) {
        GsfOutput* S = gsf_outfile_new_child(Parent, Name, FALSE);
        gsf_output_write(S, Data.size(), reinterpret_cast<const guint8*>(Data.data()));
        gsf_output_close(S);
        g_object_unref(S);
    };
    GsfOutfile* Vba = GSF_OUTFILE(gsf_outfile_new_child(File, "VBA", TRUE));
    GsfOutfile* Project = GSF_OUTFILE(gsf_outfile_new_child(Vba, "VBAProject", TRUE));
    GsfOutfile* Inner = GSF_OUTFILE(gsf_outfile_new_child(Project, "VBA", TRUE));
    const std::string Source = "Attribute VB_Name = \"M\"\r\nSub S()\r\nEnd Sub\r\n" + std::string(6000, ' ');
    Write(Inner, "dir", Compress(DirStream(1252, {{"M", "Stream1", 0, false}})));
    Write(Inner, "Stream1", Compress(Source));
    for (GsfOutfile* Dir : {Inner, Project, Vba}) {
        gsf_output_close(GSF_OUTPUT(Dir));
        g_object_unref(Dir);
    }
    gsf_output_close(GSF_OUTPUT(File));
    g_object_unref(File);
    const std::string Bytes(
        reinterpret_cast<const char*>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(Memory))),
        static_cast<std::size_t>(gsf_output_size(Memory)));
    g_object_unref(Memory);

    const FileProject Whole = ReadAccessProject(ReadCompoundFile(Bytes));
    ASSERT_EQ(Whole.Modules.size(), 1u);
    EXPECT_EQ(Whole.Modules[0].Code, Source);

    std::mt19937 Rng(97);
    int Read = 0, Refused = 0;
    for (int Round = 0; Round < 400; ++Round) {
        std::string Data = Bytes;
        // The header with its sector tables first, then anywhere.
        for (int H = 1 + static_cast<int>(Rng() % 4); H > 0; --H)
            Data[Rng() % (Rng() % 2 ? 512 : Data.size())] = static_cast<char>(Rng());
        try {
            ReadAccessProject(ReadCompoundFile(Data));
            ++Read;
        } catch (const AccessFileError& E) {
            EXPECT_NE(std::string(E.what()).find("application objects"), std::string::npos) << E.what();
            ++Refused;
        }
    }
    EXPECT_EQ(Read + Refused, 400);
}
