#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/ClusterOwnership.h"
#include "fs/ResultCodes.h"

class DiskImage;

// The add-file and boot-register commands on host files, as the desktop dialogs
// and `darvex-cli` both run them: read the chosen file, propose, then build and store from the
// user's choices. Every rule is the core's (AddFileEntry, BootHeaderBuilder); these only read
// and write the host side. Messages: UiMessage/CliMessage of the reasons and results.

// How a chosen host file is taken: by its extension ("mzt" in any case), or forced.
enum class MztChoice { ByExtension, Mzt, Plain };

struct AddFileSource {
    AddFileReason reason = AddFileReason::Ok; // Ok, CannotRead or TooLarge
    std::string fileNameUtf8;                 // the name with extension, no folder
    std::uint64_t fileBytes = 0;
    std::vector<unsigned char> data; // the whole file when it was not refused
    AddFileEntry::Proposal proposal; // what the dialog shows first
};

struct AddFileOutcome {
    AddFileReason reason = AddFileReason::Ok; // a refusal before the import
    ImportResult result = ImportResult::Ok;   // the import's result once it ran
    AddFileEntry::Built built;                // the entry as built (and as stored on success)
    AllocationHazard hazard;                  // why, for AddFileReason::BitmapMissesFile

    bool Ok() const { return reason == AddFileReason::Ok && result == ImportResult::Ok; }
};

// Reads the chosen file (at most 512 KB of data and an MZT header) and makes the proposal.
AddFileSource ReadAddFileSource(const std::string& path, MztChoice mzt);
// Builds the entry from the choices and imports the file's bytes into the current directory.
// Refused (BitmapMissesFile) where the bitmap leaves some body's clusters clear, unless
// overUnmarked: the allocation could land on that body.
AddFileOutcome AddFileFromSource(DiskImage& disk, const AddFileSource& source,
                                 const AddFileEntry::Choices& choices, bool overUnmarked = false);

struct BootSource {
    BootRegisterReason reason = BootRegisterReason::Ok; // Ok, CannotRead or TooLarge
    std::string fileNameUtf8;
    std::uint64_t fileBytes = 0;
    std::vector<unsigned char> data;
    BootHeaderBuilder::Proposal proposal;
};

struct BootOutcome {
    BootRegisterReason reason = BootRegisterReason::Ok;
    RegisterBootResult result = RegisterBootResult::Ok;
    AllocationHazard hazard; // why, for BootRegisterReason::BitmapMissesFile

    bool Ok() const { return reason == BootRegisterReason::Ok && result == RegisterBootResult::Ok; }
};

// Reads the chosen file (at most 65535 bytes, an MZT header included) and makes the proposal.
BootSource ReadBootSource(const std::string& path, MztChoice mzt);
// Refused as AddFileFromSource is, unless overUnmarked.
BootOutcome RegisterBootFromSource(DiskImage& disk, const BootSource& source,
                                   const BootHeaderBuilder::Choices& choices,
                                   bool overUnmarked = false);
