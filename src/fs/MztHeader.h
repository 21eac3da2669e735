#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "image/ByteView.h"

// The 128-byte header of an MZT tape file. Multi-byte fields are little-endian:
//   0 mode, 1..17 name, 18 size, 20 load address, 22 execution address, 24..127 reserved (0).
class MztHeader {
public:
    static constexpr std::size_t kBytes = 128;
    static constexpr std::size_t kNameOffset = 1;
    static constexpr std::size_t kNameBytes = 17;
    static constexpr std::size_t kSizeOffset = 18;
    static constexpr std::size_t kLoadOffset = 20;
    static constexpr std::size_t kExecOffset = 22;

    using Bytes128 = std::array<unsigned char, kBytes>;

    MztHeader() = default; // all zero

    // The header of an MZT file; none when the file holds 128 bytes or less, since such a file
    // carries no data and is not accepted as MZT.
    static std::optional<MztHeader> Parse(const unsigned char* file, std::size_t fileBytes);
    // The first 128 bytes of a file whatever its length, missing bytes read as 0: what the
    // add-file proposal shows for a short file before the import refuses it.
    static MztHeader FromPrefix(const unsigned char* bytes, std::size_t available);
    // The header written for a directory entry (32 bytes): mode, the 17 name bytes verbatim,
    // size, load and execution address; the entry's other fields have no place here.
    static MztHeader FromDirEntry(const unsigned char* entry);

    // The directory entry the header describes, the same fields the other way round; attribute,
    // date and startSector are 0.
    std::array<unsigned char, 32> ToDirEntry() const;

    const Bytes128& Bytes() const { return m_bytes; }
    std::uint8_t Mode() const { return m_bytes[0]; }
    const unsigned char* NameField() const { return m_bytes.data() + kNameOffset; }
    // Bytes before the first 0x0D or 0x00, as names are shown and compared.
    std::string NameText() const;
    std::uint16_t Size() const { return U16(kSizeOffset); }
    std::uint16_t LoadAddress() const { return U16(kLoadOffset); }
    std::uint16_t ExecAddress() const { return U16(kExecOffset); }

private:
    std::uint16_t U16(std::size_t at) const { return ByteView(m_bytes.data(), kBytes).u16le(at); }

    Bytes128 m_bytes{};
};
