#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "TestUtil.h"
#include "support/TestDisk.h"

namespace {

using clitest::Json;
using clitest::RunTool;
using Bytes = std::vector<unsigned char>;

// Line 10 PRINT "HI", then line 5, which does not ascend.
const Bytes kProgram = {0x0B, 0x00, 0x0A, 0x00, 0x80, 0x88, '"',  'H',  'I', '"',
                        0x0D, 0x06, 0x00, 0x05, 0x00, 'X',  0x0D, 0x00, 0x00};

class ViewCommands : public clitest::ImageTest {
protected:
    ViewCommands() : clitest::ImageTest(3) {}
    void SetUp() override {
        clitest::ImageTest::SetUp();
        const auto prog = testdisk::MakeMzt({.mode = 0x02,
                                             .name = "PROG\r",
                                             .size = static_cast<std::uint16_t>(kProgram.size()),
                                             .data = kProgram});
        ASSERT_EQ(RunTool({"put", image, Host("prog.mzt", prog)}).code, 0);
        ASSERT_EQ(RunTool({"put", image, Host("notes.txt", Text("ONE\r\nTWO\r\n")), "--mode",
                           "bsd-crlf", "--name", "NOTES"})
                      .code,
                  0);
        ASSERT_EQ(RunTool({"put", image, Host("code.bin", Text("AB\x01"))}).code, 0);
    }
    static Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }
};

TEST_F(ViewCommands, CatShowsEachFileByItsModeOrAsAsked) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"PROG"}, "10 PRINT\"HI\"\n"},
        {{"--index", "1"}, "10 PRINT\"HI\"\n"},
        {{"NOTES"}, "ONE\nTWO\n"},
        {{"code.bin"}, "0000  41 42 01" + std::string(42, ' ') + "AB.\n"},
        {{"NOTES", "--hex"}, "0000  4F 4E 45 0D 54 57 4F 0D" + std::string(27, ' ') + "ONE.TWO.\n"},
        {{"code.bin", "--text"}, "AB{01}\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"cat", image};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(args[2]);
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
    // The line that does not ascend ends the listing with a note on standard error.
    const auto run = RunTool({"cat", image, "PROG"});
    EXPECT_EQ(run.err, "darvex-cli: cat: PROG: note: line number 5 at byte 11 does not follow "
                       "line 10; the listing ends here\n");
}

TEST_F(ViewCommands, CatJsonGivesLinesBytesAndNotes) {
    auto run = RunTool({"cat", image, "PROG", "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json j = Json(run);
    EXPECT_EQ(j["view"], "basic");
    EXPECT_EQ(j["lines"], nlohmann::json::array({"10 PRINT\"HI\""}));
    ASSERT_EQ(j["notes"].size(), 1u);
    EXPECT_EQ(j["notes"][0]["code"], "basic-not-ascending");
    EXPECT_EQ(j["notes"][0]["line"], 1);
    EXPECT_EQ(j["notes"][0]["previous"], 10);
    EXPECT_FALSE(j.contains("bytes"));

    run = RunTool({"cat", image, "code.bin", "--json"});
    j = Json(run);
    EXPECT_EQ(j["view"], "hex");
    EXPECT_EQ(j["bytes"], nlohmann::json::array({0x41, 0x42, 0x01}));
}

TEST_F(ViewCommands, CatRefusals) {
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const Case cases[] = {
        {{"MISSING"}, 1},
        {{"--index", "0"}, 1},
        {{"--boot"}, 1},
        {{}, 2},
        {{"PROG", "--boot"}, 2},
        {{"PROG", "--index", "1"}, 2},
        {{"PROG", "--hex", "--text"}, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"cat", image};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(run.err.empty());
    }
}

TEST_F(ViewCommands, DumpShowsASectorByNumberOrAddress) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string firstLine;
    };
    const Case cases[] = {
        {{"--sector", "16"}, 0, "sector 16: cylinder 0, head 0, record 1"},
        {{"--chs", "0", "0", "1"}, 0, "sector 16: cylinder 0, head 0, record 1"},
        {{"--chs", "34", "1", "16"}, 0, "sector 1103: cylinder 34, head 1, record 16"},
        {{"--sector", "1120"}, 1, ""},
        {{"--chs", "0", "2", "1"}, 1, ""},
        {{"--chs", "0", "0", "17"}, 1, ""},
        {{}, 2, ""},
        {{"--sector", "1", "--chs", "0", "0", "1"}, 2, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"dump", image};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_EQ(run.out.substr(0, run.out.find('\n')), c.firstLine);
        if (c.code == 0) {
            EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3 + 16);
        }
    }
    // The root directory's first entry as the machine reads it and as the file stores it.
    auto run = RunTool({"dump", image, "--sector", "16", "--json"});
    nlohmann::json j = Json(run);
    EXPECT_EQ(j["header"]["from_file"], true);
    EXPECT_EQ(j["header"]["r"], 1);
    ASSERT_EQ(j["bytes"].size(), 256u);
    EXPECT_EQ(j["bytes"][1], 0x01);
    run = RunTool({"dump", image, "--sector", "16", "--json", "--raw"});
    EXPECT_EQ(Json(run)["bytes"][1], 0xFE);
}

TEST(ViewCommandsTestData, DumpReadsADiskOfAnotherMachine) {
    DARVEX_REQUIRE_TESTDATA();
    const std::string x1 = testutil::TestDataPath("x1/x1-hubasic-2d.d88").string();
    const auto run = RunTool({"dump", x1, "--chs", "39", "0", "16", "--raw"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("D88 record: C 27  H 00  R 10  N 01  sectors 16"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("0000  E5 E5 E5"), std::string::npos);
    EXPECT_EQ(RunTool({"cat", x1, "X"}).code, 1);
}

} // namespace
