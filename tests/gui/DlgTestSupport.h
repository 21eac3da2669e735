#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fs/DirEntry.h"
#include "image/DiskImage.h"

// Disks and host files for the dialog tests.
namespace dlgtest {

constexpr int kRootDir = 16;

// Bytes 0, 1, 2 ... (mod 251), so a shifted or truncated copy never matches.
std::vector<unsigned char> Pattern(std::size_t bytes);
// A tape image: the 128-byte header (mode, name ended by 0x0D, size, load, exec) and data.
std::vector<unsigned char> Mzt(std::uint8_t mode, const std::string& name, std::uint16_t size,
                               std::uint16_t load, std::uint16_t exec,
                               const std::vector<unsigned char>& data);
std::string WriteHostFile(const std::filesystem::path& path,
                          const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadHostFile(const std::filesystem::path& path);

// The listed entry whose name text is `name` in the root, if any.
std::optional<DirEntry> RootEntry(const DiskImage& disk, const std::string& name);
// The entry index of that entry, -1 when there is none.
int RootIndex(const DiskImage& disk, const std::string& name);
// Adds a host-independent file straight through the core (BIN data, mode 1 OBJ).
int PutObj(DiskImage& disk, const std::string& name, const std::vector<unsigned char>& data);
std::vector<unsigned char> Snapshot(const DiskImage& disk);

} // namespace dlgtest
