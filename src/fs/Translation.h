#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Marks an English msgid for the catalog (po/darvex.pot) where it stands untranslated (wx
// defines the same).
#ifndef N_
#define N_(text) (text)
#endif

// How the core's English msgids reach the user's language: the front end sets the lookup into
// its catalog once at start-up. plural is null for a text without plural forms; otherwise the
// lookup chooses between msgid (singular) and plural by n. Until a lookup is set, msgids stand
// for themselves (English).
using Translator = std::string (*)(const char* msgid, const char* plural, unsigned long n);

void SetTranslator(Translator translator);
Translator GetTranslator();

// msgid in the user's language; the msgid itself when the catalog has no translation.
std::string Translate(const char* msgid);
// The form of singular or plural that n takes, in the user's language.
std::string TranslatePlural(const char* singular, const char* plural, unsigned long n);

// pattern with each "%s" replaced by the next argument, in order, and each "%N$s" by the Nth
// (translations reorder so); "%%" is a "%". Patterns are translated msgids; msgfmt checks that
// a translation keeps their arguments.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);
