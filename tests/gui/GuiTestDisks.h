#pragma once

#include <filesystem>
#include <string>

class DiskImage;

// Disks for the GUI tests, built with the core's public operations.
namespace guitest {

// A type-1 disk with an OBJ, a BSD and a BRD file and a Shift-JIS name in the root, and a
// sub-directory "SUB" holding one file "INNER".
void BuildSampleDisk(DiskImage& disk);
// A type-1 disk whose directory "LOOP" holds a directory "UP" leading back to the root.
void BuildCycleDisk(DiskImage& disk);
// The sample disk saved at folder/name.
std::filesystem::path WriteSampleDisk(const std::filesystem::path& folder, const std::string& name);

} // namespace guitest
