#include <gtest/gtest.h>

#include <cstdlib>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/AddFileDlg.h"
#include "doc/BootRegisterDlg.h"
#include "doc/DialogIds.h"
#include "doc/DiskCommands.h"
#include "doc/ExtractDlg.h"
#include "fs/IplHeader.h"
#include "fs/ListRow.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"

using namespace dlgtest;

namespace {

using Outcome = DiskCommands::Outcome;

constexpr const char* kHostFilter = "全てのファイル|*.*|MZT file|*.mzt";
constexpr const char* kDeleteQuestion =
    "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n";
constexpr const char* kDeleteCaption = "ファイル削除";

int UsedBytes(const DiskImage& disk) {
    return disk.GetClusterBytes() * disk.GetUsedClusters();
}

std::vector<std::string> Names(const DiskImage& disk) {
    std::vector<std::string> names;
    for (const ListRow& row : ListDirectory(disk, kRootDir))
        names.push_back(row.entry.NameText());
    return names;
}

class DiskCommandsTest : public ::testing::Test {
protected:
    DiskCommandsTest() { disk.Format(0); }
    testutil::TempDir dir;
    DiskImage disk;
};

TEST_F(DiskCommandsTest, DeleteAsksOnceAndRemovesTheSelectedRows) {
    for (const char* name : {"ROW0", "ROW1", "ROW2"})
        ASSERT_EQ(PutObj(disk, name, Pattern(300)), 0);
    const std::vector<int> rows02 = {RootIndex(disk, "ROW0"), RootIndex(disk, "ROW2")};
    const auto before = Snapshot(disk);

    // Nothing selected: no question at all (any dialog would fail the test).
    Outcome outcome = DiskCommands::DeleteFiles(nullptr, disk, {});
    EXPECT_EQ(outcome, Outcome::Cancelled);

    wxTEST_DIALOG(outcome = DiskCommands::DeleteFiles(nullptr, disk, rows02),
                  ExpectMessage(kDeleteQuestion, kDeleteCaption, wxID_CANCEL));
    EXPECT_EQ(outcome, Outcome::Cancelled);
    EXPECT_EQ(Snapshot(disk), before);

    const int used = UsedBytes(disk);
    wxTEST_DIALOG(outcome = DiskCommands::DeleteFiles(nullptr, disk, rows02),
                  ExpectMessage(kDeleteQuestion, kDeleteCaption, wxID_OK));
    EXPECT_EQ(outcome, Outcome::Changed);
    EXPECT_EQ(Names(disk), std::vector<std::string>{"ROW1"});
    const int cluster = disk.GetClusterBytes();
    EXPECT_EQ(used - UsedBytes(disk), 2 * ((300 + cluster - 1) / cluster) * cluster);
}

TEST_F(DiskCommandsTest, DeleteFreesTheClustersOfA300ByteFile) {
    DARVEX_REQUIRE_TESTDATA();
    const auto bytes = ReadHostFile(testutil::TestDataPath("ipls/ipls-2d.d88"));
    ASSERT_EQ(disk.Load(bytes.data(), bytes.size(), 0), 0);
    ASSERT_EQ(disk.GetClusterBytes(), 256);
    ASSERT_EQ(PutObj(disk, "SMALL", Pattern(300)), 0);
    const int used = UsedBytes(disk);
    // An entry that is free already is passed over.
    wxTEST_DIALOG(DiskCommands::DeleteFiles(nullptr, disk, {RootIndex(disk, "SMALL"), 5}),
                  ExpectMessage(kDeleteQuestion, kDeleteCaption, wxID_OK));
    EXPECT_EQ(used - UsedBytes(disk), 512);
}

TEST_F(DiskCommandsTest, HostFileDialogsOfAddAndBootRegister) {
    const std::string path = WriteHostFile(dir.path() / "prog.bin", Pattern(400));
    Outcome outcome = Outcome::Changed;
    wxTEST_DIALOG(outcome = DiskCommands::AddFile(nullptr, disk),
                  ExpectFile("", wxID_CANCEL).WithWildcard(kHostFilter));
    EXPECT_EQ(outcome, Outcome::Cancelled);

    wxTEST_DIALOG(outcome = DiskCommands::AddFile(nullptr, disk),
                  ExpectFile(path).WithWildcard(kHostFilter),
                  ExpectDialog<CAddFileDlg>([](CAddFileDlg& dlg) {
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_EQ(outcome, Outcome::Changed);
    EXPECT_EQ(Names(disk), std::vector<std::string>{"prog.bin"});

    wxTEST_DIALOG(outcome = DiskCommands::AddFile(nullptr, disk), ExpectFile(path),
                  ExpectDialog<CAddFileDlg>([](CAddFileDlg&) { return wxID_CANCEL; }));
    EXPECT_EQ(outcome, Outcome::Unchanged);

    int machine = 1;
    wxTEST_DIALOG(outcome = DiskCommands::RegisterBoot(nullptr, disk, machine),
                  ExpectFile("", wxID_CANCEL).WithWildcard(kHostFilter));
    EXPECT_EQ(outcome, Outcome::Cancelled);
    wxTEST_DIALOG(outcome = DiskCommands::RegisterBoot(nullptr, disk, machine),
                  ExpectFile(path).WithWildcard(kHostFilter),
                  ExpectDialog<CBootRegisterDlg>([](CBootRegisterDlg& dlg) {
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_EQ(outcome, Outcome::Changed);
    EXPECT_TRUE(IplHeader::FromImage(disk.Image()).HasSignature());
}

} // namespace
