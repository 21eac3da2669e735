#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "fs/DirEntry.h"
#include "fs/EntryEdit.h"

class wxChoice;
class wxTextCtrl;

// What the user changed in the file-information dialog: a new name, and the fields of the
// entry that differ from what it holds.
struct FileInfoDlgChoices {
    std::optional<std::string> rename{}; // UTF-8
    EntryInfoChanges changes{};
    bool protect = false; // the protection the entry will have
};

// ﾌｧｲﾙ情報編集: name, mode (only the modes the entry may take), protection, load and execution
// addresses and date of one file. The fields check as the add-file dialog's do; a name the
// directory refuses, or a date that is none, is reported and the dialog stays open.
class CFileInfoDlg : public wxDialog {
public:
    using NameCheck = std::function<std::string(const std::string& nameUtf8, bool protect)>;

    explicit CFileInfoDlg(wxWindow* parent = nullptr);

    // Shows entry's information.
    void Propose(const DirEntry& entry);
    // The directory's verdict on a new name (the refusal's message, or empty); without one,
    // every name the disk can hold is taken.
    void SetNameCheck(NameCheck check) { m_checkName = std::move(check); }

    bool TransferDataToWindow() override;
    const FileInfoDlgChoices& GetChoices() const { return m_choices; }

    // "YYMMDDhhmm", empty for no date (0), or the word's eight hex digits where it holds no
    // date.
    static wxString DateText(std::uint32_t date);

private:
    void OnOK(wxCommandEvent& event);
    void Refuse(const std::string& message, wxTextCtrl* field);

    DirEntry m_entry;
    std::vector<std::uint8_t> m_modes; // the mode list's codes, the entry's own first
    NameCheck m_checkName;
    FileInfoDlgChoices m_choices;
    wxTextCtrl* m_pName = nullptr;
    wxChoice* m_pMode = nullptr;
    wxChoice* m_pProtect = nullptr;
    wxTextCtrl* m_pSize = nullptr;
    wxTextCtrl* m_pLoad = nullptr;
    wxTextCtrl* m_pExec = nullptr;
    wxTextCtrl* m_pDate = nullptr;
};
