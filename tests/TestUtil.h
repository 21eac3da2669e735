#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testutil {

// The whole file, or an empty vector when it cannot be read.
std::vector<unsigned char> ReadFileBytes(const std::filesystem::path& path);
bool WriteFileBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

// The folder of real images and tapes, and a file inside it.
std::filesystem::path TestDataDir();
std::filesystem::path TestDataPath(std::string_view relative);
bool HaveTestData();

// A fresh, empty folder under the system's temporary folder, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The user a test takes when run as root, and a second one for files of "another user".
inline constexpr unsigned kTestUid = 4321;
inline constexpr unsigned kOtherUid = 4322;

// Runs body in a child process as an ordinary user and returns what it returns (0 to 255; -1
// when the child did not end normally). Run as root the child first becomes kTestUid (group
// kTestUid, no other groups), so that permissions hold for it as they do for everybody else;
// run as anyone else it stays that user. Results travel through the return value only: the
// child's own test assertions would not reach the parent.
int RunAsUser(const std::function<int()>& body);
// Run as root, gives the paths to kTestUid; otherwise does nothing.
void GiveToTestUser(std::initializer_list<std::filesystem::path> paths);

// One sector record of a D88 track; data is stored as given (already complemented).
struct D88Record {
    std::uint8_t cyl = 0;
    std::uint8_t head = 0;
    std::uint8_t rec = 1;
    std::uint8_t sizeCode = 1;
    std::vector<unsigned char> data;
    std::uint8_t density = 0;
    std::uint8_t deletedMark = 0;
    std::uint8_t status = 0;
    int sectorCount = -1; // -1: the number of records of its track
};

// A record carrying `sector` (256 bytes, as the machine sees them) the way the container
// stores it: the first min(128 << sizeCode, 256) bytes complemented, any rest filled with
// `pad`.
D88Record SectorRecord(int cyl, int head, int rec, const unsigned char* sector, int sizeCode = 1,
                       unsigned char pad = 0xA5);

// Builds D88 bytes from tracks laid out one after another behind the header.
class D88Builder {
public:
    D88Builder& SetName(std::string_view name); // up to 17 bytes
    D88Builder& SetWriteProtect(std::uint8_t flag);
    D88Builder& SetMediaType(std::uint8_t media);
    // 688 for the full table of 164 entries, 672 for the 160-entry form.
    D88Builder& SetHeaderBytes(std::size_t bytes);
    // By default the disk size field holds the length of the built bytes.
    D88Builder& SetDiskSize(std::uint32_t size);
    // A track whose offset goes into table entry `entry`.
    D88Builder& AddTrack(int entry, std::vector<D88Record> records);
    // A raw value for a table entry, written after the tracks' offsets.
    D88Builder& SetTrackEntry(int entry, std::uint32_t offset);
    std::vector<unsigned char> Build() const;

private:
    struct Track {
        int entry;
        std::vector<D88Record> records;
    };
    unsigned char m_name[17] = {};
    std::uint8_t m_writeProtect = 0;
    std::uint8_t m_media = 0;
    std::size_t m_headerBytes = 0x2B0;
    bool m_hasDiskSize = false;
    std::uint32_t m_diskSize = 0;
    std::vector<Track> m_tracks;
    std::vector<std::pair<int, std::uint32_t>> m_rawEntries;
};

// The standard container of a flat image: every cylinder with both tracks, head 0 first,
// records R 1..16, N = 1. Sectors beyond the end of `flat` are stored as 0x00.
std::vector<unsigned char> StandardD88(const std::vector<unsigned char>& flat, int cylinders,
                                       std::uint8_t media);

} // namespace testutil

// Skips the current test when the real test data are not installed.
#define DARVEX_REQUIRE_TESTDATA()                                                                  \
    do {                                                                                           \
        if (!testutil::HaveTestData())                                                             \
            GTEST_SKIP() << "test data folder not found: " << testutil::TestDataDir();             \
    } while (0)
