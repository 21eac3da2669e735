#include "doc/OutputPathDlg.h"

#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogIds.h"
#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "doc/MessageBox.h"
#include "doc/UiText.h"
#include "fs/Messages.h"
#include "host/PathParts.h"

using DialogSupport::FromUtf8;
using DialogSupport::ToUtf8;

namespace {
constexpr int kIndexMzt = 1;
constexpr const char* kMztExt = "mzt";
constexpr const char* kBinExt = "bin";
} // namespace

COutputPathDlg::COutputPathDlg(wxWindow* parent, const char* templateName) {
    DialogSupport::LoadTemplate(*this, parent, templateName);
    m_pPath = XRCCTRL(*this, "IDC_PATH", wxTextCtrl);
    m_pFormat = XRCCTRL(*this, "IDC_FORMAT", wxChoice);
    m_pFormat->Bind(wxEVT_CHOICE, &COutputPathDlg::OnFormatChanged, this);
    Bind(wxEVT_BUTTON, &COutputPathDlg::OnBrowse, this, kIdBrowse);
}

void COutputPathDlg::InitFormatList() {
    m_pFormat->Clear();
    m_pFormat->Append("BIN");
    m_pFormat->Append("MZT");
    m_pFormat->SetSelection(m_nFormat == kIndexMzt ? kIndexMzt : 0);
}

void COutputPathDlg::ShowPath(const std::string& path) {
    m_pPath->ChangeValue(FromUtf8(path));
    m_szPath = PathText();
}

std::string COutputPathDlg::PathText() const {
    return ToUtf8(m_pPath->GetValue());
}

int COutputPathDlg::FormatIndex() const {
    return m_pFormat->GetSelection();
}

bool COutputPathDlg::ConfirmReplace(const std::string& path) {
    const wxString text =
        wxString::Format(FromUtf8(UiMessage(UiText::ReplaceQuestion)), FromUtf8(path));
    return ShowMessageBox(IsShown() ? this : GetParent(), text, GetTitle(), wxYES_NO | wxICON_NONE) ==
           wxID_YES;
}

void COutputPathDlg::OnFormatChanged(wxCommandEvent&) {
    const int index = FormatIndex();
    PathParts parts;
    parts.SetPath(PathText().c_str());
    parts.SetExt(index == kIndexMzt ? kMztExt : BinExtension().c_str());
    ShowPath(parts.GetPath(PP_ALL));
    m_nFormat = index;
}

void COutputPathDlg::OnBrowse(wxCommandEvent&) {
    const bool mzt = FormatIndex() != 0;
    std::string initial = PathText();
    if (mzt) {
        PathParts parts;
        parts.SetPath(initial.c_str());
        parts.SetExt(kMztExt);
        initial = parts.GetPath(PP_ALL);
    }
    const wxFileName start(FromUtf8(initial));
    // "*": on Linux "*.*" would hide the files whose names have no dot.
    const wxString filter =
        mzt ? Tr("MZT file") + "|*.mzt;*.MZT|" + Tr("All Files") + "|*" : Tr("BIN file") + "|*";
    // The output need not exist yet, which only a save dialog lets the user type.
    wxFileDialog chooser(this, Tr(doctext::kSaveAsTitle), start.GetPath(), start.GetFullName(),
                         filter, wxFD_SAVE);
    if (chooser.ShowModal() != wxID_OK)
        return;
    ShowPath(
        DialogSupport::WithDefaultExtension(ToUtf8(chooser.GetPath()), mzt ? kMztExt : kBinExt));
}
