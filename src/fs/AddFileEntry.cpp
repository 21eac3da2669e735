#include "fs/AddFileEntry.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "fs/MztHeader.h"
#include "fs/SjisText.h"

namespace {

constexpr std::uint8_t kModeChoiceBsdFiltered = 5;
constexpr std::uint8_t kModeBsd = 0x03;
constexpr std::uint8_t kProtected = 0x80;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool AddFileEntry::IsMztExtension(std::string_view ext) {
    return EqualsIgnoringCase(ext, "MZT");
}

AddFileEntry::Proposal AddFileEntry::Propose(std::string_view fileName, std::uint64_t fileLength,
                                             const unsigned char* head, std::size_t headBytes,
                                             bool isMzt) {
    Proposal p;
    p.isMzt = isMzt;
    p.attribute = 0;
    if (isMzt) {
        const MztHeader header = MztHeader::FromPrefix(head, headBytes);
        p.name = header.NameText();
        p.mode = header.Mode();
        p.size = header.Size(); // the header's 16-bit field, not the file length
        p.loadAddress = header.LoadAddress();
        p.execAddress = header.ExecAddress();
        return p;
    }
    p.name = std::string(fileName);
    p.mode = fileLength <= kMaxObjBytes ? 1 : 4;
    // The full length, so that a file of 4 GiB or more cannot pass the 512 KB test by wrapping.
    p.size = fileLength > static_cast<std::uint64_t>(INT64_MAX)
                 ? INT64_MAX
                 : static_cast<std::int64_t>(fileLength);
    return p;
}

DirEntry::Bytes32 AddFileEntry::Build(std::string_view name, std::uint8_t modeChoice, bool protect,
                                      std::uint8_t attribute, std::int64_t size,
                                      std::uint16_t loadAddress, std::uint16_t execAddress) {
    DirEntry entry;
    entry.SetMode(modeChoice == kModeChoiceBsdFiltered ? kModeBsd : modeChoice);

    DirEntry::NameBytes field{};
    const std::string cut = CutSjis(name, DirEntry::kMaxStoredName);
    std::memcpy(field.data(), cut.data(), cut.size());
    // Byte 17 is still 0, so every name gets its 0x0D.
    for (unsigned char& c : field) {
        if (c == 0x00) {
            c = 0x0D;
            break;
        }
    }
    entry.SetNameField(field);

    entry.SetAttribute(protect ? static_cast<std::uint8_t>(attribute | kProtected) : attribute);
    entry.SetSize(static_cast<std::uint16_t>(static_cast<std::uint64_t>(size) & 0xFFFF));
    entry.SetLoadAddress(loadAddress);
    entry.SetExecAddress(execAddress);
    return entry.Bytes();
}

std::uint16_t AddFileEntry::ParseAddress(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 16);
    return static_cast<std::uint16_t>(static_cast<unsigned long>(value) & 0xFFFF);
}

int AddFileEntry::ParseSize(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
