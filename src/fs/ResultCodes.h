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
    NotAFile = 9,          // StoreEntry: a sub-directory or a swap entry (modes 0x80 .. 0x82)
};

enum class RemoveResult : int { Ok = 0, AlreadyFree = 1, ReadOnlyDirectory = 2 };

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

// Why reading or writing a disk image file failed (host/ImageFile); its messages live in the
// one message table with the operations' (fs/Messages.h).
enum class ImageFileError {
    None,
    CannotRead,      // cannot open or read the file
    ShrankWhileRead, // another program cut the file short while it was being decoded
    NotRegular,      // a device, FIFO, socket or folder
    BrokenLink,      // a symbolic link that leads nowhere or loops
    InUse,           // another program holds the writers' lock
    TooLarge,        // longer than any disk image
    NotD88,          // the D88 decoder refused it
    NotMzFs,         // read for a change, but not an MZ file system: nothing may be written
    NotMzFsToRead,   // read for its files, but not an MZ file system
    NoImage,         // nothing to save
    CannotCreate,    // no temporary file in the image's folder
    CannotWrite,     // writing or flushing the new file failed
    CannotReplace,   // the rename over the old file failed
    ReadOnly,        // the image is marked read-only (--force, Save As: written all the same)
    NotOwner,        // another user's file we may not write, and replacing it would take it
                     // from its owner
    CopyKept,        // writing in place failed and the old contents could not be put back:
                     // a whole copy of them is kept beside the image
};
