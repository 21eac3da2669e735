#pragma once

#include <string>
#include <string_view>

// The language the programs speak to the user. The msgids are English; Japanese comes from the
// catalog po/ja.po.
enum class UiLanguage { English, Japanese };

// The user's language from the locale variables, as the C library ranks them: the first of
// LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and LANG that is set and not empty decides;
// "ja..." gives Japanese, anything else (or nothing) English. Whether that locale is generated
// on this machine does not matter.
UiLanguage LanguageFromEnvironment();
// The same over given values (null for an unset variable), in that order.
UiLanguage LanguageFromVariables(const char* language, const char* lcAll, const char* lcMessages,
                                 const char* lang);

// The language's code in catalog folders and settings: "ja", "en".
std::string_view LanguageCode(UiLanguage language);

// The folder of the message catalogs (<folder>/<lang>/LC_MESSAGES/darvex.mo) for the program at
// exePath: <its folder>/locale in a build tree, <its folder>/../share/locale once installed.
// Empty when neither holds the catalog.
std::string CatalogFolder(const std::string& exePath);
// The running program's own.
std::string OwnCatalogFolder();

// Makes the C library's gettext (which the desktop's own toolkit translates through too) look
// up `language`, also where the user's locale is not generated on this machine. Touches only
// the message category of the locale and the LANGUAGE variable of this process.
void UseLanguageForGettext(UiLanguage language);

// The core's messages (fs/Translation.h) from the catalog in catalogFolder through the C
// library's gettext, in `language`; English, or no catalog, leaves them as their msgids and
// touches no locale.
void UseGettextCatalog(UiLanguage language, const std::string& catalogFolder);
