#pragma once

#include <cstdio>
#include <string>

// How the views spell single bytes: printable ASCII as itself, JIS X 0201 kana as the
// half-width katakana of Unicode, anything else as {XX}.

constexpr bool IsPrintableAscii(unsigned char b) {
    return b >= 0x20 && b <= 0x7E;
}

constexpr bool IsJisKana(unsigned char b) {
    return b >= 0xA1 && b <= 0xDF;
}

inline void AppendByteEscape(std::string& out, unsigned char b) {
    char text[8];
    std::snprintf(text, sizeof text, "{%02X}", b);
    out += text;
}

// 0xA1..0xDF are U+FF61..U+FF9F, three bytes each in UTF-8.
inline void AppendKana(std::string& out, unsigned char b) {
    const unsigned cp = 0xFF61u + (b - 0xA1u);
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

// A byte of a BASIC string or REM text, or of a hex row's text column: ASCII and kana as
// text, everything else escaped.
inline void AppendSingleByteText(std::string& out, unsigned char b) {
    if (IsPrintableAscii(b))
        out += static_cast<char>(b);
    else if (IsJisKana(b))
        AppendKana(out, b);
    else
        AppendByteEscape(out, b);
}
