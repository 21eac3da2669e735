#include "cli/CommandSupport.h"

#include <CLI/CLI.hpp>

#include "fs/AddressText.h"
#include "fs/DirEntry.h"
#include "fs/DirTree.h"
#include "fs/SjisText.h"
#include "host/ImageFile.h"
#include "image/DiskImage.h"

bool LoadImage(CliStreams& io, std::string_view command, const std::string& path, DiskImage& disk) {
    std::string reason;
    if (ImageFile::Read(path, disk, reason))
        return true;
    Fail(io, command, path, reason);
    return false;
}

bool LoadImageForWrite(CliStreams& io, std::string_view command, const std::string& path,
                       DiskImage& disk) {
    const ImageFileStatus status = ImageFile::LoadForChange(path, disk);
    if (status.Ok())
        return true;
    Fail(io, command, path, status.MessageEn());
    return false;
}

int SaveImage(CliStreams& io, std::string_view command, const DiskImage& disk,
              const std::string& path, const std::string& output) {
    const std::string& target = output.empty() ? path : output;
    std::string reason;
    if (!ImageFile::Write(target, disk, reason))
        return Fail(io, command, target, reason);
    return kExitOk;
}

std::optional<std::string> SjisArgument(CliStreams& io, std::string_view command,
                                        const std::string& utf8) {
    TextResult sjis = Utf8ToSjis(utf8);
    if (sjis)
        return sjis.text;
    Fail(io, command, utf8, "cannot be written in Shift-JIS (CP932)");
    return std::nullopt;
}

int SelectDirectory(CliStreams& io, std::string_view command, DiskImage& disk,
                    const std::string& dirPath, bool forWrite) {
    std::optional<std::string> sjisPath = SjisArgument(io, command, dirPath);
    if (!sjisPath)
        return -1;
    const int sector = ResolveDirPath(disk, *sjisPath);
    if (sector < 0) {
        Fail(io, command, dirPath, "no such directory");
        return -1;
    }
    if (forWrite && !DirectoryInImage(disk, sector)) {
        Fail(io, command, dirPath, "the directory lies outside the disk image");
        return -1;
    }
    disk.SetCurrentDir(sector);
    return sector;
}

const ListRow* FindListedName(const std::vector<ListRow>& rows, std::string_view name) {
    for (const ListRow& row : rows)
        if (row.entry.NameText() == name)
            return &row;
    return nullptr;
}

const ListRow* FindListedIndex(const std::vector<ListRow>& rows, int index) {
    for (const ListRow& row : rows)
        if (row.entryIndex == index)
            return &row;
    return nullptr;
}

std::string ShownName(std::string_view sjis) {
    return SjisToDisplay(sjis);
}

CLI::Validator HexAddress() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (ParseAddress(text, AddressSyntax::Strict))
                return {};
            return "not a 16-bit hexadecimal address (1 to 4 hex digits): " + text;
        },
        "HEX");
}
