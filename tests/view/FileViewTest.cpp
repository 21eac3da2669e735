#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "fs/FileBody.h"
#include "fs/IplHeader.h"
#include "support/TestDisk.h"
#include "view/FileView.h"

using testdisk::EntryAt;
using testdisk::FindEntry;
using testdisk::PokeU16;
using testdisk::PutFile;

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kBtx = 2;
constexpr int kBsd = 3;

std::vector<ViewNoteCode> Codes(const Listing& listing) {
    std::vector<ViewNoteCode> codes;
    for (const ViewNote& note : listing.notes)
        codes.push_back(note.code);
    return codes;
}

TEST(FileViewTest, EachModeOpensWithItsOwnView) {
    struct Case {
        std::uint8_t mode;
        ViewKind first;
        std::size_t kinds;
    };
    const Case cases[] = {
        {0x02, ViewKind::Basic, 3}, {0x03, ViewKind::Text, 2}, {0x01, ViewKind::Hex, 2},
        {0x04, ViewKind::Hex, 2},   {0x06, ViewKind::Hex, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        EXPECT_EQ(DefaultViewKind(c.mode), c.first);
        EXPECT_EQ(ViewKindsFor(c.mode).size(), c.kinds);
        EXPECT_EQ(ViewKindsFor(c.mode).front(), c.kinds == 3 ? ViewKind::Basic : ViewKind::Text);
    }
}

// The real program stored as BTX lists from a disk of the MZ-80B/2000; on an MZ-2500 2DD disk
// the same bytes are taken for BASIC-M25 and shown as hex.
TEST(FileViewTest, BasicProgramOnADiskListsByTheDisksMachine) {
    DARVEX_REQUIRE_TESTDATA();
    const Bytes tape = testutil::ReadFileBytes(testutil::TestDataPath("basic/helloworld.mzt"));
    ASSERT_GT(tape.size(), 128u);
    const Bytes program(tape.begin() + 128, tape.end());
    struct Case {
        int diskType;
        ViewKind kind;
        std::vector<ViewNoteCode> notes;
    };
    for (const Case& c :
         {Case{3, ViewKind::Basic, {}}, Case{0, ViewKind::Hex, {ViewNoteCode::BasicM25}}}) {
        SCOPED_TRACE(c.diskType);
        DiskImage disk;
        disk.Format(c.diskType);
        ASSERT_EQ(PutFile(disk, "HELLO", program, kBtx), 0);
        const Listing listing =
            ViewFile(disk, EntryAt(disk, FindEntry(disk, "HELLO")), ViewKind::Basic);
        EXPECT_EQ(listing.kind, c.kind);
        EXPECT_EQ(Codes(listing), c.notes);
        if (c.kind == ViewKind::Basic) {
            ASSERT_EQ(listing.lines.size(), 5u);
            EXPECT_EQ(listing.lines[2], "30 PRINT \"HELLO WORLD\"");
        } else {
            EXPECT_EQ(listing.bytes, program);
        }
    }
}

// A BSD file's text comes through its sector chain; a chain cut short shows what it holds,
// with a note.
TEST(FileViewTest, SequentialFileReadsThroughItsChain) {
    DiskImage disk;
    disk.Format(3);
    std::string text;
    std::vector<std::string> lines;
    for (int i = 0; text.size() < 600; ++i) {
        lines.push_back("RECORD " + std::to_string(i) + " \xB1\xB2");
        text += lines.back() + "\r";
    }
    ASSERT_EQ(PutFile(disk, "SEQ", Bytes(text.begin(), text.end()), kBsd), 0);
    const DirEntry entry = EntryAt(disk, FindEntry(disk, "SEQ"));
    Listing listing = ViewFile(disk, entry, DefaultViewKind(entry.Mode()));
    EXPECT_EQ(listing.kind, ViewKind::Text);
    EXPECT_TRUE(listing.notes.empty());
    ASSERT_EQ(listing.lines.size(), lines.size());
    EXPECT_EQ(listing.lines[3], "RECORD 3 \xEF\xBD\xB1\xEF\xBD\xB2");

    // The first sector's link now ends the chain after 254 bytes.
    PokeU16(disk, static_cast<std::size_t>(entry.StartSector()) * kSectorBytes + kChainLinkOffset,
            0);
    listing = ViewFile(disk, entry, ViewKind::Hex);
    EXPECT_EQ(listing.bytes, Bytes(text.begin(), text.begin() + kChainDataBytes));
    ASSERT_EQ(Codes(listing), std::vector<ViewNoteCode>{ViewNoteCode::BodyEndedEarly});
    EXPECT_EQ(listing.notes[0].value, kChainDataBytes);
    EXPECT_EQ(listing.notes[0].previous, static_cast<long long>(text.size()));
}

TEST(FileViewTest, BootProgramShowsAsHexFromItsStartSector) {
    DARVEX_REQUIRE_TESTDATA();
    const Bytes file = testutil::ReadFileBytes(testutil::TestDataPath("ipls/ipls-2d.d88"));
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    Listing listing = ViewBootProgram(disk);
    EXPECT_EQ(listing.kind, ViewKind::Hex);
    EXPECT_TRUE(listing.notes.empty());
    ASSERT_EQ(listing.bytes.size(), 0x1F00u);
    EXPECT_EQ(listing.lines.size(), 0x1F0u);
    EXPECT_EQ(listing.bytes, testdisk::SectorBytes(disk, 1, 0x1F00));

    // A start sector near the end: what the disk holds of it, and a note.
    PokeU16(disk, IplHeader::kStartSectorOffset, static_cast<std::uint16_t>(1119));
    listing = ViewBootProgram(disk);
    EXPECT_EQ(listing.bytes.size(), static_cast<std::size_t>(kSectorBytes));
    EXPECT_EQ(Codes(listing), std::vector<ViewNoteCode>{ViewNoteCode::BootPastDisk});

    DiskImage blank;
    blank.Format(3);
    listing = ViewBootProgram(blank);
    EXPECT_TRUE(listing.lines.empty());
    EXPECT_EQ(Codes(listing), std::vector<ViewNoteCode>{ViewNoteCode::BootNone});
}

} // namespace
