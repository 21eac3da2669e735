#pragma once

#include <string>

#include <wx/dialog.h>
#include <wx/event.h>
#include <wx/string.h>

class wxWindow;

// Pieces the dialogs share: loading a template, the keys every dialog answers, message boxes as
// the commands show them, and the UTF-8 boundary of host paths.
namespace DialogSupport {

// Loads template `name` into dlg (constructed with wxDialog's default constructor), sized by
// its sizers and centred on its parent; Enter then presses the default button. False when the
// template is missing.
bool LoadTemplate(wxDialog& dlg, wxWindow* parent, const char* name);

// What Enter does in a dialog (Escape is wx's own: Cancel): it presses the default button,
// unless a button has the focus and takes the key itself. True when the key was Enter's.
bool PressDefaultButton(wxDialog& dlg, const wxKeyEvent& key);

// A message box with an OK button and no icon, caption "エラー".
void ShowError(wxWindow* parent, const std::string& text);
// A notice with an OK button, caption "Darvex".
void ShowInformation(wxWindow* parent, const wxString& text);
// OK and Cancel, no icon; true for OK.
bool AskOkCancel(wxWindow* parent, const std::string& text, const std::string& caption);

// Closes a dialog with a result whether it runs modally or under a test hook, where
// ShowModal never ran and EndModal would assert.
void EndDialogWith(wxDialog& dlg, int result);

inline wxString FromUtf8(const std::string& s) {
    return wxString::FromUTF8(s.data(), s.size());
}
inline std::string ToUtf8(const wxString& s) {
    return s.utf8_string();
}

// What a file dialog with a default extension returns: the chosen path, with "." and ext
// added when its last element has no extension of its own.
std::string WithDefaultExtension(const std::string& path, const char* ext);

} // namespace DialogSupport
