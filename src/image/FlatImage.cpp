#include "image/FlatImage.h"

#include <algorithm>
#include <cstring>

#include "image/Geometry.h"

void FlatImage::ReadSector(unsigned char* dest, long long sector) const {
    if (sector < 0) {
        std::memset(dest, 0, kSectorBytes);
        return;
    }
    Bytes().copyTo(dest, static_cast<std::size_t>(sector) * kSectorBytes, kSectorBytes);
}

std::string FlatImage::Name() const {
    const auto* end = std::find(m_header, m_header + kNameBytes + 1, 0x00);
    return std::string(m_header, end);
}

bool FlatImage::SetName(std::string_view name) {
    if (name.size() > kNameBytes || name.find('\0') != std::string_view::npos)
        return false;
    std::fill(std::begin(m_header), std::end(m_header), 0x00);
    std::copy(name.begin(), name.end(), m_header);
    return true;
}

const SectorRecordHeader* FlatImage::RecordHeader(int sector) const {
    if (sector < 0 || static_cast<std::size_t>(sector) >= m_recordHeaders.size() ||
        !m_recordLoaded[static_cast<std::size_t>(sector)])
        return nullptr;
    return &m_recordHeaders[static_cast<std::size_t>(sector)];
}
