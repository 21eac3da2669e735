#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fs/DiskImage.h"
#include "image/Geometry.h"

namespace {

struct FormatCase {
    int type;
    int cylinders;
    std::uint8_t media;
    int imageBytes;
    int clusterBytes;
    int totalClusters;
    int usedBytes;
    int totalBytes;
    int freeBytes;
    int savedD88Bytes;
    std::array<unsigned char, 6> header; // bitmap bytes 0..5
    unsigned char clusterShift;
};

const FormatCase kFormatCases[] = {
    {0,
     80,
     0x10,
     655360,
     512,
     1280,
     12288,
     655360,
     630784,
     697008,
     {0x01, 0x18, 0x18, 0x00, 0x00, 0x05},
     0x01},
    {1,
     40,
     0x00,
     327680,
     256,
     1280,
     12288,
     327680,
     315392,
     348848,
     {0x01, 0x30, 0x30, 0x00, 0x00, 0x05},
     0x00},
    {2,
     35,
     0x00,
     286720,
     256,
     1120,
     12288,
     286720,
     274432,
     305328,
     {0x01, 0x30, 0x30, 0x00, 0x60, 0x04},
     0x00},
    {3,
     35,
     0x00,
     286720,
     256,
     1120,
     12288,
     286720,
     274432,
     305328,
     {0x01, 0x30, 0x30, 0x00, 0x60, 0x04},
     0x00},
};

std::vector<unsigned char> SectorOf(const DiskImage& disk, int sector) {
    std::vector<unsigned char> bytes(kSectorBytes);
    disk.ReadSector(bytes.data(), sector);
    return bytes;
}

TEST(Format, GeometryAndFiguresPerType) {
    for (const FormatCase& c : kFormatCases) {
        SCOPED_TRACE(c.type);
        DiskImage disk;
        disk.Format(c.type);
        ASSERT_TRUE(disk.HasImage());
        EXPECT_EQ(disk.GetImageSize(), static_cast<std::size_t>(c.imageBytes));
        EXPECT_EQ(disk.GetCylinders(), c.cylinders);
        EXPECT_EQ(disk.GetMediaType(), c.media);
        EXPECT_EQ(disk.GetClusterBytes(), c.clusterBytes);
        EXPECT_EQ(disk.GetTotalClusters(), c.totalClusters);
        EXPECT_EQ(disk.GetTotalBytes(), c.totalBytes);
        EXPECT_EQ(disk.GetUsedClusters() * disk.GetClusterBytes(), c.usedBytes);
        EXPECT_EQ(disk.GetTotalClusters() * disk.GetClusterBytes(), c.totalBytes);
        EXPECT_EQ(disk.GetFreeBytes(), c.freeBytes);
        EXPECT_EQ(disk.GetSavedSize(0), c.savedD88Bytes);
        EXPECT_TRUE(disk.IsMzFileSystem());

        const auto bitmap = SectorOf(disk, kBitmapSector);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(bitmap[i], c.header[i]) << "bitmap byte " << i;
        EXPECT_EQ(bitmap[255], c.clusterShift);
        for (int i = 6; i < 255; ++i)
            ASSERT_EQ(bitmap[i], 0x00) << "bitmap byte " << i;

        // The first data cluster starts at logical sector 48 on every type.
        const int k = disk.FindFirstFreeCluster();
        EXPECT_EQ(k, 0);
        EXPECT_EQ((k + disk.GetFirstDataCluster()) * disk.GetSectorsPerCluster(), 48);

        for (int s = 24; s < c.cylinders * kSectorsPerCylinder; ++s) {
            const auto bytes = SectorOf(disk, s);
            for (unsigned char b : bytes)
                ASSERT_EQ(b, 0xBF) << "sector " << s;
        }
    }
}

TEST(Format, BootAreaAndRootDirectoryOfMz2500Types) {
    for (int type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        DiskImage disk;
        disk.Format(type);
        for (int s = 0; s < kBitmapSector; ++s) {
            const auto bytes = SectorOf(disk, s);
            for (int i = 0; i < kSectorBytes; ++i)
                ASSERT_EQ(bytes[i], (s == 0 && i == 0) ? 0x04 : 0x00) << s << ":" << i;
        }
        disk.SetCurrentDir(-1);
        for (int e = 0; e < kDirEntries; ++e) {
            unsigned char entry[kDirEntryBytes];
            disk.ReadDirEntry(entry, e);
            EXPECT_EQ(entry[0], e == 0 ? 0x80 : 0x00);
            for (int i = 1; i <= 16; ++i)
                ASSERT_EQ(entry[i], 0x0D) << e << ":" << i;
            for (int i = 17; i < kDirEntryBytes; ++i)
                ASSERT_EQ(entry[i], 0x00) << e << ":" << i;
        }
    }
}

TEST(Format, BootAreaAndRootDirectoryOfMz2000Type) {
    DiskImage disk;
    disk.Format(3);
    for (int s = 0; s < kBitmapSector; ++s)
        for (unsigned char b : SectorOf(disk, s))
            ASSERT_EQ(b, 0xBF) << "sector " << s;
    disk.SetCurrentDir(-1);
    for (int e = 0; e < kDirEntries; ++e) {
        unsigned char entry[kDirEntryBytes];
        disk.ReadDirEntry(entry, e);
        for (int i = 0; i < kDirEntryBytes; ++i) {
            unsigned char want = 0x00;
            if (e == 0 && i == 0)
                want = 0x80;
            if (e == 0 && i == 1)
                want = 0x01;
            ASSERT_EQ(entry[i], want) << e << ":" << i;
        }
    }
}

TEST(Format, UnknownTypeLeavesNoImage) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_TRUE(disk.HasImage());
    for (int type : {-1, 4, 100}) {
        disk.Format(type);
        EXPECT_FALSE(disk.HasImage()) << type;
        EXPECT_EQ(disk.GetUsedClusters(), 0);
        EXPECT_EQ(disk.GetTotalClusters(), 0);
        EXPECT_EQ(disk.GetClusterBytes(), 0);
        disk.Format(1);
    }
}

TEST(Format, KeepsCurrentDirectory) {
    DiskImage disk;
    disk.SetCurrentDir(100);
    disk.Format(0);
    EXPECT_EQ(disk.GetCurrentDir(), 100);
}

} // namespace
