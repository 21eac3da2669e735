#include <gtest/gtest.h>

#include <cstring>

#include "CliTestSupport.h"
#include "TestUtil.h"
#include "support/TestDisk.h"

namespace {

namespace fs = std::filesystem;
using clitest::FilesIn;
using clitest::Json;
using clitest::Pattern;
using clitest::RunTool;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;
using Bytes = std::vector<unsigned char>;

class BootCommands : public clitest::ImageTest {
protected:
    BootCommands() : ImageTest(1) {}
    nlohmann::json Boot(const std::string& path) {
        const auto run = RunTool({"info", path, "--json"});
        EXPECT_EQ(run.code, 0) << run.err;
        return Json(run)["boot"];
    }
};

TEST_F(BootCommands, PutProposesTextMachineAndExecAsTheBootRegisterCommand) {
    Bytes mzt(128, 0);
    mzt[0] = 0x01;
    std::memcpy(mzt.data() + 1, "BOOT\r", 5);
    mzt[22] = 0x00; // an execution address in the header is not taken over
    mzt[23] = 0x12;
    const Bytes program = Pattern(300, 1);
    mzt.insert(mzt.end(), program.begin(), program.end());

    struct Case {
        const char* label;
        std::string file;
        Bytes content;
        std::vector<std::string> options;
        const char* text;
        const char* textHex;
        int machine;
        int exec;
        int size;
    };
    const std::vector<Case> kCases = {
        {"plain", "IPL.BIN", Pattern(1000, 2), {}, "IPL.BIN", "49504C2E42494E", 1, 0, 1000},
        {"options",
         "a.bin",
         Pattern(10, 3),
         {"--text", "X", "--machine", "3", "--exec", "1200"},
         "X",
         "58",
         3,
         0x1200,
         10},
        {"cut to 10 bytes",
         "b.bin",
         Pattern(10, 4),
         {"--text", "ABCDEFGHIJKL"},
         "ABCDEFGHIJ",
         "4142434445464748494A",
         1,
         0,
         10},
        {"cut at a character",
         "c.bin",
         Pattern(10, 5),
         {"--text", "Aテキストテ"},
         "Aテキスト",
         "418365834C83588367",
         1,
         0,
         10},
        {"MZT by extension", "boot.MZT", mzt, {}, "BOOT", "424F4F54", 1, 0, 300},
        {"MZT read as plain",
         "boot2.mzt",
         mzt,
         {"--plain"},
         "boot2.mzt",
         "626F6F74322E6D7A74",
         1,
         0,
         428},
        {"empty text", "d.bin", Pattern(5, 6), {"--text", ""}, "", "", 1, 0, 5},
        {"65535 bytes", "max.bin", Pattern(65535, 7), {}, "max.bin", "6D61782E62696E", 1, 0, 65535},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> args{"boot-put", image, Host(c.file, c.content)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto run = RunTool(args);
        ASSERT_EQ(run.code, 0) << run.err;
        const auto boot = Boot(image);
        EXPECT_EQ(boot["present"], true);
        EXPECT_EQ(boot["text"], c.text);
        EXPECT_EQ(boot["text_hex"], c.textHex);
        EXPECT_EQ(boot["machine"], c.machine);
        EXPECT_EQ(boot["exec"], c.exec);
        EXPECT_EQ(boot["size"], c.size);

        // The program comes back as it went in.
        const fs::path bin = dir.path() / "out.bin";
        ASSERT_EQ(RunTool({"boot-get", image, bin.string()}).code, 0);
        const Bytes back = ReadFileBytes(bin);
        const bool mztRead = std::string(c.label) == "MZT by extension";
        EXPECT_EQ(back, mztRead ? program : c.content);
    }
}

TEST_F(BootCommands, GetAsMztCarriesTheDisplayText) {
    const Bytes program = Pattern(700, 1);
    ASSERT_EQ(RunTool({"boot-put", image, Host("IPL.BIN", program), "--exec", "63"}).code, 0);
    const fs::path mzt = dir.path() / "boot.mzt";
    ASSERT_EQ(RunTool({"boot-get", image, mzt.string(), "--mzt"}).code, 0);
    const Bytes file = ReadFileBytes(mzt);
    ASSERT_EQ(file.size(), 128 + program.size());
    EXPECT_EQ(file[0], 0x01);
    // The text's 0x0D, then the first zero turned into a second 0x0D.
    EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 10), "IPL.BIN\r\r");
    EXPECT_EQ(file[10], 0);
    EXPECT_EQ(file[18] | (file[19] << 8), 700);
    EXPECT_EQ(file[22] | (file[23] << 8), 0); // the exec address is not carried over
    EXPECT_TRUE(std::equal(program.begin(), program.end(), file.begin() + 128));
}

TEST_F(BootCommands, FailuresChangeNothing) {
    const Bytes before = ReadFileBytes(image);
    const std::set<std::string> files = FilesIn(dir.path());
    const std::string large = Host("large.bin", Pattern(65536, 1));
    const std::string headerOnly = Host("h.mzt", Bytes(128, 1));
    const std::string empty = Host("empty.bin", {});
    const std::string missing = (dir.path() / "missing.bin").string();
    const std::string noProgram =
        ": no program to register (an empty file, or an MZT file of 128 bytes or less)\n";
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case kCases[] = {
        {{"boot-put", image, large},
         "darvex-cli: boot-put: " + large +
             ": the file is too large (65536 bytes; at most 65535 bytes)\n"},
        {{"boot-put", image, headerOnly}, "darvex-cli: boot-put: " + headerOnly + noProgram},
        {{"boot-put", image, empty}, "darvex-cli: boot-put: " + empty + noProgram},
        {{"boot-put", image, missing},
         "darvex-cli: boot-put: " + missing + ": cannot read the file\n"},
        {{"boot-put", image, empty, "--text", "\xF0\x9F\x98\x80"},
         "darvex-cli: boot-put: \xF0\x9F\x98\x80: cannot be written in Shift-JIS (CP932)\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.message);
        const auto run = RunTool(c.args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(ReadFileBytes(image), before);
    }
    std::set<std::string> after = FilesIn(dir.path());
    for (const char* host : {"large.bin", "h.mzt", "empty.bin"})
        after.erase(host);
    EXPECT_EQ(after, files);
}

TEST_F(BootCommands, NoRoomForTheProgram) {
    // Type 2 has 1072 free clusters; four 65535-byte files leave 48 of them.
    const std::string disk = (dir.path() / "small.d88").string();
    ASSERT_EQ(RunTool({"new", disk, "--type", "2"}).code, 0);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(RunTool({"put", disk, Host("F" + std::to_string(i), Pattern(65535, i))}).code, 0);
    const Bytes before = ReadFileBytes(disk);
    const std::string program = Host("boot.bin", Pattern(48 * 256 + 1, 9));
    const auto run = RunTool({"boot-put", disk, program});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "darvex-cli: boot-put: " + program +
                           ": no run of free clusters is long enough for the program\n");
    EXPECT_EQ(ReadFileBytes(disk), before);
    EXPECT_EQ(RunTool({"boot-put", disk, Host("fits.bin", Pattern(48 * 256, 9))}).code, 0);
}

TEST_F(BootCommands, GetRefusesAProgramOutsideTheImage) {
    DiskImage disk;
    disk.Format(2);
    std::vector<unsigned char> flat(disk.Image().data(), disk.Image().data() + disk.GetImageSize());
    std::memcpy(flat.data() + 1, "IPLPRO", 6);
    flat[7] = 'X';
    flat[8] = 0x0D;
    flat[20] = 0x00; // size 0x1000
    flat[21] = 0x10;
    flat[30] = 0x60; // start sector 0x460 = 1120, the last sector is 1119
    flat[31] = 0x04;
    const fs::path path = dir.path() / "outside.d88";
    ASSERT_TRUE(WriteFileBytes(path, testutil::StandardD88(flat, 35, 0x00)));
    const fs::path out = dir.path() / "boot.bin";
    const auto run = RunTool({"boot-get", path.string(), out.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "darvex-cli: boot-get: " + out.string() +
                           ": the boot program reaches past the end of the disk image\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST(BootCommandsReal, ExtractTheIplSelector) {
    DARVEX_REQUIRE_TESTDATA();
    TempDir dir;
    for (const char* file : {"ipls/ipls-2d.d88", "ipls/ipls-2dd.d88"}) {
        SCOPED_TRACE(file);
        const std::string image = testutil::TestDataPath(file).string();
        DiskImage disk;
        ASSERT_TRUE(ImageFile::Load(image, disk).Ok());
        const unsigned char* program = disk.Image().data() + 256; // start sector 1

        const fs::path bin = dir.path() / "ipl.bin";
        ASSERT_EQ(RunTool({"boot-get", image, bin.string()}).code, 0);
        EXPECT_EQ(ReadFileBytes(bin), Bytes(program, program + 0x1F00));
        const fs::path mzt = dir.path() / "ipl.mzt";
        ASSERT_EQ(RunTool({"boot-get", image, mzt.string(), "--mzt"}).code, 0);
        const Bytes tape = ReadFileBytes(mzt);
        ASSERT_EQ(tape.size(), 128u + 0x1F00);
        EXPECT_EQ(std::string(tape.begin() + 1, tape.begin() + 13), "IPLS09bKai\r\r");
        EXPECT_TRUE(std::equal(program, program + 0x1F00, tape.begin() + 128));

        // Registered again on a new disk from the MZT file, it extracts the same.
        const fs::path fresh = dir.path() / "fresh.d88";
        ASSERT_EQ(RunTool({"new", fresh.string(), "--type", "0", "--force"}).code, 0);
        ASSERT_EQ(RunTool({"boot-put", fresh.string(), mzt.string(), "--exec", "0063"}).code, 0);
        const auto boot = Json(RunTool({"info", fresh.string(), "--json"}))["boot"];
        EXPECT_EQ(boot["text"], "IPLS09bKai");
        EXPECT_EQ(boot["size"], 0x1F00);
        EXPECT_EQ(boot["exec"], 0x63);
        const fs::path again = dir.path() / "again.bin";
        ASSERT_EQ(RunTool({"boot-get", fresh.string(), again.string()}).code, 0);
        EXPECT_EQ(ReadFileBytes(again), ReadFileBytes(bin));
    }
}

} // namespace
