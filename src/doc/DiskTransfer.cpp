#include "doc/DiskTransfer.h"

#include <cstring>

#include "doc/AddFileDlg.h"
#include "doc/DialogSupport.h"
#include "doc/TransferData.h"
#include "doc/UiText.h"
#include "fs/DirEntry.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "host/ExtractOutput.h"
#include "host/HostCommands.h"
#include "host/HostNames.h"
#include "host/TransferFolder.h"
#include "fs/DiskImage.h"

using DialogSupport::FromUtf8;

namespace {

// The message about one file of several: its name first.
void ShowFileError(wxWindow* owner, const std::string& nameUtf8, const std::string& message) {
    const wxString head =
        wxString::Format(FromUtf8(UiMessage(UiText::NamedFile)), FromUtf8(nameUtf8));
    DialogSupport::ShowError(owner, DialogSupport::ToUtf8(head) + "\n" + message);
}

std::string EntryName(const DirEntry::Bytes32& entry) {
    return SjisToDisplay(DirEntry(entry).NameText());
}

} // namespace

DiskTransfer::Offer DiskTransfer::MakeOffer(wxWindow* owner, const DiskImage& disk,
                                            const std::string& imagePath,
                                            const std::vector<int>& entries, TransferFolder& folder,
                                            int exportFormat, bool clipboard) {
    Offer offer;
    if (entries.empty())
        return offer;
    int sysError = 0;
    offer.folder = folder.NewFolder(&sysError);
    if (offer.folder.empty()) {
        const wxString text = wxString::Format(FromUtf8(UiMessage(UiText::NoTransferFolder)),
                                               FromUtf8(std::strerror(sysError)));
        DialogSupport::ShowError(owner, DialogSupport::ToUtf8(text));
    }
    ExtractOutput output;
    output.imagePath = imagePath;
    // Names nobody saw: never hidden, never replacing one another.
    output.name = OutputName::Unseen;
    const bool mzt = SelectsMzt(exportFormat);
    std::vector<EntryPack::File> files;
    std::vector<std::string> paths;
    for (const int index : entries) {
        unsigned char bytes[DirEntry::kBytes];
        disk.ReadDirEntry(bytes, index);
        const std::string name =
            SafeHostFileName(ProposeExtractName(DirEntry(bytes).NameText(), mzt));
        const std::string target = offer.folder.empty() ? name : offer.folder + "/" + name;
        // The body is checked once for both forms: the export's refusals hold for a copy too.
        const ExportOutcome check = CheckEntryExport(disk, index, target, output);
        if (check.result == ExportResult::ReservedArea ||
            check.result == ExportResult::PastDiskEnd ||
            check.result == ExportResult::CannotWrite) {
            DialogSupport::ShowError(owner, check.UiMessage());
            continue;
        }
        files.push_back(EntryPack::FromDisk(disk, index));
        offer.entries.push_back(index);
        if (offer.folder.empty())
            continue;
        const ExportOutcome outcome = ExportEntryToFile(disk, index, target, exportFormat, output);
        if (outcome.Ok())
            paths.push_back(outcome.path);
        else
            DialogSupport::ShowError(owner, outcome.UiMessage());
    }
    if (!files.empty())
        offer.data = std::make_unique<CTransferData>(EntryPack::Encode(files), paths, clipboard);
    return offer;
}

bool DiskTransfer::AddHostFiles(wxWindow* owner, DiskImage& disk,
                                const std::vector<std::string>& paths) {
    const bool several = paths.size() > 1;
    bool applyToAll = false;
    bool stored = false;
    for (const std::string& path : paths) {
        const AddFileSource source = ReadAddFileSource(path, MztChoice::ByExtension);
        const std::string name = source.fileNameUtf8.empty() ? path : source.fileNameUtf8;
        const auto report = [&](const std::string& message) {
            if (several)
                ShowFileError(owner, name, message);
            else
                DialogSupport::ShowError(owner, message);
        };
        if (source.reason != AddFileReason::Ok) {
            report(UiMessage(source.reason));
            continue;
        }
        AddFileEntry::Choices choices; // nothing chosen: the proposal as it is
        if (!applyToAll) {
            CAddFileDlg dlg(owner);
            dlg.Propose(path, source);
            dlg.ShowAllOk(several);
            if (dlg.ShowModal() != wxID_OK)
                continue;
            choices = dlg.GetChoices();
            applyToAll = dlg.m_bApplyToAll;
        }
        const AddFileOutcome outcome = AddFileFromSource(disk, source, choices);
        if (outcome.reason != AddFileReason::Ok)
            report(UiMessage(outcome.reason));
        else if (outcome.result != ImportResult::Ok)
            report(UiMessage(outcome.result));
        stored = stored || outcome.Ok();
    }
    return stored;
}

bool DiskTransfer::StorePack(wxWindow* owner, DiskImage& disk,
                             const std::vector<EntryPack::File>& files) {
    bool stored = false;
    for (const EntryPack::File& file : files) {
        const auto result = static_cast<ImportResult>(
            disk.StoreEntry(file.entry.data(), file.body.data(), file.body.size()));
        if (result == ImportResult::Ok)
            stored = true;
        else
            ShowFileError(owner, EntryName(file.entry), UiMessage(result));
    }
    return stored;
}
