#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "TestUtil.h"
#include "Version.h"
#include "host/UiLanguage.h"
#include "support/TestDisk.h"

namespace {

namespace fs = std::filesystem;
using clitest::Json;
using clitest::RunTool;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

const char* const kCommands[] = {"new",      "disk-add", "disk-rm", "label", "info",
                                 "ls",       "tree",     "get",     "put",   "rm",
                                 "boot-get", "boot-put", "check"};

TEST(Cli, HelpForTheToolAndEveryCommand) {
    const auto tool = RunTool({"--help"});
    EXPECT_EQ(tool.code, 0);
    EXPECT_TRUE(tool.err.empty());
    for (const char* command : kCommands) {
        SCOPED_TRACE(command);
        EXPECT_NE(tool.out.find(std::string("  ") + command + " "), std::string::npos);
        const auto help = RunTool({command, "--help"});
        EXPECT_EQ(help.code, 0);
        EXPECT_NE(help.out.find(std::string("Usage: darvex-cli ") + command), std::string::npos)
            << help.out;
        EXPECT_TRUE(help.err.empty());
    }
}

TEST(Cli, VersionPrintsTheProjectVersionAndDoesNothingElse) {
    TempDir dir;
    const fs::path image = dir.path() / "a.d88";
    const std::string want = std::string("darvex-cli ") + kDarvexVersion + "\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"},
          std::vector<std::string>{"--version", "new", image.string(), "--type", "0"}}) {
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.out, want);
        EXPECT_TRUE(run.err.empty()) << run.err;
    }
    EXPECT_FALSE(fs::exists(image));
}

TEST(Cli, UsageErrorsExitWithTwo) {
    TempDir dir;
    const std::string image = (dir.path() / "a.d88").string();
    ASSERT_EQ(RunTool({"new", image, "--type", "1"}).code, 0);
    const auto before = ReadFileBytes(image);
    const std::string host = (dir.path() / "f.bin").string();
    ASSERT_TRUE(WriteFileBytes(host, {1, 2, 3}));

    const std::vector<std::vector<std::string>> kCases = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", image, "--bogus"},
        {"ls", image, "DIR", "extra"},
        {"new", (dir.path() / "b.d88").string()},
        {"new", (dir.path() / "b.d88").string(), "--type", "4"},
        {"new", (dir.path() / "b.d88").string(), "--type", "x"},
        {"get", image},
        {"get", image, "--index", "64"},
        {"get", image, "A", "--mzt", "--bin"},
        {"get", image, "A", "--all", "out"},
        {"get", image, "--index", "1", "OUT", "MORE"},
        {"put", image},
        {"put", image, host, "--mode", "xyz"},
        {"put", image, host, "--load", "12345"},
        {"put", image, host, "--exec", "0xG"},
        {"put", image, host, "--mzt", "--plain"},
        {"rm", image},
        {"boot-get", image},
        {"boot-put", image, host, "--machine", "8"},
        {"boot-put", image, host, "--exec", "zz"},
        {"check"},
    };
    for (const auto& args : kCases) {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(run.err.rfind("darvex-cli: ", 0), 0u) << run.err;
    }
    EXPECT_EQ(ReadFileBytes(image), before);
    EXPECT_FALSE(fs::exists(dir.path() / "b.d88"));
}

TEST(Cli, FailuresExitWithOneAndNameTheFile) {
    TempDir dir;
    const std::string image = (dir.path() / "a.d88").string();
    ASSERT_EQ(RunTool({"new", image, "--type", "2"}).code, 0);
    const std::string junk = (dir.path() / "junk.d88").string();
    ASSERT_TRUE(WriteFileBytes(junk, std::vector<unsigned char>(1000, 0x00)));
    const std::string missing = (dir.path() / "missing.d88").string();
    const std::string out = (dir.path() / "boot.bin").string();

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case kCases[] = {
        {{"info", missing}, "darvex-cli: info: " + missing + ": cannot read the file\n"},
        {{"info", junk}, "darvex-cli: info: " + junk + ": not a D88 disk image\n"},
        {{"ls", image, "NOPE"}, "darvex-cli: ls: NOPE: no such directory\n"},
        {{"tree", dir.path().string()},
         "darvex-cli: tree: " + dir.path().string() + ": cannot read the file\n"},
        {{"get", image, "GAME.BIN"}, "darvex-cli: get: GAME.BIN: no such file\n"},
        {{"get", image, "--index", "0"},
         "darvex-cli: get: entry 0: not a listed file (free, hidden or a directory)\n"},
        {{"get", image, "--index", "5"},
         "darvex-cli: get: entry 5: not a listed file (free, hidden or a directory)\n"},
        {{"boot-get", image, out},
         "darvex-cli: boot-get: " + out +
             ": the disk has no boot program (no \"IPLPRO\" header)\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.message);
        const auto run = RunTool(c.args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, c.message);
    }
    EXPECT_FALSE(fs::exists(out));
}

TEST(Cli, NewRefusesToOverwriteWithoutForce) {
    TempDir dir;
    const fs::path image = dir.path() / "a.d88";
    ASSERT_TRUE(WriteFileBytes(image, {1, 2, 3}));
    const auto refused = RunTool({"new", image.string(), "--type", "0"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "darvex-cli: new: " + image.string() +
                               ": the file already exists (--force replaces it)\n");
    EXPECT_EQ(ReadFileBytes(image), (std::vector<unsigned char>{1, 2, 3}));

    const auto forced = RunTool({"new", image.string(), "--type", "0", "--force"});
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_EQ(fs::file_size(image), 697008u);
    EXPECT_EQ(clitest::FilesIn(dir.path()), std::set<std::string>{"a.d88"});
}

struct TypeFacts {
    int type;
    int media;
    int cylinders;
    int clusterBytes;
    int firstData;
    int totalClusters;
    std::uintmax_t fileBytes;
    const char* space;
};

const TypeFacts kTypes[] = {
    {0, 0x10, 80, 512, 24, 1280, 697008, "12288/655360"},
    {1, 0x00, 40, 256, 48, 1280, 348848, "12288/327680"},
    {2, 0x00, 35, 256, 48, 1120, 305328, "12288/286720"},
    {3, 0x00, 35, 256, 48, 1120, 305328, "12288/286720"},
};

TEST(Cli, InfoOfAFreshDiskOfEachType) {
    TempDir dir;
    for (const TypeFacts& t : kTypes) {
        SCOPED_TRACE(t.type);
        const fs::path image = dir.path() / ("t" + std::to_string(t.type) + ".d88");
        ASSERT_EQ(RunTool({"new", image.string(), "--type", std::to_string(t.type)}).code, 0);
        EXPECT_EQ(fs::file_size(image), t.fileBytes);

        const auto run = RunTool({"info", image.string(), "--json"});
        ASSERT_EQ(run.code, 0) << run.err;
        const auto j = Json(run);
        EXPECT_EQ(j["media"], t.media);
        EXPECT_EQ(j["cylinders"], t.cylinders);
        EXPECT_EQ(j["cluster_bytes"], t.clusterBytes);
        EXPECT_EQ(j["first_data_cluster"], t.firstData);
        EXPECT_EQ(j["used_clusters"], t.firstData);
        EXPECT_EQ(j["total_clusters"], t.totalClusters);
        EXPECT_EQ(j["used_bytes"], 12288);
        EXPECT_EQ(j["total_bytes"], t.totalClusters * t.clusterBytes);
        // Bit positions 48 and up are the data clusters, all free on a new disk.
        EXPECT_EQ(j["free_bytes"], (t.totalClusters - 48) * t.clusterBytes);
        EXPECT_EQ(j["space_text"], t.space);
        EXPECT_EQ(j["mz_file_system"], true);
        EXPECT_EQ(j["boot"], nlohmann::json({{"present", false}}));
        EXPECT_EQ(j["load_report"]["normalised_on_save"], false);

        const auto text = RunTool({"info", image.string()});
        ASSERT_EQ(text.code, 0);
        EXPECT_NE(text.out.find(std::string("space:          ") + t.space + "\n"),
                  std::string::npos)
            << text.out;
        EXPECT_NE(text.out.find("boot program:   none\n"), std::string::npos);

        // The list of a new disk is empty (entry 0 is hidden) and its tree holds only root.
        const auto ls = RunTool({"ls", image.string(), "--json"});
        ASSERT_EQ(ls.code, 0);
        EXPECT_EQ(Json(ls), nlohmann::json::array());
        const auto tree = RunTool({"tree", image.string(), "--json"});
        ASSERT_EQ(tree.code, 0);
        EXPECT_EQ(Json(tree),
                  nlohmann::json::parse(
                      R"([{"disk":1,"name":"root","name_hex":"","sector":16,"depth":0}])"));
        EXPECT_EQ(RunTool({"tree", image.string()}).out, "root  (sector 16)\n");
    }
}

TEST(Cli, LsShowsTheListColumnsAndRawNames) {
    TempDir dir;
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(clitest::AddRawEntry(disk, "GAME.BIN", 0x01, clitest::Pattern(300, 1)), 0);
    ASSERT_EQ(clitest::AddRawEntry(disk, "\x83\x65\x83\x4C", 0x02, clitest::Pattern(10, 2)), 0);
    ASSERT_EQ(clitest::AddRawEntry(disk, "BAD\x80", 0x81, clitest::Pattern(1, 3)), 0);
    ASSERT_EQ(clitest::AddRawEntry(disk, "HIDDEN", 0x82, clitest::Pattern(1, 4)), 0);
    ASSERT_GE(clitest::AddSubdir(disk, "SUB"), 0);
    const fs::path image = dir.path() / "a.d88";
    clitest::SaveDisk(disk, image);

    const auto run = RunTool({"ls", image.string(), "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto rows = Json(run);
    ASSERT_EQ(rows.size(), 3u); // 0x82 and DIR entries are not listed
    EXPECT_EQ(rows[0]["index"], 1);
    EXPECT_EQ(rows[0]["name"], "GAME.BIN");
    EXPECT_EQ(rows[0]["name_hex"], "47414D452E42494E");
    EXPECT_EQ(rows[0]["mode"], 1);
    EXPECT_EQ(rows[0]["size"], 300);
    EXPECT_EQ(rows[0]["start_sector"], 48);
    EXPECT_EQ(rows[0]["columns"],
              nlohmann::json::parse(
                  R"(["GAME.BIN","OBJ  ","00","    300","0000","0000","00000000","0030"])"));
    EXPECT_EQ(rows[1]["name"], "テキ");
    EXPECT_EQ(rows[1]["name_hex"], "8365834C");
    EXPECT_EQ(rows[1]["columns"][1], "BTX  ");
    EXPECT_EQ(rows[2]["name"], "BAD\\x80");
    EXPECT_EQ(rows[2]["name_hex"], "42414480");
    EXPECT_EQ(rows[2]["columns"][1], "SWAP ");

    const auto text = RunTool({"ls", image.string()});
    ASSERT_EQ(text.code, 0);
    EXPECT_EQ(text.out, " #  NAME               MODE   AT     SIZE  LOAD  EXEC  DATE      START\n"
                        " 1  GAME.BIN           OBJ    00      300  0000  0000  00000000  0030\n"
                        " 2  テキ               BTX    00       10  0000  0000  00000000  0032\n"
                        " 3  BAD\\x80            SWAP   00        1  0000  0000  00000000  0033\n");
}

TEST(Cli, TreeAndLsOfSubDirectories) {
    TempDir dir;
    DiskImage disk;
    disk.Format(0);
    const int sub = clitest::AddSubdir(disk, "SUB");
    ASSERT_GE(sub, 0);
    const int other = clitest::AddSubdir(disk, "\x83\x65");
    ASSERT_GE(other, 0);
    disk.SetCurrentDir(sub);
    const int inner = clitest::AddSubdir(disk, "INNER");
    ASSERT_GE(inner, 0);
    ASSERT_EQ(clitest::AddRawEntry(disk, "IN.SUB", 0x01, clitest::Pattern(5, 5)), 0);
    disk.SetCurrentDir(inner);
    ASSERT_EQ(clitest::AddRawEntry(disk, "DEEP", 0x02, clitest::Pattern(7, 6)), 0);
    const fs::path image = dir.path() / "a.d88";
    clitest::SaveDisk(disk, image);

    const auto tree = RunTool({"tree", image.string(), "--json"});
    ASSERT_EQ(tree.code, 0) << tree.err;
    const auto nodes = Json(tree);
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(
        nodes[1],
        nlohmann::json(
            {{"disk", 1}, {"name", "SUB"}, {"name_hex", "535542"}, {"sector", sub}, {"depth", 1}}));
    EXPECT_EQ(nodes[2], nlohmann::json({{"disk", 1},
                                        {"name", "INNER"},
                                        {"name_hex", "494E4E4552"},
                                        {"sector", inner},
                                        {"depth", 2}}));
    EXPECT_EQ(nodes[3]["name"], "テ");
    EXPECT_EQ(nodes[3]["depth"], 1);
    EXPECT_EQ(RunTool({"tree", image.string()}).out,
              "root  (sector 16)\n  SUB  (sector " + std::to_string(sub) +
                  ")\n    INNER  (sector " + std::to_string(inner) + ")\n  テ  (sector " +
                  std::to_string(other) + ")\n");

    struct Case {
        const char* dir;
        const char* name;
    };
    const Case kCases[] = {{"SUB", "IN.SUB"}, {"SUB/INNER", "DEEP"}, {"/SUB//INNER/", "DEEP"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.dir);
        const auto ls = RunTool({"ls", image.string(), c.dir, "--json"});
        ASSERT_EQ(ls.code, 0) << ls.err;
        ASSERT_EQ(Json(ls).size(), 1u);
        EXPECT_EQ(Json(ls)[0]["name"], c.name);
    }
    EXPECT_EQ(RunTool({"ls", image.string(), "テ", "--json"}).out, "[]\n");
    EXPECT_EQ(RunTool({"ls", image.string(), "INNER"}).code, 1); // only from the root
}

TEST(Cli, RealImages) {
    DARVEX_REQUIRE_TESTDATA();
    struct Case {
        const char* file;
        int media;
        int cylinders;
        int clusterBytes;
        int firstData;
        int used;
        int total;
        bool mz;
        bool boot;
    };
    const Case kCases[] = {
        {"ipls/ipls-2d.d88", 0x00, 35, 256, 48, 48, 1120, true, true},
        {"ipls/ipls-2dd.d88", 0x10, 80, 512, 24, 24, 1280, true, true},
        {"x1/x1-hubasic-2d.d88", 0x00, 40, -1, -1, -1, -1, false, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::string image = testutil::TestDataPath(c.file).string();
        const auto run = RunTool({"info", image, "--json"});
        ASSERT_EQ(run.code, 0) << run.err;
        const auto j = Json(run);
        EXPECT_EQ(j["media"], c.media);
        EXPECT_EQ(j["cylinders"], c.cylinders);
        EXPECT_EQ(j["mz_file_system"], c.mz);
        EXPECT_EQ(j["boot"]["present"], c.boot);
        // Only the 2D file carries sector flags (density 0x40) that a save would clear.
        EXPECT_EQ(j["load_report"]["normalised_on_save"],
                  std::string(c.file) == "ipls/ipls-2d.d88");
        if (!c.mz) {
            // No bitmap, no figures: what sector 15 holds there is program code.
            for (const char* key :
                 {"cluster_bytes", "first_data_cluster", "used_clusters", "total_clusters",
                  "used_bytes", "total_bytes", "free_bytes", "space_text"})
                EXPECT_TRUE(j[key].is_null()) << key;
            EXPECT_TRUE(j["disks"][0]["used_bytes"].is_null());
            const std::string text = RunTool({"info", image}).out;
            for (const char* line : {"cluster bytes:", "used:", "total:", "free:", "space:"})
                EXPECT_EQ(text.find(line), std::string::npos) << line << "\n" << text;
            EXPECT_NE(text.find(" 1  by_github_ORYZAPA  0x00   no       no   \n"),
                      std::string::npos)
                << text;
            continue;
        }
        EXPECT_EQ(j["cluster_bytes"], c.clusterBytes);
        EXPECT_EQ(j["first_data_cluster"], c.firstData);
        EXPECT_EQ(j["used_clusters"], c.used);
        EXPECT_EQ(j["total_clusters"], c.total);
        EXPECT_EQ(j["space_text"], std::to_string(c.used * c.clusterBytes) + "/" +
                                       std::to_string(c.total * c.clusterBytes));
        const auto& boot = j["boot"];
        EXPECT_EQ(boot["machine"], 1);
        EXPECT_EQ(boot["text"], "IPLS09bKai");
        EXPECT_EQ(boot["text_hex"], "49504C533039624B6169");
        EXPECT_EQ(boot["size"], 0x1F00);
        EXPECT_EQ(boot["exec"], 0x0063);
        EXPECT_EQ(boot["start_sector"], 1);

        const auto text = RunTool({"info", image});
        EXPECT_NE(text.out.find("boot program:   machine 0x01, text \"IPLS09bKai\", size 0x1F00 "
                                "(7936 bytes), exec 0x0063, start sector 1\n"),
                  std::string::npos)
            << text.out;
        // Apart from the hidden entry 0 the root is empty.
        EXPECT_EQ(RunTool({"ls", image, "--json"}).out, "[]\n");
        EXPECT_EQ(Json(RunTool({"tree", image, "--json"})).size(), 1u);
    }
}

// Under a Japanese locale (generated on this machine or not) the tool's messages, help and
// reports are Japanese; what scripts read, the JSON, is the same in every language.
TEST(Cli, SpeaksTheUsersLanguageButNotInJson) {
    TempDir dir;
    const std::string image = (dir.path() / "j.d88").string();
    ASSERT_EQ(RunTool({"new", image, "--type", "1"}).code, 0);
    const std::string json = RunTool({"info", image, "--json"}).out;
    UseGettextCatalog(UiLanguage::Japanese, DARVEX_LOCALE_DIR);
    const auto missing = RunTool({"info", (dir.path() / "none.d88").string()});
    const auto info = RunTool({"info", image});
    const auto usage = RunTool({"rm", image});
    const auto jsonJa = RunTool({"info", image, "--json"}).out;
    UseGettextCatalog(UiLanguage::English, {});
    setenv("LANGUAGE", "en", 1);

    EXPECT_EQ(missing.err, "darvex-cli: info: " + (dir.path() / "none.d88").string() +
                               ": ファイルを読み込めません\n");
    EXPECT_NE(info.out.find("ブートプログラム: なし\n"), std::string::npos) << info.out;
    EXPECT_NE(usage.err.find("使い方は 'darvex-cli rm --help' で表示されます."), std::string::npos)
        << usage.err;
    EXPECT_EQ(jsonJa, json);
}

} // namespace
