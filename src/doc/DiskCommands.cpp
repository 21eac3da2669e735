#include "doc/DiskCommands.h"

#include <wx/filedlg.h>

#include "doc/AddFileDlg.h"
#include "doc/BootExtractDlg.h"
#include "doc/BootRegisterDlg.h"
#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "doc/ExtractDlg.h"
#include "fs/DirEntry.h"
#include "fs/Messages.h"
#include "image/DiskImage.h"

namespace {

// The open-file dialog of the add and boot-register commands: one existing file.
bool ChooseHostFile(wxWindow* owner, std::string& path) {
    // "*": on Linux "*.*" would hide the files whose names have no dot.
    const wxString filter = Tr("All Files") + "|*|" + Tr("MZT file") + "|*.mzt;*.MZT";
    wxFileDialog chooser(owner, Tr("Open"), wxString(), wxString(), filter,
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK)
        return false;
    path = DialogSupport::ToUtf8(chooser.GetPath());
    return true;
}

} // namespace

DiskCommands::Outcome DiskCommands::AddFile(wxWindow* owner, DiskImage& disk) {
    // The menu item is disabled there; a shortcut that slips through is refused before any
    // dialog, with the reason the import itself would give.
    if (!DirectoryWritable(disk, disk.GetCurrentDir())) {
        DialogSupport::ShowError(owner, UiMessage(ImportResult::ReadOnlyDirectory));
        return Outcome::Cancelled;
    }
    std::string path;
    if (!ChooseHostFile(owner, path))
        return Outcome::Cancelled;
    return CAddFileDlg::AddHostFile(owner, disk, path) ? Outcome::Changed : Outcome::Unchanged;
}

DiskCommands::Outcome DiskCommands::RegisterBoot(wxWindow* owner, DiskImage& disk,
                                                 int& bootMachine) {
    std::string path;
    if (!ChooseHostFile(owner, path))
        return Outcome::Cancelled;
    return CBootRegisterDlg::RegisterHostFile(owner, disk, path, bootMachine) ? Outcome::Changed
                                                                              : Outcome::Unchanged;
}

DiskCommands::Outcome DiskCommands::DeleteFiles(wxWindow* owner, DiskImage& disk,
                                                const std::vector<int>& entries) {
    if (entries.empty())
        return Outcome::Cancelled;
    if (!DirectoryWritable(disk, disk.GetCurrentDir())) {
        DialogSupport::ShowError(owner, UiMessage(RemoveResult::ReadOnlyDirectory));
        return Outcome::Cancelled;
    }
    if (!DialogSupport::AskOkCancel(owner, UiMessage(UiText::DeleteQuestion),
                                    UiMessage(UiText::DeleteCaption)))
        return Outcome::Cancelled;
    bool changed = false;
    for (const int index : entries) {
        unsigned char bytes[DirEntry::kBytes];
        disk.ReadDirEntry(bytes, index);
        if (DirEntry(bytes).IsFree())
            continue;
        const auto result = static_cast<RemoveResult>(disk.RemoveFile(index));
        if (result == RemoveResult::Ok) {
            changed = true;
        } else if (result != RemoveResult::AlreadyFree) {
            DialogSupport::ShowError(owner, UiMessage(result));
            break;
        }
    }
    return changed ? Outcome::Changed : Outcome::Unchanged;
}

void DiskCommands::ExtractFiles(wxWindow* owner, const DiskImage& disk,
                                const std::string& documentPath, const std::vector<int>& entries,
                                int& extractFormat) {
    CExtractDlg::ExtractEntries(owner, disk, documentPath, entries, extractFormat);
}

void DiskCommands::ExtractBoot(wxWindow* owner, const DiskImage& disk,
                               const std::string& documentPath, int& extractFormat) {
    CBootExtractDlg::ExtractBoot(owner, disk, documentPath, extractFormat);
}
