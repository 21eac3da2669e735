#pragma once

#include <string>

#include "image/ByteView.h"
#include "view/Listing.h"

// One line of Shift-JIS text as UTF-8: ASCII, JIS X 0201 kana and the two-byte characters of
// CP932 as text; control bytes, bytes that are not Shift-JIS and pairs CP932 does not map as
// {XX}, one byte at a time.
std::string SjisLineText(ByteView bytes);

// Bytes as lines of text, each ended by 0x0D (a last line without it is a line too).
Listing ListText(ByteView bytes);
