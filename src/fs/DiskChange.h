#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class DiskImage;

// One change to a disk of the file, kept small enough to hold many of them: the sectors it
// changed, each as the XOR of its contents before and after (which turns either state into the
// other), and the D88 header's name and write-protect flag before and after. It is taken back
// or made again only on a disk in the state it left or found, as a digest of those sectors and
// the header show, so that an edit which bypassed the history is never mixed into sectors that
// now hold something else.
class DiskChange {
public:
    enum class Outcome {
        Nothing,      // the disk is as it was
        Recorded,     // the difference is kept
        Unrecordable, // another disk is selected, or the image changed its size
    };

    // Remembers the selected disk as it is now: a copy of its bytes, until Record.
    explicit DiskChange(const DiskImage& disk);

    // Keeps what changed since the constructor and drops the copy.
    Outcome Record(const DiskImage& disk);

    // Selects the disk of the change and takes the change back, or makes it again. False,
    // changing nothing (the selection and current directory included), when that disk is not
    // in the state the change left (Undo) or found (Redo).
    bool Undo(DiskImage& disk) const;
    bool Redo(DiskImage& disk) const;

    // The disk (0-based) and its current directory when the change was made: where its
    // effect shows.
    int Disk() const { return m_disk; }
    int Directory() const { return m_directory; }
    std::size_t SectorCount() const { return m_sectors.size(); }
    bool HeaderChanged() const { return !(m_headerBefore == m_headerAfter); }
    // The memory the change holds, itself included.
    std::size_t Bytes() const;

private:
    struct Header {
        std::string name; // Shift-JIS
        bool writeProtected = false;
        bool operator==(const Header&) const = default;
    };
    static Header HeaderOf(const DiskImage& disk);

    // XORs the kept differences into the disk and gives it header `to`, if its changed sectors
    // digest to `expected` and its header is `from`.
    bool Apply(DiskImage& disk, std::uint64_t expected, const Header& from, const Header& to) const;
    std::uint64_t Digest(const DiskImage& disk) const;

    int m_disk = 0;
    int m_directory = 0;
    std::vector<unsigned char> m_before; // the copy, until Record
    std::vector<std::uint32_t> m_sectors;
    std::vector<unsigned char> m_xor; // one sector's worth per entry of m_sectors
    std::uint64_t m_beforeDigest = 0;
    std::uint64_t m_afterDigest = 0;
    Header m_headerBefore;
    Header m_headerAfter;
};
