#include "fs/Messages.h"

#include <cstdio>
#include <cstring>
#include <utility>
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

// Both edits' refusals start with what failed; the cause follows on a line of its own.
std::string Failed(const char* failed, const char* cause) {
    return Tr(failed) + "\n" + Tr(cause);
}

constexpr const char* kNoEntry = N_("There is no such file.");
constexpr const char* kDirectoryReadOnly =
    N_("This directory overlaps the reserved area and is read-only.");
constexpr const char* kNameEmpty = N_("The file name is empty.");
constexpr const char* kNameTaken = N_("A file of the same name already exists.");
constexpr const char* kCauseUnknown = N_("The cause is unknown.");
// A protected file is kept from deletion and renaming; the text names it.
constexpr const char* kProtectedUi = N_("\"%s\" is protected (attribute 80).");

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

std::string UiMessage(RemoveResult result, std::string_view name) {
    switch (result) {
    case RemoveResult::Ok:
        return {};
    case RemoveResult::ReadOnlyDirectory:
        return Tr(N_("Deleting the file failed.\nThis directory overlaps the reserved area and "
                     "is read-only."));
    case RemoveResult::Protected:
        return Tr(N_("Deleting the file failed.")) + "\n" + FormatText(Tr(kProtectedUi), {name});
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
    case RemoveResult::Protected:
        return Tr(N_("the file is protected (attribute bit 7); --force deletes it anyway"));
    case RemoveResult::AlreadyFree:
        break;
    }
    return Tr(N_("the entry is already free"));
}

std::string UiMessage(RenameResult result, std::string_view name) {
    constexpr const char* kFailed = N_("Renaming the file failed.");
    switch (result) {
    case RenameResult::Ok:
        return {};
    case RenameResult::NoEntry:
        return Failed(kFailed, kNoEntry);
    case RenameResult::ReadOnlyDirectory:
        return Failed(kFailed, kDirectoryReadOnly);
    case RenameResult::Protected:
        return Tr(kFailed) + "\n" + FormatText(Tr(kProtectedUi), {name});
    case RenameResult::NameNotEncodable:
        return Failed(kFailed, kNameNotEncodable);
    case RenameResult::NameEmpty:
        return Failed(kFailed, kNameEmpty);
    case RenameResult::NameTaken:
        return Failed(kFailed, kNameTaken);
    }
    return Failed(kFailed, kCauseUnknown);
}

std::string CliMessage(RenameResult result) {
    switch (result) {
    case RenameResult::Ok:
        return {};
    case RenameResult::NoEntry:
        return Tr(N_("no such file"));
    case RenameResult::ReadOnlyDirectory:
        return Tr(kReadOnlyDirectory);
    case RenameResult::Protected:
        return Tr(N_("the file is protected (attribute bit 7); --force renames it anyway"));
    case RenameResult::NameNotEncodable:
        return CliMessage(AddFileReason::NameNotEncodable);
    case RenameResult::NameEmpty:
        return CliMessage(AddFileReason::NameEmpty);
    case RenameResult::NameTaken:
        return CliMessage(ImportResult::NameTaken);
    }
    return Tr(N_("renaming the file failed for an unknown reason"));
}

std::string UiMessage(EditInfoResult result) {
    constexpr const char* kFailed = N_("Changing the file information failed.");
    switch (result) {
    case EditInfoResult::Ok:
        return {};
    case EditInfoResult::NoEntry:
        return Failed(kFailed, kNoEntry);
    case EditInfoResult::ReadOnlyDirectory:
        return Failed(kFailed, kDirectoryReadOnly);
    case EditInfoResult::ModeKind:
        return Failed(kFailed, N_("The mode changes only between modes that lay the data out "
                                  "alike (OBJ and BTX)."));
    }
    return Failed(kFailed, kCauseUnknown);
}

std::string CliMessage(EditInfoResult result) {
    switch (result) {
    case EditInfoResult::Ok:
        return {};
    case EditInfoResult::NoEntry:
        return Tr(N_("no such file"));
    case EditInfoResult::ReadOnlyDirectory:
        return Tr(kReadOnlyDirectory);
    case EditInfoResult::ModeKind:
        return Tr(N_("the mode changes only to one that lays the body out alike (OBJ and BTX); "
                     "a BSD chain, a BRD index and a directory keep their modes"));
    }
    return Tr(N_("changing the file's information failed for an unknown reason"));
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

std::string CliMessage(DiskSelectResult result, int diskNumber, int diskCount) {
    switch (result) {
    case DiskSelectResult::Ok:
        return {};
    case DiskSelectResult::NoSuchDisk:
        return FormatText(
            Tr(N_("no disk %s: the file holds %s")),
            {std::to_string(diskNumber),
             Counted(TranslatePlural("%s disk", "%s disks", static_cast<unsigned long>(diskCount)),
                     static_cast<unsigned long>(diskCount))});
    case DiskSelectResult::Damaged:
        break;
    }
    return FormatText(Tr(N_("disk %s could not be read as a disk; its bytes are kept as they are")),
                      {std::to_string(diskNumber)});
}

std::string CliMessage(DiskAddResult result) {
    switch (result) {
    case DiskAddResult::Ok:
        return {};
    case DiskAddResult::BadType:
        return Tr(N_("no such disk type"));
    case DiskAddResult::TooMany:
        return FormatText(Tr(N_("the file holds %s disks, the most it may")),
                          {std::to_string(DiskSet::kMaxDisks)});
    case DiskAddResult::NoMemory:
        break;
    }
    return Tr(N_("not enough memory for another disk"));
}

std::string CliMessage(DiskRemoveResult result, int diskNumber) {
    switch (result) {
    case DiskRemoveResult::Ok:
        return {};
    case DiskRemoveResult::NoSuchDisk:
        return Tr(N_("no such disk"));
    case DiskRemoveResult::LastDisk:
        return Tr(N_("it is the only disk of the file; a file keeps at least one"));
    case DiskRemoveResult::WriteProtected:
        return CliMessage(ChangeRefusal::WriteProtected, diskNumber);
    case DiskRemoveResult::FirstUnreadable:
        break;
    }
    return Tr(N_("the disk after it, which would come first, could not be read: the file would "
                 "no longer open"));
}

std::string UiMessage(ChangeRefusal refusal, int diskNumber) {
    switch (refusal) {
    case ChangeRefusal::None:
        return {};
    case ChangeRefusal::NotMzFs:
        return Tr(N_("This is not an MZ disk: it opens read-only."));
    case ChangeRefusal::WriteProtected:
        break;
    }
    return FormatText(Tr(N_("Disk %s is write-protected in its D88 header: it opens read-only.")),
                      {std::to_string(diskNumber)});
}

std::string CliMessage(ChangeRefusal refusal, int diskNumber) {
    switch (refusal) {
    case ChangeRefusal::None:
        return {};
    case ChangeRefusal::NotMzFs:
        return Tr(N_("not an MZ disk file system; refusing to change it"));
    case ChangeRefusal::WriteProtected:
        break;
    }
    return FormatText(Tr(N_("disk %s is write-protected (D88 header); clear it with `%s`")),
                      {std::to_string(diskNumber), "darvex-cli label --write-protect off"});
}

namespace {

// A note's msgid and the numbers it carries, in the order the English text names them.
struct NoteText {
    NoteText(const char* id = "", std::vector<long long> args = {})
        : msgid(id), numbers(std::move(args)) {}
    const char* msgid;
    std::vector<long long> numbers;
};

NoteText NoteTextOf(const ViewNote& note) {
    switch (note.code) {
    case ViewNoteCode::BasicPastSize:
        return {N_("the line at byte %s is %s bytes long and runs past the end of the program; "
                   "the listing ends here"),
                {note.offset, note.value}};
    case ViewNoteCode::BasicBrokenChain:
        return {N_("the record length %s at byte %s breaks the chain of lines; the listing ends "
                   "here"),
                {note.value, note.offset}};
    case ViewNoteCode::BasicNotAscending:
        return {N_("line number %s at byte %s does not follow line %s; the listing ends here"),
                {note.value, note.offset, note.previous}};
    case ViewNoteCode::BasicNoEndMark:
        return {N_("the program ends at byte %s without its end mark (00 00)"), {note.offset}};
    case ViewNoteCode::BasicM25:
        return {N_("an MZ-2500 disk: a BASIC-M25 program, whose format is not published; shown "
                   "as hex")};
    case ViewNoteCode::NotSBasic:
        return {N_("not an S-BASIC program of the MZ-80B/2000 (its first line does not parse); "
                   "shown as hex")};
    case ViewNoteCode::BodyEndedEarly:
        return {N_("the file's body ends after %s of its %s bytes (its sector chain or block "
                   "index ends early)"),
                {note.value, note.previous}};
    case ViewNoteCode::BodyLeftImage:
        return {N_("the file's body needs sector %s, which the disk does not hold; shown up to "
                   "there"),
                {note.offset}};
    case ViewNoteCode::BodyChainLoop:
        return {N_("the file's sector chain comes back to a sector it has passed, after %s "
                   "bytes; shown up to there"),
                {note.offset}};
    case ViewNoteCode::SectorMissing:
        return {N_("no record of the D88 file holds this sector; it reads as 0x00")};
    case ViewNoteCode::SectorShortRecord:
        return {N_("the D88 record holds 128 bytes (N = 0); the rest of the sector reads as "
                   "0x00")};
    case ViewNoteCode::SectorLongRecord:
        return {N_("the D88 record holds %s bytes; only its first 256 are kept"), {note.value}};
    case ViewNoteCode::SectorDuplicate:
        return {N_("the D88 file holds more than one record for this sector; the last one read "
                   "is shown")};
    case ViewNoteCode::SectorNotLoaded:
        return {N_("not read from a D88 file (a new disk or a flat image): the header is the "
                   "one a save writes")};
    case ViewNoteCode::BootNone:
        return {N_("the disk has no boot program (no IPLPRO header)")};
    case ViewNoteCode::BootPastDisk:
        return {N_("the boot program runs past the end of the disk; shown up to there")};
    }
    return {};
}

std::string NoteMessageFrom(const NoteText& text, const std::string& pattern) {
    std::vector<std::string> numbers;
    for (long long n : text.numbers)
        numbers.push_back(std::to_string(n));
    std::vector<std::string_view> args(numbers.begin(), numbers.end());
    args.resize(3); // FormatText takes a list: unused places stay empty
    return FormatText(pattern, {args[0], args[1], args[2]});
}

} // namespace

std::string NoteMessage(const ViewNote& note) {
    const NoteText text = NoteTextOf(note);
    return NoteMessageFrom(text, Tr(text.msgid));
}

std::string NoteMessageEn(const ViewNote& note) {
    const NoteText text = NoteTextOf(note);
    return NoteMessageFrom(text, text.msgid);
}
