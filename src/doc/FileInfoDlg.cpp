#include "doc/FileInfoDlg.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogIds.h"
#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "fs/AddressText.h"
#include "fs/FileMode.h"
#include "fs/ListRow.h"
#include "fs/SjisText.h"

using DialogSupport::FromUtf8;
using DialogSupport::ToUtf8;

namespace {

constexpr int kSizeColumn = 3; // of the file list's columns
constexpr int kProtectedChoice = 1;

constexpr const char* kNotADate =
    N_("The date is ten digits: year, month, day, hour and minute, two digits each "
       "(YYMMDDhhmm). Leave it empty for no date.");

// The modes a file may take in this dialog: the ones the add-file dialog stores.
constexpr FileModeCode kStoredModes[] = {FileModeCode::Obj, FileModeCode::Btx, FileModeCode::Bsd,
                                         FileModeCode::Brd};

wxString ModeName(std::uint8_t code) {
    for (const FileMode::Row& row : FileMode::Table())
        if (FileMode::ToByte(row.code) == code && !row.name.empty())
            return wxString::FromUTF8(row.name.data(), row.name.size());
    return wxString::Format("%02Xh", code);
}

} // namespace

CFileInfoDlg::CFileInfoDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_FILEINFO");
    m_pName = XRCCTRL(*this, "IDC_NAME", wxTextCtrl);
    m_pMode = XRCCTRL(*this, "IDC_MODE", wxChoice);
    m_pProtect = XRCCTRL(*this, "IDC_PROTECT", wxChoice);
    m_pSize = XRCCTRL(*this, "IDC_SIZE", wxTextCtrl);
    m_pLoad = XRCCTRL(*this, "IDC_LOAD_ADDRESS", wxTextCtrl);
    m_pExec = XRCCTRL(*this, "IDC_EXEC_ADDRESS", wxTextCtrl);
    m_pDate = XRCCTRL(*this, "IDC_DATE", wxTextCtrl);
    m_pDate->SetMaxLength(10);
    Bind(wxEVT_BUTTON, &CFileInfoDlg::OnOK, this, wxID_OK);
    Propose(DirEntry());
}

wxString CFileInfoDlg::DateText(std::uint32_t date) {
    if (date == 0)
        return wxString();
    if (const std::optional<std::string> text = FormatEntryDate(date))
        return wxString::FromUTF8(*text);
    return wxString::Format("%08X", date);
}

void CFileInfoDlg::Propose(const DirEntry& entry) {
    m_entry = entry;
    m_modes.assign(1, entry.Mode());
    for (FileModeCode code : kStoredModes)
        if (FileMode::ToByte(code) != entry.Mode() &&
            ModeChangeAllowed(entry.Mode(), FileMode::ToByte(code)))
            m_modes.push_back(FileMode::ToByte(code));
}

bool CFileInfoDlg::TransferDataToWindow() {
    m_pName->ChangeValue(FromUtf8(SjisToTerminal(m_entry.NameText())));
    m_pMode->Clear();
    for (std::uint8_t code : m_modes)
        m_pMode->Append(ModeName(code));
    m_pMode->SetSelection(0);
    // A file whose mode no other shares its layout with keeps it: nothing to choose.
    m_pMode->Enable(m_modes.size() > 1);
    m_pProtect->SetSelection(IsProtected(m_entry) ? kProtectedChoice : 0);
    wxString size = FromUtf8(ListColumns(m_entry)[kSizeColumn]);
    m_pSize->ChangeValue(size.Trim(false));
    m_pLoad->ChangeValue(wxString::Format("%04X", m_entry.LoadAddress()));
    m_pExec->ChangeValue(wxString::Format("%04X", m_entry.ExecAddress()));
    m_pDate->ChangeValue(DateText(m_entry.Date()));
    // The fields are sized for their widest values, not for what this entry shows.
    if (wxSizer* sizer = GetSizer())
        sizer->SetSizeHints(this);
    return true;
}

void CFileInfoDlg::Refuse(const std::string& message, wxTextCtrl* field) {
    DialogSupport::ShowError(this, message);
    field->SetFocus();
    field->SelectAll();
}

void CFileInfoDlg::OnOK(wxCommandEvent&) {
    FileInfoDlgChoices choices;
    choices.protect = m_pProtect->GetSelection() == kProtectedChoice;
    const std::string name = ToUtf8(m_pName->GetValue());
    if (m_pName->GetValue() != FromUtf8(SjisToTerminal(m_entry.NameText()))) {
        if (m_checkName) {
            if (const std::string refusal = m_checkName(name, choices.protect); !refusal.empty())
                return Refuse(refusal, m_pName);
        }
        choices.rename = name;
    }
    std::optional<std::uint32_t> date;
    const wxString dateText = m_pDate->GetValue().Strip(wxString::both);
    if (dateText != DateText(m_entry.Date())) {
        date =
            dateText.empty() ? std::optional<std::uint32_t>(0) : ParseEntryDate(ToUtf8(dateText));
        if (!date)
            return Refuse(Tr(kNotADate).utf8_string(), m_pDate);
    }

    // Only what differs from the entry is changed.
    EntryInfoChanges& changes = choices.changes;
    const int mode = m_pMode->GetSelection();
    if (mode > 0 && mode < static_cast<int>(m_modes.size()))
        changes.mode = m_modes[mode];
    if (choices.protect != IsProtected(m_entry))
        changes.protect = choices.protect;
    const std::uint16_t load = *ParseAddress(ToUtf8(m_pLoad->GetValue()), AddressSyntax::Lenient);
    if (load != m_entry.LoadAddress())
        changes.loadAddress = load;
    const std::uint16_t exec = *ParseAddress(ToUtf8(m_pExec->GetValue()), AddressSyntax::Lenient);
    if (exec != m_entry.ExecAddress())
        changes.execAddress = exec;
    if (date && *date != m_entry.Date())
        changes.date = date;
    m_choices = std::move(choices);
    DialogSupport::EndDialogWith(*this, wxID_OK);
}
