#include "fs/FsCheck.h"

#include <algorithm>
#include <map>
#include <utility>

#include "fs/ClusterOwnership.h"
#include "fs/ClusterRuns.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FileBody.h"
#include "fs/FileMode.h"
#include "fs/IplHeader.h"
#include "fs/SjisText.h"
#include "image/Geometry.h"

namespace {

bool PositionSet(const DiskImage& disk, int k) {
    return BitmapBit(disk.Image().slice(kBitmapOffset, kSectorBytes), kBitmapFirstPosition + k);
}

std::string Describe(const DiskImage& disk, const ClusterOwner& owner) {
    if (owner.kind == OwnerKind::BootProgram)
        return "the boot program";
    // Read from the image, not through ReadDirEntry: the entry need not be in the current
    // directory.
    unsigned char raw[kDirEntryBytes];
    disk.Image().copyTo(raw, EntryOffset(owner.dirSector, owner.entryIndex), kDirEntryBytes);
    const DirEntry entry(raw);
    std::string text = owner.kind == OwnerKind::SubDirectory ? "directory \"" : "file \"";
    text += SjisToTerminal(entry.NameText());
    text += "\" (entry " + std::to_string(owner.entryIndex) + " of the directory at sector " +
            std::to_string(owner.dirSector) + ")";
    return text;
}

class Reporter {
public:
    explicit Reporter(FsCheckReport& report) : m_report(report) {}

    void Add(FsSeverity severity, const char* code, std::string message,
             const ClusterOwner* owner = nullptr, int cluster = -1, int count = 0) {
        FsFinding f;
        f.severity = severity;
        f.code = code;
        f.message = std::move(message);
        if (owner) {
            f.dirSector = owner->dirSector;
            f.entryIndex = owner->entryIndex;
        }
        f.cluster = cluster;
        f.count = count;
        m_report.findings.push_back(std::move(f));
    }

private:
    FsCheckReport& m_report;
};

std::string ClusterRun(int first, int count) {
    if (count == 1)
        return "cluster " + std::to_string(first);
    return std::to_string(count) + " clusters from " + std::to_string(first);
}

void CheckBody(const DiskImage& disk, const ClusterOwnership& map, const ClusterOwner& owner,
               Reporter& out) {
    // Named only when there is something to say: most bodies are sound.
    auto who = [&] { return Describe(disk, owner); };
    switch (owner.status) {
    case BodyStatus::Complete:
        break;
    case BodyStatus::LeftImage:
        out.Add(FsSeverity::Error, "outside-image", who() + " reaches outside the image", &owner);
        break;
    case BodyStatus::EndedEarly:
        out.Add(FsSeverity::Error, "body-short",
                who() + " ends (link or index entry 0, or a full index) before its size", &owner);
        break;
    case BodyStatus::ChainLoop:
        out.Add(FsSeverity::Error, "chain-loop", who() + " has a sector chain that loops", &owner);
        break;
    }

    if (owner.kind == OwnerKind::SubDirectory && owner.status == BodyStatus::Complete) {
        unsigned char raw[kDirEntryBytes];
        disk.Image().copyTo(raw, EntryOffset(owner.dirSector, owner.entryIndex), kDirEntryBytes);
        const DirEntry entry(raw);
        if (!DirectoryWritable(disk, entry.StartSector()))
            out.Add(FsSeverity::Error, "dir-reserved",
                    who() + " overlaps the reserved area (boot sector, bitmap or root); it is "
                            "read-only",
                    &owner);
    }

    std::vector<int> outside;
    for (int k : OwnerClusters(disk, owner))
        if (k < 0 || k >= map.dataClusters)
            outside.push_back(k);
    if (!outside.empty())
        out.Add(
            FsSeverity::Error, "outside-data",
            who() + " lies outside the data clusters (" + ClusterRun(outside.front(), 1) +
                (outside.size() > 1 ? " and " + std::to_string(outside.size() - 1) + " more" : "") +
                ")",
            &owner, outside.front(), static_cast<int>(outside.size()));
    ForEachRun(UnmarkedClusters(disk, map, owner), [&](int first, int count) {
        out.Add(FsSeverity::Error, "not-marked",
                who() + ": " + ClusterRun(first, count) + " not marked used in the bitmap", &owner,
                first, count);
    });
}

// A boot program that is also a file: a contiguous body (as a boot program is one) over exactly
// the sectors the boot header names.
bool BootIsFile(const DiskImage& disk, const ClusterOwner& a, const ClusterOwner& b) {
    const ClusterOwner& boot = a.kind == OwnerKind::BootProgram ? a : b;
    const ClusterOwner& file = a.kind == OwnerKind::BootProgram ? b : a;
    if (boot.kind != OwnerKind::BootProgram || file.kind != OwnerKind::File)
        return false;
    unsigned char raw[kDirEntryBytes];
    disk.Image().copyTo(raw, EntryOffset(file.dirSector, file.entryIndex), kDirEntryBytes);
    if (FileMode::BodyLayoutOf(raw[0]) != BodyLayout::Contiguous)
        return false;
    const FileBody body = WalkFileBody(disk, raw);
    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    const auto sectors = [](long long bytes) { return (bytes + kSectorBytes - 1) / kSectorBytes; };
    return body.pieces.size() == 1 && body.pieces[0].sector == ipl.StartSector() &&
           sectors(body.pieces[0].bytes) == sectors(ipl.ProgramBytes());
}

void CheckUsedCount(const DiskImage& disk, FsCheckReport& report, Reporter& out) {
    const int expected = disk.GetFirstDataCluster() + report.setPositions;
    const std::string figures =
        "usedClusters is " + std::to_string(report.usedClusters) + " but firstDataCluster (" +
        std::to_string(disk.GetFirstDataCluster()) + ") and the " +
        std::to_string(report.setPositions) + " set positions make " + std::to_string(expected);
    if (report.usedClusters > disk.GetTotalClusters())
        out.Add(FsSeverity::Error, "used-count-impossible",
                "usedClusters is " + std::to_string(report.usedClusters) + " but the disk has " +
                    std::to_string(disk.GetTotalClusters()) + " clusters (" +
                    std::to_string(report.setPositions) + " positions are set)");
    else if (report.usedClusters < report.setPositions)
        out.Add(FsSeverity::Error, "used-count-low", figures);
    else if (report.usedClusters < expected)
        out.Add(FsSeverity::Warning, "used-count-short",
                figures + " (the reserved area is left out)");
    else if (report.usedClusters > expected)
        out.Add(FsSeverity::Warning, "used-count-high", figures);
}

} // namespace

const char* SeverityName(FsSeverity severity) {
    switch (severity) {
    case FsSeverity::Error:
        return "error";
    case FsSeverity::Warning:
        return "warning";
    case FsSeverity::Info:
        break;
    }
    return "info";
}

int FsCheckReport::Errors() const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const FsFinding& f) {
        return f.severity == FsSeverity::Error;
    }));
}

int FsCheckReport::Warnings() const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const FsFinding& f) {
        return f.severity == FsSeverity::Warning;
    }));
}

std::string FsCheckReport::Summary() const {
    std::string text;
    for (const FsFinding& f : findings)
        text += std::string(SeverityName(f.severity)) + " " + f.code + ": " + f.message + "\n";
    return text;
}

FsCheckReport CheckFileSystem(const DiskImage& disk) {
    FsCheckReport report;
    Reporter out(report);
    if (!disk.HasImage()) {
        out.Add(FsSeverity::Error, "no-image", "no disk image is loaded");
        return report;
    }
    report.mzFileSystem = disk.IsMzFileSystem();
    if (!report.mzFileSystem) {
        // Without a sound bitmap header none of the figures below would mean anything.
        out.Add(FsSeverity::Error, "not-mz-fs",
                "sector 15 does not hold an MZ allocation bitmap: not an MZ file system");
        return report;
    }

    const ClusterOwnership map = BuildClusterOwnership(disk);
    report.directories = static_cast<int>(map.directories.size());
    report.bodies = static_cast<int>(map.owners.size());
    report.dataClusters = map.dataClusters;
    report.usedClusters = disk.GetUsedClusters();
    if (map.treeStoppedAtLimit)
        out.Add(FsSeverity::Warning, "tree-limit",
                "the directory walk stopped at its node limit (a directory cycle?)");

    for (const ClusterOwner& owner : map.owners)
        CheckBody(disk, map, owner, out);

    // Clusters held twice: one finding per pair of first holders, over all the clusters they
    // share.
    struct Shared {
        int first = -1;
        int count = 0;
        int moreHolders = 0; // beyond the pair, on the cluster that has the most
    };
    std::map<std::pair<int, int>, Shared> shared;
    std::vector<int> leaked;
    for (int k = 0; k < map.dataClusters; ++k) {
        const ClusterHolders& h = map.holders[static_cast<std::size_t>(k)];
        const bool set = PositionSet(disk, k);
        report.setPositions += set ? 1 : 0;
        report.heldClusters += h.count > 0 ? 1 : 0;
        if (h.count == 0 && set)
            leaked.push_back(k);
        if (h.count >= 2) {
            Shared& entry = shared[{h.first, h.second}];
            if (entry.count++ == 0)
                entry.first = k;
            entry.moreHolders = std::max(entry.moreHolders, h.count - 2);
        }
    }
    for (const auto& [pair, s] : shared) {
        const ClusterOwner& a = map.owners[static_cast<std::size_t>(pair.first)];
        const ClusterOwner& b = map.owners[static_cast<std::size_t>(pair.second)];
        if (s.moreHolders == 0 && BootIsFile(disk, a, b)) {
            const ClusterOwner& file = a.kind == OwnerKind::File ? a : b;
            out.Add(FsSeverity::Info, "boot-is-file",
                    "the boot program is " + Describe(disk, file) +
                        " too: both name the same sectors",
                    &file, s.first, s.count);
            continue;
        }
        std::string message = Describe(disk, a) + " and " + Describe(disk, b) + " both hold " +
                              ClusterRun(s.first, 1);
        if (s.count > 1)
            message += " and " + std::to_string(s.count - 1) + " more";
        if (s.moreHolders > 0)
            message += " (with up to " + std::to_string(s.moreHolders) + " further holders)";
        out.Add(FsSeverity::Error, "shared-cluster", std::move(message), &a, s.first, s.count);
    }
    ForEachRun(leaked, [&](int first, int count) {
        out.Add(FsSeverity::Warning, "leaked",
                ClusterRun(first, count) + " marked used but held by no file", nullptr, first,
                count);
    });

    CheckUsedCount(disk, report, out);
    return report;
}
