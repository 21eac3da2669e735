#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fs/DirEntry.h"

// What the add-file command proposes for a chosen host file, and the directory entry its
// dialog builds from the values the user confirms. The GUI dialog and `darvex-cli put` share
// these so that both store the same entry for the same choices.
class AddFileEntry {
public:
    // Larger files are refused before the dialog opens; exactly 512 KB is allowed.
    static constexpr std::int64_t kMaxFileBytes = 524288;
    // Plain files up to this length are proposed as OBJ, longer ones as BRD.
    static constexpr std::uint64_t kMaxObjBytes = 65535;

    struct Proposal {
        std::string name;      // Shift-JIS bytes, not yet cut to 16
        std::uint8_t mode = 1; // mode choice 1..5, or an MZT header's mode byte as it is
        std::uint8_t attribute = 0;
        std::int64_t size = 0; // MZT: the header's size field; plain: the file length
        std::uint16_t loadAddress = 0;
        std::uint16_t execAddress = 0;
        bool isMzt = false;

        bool TooLarge() const { return size > kMaxFileBytes; }
    };

    // The extension alone decides: "mzt" in any letter case, never the file's content. ext is
    // what PathParts::GetExt gives for the chosen path (without the dot).
    static bool IsMztExtension(std::string_view ext);

    // fileName: the file name with its extension, already in Shift-JIS. head: the file's first
    // bytes (at least 128 are looked at for an MZT file; missing ones count as 0).
    static Proposal Propose(std::string_view fileName, std::uint64_t fileLength,
                            const unsigned char* head, std::size_t headBytes, bool isMzt);

    // The 32 bytes of the entry: the name cut to 16 bytes at a character boundary, zero padded
    // and ended by 0x0D; mode choice 5 stored as 0x03 (BSD); protect sets attribute bit 7; the
    // low 16 bits of size; date and startSector 0.
    static DirEntry::Bytes32 Build(std::string_view name, std::uint8_t modeChoice, bool protect,
                                   std::uint8_t attribute, std::int64_t size,
                                   std::uint16_t loadAddress, std::uint16_t execAddress);

    // The address fields read as strtol with base 16 does ("0x1200" and "1200" give 0x1200,
    // "XYZ" gives 0), keeping the low 16 bits ("12345" gives 0x2345).
    static std::uint16_t ParseAddress(const std::string& text);
    // The size field read as a signed decimal ("%d"): blanks and a sign first, digits until the
    // first other character, 0 without digits; saturated to the int range.
    static int ParseSize(const std::string& text);

    // The import's plain argument for a proposal's kind of file.
    static int PlainFlag(bool isMzt) { return isMzt ? 0 : 1; }
};
