#include "platform/dao/AccessProject.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/TextCodec.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <set>

namespace dao {

namespace {

constexpr std::size_t kMaxTree = 256u << 20; // bytes of all streams of one tree
constexpr int kMaxDepth = 32;
constexpr std::size_t kMaxNodes = 200000;

[[noreturn]] void Fail(const std::string& Why) {
    throw AccessFileError(Why);
}

std::uint32_t U32(std::string_view B, std::size_t At) {
    std::uint32_t V = 0;
    std::memcpy(&V, B.data() + At, 4);
    return V;
}

std::uint16_t U16(std::string_view B, std::size_t At) {
    std::uint16_t V = 0;
    std::memcpy(&V, B.data() + At, 2);
    return V;
}

/// Drops a GObject reference when it goes out of scope.
template <class T>
struct GRef {
    T* P = nullptr;
    explicit GRef(T* Ptr) : P(Ptr) {}
    ~GRef() {
        if (P)
            g_object_unref(P);
    }
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
};

void EnsureGsf() {
    static const bool Done = [] {
        gsf_init();
        return true;
    }();
    (void)Done;
}

struct TreeBudget {
    std::size_t Bytes = 0;
    std::size_t Nodes = 0;
    void Take(std::size_t N) {
        Bytes += N;
        if (Bytes > kMaxTree)
            Fail("its application objects are implausibly large");
        if (++Nodes > kMaxNodes)
            Fail("its application objects hold too many parts");
    }
};

void Walk(GsfInfile* In, StorageNode& Node, int Depth, TreeBudget& Budget) {
    if (Depth > kMaxDepth)
        Fail("its application objects are nested too deeply");
    // A part that cannot be opened or read is kept with the reason: it costs only what needs it.
    const int N = gsf_infile_num_children(In);
    for (int I = 0; I < N; ++I) {
        GRef<GsfInput> Child(gsf_infile_child_by_index(In, I));
        StorageNode Sub;
        const char* Name = Child.P ? gsf_input_name(Child.P) : gsf_infile_name_by_index(In, I);
        Sub.Name = Name ? Utf8ToCp1252(Name) : std::string();
        if (!Child.P) {
            Sub.Stream = true;
            Sub.Damage = "a part of its application objects cannot be opened";
        } else if (GSF_IS_INFILE(Child.P) && gsf_infile_num_children(GSF_INFILE(Child.P)) >= 0) {
            Budget.Take(0);
            Walk(GSF_INFILE(Child.P), Sub, Depth + 1, Budget);
        } else {
            Sub.Stream = true;
            const gsf_off_t Size = gsf_input_size(Child.P);
            if (Size < 0) {
                Sub.Damage = "a stream of its application objects has an impossible size";
            } else {
                // The budget refuses a size past what a tree may hold before anything is allocated.
                Budget.Take(static_cast<std::size_t>(std::min<std::uint64_t>(Size, kMaxTree + 1)));
                Sub.Data.resize(static_cast<std::size_t>(Size));
                if (Size > 0 && !gsf_input_read(Child.P, static_cast<std::size_t>(Size),
                                                reinterpret_cast<guint8*>(Sub.Data.data()))) {
                    Sub.Data.clear();
                    Sub.Damage = "a stream of its application objects cannot be read";
                }
            }
        }
        Node.Children.push_back(std::move(Sub));
    }
}

/// iconv conversion that replaces what it cannot convert with '?'.
std::string Convert(std::string_view Text, const char* From) {
    iconv_t Cd = iconv_open("UTF-8", From);
    if (Cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string Out;
    Out.reserve(Text.size() * 2);
    char* In = const_cast<char*>(Text.data());
    std::size_t InLeft = Text.size();
    char Buffer[4096];
    while (InLeft > 0) {
        char* O = Buffer;
        std::size_t OutLeft = sizeof Buffer;
        const std::size_t R = iconv(Cd, &In, &InLeft, &O, &OutLeft);
        Out.append(Buffer, static_cast<std::size_t>(O - Buffer));
        if (R == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or incomplete sequence: one '?' for its first byte.
            Out += '?';
            ++In;
            --InLeft;
        }
    }
    iconv_close(Cd);
    return Out;
}

void ReadDesigns(const StorageNode& Root, const char* Folder, const char* Kind, bool Listed,
                 std::vector<FileDesign>& Designs, std::vector<std::string>& Problems) {
    const StorageNode* Storage = Root.Child(Folder);
    const StorageNode* Dir = Storage ? Storage->Child("DirData") : nullptr;
    if (!Dir || !Dir->Stream) {
        if (Listed)
            Problems.push_back(Format("the list of %ss is missing", Kind));
        return;
    }
    std::vector<std::pair<std::string, std::uint32_t>> Entries;
    try {
        Entries = ParseDirData(Dir->Bytes());
    } catch (const AccessFileError& E) {
        Problems.push_back(Format("the list of %ss is damaged (%s)", Kind, E.what()));
        return;
    }
    for (const auto& [Name, Number] : Entries) {
        FileDesign D;
        D.Name = Name;
        const StorageNode* Object = Storage->Child(IntToStr(static_cast<std::int64_t>(Number)));
        const StorageNode* Info = Object ? Object->Child("TypeInfo") : nullptr;
        try {
            if (!Info || !Info->Stream)
                Fail("its design is missing");
            D.Controls = ParseTypeInfo(Info->Bytes());
            Designs.push_back(std::move(D));
        } catch (const AccessFileError& E) {
            Problems.push_back(Format("the design of the %s '%s' cannot be read (%s)", Kind, Name, E.what()));
        }
    }
}

} // namespace

const std::string& StorageNode::Bytes() const {
    if (!Damage.empty())
        Fail(Damage);
    return Data;
}

const StorageNode* StorageNode::Child(std::string_view ChildName) const {
    // Names of special streams start with a control character ("\x03DirData"); it is not
    // part of the name looked for.
    for (const StorageNode& C : Children) {
        std::string_view Name = C.Name;
        if (!Name.empty() && static_cast<unsigned char>(Name[0]) < 0x20)
            Name.remove_prefix(1);
        if (SameText(Name, ChildName))
            return &C;
    }
    return nullptr;
}

const StorageNode* StorageNode::Find(std::string_view Path) const {
    const StorageNode* Node = this;
    while (Node && !Path.empty()) {
        const std::size_t Slash = Path.find('/');
        Node = Node->Child(Path.substr(0, Slash));
        Path = Slash == std::string_view::npos ? std::string_view() : Path.substr(Slash + 1);
    }
    return Node;
}

std::vector<StorageRow> StorageRows(const TableRows& T, const std::vector<std::string>& Damage) {
    auto Column = [&T](const char* Name) {
        for (std::size_t I = 0; I < T.Columns.size(); ++I)
            if (SameText(T.Columns[I].first, Name))
                return static_cast<int>(I);
        return -1;
    };
    const int Id = Column("Id"), Parent = Column("ParentId"), Name = Column("Name"), Type = Column("Type");
    int Data = Column("Data");
    if (Data < 0)
        Data = Column("Lv");
    if (Id < 0 || Data < 0)
        Fail(Format("%s has no Id or data column", T.Name));
    auto Integer = [](const Variant& V) {
        try {
            return V.IsNull() ? 0 : static_cast<std::int32_t>(V.AsInteger());
        } catch (const std::exception&) {
            return 0;
        }
    };
    std::vector<StorageRow> Rows;
    Rows.reserve(T.Rows.size());
    for (std::size_t I = 0; I < T.Rows.size(); ++I) {
        const std::vector<Variant>& Row = T.Rows[I];
        StorageRow R;
        if (I < Damage.size())
            R.Damage = Damage[I];
        if (Row[static_cast<std::size_t>(Id)].IsNull())
            continue;
        R.Id = Integer(Row[static_cast<std::size_t>(Id)]);
        if (Parent >= 0)
            R.ParentId = Integer(Row[static_cast<std::size_t>(Parent)]);
        if (Type >= 0)
            R.Type = Integer(Row[static_cast<std::size_t>(Type)]);
        if (Name >= 0) {
            // Some names are stored with their terminating zero.
            R.Name = VarToStr(Row[static_cast<std::size_t>(Name)]);
            R.Name.erase(std::find(R.Name.begin(), R.Name.end(), '\0'), R.Name.end());
        }
        const Variant& D = Row[static_cast<std::size_t>(Data)];
        if (!D.IsNull() && !D.IsText()) {
            const std::vector<std::uint8_t>& Bytes = D.AsBytes();
            R.Data.assign(Bytes.begin(), Bytes.end());
        }
        Rows.push_back(std::move(R));
    }
    return Rows;
}

std::string AssembleChunks(const std::vector<StorageRow>& Rows, std::size_t ChunkSize,
                           std::vector<ChunkHole>& Holes) {
    const StorageRow* Header = nullptr;
    for (const StorageRow& R : Rows)
        if (R.Id == 0)
            Header = &R;
    // Without its header row the file runs to the end of its last chunk (the compound file's own
    // header says where its parts lie).
    std::uint64_t Total = 0;
    if (Header && Header->Data.size() >= 8 && U32(Header->Data, 0) == 5) {
        Total = U32(Header->Data, 4);
    } else {
        for (const StorageRow& R : Rows)
            Total =
                std::max<std::uint64_t>(Total, R.Id > 0 ? static_cast<std::uint64_t>(R.Id) * ChunkSize : 0);
        Holes.push_back({0, 0, "its header row is missing or damaged"});
    }
    if (Total > kMaxTree)
        Fail("MSysAccessObjects states an implausible length");
    const std::size_t Chunks = (Total + ChunkSize - 1) / ChunkSize;
    std::string Out(Total, '\0');
    // What each chunk of the file's length holds: 0 nothing, else its bytes; and why not.
    std::vector<std::size_t> Held(Chunks, 0);
    std::map<std::size_t, std::string> Damaged;
    for (const StorageRow& R : Rows) {
        // Chunks wholly past the stated end are left over from a longer file written before.
        if (R.Id <= 0 || static_cast<std::size_t>(R.Id) > Chunks)
            continue;
        const std::size_t N = static_cast<std::size_t>(R.Id) - 1, At = N * ChunkSize;
        if (R.Data.size() > ChunkSize || !R.Damage.empty()) {
            Damaged.emplace(N, R.Damage.empty() ? Format("chunk %d holds more than a chunk", R.Id)
                                                : Format("chunk %d cannot be read: %s", R.Id, R.Damage));
            continue;
        }
        // The last chunk is stored at full size, with leftover bytes past the stated end.
        const std::size_t Size = std::min<std::size_t>(R.Data.size(), Total - At);
        std::memcpy(Out.data() + At, R.Data.data(), Size);
        Held[N] = std::max(Held[N], std::max<std::size_t>(Size, 1));
    }
    for (std::size_t N = 0; N < Chunks; ++N) {
        const std::size_t At = N * ChunkSize, Want = std::min<std::size_t>(ChunkSize, Total - At);
        if (Held[N] >= Want)
            continue;
        const auto D = Damaged.find(N);
        std::string Why = D != Damaged.end() ? D->second
                          : Held[N] == 0     ? Format("chunk %zu is missing", N + 1)
                                             : Format("chunk %zu is cut short", N + 1);
        Holes.push_back({At + (Held[N] > 1 ? Held[N] : 0), At + Want, std::move(Why)});
    }
    return Out;
}

namespace {

/// The streams of A that B does not hold alike at the same place, added to Differ.
void CompareTrees(StorageNode& A, const StorageNode* B, std::vector<StorageNode*>& Differ) {
    // A stream whose bytes both reads give alike lay wholly outside the holes, its directory
    // entry and its chain of sectors too; any other may hold bytes that are not its own.
    if (A.Stream && (!B || !B->Stream || A.Data != B->Data))
        Differ.push_back(&A);
    for (StorageNode& Child : A.Children) {
        const StorageNode* Other = nullptr;
        if (B)
            for (const StorageNode& C : B->Children)
                if (C.Name == Child.Name && C.Stream == Child.Stream)
                    Other = &C;
        CompareTrees(Child, Other, Differ);
    }
}

/// Bytes with the stretches of Holes overwritten, so that what lay in them shows.
std::string Marked(std::string Bytes, const std::vector<ChunkHole>& Holes) {
    for (const ChunkHole& H : Holes)
        std::fill(Bytes.begin() + static_cast<std::ptrdiff_t>(H.Start),
                  Bytes.begin() + static_cast<std::ptrdiff_t>(H.End), '\xA5');
    return Bytes;
}

std::string HoleReason(const std::vector<std::string>& Whys, std::size_t More) {
    std::string Why;
    for (const std::string& W : Whys)
        Why += (Why.empty() ? "" : ", ") + W;
    if (More > 0)
        Why += Format(" and %zu more", More);
    return "the file is damaged: MSysAccessObjects lacks part of it (" + Why + ")";
}

} // namespace

FileProject ReadChunkedProject(const std::vector<StorageRow>& Rows, std::size_t ChunkSize,
                               const ListedObjects& Listed) {
    std::vector<ChunkHole> Holes;
    const std::string Bytes = AssembleChunks(Rows, ChunkSize, Holes);
    if (Holes.empty())
        return ReadAccessProject(ReadCompoundFile(Bytes), Listed);
    // Which streams lay in the holes at all, then, while that stays cheap, in which hole each.
    constexpr std::size_t kMaxNamed = 3, kMaxReads = 32;
    auto Whole = [&Holes]() {
        std::vector<std::string> Whys;
        for (std::size_t I = 0; I < Holes.size() && I < kMaxNamed; ++I)
            Whys.push_back(Holes[I].Why);
        return HoleReason(Whys, Holes.size() - Whys.size());
    };
    StorageNode Tree;
    try {
        Tree = ReadCompoundFile(Bytes);
    } catch (const AccessFileError&) {
        Fail("its application objects cannot be read (" + Whole() + ")");
    }
    // The tree read with the holes filled otherwise; nil when it cannot be read at all.
    auto Other = [&Bytes](const std::vector<ChunkHole>& Filled) -> std::unique_ptr<StorageNode> {
        try {
            return std::make_unique<StorageNode>(ReadCompoundFile(Marked(Bytes, Filled)));
        } catch (const AccessFileError&) {
            return nullptr;
        }
    };
    std::vector<StorageNode*> Differ;
    CompareTrees(Tree, Other(Holes).get(), Differ);
    // A part that the tree lacks where a hole lies may be one of them: what cannot be read says
    // so too.
    auto WithHoles = [&Whole](FileProject P) {
        NoteCause(P, Whole());
        return P;
    };
    if (Differ.empty())
        return WithHoles(ReadAccessProject(Tree, Listed));
    std::map<const StorageNode*, std::vector<std::string>> Whys;
    if (Holes.size() <= kMaxReads)
        for (const ChunkHole& H : Holes) {
            std::vector<StorageNode*> One;
            CompareTrees(Tree, Other({H}).get(), One);
            for (const StorageNode* Node : One)
                Whys[Node].push_back(H.Why);
        }
    for (StorageNode* Node : Differ) {
        const auto It = Whys.find(Node);
        Node->Damage =
            It == Whys.end() || It->second.size() > kMaxNamed ? Whole() : HoleReason(It->second, 0);
    }
    return WithHoles(ReadAccessProject(Tree, Listed));
}

StorageNode ReadCompoundFile(std::string_view Bytes) {
    static constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (Bytes.size() < 512 || Bytes.substr(0, 8) != std::string_view(kSignature, 8))
        Fail("its application objects are not a compound file");
    EnsureGsf();
    GRef<GsfInput> Input(gsf_input_memory_new(reinterpret_cast<const guint8*>(Bytes.data()),
                                              static_cast<gsf_off_t>(Bytes.size()), FALSE));
    GError* Error = nullptr;
    GRef<GsfInfile> File(gsf_infile_msole_new(Input.P, &Error));
    if (!File.P) {
        const std::string Why = Error && Error->message ? Error->message : "unknown fault";
        if (Error)
            g_error_free(Error);
        Fail("its application objects are a damaged compound file (" + Why + ")");
    }
    StorageNode Root;
    TreeBudget Budget;
    Walk(File.P, Root, 0, Budget);
    return Root;
}

StorageNode StorageTree(const std::vector<StorageRow>& Rows) {
    const StorageRow* RootRow = nullptr;
    std::multimap<std::int32_t, const StorageRow*> ByParent;
    // Rows that are their own parents are roots: the tree's, and a scratch storage beside it.
    for (const StorageRow& R : Rows) {
        if (R.Id != R.ParentId)
            ByParent.emplace(R.ParentId, &R);
        else if (R.Name == "MSysAccessStorage_ROOT") {
            if (RootRow)
                Fail("MSysAccessStorage has more than one root");
            RootRow = &R;
        }
    }
    // A root row that is lost held nothing: the tree hangs from the parent of the top storages.
    std::int32_t RootId = RootRow ? RootRow->Id : 0;
    if (!RootRow) {
        std::set<std::int32_t> Ids;
        for (const StorageRow& R : Rows)
            Ids.insert(R.Id);
        const auto Top = std::find_if(Rows.begin(), Rows.end(), [&Ids](const StorageRow& R) {
            return (R.Name == "VBA" || R.Name == "Forms" || R.Name == "Reports") && !Ids.contains(R.ParentId);
        });
        if (Top == Rows.end())
            Fail("MSysAccessStorage has no root");
        RootId = Top->ParentId;
    }
    StorageNode Root;
    Root.Name = "MSysAccessStorage_ROOT";
    // Built breadth-first with an explicit queue: each row is taken once, so a cycle of parents
    // cannot loop, and a deep chain cannot exhaust the stack.
    struct Pending {
        std::int32_t Id;
        StorageNode* Node;
        int Depth;
    };
    std::vector<Pending> Queue{{RootId, &Root, 0}};
    TreeBudget Budget;
    for (std::size_t Q = 0; Q < Queue.size(); ++Q) {
        const Pending P = Queue[Q];
        if (P.Depth > kMaxDepth)
            Fail("MSysAccessStorage is nested too deeply");
        const auto [First, Last] = ByParent.equal_range(P.Id);
        std::size_t Count = 0;
        for (auto It = First; It != Last; ++It)
            ++Count;
        P.Node->Children.reserve(Count); // no reallocation: the queue keeps pointers to children
        for (auto It = First; It != Last; ++It) {
            const StorageRow& R = *It->second;
            StorageNode Child;
            Child.Name = R.Name;
            Child.Stream = R.Type == 2;
            if (Child.Stream) {
                Child.Data = R.Data;
                Child.Damage = R.Damage;
            }
            Budget.Take(Child.Data.size());
            P.Node->Children.push_back(std::move(Child));
            if (R.Type == 1)
                Queue.push_back({R.Id, &P.Node->Children.back(), P.Depth + 1});
        }
    }
    return Root;
}

std::string DecompressVba(std::string_view Bytes, std::size_t Offset, bool EndsAtShortChunk) {
    // A signature byte, then chunks of at most 4096 bytes each: a header (size - 3 in 12 bits,
    // the signature 3 in the next three, bit 15 set when compressed), then either 4096 bytes as
    // they stand, or groups of a flag byte and eight tokens, each a literal byte (flag bit clear)
    // or a 16-bit copy of earlier output of the same chunk (offset and length share the bits as
    // the chunk's output so far needs them).
    if (Offset >= Bytes.size() || static_cast<unsigned char>(Bytes[Offset]) != 0x01)
        Fail("compressed data does not start with its signature");
    std::string Out;
    std::size_t At = Offset + 1;
    while (At < Bytes.size()) {
        if (At + 2 > Bytes.size())
            Fail("compressed data ends inside a chunk header");
        const std::uint16_t Header = U16(Bytes, At);
        if (((Header >> 12) & 7) != 3)
            Fail("a compressed chunk has a wrong signature");
        const std::size_t End = std::min(At + (Header & 0x0FFF) + 3, Bytes.size());
        At += 2;
        const std::size_t ChunkStart = Out.size();
        if (!(Header & 0x8000)) {
            if (At + 4096 > Bytes.size())
                Fail("an uncompressed chunk is cut short");
            Out.append(Bytes.substr(At, 4096));
            At += 4096;
            continue;
        }
        while (At < End) {
            const unsigned Flags = static_cast<unsigned char>(Bytes[At++]);
            for (int Bit = 0; Bit < 8 && At < End; ++Bit) {
                if (!(Flags & (1u << Bit))) {
                    Out += Bytes[At++];
                } else {
                    if (At + 2 > End)
                        Fail("a compressed chunk ends inside a copy token");
                    const std::uint16_t Token = U16(Bytes, At);
                    At += 2;
                    const std::size_t Done = Out.size() - ChunkStart;
                    unsigned BitCount = 4;
                    while ((std::size_t{1} << BitCount) < Done)
                        ++BitCount;
                    const unsigned LengthMask = 0xFFFFu >> BitCount;
                    const std::size_t Length = (Token & LengthMask) + 3u;
                    const std::size_t Distance = (static_cast<unsigned>(Token) >> (16 - BitCount)) + 1u;
                    if (Distance > Done)
                        Fail("a compressed chunk copies from before its start");
                    for (std::size_t I = 0; I < Length; ++I)
                        Out += Out[Out.size() - Distance];
                }
                if (Out.size() - ChunkStart > 4096)
                    Fail("a compressed chunk holds more than 4096 bytes");
            }
        }
        if (EndsAtShortChunk && Out.size() - ChunkStart < 4096)
            break;
    }
    return Out;
}

std::string LegacyModuleSource(std::string_view Module) {
    // The container starts with its signature byte and a chunk header; the source starts with
    // "Attribute VB_Name", right after them in a raw chunk, or after the first flag byte in a
    // compressed one (0: nothing can be copied before eight literal bytes).
    for (std::size_t At = Module.find("Attribut"); At != std::string_view::npos;
         At = Module.find("Attribut", At + 1))
        for (const std::size_t Back : {std::size_t{4}, std::size_t{3}}) {
            if (At < Back || Module[At - Back] != 0x01)
                continue;
            try {
                std::string Source = DecompressVba(Module, At - Back, true);
                if (Source.rfind("Attribute VB_Name", 0) == 0)
                    return Source;
            } catch (const AccessFileError&) {
            }
        }
    Fail("MSysModules2 holds no source code of it that can be read");
}

VbaDir ParseVbaDir(std::string_view B) {
    VbaDir Dir;
    VbaDirModule* Current = nullptr;
    bool HaveType = false;
    std::size_t At = 0;
    while (true) {
        if (At + 6 > B.size())
            Fail("the project's module list ends early");
        const std::uint16_t Id = U16(B, At);
        std::size_t Size = U32(B, At + 2);
        // The project version record states 4 bytes and holds 6.
        if (Id == 0x0009)
            Size += 2;
        At += 6;
        if (Size > B.size() - At)
            Fail(Format("the project's module list holds a record (0x%x) larger than the list", Id));
        const std::string_view Data = B.substr(At, Size);
        At += Size;
        switch (Id) {
        case 0x0003:
            if (Size != 2)
                Fail("the project's code page record is damaged");
            Dir.CodePage = U16(Data, 0);
            break;
        case 0x0019:
            if (Current && !HaveType)
                Fail(Format("the module '%s' has no type", Current->Name));
            Dir.Modules.emplace_back();
            Current = &Dir.Modules.back();
            Current->Name = std::string(Data);
            Current->StreamName = Current->Name;
            HaveType = false;
            break;
        case 0x001A:
            if (!Current)
                Fail("the project's module list names a stream outside a module");
            Current->StreamName = std::string(Data);
            break;
        case 0x0031:
            if (!Current || Size != 4)
                Fail("the project's module list holds a damaged text offset");
            Current->TextOffset = U32(Data, 0);
            break;
        case 0x0021:
        case 0x0022:
            if (!Current)
                Fail("the project's module list holds a module type outside a module");
            Current->Class = Id == 0x0022;
            HaveType = true;
            break;
        case 0x0010:
            if (Current && !HaveType)
                Fail(Format("the module '%s' has no type", Current->Name));
            return Dir;
        default:
            break;
        }
    }
}

std::string CodePageToCp1252(std::string_view Text, int CodePage) {
    if (CodePage == 1252 || std::all_of(Text.begin(), Text.end(), [](char C) { return (C & 0x80) == 0; }))
        return std::string(Text);
    const std::string Name = CodePage == 65001 ? std::string("UTF-8") : "CP" + IntToStr(CodePage);
    iconv_t Probe = iconv_open("UTF-8", Name.c_str());
    if (Probe == reinterpret_cast<iconv_t>(-1))
        return std::string(Text); // an unknown code page: the bytes as they stand
    iconv_close(Probe);
    return Utf8ToCp1252(Convert(Text, Name.c_str()));
}

std::vector<std::pair<std::string, std::uint32_t>> ParseDirData(std::string_view B) {
    // 4 zero bytes, then per object: 0x04, the length of what follows, the name in UTF-16LE and
    // the object's storage number (32 bits).
    if (B.size() < 4 || U32(B, 0) != 0)
        Fail("it does not start as an object list does");
    std::vector<std::pair<std::string, std::uint32_t>> Entries;
    for (std::size_t At = 4; At < B.size();) {
        if (At + 2 > B.size() || B[At] != 0x04)
            Fail(Format("an entry at byte %d is damaged", static_cast<int>(At)));
        const std::size_t Length = static_cast<unsigned char>(B[At + 1]);
        At += 2;
        if (Length < 4 || Length % 2 != 0 || Length > B.size() - At)
            Fail(Format("an entry at byte %d has an impossible length", static_cast<int>(At - 2)));
        Entries.emplace_back(Utf16ToCp1252(B.substr(At, Length - 4)), U32(B, At + Length - 4));
        At += Length;
    }
    return Entries;
}

std::vector<FileControl> ParseTypeInfo(std::string_view B) {
    // Header: magic, two words, the number of entries, a GUID. Each entry: the control type (8
    // bits), three bytes, its index (32 bits), its name as a VBA identifier and, when that
    // differs, its name as Access shows it, both ANSI and zero-terminated.
    constexpr std::size_t kHeader = 32;
    if (B.size() < kHeader || U32(B, 0) != 0xACCDEAF7)
        Fail("its control list does not start with its signature");
    const std::uint32_t Count = U32(B, 12);
    if (Count > (B.size() - kHeader) / 10)
        Fail("its control list states more entries than it holds");
    std::vector<FileControl> Controls;
    std::size_t At = kHeader;
    auto CString = [&B, &At]() {
        const std::size_t End = B.find('\0', At);
        if (End == std::string_view::npos)
            Fail("its control list ends in the middle of a name");
        const std::string_view S = B.substr(At, End - At);
        At = End + 1;
        return S;
    };
    for (std::uint32_t I = 0; I < Count; ++I) {
        if (At + 8 > B.size())
            Fail("its control list ends early");
        const int Type = static_cast<unsigned char>(B[At]);
        At += 8;
        const std::string_view CodeName = CString();
        const std::string_view Name = CString();
        if (Type == kFieldEntry)
            continue; // a field of the record source, not a control
        // Access's control types run from 100 (Label) to 130; sections follow.
        if (CodeName.empty() || Type < 100 || (Type > 130 && Type < kFirstSection) || Type > kLastSection)
            Fail(Format("its control list holds an entry that is no control (type %d)", Type));
        Controls.push_back({std::string(Name.empty() ? CodeName : Name), Type});
    }
    // Damage that shifts the entries rarely ends them where the list ends.
    if (At != B.size())
        Fail("its control list does not end where its entries do");
    return Controls;
}

FileProject ReadAccessProject(const StorageNode& Root, const ListedObjects& Listed) {
    FileProject P;
    const StorageNode* Vba = Root.Find("VBA/VBAProject/VBA");
    if (!Vba && Listed.Code)
        P.Problems.push_back("its VBA project is missing");
    if (Vba) {
        try {
            const StorageNode* DirStream = Vba->Child("dir");
            if (!DirStream || !DirStream->Stream)
                Fail("its module list is missing");
            const VbaDir Dir = ParseVbaDir(DecompressVba(DirStream->Bytes()));
            bool NoSource = false;
            for (const VbaDirModule& M : Dir.Modules) {
                FileModule Module;
                Module.Name = CodePageToCp1252(M.Name, Dir.CodePage);
                Module.Class = M.Class;
                try {
                    const StorageNode* Stream = Vba->Child(CodePageToCp1252(M.StreamName, Dir.CodePage));
                    if (!Stream || !Stream->Stream)
                        Fail("its stream is missing");
                    // Compiled-only projects keep the compiled code and end the stream where the
                    // source would begin.
                    if (M.TextOffset >= Stream->Bytes().size()) {
                        NoSource = true;
                        continue;
                    }
                    Module.Code = CodePageToCp1252(DecompressVba(Stream->Data, M.TextOffset), Dir.CodePage);
                } catch (const AccessFileError& E) {
                    P.Problems.push_back(
                        Format("the code of module '%s' cannot be read (%s)", Module.Name, E.what()));
                    continue;
                }
                P.Modules.push_back(std::move(Module));
            }
            if (NoSource)
                P.Problems.push_back("its VBA project holds no source code (a compiled-only MDE or ACCDE "
                                     "file): its modules cannot be read");
        } catch (const AccessFileError& E) {
            P.Problems.push_back(Format("its VBA project cannot be read (%s)", E.what()));
        }
    }
    ReadDesigns(Root, "Forms", "form", Listed.Forms, P.Forms, P.Problems);
    ReadDesigns(Root, "Reports", "report", Listed.Reports, P.Reports, P.Problems);
    return P;
}

void NoteCause(FileProject& P, const std::string& Cause) {
    for (std::string& Problem : P.Problems) {
        if (Problem.find("the file is damaged") != std::string::npos)
            continue;
        if (!Problem.empty() && Problem.back() == ')')
            Problem.insert(Problem.size() - 1, "; " + Cause);
        else
            Problem += " (" + Cause + ")";
    }
}

void AddLegacyObjects(const std::vector<LegacyObject>& Objects, FileProject& P) {
    auto Has = [](const auto& Items, const std::string& Name) {
        return std::any_of(Items.begin(), Items.end(),
                           [&Name](const auto& I) { return SameText(I.Name, Name); });
    };
    // What the project could not give and is given here is not lost.
    auto Found = [&P](const std::string& Note) {
        std::erase_if(P.Problems, [&Note](const std::string& Problem) { return Problem.starts_with(Note); });
    };
    for (const LegacyObject& O : Objects) {
        const bool Layout = O.Kind != LegacyObject::Module;
        const char* Kind = O.Kind == LegacyObject::Form ? "form" : "report";
        const std::string ModuleName = O.Kind == LegacyObject::Form     ? "Form_" + O.Name
                                       : O.Kind == LegacyObject::Report ? "Report_" + O.Name
                                                                        : O.Name;
        if (!O.Code.empty() && !Has(P.Modules, ModuleName)) {
            try {
                P.Modules.push_back({ModuleName, Layout, LegacyModuleSource(O.Code)});
                Found("the code of module '" + ModuleName + "' cannot be read (");
            } catch (const AccessFileError& E) {
                P.Problems.push_back(
                    Format("the code of module '%s' cannot be read (%s)", ModuleName, E.what()));
            }
        }
        std::vector<FileDesign>& Designs = O.Kind == LegacyObject::Form ? P.Forms : P.Reports;
        if (Layout && !O.TypeInfo.empty() && !Has(Designs, O.Name)) {
            try {
                Designs.push_back({O.Name, ParseTypeInfo(O.TypeInfo)});
                Found(Format("the design of the %s '%s' cannot be read (", Kind, O.Name));
            } catch (const AccessFileError& E) {
                P.Problems.push_back(
                    Format("the design of the %s '%s' cannot be read (%s)", Kind, O.Name, E.what()));
            }
        }
    }
}

} // namespace dao
