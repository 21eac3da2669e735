#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/EntryPack.h"
#include "support/TestDisk.h"

using testdisk::Bytes;
using testdisk::Pattern;

namespace {

Bytes Encoded(const std::vector<EntryPack::File>& files) {
    return EntryPack::Encode(files);
}

std::optional<std::vector<EntryPack::File>> Decoded(const Bytes& bytes) {
    return EntryPack::Decode(ByteView(bytes.data(), bytes.size()));
}

} // namespace

// Another program may put any bytes under the pack's format.
TEST(EntryPack, RefusesWhatIsNotOneWholePack) {
    EntryPack::File one;
    one.entry[0] = 0x01;
    one.body = Pattern(10);
    const Bytes good = Encoded({one});
    ASSERT_TRUE(Decoded(good).has_value());
    EXPECT_EQ(Decoded(good)->at(0).entry, one.entry);
    EXPECT_EQ(Decoded(good)->at(0).body, one.body);
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
