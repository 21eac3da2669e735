#include <gtest/gtest.h>

#include <cstring>

#include "CliTestSupport.h"
#include "TestUtil.h"

// The whole work of the tool, headless, on every kind of new disk: create, add a file of every
// mode, list, take out as BIN and MZT, delete, register and take out a boot program, and let
// the checker look at the disk after every change.
namespace {

namespace fs = std::filesystem;
using clitest::Json;
using clitest::Pattern;
using clitest::RunTool;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;
using Bytes = std::vector<unsigned char>;

struct Put {
    const char* file;
    Bytes content;
    std::vector<std::string> options;
    int mode;
    int size;        // as listed
    Bytes extracted; // what a BIN extraction gives back
};

Bytes WithCrLf() {
    Bytes text;
    for (int line = 0; line < 40; ++line) {
        const std::string s = "10 PRINT " + std::to_string(line) + "\r\n";
        text.insert(text.end(), s.begin(), s.end());
    }
    return text;
}

Bytes WithoutLf(const Bytes& text) {
    Bytes out;
    for (unsigned char c : text)
        if (c != '\n')
            out.push_back(c);
    return out;
}

Bytes Padded(Bytes data, std::size_t to) {
    data.resize(to, 0);
    return data;
}

Bytes Tape(const Bytes& data) {
    return testdisk::MakeMzt({.name = "TAPE PROG\r",
                              .size = static_cast<std::uint16_t>(data.size()),
                              .load = 0x1200,
                              .exec = 0x12A0,
                              .data = data});
}

void ExpectClean(const std::string& image) {
    const auto check = RunTool({"check", image, "--json"});
    EXPECT_EQ(check.code, 0) << check.out << check.err;
    EXPECT_EQ(Json(check)["errors"], 0);
}

TEST(Mission, EveryDiskTypeFromNewToBootProgram) {
    const Bytes crlf = WithCrLf();
    const Bytes tapeData = Pattern(777, 20);
    const std::vector<Put> kPuts = {
        {"OBJ.BIN", Pattern(1000, 1), {"--load", "1200", "--exec", "1200"}, 1, 1000, {}},
        {"BTX.BIN", Pattern(300, 2), {"--mode", "btx"}, 2, 300, {}},
        {"BSD.DAT", Pattern(600, 3), {"--mode", "bsd"}, 3, 600, {}},
        {"BRD.DAT", Pattern(8192, 4), {"--mode", "brd"}, 4, 8192, {}},
        {"BRD2.DAT", Pattern(5000, 5), {"--mode", "brd"}, 4, 8192, Padded(Pattern(5000, 5), 8192)},
        {"LIST.BAS",
         crlf,
         {"--mode", "bsd-crlf"},
         3,
         static_cast<int>(WithoutLf(crlf).size()),
         WithoutLf(crlf)},
        {"prog.mzt", Tape(tapeData), {}, 1, 777, tapeData},
        {"BIG.BIN", Pattern(70000, 6), {}, 4, 73728, Padded(Pattern(70000, 6), 73728)},
    };

    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE("disk type " + std::to_string(type));
        TempDir dir;
        const std::string image = (dir.path() / "mission.d88").string();
        ASSERT_EQ(RunTool({"new", image, "--type", std::to_string(type)}).code, 0);
        ExpectClean(image);
        const auto fresh = Json(RunTool({"info", image, "--json"}));

        for (const Put& p : kPuts) {
            SCOPED_TRACE(p.file);
            const fs::path host = dir.path() / p.file;
            ASSERT_TRUE(WriteFileBytes(host, p.content));
            std::vector<std::string> args{"put", image, host.string()};
            args.insert(args.end(), p.options.begin(), p.options.end());
            const auto run = RunTool(args);
            ASSERT_EQ(run.code, 0) << run.err;
            ExpectClean(image);
        }

        const auto rows = Json(RunTool({"ls", image, "--json"}));
        ASSERT_EQ(rows.size(), kPuts.size());
        for (std::size_t i = 0; i < kPuts.size(); ++i) {
            const Put& p = kPuts[i];
            SCOPED_TRACE(p.file);
            const std::string name = rows[i]["name"];
            EXPECT_EQ(name, std::string(p.file) == "prog.mzt" ? "TAPE PROG" : p.file);
            EXPECT_EQ(rows[i]["mode"], p.mode);
            EXPECT_EQ(rows[i]["size"], p.size);

            const fs::path bin = dir.path() / "out.bin";
            const fs::path mzt = dir.path() / "out.mzt";
            ASSERT_EQ(RunTool({"get", image, name, bin.string()}).code, 0);
            ASSERT_EQ(RunTool({"get", image, name, mzt.string(), "--mzt"}).code, 0);
            const Bytes binBytes = ReadFileBytes(bin);
            EXPECT_EQ(binBytes, p.extracted.empty() ? p.content : p.extracted);
            // MZT and BIN differ by the 128-byte header alone.
            const Bytes mztBytes = ReadFileBytes(mzt);
            ASSERT_EQ(mztBytes.size(), 128 + binBytes.size());
            EXPECT_TRUE(std::equal(binBytes.begin(), binBytes.end(), mztBytes.begin() + 128));
            EXPECT_EQ(mztBytes[0], p.mode);
            EXPECT_EQ(std::string(mztBytes.begin() + 1, mztBytes.begin() + 1 + name.size()), name);
            if (std::string(p.file) == "prog.mzt") {
                EXPECT_EQ(mztBytes, p.content); // the same tape, byte for byte
            }
            // The MZT file goes back in as the same file.
            ASSERT_EQ(RunTool({"put", image, mzt.string(), "--name", "COPY"}).code, 0);
            const fs::path copy = dir.path() / "copy.bin";
            ASSERT_EQ(RunTool({"get", image, "COPY", copy.string()}).code, 0);
            EXPECT_EQ(ReadFileBytes(copy), binBytes);
            ASSERT_EQ(RunTool({"rm", image, "COPY"}).code, 0);
        }
        ExpectClean(image);

        // Delete everything: the disk has all its space back.
        std::vector<std::string> rm{"rm", image};
        for (const auto& row : rows)
            rm.push_back(row["name"]);
        ASSERT_EQ(RunTool(rm).code, 0);
        EXPECT_EQ(RunTool({"ls", image, "--json"}).out, "[]\n");
        const auto emptied = Json(RunTool({"info", image, "--json"}));
        EXPECT_EQ(emptied["free_bytes"], fresh["free_bytes"]);
        ExpectClean(image);

        // A boot program.
        const Bytes program = Pattern(2000, 30);
        const fs::path ipl = dir.path() / "IPL.BIN";
        ASSERT_TRUE(WriteFileBytes(ipl, program));
        ASSERT_EQ(RunTool({"boot-put", image, ipl.string(), "--exec", "0063"}).code, 0);
        ExpectClean(image);
        const fs::path bootBin = dir.path() / "boot.bin";
        ASSERT_EQ(RunTool({"boot-get", image, bootBin.string()}).code, 0);
        EXPECT_EQ(ReadFileBytes(bootBin), program);
        const auto boot = Json(RunTool({"info", image, "--json"}))["boot"];
        EXPECT_EQ(boot["text"], "IPL.BIN");
        EXPECT_EQ(boot["exec"], 0x63);
        EXPECT_EQ(boot["size"], 2000);
        EXPECT_LT(Json(RunTool({"info", image, "--json"}))["free_bytes"].get<int>(),
                  fresh["free_bytes"].get<int>());

        // Files added after the boot program never overlap it.
        const fs::path after = dir.path() / "AFTER.BIN";
        ASSERT_TRUE(WriteFileBytes(after, Pattern(3000, 31)));
        ASSERT_EQ(RunTool({"put", image, after.string()}).code, 0);
        ExpectClean(image);
        ASSERT_EQ(RunTool({"boot-get", image, bootBin.string()}).code, 0);
        EXPECT_EQ(ReadFileBytes(bootBin), program);

        // Nothing but our own files in the folder: no temporary file was left behind.
        for (const std::string& name : clitest::FilesIn(dir.path()))
            EXPECT_NE(name[0], '.') << name;
    }
}

} // namespace
