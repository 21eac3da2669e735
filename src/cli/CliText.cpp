#include "cli/CliText.h"

#include "fs/SjisText.h"
#include "ui/PathParts.h"

namespace {

// The code point starting at utf8[at] and its length; a stray byte counts as one character.
std::pair<char32_t, std::size_t> DecodeAt(std::string_view utf8, std::size_t at) {
    const auto c = static_cast<unsigned char>(utf8[at]);
    std::size_t len = c < 0x80           ? 1
                      : (c >> 5) == 0x6  ? 2
                      : (c >> 4) == 0xE  ? 3
                      : (c >> 3) == 0x1E ? 4
                                         : 1;
    if (at + len > utf8.size())
        len = 1;
    if (len == 1)
        return {c, 1};
    char32_t cp = c & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
    return {cp, len};
}

bool IsControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

} // namespace

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

std::optional<std::uint16_t> ParseHex16(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<std::uint16_t>(value);
}

int DisplayWidth(std::string_view utf8) {
    int width = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        auto [cp, len] = DecodeAt(utf8, at);
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

std::string SafeHostFileName(std::string_view sjis) {
    const std::string display = SjisToDisplay(sjis);
    std::string name;
    for (std::size_t at = 0; at < display.size();) {
        auto [cp, len] = DecodeAt(display, at);
        if (cp == '/' || IsControl(cp))
            name += '_';
        else
            name.append(display, at, len);
        at += len;
    }
    if (name.empty() || name == ".")
        return "_";
    if (name == "..")
        return "__";
    return name;
}

std::string ProposeExtractName(std::string_view nameText, bool mzt) {
    const std::size_t firstDot = nameText.find('.');
    const std::size_t lastDot = nameText.rfind('.');
    const std::string base(nameText.substr(0, firstDot));
    const std::string ext(lastDot == std::string_view::npos ? std::string_view{}
                                                            : nameText.substr(lastDot + 1));
    // Composed as the extract dialog composes its proposal: an empty extension adds no dot.
    PathParts parts(PathStyle::Posix);
    parts.SetFname(base.c_str());
    parts.SetExt(mzt ? "mzt" : ext.c_str());
    return parts.GetPath(PP_FNAME | PP_EXT);
}
