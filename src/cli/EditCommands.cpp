#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <utility>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/AddressText.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/EntryEdit.h"
#include "fs/FileMode.h"
#include "fs/ListRow.h"
#include "fs/Messages.h"
#include "fs/Translation.h"
#include "host/ImageFile.h"

namespace {

constexpr int kNoIndex = -1;

// What rename and attr share: the image, the entry by NAME or --index, the directory, where
// the changed image goes and --force.
struct EntryOptions {
    std::string image;
    std::string name;
    int index = kNoIndex;
    std::string dir;
    std::string output;
    int disk = kFirstDisk;
    bool force = false;

    void AddTo(CLI::App* sub, const char* forceHelp) {
        sub->add_option("--index", index, Tr("Entry number 0-63 instead of NAME"))
            ->check(CLI::Range(0, 63));
        sub->add_option("--dir", dir, Tr("Sub-directory: names from the root joined by \"/\""));
        AddDiskOption(sub, disk);
        sub->add_option("-o", output, Tr("Write the changed image here instead of over IMAGE"));
        sub->add_flag("--force", force, Tr(forceHelp));
    }
};

// Loads the image for a change and makes the entry's directory current. The entry's index, or
// -1 after the message with the exit status in status.
int OpenEntry(CliStreams& io, std::string_view command, const EntryOptions& o, DiskImage& disk,
              ImageFileSession& session, int& status) {
    status = LoadImageForWrite(io, command, o.image, disk, session, o.disk, o.force);
    if (status != kExitOk)
        return -1;
    status = kExitFailed;
    const int sector = SelectDirectory(io, command, disk, o.dir, true);
    if (sector < 0)
        return -1;
    const std::vector<ListRow> rows = ListDirectory(disk, sector);
    if (o.index != kNoIndex) {
        if (const ListRow* row = FindListedIndex(rows, o.index))
            return row->entryIndex;
        Fail(io, command, FormatText(Tr("entry %s"), {std::to_string(o.index)}),
             Tr("not a listed file (free, hidden or a directory)"));
        return -1;
    }
    const std::optional<std::string> sjis = SjisArgument(io, command, o.name);
    if (!sjis)
        return -1;
    if (const ListRow* row = FindListedName(rows, *sjis))
        return row->entryIndex;
    Fail(io, command, o.name, Tr("no such file"));
    return -1;
}

// The file's name for messages: NAME as given, or the name entry --index holds.
std::string Subject(const EntryOptions& o, const DiskImage& disk, int entryIndex) {
    if (o.index == kNoIndex)
        return o.name;
    unsigned char bytes[DirEntry::kBytes];
    disk.ReadDirEntry(bytes, entryIndex);
    return ShownName(DirEntry(bytes).NameText());
}

struct RenameOptions : EntryOptions {
    std::string newName;
    CLI::Option* nameOption = nullptr;
    CLI::Option* newNameOption = nullptr;
};

constexpr const char* kRename = "rename";

int RunRename(CliStreams& io, RenameOptions& o) {
    if (o.index != kNoIndex) {
        if (o.newNameOption->count() > 0 || o.nameOption->count() == 0)
            return Usage(io, kRename, Tr("with --index give only IMAGE and NEWNAME"));
        o.newName = std::exchange(o.name, {}); // the first free positional is NEWNAME
    } else if (o.newNameOption->count() == 0) {
        return Usage(io, kRename, Tr("give NAME and NEWNAME, or --index N and NEWNAME"));
    }
    DiskImage disk;
    ImageFileSession session;
    int status = kExitOk;
    const int entry = OpenEntry(io, kRename, o, disk, session, status);
    if (entry < 0)
        return status;
    const auto result = static_cast<RenameResult>(disk.RenameEntry(entry, o.newName, o.force));
    switch (result) {
    case RenameResult::Ok:
        return SaveImage(io, kRename, disk, session, o.image, o.output, o.force);
    case RenameResult::NameNotEncodable:
    case RenameResult::NameEmpty:
    case RenameResult::NameTaken:
        return Fail(io, kRename, o.newName, CliMessage(result));
    default:
        return Fail(io, kRename, Subject(o, disk, entry), CliMessage(result));
    }
}

void AddRename(CommandSet& commands) {
    auto o = std::make_shared<RenameOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add(kRename, Tr("Rename a file"), [o, &io] { return RunRename(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    o->nameOption = sub->add_option("NAME", o->name,
                                    Tr("Name of the file on the disk (with --index: NEWNAME)"));
    o->newNameOption =
        sub->add_option("NEWNAME", o->newName,
                        Tr("New name, at most 16 bytes in Shift-JIS, not taken in the directory"));
    o->AddTo(sub, N_("Rename a protected file, and save where the image is marked read-only or "
                     "the save loses sector records of the D88 file"));
}

// attr's options as the core's changes; a bad address or date has been refused by the parser.
struct AttrOptions : EntryOptions {
    bool protect = false;
    bool noProtect = false;
    std::string load;
    std::string exec;
    std::string date;
    int mode = 0;

    EntryInfoChanges Changes() const {
        EntryInfoChanges changes;
        if (protect || noProtect)
            changes.protect = protect;
        if (!load.empty())
            changes.loadAddress = ParseAddress(load, AddressSyntax::Strict);
        if (!exec.empty())
            changes.execAddress = ParseAddress(exec, AddressSyntax::Strict);
        if (!date.empty())
            changes.date = ParseEntryDate(date);
        if (mode != 0)
            changes.mode = static_cast<std::uint8_t>(mode);
        return changes;
    }
};

constexpr const char* kAttr = "attr";

int RunAttr(CliStreams& io, const AttrOptions& o) {
    const EntryInfoChanges changes = o.Changes();
    if (changes.Empty())
        return Usage(io, kAttr,
                     Tr("give --protect, --no-protect, --load, --exec, --date or --mode"));
    if ((o.index != kNoIndex) == !o.name.empty())
        return Usage(io, kAttr, Tr("give NAME or --index N"));
    DiskImage disk;
    ImageFileSession session;
    int status = kExitOk;
    const int entry = OpenEntry(io, kAttr, o, disk, session, status);
    if (entry < 0)
        return status;
    const auto result = static_cast<EditInfoResult>(disk.EditEntryInfo(entry, changes));
    if (result != EditInfoResult::Ok)
        return Fail(io, kAttr, Subject(o, disk, entry), CliMessage(result));
    return SaveImage(io, kAttr, disk, session, o.image, o.output, o.force);
}

CLI::Validator EntryDate() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (ParseEntryDate(text))
                return {};
            return FormatText(Tr("not a date YYMMDDhhmm (ten digits): %s"), {text});
        },
        "YYMMDDhhmm");
}

void AddAttr(CommandSet& commands) {
    auto o = std::make_shared<AttrOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add(kAttr, Tr("Change a file's protection, addresses, date or mode"),
                                 [o, &io] { return RunAttr(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("NAME", o->name, Tr("Name of the file on the disk"));
    CLI::Option* protect =
        sub->add_flag("--protect", o->protect, Tr("Mark the file protected (attribute bit 7)"));
    CLI::Option* noProtect =
        sub->add_flag("--no-protect", o->noProtect, Tr("Clear the protection (attribute bit 7)"));
    protect->excludes(noProtect);
    sub->add_option("--load", o->load, Tr("Load address, hexadecimal"))->check(HexAddress());
    sub->add_option("--exec", o->exec, Tr("Execution address, hexadecimal"))->check(HexAddress());
    sub->add_option("--date", o->date,
                    Tr("Date: year, month, day, hour and minute, two digits each"))
        ->check(EntryDate());
    const std::map<std::string, int> modes = {{"obj", FileMode::ToByte(FileModeCode::Obj)},
                                              {"btx", FileMode::ToByte(FileModeCode::Btx)},
                                              {"bsd", FileMode::ToByte(FileModeCode::Bsd)},
                                              {"brd", FileMode::ToByte(FileModeCode::Brd)}};
    sub->add_option("--mode", o->mode,
                    Tr("obj, btx, bsd or brd; only to a mode that lays the body out alike (OBJ "
                       "and BTX turn into each other; BSD and BRD keep theirs)"))
        ->transform(CLI::CheckedTransformer(modes, CLI::ignore_case));
    o->AddTo(sub, kForceSaveHelp);
}

} // namespace

void AddEditCommands(CommandSet& commands) {
    if (commands.Wants("rename"))
        AddRename(commands);
    if (commands.Wants("attr"))
        AddAttr(commands);
}
