#include "platform/rtl/Variant.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

Variant Variant::Null() {
    return Variant(varNull, std::monostate{});
}

Variant Variant::Date(double Days) {
    return Variant(varDate, Days);
}

Variant Variant::Currency(std::int64_t TenThousandths) {
    return Variant(varCurrency, TenThousandths);
}

Variant Variant::Bytes(std::vector<std::uint8_t> Data) {
    return Variant(static_cast<Word>(varArray | varByte), std::move(Data));
}

std::string VarTypeName(Word Type) {
    switch (Type) {
    case varEmpty:
        return "Empty";
    case varNull:
        return "Null";
    case varSmallint:
        return "Smallint";
    case varInteger:
        return "Integer";
    case varSingle:
        return "Single";
    case varDouble:
        return "Double";
    case varCurrency:
        return "Currency";
    case varDate:
        return "Date";
    case varOleStr:
        return "OleStr";
    case varBoolean:
        return "Boolean";
    case varByte:
        return "Byte";
    case varString:
        return "String";
    case varArray | varByte:
        return "Array of Byte";
    default:
        return Format("Unknown (%d)", static_cast<int>(Type));
    }
}

void Variant::CastError(const char* Target) const {
    throw EVariantError(
        Format("Could not convert variant of type (%s) into type (%s)", VarTypeName(mType), Target));
}

namespace {

std::string FormatNumber(double V) {
    if (V == std::floor(V) && std::fabs(V) < 1e15)
        return Format("%.0f", V);
    std::string S = Format("%.15g", V);
    return S;
}

std::string CurrencyText(std::int64_t Units) {
    const bool Negative = Units < 0;
    const std::uint64_t Abs =
        Negative ? 0 - static_cast<std::uint64_t>(Units) : static_cast<std::uint64_t>(Units);
    std::string S = Format("%llu", static_cast<unsigned long long>(Abs / 10000));
    std::uint64_t Frac = Abs % 10000;
    if (Frac != 0) {
        std::string F = Format("%04llu", static_cast<unsigned long long>(Frac));
        while (!F.empty() && F.back() == '0')
            F.pop_back();
        S += "." + F;
    }
    return Negative ? "-" + S : S;
}

} // namespace

std::string DateToText(double Days) {
    if (!std::isfinite(Days) || std::fabs(Days) > 1e9)
        return FormatNumber(Days);
    // The integer part counts days from 30 December 1899; the fraction is the time of day, also
    // for dates before that day (-1.25 is 29 December 1899, 06:00).
    const double Whole = std::trunc(Days);
    long long Seconds = std::llround(std::fabs(Days - Whole) * 86400.0);
    long long Day = static_cast<long long>(Whole);
    if (Seconds >= 86400) {
        Seconds -= 86400;
        Day += Days < 0 ? -1 : 1;
    }
    // Civil date from a day count (days from 1970-01-01), proleptic Gregorian calendar.
    long long Z = Day - 25569 + 719468;
    const long long Era = (Z >= 0 ? Z : Z - 146096) / 146097;
    const long long Doe = Z - Era * 146097;
    const long long Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
    long long Y = Yoe + Era * 400;
    const long long Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
    const long long Mp = (5 * Doy + 2) / 153;
    const long long D = Doy - (153 * Mp + 2) / 5 + 1;
    const long long M = Mp < 10 ? Mp + 3 : Mp - 9;
    if (M <= 2)
        ++Y;
    std::string Text = Format("%04lld-%02lld-%02lld", Y, M, D);
    if (Seconds != 0)
        Text += Format(" %02lld:%02lld:%02lld", Seconds / 3600, (Seconds / 60) % 60, Seconds % 60);
    return Text;
}

std::string Variant::AsString() const {
    switch (mType) {
    case varEmpty:
    case varNull:
        return {};
    case varBoolean:
        return std::get<bool>(mValue) ? "True" : "False";
    case varByte:
    case varSmallint:
    case varInteger:
        return IntToStr(std::get<std::int64_t>(mValue));
    case varCurrency:
        return CurrencyText(std::get<std::int64_t>(mValue));
    case varSingle:
        return Format("%.7g", std::get<double>(mValue));
    case varDouble:
        return FormatNumber(std::get<double>(mValue));
    case varDate:
        return DateToText(std::get<double>(mValue));
    case varString:
    case varOleStr:
        return std::get<std::string>(mValue);
    case varArray | varByte: {
        const auto& B = std::get<std::vector<std::uint8_t>>(mValue);
        return std::string(B.begin(), B.end());
    }
    default:
        CastError("String");
    }
}

double Variant::AsDouble() const {
    switch (mType) {
    case varBoolean:
        return std::get<bool>(mValue) ? -1.0 : 0.0;
    case varByte:
    case varSmallint:
    case varInteger:
        return static_cast<double>(std::get<std::int64_t>(mValue));
    case varCurrency:
        return static_cast<double>(std::get<std::int64_t>(mValue)) / 10000.0;
    case varSingle:
    case varDouble:
    case varDate:
        return std::get<double>(mValue);
    case varString:
    case varOleStr: {
        const std::string T = Trim(std::get<std::string>(mValue));
        char* End = nullptr;
        const double V = std::strtod(T.c_str(), &End);
        if (T.empty() || End != T.c_str() + T.size())
            CastError("Double");
        return V;
    }
    default:
        CastError("Double");
    }
}

std::int64_t Variant::AsInteger() const {
    switch (mType) {
    case varBoolean:
        return std::get<bool>(mValue) ? -1 : 0;
    case varByte:
    case varSmallint:
    case varInteger:
        return std::get<std::int64_t>(mValue);
    default: {
        const double V = AsDouble();
        if (!std::isfinite(V) || std::fabs(V) > 9.2e18)
            CastError("Int64");
        return std::llround(V);
    }
    }
}

bool Variant::AsBoolean() const {
    if (mType == varBoolean)
        return std::get<bool>(mValue);
    if (mType == varString || mType == varOleStr) {
        const std::string& S = std::get<std::string>(mValue);
        if (SameText(S, "True"))
            return true;
        if (SameText(S, "False"))
            return false;
    }
    return AsDouble() != 0.0;
}

const std::vector<std::uint8_t>& Variant::AsBytes() const {
    if (mType != (varArray | varByte))
        CastError("Array of Byte");
    return std::get<std::vector<std::uint8_t>>(mValue);
}
