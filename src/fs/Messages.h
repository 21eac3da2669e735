#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fs/AddFileEntry.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/ClusterOwnership.h"
#include "fs/DiskImage.h"
#include "fs/ResultCodes.h"
#include "image/LoadReport.h"

// Every message of the system, in one table: for each result of each operation the Japanese
// text the desktop program shows (byte for byte as the users know it) and the English line
// `darvex-cli` prints after "darvex-cli: COMMAND: SUBJECT: ". Front ends choose the subject
// and the message box; they spell no text of their own. The host layer's own failures
// (host/ImageFileError.h) and the desktop program's captions and questions (doc/UiText.h) have
// their texts beside them.
//
// Codes outside an enum's values (a newer core, a foreign caller) get the "cause unknown"
// sentence of their operation.

std::string MessageJa(LoadResult result);
std::string MessageEn(LoadResult result);

// subject: the entry's name (ReservedArea, PastDiskEnd) or the output path (SameAsImage), as
// UTF-8; sector: the sector refused; sysError: the errno behind CannotWrite, 0 when none.
std::string MessageJa(ExportResult result, std::string_view subject = {}, long long sector = -1);
std::string MessageEn(ExportResult result, long long sector = -1, int sysError = 0);

std::string MessageJa(ImportResult result);
std::string MessageEn(ImportResult result);

std::string MessageJa(RemoveResult result);
std::string MessageEn(RemoveResult result);

std::string MessageJa(ExtractBootResult result);
std::string MessageEn(ExtractBootResult result);
// path: the output path (SameAsImage), UTF-8; sysError: the errno behind WriteFailed.
std::string MessageJa(ExtractBootCause cause, std::string_view path = {});
std::string MessageEn(ExtractBootCause cause, int sysError = 0);

std::string MessageJa(RegisterBootResult result);
std::string MessageEn(RegisterBootResult result);

// fileBytes: the host file's length (TooLarge); mode: the mode that was refused (NoMode).
std::string MessageJa(AddFileReason reason);
std::string MessageEn(AddFileReason reason, std::uint64_t fileBytes = 0, int mode = 0);

std::string MessageJa(BootRegisterReason reason);
std::string MessageEn(BootRegisterReason reason, std::uint64_t fileBytes = 0);

// What saving an image with this load report would lose (LoadReport::SaveLosesData), for the
// commands that refuse such a save without --force; empty when it loses nothing.
std::string SaveLossEn(const LoadReport& report);
// Why nothing may be allocated on the disk; empty when the hazard is absent. The Japanese text
// says that adding files and registering a boot program are off for this disk.
std::string MessageJa(const AllocationHazard& hazard);
std::string MessageEn(const AllocationHazard& hazard);

// The disks of a file. diskNumber counts from 1, as the user does; diskCount: the file's disks.
std::string MessageEn(DiskSelectResult result, int diskNumber, int diskCount);
std::string MessageEn(DiskAddResult result);
std::string MessageEn(DiskRemoveResult result, int diskNumber);
// Why a command may not change the disk; the desktop program's text says it opened read-only.
std::string MessageJa(ChangeRefusal refusal, int diskNumber);
std::string MessageEn(ChangeRefusal refusal, int diskNumber);
