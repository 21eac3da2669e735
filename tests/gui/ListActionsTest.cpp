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
#include "doc/DialogIds.h"
#include "doc/DocText.h"
#include "doc/FileInfoDlg.h"
#include "fs/EntryEdit.h"
#include "fs/Messages.h"
#include "gui/DialogExpect.h"
#include "support/TestDisk.h"
#include "ui/DarvexView.h"
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

// A popup menu as the user sees it: its items' texts (separators as "-") and enabled states.
struct ShownMenu {
    std::vector<std::string> items;
    std::vector<int> ids;
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
            shown.ids.push_back(item->GetId());
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
    void OpenSample() {
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
    // At the root there is nowhere to go.
    Key(WXK_BACK);
    EXPECT_EQ(SelectedTreeText(), "root");

    // A double-click opens as Enter does.
    List()->SetFocus();
    ClickAt(RowPoint(RowNamed("SUB")), wxMOUSE_BTN_LEFT, true);
    EXPECT_EQ(SelectedTreeText(), "SUB");
    Frame().GetTreeCtrl()->SelectItem(TreeView().GetTreeItem(0));

    // On a file's row, Enter and the double-click ask the frame for the file viewer.
    int viewed = 0;
    auto onView = [&viewed](wxCommandEvent&) { ++viewed; };
    Frame().Bind(wxEVT_MENU, onView, XRCID("ID_VIEW_FILE"));
    Select({"TEXT"});
    Key(WXK_RETURN);
    ClickAt(RowPoint(RowNamed("TEXT")), wxMOUSE_BTN_LEFT, true);
    Frame().Unbind(wxEVT_MENU, onView, XRCID("ID_VIEW_FILE"));
    EXPECT_EQ(viewed, 2);

    // Delete asks first; Cancel keeps the files, OK deletes the selected ones.
    Select({"PROG", "BIG"});
    wxTEST_DIALOG(Key(WXK_DELETE), ExpectMessage(kDeleteQuestion, "ファイル削除", wxID_CANCEL));
    EXPECT_EQ(Names().size(), 5u);
    wxTEST_DIALOG(Key(WXK_DELETE), ExpectMessage(kDeleteQuestion, "ファイル削除"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"SUB", "TEXT", "ゲーム"}));
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(ListActionsTest, ContextMenusOfRowsSpaceAndTreeNodes) {
    OpenSample();
    const std::vector<std::string> rowMenu = {"取り出し", "削除", "名前の変更", "ﾌｧｲﾙ情報編集"};
    const auto rightClick = [](wxPoint at) { return [at] { ClickAt(at, wxMOUSE_BTN_RIGHT); }; };
    // Each item is enabled as the same command of the main menu is.
    const auto expectAsTheMenu = [](const ShownMenu& menu) {
        for (size_t i = 0; i < menu.ids.size(); ++i)
            if (menu.items[i] != "-") {
                EXPECT_EQ(menu.enabled[i], IsEnabled(menu.ids[i])) << menu.items[i];
            }
    };

    // A row outside the selection is selected alone.
    Select({"TEXT"});
    ShownMenu menu = PopUp(List(), rightClick(RowPoint(RowNamed("PROG"))));
    EXPECT_EQ(menu.items, rowMenu);
    EXPECT_EQ(menu.enabled, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"PROG"});
    expectAsTheMenu(menu);

    // A row inside keeps the selection: one name or one file's information no longer applies.
    Select({"PROG", "TEXT"});
    menu = PopUp(List(), rightClick(RowPoint(RowNamed("TEXT"))));
    EXPECT_EQ(menu.enabled, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"PROG", "TEXT"}));
    expectAsTheMenu(menu);

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
    expectAsTheMenu(menu);
}
