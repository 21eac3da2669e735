#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "TestUtil.h"
#include "fs/IplHeader.h"
#include "host/ExtractOutput.h"
#include "support/TestDisk.h"

namespace {

namespace fs = std::filesystem;
using testdisk::Bytes;
using testdisk::Pattern;
using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

// A disk with an entry "evil.d88" and whose boot program says "evil.d88", read from
// dir/evil.d88.
class ExtractOutputTest : public testing::Test {
protected:
    void SetUp() override {
        disk.Format(1);
        ASSERT_EQ(testdisk::PutFile(disk, "evil.d88", Pattern(16), 1), 0);
        entry = testdisk::FindEntry(disk, "evil.d88");
        IplHeader ipl;
        ipl.SetSignature();
        ipl.SetSize(16);
        ipl.SetStartSector(48);
        testdisk::WritableImage(disk).write(0, ipl.Bytes().data(), IplHeader::kBytes);
        ASSERT_TRUE(WriteFileBytes(image, kImageBytes));
    }
    std::string At(const std::string& name) const { return (dir.path() / name).string(); }

    const Bytes kImageBytes = Pattern(5000, 9);
    testutil::TempDir dir;
    DiskImage disk;
    int entry = -1;
    std::string image = At("evil.d88");
};

TEST_F(ExtractOutputTest, TheImageIsNeverAnOutput) {
    fs::create_symlink(image, At("link"));
    fs::create_hard_link(image, At("hard"));
    fs::create_symlink(At("hard"), At("image-link"));
    struct Case {
        const char* name;
        std::string out, imagePath;
        OutputName naming;
    };
    const Case cases[] = {
        {"the same path", image, image, OutputName::Chosen},
        {"unseen, the same name", image, image, OutputName::Unseen},
        {"a symbolic link to it", At("link"), image, OutputName::Chosen},
        {"a hard link", At("hard"), image, OutputName::Chosen},
        {"read through a link", At("hard"), At("image-link"), OutputName::Unseen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ExtractOutput output{c.imagePath, c.naming};
        const ExportOutcome outcome = ExportEntryToFile(disk, entry, c.out, 1, output);
        EXPECT_EQ(outcome.result, ExportResult::SameAsImage);
        EXPECT_EQ(ExtractBootToFile(disk, c.out, 1, output).cause, ExtractBootCause::SameAsImage);
        EXPECT_EQ(ReadFileBytes(image), kImageBytes);
    }
    EXPECT_EQ(ExportEntryToFile(disk, entry, At("other"), 1, {image}).result, ExportResult::Ok);
}

TEST_F(ExtractOutputTest, UnseenNamesReplaceNothingAndHideNothing) {
    ASSERT_TRUE(WriteFileBytes(At("A.BIN"), {1}));
    ASSERT_TRUE(WriteFileBytes(At("_.X"), {2}));
    fs::create_symlink(At("nowhere"), At("_~2.X"));
    const ExtractOutput unseen{image, OutputName::Unseen};
    struct Case {
        std::string proposed, written;
    };
    const Case cases[] = {
        {"A.BIN", "A~2.BIN"},
        {"A.BIN", "A~3.BIN"},
        {".X", "_~3.X"}, // a dangling link counts as taken
        {".profile", "_.profile"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.proposed);
        const ExportOutcome outcome = ExportEntryToFile(disk, entry, At(c.proposed), 1, unseen);
        EXPECT_EQ(outcome.result, ExportResult::Ok);
        EXPECT_EQ(outcome.path, At(c.written));
        EXPECT_EQ(ReadFileBytes(outcome.path), Pattern(16));
    }
    EXPECT_EQ(ReadFileBytes(At("A.BIN")), Bytes{1});
    EXPECT_EQ(ReadFileBytes(At("_.X")), Bytes{2});
    EXPECT_TRUE(fs::is_symlink(At("_~2.X")));
    EXPECT_FALSE(fs::exists(At(".profile")));

    // A chosen name replaces the file; a failure says why.
    EXPECT_TRUE(ExportEntryToFile(disk, entry, At("A.BIN"), 1, {image}).Ok());
    EXPECT_EQ(ReadFileBytes(At("A.BIN")), Pattern(16));
    const ExportOutcome failed = ExportEntryToFile(disk, entry, At("no/A.BIN"), 1, {image});
    EXPECT_EQ(failed.result, ExportResult::CannotWrite);
    EXPECT_EQ(failed.sysError, ENOENT);
}

} // namespace
