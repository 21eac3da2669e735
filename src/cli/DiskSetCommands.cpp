#include <CLI/CLI.hpp>
#include <memory>
#include <sys/stat.h>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DiskImage.h"
#include "fs/Messages.h"
#include "fs/Translation.h"
#include "host/ImageFile.h"

// The commands on the disks of a file and their D88 headers: new, disk-add, disk-rm, label.

namespace {

constexpr const char* kTypeHelp =
    N_("Disk type: 0 MZ-2500 2DD 80 cylinders, 1 MZ-2500 2D 40 cylinders, 2 MZ-2500 2D 35 "
       "cylinders, 3 MZ-2000 2D 35 cylinders");
constexpr const char* kForceFileHelp = N_("Save even where the image file is marked read-only");

CLI::Option* AddTypeOption(CLI::App* sub, int& type) {
    return sub->add_option("--type", type, Tr(kTypeHelp))
        ->required()
        ->check(CLI::Range(0, FlatImage::kDiskTypeCount - 1));
}

struct NewOptions {
    std::string image;
    int type = 0;
    int disks = 1;
    bool force = false;
};

int RunNew(CliStreams& io, const NewOptions& o) {
    struct stat st {};
    if (!o.force && lstat(o.image.c_str(), &st) == 0)
        return Fail(io, "new", o.image, Tr("the file already exists (--force replaces it)"));
    DiskImage disk;
    disk.Format(o.type);
    for (int added = 1; added < o.disks; ++added)
        if (const auto result = static_cast<DiskAddResult>(disk.AddDisk(o.type));
            result != DiskAddResult::Ok)
            return Fail(io, "new", o.image, CliMessage(result));
    std::string reason;
    if (!ImageFile::Write(o.image, disk, reason, o.force))
        return Fail(io, "new", o.image, reason);
    return kExitOk;
}

void AddNew(CommandSet& commands) {
    auto o = std::make_shared<NewOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("new", Tr("Create a disk image of empty disks (saved as D88)"),
                                 [o, &io] { return RunNew(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file to create"))->required();
    AddTypeOption(sub, o->type);
    sub->add_option("--disks", o->disks, Tr("Number of disks in the file (default 1)"))
        ->check(CLI::Range(1, DiskSet::kMaxDisks));
    sub->add_flag("--force", o->force, Tr("Replace an existing file"));
}

struct DiskAddOptions {
    std::string image;
    std::string output;
    int type = 0;
    bool force = false;
};

int RunDiskAdd(CliStreams& io, const DiskAddOptions& o) {
    DiskImage disk;
    ImageFileSession session;
    if (const int status = LoadImageForHeader(io, "disk-add", o.image, disk, session, 0);
        status != kExitOk)
        return status;
    if (const auto result = static_cast<DiskAddResult>(disk.AddDisk(o.type));
        result != DiskAddResult::Ok)
        return Fail(io, "disk-add", o.image, CliMessage(result));
    return SaveImage(io, "disk-add", disk, session, o.image, o.output, o.force);
}

void AddDiskAdd(CommandSet& commands) {
    auto o = std::make_shared<DiskAddOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("disk-add", Tr("Append an empty disk to the file"),
                                 [o, &io] { return RunDiskAdd(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    AddTypeOption(sub, o->type);
    sub->add_option("-o", o->output, Tr("Write the changed image here instead of over IMAGE"));
    sub->add_flag("--force", o->force, Tr(kForceFileHelp));
}

struct DiskRmOptions {
    std::string image;
    std::string output;
    int disk = 0;
    bool force = false;
};

int RunDiskRm(CliStreams& io, const DiskRmOptions& o) {
    DiskImage disk;
    ImageFileSession session;
    if (const int status = LoadImageForHeader(io, "disk-rm", o.image, disk, session, 0);
        status != kExitOk)
        return status;
    if (o.disk > disk.GetDiskCount())
        return Usage(io, "disk-rm",
                     CliMessage(DiskSelectResult::NoSuchDisk, o.disk, disk.GetDiskCount()));
    if (const auto result = static_cast<DiskRemoveResult>(disk.RemoveDisk(o.disk - 1));
        result != DiskRemoveResult::Ok)
        return Fail(io, "disk-rm", o.image, CliMessage(result, o.disk));
    return SaveImage(io, "disk-rm", disk, session, o.image, o.output, o.force);
}

void AddDiskRm(CommandSet& commands) {
    auto o = std::make_shared<DiskRmOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("disk-rm", Tr("Remove a disk from the file (not its last one)"),
                                 [o, &io] { return RunDiskRm(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("--disk", o->disk, Tr("The disk to remove, counted from 1"))
        ->required()
        ->check(CLI::PositiveNumber);
    sub->add_option("-o", o->output, Tr("Write the changed image here instead of over IMAGE"));
    sub->add_flag("--force", o->force, Tr(kForceFileHelp));
}

struct LabelOptions {
    std::string image;
    std::string output;
    std::string name;
    std::string writeProtect;
    int disk = kFirstDisk;
    bool force = false;
    CLI::Option* nameOption = nullptr;
};

int RunLabel(CliStreams& io, const LabelOptions& o) {
    const bool newName = o.nameOption->count() > 0;
    if (!newName && o.writeProtect.empty())
        return Usage(io, "label", Tr("give --name or --write-protect"));
    DiskImage disk;
    ImageFileSession session;
    if (const int status = LoadImageForHeader(io, "label", o.image, disk, session, o.disk);
        status != kExitOk)
        return status;
    if (newName) {
        const std::optional<std::string> sjis = SjisArgument(io, "label", o.name);
        if (!sjis)
            return kExitFailed;
        disk.SetDiskName(*sjis);
    }
    if (!o.writeProtect.empty())
        disk.SetWriteProtected(o.writeProtect == "on");
    return SaveImage(io, "label", disk, session, o.image, o.output, o.force);
}

void AddLabel(CommandSet& commands) {
    auto o = std::make_shared<LabelOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("label", Tr("Change a disk's name or write-protect flag (the D88 header)"),
                     [o, &io] { return RunLabel(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    AddDiskOption(sub, o->disk);
    o->nameOption = sub->add_option(
        "--name", o->name, Tr("Disk name, at most 16 bytes in Shift-JIS (a longer one is cut)"));
    sub->add_option("--write-protect", o->writeProtect,
                    Tr("on or off: whether commands may change the disk's files"))
        ->check(CLI::IsMember({"on", "off"}));
    sub->add_option("-o", o->output, Tr("Write the changed image here instead of over IMAGE"));
    sub->add_flag("--force", o->force, Tr(kForceFileHelp));
}

} // namespace

void AddDiskSetCommands(CommandSet& commands) {
    if (commands.Wants("new"))
        AddNew(commands);
    if (commands.Wants("disk-add"))
        AddDiskAdd(commands);
    if (commands.Wants("disk-rm"))
        AddDiskRm(commands);
    if (commands.Wants("label"))
        AddLabel(commands);
}
