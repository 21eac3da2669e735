#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "image/FlatImage.h"
#include "image/Geometry.h"
#include "image/PageBuffer.h"

// The D88 container: a 688-byte header with a table of 164 track offsets, then per-sector
// records of a 16-byte header and the sector's data, every data byte complemented.

namespace {

constexpr std::size_t kD88HeaderBytes = FlatImage::kD88HeaderBytes;
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
static_assert(kMaxSavedDiskBytes == FlatImage::kMaxD88DiskBytes);

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

std::uint8_t FlatMediaType(std::uint64_t size) {
    if (size <= kFlatMax2D)
        return 0x00;
    if (size <= kFlatMax2DD)
        return 0x10;
    return 0x20;
}

// The sector header the encoder writes for cylinder cyl, head, sector number rec.
void EncodeRecordHeader(unsigned char* out, int cyl, int head, int rec) {
    const MutableByteView record(out, kRecHeaderBytes);
    record.fill(0, kRecHeaderBytes, 0);
    record.setU8(kRecCylinder, static_cast<std::uint8_t>(cyl & 0xFF));
    record.setU8(kRecHead, static_cast<std::uint8_t>(head));
    record.setU8(kRecSector, static_cast<std::uint8_t>(rec));
    record.setU8(kRecSizeCode, kSavedSizeCode);
    record.setU16le(kRecSectorCount, kSectorsPerTrack);
    record.setU16le(kRecDataLength, kSectorBytes);
}

// One decode of a disk's records into a buffer of the largest image: the walk both sizes the
// disk and fills it, and only the first cylinders x 8192 bytes of the buffer are the image.
class Decoder {
public:
    explicit Decoder(ByteView disk) : m_disk(disk) {}

    // The cylinders the size field promises, and a buffer with their pages taken at once.
    bool Start(std::uint32_t diskSize, bool sizeBelievable) {
        m_cylinders = sizeBelievable
                          ? static_cast<int>(std::min<std::size_t>(
                                (diskSize - kD88HeaderBytes) / kSavedCylinderBytes, kMaxCylinders))
                          : 0;
        m_image = AllocatePages(
            kMaxImageBytes, m_cylinders > 0 ? static_cast<std::size_t>(m_cylinders) * kCylinderBytes
                                            : std::min<std::size_t>(m_disk.size(), kMaxImageBytes));
        return m_image != nullptr;
    }

    // Some tools write a shorter table (160 entries, first track at 0x2A0): the table ends
    // where the first track begins, so no entry is taken from a track's data.
    void WalkTracks() {
        std::size_t tableEnd = kD88HeaderBytes;
        for (int t = 0; t < kD88TrackEntries; ++t) {
            const std::size_t entry = kD88TrackTable + t * kD88TrackEntryBytes;
            if (entry + kD88TrackEntryBytes > tableEnd)
                break;
            const std::size_t track = m_disk.u32le(entry);
            // An offset back into the table read so far cannot be a track.
            if (track == 0 || track < entry + kD88TrackEntryBytes)
                continue;
            tableEnd = std::min(tableEnd, track);
            WalkTrack(track);
        }
    }

    // What no record supplied reads 0x00. False when no record supplied anything: a file in
    // which no track yields a single sector is no disk, whatever its header says.
    bool Finish() {
        if (std::find(m_supplied.begin(), m_supplied.end(), true) == m_supplied.end())
            return false;
        for (int s = 0; s < m_cylinders * kSectorsPerCylinder; ++s) {
            if (!m_supplied[static_cast<std::size_t>(s)]) {
                std::memset(m_image.get() + static_cast<std::size_t>(s) * kSectorBytes, 0,
                            kSectorBytes);
                ++report.sectorsMissing;
            }
        }
        return true;
    }

    PageBuffer TakeImage() { return std::move(m_image); }
    int Cylinders() const { return m_cylinders; }
    // The record header each logical sector of the image was read from, and which sectors a
    // record supplied.
    std::vector<SectorRecordHeader> TakeHeaders() {
        m_headers.resize(static_cast<std::size_t>(m_cylinders) * kSectorsPerCylinder);
        return std::move(m_headers);
    }
    std::vector<bool> Supplied() const {
        const auto end = m_supplied.begin() +
                         static_cast<std::ptrdiff_t>(m_cylinders) * kSectorsPerCylinder;
        return std::vector<bool>(m_supplied.begin(), end);
    }

    LoadReport report;

private:
    void WalkTrack(std::size_t at) {
        const unsigned count = m_disk.u16le(at + kRecSectorCount);
        for (unsigned i = 0; i < count && m_disk.contains(at, kRecHeaderBytes); ++i) {
            const int sizeCode = m_disk.u8(at + kRecSizeCode);
            // Without a length the next record cannot be found: the track's walk ends here.
            if (sizeCode > kMaxSizeCode) {
                ++report.recordsNotPlaced;
                return;
            }
            const std::size_t dataBytes = std::size_t{128} << sizeCode;
            if (!m_disk.contains(at + kRecHeaderBytes, dataBytes)) {
                ++report.recordsNotPlaced;
                return;
            }
            PlaceRecord(at, sizeCode, dataBytes);
            at += kRecHeaderBytes + dataBytes;
        }
    }

    void PlaceRecord(std::size_t record, int sizeCode, std::size_t dataBytes) {
        const int cyl = m_disk.u8(record + kRecCylinder);
        const int head = m_disk.u8(record + kRecHead);
        const int rec = m_disk.u8(record + kRecSector);
        if (head > 1 || rec < 1 || rec > kSectorsPerTrack || cyl >= kMaxCylinders) {
            ++report.recordsNotPlaced;
            return;
        }
        const int sector = LogicalSector(cyl, head, rec);
        // N = 0 supplies half a sector; N >= 2 only its first 256 bytes.
        const std::size_t len = std::min<std::size_t>(dataBytes, kSectorBytes);
        unsigned char* dest = m_image.get() + static_cast<std::size_t>(sector) * kSectorBytes;
        const unsigned char* data = m_disk.data() + record + kRecHeaderBytes;
        if (len == static_cast<std::size_t>(kSectorBytes))
            ComplementCopy<kSectorBytes>(dest, data);
        else
            ComplementCopy<kSectorBytes / 2>(dest, data);
        // A short record fills only its part; what no record wrote reads 0x00.
        if (!m_supplied[static_cast<std::size_t>(sector)]) {
            std::memset(dest + len, 0, kSectorBytes - len);
            m_supplied[static_cast<std::size_t>(sector)] = true;
        } else {
            ++report.recordsDuplicate;
            m_headers[static_cast<std::size_t>(sector)].duplicate = true;
        }
        m_disk.copyTo(m_headers[static_cast<std::size_t>(sector)].bytes.data(), record,
                      kRecHeaderBytes);
        report.recordsOddLength += sizeCode != kSavedSizeCode ? 1 : 0;
        report.recordsCut += sizeCode > kSavedSizeCode ? 1 : 0;
        if (m_disk.u8(record + kRecDensity) != 0 || m_disk.u8(record + kRecDeletedMark) != 0 ||
            m_disk.u8(record + kRecStatus) != 0)
            ++report.recordsFlagged;
        // The size field alone would drop the last track of a file that ends inside a
        // cylinder, so the records found raise the count too.
        m_cylinders = std::max(m_cylinders, cyl + 1);
    }

    ByteView m_disk;
    PageBuffer m_image;
    int m_cylinders = 0;
    std::array<bool, kMaxSectors> m_supplied{};
    std::vector<SectorRecordHeader> m_headers = std::vector<SectorRecordHeader>(kMaxSectors);
};

} // namespace

std::size_t FlatImage::D88DiskBytes(ByteView rest) {
    if (rest.size() < kD88HeaderBytes)
        return rest.size();
    const std::uint32_t size = rest.u32le(kD88DiskSize);
    if (size < kD88HeaderBytes || size > kMaxSavedDiskBytes)
        return rest.size();
    return std::min<std::size_t>(size, rest.size());
}

LoadResult FlatImage::DecodeD88(ByteView disk) {
    try {
        if (disk.size() < kD88HeaderBytes)
            return LoadResult::NotAContainer;
        const std::uint32_t diskSize = disk.u32le(kD88DiskSize);
        if (diskSize < kD88HeaderBytes)
            return LoadResult::NotAContainer;
        // A size field larger than any disk the flat model holds is not believed: the records
        // alone then say how many cylinders the disk has. A plausible one counts even where
        // the file is cut short, so that such a file keeps its geometry.
        const bool sizeBelievable = diskSize <= kMaxSavedDiskBytes;
        Decoder decoder(disk);
        if (!decoder.Start(diskSize, sizeBelievable))
            return LoadResult::NotAContainer;
        decoder.WalkTracks();
        if (!decoder.Finish())
            return LoadResult::NotAContainer;
        decoder.report.sizeFieldDisagrees = !sizeBelievable || diskSize > disk.size();
        const std::uint8_t media = disk.u8(kD88MediaType);
        decoder.report.mediaUnknown =
            media != 0x00 && media != 0x10 && media != 0x20 && media != 0x30 && media != 0x40;

        FlatImage decoded;
        decoded.m_bytes = decoder.TakeImage();
        decoded.m_cylinders = decoder.Cylinders();
        decoded.m_size = static_cast<std::size_t>(decoded.m_cylinders) * kCylinderBytes;
        decoded.m_media = media;
        disk.copyTo(decoded.m_header, 0, kHeaderKeptBytes);
        decoded.m_writeProtect = disk.u8(kD88WriteProtect);
        decoded.m_report = decoder.report;
        decoded.m_recordLoaded = decoder.Supplied();
        decoded.m_recordHeaders = decoder.TakeHeaders();
        if (!decoded.EncodesTo(disk))
            decoded.m_original.assign(disk.data(), disk.data() + disk.size());
        *this = std::move(decoded);
        return LoadResult::Ok;
    } catch (const std::bad_alloc&) {
        // Nothing has been replaced before the new buffers exist.
        return LoadResult::NotAContainer;
    }
}

LoadResult FlatImage::DecodeFlat(ByteView file) {
    if (file.size() < kFlatMinBytes)
        return LoadResult::NotAContainer;
    const ByteView bitmap = file.slice(kBitmapOffset, kSectorBytes);
    const std::uint64_t size = std::uint64_t{bitmap.u16le(kBitmapTotalClusters)} *
                               (std::uint64_t{bitmap.u8(kBitmapClusterShift)} + 1) * kSectorBytes;
    if (size == 0 || size > file.size())
        return LoadResult::NotAContainer;

    const auto bytes = static_cast<std::size_t>(size);
    PageBuffer image = AllocatePages(bytes, bytes);
    if (!image)
        return LoadResult::NotAContainer;
    std::memcpy(image.get(), file.data(), bytes);

    FlatImage decoded;
    decoded.m_bytes = std::move(image);
    decoded.m_size = bytes;
    // A flat image carries no cylinder count; a D88 save needs one, rounded up so that no
    // byte is dropped (a partial last cylinder is saved padded with 0x00).
    decoded.m_cylinders = static_cast<int>(
        std::min<std::size_t>((bytes + kCylinderBytes - 1) / kCylinderBytes, kMaxCylinders));
    decoded.m_flat = true;
    decoded.m_media = FlatMediaType(size);
    *this = std::move(decoded);
    return LoadResult::Ok;
}

FlatImage FlatImage::Damaged(ByteView bytes) {
    FlatImage damaged;
    damaged.m_damaged = true;
    damaged.m_original.assign(bytes.data(), bytes.data() + bytes.size());
    return damaged;
}

// More than 82 cylinders cannot be listed in the track table; a negative count is no disk.
int FlatImage::SavedCylinders() const {
    return std::clamp(m_cylinders, 0, kMaxCylinders);
}

bool FlatImage::WritesOriginal() const {
    if (m_damaged)
        return true;
    if (m_original.empty() || !HasImage())
        return false;
    FlatImage again;
    if (again.DecodeD88(ByteView(m_original.data(), m_original.size())) != LoadResult::Ok)
        return false;
    return again.m_size == m_size && std::memcmp(again.m_bytes.get(), m_bytes.get(), m_size) == 0;
}

std::size_t FlatImage::D88Size() const {
    if (WritesOriginal())
        return m_original.size();
    if (!HasImage())
        return 0;
    return kD88HeaderBytes + static_cast<std::size_t>(SavedCylinders()) * kSavedCylinderBytes;
}

std::size_t FlatImage::FlatSize() const {
    const ByteView bitmap = Bytes().slice(kBitmapOffset, kSectorBytes);
    const std::uint64_t total = std::uint64_t{bitmap.u16le(kBitmapTotalClusters)} *
                                (std::uint64_t{bitmap.u8(kBitmapClusterShift)} + 1) * kSectorBytes;
    return static_cast<std::size_t>(std::min<std::uint64_t>(total, m_size));
}

void FlatImage::EncodeHeader(unsigned char* dest) const {
    const int cylinders = SavedCylinders();
    const MutableByteView header(dest, kD88HeaderBytes);
    header.fill(0, kD88HeaderBytes, 0);
    header.write(0, m_header, kHeaderKeptBytes);
    header.setU8(kD88WriteProtect, m_writeProtect);
    header.setU8(kD88MediaType, m_media);
    header.setU32le(kD88DiskSize,
                    static_cast<std::uint32_t>(kD88HeaderBytes + cylinders * kSavedCylinderBytes));
    for (int t = 0; t < 2 * cylinders; ++t)
        header.setU32le(kD88TrackTable + t * kD88TrackEntryBytes,
                        static_cast<std::uint32_t>(kD88HeaderBytes + t * kSavedTrackBytes));
}

// The kSavedCylinderBytes of one cylinder as the D88 file holds them.
void FlatImage::EncodeCylinder(int cyl, unsigned char* out) const {
    const ByteView image = Bytes();
    unsigned char sector[kSectorBytes];
    for (int head = 0; head <= 1; ++head) {
        for (int rec = 1; rec <= kSectorsPerTrack; ++rec) {
            EncodeRecordHeader(out, cyl, head, rec);
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

bool FlatImage::EncodesTo(ByteView disk) const {
    if (disk.size() != D88Size())
        return false;
    unsigned char header[kD88HeaderBytes];
    EncodeHeader(header);
    if (std::memcmp(header, disk.data(), kD88HeaderBytes) != 0)
        return false;
    // The header's table then lists exactly the encoder's tracks, and each record that has the
    // encoder's sector header at the encoder's place was read back into its own sector.
    unsigned char record[kRecHeaderBytes];
    std::size_t at = kD88HeaderBytes;
    for (int cyl = 0; cyl < SavedCylinders(); ++cyl)
        for (int head = 0; head <= 1; ++head)
            for (int rec = 1; rec <= kSectorsPerTrack; ++rec, at += kSavedRecordBytes) {
                EncodeRecordHeader(record, cyl, head, rec);
                if (std::memcmp(record, disk.data() + at, kRecHeaderBytes) != 0)
                    return false;
            }
    return true;
}

bool FlatImage::EncodeD88(const Sink& sink) const {
    if (WritesOriginal()) {
        if (m_damaged || m_original.size() < kD88HeaderBytes)
            return sink(m_original.data(), m_original.size());
        // The name and the write-protect flag may have been changed since.
        unsigned char header[kD88MediaType];
        std::memcpy(header, m_header, kHeaderKeptBytes);
        header[kD88WriteProtect] = m_writeProtect;
        return sink(header, sizeof header) &&
               sink(m_original.data() + sizeof header, m_original.size() - sizeof header);
    }
    if (!HasImage())
        return false;
    // A few cylinders at a time: the same few pages are reused for the whole disk.
    constexpr int kCylindersPerPiece = 7;
    auto piece = std::unique_ptr<unsigned char[]>(
        new (std::nothrow) unsigned char[kCylindersPerPiece * kSavedCylinderBytes]);
    if (!piece)
        return false;
    EncodeHeader(piece.get());
    if (!sink(piece.get(), kD88HeaderBytes))
        return false;
    const int cylinders = SavedCylinders();
    for (int first = 0; first < cylinders; first += kCylindersPerPiece) {
        const int count = std::min(kCylindersPerPiece, cylinders - first);
        for (int i = 0; i < count; ++i)
            EncodeCylinder(first + i,
                           piece.get() + static_cast<std::size_t>(i) * kSavedCylinderBytes);
        if (!sink(piece.get(), static_cast<std::size_t>(count) * kSavedCylinderBytes))
            return false;
    }
    return true;
}
