#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "image/DiskImage.h"
#include "image/Geometry.h"
#include "image/LoadResult.h"
#include "image/PageBuffer.h"

// The D88 container: a 688-byte header with a table of 164 track offsets, then per-sector
// records of a 16-byte header and the sector's data, every data byte complemented.

namespace {

constexpr std::size_t kD88HeaderBytes = 0x2B0;
constexpr std::size_t kD88NameBytes = 0x1A; // name and reserved bytes, kept as loaded
constexpr std::size_t kD88WriteProtect = 0x1A;
constexpr std::size_t kD88MediaType = 0x1B;
constexpr std::size_t kD88DiskSize = 0x1C;
constexpr std::size_t kD88TrackTable = 0x20;
constexpr int kD88TrackEntries = 2 * kMaxCylinders;
constexpr std::size_t kD88TrackEntryBytes = 4;

// Sector record header.
constexpr std::size_t kRecCylinder = 0;
constexpr std::size_t kRecHead = 1;
constexpr std::size_t kRecSector = 2;
constexpr std::size_t kRecSizeCode = 3;
constexpr std::size_t kRecSectorCount = 4;
constexpr std::size_t kRecDensity = 6;
constexpr std::size_t kRecDeletedMark = 7;
constexpr std::size_t kRecStatus = 8;
constexpr std::size_t kRecDataLength = 14;
constexpr std::size_t kRecHeaderBytes = 16;
constexpr int kMaxSizeCode = 8; // 32,768 bytes
constexpr int kSavedSizeCode = 1;

constexpr std::size_t kSavedRecordBytes = kRecHeaderBytes + kSectorBytes;
constexpr std::size_t kSavedTrackBytes = kSectorsPerTrack * kSavedRecordBytes; // 4352
constexpr std::size_t kSavedCylinderBytes = 2 * kSavedTrackBytes;              // 8704
constexpr std::size_t kMaxSavedDiskBytes = kD88HeaderBytes + kMaxCylinders * kSavedCylinderBytes;
// GetSavedSize answers in an int, so the disks kept after the first must leave room for it.
constexpr std::size_t kMaxTrailingBytes = INT_MAX - kMaxSavedDiskBytes;

constexpr std::size_t kMaxImageBytes = static_cast<std::size_t>(kMaxCylinders) * kCylinderBytes;
constexpr int kMaxSectors = kMaxCylinders * kSectorsPerCylinder;

constexpr std::size_t kFlatMinBytes = kBitmapOffset + kSectorBytes; // up to the bitmap sector
constexpr std::uint64_t kFlatMax2D = 0x50000;
constexpr std::uint64_t kFlatMax2DD = 0xA0000;

// Word at a time: the sector copies are the whole cost of a load or save. The length is a
// template argument so that each copy compiles to straight-line code.
template <std::size_t Len> void ComplementCopy(unsigned char* dest, const unsigned char* src) {
    static_assert(Len % sizeof(std::uint64_t) == 0);
    for (std::size_t i = 0; i < Len; i += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, src + i, sizeof word);
        word = ~word;
        std::memcpy(dest + i, &word, sizeof word);
    }
}

// More than 82 cylinders cannot be listed in the track table; a negative count is no disk.
int SavedCylinders(int cylinders) {
    return std::clamp(cylinders, 0, kMaxCylinders);
}

std::uint8_t FlatMediaType(std::uint64_t size) {
    if (size <= kFlatMax2D)
        return 0x00;
    if (size <= kFlatMax2DD)
        return 0x10;
    return 0x20;
}

} // namespace

int DiskImage::Load(const unsigned char* source, std::size_t sourceBytes, int flat) {
    try {
        return flat ? LoadFlat(source, sourceBytes) : LoadD88(source, sourceBytes);
    } catch (const std::bad_alloc&) {
        // Nothing has been replaced before the new buffers exist.
        return ToInt(LoadResult::NotAContainer);
    }
}

int DiskImage::LoadD88(const unsigned char* source, std::size_t sourceBytes) {
    const ByteView file(source, sourceBytes);
    if (file.size() < kD88HeaderBytes)
        return ToInt(LoadResult::NotAContainer);
    const std::uint32_t diskSize = file.u32le(kD88DiskSize);
    if (diskSize < kD88HeaderBytes)
        return ToInt(LoadResult::NotAContainer);
    // A size field larger than any disk the flat model holds is not believed: the disk is
    // then the whole file, and its records alone say how many cylinders it has.
    const bool sizeBelievable = diskSize <= kMaxSavedDiskBytes;
    // Further disks may follow the first one; its size field says where the next begins.
    const std::size_t diskBytes =
        sizeBelievable ? std::min<std::size_t>(diskSize, file.size()) : file.size();
    const ByteView disk = file.slice(0, diskBytes);
    const std::size_t trailingBytes = file.size() - diskBytes;
    if (trailingBytes > kMaxTrailingBytes)
        return ToInt(LoadResult::NotAContainer);

    // The size field alone would drop the last track of a file that ends inside a cylinder,
    // so the records found raise the count too. A plausible size field counts even where the
    // file is cut short, so that such a file keeps its geometry. Decoding into a buffer of the
    // largest count lets one walk both size and fill the image; only the first
    // cylinders × 8192 bytes of it are the image.
    int cylinders = sizeBelievable
                        ? static_cast<int>(std::min<std::size_t>(
                              (diskSize - kD88HeaderBytes) / kSavedCylinderBytes, kMaxCylinders))
                        : 0;
    // The pages the size field promises (or the file's length, near enough) are taken at once.
    PageBuffer image = AllocatePages(
        kMaxImageBytes, cylinders > 0 ? static_cast<std::size_t>(cylinders) * kCylinderBytes
                                      : std::min<std::size_t>(diskBytes, kMaxImageBytes));
    if (!image)
        return ToInt(LoadResult::NotAContainer);
    std::array<bool, kMaxSectors> supplied{};
    std::vector<SectorRecordHeader> headers(kMaxSectors);
    LoadReport report;
    report.sizeFieldDisagrees = !sizeBelievable || diskSize > file.size();
    const std::uint8_t media = file.u8(kD88MediaType);
    report.mediaUnknown =
        media != 0x00 && media != 0x10 && media != 0x20 && media != 0x30 && media != 0x40;

    // Some tools write a shorter table (160 entries, first track at 0x2A0): the table ends
    // where the first track begins, so no entry is taken from a track's data.
    std::size_t tableEnd = kD88HeaderBytes;
    for (int t = 0; t < kD88TrackEntries; ++t) {
        const std::size_t entry = kD88TrackTable + t * kD88TrackEntryBytes;
        if (entry + kD88TrackEntryBytes > tableEnd)
            break;
        const std::size_t track = disk.u32le(entry);
        // An offset back into the table read so far cannot be a track.
        if (track == 0 || track < entry + kD88TrackEntryBytes)
            continue;
        tableEnd = std::min(tableEnd, track);

        std::size_t at = track;
        const unsigned count = disk.u16le(at + kRecSectorCount);
        for (unsigned i = 0; i < count && disk.contains(at, kRecHeaderBytes); ++i) {
            const int cyl = disk.u8(at + kRecCylinder);
            const int head = disk.u8(at + kRecHead);
            const int rec = disk.u8(at + kRecSector);
            const int sizeCode = disk.u8(at + kRecSizeCode);
            // Without a length the next record cannot be found: the track's walk ends here.
            if (sizeCode > kMaxSizeCode) {
                ++report.recordsNotPlaced;
                break;
            }
            const std::size_t dataBytes = std::size_t{128} << sizeCode;
            const std::size_t data = at + kRecHeaderBytes;
            if (!disk.contains(data, dataBytes)) {
                ++report.recordsNotPlaced;
                break;
            }
            at = data + dataBytes;
            if (head > 1 || rec < 1 || rec > kSectorsPerTrack || cyl >= kMaxCylinders) {
                ++report.recordsNotPlaced;
                continue;
            }
            const int sector = LogicalSector(cyl, head, rec);
            // N = 0 supplies half a sector; N >= 2 only its first 256 bytes.
            const std::size_t len = std::min<std::size_t>(dataBytes, kSectorBytes);
            unsigned char* dest = image.get() + static_cast<std::size_t>(sector) * kSectorBytes;
            if (len == static_cast<std::size_t>(kSectorBytes))
                ComplementCopy<kSectorBytes>(dest, disk.data() + data);
            else
                ComplementCopy<kSectorBytes / 2>(dest, disk.data() + data);
            // A short record fills only its part; what no record wrote reads 0x00.
            if (!supplied[sector]) {
                std::memset(dest + len, 0, kSectorBytes - len);
                supplied[sector] = true;
            } else {
                ++report.recordsDuplicate;
                headers[sector].duplicate = true;
            }
            disk.copyTo(headers[sector].bytes.data(), data - kRecHeaderBytes, kRecHeaderBytes);
            if (sizeCode != kSavedSizeCode)
                ++report.recordsOddLength;
            if (sizeCode > kSavedSizeCode)
                ++report.recordsCut;
            const std::size_t record = data - kRecHeaderBytes;
            if (disk.u8(record + kRecDensity) != 0 || disk.u8(record + kRecDeletedMark) != 0 ||
                disk.u8(record + kRecStatus) != 0)
                ++report.recordsFlagged;
            cylinders = std::max(cylinders, cyl + 1);
        }
    }

    // A file in which no track yields a single sector is no disk, whatever its header says
    // (a stray file named .d88 would otherwise open as an empty disk).
    if (std::find(supplied.begin(), supplied.end(), true) == supplied.end())
        return ToInt(LoadResult::NotAContainer);
    for (int s = 0; s < cylinders * kSectorsPerCylinder; ++s) {
        if (!supplied[s]) {
            std::memset(image.get() + static_cast<std::size_t>(s) * kSectorBytes, 0, kSectorBytes);
            ++report.sectorsMissing;
        }
    }
    std::vector<unsigned char> trailing(file.data() + diskBytes, file.data() + file.size());
    report.trailingDisksKept = trailingBytes != 0;
    report.trailingBytes = trailingBytes;

    Release();
    m_pImage = std::move(image);
    m_nImageBytes = static_cast<std::size_t>(cylinders) * kCylinderBytes;
    m_nCylinders = cylinders;
    m_bFlat = 0;
    m_byMediaType = file.u8(kD88MediaType);
    file.copyTo(m_diskName, 0, kD88NameBytes);
    m_byWriteProtect = file.u8(kD88WriteProtect);
    m_trailing = std::move(trailing);
    m_loadReport = report;
    headers.resize(static_cast<std::size_t>(cylinders) * kSectorsPerCylinder);
    m_recordHeaders = std::move(headers);
    m_recordLoaded.assign(supplied.begin(), supplied.begin() + m_recordHeaders.size());
    DeriveFromBitmap();
    return ToInt(LoadResult::Ok);
}

int DiskImage::LoadFlat(const unsigned char* source, std::size_t sourceBytes) {
    const ByteView file(source, sourceBytes);
    if (file.size() < kFlatMinBytes)
        return ToInt(LoadResult::NotAContainer);
    const ByteView bitmap = file.slice(kBitmapOffset, kSectorBytes);
    const std::uint64_t size = std::uint64_t{bitmap.u16le(kBitmapTotalClusters)} *
                               (std::uint64_t{bitmap.u8(kBitmapClusterShift)} + 1) * kSectorBytes;
    if (size == 0 || size > file.size())
        return ToInt(LoadResult::NotAContainer);

    const auto bytes = static_cast<std::size_t>(size);
    PageBuffer image = AllocatePages(bytes, bytes);
    if (!image)
        return ToInt(LoadResult::NotAContainer);
    std::memcpy(image.get(), file.data(), bytes);

    Release();
    m_pImage = std::move(image);
    m_nImageBytes = bytes;
    // A flat image carries no cylinder count; a D88 save needs one, rounded up so that no
    // byte is dropped (a partial last cylinder is saved padded with 0x00).
    m_nCylinders = static_cast<int>(
        std::min<std::size_t>((bytes + kCylinderBytes - 1) / kCylinderBytes, kMaxCylinders));
    m_bFlat = 1;
    m_byMediaType = FlatMediaType(size);
    std::memset(m_diskName, 0, sizeof m_diskName);
    m_byWriteProtect = 0;
    m_trailing.clear();
    m_loadReport = LoadReport{};
    DeriveFromBitmap();
    return ToInt(LoadResult::Ok);
}

int DiskImage::GetSavedSize(int flat) const {
    if (!HasImage())
        return 0;
    if (flat)
        return std::clamp<long long>(m_nTotalBytes, 0, static_cast<long long>(m_nImageBytes));
    return static_cast<int>(kD88HeaderBytes +
                            static_cast<std::size_t>(SavedCylinders(m_nCylinders)) *
                                kSavedCylinderBytes +
                            m_trailing.size());
}

void DiskImage::EncodeD88Header(unsigned char* dest) const {
    const int cylinders = SavedCylinders(m_nCylinders);
    const MutableByteView header(dest, kD88HeaderBytes);
    header.fill(0, kD88HeaderBytes, 0);
    header.write(0, m_diskName, kD88NameBytes);
    header.setU8(kD88WriteProtect, m_byWriteProtect);
    header.setU8(kD88MediaType, m_byMediaType);
    header.setU32le(kD88DiskSize,
                    static_cast<std::uint32_t>(kD88HeaderBytes + cylinders * kSavedCylinderBytes));
    for (int t = 0; t < 2 * cylinders; ++t)
        header.setU32le(kD88TrackTable + t * kD88TrackEntryBytes,
                        static_cast<std::uint32_t>(kD88HeaderBytes + t * kSavedTrackBytes));
}

// The kSavedCylinderBytes of one cylinder as the D88 file holds them.
void DiskImage::EncodeD88Cylinder(int cyl, unsigned char* out) const {
    const ByteView image = Image();
    unsigned char sector[kSectorBytes];
    for (int head = 0; head <= 1; ++head) {
        for (int rec = 1; rec <= kSectorsPerTrack; ++rec) {
            const MutableByteView record(out, kRecHeaderBytes);
            record.fill(0, kRecHeaderBytes, 0);
            record.setU8(kRecCylinder, static_cast<std::uint8_t>(cyl & 0xFF));
            record.setU8(kRecHead, static_cast<std::uint8_t>(head));
            record.setU8(kRecSector, static_cast<std::uint8_t>(rec));
            record.setU8(kRecSizeCode, kSavedSizeCode);
            record.setU16le(kRecSectorCount, kSectorsPerTrack);
            record.setU16le(kRecDataLength, kSectorBytes);
            out += kRecHeaderBytes;
            const std::size_t at =
                static_cast<std::size_t>(LogicalSector(cyl, head, rec)) * kSectorBytes;
            // A flat image may end inside its last cylinder; the rest saves as 0x00.
            const ByteView part = image.slice(at, kSectorBytes);
            const unsigned char* src = part.data();
            if (part.size() < static_cast<std::size_t>(kSectorBytes)) {
                image.copyTo(sector, at, kSectorBytes);
                src = sector;
            }
            ComplementCopy<kSectorBytes>(out, src);
            out += kSectorBytes;
        }
    }
}

int DiskImage::Save(unsigned char* dest, int flat) const {
    if (!HasImage() || dest == nullptr)
        return 0;
    if (flat) {
        Image().copyTo(dest, 0, static_cast<std::size_t>(GetSavedSize(1)));
        return 0;
    }
    EncodeD88Header(dest);
    unsigned char* out = dest + kD88HeaderBytes;
    const int cylinders = SavedCylinders(m_nCylinders);
    for (int cyl = 0; cyl < cylinders; ++cyl, out += kSavedCylinderBytes)
        EncodeD88Cylinder(cyl, out);
    if (!m_trailing.empty())
        std::memcpy(out, m_trailing.data(), m_trailing.size());
    return 0;
}

bool DiskImage::SaveTo(int flat, const SaveSink& sink) const {
    if (!HasImage())
        return false;
    if (flat)
        return sink(Image().data(), static_cast<std::size_t>(GetSavedSize(1)));
    // A few cylinders at a time: the same few pages are reused for the whole disk.
    constexpr int kCylindersPerPiece = 7;
    auto piece = std::unique_ptr<unsigned char[]>(
        new (std::nothrow) unsigned char[kCylindersPerPiece * kSavedCylinderBytes]);
    if (!piece)
        return false;
    EncodeD88Header(piece.get());
    if (!sink(piece.get(), kD88HeaderBytes))
        return false;
    const int cylinders = SavedCylinders(m_nCylinders);
    for (int first = 0; first < cylinders; first += kCylindersPerPiece) {
        const int count = std::min(kCylindersPerPiece, cylinders - first);
        for (int i = 0; i < count; ++i)
            EncodeD88Cylinder(first + i,
                              piece.get() + static_cast<std::size_t>(i) * kSavedCylinderBytes);
        if (!sink(piece.get(), static_cast<std::size_t>(count) * kSavedCylinderBytes))
            return false;
    }
    return m_trailing.empty() || sink(m_trailing.data(), m_trailing.size());
}
