#include <gtest/gtest.h>

#include <filesystem>

#include "TestUtil.h"
#include "host/ExtractOutput.h"
#include "support/TestDisk.h"

namespace {

namespace fs = std::filesystem;
using testdisk::Bytes;
using testdisk::Pattern;
using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

// A disk with an entry "evil.d88", read from dir/evil.d88.
class ExtractOutputTest : public testing::Test {
protected:
    void SetUp() override {
        disk.Format(1);
        ASSERT_EQ(testdisk::PutFile(disk, "evil.d88", Pattern(16), 1), 0);
        entry = testdisk::FindEntry(disk, "evil.d88");
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
    const struct {
        std::string out, imagePath;
        OutputName naming;
    } kCases[] = {
        {image, image, OutputName::Unseen},
        {At("link"), image, OutputName::Chosen},
        {At("hard"), image, OutputName::Chosen},
        {image, At("link"), OutputName::Chosen}, // the image read through a link
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.out);
        const ExtractOutput output{c.imagePath, c.naming};
        EXPECT_EQ(ExportEntryToFile(disk, entry, c.out, 1, output).result,
                  ExportResult::SameAsImage);
        EXPECT_EQ(ReadFileBytes(image), kImageBytes);
    }
    EXPECT_EQ(ExportEntryToFile(disk, entry, At("other"), 1, {image}).result, ExportResult::Ok);
}

TEST_F(ExtractOutputTest, UnseenNamesReplaceNothingAndHideNothing) {
    ASSERT_TRUE(WriteFileBytes(At("A.BIN"), {1}));
    ASSERT_TRUE(WriteFileBytes(At("_.X"), {2}));
    fs::create_symlink(At("nowhere"), At("_~2.X")); // a dangling link counts as taken
    const struct {
        std::string proposed, written;
    } kCases[] = {
        {"A.BIN", "A~2.BIN"}, {"A.BIN", "A~3.BIN"}, {".X", "_~3.X"}, {".profile", "_.profile"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.proposed);
        const ExportOutcome outcome =
            ExportEntryToFile(disk, entry, At(c.proposed), 1, {image, OutputName::Unseen});
        EXPECT_EQ(outcome.path, At(c.written));
        EXPECT_EQ(ReadFileBytes(outcome.path), Pattern(16));
    }
    EXPECT_EQ(ReadFileBytes(At("A.BIN")), Bytes{1});
    EXPECT_EQ(ReadFileBytes(At("_.X")), Bytes{2});
    EXPECT_TRUE(fs::is_symlink(At("_~2.X")));
    EXPECT_FALSE(fs::exists(At(".profile")));
}

} // namespace
