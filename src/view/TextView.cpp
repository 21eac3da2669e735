#include "view/TextView.h"

#include <string_view>

#include "fs/SjisText.h"
#include "view/ByteText.h"

namespace {

constexpr unsigned char kLineEnd = 0x0D;

constexpr bool IsSjisTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// A run of bytes that look like text. ASCII and kana alone need no table; a run with two-byte
// characters is converted in one piece, and a pair CP932 does not map is escaped byte by byte
// and the rest converted again.
void AppendRun(std::string& out, std::string_view run, bool hasPairs) {
    if (!hasPairs) {
        for (char c : run)
            AppendSingleByteText(out, static_cast<unsigned char>(c));
        return;
    }
    while (!run.empty()) {
        const TextResult all = SjisToUtf8(run);
        if (all) {
            out += all.text;
            return;
        }
        out += SjisToUtf8(run.substr(0, all.badOffset)).text;
        AppendByteEscape(out, static_cast<unsigned char>(run[all.badOffset]));
        run.remove_prefix(all.badOffset + 1);
    }
}

} // namespace

std::string SjisLineText(ByteView bytes) {
    std::string out;
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    std::size_t runStart = 0;
    bool hasPairs = false;
    std::size_t i = 0;
    const auto flush = [&](std::size_t end) {
        AppendRun(out, std::string_view(data + runStart, end - runStart), hasPairs);
        hasPairs = false;
    };
    while (i < bytes.size()) {
        const unsigned char b = bytes.u8(i);
        if (IsPrintableAscii(b) || IsJisKana(b)) {
            ++i;
        } else if (IsSjisLeadByte(b) && i + 1 < bytes.size() && IsSjisTrailByte(bytes.u8(i + 1))) {
            hasPairs = true;
            i += 2;
        } else {
            flush(i);
            AppendByteEscape(out, b);
            runStart = ++i;
        }
    }
    flush(i);
    return out;
}

Listing ListText(ByteView bytes) {
    Listing listing;
    listing.kind = ViewKind::Text;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.u8(i) == kLineEnd) {
            listing.lines.push_back(SjisLineText(bytes.slice(start, i - start)));
            start = i + 1;
        }
    }
    if (start < bytes.size())
        listing.lines.push_back(SjisLineText(bytes.slice(start, bytes.size() - start)));
    return listing;
}
