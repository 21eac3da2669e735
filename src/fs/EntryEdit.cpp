#include "fs/EntryEdit.h"

#include "fs/AddFileEntry.h"
#include "fs/FileMode.h"
#include "fs/ResultCodes.h"
#include "fs/DiskImage.h"
#include "image/Geometry.h"

namespace {

// The modes a file may be given: those the add-file command stores.
bool IsStoredMode(std::uint8_t mode) {
    for (FileModeCode code :
         {FileModeCode::Obj, FileModeCode::Btx, FileModeCode::Bsd, FileModeCode::Brd})
        if (mode == FileMode::ToByte(code))
            return true;
    return false;
}

struct DateField {
    int bits;
    int min;
    int max;
};
// From the top bit down; 5 bits stay zero below the minute.
constexpr DateField kDateFields[] = {{7, 0, 99}, {4, 1, 12}, {5, 1, 31}, {5, 0, 23}, {6, 0, 59}};
constexpr int kDateDigits = 10;

static_assert(ToInt(RenameResult::NoEntry) == ToInt(EditInfoResult::NoEntry) &&
              ToInt(RenameResult::ReadOnlyDirectory) == ToInt(EditInfoResult::ReadOnlyDirectory));

// 0 when entry entryIndex of the current directory holds a file that may be changed, else
// NoEntry or ReadOnlyDirectory, whose codes both edits share. entry receives the entry.
int CheckChangeable(const DiskImage& disk, int entryIndex, DirEntry& entry) {
    unsigned char bytes[kDirEntryBytes];
    disk.ReadDirEntry(bytes, entryIndex);
    entry = DirEntry(bytes);
    if (entryIndex < 0 || entryIndex >= kDirEntries || !disk.HasImage() ||
        !DirectoryInImage(disk, disk.GetCurrentDir()) || entry.IsFree())
        return ToInt(RenameResult::NoEntry);
    if (!DirectoryWritable(disk, disk.GetCurrentDir()))
        return ToInt(RenameResult::ReadOnlyDirectory);
    return 0;
}

} // namespace

bool ModeChangeAllowed(std::uint8_t from, std::uint8_t to) {
    return IsStoredMode(to) && !FileMode::IsHiddenInList(from) &&
           FileMode::BodyLayoutOf(from) == FileMode::BodyLayoutOf(to);
}

std::optional<std::uint32_t> ParseEntryDate(std::string_view text) {
    if (text.size() != kDateDigits)
        return std::nullopt;
    std::uint32_t word = 0;
    int shift = 32;
    for (std::size_t f = 0; f < std::size(kDateFields); ++f) {
        const char high = text[2 * f];
        const char low = text[2 * f + 1];
        if (high < '0' || high > '9' || low < '0' || low > '9')
            return std::nullopt;
        const int value = (high - '0') * 10 + (low - '0');
        if (value < kDateFields[f].min || value > kDateFields[f].max)
            return std::nullopt;
        shift -= kDateFields[f].bits;
        word |= static_cast<std::uint32_t>(value) << shift;
    }
    return word;
}

int RemoveUnlessProtected(DiskImage& disk, int entryIndex, bool force) {
    if (!force && entryIndex >= 0 && entryIndex < kDirEntries) {
        unsigned char bytes[kDirEntryBytes];
        disk.ReadDirEntry(bytes, entryIndex);
        const DirEntry entry(bytes);
        if (!entry.IsFree() && IsProtected(entry))
            return ToInt(RemoveResult::Protected);
    }
    return disk.RemoveFile(entryIndex);
}

// Both keep the entry in its place with its body and every byte the change does not name, so
// the bitmap and every other entry stay as they are.

int DiskImage::RenameEntry(int entryIndex, std::string_view newNameUtf8, bool force) {
    DirEntry entry;
    if (const int refused = CheckChangeable(*this, entryIndex, entry); refused != 0)
        return refused;
    if (!force && IsProtected(entry))
        return ToInt(RenameResult::Protected);

    DirEntry::NameBytes field{};
    switch (AddFileEntry::NameFieldFor(newNameUtf8, field)) {
    case AddFileReason::Ok:
        break;
    case AddFileReason::NameEmpty:
        return ToInt(RenameResult::NameEmpty);
    default:
        return ToInt(RenameResult::NameNotEncodable);
    }
    if (NameTaken(*this, m_nCurDirSector, NameFieldText(field.data()), entryIndex))
        return ToInt(RenameResult::NameTaken);
    entry.SetNameField(field);
    ImageView().write(EntryOffset(m_nCurDirSector, entryIndex), entry.Bytes().data(),
                      kDirEntryBytes);
    return ToInt(RenameResult::Ok);
}

int DiskImage::EditEntryInfo(int entryIndex, const EntryInfoChanges& changes) {
    DirEntry entry;
    if (const int refused = CheckChangeable(*this, entryIndex, entry); refused != 0)
        return refused;
    if (changes.mode && !ModeChangeAllowed(entry.Mode(), *changes.mode))
        return ToInt(EditInfoResult::ModeKind);

    if (changes.protect) {
        const auto others = static_cast<std::uint8_t>(entry.Attribute() & ~kProtectedAttribute);
        entry.SetAttribute(
            *changes.protect ? static_cast<std::uint8_t>(others | kProtectedAttribute) : others);
    }
    if (changes.loadAddress)
        entry.SetLoadAddress(*changes.loadAddress);
    if (changes.execAddress)
        entry.SetExecAddress(*changes.execAddress);
    if (changes.date)
        entry.SetDate(*changes.date);
    if (changes.mode)
        entry.SetMode(*changes.mode);
    ImageView().write(EntryOffset(m_nCurDirSector, entryIndex), entry.Bytes().data(),
                      kDirEntryBytes);
    return ToInt(EditInfoResult::Ok);
}
