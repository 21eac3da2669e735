#include <gtest/gtest.h>

#include "cli/CliText.h"

namespace {

TEST(CliText, HexBytesIsUpperCaseWithoutSeparators) {
    EXPECT_EQ(HexBytes(""), "");
    EXPECT_EQ(HexBytes("AB"), "4142");
    EXPECT_EQ(HexBytes(std::string("\x00\x0D\xFF\x8A", 4)), "000DFF8A");
}

TEST(CliText, DisplayWidthCountsFullWidthDouble) {
    EXPECT_EQ(DisplayWidth("ABC"), 3);
    EXPECT_EQ(DisplayWidth("テキ"), 4);
    EXPECT_EQ(DisplayWidth("ｱｲ"), 2); // half-width katakana
    EXPECT_EQ(DisplayWidth("\\x80"), 4);
    EXPECT_EQ(PadToWidth("テ", 5), "テ   ");
    EXPECT_EQ(PadToWidth("ABCDEF", 3), "ABCDEF");
}

} // namespace
