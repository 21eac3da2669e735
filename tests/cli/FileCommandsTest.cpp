#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

Bytes MztFile(std::uint8_t mode, const std::string& name, std::uint16_t size, std::uint16_t load,
              std::uint16_t exec, const Bytes& data) {
    return testdisk::MakeMzt(
        {.mode = mode, .name = name, .size = size, .load = load, .exec = exec, .data = data});
}

class FileCommands : public clitest::ImageTest {
protected:
    nlohmann::json Rows(const std::string& path, const std::string& sub = "") {
        std::vector<std::string> args{"ls", path, "--json"};
        if (!sub.empty())
            args.push_back(sub);
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return Json(run);
    }
};

TEST_F(FileCommands, PutProposesNameModeAndAddressesAsTheAddFileDialog) {
    struct Case {
        const char* label;
        std::string file;
        Bytes content;
        std::vector<std::string> options;
        std::string name;
        int mode;
        int attribute;
        int size;
        int load;
        int exec;
    };
    const Bytes mzt = MztFile(0x02, "ABC\r", 10, 0x1200, 0x1300, Pattern(10, 1));
    const std::vector<Case> kCases = {
        {"plain", "game.bin", Pattern(1000, 2), {}, "game.bin", 1, 0, 1000, 0, 0},
        {"65535 is OBJ", "obj.bin", Pattern(65535, 3), {}, "obj.bin", 1, 0, 65535, 0, 0},
        {"65536 is BRD", "brd.bin", Pattern(65536, 4), {}, "brd.bin", 4, 0, 65536, 0, 0},
        {"512 KB", "max.bin", Pattern(524288, 5), {}, "max.bin", 4, 0, 524288, 0, 0},
        {"options",
         "opt.bin",
         Pattern(20, 6),
         {"--mode", "btx", "--protect", "--load", "1200", "--exec", "0x1234", "--name", "OPT"},
         "OPT",
         2,
         0x80,
         20,
         0x1200,
         0x1234},
        {"mode names ignore case",
         "m.bin",
         Pattern(9, 7),
         {"--mode", "BRD"},
         "m.bin",
         4,
         0,
         4096,
         0,
         0},
        {"long name cut",
         "x.bin",
         Pattern(3, 8),
         {"--name", "ABCDEFGHIJKLMNOPQRST"},
         "ABCDEFGHIJKLMNOP",
         1,
         0,
         3,
         0,
         0},
        {"cut at a character",
         "y.bin",
         Pattern(3, 9),
         {"--name", "Aテキスト長い名前の"},
         "Aテキスト長い名",
         1,
         0,
         3,
         0,
         0},
        {"MZT by extension", "tape.MzT", mzt, {}, "ABC", 2, 0, 10, 0x1200, 0x1300},
        {"MZT layout named .bin is plain", "tape.bin", mzt, {}, "tape.bin", 1, 0, 138, 0, 0},
        {"--plain", "t2.mzt", mzt, {"--plain"}, "t2.mzt", 1, 0, 138, 0, 0},
        {"--mzt", "t3.dat", mzt, {"--mzt", "--name", "T3"}, "T3", 2, 0, 10, 0x1200, 0x1300},
        {"odd MZT mode with --mode",
         "odd.mzt",
         MztFile(0x07, "ODD\r", 4, 0x3000, 0x3000, Pattern(4, 10)),
         {"--mode", "obj"},
         "ODD",
         1,
         0,
         4,
         0x3000,
         0x3000},
        {"CR LF filter",
         "text.txt",
         Bytes{'A', '\r', '\n', 'B', '\r', '\n'},
         {"--mode", "bsd-crlf"},
         "text.txt",
         3,
         0,
         4,
         0,
         0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        const std::string host = Host(c.file, c.content);
        std::vector<std::string> args{"put", image, host};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto run = RunTool(args);
        ASSERT_EQ(run.code, 0) << run.err;
        const auto rows = Rows(image);
        ASSERT_FALSE(rows.empty());
        const auto& row = rows.back();
        EXPECT_EQ(row["name"], c.name);
        EXPECT_EQ(row["mode"], c.mode);
        EXPECT_EQ(row["attribute"], c.attribute);
        EXPECT_EQ(row["size"], c.size);
        EXPECT_EQ(row["load"], c.load);
        EXPECT_EQ(row["exec"], c.exec);
        // --force: the "options" case stores a protected file.
        ASSERT_EQ(
            RunTool({"rm", image, "--index", std::to_string(row["index"].get<int>()), "--force"})
                .code,
            0);
    }
}

TEST_F(FileCommands, PutRealTapes) {
    DARVEX_REQUIRE_TESTDATA();
    struct Case {
        const char* file;
        const char* name;
        int size;
    };
    const Case kCases[] = {
        {"ipls/IPL-SEL-MAKER.mzt", "IPLSELECTERMAKER", 5163},
        {"tapes/EMMLOAD.mzt", "EMMLOAD.MZT", 468 - 128},
        {"tapes/EMMSAVE.mzt", "EMMSAVE.MZT", 284 - 128},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::string tape = testutil::TestDataPath(c.file).string();
        const auto run = RunTool({"put", image, tape});
        ASSERT_EQ(run.code, 0) << run.err;
        const auto row = Rows(image).back();
        EXPECT_EQ(row["name"], c.name);
        EXPECT_EQ(row["mode"], 1);
        EXPECT_EQ(row["size"], c.size);
        EXPECT_EQ(row["load"], 0x12A0);
        EXPECT_EQ(row["exec"], 0x12A0);
        // Taken out again as MZT, the tape comes back whole, except that the entry (like the
        // add-file dialog) pads its name with zeros after the 0x0D where the tape had blanks.
        const fs::path back = dir.path() / "back.mzt";
        ASSERT_EQ(RunTool({"get", image, c.name, back.string(), "--mzt"}).code, 0);
        Bytes expected = ReadFileBytes(tape);
        const std::size_t nameEnd = 1 + std::string(c.name).size() + 1; // after the 0x0D
        std::fill(expected.begin() + nameEnd, expected.begin() + 18, 0);
        EXPECT_EQ(ReadFileBytes(back), expected);
    }
}

TEST_F(FileCommands, PutFailuresChangeNothing) {
    const std::string game = Host("GAME.BIN", Pattern(100, 1));
    ASSERT_EQ(RunTool({"put", image, game}).code, 0);
    const Bytes before = ReadFileBytes(image);
    const std::set<std::string> files = FilesIn(dir.path());
    const std::string missing = (dir.path() / "missing.bin").string();

    struct Case {
        std::string label;
        std::vector<std::string> args;
        std::string message;
    };
    const std::string big = Host("big.bin", Pattern(524289, 2));
    const std::string large = Host("large.bin", Pattern(65536, 3));
    const std::string shortMzt = Host("short.mzt", MztFile(1, "S\r", 0, 0, 0, {}));
    const std::string oddMzt = Host("odd.mzt", MztFile(0x07, "ODD\r", 1, 0, 0, {1}));
    const std::string freeMzt = Host("free.mzt", MztFile(0x00, "FREE\r", 1, 0, 0, {1}));
    const std::vector<Case> kCases = {
        {"name taken",
         {"put", image, game},
         "darvex-cli: put: GAME.BIN: a file of this name already exists\n"},
        {"missing",
         {"put", image, missing},
         "darvex-cli: put: " + missing + ": cannot read the file\n"},
        {"over 512 KB",
         {"put", image, big},
         "darvex-cli: put: " + big +
             ": the file to write is too large (524289 bytes; at most 512 KB)\n"},
        {"too large for OBJ",
         {"put", image, large, "--mode", "obj"},
         "darvex-cli: put: large.bin: too large for this mode (OBJ, BTX and BSD files hold at most "
         "65535 bytes, BRD files 512 KB)\n"},
        {"MZT of 128 bytes",
         {"put", image, shortMzt},
         "darvex-cli: put: " + shortMzt + ": an MZT file of 128 bytes or less holds no data\n"},
        {"MZT mode 7",
         {"put", image, oddMzt},
         "darvex-cli: put: " + oddMzt +
             ": the MZT header's mode 0x07 is not OBJ, BTX, BSD or BRD; choose one with --mode\n"},
        {"MZT mode 0",
         {"put", image, freeMzt},
         "darvex-cli: put: " + freeMzt +
             ": the MZT header's mode 0x00 is not OBJ, BTX, BSD or BRD; choose one with --mode\n"},
        {"name not in CP932",
         {"put", image, large, "--name", "\xF0\x9F\x98\x80"},
         "darvex-cli: put: \xF0\x9F\x98\x80: cannot be written in Shift-JIS (CP932)\n"},
        {"empty name",
         {"put", image, large, "--name", ""},
         "darvex-cli: put: " + large + ": the name on the disk is empty\n"},
        {"no such dir",
         {"put", image, large, "--dir", "SUB"},
         "darvex-cli: put: SUB: no such directory\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        const auto run = RunTool(c.args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(ReadFileBytes(image), before);
    }
    std::set<std::string> after = FilesIn(dir.path());
    for (const char* host : {"big.bin", "large.bin", "short.mzt", "odd.mzt", "free.mzt"})
        after.erase(host);
    EXPECT_EQ(after, files); // no temporary file stayed behind
}

TEST_F(FileCommands, PutFailsWhenTheDiskOrDirectoryIsFull) {
    DiskImage disk;
    disk.Format(2);
    for (int i = 1; i < 64; ++i)
        ASSERT_EQ(clitest::AddRawEntry(disk, "F" + std::to_string(i), 0x01, {}), 0);
    const fs::path full = dir.path() / "full.d88";
    clitest::SaveDisk(disk, full);
    const std::string one = Host("one.bin", {1});
    auto run = RunTool({"put", full.string(), one});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "darvex-cli: put: one.bin: the directory has no free entry\n");

    // Type 2 holds 274432 free bytes: a 512 KB BRD file cannot fit.
    const fs::path small = dir.path() / "small.d88";
    ASSERT_EQ(RunTool({"new", small.string(), "--type", "2"}).code, 0);
    const Bytes before = ReadFileBytes(small);
    const std::string big = Host("big.bin", Pattern(524288, 1));
    run = RunTool({"put", small.string(), big});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "darvex-cli: put: big.bin: not enough free space on the disk\n");
    EXPECT_EQ(ReadFileBytes(small), before);
}

TEST_F(FileCommands, OutputOptionAndUnwritableTargets) {
    const std::string game = Host("GAME.BIN", Pattern(100, 1));
    const Bytes before = ReadFileBytes(image);
    const fs::path out = dir.path() / "out.d88";
    ASSERT_EQ(RunTool({"put", image, game, "-o", out.string()}).code, 0);
    EXPECT_EQ(ReadFileBytes(image), before);
    EXPECT_EQ(Rows(out.string()).size(), 1u);
    EXPECT_TRUE(Rows(image).empty());

    // A folder nobody may create files in, whoever runs the test.
    if (access("/proc", W_OK) == 0 && fs::is_directory("/proc")) {
        const auto run = RunTool({"put", image, game, "-o", "/proc/darvex-test.d88"});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err.rfind("darvex-cli: put: /proc/darvex-test.d88: cannot create a "
                                "temporary file in /proc: ",
                                0),
                  0u)
            << run.err;
        EXPECT_FALSE(fs::exists("/proc/darvex-test.d88"));
    }
    EXPECT_EQ(ReadFileBytes(image), before);
}

TEST_F(FileCommands, PutIntoAReadOnlyFolderFails) {
    const fs::path folder = dir.path() / "ro";
    fs::create_directory(folder);
    const fs::path ro = folder / "disk.d88";
    fs::copy_file(image, ro);
    const Bytes before = ReadFileBytes(ro);
    const std::string game = Host("GAME.BIN", Pattern(100, 1));
    testutil::GiveToTestUser({folder, ro});
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    const int code = testutil::RunAsUser([&] { return RunTool({"put", ro.string(), game}).code; });
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(ReadFileBytes(ro), before);
    EXPECT_EQ(FilesIn(folder), std::set<std::string>{"disk.d88"});
}

TEST_F(FileCommands, WritesKeepTheImageFileMode) {
    ASSERT_EQ(chmod(image.c_str(), 0604), 0);
    ASSERT_EQ(RunTool({"put", image, Host("A", {1})}).code, 0);
    struct stat st {};
    ASSERT_EQ(stat(image.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
}

TEST_F(FileCommands, GetProposesTheOutputNameInTheCurrentFolder) {
    struct Case {
        const char* name;
        const char* bin;
        const char* mzt;
    };
    const Case kCases[] = {
        {"PROG.BIN", "PROG.BIN", "PROG.mzt"}, {"A.B.X", "A.X", "A.mzt"},
        {"DATA", "DATA", "DATA.mzt"},         {".X", "_.X", "_.mzt"}, // never hidden
        {"テキ.TXT", "テキ.TXT", "テキ.mzt"},
    };
    const Bytes data = Pattern(333, 4);
    for (const Case& c : kCases)
        ASSERT_EQ(RunTool({"put", image, Host("src", data), "--name", c.name}).code, 0);
    const fs::path work = dir.path() / "work";
    fs::create_directory(work);
    clitest::InFolder in(work);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        auto run = RunTool({"get", image, c.name});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, std::string(c.bin) + "\n");
        EXPECT_EQ(ReadFileBytes(work / c.bin), data);
        run = RunTool({"get", image, c.name, "--mzt"});
        ASSERT_EQ(run.code, 0) << run.err;
        const Bytes mzt = ReadFileBytes(work / c.mzt);
        ASSERT_EQ(mzt.size(), 128 + data.size());
        EXPECT_TRUE(std::equal(data.begin(), data.end(), mzt.begin() + 128));
        fs::remove(work / c.bin);
        fs::remove(work / c.mzt);
    }
    EXPECT_TRUE(FilesIn(work).empty());

    // OUT may be a file or a folder; --index picks the entry by number.
    fs::create_directory(dir.path() / "into");
    ASSERT_EQ(RunTool({"get", image, "PROG.BIN", (dir.path() / "into").string()}).code, 0);
    EXPECT_EQ(ReadFileBytes(dir.path() / "into" / "PROG.BIN"), data);
    ASSERT_EQ(RunTool({"get", image, "--index", "2", (dir.path() / "two").string()}).code, 0);
    EXPECT_EQ(ReadFileBytes(dir.path() / "two"), data);
    const auto bad = RunTool({"get", image, "DATA", (dir.path() / "none" / "x").string()});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "darvex-cli: get: " + (dir.path() / "none" / "x").string() +
                           ": cannot write the file: No such file or directory\n");
}

TEST_F(FileCommands, GetAllNeverWritesOutsideItsFolder) {
    struct Case {
        std::string raw;
        const char* bin; // the host file --all writes
    };
    const std::vector<Case> kCases = {
        {"../x", "_._x"},
        {"a/b", "a_b"},
        {std::string("\x01\x02", 2), "__"},
        {"\x80\xFF", "\\x80\\xFF"},
        {"..", "_"},
        {".", "_~2"},
        {"/", "_~3"},
        {"a_b", "a_b~2"},
        {"../../etc/passwd", "_._etc_passwd"},
        {"\x1B[2J", "_[2J"},
    };
    DiskImage disk;
    disk.Format(1);
    for (std::size_t i = 0; i < kCases.size(); ++i)
        ASSERT_EQ(clitest::AddRawEntry(disk, kCases[i].raw, 0x01, Pattern(10 + i, i)), 0) << i;
    const fs::path hostile = dir.path() / "hostile.d88";
    clitest::SaveDisk(disk, hostile);

    const fs::path out = dir.path() / "deep" / "out";
    const auto run = RunTool({"get", hostile.string(), "--all", out.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    std::set<std::string> expected;
    for (const Case& c : kCases)
        expected.insert(c.bin);
    EXPECT_EQ(FilesIn(out), expected);
    for (std::size_t i = 0; i < kCases.size(); ++i)
        EXPECT_EQ(ReadFileBytes(out / kCases[i].bin), Pattern(10 + i, i)) << kCases[i].bin;
    // Nothing but the folders on the way and the files inside out.
    std::set<std::string> tree = clitest::TreeOf(dir.path());
    std::set<std::string> allowed = {"disk.d88", "hostile.d88", "deep", "deep/out"};
    for (const Case& c : kCases)
        allowed.insert(std::string("deep/out/") + c.bin);
    EXPECT_EQ(tree, allowed);

    // One by one with the proposed name, in the current folder.
    const fs::path work = dir.path() / "deep" / "work";
    fs::create_directory(work);
    clitest::InFolder in(work);
    for (std::size_t i = 0; i < kCases.size(); ++i)
        ASSERT_EQ(
            RunTool({"get", hostile.string(), "--index", std::to_string(i + 1), "--mzt"}).code, 0);
    for (const std::string& name : FilesIn(work))
        EXPECT_EQ(name.find('/'), std::string::npos);
    EXPECT_EQ(FilesIn(dir.path() / "deep"), (std::set<std::string>{"out", "work"}));
    // "../x", "..", "." and friends all give .mzt, made visible, then numbered.
    EXPECT_EQ(FilesIn(work).count("_.mzt"), 1u);
    EXPECT_EQ(FilesIn(work).count("_~2.mzt"), 1u);
}

TEST_F(FileCommands, ExtractionRefusalsNameTheirCause) {
    DiskImage disk;
    disk.Format(0);
    ASSERT_EQ(clitest::AddRawEntry(disk, "disk.d88", 0x01, Pattern(16)), 0);
    testdisk::PutEntry(disk, kRootDirSector, 5, testdisk::MakeEntry({.name = "IPL", .size = 300}));
    clitest::SaveDisk(disk, image);
    ASSERT_EQ(RunTool({"boot-put", image, Host("ipl", Pattern(16))}).code, 0);
    const Bytes before = ReadFileBytes(image);
    clitest::InFolder in(dir.path());
    const std::string overImage =
        ": disk.d88: this is the disk image being read; refusing to write over it\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } kCases[] = {
        {{"get", "disk.d88", "disk.d88"}, 1, "darvex-cli: get" + overImage},
        {{"boot-get", "disk.d88", "disk.d88"}, 1, "darvex-cli: boot-get" + overImage},
        {{"get", "disk.d88", "IPL", "out"},
         1,
         "darvex-cli: get: IPL: its body lies at sector 0, in the reserved area (boot program, "
         "bitmap and directory) before the first data sector; not extracted (--force takes those "
         "bytes all the same)\n"},
        {{"get", "disk.d88", "IPL", "out", "--force"}, 0, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.args.back());
        const auto run = RunTool(c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(fs::exists(dir.path() / "out"), c.code == 0);
    }
    EXPECT_EQ(ReadFileBytes(image), before);
}

TEST_F(FileCommands, RmRemovesOnlyWhenEveryNameIsFound) {
    for (const char* name : {"A", "B", "C"})
        ASSERT_EQ(RunTool({"put", image, Host(name, Pattern(300, 1))}).code, 0);
    const Bytes before = ReadFileBytes(image);
    const int usedBefore = Json(RunTool({"info", image, "--json"}))["used_clusters"];

    auto run = RunTool({"rm", image, "A", "MISSING", "C"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "darvex-cli: rm: MISSING: no such file\n");
    EXPECT_EQ(ReadFileBytes(image), before);
    run = RunTool({"rm", image, "--index", "9"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              "darvex-cli: rm: entry 9: not a listed file (free, hidden or a directory)\n");
    EXPECT_EQ(ReadFileBytes(image), before);

    // The same file named twice is deleted once.
    run = RunTool({"rm", image, "A", "C", "A"});
    ASSERT_EQ(run.code, 0) << run.err;
    auto rows = Rows(image);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["name"], "B");
    // 300 bytes take one 512-byte cluster each.
    EXPECT_EQ(Json(RunTool({"info", image, "--json"}))["used_clusters"], usedBefore - 2);
    ASSERT_EQ(RunTool({"rm", image, "--index", std::to_string(rows[0]["index"].get<int>())}).code,
              0);
    EXPECT_TRUE(Rows(image).empty());
    // A deleted name is free again at once.
    EXPECT_EQ(RunTool({"put", image, Host("A", {1})}).code, 0);
}

TEST_F(FileCommands, PutOfSeveralFilesAddsEachInOrderWithTheSameOptions) {
    const Bytes a = Pattern(300, 1), b = Pattern(70000, 2), c = Pattern(5, 3);
    const std::string tape =
        Host("tape.mzt", MztFile(0x01, "TAPE\r", 4, 0x2000, 0x2004, {9, 8, 7, 6}));
    const Bytes before = ReadFileBytes(image);
    const fs::path out = dir.path() / "out.d88";
    const auto run = RunTool({"put", image, Host("A.BIN", a), tape, Host("B.BIN", b),
                              Host("C.BIN", c), "--protect", "--dir", "", "-o", out.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(run.err.empty());
    EXPECT_EQ(ReadFileBytes(image), before); // -o leaves the source alone

    struct Want {
        const char* name;
        int mode;
        int size;
        Bytes data;
    };
    const Want kWant[] = {{"A.BIN", 1, 300, a},
                          {"TAPE", 1, 4, {9, 8, 7, 6}},
                          // Above 65535 bytes the default is BRD, whose listed size is
                          // rounded up (73728 bytes here) and read back padded.
                          {"B.BIN", 4, 73728, b},
                          {"C.BIN", 1, 5, c}};
    const auto rows = Rows(out.string());
    ASSERT_EQ(rows.size(), std::size(kWant));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(kWant[i].name);
        EXPECT_EQ(rows[i]["name"], kWant[i].name);
        EXPECT_EQ(rows[i]["mode"], kWant[i].mode);
        EXPECT_EQ(rows[i]["size"], kWant[i].size);
        EXPECT_EQ(rows[i]["attribute"].get<int>() & 0x80, 0x80); // --protect reached each one
        if (i > 0) {
            EXPECT_GT(rows[i]["index"].get<int>(), rows[i - 1]["index"].get<int>());
        }
        const fs::path back = dir.path() / (std::string("back-") + kWant[i].name);
        ASSERT_EQ(RunTool({"get", out.string(), kWant[i].name, back.string()}).code, 0);
        Bytes got = ReadFileBytes(back);
        ASSERT_GE(got.size(), kWant[i].data.size());
        got.resize(kWant[i].data.size());
        EXPECT_EQ(got, kWant[i].data);
    }
}

TEST_F(FileCommands, PutOfSeveralFilesSavesAllOrNothing) {
    ASSERT_EQ(RunTool({"put", image, Host("OLD.BIN", {1})}).code, 0);
    const std::string first = Host("FIRST.BIN", Pattern(2000, 1));
    const std::string last = Host("LAST.BIN", Pattern(10, 2));
    const std::string missing = (dir.path() / "missing.bin").string();
    const std::string old = Host("OLD.BIN", {2});
    const std::string second = Host("SECOND.BIN", Pattern(100000, 3));
    const std::string shortMzt = Host("short.mzt", MztFile(1, "S\r", 0, 0, 0, {}));

    // A small image (274432 free bytes: either big file fits alone, not both) for the
    // out-of-space case, a nearly full root
    // directory for the out-of-entries case.
    const std::string small = (dir.path() / "small.d88").string();
    ASSERT_EQ(RunTool({"new", small, "--type", "2"}).code, 0);
    DiskImage crowded;
    crowded.Format(2);
    for (int i = 1; i < 62; ++i)
        ASSERT_EQ(clitest::AddRawEntry(crowded, "F" + std::to_string(i), 0x01, {}), 0);
    const fs::path crowdedPath = dir.path() / "crowded.d88";
    clitest::SaveDisk(crowded, crowdedPath);
    const std::string half = Host("HALF.BIN", Pattern(200000, 4));

    struct Case {
        std::string label;
        std::string target;
        std::vector<std::string> files;
        std::string message;
    };
    const std::vector<Case> kCases = {
        {"missing file in the middle",
         image,
         {first, missing, last},
         "darvex-cli: put: " + missing + ": cannot read the file\n"},
        {"name already on the disk",
         image,
         {first, old, last},
         "darvex-cli: put: OLD.BIN: a file of this name already exists\n"},
        {"the same name twice in one command",
         image,
         {first, last, first},
         "darvex-cli: put: FIRST.BIN: a file of this name already exists\n"},
        {"MZT without data",
         image,
         {first, shortMzt},
         "darvex-cli: put: " + shortMzt + ": an MZT file of 128 bytes or less holds no data\n"},
        {"space runs out after the first file",
         small,
         {half, second, last},
         "darvex-cli: put: SECOND.BIN: not enough free space on the disk\n"},
        {"entries run out on the third file",
         crowdedPath.string(),
         {first, last, Host("THIRD.BIN", {3})},
         "darvex-cli: put: THIRD.BIN: the directory has no free entry\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        const Bytes before = ReadFileBytes(c.target);
        const std::set<std::string> files = FilesIn(dir.path());
        std::vector<std::string> args{"put", c.target};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(ReadFileBytes(c.target), before);
        EXPECT_EQ(FilesIn(dir.path()), files); // no temporary file stayed behind
    }
    // The files of the refused commands go in once the fault is gone: nothing half-added
    // stood in their way.
    ASSERT_EQ(RunTool({"put", crowdedPath.string(), first, last}).code, 0);
    EXPECT_EQ(Rows(crowdedPath.string()).size(), 63u);
}

TEST_F(FileCommands, PutNameWithSeveralFilesIsAUsageError) {
    const std::string a = Host("A.BIN", {1}), b = Host("B.BIN", {2});
    const Bytes before = ReadFileBytes(image);
    auto run = RunTool({"put", image, a, b, "--name", "X"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "darvex-cli: put: --name takes one HOSTFILE only\n"
                       "Run 'darvex-cli put --help' for usage.\n");
    EXPECT_EQ(ReadFileBytes(image), before);
    run = RunTool({"put", image});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(ReadFileBytes(image), before);
    // With one file the name still applies.
    ASSERT_EQ(RunTool({"put", image, a, "--name", "X"}).code, 0);
    EXPECT_EQ(Rows(image)[0]["name"], "X");
}

TEST_F(FileCommands, SubDirectories) {
    DiskImage disk;
    disk.Format(3);
    const int sub = clitest::AddSubdir(disk, "SUB");
    ASSERT_GE(sub, 0);
    const fs::path withSub = dir.path() / "sub.d88";
    clitest::SaveDisk(disk, withSub);
    const std::string path = withSub.string();
    const Bytes data = Pattern(700, 3);
    ASSERT_EQ(RunTool({"put", path, Host("IN.BIN", data), "--dir", "SUB"}).code, 0);
    EXPECT_TRUE(Rows(path).empty());
    ASSERT_EQ(Rows(path, "SUB").size(), 1u);
    EXPECT_EQ(RunTool({"get", path, "IN.BIN"}).code, 1); // not in the root
    const fs::path got = dir.path() / "got.bin";
    ASSERT_EQ(RunTool({"get", path, "IN.BIN", got.string(), "--dir", "SUB"}).code, 0);
    EXPECT_EQ(ReadFileBytes(got), data);
    ASSERT_EQ(RunTool({"get", path, "--all", (dir.path() / "all").string(), "--dir", "SUB"}).code,
              0);
    EXPECT_EQ(FilesIn(dir.path() / "all"), std::set<std::string>{"IN.BIN"});
    ASSERT_EQ(RunTool({"rm", path, "IN.BIN", "--dir", "SUB"}).code, 0);
    EXPECT_TRUE(Rows(path, "SUB").empty());
    const auto check = RunTool({"check", path});
    EXPECT_EQ(check.code, 0) << check.out << check.err;
}

TEST(FileCommandsForeign, WriteCommandsRefuseAnImageWithoutMzFileSystem) {
    DARVEX_REQUIRE_TESTDATA();
    TempDir dir;
    const fs::path image = dir.path() / "x1.d88";
    fs::copy_file(testutil::TestDataPath("x1/x1-hubasic-2d.d88"), image);
    fs::permissions(image, fs::perms::owner_write, fs::perm_options::add);
    const Bytes before = ReadFileBytes(image);
    const fs::path host = dir.path() / "f.bin";
    ASSERT_TRUE(WriteFileBytes(host, {1, 2, 3}));
    const std::string refusal =
        ": " + image.string() + ": not an MZ disk file system; refusing to change it\n";
    const std::vector<std::pair<std::string, std::vector<std::string>>> kCases = {
        {"put", {"put", image.string(), host.string()}},
        {"rm", {"rm", image.string(), "A"}},
        {"boot-put", {"boot-put", image.string(), host.string()}},
        {"put", {"put", image.string(), host.string(), "-o", (dir.path() / "o.d88").string()}},
    };
    for (const auto& [command, args] : kCases) {
        SCOPED_TRACE(command);
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, "darvex-cli: " + command + refusal);
        EXPECT_EQ(ReadFileBytes(image), before);
    }
    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"x1.d88", "f.bin"}));
    // Reading is still allowed.
    EXPECT_EQ(RunTool({"info", image.string()}).code, 0);
    EXPECT_EQ(RunTool({"check", image.string()}).code, 1);
}

} // namespace

TEST(FileCommandsUnusual, WritesThatLoseDataOrMayOverwriteAFileNeedForce) {
    TempDir dir;
    const fs::path dup = dir.path() / "dup.d88", shifted = dir.path() / "shifted.d88";
    const fs::path host = dir.path() / "f.bin";
    DiskImage disk;
    disk.Format(1);
    Bytes file = testutil::StandardD88(testdisk::Snapshot(disk), 40, 0x00);
    file[688 + 78 * 16 * 272 + 272 + 2] = 1; // the second record of track 78 says R = 1 too
    ASSERT_TRUE(WriteFileBytes(dup, file));
    ASSERT_TRUE(testdisk::ShiftedBitmapDisk().LoadInto(disk));
    clitest::SaveDisk(disk, shifted);
    ASSERT_TRUE(WriteFileBytes(host, Pattern(200)));
    const std::string loss = "saving would lose 1 duplicate sector record (of two records for "
                             "one sector only the later is kept) of this image (--force saves "
                             "anyway)";
    const std::string hazard = "the allocation bitmap does not mark the clusters of \"BASIC\" (16 "
                               "clusters); writing could overwrite it (--force writes anyway)";
    const auto info = RunTool({"info", dup});
    EXPECT_NE(info.out.find(", 1 duplicate records, "), std::string::npos) << info.out;
    const std::pair<std::vector<std::string>, std::string> kCases[] = {
        {{"put", dup, host}, loss},
        {{"rm", dup, "A"}, loss},
        {{"boot-put", shifted, host}, hazard},
        {{"put", shifted, host}, hazard},
        {{"put", dup, host, "--force"}, ""},
        {{"boot-put", shifted, host, "--force"}, ""},
    };
    for (const auto& [args, err] : kCases) {
        SCOPED_TRACE(args[0] + " " + args[1] + " " + args.back());
        const Bytes before = ReadFileBytes(args[1]);
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, err.empty() ? 0 : 1);
        EXPECT_EQ(run.err,
                  err.empty() ? "" : "darvex-cli: " + args[0] + ": " + args[1] + ": " + err + "\n");
        EXPECT_EQ(ReadFileBytes(args[1]) == before, !err.empty());
    }
}
