#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fs/AddFileEntry.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/ClusterOwnership.h"
#include "fs/ResultCodes.h"
#include "image/LoadReport.h"

// Every message of the system, in one table: for each result of each operation the text the
// desktop program shows in its message box (UiMessage) and the line `darvex-cli` prints after
// "darvex-cli: COMMAND: SUBJECT: " (CliMessage). Each is an English msgid of the catalog,
// returned in the user's language (fs/Translation.h); the Japanese texts are in po/ja.po. Front
// ends choose the subject and the message box; they spell no text of their own.
//
// Codes outside an enum's values (a newer core, a foreign caller) get the "cause unknown"
// sentence of their operation.

std::string UiMessage(LoadResult result);
std::string CliMessage(LoadResult result);

// subject: the entry's name (ReservedArea, PastDiskEnd) or the output path (SameAsImage), as
// UTF-8; sector: the sector refused; sysError: the errno behind CannotWrite, 0 when none.
std::string UiMessage(ExportResult result, std::string_view subject = {}, long long sector = -1);
std::string CliMessage(ExportResult result, long long sector = -1, int sysError = 0);

std::string UiMessage(ImportResult result);
std::string CliMessage(ImportResult result);

std::string UiMessage(RemoveResult result);
std::string CliMessage(RemoveResult result);

std::string UiMessage(ExtractBootResult result);
std::string CliMessage(ExtractBootResult result);
// path: the output path (SameAsImage), UTF-8; sysError: the errno behind WriteFailed.
std::string UiMessage(ExtractBootCause cause, std::string_view path = {});
std::string CliMessage(ExtractBootCause cause, int sysError = 0);

std::string UiMessage(RegisterBootResult result);
std::string CliMessage(RegisterBootResult result);

// fileBytes: the host file's length (TooLarge); mode: the mode that was refused (NoMode).
std::string UiMessage(AddFileReason reason);
std::string CliMessage(AddFileReason reason, std::uint64_t fileBytes = 0, int mode = 0);

std::string UiMessage(BootRegisterReason reason);
std::string CliMessage(BootRegisterReason reason, std::uint64_t fileBytes = 0);

// sysError: the errno behind the failure, 0 when none; fileBytes: the length of a file refused
// as too large; path: the folder no temporary file could be made in (CannotCreate) or the copy
// kept beside a damaged image (CopyKept).
std::string UiMessage(ImageFileError error);
std::string CliMessage(ImageFileError error, int sysError = 0, std::uint64_t fileBytes = 0,
                       std::string_view path = {});

// What saving an image with this load report would lose (LoadReport::SaveLosesData), for the
// commands that refuse such a save without --force; empty when it loses nothing.
std::string SaveLossCli(const LoadReport& report);
// The desktop program's warning after loading: UiText::SaveLosesSectorInfo, and a line for
// each kind of record a save would lose; empty when a save writes what was read.
std::string LoadWarningUi(const LoadReport& report);

// Why nothing may be allocated on the disk; empty when the hazard is absent. The desktop's text
// says that adding files and registering a boot program are off for this disk.
std::string UiMessage(const AllocationHazard& hazard);
std::string CliMessage(const AllocationHazard& hazard);

// Texts of the desktop program that belong to no operation's result.
enum class UiText {
    ErrorCaption,        // caption of every failure message box
    AppCaption,          // caption of the save prompt
    DeleteCaption,       // caption of the delete question
    DeleteQuestion,      // the delete command's confirmation
    NotD88,              // a .d88/.d20 file the decoder refuses
    NotMzReadOnly,       // opened read-only: not an MZ file system
    SaveLosesSectorInfo, // the load report says a save normalises the file
    SaveChangesPrompt,   // "%s": the document title
    ExtractFailed,       // an export the extract dialog could not write
    TooLargeForAdd,      // the add-file command's 512 KB limit
    TooLargeForBoot,     // the boot-register command's 65535-byte limit
    NameNotEncodable,    // a typed name or text CP932 cannot encode
    SaveFailed,          // the disk image could not be saved (the reason follows)
    ChangedOnDisk,       // the file changed on disk since it was read ("%s": its name)
    ReplaceQuestion,     // an extraction's output exists ("%s": its path)
    NoMzFileSystem,      // the tree's root and the usage pane of a disk without one
    RecentFileGone,      // a recent file that no longer exists ("%s": its path)
    UndoHistoryLost,     // the disk no longer matches the undo history, which is cleared
};
std::string UiMessage(UiText text);
