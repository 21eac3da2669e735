#pragma once

#include <string>

// Marks an English msgid for the catalog (po/darvex.pot) where it stands untranslated (wx
// defines the same).
#ifndef N_
#define N_(text) (text)
#endif

// How the core's English msgids reach the user's language: the front end sets the lookup into
// its catalog once at start-up. Until one is set, a msgid stands for itself.
using Translator = std::string (*)(const char* msgid);

void SetTranslator(Translator translator);
Translator GetTranslator();

// msgid in the user's language; the msgid itself when the catalog has no translation.
std::string Translate(const char* msgid);
