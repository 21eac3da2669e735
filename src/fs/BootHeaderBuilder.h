#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fs/IplHeader.h"
#include "image/ByteView.h"

// What the boot-register command proposes for a chosen host file and the header record it
// hands to RegisterBootProgram, shared by the dialog and the command-line tool.
class BootHeaderBuilder {
public:
    // Limit on the whole host file, an MZT header included.
    static constexpr std::uint64_t kMaxFileBytes = 65535;
    static constexpr std::size_t kMaxTextBytes = 10;
    static constexpr const char* kTooLargeMessage =
        "書き込むファイルのサイズが大きすぎます.\n最大 65535 バイトまでです.";
    static constexpr const char* kRegisterFailedMessage =
        "ブートプログラムの書き込みに失敗しました. ";

    struct Proposal {
        bool mzt = false;              // the file is taken as an MZT file (plain = 0)
        std::string text;              // start-up display text, Shift-JIS bytes
        std::uint16_t execAddress = 0; // always 0, also when an MZT header holds one
    };

    // Whether a host file extension (without the dot) names an MZT file: "MZT" in any case.
    static bool IsMztExtension(std::string_view ext);
    // fileName is the file name with its extension; head the first bytes of the file (an MZT
    // file's header; bytes it lacks read as zero). An MZT file proposes its header name, any
    // other file its own name.
    static Proposal Propose(std::string_view fileName, std::string_view ext, ByteView head);
    static bool IsTooLarge(std::uint64_t fileBytes) { return fileBytes > kMaxFileBytes; }

    // The display text as far as it is stored: at most 10 bytes, not splitting a double-byte
    // character.
    static std::string CutText(std::string_view text);
    // An address typed as hexadecimal, read the way strtol reads base 16 (blanks, sign, "0x",
    // up to the first non-digit; no digits give 0), low 16 bits kept.
    static std::uint16_t ParseExecAddress(std::string_view text);
    // The header record: byte 0 the machine code, bytes 7..16 the cut text padded with zeros
    // and ended by 0x0D at the first zero of bytes 7..17, bytes 24..25 the execution address.
    static IplHeader Build(int machine, std::string_view text, std::uint16_t execAddress);
};
