#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Why reading or writing a disk image file failed (host/ImageFile).
enum class ImageFileError {
    None,
    CannotRead,      // cannot open or read the file
    ShrankWhileRead, // another program cut the file short while it was being decoded
    NotRegular,      // a device, FIFO, socket or folder
    BrokenLink,      // a symbolic link that leads nowhere or loops
    InUse,           // another program holds the writers' lock
    TooLarge,        // longer than any disk image
    NotD88,          // the D88 decoder refused it
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

// The message box text of the desktop program, and the line `darvex-cli` prints, as the
// operations' messages (fs/Messages.h): English msgids in the user's language. sysError: the
// errno behind the failure, 0 when none; fileBytes: the length of a file refused as too large;
// path: the folder no temporary file could be made in (CannotCreate) or the copy kept beside a
// damaged image (CopyKept).
std::string UiMessage(ImageFileError error);
std::string CliMessage(ImageFileError error, int sysError = 0, std::uint64_t fileBytes = 0,
                       std::string_view path = {});
