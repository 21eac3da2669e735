#pragma once

#include <cstdint>
#include <string>

#include <wx/dialog.h>

#include "host/HostCommands.h"

class wxChoice;
class wxTextCtrl;

// The boot-register dialog: start-up text, machine code and execution address of the boot
// program a host file becomes; OK returns the choices (a text the disk cannot hold is refused
// at once, the dialog stays open).
class CBootRegisterDlg : public wxDialog {
public:
    explicit CBootRegisterDlg(wxWindow* parent = nullptr);

    // Filled by the command before the dialog runs (Propose does it from a host file).
    std::uint16_t m_wExecAddress = 0;
    int m_nMachine = 1; // list index, which is also the code stored
    bool m_bMzt = false;
    wxString m_strBootText;
    std::string m_strPath; // host path, UTF-8

    // Fills the fields with what the core proposes for the chosen host file; bootMachine is
    // the run's remembered machine code.
    void Propose(const std::string& path, const BootSource& source, int bootMachine);

    bool TransferDataToWindow() override;

    // What the user confirmed with OK; the command builds the header and registers from it.
    const BootHeaderBuilder::Choices& GetChoices() const { return m_choices; }

private:
    void OnOK(wxCommandEvent& event);

    BootHeaderBuilder::Proposal m_proposal; // what the text typed is checked against
    BootHeaderBuilder::Choices m_choices;
    wxTextCtrl* m_pText = nullptr;
    wxChoice* m_pMachine = nullptr;
    wxTextCtrl* m_pExec = nullptr;
};
