#include "fs/BootHeaderBuilder.h"

#include <cstdlib>

#include "fs/AddFileEntry.h"
#include "fs/MztHeader.h"
#include "fs/SjisText.h"

// The add-file command decides the same way, so both commands treat one file alike.
bool BootHeaderBuilder::IsMztExtension(std::string_view ext) {
    return AddFileEntry::IsMztExtension(ext);
}

BootHeaderBuilder::Proposal BootHeaderBuilder::Propose(std::string_view fileName,
                                                       std::string_view ext, ByteView head) {
    Proposal proposal;
    if (IsMztExtension(ext)) {
        proposal.mzt = true;
        proposal.text = MztHeader::FromPrefix(head.data(), head.size()).NameText();
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
