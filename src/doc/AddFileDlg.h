#pragma once

#include <cstdint>
#include <string>

#include <wx/dialog.h>

#include "host/HostCommands.h"

class DiskImage;
class wxChoice;
class wxTextCtrl;

// The add-file dialog: the user reviews the directory entry a host file will get, and OK
// stores the file in the current directory of the disk.
class CAddFileDlg : public wxDialog {
public:
    explicit CAddFileDlg(wxWindow* parent = nullptr);

    // Filled by the command before the dialog runs.
    std::string m_strPath;     // host path, UTF-8
    wxString m_strName;        // proposed entry name as the user reads it
    std::uint8_t m_byMode = 1; // mode choice 1..5; anything else selects no mode
    std::uint8_t m_byAttribute = 0;
    std::int64_t m_nSize = 0;
    std::uint16_t m_wLoadAddress = 0;
    std::uint16_t m_wExecAddress = 0;
    bool m_bMzt = false;
    DiskImage* m_pDiskImage = nullptr;
    // The chosen file as the core read it; OK builds the entry from it and the fields.
    AddFileSource m_source;
    // Whether OK stored the file.
    bool m_bStored = false;

    bool TransferDataToWindow() override;

    // The add-file command once a host file is chosen: reads what the dialog proposes from the
    // file, refuses files that cannot be read or are too large, runs the dialog. True when the
    // file was stored.
    static bool AddHostFile(wxWindow* parent, DiskImage& disk, const std::string& path);

private:
    void OnOK(wxCommandEvent& event);
    void UpdateOkButton();

    wxTextCtrl* m_pName = nullptr;
    wxChoice* m_pMode = nullptr;
    wxChoice* m_pProtect = nullptr;
    wxTextCtrl* m_pSize = nullptr;
    wxTextCtrl* m_pLoad = nullptr;
    wxTextCtrl* m_pExec = nullptr;
    wxTextCtrl* m_pDate = nullptr; // read-only: the date the entry will get
};
