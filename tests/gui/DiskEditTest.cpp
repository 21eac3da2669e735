#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "doc/AddFileDlg.h"
#include "doc/BootRegisterDlg.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DiskCommandProcessor.h"
#include "doc/DiskInfoDlg.h"
#include "doc/EntryCommands.h"
#include "doc/UiText.h"
#include "fs/EntryEdit.h"
#include "fs/Messages.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"
#include "image/Geometry.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
using namespace dlgtest;

namespace {

constexpr const char* kDeleteQuestion =
    "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n";
constexpr const char* kDeleteCaption = "ファイル削除";

// The menu item's label after the window's update-UI pass.
std::string MenuLabel(int id) {
    IsEnabled(id);
    return Frame().GetMenuBar()->FindItem(id)->GetItemLabel().utf8_string();
}

// The files' rows only: the sub-directories' rows come first.
std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& row : ListRows())
        if (!row[1].starts_with("DIR"))
            names.push_back(row[0]);
    return names;
}

// rows count the files' rows, as Names() does.
void SelectRows(std::initializer_list<long> rows) {
    wxListCtrl* list = Frame().GetListCtrl();
    const long dirs = static_cast<long>(ListRows().size() - Names().size());
    for (long r = 0; r < list->GetItemCount(); ++r)
        list->SetItemState(r, 0, wxLIST_STATE_SELECTED);
    for (long r : rows)
        list->SetItemState(dirs + r, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void DeleteRows(std::initializer_list<long> rows) {
    SelectRows(rows);
    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption));
}

// What the user sees of the selected disk, and its bytes and header.
struct Seen {
    Bytes bytes;
    std::vector<std::vector<std::string>> rows;
    int dir;
    std::string name;
    bool operator==(const Seen&) const = default;
};

Seen Look() {
    const DiskImage& disk = Doc()->GetDisk();
    return {Snapshot(disk), ListRows(), disk.GetCurrentDir(), disk.GetDiskName()};
}

// Fills the disk-information dialog; the result of its OK.
int FillDiskInfo(CDiskInfoDlg& d, const char* name, bool writeProtected) {
    if (name)
        Type(d, wxXmlResource::GetXRCID("IDC_DISK_NAME"), name);
    XRCCTRL(d, "IDC_WRITE_PROTECT", wxCheckBox)->SetValue(writeProtected);
    Click(d, wxID_OK);
    return d.GetReturnCode();
}

// The x1 disk's records do not all survive a save: said when it is first shown.
ExpectMessage LoadWarning() {
    return ExpectMessage("保存すると", "Darvex").StartingWith().Optional();
}

// Public: the cases of a table act on the fixture.
class DiskSetTest : public GuiTest {
public:
    void OpenSample() {
        image = WriteSampleDisk(dir.path(), "disk.d88");
        ASSERT_NE(OpenFile(image), nullptr);
    }
    // Disk 1 the real 2DD system disk, disk 2 the sample disk named "SAMPLE", disk 3 a disk of
    // another system, in one file; the parts it was made of.
    std::vector<Bytes> OpenThreeDisks() {
        DiskImage sample;
        BuildSampleDisk(sample);
        sample.SetDiskName("SAMPLE");
        SaveDiskFile(sample, dir.path() / "two.d88");
        std::vector<Bytes> parts = {ReadFileBytes(testutil::TestDataPath("ipls/ipls-2dd.d88")),
                                    ReadFileBytes(dir.path() / "two.d88"),
                                    ReadFileBytes(testutil::TestDataPath("x1/x1-hubasic-2d.d88"))};
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        image = dir.path() / "set.d88";
        EXPECT_TRUE(testutil::WriteFileBytes(image, all));
        wxTEST_DIALOG(EXPECT_NE(OpenFile(image), nullptr), LoadWarning());
        return parts;
    }
    void AddFile(const std::string& name) {
        const std::string file = HostFile(dir.path() / name, Pattern(600));
        wxTEST_DIALOG(Command(ID_ADD_FILE), ExpectFileDialog(file),
                      ExpectDialog<CAddFileDlg>([](auto& d) {
                          Click(d, wxID_OK);
                          return d.GetReturnCode();
                      }));
    }
    testutil::TempDir dir;
    std::filesystem::path image;
};

// Each kind of change, made in the root or in SUB, is taken back with the root shown and made
// again: bytes, header, list, the directory it was made in, the title's mark, the menu's names.
TEST_F(DiskSetTest, EveryKindOfChangeIsUndoneAndRedone) {
    struct Case {
        const char* step;
        int treeItem; // 0 the root, 1 SUB
        std::function<void(DiskSetTest&)> change;
    };
    const Case cases[] = {
        {"ファイル追加", 0, [](DiskSetTest& t) { t.AddFile("new.bin"); }},
        {"削除", 1, [](DiskSetTest&) { DeleteRows({0}); }},
        {"ブートプログラム登録", 0,
         [](DiskSetTest& t) {
             const std::string boot = HostFile(t.dir.path() / "boot.bin", Pattern(1000, 7));
             wxTEST_DIALOG(Command(ID_REGISTER_BOOT), ExpectFileDialog(boot),
                           ExpectDialog<CBootRegisterDlg>([](auto& d) {
                               Click(d, wxID_OK);
                               return d.GetReturnCode();
                           }));
         }},
        {"ディスク情報", 1,
         [](DiskSetTest&) {
             wxTEST_DIALOG(Command(ID_DISK_INFO), ExpectDialog<CDiskInfoDlg>([](auto& d) {
                               return FillDiskInfo(d, "GAME", false);
                           }));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        ResetToStart(); // the same path again would find the last case's document
        OpenSample();
        wxTreeCtrl* tree = Frame().GetTreeCtrl();
        tree->ExpandAll();
        tree->SelectItem(TreeView().GetTreeItem(c.treeItem));
        Settle();
        const Seen before = Look();
        c.change(*this);
        const Seen after = Look();
        ASSERT_NE(after, before);
        EXPECT_EQ(MenuLabel(wxID_UNDO), std::string("元に戻す: ") + c.step + "(&U)\tCtrl+Z");

        Doc()->ShowDirectory(kRootDirSector);
        Command(wxID_UNDO);
        EXPECT_EQ(Look(), before);
        EXPECT_EQ(Title(), "disk.d88 - Darvex");
        EXPECT_EQ(tree->GetSelection(), TreeView().GetTreeItem(c.treeItem));
        EXPECT_EQ(MenuLabel(wxID_REDO), std::string("やり直し: ") + c.step + "(&R)\tCtrl+Y");
        Command(wxID_REDO);
        EXPECT_EQ(Look(), after);
        EXPECT_EQ(Title(), "*disk.d88 - Darvex");
    }
}

// The modified mark follows the state, not the count of steps: back at the saved state it
// goes, past it and on a new branch it stays.
TEST_F(DiskSetTest, TheSavedStateClearsTheModifiedMark) {
    OpenSample();
    const Seen opened = Look();
    AddFile("a.bin");
    Command(wxID_SAVE);
    const Seen saved = Look();
    AddFile("b.bin");
    const Seen last = Look();
    const struct {
        int id;
        const Seen* state;
        bool modified;
    } moves[] = {{wxID_UNDO, &saved, false}, {wxID_UNDO, &opened, true},
                 {wxID_REDO, &saved, false}, {wxID_REDO, &last, true},
                 {wxID_UNDO, &saved, false}, {wxID_UNDO, &opened, true}};
    for (const auto& m : moves) {
        Command(m.id);
        EXPECT_EQ(Look(), *m.state);
        EXPECT_EQ(Title(), std::string(m.modified ? "*" : "") + "disk.d88 - Darvex");
    }
    // A new step after going back past the save: the saved state can no longer be reached.
    AddFile("c.bin");
    Command(wxID_UNDO);
    EXPECT_EQ(Look(), opened);
    EXPECT_TRUE(Doc()->IsModified());
}

// A step that holds nothing but counts one.
class NoopStep : public wxCommand {
public:
    NoopStep() : wxCommand(true, "step") {}
    bool Do() override { return true; }
    bool Undo() override { return true; }
};

// At least the newest 100 steps stay whatever they hold; older ones only within the budget.
TEST(DiskCommandProcessorTest, KeepsTheNewestStepsWithinItsBudget) {
    for (const auto& [budget, kept] :
         {std::pair<std::size_t, std::size_t>{0, 100}, {1u << 20, 150}}) {
        DiskCommandProcessor history(budget);
        history.Store(new NoopStep);
        history.MarkSaved();
        for (int i = 1; i < 150; ++i)
            history.Store(new NoopStep);
        EXPECT_EQ(history.StepCount(), kept);
        std::size_t undone = 0;
        while (history.Undo())
            ++undone;
        EXPECT_EQ(undone, kept);
        // One step on from the oldest kept: the saved state only while its step was kept.
        ASSERT_TRUE(history.Redo());
        EXPECT_EQ(history.IsDirty(), kept < 150);
    }
}

// The nodes under the tree's hidden root: one per disk.
std::vector<wxTreeItemId> DiskNodes() {
    wxTreeCtrl* tree = Frame().GetTreeCtrl();
    std::vector<wxTreeItemId> nodes;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tree->GetFirstChild(tree->GetRootItem(), cookie); c.IsOk();
         c = tree->GetNextChild(tree->GetRootItem(), cookie))
        nodes.push_back(c);
    return nodes;
}

void SelectDisk(int index) {
    Frame().GetTreeCtrl()->SelectItem(DiskNodes().at(index));
    Settle(); // the other disk is shown after the tree's event
}

// A change on disk 2 of three is saved with the others byte for byte, and undone on its disk.
TEST_F(DiskSetTest, EachDiskIsANodeAndAChangeOnOneLeavesTheOthersAsTheyWere) {
    DARVEX_REQUIRE_TESTDATA();
    const std::vector<Bytes> parts = OpenThreeDisks();
    std::vector<std::string> nodes;
    for (const wxTreeItemId& node : DiskNodes())
        nodes.push_back(Frame().GetTreeCtrl()->GetItemText(node).utf8_string());
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0], "ディスク 1");
    EXPECT_EQ(nodes[1], "ディスク 2 SAMPLE");
    EXPECT_TRUE(nodes[2].starts_with("ディスク 3 ")) << nodes[2];
    EXPECT_TRUE(nodes[2].ends_with(" (MZ のファイルシステムがありません)")) << nodes[2];
    const auto firstRows = ListRows();

    SelectDisk(1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"PROG", "TEXT", "BIG", "ゲーム"}));
    EXPECT_EQ(Frame().GetTreeCtrl()->GetChildrenCount(DiskNodes()[1], false), 1u); // SUB
    DeleteRows({0});
    // A disk of another system lists nothing and says so once.
    wxTEST_DIALOG(SelectDisk(2), ExpectMessage(UiMessage(ChangeRefusal::NotMzFs, 3), "Darvex"),
                  LoadWarning());
    EXPECT_TRUE(Names().empty());
    EXPECT_FALSE(IsEnabled(ID_ADD_FILE));
    SelectDisk(0);
    SelectDisk(2);

    Command(wxID_SAVE);
    const Bytes saved = ReadFileBytes(image);
    ASSERT_GE(saved.size(), parts[0].size() + parts[2].size());
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + parts[0].size()), parts[0]);
    EXPECT_EQ(Bytes(saved.end() - parts[2].size(), saved.end()), parts[2]);
    const std::string ls = RunCli({"ls", image.string(), "--disk", "2"});
    EXPECT_EQ(ls.find("PROG"), std::string::npos) << ls;
    EXPECT_NE(ls.find("TEXT"), std::string::npos) << ls;

    // Undo goes back to the disk of the step.
    SelectDisk(0);
    EXPECT_EQ(ListRows(), firstRows);
    Command(wxID_UNDO);
    EXPECT_EQ(Frame().GetTreeCtrl()->GetSelection(), DiskNodes()[1]);
    EXPECT_EQ(Names(), (std::vector<std::string>{"PROG", "TEXT", "BIG", "ゲーム"}));
}

// Refused names keep the dialog open; the flag makes the disk read-only, it opens so with a
// notice, and clearing the flag there makes it writable.
TEST_F(DiskSetTest, DiskInformationNameAndWriteProtection) {
    OpenSample();
    wxTEST_DIALOG(Command(ID_DISK_INFO), ExpectDialog<CDiskInfoDlg>([](CDiskInfoDlg& d) {
                      for (const auto& [name, message] :
                           {std::pair{"☃", UiText::DiskNameNotEncodable},
                            std::pair{"ディスクネームナガイ", UiText::DiskNameTooLong}})
                          wxTEST_DIALOG(EXPECT_NE(FillDiskInfo(d, name, false), wxID_OK),
                                        ExpectMessage(UiMessage(message), "エラー"));
                      return FillDiskInfo(d, "ゲーム DISK", true);
                  }));
    EXPECT_EQ(Doc()->GetDisk().GetDiskName(), "\x83\x51\x81\x5B\x83\x80 DISK");
    EXPECT_FALSE(IsEnabled(ID_ADD_FILE));
    Command(wxID_SAVE);

    ResetToStart();
    wxTEST_DIALOG(EXPECT_NE(OpenFile(image), nullptr),
                  ExpectMessage(UiMessage(ChangeRefusal::WriteProtected, 1), "Darvex"));
    EXPECT_FALSE(IsEnabled(ID_DELETE_FILE));
    wxTEST_DIALOG(Command(ID_DISK_INFO), ExpectDialog<CDiskInfoDlg>([](CDiskInfoDlg& d) {
                      EXPECT_EQ(TextOf(d, wxXmlResource::GetXRCID("IDC_DISK_NAME")), "ゲーム DISK");
                      return FillDiskInfo(d, nullptr, false);
                  }));
    EXPECT_TRUE(IsEnabled(ID_DELETE_FILE));
    EXPECT_FALSE(Doc()->GetDisk().IsWriteProtected());
}

// Protected files are named in a question of their own: Cancel keeps every file, OK deletes
// them all.
TEST_F(DiskSetTest, ProtectedFilesAskOnceMore) {
    DiskImage disk;
    BuildSampleDisk(disk);
    for (const char* name : {"PROG", "BIG"})
        ASSERT_EQ(disk.EditEntryInfo(testdisk::FindEntry(disk, name), {.protect = true}), 0);
    image = dir.path() / "protected.d88";
    SaveDiskFile(disk, image);
    ASSERT_NE(OpenFile(image), nullptr);
    const auto before = ListRows();
    const std::string question =
        "これらのファイルはプロテクトされています:\nPROG\nBIG\nこれらも削除しますか?";
    SelectRows({0, 1, 2});
    for (const int answer : {wxID_CANCEL, wxID_OK})
        wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption),
                      ExpectMessage(question, kDeleteCaption, answer));
    EXPECT_EQ(Names(), std::vector<std::string>{"ゲーム"});
    Command(wxID_UNDO);
    EXPECT_EQ(ListRows(), before);

    // Renaming one asks too; Cancel leaves it as it was.
    const int prog = testdisk::FindEntry(Doc()->GetDisk(), "PROG");
    for (const int answer : {wxID_CANCEL, wxID_OK})
        wxTEST_DIALOG(
            EntryCommands::Rename(&Frame(), *Doc(), prog, "PROG2"),
            ExpectMessage("このファイルはプロテクトされています:\nPROG\n名前を変更しますか?",
                          "Darvex", answer));
    EXPECT_EQ(Names(), (std::vector<std::string>{"PROG2", "TEXT", "BIG", "ゲーム"}));
}

TEST_F(DiskSetTest, DiskInfoDialogScreenshot) {
    CDiskInfoDlg dlg(&Frame());
    dlg.m_sjisName = "\x83\x51\x81\x5B\x83\x80 DISK 1";
    dlg.m_bWriteProtected = true;
    dlg.TransferDataToWindow();
    EXPECT_TRUE(SaveScreenshot(dlg, "disk-info-dialog"));
}

TEST_F(DiskSetTest, ThreeDiskTreeScreenshot) {
    DARVEX_REQUIRE_TESTDATA();
    OpenThreeDisks();
    SelectDisk(1);
    Frame().GetTreeCtrl()->ExpandAll();
    EXPECT_TRUE(ImageHasContent(Screenshot("three-disk-tree")));
}

} // namespace
