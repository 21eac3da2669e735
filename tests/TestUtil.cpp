#include "TestUtil.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace testutil {

std::vector<unsigned char> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteFileBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::filesystem::path TestDataDir() {
#ifdef DARVEX_TESTDATA_DIR
    return DARVEX_TESTDATA_DIR;
#else
    return {};
#endif
}

std::filesystem::path TestDataPath(std::string_view relative) {
    return TestDataDir() / relative;
}

bool HaveTestData() {
    std::error_code ec;
    return !TestDataDir().empty() && std::filesystem::is_directory(TestDataDir(), ec);
}

int RunAsUser(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kTestUid) != 0 || setuid(kTestUid) != 0))
            _exit(255);
        _exit(body() & 0xFF);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void GiveToTestUser(std::initializer_list<std::filesystem::path> paths) {
    if (geteuid() != 0)
        return;
    for (const std::filesystem::path& path : paths)
        EXPECT_EQ(chown(path.c_str(), kTestUid, kTestUid), 0) << path;
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate =
            base / ("darvex-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            m_path = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

D88Record SectorRecord(int cyl, int head, int rec, const unsigned char* sector, int sizeCode,
                       unsigned char pad) {
    D88Record r;
    r.cyl = static_cast<std::uint8_t>(cyl);
    r.head = static_cast<std::uint8_t>(head);
    r.rec = static_cast<std::uint8_t>(rec);
    r.sizeCode = static_cast<std::uint8_t>(sizeCode);
    const std::size_t len = std::size_t{128} << sizeCode;
    r.data.assign(len, pad);
    for (std::size_t i = 0; i < std::min<std::size_t>(len, 256); ++i)
        r.data[i] = static_cast<unsigned char>(~sector[i]);
    return r;
}

D88Builder& D88Builder::SetName(std::string_view name) {
    std::fill(std::begin(m_name), std::end(m_name), 0);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), sizeof m_name), m_name);
    return *this;
}

D88Builder& D88Builder::SetWriteProtect(std::uint8_t flag) {
    m_writeProtect = flag;
    return *this;
}

D88Builder& D88Builder::SetMediaType(std::uint8_t media) {
    m_media = media;
    return *this;
}

D88Builder& D88Builder::SetHeaderBytes(std::size_t bytes) {
    m_headerBytes = bytes;
    return *this;
}

D88Builder& D88Builder::SetDiskSize(std::uint32_t size) {
    m_hasDiskSize = true;
    m_diskSize = size;
    return *this;
}

D88Builder& D88Builder::AddTrack(int entry, std::vector<D88Record> records) {
    m_tracks.push_back({entry, std::move(records)});
    return *this;
}

D88Builder& D88Builder::SetTrackEntry(int entry, std::uint32_t offset) {
    m_rawEntries.emplace_back(entry, offset);
    return *this;
}

namespace {

void Put16(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<unsigned char>(v & 0xFF);
    b[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

void Put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

} // namespace

std::vector<unsigned char> D88Builder::Build() const {
    std::vector<unsigned char> out(m_headerBytes, 0);
    std::copy(std::begin(m_name), std::end(m_name), out.begin());
    out[0x1A] = m_writeProtect;
    out[0x1B] = m_media;
    const std::size_t entries = (m_headerBytes - 0x20) / 4;
    auto setEntry = [&](int entry, std::uint32_t offset) {
        if (entry >= 0 && static_cast<std::size_t>(entry) < entries)
            Put32(out, 0x20 + 4 * static_cast<std::size_t>(entry), offset);
    };
    for (const Track& track : m_tracks) {
        setEntry(track.entry, static_cast<std::uint32_t>(out.size()));
        for (const D88Record& r : track.records) {
            const std::size_t at = out.size();
            out.resize(at + 16 + r.data.size(), 0);
            out[at + 0] = r.cyl;
            out[at + 1] = r.head;
            out[at + 2] = r.rec;
            out[at + 3] = r.sizeCode;
            const int count =
                r.sectorCount >= 0 ? r.sectorCount : static_cast<int>(track.records.size());
            Put16(out, at + 4, static_cast<std::uint32_t>(count));
            out[at + 6] = r.density;
            out[at + 7] = r.deletedMark;
            out[at + 8] = r.status;
            Put16(out, at + 14, static_cast<std::uint32_t>(r.data.size()));
            std::copy(r.data.begin(), r.data.end(), out.begin() + static_cast<long>(at + 16));
        }
    }
    for (const auto& [entry, offset] : m_rawEntries)
        setEntry(entry, offset);
    Put32(out, 0x1C, m_hasDiskSize ? m_diskSize : static_cast<std::uint32_t>(out.size()));
    return out;
}

std::vector<unsigned char> StandardD88(const std::vector<unsigned char>& flat, int cylinders,
                                       std::uint8_t media) {
    D88Builder builder;
    builder.SetMediaType(media);
    unsigned char sector[256];
    for (int cyl = 0; cyl < cylinders; ++cyl) {
        for (int head = 0; head <= 1; ++head) {
            std::vector<D88Record> records;
            for (int rec = 1; rec <= 16; ++rec) {
                const std::size_t at =
                    static_cast<std::size_t>(32 * cyl + 16 * (1 - head) + rec - 1) * 256;
                for (std::size_t i = 0; i < 256; ++i)
                    sector[i] = at + i < flat.size() ? flat[at + i] : 0;
                records.push_back(SectorRecord(cyl, head, rec, sector));
            }
            builder.AddTrack(2 * cyl + head, std::move(records));
        }
    }
    return builder.Build();
}

} // namespace testutil
