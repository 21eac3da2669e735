#include "doc/BootRegisterDlg.h"

#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogSupport.h"
#include "fs/Messages.h"

using DialogSupport::FromUtf8;
using DialogSupport::ToUtf8;

CBootRegisterDlg::CBootRegisterDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_BOOTREGISTER");
    m_pText = XRCCTRL(*this, "IDC_BOOT_TEXT", wxTextCtrl);
    m_pMachine = XRCCTRL(*this, "IDC_MACHINE", wxChoice);
    m_pExec = XRCCTRL(*this, "IDC_EXEC_ADDRESS", wxTextCtrl);
    Bind(wxEVT_BUTTON, &CBootRegisterDlg::OnOK, this, wxID_OK);
}

bool CBootRegisterDlg::TransferDataToWindow() {
    m_pText->ChangeValue(m_strBootText);
    const bool known = m_nMachine >= 0 && m_nMachine < static_cast<int>(m_pMachine->GetCount());
    m_pMachine->SetSelection(known ? m_nMachine : wxNOT_FOUND);
    m_pExec->ChangeValue(wxString::Format("%04X", m_wExecAddress));
    return true;
}

void CBootRegisterDlg::OnOK(wxCommandEvent&) {
    const int machine = m_pMachine->GetSelection();
    BootHeaderBuilder::Choices choices;
    choices.textUtf8 = ToUtf8(m_pText->GetValue());
    choices.machine = machine == wxNOT_FOUND ? 0 : machine;
    choices.execText = ToUtf8(m_pExec->GetValue());
    // A text the disk cannot hold is the user's to change: the dialog stays open.
    const BootRegisterReason reason = BootHeaderBuilder::BuildHeader(m_proposal, choices).reason;
    if (reason == BootRegisterReason::TextNotEncodable) {
        DialogSupport::ShowError(this, UiMessage(reason));
        return;
    }
    m_strBootText = m_pText->GetValue();
    m_nMachine = choices.machine;
    m_choices = std::move(choices);
    DialogSupport::EndDialogWith(*this, wxID_OK);
}

void CBootRegisterDlg::Propose(const std::string& path, const BootSource& source, int bootMachine) {
    const BootHeaderBuilder::Proposal& proposal = source.proposal;
    m_strPath = path;
    // A host file name CP932 cannot hold is shown as it is; OK then asks for another.
    m_strBootText = FromUtf8(proposal.textEncodable ? proposal.textUtf8 : source.fileNameUtf8);
    m_bMzt = proposal.mzt;
    m_wExecAddress = proposal.execAddress;
    m_nMachine = bootMachine;
    m_proposal = proposal;
}
