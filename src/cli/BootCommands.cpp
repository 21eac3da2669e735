#include <CLI/CLI.hpp>
#include <memory>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DiskImage.h"
#include "fs/Messages.h"
#include "host/ExtractOutput.h"
#include "host/HostCommands.h"
#include "host/ImageFile.h"

namespace {

struct BootGetOptions {
    std::string image;
    std::string out;
    int disk = kFirstDisk;
    bool mzt = false;
    bool bin = false;
};

int RunBootGet(CliStreams& io, const BootGetOptions& o) {
    DiskImage disk;
    if (const int status = LoadImage(io, "boot-get", o.image, disk, o.disk); status != kExitOk)
        return status;
    ExtractOutput output;
    output.imagePath = o.image;
    const ExtractBootOutcome outcome = ExtractBootToFile(
        disk, o.out, ToInt(o.mzt ? ExportFormat::Mzt : ExportFormat::Bin), output);
    if (!outcome.Ok())
        return Fail(io, "boot-get", o.out, outcome.CliMessage());
    return kExitOk;
}

void AddBootGet(CommandSet& commands) {
    auto o = std::make_shared<BootGetOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("boot-get", Tr("Extract the boot program"),
                                 [o, &io] { return RunBootGet(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("OUT", o->out, Tr("File to write"))->required();
    AddDiskOption(sub, o->disk);
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, Tr("Write an MZT tape file (header and data)"));
    CLI::Option* bin = sub->add_flag("--bin", o->bin, Tr("Write the program alone (the default)"));
    mzt->excludes(bin);
}

struct BootPutOptions {
    std::string image;
    std::string hostFile;
    std::string output;
    std::string text;
    bool force = false;
    std::string exec;
    int machine = BootHeaderBuilder::kDefaultMachine;
    int disk = kFirstDisk;
    bool mzt = false;
    bool plain = false;
    CLI::Option* textOption = nullptr;
};

// kExitOk, or kExitFailed after the message naming what is at fault.
int Register(CliStreams& io, DiskImage& disk, const BootPutOptions& o) {
    const char* cmd = "boot-put";
    const BootSource source = ReadBootSource(o.hostFile, o.mzt     ? MztChoice::Mzt
                                                         : o.plain ? MztChoice::Plain
                                                                   : MztChoice::ByExtension);
    BootHeaderBuilder::Choices choices;
    if (o.textOption->count() > 0)
        choices.textUtf8 = o.text;
    choices.machine = o.machine;
    if (!o.exec.empty())
        choices.execText = o.exec;
    const BootOutcome outcome = RegisterBootFromSource(disk, source, choices, o.force);
    switch (outcome.reason) {
    case BootRegisterReason::Ok:
        break;
    case BootRegisterReason::BitmapMissesFile:
        return Fail(io, cmd, o.image, CliMessage(outcome.hazard));
    case BootRegisterReason::TextNotEncodable:
        return Fail(io, cmd, o.text, CliMessage(outcome.reason));
    case BootRegisterReason::FileNameNotEncodable:
        return Fail(io, cmd, source.fileNameUtf8, CliMessage(outcome.reason));
    default:
        return Fail(io, cmd, o.hostFile, CliMessage(outcome.reason, source.fileBytes));
    }
    if (outcome.result != RegisterBootResult::Ok)
        return Fail(io, cmd, o.hostFile, CliMessage(outcome.result));
    return kExitOk;
}

int RunBootPut(CliStreams& io, const BootPutOptions& o) {
    DiskImage disk;
    ImageFileSession session;
    if (const int status =
            LoadImageForWrite(io, "boot-put", o.image, disk, session, o.disk, o.force);
        status != kExitOk)
        return status;
    if (const int status = Register(io, disk, o); status != kExitOk)
        return status;
    return SaveImage(io, "boot-put", disk, session, o.image, o.output, o.force);
}

void AddBootPut(CommandSet& commands) {
    auto o = std::make_shared<BootPutOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("boot-put", Tr("Register a host file as the boot program"),
                                 [o, &io] { return RunBootPut(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("HOSTFILE", o->hostFile, Tr("Program to register (at most 65535 bytes)"))
        ->required();
    o->textOption =
        sub->add_option("--text", o->text,
                        Tr("Start-up display text, at most 10 bytes in Shift-JIS (default: the MZT "
                           "name or the file name)"));
    sub->add_option("--machine", o->machine,
                    Tr("Machine code 0-7 (1: MZ-80B/2000/2200/2500, 3: MZ-700/1500; default 1)"))
        ->check(CLI::Range(0, BootHeaderBuilder::kMaxMachine));
    sub->add_option("--exec", o->exec, Tr("Execution address, hexadecimal (default 0000)"))
        ->check(HexAddress());
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, Tr("Read HOSTFILE as an MZT file"));
    CLI::Option* plain =
        sub->add_flag("--plain", o->plain, Tr("Read HOSTFILE as a plain file, whatever its name"));
    mzt->excludes(plain);
    AddDiskOption(sub, o->disk);
    sub->add_option("-o", o->output, Tr("Write the changed image here instead of over IMAGE"));
    sub->add_flag("--force", o->force, kForceWriteHelp);
}

} // namespace

void AddBootCommands(CommandSet& commands) {
    if (commands.Wants("boot-get"))
        AddBootGet(commands);
    if (commands.Wants("boot-put"))
        AddBootPut(commands);
}
