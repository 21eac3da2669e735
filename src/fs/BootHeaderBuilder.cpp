#include "fs/BootHeaderBuilder.h"

#include "fs/AddFileEntry.h"
#include "fs/AddressText.h"
#include "fs/DirEntry.h"
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

BootHeaderBuilder::Proposal BootHeaderBuilder::ProposeForHostFile(std::string_view fileNameUtf8,
                                                                  ByteView head, bool isMzt) {
    const TextResult sjis = Utf8ToSjis(fileNameUtf8);
    Proposal proposal =
        Propose(sjis ? std::string_view(sjis.text) : std::string_view(), isMzt ? "mzt" : "", head);
    if (isMzt) {
        proposal.textUtf8 = SjisToDisplay(proposal.text);
    } else {
        proposal.textUtf8 = std::string(fileNameUtf8);
        proposal.textEncodable = sjis.ok;
    }
    return proposal;
}

BootHeaderBuilder::Built BootHeaderBuilder::BuildHeader(const Proposal& proposal,
                                                        const Choices& choices) {
    Built built;
    built.plain = proposal.mzt ? 0 : 1;
    std::string text = proposal.text;
    if (choices.textUtf8) {
        const TextResult sjis = Utf8ToSjis(*choices.textUtf8);
        if (!sjis) {
            built.reason = BootRegisterReason::TextNotEncodable;
            return built;
        }
        text = sjis.text;
    } else if (!proposal.textEncodable) {
        built.reason = BootRegisterReason::FileNameNotEncodable;
        return built;
    }
    const std::uint16_t exec = choices.execText
                                   ? *ParseAddress(*choices.execText, AddressSyntax::Lenient)
                                   : proposal.execAddress;
    built.header = Build(choices.machine, text, exec);
    return built;
}

std::string BootHeaderBuilder::CutText(std::string_view text) {
    return CutSjis(text, kMaxTextBytes);
}

IplHeader BootHeaderBuilder::Build(int machine, std::string_view text, std::uint16_t execAddress) {
    IplHeader header;
    header.SetMachine(static_cast<std::uint8_t>(machine & 0xFF));
    IplHeader::TextBytes field{};
    const std::string cut = CutText(text);
    std::copy(cut.begin(), cut.end(), field.begin());
    // Byte 17 is still zero here, so the text always gets its 0x0D.
    TerminateNameField(MutableByteView(field.data(), field.size()));
    header.SetDisplayText(field);
    header.SetExecAddress(execAddress);
    return header;
}
