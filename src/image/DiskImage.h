#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "image/ByteView.h"
#include "image/LoadReport.h"
#include "image/PageBuffer.h"

// One whole floppy disk held in memory as a flat byte array in logical sector order, with the
// operations of the MZ file system on it. Operations never throw and never show anything: they
// return 0 for success or a small positive failure code, and a failure changes nothing.
class DiskImage {
public:
    DiskImage();
    ~DiskImage();
    DiskImage(const DiskImage&) = delete;
    DiskImage& operator=(const DiskImage&) = delete;

    // Disk image store (image/).
    void Format(int diskType);
    int Load(const unsigned char* source, std::size_t sourceBytes, int flat);
    int Save(unsigned char* dest, int flat) const; // dest holds GetSavedSize(flat) bytes
    int GetSavedSize(int flat) const;
    // The bytes Save would write, handed to sink in order in pieces of some 60 KiB, without a
    // buffer of the whole file. False when there is no image, memory is short or sink says
    // false (which stops it).
    using SaveSink = std::function<bool(const unsigned char* data, std::size_t bytes)>;
    bool SaveTo(int flat, const SaveSink& sink) const;

    void SetCurrentDir(int sector);
    int GetCurrentDir() const;
    void ReadDirEntry(unsigned char* dest, int index) const; // 32 bytes
    void ReadSector(unsigned char* dest, int sector) const;  // 256 bytes
    // 256 bytes into logical sector `sector`, as they are; nothing outside the image is
    // written. For putting back sectors as they were (undo), not for file operations.
    void WriteSector(const unsigned char* src, int sector);

    // Allocation bitmap (fs/Bitmap.cpp).
    int GetUsedClusters() const;
    int GetTotalClusters() const;
    int GetClusterBytes() const;
    int GetFreeBytes() const;
    int FindFirstFreeCluster() const;
    int FindFreeRun(int bytes) const;
    void MarkUsed(int cluster, int bytes);
    void MarkFree(int cluster, int bytes);
    void RecountUsed();

    // File operations on the current directory. The logic is the buffer forms below (fs/);
    // these file forms only read or write the host file (host/DiskImageFiles.cpp).
    int ExportFile(int entryIndex, const char* path, int format) const;
    int ImportFile(const char* path, unsigned char* entry, int plain, int storageMode);
    int RemoveFile(int entryIndex);
    int ExtractBootProgram(const char* path, int format) const;
    int RegisterBootProgram(const char* path, const unsigned char* header, int plain);

    // The same operations on in-memory host data, used by the file forms above, the
    // benchmarks and the fuzzers. `out` receives exactly what the file would hold.
    int ExportToBuffer(int entryIndex, int format, std::vector<unsigned char>& out) const;
    int ImportFromBuffer(const unsigned char* data, std::size_t dataBytes, unsigned char* entry,
                         int plain, int storageMode);
    int ExtractBootToBuffer(int format, std::vector<unsigned char>& out) const;
    int RegisterBootFromBuffer(const unsigned char* data, std::size_t dataBytes,
                               const unsigned char* header, int plain);

    // Read-only accessors.
    bool HasImage() const { return m_pImage != nullptr; }
    ByteView Image() const { return {m_pImage.get(), m_nImageBytes}; }
    std::size_t GetImageSize() const { return m_nImageBytes; }
    int GetTotalBytes() const { return m_nTotalBytes; }
    std::uint8_t GetMediaType() const { return m_byMediaType; }
    int GetCylinders() const { return m_nCylinders; }
    bool IsFlat() const { return m_bFlat != 0; }
    int GetUsedAtLoad() const { return m_nUsedAtLoad; }
    int GetFirstDataCluster() const;
    int GetSectorsPerCluster() const;
    // Number of bit positions the scans visit: min(totalClusters, 2040).
    int GetPositionLimit() const;
    bool IsMzFileSystem() const;
    const LoadReport& GetLoadReport() const { return m_loadReport; }

private:
    MutableByteView ImageView() const { return {m_pImage.get(), m_nImageBytes}; }
    MutableByteView BitmapView() const;
    void Release();
    void DeriveFromBitmap();
    bool BitAt(int position) const;
    void SetBit(int position, bool used);
    void SetRun(int cluster, int bytes, bool used);
    int LoadD88(const unsigned char* source, std::size_t sourceBytes);
    int LoadFlat(const unsigned char* source, std::size_t sourceBytes);
    void EncodeD88Header(unsigned char* dest) const;
    void EncodeD88Cylinder(int cyl, unsigned char* out) const;

    PageBuffer m_pImage;
    int m_nTotalBytes = 0;
    std::uint8_t m_byMediaType = 0;
    unsigned char* m_pBitmap = nullptr; // m_pImage + 0x0F00 while the image has that sector
    int m_nCylinders = 0;
    int m_bFlat = 0;
    int m_nClusterBytes = 0;
    int m_nUsedAtLoad = 0;
    int m_nCurDirSector = 16;

    std::size_t m_nImageBytes = 0;
    // Kept from the loaded D88 file so that a save loses nothing of it.
    // Disk name and the reserved bytes after it (0x00-0x19): some tools write longer names.
    unsigned char m_diskName[0x1A] = {};
    std::uint8_t m_byWriteProtect = 0;
    std::vector<unsigned char> m_trailing; // further disks after the first, verbatim
    LoadReport m_loadReport;
};
