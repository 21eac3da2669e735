#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The one reader of 16-bit addresses typed as hexadecimal.
enum class AddressSyntax {
    // The dialogs' rule, that of strtol with base 16: blanks, a sign and "0x" first, digits up
    // to the first other character, no digits give 0; the low 16 bits are kept ("12345" gives
    // 2345h, "XYZ" gives 0). Never fails.
    Lenient,
    // The command line's rule: 1 to 4 hex digits, optionally after "0x" or "0X", and nothing
    // else; any other text fails.
    Strict,
};

std::optional<std::uint16_t> ParseAddress(std::string_view text, AddressSyntax syntax);

// The value of one hexadecimal digit (either case); -1 for any other character.
int HexDigit(char c);
