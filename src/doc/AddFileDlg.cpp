#include "doc/AddFileDlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogIds.h"
#include "doc/DialogSupport.h"
#include "fs/ListRow.h"
#include "fs/Messages.h"

using DialogSupport::FromUtf8;
using DialogSupport::ToUtf8;

namespace {

constexpr int kModeChoices = 5;
constexpr int kDateColumn = 6; // of the file list's columns

// The date as the file list will show it for the entry the proposal makes.
std::string ProposedDateText(const AddFileEntry::Proposal& proposal) {
    const DirEntry entry(AddFileEntry::Build(proposal.name, 1, false, proposal.attribute,
                                             proposal.size, proposal.loadAddress,
                                             proposal.execAddress));
    return ListColumns(entry)[kDateColumn];
}

} // namespace

CAddFileDlg::CAddFileDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_ADDFILE");
    m_pName = XRCCTRL(*this, "IDC_NAME", wxTextCtrl);
    m_pMode = XRCCTRL(*this, "IDC_MODE", wxChoice);
    m_pProtect = XRCCTRL(*this, "IDC_PROTECT", wxChoice);
    m_pSize = XRCCTRL(*this, "IDC_SIZE", wxTextCtrl);
    m_pLoad = XRCCTRL(*this, "IDC_LOAD_ADDRESS", wxTextCtrl);
    m_pExec = XRCCTRL(*this, "IDC_EXEC_ADDRESS", wxTextCtrl);
    m_pDate = XRCCTRL(*this, "IDC_DATE", wxTextCtrl);
    Bind(wxEVT_BUTTON, &CAddFileDlg::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CAddFileDlg::OnAllOk, this, kIdAllOk);
    m_pMode->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateOkButton(); });
}

bool CAddFileDlg::TransferDataToWindow() {
    m_pName->ChangeValue(m_strName);
    m_pMode->SetSelection(m_byMode >= 1 && m_byMode <= kModeChoices ? m_byMode - 1 : wxNOT_FOUND);
    m_pProtect->SetSelection(m_byAttribute & 1);
    m_pSize->ChangeValue(wxString::Format("%lld", static_cast<long long>(m_nSize)));
    m_pLoad->ChangeValue(wxString::Format("%04X", m_wLoadAddress));
    m_pExec->ChangeValue(wxString::Format("%04X", m_wExecAddress));
    m_pDate->ChangeValue(FromUtf8(ProposedDateText(m_proposal)));
    UpdateOkButton();
    return true;
}

// A header whose mode is not one of the five choices selects nothing; storing mode 0 would
// make an entry that reads as free, so OK waits for a choice.
void CAddFileDlg::UpdateOkButton() {
    for (const int id : {static_cast<int>(wxID_OK), static_cast<int>(kIdAllOk)})
        if (wxWindow* ok = FindWindow(id))
            ok->Enable(m_pMode->GetSelection() != wxNOT_FOUND);
}

void CAddFileDlg::ShowAllOk(bool show) {
    if (wxWindow* button = FindWindow(kIdAllOk); button && button->IsShown() != show) {
        button->Show(show);
        GetSizer()->SetSizeHints(this);
        CentreOnParent();
    }
}

void CAddFileDlg::OnAllOk(wxCommandEvent&) {
    // A name the dialog refuses keeps it open, and the rest of the run waits for it.
    m_bApplyToAll = Accept();
}

void CAddFileDlg::OnOK(wxCommandEvent&) {
    Accept();
}

bool CAddFileDlg::Accept() {
    const int modeIndex = m_pMode->GetSelection();
    if (modeIndex == wxNOT_FOUND)
        return false;
    AddFileEntry::Choices choices;
    choices.nameUtf8 = ToUtf8(m_pName->GetValue());
    choices.modeChoice = modeIndex + 1;
    choices.protect = m_pProtect->GetSelection() == 1;
    choices.sizeText = ToUtf8(m_pSize->GetValue());
    choices.loadText = ToUtf8(m_pLoad->GetValue());
    choices.execText = ToUtf8(m_pExec->GetValue());
    // A name the disk cannot hold is the user's to change: the dialog stays open.
    const AddFileReason reason = AddFileEntry::BuildEntry(m_proposal, choices).reason;
    if (reason == AddFileReason::NameNotEncodable) {
        DialogSupport::ShowError(this, UiMessage(reason));
        return false;
    }
    m_strName = m_pName->GetValue();
    m_byMode = static_cast<std::uint8_t>(modeIndex + 1);
    m_choices = std::move(choices);
    DialogSupport::EndDialogWith(*this, wxID_OK);
    return true;
}

void CAddFileDlg::Propose(const std::string& path, const AddFileSource& source) {
    const AddFileEntry::Proposal& proposal = source.proposal;
    m_strPath = path;
    // A host file name CP932 cannot hold is shown as it is; OK then asks for another.
    m_strName = FromUtf8(proposal.nameEncodable ? proposal.nameUtf8 : source.fileNameUtf8);
    m_byMode = proposal.mode;
    m_byAttribute = proposal.attribute;
    m_nSize = proposal.size;
    m_wLoadAddress = proposal.loadAddress;
    m_wExecAddress = proposal.execAddress;
    m_bMzt = proposal.isMzt;
    m_proposal = proposal;
}
