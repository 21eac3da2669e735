#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/ListRow.h"
#include "fs/Translation.h"
#include "host/ExtractOutput.h"
#include "host/HostNames.h"
#include "image/DiskImage.h"

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

int Usage(CliStreams& io, std::string_view message) {
    io.err << "darvex-cli: " << kCommand << ": " << message << "\n"
           << FormatText(Tr("Run '%s' for usage."), {"darvex-cli get --help"}) << '\n';
    return kExitUsage;
}

} // namespace

void AddGetCommand(CommandSet& commands) {
    struct Options {
        std::string image;
        std::string name;
        std::string out;
        std::string dir;
        std::string all;
        int index = kNoIndex;
        bool mzt = false;
        bool bin = false;
        bool force = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("get", Tr("Extract files from a directory"), [o, &io] {
        std::string out = o->out;
        if (o->index != kNoIndex) {
            if (!o->out.empty())
                return Usage(io, Tr("with --index give only IMAGE and OUT"));
            out = o->name; // the first free positional is OUT
        }
        const bool byName = o->index == kNoIndex && !o->name.empty();
        const bool all = !o->all.empty();
        if (all && (byName || o->index != kNoIndex || !out.empty()))
            return Usage(io, Tr("--all takes no NAME, OUT or --index"));
        if (!all && !byName && o->index == kNoIndex)
            return Usage(io, Tr("give NAME, --index N or --all DIR"));

        DiskImage disk;
        if (!LoadImage(io, kCommand, o->image, disk, !o->force))
            return kExitFailed;
        const int sector = SelectDirectory(io, kCommand, disk, o->dir, false);
        if (sector < 0)
            return kExitFailed;
        const std::vector<ListRow> rows = ListDirectory(disk, sector);
        ExtractOutput output;
        output.imagePath = o->image;
        output.force = o->force;
        if (all) {
            output.name = OutputName::Unseen;
            return ExportAll(io, disk, rows, o->all, o->mzt, output);
        }

        const ListRow* row = nullptr;
        if (byName) {
            std::optional<std::string> name = SjisArgument(io, kCommand, o->name);
            if (!name)
                return kExitFailed;
            row = FindListedName(rows, *name);
            if (row == nullptr)
                return Fail(io, kCommand, o->name, Tr("no such file"));
        } else {
            row = FindListedIndex(rows, o->index);
            if (row == nullptr)
                return Fail(io, kCommand, FormatText(Tr("entry %s"), {std::to_string(o->index)}),
                            Tr("not a listed file (free, hidden or a directory)"));
        }

        // Only an OUT that names the file replaces one; a name made here never does.
        fs::path path = out;
        std::error_code ec;
        if (out.empty() || fs::is_directory(path, ec)) {
            path /= HostNameFor(*row, o->mzt);
            output.name = OutputName::Unseen;
        }
        return Export(io, disk, *row, path, o->mzt, output);
    });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("NAME", o->name, Tr("Name of the file on the disk (with --index: OUT)"));
    sub->add_option("OUT", o->out,
                    Tr("File or folder to write (default: a name made from the entry's name, in "
                       "the current folder)"));
    sub->add_option("--index", o->index, Tr("Entry number 0-63 instead of NAME"))
        ->check(CLI::Range(0, 63));
    sub->add_option("--all", o->all, Tr("Extract every listed file into this folder"));
    sub->add_option("--dir", o->dir, Tr("Sub-directory: names from the root joined by \"/\""));
    CLI::Option* mzt = sub->add_flag("--mzt", o->mzt, Tr("Write MZT tape files (header and data)"));
    CLI::Option* bin = sub->add_flag("--bin", o->bin, Tr("Write the data alone (the default)"));
    mzt->excludes(bin);
    sub->add_flag(
        "--force", o->force,
        Tr("Read a disk that is not an MZ file system, and take a file whose body lies in "
           "the reserved area or past the disk, all the same"));
}
