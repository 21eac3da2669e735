#include "doc/BootRegisterDlg.h"

#include <vector>

#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/CommandMessages.h"
#include "doc/DialogSupport.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/HostFile.h"
#include "fs/SjisText.h"
#include "image/DiskImage.h"
#include "ui/PathParts.h"

using DialogSupport::FromUtf8;
using DialogSupport::ToUtf8;

CBootRegisterDlg::CBootRegisterDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_BOOTREGISTER", 215, 87);
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
    const TextResult text = Utf8ToSjis(ToUtf8(m_pText->GetValue()));
    if (!text) {
        DialogSupport::ShowError(this, CommandMessages::NameNotEncodable());
        return;
    }
    m_strBootText = m_pText->GetValue();
    const int machine = m_pMachine->GetSelection();
    m_nMachine = machine == wxNOT_FOUND ? 0 : machine;
    m_wExecAddress = BootHeaderBuilder::ParseExecAddress(ToUtf8(m_pExec->GetValue()));

    const IplHeader header = BootHeaderBuilder::Build(m_nMachine, text.text, m_wExecAddress);
    m_nResult =
        m_pDiskImage->RegisterBootProgram(m_strPath.c_str(), header.Bytes().data(), m_bMzt ? 0 : 1);
    if (m_nResult != 0)
        DialogSupport::ShowError(this, CommandMessages::RegisterBootFailed());
    DialogSupport::EndDialogWith(*this, wxID_OK);
}

bool CBootRegisterDlg::RegisterHostFile(wxWindow* parent, DiskImage& disk, const std::string& path,
                                        int& bootMachine) {
    PathParts parts(PathStyle::Posix);
    parts.SetPath(path.c_str());
    const std::string ext = parts.GetExt();
    const std::string fileName = parts.GetPath(PP_FNAME | PP_EXT);

    std::vector<unsigned char> data;
    std::uint64_t fileBytes = 0;
    switch (HostFile::Read(path.c_str(), BootHeaderBuilder::kMaxFileBytes, data, &fileBytes)) {
    case HostFile::ReadStatus::CannotOpen:
        DialogSupport::ShowError(parent, CommandMessages::RegisterBootFailed());
        return false;
    case HostFile::ReadStatus::TooLarge:
        DialogSupport::ShowError(parent, CommandMessages::BootFileTooLarge());
        return false;
    case HostFile::ReadStatus::Ok:
        break;
    }
    const BootHeaderBuilder::Proposal proposal =
        BootHeaderBuilder::Propose(fileName, ext, ByteView(data.data(), data.size()));

    CBootRegisterDlg dlg(parent);
    dlg.m_strPath = path;
    // A host file name is UTF-8 already; an MZT header's name is disk text.
    dlg.m_strBootText = FromUtf8(proposal.mzt ? SjisToDisplay(proposal.text) : proposal.text);
    dlg.m_bMzt = proposal.mzt;
    dlg.m_wExecAddress = 0;
    dlg.m_nMachine = bootMachine;
    dlg.m_pDiskImage = &disk;
    dlg.ShowModal();
    bootMachine = dlg.m_nMachine;
    return dlg.m_nResult == 0;
}
