#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/CliLanguage.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "fs/DiskImage.h"
#include "fs/FsCheck.h"

namespace {

nlohmann::json ReportJson(const FsCheckReport& report, int diskNumber) {
    nlohmann::json findings = nlohmann::json::array();
    for (const FsFinding& f : report.findings)
        findings.push_back({{"severity", SeverityName(f.severity)},
                            {"code", f.code},
                            {"message", f.message},
                            {"dir_sector", f.dirSector},
                            {"entry_index", f.entryIndex},
                            {"cluster", f.cluster},
                            {"count", f.count}});
    return {{"disk", diskNumber},
            {"ok", report.Ok()},
            {"errors", report.Errors()},
            {"warnings", report.Warnings()},
            {"mz_file_system", report.mzFileSystem},
            {"directories", report.directories},
            {"bodies", report.bodies},
            {"data_clusters", report.dataClusters},
            {"set_positions", report.setPositions},
            {"held_clusters", report.heldClusters},
            {"used_clusters", report.usedClusters},
            {"findings", findings}};
}

struct CheckOptions {
    std::string image;
    int disk = kFirstDisk;
    bool json = false;
};

int RunCheck(CliStreams& io, const CheckOptions& o) {
    DiskImage disk;
    if (const int status = LoadImage(io, "check", o.image, disk, o.disk); status != kExitOk)
        return status;
    const FsCheckReport report = CheckFileSystem(disk);
    if (o.json) {
        io.out << ReportJson(report, o.disk).dump(2) << '\n';
    } else {
        io.out << report.Summary()
               << FormatText(Tr("%s errors, %s warnings; %s directories, %s bodies, %s of %s data "
                                "clusters held"),
                             {std::to_string(report.Errors()), std::to_string(report.Warnings()),
                              std::to_string(report.directories), std::to_string(report.bodies),
                              std::to_string(report.heldClusters),
                              std::to_string(report.dataClusters)})
               << '\n';
    }
    if (report.Ok())
        return kExitOk;
    return Fail(io, "check", o.image,
                FormatText(Tr("%s file system errors found"), {std::to_string(report.Errors())}));
}

} // namespace

void AddCheckCommand(CommandSet& commands) {
    auto o = std::make_shared<CheckOptions>();
    CliStreams& io = commands.Io();
    CLI::App* sub = commands.Add("check", Tr("Check the file system (exit 1 when an error is found)"),
                                 [o, &io] { return RunCheck(io, *o); });
    sub->add_option("IMAGE", o->image, Tr("Disk image file (D88)"))->required();
    AddDiskOption(sub, o->disk);
    sub->add_flag("--json", o->json, Tr("Print JSON"));
}
