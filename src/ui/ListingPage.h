#pragma once

#include <wx/string.h>

class wxNotebook;
class wxTextCtrl;

// Adds a page to book that shows a read-only listing in the fixed-pitch font, lines not wrapped,
// with a margin of the text's own background around it (GTK's text view has none, and a caret
// at the first column would cover the first character); returns its text control.
wxTextCtrl* AddListingPage(wxNotebook* book, const wxString& label, bool styled);
