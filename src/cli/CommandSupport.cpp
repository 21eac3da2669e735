#include "cli/CommandSupport.h"
#include "cli/CliLanguage.h"

#include <CLI/CLI.hpp>

#include "fs/AddressText.h"
#include "fs/DirEntry.h"
#include "fs/DirTree.h"
#include "fs/DiskImage.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "fs/Translation.h"
#include "host/ImageFile.h"

void AddDiskOption(CLI::App* sub, int& diskNumber) {
    sub->add_option("--disk", diskNumber,
                    Tr("Disk of the file to work on, counted from 1 (default 1; info lists them)"))
        ->check(CLI::PositiveNumber);
}

namespace {

int OpenFailed(CliStreams& io, std::string_view command, const std::string& path,
               const ImageFileStatus& status) {
    return Fail(io, command, path, status.CliMessage());
}

int Select(CliStreams& io, std::string_view command, const std::string& path, DiskImage& disk,
           int diskNumber) {
    const auto result = static_cast<DiskSelectResult>(disk.SelectDisk(diskNumber - 1));
    const std::string message = CliMessage(result, diskNumber, disk.GetDiskCount());
    switch (result) {
    case DiskSelectResult::Ok:
        return kExitOk;
    case DiskSelectResult::NoSuchDisk:
        return Usage(io, command, message);
    case DiskSelectResult::Damaged:
        break;
    }
    return Fail(io, command, path, message);
}

} // namespace

int LoadImage(CliStreams& io, std::string_view command, const std::string& path, DiskImage& disk,
              int diskNumber, bool requireMz) {
    ImageFileStatus status = ImageFile::Load(path, disk);
    if (!status.Ok())
        return OpenFailed(io, command, path, status);
    if (const int selected = Select(io, command, path, disk, diskNumber); selected != kExitOk)
        return selected;
    if (requireMz && !disk.IsMzFileSystem()) {
        status.error = ImageFileError::NotMzFsToRead;
        return OpenFailed(io, command, path, status);
    }
    return kExitOk;
}

int LoadImageForHeader(CliStreams& io, std::string_view command, const std::string& path,
                       DiskImage& disk, ImageFileSession& session, int diskNumber) {
    ImageFileStatus status = session.Open(path);
    if (status.Ok())
        status = session.Load(disk);
    if (!status.Ok())
        return OpenFailed(io, command, path, status);
    return diskNumber > 0 ? Select(io, command, path, disk, diskNumber) : kExitOk;
}

int LoadImageForWrite(CliStreams& io, std::string_view command, const std::string& path,
                      DiskImage& disk, ImageFileSession& session, int diskNumber, bool force) {
    if (const int status = LoadImageForHeader(io, command, path, disk, session, diskNumber);
        status != kExitOk)
        return status;
    if (const ChangeRefusal refusal = disk.WhyNotChangeable(); refusal != ChangeRefusal::None)
        return Fail(io, command, path, CliMessage(refusal, diskNumber));
    if (!force && disk.GetLoadReport().SaveLosesData())
        return Fail(io, command, path, SaveLossCli(disk.GetLoadReport()));
    return kExitOk;
}

int Usage(CliStreams& io, std::string_view command, std::string_view message) {
    io.err << "darvex-cli: " << command << ": " << message << '\n'
           << FormatText(Tr("Run '%s' for usage."),
                         {"darvex-cli " + std::string(command) + " --help"})
           << '\n';
    return kExitUsage;
}

int SaveImage(CliStreams& io, std::string_view command, const DiskImage& disk,
              ImageFileSession& session, const std::string& path, const std::string& output,
              bool force) {
    const std::string& target = output.empty() ? path : output;
    const ImageFileStatus status = output.empty() ? session.Save(disk, nullptr, force)
                                                  : ImageFile::Save(output, disk, nullptr, force);
    if (!status.Ok())
        return Fail(io, command, target, status.CliMessage());
    if (status.otherLinks)
        io.err << "darvex-cli: " << command << ": " << target << ": "
               << Tr("warning: the file has other names (hard links), which still show the old "
                     "disk")
               << '\n';
    return kExitOk;
}

std::optional<std::string> SjisArgument(CliStreams& io, std::string_view command,
                                        const std::string& utf8) {
    TextResult sjis = Utf8ToSjis(utf8);
    if (sjis)
        return sjis.text;
    Fail(io, command, utf8, Tr("cannot be written in Shift-JIS (CP932)"));
    return std::nullopt;
}

int SelectDirectory(CliStreams& io, std::string_view command, DiskImage& disk,
                    const std::string& dirPath, bool forWrite) {
    std::optional<std::string> sjisPath = SjisArgument(io, command, dirPath);
    if (!sjisPath)
        return -1;
    const int sector = ResolveDirPath(disk, *sjisPath);
    if (sector < 0) {
        Fail(io, command, dirPath, Tr("no such directory"));
        return -1;
    }
    if (forWrite && !DirectoryInImage(disk, sector)) {
        Fail(io, command, dirPath, Tr("the directory lies outside the disk image"));
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
    return SjisToTerminal(sjis);
}

CLI::Validator HexAddress() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (ParseAddress(text, AddressSyntax::Strict))
                return {};
            return FormatText(Tr("not a 16-bit hexadecimal address (1 to 4 hex digits): %s"),
                              {text});
        },
        "HEX");
}
