#pragma once

#include <string>
#include <string_view>

// Text at the tool's boundary: command-line arguments are UTF-8, names on the disk Shift-JIS.

// Upper-case hex of every byte, no separators: "4142" for "AB".
std::string HexBytes(std::string_view bytes);

// Columns a UTF-8 text takes on a terminal that shows full-width characters double; the
// half-width katakana of the MZ character set count one, as on the machine.
int DisplayWidth(std::string_view utf8);
std::string PadToWidth(std::string text, int width);
