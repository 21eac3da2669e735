#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/EntryPack.h"
#include "fs/ResultCodes.h"
#include "support/TestDisk.h"

using testdisk::Bytes;
using testdisk::EntryAt;
using testdisk::Pattern;

namespace {

Bytes Encoded(const std::vector<EntryPack::File>& files) {
    return EntryPack::Encode(files);
}

std::optional<std::vector<EntryPack::File>> Decoded(const Bytes& bytes) {
    return EntryPack::Decode(ByteView(bytes.data(), bytes.size()));
}

} // namespace

// Files of every layout leave one disk and arrive on another as they were.
TEST(EntryPack, CarriesFilesFromDiskToDisk) {
    DiskImage from;
    from.Format(1);
    DirEntry chained;
    ASSERT_EQ(testdisk::PutFile(from, "PROG", Pattern(700, 1), 1), 0);
    ASSERT_EQ(testdisk::PutFile(from, "TEXT", Pattern(600, 2), 3, &chained), 0);
    ASSERT_EQ(testdisk::PutFile(from, "DATA", Pattern(70000, 3), 4), 0);
    std::vector<EntryPack::File> files;
    for (const char* name : {"PROG", "TEXT", "DATA"})
        files.push_back(EntryPack::FromDisk(from, testdisk::FindEntry(from, name)));
    ASSERT_EQ(files[1].entry, chained.Bytes());
    ASSERT_EQ(files[1].body, Pattern(600, 2));

    const auto arrived = Decoded(Encoded(files));
    ASSERT_TRUE(arrived.has_value());
    DiskImage to;
    to.Format(0);
    for (const EntryPack::File& f : *arrived)
        ASSERT_EQ(to.StoreEntry(f.entry.data(), f.body.data(), f.body.size()), 0);
    for (const char* name : {"PROG", "TEXT", "DATA"}) {
        SCOPED_TRACE(name);
        const int a = testdisk::FindEntry(from, name), b = testdisk::FindEntry(to, name);
        DirEntry there = EntryAt(to, b);
        there.SetStartSector(EntryAt(from, a).StartSector());
        EXPECT_EQ(there, EntryAt(from, a));
        EXPECT_EQ(EntryPack::FromDisk(to, b).body, EntryPack::FromDisk(from, a).body);
    }
}

TEST(EntryPack, RefusesWhatIsNotOneWholePack) {
    EntryPack::File one;
    one.entry[0] = 0x01;
    one.body = Pattern(10);
    const Bytes good = Encoded({one});
    ASSERT_TRUE(Decoded(good).has_value());
    ASSERT_EQ(Decoded(Encoded({}))->size(), 0u);

    const auto changed = [&](std::size_t at, unsigned char value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    Bytes tooMany = Encoded({});
    tooMany[10] = 65; // 65 files announced, and none follows
    Bytes hugeBody = good;
    hugeBody[12 + 32 + 2] = 0x09; // 0x0009000A bytes: more than the longest file
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"nothing", {}},
        {"another program's bytes", changed(0, 'X')},
        {"a later version", changed(8, 2)},
        {"more files than a directory holds", tooMany},
        {"body over 512 KB", hugeBody},
        {"cut inside the entry", Bytes(good.begin(), good.begin() + 20)},
        {"cut inside the body", Bytes(good.begin(), good.end() - 1)},
        {"bytes after the last file",
         [&] {
             Bytes b = good;
             b.push_back(0);
             return b;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decoded(c.bytes).has_value());
    }
}
