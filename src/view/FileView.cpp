#include "view/FileView.h"

#include "fs/FileBody.h"
#include "fs/FileMode.h"
#include "fs/IplHeader.h"
#include "fs/DiskImage.h"
#include "image/Geometry.h"
#include "view/BasicListing.h"
#include "view/HexView.h"
#include "view/TextView.h"

namespace {

constexpr std::uint8_t kMedia2DD = 0x10;

long long ClaimedBytes(const DirEntry& entry) {
    const long long size = entry.Size();
    return entry.Mode() == FileMode::ToByte(FileModeCode::Brd) ? size * kRecordBytes : size;
}

} // namespace

FileContent ReadFileContent(const DiskImage& disk, const DirEntry& entry) {
    FileContent content;
    const FileBody body = WalkFileBody(disk, entry.Bytes().data());
    const ByteView image = disk.Image();
    content.bytes.reserve(body.bytes);
    for (const BodyPiece& piece : body.pieces) {
        const ByteView part = image.slice(static_cast<std::size_t>(piece.sector) * kSectorBytes,
                                          static_cast<std::size_t>(piece.bytes));
        content.bytes.insert(content.bytes.end(), part.data(), part.data() + part.size());
    }
    const auto found = static_cast<long long>(content.bytes.size());
    switch (body.status) {
    case BodyStatus::Complete:
        break;
    case BodyStatus::EndedEarly:
        content.notes.push_back({ViewNoteCode::BodyEndedEarly, -1, found, ClaimedBytes(entry)});
        break;
    case BodyStatus::LeftImage:
        content.notes.push_back({ViewNoteCode::BodyLeftImage, body.outsideSector});
        break;
    case BodyStatus::ChainLoop:
        content.notes.push_back({ViewNoteCode::BodyChainLoop, found});
        break;
    }
    return content;
}

std::vector<ViewKind> ViewKindsFor(std::uint8_t mode) {
    if (mode == FileMode::ToByte(FileModeCode::Btx))
        return {ViewKind::Basic, ViewKind::Text, ViewKind::Hex};
    return {ViewKind::Text, ViewKind::Hex};
}

ViewKind DefaultViewKind(std::uint8_t mode) {
    if (mode == FileMode::ToByte(FileModeCode::Btx))
        return ViewKind::Basic;
    if (mode == FileMode::ToByte(FileModeCode::Bsd))
        return ViewKind::Text;
    return ViewKind::Hex;
}

Listing ViewFile(const DiskImage& disk, const DirEntry& entry, ViewKind kind) {
    const FileContent content = ReadFileContent(disk, entry);
    const ByteView bytes(content.bytes.data(), content.bytes.size());
    Listing listing;
    switch (kind) {
    case ViewKind::Basic:
        listing = ListBasic(bytes, {.mz2500Disk = disk.GetMediaType() == kMedia2DD});
        break;
    case ViewKind::Text:
        listing = ListText(bytes);
        break;
    case ViewKind::Hex:
        listing = ListHex(bytes);
        break;
    }
    listing.notes.insert(listing.notes.begin(), content.notes.begin(), content.notes.end());
    return listing;
}

Listing ViewBootProgram(const DiskImage& disk) {
    const ByteView image = disk.Image();
    const IplHeader ipl = IplHeader::FromImage(image);
    if (!ipl.HasSignature()) {
        Listing none;
        none.kind = ViewKind::Hex;
        none.Note({ViewNoteCode::BootNone});
        return none;
    }
    const std::size_t at = static_cast<std::size_t>(ipl.StartSector()) * kSectorBytes;
    const ByteView program = image.slice(at, ipl.ProgramBytes());
    Listing listing = ListHex(program);
    if (program.size() < ipl.ProgramBytes())
        listing.notes.insert(listing.notes.begin(), ViewNote{ViewNoteCode::BootPastDisk});
    return listing;
}
