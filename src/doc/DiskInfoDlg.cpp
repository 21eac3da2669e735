#include "doc/DiskInfoDlg.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogSupport.h"
#include "doc/UiText.h"
#include "fs/SjisText.h"

using DialogSupport::FromUtf8;
using DialogSupport::ToUtf8;

namespace {
// The D88 header's name field: 17 bytes, the last one a terminating zero.
constexpr std::size_t kDiskNameBytes = 16;
} // namespace

CDiskInfoDlg::CDiskInfoDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_DISKINFO");
    m_pName = XRCCTRL(*this, "IDC_DISK_NAME", wxTextCtrl);
    m_pProtect = XRCCTRL(*this, "IDC_WRITE_PROTECT", wxCheckBox);
    Bind(wxEVT_BUTTON, &CDiskInfoDlg::OnOK, this, wxID_OK);
}

bool CDiskInfoDlg::TransferDataToWindow() {
    m_shownName = FromUtf8(SjisToTerminal(m_sjisName));
    m_pName->ChangeValue(m_shownName);
    m_pProtect->SetValue(m_bWriteProtected);
    return true;
}

void CDiskInfoDlg::OnOK(wxCommandEvent&) {
    const wxString shown = m_pName->GetValue();
    std::string sjis = m_sjisName;
    if (shown != m_shownName) {
        const TextResult converted = Utf8ToSjis(ToUtf8(shown));
        // Cutting the name short would save another name than the one typed.
        if (!converted) {
            DialogSupport::ShowError(this, UiMessage(UiText::DiskNameNotEncodable));
            return;
        }
        if (converted.text.size() > kDiskNameBytes) {
            DialogSupport::ShowError(this, UiMessage(UiText::DiskNameTooLong));
            return;
        }
        sjis = converted.text;
    }
    m_sjisName = std::move(sjis);
    m_bWriteProtected = m_pProtect->GetValue();
    DialogSupport::EndDialogWith(*this, wxID_OK);
}
