#pragma once

#include <string>
#include <vector>

class DiskImage;

// Consistency check of the MZ file system of an image: every body inside the image and its
// data clusters, no cluster held twice, the bitmap marking exactly what the bodies hold, and
// the used-cluster count agreeing with the bitmap. It reads the image only.
//
// The used-cluster count is accepted when it equals firstDataCluster plus the number of set
// positions, as the machine keeps it (a formatted disk: firstDataCluster alone). A count above
// that is a warning: adding to it without a recount is what an empty BSD import does. A count
// below the set positions is an error; one that covers them but not the reserved area (as
// this program's earlier recount wrote) a warning.
//
// A boot program and a directory entry that name exactly the same sectors (a system disk's
// BASIC, registered both ways) share their clusters by design: an information, not an error.
enum class FsSeverity { Error, Warning, Info };

struct FsFinding {
    FsSeverity severity = FsSeverity::Error;
    std::string code;    // short and stable, for scripts: "shared-cluster", "leaked", ...
    std::string message; // one line of English, names shown as UTF-8
    int dirSector = -1;  // the directory of the entry concerned, when there is one
    int entryIndex = -1; // 0..63, when an entry is concerned
    int cluster = -1;    // the first bitmap cluster index concerned, when there is one
    int count = 0;       // how many clusters, where the finding covers a run of them
};

struct FsCheckReport {
    bool mzFileSystem = false;
    int directories = 0; // directories walked, root included
    int bodies = 0;      // files, sub-directories and the boot program checked
    int dataClusters = 0;
    int setPositions = 0;
    int heldClusters = 0; // data clusters some body holds
    int usedClusters = 0; // the bitmap's count field
    std::vector<FsFinding> findings;

    int Errors() const;
    int Warnings() const;
    bool Ok() const { return Errors() == 0; }
    // The findings one to a line: "error shared-cluster: message".
    std::string Summary() const;
};

FsCheckReport CheckFileSystem(const DiskImage& disk);

const char* SeverityName(FsSeverity severity);
