#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TestUtil.h"
#include "image/DiskSet.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

namespace {

using Bytes = std::vector<unsigned char>;
using testutil::D88Builder;
using testutil::SectorRecord;

// A disk as this program writes it: the encoder gives back the very same bytes.
Bytes Standard(int cylinders, unsigned seed) {
    return testutil::StandardD88(testdisk::Pattern(cylinders * kCylinderBytes, seed), cylinders,
                                 0x00);
}

// A disk as other tools write it: one track, every record with density 0x40, which the
// encoder would clear.
Bytes Foreign(unsigned seed, std::string_view name = {}) {
    const Bytes data = testdisk::Pattern(kSectorBytes, seed);
    std::vector<testutil::D88Record> records;
    for (int rec = 1; rec <= kSectorsPerTrack; ++rec) {
        records.push_back(SectorRecord(0, 1, rec, data.data()));
        records.back().density = 0x40;
    }
    return D88Builder().SetName(name).AddTrack(1, records).Build();
}

void PutSizeField(Bytes& disk, std::uint32_t size) {
    MutableByteView(disk.data(), disk.size()).setU32le(0x1C, size);
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes file;
    for (const Bytes& part : parts)
        file.insert(file.end(), part.begin(), part.end());
    return file;
}

Bytes Encoded(const DiskSet& set) {
    Bytes out;
    EXPECT_TRUE(set.EncodeD88([&](const unsigned char* data, std::size_t bytes) {
        out.insert(out.end(), data, data + bytes);
        return true;
    }));
    EXPECT_EQ(out.size(), set.D88Size());
    return out;
}

Bytes Region(const Bytes& file, std::size_t at, std::size_t bytes) {
    return {file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + bytes)};
}

TEST(DiskSet, SplitsAFileIntoItsDisksAndWritesItBackAsRead) {
    const Bytes a = Standard(2, 1), b = Foreign(2);
    Bytes unbelievable = Standard(1, 3);
    PutSizeField(unbelievable, 0xFFFFFFFF);
    Bytes tooSmall = Standard(1, 4);
    PutSizeField(tooSmall, 100);
    struct Case {
        const char* name;
        Bytes file;
        std::vector<bool> damaged; // one per disk
    };
    const Case kCases[] = {
        {"one disk", a, {false}},
        {"two disks", Joined({a, b}), {false, false}},
        {"a third that is no disk", Joined({a, b, Bytes(1000, 0x11)}), {false, false, true}},
        {"a stray byte", Joined({b, Bytes{0x42}}), {false, true}},
        // Its own records are read; the bytes after them stay part of it.
        {"a size field larger than any disk runs to the end",
         Joined({a, unbelievable, b}),
         {false, false}},
        {"a size field smaller than a header", Joined({a, tooSmall, b}), {false, true}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        DiskSet set;
        ASSERT_EQ(set.Load(ByteView(c.file.data(), c.file.size()), false), LoadResult::Ok);
        ASSERT_EQ(set.Count(), static_cast<int>(c.damaged.size()));
        for (int i = 0; i < set.Count(); ++i) {
            EXPECT_EQ(set.Disk(i).IsDamaged(), c.damaged[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(set.Disk(i).HasImage(), !c.damaged[static_cast<std::size_t>(i)]) << i;
        }
        EXPECT_EQ(Encoded(set), c.file);
    }
    // A file whose first disk does not decode is no D88 file, whatever follows it.
    DiskSet set;
    const Bytes noFirst = Joined({Bytes(1000, 0x11), a});
    EXPECT_EQ(set.Load(ByteView(noFirst.data(), noFirst.size()), false), LoadResult::NotAContainer);
    EXPECT_EQ(set.Count(), 0);
}

TEST(DiskSet, OnlyAChangedDiskIsEncodedAgain) {
    const Bytes one = Foreign(11), two = Foreign(12), three = Foreign(13);
    const Bytes file = Joined({one, two, three});
    DiskSet set;
    ASSERT_EQ(set.Load(ByteView(file.data(), file.size()), false), LoadResult::Ok);
    ASSERT_EQ(set.Count(), 3);
    MutableByteView second = set.Disk(1).MutableBytes();
    second.setU8(100, static_cast<std::uint8_t>(second.u8(100) ^ 0xFF));

    const Bytes saved = Encoded(set);
    EXPECT_EQ(Region(saved, 0, one.size()), one);
    const std::size_t secondBytes = saved.size() - one.size() - three.size();
    EXPECT_EQ(Region(saved, saved.size() - three.size(), three.size()), three);
    // The changed disk is normalised: the density of its records is cleared.
    EXPECT_EQ(secondBytes, FlatImage::kD88HeaderBytes + 2 * kSectorsPerTrack * (16 + 256));
    EXPECT_EQ(saved[one.size() + FlatImage::kD88HeaderBytes + 6], 0x00);
    DiskSet again;
    ASSERT_EQ(again.Load(ByteView(saved.data(), saved.size()), false), LoadResult::Ok);
    ASSERT_EQ(again.Count(), 3);
    EXPECT_TRUE(
        std::equal(second.data(), second.data() + second.size(), again.Disk(1).Bytes().data()));

    // Changed back, the disk is written as it was read again.
    second.setU8(100, static_cast<std::uint8_t>(second.u8(100) ^ 0xFF));
    EXPECT_EQ(Encoded(set), file);
}

TEST(DiskSet, HeaderChangesKeepTheRecordsAsRead) {
    const Bytes first = Foreign(21, "OLD NAME LONGER");
    const Bytes file = Joined({first, Standard(1, 22)});
    DiskSet set;
    ASSERT_EQ(set.Load(ByteView(file.data(), file.size()), false), LoadResult::Ok);
    EXPECT_EQ(set.Disk(0).Name(), "OLD NAME LONGER");
    EXPECT_TRUE(set.Disk(0).SetName("NEW"));
    EXPECT_FALSE(set.Disk(0).SetName("SEVENTEEN BYTES!!")); // the caller cuts
    set.Disk(0).SetWriteProtected(true);
    set.Disk(1).SetWriteProtected(true);

    const Bytes saved = Encoded(set);
    ASSERT_EQ(saved.size(), file.size());
    const Bytes wantName = {'N', 'E', 'W', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Region(saved, 0, 17), wantName);
    // Only the names and the flags differ.
    Bytes want = file;
    std::copy(wantName.begin(), wantName.end(), want.begin());
    want[0x1A] = 0x10;
    want[first.size() + 0x1A] = 0x10;
    EXPECT_EQ(saved, want);
    DiskSet again;
    ASSERT_EQ(again.Load(ByteView(saved.data(), saved.size()), false), LoadResult::Ok);
    EXPECT_EQ(again.Disk(0).Name(), "NEW");
    EXPECT_TRUE(again.Disk(0).IsWriteProtected());
    EXPECT_TRUE(again.Disk(1).IsWriteProtected());
}

TEST(DiskSet, AddAndRemove) {
    const Bytes file = Joined({Standard(1, 31), Foreign(32), Bytes(900, 0x22)});
    struct Case {
        const char* name;
        void (*prepare)(DiskSet&);
        int remove;
        DiskRemoveResult want;
        int countAfter;
    };
    const Case kCases[] = {
        {"the second", [](DiskSet&) {}, 1, DiskRemoveResult::Ok, 2},
        {"the damaged one", [](DiskSet&) {}, 2, DiskRemoveResult::Ok, 2},
        {"no such disk", [](DiskSet&) {}, 3, DiskRemoveResult::NoSuchDisk, 3},
        {"below the first", [](DiskSet&) {}, -1, DiskRemoveResult::NoSuchDisk, 3},
        {"write-protected", [](DiskSet& s) { s.Disk(1).SetWriteProtected(true); }, 1,
         DiskRemoveResult::WriteProtected, 3},
        {"a damaged disk would come first",
         [](DiskSet& s) { ASSERT_EQ(s.Remove(1), DiskRemoveResult::Ok); }, 0,
         DiskRemoveResult::FirstUnreadable, 2},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        DiskSet set;
        ASSERT_EQ(set.Load(ByteView(file.data(), file.size()), false), LoadResult::Ok);
        c.prepare(set);
        EXPECT_EQ(set.Remove(c.remove), c.want);
        EXPECT_EQ(set.Count(), c.countAfter);
    }

    DiskSet set;
    ASSERT_TRUE(set.Format(2));
    EXPECT_EQ(set.Remove(0), DiskRemoveResult::LastDisk);
    EXPECT_EQ(set.Add(4), DiskAddResult::BadType);
    EXPECT_EQ(set.Add(-1), DiskAddResult::BadType);
    for (int n = 1; n < DiskSet::kMaxDisks; ++n)
        ASSERT_EQ(set.Add(n % 4), DiskAddResult::Ok) << n;
    EXPECT_EQ(set.Add(0), DiskAddResult::TooMany);
    EXPECT_EQ(set.Count(), DiskSet::kMaxDisks);
    EXPECT_EQ(set.Disk(DiskSet::kMaxDisks - 1).Cylinders(), 35); // type 63 % 4 = 3
    // Disk 0 and 16 of the others are of type 2; 15 of type 0, 16 each of types 1 and 3.
    EXPECT_EQ(set.D88Size(), 15u * 697008 + 16u * 348848 + 33u * 305328);
}

TEST(DiskSet, TheLastPlaceKeepsWhateverIsLeft) {
    std::vector<Bytes> disks;
    for (int i = 0; i < DiskSet::kMaxDisks + 1; ++i)
        disks.push_back(Foreign(static_cast<unsigned>(100 + i)));
    Bytes file;
    for (const Bytes& d : disks)
        file.insert(file.end(), d.begin(), d.end());
    DiskSet set;
    ASSERT_EQ(set.Load(ByteView(file.data(), file.size()), false), LoadResult::Ok);
    ASSERT_EQ(set.Count(), DiskSet::kMaxDisks);
    EXPECT_FALSE(set.Disk(DiskSet::kMaxDisks - 2).IsDamaged());
    EXPECT_TRUE(set.Disk(DiskSet::kMaxDisks - 1).IsDamaged());
    EXPECT_EQ(set.Disk(DiskSet::kMaxDisks - 1).D88Size(), 2 * disks.back().size());
    EXPECT_EQ(Encoded(set), file);
}

} // namespace
