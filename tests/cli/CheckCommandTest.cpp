#include <gtest/gtest.h>

#include <cstring>

#include "CliTestSupport.h"
#include "TestUtil.h"
#include "support/TestDisk.h"

namespace {

namespace fs = std::filesystem;
using clitest::Json;
using clitest::Pattern;
using clitest::RunTool;
using testutil::TempDir;
using testutil::WriteFileBytes;

TEST(CheckCommand, CleanDiskExitsZero) {
    TempDir dir;
    const std::string image = (dir.path() / "a.d88").string();
    ASSERT_EQ(RunTool({"new", image, "--type", "3"}).code, 0);
    const auto run = RunTool({"check", image});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_NE(run.out.find("0 errors, 0 warnings; 1 directories"), std::string::npos) << run.out;
    const auto j = Json(RunTool({"check", image, "--json"}));
    EXPECT_EQ(j["ok"], true);
    EXPECT_EQ(j["mz_file_system"], true);
    EXPECT_EQ(j["findings"], nlohmann::json::array());
}

TEST(CheckCommand, AFileTheBitmapDoesNotMarkIsAnError) {
    TempDir dir;
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(clitest::AddRawEntry(disk, "LOST", 0x01, Pattern(600, 1)), 0);
    // The body's first cluster is the lowest data cluster; freeing it behind the file's back
    // leaves a body in clusters the bitmap calls free.
    disk.MarkFree(0, 256);
    const fs::path image = dir.path() / "bad.d88";
    clitest::SaveDisk(disk, image);

    const auto run = RunTool({"check", image.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("error not-marked: "), std::string::npos) << run.out;
    EXPECT_EQ(run.err.rfind("darvex-cli: check: " + image.string() + ": ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("file system errors found"), std::string::npos);

    const auto json = RunTool({"check", image.string(), "--json"});
    EXPECT_EQ(json.code, 1);
    const auto j = Json(json);
    EXPECT_EQ(j["ok"], false);
    ASSERT_GE(j["errors"].get<int>(), 1);
    bool found = false;
    for (const auto& f : j["findings"])
        if (f["code"] == "not-marked") {
            found = true;
            EXPECT_EQ(f["severity"], "error");
            EXPECT_EQ(f["dir_sector"], 16);
            EXPECT_EQ(f["entry_index"], 1);
        }
    EXPECT_TRUE(found) << j.dump(2);
}

TEST(CheckCommand, JsonCarriesEveryFindingAndCount) {
    TempDir dir;
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(clitest::AddRawEntry(disk, "LOST", 0x01, Pattern(600, 1)), 0); // clusters 0 .. 2
    ASSERT_EQ(clitest::AddRawEntry(disk, "KEPT", 0x01, Pattern(100, 2)), 0); // cluster 3
    disk.MarkFree(0, 256);
    disk.MarkFree(3, 256);
    testdisk::PokeU16(disk, kBitmapOffset + kBitmapUsedClusters, 51); // two errors, one warning
    const fs::path image = dir.path() / "both.d88";
    clitest::SaveDisk(disk, image);

    const auto run = RunTool({"check", image.string(), "--json"});
    EXPECT_EQ(run.code, 1);
    const nlohmann::json expected = nlohmann::json::parse(R"({
        "disk": 1, "ok": false, "errors": 2, "warnings": 1, "mz_file_system": true,
        "directories": 1, "bodies": 2, "data_clusters": 1232, "set_positions": 2,
        "held_clusters": 4, "used_clusters": 51,
        "findings": [
          {"severity": "error", "code": "not-marked", "dir_sector": 16, "entry_index": 1,
           "cluster": 0, "count": 1, "message": "file \"LOST\" (entry 1 of the directory at sector 16): cluster 0 not marked used in the bitmap"},
          {"severity": "error", "code": "not-marked", "dir_sector": 16, "entry_index": 2,
           "cluster": 3, "count": 1, "message": "file \"KEPT\" (entry 2 of the directory at sector 16): cluster 3 not marked used in the bitmap"},
          {"severity": "warning", "code": "used-count-high", "dir_sector": -1,
           "entry_index": -1, "cluster": -1, "count": 0,
           "message": "usedClusters is 51 but firstDataCluster (48) and the 2 set positions make 50"}]
    })");
    EXPECT_EQ(Json(run), expected) << Json(run).dump(2);
}

TEST(CheckCommand, TreeLoopEndsAtTheNodeLimit) {
    TempDir dir;
    DiskImage disk;
    disk.Format(2);
    std::vector<unsigned char> flat(disk.Image().data(), disk.Image().data() + disk.GetImageSize());
    // Root entry 1: a DIR named LOOP whose start sector is the root itself.
    unsigned char* entry = flat.data() + 16 * 256 + 32;
    std::memset(entry, 0, 32);
    entry[0] = 0x0F;
    std::memcpy(entry + 1, "LOOP\r", 5);
    entry[30] = 16;
    const fs::path image = dir.path() / "loop.d88";
    ASSERT_TRUE(WriteFileBytes(image, testutil::StandardD88(flat, 35, 0x00)));

    const auto tree = RunTool({"tree", image.string(), "--json"});
    EXPECT_EQ(tree.code, 0);
    const auto nodes = Json(tree);
    ASSERT_EQ(nodes.size(), 1000u);
    EXPECT_EQ(nodes[999]["depth"], 999);
    EXPECT_EQ(nodes[999]["name"], "LOOP");
    EXPECT_EQ(tree.err, "darvex-cli: tree: " + image.string() +
                            ": the tree stops at 1000 directories (a directory link loops or "
                            "there are too many)\n");
    // The walk's first match at each level: LOOP/LOOP/LOOP is the root again.
    EXPECT_EQ(Json(RunTool({"ls", image.string(), "LOOP/LOOP/LOOP", "--json"})),
              nlohmann::json::array());
}

} // namespace
