#include <gtest/gtest.h>

#include <algorithm>
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

// A file of three disks: a blank 2D disk, a write-protected blank 2DD disk, then bytes that
// are no disk.
std::vector<unsigned char> ThreeDisks() {
    DiskImage set;
    set.Format(2);
    EXPECT_EQ(set.AddDisk(0), 0);
    EXPECT_EQ(set.SelectDisk(1), 0);
    set.SetWriteProtected(true);
    std::vector<unsigned char> file(static_cast<std::size_t>(set.GetSavedSize(0)));
    set.Save(file.data(), 0);
    file.insert(file.end(), 700, 0x5A);
    return file;
}

TEST(DiskImage, SelectingADiskOfTheFile) {
    const auto file = ThreeDisks();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    ASSERT_EQ(disk.GetDiskCount(), 3);
    EXPECT_EQ(disk.GetSelectedDisk(), 0);
    struct Case {
        int index;
        DiskSelectResult want;
        int selectedAfter;
    };
    const Case kCases[] = {
        {1, DiskSelectResult::Ok, 1},         {2, DiskSelectResult::Damaged, 1},
        {3, DiskSelectResult::NoSuchDisk, 1}, {-1, DiskSelectResult::NoSuchDisk, 1},
        {0, DiskSelectResult::Ok, 0},
    };
    disk.SetCurrentDir(200);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(disk.SelectDisk(c.index), ToInt(c.want));
        EXPECT_EQ(disk.GetSelectedDisk(), c.selectedAfter);
    }
    // Another disk is read from its root; the operations work on the selected one.
    EXPECT_EQ(disk.GetCurrentDir(), 16);
    EXPECT_EQ(disk.GetCylinders(), 35);
    ASSERT_EQ(disk.SelectDisk(1), 0);
    EXPECT_EQ(disk.GetCylinders(), 80);
    EXPECT_EQ(disk.GetClusterBytes(), 512);
    // The flat form is the selected disk's; the D88 form holds them all.
    EXPECT_EQ(disk.GetSavedSize(1), 655360);
    EXPECT_EQ(disk.GetSavedSize(0), static_cast<int>(file.size()));
}

TEST(DiskImage, DiskSummariesAndWhetherADiskMayChange) {
    auto file = ThreeDisks();
    // The first disk loses its bitmap: no MZ file system, and no figures read from it.
    std::fill_n(file.begin() + 688 + 16 * 272 + 15 * 272 + 16, 256, 0xFF);
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    struct Case {
        int index;
        bool damaged, writeProtected, mz;
        long long used, total;
        ChangeRefusal refusal;
    };
    const Case kCases[] = {
        {0, false, false, false, 0, 0, ChangeRefusal::NotMzFs},
        {1, false, true, true, 12288, 655360, ChangeRefusal::WriteProtected},
        {2, true, false, false, 0, 0, ChangeRefusal::None},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.index);
        const DiskSummary s = disk.GetDiskSummary(c.index);
        EXPECT_EQ(s.damaged, c.damaged);
        EXPECT_EQ(s.damagedBytes, c.damaged ? 700u : 0u);
        EXPECT_EQ(s.writeProtected, c.writeProtected);
        EXPECT_EQ(s.mzFileSystem, c.mz);
        if (c.mz) {
            EXPECT_EQ(s.usedBytes, c.used);
            EXPECT_EQ(s.totalBytes, c.total);
        }
        if (!c.damaged) {
            ASSERT_EQ(disk.SelectDisk(c.index), 0);
            EXPECT_EQ(disk.WhyNotChangeable(), c.refusal);
        }
    }
    // A name is cut at 16 bytes, between characters: the double-byte character at bytes 16-17
    // goes whole.
    ASSERT_EQ(disk.SelectDisk(1), 0);
    EXPECT_TRUE(disk.SetDiskName("ABCDEFGHIJKLMNO\x83\x41Z"));
    EXPECT_EQ(disk.GetDiskName(), "ABCDEFGHIJKLMNO");
    EXPECT_TRUE(disk.SetDiskName("\x83\x41\x83\x42"));
    EXPECT_EQ(disk.GetDiskSummary(1).name, "\x83\x41\x83\x42");
}

} // namespace
