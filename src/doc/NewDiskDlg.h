#pragma once

#include <wx/dialog.h>

class wxChoice;

// The new-disk dialog: the user picks one of the four disk types.
class CNewDiskDlg : public wxDialog {
public:
    explicit CNewDiskDlg(wxWindow* parent);

    // The list position; set before ShowModal, read after OK.
    void SetSelection(int position);
    int GetSelection() const { return m_nSelection; }
    // The disk type of the chosen position: 1, 2 and 3 are themselves, anything else is 0.
    int GetDiskType() const;

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    wxChoice* GetTypeChoice() const { return m_pType; }

private:
    wxChoice* m_pType = nullptr;
    int m_nSelection = 0;
};
