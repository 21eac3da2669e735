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
    return g_translator ? g_translator(msgid) : std::string(msgid);
}
