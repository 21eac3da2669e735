#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "image/ByteView.h"
#include "view/Listing.h"

// Rows of 16 bytes: offset, the bytes and the bytes as text (ASCII and kana as themselves,
// every other byte as "."), one character cell per byte so that columns stay aligned.
struct HexRow {
    static constexpr std::size_t kBytes = 16;

    std::size_t offset = 0;
    std::array<unsigned char, kBytes> bytes{};
    std::size_t count = 0; // bytes in this row; fewer than 16 only in the last
    std::string text;      // UTF-8
};

std::vector<HexRow> HexRows(ByteView bytes);

// Hex digits the offsets of `totalBytes` bytes need: at least 4.
int OffsetDigits(std::size_t totalBytes);

// "0000  80 B0 20 49 31 2C 4F 31  2C 43 3A 80 88 20 A4 36  .. I1,O1,C:.. .6"; a short last
// row is padded so that its text column stands where the others' does.
std::string FormatHexRow(const HexRow& row, int offsetDigits);

// The bytes as formatted rows; the listing keeps the bytes too.
Listing ListHex(ByteView bytes);
