#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/ByteView.h"

class DiskImage;

// One 32-byte directory entry, held by value. Multi-byte fields are little-endian:
//   0 mode, 1..17 name, 18 attribute, 19 reserved, 20 size, 22 loadAddress,
//   24 execAddress, 26 date (32 bits), 30 startSector.
class DirEntry {
public:
    static constexpr std::size_t kBytes = 32;
    static constexpr std::size_t kNameOffset = 1;
    static constexpr std::size_t kNameBytes = 17;
    static constexpr std::size_t kMaxStoredName = 16; // the 17th byte is kept for the 0x0D

    using Bytes32 = std::array<unsigned char, kBytes>;
    using NameBytes = std::array<unsigned char, kNameBytes>;

    DirEntry() = default;                          // all zero: a free entry
    explicit DirEntry(const unsigned char* bytes); // copies kBytes bytes
    explicit DirEntry(const Bytes32& bytes) : m_bytes(bytes) {}

    const Bytes32& Bytes() const { return m_bytes; }
    Bytes32& Bytes() { return m_bytes; }

    std::uint8_t Mode() const { return m_bytes[0]; }
    bool IsFree() const { return Mode() == 0x00; }
    NameBytes NameField() const;
    std::uint8_t Attribute() const { return m_bytes[18]; }
    std::uint8_t Reserved() const { return m_bytes[19]; }
    std::uint16_t Size() const { return U16(20); }
    std::uint16_t LoadAddress() const { return U16(22); }
    std::uint16_t ExecAddress() const { return U16(24); }
    std::uint32_t Date() const;
    std::uint16_t StartSector() const { return U16(30); }

    // The name as shown and compared: raw Shift-JIS bytes, see NameFieldText.
    std::string NameText() const;

    void SetMode(std::uint8_t mode) { m_bytes[0] = mode; }
    void SetNameField(const NameBytes& field);
    // Stores at most kMaxStoredName bytes of name, then 0x0D, then 0x00 up to the field's end,
    // the way an imported file is named. Callers cut Shift-JIS text at a character boundary
    // first (CutSjis); a longer name is cut here at exactly 16 bytes.
    void SetNameText(std::string_view name);
    void SetAttribute(std::uint8_t attribute) { m_bytes[18] = attribute; }
    void SetReserved(std::uint8_t value) { m_bytes[19] = value; }
    void SetSize(std::uint16_t size) { SetU16(20, size); }
    void SetLoadAddress(std::uint16_t address) { SetU16(22, address); }
    void SetExecAddress(std::uint16_t address) { SetU16(24, address); }
    void SetDate(std::uint32_t date);
    void SetStartSector(std::uint16_t sector) { SetU16(30, sector); }

    bool operator==(const DirEntry&) const = default;

private:
    std::uint16_t U16(std::size_t at) const { return ByteView(m_bytes.data(), kBytes).u16le(at); }
    void SetU16(std::size_t at, std::uint16_t v) {
        MutableByteView(m_bytes.data(), kBytes).setU16le(at, v);
    }

    Bytes32 m_bytes{};
};

// The display and comparison rule for a 17-byte name field (directory entries and MZT
// headers): every 0x0D counts as 0x00 and the name is the bytes up to the first 0x00.
std::string NameFieldText(const unsigned char* field17);

// Ends a name field the way the add-file and boot-register commands do: its first 0x00 becomes
// 0x0D. A field whose last byte is still 0x00 always gets its 0x0D.
void TerminateNameField(MutableByteView field);

// "." and "..": entries that name a directory already held elsewhere.
bool IsDotName(std::string_view name);

// The 64 entries of the directory whose first sector is dirSector. Sectors outside the image
// read as zeros, so the entries there are free.
std::array<DirEntry, 64> ReadDirectory(const DiskImage& disk, int dirSector);

// The first entry of the current directory whose mode byte is 0x00, or -1. A current directory
// that does not lie wholly inside the image has no entry to take.
int FreeEntryIndex(const DiskImage& disk);

// Whether a name cannot be given to an entry of the directory at dirSector: it is empty, or a
// live entry other than entry `except` has exactly this name (raw Shift-JIS name text). A
// deleted file's name does not count, and "AB" is not taken by "ABC".
bool NameTaken(const DiskImage& disk, int dirSector, std::string_view name, int except = -1);

// Whether files may be added to or deleted from the directory at dirSector: the root, or a
// sub-directory whose 8 sectors all lie in the data area (at or after the first data cluster)
// and inside the image. One that overlaps the boot sector, the bitmap or the root is listed
// and walked, but writing into it would overwrite what lies there.
bool DirectoryWritable(const DiskImage& disk, int dirSector);

// Whether all 8 sectors of a directory starting at dirSector lie inside the image.
bool DirectoryInImage(const DiskImage& disk, long long dirSector);
