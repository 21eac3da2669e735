#include <gtest/gtest.h>

#include <filesystem>

#include "TestUtil.h"
#include "fs/Boot.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/IplHeader.h"
#include "host/DiskImageFiles.h"
#include "host/ExtractOutput.h"
#include "host/HostCommands.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

namespace {

namespace fs = std::filesystem;
using testdisk::Bytes;
using testdisk::MakeMzt;
using testdisk::Pattern;
using testdisk::Snapshot;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

class HostCommands : public testing::Test {
protected:
    void SetUp() override { disk.Format(1); }
    std::string Host(const std::string& name, const Bytes& bytes) {
        const fs::path path = dir.path() / name;
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path.string();
    }
    TempDir dir;
    DiskImage disk;
};

TEST_F(HostCommands, AddFileSourceDecidesMztByExtensionOrChoice) {
    const Bytes tape = MakeMzt({.mode = 2, .name = "TAPE\r", .size = 50, .data = Pattern(50)});
    struct Case {
        const char* name;
        MztChoice choice;
        bool mzt;
    };
    const Case kCases[] = {
        {"a.MzT", MztChoice::ByExtension, true}, {"a.bin", MztChoice::ByExtension, false},
        {"a.bin", MztChoice::Mzt, true},         {"a.mzt", MztChoice::Plain, false},
        {"mzt", MztChoice::ByExtension, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(static_cast<int>(c.choice)));
        const AddFileSource source = ReadAddFileSource(Host(c.name, tape), c.choice);
        ASSERT_EQ(source.reason, AddFileReason::Ok);
        EXPECT_EQ(source.fileNameUtf8, c.name);
        EXPECT_EQ(source.proposal.isMzt, c.mzt);
        EXPECT_EQ(source.proposal.name, c.mzt ? "TAPE" : c.name);
        EXPECT_EQ(source.fileBytes, tape.size());
    }
}

TEST_F(HostCommands, AddFileRefusalsChangeNothing) {
    const Bytes before = Snapshot(disk);
    const AddFileSource missing =
        ReadAddFileSource((dir.path() / "none").string(), MztChoice::ByExtension);
    EXPECT_EQ(missing.reason, AddFileReason::CannotRead);
    EXPECT_EQ(AddFileFromSource(disk, missing, {}).reason, AddFileReason::CannotRead);

    const AddFileSource big =
        ReadAddFileSource(Host("big.bin", Bytes(524289, 1)), MztChoice::ByExtension);
    EXPECT_EQ(big.reason, AddFileReason::TooLarge);
    EXPECT_EQ(big.fileBytes, 524289u);
    EXPECT_EQ(AddFileFromSource(disk, big, {}).reason, AddFileReason::TooLarge);

    const AddFileSource folder = ReadAddFileSource(dir.path().string(), MztChoice::ByExtension);
    EXPECT_EQ(folder.reason, AddFileReason::CannotRead);
    EXPECT_EQ(Snapshot(disk), before);
}

TEST_F(HostCommands, AddFileStoresTheBuiltEntry) {
    const Bytes data = Pattern(700, 3);
    const AddFileSource source = ReadAddFileSource(Host("GAME.BIN", data), MztChoice::ByExtension);
    AddFileOutcome outcome = AddFileFromSource(disk, source, {.loadText = "1200"});
    ASSERT_TRUE(outcome.Ok());
    const DirEntry stored = testdisk::EntryAt(disk, 1); // entry 0 is the formatted 0x80 entry
    EXPECT_EQ(stored.NameText(), "GAME.BIN");
    EXPECT_EQ(stored.LoadAddress(), 0x1200);
    EXPECT_EQ(stored.Bytes(), outcome.built.entry);

    outcome = AddFileFromSource(disk, source, {});
    EXPECT_EQ(outcome.reason, AddFileReason::Ok);
    EXPECT_EQ(outcome.result, ImportResult::NameTaken);
}

TEST_F(HostCommands, BootRegisterAndExtractRoundTrip) {
    const Bytes program = Pattern(600, 4);
    const BootSource big = ReadBootSource(Host("big.bin", Bytes(65536, 0)), MztChoice::ByExtension);
    EXPECT_EQ(big.reason, BootRegisterReason::TooLarge);
    EXPECT_EQ(big.fileBytes, 65536u);

    const BootSource source = ReadBootSource(Host("IPL.BIN", program), MztChoice::ByExtension);
    ASSERT_EQ(source.reason, BootRegisterReason::Ok);
    EXPECT_EQ(source.proposal.text, "IPL.BIN");
    ASSERT_TRUE(RegisterBootFromSource(disk, source, {.machine = 3}).Ok());
    EXPECT_EQ(IplHeader::FromImage(disk.Image()).Machine(), 3);

    const fs::path out = dir.path() / "out.bin";
    EXPECT_EQ(ExtractBootToFile(disk, out.string(), 1).cause, ExtractBootCause::None);
    EXPECT_EQ(ReadFileBytes(out), program);
    EXPECT_EQ(ExtractBootToFile(disk, (dir.path() / "no" / "x").string(), 1).cause,
              ExtractBootCause::WriteFailed);
}

TEST_F(HostCommands, ExtractBootCauses) {
    Bytes out;
    EXPECT_EQ(ExtractBoot(disk, 1, out), ExtractBootCause::NoSignature);
    IplHeader ipl;
    ipl.SetSignature();
    ipl.SetStartSector(static_cast<std::uint16_t>(disk.GetImageSize() / kSectorBytes - 1));
    ipl.SetSize(257); // one byte past the image end
    testdisk::WritableImage(disk).write(0, ipl.Bytes().data(), IplHeader::kBytes);
    EXPECT_EQ(ExtractBoot(disk, 1, out), ExtractBootCause::PastImageEnd);
    EXPECT_TRUE(out.empty());
    const fs::path path = dir.path() / "never";
    EXPECT_EQ(ExtractBootToFile(disk, path.string(), 0).cause, ExtractBootCause::PastImageEnd);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ExtractBootProgram(disk, path.c_str(), 0), 1);
}

} // namespace
