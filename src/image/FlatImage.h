#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "image/ByteView.h"
#include "image/LoadReport.h"
#include "image/LoadResult.h"
#include "image/PageBuffer.h"
#include "image/SectorRecord.h"

// One floppy disk in memory as a flat byte array in logical sector order (logical sector n at
// byte n x 256), with what its D88 header says about it: media type, disk name and
// write-protect flag. It decodes and encodes the D88 form of one disk and formats new disks;
// what the bytes mean is the file system's business (fs/DiskImage).
//
// A disk decoded from a D88 file that the encoder would not write back byte for byte (other
// record order, sector flags, odd records ...) keeps the bytes it was read from: as long as
// its sectors are unchanged, they are what a save writes, so that an untouched disk leaves the
// file as it was. A region of a D88 file that does not decode is kept the same way, as a
// damaged disk without an image.
class FlatImage {
public:
    // Receives the encoded bytes in order; false stops the encoding.
    using Sink = std::function<bool(const unsigned char* data, std::size_t bytes)>;

    static constexpr std::size_t kD88HeaderBytes = 0x2B0;
    static constexpr std::size_t kNameBytes = 16; // the name field's 17th byte ends the name
    // 82 cylinders of 16 records of 256 bytes: the longest disk the encoder writes.
    static constexpr std::size_t kMaxD88DiskBytes = kD88HeaderBytes + 82 * 2 * 16 * (16 + 256);
    static constexpr int kDiskTypeCount = 4;

    FlatImage() = default;
    FlatImage(FlatImage&&) noexcept = default;
    FlatImage& operator=(FlatImage&&) noexcept = default;

    // A blank disk of type 0..3 (the four kinds of the new-disk command). False, leaving no
    // image, for another type or when memory is short.
    bool Format(int diskType);
    // One disk of a D88 file: its bytes from its header to its end. Nothing changes on failure.
    LoadResult DecodeD88(ByteView disk);
    // Where the disk at the start of `rest` (the bytes of a D88 file from a disk's header on)
    // ends: its size field, unless that is smaller than a header or larger than any disk, or
    // runs past the file; then the disk runs to the end.
    static std::size_t D88DiskBytes(ByteView rest);
    // A flat image: its length comes from its own bitmap header. Nothing changes on failure.
    LoadResult DecodeFlat(ByteView source);
    // Keeps bytes that are no disk (a damaged region of a D88 file) to be written back as
    // they are.
    static FlatImage Damaged(ByteView bytes);

    bool HasImage() const { return m_bytes != nullptr; }
    bool IsDamaged() const { return m_damaged; }
    ByteView Bytes() const { return {m_bytes.get(), m_size}; }
    MutableByteView MutableBytes() { return {m_bytes.get(), m_size}; }
    std::size_t Size() const { return m_size; }
    // 256 bytes of logical sector n; zeros outside the image.
    void ReadSector(unsigned char* dest, long long sector) const;

    int Cylinders() const { return m_cylinders; }
    std::uint8_t MediaType() const { return m_media; }
    bool IsFlat() const { return m_flat; }
    const LoadReport& Report() const { return m_report; }
    // The header of the D88 record logical sector `sector` was read from; nullptr when no
    // record supplied it (a new disk, a flat image, a sector the file lacks).
    const SectorRecordHeader* RecordHeader(int sector) const;
    bool HasRecordHeaders() const { return !m_recordHeaders.empty(); }

    // The disk name: the header's bytes up to the first 0x00 within its 17-byte field (Shift-JIS).
    std::string Name() const;
    // Stores name (Shift-JIS, at most kNameBytes bytes; longer text is refused) and clears
    // the rest of the field and the reserved bytes after it, where a longer old name may have
    // run on.
    bool SetName(std::string_view name);
    bool IsWriteProtected() const { return m_writeProtect != 0; }
    void SetWriteProtected(bool on) { m_writeProtect = on ? kWriteProtectOn : 0x00; }

    // The D88 form of this disk: its length, and its bytes handed to sink in pieces of a few
    // cylinders (no buffer of the whole disk).
    std::size_t D88Size() const;
    bool EncodeD88(const Sink& sink) const;
    // The flat form: the bitmap's totalClusters x cluster size, at most the image.
    std::size_t FlatSize() const;

private:
    static constexpr std::uint8_t kWriteProtectOn = 0x10;
    static constexpr std::size_t kHeaderKeptBytes = 0x1A; // name and reserved bytes

    // Whether a save writes m_original: the disk was read from bytes the encoder would not
    // reproduce, and its sectors still decode from them.
    bool WritesOriginal() const;
    int SavedCylinders() const;
    void EncodeHeader(unsigned char* dest) const;
    void EncodeCylinder(int cyl, unsigned char* out) const;
    // Whether EncodeD88 would write exactly `disk`, the bytes this image was decoded from.
    bool EncodesTo(ByteView disk) const;

    PageBuffer m_bytes;
    std::size_t m_size = 0;
    int m_cylinders = 0;
    std::uint8_t m_media = 0;
    bool m_flat = false;
    bool m_damaged = false;
    unsigned char m_header[kHeaderKeptBytes] = {};
    std::uint8_t m_writeProtect = 0;
    LoadReport m_report;
    std::vector<unsigned char> m_original;
    // One per logical sector after a D88 decode (empty otherwise), and which a record supplied.
    std::vector<SectorRecordHeader> m_recordHeaders;
    std::vector<bool> m_recordLoaded;
};
