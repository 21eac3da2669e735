#include "doc/DiskCommands.h"

#include <wx/filedlg.h>

#include "doc/AddFileDlg.h"
#include "doc/BootExtractDlg.h"
#include "doc/BootRegisterDlg.h"
#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "doc/ExtractDlg.h"
#include "doc/UiText.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/EntryEdit.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "fs/Translation.h"
#include "host/ExtractOutput.h"
#include "host/HostCommands.h"

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
    return AddHostFile(owner, disk, path) ? Outcome::Changed : Outcome::Unchanged;
}

DiskCommands::Outcome DiskCommands::RegisterBoot(wxWindow* owner, DiskImage& disk,
                                                 int& bootMachine) {
    std::string path;
    if (!ChooseHostFile(owner, path))
        return Outcome::Cancelled;
    return RegisterHostFile(owner, disk, path, bootMachine) ? Outcome::Changed : Outcome::Unchanged;
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
    // Protected files are named in one more question; Cancel there deletes nothing.
    std::string protectedNames;
    for (const int index : entries) {
        unsigned char bytes[DirEntry::kBytes];
        disk.ReadDirEntry(bytes, index);
        const DirEntry entry(bytes);
        if (!entry.IsFree() && IsProtected(entry))
            protectedNames +=
                (protectedNames.empty() ? "" : "\n") + SjisToTerminal(entry.NameText());
    }
    if (!protectedNames.empty() &&
        !DialogSupport::AskOkCancel(
            owner, FormatText(UiMessage(UiText::ProtectedDeleteQuestion), {protectedNames}),
            UiMessage(UiText::DeleteCaption)))
        return Outcome::Cancelled;
    bool changed = false;
    for (const int index : entries) {
        unsigned char bytes[DirEntry::kBytes];
        disk.ReadDirEntry(bytes, index);
        if (DirEntry(bytes).IsFree())
            continue;
        const auto result = static_cast<RemoveResult>(RemoveUnlessProtected(disk, index, true));
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
    std::string proposed = documentPath;
    bool applyToAll = false;
    for (const int index : entries) {
        CExtractDlg dlg(owner);
        dlg.m_nEntry = index;
        dlg.m_pDiskImage = &disk;
        dlg.m_szImagePath = documentPath;
        dlg.m_szPath = CExtractDlg::ProposePath(disk, index, proposed);
        dlg.m_nFormat = extractFormat;
        dlg.m_bApplyToAll = applyToAll;
        const int answer = dlg.RunModal();
        extractFormat = dlg.m_nFormat;
        applyToAll = dlg.m_bApplyToAll;
        proposed = dlg.m_szPath;
        if (answer != wxID_OK)
            continue;
        ExtractOutput output;
        output.imagePath = documentPath;
        output.name = dlg.WasUnseen() ? OutputName::Unseen : OutputName::Chosen;
        // A failed entry is reported and the run goes on with the next one.
        const ExportOutcome outcome = ExportEntryToFile(
            disk, index, dlg.m_szPath, COutputPathDlg::ExportFormatFor(dlg.m_nFormat), output);
        if (outcome.Ok())
            proposed = outcome.path;
        else
            DialogSupport::ShowError(owner, outcome.UiMessage());
    }
}

void DiskCommands::ExtractBoot(wxWindow* owner, const DiskImage& disk,
                               const std::string& documentPath, int& extractFormat) {
    CBootExtractDlg dlg(owner);
    dlg.m_pDiskImage = &disk;
    dlg.m_szImagePath = documentPath;
    dlg.m_szPath = CBootExtractDlg::ProposePath(disk, documentPath);
    dlg.m_nFormat = extractFormat;
    const int answer = dlg.ShowModal();
    extractFormat = dlg.m_nFormat;
    if (answer != wxID_OK)
        return;
    ExtractOutput output;
    output.imagePath = documentPath;
    const ExtractBootOutcome outcome = ExtractBootToFile(
        disk, dlg.m_szPath, COutputPathDlg::ExportFormatFor(dlg.m_nFormat), output);
    if (!outcome.Ok())
        DialogSupport::ShowError(owner, outcome.UiMessage());
}

bool DiskCommands::AddHostFile(wxWindow* owner, DiskImage& disk, const std::string& path) {
    const AddFileSource source = ReadAddFileSource(path, MztChoice::ByExtension);
    if (source.reason != AddFileReason::Ok) {
        DialogSupport::ShowError(owner, UiMessage(source.reason));
        return false;
    }
    CAddFileDlg dlg(owner);
    dlg.Propose(path, source);
    if (dlg.ShowModal() != wxID_OK)
        return false;
    const AddFileOutcome outcome = AddFileFromSource(disk, source, dlg.GetChoices());
    if (outcome.reason != AddFileReason::Ok)
        DialogSupport::ShowError(owner, UiMessage(outcome.reason));
    else if (outcome.result != ImportResult::Ok)
        DialogSupport::ShowError(owner, UiMessage(outcome.result));
    return outcome.Ok();
}

bool DiskCommands::RegisterHostFile(wxWindow* owner, DiskImage& disk, const std::string& path,
                                    int& bootMachine) {
    const BootSource source = ReadBootSource(path, MztChoice::ByExtension);
    if (source.reason != BootRegisterReason::Ok) {
        DialogSupport::ShowError(owner, UiMessage(source.reason));
        return false;
    }
    CBootRegisterDlg dlg(owner);
    dlg.Propose(path, source, bootMachine);
    if (dlg.ShowModal() != wxID_OK)
        return false;
    bootMachine = dlg.m_nMachine;
    const BootOutcome outcome = RegisterBootFromSource(disk, source, dlg.GetChoices());
    if (outcome.reason != BootRegisterReason::Ok)
        DialogSupport::ShowError(owner, UiMessage(outcome.reason));
    else if (outcome.result != RegisterBootResult::Ok)
        DialogSupport::ShowError(owner, UiMessage(outcome.result));
    return outcome.Ok();
}
