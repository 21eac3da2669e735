#include <algorithm>
#include <array>
#include <cstring>

#include "fs/Boot.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FsLimits.h"
#include "fs/IplHeader.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "image/Geometry.h"

namespace {

constexpr std::size_t kMztHeaderBytes = MztHeader::kBytes;
constexpr std::uint8_t kBootMztMode = 0x01; // a boot program always leaves as OBJ

std::array<unsigned char, kMztHeaderBytes> BootMztHeader(const IplHeader& ipl) {
    std::array<unsigned char, kMztHeaderBytes> header{};
    const MutableByteView view(header.data(), header.size());
    view.setU8(0, kBootMztMode);
    const IplHeader::TextBytes text = ipl.DisplayText();
    view.write(MztHeader::kNameOffset, text.data(), text.size());
    // The name must end in 0x0D somewhere. Bytes 12..17 are always zero, so a text already
    // ended by 0x0D gets a second 0x0D.
    TerminateNameField(view.slice(MztHeader::kNameOffset, MztHeader::kNameBytes));
    view.setU16le(MztHeader::kSizeOffset, ipl.Size());
    return header;
}

} // namespace

ExtractBootCause ExtractBoot(const DiskImage& disk, int format, std::vector<unsigned char>& out) {
    out.clear();
    const ByteView image = disk.Image();
    const IplHeader ipl = IplHeader::FromImage(image);
    if (!ipl.HasSignature())
        return ExtractBootCause::NoSignature;
    const std::size_t at = static_cast<std::size_t>(ipl.StartSector()) * kSectorBytes;
    const std::size_t bytes = ipl.ProgramBytes();
    // A program that would run past the image end is refused whole rather than cut.
    if (!image.contains(at, bytes))
        return ExtractBootCause::PastImageEnd;

    if (SelectsMzt(format)) {
        const auto header = BootMztHeader(ipl);
        out.assign(header.begin(), header.end());
    }
    const ByteView program = image.slice(at, bytes);
    out.insert(out.end(), program.data(), program.data() + program.size());
    return ExtractBootCause::None;
}

int DiskImage::ExtractBootToBuffer(int format, std::vector<unsigned char>& out) const {
    return ToInt(ToResult(ExtractBoot(*this, format, out)));
}

int DiskImage::RegisterBootFromBuffer(const unsigned char* data, std::size_t dataBytes,
                                      const unsigned char* header, int plain) {
    if (data == nullptr && dataBytes != 0)
        return ToInt(RegisterBootResult::CannotOpen);
    std::size_t length = dataBytes;
    const unsigned char* program = data;
    if (plain == 0) {
        if (dataBytes <= kMztHeaderBytes)
            return ToInt(RegisterBootResult::Empty);
        // The header's fields play no part: the program is whatever follows it.
        length = dataBytes - kMztHeaderBytes;
        program = data + kMztHeaderBytes;
    }
    // Size 0 would read back as 65536 bytes, so an empty program cannot be recorded.
    if (length == 0)
        return ToInt(RegisterBootResult::Empty);
    if (length > kMaxSizeField)
        return ToInt(RegisterBootResult::TooLarge);
    if (!HasImage())
        return ToInt(RegisterBootResult::NoSpace);

    const int bytes = static_cast<int>(length);
    const int k = FindFreeRun(bytes);
    if (k < 0)
        return ToInt(RegisterBootResult::NoSpace);
    const long long firstCluster = static_cast<long long>(k) + GetFirstDataCluster();
    const long long startSector = firstCluster * GetSectorsPerCluster();
    const long long startByte = firstCluster * GetClusterBytes();
    // A foreign bitmap can offer a run that the image does not hold; nothing may be recorded
    // that could not be stored.
    if (!Image().contains(static_cast<std::size_t>(startByte), length))
        return ToInt(RegisterBootResult::NoSpace);

    IplHeader ipl(header);
    ipl.SetSize(static_cast<std::uint16_t>(length));
    ipl.SetSignature();
    ipl.SetStartSector(static_cast<std::uint16_t>(startSector));
    const MutableByteView image = ImageView();
    image.write(0, ipl.Bytes().data(), IplHeader::kBytes);

    const MutableByteView bitmap = BitmapView();
    const long long used =
        bitmap.u16le(kBitmapUsedClusters) + ClustersFor(bytes, GetClusterBytes());
    bitmap.setU16le(kBitmapUsedClusters, static_cast<std::uint16_t>(used & 0xFFFF));
    MarkUsed(k, bytes);

    image.write(static_cast<std::size_t>(startByte), program, length);
    return ToInt(RegisterBootResult::Ok);
}
