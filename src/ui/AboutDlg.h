#pragma once

#include <wx/dialog.h>

// The about box: name, version and one line about the program.
class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);

    static wxString VersionText(); // "Darvex Version 0.06"
};
