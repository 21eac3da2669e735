#pragma once

#include <cstddef>
#include <vector>

#include "image/ByteView.h"
#include "image/FlatImage.h"
#include "image/LoadResult.h"

enum class DiskAddResult : int { Ok = 0, BadType = 1, TooMany = 2, NoMemory = 3 };
enum class DiskRemoveResult : int {
    Ok = 0,
    NoSuchDisk = 1,
    LastDisk = 2,        // a file keeps at least one disk
    FirstUnreadable = 3, // the disk that would come first could not be read
    WriteProtected = 4,  // its D88 header says so: clear the flag first
};

// The disks of one D88 file, in file order. A D88 file may hold several disks one after
// another (the sets of multi-disk games); each begins with its own header, whose size field
// says where the next one begins. Each is read as the first one is; a later one that does not
// decode is kept as it was (FlatImage::IsDamaged) and written back unchanged.
class DiskSet {
public:
    static constexpr int kMaxDisks = 64;

    // The whole file (flat: one flat image). Replaces every disk on success; nothing changes
    // on failure, which is NotAContainer when the first disk does not decode.
    LoadResult Load(ByteView file, bool flat);
    // One blank disk of the type in place of all; false (and no disk) for another type.
    bool Format(int diskType);

    int Count() const { return static_cast<int>(m_disks.size()); }
    bool Has(int index) const { return index >= 0 && index < Count(); }
    // index must be below Count().
    const FlatImage& Disk(int index) const { return m_disks[static_cast<std::size_t>(index)]; }
    FlatImage& Disk(int index) { return m_disks[static_cast<std::size_t>(index)]; }

    // The D88 file: every disk in order.
    std::size_t D88Size() const;
    bool EncodeD88(const FlatImage::Sink& sink) const;

    // Appends a blank disk of the type.
    DiskAddResult Add(int diskType);
    DiskRemoveResult Remove(int index);

private:
    std::vector<FlatImage> m_disks;
};
