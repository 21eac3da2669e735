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
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == 's') {
                if (next != args.end())
                    text += *next++;
                ++i;
                continue;
            }
            if (pattern[i + 1] == '%') {
                text += '%';
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}
