#include "fs/Messages.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "fs/SjisText.h"
#include "fs/Translation.h"

namespace {

// The desktop program's texts, shared by several results.
constexpr const char* kImportUnknown =
    N_("Writing the file to the disk image failed.\nThe cause is unknown.");
constexpr const char* kImportCannotRead =
    N_("Writing the file to the disk image failed.\nThe file cannot be read.");
constexpr const char* kImportNameTaken =
    N_("Writing the file to the disk image failed.\nA file of the same name already exists.");
constexpr const char* kImportBitmapMissesFile =
    N_("Writing the file to the disk image failed.\nThe allocation bitmap does not mark a "
       "file's area as used.");
constexpr const char* kBootWriteFailed = N_("Writing the boot program failed.");
constexpr const char* kExtractFailed = N_("Extracting the file failed.");
constexpr const char* kNameNotEncodable =
    N_("The name holds characters that a file name on the disk cannot hold.");
constexpr const char* kNotD88 = N_("The file could not be read as a D88 disk image.");
constexpr const char* kSaveFailed = N_("The disk image could not be saved.");
constexpr const char* kTooLargeForAdd = N_("The file to write is too large.\nAt most 512 KB.");
constexpr const char* kTooLargeForBoot =
    N_("The file to write is too large.\nAt most 65535 bytes.");
constexpr const char* kSameAsImageUi =
    N_("\"%s\" is the disk image being read. Give another file name.");

// darvex-cli's lines, shared by several results.
constexpr const char* kCannotReadFile = N_("cannot read the file");
constexpr const char* kCannotWriteFile = N_("cannot write the file");
constexpr const char* kNotEncodable = N_("cannot be written in Shift-JIS (CP932)");
constexpr const char* kReadOnlyDirectory =
    N_("the directory overlaps the reserved area (boot sector, bitmap or root directory); it is "
       "read-only");
constexpr const char* kBitmapMissesFile =
    N_("the allocation bitmap does not mark the clusters of every file; writing could overwrite "
       "one (check names them; --force writes anyway)");
constexpr const char* kSameAsImageCli =
    N_("this is the disk image being read; refusing to write over it");

std::string Tr(const char* msgid) {
    return Translate(msgid);
}

// A translated "%s things" with n in its place.
std::string Counted(const std::string& pattern, unsigned long n) {
    return FormatText(pattern, {std::to_string(n)});
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i == 0)
            text = parts[i];
        else
            text = FormatText(i + 1 == parts.size() ? Tr(N_("%s and %s")) : Tr(N_("%s, %s")),
                              {text, parts[i]});
    }
    return text;
}

std::string WithErrno(std::string text, int sysError) {
    if (sysError != 0)
        text += std::string(": ") + std::strerror(sysError);
    return text;
}

} // namespace

std::string UiMessage(LoadResult result) {
    return result == LoadResult::Ok ? std::string() : Tr(kNotD88);
}

std::string CliMessage(LoadResult result) {
    return result == LoadResult::Ok ? std::string() : Tr(N_("not a D88 disk image"));
}

std::string UiMessage(ExportResult result, std::string_view subject, long long sector) {
    switch (result) {
    case ExportResult::Ok:
        return {};
    case ExportResult::ReservedArea:
        return FormatText(Tr(N_("The body of \"%s\" lies at sector %s, over the reserved area "
                                "(boot program, bitmap, directory): it is not extracted.")),
                          {subject, std::to_string(sector)});
    case ExportResult::PastDiskEnd:
        return FormatText(Tr(N_("The body of \"%s\" reaches past the end of the disk (sector "
                                "%s): it is not extracted.")),
                          {subject, std::to_string(sector)});
    case ExportResult::SameAsImage:
        return FormatText(Tr(kSameAsImageUi), {subject});
    case ExportResult::CannotWrite:
        break;
    }
    return Tr(kExtractFailed);
}

std::string CliMessage(ExportResult result, long long sector, int sysError) {
    switch (result) {
    case ExportResult::Ok:
        return {};
    case ExportResult::ReservedArea:
        return FormatText(
            Tr(N_("its body lies at sector %s, in the reserved area (boot program, bitmap and "
                  "directory) before the first data sector; not extracted (--force takes those "
                  "bytes all the same)")),
            {std::to_string(sector)});
    case ExportResult::PastDiskEnd:
        return FormatText(Tr(N_("its body reaches sector %s, past the end of the disk; not "
                                "extracted (--force takes what the disk holds)")),
                          {std::to_string(sector)});
    case ExportResult::SameAsImage:
        return Tr(kSameAsImageCli);
    case ExportResult::CannotWrite:
        break;
    }
    return WithErrno(Tr(kCannotWriteFile), sysError);
}

std::string UiMessage(ImportResult result) {
    switch (result) {
    case ImportResult::Ok:
        return {};
    case ImportResult::NoFreeEntry:
        return Tr(N_("Writing the file to the disk image failed.\nThe directory has no free "
                     "entry."));
    case ImportResult::CannotOpen:
    case ImportResult::MztTooShort:
        return Tr(kImportCannotRead);
    case ImportResult::NoSpace:
        return Tr(N_("Writing the file to the disk image failed.\nThe bitmap has no free "
                     "space."));
    case ImportResult::NameTaken:
        return Tr(kImportNameTaken);
    case ImportResult::TooLarge:
        return Tr(N_("Writing the file to the disk image failed.\nIn this mode a file cannot "
                     "be larger than 65535 bytes."));
    case ImportResult::ReadOnlyDirectory:
        return Tr(N_("Writing the file to the disk image failed.\nThis directory overlaps the "
                     "reserved area and is read-only."));
    case ImportResult::FreeMode:
        break;
    }
    return Tr(kImportUnknown);
}

std::string CliMessage(ImportResult result) {
    switch (result) {
    case ImportResult::Ok:
        return {};
    case ImportResult::NoFreeEntry:
        return Tr(N_("the directory has no free entry"));
    case ImportResult::CannotOpen:
        return Tr(kCannotReadFile);
    case ImportResult::MztTooShort:
        return Tr(N_("an MZT file of 128 bytes or less holds no data"));
    case ImportResult::NoSpace:
        return Tr(N_("not enough free space on the disk"));
    case ImportResult::NameTaken:
        return Tr(N_("a file of this name already exists"));
    case ImportResult::TooLarge:
        return Tr(N_("too large for this mode (OBJ, BTX and BSD files hold at most 65535 bytes, "
                     "BRD files 512 KB)"));
    case ImportResult::FreeMode:
        return Tr(N_("mode 0x00 would mark the entry free"));
    case ImportResult::ReadOnlyDirectory:
        return Tr(kReadOnlyDirectory);
    }
    return Tr(N_("writing the file to the disk image failed for an unknown reason"));
}

std::string UiMessage(RemoveResult result) {
    switch (result) {
    case RemoveResult::Ok:
        return {};
    case RemoveResult::ReadOnlyDirectory:
        return Tr(N_("Deleting the file failed.\nThis directory overlaps the reserved area and "
                     "is read-only."));
    case RemoveResult::AlreadyFree:
        break;
    }
    return Tr(N_("Deleting the file failed."));
}

std::string CliMessage(RemoveResult result) {
    switch (result) {
    case RemoveResult::Ok:
        return {};
    case RemoveResult::ReadOnlyDirectory:
        return Tr(kReadOnlyDirectory);
    case RemoveResult::AlreadyFree:
        break;
    }
    return Tr(N_("the entry is already free"));
}

std::string UiMessage(ExtractBootResult result) {
    return result == ExtractBootResult::Ok ? std::string()
                                           : Tr(N_("Extracting the boot program failed."));
}

std::string CliMessage(ExtractBootResult result) {
    return result == ExtractBootResult::Ok ? std::string()
                                           : Tr(N_("taking out the boot program failed"));
}

std::string UiMessage(ExtractBootCause cause, std::string_view path) {
    if (cause == ExtractBootCause::SameAsImage)
        return FormatText(Tr(kSameAsImageUi), {path});
    return UiMessage(ToResult(cause));
}

std::string CliMessage(ExtractBootCause cause, int sysError) {
    switch (cause) {
    case ExtractBootCause::None:
        return {};
    case ExtractBootCause::NoSignature:
        return Tr(N_("the disk has no boot program (no \"IPLPRO\" header)"));
    case ExtractBootCause::PastImageEnd:
        return Tr(N_("the boot program reaches past the end of the disk image"));
    case ExtractBootCause::WriteFailed:
        return WithErrno(Tr(kCannotWriteFile), sysError);
    case ExtractBootCause::SameAsImage:
        return Tr(kSameAsImageCli);
    }
    return CliMessage(ExtractBootResult::Failed);
}

std::string UiMessage(RegisterBootResult result) {
    return result == RegisterBootResult::Ok ? std::string() : Tr(kBootWriteFailed);
}

std::string CliMessage(RegisterBootResult result) {
    switch (result) {
    case RegisterBootResult::Ok:
        return {};
    case RegisterBootResult::CannotOpen:
        return Tr(kCannotReadFile);
    case RegisterBootResult::Empty:
        return Tr(N_("no program to register (an empty file, or an MZT file of 128 bytes or "
                     "less)"));
    case RegisterBootResult::TooLarge:
        return Tr(N_("the program is too large (at most 65535 bytes)"));
    case RegisterBootResult::NoSpace:
        return Tr(N_("no run of free clusters is long enough for the program"));
    }
    return Tr(N_("writing the boot program failed"));
}

std::string UiMessage(AddFileReason reason) {
    switch (reason) {
    case AddFileReason::Ok:
        return {};
    case AddFileReason::CannotRead:
    case AddFileReason::MztShorterThanHeader:
        return Tr(kImportCannotRead);
    case AddFileReason::TooLarge:
        return Tr(kTooLargeForAdd);
    case AddFileReason::FileNameNotEncodable:
    case AddFileReason::NameNotEncodable:
        return Tr(kNameNotEncodable);
    case AddFileReason::NameEmpty:
        return Tr(kImportNameTaken); // what the import answers an empty name
    case AddFileReason::NoMode:
        return Tr(N_("Choose a mode."));
    case AddFileReason::BitmapMissesFile:
        return Tr(kImportBitmapMissesFile);
    }
    return Tr(kImportUnknown);
}

std::string CliMessage(AddFileReason reason, std::uint64_t fileBytes, int mode) {
    switch (reason) {
    case AddFileReason::Ok:
        return {};
    case AddFileReason::CannotRead:
        return Tr(kCannotReadFile);
    case AddFileReason::TooLarge:
        return FormatText(Tr(N_("the file to write is too large (%s bytes; at most 512 KB)")),
                          {std::to_string(fileBytes)});
    case AddFileReason::FileNameNotEncodable:
        return Tr(N_("the file name cannot be written in Shift-JIS (CP932); give --name"));
    case AddFileReason::NameNotEncodable:
        return Tr(kNotEncodable);
    case AddFileReason::NameEmpty:
        return Tr(N_("the name on the disk is empty"));
    case AddFileReason::MztShorterThanHeader:
        return Tr(N_("the file is shorter than the 128-byte header of an MZT file"));
    case AddFileReason::BitmapMissesFile:
        return Tr(kBitmapMissesFile);
    case AddFileReason::NoMode: {
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(mode & 0xFF));
        return FormatText(Tr(N_("the MZT header's mode %s is not OBJ, BTX, BSD or BRD; choose "
                                "one with --mode")),
                          {text});
    }
    }
    return CliMessage(ImportResult::FreeMode);
}

std::string UiMessage(BootRegisterReason reason) {
    switch (reason) {
    case BootRegisterReason::Ok:
        return {};
    case BootRegisterReason::CannotRead:
        return Tr(kBootWriteFailed);
    case BootRegisterReason::TooLarge:
        return Tr(kTooLargeForBoot);
    case BootRegisterReason::FileNameNotEncodable:
    case BootRegisterReason::TextNotEncodable:
        return Tr(kNameNotEncodable);
    case BootRegisterReason::BitmapMissesFile:
        return Tr(N_("Writing the boot program failed.\nThe allocation bitmap does not mark a "
                     "file's area as used."));
    }
    return Tr(kBootWriteFailed);
}

std::string CliMessage(BootRegisterReason reason, std::uint64_t fileBytes) {
    switch (reason) {
    case BootRegisterReason::Ok:
        return {};
    case BootRegisterReason::CannotRead:
        return Tr(kCannotReadFile);
    case BootRegisterReason::TooLarge:
        return FormatText(Tr(N_("the file is too large (%s bytes; at most 65535 bytes)")),
                          {std::to_string(fileBytes)});
    case BootRegisterReason::FileNameNotEncodable:
        return Tr(N_("the file name cannot be written in Shift-JIS (CP932); give --text"));
    case BootRegisterReason::TextNotEncodable:
        return Tr(kNotEncodable);
    case BootRegisterReason::BitmapMissesFile:
        return Tr(kBitmapMissesFile);
    }
    return CliMessage(RegisterBootResult::NoSpace);
}

std::string UiMessage(ImageFileError error) {
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
    case ImageFileError::ShrankWhileRead:
    case ImageFileError::TooLarge:
    case ImageFileError::NotD88:
        return Tr(kNotD88);
    case ImageFileError::NotRegular:
        return Tr(N_("This is not a regular file (a device, FIFO, socket or folder)."));
    case ImageFileError::BrokenLink:
        return Tr(N_("No file lies at the end of the symbolic link."));
    case ImageFileError::ReadOnly:
        return Tr(N_("The disk image is read-only and cannot be overwritten. Save it with "
                     "\"Save As\"."));
    case ImageFileError::NotOwner:
        return Tr(N_("The disk image is another user's file, who has not allowed writing it."));
    case ImageFileError::CopyKept:
        return Tr(N_("The disk image could not be saved. The file may be damaged. A copy of its "
                     "former content was left in the same folder."));
    case ImageFileError::NotMzFs:
    case ImageFileError::NotMzFsToRead:
        return UiMessage(UiText::NotMzReadOnly);
    case ImageFileError::InUse:
        return Tr(N_("The disk image is in use by another program."));
    case ImageFileError::NoImage:
    case ImageFileError::CannotCreate:
    case ImageFileError::CannotWrite:
    case ImageFileError::CannotReplace:
        break;
    }
    return Tr(kSaveFailed);
}

std::string CliMessage(ImageFileError error, int sysError, std::uint64_t fileBytes,
                       std::string_view path) {
    const auto cannotWrite = [sysError] { return WithErrno(Tr(N_("cannot write")), sysError); };
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
        return Tr(kCannotReadFile);
    case ImageFileError::ShrankWhileRead:
        return Tr(N_("another program cut the file short while it was read; nothing was "
                     "changed"));
    case ImageFileError::NotRegular:
        return Tr(N_("not a regular file (a device, FIFO, socket or folder); refusing to "
                     "replace it"));
    case ImageFileError::BrokenLink:
        return WithErrno(Tr(N_("a symbolic link that leads to no file")), sysError);
    case ImageFileError::InUse:
        return Tr(N_("the image is in use by another program"));
    case ImageFileError::TooLarge:
        return FormatText(Tr(N_("the file is too large for a disk image (%s bytes, at most %s)")),
                          {std::to_string(fileBytes), std::to_string(64u << 20)});
    case ImageFileError::NotD88:
        return CliMessage(LoadResult::NotAContainer);
    case ImageFileError::NotMzFs:
        return Tr(N_("not an MZ disk file system; refusing to change it"));
    case ImageFileError::NotMzFsToRead:
        return Tr(N_("not an MZ disk file system (--force reads it anyway)"));
    case ImageFileError::NoImage:
        return Tr(N_("no disk image to save"));
    case ImageFileError::CannotCreate:
        return WithErrno(FormatText(Tr(N_("cannot create a temporary file in %s")), {path}),
                         sysError);
    case ImageFileError::CannotWrite:
        return cannotWrite();
    case ImageFileError::CannotReplace:
        return WithErrno(Tr(N_("cannot replace the file")), sysError);
    case ImageFileError::ReadOnly:
        return Tr(N_("the image is read-only"));
    case ImageFileError::NotOwner:
        return Tr(N_("the file belongs to another user and may not be written; replacing it "
                     "would take it from its owner"));
    case ImageFileError::CopyKept:
        return FormatText(Tr(N_("%s; the image may be damaged: a whole copy of it was kept in %s")),
                          {cannotWrite(), path});
    }
    return cannotWrite();
}

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
    case UiText::NotD88:
        return Tr(kNotD88);
    case UiText::NotMzReadOnly:
        return Tr(N_("This is not an MZ disk: it opens read-only."));
    case UiText::SaveLosesSectorInfo:
        return Tr(N_("Saving loses part of the sector information of this disk image."));
    case UiText::SaveChangesPrompt:
        return Tr(N_("Save the changes to the disk image \"%s\"?"));
    case UiText::ExtractFailed:
        return Tr(kExtractFailed);
    case UiText::TooLargeForAdd:
        return Tr(kTooLargeForAdd);
    case UiText::TooLargeForBoot:
        return Tr(kTooLargeForBoot);
    case UiText::NameNotEncodable:
        return Tr(kNameNotEncodable);
    case UiText::SaveFailed:
        return Tr(kSaveFailed);
    case UiText::ChangedOnDisk:
        return Tr(N_("Another program has changed the disk image \"%s\". Overwrite it?"));
    case UiText::ReplaceQuestion:
        return Tr(N_("%s already exists. Replace it?"));
    case UiText::NoMzFileSystem:
        return Tr(N_("no MZ file system"));
    case UiText::RecentFileGone:
        return Tr(N_("The file \"%s\" no longer exists; it leaves the list of recent files."));
    case UiText::UndoHistoryLost:
        return Tr(N_("The disk no longer matches the undo history. Nothing was undone or "
                     "redone, and the history is cleared."));
    }
    return {};
}

std::string SaveLossCli(const LoadReport& report) {
    if (!report.SaveLosesData())
        return {};
    std::vector<std::string> parts;
    if (report.recordsDuplicate != 0)
        parts.push_back(
            Counted(TranslatePlural("%s duplicate sector record (of two records for one sector "
                                    "only the later is kept)",
                                    "%s duplicate sector records (of two records for one sector "
                                    "only the later is kept)",
                                    report.recordsDuplicate),
                    report.recordsDuplicate));
    if (report.recordsOddLength != 0) {
        std::string odd =
            Counted(TranslatePlural("%s record not of 256 bytes", "%s records not of 256 bytes",
                                    report.recordsOddLength),
                    report.recordsOddLength);
        if (report.recordsCut != 0)
            odd = FormatText(Tr(N_("%s (%s cut to their first 256 bytes)")),
                             {odd, std::to_string(report.recordsCut)});
        parts.push_back(odd);
    }
    if (report.recordsNotPlaced != 0)
        parts.push_back(
            Counted(TranslatePlural("%s record outside the disk", "%s records outside the disk",
                                    report.recordsNotPlaced),
                    report.recordsNotPlaced));
    return FormatText(Tr(N_("saving would lose %s of this image (--force saves anyway)")),
                      {Joined(parts)});
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

std::string UiMessage(const AllocationHazard& hazard) {
    if (!hazard.Present())
        return {};
    std::string whose = hazard.kind == OwnerKind::BootProgram
                            ? Tr(N_("the boot program"))
                            : FormatText(Tr(N_("\"%s\"")), {SjisToDisplay(hazard.name)});
    if (hazard.moreBodies != 0)
        whose = FormatText(Tr(N_("%s and %s more")), {whose, std::to_string(hazard.moreBodies)});
    return FormatText(Tr(N_("The allocation bitmap does not mark the area of %s (%s clusters) "
                            "as used.\nWriting could damage files, so files cannot be added "
                            "nor a boot program registered on this disk.")),
                      {whose, std::to_string(hazard.clusters)});
}

std::string CliMessage(const AllocationHazard& hazard) {
    if (!hazard.Present())
        return {};
    const std::string whose = hazard.kind == OwnerKind::BootProgram
                                  ? Tr(N_("the boot program"))
                                  : FormatText(Tr(N_("\"%s\"")), {SjisToTerminal(hazard.name)});
    const std::string clusters =
        Counted(TranslatePlural("%s cluster", "%s clusters", hazard.clusters), hazard.clusters);
    if (hazard.moreBodies == 0)
        return FormatText(Tr(N_("the allocation bitmap does not mark the clusters of %s (%s); "
                                "writing could overwrite it (--force writes anyway)")),
                          {whose, clusters});
    return FormatText(Tr(N_("the allocation bitmap does not mark the clusters of %s (%s) and of "
                            "%s more; writing could overwrite them (check names them all; "
                            "--force writes anyway)")),
                      {whose, clusters, std::to_string(hazard.moreBodies)});
}
