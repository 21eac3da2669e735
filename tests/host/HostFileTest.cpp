#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

#include "host/HostFile.h"

namespace fs = std::filesystem;

namespace {

class HostFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("darvex-hostfile-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(HostFileTest, WriteThenReadBack) {
    const std::string path = (m_dir / "a.bin").string();
    std::vector<unsigned char> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 7);
    ASSERT_TRUE(HostFile::Write(path.c_str(), data.data(), data.size()));
    std::vector<unsigned char> back;
    std::uint64_t length = 0;
    ASSERT_EQ(HostFile::Read(path.c_str(), 1000, back, &length), HostFile::ReadStatus::Ok);
    EXPECT_EQ(back, data);
    EXPECT_EQ(length, 1000u);
}

TEST_F(HostFileTest, EmptyFile) {
    const std::string path = (m_dir / "empty").string();
    ASSERT_TRUE(HostFile::Write(path.c_str(), nullptr, 0));
    std::vector<unsigned char> back{1, 2, 3};
    ASSERT_EQ(HostFile::Read(path.c_str(), 0, back), HostFile::ReadStatus::Ok);
    EXPECT_TRUE(back.empty());
}

TEST_F(HostFileTest, TooLargeReportsLengthAndLeavesOutput) {
    const std::string path = (m_dir / "big").string();
    std::vector<unsigned char> data(101, 0x55);
    ASSERT_TRUE(HostFile::Write(path.c_str(), data.data(), data.size()));
    std::vector<unsigned char> back{9};
    std::uint64_t length = 0;
    EXPECT_EQ(HostFile::Read(path.c_str(), 100, back, &length), HostFile::ReadStatus::TooLarge);
    EXPECT_EQ(length, 101u);
    EXPECT_EQ(back, std::vector<unsigned char>{9});
}

TEST_F(HostFileTest, MissingFileAndFolderCannotBeRead) {
    std::vector<unsigned char> back;
    EXPECT_EQ(HostFile::Read((m_dir / "none").c_str(), 100, back),
              HostFile::ReadStatus::CannotOpen);
    EXPECT_EQ(HostFile::Read(m_dir.c_str(), 100, back), HostFile::ReadStatus::CannotOpen);
}

TEST_F(HostFileTest, WriteFailuresAreReported) {
    const unsigned char byte = 1;
    EXPECT_FALSE(HostFile::Write((m_dir / "no" / "such" / "dir").c_str(), &byte, 1));
    EXPECT_FALSE(HostFile::Write(m_dir.c_str(), &byte, 1));
    // A full device: the write or the close fails and no partial file is left behind.
    if (fs::exists("/dev/full")) {
        std::vector<unsigned char> data(70000, 0xAA);
        EXPECT_FALSE(HostFile::Write("/dev/full", data.data(), data.size()));
        EXPECT_TRUE(fs::exists("/dev/full")); // a device is not a file we may remove
    }
}

} // namespace
