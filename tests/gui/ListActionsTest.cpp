// Acting on the list and the tree directly, through the events the user's keys and mouse send:
// keys, double-clicks, context menus, header clicks and renaming in place.
#include <functional>
#include <string>
#include <vector>

#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DocHint.h"
#include "doc/DocText.h"
#include "doc/FileInfoDlg.h"
#include "fs/EntryEdit.h"
#include "fs/Messages.h"
#include "gui/DialogExpect.h"
#include "support/TestDisk.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDeleteQuestion =
    "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n";

wxListCtrl* List() {
    return Frame().GetListCtrl();
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& row : ListRows())
        names.push_back(row[0]);
    return names;
}

std::vector<std::string> SelectedNames() {
    std::vector<std::string> names;
    for (long r = -1; (r = List()->GetNextItem(r, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) != -1;)
        names.push_back(List()->GetItemText(r).utf8_string());
    return names;
}

long RowNamed(const std::string& name) {
    for (long r = 0; r < List()->GetItemCount(); ++r)
        if (List()->GetItemText(r).utf8_string() == name)
            return r;
    ADD_FAILURE() << "no row " << name;
    return -1;
}

// Selects the rows named as clicks would and gives the list the focus.
void Select(std::initializer_list<const char*> names) {
    for (long r = 0; r < List()->GetItemCount(); ++r)
        List()->SetItemState(r, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    for (const char* name : names)
        if (const long r = RowNamed(name); r >= 0)
            List()->SetItemState(r, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                 wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    List()->SetFocus();
    Settle(50);
}

// The screen point in the middle of the row's name.
wxPoint RowPoint(long row) {
    wxRect rect;
    EXPECT_TRUE(List()->GetItemRect(row, rect, wxLIST_RECT_LABEL));
    return List()->ClientToScreen(rect.GetPosition() + wxSize(10, rect.height / 2));
}

void Key(int key, int modifiers = wxMOD_NONE) {
    wxUIActionSimulator sim;
    sim.Char(key, modifiers);
    Settle(100);
}

void ClickAt(wxPoint at, int button = wxMOUSE_BTN_LEFT, bool twice = false) {
    wxUIActionSimulator sim;
    sim.MouseMove(at);
    Settle(30);
    if (twice)
        sim.MouseDblClick(button);
    else
        sim.MouseClick(button);
    Settle(100);
}

std::string SelectedTreeText() {
    return Frame().GetTreeCtrl()->GetItemText(Frame().GetTreeCtrl()->GetSelection()).utf8_string();
}

// A popup menu as the user sees it: its items' texts (separators as "-") and enabled states,
// which the menu bar's update handlers set.
struct ShownMenu {
    std::vector<std::string> items;
    std::vector<bool> enabled;
};

// Opens the context menu `open` makes appear on `window`, records it and then presses `keys`
// in it (Escape closes it); `whileOpen` runs with the menu on the screen.
ShownMenu PopUp(wxWindow* window, const std::function<void()>& open, std::vector<int> keys = {},
                const std::function<void()>& whileOpen = {}) {
    ShownMenu shown;
    wxMenu* opened = nullptr;
    wxTimer timer;
    auto onOpen = [&](wxMenuEvent& event) {
        event.Skip();
        if (!event.GetMenu() || !event.IsPopup() || opened)
            return;
        opened = event.GetMenu();
        // The menu runs a loop of its own: the keys go in from a timer of that loop, once the
        // items have been updated.
        timer.StartOnce(200);
    };
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxMenuItem* item : opened->GetMenuItems()) {
            shown.items.push_back(item->IsSeparator() ? "-"
                                                      : item->GetItemLabelText().utf8_string());
            shown.enabled.push_back(item->IsEnabled());
        }
        if (whileOpen)
            whileOpen();
        wxUIActionSimulator sim;
        for (int key : keys)
            sim.Char(key);
        sim.Char(WXK_ESCAPE);
    });
    window->Bind(wxEVT_MENU_OPEN, onOpen);
    open();
    Settle(300);
    window->Unbind(wxEVT_MENU_OPEN, onOpen);
    return shown;
}

class ListActionsTest : public GuiTest {
protected:
    void TearDown() override {
        List()->RemoveSortIndicator();
        GuiTest::TearDown();
    }
    void OpenSample() {
        // The order chosen by a header click stays with the window: start in directory order.
        List()->RemoveSortIndicator();
        image = WriteSampleDisk(dir.path(), "act.d88");
        ASSERT_NE(OpenFile(image), nullptr);
        Frame().Raise();
        Settle(50);
    }
    testutil::TempDir dir;
    fs::path image;
};

} // namespace

TEST_F(ListActionsTest, KeysSelectOpenGoUpAndDelete) {
    OpenSample();
    Select({"PROG"});
    Key('A', wxMOD_CONTROL);
    EXPECT_EQ(SelectedNames(), Names());
    ASSERT_EQ(Names().size(), 5u);

    // Enter on a directory's row opens it; the tree follows. Backspace and Alt+Up go back.
    const int root = Doc()->GetDisk().GetCurrentDir();
    for (int up : {int(WXK_BACK), int(WXK_UP)}) {
        SCOPED_TRACE(up);
        Select({"SUB"});
        Key(WXK_RETURN);
        EXPECT_EQ(Names(), std::vector<std::string>{"INNER"});
        EXPECT_EQ(SelectedTreeText(), "SUB");
        EXPECT_NE(Doc()->GetDisk().GetCurrentDir(), root);
        List()->SetFocus();
        Key(up, up == WXK_UP ? wxMOD_ALT : wxMOD_NONE);
        EXPECT_EQ(SelectedTreeText(), "root");
        EXPECT_EQ(Doc()->GetDisk().GetCurrentDir(), root);
        EXPECT_EQ(Names().size(), 5u);
    }
    // On a file's row, Enter and a double-click ask the frame for the file viewer.
    int viewed = 0;
    auto onView = [&viewed](wxCommandEvent&) { ++viewed; };
    Frame().Bind(wxEVT_MENU, onView, XRCID("ID_VIEW_FILE"));
    Select({"TEXT"});
    Key(WXK_RETURN);
    ClickAt(RowPoint(RowNamed("TEXT")), wxMOUSE_BTN_LEFT, true);
    Frame().Unbind(wxEVT_MENU, onView, XRCID("ID_VIEW_FILE"));
    EXPECT_EQ(viewed, 2);

    // Delete asks first, then deletes the selected files.
    Select({"PROG", "BIG"});
    wxTEST_DIALOG(Key(WXK_DELETE), ExpectMessage(kDeleteQuestion, "ファイル削除"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"SUB", "TEXT", "ゲーム"}));
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(ListActionsTest, ContextMenusOfRowsSpaceAndTreeNodes) {
    OpenSample();
    const std::vector<std::string> rowMenu = {"取り出し", "削除", "名前の変更", "ﾌｧｲﾙ情報編集"};
    const auto rightClick = [](wxPoint at) { return [at] { ClickAt(at, wxMOUSE_BTN_RIGHT); }; };

    // A row outside the selection is selected alone.
    Select({"TEXT"});
    ShownMenu menu = PopUp(List(), rightClick(RowPoint(RowNamed("PROG"))));
    EXPECT_EQ(menu.items, rowMenu);
    EXPECT_EQ(menu.enabled, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"PROG"});

    // A row inside keeps the selection: renaming and the file's information need one row.
    Select({"PROG", "TEXT"});
    menu = PopUp(List(), rightClick(RowPoint(RowNamed("TEXT"))));
    EXPECT_EQ(menu.enabled, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"PROG", "TEXT"}));

    // The empty space below the rows clears the selection.
    const wxPoint below = RowPoint(List()->GetItemCount() - 1) + wxSize(0, 60);
    ASSERT_TRUE(List()->GetScreenRect().Contains(below));
    menu = PopUp(List(), rightClick(below));
    EXPECT_EQ(menu.items, (std::vector<std::string>{"ファイル追加", "ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ登録"}));
    EXPECT_EQ(menu.enabled, (std::vector<bool>{true, true}));
    EXPECT_TRUE(SelectedNames().empty());

    // An item runs its command: the file-information dialog for the row clicked.
    bool shown = false;
    wxTEST_DIALOG(PopUp(List(), rightClick(RowPoint(RowNamed("BIG"))), {WXK_UP, WXK_RETURN}),
                  ExpectDialog<CFileInfoDlg>([&shown](CFileInfoDlg& dlg) {
                      shown = true;
                      EXPECT_EQ(TextOf(dlg, XRCID("IDC_NAME")), "BIG");
                      return wxID_CANCEL;
                  }));
    EXPECT_TRUE(shown);

    // A sub-directory's row opens it.
    menu = PopUp(List(), rightClick(RowPoint(RowNamed("SUB"))), {WXK_DOWN, WXK_RETURN});
    EXPECT_EQ(menu.items, std::vector<std::string>{"開く"});
    EXPECT_EQ(SelectedTreeText(), "SUB");

    // A tree node is selected first: its commands act on the directory pointed at.
    wxTreeCtrl* tree = Frame().GetTreeCtrl();
    wxRect node;
    ASSERT_TRUE(tree->GetBoundingRect(TreeView().GetTreeItem(0), node, true));
    menu = PopUp(tree,
                 rightClick(tree->ClientToScreen(node.GetPosition() + wxSize(5, node.height / 2))));
    EXPECT_EQ(SelectedTreeText(), "root");
    EXPECT_EQ(menu.items, (std::vector<std::string>{"ファイル追加", "-", "ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ取り出し",
                                                    "ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ登録"}));
}

// The header's middle of a column, on the screen.
wxPoint HeaderPoint(int column) {
    int x = 0;
    for (int c = 0; c < column; ++c)
        x += List()->GetColumnWidth(c);
    return List()->ClientToScreen(wxPoint(x + List()->GetColumnWidth(column) / 2, 8));
}

TEST_F(ListActionsTest, HeaderClicksSortAndTheOrderOutlivesARefill) {
    OpenSample();
    const std::string game = "ゲーム";
    // Sizes as numbers: "   4096" would come first as text; the sub-directory stays on top.
    ClickAt(HeaderPoint(3));
    EXPECT_EQ(List()->GetSortIndicator(), 3);
    EXPECT_TRUE(List()->IsAscendingSortIndicator());
    EXPECT_EQ(Names(), (std::vector<std::string>{"SUB", game, "PROG", "TEXT", "BIG"}));
    Settle(600); // not a double-click
    ClickAt(HeaderPoint(3));
    EXPECT_FALSE(List()->IsAscendingSortIndicator());
    EXPECT_EQ(Names(), (std::vector<std::string>{"SUB", "BIG", "TEXT", "PROG", game}));

    // An add and a delete refill the list: the order stays, and so do the rows selected.
    Select({"PROG", "ゲーム"});
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"PROG", game}));
    ASSERT_TRUE(Doc()->ApplyChange(
        "add",
        [](DiskImage& disk) {
            return testdisk::AddRawEntry(disk, "MID", 0x01, testdisk::Pattern(500)) == 0;
        },
        DocHint::EntriesChanged));
    EXPECT_EQ(Names(), (std::vector<std::string>{"SUB", "BIG", "TEXT", "MID", "PROG", game}));
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"PROG", game}));
}

TEST_F(ListActionsTest, F2RenamesInPlaceAndARefusedNameKeepsTheEditorOpen) {
    OpenSample();
    wxUIActionSimulator sim;
    Select({"SUB"}); // one file's row only
    Key(WXK_F2);
    EXPECT_EQ(List()->GetEditControl(), nullptr);

    Select({"PROG"});
    Key(WXK_F2);
    ASSERT_NE(List()->GetEditControl(), nullptr);
    sim.Text("NEW");
    Key(WXK_RETURN);
    EXPECT_EQ(List()->GetEditControl(), nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"SUB", "NEW", "TEXT", "BIG", "ゲーム"}));
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"NEW"});
    EXPECT_TRUE(Doc()->IsModified());

    // A name taken: the core's reason, and the editor again on what was typed.
    Key(WXK_F2);
    sim.Text("TEXT");
    wxTEST_DIALOG(Key(WXK_RETURN),
                  ExpectMessage(UiMessage(RenameResult::NameTaken, "NEW"), "エラー"));
    Settle(50);
    ASSERT_NE(List()->GetEditControl(), nullptr);
    EXPECT_EQ(List()->GetEditControl()->GetValue(), "TEXT");
    Key(WXK_ESCAPE);
    EXPECT_EQ(List()->GetEditControl(), nullptr);
    EXPECT_EQ(Names()[1], "NEW");
}

TEST_F(ListActionsTest, FileInformationDialogAppliesWhatChangedAndChecksItsFields) {
    OpenSample();
    const int id = ID_EDIT_FILE_INFO;
    Select({"SUB"}); // one file's row only
    EXPECT_FALSE(IsEnabled(id));
    Select({"BIG"});
    EXPECT_TRUE(IsEnabled(id));

    // A date that is none and a name taken are reported; the dialog stays open.
    const std::string badDate = Tr("The date is ten digits: year, month, day, hour and minute, "
                                   "two digits each (YYMMDDhhmm). Leave it empty for no date.")
                                    .utf8_string();
    wxTEST_DIALOG(Command(id), ExpectDialog<CFileInfoDlg>([](CFileInfoDlg& dlg) {
                      EXPECT_EQ(TextOf(dlg, XRCID("IDC_NAME")), "BIG");
                      EXPECT_EQ(TextOf(dlg, XRCID("IDC_SIZE")), "4096");
                      EXPECT_FALSE(IsEnabled(dlg, XRCID("IDC_MODE"))); // a BRD keeps its mode
                      Type(dlg, XRCID("IDC_DATE"), "2413011200");
                      Click(dlg, wxID_OK);
                      EXPECT_EQ(dlg.GetReturnCode(), 0);
                      Type(dlg, XRCID("IDC_DATE"), "");
                      Type(dlg, XRCID("IDC_NAME"), "TEXT");
                      Click(dlg, wxID_OK);
                      EXPECT_EQ(dlg.GetReturnCode(), 0);
                      return wxID_CANCEL;
                  }),
                  ExpectMessage(badDate, "エラー"),
                  ExpectMessage(UiMessage(RenameResult::NameTaken, "BIG"), "エラー"));
    EXPECT_FALSE(Doc()->IsModified());

    // OK applies every field at once: one change of the document.
    wxTEST_DIALOG(Command(id), ExpectDialog<CFileInfoDlg>([](CFileInfoDlg& dlg) {
                      Type(dlg, XRCID("IDC_NAME"), "BIGGER");
                      Choose(dlg, XRCID("IDC_PROTECT"), 1);
                      Type(dlg, XRCID("IDC_LOAD_ADDRESS"), "1234");
                      Type(dlg, XRCID("IDC_EXEC_ADDRESS"), "abcd");
                      Type(dlg, XRCID("IDC_DATE"), "2401021304");
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_TRUE(Doc()->IsModified());
    const long row = RowNamed("BIGGER");
    ASSERT_GE(row, 0);
    EXPECT_EQ(ListRows()[row],
              (std::vector<std::string>{
                  "BIGGER", "BRD  ", "80", "   4096", "1234", "ABCD",
                  wxString::Format("%08X", *ParseEntryDate("2401021304")).utf8_string(),
                  ListRows()[row][7]}));
}

// Each screenshot runs in a process of its own (see tests/gui/CMakeLists.txt).
TEST_F(ListActionsTest, RowMenuScreenshot) {
    OpenSample();
    ClickAt(HeaderPoint(3)); // the header's arrow shows too
    Select({"TEXT"});
    fs::path shot;
    PopUp(
        List(), [] { ClickAt(RowPoint(RowNamed("TEXT")), wxMOUSE_BTN_RIGHT); }, {},
        [&shot] { shot = Screenshot("context-menu-rows", nullptr, false); });
    EXPECT_TRUE(ImageHasContent(shot)) << shot;
}

TEST_F(ListActionsTest, FileInfoDialogScreenshot) {
    OpenSample();
    Select({"PROG"});
    wxTEST_DIALOG(Command(ID_EDIT_FILE_INFO), ExpectDialog<CFileInfoDlg>([](CFileInfoDlg& dlg) {
                      EXPECT_TRUE(SaveScreenshot(dlg, "file_info"));
                      return wxID_CANCEL;
                  }));
}
