#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fs/ClusterRuns.h"
#include "fs/DirEntry.h"
#include "image/Geometry.h"

namespace {

TEST(Geometry, ClustersForRoundsUp) {
    struct Case {
        long long bytes;
        int clusterBytes;
        long long clusters;
    };
    const Case kCases[] = {{0, 256, 0},   {1, 256, 1},       {256, 256, 1},
                           {257, 256, 2}, {513, 512, 2},     {-5, 256, 0},
                           {100, 0, 0},   {65535, 256, 256}, {524288, 512, 1024}};
    for (const Case& c : kCases)
        EXPECT_EQ(ClustersFor(c.bytes, c.clusterBytes), c.clusters) << c.bytes;
}

TEST(Geometry, EntryOffsetAndBitmapBit) {
    EXPECT_EQ(EntryOffset(16, 0), 4096u);
    EXPECT_EQ(EntryOffset(16, 63), 4096u + 63 * 32);
    EXPECT_EQ(EntryOffset(48, 9), 48u * 256 + 9 * 32);
    const unsigned char bitmap[8] = {0, 0, 0, 0, 0, 0, 0b00000101, 0x80};
    const ByteView view(bitmap, sizeof bitmap);
    EXPECT_TRUE(BitmapBit(view, 48));
    EXPECT_FALSE(BitmapBit(view, 49));
    EXPECT_TRUE(BitmapBit(view, 50));
    EXPECT_TRUE(BitmapBit(view, 63));
    EXPECT_FALSE(BitmapBit(view, 64)); // past the view reads as free
    EXPECT_FALSE(BitmapBit(view, -1));
}

TEST(Geometry, RunsOfConsecutiveClusters) {
    std::vector<std::pair<int, int>> runs;
    ForEachRun({1, 2, 3, 7, 9, 10}, [&](int first, int count) { runs.push_back({first, count}); });
    EXPECT_EQ(runs, (std::vector<std::pair<int, int>>{{1, 3}, {7, 1}, {9, 2}}));
    runs.clear();
    ForEachRun({}, [&](int first, int count) { runs.push_back({first, count}); });
    EXPECT_TRUE(runs.empty());
}

TEST(Geometry, NameTerminatorTakesTheFirstZero) {
    struct Case {
        std::vector<unsigned char> field;
        std::vector<unsigned char> ended;
    };
    const Case kCases[] = {
        {{'A', 'B', 0, 0}, {'A', 'B', 0x0D, 0}},
        {{0, 0, 0}, {0x0D, 0, 0}},
        {{'A', 0x0D, 0, 0}, {'A', 0x0D, 0x0D, 0}}, // an 0x0D already there gets a second
        {{'A', 'B', 'C'}, {'A', 'B', 'C'}},        // no zero: nothing changes
    };
    for (Case c : kCases) {
        TerminateNameField(MutableByteView(c.field.data(), c.field.size()));
        EXPECT_EQ(c.field, c.ended);
    }
    EXPECT_TRUE(IsDotName("."));
    EXPECT_TRUE(IsDotName(".."));
    EXPECT_FALSE(IsDotName("..."));
    EXPECT_FALSE(IsDotName(".A"));
}

} // namespace
