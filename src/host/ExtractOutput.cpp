#include "host/ExtractOutput.h"

#include <cerrno>
#include <sys/stat.h>
#include <vector>

#include "fs/Boot.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/Export.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "host/HostFile.h"
#include "host/HostNames.h"
#include "image/Geometry.h"

namespace {

// Enough for any folder a user extracts into again and again; past it the export fails.
constexpr int kMaxNumber = 9999;

struct Split {
    std::string folder; // with its final "/", or empty
    std::string name;
};

Split SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {std::string(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string OutputPath(const std::string& path, OutputName name) {
    if (name == OutputName::Chosen)
        return path;
    const Split split = SplitPath(path);
    return split.folder + VisibleFileName(split.name);
}

struct Written {
    bool ok = false;
    int sysError = 0;
    std::string path;
};

// An Unseen name takes the first of name, name~2, name~3 ... where nothing stands; the write
// itself never replaces, so a file that appears meanwhile only moves it on to the next.
Written WriteOutput(const std::string& path, const std::vector<unsigned char>& bytes,
                    OutputName name) {
    Written written;
    written.path = path;
    if (name == OutputName::Chosen) {
        written.ok = HostFile::Write(path.c_str(), bytes.data(), bytes.size(), &written.sysError);
        return written;
    }
    const Split split = SplitPath(path);
    for (int n = 1; n <= kMaxNumber; ++n) {
        written.path = n == 1 ? path : split.folder + NumberedName(split.name, n);
        if (PathExists(written.path))
            continue;
        written.ok =
            HostFile::Create(written.path.c_str(), bytes.data(), bytes.size(), &written.sysError);
        if (written.ok || written.sysError != EEXIST)
            return written;
    }
    written.path = path;
    written.sysError = EEXIST;
    return written;
}

} // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::string VisibleFileName(const std::string& name) {
    return !name.empty() && name.front() == '.' ? "_" + name : name;
}

const std::string& ExportOutcome::Subject() const {
    const bool aboutBody =
        result == ExportResult::ReservedArea || result == ExportResult::PastDiskEnd;
    return aboutBody ? entryNameUtf8 : path;
}

std::string ExportOutcome::UiMessage() const {
    return ::UiMessage(result, Subject(), sector);
}

std::string ExportOutcome::CliMessage() const {
    return ::CliMessage(result, sector, sysError);
}

std::string ExtractBootOutcome::UiMessage() const {
    return ::UiMessage(cause, path);
}

std::string ExtractBootOutcome::CliMessage() const {
    return ::CliMessage(cause, sysError);
}

ExportOutcome CheckEntryExport(const DiskImage& disk, int entryIndex, const std::string& path,
                               const ExtractOutput& output) {
    ExportOutcome outcome;
    outcome.path = OutputPath(path, output.name);
    const ExportCheck check = CheckExportBody(disk, entryIndex);
    if (check.result == ExportResult::CannotWrite) { // no such entry
        outcome.result = check.result;
        return outcome;
    }
    unsigned char entry[kDirEntryBytes];
    disk.ReadDirEntry(entry, entryIndex);
    outcome.entryNameUtf8 = SjisToTerminal(DirEntry(entry).NameText());
    if (check.result != ExportResult::Ok && !output.force) {
        outcome.result = check.result;
        outcome.sector = check.sector;
        return outcome;
    }
    if (IsSameFile(outcome.path, output.imagePath))
        outcome.result = ExportResult::SameAsImage;
    return outcome;
}

ExportOutcome ExportEntryToFile(const DiskImage& disk, int entryIndex, const std::string& path,
                                int format, const ExtractOutput& output) {
    ExportOutcome outcome = CheckEntryExport(disk, entryIndex, path, output);
    if (!outcome.Ok())
        return outcome;
    std::vector<unsigned char> bytes;
    if (disk.ExportToBuffer(entryIndex, format, bytes) != ToInt(ExportResult::Ok)) {
        outcome.result = ExportResult::CannotWrite;
        return outcome;
    }
    const Written written = WriteOutput(outcome.path, bytes, output.name);
    outcome.path = written.path;
    if (!written.ok) {
        outcome.result = ExportResult::CannotWrite;
        outcome.sysError = written.sysError;
    }
    return outcome;
}

namespace {

ExtractBootOutcome CheckBoot(const DiskImage& disk, const std::string& path, int format,
                             const ExtractOutput& output, std::vector<unsigned char>& bytes) {
    ExtractBootOutcome outcome;
    outcome.path = OutputPath(path, output.name);
    outcome.cause = ExtractBoot(disk, format, bytes);
    if (outcome.Ok() && IsSameFile(outcome.path, output.imagePath))
        outcome.cause = ExtractBootCause::SameAsImage;
    return outcome;
}

} // namespace

ExtractBootOutcome CheckBootExtract(const DiskImage& disk, const std::string& path,
                                    const ExtractOutput& output) {
    std::vector<unsigned char> bytes;
    return CheckBoot(disk, path, ToInt(ExportFormat::Bin), output, bytes);
}

ExtractBootOutcome ExtractBootToFile(const DiskImage& disk, const std::string& path, int format,
                                     const ExtractOutput& output) {
    std::vector<unsigned char> bytes;
    // Every refusal comes before the file is created, so a refused extraction leaves none.
    ExtractBootOutcome outcome = CheckBoot(disk, path, format, output, bytes);
    if (!outcome.Ok())
        return outcome;
    const Written written = WriteOutput(outcome.path, bytes, output.name);
    outcome.path = written.path;
    if (!written.ok) {
        outcome.cause = ExtractBootCause::WriteFailed;
        outcome.sysError = written.sysError;
    }
    return outcome;
}
