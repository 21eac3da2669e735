#pragma once

#include <string>

#include <wx/dialog.h>
#include <wx/string.h>

class wxWindow;

// Pieces the command dialogs share: loading a template at the size its dialog units give,
// message boxes as the commands show them, and the UTF-8 boundary of host paths.
namespace DialogSupport {

// Loads template `name` into dlg (constructed with wxDialog's default constructor) and sizes
// it to width x height dialog units of its own font. False when the template is missing.
bool LoadTemplate(wxDialog& dlg, wxWindow* parent, const char* name, int width, int height);

// A message box with an OK button and no icon, caption "エラー".
void ShowError(wxWindow* parent, const std::string& text);
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
