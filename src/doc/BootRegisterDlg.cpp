#include "doc/BootRegisterDlg.h"

#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogSupport.h"
#include "fs/Messages.h"
#include "image/DiskImage.h"

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
    if (m_pDiskImage == nullptr)
        return;
    const int machine = m_pMachine->GetSelection();
    BootHeaderBuilder::Choices choices;
    choices.textUtf8 = ToUtf8(m_pText->GetValue());
    choices.machine = machine == wxNOT_FOUND ? 0 : machine;
    choices.execText = ToUtf8(m_pExec->GetValue());
    const BootOutcome outcome = RegisterBootFromSource(*m_pDiskImage, m_source, choices);
    // A text the disk cannot hold is the user's to change: the dialog stays open.
    if (outcome.reason == BootRegisterReason::TextNotEncodable) {
        DialogSupport::ShowError(this, UiMessage(outcome.reason));
        return;
    }
    m_strBootText = m_pText->GetValue();
    m_nMachine = choices.machine;
    m_bRegistered = outcome.Ok();
    if (outcome.reason != BootRegisterReason::Ok)
        DialogSupport::ShowError(this, UiMessage(outcome.reason));
    else if (outcome.result != RegisterBootResult::Ok)
        DialogSupport::ShowError(this, UiMessage(outcome.result));
    DialogSupport::EndDialogWith(*this, wxID_OK);
}

bool CBootRegisterDlg::RegisterHostFile(wxWindow* parent, DiskImage& disk, const std::string& path,
                                        int& bootMachine) {
    BootSource source = ReadBootSource(path, MztChoice::ByExtension);
    if (source.reason != BootRegisterReason::Ok) {
        DialogSupport::ShowError(parent, UiMessage(source.reason));
        return false;
    }
    const BootHeaderBuilder::Proposal& proposal = source.proposal;
    CBootRegisterDlg dlg(parent);
    dlg.m_strPath = path;
    // A host file name CP932 cannot hold is shown as it is; OK then asks for another.
    dlg.m_strBootText = FromUtf8(proposal.textEncodable ? proposal.textUtf8 : source.fileNameUtf8);
    dlg.m_bMzt = proposal.mzt;
    dlg.m_wExecAddress = proposal.execAddress;
    dlg.m_nMachine = bootMachine;
    dlg.m_pDiskImage = &disk;
    dlg.m_source = std::move(source);
    dlg.ShowModal();
    bootMachine = dlg.m_nMachine;
    return dlg.m_bRegistered;
}
