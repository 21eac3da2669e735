#pragma once

#include <string>

#include "host/UiLanguage.h"

// darvex-cli speaks the user's language (LanguageFromEnvironment) through the C library's
// gettext, with the catalog beside the program; English is the msgids themselves and needs no
// catalog, so an English command touches no locale and reads no file for it.
void UseUserLanguage();
// The same for a given language and catalog folder (empty: English whatever is asked).
void UseLanguage(UiLanguage language, const std::string& catalogFolder);

// msgid (marked N_ where it stands) in the tool's language.
std::string Tr(const char* msgid);
