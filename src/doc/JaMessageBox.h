#pragma once

#include <wx/string.h>

class wxWindow;

// A message box with Japanese button labels whatever the locale ("OK", "キャンセル", "はい",
// "いいえ"). style takes wxOK, wxOK | wxCANCEL or wxYES_NO [| wxCANCEL] and an icon flag; the
// result is wxID_OK, wxID_CANCEL, wxID_YES or wxID_NO.
int JaMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, long style);
