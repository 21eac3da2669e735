#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "fs/DirEntry.h"

class DiskImage;

// Changing a file's entry in place: its name (DiskImage::RenameEntry) and its information
// (DiskImage::EditEntryInfo), and the protection that keeps a file from being deleted or
// renamed by a command that does not insist.

// Attribute bit 7: the file is protected.
inline constexpr std::uint8_t kProtectedAttribute = 0x80;

inline bool IsProtected(const DirEntry& entry) {
    return (entry.Attribute() & kProtectedAttribute) != 0;
}

// What EditEntryInfo changes; an absent value keeps the entry's.
struct EntryInfoChanges {
    std::optional<bool> protect{}; // sets or clears attribute bit 7; the other bits stay
    std::optional<std::uint16_t> loadAddress{};
    std::optional<std::uint16_t> execAddress{};
    std::optional<std::uint32_t> date{};
    std::optional<std::uint8_t> mode{};

    bool Empty() const { return !protect && !loadAddress && !execAddress && !date && !mode; }
};

// Whether an entry of mode `from` may become mode `to`: `to` is OBJ, BTX, BSD or BRD, `from`
// is a listed file's mode, and both read the body in the same layout. So OBJ and BTX (and the
// other contiguous modes) turn into each other; a BSD chain or a BRD index keeps its mode,
// since the other would read its sectors as something they are not; a DIR never changes.
bool ModeChangeAllowed(std::uint8_t from, std::uint8_t to);

// The date word of "YYMMDDhhmm" (ten digits, month 1..12, day 1..31, hour 0..23, minute
// 0..59), packed from the top bit down: year 7 bits, month 4, day 5, hour 5, minute 6, and 5
// zero bits. nullopt for any other text.
std::optional<std::uint32_t> ParseEntryDate(std::string_view yymmddhhmm);

// RemoveFile, except that a protected file is refused with RemoveResult::Protected unless
// force is set. The int is a RemoveResult.
int RemoveUnlessProtected(DiskImage& disk, int entryIndex, bool force);
