#include "doc/BootExtractDlg.h"

#include "doc/DialogSupport.h"
#include "fs/DiskImage.h"
#include "fs/IplHeader.h"
#include "host/ExtractOutput.h"
#include "host/HostNames.h"
#include "host/PathParts.h"

CBootExtractDlg::CBootExtractDlg(wxWindow* parent) : COutputPathDlg(parent, "IDD_BOOTEXTRACT") {
    Bind(wxEVT_BUTTON, &CBootExtractDlg::OnOK, this, wxID_OK);
}

bool CBootExtractDlg::TransferDataToWindow() {
    InitFormatList();
    // Shown as proposed: the extension follows the format only once the user switches it.
    ShowPath(m_szPath);
    return true;
}

void CBootExtractDlg::OnOK(wxCommandEvent&) {
    m_szPath = PathText();
    m_nFormat = FormatIndex();
    if (m_pDiskImage != nullptr) {
        // The user may pick another path: the dialog stays.
        ExtractOutput output;
        output.imagePath = m_szImagePath;
        const ExtractBootOutcome check = CheckBootExtract(*m_pDiskImage, m_szPath, output);
        if (check.cause == ExtractBootCause::SameAsImage) {
            DialogSupport::ShowError(this, check.UiMessage());
            return;
        }
        if (check.Ok() && PathExists(m_szPath) && !ConfirmReplace(m_szPath))
            return;
    }
    DialogSupport::EndDialogWith(*this, wxID_OK);
}

std::string CBootExtractDlg::ProposePath(const DiskImage& disk, const std::string& documentPath) {
    const std::string name = SafeHostFileName(IplHeader::FromImage(disk.Image()).DisplayName());
    PathParts parts;
    parts.SetPath(documentPath.c_str());
    parts.SetFname(name.c_str());
    parts.SetExt("");
    return parts.GetPath(PP_ALL);
}
