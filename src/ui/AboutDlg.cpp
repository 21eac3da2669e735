#include "ui/AboutDlg.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "Version.h"
#include "doc/DialogSupport.h"

CAboutDlg::CAboutDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_ABOUTBOX");
    if (auto* text = wxDynamicCast(FindWindow(XRCID("IDC_VERSION")), wxStaticText))
        text->SetLabelText(VersionText());
    // The version is set after the template was sized.
    GetSizer()->SetSizeHints(this);
}

wxString CAboutDlg::VersionText() {
    return wxString("Darvex Version ") + kDarvexAboutVersion;
}
