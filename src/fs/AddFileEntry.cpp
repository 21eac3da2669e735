#include "fs/AddFileEntry.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "fs/AddressText.h"
#include "fs/EntryEdit.h"
#include "fs/FileMode.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "fs/SjisText.h"

namespace {

// The name ends at its first CR or NUL, as every name on the disk is read: something must be
// left of it before that once it is cut to 16 bytes.
bool NameStorable(std::string_view sjisName) {
    return !NameFieldText(AddFileEntry::NameField(sjisName).data()).empty();
}

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
    p.mode =
        static_cast<std::uint8_t>(fileLength <= kMaxObjBytes ? StorageMode::Obj : StorageMode::Brd);
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
    entry.SetMode(modeChoice == ToInt(StorageMode::BsdCrlf) ? FileMode::ToByte(FileModeCode::Bsd)
                                                            : modeChoice);

    entry.SetNameField(NameField(name));

    entry.SetAttribute(protect ? static_cast<std::uint8_t>(attribute | kProtectedAttribute)
                               : attribute);
    entry.SetSize(static_cast<std::uint16_t>(static_cast<std::uint64_t>(size) & 0xFFFF));
    entry.SetLoadAddress(loadAddress);
    entry.SetExecAddress(execAddress);
    return entry.Bytes();
}

DirEntry::NameBytes AddFileEntry::NameField(std::string_view sjisName) {
    DirEntry::NameBytes field{};
    const std::string cut = CutSjis(sjisName, DirEntry::kMaxStoredName);
    std::memcpy(field.data(), cut.data(), cut.size());
    // Byte 17 is still 0, so every name gets its 0x0D.
    TerminateNameField(MutableByteView(field.data(), field.size()));
    return field;
}

AddFileReason AddFileEntry::NameFieldFor(std::string_view nameUtf8, DirEntry::NameBytes& field) {
    const TextResult sjis = Utf8ToSjis(nameUtf8);
    if (!sjis)
        return AddFileReason::NameNotEncodable;
    if (!NameStorable(sjis.text))
        return AddFileReason::NameEmpty;
    field = NameField(sjis.text);
    return AddFileReason::Ok;
}

int AddFileEntry::ParseSize(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

AddFileEntry::Proposal AddFileEntry::ProposeForHostFile(std::string_view fileNameUtf8,
                                                        std::uint64_t fileLength, ByteView head,
                                                        bool isMzt) {
    const TextResult sjis = Utf8ToSjis(fileNameUtf8);
    Proposal p = Propose(sjis ? std::string_view(sjis.text) : std::string_view(), fileLength,
                         head.data(), head.size(), isMzt);
    if (isMzt) {
        p.nameUtf8 = SjisToDisplay(p.name);
    } else {
        p.nameUtf8 = std::string(fileNameUtf8);
        p.nameEncodable = sjis.ok;
    }
    return p;
}

bool AddFileEntry::Refused(const Proposal& proposal, std::uint64_t fileLength) {
    return proposal.TooLarge() ||
           fileLength > static_cast<std::uint64_t>(kMaxFileBytes) + MztHeader::kBytes;
}

AddFileEntry::Built AddFileEntry::BuildEntry(const Proposal& proposal, const Choices& choices) {
    Built built;
    built.plain = PlainFlag(proposal.isMzt);
    std::string name = proposal.name;
    if (choices.nameUtf8) {
        const TextResult sjis = Utf8ToSjis(*choices.nameUtf8);
        if (!sjis) {
            built.reason = AddFileReason::NameNotEncodable;
            return built;
        }
        name = sjis.text;
    } else if (!proposal.nameEncodable) {
        built.reason = AddFileReason::FileNameNotEncodable;
        return built;
    }
    if (!NameStorable(name)) {
        built.reason = AddFileReason::NameEmpty;
        return built;
    }
    built.modeChoice = choices.modeChoice.value_or(proposal.mode);
    if (built.modeChoice < kFirstStorageMode || built.modeChoice > kLastStorageMode) {
        built.reason = AddFileReason::NoMode;
        return built;
    }
    built.storageMode = built.modeChoice;
    const std::int64_t size = choices.sizeText ? ParseSize(*choices.sizeText) : proposal.size;
    const std::uint16_t load = choices.loadText
                                   ? *ParseAddress(*choices.loadText, AddressSyntax::Lenient)
                                   : proposal.loadAddress;
    const std::uint16_t exec = choices.execText
                                   ? *ParseAddress(*choices.execText, AddressSyntax::Lenient)
                                   : proposal.execAddress;
    built.entry = Build(name, static_cast<std::uint8_t>(built.modeChoice), choices.protect,
                        proposal.attribute, size, load, exec);
    return built;
}
