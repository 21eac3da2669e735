#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sys/stat.h>

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

void PrintInfo(std::ostream& out, const DiskImage& disk) {
    const long long clusterBytes = disk.GetClusterBytes();
    out << "media:          " << Hex(disk.GetMediaType(), 2) << '\n'
        << "cylinders:      " << disk.GetCylinders() << '\n'
        << "cluster bytes:  " << clusterBytes << '\n'
        << "first data:     cluster " << disk.GetFirstDataCluster() << '\n'
        << "used:           " << disk.GetUsedClusters() << " clusters, "
        << clusterBytes * disk.GetUsedClusters() << " bytes\n"
        << "total:          " << disk.GetTotalClusters() << " clusters, "
        << clusterBytes * disk.GetTotalClusters() << " bytes\n"
        << "free:           " << disk.GetFreeBytes() << " bytes\n"
        << "space:          " << SpaceText(disk) << '\n'
        << "MZ file system: " << (disk.IsMzFileSystem() ? "yes" : "no") << '\n';

    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    if (ipl.HasSignature()) {
        out << "boot program:   machine " << Hex(ipl.Machine(), 2) << ", text \""
            << SjisToTerminal(ipl.DisplayName()) << "\", size " << Hex(ipl.Size(), 4) << " ("
            << ipl.ProgramBytes() << " bytes), exec " << Hex(ipl.ExecAddress(), 4)
            << ", start sector " << ipl.StartSector() << '\n';
    } else {
        out << "boot program:   none\n";
    }

    const LoadReport& report = disk.GetLoadReport();
    if (report.Empty()) {
        out << "load report:    every sector record of the D88 file found its place\n";
    } else {
        out << "load report:    " << report.recordsNotPlaced << " records outside the disk, "
            << report.recordsDuplicate << " duplicate records, " << report.recordsOddLength
            << " records not of 256 bytes, " << report.sectorsMissing << " sectors missing, "
            << report.recordsFlagged << " records with density, deleted mark or status set";
        if (report.sizeFieldDisagrees)
            out << ", disk-size field disagrees with the file";
        out << '\n';
    }
    // They are written back byte for byte: worth knowing, nothing to warn about.
    if (report.trailingDisksKept)
        out << "further disks:  " << report.trailingBytes
            << " bytes after the first disk, kept as they are\n";
    if (report.mediaUnknown)
        out << "warning:        the media byte is none of 0x00, 0x10, 0x20, 0x30, 0x40\n";
    if (report.SaveLosesData())
        out << "warning:        " << SaveLossCli(report) << '\n';
    else if (!report.Empty())
        out << "warning:        saving will normalise this image (the D88 file written differs "
               "from the one read)\n";
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
    CLI::App* sub = commands.Add("new", "Create an empty disk image (saved as D88)", [o, &io] {
        struct stat st {};
        if (!o->force && lstat(o->image.c_str(), &st) == 0)
            return Fail(io, "new", o->image, "the file already exists (--force replaces it)");
        DiskImage disk;
        disk.Format(o->type);
        std::string reason;
        if (!ImageFile::Write(o->image, disk, reason, o->force))
            return Fail(io, "new", o->image, reason);
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, "Disk image file to create")->required();
    sub->add_option("--type", o->type,
                    "Disk type: 0 MZ-2500 2DD 80 cylinders, 1 MZ-2500 2D 40 cylinders, "
                    "2 MZ-2500 2D 35 cylinders, 3 MZ-2000 2D 35 cylinders")
        ->required()
        ->check(CLI::Range(0, kDiskTypes - 1));
    sub->add_flag("--force", o->force, "Replace an existing file");
}

void AddInfo(CommandSet& commands) {
    struct Options {
        std::string image;
        bool json = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub =
        commands.Add("info", "Show the disk's geometry, usage and boot program", [o, &io] {
            DiskImage disk;
            if (!LoadImage(io, "info", o->image, disk))
                return kExitFailed;
            if (o->json)
                io.out << InfoJson(disk).dump(2) << '\n';
            else
                PrintInfo(io.out, disk);
            return kExitOk;
        });
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    sub->add_flag("--json", o->json, "Print JSON");
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
    CLI::App* sub = commands.Add("ls", "List the files of a directory", [o, &io] {
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
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    sub->add_option("DIR", o->dir, "Sub-directory: names from the root joined by \"/\"");
    sub->add_flag("--json", o->json, "Print JSON");
    sub->add_flag("--force", o->force, "Read a disk that is not an MZ file system all the same");
}

void AddTree(CommandSet& commands) {
    struct Options {
        std::string image;
        bool json = false;
        bool force = false;
    };
    auto o = std::make_shared<Options>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("tree", "Show the directory tree", [o, &io] {
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
                       << SjisToTerminal(node.name) << "  (sector " << node.dirSector << ")\n";
        }
        if (stopped)
            io.err << "darvex-cli: tree: " << o->image << ": the tree stops at " << kMaxTreeNodes
                   << " directories (a directory link loops or there are too many)\n";
        return kExitOk;
    });
    sub->add_option("IMAGE", o->image, "Disk image file (D88)")->required();
    sub->add_flag("--json", o->json, "Print JSON");
    sub->add_flag("--force", o->force, "Read a disk that is not an MZ file system all the same");
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
