#include "gui/DlgTestSupport.h"

#include <fstream>
#include <iterator>

#include "fs/AddFileEntry.h"
#include "fs/ListRow.h"

namespace dlgtest {

std::vector<unsigned char> Pattern(std::size_t bytes) {
    std::vector<unsigned char> v(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        v[i] = static_cast<unsigned char>(i % 251);
    return v;
}

std::vector<unsigned char> Mzt(std::uint8_t mode, const std::string& name, std::uint16_t size,
                               std::uint16_t load, std::uint16_t exec,
                               const std::vector<unsigned char>& data) {
    std::vector<unsigned char> v(128, 0);
    v[0] = mode;
    for (std::size_t i = 0; i < name.size() && i < 17; ++i)
        v[1 + i] = static_cast<unsigned char>(name[i]);
    if (name.size() < 17)
        v[1 + name.size()] = 0x0D;
    v[18] = size & 0xFF;
    v[19] = size >> 8;
    v[20] = load & 0xFF;
    v[21] = load >> 8;
    v[22] = exec & 0xFF;
    v[23] = exec >> 8;
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

std::string WriteHostFile(const std::filesystem::path& path,
                          const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::vector<unsigned char> ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<DirEntry> RootEntry(const DiskImage& disk, const std::string& name) {
    for (const ListRow& row : ListDirectory(disk, kRootDir))
        if (row.entry.NameText() == name)
            return row.entry;
    return std::nullopt;
}

int RootIndex(const DiskImage& disk, const std::string& name) {
    for (const ListRow& row : ListDirectory(disk, kRootDir))
        if (row.entry.NameText() == name)
            return row.entryIndex;
    return -1;
}

int PutObj(DiskImage& disk, const std::string& name, const std::vector<unsigned char>& data) {
    DirEntry::Bytes32 entry =
        AddFileEntry::Build(name, 1, false, 0, static_cast<std::int64_t>(data.size()), 0, 0);
    return disk.ImportFromBuffer(data.data(), data.size(), entry.data(), 1, 1);
}

std::vector<unsigned char> Snapshot(const DiskImage& disk) {
    const ByteView image = disk.Image();
    return {image.data(), image.data() + image.size()};
}

} // namespace dlgtest
