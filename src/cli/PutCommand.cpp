#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <memory>

#include "cli/CliText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/AddFileEntry.h"
#include "fs/HostFile.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "fs/SjisText.h"
#include "image/DiskImage.h"
#include "ui/PathParts.h"

namespace {

constexpr const char* kCommand = "put";
constexpr int kModeNotGiven = 0;
constexpr int kFirstModeChoice = 1; // OBJ
constexpr int kLastModeChoice = 5;  // BSD with CR LF turned into CR

std::string ImportFailure(int result) {
    switch (static_cast<ImportResult>(result)) {
    case ImportResult::NoFreeEntry:
        return "the directory has no free entry";
    case ImportResult::CannotOpen:
        return "cannot read the file";
    case ImportResult::MztTooShort:
        return "an MZT file of 128 bytes or less holds no data";
    case ImportResult::NoSpace:
        return "not enough free space on the disk";
    case ImportResult::NameTaken:
        return "a file of this name already exists";
    case ImportResult::TooLarge:
        return "too large for this mode (OBJ, BTX and BSD files hold at most 65535 bytes, "
               "BRD files 512 KB)";
    case ImportResult::FreeMode:
        return "mode 0x00 would mark the entry free";
    case ImportResult::Ok:
        break;
    }
    return "writing the file to the disk image failed for an unknown reason";
}

} // namespace

void AddPutCommand(CommandSet& commands) {
    struct Options {
        std::string image;
        std::string hostFile;
        std::string output;
        std::string name;
        std::string load;
        std::string exec;
        std::string dir;
        int mode = kModeNotGiven;
        bool protect = false;
        bool mzt = false;
        bool plain = false;
        CLI::Option* nameOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("put", "Add a host file to a directory", [o, &io] {
        DiskImage disk;
        if (!LoadImageForWrite(io, kCommand, o->image, disk))
            return kExitFailed;
        if (SelectDirectory(io, kCommand, disk, o->dir, true) < 0)
            return kExitFailed;

        // An MZT file over the limit also carries more than 512 KB of data, which no mode
        // can store, so one read limit serves both kinds of file.
        std::vector<unsigned char> data;
        std::uint64_t fileBytes = 0;
        switch (HostFile::Read(o->hostFile.c_str(), AddFileEntry::kMaxFileBytes + MztHeader::kBytes,
                               data, &fileBytes)) {
        case HostFile::ReadStatus::CannotOpen:
            return Fail(io, kCommand, o->hostFile, "cannot read the file");
        case HostFile::ReadStatus::TooLarge: // refused below, with its length
        case HostFile::ReadStatus::Ok:
            break;
        }

        PathParts parts(PathStyle::Posix);
        parts.SetPath(o->hostFile.c_str());
        const bool isMzt = o->mzt || (!o->plain && AddFileEntry::IsMztExtension(parts.GetExt()));
        const std::string fileName = parts.GetPath(PP_FNAME | PP_EXT);
        const TextResult sjisFileName = Utf8ToSjis(fileName);
        AddFileEntry::Proposal proposal =
            AddFileEntry::Propose(sjisFileName ? sjisFileName.text : std::string(), fileBytes,
                                  data.data(), data.size(), isMzt);
        if (proposal.TooLarge() || fileBytes > AddFileEntry::kMaxFileBytes + MztHeader::kBytes)
            return Fail(io, kCommand, o->hostFile,
                        "the file to write is too large (" + std::to_string(fileBytes) +
                            " bytes; at most 512 KB)");

        std::string name = proposal.name;
        if (o->nameOption->count() > 0) {
            std::optional<std::string> sjis = SjisArgument(io, kCommand, o->name);
            if (!sjis)
                return kExitFailed;
            name = *sjis;
        } else if (!isMzt && !sjisFileName) {
            return Fail(io, kCommand, fileName,
                        "the file name cannot be written in Shift-JIS (CP932); give --name");
        }

        if (CutSjis(name, DirEntry::kMaxStoredName).empty())
            return Fail(io, kCommand, o->hostFile, "the name on the disk is empty");

        int modeChoice = o->mode != kModeNotGiven ? o->mode : proposal.mode;
        if (modeChoice < kFirstModeChoice || modeChoice > kLastModeChoice) {
            char mode[8];
            std::snprintf(mode, sizeof mode, "0x%02X", static_cast<unsigned>(proposal.mode));
            return Fail(io, kCommand, o->hostFile,
                        std::string("the MZT header's mode ") + mode +
                            " is not OBJ, BTX, BSD or BRD; choose one with --mode");
        }

        const std::uint16_t load = o->load.empty() ? proposal.loadAddress : *ParseHex16(o->load);
        const std::uint16_t exec = o->exec.empty() ? proposal.execAddress : *ParseHex16(o->exec);
        DirEntry::Bytes32 entry =
            AddFileEntry::Build(name, static_cast<std::uint8_t>(modeChoice), o->protect,
                                proposal.attribute, proposal.size, load, exec);
        const int result = disk.ImportFromBuffer(data.data(), data.size(), entry.data(),
                                                 AddFileEntry::PlainFlag(isMzt), modeChoice);
        if (result != ToInt(ImportResult::Ok)) {
            const bool aboutHostFile = result == ToInt(ImportResult::CannotOpen) ||
                                       result == ToInt(ImportResult::MztTooShort);
            return Fail(io, kCommand,
                        aboutHostFile ? o->hostFile : ShownName(DirEntry(entry).NameText()),
                        ImportFailure(result));
        }
        return SaveImage(io, kCommand, disk, o->image, o->output);
    });
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    sub->add_option("HOSTFILE", o->hostFile, "File to add (at most 512 KB)")->required();
    o->nameOption = sub->add_option("--name", o->name,
                                    "Name on the disk, at most 16 bytes in Shift-JIS (default: "
                                    "the MZT name or the file name)");
    const std::map<std::string, int> modes = {
        {"obj", 1}, {"btx", 2}, {"bsd", 3}, {"brd", 4}, {"bsd-crlf", 5}};
    sub->add_option("--mode", o->mode,
                    "obj, btx, bsd, brd or bsd-crlf (BSD with CR LF turned into CR); default: "
                    "the MZT mode, or obj up to 65535 bytes and brd above")
        ->transform(CLI::CheckedTransformer(modes, CLI::ignore_case));
    sub->add_flag("--protect", o->protect, "Mark the file protected (attribute bit 7)");
    sub->add_option("--load", o->load, "Load address, hexadecimal")->check(HexAddress());
    sub->add_option("--exec", o->exec, "Execution address, hexadecimal")->check(HexAddress());
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, "Read HOSTFILE as an MZT file");
    CLI::Option* plain = sub->add_flag("--plain", o->plain,
                                       "Read HOSTFILE as a plain file (default unless it ends "
                                       "in .mzt)");
    mzt->excludes(plain);
    sub->add_option("--dir", o->dir, "Sub-directory: names from the root joined by \"/\"");
    sub->add_option("-o", o->output, "Write the changed image here instead of over IMAGE");
}
