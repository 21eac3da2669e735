#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "fs/ListRow.h"
#include "fs/Translation.h"

class DiskImage;
class ImageFileSession;
namespace CLI {
class Validator;
}

// --force of the commands that save an image: what it lets through.
inline constexpr const char* kForceSaveHelp =
    N_("Save even where the image is marked read-only or the save loses sector records of the D88 "
       "file (duplicate sectors, records not of 256 bytes or outside the disk)");
inline constexpr const char* kForceWriteHelp =
    N_("Save even where the image is marked read-only or the save loses sector records of the D88 "
       "file (duplicate sectors, records not of 256 bytes or outside the disk), and allocate even "
       "where the bitmap leaves a file's clusters unmarked");

// Checks an option value with the strict address syntax, so that a bad address is a usage
// error.
CLI::Validator HexAddress();

// --disk N of the commands that read or write one disk of a file: 1-based, default 1.
inline constexpr int kFirstDisk = 1;
void AddDiskOption(CLI::App* sub, int& diskNumber);

// Steps the commands share. Each prints its own failure message and returns kExitOk,
// kExitFailed or kExitUsage (a disk number beyond the file).

// Loads path and selects disk diskNumber. requireMz: a disk that is not an MZ file system is
// refused (the commands that read files and directories; --force turns it off).
int LoadImage(CliStreams& io, std::string_view command, const std::string& path, DiskImage& disk,
              int diskNumber, bool requireMz = false);
// As LoadImage, for a change of the disk's files or boot program: the disk must be one the
// commands may change (an MZ file system, not write-protected: DiskImage::WhyNotChangeable).
// Without force, a disk whose save would lose sector records of the file
// (LoadReport::SaveLosesData) is refused too. The image stays locked in session (the writers
// take turns) until SaveImage or the end of the command.
int LoadImageForWrite(CliStreams& io, std::string_view command, const std::string& path,
                      DiskImage& disk, ImageFileSession& session, int diskNumber, bool force);
// As LoadImageForWrite, for a change of the file's disks or of a disk's D88 header, which any
// disk allows: no disk is selected (diskNumber 0) or it is selected and only has to be read.
int LoadImageForHeader(CliStreams& io, std::string_view command, const std::string& path,
                       DiskImage& disk, ImageFileSession& session, int diskNumber);
// Writes the changed disk to output, or over path (through the session) when output is empty.
// force: write a file marked read-only all the same.
int SaveImage(CliStreams& io, std::string_view command, const DiskImage& disk,
              ImageFileSession& session, const std::string& path, const std::string& output,
              bool force);
// Prints a usage error: "darvex-cli: COMMAND: MESSAGE" and where the help is.
int Usage(CliStreams& io, std::string_view command, std::string_view message);

// A UTF-8 argument as Shift-JIS; nullopt (after the message) when CP932 cannot encode it.
std::optional<std::string> SjisArgument(CliStreams& io, std::string_view command,
                                        const std::string& utf8);

// Makes the directory named by dirPath (names from the root joined by "/", UTF-8) the current
// directory of disk and returns its sector; -1 after a message when there is none. forWrite
// also refuses a directory whose sectors lie outside the image.
int SelectDirectory(CliStreams& io, std::string_view command, DiskImage& disk,
                    const std::string& dirPath, bool forWrite);

// The first listed row whose name (raw Shift-JIS name text) equals name; nullptr if none.
const ListRow* FindListedName(const std::vector<ListRow>& rows, std::string_view name);
// The listed row of entry index; nullptr when that entry is free or hidden from the list.
const ListRow* FindListedIndex(const std::vector<ListRow>& rows, int index);

// A disk name for messages: UTF-8 with undecodable bytes as \xHH.
std::string ShownName(std::string_view sjis);
