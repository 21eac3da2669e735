#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "TestUtil.h"

namespace {

using clitest::Json;
using clitest::Pattern;
using clitest::RunTool;
using testutil::ReadFileBytes;
using Args = std::vector<std::string>;

// ABC (OBJ), SAFE (BTX, protected) and CHAIN (BSD) in the root, entries 1 to 3.
class EditCommands : public clitest::ImageTest {
protected:
    void SetUp() override {
        ImageTest::SetUp();
        for (const Args& put : {Args{"--name", "ABC"}, Args{"--name", "SAFE", "--protect"},
                                Args{"--name", "CHAIN", "--mode", "bsd"}}) {
            Args args{"put", image, Host("f", Pattern(600, 1))};
            args.insert(args.end(), put.begin(), put.end());
            ASSERT_EQ(RunTool(args).code, 0);
        }
    }
};

const std::string kSafe = "SAFE: the file is protected (attribute bit 7); --force ";

TEST_F(EditCommands, RenameAttrAndRmRefuseWithoutChangingTheImage) {
    struct Case {
        Args args; // IMAGE goes after the command
        int code;
        std::string err; // after "darvex-cli: COMMAND: ", when the command fails (exit 1)
    };
    const Case cases[] = {
        {{"rename", "--index", "1", "ＮＥＷ"}, 0, ""},
        {{"rename", "ABC", "SAFE"}, 1, "SAFE: a file of this name already exists"},
        {{"rename", "SAFE", "OPEN"}, 1, kSafe + "renames it anyway"},
        {{"rename", "--index", "2", "OPEN", "--force"}, 0, ""},
        {{"rm", "ABC", "SAFE"}, 1, kSafe + "deletes it anyway"},
        {{"attr", "CHAIN", "--mode", "brd"},
         1,
         "CHAIN: the mode changes only to one that lays the body out alike (OBJ and BTX); a BSD "
         "chain, a BRD index and a directory keep their modes"},
        {{"attr", "NONE", "--protect"}, 1, "NONE: no such file"},
        {{"rename", "ABC"}, 2, ""},
        {{"attr", "ABC"}, 2, ""},
        {{"attr", "ABC", "--index", "1", "--protect"}, 2, ""},
        {{"attr", "ABC", "--date", "2400011200"}, 2, ""},
    };
    const auto original = ReadFileBytes(image);
    for (const Case& c : cases) {
        Args args = c.args;
        args.insert(args.begin() + 1, image);
        SCOPED_TRACE(c.args[0] + " " + c.args[1] + " " + c.args.back());
        ASSERT_TRUE(testutil::WriteFileBytes(image, original));
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, c.code) << run.err;
        if (c.code == 1) {
            EXPECT_EQ(run.err, "darvex-cli: " + c.args[0] + ": " + c.err + "\n");
        }
        if (c.code != 0) {
            EXPECT_EQ(ReadFileBytes(image), original);
            continue;
        }
        const auto check = RunTool({"check", image});
        EXPECT_NE(check.out.find("0 errors, 0 warnings"), std::string::npos) << check.out;
    }
}

TEST_F(EditCommands, LsJsonShowsWhatRenameAndAttrChanged) {
    ASSERT_EQ(RunTool({"rename", image, "ABC", "GAME"}).code, 0);
    const auto run = RunTool({"attr", image, "GAME", "--protect", "--load", "8000", "--exec",
                              "0xFFFF", "--date", "2403151230", "--mode", "BTX"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto row = Json(RunTool({"ls", image, "--json"}))[0];
    EXPECT_EQ(row["name"], "GAME");
    EXPECT_EQ(row["attribute"], 0x80);
    EXPECT_EQ(row["load"], 0x8000);
    EXPECT_EQ(row["exec"], 0xFFFF);
    EXPECT_EQ(row["date"], 0x306F63C0);
    EXPECT_EQ(row["mode"], 2);
}

} // namespace
