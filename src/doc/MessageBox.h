#pragma once

#include <wx/string.h>

class wxWindow;

// A message box whose buttons speak the program's language ("OK", "キャンセル", "はい", "いいえ"
// in Japanese) whatever the desktop's locale. style takes wxOK, wxOK | wxCANCEL or
// wxYES_NO [| wxCANCEL] and an icon flag; the result is wxID_OK, wxID_CANCEL, wxID_YES or
// wxID_NO.
int ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, long style);
