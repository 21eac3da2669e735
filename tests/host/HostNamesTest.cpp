#include <gtest/gtest.h>

#include <string>

#include "host/HostNames.h"

namespace {

TEST(HostNames, ProposeExtractNameTakesBaseBeforeFirstDotAndExtensionAfterLast) {
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

TEST(HostNames, SafeHostFileNameNeverLeavesTheFolder) {
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

TEST(HostNames, NumberedNameGoesBeforeTheExtension) {
    struct Case {
        const char* name;
        int n;
        const char* numbered;
    };
    const Case kCases[] = {
        {"PROG.BIN", 2, "PROG~2.BIN"}, {"DATA", 3, "DATA~3"}, {".mzt", 2, ".mzt~2"},
        {"A.B.C", 10, "A.B~10.C"},     {"A.", 2, "A~2."},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(NumberedName(c.name, c.n), c.numbered) << c.name;
}

} // namespace
