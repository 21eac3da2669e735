#include "doc/UiText.h"

#include "fs/Translation.h"
#include "image/LoadReport.h"

namespace {

std::string Tr(const char* msgid) {
    return Translate(msgid);
}

} // namespace

std::string UiMessage(UiText text) {
    switch (text) {
    case UiText::ErrorCaption:
        return Tr(N_("Error"));
    case UiText::AppCaption:
        return "Darvex";
    case UiText::DeleteCaption:
        return Tr(N_("Delete Files"));
    case UiText::DeleteQuestion:
        return Tr(N_("Delete the selected files?\nChoose OK or Cancel.\n"));
    case UiText::SaveLosesSectorInfo:
        return Tr(N_("Saving loses part of the sector information of this disk image."));
    case UiText::SaveChangesPrompt:
        return Tr(N_("Save the changes to the disk image \"%s\"?"));
    case UiText::ChangedOnDisk:
        return Tr(N_("Another program has changed the disk image \"%s\". Overwrite it?"));
    case UiText::ReplaceQuestion:
        return Tr(N_("%s already exists. Replace it?"));
    case UiText::NoMzFileSystem:
        return Tr(N_("no MZ file system"));
    case UiText::RecentFileGone:
        return Tr(N_("The file \"%s\" no longer exists; it leaves the list of recent files."));
    case UiText::NamedFile:
        return Tr(N_("File \"%s\":"));
    case UiText::DiskTakesNoFiles:
        return Tr(N_("Files cannot be written to this disk: it is open for reading only."));
    case UiText::NotLocalFiles:
        return Tr(N_("Items that are not files on this computer were left out."));
    case UiText::NoTransferFolder:
        return Tr(N_("The files cannot be handed to other programs: no temporary folder can be "
                     "made (%s)."));
    case UiText::TextNotFound:
        return Tr(N_("\"%s\" was not found."));
    case UiText::ListingSaveFailed:
        return Tr(N_("The listing could not be saved."));
    case UiText::PrintFailed:
        return Tr(N_("The disk image could not be printed."));
    case UiText::UndoHistoryLost:
        return Tr(N_("The disk no longer matches the undo history. Nothing was undone or "
                     "redone, and the history is cleared."));
    case UiText::DiskNameNotEncodable:
        return Tr(N_("The disk name holds characters that the disk cannot hold."));
    case UiText::DiskNameTooLong:
        return Tr(N_("The disk name is too long.\nAt most 16 bytes (8 full-width characters)."));
    case UiText::ProtectedDeleteQuestion:
        return Tr(N_("These files are protected:\n%s\nDelete them too?"));
    case UiText::ProtectedRenameQuestion:
        return Tr(N_("This file is protected:\n%s\nRename it all the same?"));
    }
    return {};
}

std::string LoadWarningUi(const LoadReport& report) {
    if (report.Empty())
        return {};
    std::string text = UiMessage(UiText::SaveLosesSectorInfo);
    const auto line = [&text](const char* format, int n) {
        text += "\n" + FormatText(Tr(format), {std::to_string(n)});
    };
    if (report.recordsDuplicate != 0)
        line(N_("Records with the same sector ID: %s. Only the later one stays."),
             report.recordsDuplicate);
    if (report.recordsOddLength != 0)
        line(N_("Records not of 256 bytes: %s. They become 256-byte sectors."),
             report.recordsOddLength);
    if (report.recordsCut != 0)
        line(N_("(Of them %s keep only their first 256 bytes.)"), report.recordsCut);
    if (report.recordsNotPlaced != 0)
        line(N_("Records outside the disk: %s. They are not saved."), report.recordsNotPlaced);
    return text;
}
