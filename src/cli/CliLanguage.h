#pragma once

#include <string>

// darvex-cli speaks the user's language (LanguageFromEnvironment) through the C library's
// gettext, with the catalog beside the program; English is the msgids themselves and needs no
// catalog, so an English command touches no locale and reads no file for it.
void UseUserLanguage();

// msgid (a literal, which xgettext takes from here) in the tool's language.
std::string Tr(const char* msgid);
