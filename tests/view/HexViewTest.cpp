#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/HexView.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(HexViewTest, RowsShowOffsetBytesAndText) {
    const Bytes bytes = {0x80, 0xB0, 0x20, 0x49, 0x31, 0x2C, 0x4F, 0x31, 0x2C, 0x43,
                         0x3A, 0x80, 0x88, 0x20, 0xA4, 0x36, 0x00, 'A',  0xDF};
    const Listing listing = ListHex({bytes.data(), bytes.size()});
    EXPECT_EQ(listing.bytes, bytes);
    ASSERT_EQ(listing.lines.size(), 2u);
    EXPECT_EQ(listing.lines[0], "0000  80 B0 20 49 31 2C 4F 31  2C 43 3A 80 88 20 A4 36  "
                                ".\xEF\xBD\xB0 I1,O1,C:.. \xEF\xBD\xA4"
                                "6");
    // The short last row keeps its text in the column of the full rows'.
    EXPECT_EQ(listing.lines[1], "0010  00 41 DF" + std::string(56 - 14, ' ') + ".A\xEF\xBE\x9F");
}

TEST(HexViewTest, OffsetsWidenPastSixtyFourKilobytes) {
    const std::pair<std::size_t, int> cases[] = {
        {0, 4}, {0x10000, 4}, {0x10001, 5}, {0x80000, 5}, {0x100001, 6}};
    for (const auto& [bytes, digits] : cases)
        EXPECT_EQ(OffsetDigits(bytes), digits) << bytes;
}

} // namespace
