#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "TestUtil.h"
#include "fs/DiskImage.h"
#include "support/TestDisk.h"

// Disks and host files for the command dialog tests, on top of the shared toolkit.
namespace dlgtest {

using testdisk::Bytes;
using testdisk::Pattern;
using testdisk::Snapshot;
using testutil::ReadFileBytes;

// A tape whose name field is `name` ended by 0x0D.
inline Bytes Tape(std::uint8_t mode, const std::string& name, std::uint16_t size,
                  std::uint16_t load, std::uint16_t exec, const Bytes& data) {
    return testdisk::MakeMzt({.mode = mode,
                              .name = name + "\r",
                              .size = size,
                              .load = load,
                              .exec = exec,
                              .data = data});
}

// Writes a host file and gives its path.
inline std::string HostFile(const std::filesystem::path& path, const Bytes& bytes) {
    EXPECT_TRUE(testutil::WriteFileBytes(path, bytes)) << path;
    return path.string();
}

// The entry of the current directory named `name`, if any.
inline std::optional<DirEntry> EntryNamed(const DiskImage& disk, const std::string& name) {
    const int index = testdisk::FindEntry(disk, name);
    return index < 0 ? std::nullopt : std::optional<DirEntry>(testdisk::EntryAt(disk, index));
}

// The extract dialogs' tests: a formatted disk of type 0 whose document is img.d88 in a fresh
// folder, and the run-scoped format memory the dialogs update.
class ExtractTest : public ::testing::Test {
protected:
    ExtractTest() {
        disk.Format(0);
        image = (dir.path() / "img.d88").string();
    }
    std::string In(const std::string& name) const { return (dir.path() / name).string(); }

    testutil::TempDir dir;
    DiskImage disk;
    std::string image;
    int extractFormat = 0;
};

} // namespace dlgtest
