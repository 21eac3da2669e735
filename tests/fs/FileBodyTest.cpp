#include <gtest/gtest.h>

#include <vector>

#include "fs/FileBody.h"
#include "support/TestDisk.h"

using testdisk::FlatDisk;
using testdisk::MakeEntry;

namespace {

constexpr int kType0Sectors = 2560; // 2DD, 512-byte clusters
constexpr int kType1Sectors = 1280; // 2D, 256-byte clusters

struct Expected {
    std::vector<BodyPiece> pieces;
    BodyStatus status;
};

void ExpectBody(const FileBody& body, const Expected& want) {
    ASSERT_EQ(body.pieces.size(), want.pieces.size());
    std::size_t total = 0;
    for (std::size_t i = 0; i < want.pieces.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(body.pieces[i].sector, want.pieces[i].sector);
        EXPECT_EQ(body.pieces[i].bytes, want.pieces[i].bytes);
        total += static_cast<std::size_t>(want.pieces[i].bytes);
    }
    EXPECT_EQ(body.status, want.status);
    EXPECT_EQ(body.bytes, total);
}

FileBody Walk(const FlatDisk& flat, const DirEntry& entry) {
    DiskImage disk;
    flat.LoadInto(disk);
    return WalkFileBody(disk, entry.Bytes().data());
}

} // namespace

TEST(FileBodyContiguous, Cases) {
    struct Case {
        const char* name;
        std::uint8_t mode;
        std::uint16_t size;
        std::uint16_t start;
        Expected want;
    };
    const Case cases[] = {
        {"OBJ in one piece", 0x01, 1000, 48, {{{48, 1000}}, BodyStatus::Complete}},
        {"size 0 reads nothing", 0x01, 0, 48, {{}, BodyStatus::Complete}},
        {"size 0 outside the image", 0x02, 0, 60000, {{}, BodyStatus::Complete}},
        {"unknown mode is contiguous", 0x06, 300, 100, {{{100, 300}}, BodyStatus::Complete}},
        {"free entry is walked as contiguous", 0x00, 10, 50, {{{50, 10}}, BodyStatus::Complete}},
        {"cut at the image end",
         0x01,
         1000,
         kType1Sectors - 2,
         {{{kType1Sectors - 2, 512}}, BodyStatus::LeftImage}},
        {"last byte of the image",
         0x01,
         256,
         kType1Sectors - 1,
         {{{kType1Sectors - 1, 256}}, BodyStatus::Complete}},
        {"start outside the image", 0x01, 10, kType1Sectors, {{}, BodyStatus::LeftImage}},
    };
    FlatDisk flat(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectBody(Walk(flat, MakeEntry({.mode = c.mode,
                                         .name = "F",
                                         .size = static_cast<std::uint16_t>(c.size),
                                         .start = static_cast<std::uint16_t>(c.start)})),
                   c.want);
    }
}

TEST(FileBodyChain, Cases) {
    struct Link {
        int sector;
        std::uint16_t next;
    };
    struct Case {
        const char* name;
        std::uint16_t size;
        std::uint16_t start;
        std::vector<Link> links;
        Expected want;
    };
    const Case cases[] = {
        {"254 bytes: one sector, link ignored",
         254,
         48,
         {{48, 0xFFFF}},
         {{{48, 254}}, BodyStatus::Complete}},
        {"255 bytes follow the link",
         255,
         48,
         {{48, 49}},
         {{{48, 254}, {49, 1}}, BodyStatus::Complete}},
        {"16-bit link 40h 01h is sector 320",
         300,
         48,
         {{48, 0x0140}},
         {{{48, 254}, {320, 46}}, BodyStatus::Complete}},
        {"508 bytes: two full sectors",
         508,
         60,
         {{60, 61}, {61, 0xFFFF}},
         {{{60, 254}, {61, 254}}, BodyStatus::Complete}},
        {"link 0 ends the chain early",
         600,
         48,
         {{48, 49}, {49, 0}},
         {{{48, 254}, {49, 254}}, BodyStatus::EndedEarly}},
        {"start sector 0", 10, 0, {}, {{}, BodyStatus::EndedEarly}},
        {"size 0", 0, 48, {}, {{}, BodyStatus::Complete}},
        {"link outside the image",
         600,
         48,
         {{48, kType1Sectors}},
         {{{48, 254}}, BodyStatus::LeftImage}},
        {"start outside the image", 10, 0xFFFF, {}, {{}, BodyStatus::LeftImage}},
        {"loop back to itself", 60000, 48, {{48, 48}}, {{{48, 254}}, BodyStatus::ChainLoop}},
        {"loop over two sectors",
         60000,
         48,
         {{48, 49}, {49, 48}},
         {{{48, 254}, {49, 254}}, BodyStatus::ChainLoop}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(1);
        for (const Link& l : c.links)
            flat.PutLink(l.sector, l.next);
        ExpectBody(Walk(flat, MakeEntry({.mode = 0x03,
                                         .name = "B",
                                         .size = static_cast<std::uint16_t>(c.size),
                                         .start = static_cast<std::uint16_t>(c.start)})),
                   c.want);
    }
}

TEST(FileBodyIndex, Cases) {
    struct Case {
        const char* name;
        std::uint16_t size; // 32-byte records
        std::uint16_t start;
        std::vector<std::uint16_t> slots;
        Expected want;
    };
    const Case cases[] = {
        {"size 128: one whole block", 128, 48, {100, 200}, {{{100, 4096}}, BodyStatus::Complete}},
        {"size 129: a block and 32 bytes",
         129,
         48,
         {100, 200},
         {{{100, 4096}, {200, 32}}, BodyStatus::Complete}},
        {"size 1: 32 bytes", 1, 48, {100}, {{{100, 32}}, BodyStatus::Complete}},
        {"size 0", 0, 48, {100}, {{}, BodyStatus::Complete}},
        {"first slot 0", 128, 48, {}, {{}, BodyStatus::EndedEarly}},
        {"index ends before the size",
         384,
         48,
         {100, 200},
         {{{100, 4096}, {200, 4096}}, BodyStatus::EndedEarly}},
        {"slot outside the image",
         256,
         48,
         {100, kType1Sectors},
         {{{100, 4096}}, BodyStatus::LeftImage}},
        {"block cut at the image end",
         128,
         48,
         {kType1Sectors - 4},
         {{{kType1Sectors - 4, 1024}}, BodyStatus::LeftImage}},
        {"index sector outside the image", 128, kType1Sectors, {}, {{}, BodyStatus::LeftImage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(1);
        flat.FillSector(c.start < kType1Sectors ? c.start : 0, 0x00);
        for (std::size_t i = 0; i < c.slots.size(); ++i)
            flat.PutWord(static_cast<std::size_t>(c.start) * kSectorBytes + 2 * i, c.slots[i]);
        ExpectBody(Walk(flat, MakeEntry({.mode = 0x04,
                                         .name = "R",
                                         .size = static_cast<std::uint16_t>(c.size),
                                         .start = static_cast<std::uint16_t>(c.start)})),
                   c.want);
    }
}

TEST(FileBodyIndex, NeverReadsPastTheIndexSector) {
    FlatDisk flat(1);
    // 128 slots all pointing at block 100, and a further non-zero word in the next sector.
    for (int i = 0; i < kIndexSlots; ++i)
        flat.PutWord(static_cast<std::size_t>(48) * kSectorBytes + 2 * i, 100);
    flat.PutWord(static_cast<std::size_t>(49) * kSectorBytes, 300);
    const FileBody body =
        Walk(flat, MakeEntry({.mode = 0x04, .name = "R", .size = 0xFFFF, .start = 48}));
    ASSERT_EQ(body.pieces.size(), 128u);
    for (const BodyPiece& p : body.pieces) {
        EXPECT_EQ(p.sector, 100);
        EXPECT_EQ(p.bytes, 4096);
    }
    EXPECT_EQ(body.status, BodyStatus::EndedEarly);
    EXPECT_EQ(body.bytes, 524288u);
}

TEST(FileBodyChain, LongChainIsBoundedBySize) {
    FlatDisk flat(1);
    // A chain through every sector of the data area; the size asks for 259 sectors.
    for (int s = 48; s < kType1Sectors - 1; ++s)
        flat.PutLink(s, static_cast<std::uint16_t>(s + 1));
    const FileBody body =
        Walk(flat, MakeEntry({.mode = 0x03, .name = "B", .size = 65535, .start = 48}));
    EXPECT_EQ(body.status, BodyStatus::Complete);
    ASSERT_EQ(body.pieces.size(), 259u);
    EXPECT_EQ(body.pieces.back().sector, 48 + 258);
    EXPECT_EQ(body.pieces.back().bytes, 65535 - 258 * 254);
    EXPECT_EQ(body.bytes, 65535u);
}

TEST(FileBodyWalk, NoImage) {
    DiskImage disk;
    const DirEntry entries[] = {MakeEntry({.mode = 0x01, .name = "A", .size = 10, .start = 48}),
                                MakeEntry({.mode = 0x03, .name = "B", .size = 10, .start = 48}),
                                MakeEntry({.mode = 0x04, .name = "C", .size = 10, .start = 48})};
    for (const DirEntry& e : entries) {
        const FileBody body = WalkFileBody(disk, e.Bytes().data());
        EXPECT_TRUE(body.pieces.empty());
        EXPECT_EQ(body.status, BodyStatus::LeftImage);
    }
}

TEST(FileBodyClusters, Contiguous) {
    struct Case {
        const char* name;
        int diskType;
        std::uint16_t size;
        std::uint16_t start;
        std::vector<int> want;
    };
    const Case cases[] = {
        {"300 bytes on 256-byte clusters", 1, 300, 48, {0, 1}},
        {"256 bytes", 1, 256, 50, {2}},
        {"size 0", 1, 0, 48, {}},
        {"1024 bytes at sector 100 on 512-byte clusters", 0, 1024, 100, {26, 27}},
        {"start below the data area", 1, 256, 40, {-8}},
        {"odd start sector on 512-byte clusters", 0, 513, 49, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(c.diskType);
        DiskImage disk;
        flat.LoadInto(disk);
        EXPECT_EQ(BodyClusters(disk, MakeEntry({.mode = 0x01,
                                                .name = "A",
                                                .size = static_cast<std::uint16_t>(c.size),
                                                .start = static_cast<std::uint16_t>(c.start)})
                                         .Bytes()
                                         .data()),
                  c.want);
    }
}

TEST(FileBodyClusters, Chain) {
    // 600 bytes: three sectors 48 -> 49 -> 60 on 512-byte clusters (sector 60 is cluster 6).
    FlatDisk flat(0);
    flat.PutLink(48, 49);
    flat.PutLink(49, 60);
    DiskImage disk;
    flat.LoadInto(disk);
    EXPECT_EQ(
        BodyClusters(
            disk, MakeEntry({.mode = 0x03, .name = "B", .size = 600, .start = 48}).Bytes().data()),
        (std::vector<int>{0, 6}));
    // Only as many sectors as the size needs: the second link is never followed for 508 bytes.
    EXPECT_EQ(
        BodyClusters(
            disk, MakeEntry({.mode = 0x03, .name = "B", .size = 508, .start = 48}).Bytes().data()),
        (std::vector<int>{0}));
    EXPECT_TRUE(
        BodyClusters(disk, MakeEntry({.mode = 0x03, .name = "B", .start = 48}).Bytes().data())
            .empty());
    EXPECT_TRUE(
        BodyClusters(disk, MakeEntry({.mode = 0x03, .name = "B", .size = 100}).Bytes().data())
            .empty());
}

TEST(FileBodyClusters, Index) {
    struct Case {
        const char* name;
        int diskType;
        std::uint16_t size;
        std::vector<std::uint16_t> slots;
        std::vector<int> want;
    };
    auto range = [](int first, int count) {
        std::vector<int> v;
        for (int i = 0; i < count; ++i)
            v.push_back(first + i);
        return v;
    };
    std::vector<int> twoBlocks1 = range(0, 1);
    for (int k : range(1, 16))
        twoBlocks1.push_back(k);
    for (int k : range(40, 16))
        twoBlocks1.push_back(k);
    std::vector<int> oneBlock0 = {0};
    for (int k : range(1, 8))
        oneBlock0.push_back(k);
    const Case cases[] = {
        {"size 0: the index cluster alone", 1, 0, {49}, {0}},
        {"two blocks on 256-byte clusters", 1, 129, {49, 88}, twoBlocks1},
        {"one block on 512-byte clusters", 0, 128, {50, 200}, oneBlock0},
        {"index ends early", 1, 256, {49}, range(0, 17)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(c.diskType);
        flat.FillSector(48, 0x00);
        for (std::size_t i = 0; i < c.slots.size(); ++i)
            flat.PutWord(48u * kSectorBytes + 2 * i, c.slots[i]);
        DiskImage disk;
        flat.LoadInto(disk);
        EXPECT_EQ(BodyClusters(disk, MakeEntry({.mode = 0x04,
                                                .name = "R",
                                                .size = static_cast<std::uint16_t>(c.size),
                                                .start = 48})
                                         .Bytes()
                                         .data()),
                  c.want);
    }
}
