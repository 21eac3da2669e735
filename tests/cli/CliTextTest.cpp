#include <gtest/gtest.h>

#include "cli/CliText.h"

namespace {

TEST(CliText, HexBytesIsUpperCaseWithoutSeparators) {
    EXPECT_EQ(HexBytes(""), "");
    EXPECT_EQ(HexBytes("AB"), "4142");
    EXPECT_EQ(HexBytes(std::string("\x00\x0D\xFF\x8A", 4)), "000DFF8A");
}

TEST(CliText, ParseHex16) {
    struct Case {
        const char* text;
        bool ok;
        unsigned value;
    };
    const Case kCases[] = {
        {"1200", true, 0x1200}, {"0x1200", true, 0x1200}, {"0X00ff", true, 0x00FF},
        {"ffff", true, 0xFFFF}, {"0", true, 0},           {"a", true, 0xA},
        {"12345", false, 0},    {"0x12345", false, 0},    {"", false, 0},
        {"0x", false, 0},       {"12G", false, 0},        {"-1", false, 0},
        {" 12", false, 0},      {"1200h", false, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        const auto v = ParseHex16(c.text);
        ASSERT_EQ(v.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(*v, c.value);
        }
    }
}

TEST(CliText, DisplayWidthCountsFullWidthDouble) {
    EXPECT_EQ(DisplayWidth("ABC"), 3);
    EXPECT_EQ(DisplayWidth("テキ"), 4);
    EXPECT_EQ(DisplayWidth("ｱｲ"), 2); // half-width katakana
    EXPECT_EQ(DisplayWidth("\\x80"), 4);
    EXPECT_EQ(PadToWidth("テ", 5), "テ   ");
    EXPECT_EQ(PadToWidth("ABCDEF", 3), "ABCDEF");
}

TEST(CliText, ProposeExtractNameTakesBaseBeforeFirstDotAndExtensionAfterLast) {
    struct Case {
        const char* name;
        const char* bin;
        const char* mzt;
    };
    const Case kCases[] = {
        {"PROG.BIN", "PROG.BIN", "PROG.mzt"},
        {"A.B.X", "A.X", "A.mzt"},
        {"DATA", "DATA", "DATA.mzt"},
        {".X", ".X", ".mzt"},
        {"ABCDEFGHIJ.KLM.NO", "ABCDEFGHIJ.NO", "ABCDEFGHIJ.mzt"},
        {"A.", "A", "A.mzt"},
        {"GAME BIN", "GAME BIN", "GAME BIN.mzt"}, // blanks are kept
        {"", "", ".mzt"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ProposeExtractName(c.name, false), c.bin);
        EXPECT_EQ(ProposeExtractName(c.name, true), c.mzt);
    }
}

TEST(CliText, SafeHostFileNameNeverLeavesTheFolder) {
    struct Case {
        std::string sjis;
        const char* host;
    };
    const Case kCases[] = {
        {"ABC", "ABC"},
        {"../x", ".._x"},
        {"a/b", "a_b"},
        {"/", "_"},
        {std::string("\x01"
                     "AB\x1F",
                     4),
         "_AB_"},
        {"A\x7F", "A_"},
        {"\x80", "\\x80"}, // not Shift-JIS
        {"A\xFF"
         "B",
         "A\\xFFB"},
        {"\x81", "\\x81"}, // a lead byte without its trail byte
        {"\x83\x65\x83\x4C", "テキ"},
        {"\xB1\xB2", "ｱｲ"},
        {"C:\\x", "C:\\x"}, // 0x5C stays a backslash, harmless here
        {"", "_"},
        {".", "_"},
        {"..", "__"},
        {"...", "..."},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.host);
        const std::string name = SafeHostFileName(c.sjis);
        EXPECT_EQ(name, c.host);
        EXPECT_EQ(name.find('/'), std::string::npos);
        EXPECT_NE(name, ".");
        EXPECT_NE(name, "..");
        EXPECT_FALSE(name.empty());
    }
}

} // namespace
