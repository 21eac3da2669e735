#include "fs/MztHeader.h"

#include <algorithm>

#include "fs/DirEntry.h"
#include "image/ByteView.h"

std::optional<MztHeader> MztHeader::Parse(const unsigned char* file, std::size_t fileBytes) {
    if (file == nullptr || fileBytes <= kBytes)
        return std::nullopt;
    return FromPrefix(file, fileBytes);
}

MztHeader MztHeader::FromPrefix(const unsigned char* bytes, std::size_t available) {
    MztHeader header;
    ByteView(bytes, available).copyTo(header.m_bytes.data(), 0, kBytes);
    return header;
}

MztHeader MztHeader::FromDirEntry(const unsigned char* entry) {
    MztHeader header;
    const ByteView e(entry, DirEntry::kBytes);
    header.m_bytes[0] = e.u8(0);
    e.copyTo(header.m_bytes.data() + kNameOffset, DirEntry::kNameOffset, kNameBytes);
    // size, loadAddress and execAddress follow one another in both records.
    e.copyTo(header.m_bytes.data() + kSizeOffset, 20, 6);
    return header;
}

std::array<unsigned char, 32> MztHeader::ToDirEntry() const {
    std::array<unsigned char, 32> entry{};
    static_assert(sizeof(entry) == DirEntry::kBytes);
    entry[0] = Mode();
    std::copy_n(m_bytes.begin() + kNameOffset, kNameBytes, entry.begin() + DirEntry::kNameOffset);
    std::copy_n(m_bytes.begin() + kSizeOffset, 6, entry.begin() + 20);
    return entry;
}

std::string MztHeader::NameText() const {
    return NameFieldText(NameField());
}
