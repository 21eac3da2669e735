#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "cli/Cli.h"
#include "fs/DiskImage.h"
#include "host/ImageFile.h"
#include "support/TestDisk.h"

namespace clitest {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the tool in-process with "darvex-cli" as argv[0].
inline CliRun RunTool(const std::vector<std::string>& args) {
    std::vector<std::string> all{"darvex-cli"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    CliRun run;
    run.code = RunCli(static_cast<int>(all.size()), argv.data(), out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

inline nlohmann::json Json(const CliRun& run) {
    return nlohmann::json::parse(run.out);
}

// The names in a folder, temporary files included.
inline std::set<std::string> FilesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.insert(entry.path().filename().string());
    return names;
}

// Every regular file under a folder, recursively, as paths relative to it.
inline std::set<std::string> TreeOf(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        names.insert(std::filesystem::relative(entry.path(), folder).string());
    return names;
}

// Makes a folder the current one for the life of the object.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& folder)
        : m_old(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() {
        std::error_code ec;
        std::filesystem::current_path(m_old, ec);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::filesystem::path m_old;
};

using testdisk::AddRawEntry;
using testdisk::AddSubdir;
using testdisk::Pattern;

// A fresh blank image (disk.d88, of the fixture's disk type) in a folder of its own, and host
// files written beside it.
class ImageTest : public ::testing::Test {
protected:
    explicit ImageTest(int diskType = 0) : m_diskType(diskType) {}
    void SetUp() override {
        image = (dir.path() / "disk.d88").string();
        ASSERT_EQ(RunTool({"new", image, "--type", std::to_string(m_diskType)}).code, 0);
    }
    std::string Host(const std::string& name, const std::vector<unsigned char>& bytes) {
        const std::filesystem::path path = dir.path() / name;
        EXPECT_TRUE(testutil::WriteFileBytes(path, bytes));
        return path.string();
    }

    testutil::TempDir dir;
    std::string image;

private:
    int m_diskType;
};

inline void SaveDisk(const DiskImage& disk, const std::filesystem::path& path) {
    std::string reason;
    ASSERT_TRUE(ImageFile::Write(path.string(), disk, reason)) << reason;
}

} // namespace clitest
