#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Text at the tool's boundary: command-line arguments are UTF-8, names on the disk Shift-JIS.

// Upper-case hex of every byte, no separators: "4142" for "AB".
std::string HexBytes(std::string_view bytes);

// A 16-bit address: one to four hex digits, optionally after "0x" or "0X".
std::optional<std::uint16_t> ParseHex16(std::string_view text);

// Columns a UTF-8 text takes on a terminal that shows full-width characters double; the
// half-width katakana of the MZ character set count one, as on the machine.
int DisplayWidth(std::string_view utf8);
std::string PadToWidth(std::string text, int width);

// A host file name made from disk text (Shift-JIS): converted to UTF-8, bytes that do not
// decode shown as \xHH, "/" and control characters replaced by "_". Never empty, "." or "..",
// so joined to a folder it always names a file directly inside that folder.
std::string SafeHostFileName(std::string_view sjis);

// The proposed output name of an extracted entry, as Shift-JIS: the name text's part before
// its first "." and, after a ".", the part after its last "." (BIN), or "mzt" (MZT).
std::string ProposeExtractName(std::string_view nameText, bool mzt);
