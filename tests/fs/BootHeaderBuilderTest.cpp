#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "fs/BootHeaderBuilder.h"
#include "support/TestDisk.h"

namespace {

std::vector<unsigned char> MztHead(const unsigned char (&name)[17]) {
    return testdisk::MakeMzt({.name = std::string(name, name + 17), .exec = 0x1234});
}

std::array<unsigned char, 11> TextField(const IplHeader& h) {
    return h.DisplayText();
}

} // namespace

TEST(BootHeaderBuilder, MztExtensionIgnoresCase) {
    for (const char* ext : {"MZT", "mzt", "Mzt", "mZt"})
        EXPECT_TRUE(BootHeaderBuilder::IsMztExtension(ext)) << ext;
    for (const char* ext : {"", "MZ", "MZTX", ".MZT", "bin", "M\x82T"})
        EXPECT_FALSE(BootHeaderBuilder::IsMztExtension(ext)) << ext;
}

TEST(BootHeaderBuilder, ProposalForPlainFileIsItsNameWithExtension) {
    const unsigned char junk[4] = {'B', 'O', 'O', 'T'};
    const auto p = BootHeaderBuilder::Propose("IPL.BIN", "BIN", ByteView(junk, 4));
    EXPECT_FALSE(p.mzt);
    EXPECT_EQ(p.text, "IPL.BIN");
    EXPECT_EQ(p.execAddress, 0);
}

TEST(BootHeaderBuilder, ProposalForMztFileIsItsHeaderName) {
    struct Case {
        const char* name;
        unsigned char field[17];
        const char* expected;
    };
    const Case cases[] = {
        {"BOOT then 0x0D", {'B', 'O', 'O', 'T', 0x0D, 'X', 'Y'}, "BOOT"},
        {"17 characters",
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q'},
         "ABCDEFGHIJKLMNOPQ"},
        {"NUL first", {0x00, 'A'}, ""},
        {"Shift-JIS kept", {0x83, 0x41, 0x0D}, "\x83\x41"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto head = MztHead(c.field);
        const auto p =
            BootHeaderBuilder::Propose("file.mzt", "mzt", ByteView(head.data(), head.size()));
        EXPECT_TRUE(p.mzt);
        EXPECT_EQ(p.text, c.expected);
        EXPECT_EQ(p.execAddress, 0); // the header's execution address is not proposed
    }
}

TEST(BootHeaderBuilder, ShortMztFileReadsMissingBytesAsZero) {
    const unsigned char head[4] = {0x01, 'A', 'B', 'C'};
    const auto p = BootHeaderBuilder::Propose("x.MZT", "MZT", ByteView(head, 4));
    EXPECT_TRUE(p.mzt);
    EXPECT_EQ(p.text, "ABC");
    EXPECT_EQ(BootHeaderBuilder::Propose("x.MZT", "MZT", ByteView()).text, "");
}

TEST(BootHeaderBuilder, SizeLimitCountsTheWholeFile) {
    EXPECT_FALSE(BootHeaderBuilder::IsTooLarge(0));
    EXPECT_FALSE(BootHeaderBuilder::IsTooLarge(65535));
    EXPECT_TRUE(BootHeaderBuilder::IsTooLarge(65536));
}

TEST(BootHeaderBuilder, HeaderTextIsCutAndEnded) {
    struct Case {
        const char* name;
        std::string text;
        std::array<unsigned char, 11> expected;
    };
    const Case cases[] = {
        {"ABC", "ABC", {0x41, 0x42, 0x43, 0x0D}},
        {"empty", "", {0x0D}},
        {"ten characters", "ABCDEFGHIJ", {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 0x0D}},
        {"twelve characters cut to ten",
         "ABCDEFGHIJKL",
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 0x0D}},
        {"double-byte character across the limit",
         "ABCDEFGHI\x83\x41",
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 0x0D}},
        {"double-byte character ending at the limit",
         "ABCDEFGH\x83\x41Z",
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0x83, 0x41, 0x0D}},
        {"embedded NUL takes the 0x0D", std::string("AB\0CD", 5), {'A', 'B', 0x0D, 'C', 'D'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IplHeader h = BootHeaderBuilder::Build(1, c.text, 0);
        EXPECT_EQ(TextField(h), c.expected);
    }
}

TEST(BootHeaderBuilder, HeaderFieldsAndZeros) {
    const IplHeader h = BootHeaderBuilder::Build(0x107, "IPL", 0xABCD);
    const auto& b = h.Bytes();
    EXPECT_EQ(b[0], 0x07); // low 8 bits of the machine code
    EXPECT_EQ(b[24], 0xCD);
    EXPECT_EQ(b[25], 0xAB);
    EXPECT_FALSE(h.HasSignature()); // the registration adds it
    for (int i : {1, 2, 3, 4, 5, 6, 18, 19, 20, 21, 22, 23, 26, 27, 28, 29, 30, 31})
        EXPECT_EQ(b[i], 0) << "byte " << i;
}

TEST(BootHeaderBuilder, BuildHeaderReasonsAndChoices) {
    const auto plain = BootHeaderBuilder::ProposeForHostFile("IPL.BIN", ByteView(), false);
    EXPECT_EQ(plain.text, "IPL.BIN");
    EXPECT_EQ(plain.execAddress, 0);
    const auto foreign = BootHeaderBuilder::ProposeForHostFile("\xE2\x82\xAC", ByteView(), false);
    EXPECT_FALSE(foreign.textEncodable);

    EXPECT_EQ(BootHeaderBuilder::BuildHeader(foreign, {}).reason,
              BootRegisterReason::FileNameNotEncodable);
    EXPECT_EQ(BootHeaderBuilder::BuildHeader(plain, {.textUtf8 = "\xE2\x82\xAC"}).reason,
              BootRegisterReason::TextNotEncodable);

    const auto built = BootHeaderBuilder::BuildHeader(
        foreign, {.textUtf8 = "ﾌﾞｰﾄ", .machine = 3, .execText = "0x1200"});
    ASSERT_EQ(built.reason, BootRegisterReason::Ok);
    EXPECT_EQ(built.header.Machine(), 3);
    EXPECT_EQ(built.header.ExecAddress(), 0x1200);
    EXPECT_EQ(built.header.DisplayName(), "\xCC\xDE\xB0\xC4");
    EXPECT_EQ(built.plain, 1);

    const auto head = testdisk::MakeMzt({.name = "BOOT\r", .exec = 0x4000});
    const auto mzt =
        BootHeaderBuilder::ProposeForHostFile("x.mzt", ByteView(head.data(), head.size()), true);
    EXPECT_EQ(mzt.textUtf8, "BOOT");
    EXPECT_EQ(BootHeaderBuilder::BuildHeader(mzt, {}).plain, 0);
    EXPECT_EQ(BootHeaderBuilder::BuildHeader(mzt, {}).header.ExecAddress(), 0);
}
