// Lists any bytes as a BASIC program (as from an MZ-80B/2000 disk and from an MZ-2500 one), as
// text and as hex, checking that every line is free of control characters and that the output
// stays within a fixed multiple of the input: the longest spelling of one byte is an
// 11-character keyword, and a line costs at least 5 bytes of input for its at most 6-character
// number.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fs/SjisText.h"
#include "view/BasicListing.h"
#include "view/HexView.h"
#include "view/TextView.h"

#include "FuzzDisk.h"

namespace {

using fuzzdisk::Check;

constexpr std::size_t kBytesPerInputByte = 12;
constexpr std::size_t kSlack = 128;

void CheckListing(const Listing& listing, std::size_t inputBytes) {
    std::size_t total = 0;
    for (const std::string& line : listing.lines) {
        total += line.size();
        for (std::size_t at = 0; at < line.size();) {
            const auto [cp, len] = Utf8CodePointAt(line, at);
            Check(!IsControlCodePoint(cp));
            at += len;
        }
    }
    Check(total <= kBytesPerInputByte * inputBytes + kSlack);
    for (const ViewNote& note : listing.notes)
        Check(note.atLine <= listing.lines.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView bytes(data, size);
    CheckListing(ListBasic(bytes), size);
    const Listing m25 = ListBasic(bytes, {.mz2500Disk = true});
    Check(m25.kind == ViewKind::Hex && m25.bytes.size() == size);
    CheckListing(m25, size);
    CheckListing(ListText(bytes), size);
    Listing line;
    line.lines.push_back(BasicLineText(bytes));
    CheckListing(line, size);
    return 0;
}
