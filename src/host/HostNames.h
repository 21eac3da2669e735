#pragma once

#include <string>
#include <string_view>

// The host-side names of files taken out of a disk. The extract dialog and `darvex-cli get`
// propose the same names.

// The proposed output name of an extracted entry, as Shift-JIS: the name text's part before
// its first "." and, after a ".", the part after its last "." (BIN), or "mzt" (MZT).
std::string ProposeExtractName(std::string_view nameText, bool mzt);

// A host file name made from disk text (Shift-JIS): converted to UTF-8, bytes that do not
// decode shown as \xHH, "/" and control characters replaced by "_". Never empty, "." or "..",
// so joined to a folder it always names a file directly inside that folder.
std::string SafeHostFileName(std::string_view sjis);

// The name with "~n" before its extension, for an extraction whose own name is taken already
// (by an earlier entry of the same run, or by a file that was there before).
std::string NumberedName(const std::string& name, int n);
