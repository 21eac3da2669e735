#pragma once

#include <optional>
#include <vector>

#include "fs/DirEntry.h"
#include "image/ByteView.h"

class DiskImage;

// Files as two windows of the program hand them to each other (drag and drop, the clipboard):
// each file's 32 directory entry bytes as they are on its disk, and its body. A window that
// takes them stores each with DiskImage::StoreEntry, so nothing of the entry goes through a
// host file's narrower fields (attribute, date, the name field's bytes after its end).
//
// Layout, all numbers little-endian: "DARVEXPK", a 16-bit version (1), a 16-bit file count,
// then for each file its 32 entry bytes, a 32-bit body length and the body.
class EntryPack {
public:
    struct File {
        DirEntry::Bytes32 entry{};
        std::vector<unsigned char> body;
    };

    // A directory holds 64 entries, and no body is longer than the longest BRD file.
    static constexpr std::size_t kMaxFiles = 64;

    // Entry entryIndex of the current directory with its body as the export reads it (BIN).
    static File FromDisk(const DiskImage& disk, int entryIndex);

    static std::vector<unsigned char> Encode(const std::vector<File>& files);
    // The files of an encoded pack; nothing when the bytes are not one whole pack (another
    // program may put anything under the pack's format).
    static std::optional<std::vector<File>> Decode(ByteView bytes);
};
