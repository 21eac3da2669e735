#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "TestUtil.h"
#include "fs/DiskImage.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testutil::D88Builder;
using testutil::D88Record;
using testutil::SectorRecord;
using testutil::StandardD88;

namespace {

std::vector<unsigned char> ImageBytes(const DiskImage& disk) {
    ByteView v = disk.Image();
    return {v.data(), v.data() + v.size()};
}

// What Save writes; the pieces SaveTo hands out must add up to the very same bytes.
std::vector<unsigned char> Saved(const DiskImage& disk, int flat) {
    std::vector<unsigned char> out(static_cast<std::size_t>(disk.GetSavedSize(flat)), 0xEE);
    EXPECT_EQ(disk.Save(out.data(), flat), 0);
    std::vector<unsigned char> streamed;
    const bool ok = disk.SaveTo(flat, [&](const unsigned char* data, std::size_t bytes) {
        streamed.insert(streamed.end(), data, data + bytes);
        return true;
    });
    EXPECT_EQ(ok, disk.HasImage());
    if (disk.HasImage()) {
        EXPECT_TRUE(streamed == out) << "SaveTo differs from Save (flat " << flat << ")";
    }
    return out;
}

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void Put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

std::vector<unsigned char> Pattern(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<unsigned char> v(n);
    for (auto& b : v)
        b = static_cast<unsigned char>(rng());
    return v;
}

// A flat image of random bytes whose bitmap sector names `totalClusters` clusters.
std::vector<unsigned char> RandomFlat(int cylinders, unsigned seed, int totalClusters,
                                      int clusterShift) {
    auto flat = Pattern(static_cast<std::size_t>(cylinders) * kCylinderBytes, seed);
    flat[kBitmapOffset + 4] = static_cast<unsigned char>(totalClusters & 0xFF);
    flat[kBitmapOffset + 5] = static_cast<unsigned char>(totalClusters >> 8);
    flat[kBitmapOffset + 255] = static_cast<unsigned char>(clusterShift);
    return flat;
}

// Changes one byte of logical sector 2, so that a save encodes the disk instead of writing the
// bytes it was read from.
void Touch(DiskImage& disk) {
    const MutableByteView image = testdisk::WritableImage(disk);
    const std::size_t at = 2 * kSectorBytes + 7;
    image.setU8(at, static_cast<std::uint8_t>(image.u8(at) ^ 0x01));
}

// Everything a failed load must leave untouched.
struct Snapshot {
    std::vector<unsigned char> image;
    int cylinders;
    int totalBytes;
    std::uint8_t media;
    bool flat;
    std::vector<unsigned char> savedD88;
    explicit Snapshot(const DiskImage& d)
        : image(ImageBytes(d)), cylinders(d.GetCylinders()), totalBytes(d.GetTotalBytes()),
          media(d.GetMediaType()), flat(d.IsFlat()), savedD88(Saved(d, 0)) {}
    void ExpectSame(const DiskImage& d) const {
        EXPECT_EQ(ImageBytes(d), image);
        EXPECT_EQ(d.GetCylinders(), cylinders);
        EXPECT_EQ(d.GetTotalBytes(), totalBytes);
        EXPECT_EQ(d.GetMediaType(), media);
        EXPECT_EQ(d.IsFlat(), flat);
        EXPECT_EQ(Saved(d, 0), savedD88);
    }
};

// A previous image that a failed load must keep: a two-disk file with a name, so the kept
// name, write-protect flag and trailing disk are checked as well.
void LoadPrevious(DiskImage& disk) {
    auto first = StandardD88(RandomFlat(3, 7, 96, 0), 3, 0x00);
    std::copy_n("KEEPME", 6, first.begin());
    first[0x1A] = 0x10;
    auto second = StandardD88(RandomFlat(1, 8, 32, 0), 1, 0x10);
    first.insert(first.end(), second.begin(), second.end());
    ASSERT_EQ(disk.Load(first.data(), first.size(), 0), 0);
}

struct PlacementCase {
    int cyl, head, rec;
    int logicalSector;
};

TEST(D88Load, RecordsLandAtTheirLogicalSector) {
    const PlacementCase cases[] = {
        {0, 1, 1, 0},  {0, 1, 16, 15}, {0, 0, 1, 16}, {0, 0, 16, 31},
        {1, 1, 1, 32}, {2, 0, 16, 95}, {2, 1, 5, 68}, {1, 0, 9, 56},
    };
    EXPECT_EQ(LogicalSector(2, 0, 16) * kSectorBytes, 0x5F00);
    EXPECT_EQ(LogicalSector(0, 0, 1) * kSectorBytes, 0x1000);
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cyl << "/" << c.head << "/" << c.rec);
        const auto sector = Pattern(256, static_cast<unsigned>(c.logicalSector + 1));
        auto file = D88Builder()
                        .SetDiskSize(688 + 3 * 8704)
                        .AddTrack(0, {SectorRecord(c.cyl, c.head, c.rec, sector.data())})
                        .Build();
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        ASSERT_EQ(disk.GetImageSize(), 3u * kCylinderBytes);
        const auto image = ImageBytes(disk);
        const std::size_t at = static_cast<std::size_t>(c.logicalSector) * kSectorBytes;
        for (std::size_t i = 0; i < image.size(); ++i) {
            const unsigned char want = (i >= at && i < at + 256) ? sector[i - at] : 0x00;
            ASSERT_EQ(image[i], want) << "byte " << i;
        }
        unsigned char read[kSectorBytes];
        disk.ReadSector(read, c.logicalSector);
        EXPECT_EQ(0, std::memcmp(read, sector.data(), kSectorBytes));
        EXPECT_EQ(disk.GetLoadReport().sectorsMissing, 3 * 32 - 1);
    }
}

TEST(D88Load, DataIsComplemented) {
    D88Record r;
    r.rec = 1;
    r.data.assign(256, 0x00);
    r.data[1] = 0xFF;
    r.data[2] = 0x5A;
    auto file = D88Builder().AddTrack(0, {r}).Build();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    ASSERT_EQ(disk.GetCylinders(), 1);
    const ByteView img = disk.Image();
    EXPECT_EQ(img.u8(0x1000), 0xFF);
    EXPECT_EQ(img.u8(0x1001), 0x00);
    EXPECT_EQ(img.u8(0x1002), 0xA5);
    EXPECT_EQ(img.u8(0x10FF), 0xFF);
}

TEST(D88Save, DataIsComplementedHeadZeroFirst) {
    DiskImage disk;
    disk.Format(1);
    const auto image = ImageBytes(disk);
    const auto saved = Saved(disk, 0);
    ASSERT_EQ(saved.size(), 348848u);
    std::size_t at = 688;
    for (int cyl = 0; cyl < 40; ++cyl) {
        for (int head = 0; head <= 1; ++head) {
            ASSERT_EQ(U32(saved, 0x20 + 4 * (2 * cyl + head)), at);
            for (int rec = 1; rec <= 16; ++rec) {
                SCOPED_TRACE(testing::Message() << cyl << "/" << head << "/" << rec);
                const unsigned char want[16] = {static_cast<unsigned char>(cyl),
                                                static_cast<unsigned char>(head),
                                                static_cast<unsigned char>(rec),
                                                1,
                                                16,
                                                0,
                                                0,
                                                0,
                                                0,
                                                0,
                                                0,
                                                0,
                                                0,
                                                0,
                                                0x00,
                                                0x01};
                ASSERT_EQ(0, std::memcmp(&saved[at], want, 16));
                const std::size_t flat =
                    static_cast<std::size_t>(32 * cyl + 16 * (1 - head) + rec - 1) * 256;
                for (int i = 0; i < 256; ++i)
                    ASSERT_EQ(saved[at + 16 + i], static_cast<unsigned char>(~image[flat + i]));
                at += 272;
            }
        }
    }
    EXPECT_EQ(at, saved.size());
}

TEST(D88Save, ByteFFSavesAsZero) {
    std::vector<unsigned char> src(4096, 0x33);
    src[0] = 0xFF;
    src[1] = 0x00;
    src[2] = 0x5A;
    src[0xF04] = 16; // 16 clusters of 256 bytes: half a cylinder
    src[0xF05] = 0;
    src[0xFFF] = 0;
    DiskImage disk;
    ASSERT_EQ(disk.Load(src.data(), src.size(), 1), 0);
    const auto saved = Saved(disk, 0);
    ASSERT_EQ(saved.size(), 688u + 8704);
    // Logical sector 0 is cylinder 0, head 1, R 1: the 17th record, after the head-0 track.
    const std::size_t rec = 688 + 16 * 272;
    ASSERT_EQ(saved[rec + 1], 1);
    ASSERT_EQ(saved[rec + 2], 1);
    EXPECT_EQ(saved[rec + 16 + 0], 0x00);
    EXPECT_EQ(saved[rec + 16 + 1], 0xFF);
    EXPECT_EQ(saved[rec + 16 + 2], 0xA5);
    EXPECT_EQ(saved[rec + 16 + 3], 0xCC);
    // The part of the cylinder past the 4096 flat bytes (head 0) saves as complemented 0x00.
    EXPECT_EQ(saved[688 + 16], 0xFF);
}

struct OddRecordCase {
    const char* name;
    D88Record odd;
    bool nextPlaced; // the record after the odd one is still found
    int notPlaced;
    int oddLength;
    std::vector<unsigned char> sector16; // expected flat sector 16 (cyl 0 H0 R1), empty: zeros
};

TEST(D88Load, OddRecords) {
    const auto data = Pattern(512, 11);
    auto rec = [&](int cyl, int head, int r, int n) {
        D88Record d = SectorRecord(cyl, head, r, data.data(), n);
        for (std::size_t i = 0; i < d.data.size(); ++i)
            d.data[i] = static_cast<unsigned char>(~data[i]);
        return d;
    };
    std::vector<unsigned char> first128(data.begin(), data.begin() + 128);
    first128.resize(256, 0x00);
    std::vector<unsigned char> first256(data.begin(), data.begin() + 256);
    D88Record badN = rec(0, 0, 1, 1);
    badN.sizeCode = 200;
    const OddRecordCase cases[] = {
        {"R17 stepped over", rec(0, 0, 17, 1), true, 1, 0, {}},
        {"R0", rec(0, 0, 0, 1), true, 1, 0, {}},
        {"H2", rec(0, 2, 1, 1), true, 1, 0, {}},
        {"H255", rec(0, 255, 1, 1), true, 1, 0, {}},
        {"cyl 82", rec(82, 0, 1, 1), true, 1, 0, {}},
        {"N0 fills 128 bytes", rec(0, 0, 1, 0), true, 0, 1, first128},
        {"N2 gives first 256 of 512", rec(0, 0, 1, 2), true, 0, 1, first256},
        {"N200 ends the walk", badN, false, 1, 0, {}},
    };
    const auto next = Pattern(256, 12);
    for (const OddRecordCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto file = D88Builder()
                        .AddTrack(0, {c.odd, SectorRecord(0, 0, 2, next.data())})
                        .AddTrack(1, {SectorRecord(0, 1, 3, next.data())})
                        .Build();
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        ASSERT_EQ(disk.GetCylinders(), 1);
        const auto image = ImageBytes(disk);
        std::vector<unsigned char> s16(image.begin() + 0x1000, image.begin() + 0x1100);
        EXPECT_EQ(s16, c.sector16.empty() ? std::vector<unsigned char>(256, 0) : c.sector16);
        std::vector<unsigned char> s17(image.begin() + 0x1100, image.begin() + 0x1200);
        EXPECT_EQ(s17 == next, c.nextPlaced);
        // The other track is read whatever happened in this one.
        EXPECT_TRUE(std::equal(next.begin(), next.end(), image.begin() + 2 * 256));
        const LoadReport& rep = disk.GetLoadReport();
        EXPECT_EQ(rep.recordsNotPlaced, c.notPlaced);
        EXPECT_EQ(rep.recordsOddLength, c.oddLength);
        const int placed = 1 + (c.nextPlaced ? 1 : 0) + (c.sector16.empty() ? 0 : 1);
        EXPECT_EQ(rep.sectorsMissing, 32 - placed);
    }
}

TEST(D88Load, ShortRecordKeepsEarlierBytesOfTheSector) {
    const auto full = Pattern(256, 21);
    const auto part = Pattern(256, 22);
    auto file = D88Builder()
                    .AddTrack(0, {SectorRecord(0, 1, 1, full.data()),
                                  SectorRecord(0, 1, 1, part.data(), 0)})
                    .Build();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    const auto image = ImageBytes(disk);
    EXPECT_TRUE(std::equal(part.begin(), part.begin() + 128, image.begin()));
    EXPECT_TRUE(std::equal(full.begin() + 128, full.end(), image.begin() + 128));
}

TEST(D88Load, LaterTableEntryOverwritesWhateverTheFileOrder) {
    const auto a = Pattern(256, 31);
    const auto b = Pattern(256, 32);
    // Track entry 5 is listed before entry 0 in the file and holds cylinder 0 records.
    auto file = D88Builder()
                    .AddTrack(5, {SectorRecord(0, 0, 4, a.data())})
                    .AddTrack(0, {SectorRecord(0, 0, 4, b.data())})
                    .Build();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    const auto image = ImageBytes(disk);
    // Table entry 0 is walked first, entry 5 after it.
    EXPECT_TRUE(std::equal(a.begin(), a.end(), image.begin() + 19 * 256));
}

TEST(D88Load, SectorCountOfFirstRecordOnly) {
    const auto s = Pattern(256, 41);
    std::vector<D88Record> recs;
    for (int r = 1; r <= 4; ++r)
        recs.push_back(SectorRecord(0, 0, r, s.data()));
    recs[0].sectorCount = 2; // later records claim 16; only the first one counts
    recs[1].sectorCount = 16;
    auto zero = recs;
    zero[0].sectorCount = 0;
    for (int variant = 0; variant < 2; ++variant) {
        auto file =
            D88Builder().SetDiskSize(688 + 8704).AddTrack(0, variant == 0 ? recs : zero).Build();
        DiskImage disk;
        // A first record counting none: the track yields no sector, and the file no disk.
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), variant == 0 ? 0 : 1);
        if (variant == 0) {
            EXPECT_EQ(disk.GetLoadReport().sectorsMissing, 30);
        }
    }
}

TEST(D88Save, SizesAndTrackTable) {
    struct Case {
        int type;
        int cylinders;
        int bytes;
        std::uint8_t media;
    };
    const Case cases[] = {
        {0, 80, 697008, 0x10}, {1, 40, 348848, 0x00}, {2, 35, 305328, 0x00}, {3, 35, 305328, 0x00}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        DiskImage disk;
        disk.Format(c.type);
        ASSERT_EQ(disk.GetSavedSize(0), c.bytes);
        const auto saved = Saved(disk, 0);
        EXPECT_EQ(U32(saved, 0x1C), static_cast<std::uint32_t>(c.bytes));
        EXPECT_EQ(saved[0x1B], c.media);
        for (int t = 0; t < 164; ++t) {
            const std::uint32_t want = t < 2 * c.cylinders ? 688 + t * 4352 : 0;
            ASSERT_EQ(U32(saved, 0x20 + 4 * t), want) << "entry " << t;
        }
        for (int i = 0; i < 0x1B; ++i)
            ASSERT_EQ(saved[i], 0) << i;
    }
}

TEST(D88Load, DiskSizeFieldGivesCylinders) {
    const auto s = Pattern(256, 51);
    auto file =
        D88Builder().SetDiskSize(348848).AddTrack(0, {SectorRecord(0, 0, 1, s.data())}).Build();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_EQ(disk.GetCylinders(), 40);
    EXPECT_EQ(disk.GetImageSize(), 327680u);
    EXPECT_EQ(disk.GetLoadReport().sectorsMissing, 40 * 32 - 1);
    // Untouched, the disk is written back as it was read; changed, it is encoded whole.
    EXPECT_EQ(disk.GetSavedSize(0), static_cast<int>(file.size()));
    EXPECT_EQ(Saved(disk, 0), file);
    Touch(disk);
    EXPECT_EQ(disk.GetSavedSize(0), 348848);
}

TEST(D88Load, RoundTripRandomImages) {
    for (int cylinders : {35, 40, 80}) {
        SCOPED_TRACE(cylinders);
        const auto flat = RandomFlat(cylinders, static_cast<unsigned>(cylinders), 0x0460, 0);
        const auto file = StandardD88(flat, cylinders, 0x10);
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        EXPECT_EQ(disk.GetCylinders(), cylinders);
        EXPECT_EQ(disk.GetMediaType(), 0x10);
        EXPECT_FALSE(disk.IsFlat());
        EXPECT_EQ(ImageBytes(disk), flat);
        EXPECT_TRUE(disk.GetLoadReport().Empty());
        const auto saved = Saved(disk, 0);
        EXPECT_EQ(saved, file);
        DiskImage again;
        ASSERT_EQ(again.Load(saved.data(), saved.size(), 0), 0);
        EXPECT_EQ(ImageBytes(again), flat);
    }
}

struct FlatCase {
    const char* name;
    int totalClusters;
    int shift;
    std::size_t bytes;
    std::uint8_t media;
    int cylinders;
};

TEST(FlatLoad, SizeAndMediaFromBitmap) {
    const FlatCase cases[] = {
        {"2DD", 0x0500, 1, 655360, 0x10, 80},
        {"35 cylinders", 0x0460, 0, 286720, 0x00, 35},
        {"40 cylinders", 0x0500, 0, 327680, 0x00, 40},
        {"just over 2D", 0x0501, 0, 327936, 0x10, 41},
        {"2HD", 0x0501, 1, 0xA0200, 0x20, 81},
        {"one sector over 82 cylinders", 0x0A41, 0, 671744 + 256, 0x20, 82},
        {"only the bitmap", 16, 0, 4096, 0x00, 1},
    };
    for (const FlatCase& c : cases) {
        SCOPED_TRACE(c.name);
        // The source is longer than the image: the rest is not taken.
        auto src = Pattern(c.bytes + 1000, 61);
        src[0xF04] = static_cast<unsigned char>(c.totalClusters & 0xFF);
        src[0xF05] = static_cast<unsigned char>(c.totalClusters >> 8);
        src[0xFFF] = static_cast<unsigned char>(c.shift);
        DiskImage disk;
        LoadPrevious(disk);
        ASSERT_EQ(disk.Load(src.data(), src.size(), 1), 0);
        EXPECT_TRUE(disk.IsFlat());
        EXPECT_EQ(disk.GetImageSize(), c.bytes);
        EXPECT_EQ(disk.GetMediaType(), c.media);
        EXPECT_EQ(disk.GetCylinders(), c.cylinders);
        EXPECT_EQ(disk.GetTotalBytes(), static_cast<int>(c.bytes));
        EXPECT_TRUE(disk.GetLoadReport().Empty());
        const std::vector<unsigned char> want(src.begin(),
                                              src.begin() + static_cast<long>(c.bytes));
        EXPECT_EQ(ImageBytes(disk), want);
        EXPECT_EQ(Saved(disk, 1), want);
        // The D88 form of a flat image: whole cylinders, a partial last one padded with 0x00,
        // and nothing of the disk loaded before it (name, trailing disk).
        const auto d88 = Saved(disk, 0);
        ASSERT_EQ(d88.size(), 688u + static_cast<std::size_t>(c.cylinders) * 8704);
        for (int i = 0; i < 0x1B; ++i)
            ASSERT_EQ(d88[i], 0) << i;
        DiskImage again;
        ASSERT_EQ(again.Load(d88.data(), d88.size(), 0), 0);
        auto padded = want;
        padded.resize(static_cast<std::size_t>(c.cylinders) * kCylinderBytes, 0x00);
        EXPECT_EQ(ImageBytes(again), padded);
    }
}

TEST(FlatLoad, NotAnImageKeepsPreviousOne) {
    struct Case {
        const char* name;
        std::size_t sourceBytes;
        int totalClusters;
        int shift;
    };
    const Case cases[] = {
        {"shorter than 4096", 4095, 1, 0},
        {"empty", 0, 0, 0},
        {"bitmap names a size of 0", 8192, 0, 1},
        {"bitmap names more than the source", 286719, 0x0460, 0},
        {"largest size the bitmap can name", 300000, 0xFFFF, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> src(std::max<std::size_t>(c.sourceBytes, 1), 0x11);
        if (c.sourceBytes >= 4096) {
            src[0xF04] = static_cast<unsigned char>(c.totalClusters & 0xFF);
            src[0xF05] = static_cast<unsigned char>(c.totalClusters >> 8);
            src[0xFFF] = static_cast<unsigned char>(c.shift);
        }
        DiskImage disk;
        LoadPrevious(disk);
        const Snapshot before(disk);
        EXPECT_EQ(disk.Load(src.data(), c.sourceBytes, 1), 1);
        before.ExpectSame(disk);
    }
}

TEST(D88Load, NotAContainerKeepsPreviousImage) {
    struct Case {
        const char* name;
        std::size_t bytes;
        std::uint32_t diskSize;
    };
    const Case cases[] = {
        {"687 bytes", 687, 687},
        {"empty", 0, 0},
        {"disk size 0", 20000, 0},
        {"disk size 687", 20000, 687},
        // No track yields a sector: a header alone, or a stray file of noise named .d88.
        {"header only", 688, 688},
        {"noise, no track", 5120, 5120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto src = StandardD88(Pattern(8192, 71), 2, 0);
        if (c.bytes == 5120) {
            src = Pattern(5120, 29);
            for (std::uint32_t t = 0; t < 164; ++t)
                Put32(src, 0x20 + 4 * t, 0x10000000 + t); // past the end of the file
        } else if (c.bytes == 688) {
            src = D88Builder().Build();
        }
        Put32(src, 0x1C, c.diskSize);
        src.resize(c.bytes);
        DiskImage disk;
        LoadPrevious(disk);
        const Snapshot before(disk);
        EXPECT_EQ(disk.Load(src.data(), src.size(), 0), 1);
        before.ExpectSame(disk);
        EXPECT_EQ(disk.GetDiskCount(), 2);
        EXPECT_EQ(disk.Load(nullptr, 5000, 0), 1);
        before.ExpectSame(disk);
    }
}

TEST(D88Load, HugeDiskSizeIsCappedAt82Cylinders) {
    const auto s = Pattern(256, 81);
    auto file = D88Builder()
                    .SetDiskSize(0xFFFFFFFF)
                    .AddTrack(0, {SectorRecord(81, 0, 16, s.data())})
                    .Build();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_EQ(disk.GetCylinders(), 82);
    EXPECT_EQ(disk.GetImageSize(), 82u * kCylinderBytes);
    EXPECT_EQ(disk.GetDiskCount(), 1);
    Touch(disk);
    EXPECT_EQ(disk.GetSavedSize(0), 688 + 82 * 8704);
    const auto saved = Saved(disk, 0);
    EXPECT_EQ(U32(saved, 0x20 + 4 * 163), 688u + 163 * 4352);
    DiskImage again;
    ASSERT_EQ(again.Load(saved.data(), saved.size(), 0), 0);
    EXPECT_EQ(ImageBytes(again), ImageBytes(disk));
    const auto image = ImageBytes(disk);
    EXPECT_TRUE(std::equal(s.begin(), s.end(), image.begin() + (82 * 32 - 1) * 256));
}

TEST(D88Load, RecordsRaiseTheCylinderCountUpTo82) {
    const auto s = Pattern(256, 82);
    // The size field says 1 cylinder; a record of cylinder 60 makes 61.
    auto file =
        D88Builder()
            .SetDiskSize(688 + 8704)
            .AddTrack(0, {SectorRecord(60, 1, 1, s.data()), SectorRecord(82, 1, 1, s.data()),
                          SectorRecord(200, 0, 1, s.data())})
            .Build();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_EQ(disk.GetCylinders(), 61);
    EXPECT_EQ(disk.GetLoadReport().recordsNotPlaced, 2);
    // A record of a bad head or sector number does not raise it.
    auto bad =
        D88Builder()
            .SetDiskSize(688 + 8704)
            .AddTrack(0, {SectorRecord(0, 0, 1, s.data()), SectorRecord(50, 2, 1, s.data()),
                          SectorRecord(51, 0, 17, s.data()), SectorRecord(52, 0, 0, s.data())})
            .Build();
    ASSERT_EQ(disk.Load(bad.data(), bad.size(), 0), 0);
    EXPECT_EQ(disk.GetCylinders(), 1);
    EXPECT_EQ(disk.GetLoadReport().recordsNotPlaced, 3);
}

TEST(D88Load, TrackOffsetsOutsideTheFile) {
    const auto s = Pattern(256, 91);
    // The bad entry after the real track and before it: the real one is read either way.
    for (int badEntry : {1, 0}) {
        auto base = D88Builder()
                        .SetDiskSize(688 + 8704)
                        .AddTrack(1 - badEntry, {SectorRecord(0, 0, 1, s.data())});
        const std::size_t len = base.Build().size();
        for (std::uint32_t offset : {0xFFFFFFFFu, 0x7FFFFFFFu, static_cast<std::uint32_t>(len),
                                     static_cast<std::uint32_t>(len - 8), 0x10u}) {
            SCOPED_TRACE(testing::Message() << "entry " << badEntry << " offset " << offset);
            auto b = base;
            auto file = b.SetTrackEntry(badEntry, offset).Build();
            DiskImage disk;
            ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
            EXPECT_EQ(disk.GetCylinders(), 1);
            const auto image = ImageBytes(disk);
            EXPECT_TRUE(std::equal(s.begin(), s.end(), image.begin() + 0x1000));
            EXPECT_EQ(disk.GetLoadReport().sectorsMissing, 31);
        }
    }
}

TEST(D88Load, RecordRunningPastTheEndEndsTheWalk) {
    const auto s = Pattern(256, 101);
    auto file = D88Builder()
                    .AddTrack(0, {SectorRecord(0, 0, 1, s.data()), SectorRecord(0, 0, 2, s.data())})
                    .Build();
    for (std::size_t cut : {std::size_t{1}, std::size_t{200}, std::size_t{256}, std::size_t{260}}) {
        SCOPED_TRACE(cut);
        std::vector<unsigned char> part(file.begin(), file.end() - static_cast<long>(cut));
        DiskImage disk;
        ASSERT_EQ(disk.Load(part.data(), part.size(), 0), 0);
        const auto image = ImageBytes(disk);
        EXPECT_TRUE(std::equal(s.begin(), s.end(), image.begin() + 0x1000));
        EXPECT_TRUE(std::all_of(image.begin() + 0x1100, image.begin() + 0x1200,
                                [](unsigned char b) { return b == 0; }));
        // A header that is there but whose data is not is a record not placed.
        EXPECT_EQ(disk.GetLoadReport().recordsNotPlaced, cut <= 256 ? 1 : 0);
    }
}

TEST(D88Load, TruncatedFileKeepsItsLastTrack) {
    const auto flat = RandomFlat(40, 111, 0x0500, 0);
    auto file = StandardD88(flat, 40, 0);
    file.resize(688 + 39 * 8704 + 4352); // cylinder 39 holds only its head-0 track
    for (bool fieldFollowsLength : {true, false}) {
        SCOPED_TRACE(fieldFollowsLength);
        auto f = file;
        if (fieldFollowsLength)
            Put32(f, 0x1C, static_cast<std::uint32_t>(f.size()));
        DiskImage disk;
        ASSERT_EQ(disk.Load(f.data(), f.size(), 0), 0);
        EXPECT_EQ(disk.GetCylinders(), 40);
        const auto image = ImageBytes(disk);
        const std::size_t head1 = 39 * 8192, head0 = head1 + 4096;
        EXPECT_TRUE(std::equal(flat.begin(), flat.begin() + head1, image.begin()));
        EXPECT_TRUE(std::equal(flat.begin() + head0, flat.end(), image.begin() + head0));
        EXPECT_TRUE(std::all_of(image.begin() + head1, image.begin() + head0,
                                [](unsigned char b) { return b == 0; }));
        EXPECT_EQ(disk.GetLoadReport().sectorsMissing, 16);
        EXPECT_EQ(disk.GetLoadReport().recordsNotPlaced, 0);
    }
}

TEST(D88Load, SecondDiskSurvivesSave) {
    const auto flatA = RandomFlat(35, 121, 0x0460, 0);
    const auto flatB = RandomFlat(40, 122, 0x0500, 0);
    const auto diskA = StandardD88(flatA, 35, 0x00);
    auto diskB = StandardD88(flatB, 40, 0x10);
    std::copy_n("SECOND", 6, diskB.begin());
    diskB.push_back(0x42); // a stray byte after the second disk is kept too
    std::vector<unsigned char> file = diskA;
    file.insert(file.end(), diskB.begin(), diskB.end());

    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_EQ(disk.GetCylinders(), 35);
    EXPECT_EQ(ImageBytes(disk), flatA);
    const LoadReport& rep = disk.GetLoadReport();
    // The second disk is read as the first one; the stray byte after it is kept as a damaged
    // third one.
    ASSERT_EQ(disk.GetDiskCount(), 3);
    EXPECT_EQ(disk.GetDiskSummary(1).name, "SECOND");
    EXPECT_EQ(disk.GetDiskSummary(1).mediaType, 0x10);
    EXPECT_TRUE(disk.GetDiskSummary(2).damaged);
    // Written back byte for byte: nothing is normalised, nothing lost.
    EXPECT_TRUE(rep.Empty());
    EXPECT_FALSE(rep.SaveLosesData());
    EXPECT_EQ(disk.GetSavedSize(0), static_cast<int>(file.size()));
    EXPECT_EQ(Saved(disk, 0), file);
    EXPECT_EQ(disk.GetSavedSize(1), 286720); // the flat form is the first disk only

    // Changing the first disk changes nothing of the second.
    disk.MarkUsed(0, 256);
    const auto saved = Saved(disk, 0);
    ASSERT_EQ(saved.size(), file.size());
    EXPECT_NE(saved, file);
    EXPECT_TRUE(
        std::equal(diskB.begin(), diskB.end(), saved.begin() + static_cast<long>(diskA.size())));
}

TEST(D88Load, NameAndWriteProtectAreKept) {
    auto file = StandardD88(RandomFlat(2, 131, 64, 0), 2, 0x20);
    const unsigned char name[17] = {'M', 'Y', 0x83, 0x66, 'D', 'I', 'S', 'K', 1,
                                    2,   3,   4,    5,    6,   7,   8,   9};
    std::copy_n(name, 17, file.begin());
    file[0x1A] = 0x10;
    for (int i = 0x11; i < 0x1A; ++i)
        file[i] = 0x77; // reserved: kept too, as some tools put longer names there
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_TRUE(disk.GetLoadReport().Empty());
    const auto saved = Saved(disk, 0);
    EXPECT_TRUE(std::equal(name, name + 17, saved.begin()));
    EXPECT_EQ(saved[0x1A], 0x10);
    EXPECT_EQ(saved[0x1B], 0x20);
    for (int i = 0x11; i < 0x1A; ++i)
        EXPECT_EQ(saved[i], 0x77) << i;
    // A new disk forgets them.
    disk.Format(1);
    const auto fresh = Saved(disk, 0);
    EXPECT_TRUE(
        std::all_of(fresh.begin(), fresh.begin() + 0x1B, [](unsigned char b) { return b == 0; }));
}

TEST(D88Load, HeaderOf672Bytes) {
    const auto flat = RandomFlat(2, 141, 64, 0);
    // Two cylinders after a 160-entry table; the size field is the file length, which alone
    // would give one cylinder.
    D88Builder builder;
    builder.SetHeaderBytes(0x2A0);
    unsigned char sector[256];
    for (int t = 0; t < 4; ++t) {
        std::vector<D88Record> recs;
        const int cyl = t / 2, head = t % 2;
        for (int r = 1; r <= 16; ++r) {
            std::copy_n(flat.begin() + LogicalSector(cyl, head, r) * 256, 256, sector);
            recs.push_back(SectorRecord(cyl, head, r, sector));
        }
        builder.AddTrack(t, std::move(recs));
    }
    auto file = builder.Build();
    ASSERT_EQ(U32(file, 0x20), 0x2A0u);
    // Entry 161 would be read from the first record's count field (16), pointing into the
    // name; make that look like a record so a reader that takes it would overwrite sector 16.
    const unsigned char fake[6] = {0, 0, 1, 1, 1, 0};
    std::copy_n(fake, 6, file.begin() + 16);
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_EQ(disk.GetCylinders(), 2);
    EXPECT_EQ(ImageBytes(disk), flat);
    EXPECT_TRUE(disk.GetLoadReport().Empty());
}

TEST(D88Load, ReportCases) {
    const auto s = Pattern(256, 151);
    struct Case {
        const char* name;
        std::vector<unsigned char> file;
        LoadReport want;
        bool normalised; // a save writes another file
        bool loses;      // ... and drops sector data of it
    };
    std::vector<D88Record> mixed = {
        SectorRecord(0, 0, 1, s.data(), 0), SectorRecord(0, 0, 2, s.data(), 3),
        SectorRecord(0, 0, 17, s.data()), SectorRecord(0, 3, 1, s.data()),
        SectorRecord(0, 0, 3, s.data())};
    auto standard = StandardD88(RandomFlat(3, 152, 96, 0), 3, 0);
    auto twoDisks = standard;
    twoDisks.insert(twoDisks.end(), 100, 0x00);
    std::vector<D88Record> seventeen; // a 17th record repeating R = 1
    for (int r = 1; r <= 17; ++r)
        seventeen.push_back(SectorRecord(0, 0, r == 17 ? 1 : r, s.data()));
    std::vector<Case> cases;
    cases.push_back({"standard", standard, {}, false, false});
    cases.push_back(
        {"mixed",
         D88Builder().AddTrack(0, mixed).Build(),
         {.recordsNotPlaced = 2, .recordsOddLength = 2, .sectorsMissing = 29, .recordsCut = 1},
         true,
         true});
    cases.push_back({"trailing", twoDisks, {}, false, false});
    D88Record dense = SectorRecord(0, 1, 1, s.data());
    dense.density = 0x40;
    cases.push_back({"density",
                     D88Builder().AddTrack(1, {dense}).Build(),
                     {.sectorsMissing = 31, .recordsFlagged = 1},
                     true,
                     false});
    D88Record deleted = SectorRecord(0, 1, 1, s.data());
    deleted.deletedMark = 0x10;
    cases.push_back({"deleted mark",
                     D88Builder().AddTrack(1, {deleted}).Build(),
                     {.sectorsMissing = 31, .recordsFlagged = 1},
                     true,
                     false});
    D88Record crcError = SectorRecord(0, 1, 1, s.data());
    crcError.status = 0xB0;
    cases.push_back({"status",
                     D88Builder().AddTrack(1, {crcError}).Build(),
                     {.sectorsMissing = 31, .recordsFlagged = 1},
                     true,
                     false});
    cases.push_back({"duplicate R",
                     D88Builder().AddTrack(0, seventeen).Build(),
                     {.sectorsMissing = 16, .recordsDuplicate = 1},
                     true,
                     true});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        LoadPrevious(disk); // a report from an earlier load does not carry over
        ASSERT_EQ(disk.Load(c.file.data(), c.file.size(), 0), 0);
        const LoadReport& r = disk.GetLoadReport();
        EXPECT_EQ(r.recordsNotPlaced, c.want.recordsNotPlaced);
        EXPECT_EQ(r.recordsOddLength, c.want.recordsOddLength);
        EXPECT_EQ(r.sectorsMissing, c.want.sectorsMissing);
        EXPECT_EQ(r.recordsFlagged, c.want.recordsFlagged);
        EXPECT_EQ(r.recordsDuplicate, c.want.recordsDuplicate);
        EXPECT_EQ(r.recordsCut, c.want.recordsCut);
        EXPECT_EQ(r.Empty(), !c.normalised);
        EXPECT_EQ(r.SaveLosesData(), c.loses);
    }
}

TEST(D88Save, FlatFormClampedToImage) {
    struct Case {
        const char* name;
        int totalClusters;
        int shift;
        int want;
    };
    // The image holds 3 cylinders (24,576 bytes).
    const Case cases[] = {{"within", 64, 0, 16384},
                          {"exactly", 96, 0, 24576},
                          {"bitmap names more", 0x0500, 1, 24576},
                          {"bitmap names nothing", 0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto flat = RandomFlat(3, 161, c.totalClusters, c.shift);
        const auto file = StandardD88(flat, 3, 0);
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        ASSERT_EQ(disk.GetSavedSize(1), c.want);
        const auto saved = Saved(disk, 1);
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), flat.begin()));
    }
}

TEST(D88Save, SaveToStopsWhenTheSinkFails) {
    const auto flat = RandomFlat(80, 171, 0x0500, 1);
    const auto file = StandardD88(flat, 80, 0x10);
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    std::vector<std::size_t> pieces;
    // The header, then pieces of a few cylinders: no buffer of the whole file.
    EXPECT_TRUE(disk.SaveTo(0, [&](const unsigned char*, std::size_t bytes) {
        pieces.push_back(bytes);
        return true;
    }));
    ASSERT_GT(pieces.size(), 2u);
    EXPECT_LT(*std::max_element(pieces.begin(), pieces.end()), file.size() / 4);
    int calls = 0;
    EXPECT_FALSE(disk.SaveTo(0, [&](const unsigned char*, std::size_t) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(DiskImage().SaveTo(0, [](const unsigned char*, std::size_t) { return true; }));
}

TEST(D88Save, NoImageSavesNothing) {
    DiskImage disk;
    EXPECT_EQ(disk.GetSavedSize(0), 0);
    EXPECT_EQ(disk.GetSavedSize(1), 0);
    unsigned char byte = 0x5A;
    EXPECT_EQ(disk.Save(&byte, 0), 0);
    EXPECT_EQ(byte, 0x5A);
}

std::vector<unsigned char> ReadTestImage(const char* rel) {
    auto bytes = testutil::ReadFileBytes(testutil::TestDataPath(rel));
    EXPECT_FALSE(bytes.empty()) << rel;
    return bytes;
}

TEST(D88RealImages, Ipls2ddSavesBackByteForByte) {
    DARVEX_REQUIRE_TESTDATA();
    const auto file = ReadTestImage("ipls/ipls-2dd.d88");
    ASSERT_EQ(file.size(), 697008u);
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_TRUE(disk.IsMzFileSystem());
    EXPECT_EQ(disk.GetCylinders(), 80);
    EXPECT_EQ(disk.GetMediaType(), 0x10);
    EXPECT_EQ(disk.GetTotalBytes(), 655360);
    EXPECT_EQ(disk.GetClusterBytes(), 512);
    EXPECT_TRUE(disk.GetLoadReport().Empty());
    const auto image = ImageBytes(disk);
    EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 7), "IPLPRO");
    EXPECT_EQ(Saved(disk, 0), file);
}

TEST(D88RealImages, Ipls2dSavedAsReadUntilItChanges) {
    DARVEX_REQUIRE_TESTDATA();
    const auto file = ReadTestImage("ipls/ipls-2d.d88");
    ASSERT_EQ(file.size(), 305328u);
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_TRUE(disk.IsMzFileSystem());
    EXPECT_EQ(disk.GetCylinders(), 35);
    EXPECT_EQ(disk.GetMediaType(), 0x00);
    EXPECT_EQ(disk.GetTotalBytes(), 286720);
    // Every record carries density 0x40, which a save of the changed disk clears: the report
    // says so. Unchanged, the disk is written back as it was read.
    EXPECT_EQ(disk.GetLoadReport().recordsFlagged, 35 * 32);
    EXPECT_FALSE(disk.GetLoadReport().Empty());
    EXPECT_EQ(Saved(disk, 0), file);
    Touch(disk);
    const auto image = ImageBytes(disk);
    EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 7), "IPLPRO");
    const auto saved = Saved(disk, 0);
    ASSERT_EQ(saved.size(), file.size());
    EXPECT_NE(saved, file);
    EXPECT_EQ(file[688 + 6], 0x40);
    EXPECT_EQ(saved[688 + 6], 0x00);
    DiskImage again;
    ASSERT_EQ(again.Load(saved.data(), saved.size(), 0), 0);
    EXPECT_EQ(ImageBytes(again), image);
}

TEST(D88RealImages, X1DiskIsAContainerButNotMz) {
    DARVEX_REQUIRE_TESTDATA();
    const auto file = ReadTestImage("x1/x1-hubasic-2d.d88");
    ASSERT_EQ(file.size(), 348848u);
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    EXPECT_EQ(disk.GetCylinders(), 40);
    EXPECT_EQ(disk.GetImageSize(), 327680u);
    EXPECT_FALSE(disk.IsMzFileSystem());
    const auto saved = Saved(disk, 0);
    ASSERT_EQ(saved.size(), file.size());
    // Its 18-byte name runs into the reserved bytes; all of them are kept with the name.
    ASSERT_NE(file[17], 0);
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + 0x1B, saved.begin()));
    DiskImage again;
    ASSERT_EQ(again.Load(saved.data(), saved.size(), 0), 0);
    EXPECT_EQ(ImageBytes(again), ImageBytes(disk));
}

} // namespace

namespace {

TEST(D88LoadSizeField, AnImpossibleSizeIsNotBelieved) {
    DiskImage formatted;
    formatted.Format(2); // 35 cylinders
    const std::vector<unsigned char> flat(formatted.Image().data(),
                                          formatted.Image().data() + formatted.GetImageSize());
    struct Case {
        const char* label;
        std::uint32_t sizeField;
        std::size_t cutTo; // 0: the whole file
        int cylinders;
        bool disagrees;
    };
    const std::size_t whole = 688 + 35 * 8704; // 305,328 bytes
    const Case kCases[] = {
        {"true size", static_cast<std::uint32_t>(whole), 0, 35, false},
        {"0xFFFFFFFF", 0xFFFFFFFFu, 0, 35, true},
        {"just over the largest disk", 688 + 82 * 8704 + 1, 0, 35, true},
        {"the largest disk", 688 + 82 * 8704, 0, 82, true},
        {"file cut short keeps its geometry", static_cast<std::uint32_t>(whole), whole - 8704, 35,
         true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        std::vector<unsigned char> file = testutil::StandardD88(flat, 35, 0x00);
        if (c.cutTo)
            file.resize(c.cutTo);
        for (int i = 0; i < 4; ++i)
            file[0x1C + i] = static_cast<unsigned char>(c.sizeField >> (8 * i));
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        EXPECT_EQ(disk.GetCylinders(), c.cylinders);
        EXPECT_EQ(disk.GetLoadReport().sizeFieldDisagrees, c.disagrees);
        EXPECT_EQ(disk.GetDiskCount(), 1);
    }
}

TEST(D88LoadSizeField, UnknownMediaBytesAreReported) {
    DiskImage formatted;
    formatted.Format(1);
    const std::vector<unsigned char> flat(formatted.Image().data(),
                                          formatted.Image().data() + formatted.GetImageSize());
    for (int media : {0x00, 0x10, 0x20, 0x30, 0x40, 0x01, 0x50, 0xFF}) {
        const auto file = testutil::StandardD88(flat, 40, static_cast<std::uint8_t>(media));
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        const bool known = media % 0x10 == 0 && media <= 0x40;
        EXPECT_EQ(disk.GetLoadReport().mediaUnknown, !known) << media;
        EXPECT_EQ(disk.GetMediaType(), media); // kept for the save all the same
    }
}

} // namespace
