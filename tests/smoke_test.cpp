#include <gtest/gtest.h>

#include "styles/Variant.h"
#include "styles/XLSError.h"

TEST(XLSError, MessagesAndPlaceholders)
{
    EXPECT_EQ(std::string(EXLSError(5).what()), "Invalid row or column number");
    EXPECT_EQ(std::string(EXLSError(0).what()), "");
    EXLSError e(2, "Workbook");
    EXPECT_EQ(e.ErrorCode(), 2);
    EXPECT_EQ(std::string(e.what()), "Stream not found: Workbook. File format is not Excel 97 or higher.");
    EXPECT_EQ(std::string(EXLSError(11, "My Range").what()), "Invalid range name: My Range");
    EXPECT_EQ(std::string(EXLSError(14).what()), "Reading of password-protected workbooks not supported");
}

TEST(XLSError, ListIndexMessages)
{
    try { RaiseListIndexError(7); FAIL(); } catch (const ERangeError& e) {
        EXPECT_EQ(std::string(e.what()), "List index (7) out of bounds");
    }
    try { RaiseListIndexError(-1, true); FAIL(); } catch (const ERangeError& e) {
        EXPECT_EQ(std::string(e.what()), "List index (-1) out of bounds !");
    }
}
