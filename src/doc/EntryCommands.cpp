#include "doc/EntryCommands.h"

#include "doc/DarvexDoc.h"
#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "doc/FileInfoDlg.h"
#include "doc/UiText.h"
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
    // A protected file is renamed only when the user says so once more.
    const DirEntry entry = EntryOf(doc.GetDisk(), entryIndex);
    const bool force = !entry.IsFree() && IsProtected(entry);
    if (force &&
        !DialogSupport::AskOkCancel(
            owner, FormatText(UiMessage(UiText::ProtectedRenameQuestion), {ShownName(entry)}),
            UiMessage(UiText::AppCaption)))
        return RenameResult::Protected;
    auto result = RenameResult::Ok;
    doc.ApplyChange(
        Tr(N_("Rename")),
        [&](DiskImage& disk) {
            result = static_cast<RenameResult>(disk.RenameEntry(entryIndex, nameUtf8, force));
            return result == RenameResult::Ok;
        },
        DocHint::EntriesChanged);
    if (result != RenameResult::Ok)
        DialogSupport::ShowError(owner,
                                 UiMessage(result, ShownName(EntryOf(doc.GetDisk(), entryIndex))));
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
        const auto result =
            static_cast<RenameResult>(CheckRename(doc.GetDisk(), entryIndex, nameUtf8, !protect));
        return UiMessage(result, ShownName(entry));
    });
    if (dlg.ShowModal() != wxID_OK)
        return false;
    const FileInfoDlgChoices& choices = dlg.GetChoices();
    if (!choices.rename && choices.changes.Empty())
        return false;

    std::string message;
    const bool changed = doc.ApplyChange(
        Tr(N_("Edit File Information")),
        [&](DiskImage& disk) {
            // All or nothing: both parts are checked before either changes the entry. The
            // rename is checked with the protection the entry has now, unless the user takes
            // it away here; once checked it cannot fail, whatever protection the edit sets.
            if (choices.rename) {
                const auto result = static_cast<RenameResult>(
                    CheckRename(disk, entryIndex, *choices.rename, !choices.protect));
                if (result != RenameResult::Ok) {
                    message = UiMessage(result, ShownName(entry));
                    return false;
                }
            }
            if (!choices.changes.Empty()) {
                if (const int refused = disk.EditEntryInfo(entryIndex, choices.changes);
                    refused != 0) {
                    message = UiMessage(static_cast<EditInfoResult>(refused));
                    return false;
                }
            }
            if (choices.rename)
                disk.RenameEntry(entryIndex, *choices.rename, true);
            return true;
        },
        DocHint::EntriesChanged);
    if (!message.empty())
        DialogSupport::ShowError(owner, message);
    return changed;
}
