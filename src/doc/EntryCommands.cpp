#include "doc/EntryCommands.h"

#include "doc/DarvexDoc.h"
#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "doc/FileInfoDlg.h"
#include "fs/EntryEdit.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"

namespace {

DirEntry EntryOf(const DiskImage& disk, int entryIndex) {
    unsigned char bytes[DirEntry::kBytes];
    disk.ReadDirEntry(bytes, entryIndex);
    return DirEntry(bytes);
}

std::string ShownName(const DirEntry& entry) {
    return SjisToTerminal(entry.NameText());
}

} // namespace

RenameResult EntryCommands::Rename(wxWindow* owner, CDarvexDoc& doc, int entryIndex,
                                   const std::string& nameUtf8) {
    auto result = RenameResult::Ok;
    doc.ApplyChange(
        Tr(N_("Rename")),
        [&](DiskImage& disk) {
            result = static_cast<RenameResult>(disk.RenameEntry(entryIndex, nameUtf8, false));
            return result == RenameResult::Ok;
        },
        DocHint::EntriesChanged);
    if (result != RenameResult::Ok)
        DialogSupport::ShowError(
            owner, UiMessage(result, ShownName(EntryOf(doc.GetDisk(), entryIndex))));
    return result;
}

bool EntryCommands::IsNameRefusal(RenameResult result) {
    return result == RenameResult::NameNotEncodable || result == RenameResult::NameEmpty ||
           result == RenameResult::NameTaken;
}

bool EntryCommands::EditInfo(wxWindow* owner, CDarvexDoc& doc, int entryIndex) {
    const DirEntry entry = EntryOf(doc.GetDisk(), entryIndex);
    if (entry.IsFree())
        return false;
    CFileInfoDlg dlg(owner);
    dlg.Propose(entry);
    // The name is checked against the directory before the dialog closes. The rename runs
    // with the protection the user chose: one taken away in the same dialog does not stop it.
    dlg.SetNameCheck([&doc, entryIndex, &entry](const std::string& nameUtf8, bool protect) {
        const auto result = static_cast<RenameResult>(
            CheckRename(doc.GetDisk(), entryIndex, nameUtf8, !protect));
        return UiMessage(result, ShownName(entry));
    });
    if (dlg.ShowModal() != wxID_OK)
        return false;
    const FileInfoDlgChoices& choices = dlg.GetChoices();
    if (!choices.rename && choices.changes.Empty())
        return false;

    int refused = 0;
    std::string message;
    const bool changed = doc.ApplyChange(
        Tr(N_("Edit File Information")),
        [&](DiskImage& disk) {
            // The mode list offers only the modes the entry may take, and the rename's checks
            // are the edit's too: after a rename the edit does not fail.
            if (choices.rename) {
                const auto result = static_cast<RenameResult>(
                    disk.RenameEntry(entryIndex, *choices.rename, !choices.protect));
                if (result != RenameResult::Ok) {
                    message = UiMessage(result, ShownName(entry));
                    return false;
                }
            }
            refused = disk.EditEntryInfo(entryIndex, choices.changes);
            if (refused != 0)
                message = UiMessage(static_cast<EditInfoResult>(refused));
            return refused == 0 || choices.rename.has_value();
        },
        DocHint::EntriesChanged);
    if (!message.empty())
        DialogSupport::ShowError(owner, message);
    return changed;
}
