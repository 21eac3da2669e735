#include <gtest/gtest.h>

#include <iconv.h>
#include <random>
#include <string>

#include "fs/SjisText.h"

namespace {

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int len;
        unsigned cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size())
            return false;
        for (int k = 1; k < len; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

struct Pair {
    const char* name;
    std::string sjis;
    std::string utf8;
};

const Pair kPairs[] = {
    {"ascii", "GAME.MZT 123", "GAME.MZT 123"},
    {"backslash stays backslash", "\x5C", "\\"},
    {"tilde stays tilde", "\x7E", "~"},
    {"half-width katakana", "\xB1\xDF\xA1", "\xEF\xBD\xB1\xEF\xBE\x9F\xEF\xBD\xA1"}, // ｱﾟ｡
    {"hyo with 0x5C trail", "\x95\x5C", "\xE8\xA1\xA8"},                             // 表
    {"n with lead-range trail", "\x83\x93", "\xE3\x83\xB3"},                         // ン
    {"design", "\x83\x66\x83\x55\x83\x43\x83\x93",
     "\xE3\x83\x87\xE3\x82\xB6\xE3\x82\xA4\xE3\x83\xB3"}, // デザイン
    {"mixed", "A\x95\x5C\\B", "A\xE8\xA1\xA8\\B"},
    {"empty", "", ""},
};

TEST(SjisText, RoundTrips) {
    for (const Pair& p : kPairs) {
        SCOPED_TRACE(p.name);
        const TextResult utf8 = SjisToUtf8(p.sjis);
        ASSERT_TRUE(utf8.ok);
        EXPECT_EQ(utf8.text, p.utf8);
        const TextResult sjis = Utf8ToSjis(p.utf8);
        ASSERT_TRUE(sjis.ok);
        EXPECT_EQ(sjis.text, p.sjis);
        EXPECT_EQ(SjisToDisplay(p.sjis), p.utf8);
    }
}

TEST(SjisText, UndecodableBytesFail) {
    struct Case {
        const char* name;
        std::string sjis;
        std::size_t badOffset;
    };
    const Case cases[] = {
        {"0x80", "\x80", 0},
        {"0xA0", "AB\xA0", 2},
        {"0xFD", "\xFD", 0},
        {"0xFF", "X\xFF", 1},
        {"lead then blank", "\x81\x20", 0},
        {"lead at the end", "AB\x81", 2},
        {"lead then 0x7F", "\x95\x5C\x81\x7F", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextResult r = SjisToUtf8(c.sjis);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(static_cast<bool>(r));
        EXPECT_TRUE(r.text.empty());
        EXPECT_EQ(r.badOffset, c.badOffset);
    }
}

TEST(SjisText, UnencodableTextFails) {
    struct Case {
        const char* name;
        std::string utf8;
        std::size_t badOffset;
    };
    const Case cases[] = {
        {"emoji", "\xF0\x9F\x98\x80", 0}, {"emoji after text", "AB\xF0\x9F\x98\x80", 2},
        {"hangul", "\xEA\xB0\x80", 0},    {"invalid lead", "\xFF", 0},
        {"cut sequence", "A\xE8\xA1", 1}, {"bad continuation", "\xC3\x28", 0},
        {"surrogate", "\xED\xA0\x80", 0}, {"overlong slash", "\xC0\xAF", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextResult r = Utf8ToSjis(c.utf8);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.text.empty());
        EXPECT_EQ(r.badOffset, c.badOffset);
    }
}

TEST(SjisText, YenSignEncodesAsBackslashByte) {
    const TextResult r = Utf8ToSjis("\xC2\xA5");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "\x5C");
}

TEST(SjisDisplay, EscapesBadBytesAndGoesOn) {
    struct Case {
        const char* name;
        std::string sjis;
        std::string shown;
    };
    const Case cases[] = {
        {"bad byte in the middle",
         "AB\x80"
         "CD",
         "AB\\x80CD"},
        {"lead at the end", "A\x81", "A\\x81"},
        {"lead with a bad trail", "\x81\x20Z", "\\x81 Z"},
        {"several", "\xFF\xFE\xB1", "\\xFF\\xFE\xEF\xBD\xB1"},
        {"valid after bad", "\xA0\x95\x5C", "\\xA0\xE8\xA1\xA8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SjisToDisplay(c.sjis), c.shown);
    }
}

TEST(SjisDisplay, AnyBytesGiveValidUtf8) {
    std::mt19937 rng(17);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 20, '\0');
        for (char& b : bytes)
            b = static_cast<char>(rng() % 2 ? 0x80 + rng() % 0x80 : rng() % 0x100);
        const std::string shown = SjisToDisplay(bytes);
        ASSERT_TRUE(IsValidUtf8(shown)) << round;
        const TextResult strict = SjisToUtf8(bytes);
        if (strict.ok)
            ASSERT_EQ(shown, strict.text);
        else
            ASSERT_NE(shown.find("\\x"), std::string::npos);
    }
}

TEST(SjisCut, NeverSplitsACharacter) {
    struct Case {
        const char* name;
        std::string sjis;
        std::size_t max;
        std::string cut;
    };
    const Case cases[] = {
        {"shorter", "ABC", 16, "ABC"},
        {"ascii over", "ABCDEFGHIJKLMNOPQ", 16, "ABCDEFGHIJKLMNOP"},
        {"double-byte would straddle", "ABCDEFGHIJKLMNO\x95\x5C", 16, "ABCDEFGHIJKLMNO"},
        {"double-byte fits",
         "ABCDEFGHIJKLMN\x95\x5C"
         "X",
         16, "ABCDEFGHIJKLMN\x95\x5C"},
        {"trail in the lead range", "\x83\x93\x83\x93", 3, "\x83\x93"},
        {"all double-byte, even", "\x83\x93\x83\x93\x83\x93", 4, "\x83\x93\x83\x93"},
        {"half-width katakana is one byte", "\xB1\xB2\xB3", 2, "\xB1\xB2"},
        {"lone lead at the end", "AB\x81", 3, "AB\x81"},
        {"boot name", "\x83\x66\x83\x55\x83\x43\x83\x93XYZ", 10,
         "\x83\x66\x83\x55\x83\x43\x83\x93XY"},
        {"zero", "ABC", 0, ""},
        {"first is double-byte, room for one byte", "\x95\x5C", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutSjis(c.sjis, c.max), c.cut);
    }
}

TEST(SjisCut, CutTextStillDecodes) {
    const std::string name = "\x83\x66\x83\x55\x83\x43\x83\x93\x95\x5C\xB1\x83\x93\x95\x5C";
    for (std::size_t max = 0; max <= name.size(); ++max) {
        SCOPED_TRACE(max);
        const std::string cut = CutSjis(name, max);
        EXPECT_LE(cut.size(), max);
        EXPECT_GE(cut.size() + 1, max < name.size() ? max : name.size());
        EXPECT_TRUE(SjisToUtf8(cut).ok);
    }
}

TEST(SjisLead, Ranges) {
    for (int c = 0; c < 256; ++c) {
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(IsSjisLeadByte(static_cast<unsigned char>(c)), lead) << c;
    }
}

} // namespace

namespace {

// The conversion glibc's own table makes, without the library's shortcut for ASCII.
std::string IconvAll(const char* to, const char* from, std::string in) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(in.size() * 4 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t srcLeft = in.size(), dstLeft = out.size();
    EXPECT_NE(iconv(cd, &src, &srcLeft, &dst, &dstLeft), static_cast<std::size_t>(-1));
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

TEST(SjisText, AsciiConvertsAsTheCp932TableDoes) {
    std::string every;
    for (int c = 0; c < 0x80; ++c)
        every += static_cast<char>(c);
    // Each byte alone, then all of them, then ASCII next to a double-byte character (so the
    // shortcut must not take text that only starts with ASCII).
    std::vector<std::string> texts;
    for (char c : every)
        texts.emplace_back(1, c);
    texts.push_back(every);
    texts.push_back("A\\~\x82\xA0");
    for (const std::string& sjis : texts) {
        SCOPED_TRACE(testing::PrintToString(sjis));
        const std::string want = IconvAll("UTF-8", "CP932", sjis);
        const TextResult utf8 = SjisToUtf8(sjis);
        ASSERT_TRUE(utf8.ok);
        EXPECT_EQ(utf8.text, want);
        EXPECT_EQ(SjisToDisplay(sjis), want);
        const TextResult back = Utf8ToSjis(want);
        ASSERT_TRUE(back.ok);
        EXPECT_EQ(back.text, IconvAll("CP932", "UTF-8", want));
        EXPECT_EQ(back.text, sjis);
    }
}

} // namespace

TEST(SjisToTerminal, ControlCharactersBecomeVisibleEscapes) {
    struct Case {
        std::string sjis;
        const char* shown;
    };
    const Case kCases[] = {
        {"ABC", "ABC"},
        {std::string("A\x1B[2J\x07", 6), "A\\x1B[2J\\x07"},
        {std::string("\x00\x7F", 2), "\\x00\\x7F"},
        {"\x80\x83\x65", "\\x80テ"}, // undecodable bytes as before
        {"\r\n\t", "\\x0D\\x0A\\x09"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(SjisToTerminal(c.sjis), c.shown) << c.shown;
}
