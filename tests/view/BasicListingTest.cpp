#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "view/BasicListing.h"
#include "view/BasicTokens.h"

namespace {

using Bytes = std::vector<unsigned char>;

ByteView View(const Bytes& bytes) {
    return {bytes.data(), bytes.size()};
}

// One program line as stored: length, line number, text, 0x0D.
void AddLine(Bytes& program, unsigned number, const Bytes& text) {
    const std::size_t length = text.size() + 5;
    program.push_back(static_cast<unsigned char>(length & 0xFF));
    program.push_back(static_cast<unsigned char>(length >> 8));
    program.push_back(static_cast<unsigned char>(number & 0xFF));
    program.push_back(static_cast<unsigned char>(number >> 8));
    program.insert(program.end(), text.begin(), text.end());
    program.push_back(0x0D);
}

Bytes Text(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// The program inside an MZT tape file: the size field of the header, from byte 128 on.
Bytes MztBody(const char* relative) {
    const Bytes file = testutil::ReadFileBytes(testutil::TestDataPath(relative));
    const std::size_t size = file.size() > 0x13 ? file[0x12] | (file[0x13] << 8) : 0;
    EXPECT_EQ(file.size(), 128 + size) << relative;
    return file.size() >= 128 + size ? Bytes(file.begin() + 128, file.begin() + 128 + size)
                                     : Bytes();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

TEST(BasicListingTest, HelloWorldListsItsFiveLines) {
    DARVEX_REQUIRE_TESTDATA();
    const Listing listing = ListBasic(View(MztBody("basic/helloworld.mzt")));
    EXPECT_EQ(listing.kind, ViewKind::Basic);
    EXPECT_TRUE(listing.notes.empty());
    EXPECT_EQ(listing.lines, (std::vector<std::string>{
                                 "10 GRAPH I1,O1,C:PRINT CHR$(6);",
                                 "20 CURSOR 14,12",
                                 "30 PRINT \"HELLO WORLD\"",
                                 "40 LINE 111,94,201,94,201,104,111,104,111,94",
                                 "50 END",
                             }));
}

// The author's own listing spells the token 80 82 "DEFKEY" without its "(" and keeps the raw
// 0x7F that ends those key texts; the lister writes "DEF KEY(" and, as for every byte that is
// neither text nor a token, "{7F}". Every other byte of the 54 lines must agree.
TEST(BasicListingTest, DiskBasicProgramAgreesWithTheAuthorsListing) {
    DARVEX_REQUIRE_TESTDATA();
    const Listing listing = ListBasic(View(MztBody("basic/sdbas-mz2z002.mzt")));
    const Bytes raw = testutil::ReadFileBytes(testutil::TestDataPath("basic/sdbas-mz2z002.txt"));
    std::string author(raw.begin(), raw.end());
    ReplaceAll(author, "DEFKEY", "DEF KEY(");
    ReplaceAll(author, "\x7F", "{7F}");
    const std::vector<std::string> expected = SplitLines(author);
    ASSERT_EQ(expected.size(), 54u);
    EXPECT_TRUE(listing.notes.empty());
    ASSERT_EQ(listing.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(listing.lines[i], expected[i]) << "line " << i;
    EXPECT_EQ(listing.lines.front(), "10 DEF KEY(1)=RUN  {7F}");
}

// One line per token of the table, each followed by ":" so that REM, DATA and DEF KEY( end
// their raw text there; the listing gives the keywords back.
TEST(BasicListingTest, EveryTokenListsBackToItsKeyword) {
    Bytes program;
    std::vector<std::string> expected;
    unsigned number = 10;
    for (const BasicToken& token : BasicTokenTable()) {
        Bytes text;
        if (token.lead != 0)
            text.push_back(token.lead);
        text.push_back(token.code);
        text.push_back(':');
        AddLine(program, number, text);
        expected.push_back(std::to_string(number) + " " + std::string(token.text) + ":");
        number += 10;
    }
    program.insert(program.end(), {0x00, 0x00});
    const Listing listing = ListBasic(View(program));
    EXPECT_TRUE(listing.notes.empty());
    EXPECT_EQ(listing.lines, expected);
}

TEST(BasicListingTest, LineTextSpellsBytesByWhereTheyStand) {
    struct Case {
        const char* name;
        Bytes text;
        std::string shown;
    };
    const Case cases[] = {
        {"unknown statement and byte", {0x80, 0x93, 0x8C}, "{80}{93}{8C}"},
        {"control byte and DEL", {'A', 0x07, 0x7F}, "A{07}{7F}"},
        {"statement byte at the end", {'A', 0x80}, "A{80}"},
        {"kana in a string", {'"', 0xB1, 0xDF, '"'}, "\"\xEF\xBD\xB1\xEF\xBE\x9F\""},
        {"token bytes in a string stay raw",
         {'"', 0x80, 0x88, 0xA0, '"', 0xA0},
         "\"{80}{88}{A0}\"LEFT$("},
        {"REM raw up to the colon",
         {0x80, 0x80, ' ', 0x88, 0xB6, ':', 0x80, 0x88},
         "REM {88}\xEF\xBD\xB6:PRINT"},
        {"REM does not honour quotes", {0x80, 0x80, '"', ':', 0x80, 0x92}, "REM\":END"},
        {"DATA honours quotes", {0x80, 0x81, '"', ':', 0x9E, '"', ':', 0x9E}, "DATA\":{9E}\":TO"},
        {"DEF KEY text stays raw", {0x80, 0x82, '1', ')', '=', 0x88, 0x7F}, "DEF KEY(1)={88}{7F}"},
        {"cursor functions", {0xB2, 0x56, ',', 0xB2, 0xA8, ',', 0xB2, ' '}, "CSRV,CSRH,CSR "},
        {"pi and comparisons", {0xFF, 0x84, 0x88}, "\xCF\x80<>>="},
        {"a kana byte outside a string", {0xCC}, "{CC}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BasicLineText(View(c.text)), c.shown);
    }
}

TEST(BasicListingTest, BrokenProgramsEndWithANoteWhereTheyBreak) {
    Bytes twoLines;
    AddLine(twoLines, 10, Text("A"));
    AddLine(twoLines, 20, Text("B"));
    struct Case {
        const char* name;
        Bytes tail; // after the two good lines (offset 12)
        ViewNoteCode code;
        long long offset, value, previous;
    };
    Bytes descending, equal, pastSize, noCr, tooShort;
    AddLine(descending, 15, Text("C"));
    AddLine(equal, 20, Text("C"));
    AddLine(pastSize, 30, Text("CDE"));
    pastSize.resize(pastSize.size() - 1);
    AddLine(noCr, 30, Text("C"));
    noCr.back() = ':';
    noCr.insert(noCr.end(), {0x00, 0x00});
    const Case cases[] = {
        {"descending line number", descending, ViewNoteCode::BasicNotAscending, 12, 15, 20},
        {"repeated line number", equal, ViewNoteCode::BasicNotAscending, 12, 20, 20},
        {"record past the size", pastSize, ViewNoteCode::BasicPastSize, 12, 8, -1},
        {"record not ended by 0x0D", noCr, ViewNoteCode::BasicBrokenChain, 12, 6, -1},
        {"record length below a line's",
         {0x03, 0x00, 0x1E, 0x00},
         ViewNoteCode::BasicBrokenChain,
         12,
         3,
         -1},
        {"no end mark", {}, ViewNoteCode::BasicNoEndMark, 12, -1, -1},
        {"one byte of an end mark", {0x00}, ViewNoteCode::BasicNoEndMark, 12, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes program = twoLines;
        program.insert(program.end(), c.tail.begin(), c.tail.end());
        const Listing listing = ListBasic(View(program));
        EXPECT_EQ(listing.kind, ViewKind::Basic);
        EXPECT_EQ(listing.lines, (std::vector<std::string>{"10 A", "20 B"}));
        ASSERT_EQ(listing.notes.size(), 1u);
        const ViewNote& note = listing.notes[0];
        EXPECT_EQ(note.code, c.code);
        EXPECT_EQ(note.offset, c.offset);
        EXPECT_EQ(note.value, c.value);
        EXPECT_EQ(note.previous, c.previous);
        EXPECT_EQ(note.atLine, 2u);
    }
}

TEST(BasicListingTest, WhatIsNoSBasicProgramListsAsHex) {
    Bytes good;
    AddLine(good, 10, Text("PRINT"));
    good.insert(good.end(), {0x00, 0x00, 0xEE}); // a byte after the end mark plays no part
    const Bytes garbage = {0x34, 0x12, 0x0A, 0x00, 'X', 0x0D};
    struct Case {
        const char* name;
        Bytes program;
        bool mz2500Disk;
        ViewKind kind;
        std::vector<ViewNoteCode> notes;
    };
    const Case cases[] = {
        {"S-BASIC", good, false, ViewKind::Basic, {}},
        {"the same bytes from an MZ-2500 disk",
         good,
         true,
         ViewKind::Hex,
         {ViewNoteCode::BasicM25}},
        {"first record broken", garbage, false, ViewKind::Hex, {ViewNoteCode::NotSBasic}},
        {"empty program", {0x00, 0x00}, false, ViewKind::Basic, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Listing listing = ListBasic(View(c.program), {.mz2500Disk = c.mz2500Disk});
        EXPECT_EQ(listing.kind, c.kind);
        std::vector<ViewNoteCode> notes;
        for (const ViewNote& note : listing.notes)
            notes.push_back(note.code);
        EXPECT_EQ(notes, c.notes);
        if (c.kind == ViewKind::Hex) {
            EXPECT_EQ(listing.bytes, c.program);
            EXPECT_EQ(listing.lines.size(), 1u);
        }
    }
}

} // namespace
