#include "fs/AddressText.h"

#include <cstdlib>
#include <string>

namespace {

std::optional<std::uint16_t> ParseStrict(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<std::uint16_t>(value);
}

} // namespace

std::optional<std::uint16_t> ParseAddress(std::string_view text, AddressSyntax syntax) {
    if (syntax == AddressSyntax::Strict)
        return ParseStrict(text);
    // strtol itself, so that its saturation and sign rules hold exactly; it needs the NUL.
    const std::string copy(text.substr(0, text.find('\0')));
    const long value = std::strtol(copy.c_str(), nullptr, 16);
    return static_cast<std::uint16_t>(static_cast<unsigned long>(value) & 0xFFFF);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
