#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "TestUtil.h"

namespace {

namespace fs = std::filesystem;
using clitest::Json;
using clitest::RunTool;
using testutil::ReadFileBytes;
using Bytes = std::vector<unsigned char>;

Bytes Region(const Bytes& file, std::size_t at, std::size_t bytes) {
    return {file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + bytes)};
}

// The two real disks one after the other, then bytes that are no disk.
class MultiDisk : public ::testing::Test {
protected:
    void SetUp() override {
        DARVEX_REQUIRE_TESTDATA();
        first = ReadFileBytes(testutil::TestDataPath("ipls/ipls-2d.d88"));
        second = ReadFileBytes(testutil::TestDataPath("ipls/ipls-2dd.d88"));
        junk = Bytes(1000, 0x77);
        Bytes file = first;
        file.insert(file.end(), second.begin(), second.end());
        file.insert(file.end(), junk.begin(), junk.end());
        image = (dir.path() / "set.d88").string();
        ASSERT_TRUE(testutil::WriteFileBytes(image, file));
    }

    testutil::TempDir dir;
    Bytes first, second, junk;
    std::string image;
};

TEST_F(MultiDisk, ListsEachDiskAndChangesOnlyTheOneChosen) {
    const auto info = RunTool({"info", image, "--json"});
    ASSERT_EQ(info.code, 0) << info.err;
    const auto disks = Json(info)["disks"];
    ASSERT_EQ(disks.size(), 3u);
    EXPECT_EQ(disks[0]["total_bytes"], 286720);
    EXPECT_EQ(disks[1]["total_bytes"], 655360);
    EXPECT_EQ(disks[1]["media"], 0x10);
    EXPECT_EQ(disks[2], nlohmann::json({{"disk", 3}, {"damaged", true}, {"bytes", 1000}}));
    EXPECT_NE(RunTool({"info", image})
                  .out.find(" 3  (cannot be read as a disk: 1000 bytes, kept as they are)\n"),
              std::string::npos);

    const std::string host = (dir.path() / "NEW.BIN").string();
    ASSERT_TRUE(testutil::WriteFileBytes(host, clitest::Pattern(3000, 9)));
    const auto put = RunTool({"put", image, host, "--disk", "2"});
    ASSERT_EQ(put.code, 0) << put.err;
    const auto ls = Json(RunTool({"ls", image, "--disk", "2", "--json"}));
    ASSERT_EQ(ls.size(), 1u);
    EXPECT_EQ(ls[0]["name"], "NEW.BIN");
    EXPECT_EQ(ls[0]["disk"], 2);
    EXPECT_TRUE(Json(RunTool({"ls", image, "--json"})).empty());
    EXPECT_EQ(RunTool({"check", image, "--disk", "2"}).code, 0);
    EXPECT_EQ(Json(RunTool({"cat", image, "NEW.BIN", "--disk", "2", "--json"}))["disk"], 2);
    EXPECT_EQ(Json(RunTool({"dump", image, "--sector", "16", "--disk", "2", "--json"}))["disk"], 2);

    // The disks around it are the bytes they were, the first one's sector flags included.
    const Bytes saved = ReadFileBytes(image);
    ASSERT_EQ(saved.size(), first.size() + second.size() + junk.size());
    EXPECT_EQ(Region(saved, 0, first.size()), first);
    EXPECT_NE(Region(saved, first.size(), second.size()), second);
    EXPECT_EQ(Region(saved, saved.size() - junk.size(), junk.size()), junk);
}

TEST_F(MultiDisk, DiskNumbersOutsideTheFile) {
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    const Case kCases[] = {
        {{"ls", image, "--disk", "4"}, 2, "ls: no disk 4: the file holds 3 disks\n"},
        {{"info", image, "--disk", "9"}, 2, "info: no disk 9: the file holds 3 disks\n"},
        {{"disk-rm", image, "--disk", "4"}, 2, "disk-rm: no disk 4: the file holds 3 disks\n"},
        {{"cat", image, "A", "--disk", "5"}, 2, "cat: no disk 5: the file holds 3 disks\n"},
        {{"dump", image, "--sector", "0", "--disk", "4"}, 2, "no disk 4"},
        {{"ls", image, "--disk", "3"},
         1,
         "disk 3 could not be read as a disk; its bytes are kept as they are\n"},
        {{"ls", image, "--disk", "0"}, 2, "--disk"},
    };
    const Bytes before = ReadFileBytes(image);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        const auto run = RunTool(c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadFileBytes(image), before);
}

TEST(DiskSetCommands, NewAddAndRemoveDisks) {
    testutil::TempDir dir;
    const std::string image = (dir.path() / "set.d88").string();
    ASSERT_EQ(RunTool({"new", image, "--type", "2", "--disks", "3"}).code, 0);
    EXPECT_EQ(fs::file_size(image), 3u * 305328);
    ASSERT_EQ(RunTool({"disk-add", image, "--type", "0"}).code, 0);
    auto disks = Json(RunTool({"info", image, "--json"}))["disks"];
    ASSERT_EQ(disks.size(), 4u);
    EXPECT_EQ(disks[3]["total_bytes"], 655360);
    EXPECT_EQ(disks[3]["mz_file_system"], true);

    ASSERT_EQ(RunTool({"label", image, "--disk", "2", "--name", "SECOND"}).code, 0);
    ASSERT_EQ(RunTool({"disk-rm", image, "--disk", "1"}).code, 0);
    disks = Json(RunTool({"info", image, "--json"}))["disks"];
    ASSERT_EQ(disks.size(), 3u);
    EXPECT_EQ(disks[0]["name"], "SECOND");
    EXPECT_EQ(fs::file_size(image), 2u * 305328 + 697008);

    const std::string one = (dir.path() / "one.d88").string();
    ASSERT_EQ(RunTool({"new", one, "--type", "1"}).code, 0);
    const auto last = RunTool({"disk-rm", one, "--disk", "1"});
    EXPECT_EQ(last.code, 1);
    EXPECT_EQ(last.err, "darvex-cli: disk-rm: " + one +
                            ": it is the only disk of the file; a file keeps at least one\n");
    EXPECT_EQ(RunTool({"new", one, "--type", "1", "--disks", "65", "--force"}).code, 2);
}

TEST(DiskSetCommands, LabelNamesAndProtectsADisk) {
    testutil::TempDir dir;
    const std::string image = (dir.path() / "d.d88").string();
    ASSERT_EQ(RunTool({"new", image, "--type", "3", "--disks", "2"}).code, 0);
    ASSERT_EQ(
        RunTool({"label", image, "--disk", "2", "--name", "ディスク", "--write-protect", "on"})
            .code,
        0);
    const auto info = Json(RunTool({"info", image, "--disk", "2", "--json"}));
    EXPECT_EQ(info["disk"], 2);
    EXPECT_EQ(info["name_hex"], "836683428358834E");
    EXPECT_EQ(info["write_protected"], true);
    EXPECT_EQ(info["disks"][0]["write_protected"], false);
    EXPECT_EQ(RunTool({"label", image}).code, 2); // neither --name nor --write-protect
    EXPECT_EQ(RunTool({"label", image, "--write-protect", "maybe"}).code, 2);
}

// Every command that changes a disk's files or boot program refuses a write-protected disk and
// changes nothing; label clears the flag, which a save of another change keeps.
TEST(DiskSetCommands, AWriteProtectedDiskIsNotChanged) {
    testutil::TempDir dir;
    const std::string image = (dir.path() / "wp.d88").string();
    const std::string host = (dir.path() / "PROG.BIN").string();
    ASSERT_TRUE(testutil::WriteFileBytes(host, clitest::Pattern(700, 3)));
    ASSERT_EQ(RunTool({"new", image, "--type", "0", "--disks", "2"}).code, 0);
    ASSERT_EQ(RunTool({"put", image, host, "--disk", "2"}).code, 0);
    ASSERT_EQ(RunTool({"label", image, "--disk", "2", "--write-protect", "on"}).code, 0);
    const Bytes before = ReadFileBytes(image);
    const std::string refusal =
        ": disk 2 is write-protected (D88 header); clear it with `darvex-cli label "
        "--write-protect off`\n";
    const std::vector<std::vector<std::string>> kChanging = {
        {"put", image, host, "--name", "OTHER", "--disk", "2"},
        {"put", image, host, "--name", "OTHER", "--disk", "2", "--force"},
        {"rm", image, "PROG.BIN", "--disk", "2"},
        {"rename", image, "PROG.BIN", "NEW.BIN", "--disk", "2"},
        {"attr", image, "PROG.BIN", "--protect", "--disk", "2"},
        {"boot-put", image, host, "--disk", "2"},
        {"disk-rm", image, "--disk", "2"},
    };
    for (const auto& args : kChanging) {
        SCOPED_TRACE(args[0]);
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, "darvex-cli: " + args[0] + ": " + image + refusal);
        EXPECT_EQ(ReadFileBytes(image), before);
    }
    // Disk 1 is not protected; its change keeps disk 2's flag.
    ASSERT_EQ(RunTool({"put", image, host}).code, 0);
    EXPECT_EQ(Json(RunTool({"info", image, "--json"}))["disks"][1]["write_protected"], true);

    ASSERT_EQ(RunTool({"label", image, "--disk", "2", "--write-protect", "off"}).code, 0);
    ASSERT_EQ(RunTool({"rename", image, "PROG.BIN", "P2.BIN", "--disk", "2"}).code, 0);
    EXPECT_EQ(RunTool({"rm", image, "P2.BIN", "--disk", "2"}).code, 0);
    EXPECT_TRUE(Json(RunTool({"ls", image, "--disk", "2", "--json"})).empty());
}

} // namespace
