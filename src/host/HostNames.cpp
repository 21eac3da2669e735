#include "host/HostNames.h"

#include "fs/SjisText.h"
#include "host/PathParts.h"

std::string ProposeExtractName(std::string_view nameText, bool mzt) {
    const std::size_t firstDot = nameText.find('.');
    const std::size_t lastDot = nameText.rfind('.');
    const std::string base(nameText.substr(0, firstDot));
    const std::string ext(lastDot == std::string_view::npos ? std::string_view{}
                                                            : nameText.substr(lastDot + 1));
    // Composed as the extract dialog composes its proposal: an empty extension adds no dot.
    PathParts parts;
    parts.SetFname(base.c_str());
    parts.SetExt(mzt ? "mzt" : ext.c_str());
    return parts.GetPath(PP_FNAME | PP_EXT);
}

std::string SafeHostFileName(std::string_view sjis) {
    const std::string display = SjisToDisplay(sjis);
    std::string name;
    for (std::size_t at = 0; at < display.size();) {
        auto [cp, len] = Utf8CodePointAt(display, at);
        if (cp == '/' || IsControlCodePoint(cp))
            name += '_';
        else
            name.append(display, at, len);
        at += len;
    }
    if (name.empty() || name == ".")
        return "_";
    if (name == "..")
        return "__";
    return name;
}

std::string NumberedName(const std::string& name, int n) {
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        dot = name.size();
    // Built by appending: "~" + to_string(n) trips a false -Wrestrict of GCC 12 at -O3.
    std::string numbered = name.substr(0, dot);
    numbered += '~';
    numbered += std::to_string(n);
    numbered.append(name, dot, std::string::npos);
    return numbered;
}
