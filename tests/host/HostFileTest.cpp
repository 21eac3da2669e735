#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

#include "host/HostFile.h"
#include "support/ScopedFaults.h"

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

TEST_F(HostFileTest, FilesThatStateNoLengthAreReadToTheirEnd) {
    // The kernel's files say 0 bytes; this process's command line is one of them.
    const char* path = "/proc/self/cmdline";
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> expected{std::istreambuf_iterator<char>(in), {}};
    std::vector<unsigned char> back;
    std::uint64_t length = 0;
    ASSERT_EQ(HostFile::Read(path, 1 << 20, back, &length), HostFile::ReadStatus::Ok);
    EXPECT_EQ(back, expected);
    EXPECT_FALSE(back.empty());
    EXPECT_EQ(HostFile::Read(path, expected.size() - 1, back, &length),
              HostFile::ReadStatus::TooLarge);
    EXPECT_GT(length, expected.size() - 1);
}

TEST_F(HostFileTest, WriteFailuresAreReportedAndKeepTheOldFile) {
    const unsigned char byte = 1;
    EXPECT_FALSE(HostFile::Write((m_dir / "no" / "such" / "dir").c_str(), &byte, 1));
    EXPECT_FALSE(HostFile::Write(m_dir.c_str(), &byte, 1));
    // A full disk: the write fails, and the old file stays with nothing beside it.
    const std::string file = (m_dir / "a.bin").string();
    ASSERT_TRUE(HostFile::Write(file.c_str(), &byte, 1));
    const std::vector<unsigned char> data(70000, 0xAA);
    {
        ScopedFaults full({.fileLimit = 65536});
        EXPECT_FALSE(HostFile::Write(file.c_str(), data.data(), data.size()));
    }
    std::vector<unsigned char> back;
    ASSERT_EQ(HostFile::Read(file.c_str(), 10, back), HostFile::ReadStatus::Ok);
    EXPECT_EQ(back, std::vector<unsigned char>{byte});
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

} // namespace
