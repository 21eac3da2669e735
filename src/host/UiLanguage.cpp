#include "host/UiLanguage.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "fs/Translation.h"

namespace {

constexpr const char* kDomain = "darvex";
constexpr const char* kCatalogName = "darvex.mo";
constexpr const char* kJapaneseCode = "ja";

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

std::string FromCatalog(const char* msgid, const char* plural, unsigned long n) {
    return plural ? dngettext(kDomain, msgid, plural, n) : dgettext(kDomain, msgid);
}

bool HasCatalogs(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::exists(folder / kJapaneseCode / "LC_MESSAGES" / kCatalogName, ec);
}

} // namespace

UiLanguage LanguageFromVariables(const char* language, const char* lcAll, const char* lcMessages,
                                 const char* lang) {
    for (const char* value : {language, lcAll, lcMessages, lang}) {
        if (!IsSet(value))
            continue;
        // LANGUAGE is a list ("ja:en"): its first entry is the user's first choice.
        return std::strncmp(value, kJapaneseCode, 2) == 0 ? UiLanguage::Japanese
                                                          : UiLanguage::English;
    }
    return UiLanguage::English;
}

UiLanguage LanguageFromEnvironment() {
    return LanguageFromVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                 std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string_view LanguageCode(UiLanguage language) {
    return language == UiLanguage::Japanese ? kJapaneseCode : "en";
}

std::string CatalogFolder(const std::string& exePath) {
    const std::filesystem::path folder = std::filesystem::path(exePath).parent_path();
    for (const std::filesystem::path& candidate :
         {folder / "locale", folder / ".." / "share" / "locale"}) {
        if (HasCatalogs(candidate))
            return candidate.lexically_normal().string();
    }
    return {};
}

std::string OwnCatalogFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : CatalogFolder(exe.string());
}

void UseLanguageForGettext(UiLanguage language) {
    // gettext ignores LANGUAGE while the message locale is "C", which is what a locale that is
    // not generated here falls back to; C.UTF-8 is always there and lets LANGUAGE decide.
    const char* current = std::setlocale(LC_MESSAGES, nullptr);
    if (current == nullptr || std::strcmp(current, "C") == 0 || std::strcmp(current, "POSIX") == 0)
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    setenv("LANGUAGE", std::string(LanguageCode(language)).c_str(), 1);
}

void UseGettextCatalog(UiLanguage language, const std::string& catalogFolder) {
    if (language == UiLanguage::English || catalogFolder.empty()) {
        SetTranslator(nullptr);
        return;
    }
    UseLanguageForGettext(language);
    bindtextdomain(kDomain, catalogFolder.c_str());
    // Whatever the terminal's locale says, the texts come out as UTF-8, like every name the
    // programs show.
    bind_textdomain_codeset(kDomain, "UTF-8");
    SetTranslator(&FromCatalog);
}
