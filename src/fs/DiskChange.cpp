#include "fs/DiskChange.h"

#include <algorithm>

#include "fs/DiskImage.h"
#include "image/Geometry.h"

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

// FNV-1a, continued from `hash`.
std::uint64_t Fnv(std::uint64_t hash, const unsigned char* data, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i)
        hash = (hash ^ data[i]) * kFnvPrime;
    return hash;
}

constexpr std::size_t kSector = kSectorBytes;

} // namespace

DiskChange::Header DiskChange::HeaderOf(const DiskImage& disk) {
    return {disk.GetDiskName(), disk.IsWriteProtected()};
}

DiskChange::DiskChange(const DiskImage& disk)
    : m_disk(disk.GetSelectedDisk()), m_directory(disk.GetCurrentDir()),
      m_headerBefore(HeaderOf(disk)) {
    const ByteView image = disk.Image();
    m_before.assign(image.data(), image.data() + image.size());
}

DiskChange::Outcome DiskChange::Record(const DiskImage& disk) {
    const std::vector<unsigned char> before = std::move(m_before);
    m_before = {};
    const ByteView after = disk.Image();
    // Sectors are what the history puts back; every image is made of whole ones.
    if (disk.GetSelectedDisk() != m_disk || after.size() != before.size() ||
        before.size() % kSector != 0)
        return Outcome::Unrecordable;
    m_headerAfter = HeaderOf(disk);
    m_beforeDigest = m_afterDigest = kFnvOffset;
    for (std::size_t at = 0; at < before.size(); at += kSector) {
        const unsigned char* old = before.data() + at;
        const unsigned char* now = after.data() + at;
        if (std::equal(old, old + kSector, now))
            continue;
        m_sectors.push_back(static_cast<std::uint32_t>(at / kSector));
        for (std::size_t i = 0; i < kSector; ++i)
            m_xor.push_back(old[i] ^ now[i]);
        m_beforeDigest = Fnv(m_beforeDigest, old, kSector);
        m_afterDigest = Fnv(m_afterDigest, now, kSector);
    }
    m_sectors.shrink_to_fit();
    m_xor.shrink_to_fit();
    return m_sectors.empty() && !HeaderChanged() ? Outcome::Nothing : Outcome::Recorded;
}

std::uint64_t DiskChange::Digest(const DiskImage& disk) const {
    std::uint64_t hash = kFnvOffset;
    for (const std::uint32_t s : m_sectors) {
        unsigned char bytes[kSector];
        disk.ReadSector(bytes, static_cast<int>(s));
        hash = Fnv(hash, bytes, kSector);
    }
    return hash;
}

bool DiskChange::Apply(DiskImage& disk, std::uint64_t expected, const Header& from,
                       const Header& to) const {
    if (m_sectors.empty() && !HeaderChanged())
        return false;
    const int selected = disk.GetSelectedDisk();
    const int directory = disk.GetCurrentDir();
    if (disk.SelectDisk(m_disk) != 0)
        return false;
    if (Digest(disk) != expected || !(HeaderOf(disk) == from)) {
        disk.SelectDisk(selected);
        disk.SetCurrentDir(directory);
        return false;
    }
    for (std::size_t k = 0; k < m_sectors.size(); ++k) {
        const int sector = static_cast<int>(m_sectors[k]);
        unsigned char bytes[kSector];
        disk.ReadSector(bytes, sector);
        for (std::size_t i = 0; i < kSector; ++i)
            bytes[i] ^= m_xor[k * kSector + i];
        disk.WriteSector(bytes, sector);
    }
    if (HeaderChanged()) {
        disk.SetDiskName(to.name);
        disk.SetWriteProtected(to.writeProtected);
    }
    disk.SetCurrentDir(m_directory);
    return true;
}

bool DiskChange::Undo(DiskImage& disk) const {
    return Apply(disk, m_afterDigest, m_headerAfter, m_headerBefore);
}

bool DiskChange::Redo(DiskImage& disk) const {
    return Apply(disk, m_beforeDigest, m_headerBefore, m_headerAfter);
}

std::size_t DiskChange::Bytes() const {
    return sizeof(*this) + m_before.capacity() + m_sectors.capacity() * sizeof(std::uint32_t) +
           m_xor.capacity() + m_headerBefore.name.capacity() + m_headerAfter.name.capacity();
}
