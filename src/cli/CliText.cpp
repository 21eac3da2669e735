#include "cli/CliText.h"

#include "fs/SjisText.h"

std::string HexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        hex += kDigits[c >> 4];
        hex += kDigits[c & 0xF];
    }
    return hex;
}

int DisplayWidth(std::string_view utf8) {
    int width = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        auto [cp, len] = Utf8CodePointAt(utf8, at);
        at += len;
        const bool halfWidthKana = cp >= 0xFF61 && cp <= 0xFF9F;
        width += (cp < 0x1100 || halfWidthKana) ? 1 : 2;
    }
    return width;
}

std::string PadToWidth(std::string text, int width) {
    const int have = DisplayWidth(text);
    if (have < width)
        text.append(static_cast<std::size_t>(width - have), ' ');
    return text;
}
