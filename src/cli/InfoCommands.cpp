#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/CliLanguage.h"
#include "cli/CliLanguage.h"
#include "cli/CliText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DirTree.h"
#include "fs/DiskImage.h"
#include "fs/FileBody.h"
#include "fs/FileMode.h"
#include "fs/IplHeader.h"
#include "fs/ListRow.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "fs/Translation.h"

namespace {

using nlohmann::json;

constexpr int kNameColumnWidth = 17;

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

json BootJson(const IplHeader& ipl) {
    if (!ipl.HasSignature())
        return {{"present", false}};
    const std::string text = ipl.DisplayName();
    return {{"present", true},
            {"machine", ipl.Machine()},
            {"text", SjisToDisplay(text)},
            {"text_hex", HexBytes(text)},
            {"size", ipl.Size()},
            {"exec", ipl.ExecAddress()},
            {"start_sector", ipl.StartSector()}};
}

json LoadReportJson(const LoadReport& report) {
    return {{"records_not_placed", report.recordsNotPlaced},
            {"records_duplicate", report.recordsDuplicate},
            {"records_odd_length", report.recordsOddLength},
            {"records_cut", report.recordsCut},
            {"sectors_missing", report.sectorsMissing},
            {"records_flagged", report.recordsFlagged},
            {"size_field_disagrees", report.sizeFieldDisagrees},
            {"media_unknown", report.mediaUnknown},
            {"normalised_on_save", !report.Empty()},
            {"save_loses_data", report.SaveLosesData()}};
}

// The disks of the file, one object each; the bitmap's figures only where there is a bitmap.
json DisksJson(const DiskImage& disk) {
    json disks = json::array();
    for (int i = 0; i < disk.GetDiskCount(); ++i) {
        const DiskSummary s = disk.GetDiskSummary(i);
        json d = {{"disk", i + 1}, {"damaged", s.damaged}};
        if (s.damaged) {
            d["bytes"] = s.damagedBytes;
        } else {
            d.update({{"name", SjisToDisplay(s.name)},
                      {"name_hex", HexBytes(s.name)},
                      {"media", s.mediaType},
                      {"write_protected", s.writeProtected},
                      {"mz_file_system", s.mzFileSystem},
                      {"used_bytes", s.mzFileSystem ? json(s.usedBytes) : json(nullptr)},
                      {"total_bytes", s.mzFileSystem ? json(s.totalBytes) : json(nullptr)}});
        }
        disks.push_back(std::move(d));
    }
    return disks;
}

// The selected disk in detail. A disk that is not an MZ file system has no bitmap: its
// figures are null rather than numbers read from whatever sector 15 holds.
json InfoJson(const DiskImage& disk) {
    const bool mz = disk.IsMzFileSystem();
    const long long clusterBytes = disk.GetClusterBytes();
    const auto figure = [mz](long long value) { return mz ? json(value) : json(nullptr); };
    return {{"disk", disk.GetSelectedDisk() + 1},
            {"disks", DisksJson(disk)},
            {"name", SjisToDisplay(disk.GetDiskName())},
            {"name_hex", HexBytes(disk.GetDiskName())},
            {"write_protected", disk.IsWriteProtected()},
            {"media", disk.GetMediaType()},
            {"cylinders", disk.GetCylinders()},
            {"cluster_bytes", figure(clusterBytes)},
            {"first_data_cluster", figure(disk.GetFirstDataCluster())},
            {"used_clusters", figure(disk.GetUsedClusters())},
            {"total_clusters", figure(disk.GetTotalClusters())},
            {"used_bytes", figure(clusterBytes * disk.GetUsedClusters())},
            {"total_bytes", figure(clusterBytes * disk.GetTotalClusters())},
            {"free_bytes", figure(disk.GetFreeBytes())},
            {"space_text", mz ? json(SpaceText(disk)) : json(nullptr)},
            {"mz_file_system", mz},
            {"boot", BootJson(IplHeader::FromImage(disk.Image()))},
            {"load_report", LoadReportJson(disk.GetLoadReport())}};
}

// A label of the info listing and the blanks up to the value column, whatever the width of
// the label in the user's language.
std::string Label(const char* msgid) {
    constexpr int kValueColumn = 16;
    return PadToWidth(Tr(msgid) + " ", kValueColumn);
}

std::string Num(long long n) {
    return std::to_string(n);
}

void PrintDisks(std::ostream& out, const DiskImage& disk) {
    out << " #  " << PadToWidth("NAME", kNameColumnWidth) << "  MEDIA  PROTECT  MZ   USED/TOTAL\n";
    for (int i = 0; i < disk.GetDiskCount(); ++i) {
        const DiskSummary s = disk.GetDiskSummary(i);
        char number[16];
        std::snprintf(number, sizeof number, "%2d", i + 1);
        out << number << "  ";
        if (s.damaged) {
            out << FormatText(Tr("(cannot be read as a disk: %s bytes, kept as they are)"),
                              {Num(static_cast<long long>(s.damagedBytes))})
                << '\n';
            continue;
        }
        out << PadToWidth(SjisToTerminal(s.name), kNameColumnWidth) << "  " << Hex(s.mediaType, 2)
            << "   " << PadToWidth(s.writeProtected ? Tr("yes") : Tr("no"), 9)
            << PadToWidth(s.mzFileSystem ? Tr("yes") : Tr("no"), 5);
        if (s.mzFileSystem)
            out << s.usedBytes << '/' << s.totalBytes;
        out << '\n';
    }
}

void PrintBitmap(std::ostream& out, const DiskImage& disk) {
    const long long clusterBytes = disk.GetClusterBytes();
    const auto clustersAndBytes = [](long long clusters, long long bytes) {
        return FormatText(Tr("%s clusters, %s bytes"), {Num(clusters), Num(bytes)});
    };
    out << Label(N_("cluster bytes:")) << clusterBytes << '\n'
        << Label(N_("first data:"))
        << FormatText(Tr("cluster %s"), {Num(disk.GetFirstDataCluster())}) << '\n'
        << Label(N_("used:"))
        << clustersAndBytes(disk.GetUsedClusters(), clusterBytes * disk.GetUsedClusters()) << '\n'
        << Label(N_("total:"))
        << clustersAndBytes(disk.GetTotalClusters(), clusterBytes * disk.GetTotalClusters()) << '\n'
        << Label(N_("free:")) << FormatText(Tr("%s bytes"), {Num(disk.GetFreeBytes())}) << '\n'
        << Label(N_("space:")) << SpaceText(disk) << '\n';
}

void PrintLoadReport(std::ostream& out, const LoadReport& report) {
    out << Label(N_("load report:"));
    if (report.Empty()) {
        out << Tr("every sector record of the D88 file found its place") << '\n';
    } else {
        std::string counts = FormatText(
            Tr("%s records outside the disk, %s duplicate records, %s records not of 256 bytes, "
               "%s sectors missing, %s records with density, deleted mark or status set"),
            {Num(report.recordsNotPlaced), Num(report.recordsDuplicate),
             Num(report.recordsOddLength), Num(report.sectorsMissing), Num(report.recordsFlagged)});
        if (report.sizeFieldDisagrees)
            counts = FormatText(Tr("%s, disk-size field disagrees with the file"), {counts});
        out << counts << '\n';
    }
    if (report.mediaUnknown)
        out << Label(N_("warning:")) << Tr("the media byte is none of 0x00, 0x10, 0x20, 0x30, 0x40")
            << '\n';
    if (report.SaveLosesData())
        out << Label(N_("warning:")) << SaveLossCli(report) << '\n';
    else if (!report.Empty())
        out << Label(N_("warning:"))
            << Tr("saving the disk once it has changed will normalise it (the D88 file written "
                  "differs from the one read)")
            << '\n';
}

void PrintBoot(std::ostream& out, const IplHeader& ipl) {
    out << Label(N_("boot program:"));
    if (!ipl.HasSignature()) {
        out << Tr("none") << '\n';
        return;
    }
    out << FormatText(Tr("machine %s, text \"%s\", size %s (%s bytes), exec %s, start sector %s"),
                      {Hex(ipl.Machine(), 2), SjisToTerminal(ipl.DisplayName()), Hex(ipl.Size(), 4),
                       Num(ipl.ProgramBytes()), Hex(ipl.ExecAddress(), 4), Num(ipl.StartSector())})
        << '\n';
}

void PrintInfo(std::ostream& out, const DiskImage& disk) {
    PrintDisks(out, disk);
    out << '\n'
        << FormatText(Tr("disk %s:"), {Num(disk.GetSelectedDisk() + 1)}) << '\n'
        << Label(N_("name:")) << '"' << SjisToTerminal(disk.GetDiskName()) << "\"\n"
        << Label(N_("write-protect:")) << (disk.IsWriteProtected() ? Tr("on") : Tr("off"))
        << '\n'
        << Label(N_("media:")) << Hex(disk.GetMediaType(), 2) << '\n'
        << Label(N_("cylinders:")) << disk.GetCylinders() << '\n';
    const bool mz = disk.IsMzFileSystem();
    if (mz)
        PrintBitmap(out, disk);
    out << Label(N_("MZ file system:"))
        << (mz ? Tr("yes") : Tr("no (sector 15 holds no MZ allocation bitmap)")) << '\n';
    PrintBoot(out, IplHeader::FromImage(disk.Image()));
    PrintLoadReport(out, disk.GetLoadReport());
}

void PrintRows(std::ostream& out, const std::vector<ListRow>& rows) {
    out << " #  " << PadToWidth("NAME", kNameColumnWidth)
        << "  MODE   AT     SIZE  LOAD  EXEC  DATE      START\n";
    for (const ListRow& row : rows) {
        char index[8];
        std::snprintf(index, sizeof index, "%2d", row.entryIndex);
        const auto& c = row.columns;
        out << index << "  " << PadToWidth(SjisToTerminal(c[0]), kNameColumnWidth) << "  "
            << PadToWidth(c[1], 5) << "  " << c[2] << "  " << c[3] << "  " << c[4] << "  " << c[5]
            << "  " << c[6] << "  " << c[7] << '\n';
    }
}

json RowsJson(const std::vector<ListRow>& rows, int diskNumber) {
    json array = json::array();
    for (const ListRow& row : rows) {
        const DirEntry& e = row.entry;
        const std::string name = e.NameText();
        json columns = json::array();
        columns.push_back(SjisToDisplay(row.columns[0]));
        for (int c = 1; c < kListColumns; ++c)
            columns.push_back(row.columns[c]);
        // The size as the list shows it: a BRD size field counts 32-byte records.
        const unsigned size = e.Mode() == FileMode::ToByte(FileModeCode::Brd)
                                  ? e.Size() * unsigned{kRecordBytes}
                                  : e.Size();
        array.push_back({{"disk", diskNumber},
                         {"index", row.entryIndex},
                         {"name", SjisToDisplay(name)},
                         {"name_hex", HexBytes(name)},
                         {"columns", columns},
                         {"mode", e.Mode()},
                         {"attribute", e.Attribute()},
                         {"size", size},
                         {"load", e.LoadAddress()},
                         {"exec", e.ExecAddress()},
                         {"date", e.Date()},
                         {"start_sector", e.StartSector()}});
    }
    return array;
}

struct InfoOptions {
    std::string image;
    int disk = kFirstDisk;
    bool json = false;
};

int RunInfo(CliStreams& io, const InfoOptions& o) {
    DiskImage disk;
    if (const int status = LoadImage(io, "info", o.image, disk, o.disk); status != kExitOk)
        return status;
    if (o.json)
        io.out << InfoJson(disk).dump(2) << '\n';
    else
        PrintInfo(io.out, disk);
    return kExitOk;
}

void AddInfo(CommandSet& commands) {
    auto o = std::make_shared<InfoOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add(
        "info", Tr("List the disks of the file; show one disk's header, usage and boot program"),
        [o, &io] { return RunInfo(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    AddDiskOption(sub, o->disk);
    sub->add_flag("--json", o->json, Tr("Print JSON"));
}

struct LsOptions {
    std::string image;
    std::string dir;
    int disk = kFirstDisk;
    bool json = false;
    bool force = false;
};

int RunLs(CliStreams& io, const LsOptions& o) {
    DiskImage disk;
    if (const int status = LoadImage(io, "ls", o.image, disk, o.disk, !o.force); status != kExitOk)
        return status;
    const int sector = SelectDirectory(io, "ls", disk, o.dir, false);
    if (sector < 0)
        return kExitFailed;
    const std::vector<ListRow> rows = ListDirectory(disk, sector);
    if (o.json)
        io.out << RowsJson(rows, o.disk).dump(2) << '\n';
    else
        PrintRows(io.out, rows);
    return kExitOk;
}

void AddLs(CommandSet& commands) {
    auto o = std::make_shared<LsOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("ls", Tr("List the files of a directory"), [o, &io] { return RunLs(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("DIR", o->dir, Tr("Sub-directory: names from the root joined by \"/\""));
    AddDiskOption(sub, o->disk);
    sub->add_flag("--json", o->json, Tr("Print JSON"));
    sub->add_flag("--force", o->force,
                  Tr("Read a disk that is not an MZ file system all the same"));
}

struct TreeOptions {
    std::string image;
    int disk = kFirstDisk;
    bool json = false;
    bool force = false;
};

json TreeJson(const std::vector<DirTreeNode>& nodes, int diskNumber) {
    json array = json::array();
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        // The root is no entry: it has no name bytes of its own.
        const std::string raw = n == 0 ? std::string() : nodes[n].name;
        array.push_back({{"disk", diskNumber},
                         {"name", n == 0 ? nodes[n].name : SjisToDisplay(raw)},
                         {"name_hex", HexBytes(raw)},
                         {"sector", nodes[n].dirSector},
                         {"depth", nodes[n].depth}});
    }
    return array;
}

int RunTree(CliStreams& io, const TreeOptions& o) {
    DiskImage disk;
    if (const int status = LoadImage(io, "tree", o.image, disk, o.disk, !o.force);
        status != kExitOk)
        return status;
    bool stopped = false;
    const std::vector<DirTreeNode> nodes = WalkDirTree(disk, &stopped);
    if (o.json) {
        io.out << TreeJson(nodes, o.disk).dump(2) << '\n';
    } else {
        for (const DirTreeNode& node : nodes)
            io.out << std::string(static_cast<std::size_t>(node.depth) * 2, ' ')
                   << SjisToTerminal(node.name) << "  ("
                   << FormatText(Tr("sector %s"), {std::to_string(node.dirSector)}) << ")\n";
    }
    if (stopped)
        io.err << "darvex-cli: tree: " << o.image << ": "
               << FormatText(Tr("the tree stops at %s directories (a directory link loops or "
                                "there are too many)"),
                             {std::to_string(kMaxTreeNodes)})
               << '\n';
    return kExitOk;
}

void AddTree(CommandSet& commands) {
    auto o = std::make_shared<TreeOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("tree", Tr("Show the directory tree"), [o, &io] { return RunTree(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    AddDiskOption(sub, o->disk);
    sub->add_flag("--json", o->json, Tr("Print JSON"));
    sub->add_flag("--force", o->force,
                  Tr("Read a disk that is not an MZ file system all the same"));
}

} // namespace

void AddInfoCommands(CommandSet& commands) {
    if (commands.Wants("info"))
        AddInfo(commands);
    if (commands.Wants("ls"))
        AddLs(commands);
    if (commands.Wants("tree"))
        AddTree(commands);
}
