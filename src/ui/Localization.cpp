#include "ui/Localization.h"

#include <wx/config.h>
#include <wx/frame.h>
#include <wx/intl.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "fs/Translation.h"

namespace {

constexpr const char* kSettingKey = "/Settings/Language";
UiLanguage g_current = UiLanguage::English;

struct MenuItem {
    const char* xrcName;
    Localization::Setting setting;
};
constexpr MenuItem kMenuItems[] = {
    {"ID_LANGUAGE_SYSTEM", Localization::Setting::System},
    {"ID_LANGUAGE_JAPANESE", Localization::Setting::Japanese},
    {"ID_LANGUAGE_ENGLISH", Localization::Setting::English},
};

std::string TranslateForCore(const char* msgid, const char* plural, unsigned long n) {
    if (!plural)
        return Tr(msgid).utf8_string();
    return wxGetTranslation(wxString::FromUTF8(msgid), wxString::FromUTF8(plural),
                            static_cast<unsigned>(n), doctext::kCatalog)
        .utf8_string();
}

} // namespace

namespace Localization {

Setting ReadSetting(const wxConfigBase& config) {
    const wxString code = config.Read(kSettingKey, wxString());
    if (code == LanguageCode(UiLanguage::Japanese).data())
        return Setting::Japanese;
    if (code == LanguageCode(UiLanguage::English).data())
        return Setting::English;
    return Setting::System;
}

void WriteSetting(wxConfigBase& config, Setting setting) {
    switch (setting) {
    case Setting::System:
        config.DeleteEntry(kSettingKey, false);
        break;
    case Setting::Japanese:
        config.Write(kSettingKey, wxString(LanguageCode(UiLanguage::Japanese).data()));
        break;
    case Setting::English:
        config.Write(kSettingKey, wxString(LanguageCode(UiLanguage::English).data()));
        break;
    }
    config.Flush();
}

UiLanguage Resolve(Setting setting) {
    switch (setting) {
    case Setting::Japanese:
        return UiLanguage::Japanese;
    case Setting::English:
        return UiLanguage::English;
    case Setting::System:
        break;
    }
    return LanguageFromEnvironment();
}

void Use(UiLanguage language, const std::string& catalogFolder) {
    // GTK's own texts (inside file choosers, text fields' menus) go through the C library.
    UseLanguageForGettext(language);
    if (!catalogFolder.empty())
        wxFileTranslationsLoader::AddCatalogLookupPathPrefix(wxString::FromUTF8(catalogFolder));
    auto* translations = new wxTranslations;
    wxTranslations::Set(translations);
    translations->SetLanguage(language == UiLanguage::Japanese ? wxLANGUAGE_JAPANESE
                                                               : wxLANGUAGE_ENGLISH_US);
    // Lookups that name no catalog (wx's own) search the catalog added last first: wx's.
    translations->AddCatalog(doctext::kCatalog);
    translations->AddStdCatalog();
    wxXmlResource::Get()->SetDomain(doctext::kCatalog);
    SetTranslator(&TranslateForCore);
    g_current = language;
}

UiLanguage Current() {
    return g_current;
}

void BindMenu(wxFrame* frame) {
    for (const MenuItem& item : kMenuItems) {
        const int id = wxXmlResource::GetXRCID(item.xrcName);
        const Setting setting = item.setting;
        frame->Bind(
            wxEVT_MENU,
            [frame, setting](wxCommandEvent&) {
                wxConfigBase* config = wxConfigBase::Get();
                if (ReadSetting(*config) == setting)
                    return;
                WriteSetting(*config, setting);
                DialogSupport::ShowInformation(
                    frame, Tr("The language changes when Darvex starts the next time."));
            },
            id);
        frame->Bind(
            wxEVT_UPDATE_UI,
            [setting](wxUpdateUIEvent& event) {
                event.Enable(true);
                event.Check(ReadSetting(*wxConfigBase::Get()) == setting);
            },
            id);
    }
}

} // namespace Localization
