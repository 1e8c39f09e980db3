#include "platform/access/SaveAsText.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <map>

namespace msaccess {

namespace {

constexpr std::size_t kMaxDepth = 200;

std::vector<std::string_view> SplitLines(std::string_view Text) {
    std::vector<std::string_view> Lines;
    std::size_t Start = 0;
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r' || Text[I] == '\n') {
            Lines.push_back(Text.substr(Start, I - Start));
            if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
            Start = I + 1;
        }
    }
    if (Start < Text.size())
        Lines.push_back(Text.substr(Start));
    return Lines;
}

std::string_view TrimView(std::string_view S) {
    std::size_t B = 0, E = S.size();
    while (B < E && (S[B] == ' ' || S[B] == '\t'))
        ++B;
    while (E > B && (S[E - 1] == ' ' || S[E - 1] == '\t'))
        --E;
    return S.substr(B, E - B);
}

bool IsOctal(char C) {
    return C >= '0' && C <= '7';
}

/// Appends the text of one quoted piece (S[0] == '"') to Out. Backslash escapes: \" a quote,
/// \\ a backslash, \ooo the byte of three octal digits; a backslash before anything else stands
/// for itself. "" inside the quotes is one quote. An unterminated piece runs to the end of the line.
void AppendQuoted(std::string_view S, std::string& Out) {
    for (std::size_t I = 1; I < S.size(); ++I) {
        const char C = S[I];
        if (C == '\\' && I + 1 < S.size()) {
            const char D = S[I + 1];
            if (D == '"' || D == '\\') {
                Out += D;
                ++I;
            } else if (I + 3 < S.size() && IsOctal(D) && IsOctal(S[I + 2]) && IsOctal(S[I + 3])) {
                Out += static_cast<char>((D - '0') << 6 | (S[I + 2] - '0') << 3 | (S[I + 3] - '0'));
                I += 3;
            } else {
                Out += C;
            }
            continue;
        }
        if (C == '"') {
            if (I + 1 < S.size() && S[I + 1] == '"') {
                Out += '"';
                ++I;
                continue;
            }
            return;
        }
        Out += C;
    }
}

Variant Scalar(std::string_view V) {
    if (V == "NotDefault" || V == "True")
        return Variant(true);
    if (V == "Default" || V == "False")
        return Variant(false);
    std::int32_t I;
    auto [P, Ec] = std::from_chars(V.data(), V.data() + V.size(), I);
    if (Ec == std::errc() && P == V.data() + V.size() && !V.empty())
        return Variant(I);
    const std::string S(V);
    char* End = nullptr;
    errno = 0;
    const double D = std::strtod(S.c_str(), &End);
    if (!S.empty() && End == S.c_str() + S.size() && errno == 0 &&
        S.find_first_not_of("+-0123456789.eE") == std::string::npos)
        return Variant(D);
    return Variant(S);
}

void AppendHex(std::string_view Line, std::vector<std::uint8_t>& Bytes) {
    for (std::size_t I = 0; I + 1 < Line.size(); ++I) {
        if (Line[I] != '0' || (Line[I + 1] != 'x' && Line[I + 1] != 'X'))
            continue;
        I += 2;
        while (I + 1 < Line.size() && HexDigitValue(Line[I]) >= 0 && HexDigitValue(Line[I + 1]) >= 0) {
            Bytes.push_back(
                static_cast<std::uint8_t>(HexDigitValue(Line[I]) << 4 | HexDigitValue(Line[I + 1])));
            I += 2;
        }
    }
}

bool IsBegin(std::string_view T, std::string_view& Type) {
    if (T.substr(0, 5) != "Begin" || (T.size() > 5 && T[5] != ' ' && T[5] != '\t'))
        return false;
    Type = TrimView(T.substr(5));
    return true;
}

bool IsHexLine(std::string_view T) {
    return T.size() >= 2 && T[0] == '0' && (T[1] == 'x' || T[1] == 'X');
}

/// Sections and group levels of forms and reports: blocks that are no controls.
bool IsSection(std::string_view Type) {
    for (const char* S : {"Section", "FormHeader", "FormFooter", "PageHeader", "PageFooter", "BreakHeader",
                          "BreakFooter", "BreakLevel"})
        if (Type == S)
            return true;
    return false;
}

/// Reads the lines of one export; mN is the index of the line being read.
class Reader {
public:
    Reader(std::string_view Text, const std::string& Source) : mLines(SplitLines(Text)), mSource(Source) {}

    TextObject Parse() {
        TextObject Obj;
        for (; mN < mLines.size(); ++mN) {
            const std::string_view T = TrimView(mLines[mN]);
            if (T.empty())
                continue;
            std::string_view Type, Name, Value;
            if (IsBegin(T, Type)) {
                if (!Obj.Root.Type.empty() || Type.empty())
                    Fail(mN, "a block outside the object");
                Obj.Root.Type = std::string(Type);
                ReadBlock(Obj.Root, 1);
            } else if (T == "CodeBehindForm" && !Obj.Root.Type.empty()) {
                Obj.HasCode = true;
                for (++mN; mN < mLines.size(); ++mN)
                    Obj.Code.emplace_back(mLines[mN]);
            } else if (T == "End") {
                Fail(mN, "an End without Begin");
            } else if (SplitProperty(T, Name, Value)) {
                Obj.Header.push_back(ReadProperty(Name, Value, 1));
            } else if (!Obj.Root.Type.empty()) {
                Fail(mN, "a line that is no property");
            } // else stray text before the object
        }
        if (Obj.Root.Type != "Form" && Obj.Root.Type != "Report")
            Fail(mLines.empty() ? 0 : mLines.size() - 1, "no Begin Form or Begin Report block");
        return Obj;
    }

private:
    [[noreturn]] void Fail(std::size_t Index, const char* Why) const {
        throw EOleException(Format("'%s' is not a readable Access text export: %s at line %d.", mSource, Why,
                                   static_cast<int>(Index + 1)));
    }

    /// Splits a line "Name =Value" at its first '='; false when the line is no property.
    static bool SplitProperty(std::string_view T, std::string_view& Name, std::string_view& Value) {
        const std::size_t Eq = T.find('=');
        if (Eq == std::string_view::npos || Eq == 0)
            return false;
        Name = TrimView(T.substr(0, Eq));
        Value = TrimView(T.substr(Eq + 1));
        return true;
    }

    /// Reads the block whose Begin line is the current one, up to its End.
    void ReadBlock(TextBlock& Block, std::size_t Depth) {
        if (Depth > kMaxDepth)
            Fail(mN, "blocks nested too deeply");
        const std::size_t Start = mN;
        while (++mN < mLines.size()) {
            const std::string_view T = TrimView(mLines[mN]);
            if (T.empty())
                continue;
            if (T == "End")
                return;
            std::string_view Type, Name, Value;
            if (IsBegin(T, Type)) {
                Block.Children.push_back(TextBlock{std::string(Type), {}, {}});
                ReadBlock(Block.Children.back(), Depth + 1);
            } else if (SplitProperty(T, Name, Value)) {
                Block.Properties.push_back(ReadProperty(Name, Value, Depth));
            } else {
                Fail(mN, "a line that is no property");
            }
        }
        Fail(Start, "the file ends inside a block");
    }

    TextProperty ReadProperty(std::string_view Name, std::string_view V, std::size_t Depth) {
        TextProperty P{std::string(Name), Variant()};
        if (V.starts_with('"'))
            P.Value = Variant(ReadQuoted(V));
        else if (V == "Begin")
            P.Value = ReadBeginValue(Depth);
        else
            P.Value = Scalar(V);
        return P;
    }

    /// The text of a quoted value whose first piece is V, joined with the pieces on the lines
    /// that follow.
    std::string ReadQuoted(std::string_view V) {
        std::string Out;
        AppendQuoted(V, Out);
        while (mN + 1 < mLines.size()) {
            const std::string_view Next = TrimView(mLines[mN + 1]);
            if (Next.empty() || Next.front() != '"')
                break;
            AppendQuoted(Next, Out);
            ++mN;
        }
        return Out;
    }

    /// A value written as "= Begin" ... "End": hex lines make a binary value, anything else is an
    /// embedded macro.
    Variant ReadBeginValue(std::size_t Depth) {
        const std::size_t Start = mN;
        std::size_t K = mN + 1;
        while (K < mLines.size() && TrimView(mLines[K]).empty())
            ++K;
        if (K < mLines.size() && TrimView(mLines[K]) != "End" && !IsHexLine(TrimView(mLines[K])))
            return Variant(ReadMacro(Depth + 1));
        std::vector<std::uint8_t> Bytes;
        for (; K < mLines.size() && TrimView(mLines[K]) != "End"; ++K)
            AppendHex(mLines[K], Bytes);
        if (K == mLines.size())
            Fail(Start, "a binary value without End");
        mN = K;
        return Variant::Bytes(std::move(Bytes));
    }

    /// The text of an embedded macro up to its End: its lines without indentation, quoted
    /// values decoded and joined, other lines as they stand, separated by CR LF.
    std::string ReadMacro(std::size_t Depth) {
        if (Depth > kMaxDepth)
            Fail(mN, "blocks nested too deeply");
        const std::size_t Start = mN;
        std::string Out;
        std::size_t Level = 0;
        auto Add = [&Out](std::string_view Line) {
            if (!Out.empty())
                Out += "\r\n";
            Out += Line;
        };
        while (++mN < mLines.size()) {
            const std::string_view T = TrimView(mLines[mN]);
            if (T.empty())
                continue;
            std::string_view Type, Name, Value;
            const bool Property = SplitProperty(T, Name, Value);
            if (T == "End") {
                if (Level == 0)
                    return Out;
                --Level;
                Add(T);
            } else if (IsBegin(T, Type) || (Property && Value == "Begin")) {
                if (Depth + ++Level > kMaxDepth)
                    Fail(mN, "blocks nested too deeply");
                Add(T);
            } else if (Property && Value.starts_with('"')) {
                Add(std::string(Name) + " =\"" + ReadQuoted(Value) + "\"");
            } else {
                Add(T); // other lines as they stand: the macro's text loses nothing
            }
        }
        Fail(Start, "an embedded macro without End");
    }

    std::vector<std::string_view> mLines;
    const std::string& mSource;
    std::size_t mN = 0;
};

using DefaultMap = std::map<std::string, std::vector<TextProperty>, std::less<>>;

void CollectControls(const TextBlock& Block, const DefaultMap& Defaults, std::vector<TextBlock>& Controls) {
    for (const TextBlock& Child : Block.Children) {
        if (!Child.Type.empty() && !IsSection(Child.Type) && !Child.Name().empty()) {
            TextBlock Control{Child.Type, Child.Properties, {}};
            if (const auto It = Defaults.find(Child.Type); It != Defaults.end())
                for (const TextProperty& D : It->second)
                    if (std::none_of(Child.Properties.begin(), Child.Properties.end(),
                                     [&D](const TextProperty& P) { return P.Name == D.Name; }))
                        Control.Properties.push_back(D);
            Controls.push_back(std::move(Control));
        }
        CollectControls(Child, Defaults, Controls);
    }
}

} // namespace

std::string TextBlock::Name() const {
    for (const TextProperty& P : Properties)
        if (P.Name == "Name")
            return P.Value.AsString();
    return {};
}

TextObject ParseSaveAsText(std::string_view Text, const std::string& Source) {
    return Reader(Text, Source).Parse();
}

std::vector<TextBlock> NamedControls(const TextObject& Object) {
    // The defaults sit in the unnamed blocks at the top: one unnamed block per control type.
    DefaultMap Defaults;
    for (const TextBlock& Top : Object.Root.Children)
        if (Top.Type.empty())
            for (const TextBlock& D : Top.Children)
                if (!D.Type.empty() && !IsSection(D.Type) && D.Name().empty()) {
                    auto& List = Defaults[D.Type];
                    List.insert(List.end(), D.Properties.begin(), D.Properties.end());
                }
    std::vector<TextBlock> Controls;
    CollectControls(Object.Root, Defaults, Controls);
    return Controls;
}

std::vector<std::string> VisibleCode(const std::vector<std::string>& Code) {
    std::size_t First = 0;
    // A class file written by the code editor starts with VERSION 1.0 CLASS and a BEGIN ... END block.
    if (!Code.empty() && Code[0].rfind("VERSION ", 0) == 0 && Code[0].find("CLASS") != std::string::npos) {
        First = 1;
        if (First < Code.size() && Trim(Code[First]) == "BEGIN") {
            std::size_t End = First;
            while (End < Code.size() && Trim(Code[End]) != "END")
                ++End;
            if (End < Code.size())
                First = End + 1;
        }
    }
    while (First < Code.size() && Code[First].rfind("Attribute VB_", 0) == 0)
        ++First;
    return std::vector<std::string>(Code.begin() + static_cast<std::ptrdiff_t>(First), Code.end());
}

} // namespace msaccess
