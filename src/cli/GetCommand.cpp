#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DiskImage.h"
#include "fs/ListRow.h"
#include "fs/Translation.h"
#include "host/ExtractOutput.h"
#include "host/HostNames.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kCommand = "get";
constexpr int kNoIndex = -1;

std::string HostNameFor(const ListRow& row, bool mzt) {
    return SafeHostFileName(ProposeExtractName(row.entry.NameText(), mzt));
}

int Export(CliStreams& io, const DiskImage& disk, const ListRow& row, const fs::path& path,
           bool mzt, const ExtractOutput& output) {
    const ExportOutcome outcome =
        ExportEntryToFile(disk, row.entryIndex, path.string(),
                          ToInt(mzt ? ExportFormat::Mzt : ExportFormat::Bin), output);
    if (!outcome.Ok())
        return Fail(io, kCommand, outcome.Subject(), outcome.CliMessage());
    io.out << outcome.path << '\n';
    return kExitOk;
}

// Every name here is made from the disk and seen by nobody before it is written, so none
// replaces a file (the core numbers it instead).
int ExportAll(CliStreams& io, const DiskImage& disk, const std::vector<ListRow>& rows,
              const fs::path& folder, bool mzt, const ExtractOutput& output) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        return Fail(io, kCommand, folder.string(),
                    Tr("cannot create the folder") + (ec ? ": " + ec.message() : std::string()));
    int status = kExitOk;
    // Names are made safe one by one, so every file lands directly inside folder.
    for (const ListRow& row : rows)
        if (Export(io, disk, row, folder / HostNameFor(row, mzt), mzt, output) != kExitOk)
            status = kExitFailed;
    return status;
}

struct GetOptions {
    std::string image;
    std::string name;
    std::string out;
    std::string dir;
    std::string all;
    int index = kNoIndex;
    int disk = kFirstDisk;
    bool mzt = false;
    bool bin = false;
    bool force = false;
};

// The row NAME or --index names; nullptr after the message when there is none.
const ListRow* ChosenRow(CliStreams& io, const GetOptions& o, const std::vector<ListRow>& rows) {
    if (o.index == kNoIndex) {
        std::optional<std::string> name = SjisArgument(io, kCommand, o.name);
        const ListRow* row = name ? FindListedName(rows, *name) : nullptr;
        if (name && row == nullptr)
            Fail(io, kCommand, o.name, Tr("no such file"));
        return row;
    }
    const ListRow* row = FindListedIndex(rows, o.index);
    if (row == nullptr)
        Fail(io, kCommand, FormatText(Tr("entry %s"), {std::to_string(o.index)}),
             Tr("not a listed file (free, hidden or a directory)"));
    return row;
}

int RunGet(CliStreams& io, const GetOptions& o) {
    // With --index the first free positional is OUT.
    const std::string out = o.index != kNoIndex ? o.name : o.out;
    const bool all = !o.all.empty();
    if (o.index != kNoIndex && !o.out.empty())
        return Usage(io, kCommand, Tr("with --index give only IMAGE and OUT"));
    if (all && (!o.name.empty() || o.index != kNoIndex || !o.out.empty()))
        return Usage(io, kCommand, Tr("--all takes no NAME, OUT or --index"));
    if (!all && o.name.empty() && o.index == kNoIndex)
        return Usage(io, kCommand, Tr("give NAME, --index N or --all DIR"));

    DiskImage disk;
    if (const int status = LoadImage(io, kCommand, o.image, disk, o.disk, !o.force);
        status != kExitOk)
        return status;
    const int sector = SelectDirectory(io, kCommand, disk, o.dir, false);
    if (sector < 0)
        return kExitFailed;
    const std::vector<ListRow> rows = ListDirectory(disk, sector);
    ExtractOutput output;
    output.imagePath = o.image;
    output.force = o.force;
    if (all) {
        output.name = OutputName::Unseen;
        return ExportAll(io, disk, rows, o.all, o.mzt, output);
    }
    const ListRow* row = ChosenRow(io, o, rows);
    if (row == nullptr)
        return kExitFailed;
    // Only an OUT that names the file replaces one; a name made here never does.
    fs::path path = out;
    std::error_code ec;
    if (out.empty() || fs::is_directory(path, ec)) {
        path /= HostNameFor(*row, o.mzt);
        output.name = OutputName::Unseen;
    }
    return Export(io, disk, *row, path, o.mzt, output);
}

} // namespace

void AddGetCommand(CommandSet& commands) {
    auto o = std::make_shared<GetOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("get", Tr("Extract files from a directory"), [o, &io] { return RunGet(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("NAME", o->name, Tr("Name of the file on the disk (with --index: OUT)"));
    sub->add_option("OUT", o->out,
                    Tr("File or folder to write (default: a name made from the entry's name, in "
                       "the current folder)"));
    sub->add_option("--index", o->index, Tr("Entry number 0-63 instead of NAME"))
        ->check(CLI::Range(0, 63));
    sub->add_option("--all", o->all, Tr("Extract every listed file into this folder"));
    sub->add_option("--dir", o->dir, Tr("Sub-directory: names from the root joined by \"/\""));
    AddDiskOption(sub, o->disk);
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, Tr("Write MZT tape files (header and data)"));
    CLI::Option* bin = sub->add_flag("--bin", o->bin, Tr("Write the data alone (the default)"));
    mzt->excludes(bin);
    sub->add_flag(
        "--force", o->force,
        Tr("Read a disk that is not an MZ file system, and take a file whose body lies in "
           "the reserved area or past the disk, all the same"));
}
