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

std::vector<ViewNoteCode> Codes(const Listing& listing) {
    std::vector<ViewNoteCode> codes;
    for (const ViewNote& note : listing.notes)
        codes.push_back(note.code);
    return codes;
}

// The sample program stored as BTX lists from an MZ-2000 disk; on an MZ-2500 2DD disk the same
// bytes are taken for BASIC-M25 and shown as hex.
TEST(FileViewTest, BasicProgramOnADiskListsByTheDisksMachine) {
    DARVEX_REQUIRE_TESTDATA();
    const Bytes tape = testutil::ReadFileBytes(testutil::TestDataPath("basic/helloworld.mzt"));
    ASSERT_EQ(tape.size(), 128u + 110u);
    const Bytes program(tape.begin() + 128, tape.end());
    for (const int diskType : {3, 0}) {
        DiskImage disk;
        disk.Format(diskType);
        ASSERT_EQ(PutFile(disk, "HELLO", program, 2), 0);
        const Listing listing =
            ViewFile(disk, EntryAt(disk, FindEntry(disk, "HELLO")), ViewKind::Basic);
        if (diskType == 0) {
            EXPECT_EQ(Codes(listing), std::vector<ViewNoteCode>{ViewNoteCode::BasicM25});
            EXPECT_EQ(listing.bytes, program);
            continue;
        }
        EXPECT_TRUE(listing.notes.empty());
        EXPECT_EQ(listing.lines, (std::vector<std::string>{
                                     "10 GRAPH I1,O1,C:PRINT CHR$(6);", "20 CURSOR 14,12",
                                     "30 PRINT \"HELLO WORLD\"",
                                     "40 LINE 111,94,201,94,201,104,111,104,111,94", "50 END"}));
    }
}

// A BSD file's records come through its sector chain; a chain cut short shows what it holds.
TEST(FileViewTest, SequentialFileReadsThroughItsChain) {
    DiskImage disk;
    disk.Format(3);
    std::string text;
    for (int i = 0; text.size() < 600; ++i)
        text += "RECORD " + std::to_string(i) + " \xB1\r";
    ASSERT_EQ(PutFile(disk, "SEQ", Bytes(text.begin(), text.end()), 3), 0);
    const DirEntry entry = EntryAt(disk, FindEntry(disk, "SEQ"));
    Listing listing = ViewFile(disk, entry, ViewKind::Text);
    EXPECT_TRUE(listing.notes.empty());
    ASSERT_EQ(listing.lines.size(),
              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')));
    EXPECT_EQ(listing.lines[30], "RECORD 30 \xEF\xBD\xB1");

    PokeU16(disk, entry.StartSector() * std::size_t{kSectorBytes} + kChainLinkOffset, 0);
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
    EXPECT_TRUE(listing.notes.empty());
    EXPECT_EQ(listing.lines.size(), 0x1F0u);
    EXPECT_EQ(listing.bytes, testdisk::SectorBytes(disk, 1, 0x1F00));

    PokeU16(disk, IplHeader::kStartSectorOffset, 1119); // the last sector
    listing = ViewBootProgram(disk);
    EXPECT_EQ(listing.bytes, testdisk::SectorBytes(disk, 1119));
    EXPECT_EQ(Codes(listing), std::vector<ViewNoteCode>{ViewNoteCode::BootPastDisk});

    disk.Format(3);
    listing = ViewBootProgram(disk);
    EXPECT_TRUE(listing.lines.empty());
    EXPECT_EQ(Codes(listing), std::vector<ViewNoteCode>{ViewNoteCode::BootNone});
}

} // namespace
