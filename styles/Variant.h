// The value of a cell: a small tagged value carrying the variant type codes
// the workbook format's cell values use.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

enum TVarType : uint16_t {
    varEmpty = 0,
    varNull = 1,
    varSmallint = 2,  // 16-bit signed
    varInteger = 3,   // 32-bit signed
    varSingle = 4,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,      // days since 1899-12-30, time of day as fraction
    varOleStr = 8,    // UTF-16 string
    varError = 10,
    varBoolean = 11,
    varShortInt = 16, // 8-bit signed
    varByte = 17,
    varWord = 18,
    varLongWord = 19,
    varInt64 = 20,
    varString = 256,  // 8-bit string in the system code page
};

class TVariant {
public:
    TVariant() = default; // empty

    static TVariant Null() { return Raw(varNull); }
    // A value of any type code with no payload; for codes the cells refuse.
    static TVariant Raw(uint16_t typeCode) { TVariant v; v.FType = typeCode; return v; }

    static TVariant Smallint(int16_t x) { return Int(varSmallint, x); }
    static TVariant Integer(int32_t x) { return Int(varInteger, x); }
    static TVariant ShortInt(int8_t x) { return Int(varShortInt, x); }
    static TVariant Byte(uint8_t x) { return Int(varByte, x); }
    static TVariant Word(uint16_t x) { return Int(varWord, x); }
    static TVariant LongWord(uint32_t x) { return Int(varLongWord, x); }
    static TVariant Int64(int64_t x) { return Int(varInt64, x); }
    static TVariant Single(float x) { return Float(varSingle, x); }
    static TVariant Double(double x) { return Float(varDouble, x); }
    static TVariant Currency(double x) { return Float(varCurrency, x); }
    static TVariant Date(double serial) { return Float(varDate, serial); }
    static TVariant Boolean(bool x) { TVariant v; v.FType = varBoolean; v.FData = x; return v; }
    static TVariant Wide(std::u16string s) { TVariant v; v.FType = varOleStr; v.FData = std::move(s); return v; }
    static TVariant String(std::string s) { TVariant v; v.FType = varString; v.FData = std::move(s); return v; }
    // An error value with the code the file stores (0x07 #DIV/0!, 0x2A #N/A ...).
    static TVariant Error(uint8_t code) { return Int(varError, code); }

    uint16_t Type() const { return FType; }
    bool IsEmpty() const { return FType == varEmpty; }
    bool IsInteger() const
    {
        return FType == varSmallint || FType == varInteger || (FType >= varShortInt && FType <= varInt64);
    }
    bool IsFloat() const { return FType == varSingle || FType == varDouble || FType == varCurrency; }
    bool IsDate() const { return FType == varDate; }
    bool IsNumeric() const { return IsInteger() || IsFloat() || IsDate(); }
    bool IsBoolean() const { return FType == varBoolean; }
    bool IsWide() const { return FType == varOleStr; }
    bool IsString() const { return FType == varString; }
    bool IsError() const { return FType == varError; }

    int64_t AsInt64() const
    {
        if (auto p = std::get_if<int64_t>(&FData)) return *p;
        if (auto p = std::get_if<double>(&FData)) return static_cast<int64_t>(*p);
        if (auto p = std::get_if<bool>(&FData)) return *p ? 1 : 0;
        return 0;
    }
    double AsDouble() const
    {
        if (auto p = std::get_if<double>(&FData)) return *p;
        if (auto p = std::get_if<int64_t>(&FData)) return static_cast<double>(*p);
        if (auto p = std::get_if<bool>(&FData)) return *p ? 1.0 : 0.0;
        return 0.0;
    }
    bool AsBoolean() const { auto p = std::get_if<bool>(&FData); return p && *p; }
    const std::u16string& AsWide() const
    {
        static const std::u16string none;
        auto p = std::get_if<std::u16string>(&FData);
        return p ? *p : none;
    }
    const std::string& AsString() const
    {
        static const std::string none;
        auto p = std::get_if<std::string>(&FData);
        return p ? *p : none;
    }

    // Same type code and same value.
    bool operator==(const TVariant& other) const { return FType == other.FType && FData == other.FData; }

private:
    friend class TCells; // packs values into its cell records and back
    static TVariant Int(uint16_t type, int64_t x) { TVariant v; v.FType = type; v.FData = x; return v; }
    static TVariant Float(uint16_t type, double x) { TVariant v; v.FType = type; v.FData = x; return v; }

    uint16_t FType = varEmpty;
    std::variant<std::monostate, int64_t, double, bool, std::u16string, std::string> FData;
};
