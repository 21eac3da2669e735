#include "doc/JaMessageBox.h"

#include <wx/msgdlg.h>

#include "doc/DocText.h"

int JaMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, long style) {
    wxMessageDialog dialog(parent, text, caption, style);
    const wxString yes = wxString::FromUTF8(doctext::kYes);
    const wxString no = wxString::FromUTF8(doctext::kNo);
    const wxString ok = wxString::FromUTF8(doctext::kOk);
    const wxString cancel = wxString::FromUTF8(doctext::kCancel);
    if (style & wxYES_NO)
        dialog.SetYesNoCancelLabels(yes, no, cancel);
    else
        dialog.SetOKCancelLabels(ok, cancel);
    return dialog.ShowModal();
}
