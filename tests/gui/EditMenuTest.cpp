#include <cstdlib>
#include <filesystem>

#include <wx/listctrl.h>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/AddFileDlg.h"
#include "doc/BootRegisterDlg.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DarvexDocManager.h"
#include "doc/DialogIds.h"
#include "doc/ExtractDlg.h"
#include "fs/IplHeader.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"
#include "ui/DarvexView.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
using namespace dlgtest;

namespace {

constexpr const char* kDeleteQuestion =
    "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n";
constexpr const char* kDeleteCaption = "ファイル削除";
constexpr const char* kHostFilter = "全てのファイル|*|MZT file|*.mzt;*.MZT";

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& row : ListRows())
        names.push_back(row[0]);
    return names;
}

void SelectRows(std::initializer_list<long> rows) {
    wxListCtrl* list = Frame().GetListCtrl();
    for (long r = 0; r < list->GetItemCount(); ++r)
        list->SetItemState(r, 0, wxLIST_STATE_SELECTED);
    for (long r : rows)
        list->SetItemState(r, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    // The extract command is the list pane's: it must be the active pane.
    for (wxView* view : Doc()->GetViewsVector())
        if (view->IsKindOf(wxCLASSINFO(CDarvexView)))
            view->Activate(true);
}

int PressOk(wxDialog& dlg) {
    Click(dlg, wxID_OK);
    return dlg.GetReturnCode();
}

class EditMenuTest : public GuiTest {
protected:
    // A formatted disk of type 0 holding the given OBJ files, saved as a .d88 and opened.
    void OpenDisk(const std::vector<std::string>& files, const char* fileName = "disk.d88",
                  int diskType = 0) {
        DiskImage disk;
        disk.Format(diskType);
        for (const std::string& f : files)
            ASSERT_EQ(testdisk::PutFile(disk, f, Pattern(300), 1), 0);
        image = dir.path() / fileName;
        SaveDiskFile(disk, image);
        ASSERT_NE(OpenFile(image), nullptr);
    }
    std::string Host(const std::string& name, const std::vector<unsigned char>& bytes) {
        return HostFile(dir.path() / name, bytes);
    }
    testutil::TempDir dir;
    std::filesystem::path image;
};

TEST_F(EditMenuTest, AddRefreshesListAndUsageEveryTime) {
    OpenDisk({});
    const std::string before = SpaceText();
    const std::string file = Host("prog.bin", Pattern(700));

    // A refused add: the message, the list and usage refreshed, the document not modified.
    wxTEST_DIALOG(Command(ID_ADD_FILE), ExpectFileDialog(file),
                  ExpectDialog<CAddFileDlg>([](auto& d) {
                      Type(d, kIdName, "");
                      return PressOk(d);
                  }),
                  ExpectMessage("ディスクイメージへのファイル書き込みに失敗しました. \n"
                                "同じファイル名がすでに存在します.",
                                "エラー"));
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(SpaceText(), before);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(Title(), "disk.d88 - Darvex");

    wxTEST_DIALOG(Command(ID_ADD_FILE), ExpectFileDialog(file, kHostFilter),
                  ExpectDialog<CAddFileDlg>([](auto& d) { return PressOk(d); }));
    EXPECT_EQ(Names(), std::vector<std::string>{"prog.bin"});
    EXPECT_EQ(ListRows()[0][3], "    700");
    EXPECT_NE(SpaceText(), before);
    EXPECT_EQ(SpaceText(), Doc()->SpaceText().utf8_string());
    EXPECT_TRUE(Doc()->IsModified()) << "the save prompt must protect the added file";
    EXPECT_EQ(Title(), "*disk.d88 - Darvex");
    Command(wxID_SAVE);
    EXPECT_EQ(Title(), "disk.d88 - Darvex");

    // Cancel in the file dialog: nothing happens.
    wxTEST_DIALOG(Command(ID_ADD_FILE), wxExpectDismissableModal<wxFileDialog>(wxID_CANCEL));
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(EditMenuTest, DeleteTheSelectedRows) {
    OpenDisk({"ROW0", "ROW1", "ROW2"}, "disk.d88", 3); // 256-byte clusters
    const std::string before = SpaceText();

    SelectRows({});
    Command(ID_DELETE_FILE); // nothing selected: no question (any dialog fails the test)
    SelectRows({0, 2});
    wxTEST_DIALOG(Command(ID_DELETE_FILE),
                  ExpectMessage(kDeleteQuestion, kDeleteCaption, wxID_CANCEL));
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_EQ(SpaceText(), before);
    EXPECT_FALSE(Doc()->IsModified());

    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption));
    EXPECT_EQ(Names(), std::vector<std::string>{"ROW1"});
    // Each 300-byte file held two clusters of 256 bytes.
    EXPECT_EQ(std::atoi(before.c_str()) - std::atoi(SpaceText().c_str()), 2 * 512);
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(EditMenuTest, SelectionCommandsActOnTheListWhicheverPaneHasTheFocus) {
    OpenDisk({"ROW0", "ROW1"});
    SelectRows({1});
    Frame().GetTreeCtrl()->SetFocus();
    Settle();
    TreeView().Activate(true);
    std::string proposed;
    wxTEST_DIALOG(Command(ID_EXTRACT_FILE), ExpectDialog<CExtractDlg>([&](auto& d) {
                      proposed = TextOf(d, kIdPath);
                      return wxID_CANCEL;
                  }));
    EXPECT_EQ(proposed, (dir.path() / "ROW1").string());
    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption));
    EXPECT_EQ(Names(), std::vector<std::string>{"ROW0"});
}

TEST_F(EditMenuTest, ReadOnlyDiskRefusesWritingCommands) {
    DARVEX_REQUIRE_TESTDATA();
    image = dir.path() / "x1.d88";
    std::filesystem::copy_file(testutil::TestDataPath("x1/x1-hubasic-2d.d88"), image);
    wxTEST_DIALOG(
        OpenFile(image),
        ExpectMessage("MZ のディスクではないため, 読み出し専用で開きます.", "Darvex"),
        ExpectMessage("保存すると, このディスクイメージの一部のセクタ情報は失われます.", "Darvex")
            .Optional());
    ASSERT_TRUE(Doc()->IsLoaded());
    for (int id : {ID_ADD_FILE, ID_DELETE_FILE, ID_REGISTER_BOOT})
        EXPECT_FALSE(IsEnabled(id)) << id;
    EXPECT_TRUE(IsEnabled(ID_EXTRACT_FILE));
    EXPECT_TRUE(IsEnabled(ID_EXTRACT_BOOT));
    const auto before = Snapshot(Doc()->GetDisk());
    // An accelerator that slipped through reaches handlers that refuse: no dialog at all.
    Command(ID_ADD_FILE);
    Command(ID_REGISTER_BOOT);
    Command(ID_DELETE_FILE);
    EXPECT_EQ(Snapshot(Doc()->GetDisk()), before);
}

// The D88 header's write-protect flag: the files are listed, nothing may change them.
TEST_F(EditMenuTest, WriteProtectedDiskOpensReadOnly) {
    DiskImage disk;
    disk.Format(0);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "KEEP", 0x01, testdisk::Pattern(100)), 0);
    disk.SetWriteProtected(true);
    image = dir.path() / "protected.d88";
    SaveDiskFile(disk, image);
    wxTEST_DIALOG(OpenFile(image),
                  ExpectMessage("ディスク 1 は D88 ヘッダーで書き込み禁止になっているため, "
                                "読み出し専用で開きます.",
                                "Darvex"));
    ASSERT_TRUE(Doc()->IsLoaded());
    EXPECT_EQ(Names(), std::vector<std::string>{"KEEP"});
    for (int id :
         std::initializer_list<int>{ID_ADD_FILE, ID_DELETE_FILE, ID_REGISTER_BOOT, wxID_SAVE})
        EXPECT_FALSE(IsEnabled(id)) << id;
    EXPECT_TRUE(IsEnabled(ID_EXTRACT_FILE));
    // The D88 header stays changeable.
    EXPECT_TRUE(IsEnabled(ID_DISK_INFO));
}

TEST_F(EditMenuTest, DirectoryOverTheReservedAreaRefusesAddAndDelete) {
    DiskImage disk;
    disk.Format(0);
    // LOW's sectors start at 8: boot area, bitmap and root directory.
    testdisk::PutEntry(disk, kRootDirSector, 1,
                       testdisk::MakeEntry({.mode = 0x0F, .name = "LOW", .start = 8}));
    testdisk::PutEntry(disk, 8, 0, testdisk::MakeEntry({.mode = 0x01, .name = "F", .size = 1}));
    image = dir.path() / "low.d88";
    SaveDiskFile(disk, image);
    ASSERT_NE(OpenFile(image), nullptr);
    EXPECT_TRUE(IsEnabled(ID_ADD_FILE));

    Doc()->ShowDirectory(8);
    ASSERT_FALSE(Names().empty()); // the sectors after 8 hold the bitmap's bytes too
    ASSERT_EQ(Names()[0], "F");
    EXPECT_FALSE(IsEnabled(ID_ADD_FILE));
    EXPECT_FALSE(IsEnabled(ID_DELETE_FILE));
    EXPECT_TRUE(IsEnabled(ID_REGISTER_BOOT)); // the boot program has no directory entry
    EXPECT_TRUE(IsEnabled(ID_EXTRACT_FILE));

    // Reached anyway (a shortcut): refused with the core's reason, before any other dialog.
    const auto before = Snapshot(Doc()->GetDisk());
    const std::string readOnly =
        "このディレクトリはシステム領域に重なっているため, 読み出し専用です.";
    wxTEST_DIALOG(Command(ID_ADD_FILE),
                  ExpectMessage("ディスクイメージへのファイル書き込みに失敗しました. \n" + readOnly,
                                "エラー"));
    SelectRows({0});
    wxTEST_DIALOG(Command(ID_DELETE_FILE),
                  ExpectMessage("ファイルの削除に失敗しました. \n" + readOnly, "エラー"));
    EXPECT_EQ(Snapshot(Doc()->GetDisk()), before);
    EXPECT_FALSE(Doc()->IsModified());

    Doc()->ShowDirectory(kRootDirSector);
    EXPECT_TRUE(IsEnabled(ID_DELETE_FILE));
}

TEST_F(EditMenuTest, BitmapMissingAFileTurnsAllocationOffUntilTheFileGoes) {
    DiskImage disk;
    ASSERT_TRUE(testdisk::ShiftedBitmapDisk().LoadInto(disk));
    image = dir.path() / "system.d88";
    SaveDiskFile(disk, image);
    wxTEST_DIALOG(OpenFile(image),
                  ExpectMessage("アロケーションビットマップが「BASIC」の領域 (16 クラスタ) を"
                                "使用中にしていません.\n書き込むとファイルを壊すおそれがある"
                                "ため, このディスクにはファイル追加とブートプログラム登録が"
                                "できません.",
                                "Darvex"));
    EXPECT_FALSE(IsEnabled(ID_ADD_FILE));
    EXPECT_FALSE(IsEnabled(ID_REGISTER_BOOT));
    EXPECT_TRUE(IsEnabled(ID_DELETE_FILE));
    SelectRows({0});
    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption));
    EXPECT_TRUE(IsEnabled(ID_ADD_FILE));
    EXPECT_TRUE(IsEnabled(ID_REGISTER_BOOT));
}

TEST_F(EditMenuTest, RunMemoriesOutliveTheDocument) {
    OpenDisk({"A.BIN"}, "one.d88");
    SelectRows({0});
    wxTEST_DIALOG(Command(ID_EXTRACT_FILE), ExpectDialog<CExtractDlg>([](auto& d) {
                      EXPECT_EQ(SelectionOf(d, kIdFormat), 0);
                      Choose(d, kIdFormat, 1);
                      return wxID_CANCEL;
                  }));
    const std::string boot = Host("boot.bin", Pattern(100));
    wxTEST_DIALOG(Command(ID_REGISTER_BOOT), ExpectFileDialog(boot, kHostFilter),
                  ExpectDialog<CBootRegisterDlg>([](auto& d) {
                      Choose(d, kIdMachine, 3);
                      return PressOk(d);
                  }));
    Doc()->Modify(false);

    OpenDisk({"B.BIN"}, "two.d88");
    SelectRows({0});
    int format = -1, machine = -1;
    std::string proposed;
    wxTEST_DIALOG(Command(ID_EXTRACT_FILE), ExpectDialog<CExtractDlg>([&](auto& d) {
                      format = SelectionOf(d, kIdFormat);
                      proposed = TextOf(d, kIdPath);
                      return wxID_CANCEL;
                  }));
    wxTEST_DIALOG(Command(ID_REGISTER_BOOT), ExpectFileDialog(boot),
                  ExpectDialog<CBootRegisterDlg>([&](auto& d) {
                      machine = SelectionOf(d, kIdMachine);
                      return wxID_CANCEL;
                  }));
    EXPECT_EQ(format, 1);
    EXPECT_EQ(proposed, (dir.path() / "B.mzt").string());
    EXPECT_EQ(machine, 3);
}

// The whole job on a copy of a real image, saved and reopened; the command-line tool reads
// the same files and bytes back.
TEST_F(EditMenuTest, EndToEndAgreesWithTheCommandLineTool) {
    DARVEX_REQUIRE_TESTDATA();
    image = dir.path() / "work.d88";
    std::filesystem::copy_file(testutil::TestDataPath("ipls/ipls-2dd.d88"), image);
    std::filesystem::permissions(image, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    ASSERT_NE(OpenFile(image), nullptr);

    const std::string tape = (dir.path() / "EMMLOAD.mzt").string();
    std::filesystem::copy_file(testutil::TestDataPath("tapes/EMMLOAD.mzt"), tape);
    const std::string text =
        Host("hello.txt", {'1', '0', ' ', 'P', 'R', 'I', 'N', 'T', '\r', '\n'});
    wxTEST_DIALOG(Command(ID_ADD_FILE), ExpectFileDialog(tape),
                  ExpectDialog<CAddFileDlg>([](auto& d) { return PressOk(d); }));
    wxTEST_DIALOG(Command(ID_ADD_FILE), ExpectFileDialog(text),
                  ExpectDialog<CAddFileDlg>([](auto& d) {
                      Choose(d, kIdMode, 4);
                      return PressOk(d);
                  }));
    ASSERT_EQ(Names(), (std::vector<std::string>{"EMMLOAD.MZT", "hello.txt"}));

    SelectRows({0, 1});
    wxTEST_DIALOG(Command(ID_EXTRACT_FILE), ExpectDialog<CExtractDlg>([](auto& d) {
                      Choose(d, kIdFormat, 0);
                      Click(d, kIdAllOk);
                      return d.GetReturnCode();
                  }));
    const auto tapeOut = ReadFileBytes(dir.path() / "EMMLOAD.MZT");
    const auto tapeIn = ReadFileBytes(tape);
    EXPECT_EQ(tapeOut, std::vector<unsigned char>(tapeIn.begin() + 128, tapeIn.end()));
    // Taken unseen, the second file leaves the host file of that name as it was.
    EXPECT_EQ(ReadFileBytes(dir.path() / "hello~2.txt"),
              (std::vector<unsigned char>{'1', '0', ' ', 'P', 'R', 'I', 'N', 'T', '\r'}));
    EXPECT_EQ(ReadFileBytes(dir.path() / "hello.txt").size(), 10u);

    SelectRows({1});
    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption));
    const std::string boot = Host("BOOT.BIN", Pattern(1000));
    wxTEST_DIALOG(Command(ID_REGISTER_BOOT), ExpectFileDialog(boot),
                  ExpectDialog<CBootRegisterDlg>([](auto& d) { return PressOk(d); }));
    Command(wxID_SAVE);
    EXPECT_FALSE(Doc()->IsModified());
    const auto rowsBefore = ListRows();
    const std::string space = SpaceText();

    ASSERT_NE(OpenFile(image), nullptr);
    EXPECT_EQ(ListRows(), rowsBefore);
    EXPECT_EQ(SpaceText(), space);
    EXPECT_EQ(IplHeader::FromImage(Doc()->GetDisk().Image()).DisplayName(), "BOOT.BIN");

    const std::string ls = RunCli({"ls", image.string()});
    EXPECT_NE(ls.find("EMMLOAD.MZT"), std::string::npos) << ls;
    EXPECT_EQ(ls.find("hello.txt"), std::string::npos) << ls;
    const std::string cli = DARVEX_CLI_PATH;
    EXPECT_EQ(std::system((cli + " check '" + image.string() + "' >/dev/null").c_str()), 0);
    const std::filesystem::path viaCli = dir.path() / "cli.bin";
    RunCli({"get", image.string(), "EMMLOAD.MZT", viaCli.string(), "--bin"});
    EXPECT_EQ(ReadFileBytes(viaCli), tapeOut);
    const std::filesystem::path bootCli = dir.path() / "boot.out";
    RunCli({"boot-get", image.string(), bootCli.string(), "--bin"});
    EXPECT_EQ(ReadFileBytes(bootCli), Pattern(1000));
}

} // namespace
