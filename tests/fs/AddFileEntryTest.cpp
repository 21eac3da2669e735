#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/DirEntry.h"
#include "support/TestDisk.h"

using testdisk::EntryAt;
using testdisk::SectorBytes;

namespace {

std::vector<unsigned char> MztHead(std::uint8_t mode, std::vector<unsigned char> name,
                                   std::uint16_t size, std::uint16_t load, std::uint16_t exec) {
    return testdisk::MakeMzt({.mode = mode,
                              .name = std::string(name.begin(), name.end()),
                              .size = size,
                              .load = load,
                              .exec = exec});
}

} // namespace

TEST(AddFilePropose, PlainFiles) {
    struct Case {
        std::uint64_t length;
        std::uint8_t mode;
        bool tooLarge;
    };
    const Case cases[] = {
        {0, 1, false},     {65535, 1, false},         {65536, 4, false},        {524288, 4, false},
        {524289, 4, true}, {0x100000000ull, 4, true}, {0xFFFFFFFFull, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const auto p = AddFileEntry::Propose("DATA.BIN", c.length, nullptr, 0, false);
        EXPECT_EQ(p.name, "DATA.BIN");
        EXPECT_EQ(p.mode, c.mode);
        EXPECT_EQ(p.attribute, 0);
        EXPECT_EQ(p.size, static_cast<std::int64_t>(c.length));
        EXPECT_EQ(p.loadAddress, 0);
        EXPECT_EQ(p.execAddress, 0);
        EXPECT_FALSE(p.isMzt);
        EXPECT_EQ(p.TooLarge(), c.tooLarge);
    }
}

TEST(AddFilePropose, MztFiles) {
    struct Case {
        const char* what;
        std::vector<unsigned char> head;
        std::uint64_t length;
        std::string name;
        std::uint8_t mode;
        std::int64_t size;
    };
    const Case cases[] = {
        {"BTX named ABC", MztHead(0x02, {'A', 'B', 'C', 0x0D}, 300, 0x1200, 0x1234), 9999, "ABC",
         0x02, 300},
        {"mode 5", MztHead(0x05, {'T', 0x0D}, 10, 0, 0), 138, "T", 0x05, 10},
        {"mode outside 1..5 kept", MztHead(0x07, {'L', 0x0D}, 10, 0, 0), 138, "L", 0x07, 10},
        {"17 characters", MztHead(0x01, std::vector<unsigned char>(17, 'N'), 1, 0, 0), 129,
         std::string(17, 'N'), 0x01, 1},
        {"blanks after the 0x0D", MztHead(0x01, {'E', 0x0D, ' ', ' '}, 5, 0, 0), 133, "E", 1, 5},
        // The size shown is the header's 16-bit field, so an MZT file is never too large.
        {"large file, small field", MztHead(0x04, {'B', 0x0D}, 0xFFFF, 0, 0), 600000, "B", 0x04,
         0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto p = AddFileEntry::Propose("X.MZT", c.length, c.head.data(), c.head.size(), true);
        EXPECT_EQ(p.name, c.name);
        EXPECT_EQ(p.mode, c.mode);
        EXPECT_EQ(p.attribute, 0);
        EXPECT_EQ(p.size, c.size);
        EXPECT_TRUE(p.isMzt);
        EXPECT_FALSE(p.TooLarge());
    }
    const auto head = MztHead(0x02, {'A', 0x0D}, 1, 0x1200, 0x1234);
    const auto p = AddFileEntry::Propose("X.MZT", 200, head.data(), head.size(), true);
    EXPECT_EQ(p.loadAddress, 0x1200);
    EXPECT_EQ(p.execAddress, 0x1234);
}

TEST(AddFilePropose, ShortMztReadsMissingBytesAsZero) {
    const unsigned char head[] = {0x01, 'A', 'B'};
    const auto p = AddFileEntry::Propose("S.MZT", 3, head, sizeof head, true);
    EXPECT_EQ(p.name, "AB");
    EXPECT_EQ(p.mode, 1);
    EXPECT_EQ(p.size, 0);
    const auto none = AddFileEntry::Propose("S.MZT", 0, nullptr, 0, true);
    EXPECT_EQ(none.name, "");
    EXPECT_EQ(none.mode, 0);
}

TEST(AddFilePropose, MztByExtensionAlone) {
    struct Case {
        const char* ext;
        bool mzt;
    };
    const Case cases[] = {{"mzt", true},   {"MZT", true},  {"Mzt", true},
                          {"mZt", true},   {"bin", false}, {"mz", false},
                          {"mztx", false}, {"", false},    {".mzt", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        EXPECT_EQ(AddFileEntry::IsMztExtension(c.ext), c.mzt);
    }
    EXPECT_EQ(AddFileEntry::PlainFlag(true), 0);
    EXPECT_EQ(AddFileEntry::PlainFlag(false), 1);
}

TEST(AddFileBuild, Entries) {
    struct Case {
        const char* what;
        std::string name;
        std::uint8_t modeChoice;
        bool protect;
        std::uint8_t attribute;
        std::int64_t size;
        std::vector<unsigned char> nameField; // 17 bytes
        std::uint8_t mode;
        std::uint8_t storedAttribute;
        std::uint16_t storedSize;
    };
    auto field = [](std::string text, std::size_t cr) {
        std::vector<unsigned char> f(17, 0);
        std::copy(text.begin(), text.end(), f.begin());
        f[cr] = 0x0D;
        return f;
    };
    const std::string sjis15 = "ABCDEFGHIJKLMNO\x82\xA0"; // 15 ASCII then a double-byte character
    const Case cases[] = {
        {"plain OBJ", "ABC", 1, false, 0, 300, field("ABC", 3), 0x01, 0x00, 300},
        {"mode 5 stored as BSD", "T", 5, false, 0, 10, field("T", 1), 0x03, 0x00, 10},
        {"no mode chosen", "T", 0, false, 0, 10, field("T", 1), 0x00, 0x00, 10},
        {"protected", "P", 2, true, 0, 1, field("P", 1), 0x02, 0x80, 1},
        {"attribute kept, protection added", "P", 2, true, 0x01, 1, field("P", 1), 0x02, 0x81, 1},
        {"attribute kept without protection", "P", 2, false, 0x81, 1, field("P", 1), 0x02, 0x81, 1},
        {"20 characters cut to 16", "ABCDEFGHIJKLMNOPQRST", 1, false, 0, 0,
         field("ABCDEFGHIJKLMNOP", 16), 0x01, 0, 0},
        {"cut before a split character", sjis15, 1, false, 0, 0, field("ABCDEFGHIJKLMNO", 15), 0x01,
         0, 0},
        {"double-byte character that fits", "AB\x82\xA0", 1, false, 0, 0, field("AB\x82\xA0", 4),
         0x01, 0, 0},
        {"empty name", "", 1, false, 0, 0, field("", 0), 0x01, 0, 0},
        {"NUL inside the name",
         std::string("AB\0CD", 5),
         1,
         false,
         0,
         0,
         {'A', 'B', 0x0D, 'C', 'D', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         0x01,
         0,
         0},
        {"size low 16 bits", "B", 4, false, 0, 70000, field("B", 1), 0x04, 0, 4464},
        {"size 524288", "B", 4, false, 0, 524288, field("B", 1), 0x04, 0, 0},
        {"negative size", "B", 1, false, 0, -1, field("B", 1), 0x01, 0, 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DirEntry e(AddFileEntry::Build(c.name, c.modeChoice, c.protect, c.attribute, c.size,
                                             0x1200, 0xABCD));
        EXPECT_EQ(e.Mode(), c.mode);
        const auto nf = e.NameField();
        EXPECT_EQ(std::vector<unsigned char>(nf.begin(), nf.end()), c.nameField);
        EXPECT_EQ(e.Attribute(), c.storedAttribute);
        EXPECT_EQ(e.Reserved(), 0);
        EXPECT_EQ(e.Size(), c.storedSize);
        EXPECT_EQ(e.LoadAddress(), 0x1200);
        EXPECT_EQ(e.ExecAddress(), 0xABCD);
        EXPECT_EQ(e.Date(), 0u);
        EXPECT_EQ(e.StartSector(), 0);
    }
}

TEST(AddFileParse, Size) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"123", 123},
        {"  -45", -45},
        {"+7", 7},
        {"12ab", 12},
        {"abc", 0},
        {"", 0},
        {"0x10", 0},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AddFileEntry::ParseSize(c.text), c.value);
    }
}

TEST(AddFileBuild, FilteredTextThroughImport) {
    // A plain text file chosen with "BSD (CRLF->CR)": mode 0x03 and the filtered length.
    const std::vector<unsigned char> text = {'1', '0', 0x0D, 0x0A, '2', '0', 0x0D, 0x0A};
    const auto p = AddFileEntry::Propose("PROG.TXT", text.size(), text.data(), text.size(), false);
    auto entry =
        AddFileEntry::Build(p.name, 5, false, p.attribute, p.size, p.loadAddress, p.execAddress);
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(disk.ImportFromBuffer(text.data(), text.size(), entry.data(),
                                    AddFileEntry::PlainFlag(p.isMzt), 5),
              0);
    const DirEntry stored = EntryAt(disk, 1);
    EXPECT_EQ(stored.Mode(), 0x03);
    EXPECT_EQ(stored.NameText(), "PROG.TXT");
    EXPECT_EQ(stored.Size(), 6);
    EXPECT_EQ(SectorBytes(disk, 48, 6),
              (std::vector<unsigned char>{'1', '0', 0x0D, '2', '0', 0x0D}));
}

namespace {

AddFileEntry::Proposal PlainProposal(const char* fileNameUtf8, std::uint64_t length) {
    return AddFileEntry::ProposeForHostFile(fileNameUtf8, length, ByteView(), false);
}

} // namespace

TEST(AddFileRules, ProposalFromTheHostName) {
    const auto plain = PlainProposal("テキ.TXT", 70000);
    EXPECT_EQ(plain.name, "\x83\x65\x83\x4C.TXT");
    EXPECT_EQ(plain.nameUtf8, "テキ.TXT");
    EXPECT_TRUE(plain.nameEncodable);
    EXPECT_EQ(plain.mode, 4); // BRD above 65535 bytes

    const auto foreign = PlainProposal("\xE2\x82\xAC.bin", 10); // the euro sign has no CP932 code
    EXPECT_FALSE(foreign.nameEncodable);
    EXPECT_EQ(foreign.nameUtf8, "\xE2\x82\xAC.bin");

    const auto head = testdisk::MakeMzt({.mode = 2, .name = "AB\x80\r", .size = 9});
    const auto mzt = AddFileEntry::ProposeForHostFile("\xE2\x82\xAC.mzt", head.size(),
                                                      ByteView(head.data(), head.size()), true);
    EXPECT_TRUE(mzt.nameEncodable); // the header's name, not the host name
    EXPECT_EQ(mzt.name, "AB\x80");
    EXPECT_EQ(mzt.nameUtf8, "AB\\x80");
    EXPECT_EQ(mzt.size, 9);
}

TEST(AddFileRules, RefusedOver512KBOfData) {
    EXPECT_FALSE(AddFileEntry::Refused(PlainProposal("A", 524288), 524288));
    EXPECT_TRUE(AddFileEntry::Refused(PlainProposal("A", 524289), 524289));
    const auto head = testdisk::MakeMzt({.size = 100});
    const auto mzt = AddFileEntry::ProposeForHostFile("A.MZT", 524288 + 128,
                                                      ByteView(head.data(), head.size()), true);
    EXPECT_FALSE(AddFileEntry::Refused(mzt, 524288 + 128));
    EXPECT_TRUE(AddFileEntry::Refused(mzt, 524288 + 129));
}

TEST(AddFileRules, BuildEntryReasons) {
    const auto plain = PlainProposal("GAME.BIN", 100);
    const auto foreign = PlainProposal("\xE2\x82\xAC.bin", 100);
    const auto head = testdisk::MakeMzt({.mode = 0x1A, .name = "X\r"});
    const auto oddMode =
        AddFileEntry::ProposeForHostFile("X.MZT", 200, ByteView(head.data(), head.size()), true);
    struct Case {
        const char* name;
        const AddFileEntry::Proposal& proposal;
        AddFileEntry::Choices choices;
        AddFileReason reason;
    };
    const Case kCases[] = {
        {"proposal as it is", plain, {}, AddFileReason::Ok},
        {"typed name outside CP932",
         plain,
         {.nameUtf8 = "\xE2\x82\xAC"},
         AddFileReason::NameNotEncodable},
        {"host name outside CP932", foreign, {}, AddFileReason::FileNameNotEncodable},
        {"host name outside CP932, name typed", foreign, {.nameUtf8 = "OK"}, AddFileReason::Ok},
        {"empty name", plain, {.nameUtf8 = ""}, AddFileReason::NameEmpty},
        {"no mode selected", plain, {.modeChoice = 0}, AddFileReason::NoMode},
        {"mode 6", plain, {.modeChoice = 6}, AddFileReason::NoMode},
        {"MZT mode 0x1A kept", oddMode, {}, AddFileReason::NoMode},
        {"MZT mode 0x1A replaced", oddMode, {.modeChoice = 2}, AddFileReason::Ok},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AddFileEntry::BuildEntry(c.proposal, c.choices).reason, c.reason);
    }
}

TEST(AddFileRules, BuildEntryTakesTheDialogTexts) {
    AddFileEntry::Choices choices;
    choices.nameUtf8 = "ABCDEFGHIJKLMNOテ"; // the double-byte character would split at 16
    choices.modeChoice = 5;
    choices.protect = true;
    choices.sizeText = " 70000xyz";
    choices.loadText = "12345";
    choices.execText = "XYZ";
    const auto built = AddFileEntry::BuildEntry(PlainProposal("A.TXT", 3), choices);
    ASSERT_EQ(built.reason, AddFileReason::Ok);
    const DirEntry e(built.entry);
    EXPECT_EQ(e.Mode(), 0x03);
    EXPECT_EQ(built.storageMode, 5);
    EXPECT_EQ(built.plain, 1);
    EXPECT_EQ(e.NameText(), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(e.Attribute(), 0x80);
    EXPECT_EQ(e.Size(), 70000 & 0xFFFF);
    EXPECT_EQ(e.LoadAddress(), 0x2345);
    EXPECT_EQ(e.ExecAddress(), 0);
}
