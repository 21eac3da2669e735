#pragma once

#include <string>

#include "host/UiLanguage.h"

class wxConfigBase;
class wxFrame;

// The desktop program's language: the user's locale, or the choice made in the View menu.
namespace Localization {

enum class Setting { System, Japanese, English };

Setting ReadSetting(const wxConfigBase& config);
void WriteSetting(wxConfigBase& config, Setting setting);
// The language a setting gives on this desktop.
UiLanguage Resolve(Setting setting);

// Sets up wx's translations (the program's catalog and wx's own, wxstd), the XRC texts and the
// core's messages for `language`. catalogFolder: where the program's catalogs are (empty: the
// system's folders only). Safe to call again with another language.
void Use(UiLanguage language, const std::string& catalogFolder);
UiLanguage Current();

// The View menu's language items: checked by the setting, which a click changes for the next
// start.
void BindMenu(wxFrame* frame);

} // namespace Localization
