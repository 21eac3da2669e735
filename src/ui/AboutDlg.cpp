#include "ui/AboutDlg.h"

#include <wx/intl.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "Version.h"
#include "doc/DialogLayout.h"

CAboutDlg::CAboutDlg(wxWindow* parent) {
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUTBOX");
    if (auto* text = wxDynamicCast(FindWindow(XRCID("IDC_VERSION")), wxStaticText))
        text->SetLabelText(VersionText());
    // The licence goes under the line about the program.
    if (auto* about = wxDynamicCast(FindWindow(XRCID("IDC_ABOUT_TEXT")), wxStaticText))
        about->SetLabelText(about->GetLabelText() + "\n" + LicenceText());
    FitDialogUnits(this, wxSize(186, 56));
}

wxString CAboutDlg::VersionText() {
    return wxString("Darvex Version ") + kDarvexAboutVersion;
}

wxString CAboutDlg::LicenceText() {
    return _("License: MIT");
}
