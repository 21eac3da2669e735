#pragma once

#include <string>
#include <vector>

class DiskImage;

// Consistency check of the MZ file system of an image: every body inside the image and its
// data clusters, no cluster held twice, the bitmap marking exactly what the bodies hold, and
// the used-cluster count agreeing with the bitmap. It reads the image only.
//
// The used-cluster count is accepted when it equals the number of set positions, and also
// when no position is set and it still holds the formatted value (firstDataCluster). A count
// above the set positions is a warning: adding to it without a recount is what an empty BSD
// import does. A count below them is an error.
enum class FsSeverity { Error, Warning };

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
