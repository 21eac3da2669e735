#pragma once

#include <string>

#include <wx/dialog.h>

class wxChoice;
class wxTextCtrl;

// What the extract and boot-extract dialogs share: an output path the user may edit or
// browse for, and the format list "BIN" (index 0) / "MZT" (index 1) that switches the path's
// extension.
class COutputPathDlg : public wxDialog {
public:
    std::string m_szPath;      // output path, UTF-8
    std::string m_szImagePath; // the image file the disk was read from: never an output
    int m_nFormat = 0;         // 0 = BIN, 1 = MZT

    // The export operations' format for a list index: 1 (data only) for BIN, 0 for MZT.
    static int ExportFormatFor(int index) { return index == 0 ? 1 : 0; }

protected:
    COutputPathDlg(wxWindow* parent, const char* templateName);

    // Fills the format list and selects m_nFormat.
    void InitFormatList();
    // Replaces the edit box's text and reads it back into m_szPath.
    void ShowPath(const std::string& path);
    // The edit box's text as the operations take it.
    std::string PathText() const;
    int FormatIndex() const;
    // Asks once whether the file at path may be replaced; true for はい.
    bool ConfirmReplace(const std::string& path);

    // The extension a switch to BIN gives the path.
    virtual std::string BinExtension() const = 0;

private:
    void OnFormatChanged(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);

    wxTextCtrl* m_pPath = nullptr;
    wxChoice* m_pFormat = nullptr;
};
