#include "view/HexView.h"

#include <algorithm>
#include <cstdio>

#include "view/ByteText.h"

namespace {

void AppendCellText(std::string& out, unsigned char b) {
    if (IsPrintableAscii(b))
        out += static_cast<char>(b);
    else if (IsJisKana(b))
        AppendKana(out, b);
    else
        out += '.';
}

} // namespace

std::vector<HexRow> HexRows(ByteView bytes) {
    std::vector<HexRow> rows;
    rows.reserve((bytes.size() + HexRow::kBytes - 1) / HexRow::kBytes);
    for (std::size_t at = 0; at < bytes.size(); at += HexRow::kBytes) {
        HexRow row;
        row.offset = at;
        row.count = std::min(HexRow::kBytes, bytes.size() - at);
        bytes.copyTo(row.bytes.data(), at, row.count);
        for (std::size_t i = 0; i < row.count; ++i)
            AppendCellText(row.text, row.bytes[i]);
        rows.push_back(std::move(row));
    }
    return rows;
}

int OffsetDigits(std::size_t totalBytes) {
    int digits = 4;
    for (std::size_t last = totalBytes > 0 ? totalBytes - 1 : 0; (last >> (4 * digits)) != 0;)
        ++digits;
    return digits;
}

std::string FormatHexRow(const HexRow& row, int offsetDigits) {
    char cell[24];
    std::snprintf(cell, sizeof cell, "%0*zX ", offsetDigits, row.offset);
    std::string out = cell;
    for (std::size_t i = 0; i < HexRow::kBytes; ++i) {
        if (i % 8 == 0)
            out += ' ';
        if (i < row.count) {
            std::snprintf(cell, sizeof cell, "%02X ", row.bytes[i]);
            out += cell;
        } else {
            out += "   ";
        }
    }
    out += ' ';
    out += row.text;
    return out;
}

Listing ListHex(ByteView bytes) {
    Listing listing;
    listing.kind = ViewKind::Hex;
    const int digits = OffsetDigits(bytes.size());
    for (const HexRow& row : HexRows(bytes))
        listing.lines.push_back(FormatHexRow(row, digits));
    listing.bytes.assign(bytes.data(), bytes.data() + bytes.size());
    return listing;
}
