#include "fs/BootHeaderBuilder.h"

#include <array>
#include <cstdlib>

#include "fs/DirEntry.h"
#include "fs/SjisText.h"

namespace {

constexpr std::size_t kMztNameOffset = 1;

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool BootHeaderBuilder::IsMztExtension(std::string_view ext) {
    constexpr std::string_view kMzt = "MZT";
    if (ext.size() != kMzt.size())
        return false;
    for (std::size_t i = 0; i < kMzt.size(); ++i)
        if (Upper(ext[i]) != kMzt[i])
            return false;
    return true;
}

BootHeaderBuilder::Proposal BootHeaderBuilder::Propose(std::string_view fileName,
                                                       std::string_view ext, ByteView head) {
    Proposal proposal;
    if (IsMztExtension(ext)) {
        std::array<unsigned char, DirEntry::kNameBytes> name;
        head.copyTo(name.data(), kMztNameOffset, name.size());
        proposal.mzt = true;
        proposal.text = NameFieldText(name.data());
    } else {
        proposal.text = std::string(fileName);
    }
    return proposal;
}

std::string BootHeaderBuilder::CutText(std::string_view text) {
    return CutSjis(text, kMaxTextBytes);
}

std::uint16_t BootHeaderBuilder::ParseExecAddress(std::string_view text) {
    const std::string copy(text); // strtol needs the terminating NUL
    const long value = std::strtol(copy.c_str(), nullptr, 16);
    return static_cast<std::uint16_t>(static_cast<unsigned long>(value) & 0xFFFF);
}

IplHeader BootHeaderBuilder::Build(int machine, std::string_view text, std::uint16_t execAddress) {
    IplHeader header;
    header.SetMachine(static_cast<std::uint8_t>(machine & 0xFF));
    IplHeader::TextBytes field{};
    const std::string cut = CutText(text);
    std::copy(cut.begin(), cut.end(), field.begin());
    // Byte 17 is still zero here, so the text always gets its 0x0D.
    for (unsigned char& c : field) {
        if (c == 0x00) {
            c = 0x0D;
            break;
        }
    }
    header.SetDisplayText(field);
    header.SetExecAddress(execAddress);
    return header;
}
