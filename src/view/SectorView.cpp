#include "view/SectorView.h"

#include <algorithm>

#include "fs/DiskImage.h"

namespace {

constexpr std::uint8_t kSavedSizeCode = 1;

// What a save writes for a sector: N = 1, 16 sectors a track, 256 bytes, no flags.
SectorRecordHeader SavedHeader(int cylinder, int head, int record) {
    SectorRecordHeader header;
    header.bytes[0] = static_cast<unsigned char>(cylinder & 0xFF);
    header.bytes[1] = static_cast<unsigned char>(head);
    header.bytes[2] = static_cast<unsigned char>(record);
    header.bytes[3] = kSavedSizeCode;
    header.bytes[4] = kSectorsPerTrack;
    header.bytes[14] = 0x00;
    header.bytes[15] = kSectorBytes >> 8;
    return header;
}

} // namespace

int SectorCount(const DiskImage& disk) {
    return static_cast<int>(disk.GetImageSize() / kSectorBytes);
}

int SectorAt(const DiskImage& disk, int cylinder, int head, int record) {
    if (cylinder < 0 || head < 0 || head > 1 || record < 1 || record > kSectorsPerTrack)
        return -1;
    const long long sector = static_cast<long long>(cylinder) * kSectorsPerCylinder +
                             kSectorsPerTrack * (1 - head) + (record - 1);
    return sector < SectorCount(disk) ? static_cast<int>(sector) : -1;
}

bool ViewSector(const DiskImage& disk, int sector, SectorView& view) {
    if (sector < 0 || sector >= SectorCount(disk))
        return false;
    SectorView v;
    v.sector = sector;
    v.cylinder = sector / kSectorsPerCylinder;
    const int within = sector % kSectorsPerCylinder;
    v.head = within < kSectorsPerTrack ? 1 : 0;
    v.record = within % kSectorsPerTrack + 1;
    disk.ReadSector(v.machine.data(), sector);

    std::size_t storedBytes = kSectorBytes;
    if (const SectorRecordHeader* header = disk.GetRecordHeader(sector)) {
        v.header = *header;
        v.headerLoaded = true;
        const std::size_t recordBytes = header->RecordBytes();
        storedBytes = std::min<std::size_t>(recordBytes, kSectorBytes);
        if (recordBytes < kSectorBytes)
            v.notes.push_back({ViewNoteCode::SectorShortRecord});
        else if (recordBytes > kSectorBytes)
            v.notes.push_back(
                {ViewNoteCode::SectorLongRecord, -1, static_cast<long long>(recordBytes)});
        if (header->duplicate)
            v.notes.push_back({ViewNoteCode::SectorDuplicate});
    } else {
        v.header = SavedHeader(v.cylinder, v.head, v.record);
        if (disk.HasRecordHeaders()) {
            storedBytes = 0;
            v.notes.push_back({ViewNoteCode::SectorMissing});
        } else {
            v.notes.push_back({ViewNoteCode::SectorNotLoaded});
        }
    }
    v.stored.resize(storedBytes);
    for (std::size_t i = 0; i < storedBytes; ++i)
        v.stored[i] = static_cast<unsigned char>(~v.machine[i]);
    view = std::move(v);
    return true;
}

int FirstSectorOf(const DiskImage& disk, const DirEntry& entry) {
    const int sector = entry.StartSector();
    return sector < SectorCount(disk) ? sector : -1;
}
