#include "fs/FileMode.h"

const std::array<FileMode::Row, 11>& FileMode::Table() {
    static const std::array<Row, 11> kTable = {{
        {FileModeCode::Obj, "OBJ", "OBJ  "},
        {FileModeCode::Btx, "BTX", "BTX  "},
        {FileModeCode::Bsd, "BSD", "BSD  "},
        {FileModeCode::Brd, "BRD", "BRD  "},
        {FileModeCode::Rb, "RB", "RB   "},
        {FileModeCode::Lib, "LIB", "LIB  "},
        {FileModeCode::Sys, "SYS", "SYS  "},
        {FileModeCode::Gr, "GR", "GR   "},
        {FileModeCode::Dir, "DIR", "DIR  "},
        {FileModeCode::Nswap, "NSWAP", "NSWAP"},
        {FileModeCode::Swap, "SWAP", "SWAP "},
    }};
    return kTable;
}

std::string_view FileMode::DisplayName(std::uint8_t code) {
    for (const Row& row : Table())
        if (ToByte(row.code) == code)
            return row.displayName;
    return {};
}

bool FileMode::IsHiddenInList(std::uint8_t code) {
    return code == 0x00 || code == ToByte(FileModeCode::Dir) ||
           code == ToByte(FileModeCode::Nswap) || code == 0x82;
}

BodyLayout FileMode::BodyLayoutOf(std::uint8_t code) {
    switch (static_cast<FileModeCode>(code)) {
    case FileModeCode::Free:
        return BodyLayout::Free;
    case FileModeCode::Bsd:
        return BodyLayout::SectorChain;
    case FileModeCode::Brd:
        return BodyLayout::BlockIndex;
    case FileModeCode::Dir:
        return BodyLayout::SubDirectory;
    default:
        // Every other code, with or without a table row, has a contiguous body.
        return BodyLayout::Contiguous;
    }
}
