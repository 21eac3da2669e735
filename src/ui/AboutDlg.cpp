#include "ui/AboutDlg.h"

#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogLayout.h"
#include "Version.h"

CAboutDlg::CAboutDlg(wxWindow* parent) {
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUTBOX");
    if (auto* text = wxDynamicCast(FindWindow(XRCID("IDC_VERSION")), wxStaticText))
        text->SetLabelText(VersionText());
    FitDialogUnits(this, wxSize(186, 56));
}

wxString CAboutDlg::VersionText() {
    return wxString("Darvex Version ") + kDarvexAboutVersion;
}
