#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <set>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DiskImage.h"
#include "fs/EntryEdit.h"
#include "fs/ListRow.h"
#include "fs/Messages.h"
#include "fs/Translation.h"
#include "host/ImageFile.h"

namespace {

constexpr const char* kCommand = "rm";

struct RmOptions {
    std::string image;
    std::vector<std::string> names;
    std::vector<int> indices;
    std::string dir;
    std::string output;
    int disk = kFirstDisk;
    bool force = false;
};

// The entries the names and indices name. Every one is looked up before the first deletion,
// so a missing one changes nothing: nullopt after the messages.
std::optional<std::set<int>> ChosenEntries(CliStreams& io, const RmOptions& o,
                                           const std::vector<ListRow>& rows) {
    std::set<int> entries;
    bool missing = false;
    for (const std::string& name : o.names) {
        std::optional<std::string> sjis = SjisArgument(io, kCommand, name);
        const ListRow* row = sjis ? FindListedName(rows, *sjis) : nullptr;
        if (sjis && row == nullptr)
            Fail(io, kCommand, name, Tr("no such file"));
        if (row == nullptr)
            missing = true;
        else
            entries.insert(row->entryIndex);
    }
    for (int index : o.indices) {
        if (FindListedIndex(rows, index) == nullptr) {
            Fail(io, kCommand, FormatText(Tr("entry %s"), {std::to_string(index)}),
                 Tr("not a listed file (free, hidden or a directory)"));
            missing = true;
        } else {
            entries.insert(index);
        }
    }
    if (missing)
        return std::nullopt;
    return entries;
}

int RunRm(CliStreams& io, const RmOptions& o) {
    if (o.names.empty() && o.indices.empty())
        return Usage(io, kCommand, Tr("give NAME or --index N"));
    DiskImage disk;
    ImageFileSession session;
    if (const int status = LoadImageForWrite(io, kCommand, o.image, disk, session, o.disk, o.force);
        status != kExitOk)
        return status;
    const int sector = SelectDirectory(io, kCommand, disk, o.dir, true);
    if (sector < 0)
        return kExitFailed;
    const std::vector<ListRow> rows = ListDirectory(disk, sector);
    const std::optional<std::set<int>> entries = ChosenEntries(io, o, rows);
    if (!entries)
        return kExitFailed;
    for (int index : *entries)
        if (const auto result =
                static_cast<RemoveResult>(RemoveUnlessProtected(disk, index, o.force));
            result != RemoveResult::Ok)
            return Fail(io, kCommand, ShownName(FindListedIndex(rows, index)->entry.NameText()),
                        CliMessage(result));
    return SaveImage(io, kCommand, disk, session, o.image, o.output, o.force);
}

} // namespace

void AddRmCommand(CommandSet& commands) {
    auto o = std::make_shared<RmOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("rm", Tr("Delete files from a directory"), [o, &io] { return RunRm(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("NAME", o->names, Tr("Names of the files to delete"));
    sub->add_option("--index", o->indices, Tr("Entry number 0-63 to delete (may be repeated)"))
        ->check(CLI::Range(0, 63));
    sub->add_option("--dir", o->dir, Tr("Sub-directory: names from the root joined by \"/\""));
    AddDiskOption(sub, o->disk);
    sub->add_option("-o", o->output, Tr("Write the changed image here instead of over IMAGE"));
    sub->add_flag("--force", o->force,
                  Tr("Delete protected files (attribute bit 7), and save where the image is marked "
                     "read-only or the save loses sector records of the D88 file"));
}
