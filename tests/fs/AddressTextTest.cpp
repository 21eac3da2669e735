#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "fs/AddressText.h"

namespace {

TEST(AddressText, LenientReadsAsTheAddFileDialogDoes) {
    struct Case {
        const char* text;
        std::uint16_t value;
    };
    const Case cases[] = {
        {"0x1200", 0x1200},
        {"1200", 0x1200},
        {"12345", 0x2345},
        {"XYZ", 0},
        {"", 0},
        {"  0X00ff", 0xFF},
        {"12G4", 0x12},
        {"-1", 0xFFFF},
        {"+a", 0x0A},
        {"0x", 0},
        {"FFFFFFFFFFFFFFFFFFFF", 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(*ParseAddress(c.text, AddressSyntax::Lenient), c.value);
    }
}

TEST(AddressText, LenientReadsAsTheBootDialogDoes) {
    struct Case {
        const char* text;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {"0000", 0x0000}, {"1234", 0x1234},  {"abcd", 0xABCD},  {"0x63", 0x0063},
        {"  ff", 0x00FF}, {"12G4", 0x0012},  {"xyz", 0},        {"", 0},
        {"-1", 0xFFFF},   {"12345", 0x2345}, {"+0X7f", 0x007F},
    };
    for (const Case& c : cases)
        EXPECT_EQ(*ParseAddress(c.text, AddressSyntax::Lenient), c.expected) << c.text;
}

TEST(AddressText, StrictTakesOneToFourHexDigits) {
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
        const auto v = ParseAddress(c.text, AddressSyntax::Strict);
        ASSERT_EQ(v.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(*v, c.value);
        }
    }
}

TEST(AddressText, LenientStopsAtAnEmbeddedNul) {
    EXPECT_EQ(*ParseAddress(std::string_view("12\0"
                                             "34",
                                             5),
                            AddressSyntax::Lenient),
              0x12);
    EXPECT_FALSE(ParseAddress(std::string_view("12\0"
                                               "3",
                                               4),
                              AddressSyntax::Strict));
}

} // namespace
