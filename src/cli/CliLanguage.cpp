#include "cli/CliLanguage.h"

#include <libintl.h>

#include "fs/Translation.h"

namespace {

constexpr const char* kCatalog = "darvex";

std::string FromCatalog(const char* msgid) {
    return dgettext(kCatalog, msgid);
}

} // namespace

void UseUserLanguage() {
    const UiLanguage language = LanguageFromEnvironment();
    if (language == UiLanguage::English) {
        SetTranslator(nullptr);
        return;
    }
    UseLanguage(language, OwnCatalogFolder());
}

void UseLanguage(UiLanguage language, const std::string& catalogFolder) {
    if (language == UiLanguage::English || catalogFolder.empty()) {
        SetTranslator(nullptr);
        return;
    }
    UseLanguageForGettext(language);
    bindtextdomain(kCatalog, catalogFolder.c_str());
    // Whatever the terminal's locale says, the texts go out as UTF-8, like every name the tool
    // prints.
    bind_textdomain_codeset(kCatalog, "UTF-8");
    SetTranslator(&FromCatalog);
}

std::string Tr(const char* msgid) {
    return Translate(msgid);
}
