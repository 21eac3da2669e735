#pragma once

#include <array>
#include <vector>

#include "fs/DirEntry.h"
#include "fs/ViewNote.h"
#include "image/Geometry.h"
#include "image/SectorRecord.h"

class DiskImage;

// One sector of the disk as the D88 file and the machine see it. Works on any disk the
// container decodes, MZ file system or not; reads only.
struct SectorView {
    int sector = -1; // logical sector number
    int cylinder = 0;
    int head = 0;
    int record = 0; // R, 1 .. 16
    // The D88 record header the sector was read from; where no record supplied it (a sector
    // the file lacks, a new disk, a flat image), the header a save writes, and headerLoaded is
    // false.
    SectorRecordHeader header;
    bool headerLoaded = false;
    // The 256 bytes as the machine reads them.
    std::array<unsigned char, kSectorBytes> machine{};
    // The bytes as the D88 record holds them (complemented): as many as the record held up to
    // 256, none for a sector the file lacks. After changes, as a save will write them.
    std::vector<unsigned char> stored;
    std::vector<ViewNote> notes;
};

// Logical sectors the disk holds (sector numbers 0 .. SectorCount - 1).
int SectorCount(const DiskImage& disk);

// The logical sector of cylinder, head and record R; -1 when the disk has no such sector.
int SectorAt(const DiskImage& disk, int cylinder, int head, int record);

// False (and view untouched) when the disk holds no sector of that number.
bool ViewSector(const DiskImage& disk, int sector, SectorView& view);

// Where a file's body begins, for "go to its first sector": the entry's start sector (a BRD
// file's index sector, a sub-directory's first sector); -1 when the disk does not hold it.
int FirstSectorOf(const DiskImage& disk, const DirEntry& entry);
