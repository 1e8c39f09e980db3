#pragma once
// A value of changing type as the automation components hand it over: empty, null, a Boolean, an
// integer of a given width, a floating or currency number, a date, a text or a byte block. The type
// travels with the value, so callers can tell text (varString) from everything else.

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

QX_DECLARE_EXCEPTION(EVariantError, Exception)

// Variant type codes of the class library.
constexpr Word varEmpty = 0x0000;
constexpr Word varNull = 0x0001;
constexpr Word varSmallint = 0x0002;
constexpr Word varInteger = 0x0003;
constexpr Word varSingle = 0x0004;
constexpr Word varDouble = 0x0005;
constexpr Word varCurrency = 0x0006;
constexpr Word varDate = 0x0007;
constexpr Word varOleStr = 0x0008;
constexpr Word varBoolean = 0x000B;
constexpr Word varByte = 0x0011;
constexpr Word varString = 0x0100;
constexpr Word varArray = 0x2000;

/// A typed value. Text is always varString (8-bit, Windows-1252); dates are days since
/// 30 December 1899 with the time as the fraction; currency is a count of ten-thousandths.
class Variant {
public:
    Variant() = default;
    Variant(bool V) : mType(varBoolean), mValue(V) {}
    Variant(std::uint8_t V) : mType(varByte), mValue(static_cast<std::int64_t>(V)) {}
    Variant(std::int16_t V) : mType(varSmallint), mValue(static_cast<std::int64_t>(V)) {}
    Variant(std::int32_t V) : mType(varInteger), mValue(static_cast<std::int64_t>(V)) {}
    Variant(float V) : mType(varSingle), mValue(static_cast<double>(V)) {}
    Variant(double V) : mType(varDouble), mValue(V) {}
    Variant(const char* V) : mType(varString), mValue(std::string(V)) {}
    Variant(std::string V) : mType(varString), mValue(std::move(V)) {}

    static Variant Null();
    static Variant Date(double Days);
    /// Units: 1/10000 of the currency unit.
    static Variant Currency(std::int64_t TenThousandths);
    /// A byte block (varArray | varByte).
    static Variant Bytes(std::vector<std::uint8_t> Data);

    Word VarType() const { return mType; }
    bool IsEmpty() const { return mType == varEmpty; }
    bool IsNull() const { return mType == varNull; }
    /// True for the two text types (varString and varOleStr).
    bool IsText() const { return mType == varString || mType == varOleStr; }

    /// The value as text: empty and null give ''; Booleans "True"/"False"; dates as
    /// "yyyy-mm-dd" with " hh:nn:ss" when there is a time; byte blocks as their bytes.
    std::string AsString() const;
    /// Numbers, Booleans (-1/0), dates and numeric text; raises EVariantError otherwise.
    double AsDouble() const;
    std::int64_t AsInteger() const;
    bool AsBoolean() const;
    const std::vector<std::uint8_t>& AsBytes() const;

    bool operator==(const Variant& Other) const = default;

private:
    Variant(Word Type,
            std::variant<std::monostate, bool, std::int64_t, double, std::string, std::vector<std::uint8_t>>
                Value)
        : mType(Type), mValue(std::move(Value)) {}
    [[noreturn]] void CastError(const char* Target) const;

    Word mType = varEmpty;
    std::variant<std::monostate, bool, std::int64_t, double, std::string, std::vector<std::uint8_t>> mValue;
};

/// The class library's conversion of a value to text (Null and Empty give '').
inline std::string VarToStr(const Variant& V) {
    return V.AsString();
}

/// A date value as "yyyy-mm-dd", with " hh:nn:ss" when it has a time of day. Any double is
/// accepted: the calendar is proleptic Gregorian, with no limit at 1900 or 9999.
std::string DateToText(double Days);
/// The name of a variant type code, as error messages show it ("String", "Date"...).
std::string VarTypeName(Word Type);
