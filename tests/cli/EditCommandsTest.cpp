#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "TestUtil.h"

namespace {

using clitest::Json;
using clitest::Pattern;
using clitest::RunTool;
using testutil::ReadFileBytes;
using Args = std::vector<std::string>;

// ABC (OBJ, load and exec 1200), SAFE (BTX, protected) and CHAIN (BSD) in the root.
class EditCommands : public clitest::ImageTest {
protected:
    void SetUp() override {
        ImageTest::SetUp();
        ASSERT_EQ(RunTool({"put", image, Host("a", Pattern(300, 1)), "--name", "ABC", "--load",
                           "1200", "--exec", "1200"})
                      .code,
                  0);
        ASSERT_EQ(RunTool({"put", image, Host("s", Pattern(20, 2)), "--name", "SAFE", "--mode",
                           "btx", "--protect"})
                      .code,
                  0);
        ASSERT_EQ(
            RunTool({"put", image, Host("c", Pattern(600, 3)), "--name", "CHAIN", "--mode", "bsd"})
                .code,
            0);
    }
    // The listed row named `name`, or null.
    nlohmann::json Row(const std::string& name) {
        for (const auto& row : Json(RunTool({"ls", image, "--json"})))
            if (row["name"] == name)
                return row;
        return nullptr;
    }
    void ExpectCheckClean() {
        const auto check = RunTool({"check", image});
        EXPECT_EQ(check.code, 0) << check.out << check.err;
        EXPECT_NE(check.out.find("0 errors, 0 warnings"), std::string::npos) << check.out;
    }
};

TEST_F(EditCommands, RenameFollowsTheNameRulesAndProtection) {
    struct Case {
        Args args; // after "rename IMAGE"
        int code;
        std::string err;
        const char* listed; // the name the file is listed under afterwards
    };
    const Case cases[] = {
        {{"ABC", "NEW"}, 0, "", "NEW"},
        {{"--index", "1", "ＮＥＷ"}, 0, "", "ＮＥＷ"},
        {{"ABC", "ABCDEFGHIJKLMNOPQRS"}, 0, "", "ABCDEFGHIJKLMNOP"},
        {{"ABC", "SAFE"},
         1,
         "darvex-cli: rename: SAFE: a file of this name already exists\n",
         "ABC"},
        {{"ABC", "\xF0\x9F\x98\x80"},
         1,
         "darvex-cli: rename: \xF0\x9F\x98\x80: cannot be written in Shift-JIS (CP932)\n",
         "ABC"},
        {{"ABC", ""}, 1, "darvex-cli: rename: the name on the disk is empty\n", "ABC"},
        {{"NONE", "X"}, 1, "darvex-cli: rename: NONE: no such file\n", "ABC"},
        {{"SAFE", "OPEN"},
         1,
         "darvex-cli: rename: SAFE: the file is protected (attribute bit 7); --force renames it "
         "anyway\n",
         "SAFE"},
        {{"--index", "2", "OPEN"},
         1,
         "darvex-cli: rename: SAFE: the file is protected (attribute bit 7); --force renames it "
         "anyway\n",
         "SAFE"},
        {{"SAFE", "OPEN", "--force"}, 0, "", "OPEN"},
    };
    const auto original = ReadFileBytes(image);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        ASSERT_TRUE(testutil::WriteFileBytes(image, original));
        Args args{"rename", image};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_EQ(run.err, c.err);
        EXPECT_FALSE(Row(c.listed).is_null());
        if (c.code != 0) {
            EXPECT_EQ(ReadFileBytes(image), original);
        } else {
            ExpectCheckClean();
        }
    }
}

TEST_F(EditCommands, AttrChangesWhatItNamesAndRefusesAnotherLayout) {
    struct Case {
        const char* file;
        Args options;
        int code;
        // The row afterwards: attribute, load, exec, date, mode.
        int attribute, load, exec;
        std::uint32_t date;
        int mode;
    };
    const Case cases[] = {
        {"ABC", {"--protect"}, 0, 0x80, 0x1200, 0x1200, 0, 1},
        {"SAFE", {"--no-protect"}, 0, 0x00, 0, 0, 0, 2},
        {"ABC", {"--load", "0x8000", "--exec", "FFFF"}, 0, 0x00, 0x8000, 0xFFFF, 0, 1},
        {"ABC", {"--date", "2403151230"}, 0, 0x00, 0x1200, 0x1200, 0x306F63C0, 1},
        {"ABC", {"--mode", "BTX"}, 0, 0x00, 0x1200, 0x1200, 0, 2},
        {"SAFE", {"--mode", "obj", "--load", "9"}, 0, 0x80, 9, 0, 0, 1}, // protection allows it
        {"CHAIN", {"--mode", "brd", "--load", "9"}, 1, 0x00, 0, 0, 0, 3},
        {"ABC", {"--mode", "bsd"}, 1, 0x00, 0x1200, 0x1200, 0, 1},
    };
    const auto original = ReadFileBytes(image);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + (" " + c.options[0]));
        ASSERT_TRUE(testutil::WriteFileBytes(image, original));
        Args args{"attr", image, c.file};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, c.code) << run.err;
        const auto row = Row(c.file);
        ASSERT_FALSE(row.is_null());
        EXPECT_EQ(row["attribute"], c.attribute);
        EXPECT_EQ(row["load"], c.load);
        EXPECT_EQ(row["exec"], c.exec);
        EXPECT_EQ(row["date"], c.date);
        EXPECT_EQ(row["mode"], c.mode);
        if (c.code != 0) {
            EXPECT_EQ(ReadFileBytes(image), original);
            EXPECT_NE(run.err.find(std::string(c.file) + ": the mode changes only"),
                      std::string::npos);
        } else {
            ExpectCheckClean();
        }
    }
}

TEST_F(EditCommands, RmKeepsAProtectedFileUnlessForced) {
    const auto before = ReadFileBytes(image);
    auto run = RunTool({"rm", image, "ABC", "SAFE"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "darvex-cli: rm: SAFE: the file is protected (attribute bit 7); --force "
                       "deletes it anyway\n");
    EXPECT_EQ(ReadFileBytes(image), before);
    run = RunTool({"rm", image, "ABC", "SAFE", "--force"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Row("SAFE").is_null());
    EXPECT_TRUE(Row("ABC").is_null());
    ExpectCheckClean();
}

TEST_F(EditCommands, UsageErrorsChangeNothing) {
    const Args cases[] = {
        {"rename", "ABC"},
        {"rename", "ABC", "NEW", "--index", "1"},
        {"attr", "ABC"},
        {"attr", "--protect"},
        {"attr", "ABC", "--index", "1", "--protect"},
        {"attr", "ABC", "--protect", "--no-protect"},
        {"attr", "ABC", "--date", "2402301200x"},
        {"attr", "ABC", "--date", "2400011200"},
        {"attr", "ABC", "--load", "12345"},
        {"attr", "ABC", "--mode", "bsd-crlf"},
    };
    const auto before = ReadFileBytes(image);
    for (Args args : cases) {
        args.insert(args.begin() + 1, image);
        SCOPED_TRACE(args[2] + " " + args.back());
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 2) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadFileBytes(image), before);
}

} // namespace
