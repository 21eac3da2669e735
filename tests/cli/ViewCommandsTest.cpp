#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "TestUtil.h"
#include "support/TestDisk.h"

namespace {

using clitest::Json;
using clitest::RunTool;

class ViewCommands : public clitest::ImageTest {
protected:
    ViewCommands() : clitest::ImageTest(3) {}
    void SetUp() override {
        clitest::ImageTest::SetUp();
        // Line 10 PRINT "HI", then line 5, which does not ascend.
        const std::vector<unsigned char> program = {0x0B, 0x00, 0x0A, 0x00, 0x80, 0x88, '"',
                                                    'H',  'I',  '"',  0x0D, 0x06, 0x00, 0x05,
                                                    0x00, 'X',  0x0D, 0x00, 0x00};
        const auto tape =
            testdisk::MakeMzt({.mode = 0x02, .name = "PROG\r", .size = 19, .data = program});
        ASSERT_EQ(RunTool({"put", image, Host("prog.mzt", tape)}).code, 0);
        ASSERT_EQ(RunTool({"put", image, Host("t.txt", {'O', 'N', 'E', '\r', '\n'}), "--mode",
                           "bsd-crlf", "--name", "NOTES"})
                      .code,
                  0);
        ASSERT_EQ(RunTool({"put", image, Host("code.bin", {'A', 'B', 0x01})}).code, 0);
    }
    clitest::CliRun Run(std::vector<std::string> args) {
        args.insert(args.begin() + 1, image);
        return RunTool(args);
    }
};

TEST_F(ViewCommands, CatShowsEachFileByItsModeOrAsAsked) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"cat", "PROG"}, "10 PRINT\"HI\"\n"},
        {{"cat", "--index", "1"}, "10 PRINT\"HI\"\n"},
        {{"cat", "NOTES"}, "ONE\n"},
        {{"cat", "code.bin"}, "0000  41 42 01" + std::string(42, ' ') + "AB.\n"},
        {{"cat", "code.bin", "--text"}, "AB{01}\n"},
    };
    for (const auto& [args, out] : cases) {
        const auto run = Run(args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, out) << args[1];
    }
    EXPECT_EQ(Run({"cat", "PROG"}).err,
              "darvex-cli: cat: PROG: note: line number 5 at byte 11 does not follow line 10; "
              "the listing ends here\n");

    nlohmann::json j = Json(Run({"cat", "PROG", "--json"}));
    EXPECT_EQ(j["view"], "basic");
    EXPECT_EQ(j["lines"], nlohmann::json::array({"10 PRINT\"HI\""}));
    EXPECT_EQ(j["notes"][0]["code"], "basic-not-ascending");
    EXPECT_EQ(j["notes"][0]["line"], 1);
    EXPECT_FALSE(j.contains("bytes"));
    j = Json(Run({"cat", "code.bin", "--json"}));
    EXPECT_EQ(j["bytes"], nlohmann::json::array({0x41, 0x42, 0x01}));
}

TEST_F(ViewCommands, RefusalsAndUsageErrors) {
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"cat", "MISSING"}, 1},
        {{"cat", "--boot"}, 1},
        {{"cat"}, 2},
        {{"cat", "PROG", "--hex", "--text"}, 2},
        {{"dump", "--sector", "1120"}, 1},
        {{"dump", "--chs", "0", "2", "1"}, 1},
        {{"dump"}, 2},
    };
    for (const auto& [args, code] : cases) {
        const auto run = Run(args);
        EXPECT_EQ(run.code, code) << testing::PrintToString(args);
        EXPECT_TRUE(run.out.empty() && !run.err.empty()) << testing::PrintToString(args);
    }
}

TEST_F(ViewCommands, DumpShowsASectorByNumber) {
    const auto run = Run({"dump", "--sector", "16"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "sector 16: cylinder 0, head 0, record 1");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3 + 16);
    // The root directory's entry 0 (mode 0x80, 0x01) as the machine reads it and as stored.
    const nlohmann::json j = Json(Run({"dump", "--sector", "16", "--json"}));
    EXPECT_EQ(j["header"]["r"], 1);
    ASSERT_EQ(j["bytes"].size(), 256u);
    EXPECT_EQ(j["bytes"][1], 0x01);
    EXPECT_EQ(Json(Run({"dump", "--sector", "16", "--json", "--raw"}))["bytes"][1], 0xFE);
}

TEST(ViewCommandsTestData, DumpReadsADiskOfAnotherMachine) {
    DARVEX_REQUIRE_TESTDATA();
    const std::string x1 = testutil::TestDataPath("x1/x1-hubasic-2d.d88").string();
    const auto run = RunTool({"dump", x1, "--chs", "39", "0", "16", "--raw"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("D88 record: C 27  H 00  R 10  N 01  sectors 16"), std::string::npos);
    EXPECT_NE(run.out.find("0000  E5 E5 E5"), std::string::npos);
    EXPECT_EQ(RunTool({"cat", x1, "X"}).code, 1);
}

} // namespace
