#include "fs/FileMode.h"

const std::array<FileMode::Row, 12>& FileMode::Table() {
    static const std::array<Row, 12> kTable = {{
        {FileModeCode::Obj, "OBJ", "OBJ  ", false},
        {FileModeCode::Btx, "BTX", "BTX  ", false},
        {FileModeCode::Bsd, "BSD", "BSD  ", false},
        {FileModeCode::Brd, "BRD", "BRD  ", false},
        {FileModeCode::Rb, "RB", "RB   ", false},
        {FileModeCode::Lib, "LIB", "LIB  ", false},
        {FileModeCode::Sys, "SYS", "SYS  ", false},
        {FileModeCode::Gr, "GR", "GR   ", false},
        {FileModeCode::Dir, "DIR", "DIR  ", true},
        {FileModeCode::Nswap, "NSWAP", "NSWAP", true},
        {FileModeCode::Swap, "SWAP", "SWAP ", false},
        {FileModeCode::Mode82, "", "", true},
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
    if (code == ToByte(FileModeCode::Free))
        return true;
    for (const Row& row : Table())
        if (ToByte(row.code) == code)
            return row.hiddenInList;
    return false;
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
