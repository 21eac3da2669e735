#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class DiskImage;

// One change to a disk, kept small enough to hold many of them: the sectors it changed, each
// as the XOR of its contents before and after (which turns either state into the other). It is
// taken back or made again only on a disk in the state it left or found, as a digest of those
// sectors shows, so that an edit which bypassed the history is never mixed into sectors that
// now hold something else.
class DiskChange {
public:
    enum class Outcome {
        Nothing,      // the disk is as it was
        Recorded,     // the difference is kept
        Unrecordable, // the image changed its size (no file operation does that)
    };

    // Remembers the disk as it is now: a copy of its bytes, until Record.
    explicit DiskChange(const DiskImage& disk);

    // Keeps what changed since the constructor and drops the copy.
    Outcome Record(const DiskImage& disk);

    // Takes the change back, or makes it again. False, changing nothing, when the disk is not
    // in the state the change left (Undo) or found (Redo).
    bool Undo(DiskImage& disk) const;
    bool Redo(DiskImage& disk) const;

    // The current directory when the change was made: where its effect shows.
    int Directory() const { return m_directory; }
    std::size_t SectorCount() const { return m_sectors.size(); }
    // The memory the change holds, itself included.
    std::size_t Bytes() const;

private:
    // XORs the kept differences into the disk if its changed sectors digest to `expected`.
    bool Apply(DiskImage& disk, std::uint64_t expected) const;
    std::uint64_t Digest(const DiskImage& disk) const;

    int m_directory = 0;
    std::vector<unsigned char> m_before; // the copy, until Record
    std::vector<std::uint32_t> m_sectors;
    std::vector<unsigned char> m_xor; // one sector's worth per entry of m_sectors
    std::uint64_t m_beforeDigest = 0;
    std::uint64_t m_afterDigest = 0;
};
