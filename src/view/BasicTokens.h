#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "image/ByteView.h"

// The intermediate codes of the S-BASIC family of the MZ-80B and MZ-2000/2200 (SB-5520,
// MZ-1Z001, MZ-1Z002, MZ-2Z001, MZ-2Z002, MZ-2Z021, SB-6520), as three public descriptions
// give them. Statements are 0x80 and one byte; functions, comparison operators, TO and STEP
// are one byte from 0x83; the cursor functions CSRV and CSRH are 0xB2 and one byte.

// Which descriptions name a token (a bit each).
enum BasicTokenSource : unsigned {
    // kuran-kuran/BasicConverter, SBasicConverter/source/BasicCode.h (MIT)
    kSourceConverter = 1u << 0,
    // mkomakonkon/MZ-2000, MZ80B/misc/SB-5520中間コード.txt (the statements only)
    kSourceSb5520 = 1u << 1,
    // psychotimmy/MZ-Utilities, mzfview.c: its SA-5510 lister, for the part the two share
    kSourceSa5510 = 1u << 2,
};

struct BasicToken {
    std::uint8_t lead; // 0x80 or 0xB2 for a two-byte token, 0 for a one-byte token
    std::uint8_t code;
    std::string_view text;
    unsigned sources;
    // REM, DATA and DEF KEY( are followed by raw text up to ":" or the line's end.
    bool rawAfter = false;

    std::size_t Length() const { return lead != 0 ? 2 : 1; }
    // Only one description gives it: the reading is less certain.
    bool OnlyOneSource() const { return (sources & (sources - 1)) == 0; }
};

std::span<const BasicToken> BasicTokenTable();

// The token that starts at text[at], the longer one where a two-byte and a one-byte token
// share a first byte; nullptr when none does (printable ASCII never starts a token).
const BasicToken* FindBasicToken(ByteView text, std::size_t at);
