#include "fs/Export.h"

#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FileBody.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "image/Geometry.h"

int DiskImage::ExportToBuffer(int entryIndex, int format, std::vector<unsigned char>& out) const {
    out.clear();
    if (entryIndex < 0 || entryIndex >= kDirEntries)
        return ToInt(ExportResult::CannotWrite);
    unsigned char entry[kDirEntryBytes];
    ReadDirEntry(entry, entryIndex);

    // The walk stops at a link, index entry or start sector outside the image, and at a chain
    // that comes back on itself; what was reached up to there is the file.
    const FileBody body = WalkFileBody(*this, entry);
    const bool mzt = SelectsMzt(format);
    out.reserve((mzt ? MztHeader::kBytes : 0) + body.bytes);
    if (mzt) {
        // For BRD the header carries the entry's size field (32-byte records) unchanged and the
        // data are size x 32 bytes; the import takes a BRD length from the file, so both agree.
        const MztHeader header = MztHeader::FromDirEntry(entry);
        out.insert(out.end(), header.Bytes().begin(), header.Bytes().end());
    }
    const ByteView image = Image();
    for (const BodyPiece& piece : body.pieces) {
        const ByteView part = image.slice(static_cast<std::size_t>(piece.sector) * kSectorBytes,
                                          static_cast<std::size_t>(piece.bytes));
        out.insert(out.end(), part.data(), part.data() + part.size());
    }
    return ToInt(ExportResult::Ok);
}

ExportCheck CheckExportBody(const DiskImage& disk, int entryIndex) {
    if (entryIndex < 0 || entryIndex >= kDirEntries)
        return {ExportResult::CannotWrite, -1};
    unsigned char bytes[kDirEntryBytes];
    disk.ReadDirEntry(bytes, entryIndex);
    const DirEntry entry(bytes);
    // An empty file reads nothing, wherever its start sector points.
    if (entry.Size() == 0)
        return {};
    const long long dataStart =
        static_cast<long long>(disk.GetFirstDataCluster()) * disk.GetSectorsPerCluster();
    if (entry.StartSector() < dataStart)
        return {ExportResult::ReservedArea, entry.StartSector()};
    const FileBody body = WalkFileBody(disk, bytes);
    for (const BodyPiece& piece : body.pieces)
        if (piece.sector < dataStart)
            return {ExportResult::ReservedArea, piece.sector};
    if (body.status == BodyStatus::LeftImage)
        return {ExportResult::PastDiskEnd, body.outsideSector};
    return {};
}
