#pragma once

#include <string>

#include "fs/ResultCodes.h"

class DiskImage;

// Where the extract commands of both front ends write, and how:
// - the image file the disk was read from is never an output, also not through a symbolic or
//   hard link (same device and inode);
// - a name the user typed, or saw in a dialog, replaces an existing file (the dialog asks
//   first);
// - a name the program made that nobody saw (get --all, get's default name, the entries
//   "すべて OK" takes unseen) never replaces anything and never makes a hidden file: a leading
//   "." gets a "_" in front, and where a file exists the first free NumberedName is taken.

enum class OutputName {
    Chosen, // typed or shown: an existing file is replaced
    Unseen, // made by the program: nothing is replaced
};

struct ExtractOutput {
    std::string imagePath; // the image file being read; empty when there is none
    OutputName name = OutputName::Chosen;
    bool force = false; // export a body in the reserved area or past the disk all the same
};

struct ExportOutcome {
    ExportResult result = ExportResult::Ok;
    long long sector = -1;     // ReservedArea, PastDiskEnd: the sector refused
    int sysError = 0;          // CannotWrite: the errno, 0 when none
    std::string path;          // the file written (numbered where it had to be), or refused
    std::string entryNameUtf8; // the entry's name as shown

    bool Ok() const { return result == ExportResult::Ok; }
    // The subject a message names first: the entry for a refused body, else the path.
    const std::string& Subject() const;
    std::string UiMessage() const;
    std::string CliMessage() const;
};

struct ExtractBootOutcome {
    ExtractBootCause cause = ExtractBootCause::None;
    int sysError = 0;
    std::string path;

    bool Ok() const { return cause == ExtractBootCause::None; }
    std::string UiMessage() const;
    std::string CliMessage() const;
};

// Whether the two paths lead to one file (links followed); false when either leads nowhere.
bool IsSameFile(const std::string& a, const std::string& b);
// Whether anything stands at path: a file, a folder, a link (also one that leads nowhere).
bool PathExists(const std::string& path);
// A file name that is not hidden: "_" before a leading ".".
std::string VisibleFileName(const std::string& name);

// What an export would be refused for before anything is written or asked: the entry's body
// (unless output.force) and an output that is the image. For an Unseen name the path checked
// is the visible one.
ExportOutcome CheckEntryExport(const DiskImage& disk, int entryIndex, const std::string& path,
                               const ExtractOutput& output);
// Exports entry entryIndex of the current directory to path in format (0 MZT, 1 BIN) after
// those checks. Nothing is created or changed on a refusal or a failure.
ExportOutcome ExportEntryToFile(const DiskImage& disk, int entryIndex, const std::string& path,
                                int format, const ExtractOutput& output);

// The boot program's refusals before anything is written or asked: no program, a program
// past the image end, an output that is the image.
ExtractBootOutcome CheckBootExtract(const DiskImage& disk, const std::string& path,
                                    const ExtractOutput& output);
// Writes the boot program to path in format (0 MZT, 1 BIN) after those checks; nothing is
// created on a refusal.
ExtractBootOutcome ExtractBootToFile(const DiskImage& disk, const std::string& path, int format,
                                     const ExtractOutput& output = {});
