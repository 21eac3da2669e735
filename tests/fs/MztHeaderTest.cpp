#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fs/DirEntry.h"
#include "fs/MztHeader.h"

namespace {

std::vector<unsigned char> MztBytes(std::size_t length) {
    std::vector<unsigned char> file(length, 0xEE);
    if (length > 0)
        file[0] = 0x02;
    return file;
}

} // namespace

TEST(MztHeaderParse, AcceptsOnlyFilesWithData) {
    struct Case {
        std::size_t length;
        bool accepted;
    };
    const Case cases[] = {{0, false},   {1, false},  {127, false},
                          {128, false}, {129, true}, {5000, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const auto file = MztBytes(c.length);
        const auto header = MztHeader::Parse(file.data(), file.size());
        EXPECT_EQ(header.has_value(), c.accepted);
        if (header) {
            EXPECT_EQ(header->Mode(), 0x02);
            EXPECT_EQ(header->Size(), 0xEEEE);
        }
    }
    EXPECT_FALSE(MztHeader::Parse(nullptr, 500).has_value());
}

TEST(MztHeaderParse, Fields) {
    std::vector<unsigned char> file(200, 0);
    file[0] = 0x01;
    const char name[] = "EMMLOAD.MZT\r    ";
    std::copy(name, name + 16, file.begin() + 1);
    file[17] = 0x20;
    file[18] = 0x2B; // size 0x142B
    file[19] = 0x14;
    file[20] = 0xA0; // load 0x12A0
    file[21] = 0x12;
    file[22] = 0x34; // exec 0x1234
    file[23] = 0x12;
    const auto header = MztHeader::Parse(file.data(), file.size());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->Mode(), 0x01);
    EXPECT_EQ(header->NameText(), "EMMLOAD.MZT");
    EXPECT_EQ(header->NameField()[11], 0x0D);
    EXPECT_EQ(header->NameField()[16], 0x20);
    EXPECT_EQ(header->Size(), 0x142B);
    EXPECT_EQ(header->LoadAddress(), 0x12A0);
    EXPECT_EQ(header->ExecAddress(), 0x1234);
}

TEST(MztHeaderParse, ShortPrefixReadsAsZero) {
    const unsigned char head[] = {0x03, 'A', 'B'};
    const MztHeader header = MztHeader::FromPrefix(head, sizeof head);
    EXPECT_EQ(header.Mode(), 0x03);
    EXPECT_EQ(header.NameText(), "AB");
    EXPECT_EQ(header.Size(), 0);
    for (std::size_t i = 3; i < MztHeader::kBytes; ++i)
        EXPECT_EQ(header.Bytes()[i], 0) << i;
    EXPECT_EQ(MztHeader::FromPrefix(nullptr, 0).Bytes(), MztHeader().Bytes());
}

TEST(MztHeaderBuild, FromDirEntry) {
    struct Case {
        const char* what;
        std::array<unsigned char, 17> name;
        const char* text;
    };
    const Case cases[] = {
        {"name ended by 0x0D and zeros", {'A', 'B', 'C', 0x0D}, "ABC"},
        {"17 characters and no 0x0D",
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q'},
         "ABCDEFGHIJKLMNOPQ"},
        {"bytes after the 0x0D are carried", {'X', 0x0D, 'Y', 'Z', 0x0D, 0x41, 0xFF}, "X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DirEntry entry;
        entry.SetMode(0x04);
        entry.SetNameField(c.name);
        entry.SetAttribute(0x80);
        entry.SetReserved(0x55);
        entry.SetSize(0x1234);
        entry.SetLoadAddress(0x5678);
        entry.SetExecAddress(0x9ABC);
        entry.SetDate(0xDEADBEEF);
        entry.SetStartSector(0x0140);
        const MztHeader header = MztHeader::FromDirEntry(entry.Bytes().data());
        const auto& b = header.Bytes();
        EXPECT_EQ(b[0], 0x04);
        for (std::size_t i = 0; i < 17; ++i)
            EXPECT_EQ(b[1 + i], c.name[i]) << i;
        EXPECT_EQ(header.NameText(), c.text);
        EXPECT_EQ(b[18], 0x34);
        EXPECT_EQ(b[19], 0x12);
        EXPECT_EQ(b[20], 0x78);
        EXPECT_EQ(b[21], 0x56);
        EXPECT_EQ(b[22], 0xBC);
        EXPECT_EQ(b[23], 0x9A);
        // Attribute, date and start sector have no place in the header.
        for (std::size_t i = 24; i < MztHeader::kBytes; ++i)
            EXPECT_EQ(b[i], 0) << i;

        // And back: the entry's header fields, nothing else.
        DirEntry back(header.ToDirEntry());
        EXPECT_EQ(back.Mode(), 0x04);
        EXPECT_EQ(back.NameField(), entry.NameField());
        EXPECT_EQ(back.Size(), 0x1234);
        EXPECT_EQ(back.LoadAddress(), 0x5678);
        EXPECT_EQ(back.ExecAddress(), 0x9ABC);
        EXPECT_EQ(back.Attribute(), 0);
        EXPECT_EQ(back.Reserved(), 0);
        EXPECT_EQ(back.Date(), 0u);
        EXPECT_EQ(back.StartSector(), 0);
    }
}
