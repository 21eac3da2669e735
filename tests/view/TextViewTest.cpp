#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/SjisText.h"
#include "view/TextView.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(TextViewTest, LinesEndAtCarriageReturns) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"nothing", "", {}},
        {"two ended lines", "AB\rC\r", {"AB", "C"}},
        {"a last line without its end", "AB\rC", {"AB", "C"}},
        {"empty lines", "\r\r", {"", ""}},
        {"line feeds are bytes of the line", "A\r\nB\r", {"A", "{0A}B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Listing listing =
            ListText({reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()});
        EXPECT_EQ(listing.kind, ViewKind::Text);
        EXPECT_EQ(listing.lines, c.lines);
    }
}

TEST(TextViewTest, ShiftJisTextAndTheBytesThatAreNot) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"ASCII, kana and a kanji", {'A', 0xB1, 0x88, 0x9F}, "A\xEF\xBD\xB1\xE4\xBA\x9C"},
        {"control bytes and DEL", {0x00, 0x09, 0x1B, 0x7F}, "{00}{09}{1B}{7F}"},
        {"bytes no Shift-JIS text uses", {0x80, 0xA0, 0xFD, 0xFE, 0xFF}, "{80}{A0}{FD}{FE}{FF}"},
        {"a lead byte without its trail", {'A', 0x82}, "A{82}"},
        {"a lead byte before a control byte", {0x82, 0x0A, 'B'}, "{82}{0A}B"},
        {"a pair CP932 does not map", {0x85, 0x40, 0x82, 0xA0}, "{85}@\xE3\x81\x82"},
        {"backslash and tilde stay themselves", {0x5C, 0x7E}, "\\~"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SjisLineText({c.bytes.data(), c.bytes.size()}), c.shown);
    }
}

// Whatever the bytes, a line is valid UTF-8 with no control character: each byte pair and
// each single byte either decodes or is spelled {XX}.
TEST(TextViewTest, NoByteReachesTheLineAsAControlCharacter) {
    for (unsigned first = 0; first < 256; ++first) {
        for (unsigned second : {0x00u, 0x40u, 0x7Fu, 0x80u, 0x9Fu, 0xA1u, 0xFCu, 0xFFu}) {
            const Bytes bytes = {static_cast<unsigned char>(first),
                                 static_cast<unsigned char>(second)};
            const std::string line = SjisLineText({bytes.data(), bytes.size()});
            for (std::size_t at = 0; at < line.size();) {
                const auto [cp, len] = Utf8CodePointAt(line, at);
                EXPECT_FALSE(IsControlCodePoint(cp)) << std::hex << first << " " << second;
                EXPECT_FALSE(len == 1 && cp >= 0x80) << "stray byte for " << std::hex << first;
                at += len;
            }
        }
    }
}

} // namespace
