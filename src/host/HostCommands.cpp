#include "host/HostCommands.h"

#include "fs/DiskImage.h"
#include "fs/MztHeader.h"
#include "host/HostFile.h"
#include "host/PathParts.h"

namespace {

struct Chosen {
    std::string fileName;
    bool isMzt = false;
};

Chosen Choose(const std::string& path, MztChoice mzt) {
    PathParts parts;
    parts.SetPath(path.c_str());
    Chosen chosen;
    chosen.isMzt = mzt == MztChoice::Mzt ||
                   (mzt == MztChoice::ByExtension && AddFileEntry::IsMztExtension(parts.GetExt()));
    chosen.fileName = parts.GetPath(PP_FNAME | PP_EXT);
    return chosen;
}

} // namespace

AddFileSource ReadAddFileSource(const std::string& path, MztChoice mzt) {
    AddFileSource source;
    // An MZT file over the limit also carries more than 512 KB of data, which no mode can
    // store, so one read limit serves both kinds of file.
    switch (HostFile::Read(path.c_str(), AddFileEntry::kMaxFileBytes + MztHeader::kBytes,
                           source.data, &source.fileBytes)) {
    case HostFile::ReadStatus::CannotOpen:
        source.reason = AddFileReason::CannotRead;
        return source;
    case HostFile::ReadStatus::TooLarge: // refused below, with its length
    case HostFile::ReadStatus::Ok:
        break;
    }
    const Chosen chosen = Choose(path, mzt);
    source.fileNameUtf8 = chosen.fileName;
    source.proposal = AddFileEntry::ProposeForHostFile(
        chosen.fileName, source.fileBytes, ByteView(source.data.data(), source.data.size()),
        chosen.isMzt);
    if (AddFileEntry::Refused(source.proposal, source.fileBytes)) {
        source.reason = AddFileReason::TooLarge;
        source.data.clear();
    }
    return source;
}

AddFileOutcome AddFileFromSource(DiskImage& disk, const AddFileSource& source,
                                 const AddFileEntry::Choices& choices, bool overUnmarked) {
    AddFileOutcome outcome;
    if (source.reason != AddFileReason::Ok) {
        outcome.reason = source.reason;
        return outcome;
    }
    if (!overUnmarked) {
        outcome.hazard = FindAllocationHazard(disk);
        if (outcome.hazard.Present()) {
            outcome.reason = AddFileReason::BitmapMissesFile;
            return outcome;
        }
    }
    // A tape without its whole header or without data is refused for what it is, before its
    // zero-filled header's empty name could be blamed.
    if (source.proposal.isMzt && source.data.size() < MztHeader::kBytes) {
        outcome.reason = AddFileReason::MztShorterThanHeader;
        return outcome;
    }
    if (source.proposal.isMzt && source.data.size() == MztHeader::kBytes) {
        outcome.result = ImportResult::MztTooShort;
        return outcome;
    }
    outcome.built = AddFileEntry::BuildEntry(source.proposal, choices);
    outcome.reason = outcome.built.reason;
    if (outcome.reason != AddFileReason::Ok)
        return outcome;
    outcome.result = static_cast<ImportResult>(
        disk.ImportFromBuffer(source.data.data(), source.data.size(), outcome.built.entry.data(),
                              outcome.built.plain, outcome.built.storageMode));
    return outcome;
}

BootSource ReadBootSource(const std::string& path, MztChoice mzt) {
    BootSource source;
    switch (HostFile::Read(path.c_str(), BootHeaderBuilder::kMaxFileBytes, source.data,
                           &source.fileBytes)) {
    case HostFile::ReadStatus::CannotOpen:
        source.reason = BootRegisterReason::CannotRead;
        return source;
    case HostFile::ReadStatus::TooLarge:
        source.reason = BootRegisterReason::TooLarge;
        return source;
    case HostFile::ReadStatus::Ok:
        break;
    }
    const Chosen chosen = Choose(path, mzt);
    source.fileNameUtf8 = chosen.fileName;
    source.proposal = BootHeaderBuilder::ProposeForHostFile(
        chosen.fileName, ByteView(source.data.data(), source.data.size()), chosen.isMzt);
    return source;
}

BootOutcome RegisterBootFromSource(DiskImage& disk, const BootSource& source,
                                   const BootHeaderBuilder::Choices& choices, bool overUnmarked) {
    BootOutcome outcome;
    if (source.reason != BootRegisterReason::Ok) {
        outcome.reason = source.reason;
        return outcome;
    }
    if (!overUnmarked) {
        outcome.hazard = FindAllocationHazard(disk);
        if (outcome.hazard.Present()) {
            outcome.reason = BootRegisterReason::BitmapMissesFile;
            return outcome;
        }
    }
    const BootHeaderBuilder::Built built = BootHeaderBuilder::BuildHeader(source.proposal, choices);
    outcome.reason = built.reason;
    if (outcome.reason != BootRegisterReason::Ok)
        return outcome;
    outcome.result = static_cast<RegisterBootResult>(disk.RegisterBootFromBuffer(
        source.data.data(), source.data.size(), built.header.Bytes().data(), built.plain));
    return outcome;
}
