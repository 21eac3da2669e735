#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fs/AddFileEntry.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/ClusterOwnership.h"
#include "fs/DiskImage.h"
#include "fs/ResultCodes.h"
#include "fs/ViewNote.h"
#include "image/LoadReport.h"

// Every message of the system, in one table: for each result of each operation the text the
// desktop program shows in its message box (UiMessage) and the line `darvex-cli` prints after
// "darvex-cli: COMMAND: SUBJECT: " (CliMessage). Each is an English msgid of the catalog,
// returned in the user's language (fs/Translation.h); the Japanese texts are in po/ja.po. Front
// ends choose the subject and the message box; they spell no text of their own. The host
// layer's own failures (host/ImageFileError.h) and the desktop program's captions and questions
// (doc/UiText.h) have their texts beside them.
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

// name: the file's name as UTF-8, which the text of a protected file names.
std::string UiMessage(RemoveResult result, std::string_view name = {});
std::string CliMessage(RemoveResult result);

std::string UiMessage(RenameResult result, std::string_view name = {});
std::string CliMessage(RenameResult result);

std::string UiMessage(EditInfoResult result);
std::string CliMessage(EditInfoResult result);

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

// What saving an image with this load report would lose (LoadReport::SaveLosesData), for the
// commands that refuse such a save without --force; empty when it loses nothing.
std::string SaveLossCli(const LoadReport& report);
// Why nothing may be allocated on the disk; empty when the hazard is absent. The desktop's text
// says that adding files and registering a boot program are off for this disk.
std::string UiMessage(const AllocationHazard& hazard);
std::string CliMessage(const AllocationHazard& hazard);

// The disks of a file. diskNumber counts from 1, as the user does; diskCount: the file's disks.
std::string CliMessage(DiskSelectResult result, int diskNumber, int diskCount);
std::string CliMessage(DiskAddResult result);
std::string CliMessage(DiskRemoveResult result, int diskNumber);
// Why a command may not change the disk; the desktop program's text says it opens read-only.
std::string UiMessage(ChangeRefusal refusal, int diskNumber);
std::string CliMessage(ChangeRefusal refusal, int diskNumber);

// The notes of the views of files and sectors, with the numbers they carry: in the user's
// language, and in English whatever the language (what scripts read).
std::string NoteMessage(const ViewNote& note);
std::string NoteMessageEn(const ViewNote& note);
