
#include <cmath>

#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/menu.h>
#include <wx/prntbase.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DarvexDocManager.h"
#include "ui/AboutDlg.h"
#include "ui/DarvexApp.h"
#include "ui/DarvexView.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
namespace fs = std::filesystem;

namespace {

class ExpectAbout : public wxExpectModalBase<CAboutDlg, ExpectAbout> {
protected:
    int OnInvoked(CAboutDlg* dialog) const override {
        EXPECT_EQ(dialog->GetTitle().utf8_string(), "Darvexのﾊﾞｰｼﾞｮﾝ情報");
        auto* version = wxDynamicCast(dialog->FindWindow(XRCID("IDC_VERSION")), wxStaticText);
        EXPECT_NE(version, nullptr);
        if (version) {
            const std::string text = version->GetLabel().utf8_string();
            EXPECT_EQ(text, "Darvex Version 0.06");
            // The label is wide enough for its text.
            EXPECT_GE(version->GetSize().x, version->GetTextExtent(version->GetLabel()).x);
        }
        auto* licence = wxDynamicCast(dialog->FindWindow(XRCID("IDC_LICENCE")), wxStaticText);
        EXPECT_NE(licence, nullptr);
        if (licence) {
            EXPECT_NE(licence->GetLabel().Find("MIT"), wxNOT_FOUND) << "the licence is named";
        }
        // Nothing sticks out of the dialog.
        const wxSize client = dialog->GetClientSize();
        for (wxWindow* child : dialog->GetChildren()) {
            EXPECT_LE(child->GetRect().GetRight(), client.x) << child->GetName();
            EXPECT_LE(child->GetRect().GetBottom(), client.y) << child->GetName();
        }
        return wxID_OK;
    }
};

} // namespace

TEST_F(GuiTest, ToolBarHoldsTheNineteenItemsInOrder) {
    const int expected[] = {wxID_NEW,
                            wxID_OPEN,
                            wxID_SAVE,
                            -1,
                            wxID_CUT,
                            wxID_COPY,
                            wxID_PASTE,
                            ID_EXTRACT_FILE,
                            ID_ADD_FILE,
                            ID_DELETE_FILE,
                            -1,
                            wxID_PRINT,
                            -1,
                            ID_VIEW_LARGEICON,
                            ID_VIEW_SMALLICON,
                            ID_VIEW_LIST,
                            ID_VIEW_DETAILS,
                            -1,
                            wxID_ABOUT};
    wxToolBar* bar = Frame().GetToolBar();
    ASSERT_EQ(bar->GetToolsCount(), WXSIZEOF(expected));
    for (size_t i = 0; i < WXSIZEOF(expected); ++i) {
        SCOPED_TRACE(i);
        const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(i));
        if (expected[i] == -1) {
            EXPECT_TRUE(tool->IsSeparator());
            continue;
        }
        EXPECT_EQ(tool->GetId(), expected[i]);
        EXPECT_TRUE(tool->GetNormalBitmap().IsOk()) << "no icon";
        EXPECT_FALSE(tool->GetShortHelp().empty()) << "no tool tip";
    }
    EXPECT_EQ(bar->FindById(wxID_NEW)->GetShortHelp().utf8_string(), "新規ﾌｧｲﾙ");
    // The buttons whose prompt has no tool-tip part are named as their menu items.
    EXPECT_EQ(bar->FindById(ID_EXTRACT_FILE)->GetShortHelp().utf8_string(), "ファイル取り出し");
    EXPECT_EQ(bar->FindById(ID_ADD_FILE)->GetShortHelp().utf8_string(), "ファイル追加");
}

namespace {

// Mean difference per colour channel (0 ... 255) of two images of one size, laid on white.
double Difference(const wxBitmap& a, const wxBitmap& b) {
    wxImage x = a.ConvertToImage(), y = b.ConvertToImage();
    for (wxImage* image : {&x, &y})
        if (!image->HasAlpha())
            image->InitAlpha();
    double sum = 0;
    for (int row = 0; row < x.GetHeight(); ++row)
        for (int col = 0; col < x.GetWidth(); ++col) {
            const auto onWhite = [&](const wxImage& i, unsigned char v) {
                const int alpha = i.GetAlpha(col, row);
                return (v * alpha + 255 * (255 - alpha)) / 255.0;
            };
            sum += std::abs(onWhite(x, x.GetRed(col, row)) - onWhite(y, y.GetRed(col, row))) +
                   std::abs(onWhite(x, x.GetGreen(col, row)) - onWhite(y, y.GetGreen(col, row))) +
                   std::abs(onWhite(x, x.GetBlue(col, row)) - onWhite(y, y.GetBlue(col, row)));
        }
    return sum / (3.0 * x.GetWidth() * x.GetHeight());
}

} // namespace

// Icons drawn for 16 and 24 pixels; none that looks disabled while it is not; Extract and Add
// told apart at a glance.
TEST_F(GuiTest, ToolBarIconsReadClearly) {
    wxToolBar* bar = Frame().GetToolBar();
    for (size_t i = 0; i < bar->GetToolsCount(); ++i) {
        const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(i));
        if (tool->IsSeparator())
            continue;
        SCOPED_TRACE(tool->GetShortHelp().utf8_string());
        for (int pixels : {16, 24}) {
            const wxBitmap icon = tool->GetNormalBitmapBundle().GetBitmap(wxSize(pixels, pixels));
            ASSERT_EQ(icon.GetSize(), wxSize(pixels, pixels));
            EXPECT_GT(Difference(icon, icon.ConvertToDisabled()), 20.0) << pixels << " px";
        }
    }
    const auto icon = [bar](int id) {
        return bar->FindById(id)->GetNormalBitmapBundle().GetBitmap(wxSize(16, 16));
    };
    EXPECT_GT(Difference(icon(ID_EXTRACT_FILE), icon(ID_ADD_FILE)), 40.0);
}

TEST_F(GuiTest, MenuAccelerators) {
    struct Case {
        int id;
        std::vector<std::string> accels; // the first one is shown in the menu
    };
    const Case cases[] = {
        {wxID_NEW, {"Ctrl+N"}},
        {wxID_OPEN, {"Ctrl+O"}},
        {wxID_SAVE, {"Ctrl+S"}},
        {wxID_PRINT, {"Ctrl+P"}},
        {wxID_UNDO, {"Ctrl+Z", "Alt+Back"}},
        {wxID_CUT, {"Ctrl+X", "Shift+Delete"}},
        {wxID_COPY, {"Ctrl+C", "Ctrl+Insert"}},
        {wxID_PASTE, {"Ctrl+V", "Shift+Insert"}},
        {ID_ADD_FILE, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        wxMenuItem* item = Frame().GetMenuBar()->FindItem(c.id);
        ASSERT_NE(item, nullptr);
        std::vector<wxAcceleratorEntry> all;
        if (wxAcceleratorEntry* main = item->GetAccel()) {
            all.push_back(*main);
            delete main;
        }
        for (const wxAcceleratorEntry& extra : item->GetExtraAccels())
            all.push_back(extra);
        ASSERT_EQ(all.size(), c.accels.size());
        for (size_t i = 0; i < all.size(); ++i) {
            wxAcceleratorEntry want;
            ASSERT_TRUE(want.FromString(c.accels[i]));
            EXPECT_EQ(all[i].GetKeyCode(), want.GetKeyCode()) << c.accels[i];
            EXPECT_EQ(all[i].GetFlags(), want.GetFlags()) << c.accels[i];
        }
    }
    EXPECT_EQ(Frame().GetMenuBar()->GetMenuLabel(0).utf8_string(), "ﾌｧｲﾙ(&F)");
    EXPECT_EQ(Frame().GetMenuBar()->FindItem(wxID_SAVE)->GetItemLabel().utf8_string(),
              "上書き保存(&S)\tCtrl+S");
}

TEST_F(GuiTest, ListStyleButtonsFollowTheListsViewType) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "styles.d88")), nullptr);
    wxListCtrl* list = Frame().GetListCtrl();
    list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    const auto rows = ListRows();

    struct Case {
        int id;
        long style;
    };
    const Case cases[] = {{ID_VIEW_DETAILS, wxLC_REPORT},
                          {ID_VIEW_LARGEICON, wxLC_ICON},
                          {ID_VIEW_SMALLICON, wxLC_SMALL_ICON},
                          {ID_VIEW_LIST, wxLC_LIST},
                          {ID_VIEW_DETAILS, wxLC_REPORT}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Command(c.id);
        EXPECT_TRUE(list->HasFlag(c.style));
        for (int other : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS})
            EXPECT_EQ(IsChecked(other), other == c.id) << other;
        EXPECT_EQ(list->GetItemCount(), static_cast<int>(rows.size()));
        EXPECT_EQ(list->GetItemText(0).utf8_string(), rows[0][0]);
    }
    // Back in report view: rows, texts and the selection are as they were.
    EXPECT_EQ(ListRows(), rows);
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 1);

    // A second image (and a new disk) leaves exactly eight columns.
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "second.d88")), nullptr);
    EXPECT_EQ(list->GetColumnCount(), 8);
    wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(1));
    EXPECT_EQ(list->GetColumnCount(), 8);
    Doc()->Modify(false);
}

TEST_F(GuiTest, IconAndListViewsPlaceTheRowsAtOnce) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "icons.d88")), nullptr);
    wxListCtrl* list = Frame().GetListCtrl();
    const wxRect client(list->GetClientSize());
    // Every row has a place inside the pane, without the window being resized.
    const auto expectPlaced = [&](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_GT(list->GetItemCount(), 0);
        for (long row = 0; row < list->GetItemCount(); ++row) {
            wxRect rect;
            ASSERT_TRUE(list->GetItemRect(row, rect));
            EXPECT_FALSE(rect.IsEmpty()) << row;
            EXPECT_TRUE(client.Contains(rect.GetTopLeft())) << row;
        }
    };
    for (int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST}) {
        SCOPED_TRACE(id);
        Command(id);
        Settle();
        expectPlaced("switched");
        // Refilled in that view: the sub-directory, then the root again.
        Frame().GetTreeCtrl()->SelectItem(TreeView().GetTreeItem(1));
        Settle();
        expectPlaced("refilled");
        Frame().GetTreeCtrl()->SelectItem(TreeView().GetTreeItem(0));
    }
    // Rows filled while another view was shown still have their other columns.
    Command(ID_VIEW_DETAILS);
    for (const auto& row : ListRows())
        EXPECT_FALSE(row[4].empty()) << row[0];
}

TEST_F(GuiTest, StatusBarPanesAndBarToggles) {
    wxStatusBar* bar = Frame().GetStatusBar();
    ASSERT_EQ(bar->GetFieldsCount(), 6);
    EXPECT_EQ(bar->GetStatusText(CMainFrame::kPaneMessage), " ");
    // Pane 1 holds the widest usage text of any disk.
    wxRect pane;
    ASSERT_TRUE(bar->GetFieldRect(CMainFrame::kPaneSpace, pane));
    EXPECT_GE(pane.width, bar->GetTextExtent("655360/655360").x);
    Frame().SetSpaceText("1/2");
    EXPECT_EQ(SpaceText(), "1/2");
    // Linux cannot read kana lock or scroll lock.
    EXPECT_EQ(bar->GetStatusText(CMainFrame::kPaneKana), "");
    EXPECT_EQ(bar->GetStatusText(CMainFrame::kPaneScroll), "");

    for (int id : {int{ID_VIEW_TOOLBAR}, int{ID_VIEW_STATUS_BAR}}) {
        SCOPED_TRACE(id);
        wxWindow* window = id == ID_VIEW_TOOLBAR ? static_cast<wxWindow*>(Frame().GetToolBar())
                                                 : static_cast<wxWindow*>(bar);
        EXPECT_TRUE(IsChecked(id));
        Command(id);
        EXPECT_FALSE(window->IsShown());
        EXPECT_FALSE(IsChecked(id));
        Command(id);
        EXPECT_TRUE(window->IsShown());
        EXPECT_TRUE(IsChecked(id));
    }
}

TEST_F(GuiTest, AboutBoxFromMenuAndToolBar) {
    testutil::TempDir dir;
    wxTEST_DIALOG(Command(wxID_ABOUT), ExpectAbout());
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "about.d88")), nullptr);
    EXPECT_TRUE(IsEnabled(wxID_ABOUT));
    wxTEST_DIALOG(Command(wxID_ABOUT), ExpectAbout());
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(GuiTest, NewDiskDialogFitsItsControls) {
    CNewDiskDlg dialog(&Frame());
    const wxSize client = dialog.GetClientSize();
    for (wxWindow* child : dialog.GetChildren()) {
        SCOPED_TRACE(child->GetName().utf8_string());
        EXPECT_LE(child->GetRect().GetRight(), client.x);
        EXPECT_LE(child->GetRect().GetBottom(), client.y);
        EXPECT_GE(child->GetSize().y, child->GetBestSize().y) << "clipped";
    }
    EXPECT_EQ(dialog.GetTitle().utf8_string(), "新規ディスク作成");
    EXPECT_EQ(dialog.GetTypeChoice()->GetString(3).utf8_string(),
              "MZ-2000 2D (70トラック16セクタ)");
    EXPECT_EQ(dialog.GetDefaultItem(), dialog.FindWindow(wxID_OK));
    struct Case {
        int position, type;
    };
    for (Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, 3}, Case{-1, 0}, Case{7, 0}}) {
        dialog.SetSelection(c.position);
        EXPECT_EQ(dialog.GetDiskType(), c.type) << c.position;
    }
}

TEST_F(GuiTest, DroppedFilesOpenOneAfterAnother) {
    testutil::TempDir dir;
    wxArrayString files;
    files.push_back(wxString::FromUTF8(WriteSampleDisk(dir.path(), "first.d88").string()));
    files.push_back(wxString::FromUTF8(WriteSampleDisk(dir.path(), "ディスク.d88").string()));
    Frame().OpenDroppedFiles(files);
    EXPECT_EQ(Title(), "ディスク.d88 - Darvex");
    EXPECT_TRUE(Doc()->IsLoaded());
    EXPECT_EQ(Manager().GetHistoryFile(1), files[0]);
}

TEST_F(GuiTest, PaneKeysAndWindowSize) {
    // F6 and Shift+F6 are in the window's accelerators; both move to the other pane.
    Frame().GetTreeCtrl()->SetFocus();
    Settle();
    Command(ID_NEXT_PANE);
    Settle();
    EXPECT_EQ(wxWindow::FindFocus(), Frame().GetListCtrl());
    Command(ID_PREV_PANE);
    Settle();
    EXPECT_EQ(wxWindow::FindFocus(), Frame().GetTreeCtrl());

    // The tree and all eight columns are in view (the virtual screen is 1024 wide).
    int columns = 0;
    for (int c = 0; c < Frame().GetListCtrl()->GetColumnCount(); ++c)
        columns += Frame().GetListCtrl()->GetColumnWidth(c);
    EXPECT_GE(Frame().GetClientSize().x, CMainFrame::kLeftPaneWidth + columns);
    EXPECT_GE(Frame().GetSize().y, 500);
    EXPECT_EQ(Frame().GetSplitter()->GetSashPosition(), CMainFrame::kLeftPaneWidth);
}

TEST_F(GuiTest, StaleDebugLogGoesFromTheDataFolderOnly) {
    EXPECT_EQ(CDarvexApp::DataFolder(), (DataHome() / "Darvex").string());
    EXPECT_FALSE(fs::exists(DataHome() / "Darvex" / "DEBUG.TXT"));
    EXPECT_TRUE(fs::exists(WorkDir() / "DEBUG.TXT"));
}

// Without a window manager only a process's first capture shows what is on the screen, so
// each screenshot test runs in a process of its own (tests/gui/CMakeLists.txt).
TEST_F(GuiTest, NewDiskDialogScreenshot) {
    CNewDiskDlg dialog(&Frame());
    dialog.Show();
    EXPECT_TRUE(ImageHasContent(Screenshot("new-disk-dialog", &dialog)));
}

TEST_F(GuiTest, AboutBoxScreenshot) {
    CAboutDlg about(&Frame());
    about.Show();
    EXPECT_TRUE(ImageHasContent(Screenshot("about-box", &about)));
}

TEST_F(GuiTest, MainWindowScreenshot) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "サンプル.d88")), nullptr);
    Frame().GetTreeCtrl()->ExpandAll();
    const fs::path shot = Screenshot("main-window");
    EXPECT_TRUE(ImageHasContent(shot)) << shot;
    // No column title is cut off.
    wxListCtrl* list = Frame().GetListCtrl();
    for (int c = 0; c < list->GetColumnCount(); ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        list->GetColumn(c, column);
        EXPECT_GT(list->GetColumnWidth(c), list->GetTextExtent(column.GetText()).x) << c;
    }
}

TEST_F(GuiTest, PrintedPagesAreBlank) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "print.d88")), nullptr);
    for (wxView* view : Doc()->GetViewsVector()) {
        SCOPED_TRACE(view->GetClassInfo()->GetClassName());
        std::unique_ptr<wxPrintout> printout(view->OnCreatePrintout());
        ASSERT_TRUE(printout);
        EXPECT_TRUE(printout->HasPage(1));
        wxBitmap page(200, 280);
        wxMemoryDC dc(page);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        printout->SetDC(&dc);
        printout->SetPPIScreen(96, 96);
        printout->SetPPIPrinter(96, 96);
        printout->SetPageSizePixels(200, 280);
        EXPECT_TRUE(printout->OnPrintPage(1));
        dc.SelectObject(wxNullBitmap);
        const wxImage image = page.ConvertToImage();
        for (int y = 0; y < image.GetHeight(); y += 7)
            for (int x = 0; x < image.GetWidth(); x += 7)
                ASSERT_EQ(image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y), 3 * 255);
    }
}
