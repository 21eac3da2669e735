#include "GuiTestDisks.h"

#include <cstring>
#include <vector>

#include "GuiTestSupport.h"
#include "fs/DiskImage.h"
#include "support/TestDisk.h"

namespace guitest {

namespace {

std::vector<unsigned char> Bytes(std::size_t n, unsigned char seed) {
    std::vector<unsigned char> data(n);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = static_cast<unsigned char>(seed + i * 7);
    return data;
}

} // namespace

void BuildSampleDisk(DiskImage& disk) {
    disk.Format(1);
    disk.SetCurrentDir(-1);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "PROG", 0x01, Bytes(300, 1)), 0);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "TEXT", 0x03, Bytes(700, 2), 3), 0);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "BIG", 0x04, Bytes(4000, 3), 4), 0);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "\x83\x51\x81\x5B\x83\x80", 0x01, Bytes(10, 4)), 0);
    const int sub = testdisk::AddSubdir(disk, "SUB");
    ASSERT_GT(sub, 0);
    disk.SetCurrentDir(sub);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "INNER", 0x02, Bytes(100, 5)), 0);
    disk.SetCurrentDir(-1);
}

void BuildCycleDisk(DiskImage& disk) {
    disk.Format(1);
    disk.SetCurrentDir(-1);
    const int loop = testdisk::AddSubdir(disk, "LOOP");
    ASSERT_GT(loop, 0);
    disk.SetCurrentDir(loop);
    // A directory entry of LOOP whose sectors are the root's: root, LOOP, UP, LOOP, UP ...
    std::vector<unsigned char> area(64 * 32, 0x00);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "UP", 0x0F, area), 0);
    std::vector<unsigned char> flat(disk.Image().data(), disk.Image().data() + disk.GetImageSize());
    for (int i = 0; i < 64; ++i) {
        unsigned char* e = flat.data() + loop * 256 + i * 32;
        if (e[0] == 0x0F && std::memcmp(e + 1, "UP\x0D", 3) == 0) {
            e[30] = 16;
            e[31] = 0;
        }
    }
    ASSERT_EQ(disk.Load(flat.data(), flat.size(), 1), 0);
    disk.SetCurrentDir(-1);
}

std::filesystem::path WriteSampleDisk(const std::filesystem::path& folder,
                                      const std::string& name) {
    DiskImage disk;
    BuildSampleDisk(disk);
    const std::filesystem::path path = folder / name;
    SaveDiskFile(disk, path);
    return path;
}

} // namespace guitest
