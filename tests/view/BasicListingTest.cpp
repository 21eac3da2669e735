#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
void AddLine(Bytes& program, unsigned number, const std::string& text) {
    for (const unsigned word : {static_cast<unsigned>(text.size() + 5), number}) {
        program.push_back(static_cast<unsigned char>(word & 0xFF));
        program.push_back(static_cast<unsigned char>(word >> 8));
    }
    program.insert(program.end(), text.begin(), text.end());
    program.push_back(0x0D);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

// The author's own listing spells the token 80 82 "DEFKEY" without its "(" and keeps the raw
// 0x7F that ends those key texts; the lister writes "DEF KEY(" and, as for every byte that is
// neither text nor a token, "{7F}". Every other byte of the 54 lines must agree.
TEST(BasicListingTest, DiskBasicProgramAgreesWithTheAuthorsListing) {
    DARVEX_REQUIRE_TESTDATA();
    const Bytes tape = testutil::ReadFileBytes(testutil::TestDataPath("basic/sdbas-mz2z002.mzt"));
    ASSERT_EQ(tape.size(), 128u + 1203u);
    const Listing listing = ListBasic(View(Bytes(tape.begin() + 128, tape.end())));
    const Bytes raw = testutil::ReadFileBytes(testutil::TestDataPath("basic/sdbas-mz2z002.txt"));
    std::string author(raw.begin(), raw.end());
    ReplaceAll(author, "DEFKEY", "DEF KEY(");
    ReplaceAll(author, "\x7F", "{7F}");
    ReplaceAll(author, "\r\n", "\n");
    std::string listed;
    for (const std::string& line : listing.lines)
        listed += line + "\n";
    EXPECT_TRUE(listing.notes.empty());
    EXPECT_EQ(listing.lines.size(), 54u);
    EXPECT_EQ(listed, author);
}

// One line per token of the table, each followed by ":" so that REM, DATA and DEF KEY( end
// their raw text there; the listing gives the keywords back.
TEST(BasicListingTest, EveryTokenListsBackToItsKeyword) {
    Bytes program;
    std::vector<std::string> expected;
    unsigned number = 10;
    for (const BasicToken& token : BasicTokenTable()) {
        std::string text;
        if (token.lead != 0)
            text += static_cast<char>(token.lead);
        text += {static_cast<char>(token.code), ':'};
        AddLine(program, number, text);
        expected.push_back(std::to_string(number) + " " + std::string(token.text) + ":");
        number += 10;
    }
    program.insert(program.end(), 2, 0x00);
    const Listing listing = ListBasic(View(program));
    EXPECT_TRUE(listing.notes.empty());
    EXPECT_EQ(listing.lines, expected);
}

TEST(BasicListingTest, LineTextSpellsBytesByWhereTheyStand) {
    const std::pair<Bytes, std::string> cases[] = {
        {{0x80, 0x93, 0x8C, 'A', 0x07, 0x7F, 0xCC, 0x80}, "{80}{93}{8C}A{07}{7F}{CC}{80}"},
        {{'"', 0xB1, 0x80, 0x88, '"', 0xA0}, "\"\xEF\xBD\xB1{80}{88}\"LEFT$("},
        {{0x80, 0x80, ' ', 0x88, 0xB6, ':', 0x80, 0x88}, "REM {88}\xEF\xBD\xB6:PRINT"},
        {{0x80, 0x80, '"', ':', 0x80, 0x92}, "REM\":END"},
        {{0x80, 0x81, '"', ':', 0x9E, '"', ':', 0x9E}, "DATA\":{9E}\":TO"},
        {{0x80, 0x82, '1', ')', '=', 0x88, 0x7F}, "DEF KEY(1)={88}{7F}"},
        {{0xB2, 0x56, ',', 0xB2, 0xA8, ',', 0xB2, ' ', 0xFF, 0x84}, "CSRV,CSRH,CSR \xCF\x80<>"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(BasicLineText(View(text)), shown);
}

TEST(BasicListingTest, BrokenProgramsEndWithANoteWhereTheyBreak) {
    struct Case {
        const char* name;
        Bytes tail; // a third record after "10 A", "20 B" (offset 12)
        ViewNoteCode code;
        long long value, previous;
    };
    const Case cases[] = {
        {"descending line number",
         {6, 0, 15, 0, 'C', 0x0D},
         ViewNoteCode::BasicNotAscending,
         15,
         20},
        {"repeated line number", {6, 0, 20, 0, 'C', 0x0D}, ViewNoteCode::BasicNotAscending, 20, 20},
        {"record past the size", {8, 0, 30, 0, 'C', 'D', 0x0D}, ViewNoteCode::BasicPastSize, 8, -1},
        {"record not ended by 0x0D",
         {6, 0, 30, 0, 'C', ':', 0, 0},
         ViewNoteCode::BasicBrokenChain,
         6,
         -1},
        {"length below a line's", {3, 0, 30, 0}, ViewNoteCode::BasicBrokenChain, 3, -1},
        {"no end mark", {}, ViewNoteCode::BasicNoEndMark, -1, -1},
        {"half an end mark", {0}, ViewNoteCode::BasicNoEndMark, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes program;
        AddLine(program, 10, "A");
        AddLine(program, 20, "B");
        program.insert(program.end(), c.tail.begin(), c.tail.end());
        const Listing listing = ListBasic(View(program));
        EXPECT_EQ(listing.kind, ViewKind::Basic);
        EXPECT_EQ(listing.lines, (std::vector<std::string>{"10 A", "20 B"}));
        ASSERT_EQ(listing.notes.size(), 1u);
        EXPECT_EQ(listing.notes[0].code, c.code);
        EXPECT_EQ(listing.notes[0].offset, 12);
        EXPECT_EQ(listing.notes[0].value, c.value);
        EXPECT_EQ(listing.notes[0].previous, c.previous);
        EXPECT_EQ(listing.notes[0].atLine, 2u);
    }
}

TEST(BasicListingTest, WhatIsNoSBasicProgramListsAsHex) {
    Bytes good;
    AddLine(good, 10, "PRINT");
    good.insert(good.end(), {0x00, 0x00, 0xEE}); // a byte after the end mark plays no part
    EXPECT_EQ(ListBasic(View(good)).lines, std::vector<std::string>{"10 PRINT"});
    const Bytes garbage = {0x34, 0x12, 0x0A, 0x00, 'X', 0x0D};
    for (const auto& [program, m25, code] : {std::tuple{good, true, ViewNoteCode::BasicM25},
                                             std::tuple{garbage, false, ViewNoteCode::NotSBasic}}) {
        const Listing listing = ListBasic(View(program), {.mz2500Disk = m25});
        EXPECT_EQ(listing.kind, ViewKind::Hex);
        EXPECT_EQ(listing.bytes, program);
        ASSERT_EQ(listing.notes.size(), 1u);
        EXPECT_EQ(listing.notes[0].code, code);
    }
}

} // namespace
