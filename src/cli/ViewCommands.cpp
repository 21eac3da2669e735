#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/CliLanguage.h"
#include "cli/CliText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DiskImage.h"
#include "fs/ListRow.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "fs/Translation.h"
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

struct CatOptions {
    std::string image;
    std::string name;
    std::string dir;
    int index = kNoIndex;
    int disk = kFirstDisk;
    bool basic = false;
    bool text = false;
    bool hex = false;
    bool boot = false;
    bool json = false;
    bool force = false;
};

constexpr const char* kCat = "cat";

// The listed file NAME or --index names in --dir; nullptr after the message.
const ListRow* ChosenRow(CliStreams& io, const CatOptions& o, const std::vector<ListRow>& rows) {
    if (o.index != kNoIndex) {
        if (const ListRow* row = FindListedIndex(rows, o.index))
            return row;
        Fail(io, kCat, FormatText(Tr("entry %s"), {std::to_string(o.index)}),
             Tr("not a listed file (free, hidden or a directory)"));
        return nullptr;
    }
    const std::optional<std::string> name = SjisArgument(io, kCat, o.name);
    if (!name)
        return nullptr;
    const ListRow* row = FindListedName(rows, *name);
    if (row == nullptr)
        Fail(io, kCat, o.name, Tr("no such file"));
    return row;
}

// The file's listing with what --json says of the file; kExitOk or the failure's status.
int ViewChosenFile(CliStreams& io, const CatOptions& o, DiskImage& disk, Listing& listing,
                   std::string& subject, json& head) {
    const int sector = SelectDirectory(io, kCat, disk, o.dir, false);
    if (sector < 0)
        return kExitFailed;
    // The rows outlive the pointer into them.
    const std::vector<ListRow> rows = ListDirectory(disk, sector);
    const ListRow* row = ChosenRow(io, o, rows);
    if (row == nullptr)
        return kExitFailed;
    const std::uint8_t mode = row->entry.Mode();
    const ViewKind kind = o.basic  ? ViewKind::Basic
                          : o.text ? ViewKind::Text
                          : o.hex  ? ViewKind::Hex
                                   : DefaultViewKind(mode);
    listing = ViewFile(disk, row->entry, kind);
    subject = ShownName(row->entry.NameText());
    head["index"] = row->entryIndex;
    head["name"] = SjisToDisplay(row->entry.NameText());
    head["name_hex"] = HexBytes(row->entry.NameText());
    head["mode"] = mode;
    return kExitOk;
}

int RunCat(CliStreams& io, const CatOptions& o) {
    const bool byName = !o.name.empty();
    if (o.boot && (byName || o.index != kNoIndex || o.basic || o.text))
        return Usage(io, kCat, Tr("--boot takes no NAME, --index, --basic or --text"));
    if (!o.boot && byName == (o.index != kNoIndex))
        return Usage(io, kCat, Tr("give NAME, --index N or --boot"));
    DiskImage disk;
    if (const int status = LoadImage(io, kCat, o.image, disk, o.disk, !o.force && !o.boot);
        status != kExitOk)
        return status;
    Listing listing;
    std::string subject = Tr("boot program");
    json head = {{"disk", o.disk}};
    if (o.boot) {
        listing = ViewBootProgram(disk);
        // Nothing to show is a failure, as it is for boot-get.
        if (!listing.notes.empty() && listing.notes[0].code == ViewNoteCode::BootNone)
            return Fail(io, kCat, o.image, NoteMessage(listing.notes[0]));
        head["boot"] = true;
    } else if (const int status = ViewChosenFile(io, o, disk, listing, subject, head);
               status != kExitOk) {
        return status;
    }
    if (!o.json) {
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
}

void AddCat(CommandSet& commands) {
    auto o = std::make_shared<CatOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add(kCat, Tr("Show a file as a BASIC listing, text or hex"),
                                 [o, &io] { return RunCat(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("NAME", o->name, Tr("Name of the file on the disk"));
    sub->add_option("--index", o->index, Tr("Entry number 0-63 instead of NAME"))
        ->check(CLI::Range(0, 63));
    sub->add_option("--dir", o->dir, Tr("Sub-directory: names from the root joined by \"/\""));
    AddDiskOption(sub, o->disk);
    CLI::Option* basic =
        sub->add_flag("--basic", o->basic, Tr("List as an S-BASIC program (the default for BTX)"));
    CLI::Option* text =
        sub->add_flag("--text", o->text, Tr("Show as Shift-JIS text (the default for BSD)"));
    CLI::Option* hex =
        sub->add_flag("--hex", o->hex, Tr("Show as hex (the default for the others)"));
    basic->excludes(text)->excludes(hex);
    text->excludes(hex);
    sub->add_flag("--boot", o->boot, Tr("Show the boot program (as hex)"));
    sub->add_flag("--json", o->json, Tr("Print JSON: the lines (and for hex the bytes) and notes"));
    sub->add_flag("--force", o->force,
                  Tr("Read a disk that is not an MZ file system all the same"));
}

void PrintSector(std::ostream& out, const SectorView& view, bool raw) {
    const SectorRecordHeader& h = view.header;
    out << FormatText(Tr("sector %s: cylinder %s, head %s, record %s"),
                      {std::to_string(view.sector), std::to_string(view.cylinder),
                       std::to_string(view.head), std::to_string(view.record)})
        << '\n';
    // The record header's fields keep their D88 names in every language.
    char fields[128];
    std::snprintf(fields, sizeof fields,
                  "C %02X  H %02X  R %02X  N %02X  sectors %u  density %02X  deleted %02X  "
                  "status %02X  length %u",
                  h.Cylinder(), h.Head(), h.Record(), h.SizeCode(), h.SectorCount(), h.Density(),
                  h.DeletedMark(), h.Status(), h.DataLength());
    out << (view.headerLoaded ? Tr("D88 record:") : Tr("a save writes:")) << ' ' << fields << '\n'
        << (raw ? Tr("bytes as stored in the D88 file (complemented):")
                : Tr("bytes as the machine reads them:"))
        << '\n';
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

struct DumpOptions {
    std::string image;
    int sector = kNoSector;
    std::vector<int> chs;
    int disk = kFirstDisk;
    bool raw = false;
    bool json = false;
};

constexpr const char* kDump = "dump";

// The logical sector --sector or --chs names; -1 after the message.
int ChosenSector(CliStreams& io, const DumpOptions& o, const DiskImage& disk) {
    if (o.chs.empty()) {
        if (o.sector >= 0 && o.sector < SectorCount(disk))
            return o.sector;
        Fail(io, kDump, FormatText(Tr("sector %s"), {std::to_string(o.sector)}),
             FormatText(Tr("no such sector on this disk (0-%s)"),
                        {std::to_string(SectorCount(disk) - 1)}));
        return -1;
    }
    const int sector = SectorAt(disk, o.chs[0], o.chs[1], o.chs[2]);
    if (sector < 0)
        Fail(io, kDump,
             FormatText(
                 Tr("cylinder %s, head %s, record %s"),
                 {std::to_string(o.chs[0]), std::to_string(o.chs[1]), std::to_string(o.chs[2])}),
             FormatText(Tr("no such sector on this disk (cylinders 0-%s, heads 0-1, records 1-16)"),
                        {std::to_string(disk.GetCylinders() - 1)}));
    return sector;
}

int RunDump(CliStreams& io, const DumpOptions& o) {
    if ((o.sector == kNoSector) == o.chs.empty())
        return Usage(io, kDump, Tr("give --sector N or --chs C H R"));
    DiskImage disk;
    if (const int status = LoadImage(io, kDump, o.image, disk, o.disk); status != kExitOk)
        return status;
    const int sector = ChosenSector(io, o, disk);
    SectorView view;
    if (sector < 0 || !ViewSector(disk, sector, view))
        return kExitFailed;
    if (o.json) {
        json out = SectorJson(view, o.raw);
        out["disk"] = o.disk;
        io.out << out.dump(2) << '\n';
        return kExitOk;
    }
    for (const ViewNote& note : view.notes)
        Warn(io, kDump, FormatText(Tr("sector %s"), {std::to_string(sector)}), note);
    PrintSector(io.out, view, o.raw);
    return kExitOk;
}

void AddDump(CommandSet& commands) {
    auto o = std::make_shared<DumpOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add(kDump, Tr("Show a sector of the disk as hex"),
                                 [o, &io] { return RunDump(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    CLI::Option* sector = sub->add_option("--sector", o->sector, Tr("Logical sector number"))
                              ->check(CLI::NonNegativeNumber);
    CLI::Option* chs =
        sub->add_option("--chs", o->chs, Tr("Cylinder, head (0 or 1) and record (1-16)"))
            ->expected(3);
    sector->excludes(chs);
    AddDiskOption(sub, o->disk);
    sub->add_flag("--raw", o->raw, Tr("The bytes as the D88 file stores them (complemented)"));
    sub->add_flag("--json", o->json, Tr("Print JSON: the record header, the bytes and notes"));
}

} // namespace

void AddViewCommands(CommandSet& commands) {
    if (commands.Wants("cat"))
        AddCat(commands);
    if (commands.Wants("dump"))
        AddDump(commands);
}
