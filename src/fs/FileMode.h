#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Mode codes with a row in the mode table. Any other non-zero code is still a valid entry.
enum class FileModeCode : std::uint8_t {
    Free = 0x00,
    Obj = 0x01,
    Btx = 0x02,
    Bsd = 0x03,
    Brd = 0x04,
    Rb = 0x05,
    Lib = 0x07,
    Sys = 0x0A,
    Gr = 0x0B,
    Dir = 0x0F,
    Nswap = 0x80,
    Swap = 0x81,
    Mode82 = 0x82, // hidden like NSWAP; no name of its own
};

// The import's storageMode: the add-file dialog's mode choice 1 .. 5.
enum class StorageMode : int {
    Obj = 1,
    Btx = 2,
    Bsd = 3,
    Brd = 4,
    BsdCrlf = 5, // BSD with CR LF turned into CR (plain files only); stored as mode 0x03
};
inline constexpr int kFirstStorageMode = 1;
inline constexpr int kLastStorageMode = 5;

// How a file's body is found from its entry.
enum class BodyLayout {
    Free,         // mode 0x00: no body
    Contiguous,   // size bytes from startSector on
    SectorChain,  // BSD: 254 data bytes a sector, then a 16-bit link
    BlockIndex,   // BRD: startSector is an index of 4096-byte blocks
    SubDirectory, // DIR: startSector is the first of 8 directory sectors
};

class FileMode {
public:
    struct Row {
        FileModeCode code;
        std::string_view name;        // "OBJ"
        std::string_view displayName; // "OBJ  ": always five characters; empty for 0x82
        bool hiddenInList;
    };
    static const std::array<Row, 12>& Table();

    // Five-character name for the list; empty for a code without a table row.
    static std::string_view DisplayName(std::uint8_t code);
    // Free entries and the rows marked hidden (sub-directories, 0x80 and 0x82) never appear in
    // the list.
    static bool IsHiddenInList(std::uint8_t code);
    static BodyLayout BodyLayoutOf(std::uint8_t code);

    static constexpr std::uint8_t ToByte(FileModeCode code) {
        return static_cast<std::uint8_t>(code);
    }
};
