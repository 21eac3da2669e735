#pragma once

#include <string>

#include "image/ByteView.h"
#include "view/Listing.h"

// What the lister knows of where a program comes from.
struct BasicOrigin {
    // A 2DD disk: only the MZ-2500 writes them, and its BASIC-M25 stores programs in another,
    // unpublished form.
    bool mz2500Disk = false;
};

// A BTX program of the S-BASIC family of the MZ-80B and MZ-2000/2200 as lines
// "<line number> <text>". Each program line is a record: a 16-bit little-endian length that
// counts the whole record, the 16-bit line number, the text and 0x0D; a length of 0 ends the
// program. A record that does not fit, line numbers that do not ascend or a missing end mark
// end the listing with a note there. A program from an MZ-2500 disk, or one whose first line
// does not parse, is shown as hex with a note saying why.
Listing ListBasic(ByteView program, const BasicOrigin& origin = {});

// The text of one program line (between the line number and 0x0D), tokens spelled out.
// Strings, and the text after REM, DATA and DEF KEY( up to ":", show ASCII and kana as
// themselves; every byte that is neither text nor a known token shows as {XX}.
std::string BasicLineText(ByteView text);
