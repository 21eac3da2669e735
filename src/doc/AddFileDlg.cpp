#include "doc/AddFileDlg.h"

#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/CommandMessages.h"
#include "doc/DialogIds.h"
#include "doc/DialogSupport.h"
#include "fs/AddFileEntry.h"
#include "fs/HostFile.h"
#include "fs/MztHeader.h"
#include "fs/SjisText.h"
#include "image/DiskImage.h"
#include "ui/PathParts.h"

using DialogSupport::FromUtf8;
using DialogSupport::ToUtf8;

namespace {
constexpr int kModeChoices = 5;
} // namespace

CAddFileDlg::CAddFileDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_ADDFILE", 187, 153);
    m_pName = XRCCTRL(*this, "IDC_NAME", wxTextCtrl);
    m_pMode = XRCCTRL(*this, "IDC_MODE", wxChoice);
    m_pProtect = XRCCTRL(*this, "IDC_PROTECT", wxChoice);
    m_pSize = XRCCTRL(*this, "IDC_SIZE", wxTextCtrl);
    m_pLoad = XRCCTRL(*this, "IDC_LOAD_ADDRESS", wxTextCtrl);
    m_pExec = XRCCTRL(*this, "IDC_EXEC_ADDRESS", wxTextCtrl);
    Bind(wxEVT_BUTTON, &CAddFileDlg::OnOK, this, wxID_OK);
    m_pMode->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateOkButton(); });
}

bool CAddFileDlg::TransferDataToWindow() {
    m_pName->ChangeValue(m_strName);
    m_pMode->SetSelection(m_byMode >= 1 && m_byMode <= kModeChoices ? m_byMode - 1 : wxNOT_FOUND);
    m_pProtect->SetSelection(m_byAttribute & 1);
    m_pSize->ChangeValue(wxString::Format("%lld", static_cast<long long>(m_nSize)));
    m_pLoad->ChangeValue(wxString::Format("%04X", m_wLoadAddress));
    m_pExec->ChangeValue(wxString::Format("%04X", m_wExecAddress));
    UpdateOkButton();
    return true;
}

// A header whose mode is not one of the five choices selects nothing; storing mode 0 would
// make an entry that reads as free, so OK waits for a choice.
void CAddFileDlg::UpdateOkButton() {
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Enable(m_pMode->GetSelection() != wxNOT_FOUND);
}

void CAddFileDlg::OnOK(wxCommandEvent&) {
    const int modeIndex = m_pMode->GetSelection();
    if (modeIndex == wxNOT_FOUND || m_pDiskImage == nullptr)
        return;
    const TextResult name = Utf8ToSjis(ToUtf8(m_pName->GetValue()));
    if (!name) {
        DialogSupport::ShowError(this, CommandMessages::NameNotEncodable());
        return;
    }
    m_strName = m_pName->GetValue();
    m_byMode = static_cast<std::uint8_t>(modeIndex + 1);
    const bool protect = m_pProtect->GetSelection() == 1;
    m_nSize = AddFileEntry::ParseSize(ToUtf8(m_pSize->GetValue()));
    m_wLoadAddress = AddFileEntry::ParseAddress(ToUtf8(m_pLoad->GetValue()));
    m_wExecAddress = AddFileEntry::ParseAddress(ToUtf8(m_pExec->GetValue()));

    DirEntry::Bytes32 entry = AddFileEntry::Build(name.text, m_byMode, protect, m_byAttribute,
                                                  m_nSize, m_wLoadAddress, m_wExecAddress);
    m_nResult = m_pDiskImage->ImportFile(m_strPath.c_str(), entry.data(),
                                         AddFileEntry::PlainFlag(m_bMzt), m_byMode);
    if (m_nResult != 0)
        DialogSupport::ShowError(this, CommandMessages::ImportFailed(m_nResult));
    DialogSupport::EndDialogWith(*this, wxID_OK);
}

bool CAddFileDlg::AddHostFile(wxWindow* parent, DiskImage& disk, const std::string& path) {
    PathParts parts(PathStyle::Posix);
    parts.SetPath(path.c_str());
    const bool isMzt = AddFileEntry::IsMztExtension(parts.GetExt());
    const std::string fileName = parts.GetPath(PP_FNAME | PP_EXT);

    std::vector<unsigned char> data;
    std::uint64_t fileBytes = 0;
    const HostFile::ReadStatus status = HostFile::Read(
        path.c_str(), AddFileEntry::kMaxFileBytes + MztHeader::kBytes, data, &fileBytes);
    if (status == HostFile::ReadStatus::CannotOpen) {
        DialogSupport::ShowError(parent, CommandMessages::ImportFailed(2));
        return false;
    }
    AddFileEntry::Proposal proposal =
        AddFileEntry::Propose(fileName, fileBytes, data.data(), data.size(), isMzt);
    if (proposal.TooLarge() || status == HostFile::ReadStatus::TooLarge) {
        DialogSupport::ShowError(parent, CommandMessages::AddFileTooLarge());
        return false;
    }

    CAddFileDlg dlg(parent);
    dlg.m_strPath = path;
    // A host file name is UTF-8 already; an MZT header's name is disk text.
    dlg.m_strName = isMzt ? FromUtf8(SjisToDisplay(proposal.name)) : FromUtf8(proposal.name);
    dlg.m_byMode = proposal.mode;
    dlg.m_byAttribute = proposal.attribute;
    dlg.m_nSize = proposal.size;
    dlg.m_wLoadAddress = proposal.loadAddress;
    dlg.m_wExecAddress = proposal.execAddress;
    dlg.m_bMzt = proposal.isMzt;
    dlg.m_pDiskImage = &disk;
    dlg.ShowModal();
    return dlg.m_nResult == 0;
}
