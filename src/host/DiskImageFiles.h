#pragma once

class DiskImage;

// The file operations of a DiskImage on host files: each reads or writes the host file and
// hands the bytes to the buffer form (fs/DiskImage.h), which holds the logic. Results are
// those of the buffer forms (fs/ResultCodes.h); a host file that cannot be read or written is
// that operation's CannotOpen or CannotWrite.

// Writes entry entryIndex of the current directory to path (format: ExportFormat).
int ExportFile(const DiskImage& disk, int entryIndex, const char* path, int format);
// Stores the host file at path in the current directory (see DiskImage::ImportFromBuffer).
int ImportFile(DiskImage& disk, const char* path, unsigned char* entry, int plain, int storageMode);
int ExtractBootProgram(const DiskImage& disk, const char* path, int format);
int RegisterBootProgram(DiskImage& disk, const char* path, const unsigned char* header, int plain);
