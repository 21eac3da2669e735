#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/TextView.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::vector<std::string> Lines(const std::string& bytes) {
    return ListText({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}).lines;
}

TEST(TextViewTest, LinesEndAtCarriageReturns) {
    EXPECT_EQ(Lines(""), std::vector<std::string>{});
    EXPECT_EQ(Lines("AB\rC"), (std::vector<std::string>{"AB", "C"}));
    EXPECT_EQ(Lines("\rA\r\nB\r"), (std::vector<std::string>{"", "A", "{0A}B"}));
}

TEST(TextViewTest, ShiftJisTextAndTheBytesThatAreNot) {
    const std::pair<Bytes, std::string> cases[] = {
        {{'A', 0xB1, 0x88, 0x9F, 0x5C, 0x7E}, "A\xEF\xBD\xB1\xE4\xBA\x9C\\~"},
        {{0x00, 0x09, 0x1B, 0x7F, 0x80, 0xA0, 0xFD, 0xFF}, "{00}{09}{1B}{7F}{80}{A0}{FD}{FF}"},
        {{'A', 0x82}, "A{82}"},                          // a lead byte without its trail
        {{0x82, 0x0A, 'B'}, "{82}{0A}B"},                // ... before a control byte
        {{0x85, 0x40, 0x82, 0xA0}, "{85}@\xE3\x81\x82"}, // a pair CP932 does not map
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(SjisLineText({bytes.data(), bytes.size()}), shown);
}

} // namespace
