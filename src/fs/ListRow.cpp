#include "fs/ListRow.h"

#include <algorithm>
#include <cstdio>

#include "fs/DiskImage.h"
#include "fs/FileMode.h"

namespace {

constexpr unsigned kBrdRecordBytes = 32;

template <typename... Args> std::string Format(const char* format, Args... args) {
    char text[32];
    int n = std::snprintf(text, sizeof text, format, args...);
    if (n < 0)
        return {};
    return std::string(text, static_cast<std::size_t>(n) < sizeof text ? n : sizeof text - 1);
}

} // namespace

std::array<std::string, kListColumns> ListColumns(const DirEntry& entry) {
    unsigned size = entry.Size();
    if (entry.Mode() == static_cast<std::uint8_t>(FileModeCode::Brd))
        size *= kBrdRecordBytes; // at most 65535 x 32, well inside %7d's reach of an int
    return {
        entry.NameText(),
        std::string(FileMode::DisplayName(entry.Mode())),
        Format("%02X", static_cast<unsigned>(entry.Attribute())),
        Format("%7d", static_cast<int>(size)),
        Format("%04X", static_cast<unsigned>(entry.LoadAddress())),
        Format("%04X", static_cast<unsigned>(entry.ExecAddress())),
        Format("%08X", static_cast<unsigned>(entry.Date())),
        Format("%04X", static_cast<unsigned>(entry.StartSector())),
    };
}

std::vector<ListRow> ListDirectory(const DiskImage& disk, int dirSector) {
    std::vector<ListRow> rows;
    const std::array<DirEntry, 64> entries = ReadDirectory(disk, dirSector);
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const DirEntry& entry = entries[i];
        if (FileMode::IsHiddenInList(entry.Mode()))
            continue;
        rows.push_back({i, entry, ListColumns(entry)});
    }
    return rows;
}

std::string SpaceText(const DiskImage& disk) {
    if (!disk.HasImage())
        return "0/0";
    const DiskSummary summary = disk.GetDiskSummary(disk.GetSelectedDisk());
    return Format("%lld/%lld", summary.usedBytes, summary.totalBytes);
}
