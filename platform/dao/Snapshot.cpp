#include "platform/dao/Snapshot.h"

#include <charconv>
#include <cstring>

namespace dao {

namespace {

constexpr int kFormatVersion = 1;
constexpr char kHex[] = "0123456789abcdef";

std::string HexBits(double D) {
    std::uint64_t Bits;
    std::memcpy(&Bits, &D, sizeof Bits);
    std::string S(16, '0');
    for (int I = 15; I >= 0; --I, Bits >>= 4)
        S[I] = kHex[Bits & 0xF];
    return S;
}

bool ParseHexBits(std::string_view S, double& D) {
    std::uint64_t Bits = 0;
    if (S.empty() || S.size() > 16)
        return false;
    auto [P, Ec] = std::from_chars(S.data(), S.data() + S.size(), Bits, 16);
    if (Ec != std::errc() || P != S.data() + S.size())
        return false;
    std::memcpy(&D, &Bits, sizeof D);
    return true;
}

template <class T>
bool ParseInt(std::string_view S, T& V) {
    auto [P, Ec] = std::from_chars(S.data(), S.data() + S.size(), V);
    return Ec == std::errc() && P == S.data() + S.size() && !S.empty();
}

std::string Unescape(std::string_view S, bool& Ok) {
    std::string Out;
    Out.reserve(S.size());
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] != '\\') {
            Out += S[I];
            continue;
        }
        if (++I == S.size()) {
            Ok = false;
            return Out;
        }
        switch (S[I]) {
        case '\\':
            Out += '\\';
            break;
        case 't':
            Out += '\t';
            break;
        case 'r':
            Out += '\r';
            break;
        case 'n':
            Out += '\n';
            break;
        default:
            Ok = false;
            return Out;
        }
    }
    return Out;
}

std::vector<std::string> SplitFields(std::string_view Line, bool& Ok) {
    std::vector<std::string> Fields;
    std::size_t Start = 0;
    while (true) {
        const std::size_t Tab = Line.find('\t', Start);
        Fields.push_back(Unescape(Line.substr(Start, Tab == std::string_view::npos ? Tab : Tab - Start), Ok));
        if (Tab == std::string_view::npos)
            break;
        Start = Tab + 1;
    }
    return Fields;
}

} // namespace

const PropertyBlock* CatalogObject::Block(std::string_view BlockName) const {
    for (const PropertyBlock& B : Properties)
        if (B.Name == BlockName)
            return &B;
    return nullptr;
}

const TableRows* Snapshot::FindTable(std::string_view Name) const {
    for (const TableRows& T : Tables)
        if (SameText(T.Name, Name))
            return &T;
    return nullptr;
}

std::string EncodeValue(const Variant& V) {
    switch (V.VarType()) {
    case varEmpty:
    case varNull:
        return "N";
    case varBoolean:
        return V.AsBoolean() ? "B1" : "B0";
    case varByte:
        return "U" + IntToStr(V.AsInteger());
    case varSmallint:
        return "H" + IntToStr(V.AsInteger());
    case varInteger:
        return "L" + IntToStr(V.AsInteger());
    case varCurrency:
        return "C" +
               IntToStr(static_cast<long long>(V.AsDouble() * 10000.0 + (V.AsDouble() < 0 ? -0.5 : 0.5)));
    case varSingle:
        return "F" + HexBits(V.AsDouble());
    case varDouble:
        return "D" + HexBits(V.AsDouble());
    case varDate:
        return "T" + HexBits(V.AsDouble());
    case varArray | varByte: {
        std::string S = "X";
        for (std::uint8_t B : V.AsBytes()) {
            S += kHex[B >> 4];
            S += kHex[B & 0xF];
        }
        return S;
    }
    default:
        return "S" + V.AsString();
    }
}

bool DecodeValue(std::string_view Text, Variant& V) {
    if (Text.empty())
        return false;
    const std::string_view Rest = Text.substr(1);
    switch (Text[0]) {
    case 'N':
        V = Variant::Null();
        return Rest.empty();
    case 'B':
        if (Rest != "0" && Rest != "1")
            return false;
        V = Variant(Rest == "1");
        return true;
    case 'U': {
        std::uint8_t I;
        if (!ParseInt(Rest, I))
            return false;
        V = Variant(I);
        return true;
    }
    case 'H': {
        std::int16_t I;
        if (!ParseInt(Rest, I))
            return false;
        V = Variant(I);
        return true;
    }
    case 'L': {
        std::int32_t I;
        if (!ParseInt(Rest, I))
            return false;
        V = Variant(I);
        return true;
    }
    case 'C': {
        std::int64_t I;
        if (!ParseInt(Rest, I))
            return false;
        V = Variant::Currency(I);
        return true;
    }
    case 'F':
    case 'D':
    case 'T': {
        double D;
        if (!ParseHexBits(Rest, D))
            return false;
        V = Text[0] == 'T' ? Variant::Date(D) : Text[0] == 'F' ? Variant(static_cast<float>(D)) : Variant(D);
        return true;
    }
    case 'S':
        V = Variant(std::string(Rest));
        return true;
    case 'X': {
        if (Rest.size() % 2 != 0)
            return false;
        std::vector<std::uint8_t> Bytes(Rest.size() / 2);
        for (std::size_t I = 0; I < Bytes.size(); ++I) {
            const int Hi = HexDigitValue(Rest[2 * I]), Lo = HexDigitValue(Rest[2 * I + 1]);
            if (Hi < 0 || Lo < 0)
                return false;
            Bytes[I] = static_cast<std::uint8_t>(Hi << 4 | Lo);
        }
        V = Variant::Bytes(std::move(Bytes));
        return true;
    }
    default:
        return false;
    }
}

void SnapshotWriter::Field(std::string_view Text) {
    mOut += '\t';
    for (char C : Text) {
        switch (C) {
        case '\\':
            mOut += "\\\\";
            break;
        case '\t':
            mOut += "\\t";
            break;
        case '\r':
            mOut += "\\r";
            break;
        case '\n':
            mOut += "\\n";
            break;
        default:
            mOut += C;
        }
    }
}

void SnapshotWriter::Value(const Variant& V) {
    Field(EncodeValue(V));
}

void SnapshotWriter::EndLine() {
    mOut += '\n';
}

void SnapshotWriter::Header(int JetVersion) {
    mOut += "V";
    Field(IntToStr(kFormatVersion));
    Field(IntToStr(JetVersion));
    EndLine();
}

void SnapshotWriter::Object(const CatalogObject& O) {
    mOut += "O";
    Field(IntToStr(O.Id));
    Field(IntToStr(O.ParentId));
    Field(IntToStr(O.Type));
    Field(IntToStr(O.Flags));
    Field(O.Name);
    Value(O.DateCreate);
    Value(O.DateUpdate);
    Field(O.Connect);
    Field(O.Database);
    Field(O.ForeignName);
    EndLine();
    for (const PropertyBlock& B : O.Properties)
        for (const StoredProperty& P : B.Properties) {
            mOut += "P";
            Field(B.Name);
            Field(P.Name);
            Value(P.Value);
            EndLine();
        }
    for (const ColumnInfo& C : O.Columns) {
        mOut += "C";
        Field(C.Name);
        Field(IntToStr(C.Type));
        Field(IntToStr(C.Size));
        Field(IntToStr(C.Flags));
        EndLine();
    }
    if (O.HasDefinition) {
        mOut += "R";
        Field(IntToStr(O.RecordCount));
        EndLine();
    }
    if (!O.Damage.empty()) {
        mOut += "E";
        Field(O.Damage);
        EndLine();
    }
}

void SnapshotWriter::Table(const TableRows& T) {
    mOut += "T";
    Field(T.Name);
    EndLine();
    for (const auto& [Name, Type] : T.Columns) {
        mOut += "K";
        Field(Name);
        Field(IntToStr(Type));
        EndLine();
    }
    for (const auto& Row : T.Rows) {
        mOut += "W";
        for (const Variant& V : Row)
            Value(V);
        EndLine();
    }
}

void SnapshotWriter::Project(const FileProject& P) {
    for (const FileModule& M : P.Modules) {
        mOut += "M";
        Field(M.Name);
        Field(M.Class ? "1" : "0");
        Field(M.Code);
        EndLine();
    }
    for (const auto& [Kind, Designs] : {std::pair{"F", &P.Forms}, std::pair{"R", &P.Reports}})
        for (const FileDesign& D : *Designs) {
            mOut += "G";
            Field(Kind);
            Field(D.Name);
            EndLine();
            for (const FileControl& C : D.Controls) {
                mOut += "Q";
                Field(C.Name);
                Field(IntToStr(C.Type));
                EndLine();
            }
        }
    for (const std::string& Problem : P.Problems) {
        mOut += "A";
        Field(Problem);
        EndLine();
    }
}

void SnapshotWriter::Error(std::string_view Message) {
    mOut += "!";
    Field(Message);
    EndLine();
}

void SnapshotWriter::End() {
    mOut += "Z\n";
}

ParsedSnapshot ParseSnapshot(std::string_view Text) {
    ParsedSnapshot Result;
    Snapshot& S = Result.Data;
    bool HaveHeader = false;
    std::vector<FileDesign>* LastDesign = nullptr;
    std::size_t Pos = 0;
    auto Fail = [&Result](const char* Why) {
        if (Result.Error.empty())
            Result.Error = Why;
        Result.Complete = false;
        return Result;
    };
    while (Pos < Text.size()) {
        const std::size_t Eol = Text.find('\n', Pos);
        if (Eol == std::string_view::npos)
            return Fail("the reader's output ends in the middle of a line");
        const std::string_view Line = Text.substr(Pos, Eol - Pos);
        Pos = Eol + 1;
        if (Line.empty())
            return Fail("the reader's output holds an empty line");
        const char Kind = Line[0];
        bool Ok = Line.size() == 1 || Line[1] == '\t';
        std::vector<std::string> F;
        if (Line.size() > 1)
            F = SplitFields(Line.substr(2), Ok);
        if (!Ok)
            return Fail("the reader's output is malformed");
        if (Kind == '!') {
            Result.Error = F.empty() ? "unknown failure" : F[0];
            Result.Complete = false;
            return Result;
        }
        if (Kind == 'Z') {
            if (!HaveHeader)
                return Fail("the reader's output has no header");
            Result.Complete = Pos == Text.size();
            if (!Result.Complete)
                Result.Error = "the reader's output goes on after its end";
            return Result;
        }
        if (Kind != 'V' && !HaveHeader)
            return Fail("the reader's output has no header");
        switch (Kind) {
        case 'V': {
            int Format = 0;
            if (HaveHeader || F.size() != 2 || !ParseInt(F[0], Format) || Format != kFormatVersion ||
                !ParseInt(F[1], S.JetVersion))
                return Fail("the reader's output has a wrong header");
            HaveHeader = true;
            break;
        }
        case 'O': {
            CatalogObject O;
            if (F.size() != 10 || !ParseInt(F[0], O.Id) || !ParseInt(F[1], O.ParentId) ||
                !ParseInt(F[2], O.Type) || !ParseInt(F[3], O.Flags) || !DecodeValue(F[5], O.DateCreate) ||
                !DecodeValue(F[6], O.DateUpdate))
                return Fail("the reader's output has a malformed object");
            O.Name = std::move(F[4]);
            O.Connect = std::move(F[7]);
            O.Database = std::move(F[8]);
            O.ForeignName = std::move(F[9]);
            S.Objects.push_back(std::move(O));
            break;
        }
        case 'P': {
            Variant V;
            if (S.Objects.empty() || F.size() != 3 || !DecodeValue(F[2], V))
                return Fail("the reader's output has a malformed property");
            auto& Blocks = S.Objects.back().Properties;
            if (Blocks.empty() || Blocks.back().Name != F[0])
                Blocks.push_back({F[0], {}});
            Blocks.back().Properties.push_back({std::move(F[1]), std::move(V)});
            break;
        }
        case 'C': {
            ColumnInfo C;
            if (S.Objects.empty() || F.size() != 4 || !ParseInt(F[1], C.Type) || !ParseInt(F[2], C.Size) ||
                !ParseInt(F[3], C.Flags))
                return Fail("the reader's output has a malformed column");
            C.Name = std::move(F[0]);
            S.Objects.back().Columns.push_back(std::move(C));
            break;
        }
        case 'R': {
            if (S.Objects.empty() || F.size() != 1 || !ParseInt(F[0], S.Objects.back().RecordCount))
                return Fail("the reader's output has a malformed record count");
            S.Objects.back().HasDefinition = true;
            break;
        }
        case 'E':
            if (S.Objects.empty() || F.size() != 1)
                return Fail("the reader's output has a malformed damage note");
            S.Objects.back().Damage = std::move(F[0]);
            break;
        case 'T':
            if (F.size() != 1)
                return Fail("the reader's output has a malformed table");
            S.Tables.push_back({std::move(F[0]), {}, {}});
            break;
        case 'K': {
            int Type = 0;
            if (S.Tables.empty() || !S.Tables.back().Rows.empty() || F.size() != 2 || !ParseInt(F[1], Type))
                return Fail("the reader's output has a malformed table column");
            S.Tables.back().Columns.emplace_back(std::move(F[0]), Type);
            break;
        }
        case 'W': {
            if (S.Tables.empty() || F.size() != S.Tables.back().Columns.size())
                return Fail("the reader's output has a malformed row");
            std::vector<Variant> Row(F.size());
            for (std::size_t I = 0; I < F.size(); ++I)
                if (!DecodeValue(F[I], Row[I]))
                    return Fail("the reader's output has a malformed value");
            S.Tables.back().Rows.push_back(std::move(Row));
            break;
        }
        case 'M':
            if (F.size() != 3 || (F[1] != "0" && F[1] != "1"))
                return Fail("the reader's output has a malformed module");
            S.Project.Modules.push_back({std::move(F[0]), F[1] == "1", std::move(F[2])});
            break;
        case 'G':
            if (F.size() != 2 || (F[0] != "F" && F[0] != "R"))
                return Fail("the reader's output has a malformed design");
            LastDesign = &(F[0] == "F" ? S.Project.Forms : S.Project.Reports);
            LastDesign->push_back({std::move(F[1]), {}});
            break;
        case 'Q': {
            FileControl C;
            if (!LastDesign || F.size() != 2 || !ParseInt(F[1], C.Type))
                return Fail("the reader's output has a malformed control");
            C.Name = std::move(F[0]);
            LastDesign->back().Controls.push_back(std::move(C));
            break;
        }
        case 'A':
            if (F.size() != 1)
                return Fail("the reader's output has a malformed note");
            S.Project.Problems.push_back(std::move(F[0]));
            break;
        default:
            return Fail("the reader's output holds an unknown record");
        }
    }
    return Fail("the reader's output is incomplete");
}

} // namespace dao
