#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "image/ByteView.h"

// The 32-byte boot-program record at the start of logical sector 0. Multi-byte fields are
// little-endian:
//   0 machine code, 1..6 "IPLPRO", 7..17 display text, 18 reserved, 20 size (0 reads as
//   65536), 22 reserved, 24 execAddress, 26 reserved (32 bits), 30 startSector.
class IplHeader {
public:
    static constexpr std::size_t kBytes = 32;
    static constexpr std::size_t kSignatureOffset = 1;
    static constexpr std::size_t kSignatureBytes = 6;
    static constexpr std::size_t kTextOffset = 7;
    static constexpr std::size_t kTextBytes = 11;
    static constexpr std::size_t kSizeOffset = 20;
    static constexpr std::size_t kExecOffset = 24;
    static constexpr std::size_t kStartSectorOffset = 30;
    static constexpr char kSignature[] = "IPLPRO";

    using Bytes32 = std::array<unsigned char, kBytes>;
    using TextBytes = std::array<unsigned char, kTextBytes>;

    IplHeader() = default;                          // all zero: no boot program
    explicit IplHeader(const unsigned char* bytes); // copies kBytes bytes; null gives zeros
    explicit IplHeader(const Bytes32& bytes) : m_bytes(bytes) {}

    // Bytes 0..31 of the image; what lies outside it reads as zero.
    static IplHeader FromImage(ByteView image);

    const Bytes32& Bytes() const { return m_bytes; }

    bool HasSignature() const;
    std::uint8_t Machine() const { return m_bytes[0]; }
    TextBytes DisplayText() const;
    // The display text as the boot-extract proposal names its file: every 0x0D counts as
    // 0x00 and the text is the bytes before the first 0x00 (at most 11 bytes).
    std::string DisplayName() const;
    std::uint16_t Size() const { return U16(kSizeOffset); }
    // The length of the program: the size field, with 0 standing for 65536.
    std::uint32_t ProgramBytes() const { return Size() == 0 ? 65536u : Size(); }
    std::uint16_t ExecAddress() const { return U16(kExecOffset); }
    std::uint16_t StartSector() const { return U16(kStartSectorOffset); }

    void SetMachine(std::uint8_t code) { m_bytes[0] = code; }
    void SetSignature();
    void SetDisplayText(const TextBytes& text);
    void SetSize(std::uint16_t size) { SetU16(kSizeOffset, size); }
    void SetExecAddress(std::uint16_t address) { SetU16(kExecOffset, address); }
    void SetStartSector(std::uint16_t sector) { SetU16(kStartSectorOffset, sector); }

    bool operator==(const IplHeader&) const = default;

private:
    std::uint16_t U16(std::size_t at) const { return ByteView(m_bytes.data(), kBytes).u16le(at); }
    void SetU16(std::size_t at, std::uint16_t v) {
        MutableByteView(m_bytes.data(), kBytes).setU16le(at, v);
    }

    Bytes32 m_bytes{};
};
