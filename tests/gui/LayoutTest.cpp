// Every dialog and the main window as the user sees them, in whichever language and at whichever
// scale the run was started with (ctest runs this in both languages, at GDK_SCALE 1 and 2):
// no text cut off, nothing on top of anything else, Enter and Escape doing what they should.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "ViewerTestDisk.h"
#include "doc/DarvexDoc.h"
#include "gui/DialogExpect.h"
#include "ui/FileViewerFrame.h"
#include "ui/MainFrame.h"
#include "ui/SectorViewFrame.h"

using namespace guitest;

namespace {

std::string Describe(const wxWindow* w) {
    wxString text = w->GetLabel();
    if (auto* choice = dynamic_cast<const wxChoice*>(w); choice && choice->GetCount() > 0)
        text = choice->GetString(0);
    return wxString(w->GetClassInfo()->GetClassName()).utf8_string() + " \"" + text.utf8_string() +
           "\"";
}

// The size a control needs for its own text. wxTextCtrl's best size is a default width, not
// its value's, so a field is held to the width of the value it shows; a multi-line one scrolls.
wxSize NeededSize(const wxWindow* w) {
    if (auto* text = dynamic_cast<const wxTextCtrl*>(w); text && text->IsMultiLine())
        return wxSize();
    if (auto* text = dynamic_cast<const wxTextCtrl*>(w))
        return wxSize(text->GetSizeFromTextSize(text->GetTextExtent(text->GetValue()).x).x, 0);
    if (auto* label = dynamic_cast<const wxStaticText*>(w))
        return label->GetTextExtent(label->GetLabelText());
    return w->GetBestSize();
}

// What is wrong with the layout of the controls under `parent`, one line each.
void CheckChildren(const wxWindow* parent, std::vector<std::string>& problems) {
    const wxRect client(wxPoint(0, 0), parent->GetClientSize());
    std::vector<const wxWindow*> shown;
    for (const wxWindow* child : parent->GetChildren())
        if (child->IsShown() && !child->IsTopLevel())
            shown.push_back(child);
    for (size_t i = 0; i < shown.size(); ++i) {
        const wxWindow* w = shown[i];
        const wxRect r = w->GetRect();
        // A notebook places its pages itself; GTK gives their place in the coordinates of the
        // notebook's parent.
        if (!dynamic_cast<const wxBookCtrlBase*>(parent) && !client.Contains(r))
            problems.push_back(Describe(w) + " sticks out of its window");
        const wxSize need = NeededSize(w);
        if (r.width < need.x || r.height < need.y)
            problems.push_back(Describe(w) + " is cut off: " + std::to_string(r.width) + "x" +
                               std::to_string(r.height) + " for " + std::to_string(need.x) + "x" +
                               std::to_string(need.y));
        for (size_t j = i + 1; j < shown.size(); ++j)
            if (r.Intersects(shown[j]->GetRect()))
                problems.push_back(Describe(w) + " overlaps " + Describe(shown[j]));
        CheckChildren(w, problems);
    }
}

class LayoutTest : public GuiTest {};

TEST_F(LayoutTest, EveryDialogShowsItsTextsWhole) {
    for (const DialogCase& c : AllDialogs()) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<wxDialog> dlg = c.make();
        dlg->Show();
        Settle(50);
        std::vector<std::string> problems;
        CheckChildren(dlg.get(), problems);
        for (const std::string& p : problems)
            ADD_FAILURE() << p;
        EXPECT_GE(dlg->GetSize().x, dlg->GetTextExtent(dlg->GetTitle()).x) << "title cut off";
        EXPECT_EQ(dlg->GetDefaultItem(), dlg->FindWindow(wxID_OK));
        dlg->Hide();
    }
}

// The file viewer's tabs and the sector view's fields, over a disk of the sample files.
TEST_F(LayoutTest, ViewerWindowsShowTheirTextsWhole) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "layout.d88")), nullptr);
    CFileViewerFrame* viewer = OpenViewer("TEXT");
    ASSERT_NE(viewer, nullptr);
    CSectorViewFrame* sectors = CSectorViewFrame::Open(*Doc(), 0);
    ASSERT_NE(sectors, nullptr);
    Settle(50);
    for (wxFrame* frame : {static_cast<wxFrame*>(viewer), static_cast<wxFrame*>(sectors)}) {
        SCOPED_TRACE(frame->GetTitle().utf8_string());
        std::vector<std::string> problems;
        CheckChildren(frame, problems);
        for (const std::string& p : problems)
            ADD_FAILURE() << p;
        EXPECT_TRUE(wxGetClientDisplayRect().Contains(frame->GetRect())) << "off the screen";
    }
    viewer->Close(true);
    sectors->Close(true);
    Settle(20);
}

// The column titles are checked by the main window's screenshot test.
TEST_F(LayoutTest, StatusPanesHoldTheirTexts) {
    wxStatusBar* bar = Frame().GetStatusBar();
    struct Pane {
        int index;
        wxString widest;
    };
    for (const Pane& p :
         {Pane{CMainFrame::kPaneSpace, "655360/655360"}, Pane{CMainFrame::kPaneCaps, "CAP"},
          Pane{CMainFrame::kPaneNum, "NUM"}, Pane{CMainFrame::kPaneScroll, "SCRL"}}) {
        wxRect field;
        ASSERT_TRUE(bar->GetFieldRect(p.index, field));
        EXPECT_GE(field.width, bar->GetTextExtent(p.widest).x) << p.widest;
    }
}

// Real keys, as GTK delivers them: a focused choice would take Enter to open its list, and
// Escape would then only close that list.
TEST_F(LayoutTest, EnterPressesTheDefaultButtonAndEscapeCancels) {
    for (const DialogCase& c : AllDialogs()) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<wxDialog> dlg = c.make();
        std::vector<int> pressed;
        // Bound after the dialog's own handlers, so it runs first and keeps the press to itself.
        dlg->Bind(wxEVT_BUTTON, [&pressed](wxCommandEvent& e) { pressed.push_back(e.GetId()); });
        dlg->Show();
        Settle(50);
        if (c.focus) {
            wxWindow* focus = dlg->FindWindow(wxXmlResource::GetXRCID(c.focus));
            ASSERT_NE(focus, nullptr);
            focus->SetFocus();
        }
        Settle(50);
        wxUIActionSimulator keys;
        keys.Char(WXK_RETURN);
        Settle(100);
        keys.Char(WXK_ESCAPE);
        Settle(100);
        // Escape presses Cancel, or OK where that is the only button (the about box).
        const int escape = dlg->FindWindow(wxID_CANCEL) ? wxID_CANCEL : wxID_OK;
        EXPECT_EQ(pressed, (std::vector<int>{wxID_OK, escape}));
        dlg->Hide();
        Settle(20);
    }
}

} // namespace
