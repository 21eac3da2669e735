#include <functional>
#include <string>
#include <vector>

#include <wx/listctrl.h>
#include <wx/menu.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "doc/AddFileDlg.h"
#include "doc/BootRegisterDlg.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DiskCommandProcessor.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"
#include "image/Geometry.h"
#include "ui/DarvexView.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
using namespace dlgtest;

namespace {

constexpr const char* kDeleteQuestion =
    "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n";

// The menu item's label after the window's update-UI pass.
std::string MenuLabel(int id) {
    IsEnabled(id);
    return Frame().GetMenuBar()->FindItem(id)->GetItemLabel().utf8_string();
}

void SelectRow(long row) {
    wxListCtrl* list = Frame().GetListCtrl();
    for (long r = 0; r < list->GetItemCount(); ++r)
        list->SetItemState(r, r == row ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
}

// What the user sees of the disk, and its bytes.
struct Seen {
    testdisk::Bytes bytes;
    std::vector<std::vector<std::string>> rows;
    std::string space;
    int dir;
    bool operator==(const Seen&) const = default;
};

Seen Look() {
    return {Snapshot(Doc()->GetDisk()), ListRows(), SpaceText(), Doc()->GetDisk().GetCurrentDir()};
}

// Public: the cases of a table act on the fixture.
class UndoTest : public GuiTest {
public:
    void OpenSample() {
        image = WriteSampleDisk(dir.path(), "disk.d88");
        ASSERT_NE(OpenFile(image), nullptr);
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

// Each kind of change is taken back and made again through the Edit menu: bytes, list, usage,
// the directory it was made in, the modified mark and the menu's names for the step.
TEST_F(UndoTest, EveryKindOfChangeIsTakenBackAndMadeAgain) {
    struct Case {
        const char* step;
        int treeItem; // where the change is made: 0 the root, 1 SUB
        std::function<void(UndoTest&)> change;
    };
    const Case cases[] = {
        {"ファイル追加", 0, [](UndoTest& t) { t.AddFile("new.bin"); }},
        // In SUB, with the root shown when it is taken back: the tree goes back to SUB.
        {"削除", 1,
         [](UndoTest&) {
             ASSERT_EQ(ListRows().at(0).at(0), "INNER");
             SelectRow(0);
             wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, "ファイル削除"));
             ASSERT_TRUE(ListRows().empty());
         }},
        {"ブートプログラム登録", 0,
         [](UndoTest& t) {
             const std::string boot = HostFile(t.dir.path() / "boot.bin", Pattern(1000, 7));
             wxTEST_DIALOG(Command(ID_REGISTER_BOOT), ExpectFileDialog(boot),
                           ExpectDialog<CBootRegisterDlg>([](auto& d) {
                               Click(d, wxID_OK);
                               return d.GetReturnCode();
                           }));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        ResetToStart(); // the same path again would find the last case's document
        OpenSample();
        EXPECT_FALSE(IsEnabled(wxID_UNDO));
        EXPECT_EQ(MenuLabel(wxID_UNDO), "元に戻す(&U)\tCtrl+Z");
        wxTreeCtrl* tree = Frame().GetTreeCtrl();
        tree->ExpandAll();
        tree->SelectItem(TreeView().GetTreeItem(c.treeItem));
        Settle();
        const Seen before = Look();
        c.change(*this);
        const Seen after = Look();
        ASSERT_NE(after.bytes, before.bytes);
        EXPECT_EQ(Title(), "*disk.d88 - Darvex");
        EXPECT_EQ(MenuLabel(wxID_UNDO), std::string("元に戻す: ") + c.step + "(&U)\tCtrl+Z");
        EXPECT_FALSE(IsEnabled(wxID_REDO));

        Doc()->ShowDirectory(kRootDirSector);
        Command(wxID_UNDO);
        EXPECT_EQ(Look(), before);
        EXPECT_FALSE(Doc()->IsModified());
        EXPECT_EQ(Title(), "disk.d88 - Darvex");
        EXPECT_FALSE(IsEnabled(wxID_UNDO));
        EXPECT_TRUE(IsEnabled(wxID_REDO));
        EXPECT_EQ(MenuLabel(wxID_REDO), std::string("やり直し: ") + c.step + "(&R)\tCtrl+Y");
        EXPECT_EQ(tree->GetSelection(), TreeView().GetTreeItem(c.treeItem));

        Command(wxID_REDO);
        EXPECT_EQ(Look(), after);
        EXPECT_TRUE(Doc()->IsModified());
        EXPECT_EQ(Title(), "*disk.d88 - Darvex");
        EXPECT_FALSE(IsEnabled(wxID_REDO));
        EXPECT_TRUE(IsEnabled(wxID_UNDO));
    }
}

// The modified mark follows the state, not the count of steps: back to the saved state it
// goes, past it and on a new branch it stays.
TEST_F(UndoTest, TheSavedStateClearsTheModifiedMark) {
    OpenSample();
    const Seen opened = Look();
    AddFile("a.bin");
    Command(wxID_SAVE);
    const auto savedFile = ReadFileBytes(image);
    const Seen saved = Look();
    AddFile("b.bin");
    const Seen last = Look();

    struct Move {
        int id;
        const Seen* state;
        bool modified;
    };
    const Move moves[] = {
        {wxID_UNDO, &saved, false}, {wxID_UNDO, &opened, true}, {wxID_REDO, &saved, false},
        {wxID_REDO, &last, true},   {wxID_UNDO, &saved, false},
    };
    for (const Move& m : moves) {
        Command(m.id);
        EXPECT_EQ(Look(), *m.state);
        EXPECT_EQ(Doc()->IsModified(), m.modified);
        EXPECT_EQ(Title(), std::string(m.modified ? "*" : "") + "disk.d88 - Darvex");
    }
    EXPECT_EQ(ReadFileBytes(image), savedFile); // undo never writes the file

    // A new step after going back past the save: the saved state can no longer be reached.
    Command(wxID_UNDO);
    AddFile("c.bin");
    EXPECT_FALSE(IsEnabled(wxID_REDO));
    EXPECT_TRUE(Doc()->IsModified());
    Command(wxID_UNDO);
    EXPECT_EQ(Look(), opened);
    EXPECT_TRUE(Doc()->IsModified());
}

// A disk edited behind the history's back: the step refuses to apply, says so, and the
// history is dropped rather than mixing its bytes into the edit.
TEST_F(UndoTest, ADiskChangedOutsideTheHistoryDropsIt) {
    OpenSample();
    AddFile("a.bin");
    testdisk::Poke(Doc()->GetDisk(), EntryOffset(kRootDirSector, 0) + 1, {'X'});
    const testdisk::Bytes edited = Snapshot(Doc()->GetDisk());
    wxTEST_DIALOG(Command(wxID_UNDO),
                  ExpectMessage("ディスクが元に戻す履歴と合わなくなりました. 元に戻す/やり直しは"
                                "行わず, 履歴を消去します.",
                                "エラー"));
    Settle();
    EXPECT_EQ(Snapshot(Doc()->GetDisk()), edited);
    EXPECT_FALSE(IsEnabled(wxID_UNDO));
    EXPECT_FALSE(IsEnabled(wxID_REDO));
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
    struct Case {
        std::size_t budget;
        std::size_t kept;
    };
    for (const Case c : {Case{0, DiskCommandProcessor::kMinSteps}, Case{1u << 20, 150}}) {
        DiskCommandProcessor history(c.budget);
        history.Store(new NoopStep);
        history.MarkSaved();
        for (int i = 1; i < 150; ++i)
            history.Store(new NoopStep);
        EXPECT_EQ(history.StepCount(), c.kept);
        std::size_t undone = 0;
        while (history.Undo())
            ++undone;
        EXPECT_EQ(undone, c.kept);
        // One step on from the oldest kept: the saved state only while its step was kept.
        ASSERT_TRUE(history.Redo());
        EXPECT_EQ(history.IsDirty(), c.kept < 150);
    }
}

} // namespace
