#include <gtest/gtest.h>

#include <vector>

#include "fs/DiskImage.h"
#include "image/Geometry.h"

namespace {

TEST(DiskImage, EmptyObject) {
    DiskImage disk;
    EXPECT_FALSE(disk.HasImage());
    EXPECT_EQ(disk.GetCurrentDir(), 16);
    EXPECT_EQ(disk.GetUsedClusters(), 0);
    EXPECT_EQ(disk.GetTotalClusters(), 0);
    EXPECT_EQ(disk.GetClusterBytes(), 0);
    EXPECT_FALSE(disk.IsMzFileSystem());
    unsigned char sector[kSectorBytes];
    std::fill_n(sector, kSectorBytes, 0xAA);
    disk.ReadSector(sector, 0);
    for (unsigned char b : sector)
        ASSERT_EQ(b, 0);
}

TEST(DiskImage, SetCurrentDirMinusOneIsRoot) {
    DiskImage disk;
    disk.SetCurrentDir(200);
    EXPECT_EQ(disk.GetCurrentDir(), 200);
    disk.SetCurrentDir(-1);
    EXPECT_EQ(disk.GetCurrentDir(), 16);
}

TEST(DiskImage, ReadsOutsideTheImageYieldZeros) {
    DiskImage disk;
    disk.Format(2); // 35 cylinders = 1120 sectors
    struct Case {
        int dirSector;
        int index;
    };
    const Case cases[] = {{16, -1}, {16, 64}, {1120, 0}, {1119, 8}, {-5, 0}, {0x7FFFFFFF, 63}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dirSector << "/" << c.index);
        disk.SetCurrentDir(c.dirSector);
        unsigned char entry[kDirEntryBytes];
        std::fill_n(entry, kDirEntryBytes, 0xAA);
        disk.ReadDirEntry(entry, c.index);
        for (unsigned char b : entry)
            ASSERT_EQ(b, 0);
    }
    for (int sector : {-1, 1120, 5000, 0x7FFFFFFF}) {
        unsigned char bytes[kSectorBytes];
        std::fill_n(bytes, kSectorBytes, 0xAA);
        disk.ReadSector(bytes, sector);
        for (unsigned char b : bytes)
            ASSERT_EQ(b, 0) << sector;
    }
    // The last sector of the disk is inside: blank 0xBF.
    unsigned char last[kSectorBytes];
    disk.ReadSector(last, 1119);
    EXPECT_EQ(last[0], 0xBF);
    EXPECT_EQ(last[255], 0xBF);
}

TEST(DiskImage, GeometryMapping) {
    struct Case {
        int cyl, hd, rec, logical;
    };
    const Case cases[] = {{0, 1, 1, 0},   {0, 1, 16, 15}, {0, 0, 1, 16},
                          {0, 0, 16, 31}, {1, 1, 1, 32},  {2, 0, 16, 95}};
    for (const Case& c : cases)
        EXPECT_EQ(LogicalSector(c.cyl, c.hd, c.rec), c.logical)
            << c.cyl << "/" << c.hd << "/" << c.rec;
}

// A flat image with the given bitmap header, for the file-system checks.
std::vector<unsigned char> FlatWithBitmap(std::size_t bytes, int firstData, int total, int shift) {
    std::vector<unsigned char> image(bytes, 0);
    image[kBitmapOffset + 1] = static_cast<unsigned char>(firstData);
    image[kBitmapOffset + 4] = static_cast<unsigned char>(total & 0xFF);
    image[kBitmapOffset + 5] = static_cast<unsigned char>(total >> 8);
    image[kBitmapOffset + 255] = static_cast<unsigned char>(shift);
    return image;
}

TEST(DiskImage, MzFileSystemCheck) {
    struct Case {
        const char* name;
        int firstData, total, shift;
        std::size_t extraBytes; // image bytes beyond total x cluster size
        bool mz;
    };
    const Case cases[] = {
        {"2D 35 cylinders", 48, 1120, 0, 0, true},
        {"2DD", 24, 1280, 1, 0, true},
        {"cluster shift 2", 12, 1000, 2, 0, false},
        {"48 clusters", 48, 48, 0, 0, false},
        {"49 clusters", 48, 49, 0, 0, true},
        {"2040 clusters", 48, 2040, 0, 0, true},
        {"2041 clusters", 48, 2041, 0, 0, false},
        {"reserved area of 23 sectors", 23, 1120, 0, 0, false},
        {"reserved area of 24 sectors", 24, 1120, 0, 0, true},
        {"2DD reserved 12 clusters", 12, 1280, 1, 0, true},
        {"2DD reserved 11 clusters", 11, 1280, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t bytes = static_cast<std::size_t>(c.total) * (c.shift + 1) * 256;
        auto image =
            FlatWithBitmap(std::max<std::size_t>(bytes, 4096), c.firstData, c.total, c.shift);
        DiskImage disk;
        ASSERT_EQ(disk.Load(image.data(), image.size(), 1), 0);
        EXPECT_EQ(disk.IsMzFileSystem(), c.mz);
    }
}

} // namespace
