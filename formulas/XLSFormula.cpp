#include "formulas/XLSFormula.h"

#include <array>

namespace {

constexpr int32_t kVariable = -1;

constexpr std::array<TXLSFunctionRec, 76> kFunctions{{
    {"IF", 1, 3},           {"ISERROR", 3, 1},       {"AND", 36, kVariable},
    {"OR", 37, kVariable},  {"NOT", 38, 1},          {"COUNT", 0, 1},
    {"SUM", 4, kVariable},  {"AVERAGE", 5, kVariable}, {"MIN", 6, kVariable},
    {"MAX", 7, kVariable},  {"ROW", 8, kVariable},   {"COLUMN", 9, kVariable},
    {"NPV", 11, kVariable}, {"STDEV", 12, kVariable}, {"SUMPRODUCT", 228, kVariable},
    {"FREQUENCY", 252, 2},  {"SUMSQ", 321, kVariable}, {"SUMX2MY2", 304, kVariable},
    {"SUMX2PY2", 305, kVariable}, {"SUMXMY2", 303, kVariable}, {"SUMIF", 345, kVariable},
    {"SIN", 15, 1},         {"COS", 16, 1},          {"TAN", 17, 1},
    {"ATAN", 18, 1},        {"SQRT", 20, 1},         {"EXP", 21, 1},
    {"LN", 22, 1},          {"LOG10", 23, 1},        {"ABS", 24, 1},
    {"INT", 25, 1},         {"SIGN", 26, 1},         {"ROUND", 27, 2},
    {"LOOKUP", 28, kVariable}, {"INDEX", 29, kVariable}, {"REPT", 30, 2},
    {"MID", 31, 3},         {"LEN", 32, 1},          {"VALUE", 33, 1},
    {"MOD", 39, 2},         {"DSUM", 41, 3},         {"VAR", 46, kVariable},
    {"DATE", 65, 3},        {"TIME", 66, 3},         {"DAY", 67, 1},
    {"MONTH", 68, 1},       {"YEAR", 69, 1},         {"WEEKDAY", 70, 1},
    {"HOUR", 71, 1},        {"MINUTE", 72, 1},       {"SECOND", 73, 1},
    {"NOW", 74, 0},         {"HLOOKUP", 101, 4},     {"VLOOKUP", 102, 4},
    {"LOWER", 112, 1},      {"UPPER", 113, 1},       {"PROPER", 114, 1},
    {"LEFT", 115, 2},       {"RIGHT", 116, 2},       {"TRIM", 118, 1},
    {"REPLACE", 119, 4},    {"SUBSTITUTE", 120, 4},  {"ISERR", 126, 1},
    {"ISTEXT", 127, 1},     {"ISNUMBER", 128, 1},    {"ISBLANK", 129, 1},
    {"COUNTA", 169, kVariable}, {"TRUNC", 197, 1},   {"ROUNDUP", 212, 2},
    {"ROUNDDOWN", 213, 2},  {"TODAY", 221, 0},       {"FLOOR", 285, 2},
    {"CEILING", 288, 2},    {"CONCATENATE", 336, kVariable}, {"SUBTOTAL", 344, 2},
    {"COUNTBLANK", 347, 1},
}};

} // namespace

std::span<const TXLSFunctionRec> XLSFunctions() { return kFunctions; }

const TXLSFunctionRec* FindFunction(uint16_t number) {
    for (const TXLSFunctionRec& rec : kFunctions)
        if (rec.FuncNumber == number) return &rec;
    return nullptr;
}
