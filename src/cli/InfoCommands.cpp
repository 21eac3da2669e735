#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sys/stat.h>

#include "cli/CliLanguage.h"
#include "cli/CliText.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DirTree.h"
#include "fs/FileBody.h"
#include "fs/FileMode.h"
#include "fs/IplHeader.h"
#include "fs/ListRow.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "fs/Translation.h"
#include "host/ImageFile.h"
#include "image/DiskImage.h"

namespace {

using nlohmann::json;

constexpr int kDiskTypes = 4;
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
            {"trailing_disks_kept", report.trailingDisksKept},
            {"trailing_bytes", report.trailingBytes},
            {"size_field_disagrees", report.sizeFieldDisagrees},
            {"media_unknown", report.mediaUnknown},
            {"normalised_on_save", !report.Empty()},
            {"save_loses_data", report.SaveLosesData()}};
}

json InfoJson(const DiskImage& disk) {
    const long long clusterBytes = disk.GetClusterBytes();
    return {{"media", disk.GetMediaType()},
            {"cylinders", disk.GetCylinders()},
            {"cluster_bytes", clusterBytes},
            {"first_data_cluster", disk.GetFirstDataCluster()},
            {"used_clusters", disk.GetUsedClusters()},
            {"total_clusters", disk.GetTotalClusters()},
            {"used_bytes", clusterBytes * disk.GetUsedClusters()},
            {"total_bytes", clusterBytes * disk.GetTotalClusters()},
            {"free_bytes", disk.GetFreeBytes()},
            {"space_text", SpaceText(disk)},
            {"mz_file_system", disk.IsMzFileSystem()},
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

void PrintInfo(std::ostream& out, const DiskImage& disk) {
    const long long clusterBytes = disk.GetClusterBytes();
    const auto clustersAndBytes = [](long long clusters, long long bytes) {
        return FormatText(Tr("%s clusters, %s bytes"), {Num(clusters), Num(bytes)});
    };
    out << Label(N_("media:")) << Hex(disk.GetMediaType(), 2) << '\n'
        << Label(N_("cylinders:")) << disk.GetCylinders() << '\n'
        << Label(N_("cluster bytes:")) << clusterBytes << '\n'
        << Label(N_("first data:"))
        << FormatText(Tr("cluster %s"), {Num(disk.GetFirstDataCluster())}) << '\n'
        << Label(N_("used:"))
        << clustersAndBytes(disk.GetUsedClusters(), clusterBytes * disk.GetUsedClusters()) << '\n'
        << Label(N_("total:"))
        << clustersAndBytes(disk.GetTotalClusters(), clusterBytes * disk.GetTotalClusters()) << '\n'
        << Label(N_("free:")) << FormatText(Tr("%s bytes"), {Num(disk.GetFreeBytes())}) << '\n'
        << Label(N_("space:")) << SpaceText(disk) << '\n'
        << Label(N_("MZ file system:")) << (disk.IsMzFileSystem() ? Tr("yes") : Tr("no")) << '\n';

    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    out << Label(N_("boot program:"));
    if (ipl.HasSignature()) {
        out << FormatText(Tr("machine %s, text \"%s\", size %s (%s bytes), exec %s, start "
                             "sector %s"),
                          {Hex(ipl.Machine(), 2), SjisToTerminal(ipl.DisplayName()),
                           Hex(ipl.Size(), 4), Num(ipl.ProgramBytes()), Hex(ipl.ExecAddress(), 4),
                           Num(ipl.StartSector())})
            << '\n';
    } else {
        out << Tr("none") << '\n';
    }

    const LoadReport& report = disk.GetLoadReport();
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
    // They are written back byte for byte: worth knowing, nothing to warn about.
    if (report.trailingDisksKept)
        out << Label(N_("further disks:"))
            << FormatText(Tr("%s bytes after the first disk, kept as they are"),
                          {Num(report.trailingBytes)})
            << '\n';
    if (report.mediaUnknown)
        out << Label(N_("warning:")) << Tr("the media byte is none of 0x00, 0x10, 0x20, 0x30, 0x40")
            << '\n';
    if (report.SaveLosesData())
        out << Label(N_("warning:")) << SaveLossCli(report) << '\n';
    else if (!report.Empty())
        out << Label(N_("warning:"))
            << Tr("saving will normalise this image (the D88 file written differs from the one "
                  "read)")
            << '\n';
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

json RowsJson(const std::vector<ListRow>& rows) {
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
        array.push_back({{"index", row.entryIndex},
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

void AddNew(CommandSet& commands) {
    struct Options {
        std::string image;
        int type = 0;
        bool force = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("new", Tr("Create an empty disk image (saved as D88)"), [o, &io] {
        struct stat st {};
        if (!o->force && lstat(o->image.c_str(), &st) == 0)
            return Fail(io, "new", o->image, Tr("the file already exists (--force replaces it)"));
        DiskImage disk;
        disk.Format(o->type);
        std::string reason;
        if (!ImageFile::Write(o->image, disk, reason, o->force))
            return Fail(io, "new", o->image, reason);
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, Tr("Disk image file to create"))->required();
    sub->add_option("--type", o->type,
                    Tr("Disk type: 0 MZ-2500 2DD 80 cylinders, 1 MZ-2500 2D 40 cylinders, "
                       "2 MZ-2500 2D 35 cylinders, 3 MZ-2000 2D 35 cylinders"))
        ->required()
        ->check(CLI::Range(0, kDiskTypes - 1));
    sub->add_flag("--force", o->force, Tr("Replace an existing file"));
}

void AddInfo(CommandSet& commands) {
    struct Options {
        std::string image;
        bool json = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("info", Tr("Show the disk's geometry, usage and boot program"), [o, &io] {
            DiskImage disk;
            if (!LoadImage(io, "info", o->image, disk))
                return kExitFailed;
            if (o->json)
                io.out << InfoJson(disk).dump(2) << '\n';
            else
                PrintInfo(io.out, disk);
            return kExitOk;
        });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_flag("--json", o->json, Tr("Print JSON"));
}

void AddLs(CommandSet& commands) {
    struct Options {
        std::string image;
        std::string dir;
        bool json = false;
        bool force = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("ls", Tr("List the files of a directory"), [o, &io] {
        DiskImage disk;
        if (!LoadImage(io, "ls", o->image, disk, !o->force))
            return kExitFailed;
        const int sector = SelectDirectory(io, "ls", disk, o->dir, false);
        if (sector < 0)
            return kExitFailed;
        const std::vector<ListRow> rows = ListDirectory(disk, sector);
        if (o->json)
            io.out << RowsJson(rows).dump(2) << '\n';
        else
            PrintRows(io.out, rows);
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_option("DIR", o->dir, Tr("Sub-directory: names from the root joined by \"/\""));
    sub->add_flag("--json", o->json, Tr("Print JSON"));
    sub->add_flag("--force", o->force,
                  Tr("Read a disk that is not an MZ file system all the same"));
}

void AddTree(CommandSet& commands) {
    struct Options {
        std::string image;
        bool json = false;
        bool force = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("tree", Tr("Show the directory tree"), [o, &io] {
        DiskImage disk;
        if (!LoadImage(io, "tree", o->image, disk, !o->force))
            return kExitFailed;
        bool stopped = false;
        const std::vector<DirTreeNode> nodes = WalkDirTree(disk, &stopped);
        if (o->json) {
            json array = json::array();
            for (std::size_t n = 0; n < nodes.size(); ++n) {
                // The root is no entry: it has no name bytes of its own.
                const std::string raw = n == 0 ? std::string() : nodes[n].name;
                array.push_back({{"name", n == 0 ? nodes[n].name : SjisToDisplay(raw)},
                                 {"name_hex", HexBytes(raw)},
                                 {"sector", nodes[n].dirSector},
                                 {"depth", nodes[n].depth}});
            }
            io.out << array.dump(2) << '\n';
        } else {
            for (const DirTreeNode& node : nodes)
                io.out << std::string(static_cast<std::size_t>(node.depth) * 2, ' ')
                       << SjisToTerminal(node.name) << "  ("
                       << FormatText(Tr("sector %s"), {std::to_string(node.dirSector)}) << ")\n";
        }
        if (stopped)
            io.err << "darvex-cli: tree: " << o->image << ": "
                   << FormatText(Tr("the tree stops at %s directories (a directory link loops "
                                    "or there are too many)"),
                                 {std::to_string(kMaxTreeNodes)})
                   << '\n';
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    sub->add_flag("--json", o->json, Tr("Print JSON"));
    sub->add_flag("--force", o->force,
                  Tr("Read a disk that is not an MZ file system all the same"));
}

} // namespace

void AddInfoCommands(CommandSet& commands) {
    if (commands.Wants("new"))
        AddNew(commands);
    if (commands.Wants("info"))
        AddInfo(commands);
    if (commands.Wants("ls"))
        AddLs(commands);
    if (commands.Wants("tree"))
        AddTree(commands);
}
