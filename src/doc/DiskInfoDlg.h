#pragma once

#include <string>

#include <wx/dialog.h>

class wxCheckBox;
class wxTextCtrl;

// The disk-information dialog: the name and write-protect flag of a disk's D88 header. OK
// returns them; a name the header cannot hold is refused at once and the dialog stays open.
class CDiskInfoDlg : public wxDialog {
public:
    explicit CDiskInfoDlg(wxWindow* parent = nullptr);

    // The header's name as its bytes (Shift-JIS), before the dialog runs and after OK. A name
    // left as shown keeps its bytes, even those that show as "\xHH".
    std::string m_sjisName;
    bool m_bWriteProtected = false;

    bool TransferDataToWindow() override;

private:
    void OnOK(wxCommandEvent& event);

    wxString m_shownName;
    wxTextCtrl* m_pName = nullptr;
    wxCheckBox* m_pProtect = nullptr;
};
