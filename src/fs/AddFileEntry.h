#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fs/DirEntry.h"
#include "fs/FsLimits.h"
#include "image/ByteView.h"

// Why the add-file command refuses a host file or the user's choices before any import runs.
enum class AddFileReason {
    Ok,
    CannotRead,           // the host file cannot be opened or read
    TooLarge,             // over 512 KB (for MZT files: over 512 KB of data)
    FileNameNotEncodable, // the proposed name (the host file name) is not CP932 text
    NameNotEncodable,     // the name the user typed is not CP932 text
    NameEmpty,            // nothing is left of the name after the cut at 16 bytes
    NoMode,               // no mode chosen, or an MZT header's mode outside 1 .. 5 kept
    MztShorterThanHeader, // an MZT file of fewer than 128 bytes: no header to take
    BitmapMissesFile,     // the bitmap leaves a body's clusters clear (AllocationHazard)
};

// The rules of the add-file command, shared by the GUI dialog and `darvex-cli put` so that both
// store the same entry for the same choices: what is proposed for a chosen host file, and the
// directory entry built from what the user confirms.
class AddFileEntry {
public:
    static constexpr std::int64_t kMaxFileBytes = static_cast<std::int64_t>(kMaxAddFileBytes);
    // Plain files up to this length are proposed as OBJ, longer ones as BRD.
    static constexpr std::uint64_t kMaxObjBytes = kMaxSizeField;

    struct Proposal {
        std::string name;          // Shift-JIS bytes, not yet cut to 16
        std::string nameUtf8;      // the same name for an edit box (undecodable bytes as \xHH)
        bool nameEncodable = true; // false: a host file name CP932 cannot hold (name empty)
        std::uint8_t mode = 1;     // mode choice 1..5, or an MZT header's mode byte as it is
        std::uint8_t attribute = 0;
        std::int64_t size = 0; // MZT: the header's size field; plain: the file length
        std::uint16_t loadAddress = 0;
        std::uint16_t execAddress = 0;
        bool isMzt = false;

        bool TooLarge() const { return size > kMaxFileBytes; }
    };

    // What the user confirmed; an absent value keeps the proposal's.
    struct Choices {
        std::optional<std::string> nameUtf8{}; // converted to Shift-JIS (CP932)
        std::optional<int> modeChoice{};       // 1..5; 0 when the dialog has none selected
        bool protect = false;
        std::optional<std::string> sizeText{}; // read as ParseSize reads it
        std::optional<std::string> loadText{}; // read with AddressSyntax::Lenient
        std::optional<std::string> execText{};
    };

    struct Built {
        AddFileReason reason = AddFileReason::Ok;
        DirEntry::Bytes32 entry{};
        int plain = 1;       // the import's plain argument
        int storageMode = 0; // the import's storageMode: the mode choice
        int modeChoice = 0;  // the mode that was checked (for messages)
    };

    // The extension alone decides: "mzt" in any letter case, never the file's content. ext is
    // what PathParts::GetExt gives for the chosen path (without the dot).
    static bool IsMztExtension(std::string_view ext);

    // fileName: the file name with its extension, already in Shift-JIS. head: the file's first
    // bytes (at least 128 are looked at for an MZT file; missing ones count as 0).
    static Proposal Propose(std::string_view fileName, std::uint64_t fileLength,
                            const unsigned char* head, std::size_t headBytes, bool isMzt);
    // The same from the host file name as UTF-8 (the name with its extension, no folder).
    static Proposal ProposeForHostFile(std::string_view fileNameUtf8, std::uint64_t fileLength,
                                       ByteView head, bool isMzt);
    // Whether a host file of this length is refused before the dialog opens: a proposal over
    // 512 KB, or a file longer than 512 KB of data plus an MZT header.
    static bool Refused(const Proposal& proposal, std::uint64_t fileLength);

    // The entry from a proposal and the user's choices, or the reason it cannot be built.
    static Built BuildEntry(const Proposal& proposal, const Choices& choices);

    // The 32 bytes of the entry: the name cut to 16 bytes at a character boundary, zero padded
    // and ended by 0x0D; mode choice 5 stored as 0x03 (BSD); protect sets attribute bit 7; the
    // low 16 bits of size; date and startSector 0.
    static DirEntry::Bytes32 Build(std::string_view name, std::uint8_t modeChoice, bool protect,
                                   std::uint8_t attribute, std::int64_t size,
                                   std::uint16_t loadAddress, std::uint16_t execAddress);

    // The name rules for a name the user gives (UTF-8), shared by adding and renaming a file:
    // CP932 text (NameNotEncodable), something left before its first CR or NUL once cut to 16
    // bytes at a character boundary (NameEmpty). On Ok, field is the 17-byte name field.
    static AddFileReason NameFieldFor(std::string_view nameUtf8, DirEntry::NameBytes& field);
    // The 17-byte field of a Shift-JIS name: cut to 16 bytes at a character boundary, zero
    // padded, ended by 0x0D.
    static DirEntry::NameBytes NameField(std::string_view sjisName);

    // The size field read as a signed decimal ("%d"): blanks and a sign first, digits until the
    // first other character, 0 without digits; saturated to the int range.
    static int ParseSize(const std::string& text);

    // The import's plain argument for a proposal's kind of file.
    static int PlainFlag(bool isMzt) { return isMzt ? 0 : 1; }
};
