#include "styles/XLSError.h"

namespace {

const char* const kMessages[15] = {
    "",
    "Buffer size is too small",
    "Stream not found: %s. File format is not Excel 97 or higher.",
    "Invalid cell value or type",
    "Invalid cell property value",
    "Invalid row or column number",
    "Invalid or duplicated sheet name",
    "Sheet name must have a length 1..255",
    "Invalid formula",
    "Invalid function in formula: %s",
    "String constants in formula must have a length 0..255",
    "Invalid range name: %s",
    "There are no sheets in the workbook",
    "Formula not recognized",
    "Reading of password-protected workbooks not supported",
};

std::string FormatMessage(uint8_t code, const std::string& argument)
{
    std::string text = EXLSError::MessageOf(code);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

} // namespace

std::string EXLSError::MessageOf(uint8_t code)
{
    return code < 15 ? kMessages[code] : "";
}

EXLSError::EXLSError(uint8_t code) : std::runtime_error(MessageOf(code)), FErrorCode(code) {}

EXLSError::EXLSError(uint8_t code, const std::string& argument)
    : std::runtime_error(FormatMessage(code, argument)), FErrorCode(code)
{
}

void RaiseListIndexError(long long index, bool sheetList)
{
    throw ERangeError("List index (" + std::to_string(index) + ") out of bounds" + (sheetList ? " !" : ""));
}
