#pragma once

// What the flat model could not keep of one disk of a loaded D88 file; a save of the disk once
// it has changed would normalise these (an unchanged disk is written back as it was read).
struct LoadReport {
    int recordsNotPlaced = 0; // head, sector number or cylinder outside the disk
    int recordsOddLength = 0; // data length other than 256 bytes (N != 1)
    int sectorsMissing = 0;   // logical sectors no record supplied (they read 0x00)
    int recordsFlagged = 0;   // density, deleted-data mark or status not 0: saved as 0
    // The disk-size field is larger than the file, or larger than any disk (not believed);
    // a save writes the true size.
    bool sizeFieldDisagrees = false;
    // The media byte is none of 0x00, 0x10, 0x20, 0x30, 0x40 (kept as it is on a save).
    bool mediaUnknown = false;
    // Records naming a sector an earlier record already supplied: the later one is read, the
    // earlier one is gone after a save.
    int recordsDuplicate = 0;
    // Records longer than 256 bytes (N >= 2, counted in recordsOddLength too): only their
    // first 256 bytes are read.
    int recordsCut = 0;

    // Whether a save of the changed disk writes its records as they were read. The media byte
    // plays no part.
    bool Empty() const {
        return recordsNotPlaced == 0 && recordsOddLength == 0 && sectorsMissing == 0 &&
               recordsFlagged == 0 && recordsDuplicate == 0 && !sizeFieldDisagrees;
    }
    // Whether a save drops sector data the file holds: records the flat image has no place
    // for, the earlier of two records for one sector, and records of another length than 256
    // bytes (cut to 256, or a 128-byte sector grown to 256). Missing sectors, sector flags and
    // the size field are only normalised.
    bool SaveLosesData() const {
        return recordsNotPlaced != 0 || recordsDuplicate != 0 || recordsOddLength != 0;
    }
};
