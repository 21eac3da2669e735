#pragma once

#include <wx/gdicmn.h>

class wxDialog;

// Dialog templates are laid out in dialog units of the dialog font (set by the XRC). This
// gives the dialog its client size in dialog units, grown where a control (GTK's are taller
// than the templates allow) would otherwise be clipped, and centres it on its parent.
void FitDialogUnits(wxDialog* dialog, const wxSize& dialogUnits);
