#include "platform/access/SaveAsText.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace msaccess {

namespace {

constexpr std::size_t kMaxDepth = 200;

[[noreturn]] void Malformed(const std::string& Source, std::size_t Line, const char* Why) {
    throw EOleException(Format("'%s' is not a readable Access text export: %s at line %d.", Source, Why,
                               static_cast<int>(Line)));
}

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

/// Reads a quoted piece starting at S[0] == '"'; Rest receives what follows the closing quote.
/// An unterminated piece runs to the end of the line.
std::string Quoted(std::string_view S, std::string_view& Rest) {
    std::string Out;
    std::size_t I = 1;
    for (; I < S.size(); ++I) {
        if (S[I] == '"') {
            if (I + 1 < S.size() && S[I + 1] == '"') {
                Out += '"';
                ++I;
                continue;
            }
            break;
        }
        Out += S[I];
    }
    Rest = I < S.size() ? S.substr(I + 1) : std::string_view();
    return Out;
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

} // namespace

std::string TextBlock::Name() const {
    for (const TextProperty& P : Properties)
        if (P.Name == "Name")
            return P.Value.AsString();
    return {};
}

TextObject ParseSaveAsText(std::string_view Text, const std::string& Source) {
    TextObject Obj;
    const std::vector<std::string_view> Lines = SplitLines(Text);
    std::vector<TextBlock*> Stack;
    bool Done = false;
    TextProperty* LastQuoted = nullptr;
    for (std::size_t N = 0; N < Lines.size(); ++N) {
        const std::string_view Raw = Lines[N];
        if (Done) {
            Obj.Code.emplace_back(Raw);
            continue;
        }
        const std::string_view T = TrimView(Raw);
        if (T.empty())
            continue;
        if (T.front() == '"' && LastQuoted) {
            std::string_view Rest;
            LastQuoted->Value = Variant(LastQuoted->Value.AsString() + Quoted(T, Rest));
            continue;
        }
        LastQuoted = nullptr;
        std::string_view Type;
        if (IsBegin(T, Type)) {
            if (Stack.empty()) {
                if (!Obj.Root.Type.empty() || Type.empty())
                    Malformed(Source, N + 1, "a block outside the object");
                Obj.Root.Type = std::string(Type);
                Stack.push_back(&Obj.Root);
            } else {
                if (Stack.size() >= kMaxDepth)
                    Malformed(Source, N + 1, "blocks nested too deeply");
                Stack.back()->Children.push_back(TextBlock{std::string(Type), {}, {}});
                Stack.push_back(&Stack.back()->Children.back());
            }
            continue;
        }
        if (T == "End") {
            if (Stack.empty())
                Malformed(Source, N + 1, "an End without Begin");
            Stack.pop_back();
            continue;
        }
        if (T == "CodeBehindForm" && Stack.empty()) {
            Done = true;
            Obj.HasCode = true;
            continue;
        }
        const std::size_t Eq = T.find('=');
        if (Eq == std::string_view::npos || Eq == 0) {
            if (Stack.empty() && Obj.Root.Type.empty())
                continue; // stray header text
            Malformed(Source, N + 1, "a line that is no property");
        }
        TextProperty P{std::string(TrimView(T.substr(0, Eq))), Variant()};
        const std::string_view V = TrimView(T.substr(Eq + 1));
        bool IsQuoted = false;
        if (!V.empty() && V.front() == '"') {
            std::string_view Rest;
            P.Value = Variant(Quoted(V, Rest));
            IsQuoted = true;
        } else if (V == "Begin") {
            std::vector<std::uint8_t> Bytes;
            std::size_t K = N + 1;
            for (; K < Lines.size() && TrimView(Lines[K]) != "End"; ++K)
                AppendHex(Lines[K], Bytes);
            if (K == Lines.size())
                Malformed(Source, N + 1, "a binary value without End");
            N = K;
            P.Value = Variant::Bytes(std::move(Bytes));
        } else {
            P.Value = Scalar(V);
        }
        auto& Target = Stack.empty() ? Obj.Header : Stack.back()->Properties;
        Target.push_back(std::move(P));
        if (IsQuoted)
            LastQuoted = &Target.back();
    }
    if (!Stack.empty())
        Malformed(Source, Lines.size(), "the file ends inside a block");
    if (Obj.Root.Type != "Form" && Obj.Root.Type != "Report")
        Malformed(Source, Lines.size(), "no Begin Form or Begin Report block");
    return Obj;
}

std::vector<std::string> VisibleCode(const std::vector<std::string>& Code) {
    std::size_t First = 0;
    while (First < Code.size() && Code[First].rfind("Attribute VB_", 0) == 0)
        ++First;
    return std::vector<std::string>(Code.begin() + static_cast<std::ptrdiff_t>(First), Code.end());
}

} // namespace msaccess
