#include <algorithm>
#include <array>
#include <cstring>

#include "fs/HostFile.h"
#include "fs/IplHeader.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "image/DiskImage.h"
#include "image/Geometry.h"

namespace {

constexpr std::size_t kMztHeaderBytes = MztHeader::kBytes;
constexpr std::size_t kMztNameOffset = MztHeader::kNameOffset;
constexpr std::size_t kMztNameBytes = MztHeader::kNameBytes;
constexpr std::size_t kMztSizeOffset = MztHeader::kSizeOffset;
constexpr std::uint8_t kBootMztMode = 0x01; // a boot program always leaves as OBJ
// The length of a program the 16-bit size field can record without 0 being read as 65536.
constexpr std::size_t kMaxBootProgramBytes = 65535;

// Only the low four bits choose the format; zero there means MZT.
bool SelectsMzt(int format) {
    return (format & 0x0F) == 0;
}

std::array<unsigned char, kMztHeaderBytes> BootMztHeader(const IplHeader& ipl) {
    std::array<unsigned char, kMztHeaderBytes> header{};
    header[0] = kBootMztMode;
    const IplHeader::TextBytes text = ipl.DisplayText();
    std::copy(text.begin(), text.end(), header.begin() + kMztNameOffset);
    // The name must end in 0x0D somewhere: the first zero of the field becomes one. Bytes
    // 12..17 are always zero, so a text already ended by 0x0D gets a second 0x0D.
    for (std::size_t i = kMztNameOffset; i < kMztNameOffset + kMztNameBytes; ++i) {
        if (header[i] == 0x00) {
            header[i] = 0x0D;
            break;
        }
    }
    header[kMztSizeOffset] = static_cast<unsigned char>(ipl.Size() & 0xFF);
    header[kMztSizeOffset + 1] = static_cast<unsigned char>(ipl.Size() >> 8);
    return header;
}

long long ClustersFor(long long bytes, int clusterBytes) {
    if (bytes <= 0 || clusterBytes <= 0)
        return 0;
    return bytes / clusterBytes + (bytes % clusterBytes != 0 ? 1 : 0);
}

} // namespace

int DiskImage::ExtractBootToBuffer(int format, std::vector<unsigned char>& out) const {
    constexpr int kFailed = ToInt(ExtractBootResult::Failed);
    out.clear();
    const ByteView image = Image();
    const IplHeader ipl = IplHeader::FromImage(image);
    if (!ipl.HasSignature())
        return kFailed;
    const std::size_t at = static_cast<std::size_t>(ipl.StartSector()) * kSectorBytes;
    const std::size_t bytes = ipl.ProgramBytes();
    // A program that would run past the image end is refused whole rather than cut.
    if (!image.contains(at, bytes))
        return kFailed;

    if (SelectsMzt(format)) {
        const auto header = BootMztHeader(ipl);
        out.assign(header.begin(), header.end());
    }
    const ByteView program = image.slice(at, bytes);
    out.insert(out.end(), program.data(), program.data() + program.size());
    return ToInt(ExtractBootResult::Ok);
}

int DiskImage::ExtractBootProgram(const char* path, int format) const {
    constexpr int kFailed = ToInt(ExtractBootResult::Failed);
    if (path == nullptr)
        return kFailed;
    std::vector<unsigned char> out;
    // Every refusal comes before the file is created, so a refused extraction leaves none.
    if (const int result = ExtractBootToBuffer(format, out); result != 0)
        return result;
    if (!HostFile::Write(path, out.data(), out.size()))
        return kFailed;
    return ToInt(ExtractBootResult::Ok);
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
    if (length > kMaxBootProgramBytes)
        return ToInt(RegisterBootResult::TooLarge);
    if (!HasImage())
        return ToInt(RegisterBootResult::NoSpace);

    const int bytes = static_cast<int>(length);
    const int k = FindFreeRun(bytes);
    if (k < 0)
        return ToInt(RegisterBootResult::NoSpace);
    const long long firstCluster = static_cast<long long>(k) + GetFirstDataCluster();
    const long long startSector = firstCluster * GetSectorsPerCluster();
    const long long startByte = firstCluster * m_nClusterBytes;
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
    const long long used = bitmap.u16le(kBitmapUsedClusters) + ClustersFor(bytes, m_nClusterBytes);
    bitmap.setU16le(kBitmapUsedClusters, static_cast<std::uint16_t>(used & 0xFFFF));
    MarkUsed(k, bytes);

    image.write(static_cast<std::size_t>(startByte), program, length);
    return ToInt(RegisterBootResult::Ok);
}

int DiskImage::RegisterBootProgram(const char* path, const unsigned char* header, int plain) {
    if (path == nullptr)
        return ToInt(RegisterBootResult::CannotOpen);
    std::vector<unsigned char> data;
    // Reading stops at the largest file that could still be registered, the MZT header
    // included; anything longer is refused before it is read.
    const HostFile::ReadStatus status =
        HostFile::Read(path, kMaxBootProgramBytes + kMztHeaderBytes, data);
    if (status == HostFile::ReadStatus::CannotOpen)
        return ToInt(RegisterBootResult::CannotOpen);
    if (status == HostFile::ReadStatus::TooLarge)
        return ToInt(RegisterBootResult::TooLarge);
    return RegisterBootFromBuffer(data.data(), data.size(), header, plain);
}
