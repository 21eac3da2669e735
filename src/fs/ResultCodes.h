#pragma once

#include "image/LoadResult.h"

// Failure codes of the DiskImage file operations. They convert to the ints the operations
// return (ToInt).

enum class ExportResult : int {
    Ok = 0,
    CannotWrite = 1,
    ReservedArea = 2, // the body lies below the first data sector (CheckExportBody)
    PastDiskEnd = 3,  // the body needs a sector the disk does not hold (CheckExportBody)
    SameAsImage = 4,  // the output is the image file being read
};

enum class ImportResult : int {
    Ok = 0,
    NoFreeEntry = 1,
    CannotOpen = 2,
    MztTooShort = 3,
    NoSpace = 4,
    NameTaken = 5,
    TooLarge = 6,          // over 65535 bytes for OBJ/BTX/BSD, over 128 blocks for BRD
    FreeMode = 7,          // a mode byte of 0x00 would read as a free entry
    ReadOnlyDirectory = 8, // a sub-directory that overlaps the reserved area (DirectoryWritable)
};

enum class RemoveResult : int {
    Ok = 0,
    AlreadyFree = 1,
    ReadOnlyDirectory = 2,
    Protected = 3, // attribute bit 7 set and no force (RemoveUnlessProtected, not RemoveFile)
};

// DiskImage::RenameEntry. The name is checked by the add-file command's rules.
enum class RenameResult : int {
    Ok = 0,
    NoEntry = 1, // the entry is free, or the index is not 0..63
    ReadOnlyDirectory = 2,
    Protected = 3, // attribute bit 7 set and no force
    NameNotEncodable = 4,
    NameEmpty = 5,
    NameTaken = 6,
};

// DiskImage::EditEntryInfo.
enum class EditInfoResult : int {
    Ok = 0,
    NoEntry = 1,
    ReadOnlyDirectory = 2,
    ModeKind = 3, // the new mode would read the body in another layout, or is no file's mode
};

enum class ExtractBootResult : int { Ok = 0, Failed = 1 }; // no "IPLPRO", out of image, write error

// Why a boot extraction failed. ExtractBootProgram answers every cause with Failed; the front
// ends say which one it was without reading the header again.
enum class ExtractBootCause { None, NoSignature, PastImageEnd, WriteFailed, SameAsImage };

constexpr ExtractBootResult ToResult(ExtractBootCause cause) {
    return cause == ExtractBootCause::None ? ExtractBootResult::Ok : ExtractBootResult::Failed;
}

enum class RegisterBootResult : int {
    Ok = 0,
    CannotOpen = 1,
    Empty = 2, // an MZT file of 128 bytes or less, or a program of 0 bytes
    TooLarge = 3,
    NoSpace = 4,
};

// The format argument of the export and boot-extract operations.
enum class ExportFormat : int { Mzt = 0, Bin = 1 };

// Only the low four bits choose the format; zero there means MZT.
constexpr bool SelectsMzt(int format) {
    return (format & 0x0F) == 0;
}
