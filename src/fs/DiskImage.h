#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "image/ByteView.h"
#include "image/DiskSet.h"
#include "image/LoadReport.h"

struct EntryInfoChanges;

enum class DiskSelectResult : int { Ok = 0, NoSuchDisk = 1, Damaged = 2 };

// Why the selected disk may not be changed by a command on its files or boot program. The
// D88 header (name, write-protect flag) may always be changed.
enum class ChangeRefusal : int { None = 0, NotMzFs = 1, WriteProtected = 2 };

// One disk of the file as a listing of the disks shows it.
struct DiskSummary {
    bool damaged = false;         // kept as the bytes it was read from
    std::size_t damagedBytes = 0; // their number
    std::string name;             // Shift-JIS
    std::uint8_t mediaType = 0;
    bool writeProtected = false;
    bool mzFileSystem = false;
    // The bitmap's figures (SpaceText), meaningful on an MZ file system only.
    long long usedBytes = 0;
    long long totalBytes = 0;
};

// A D88 file's disks with the MZ file system on them: the directory entries, the allocation
// bitmap, the file operations and the checker's view all work on the selected disk (the first
// after a load), in its current directory. Operations never throw and never show anything:
// they return 0 for success or a small positive failure code, and a failure changes nothing.
// The host-file forms of the file operations are in host/DiskImageFiles.h.
class DiskImage {
public:
    DiskImage() = default;
    DiskImage(const DiskImage&) = delete;
    DiskImage& operator=(const DiskImage&) = delete;

    // The file: every disk of it (image/DiskSet). Load replaces them all and selects the
    // first; Save and SaveTo write them all in order (the flat form: the selected disk).
    void Format(int diskType);
    int Load(const unsigned char* source, std::size_t sourceBytes, int flat);
    int Save(unsigned char* dest, int flat) const; // dest holds GetSavedSize(flat) bytes
    int GetSavedSize(int flat) const;
    // The bytes Save would write, handed to sink in order in pieces of some 60 KiB, without a
    // buffer of the whole file. False when there is no image, memory is short or sink says
    // false (which stops it).
    using SaveSink = std::function<bool(const unsigned char* data, std::size_t bytes)>;
    bool SaveTo(int flat, const SaveSink& sink) const;

    // The disks of the file, numbered from 0 here (the user counts from 1). Selecting another
    // disk makes its root the current directory.
    int GetDiskCount() const { return m_disks.Count(); }
    int GetSelectedDisk() const { return m_selected; }
    int SelectDisk(int index); // DiskSelectResult
    int AddDisk(int diskType); // DiskAddResult; the selection stays
    int RemoveDisk(int index); // DiskRemoveResult; the first disk is selected afterwards

    DiskSummary GetDiskSummary(int index) const; // index below GetDiskCount()
    // None, or why commands may change nothing of the selected disk but its D88 header.
    ChangeRefusal WhyNotChangeable() const;

    // The D88 header of the selected disk: name (Shift-JIS) and write-protect flag.
    std::string GetDiskName() const;
    // A longer name is cut at 16 bytes, at a character boundary. False when there is no disk.
    bool SetDiskName(std::string_view sjis);
    bool IsWriteProtected() const;
    void SetWriteProtected(bool on);

    void SetCurrentDir(int sector);
    int GetCurrentDir() const;
    void ReadDirEntry(unsigned char* dest, int index) const; // 32 bytes
    void ReadSector(unsigned char* dest, int sector) const;  // 256 bytes
    // 256 bytes into logical sector `sector` of the selected disk, as they are; nothing outside
    // the image is written. For putting back sectors as they were (undo), not for file
    // operations.
    void WriteSector(const unsigned char* src, int sector);

    // Allocation bitmap (Bitmap.cpp).
    int GetUsedClusters() const;
    int GetTotalClusters() const;
    int GetClusterBytes() const;
    int GetFreeBytes() const;
    int FindFirstFreeCluster() const;
    int FindFreeRun(int bytes) const;
    void MarkUsed(int cluster, int bytes);
    void MarkFree(int cluster, int bytes);
    void RecountUsed();

    // File operations on the current directory, on in-memory host data. `out` receives
    // exactly what a host file would hold.
    int ExportToBuffer(int entryIndex, int format, std::vector<unsigned char>& out) const;
    int ImportFromBuffer(const unsigned char* data, std::size_t dataBytes, unsigned char* entry,
                         int plain, int storageMode);
    int RemoveFile(int entryIndex);
    int ExtractBootToBuffer(int format, std::vector<unsigned char>& out) const;
    int RegisterBootFromBuffer(const unsigned char* data, std::size_t dataBytes,
                               const unsigned char* header, int plain);
    // Stores a file copied from another disk into the current directory (Import.cpp): its 32
    // entry bytes as they came (mode, whole name field, attribute, reserved byte, size,
    // addresses, date) with a new start sector, and its body (the bytes ExportToBuffer gives in
    // BIN form) laid out as its mode calls for. ImportResult.
    int StoreEntry(const unsigned char* entry, const unsigned char* body, std::size_t bodyBytes);

    // Changes to an entry of the current directory in place (EntryEdit.cpp): RenameResult,
    // EditInfoResult.
    int RenameEntry(int entryIndex, std::string_view newNameUtf8, bool force);
    int EditEntryInfo(int entryIndex, const EntryInfoChanges& changes);

    // Read-only accessors of the selected disk.
    bool HasImage() const { return Selected() != nullptr && Selected()->HasImage(); }
    ByteView Image() const { return Selected() ? Selected()->Bytes() : ByteView(); }
    std::size_t GetImageSize() const { return Image().size(); }
    // totalClusters x cluster size, at most INT_MAX.
    int GetTotalBytes() const;
    std::uint8_t GetMediaType() const { return Selected() ? Selected()->MediaType() : 0; }
    int GetCylinders() const { return Selected() ? Selected()->Cylinders() : 0; }
    bool IsFlat() const { return Selected() && Selected()->IsFlat(); }
    int GetFirstDataCluster() const;
    int GetSectorsPerCluster() const;
    // Number of bit positions the scans visit: min(totalClusters, 2040).
    int GetPositionLimit() const;
    bool IsMzFileSystem() const;
    const LoadReport& GetLoadReport() const;
    // The header of the D88 record logical sector `sector` was read from; nullptr when no
    // record supplied it (a new disk, a flat image, a sector the file lacks).
    const SectorRecordHeader* GetRecordHeader(int sector) const {
        return Selected() ? Selected()->RecordHeader(sector) : nullptr;
    }
    bool HasRecordHeaders() const { return Selected() && Selected()->HasRecordHeaders(); }

private:
    const FlatImage* Selected() const;
    MutableByteView ImageView();
    MutableByteView BitmapView();
    ByteView Bitmap() const;
    bool BitAt(int position) const;
    void SetBit(int position, bool used);
    void SetRun(int cluster, int bytes, bool used);

    DiskSet m_disks;
    int m_selected = 0;
    int m_nCurDirSector = 16;
};
