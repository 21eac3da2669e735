#pragma once

#include "fs/ResultCodes.h"

class DiskImage;

// Whether an entry's body lies where a file's bytes can lie. ExportToBuffer takes whatever
// the entry points at; the extract commands ask this first, so that an entry pointing into
// the boot program, the bitmap or a directory, or past the disk, is not handed out as the
// file without the user saying so (--force).
struct ExportCheck {
    ExportResult result = ExportResult::Ok; // Ok, CannotWrite (no such entry), ReservedArea
                                            // or PastDiskEnd
    long long sector = -1;                  // the sector that is refused
};

// ReservedArea: an entry with a size whose start sector, or any sector its body reads (chain
// sectors, the BRD index and blocks), lies below the first data sector (first data cluster x
// sectors per cluster). PastDiskEnd: a body that needs a sector the image does not hold.
ExportCheck CheckExportBody(const DiskImage& disk, int entryIndex);
