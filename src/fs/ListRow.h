#pragma once

#include <array>
#include <string>
#include <vector>

#include "fs/DirEntry.h"

class DiskImage;

inline constexpr int kListColumns = 8;

// One row of the file list: which entry of the directory it shows and the texts of its
// columns (name, mode, attribute, size, load, exec, date, start sector).
struct ListRow {
    int entryIndex = 0;
    DirEntry entry;
    std::array<std::string, kListColumns> columns;
};

// Column texts for one entry. Column 0 is the raw Shift-JIS name; callers convert it for
// their display. The size column of a BRD entry counts bytes (records x 32).
std::array<std::string, kListColumns> ListColumns(const DirEntry& entry);

// Whether a listing holds the sub-directories too: the desktop program's list shows them as
// rows to open, as a file manager does ("." and ".." stay out, as in the tree).
enum class ListWhat { Files, FilesAndDirectories };

// The visible entries of the directory at dirSector, in directory order. The GUI's list and
// the command-line listing both come from here; row r's entryIndex is the list's row table.
std::vector<ListRow> ListDirectory(const DiskImage& disk, int dirSector,
                                   ListWhat what = ListWhat::Files);

// The status bar's usage text "%d/%d": used and total bytes of the allocation bitmap, the used
// figure at most the total.
std::string SpaceText(const DiskImage& disk);
