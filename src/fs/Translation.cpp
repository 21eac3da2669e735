#include "fs/Translation.h"

namespace {
Translator g_translator = nullptr;
} // namespace

void SetTranslator(Translator translator) {
    g_translator = translator;
}

Translator GetTranslator() {
    return g_translator;
}

std::string Translate(const char* msgid) {
    return g_translator ? g_translator(msgid, nullptr, 1) : std::string(msgid);
}

std::string TranslatePlural(const char* singular, const char* plural, unsigned long n) {
    if (g_translator)
        return g_translator(singular, plural, n);
    return n == 1 ? singular : plural;
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            text += pattern[i];
            continue;
        }
        if (pattern[i + 1] == '%') {
            text += '%';
            ++i;
            continue;
        }
        // "%s" takes the next argument, "%2$s" the second (a translation may reorder them).
        std::size_t at = i + 1, number = 0;
        while (at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9')
            number = number * 10 + static_cast<std::size_t>(pattern[at++] - '0');
        const bool positional = number > 0 && at + 1 < pattern.size() && pattern[at] == '$' &&
                                pattern[at + 1] == 's';
        if (pattern[i + 1] == 's' || positional) {
            const std::size_t index = positional ? number - 1 : next++;
            if (index < args.size())
                text += args.begin()[index];
            i = positional ? at + 1 : i + 1;
            continue;
        }
        text += pattern[i];
    }
    return text;
}
