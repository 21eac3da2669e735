#include "fs/SjisText.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace {

// An iconv descriptor for one call: opening per call keeps the conversions free of shared
// state between threads.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (Valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts from `in` onwards, appending to `out`, until the input ends or a byte sequence
    // does not convert. Returns the number of input bytes consumed; the input was used up
    // when that equals in.size().
    std::size_t Convert(std::string_view in, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[256];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            std::size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG)
                break; // EILSEQ or EINVAL: src points at the sequence that failed
        }
        return in.size() - srcLeft;
    }

private:
    iconv_t m_cd;
};

constexpr const char* kSjis = "CP932";
constexpr const char* kUtf8 = "UTF-8";

// CP932 and UTF-8 agree on the bytes 0x00-0x7F, so text made of those alone needs no
// conversion table: most names on real disks, and ls of such a disk loads no table at all.
bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

TextResult ConvertAll(const char* to, const char* from, std::string_view in) {
    TextResult result;
    if (IsAscii(in)) {
        result.ok = true;
        result.text = std::string(in);
        return result;
    }
    Iconv cd(to, from);
    if (!cd.Valid())
        return result; // no such table: nothing converts
    std::string out;
    std::size_t used = cd.Convert(in, out);
    if (used < in.size()) {
        result.badOffset = used;
        return result;
    }
    result.ok = true;
    result.text = std::move(out);
    return result;
}

} // namespace

TextResult SjisToUtf8(std::string_view sjis) {
    return ConvertAll(kUtf8, kSjis, sjis);
}

TextResult Utf8ToSjis(std::string_view utf8) {
    return ConvertAll(kSjis, kUtf8, utf8);
}

std::string SjisToDisplay(std::string_view sjis) {
    if (IsAscii(sjis))
        return std::string(sjis);
    std::string out;
    Iconv cd(kUtf8, kSjis);
    std::size_t at = 0;
    while (at < sjis.size()) {
        if (cd.Valid())
            at += cd.Convert(sjis.substr(at), out);
        if (at >= sjis.size())
            break;
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(sjis[at]));
        out += escape;
        ++at;
    }
    return out;
}

std::string CutSjis(std::string_view sjis, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < sjis.size()) {
        std::size_t width = 1;
        if (IsSjisLeadByte(static_cast<unsigned char>(sjis[end])) && end + 1 < sjis.size())
            width = 2;
        if (end + width > maxBytes)
            break;
        end += width;
    }
    return std::string(sjis.substr(0, end));
}

std::pair<char32_t, std::size_t> Utf8CodePointAt(std::string_view utf8, std::size_t at) {
    const auto c = static_cast<unsigned char>(utf8[at]);
    std::size_t len = c < 0x80           ? 1
                      : (c >> 5) == 0x6  ? 2
                      : (c >> 4) == 0xE  ? 3
                      : (c >> 3) == 0x1E ? 4
                                         : 1;
    if (at + len > utf8.size())
        len = 1;
    if (len == 1)
        return {c, 1};
    char32_t cp = c & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
    return {cp, len};
}

std::string SjisToTerminal(std::string_view sjis) {
    const std::string display = SjisToDisplay(sjis);
    std::string shown;
    for (std::size_t at = 0; at < display.size();) {
        const auto [cp, len] = Utf8CodePointAt(display, at);
        if (IsControlCodePoint(cp)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(cp));
            shown += hex;
        } else {
            shown.append(display, at, len);
        }
        at += len;
    }
    return shown;
}
