#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fs/FsLimits.h"
#include "fs/IplHeader.h"
#include "image/ByteView.h"

// Why the boot-register command refuses a host file or the user's choices before registering.
enum class BootRegisterReason {
    Ok,
    CannotRead,           // the host file cannot be opened or read
    TooLarge,             // the whole file (an MZT header included) is over 65535 bytes
    FileNameNotEncodable, // the proposed text (the host file name) is not CP932 text
    TextNotEncodable,     // the text the user typed is not CP932 text
    BitmapMissesFile,     // the bitmap leaves a body's clusters clear (AllocationHazard)
};

// What the boot-register command proposes for a chosen host file and the header record it
// hands to RegisterBootProgram, shared by the dialog and the command-line tool.
class BootHeaderBuilder {
public:
    // Limit on the whole host file, an MZT header included.
    static constexpr std::uint64_t kMaxFileBytes = kMaxSizeField;
    static constexpr std::size_t kMaxTextBytes = 10;
    static constexpr int kDefaultMachine = 1; // MZ-80B/2000/2200/2500
    static constexpr int kMaxMachine = 7;

    struct Proposal {
        bool mzt = false;              // the file is taken as an MZT file (plain = 0)
        std::string text;              // start-up display text, Shift-JIS bytes
        std::string textUtf8;          // the same text for an edit box
        bool textEncodable = true;     // false: a host file name CP932 cannot hold
        std::uint16_t execAddress = 0; // always 0, also when an MZT header holds one
    };

    // What the user confirmed; an absent value keeps the proposal's.
    struct Choices {
        std::optional<std::string> textUtf8{};
        int machine = kDefaultMachine;         // 0..7, stored as given (low 8 bits)
        std::optional<std::string> execText{}; // read with AddressSyntax::Lenient
    };

    struct Built {
        BootRegisterReason reason = BootRegisterReason::Ok;
        IplHeader header;
        int plain = 1; // the registration's plain argument
    };

    // Whether a host file extension (without the dot) names an MZT file: "MZT" in any case.
    static bool IsMztExtension(std::string_view ext);
    // fileName is the file name with its extension; head the first bytes of the file (an MZT
    // file's header; bytes it lacks read as zero). An MZT file proposes its header name, any
    // other file its own name.
    static Proposal Propose(std::string_view fileName, std::string_view ext, ByteView head);
    // The same from the host file name as UTF-8 and the decision whether it is an MZT file.
    static Proposal ProposeForHostFile(std::string_view fileNameUtf8, ByteView head, bool isMzt);
    static bool IsTooLarge(std::uint64_t fileBytes) { return fileBytes > kMaxFileBytes; }

    // The header record from a proposal and the user's choices, or the reason it cannot be
    // built.
    static Built BuildHeader(const Proposal& proposal, const Choices& choices);

    // The display text as far as it is stored: at most 10 bytes, not splitting a double-byte
    // character.
    static std::string CutText(std::string_view text);
    // The header record: byte 0 the machine code, bytes 7..16 the cut text padded with zeros
    // and ended by 0x0D at the first zero of bytes 7..17, bytes 24..25 the execution address.
    static IplHeader Build(int machine, std::string_view text, std::uint16_t execAddress);
};
