#include <CLI/CLI.hpp>
#include <memory>

#include "cli/CliText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/HostFile.h"
#include "fs/IplHeader.h"
#include "fs/ResultCodes.h"
#include "fs/SjisText.h"
#include "image/DiskImage.h"
#include "image/Geometry.h"
#include "ui/PathParts.h"

namespace {

constexpr int kDefaultMachine = 1; // MZ-80B/2000/2200/2500
constexpr int kMaxMachine = 7;
constexpr int kFormatMzt = 0;
constexpr int kFormatBin = 1;

// Why ExtractBootProgram refused, found from the header it read.
std::string ExtractFailure(const DiskImage& disk) {
    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    if (!ipl.HasSignature())
        return "the disk has no boot program (no \"IPLPRO\" header)";
    if (!disk.Image().contains(static_cast<std::size_t>(ipl.StartSector()) * kSectorBytes,
                               ipl.ProgramBytes()))
        return "the boot program reaches past the end of the disk image";
    return "cannot write the file";
}

std::string RegisterFailure(int result) {
    switch (static_cast<RegisterBootResult>(result)) {
    case RegisterBootResult::CannotOpen:
        return "cannot read the file";
    case RegisterBootResult::Empty:
        return "no program to register (an empty file, or an MZT file of 128 bytes or less)";
    case RegisterBootResult::TooLarge:
        return "the program is too large (at most 65535 bytes)";
    case RegisterBootResult::NoSpace:
        return "no run of free clusters is long enough for the program";
    case RegisterBootResult::Ok:
        break;
    }
    return "writing the boot program failed";
}

void AddBootGet(CommandSet& commands) {
    struct Options {
        std::string image;
        std::string out;
        bool mzt = false;
        bool bin = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("boot-get", "Extract the boot program", [o, &io] {
        DiskImage disk;
        if (!LoadImage(io, "boot-get", o->image, disk))
            return kExitFailed;
        if (disk.ExtractBootProgram(o->out.c_str(), o->mzt ? kFormatMzt : kFormatBin) !=
            ToInt(ExtractBootResult::Ok))
            return Fail(io, "boot-get", o->out, ExtractFailure(disk));
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    sub->add_option("OUT", o->out, "File to write")->required();
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, "Write an MZT tape file (header and data)");
    CLI::Option* bin = sub->add_flag("--bin", o->bin, "Write the program alone (the default)");
    mzt->excludes(bin);
}

void AddBootPut(CommandSet& commands) {
    struct Options {
        std::string image;
        std::string hostFile;
        std::string output;
        std::string text;
        std::string exec;
        int machine = kDefaultMachine;
        bool mzt = false;
        bool plain = false;
        CLI::Option* textOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("boot-put", "Register a host file as the boot program", [o, &io] {
        const char* cmd = "boot-put";
        DiskImage disk;
        if (!LoadImageForWrite(io, cmd, o->image, disk))
            return kExitFailed;

        std::vector<unsigned char> data;
        std::uint64_t fileBytes = 0;
        switch (HostFile::Read(o->hostFile.c_str(), BootHeaderBuilder::kMaxFileBytes, data,
                               &fileBytes)) {
        case HostFile::ReadStatus::CannotOpen:
            return Fail(io, cmd, o->hostFile, "cannot read the file");
        case HostFile::ReadStatus::TooLarge:
            return Fail(io, cmd, o->hostFile,
                        "the file is too large (" + std::to_string(fileBytes) +
                            " bytes; at most 65535 bytes)");
        case HostFile::ReadStatus::Ok:
            break;
        }

        PathParts parts(PathStyle::Posix);
        parts.SetPath(o->hostFile.c_str());
        std::string ext = parts.GetExt();
        if (o->mzt)
            ext = "mzt";
        else if (o->plain)
            ext.clear();
        const std::string fileName = parts.GetPath(PP_FNAME | PP_EXT);
        // The proposal's text is disk text; a host name CP932 cannot hold needs --text.
        const TextResult sjisFileName = Utf8ToSjis(fileName);
        BootHeaderBuilder::Proposal proposal =
            BootHeaderBuilder::Propose(sjisFileName ? sjisFileName.text : std::string(), ext,
                                       ByteView(data.data(), data.size()));

        std::string text = proposal.text;
        if (o->textOption->count() > 0) {
            std::optional<std::string> sjis = SjisArgument(io, cmd, o->text);
            if (!sjis)
                return kExitFailed;
            text = *sjis;
        } else if (!proposal.mzt && !sjisFileName) {
            return Fail(io, cmd, fileName,
                        "the file name cannot be written in Shift-JIS (CP932); give --text");
        }

        const IplHeader header = BootHeaderBuilder::Build(
            o->machine, text, o->exec.empty() ? proposal.execAddress : *ParseHex16(o->exec));
        const int result = disk.RegisterBootFromBuffer(data.data(), data.size(),
                                                       header.Bytes().data(), proposal.mzt ? 0 : 1);
        if (result != ToInt(RegisterBootResult::Ok))
            return Fail(io, cmd, o->hostFile, RegisterFailure(result));
        return SaveImage(io, cmd, disk, o->image, o->output);
    });
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    sub->add_option("HOSTFILE", o->hostFile, "Program to register (at most 65535 bytes)")
        ->required();
    o->textOption =
        sub->add_option("--text", o->text,
                        "Start-up display text, at most 10 bytes in Shift-JIS (default: the MZT "
                        "name or the file name)");
    sub->add_option("--machine", o->machine,
                    "Machine code 0-7 (1: MZ-80B/2000/2200/2500, 3: MZ-700/1500; default 1)")
        ->check(CLI::Range(0, kMaxMachine));
    sub->add_option("--exec", o->exec, "Execution address, hexadecimal (default 0000)")
        ->check(HexAddress());
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, "Read HOSTFILE as an MZT file");
    CLI::Option* plain =
        sub->add_flag("--plain", o->plain, "Read HOSTFILE as a plain file, whatever its name");
    mzt->excludes(plain);
    sub->add_option("-o", o->output, "Write the changed image here instead of over IMAGE");
}

} // namespace

void AddBootCommands(CommandSet& commands) {
    AddBootGet(commands);
    AddBootPut(commands);
}
