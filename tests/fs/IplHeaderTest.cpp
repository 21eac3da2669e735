#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "fs/IplHeader.h"

TEST(IplHeader, FieldsAtTheirOffsets) {
    std::array<unsigned char, 32> raw{};
    raw[0] = 0x03;
    std::memcpy(raw.data() + 1, "IPLPRO", 6);
    std::memcpy(raw.data() + 7, "HELLO\r", 6);
    raw[20] = 0x00;
    raw[21] = 0x1F;
    raw[24] = 0x63;
    raw[25] = 0x00;
    raw[30] = 0x01;
    raw[31] = 0x02;
    const IplHeader h(raw.data());
    EXPECT_TRUE(h.HasSignature());
    EXPECT_EQ(h.Machine(), 0x03);
    EXPECT_EQ(h.Size(), 0x1F00);
    EXPECT_EQ(h.ProgramBytes(), 0x1F00u);
    EXPECT_EQ(h.ExecAddress(), 0x0063);
    EXPECT_EQ(h.StartSector(), 0x0201);
    EXPECT_EQ(h.DisplayName(), "HELLO");
}

TEST(IplHeader, SizeZeroIs65536) {
    IplHeader h;
    EXPECT_EQ(h.ProgramBytes(), 65536u);
    h.SetSize(1);
    EXPECT_EQ(h.ProgramBytes(), 1u);
}

TEST(IplHeader, SignatureIsExact) {
    std::array<unsigned char, 32> raw{};
    std::memcpy(raw.data() + 1, "IPLPRo", 6);
    EXPECT_FALSE(IplHeader(raw.data()).HasSignature());
    std::memcpy(raw.data() + 0, "IPLPRO", 6); // one byte early
    EXPECT_FALSE(IplHeader(raw.data()).HasSignature());
    IplHeader h;
    h.SetSignature();
    EXPECT_TRUE(h.HasSignature());
    EXPECT_EQ(std::memcmp(h.Bytes().data() + 1, "IPLPRO", 6), 0);
}

TEST(IplHeader, DisplayNameStopsAtCrOrNulAndTakesAtMostEleven) {
    struct Case {
        const char* text; // 11 bytes
        const char* expected;
    };
    for (const Case c : {Case{"IPL-TEST\r\0\0", "IPL-TEST"}, Case{"ABCDEFGHIJK", "ABCDEFGHIJK"},
                         Case{"\rABC\0\0\0\0\0\0\0", ""}, Case{"AB\0CD\r\0\0\0\0\0", "AB"}}) {
        IplHeader::TextBytes text;
        std::memcpy(text.data(), c.text, 11);
        IplHeader h;
        h.SetDisplayText(text);
        EXPECT_EQ(h.DisplayName(), c.expected);
        EXPECT_EQ(h.DisplayText(), text);
    }
}

TEST(IplHeader, FromShortImageReadsZeros) {
    const unsigned char raw[8] = {0x01, 'I', 'P', 'L', 'P', 'R', 'O', 'Z'};
    const IplHeader h = IplHeader::FromImage(ByteView(raw, sizeof raw));
    EXPECT_TRUE(h.HasSignature());
    EXPECT_EQ(h.DisplayText()[0], 'Z');
    EXPECT_EQ(h.DisplayText()[1], 0);
    EXPECT_EQ(h.StartSector(), 0);
    EXPECT_FALSE(IplHeader::FromImage(ByteView()).HasSignature());
}
