#pragma once

#include <cstdint>
#include <vector>

#include "fs/DirEntry.h"
#include "view/Listing.h"

class DiskImage;

// The bytes of a file's body gathered the way its mode lays them out (a BSD file's sector
// chain, a BRD file's blocks, one run for the others), with a note when the body is not
// whole: it is shown up to where it ends.
struct FileContent {
    std::vector<unsigned char> bytes;
    std::vector<ViewNote> notes;
};
FileContent ReadFileContent(const DiskImage& disk, const DirEntry& entry);

// The views a file offers, the one it opens with first: BASIC for BTX, then text and hex for
// every file. BTX opens as BASIC, BSD as text, everything else as hex.
std::vector<ViewKind> ViewKindsFor(std::uint8_t mode);
ViewKind DefaultViewKind(std::uint8_t mode);

// The file shown as asked, with the body's notes first. A BTX program from a 2DD disk lists
// as hex (BasicOrigin).
Listing ViewFile(const DiskImage& disk, const DirEntry& entry, ViewKind kind);

// The boot program named by the "IPLPRO" header, as hex rows from its first byte.
Listing ViewBootProgram(const DiskImage& disk);
