#pragma once

// Failure codes of the DiskImage operations. They convert to the ints the operations return.

enum class LoadResult : int { Ok = 0, NotAContainer = 1 };

enum class ExportResult : int { Ok = 0, CannotWrite = 1 };

enum class ImportResult : int {
    Ok = 0,
    NoFreeEntry = 1,
    CannotOpen = 2,
    MztTooShort = 3,
    NoSpace = 4,
    NameTaken = 5,
    TooLarge = 6, // over 65535 bytes for OBJ/BTX/BSD, over 128 blocks for BRD
    FreeMode = 7, // a mode byte of 0x00 would read as a free entry
};

enum class RemoveResult : int { Ok = 0, AlreadyFree = 1 };

enum class ExtractBootResult : int { Ok = 0, Failed = 1 }; // no "IPLPRO", out of image, write error

enum class RegisterBootResult : int {
    Ok = 0,
    CannotOpen = 1,
    Empty = 2, // an MZT file of 128 bytes or less, or a program of 0 bytes
    TooLarge = 3,
    NoSpace = 4,
};

template <typename E> constexpr int ToInt(E e) {
    return static_cast<int>(e);
}
