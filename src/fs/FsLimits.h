#pragma once

#include <cstddef>

#include "fs/FileBody.h"

// The size limits of the file system's fields, and the add-file command's limit on a host file.

// A 16-bit size field: the longest OBJ, BTX or BSD file, and the longest boot program (whose
// size 0 would read as 65536).
inline constexpr std::size_t kMaxSizeField = 0xFFFF;
// One index sector lists 128 blocks of 4096 bytes: the longest BRD file (512 KB).
inline constexpr std::size_t kMaxIndexedBytes = static_cast<std::size_t>(kIndexSlots) * kBlockBytes;
// Larger host files are refused before the add-file dialog opens; exactly 512 KB is allowed.
inline constexpr std::size_t kMaxAddFileBytes = kMaxIndexedBytes;
