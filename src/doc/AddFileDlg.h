#pragma once

#include <cstdint>
#include <string>

#include <wx/dialog.h>

#include "host/HostCommands.h"

class wxChoice;
class wxTextCtrl;

// The add-file dialog: the user reviews the directory entry a host file will get; OK returns
// the choices (a name the disk cannot hold is refused at once, the dialog stays open).
class CAddFileDlg : public wxDialog {
public:
    explicit CAddFileDlg(wxWindow* parent = nullptr);

    // Filled by the command before the dialog runs (Propose does it from a host file).
    std::string m_strPath;     // host path, UTF-8
    wxString m_strName;        // proposed entry name as the user reads it
    std::uint8_t m_byMode = 1; // mode choice 1..5; anything else selects no mode
    std::uint8_t m_byAttribute = 0;
    std::int64_t m_nSize = 0;
    std::uint16_t m_wLoadAddress = 0;
    std::uint16_t m_wExecAddress = 0;
    bool m_bMzt = false;
    // Set by "すべて OK": this file and every later one of the run are added unseen.
    bool m_bApplyToAll = false;

    // Fills the fields with what the core proposes for the chosen host file.
    void Propose(const std::string& path, const AddFileSource& source);

    bool TransferDataToWindow() override;
    // Shows "すべて OK", for a run that adds several files.
    void ShowAllOk(bool show);

    // What the user confirmed with OK; the command builds the entry and imports from it.
    const AddFileEntry::Choices& GetChoices() const { return m_choices; }

private:
    void OnOK(wxCommandEvent& event);
    void OnAllOk(wxCommandEvent& event);
    // OK's work; false when the dialog stays open.
    bool Accept();
    void UpdateOkButton();

    AddFileEntry::Proposal m_proposal; // what the name typed is checked against
    AddFileEntry::Choices m_choices;
    wxTextCtrl* m_pName = nullptr;
    wxChoice* m_pMode = nullptr;
    wxChoice* m_pProtect = nullptr;
    wxTextCtrl* m_pSize = nullptr;
    wxTextCtrl* m_pLoad = nullptr;
    wxTextCtrl* m_pExec = nullptr;
    wxTextCtrl* m_pDate = nullptr; // read-only: the date the entry will get
};
