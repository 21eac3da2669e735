#include "doc/ExtractDlg.h"

#include "doc/DialogIds.h"
#include "doc/DialogSupport.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "host/ExtractOutput.h"
#include "host/HostNames.h"
#include "host/PathParts.h"

CExtractDlg::CExtractDlg(wxWindow* parent) : COutputPathDlg(parent, "IDD_EXTRACT") {
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { DoOK(); }, wxID_OK);
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent&) {
            m_bApplyToAll = true;
            DoOK();
        },
        kIdAllOk);
}

bool CExtractDlg::TransferDataToWindow() {
    InitFormatList();
    PathParts parts;
    parts.SetPath(m_szPath.c_str());
    m_szEntryExt = parts.GetExt();
    parts.SetExt(m_nFormat == 1 ? "mzt" : m_szEntryExt.c_str());
    ShowPath(parts.GetPath(PP_ALL));
    return true;
}

int CExtractDlg::RunModal() {
    if (!m_bApplyToAll)
        return ShowModal();
    TransferDataToWindow();
    m_bUnseen = true;
    DoOK();
    return GetReturnCode();
}

void CExtractDlg::DoOK() {
    m_szPath = PathText();
    m_nFormat = FormatIndex();
    if (!m_bUnseen && m_pDiskImage != nullptr) {
        // The user may pick another path: the dialog stays, and "すべて OK" waits for it.
        ExtractOutput output;
        output.imagePath = m_szImagePath;
        const ExportOutcome check = CheckEntryExport(*m_pDiskImage, m_nEntry, m_szPath, output);
        if (check.result == ExportResult::SameAsImage) {
            DialogSupport::ShowError(this, check.UiMessage());
            m_bApplyToAll = false;
            return;
        }
        if (check.Ok() && PathExists(m_szPath) && !ConfirmReplace(m_szPath)) {
            m_bApplyToAll = false;
            return;
        }
    }
    DialogSupport::EndDialogWith(*this, wxID_OK);
}

std::string CExtractDlg::ProposePath(const DiskImage& disk, int index,
                                     const std::string& previousPath) {
    unsigned char bytes[DirEntry::kBytes];
    disk.ReadDirEntry(bytes, index);
    // The host name rules first: no "/", control bytes or undecodable bytes, never "." or "..".
    const std::string name =
        SafeHostFileName(ProposeExtractName(DirEntry(bytes).NameText(), false));
    PathParts split;
    split.SetPath(name.c_str());
    const std::string base = split.GetPath(PP_FNAME);
    const std::string ext = split.GetExt();

    PathParts parts;
    parts.SetPath(previousPath.c_str());
    parts.SetFname(base.c_str());
    parts.SetExt(ext.c_str());
    return parts.GetPath(PP_ALL);
}
