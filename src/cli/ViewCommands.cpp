#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/CliText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/ListRow.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "image/DiskImage.h"
#include "view/FileView.h"
#include "view/HexView.h"
#include "view/SectorView.h"

namespace {

using nlohmann::json;

constexpr int kNoIndex = -1;
constexpr int kNoSector = -1;

const char* KindName(ViewKind kind) {
    switch (kind) {
    case ViewKind::Basic:
        return "basic";
    case ViewKind::Text:
        return "text";
    case ViewKind::Hex:
        return "hex";
    }
    return "hex";
}

// Names for scripts.
const char* NoteName(ViewNoteCode code) {
    switch (code) {
    case ViewNoteCode::BasicPastSize:
        return "basic-past-size";
    case ViewNoteCode::BasicBrokenChain:
        return "basic-broken-chain";
    case ViewNoteCode::BasicNotAscending:
        return "basic-not-ascending";
    case ViewNoteCode::BasicNoEndMark:
        return "basic-no-end-mark";
    case ViewNoteCode::BasicM25:
        return "basic-m25";
    case ViewNoteCode::NotSBasic:
        return "not-s-basic";
    case ViewNoteCode::BodyEndedEarly:
        return "body-ended-early";
    case ViewNoteCode::BodyLeftImage:
        return "body-left-image";
    case ViewNoteCode::BodyChainLoop:
        return "body-chain-loop";
    case ViewNoteCode::SectorMissing:
        return "sector-missing";
    case ViewNoteCode::SectorShortRecord:
        return "sector-short-record";
    case ViewNoteCode::SectorLongRecord:
        return "sector-long-record";
    case ViewNoteCode::SectorDuplicate:
        return "sector-duplicate";
    case ViewNoteCode::SectorNotLoaded:
        return "sector-not-loaded";
    case ViewNoteCode::BootNone:
        return "boot-none";
    case ViewNoteCode::BootPastDisk:
        return "boot-past-disk";
    }
    return "unknown";
}

json NotesJson(const std::vector<ViewNote>& notes) {
    json array = json::array();
    for (const ViewNote& note : notes) {
        json item = {
            {"code", NoteName(note.code)}, {"line", note.atLine}, {"message", NoteMessageEn(note)}};
        if (note.offset >= 0)
            item["offset"] = note.offset;
        if (note.value >= 0)
            item["value"] = note.value;
        if (note.previous >= 0)
            item["previous"] = note.previous;
        array.push_back(std::move(item));
    }
    return array;
}

// Notes go to standard error, each where it stands among the lines (standard output is
// flushed first), so that a listing piped into a file stays the program alone.
void Warn(CliStreams& io, std::string_view command, std::string_view subject,
          const ViewNote& note) {
    io.out.flush();
    io.err << "darvex-cli: " << command << ": " << subject << ": note: " << NoteMessage(note)
           << '\n';
}

void PrintListing(CliStreams& io, std::string_view subject, const Listing& listing) {
    std::size_t next = 0;
    for (std::size_t line = 0; line <= listing.lines.size(); ++line) {
        for (; next < listing.notes.size() && listing.notes[next].atLine <= line; ++next)
            Warn(io, "cat", subject, listing.notes[next]);
        if (line < listing.lines.size())
            io.out << listing.lines[line] << '\n';
    }
}

int Usage(CliStreams& io, std::string_view command, std::string_view message) {
    io.err << "darvex-cli: " << command << ": " << message << "\n"
           << "Run 'darvex-cli " << command << " --help' for usage.\n";
    return kExitUsage;
}

void AddCat(CommandSet& commands) {
    struct Options {
        std::string image;
        std::string name;
        std::string dir;
        int index = kNoIndex;
        bool basic = false;
        bool text = false;
        bool hex = false;
        bool boot = false;
        bool json = false;
        bool force = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("cat", "Show a file as a BASIC listing, text or hex", [o, &io] {
        const bool byName = !o->name.empty();
        if (o->boot && (byName || o->index != kNoIndex || o->basic || o->text))
            return Usage(io, "cat", "--boot takes no NAME, --index, --basic or --text");
        if (!o->boot && byName == (o->index != kNoIndex))
            return Usage(io, "cat", "give NAME, --index N or --boot");

        DiskImage disk;
        if (!LoadImage(io, "cat", o->image, disk, !o->force && !o->boot))
            return kExitFailed;
        Listing listing;
        std::string subject = "boot program";
        json head;
        if (o->boot) {
            listing = ViewBootProgram(disk);
            // Nothing to show is a failure, as it is for boot-get.
            if (!listing.notes.empty() && listing.notes[0].code == ViewNoteCode::BootNone)
                return Fail(io, "cat", o->image, NoteMessage(listing.notes[0]));
            head = {{"boot", true}};
        } else {
            const int sector = SelectDirectory(io, "cat", disk, o->dir, false);
            if (sector < 0)
                return kExitFailed;
            const std::vector<ListRow> rows = ListDirectory(disk, sector);
            const ListRow* row = nullptr;
            if (byName) {
                std::optional<std::string> name = SjisArgument(io, "cat", o->name);
                if (!name)
                    return kExitFailed;
                row = FindListedName(rows, *name);
                if (row == nullptr)
                    return Fail(io, "cat", o->name, "no such file");
            } else {
                row = FindListedIndex(rows, o->index);
                if (row == nullptr)
                    return Fail(io, "cat", "entry " + std::to_string(o->index),
                                "not a listed file (free, hidden or a directory)");
            }
            const std::uint8_t mode = row->entry.Mode();
            const ViewKind kind = o->basic  ? ViewKind::Basic
                                  : o->text ? ViewKind::Text
                                  : o->hex  ? ViewKind::Hex
                                            : DefaultViewKind(mode);
            listing = ViewFile(disk, row->entry, kind);
            subject = ShownName(row->entry.NameText());
            head = {{"index", row->entryIndex},
                    {"name", SjisToDisplay(row->entry.NameText())},
                    {"name_hex", HexBytes(row->entry.NameText())},
                    {"mode", mode}};
        }
        if (!o->json) {
            PrintListing(io, subject, listing);
            return kExitOk;
        }
        head["view"] = KindName(listing.kind);
        head["lines"] = listing.lines;
        if (listing.kind == ViewKind::Hex)
            head["bytes"] = listing.bytes;
        head["notes"] = NotesJson(listing.notes);
        io.out << head.dump(2) << '\n';
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    sub->add_option("NAME", o->name, "Name of the file on the disk");
    sub->add_option("--index", o->index, "Entry number 0-63 instead of NAME")
        ->check(CLI::Range(0, 63));
    sub->add_option("--dir", o->dir, "Sub-directory: names from the root joined by \"/\"");
    CLI::Option* basic =
        sub->add_flag("--basic", o->basic, "List as an S-BASIC program (the default for BTX)");
    CLI::Option* text =
        sub->add_flag("--text", o->text, "Show as Shift-JIS text (the default for BSD)");
    CLI::Option* hex = sub->add_flag("--hex", o->hex, "Show as hex (the default for the others)");
    basic->excludes(text)->excludes(hex);
    text->excludes(hex);
    sub->add_flag("--boot", o->boot, "Show the boot program (as hex)");
    sub->add_flag("--json", o->json, "Print JSON: the lines (and for hex the bytes) and notes");
    sub->add_flag("--force", o->force, "Read a disk that is not an MZ file system all the same");
}

void PrintSector(std::ostream& out, const SectorView& view, bool raw) {
    const SectorRecordHeader& h = view.header;
    char line[160];
    std::snprintf(line, sizeof line, "sector %d: cylinder %d, head %d, record %d\n", view.sector,
                  view.cylinder, view.head, view.record);
    out << line;
    std::snprintf(line, sizeof line,
                  "%s C %02X  H %02X  R %02X  N %02X  sectors %u  density %02X  deleted %02X  "
                  "status %02X  length %u\n",
                  view.headerLoaded ? "D88 record:" : "a save writes:", h.Cylinder(), h.Head(),
                  h.Record(), h.SizeCode(), h.SectorCount(), h.Density(), h.DeletedMark(),
                  h.Status(), h.DataLength());
    out << line;
    out << (raw ? "bytes as stored in the D88 file (complemented):\n"
                : "bytes as the machine reads them:\n");
    const ByteView bytes = raw ? ByteView(view.stored.data(), view.stored.size())
                               : ByteView(view.machine.data(), view.machine.size());
    for (const HexRow& row : HexRows(bytes))
        out << FormatHexRow(row, 4) << '\n';
}

json SectorJson(const SectorView& view, bool raw) {
    const SectorRecordHeader& h = view.header;
    json bytes = json::array();
    if (raw)
        bytes = view.stored;
    else
        bytes = view.machine;
    return {{"sector", view.sector},
            {"cylinder", view.cylinder},
            {"head", view.head},
            {"record", view.record},
            {"header",
             {{"from_file", view.headerLoaded},
              {"c", h.Cylinder()},
              {"h", h.Head()},
              {"r", h.Record()},
              {"n", h.SizeCode()},
              {"sectors", h.SectorCount()},
              {"density", h.Density()},
              {"deleted", h.DeletedMark()},
              {"status", h.Status()},
              {"data_length", h.DataLength()}}},
            {"raw", raw},
            {"bytes", bytes},
            {"notes", NotesJson(view.notes)}};
}

void AddDump(CommandSet& commands) {
    struct Options {
        std::string image;
        int sector = kNoSector;
        std::vector<int> chs;
        bool raw = false;
        bool json = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("dump", "Show a sector of the disk as hex", [o, &io] {
        if ((o->sector == kNoSector) == o->chs.empty())
            return Usage(io, "dump", "give --sector N or --chs C H R");
        DiskImage disk;
        if (!LoadImage(io, "dump", o->image, disk))
            return kExitFailed;
        const int last = SectorCount(disk) - 1;
        int sector = o->sector;
        if (!o->chs.empty()) {
            sector = SectorAt(disk, o->chs[0], o->chs[1], o->chs[2]);
            if (sector < 0)
                return Fail(io, "dump",
                            "cylinder " + std::to_string(o->chs[0]) + ", head " +
                                std::to_string(o->chs[1]) + ", record " + std::to_string(o->chs[2]),
                            "no such sector on this disk (cylinders 0-" +
                                std::to_string(disk.GetCylinders() - 1) +
                                ", heads 0-1, records 1-16)");
        }
        SectorView view;
        if (!ViewSector(disk, sector, view))
            return Fail(io, "dump", "sector " + std::to_string(sector),
                        "no such sector on this disk (0-" + std::to_string(last) + ")");
        if (o->json) {
            io.out << SectorJson(view, o->raw).dump(2) << '\n';
            return kExitOk;
        }
        for (const ViewNote& note : view.notes)
            Warn(io, "dump", "sector " + std::to_string(sector), note);
        PrintSector(io.out, view, o->raw);
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    CLI::Option* sector = sub->add_option("--sector", o->sector, "Logical sector number")
                              ->check(CLI::NonNegativeNumber);
    CLI::Option* chs =
        sub->add_option("--chs", o->chs, "Cylinder, head (0 or 1) and record (1-16)")->expected(3);
    sector->excludes(chs);
    sub->add_flag("--raw", o->raw, "The bytes as the D88 file stores them (complemented)");
    sub->add_flag("--json", o->json, "Print JSON: the record header, the bytes and notes");
}

} // namespace

void AddViewCommands(CommandSet& commands) {
    if (commands.Wants("cat"))
        AddCat(commands);
    if (commands.Wants("dump"))
        AddDump(commands);
}
