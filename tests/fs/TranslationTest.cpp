#include <gtest/gtest.h>

#include <string>

#include "fs/Translation.h"

namespace {

TEST(Translation, FormatTextFillsItsPlaces) {
    struct Case {
        const char* pattern;
        const char* want;
    };
    // Arguments: "A", "B", "C".
    const Case cases[] = {
        {"%s, %s and %s", "A, B and C"}, {"%3$s %1$s %2$s", "C A B"}, // a translation's own order
        {"%2$s and %2$s", "B and B"},                                 // one argument twice
        {"100%% of %s", "100% of A"},                                 // a percent sign
        {"%s %s %s %s", "A B C "},                                    // more places than arguments
        {"%d %x %", "%d %x %"},                                       // nothing else is a place
        {"%0$s|%9$s", "%0$s|"}, // no position 0; 9 is past the arguments
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatText(c.pattern, {"A", "B", "C"}), c.want) << c.pattern;
}

} // namespace
