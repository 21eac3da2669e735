#include <gtest/gtest.h>

#include <vector>

#include "fs/DiskImage.h"
#include "image/Geometry.h"

namespace {

std::vector<unsigned char> BitmapOf(const DiskImage& disk) {
    std::vector<unsigned char> bytes(kSectorBytes);
    disk.ReadSector(bytes.data(), kBitmapSector);
    return bytes;
}

bool PositionSet(const DiskImage& disk, int p) {
    return (BitmapOf(disk)[p / 8] >> (p % 8)) & 1;
}

// Writes usedClusters directly, as a disk with a count out of step would hold it.
void PokeUsedCount(DiskImage& disk, std::uint16_t count) {
    MutableByteView(const_cast<unsigned char*>(disk.Image().data()), disk.GetImageSize())
        .setU16le(kBitmapOffset + kBitmapUsedClusters, count);
}

TEST(Bitmap, MarkUsedAndFreeBits) {
    DiskImage disk;
    disk.Format(1); // 256-byte clusters
    disk.MarkUsed(5, 512);
    auto bitmap = BitmapOf(disk);
    EXPECT_EQ(bitmap[6], 0x60); // positions 53 and 54: byte 6 bits 5 and 6
    // The count is the reserved area's 48 clusters and the set positions.
    EXPECT_EQ(disk.GetUsedClusters(), 48 + 2);
    disk.MarkFree(5, 512);
    EXPECT_EQ(BitmapOf(disk)[6], 0x00);
    EXPECT_EQ(disk.GetUsedClusters(), 48);
}

TEST(Bitmap, MarkUsedZeroBytesStillRecounts) {
    DiskImage disk;
    disk.Format(1);
    PokeUsedCount(disk, 7);
    disk.MarkUsed(0, 0);
    EXPECT_EQ(BitmapOf(disk)[6], 0x00);
    EXPECT_EQ(disk.GetUsedClusters(), 48);
}

TEST(Bitmap, ClustersForByteCounts) {
    struct Case {
        int type;
        int bytes;
        int clusters;
    };
    const Case cases[] = {{1, 0, 0},    {1, 1, 1},   {1, 256, 1}, {1, 257, 2},
                          {1, 1000, 4}, {0, 512, 1}, {0, 513, 2}, {0, 4096, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << "/" << c.bytes);
        DiskImage disk;
        disk.Format(c.type);
        disk.MarkUsed(0, c.bytes);
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + c.clusters);
        EXPECT_EQ(disk.FindFirstFreeCluster(), c.clusters);
    }
}

TEST(Bitmap, FreeBytesPerType) {
    const int expected[] = {630784, 315392, 274432, 274432};
    for (int type = 0; type < 4; ++type) {
        DiskImage disk;
        disk.Format(type);
        EXPECT_EQ(disk.GetFreeBytes(), expected[type]) << type;
        disk.MarkUsed(10, 3 * disk.GetClusterBytes());
        EXPECT_EQ(disk.GetFreeBytes(), expected[type] - 3 * disk.GetClusterBytes()) << type;
    }
}

TEST(Bitmap, FindFreeRunFirstFit) {
    DiskImage disk;
    disk.Format(1);
    disk.MarkUsed(1, 1); // position 49 used, 48 and 50, 51 free
    EXPECT_EQ(disk.FindFreeRun(257), 2);
    EXPECT_EQ(disk.FindFreeRun(256), 0);
    EXPECT_EQ(disk.FindFreeRun(0), 0);
    disk.MarkUsed(0, 1);
    EXPECT_EQ(disk.FindFreeRun(0), 2);
    // The lowest run that is long enough wins, even if a later one is a better fit.
    disk.MarkUsed(5, 1); // free: 2,3,4 then 6...
    EXPECT_EQ(disk.FindFreeRun(3 * 256), 2);
    EXPECT_EQ(disk.FindFreeRun(4 * 256), 6);
}

TEST(Bitmap, FreeRunAtTheEndShorterThanNeeded) {
    DiskImage disk;
    disk.Format(2); // positions 48..1119
    const int clusters = 1120 - 48;
    disk.MarkUsed(0, (clusters - 3) * 256);
    EXPECT_EQ(disk.GetFreeBytes(), 3 * 256);
    EXPECT_EQ(disk.FindFreeRun(3 * 256), clusters - 3);
    EXPECT_EQ(disk.FindFreeRun(4 * 256), -1);
    disk.MarkUsed(clusters - 3, 3 * 256);
    EXPECT_EQ(disk.FindFirstFreeCluster(), -1);
    EXPECT_EQ(disk.FindFreeRun(0), -1);
    EXPECT_EQ(disk.GetFreeBytes(), 0);
}

TEST(Bitmap, UsedClustersAfterThousandBytes) {
    DiskImage disk;
    disk.Format(1);
    disk.MarkUsed(0, 1000);
    EXPECT_EQ(disk.GetUsedClusters(), 48 + 4);
}

TEST(Bitmap, TwoDdLastClustersAreNeverScanned) {
    DiskImage disk;
    disk.Format(0); // positions 48..1279 stand for clusters 24..1255
    disk.MarkUsed(0, (1280 - 48) * 512);
    EXPECT_EQ(disk.GetFreeBytes(), 0);
    EXPECT_EQ(disk.GetUsedClusters(), 24 + 1232);
    EXPECT_TRUE(PositionSet(disk, 1279));
}

TEST(Bitmap, ScansStopBeforeByte255WhateverTheHeaderSays) {
    // A foreign bitmap that names 0xFFFF clusters: positions stop at 2040, so byte 255
    // (the cluster shift) is never read as bits nor written.
    DiskImage disk;
    disk.Format(1);
    std::vector<unsigned char> flat(disk.GetSavedSize(1));
    ASSERT_EQ(disk.Save(flat.data(), 1), 0);
    flat[kBitmapOffset + 4] = 0xFF;
    flat[kBitmapOffset + 5] = 0xFF;
    flat.resize(65535u * 256u, 0); // large enough for the size the bitmap names
    ASSERT_EQ(disk.Load(flat.data(), flat.size(), 1), 0);
    EXPECT_EQ(disk.GetPositionLimit(), 2040);
    disk.MarkUsed(0, 4000 * 256);
    auto bitmap = BitmapOf(disk);
    EXPECT_EQ(bitmap[254], 0xFF);
    EXPECT_EQ(bitmap[255], 0x00);
    EXPECT_EQ(disk.GetUsedClusters(), 48 + 2040 - 48);
    EXPECT_EQ(disk.FindFirstFreeCluster(), -1);
    disk.MarkFree(0, 4000 * 256);
    EXPECT_EQ(BitmapOf(disk)[255], 0x00);
    EXPECT_EQ(disk.GetFreeBytes(), (2040 - 48) * 256);
}

TEST(Bitmap, MarkOutsideTheScannedPositionsChangesNothing) {
    DiskImage disk;
    disk.Format(2);
    const auto before = BitmapOf(disk);
    disk.MarkUsed(-10, 5 * 256);        // positions 38..42: header bytes, never bits
    disk.MarkUsed(1120 - 48, 10 * 256); // past totalClusters
    auto after = BitmapOf(disk);
    after[2] = before[2]; // the recount rewrites usedClusters
    after[3] = before[3];
    EXPECT_EQ(after, before);
    EXPECT_EQ(disk.GetUsedClusters(), 48);
}

} // namespace
