#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/DiskImage.h"
#include "fs/IplHeader.h"
#include "fs/ResultCodes.h"
#include "host/DiskImageFiles.h"
#include "image/Geometry.h"
#include "support/ScopedFaults.h"
#include "support/TestDisk.h"

using testdisk::Poke;
using testdisk::PokeU16;
using testdisk::PositionSet;
using testdisk::Snapshot;

namespace {

constexpr int kMzt = 0;
constexpr int kBin = 1;

// Writes an IPL header with the given display text bytes (11), size and start sector.
void PutIpl(DiskImage& disk, std::uint8_t machine, const std::array<unsigned char, 11>& text,
            std::uint16_t size, std::uint16_t startSector, std::uint16_t exec = 0x1234) {
    std::vector<unsigned char> flat = testdisk::FlatBytes(disk);
    std::memset(flat.data(), 0, 32);
    flat[0] = machine;
    std::memcpy(flat.data() + 1, "IPLPRO", 6);
    std::memcpy(flat.data() + 7, text.data(), 11);
    flat[20] = static_cast<unsigned char>(size & 0xFF);
    flat[21] = static_cast<unsigned char>(size >> 8);
    flat[24] = static_cast<unsigned char>(exec & 0xFF);
    flat[25] = static_cast<unsigned char>(exec >> 8);
    flat[30] = static_cast<unsigned char>(startSector & 0xFF);
    flat[31] = static_cast<unsigned char>(startSector >> 8);
    testdisk::Reload(disk, flat);
}

std::array<unsigned char, 11> Text(const char* s) {
    std::array<unsigned char, 11> t{};
    std::memcpy(t.data(), s, std::min<std::size_t>(std::strlen(s), 11));
    return t;
}

std::vector<unsigned char> ImageBytes(const DiskImage& disk, std::size_t at, std::size_t n) {
    const ByteView part = disk.Image().slice(at, n);
    return {part.data(), part.data() + part.size()};
}

std::vector<unsigned char> WithMztHeader(const std::vector<unsigned char>& data,
                                         std::uint16_t sizeField = 0) {
    return testdisk::MakeMzt(
        {.name = "HEADERNAME\r", .size = sizeField, .load = 0x8000, .exec = 0x1234, .data = data});
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Extraction

TEST(BootExtract, MachineCodeDoesNotMatterAndMztModeIsObj) {
    std::vector<unsigned char> outs[2];
    const std::uint8_t machines[2] = {0x01, 0x03};
    for (int i = 0; i < 2; ++i) {
        DiskImage disk;
        disk.Format(1);
        PutIpl(disk, machines[i], Text("BOOT\r"), 300, 48);
        ASSERT_EQ(disk.ExtractBootToBuffer(kMzt, outs[i]), 0);
        ASSERT_EQ(outs[i].size(), 128u + 300u);
        EXPECT_EQ(outs[i][0], 0x01);
    }
    EXPECT_EQ(outs[0], outs[1]);
}

TEST(BootExtract, SizeZeroMeans65536Bytes) {
    DiskImage disk;
    disk.Format(1); // 327,680 bytes: sector 48 + 64 KiB fits
    PutIpl(disk, 0x01, Text("BIG\r"), 0, 48);
    std::vector<unsigned char> mzt, bin;
    ASSERT_EQ(disk.ExtractBootToBuffer(kMzt, mzt), 0);
    ASSERT_EQ(disk.ExtractBootToBuffer(kBin, bin), 0);
    EXPECT_EQ(mzt.size(), 65536u + 128u);
    EXPECT_EQ(mzt[18], 0x00);
    EXPECT_EQ(mzt[19], 0x00);
    EXPECT_EQ(bin.size(), 65536u);
    EXPECT_EQ(bin, ImageBytes(disk, 48 * 256, 65536));
    EXPECT_TRUE(std::equal(bin.begin(), bin.end(), mzt.begin() + 128));
}

TEST(BootExtract, MztNameGetsItsCarriageReturn) {
    struct Case {
        const char* name;
        std::array<unsigned char, 11> text;
        std::array<unsigned char, 17> expected;
    };
    const Case cases[] = {
        {"ten chars then 0x0D",
         Text("ABCDEFGHIJ\r"),
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 0x0D, 0x0D, 0, 0, 0, 0, 0}},
        {"eleven chars, no 0x0D",
         Text("ABCDEFGHIJK"),
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 0x0D, 0, 0, 0, 0, 0}},
        {"three chars zero padded", Text("ABC"), {'A', 'B', 'C', 0x0D, 0, 0, 0, 0, 0, 0, 0}},
        {"empty text", Text(""), {0x0D}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        PutIpl(disk, 0x01, c.text, 10, 48);
        std::vector<unsigned char> out;
        ASSERT_EQ(disk.ExtractBootToBuffer(kMzt, out), 0);
        ASSERT_GE(out.size(), 128u);
        EXPECT_TRUE(std::equal(c.expected.begin(), c.expected.end(), out.begin() + 1));
    }
}

TEST(BootExtract, MztHeaderCarriesSizeButNoAddresses) {
    DiskImage disk;
    disk.Format(1);
    PutIpl(disk, 0x01, Text("X\r"), 0x0123, 48, 0xBEEF);
    std::vector<unsigned char> out;
    ASSERT_EQ(disk.ExtractBootToBuffer(kMzt, out), 0);
    ASSERT_EQ(out.size(), 128u + 0x123u);
    EXPECT_EQ(out[18], 0x23);
    EXPECT_EQ(out[19], 0x01);
    for (int i = 20; i < 128; ++i)
        EXPECT_EQ(out[i], 0) << "header byte " << i;
}

TEST(BootExtract, BinIsExactlyTheProgram) {
    DiskImage disk;
    disk.Format(0);
    PutIpl(disk, 0x01, Text("B\r"), 777, 50);
    std::vector<unsigned char> out;
    ASSERT_EQ(disk.ExtractBootToBuffer(kBin, out), 0);
    EXPECT_EQ(out, ImageBytes(disk, 50 * 256, 777));
}

TEST(BootExtract, OnlyLowFourBitsOfFormatCount) {
    DiskImage disk;
    disk.Format(1);
    PutIpl(disk, 0x01, Text("F\r"), 5, 48);
    struct Case {
        int format;
        std::size_t bytes;
    };
    for (const Case c : {Case{0, 133}, Case{1, 5}, Case{0x10, 133}, Case{0x11, 5}, Case{7, 5}}) {
        SCOPED_TRACE(c.format);
        std::vector<unsigned char> out;
        ASSERT_EQ(disk.ExtractBootToBuffer(c.format, out), 0);
        EXPECT_EQ(out.size(), c.bytes);
    }
}

TEST(BootExtract, RefusalsCreateNoFile) {
    testutil::TempDir dir;
    struct Case {
        const char* name;
        const char* signature;
        std::uint16_t size;
        std::uint16_t startSector;
        int expected;
    };
    // Type 1 disk: 1280 sectors.
    const Case cases[] = {
        {"no signature", "IPLPRX", 10, 48, 1},
        {"signature in lower case", "iplpro", 10, 48, 1},
        {"start sector past the end", "IPLPRO", 10, 1280, 1},
        {"last byte one past the end", "IPLPRO", 257, 1279, 1},
        {"size 0 reaches past the end", "IPLPRO", 0, 1280 - 255, 1},
        {"ends exactly at the end", "IPLPRO", 256, 1279, 0},
        {"size 0 ends exactly at the end", "IPLPRO", 0, 1280 - 256, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        PutIpl(disk, 0x01, Text("T\r"), c.size, c.startSector);
        std::vector<unsigned char> sig(c.signature, c.signature + 6);
        Poke(disk, 1, {sig[0], sig[1], sig[2], sig[3], sig[4], sig[5]});
        const auto path = dir.path() / "boot.bin";
        std::filesystem::remove(path);
        EXPECT_EQ(ExtractBootProgram(disk, path.c_str(), kBin), c.expected);
        EXPECT_EQ(std::filesystem::exists(path), c.expected == 0);
        std::vector<unsigned char> out{1, 2, 3};
        EXPECT_EQ(disk.ExtractBootToBuffer(kBin, out), c.expected);
        if (c.expected != 0) {
            EXPECT_TRUE(out.empty());
        }
    }
}

TEST(BootExtract, FileHoldsWhatTheBufferHolds) {
    testutil::TempDir dir;
    DiskImage disk;
    disk.Format(1);
    PutIpl(disk, 0x01, Text("FILE\r"), 1000, 60);
    for (int format : {kMzt, kBin}) {
        const auto path = dir.path() / (format == kMzt ? "boot.mzt" : "boot.bin");
        ASSERT_EQ(ExtractBootProgram(disk, path.c_str(), format), 0);
        std::vector<unsigned char> expected;
        ASSERT_EQ(disk.ExtractBootToBuffer(format, expected), 0);
        EXPECT_EQ(testutil::ReadFileBytes(path), expected);
    }
}

TEST(BootExtract, UnwritablePathFailsAndLeavesNothing) {
    testutil::TempDir dir;
    DiskImage disk;
    disk.Format(1);
    PutIpl(disk, 0x01, Text("W\r"), 10, 48);
    const auto path = dir.path() / "missing-folder" / "boot.bin";
    EXPECT_EQ(ExtractBootProgram(disk, path.c_str(), kBin), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ExtractBootProgram(disk, nullptr, kBin), 1);
    // A disk that fills up on the way.
    const auto full = dir.path() / "full.bin";
    {
        ScopedFaults faults({.fileLimit = 4});
        EXPECT_EQ(ExtractBootProgram(disk, full.c_str(), kBin), 1);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(BootExtract, ImageWithoutDiskFails) {
    DiskImage disk;
    std::vector<unsigned char> out;
    EXPECT_EQ(disk.ExtractBootToBuffer(kBin, out), 1);
}

TEST(BootExtract, RealBootDisksGiveTheirProgram) {
    DARVEX_REQUIRE_TESTDATA();
    for (const char* name : {"ipls/ipls-2d.d88", "ipls/ipls-2dd.d88"}) {
        SCOPED_TRACE(name);
        const auto file = testutil::ReadFileBytes(testutil::TestDataPath(name));
        ASSERT_FALSE(file.empty());
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        const IplHeader ipl = IplHeader::FromImage(disk.Image());
        ASSERT_TRUE(ipl.HasSignature());
        EXPECT_EQ(ipl.Machine(), 0x01);
        EXPECT_EQ(ipl.Size(), 0x1F00);
        EXPECT_EQ(ipl.ExecAddress(), 0x0063);
        EXPECT_EQ(ipl.StartSector(), 1);
        EXPECT_EQ(ipl.DisplayName(), "IPLS09bKai");

        std::vector<unsigned char> bin, mzt;
        ASSERT_EQ(disk.ExtractBootToBuffer(kBin, bin), 0);
        ASSERT_EQ(disk.ExtractBootToBuffer(kMzt, mzt), 0);
        EXPECT_EQ(bin, ImageBytes(disk, 256, 0x1F00));
        ASSERT_EQ(mzt.size(), 128u + 0x1F00u);
        const unsigned char header[24] = {0x01, 'I', 'P',  'L',  'S',  '0', '9', 'b',
                                          'K',  'a', 'i',  0x0D, 0x0D, 0,   0,   0,
                                          0,    0,   0x00, 0x1F, 0,    0,   0,   0};
        EXPECT_TRUE(std::equal(std::begin(header), std::end(header), mzt.begin()));
        EXPECT_TRUE(std::equal(bin.begin(), bin.end(), mzt.begin() + 128));
    }
}

// ---------------------------------------------------------------------------------------------
// Registration

TEST(BootRegister, WritesHeaderRunAndBitmap) {
    DiskImage disk;
    disk.Format(1);
    const auto data = testdisk::Pattern(1000);
    const IplHeader header = BootHeaderBuilder::Build(0x01, "ABC", 0x2000);
    const auto before = Snapshot(disk);
    ASSERT_EQ(disk.RegisterBootFromBuffer(data.data(), data.size(), header.Bytes().data(), 1), 0);

    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    EXPECT_TRUE(ipl.HasSignature());
    EXPECT_EQ(ipl.Machine(), 0x01);
    EXPECT_EQ(ipl.Size(), 1000);
    EXPECT_EQ(ipl.ExecAddress(), 0x2000);
    EXPECT_EQ(ipl.StartSector(), 48);
    const unsigned char text[11] = {0x41, 0x42, 0x43, 0x0D, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(text), std::end(text), disk.Image().data() + 7));
    EXPECT_EQ(ImageBytes(disk, 48 * 256, 1000), data);
    // 1000 bytes on 256-byte clusters: four clusters.
    for (int p = 48; p < 52; ++p)
        EXPECT_TRUE(PositionSet(disk, p)) << p;
    EXPECT_FALSE(PositionSet(disk, 52));
    EXPECT_EQ(disk.GetUsedClusters(), 48 + 4); // the reserved area and the run
    // The rest of sector 0 and the tail of the last cluster are not touched.
    const auto after = Snapshot(disk);
    EXPECT_TRUE(std::equal(before.begin() + 32, before.begin() + 256, after.begin() + 32));
    EXPECT_TRUE(std::equal(before.begin() + 48 * 256 + 1000, before.begin() + 52 * 256,
                           after.begin() + 48 * 256 + 1000));
}

TEST(BootRegister, TwoClustersOnLargeClusters) {
    DiskImage disk;
    disk.Format(0); // 512-byte clusters, first data cluster 24
    const auto data = testdisk::Pattern(1000, 2);
    const IplHeader header = BootHeaderBuilder::Build(0x01, "X", 0);
    ASSERT_EQ(disk.RegisterBootFromBuffer(data.data(), data.size(), header.Bytes().data(), 1), 0);
    EXPECT_EQ(IplHeader::FromImage(disk.Image()).StartSector(), 48);
    EXPECT_TRUE(PositionSet(disk, 48));
    EXPECT_TRUE(PositionSet(disk, 49));
    EXPECT_FALSE(PositionSet(disk, 50));
    EXPECT_EQ(disk.GetUsedClusters(), 24 + 2);
}

TEST(BootRegister, CallerBytesKeptAndOwnFieldsReplaced) {
    DiskImage disk;
    disk.Format(1);
    std::array<unsigned char, 32> header;
    for (std::size_t i = 0; i < header.size(); ++i)
        header[i] = static_cast<unsigned char>(0xA0 + i);
    const unsigned char data[3] = {7, 8, 9};
    ASSERT_EQ(disk.RegisterBootFromBuffer(data, 3, header.data(), 1), 0);
    const unsigned char* img = disk.Image().data();
    std::array<unsigned char, 32> expected = header;
    std::memcpy(expected.data() + 1, "IPLPRO", 6);
    expected[20] = 3;
    expected[21] = 0;
    expected[30] = 48;
    expected[31] = 0;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), img));
}

TEST(BootRegister, TenCharacterTextEndsInByte17) {
    DiskImage disk;
    disk.Format(1);
    const IplHeader header = BootHeaderBuilder::Build(0x03, "ABCDEFGHIJ", 0);
    const unsigned char data[1] = {0x55};
    ASSERT_EQ(disk.RegisterBootFromBuffer(data, 1, header.Bytes().data(), 1), 0);
    const unsigned char* img = disk.Image().data();
    EXPECT_EQ(img[0], 0x03);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(img + 7), 10), "ABCDEFGHIJ");
    EXPECT_EQ(img[17], 0x0D);
}

TEST(BootRegister, MztProgramIsWhatFollowsTheHeader) {
    struct Case {
        const char* name;
        std::size_t dataBytes;
        std::uint16_t sizeField;
    };
    for (const Case c : {Case{"size field smaller", 500, 10}, Case{"size field larger", 500, 9000},
                         Case{"size field zero", 1, 0}}) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        const auto data = testdisk::Pattern(c.dataBytes, 3);
        const auto file = WithMztHeader(data, c.sizeField);
        const IplHeader header = BootHeaderBuilder::Build(0x01, "M", 0x0063);
        ASSERT_EQ(disk.RegisterBootFromBuffer(file.data(), file.size(), header.Bytes().data(), 0),
                  0);
        const IplHeader ipl = IplHeader::FromImage(disk.Image());
        EXPECT_EQ(ipl.Size(), c.dataBytes);
        EXPECT_EQ(ipl.ExecAddress(), 0x0063); // the MZT header's 0x1234 plays no part
        EXPECT_EQ(ipl.DisplayName(), "M");
        std::vector<unsigned char> bin;
        ASSERT_EQ(disk.ExtractBootToBuffer(kBin, bin), 0);
        EXPECT_EQ(bin, data);
    }
}

TEST(BootRegister, TwiceKeepsBothRunsUsed) {
    DiskImage disk;
    disk.Format(1);
    const auto first = testdisk::Pattern(600, 4);  // 3 clusters
    const auto second = testdisk::Pattern(300, 5); // 2 clusters
    const IplHeader header = BootHeaderBuilder::Build(0x01, "TWICE", 0);
    ASSERT_EQ(disk.RegisterBootFromBuffer(first.data(), first.size(), header.Bytes().data(), 1), 0);
    ASSERT_EQ(disk.RegisterBootFromBuffer(second.data(), second.size(), header.Bytes().data(), 1),
              0);
    EXPECT_EQ(IplHeader::FromImage(disk.Image()).StartSector(), 48 + 3);
    for (int p = 48; p < 53; ++p)
        EXPECT_TRUE(PositionSet(disk, p)) << p;
    EXPECT_EQ(disk.GetUsedClusters(), 48 + 5);
    EXPECT_EQ(ImageBytes(disk, 48 * 256, 600), first); // the old program stays in place
    std::vector<unsigned char> bin;
    ASSERT_EQ(disk.ExtractBootToBuffer(kBin, bin), 0);
    EXPECT_EQ(bin, second);
}

TEST(BootRegister, RefusalsLeaveImageUnchanged) {
    const IplHeader header = BootHeaderBuilder::Build(0x01, "R", 0);
    const auto big = testdisk::Pattern(65536, 6);
    struct Case {
        const char* name;
        std::vector<unsigned char> data;
        int plain;
        int expected;
    };
    const Case cases[] = {
        {"empty plain file", {}, 1, 2},
        {"MZT of 128 bytes", std::vector<unsigned char>(128, 1), 0, 2},
        {"MZT of 10 bytes", std::vector<unsigned char>(10, 1), 0, 2},
        {"plain 65536 bytes", big, 1, 3},
        {"MZT with 65536 data bytes", WithMztHeader(big), 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        const auto before = Snapshot(disk);
        EXPECT_EQ(disk.RegisterBootFromBuffer(c.data.data(), c.data.size(), header.Bytes().data(),
                                              c.plain),
                  c.expected);
        EXPECT_EQ(Snapshot(disk), before);
    }
}

TEST(BootRegister, LargestProgramsAreAccepted) {
    const IplHeader header = BootHeaderBuilder::Build(0x01, "L", 0);
    const auto data = testdisk::Pattern(65535, 7);
    for (int plain : {1, 0}) {
        SCOPED_TRACE(plain);
        DiskImage disk;
        disk.Format(1);
        const auto file = plain ? data : WithMztHeader(data);
        ASSERT_EQ(
            disk.RegisterBootFromBuffer(file.data(), file.size(), header.Bytes().data(), plain), 0);
        EXPECT_EQ(IplHeader::FromImage(disk.Image()).Size(), 65535);
        std::vector<unsigned char> bin;
        ASSERT_EQ(disk.ExtractBootToBuffer(kBin, bin), 0);
        EXPECT_EQ(bin, data);
        EXPECT_EQ(disk.GetUsedClusters(), 48 + 256);
    }
}

TEST(BootRegister, MztOfOneDataByte) {
    DiskImage disk;
    disk.Format(1);
    const auto file = WithMztHeader({0x5A});
    const IplHeader header = BootHeaderBuilder::Build(0x01, "ONE", 0);
    ASSERT_EQ(disk.RegisterBootFromBuffer(file.data(), file.size(), header.Bytes().data(), 0), 0);
    EXPECT_EQ(IplHeader::FromImage(disk.Image()).Size(), 1);
    EXPECT_EQ(disk.Image().u8(48 * 256), 0x5A);
}

TEST(BootRegister, NoRunLongEnough) {
    DiskImage disk;
    disk.Format(2);               // 1120 clusters, 1072 data positions
    disk.MarkUsed(0, 1071 * 256); // one free cluster left at the end
    const IplHeader header = BootHeaderBuilder::Build(0x01, "N", 0);
    const auto before = Snapshot(disk);
    const auto data = testdisk::Pattern(257, 8);
    EXPECT_EQ(disk.RegisterBootFromBuffer(data.data(), data.size(), header.Bytes().data(), 1), 4);
    EXPECT_EQ(Snapshot(disk), before);
    // One cluster's worth still fits, at the last position.
    ASSERT_EQ(disk.RegisterBootFromBuffer(data.data(), 256, header.Bytes().data(), 1), 0);
    EXPECT_EQ(IplHeader::FromImage(disk.Image()).StartSector(), 48 + 1071);
}

TEST(BootRegister, RunOutsideTheImageIsNoSpace) {
    // A bitmap that claims clusters the image does not hold: the only free run lies beyond
    // the end of a 35-cylinder image.
    DiskImage disk;
    disk.Format(2);
    std::vector<unsigned char> flat = testdisk::FlatBytes(disk);
    flat[kBitmapOffset + kBitmapFirstDataCluster] = 200; // cluster 200 + k, far out
    testdisk::Reload(disk, flat);
    disk.MarkUsed(0, 920 * 256); // first free cluster 920 + 200 = 1120, the image end
    const auto before = Snapshot(disk);
    const IplHeader header = BootHeaderBuilder::Build(0x01, "O", 0);
    const auto data = testdisk::Pattern(100, 9);
    EXPECT_EQ(disk.RegisterBootFromBuffer(data.data(), data.size(), header.Bytes().data(), 1), 4);
    EXPECT_EQ(Snapshot(disk), before);
}

TEST(BootRegister, FromHostFiles) {
    testutil::TempDir dir;
    const IplHeader header = BootHeaderBuilder::Build(0x01, "HOST", 0);
    const auto data = testdisk::Pattern(1234, 10);
    const auto plainPath = dir.path() / "ipl.bin";
    const auto mztPath = dir.path() / "ipl.mzt";
    const auto hugePath = dir.path() / "huge.bin";
    const auto hugeMztPath = dir.path() / "huge.mzt";
    ASSERT_TRUE(testutil::WriteFileBytes(plainPath, data));
    ASSERT_TRUE(testutil::WriteFileBytes(mztPath, WithMztHeader(data, 1)));
    ASSERT_TRUE(testutil::WriteFileBytes(hugePath, testdisk::Pattern(200000, 11)));
    ASSERT_TRUE(testutil::WriteFileBytes(hugeMztPath, WithMztHeader(testdisk::Pattern(65536))));
    struct Case {
        const char* name;
        std::filesystem::path path;
        int plain;
        int expected;
    };
    const Case cases[] = {
        {"plain", plainPath, 1, 0},
        {"MZT", mztPath, 0, 0},
        {"missing", dir.path() / "nothing.bin", 1, 1},
        {"folder", dir.path(), 1, 1},
        {"plain too large", hugePath, 1, 3},
        {"MZT one byte too large", hugeMztPath, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        const auto before = Snapshot(disk);
        EXPECT_EQ(RegisterBootProgram(disk, c.path.c_str(), header.Bytes().data(), c.plain),
                  c.expected);
        if (c.expected != 0) {
            EXPECT_EQ(Snapshot(disk), before);
            continue;
        }
        std::vector<unsigned char> bin;
        ASSERT_EQ(disk.ExtractBootToBuffer(kBin, bin), 0);
        EXPECT_EQ(bin, data);
    }
    DiskImage disk;
    disk.Format(1);
    EXPECT_EQ(RegisterBootProgram(disk, nullptr, header.Bytes().data(), 1), 1);
}

TEST(BootRegister, NoImageAndNullHeaderAreSafe) {
    const unsigned char data[4] = {1, 2, 3, 4};
    DiskImage empty;
    EXPECT_EQ(empty.RegisterBootFromBuffer(data, 4, nullptr, 1), 4);
    EXPECT_FALSE(empty.HasImage());

    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(disk.RegisterBootFromBuffer(data, 4, nullptr, 1), 0);
    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    EXPECT_TRUE(ipl.HasSignature());
    EXPECT_EQ(ipl.Machine(), 0x00);
    EXPECT_EQ(ipl.Size(), 4);
    EXPECT_EQ(disk.RegisterBootFromBuffer(nullptr, 4, nullptr, 1), 1);
}
