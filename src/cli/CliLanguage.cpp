#include "cli/CliLanguage.h"

#include "fs/Translation.h"
#include "host/UiLanguage.h"

void UseUserLanguage() {
    const UiLanguage language = LanguageFromEnvironment();
    UseGettextCatalog(language,
                      language == UiLanguage::English ? std::string() : OwnCatalogFolder());
}

std::string Tr(const char* msgid) {
    return Translate(msgid);
}
