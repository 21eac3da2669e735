#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "TestUtil.h"
#include "host/ImageBytes.h"

namespace {

std::vector<unsigned char> WriteFile(const std::string& path, std::size_t bytes) {
    std::vector<unsigned char> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<unsigned char>(i * 13 + 5);
    testutil::WriteFileBytes(path, data);
    return data;
}

// Reads path through ImageBytes (mapped when the process enabled it): 0 when the bytes are
// data, 2 when they differ, 3 when the read failed.
int ReadMatches(const std::string& path, const std::vector<unsigned char>& data) {
    const int fd = open(path.c_str(), O_RDONLY);
    ImageBytes bytes;
    const bool ok = bytes.Read(fd, data.size(), path);
    close(fd);
    if (!ok)
        return 3;
    return bytes.size() == data.size() &&
                   (data.empty() || std::memcmp(bytes.data(), data.data(), data.size()) == 0)
               ? 0
               : 2;
}

} // namespace

TEST(ImageBytes, ReadGivesTheFileAndRefusesAShortOne) {
    testutil::TempDir dir;
    const std::string path = (dir.path() / "disk.d88").string();
    for (std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{697008}}) {
        SCOPED_TRACE(size);
        const auto data = WriteFile(path, size);
        EXPECT_EQ(ReadMatches(path, data), 0);
    }
    // The file is shorter than the length asked for (it shrank after its fstat).
    const auto data = WriteFile(path, 5000);
    const int fd = open(path.c_str(), O_RDONLY);
    ImageBytes bytes;
    EXPECT_FALSE(bytes.Read(fd, 8000, path));
    close(fd);
}

// Mapping is a process-wide choice with a signal handler: each case runs in a child.
TEST(ImageBytesDeathTest, MappedReadGivesTheSameBytes) {
    if (kHeapBuffersOnly)
        GTEST_SKIP() << "AddressSanitizer builds read files instead of mapping them";
    testutil::TempDir dir;
    const std::string path = (dir.path() / "disk.d88").string();
    const auto data = WriteFile(path, 697008);
    EXPECT_EXIT(
        {
            ImageBytes::EnableMapping("darvex-cli: ls: ");
            _exit(ImageBytes::MappingEnabled() ? ReadMatches(path, data) : 4);
        },
        testing::ExitedWithCode(0), "");
}

TEST(ImageBytesDeathTest, FileCutShortWhileMappedEndsTheProcessWithTheMessage) {
    if (kHeapBuffersOnly)
        GTEST_SKIP() << "AddressSanitizer builds read files instead of mapping them";
    testutil::TempDir dir;
    const std::string path = (dir.path() / "disk.d88").string();
    WriteFile(path, 65536);
    EXPECT_EXIT(
        {
            ImageBytes::EnableMapping("darvex-cli: ls: ");
            const int fd = open(path.c_str(), O_RDONLY);
            ImageBytes bytes;
            if (!bytes.Read(fd, 65536, path))
                _exit(3);
            // Another program truncates the image while it is being decoded.
            if (truncate(path.c_str(), 0) != 0)
                _exit(5);
            volatile unsigned char last = bytes.data()[65535];
            _exit(last == 0 ? 6 : 7); // not reached: the page is gone
        },
        testing::ExitedWithCode(1),
        "darvex-cli: ls: .*disk\\.d88: another program cut the file short while it was read");
}

TEST(ImageBytesDeathTest, OtherBusErrorsKeepTheirDefaultAction) {
    EXPECT_EXIT(
        {
            ImageBytes::EnableMapping("darvex-cli: ls: ");
            std::raise(SIGBUS);
            _exit(0);
        },
        testing::KilledBySignal(SIGBUS), "");
}
