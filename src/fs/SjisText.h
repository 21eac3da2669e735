#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

// Conversions between the Shift-JIS text on the disk and UTF-8 on the host, over iconv's
// "CP932" table: unlike plain Shift_JIS it keeps 0x5C a backslash and 0x7E a tilde, which
// is what host paths and the MZ names in them need.
struct TextResult {
    bool ok = false;
    std::string text;          // the converted text; empty when !ok
    std::size_t badOffset = 0; // when !ok: input byte offset of the first byte not converted

    explicit operator bool() const { return ok; }
};

// Fails on bytes that are not Shift-JIS (0x80, 0xA0, 0xFD..0xFF, a lead byte with a bad or
// missing trail byte).
TextResult SjisToUtf8(std::string_view sjis);
// Fails on invalid UTF-8 and on characters CP932 cannot encode. CP932's one-way mappings
// apply, so U+00A5 (yen) becomes 0x5C, as the MZ character set shows that byte anyway.
TextResult Utf8ToSjis(std::string_view utf8);
// Always valid UTF-8: decodable runs are converted and every byte that does not decode is
// shown as "\xHH" (upper-case hex), then decoding goes on with the next byte.
std::string SjisToDisplay(std::string_view sjis);

// As SjisToDisplay, and control characters (C0, DEL, C1) shown as "\xHH" too, so that a name
// from a disk can go to a terminal, or into a row of the tree or the list, without a byte of
// it acting there (a newline would make a row several lines tall). Both front ends show names
// through it.
std::string SjisToTerminal(std::string_view sjis);

// Shift-JIS lead bytes: the byte after one is its trail byte.
constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The longest prefix of at most maxBytes bytes that does not split a lead byte from its trail
// byte. A lead byte at the very end of the input (no trail) counts as one character.
std::string CutSjis(std::string_view sjis, std::size_t maxBytes);

// The code point starting at utf8[at] and its length in bytes; a stray or cut byte counts as
// one character of its own value.
std::pair<char32_t, std::size_t> Utf8CodePointAt(std::string_view utf8, std::size_t at);

// C0 controls, DEL and C1 controls: what a terminal would act on instead of showing.
constexpr bool IsControlCodePoint(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}
