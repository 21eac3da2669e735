#include <CLI/CLI.hpp>
#include <map>
#include <memory>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DiskImage.h"
#include "fs/Messages.h"
#include "fs/Translation.h"
#include "host/HostCommands.h"
#include "host/ImageFile.h"

namespace {

constexpr const char* kCommand = "put";
constexpr int kModeNotGiven = 0;

// Adds one host file to disk in memory; kExitOk, or kExitFailed after the message naming the
// file (or the name or entry at fault) and the reason.
int AddOne(CliStreams& io, DiskImage& disk, const std::string& image, const std::string& hostFile,
           MztChoice mzt, const AddFileEntry::Choices& choices, bool force) {
    const AddFileSource source = ReadAddFileSource(hostFile, mzt);
    const AddFileOutcome outcome = AddFileFromSource(disk, source, choices, force);
    switch (outcome.reason) {
    case AddFileReason::Ok:
        break;
    case AddFileReason::BitmapMissesFile:
        return Fail(io, kCommand, image, CliMessage(outcome.hazard));
    case AddFileReason::NameNotEncodable:
        return Fail(io, kCommand, choices.nameUtf8.value_or(""), CliMessage(outcome.reason));
    case AddFileReason::FileNameNotEncodable:
        return Fail(io, kCommand, source.fileNameUtf8, CliMessage(outcome.reason));
    default:
        return Fail(io, kCommand, hostFile,
                    CliMessage(outcome.reason, source.fileBytes, source.proposal.mode));
    }
    if (outcome.result != ImportResult::Ok) {
        const bool aboutHostFile = outcome.result == ImportResult::CannotOpen ||
                                   outcome.result == ImportResult::MztTooShort;
        return Fail(io, kCommand,
                    aboutHostFile ? hostFile : ShownName(DirEntry(outcome.built.entry).NameText()),
                    CliMessage(outcome.result));
    }
    return kExitOk;
}

struct PutOptions {
    std::string image;
    std::vector<std::string> hostFiles;
    std::string output;
    bool force = false;
    std::string name;
    std::string load;
    std::string exec;
    std::string dir;
    int mode = kModeNotGiven;
    int disk = kFirstDisk;
    bool protect = false;
    bool mzt = false;
    bool plain = false;
    CLI::Option* nameOption = nullptr;
};

AddFileEntry::Choices ChoicesOf(const PutOptions& o) {
    AddFileEntry::Choices choices;
    if (o.nameOption->count() > 0)
        choices.nameUtf8 = o.name;
    if (o.mode != kModeNotGiven)
        choices.modeChoice = o.mode;
    choices.protect = o.protect;
    if (!o.load.empty())
        choices.loadText = o.load;
    if (!o.exec.empty())
        choices.execText = o.exec;
    return choices;
}

int RunPut(CliStreams& io, const PutOptions& o) {
    if (o.hostFiles.size() > 1 && o.nameOption->count() > 0)
        return Usage(io, kCommand, Tr("--name takes one HOSTFILE only"));
    DiskImage disk;
    ImageFileSession session;
    if (const int status = LoadImageForWrite(io, kCommand, o.image, disk, session, o.disk, o.force);
        status != kExitOk)
        return status;
    if (SelectDirectory(io, kCommand, disk, o.dir, true) < 0)
        return kExitFailed;
    const AddFileEntry::Choices choices = ChoicesOf(o);
    const MztChoice mzt = o.mzt     ? MztChoice::Mzt
                          : o.plain ? MztChoice::Plain
                                    : MztChoice::ByExtension;
    // The files go into the image in memory one after another; the first failure returns
    // before the save, so the file on disk holds either all of them or none.
    for (const std::string& hostFile : o.hostFiles)
        if (const int code = AddOne(io, disk, o.image, hostFile, mzt, choices, o.force);
            code != kExitOk)
            return code;
    return SaveImage(io, kCommand, disk, session, o.image, o.output, o.force);
}

} // namespace

void AddPutCommand(CommandSet& commands) {
    auto o = std::make_shared<PutOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("put", Tr("Add host files to a directory"), [o, &io] { return RunPut(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("HOSTFILE", o->hostFiles,
                    Tr("Files to add, in this order (each at most 512 KB); all or none are added"))
        ->required();
    o->nameOption = sub->add_option("--name", o->name,
                                    Tr("Name on the disk, at most 16 bytes in Shift-JIS (default: "
                                       "the MZT name or the file name)"));
    const std::map<std::string, int> modes = {
        {"obj", 1}, {"btx", 2}, {"bsd", 3}, {"brd", 4}, {"bsd-crlf", 5}};
    sub->add_option("--mode", o->mode,
                    Tr("obj, btx, bsd, brd or bsd-crlf (BSD with CR LF turned into CR); default: "
                       "the MZT mode, or obj up to 65535 bytes and brd above"))
        ->transform(CLI::CheckedTransformer(modes, CLI::ignore_case));
    sub->add_flag("--protect", o->protect, Tr("Mark the file protected (attribute bit 7)"));
    sub->add_option("--load", o->load, Tr("Load address, hexadecimal"))->check(HexAddress());
    sub->add_option("--exec", o->exec, Tr("Execution address, hexadecimal"))->check(HexAddress());
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, Tr("Read HOSTFILE as an MZT file"));
    CLI::Option* plain = sub->add_flag("--plain", o->plain,
                                       Tr("Read HOSTFILE as a plain file (default unless it ends "
                                          "in .mzt)"));
    mzt->excludes(plain);
    sub->add_option("--dir", o->dir, Tr("Sub-directory: names from the root joined by \"/\""));
    AddDiskOption(sub, o->disk);
    sub->add_option("-o", o->output, Tr("Write the changed image here instead of over IMAGE"));
    sub->add_flag("--force", o->force, kForceWriteHelp);
}
