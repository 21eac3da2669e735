#pragma once

#include <cstdint>
#include <string>

#include <wx/dialog.h>

#include "host/HostCommands.h"

class DiskImage;
class wxChoice;
class wxTextCtrl;

// The boot-register dialog: start-up text, machine code and execution address of the boot
// program a host file becomes; OK registers it on the disk.
class CBootRegisterDlg : public wxDialog {
public:
    explicit CBootRegisterDlg(wxWindow* parent = nullptr);

    // Filled by the command before the dialog runs.
    std::uint16_t m_wExecAddress = 0;
    int m_nMachine = 1; // list index, which is also the code stored
    bool m_bMzt = false;
    wxString m_strBootText;
    std::string m_strPath; // host path, UTF-8
    DiskImage* m_pDiskImage = nullptr;
    // The chosen file as the core read it; OK builds the header from it and the fields.
    BootSource m_source;
    // Whether OK registered the boot program.
    bool m_bRegistered = false;

    bool TransferDataToWindow() override;

    // The boot-register command once a host file is chosen. bootMachine is the run's
    // remembered machine code: the dialog starts with it and only OK changes it. True when the
    // boot program was registered.
    static bool RegisterHostFile(wxWindow* parent, DiskImage& disk, const std::string& path,
                                 int& bootMachine);

private:
    void OnOK(wxCommandEvent& event);

    wxTextCtrl* m_pText = nullptr;
    wxChoice* m_pMachine = nullptr;
    wxTextCtrl* m_pExec = nullptr;
};
