#include "doc/MessageBox.h"

#include <wx/msgdlg.h>
#include <wx/stockitem.h>

int ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, long style) {
    wxMessageDialog dialog(parent, text, caption, style);
    // wx's own labels, in the language its catalog speaks: GTK would take them from the
    // desktop's locale, which need not be the program's.
    const auto label = [](int id) { return wxGetStockLabel(id, wxSTOCK_NOFLAGS); };
    if (style & wxYES_NO)
        dialog.SetYesNoCancelLabels(label(wxID_YES), label(wxID_NO), label(wxID_CANCEL));
    else
        dialog.SetOKCancelLabels(label(wxID_OK), label(wxID_CANCEL));
    return dialog.ShowModal();
}
