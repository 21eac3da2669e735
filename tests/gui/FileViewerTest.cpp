// The file viewer: opened for the list's current row by the View menu's command and by the
// event Enter and a double-click post, one window a file, the tabs a file's mode offers, the
// notes where they stand, find, saving the listing, and the window's life with its document.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "ViewerTestDisk.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DocText.h"
#include "fs/Messages.h"
#include "support/TestDisk.h"
#include "ui/FileViewerFrame.h"
#include "ui/MainFrame.h"
#include "ui/SectorViewFrame.h"

using namespace guitest;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const wxString& text) {
    std::vector<std::string> lines;
    for (const wxString& line : wxSplit(text, '\n', '\0'))
        lines.push_back(line.utf8_string());
    return lines;
}

class FileViewerTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        DARVEX_REQUIRE_TESTDATA();
        ASSERT_NE(OpenFile(WriteViewerDisk(m_dir.path())), nullptr);
    }
    testutil::TempDir m_dir;
};

TEST_F(FileViewerTest, CommandAndHandOffOpenOneViewerAFile) {
    // No current row, or a directory's: nothing to view.
    for (const char* row : {"NONE", "SUB"}) {
        MakeCurrentRow(row);
        EXPECT_FALSE(IsEnabled(XRCID("ID_VIEW_FILE"))) << row;
    }
    CFileViewerFrame* hello = OpenViewer("HELLOWORLD");
    ASSERT_NE(hello, nullptr);
    EXPECT_TRUE(hello->IsShown());
    EXPECT_EQ(hello->GetTitle().utf8_string(), "HELLOWORLD (BTX) - viewer.d88");
    // Again for the same file: the same window.
    EXPECT_EQ(OpenViewer("HELLOWORLD"), hello);

    // What Enter or a double-click on a row posts to the main window.
    ASSERT_TRUE(MakeCurrentRow("README"));
    wxPostEvent(&Frame(), wxCommandEvent(wxEVT_MENU, XRCID("ID_VIEW_FILE")));
    Settle(50);
    EXPECT_EQ(ViewerCount(), 2);
    EXPECT_NE(CFileViewerFrame::Find(*Doc(), 16, testdisk::FindEntry(Doc()->GetDisk(), "README")),
              nullptr);

    // Closing a viewer leaves the others and the document; the file's other disk (a file
    // stands in its first entry too), or another file, takes them all.
    hello->Close();
    Settle(20);
    EXPECT_EQ(ViewerCount(), 1);
    ASSERT_NE(OpenViewer("HELLOWORLD"), nullptr);
    ASSERT_TRUE(Doc()->ShowDisk(1));
    Settle(20);
    EXPECT_EQ(ViewerCount(), 0);
    ASSERT_TRUE(Doc()->ShowDisk(0));
    ASSERT_NE(OpenViewer("README"), nullptr);
    ASSERT_NE(OpenFile(WriteViewerDisk(m_dir.path(), "other.d88")), nullptr);
    Settle(20);
    EXPECT_EQ(ViewerCount(), 0);
}

TEST_F(FileViewerTest, TabsFollowTheModeAndShowTheListing) {
    struct Case {
        const char* name;
        std::vector<ViewKind> kinds;
        ViewKind first;
        std::string firstLine;
    };
    const Case cases[] = {
        {"HELLOWORLD",
         {ViewKind::Basic, ViewKind::Text, ViewKind::Hex},
         ViewKind::Basic,
         "10 GRAPH I1,O1,C:PRINT CHR$(6);"},
        {"README", {ViewKind::Text, ViewKind::Hex}, ViewKind::Text, "HELLO"},
        {"PROG", {ViewKind::Text, ViewKind::Hex}, ViewKind::Hex, "0000  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFileViewerFrame* viewer = OpenViewer(c.name);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->GetKinds(), c.kinds);
        EXPECT_EQ(viewer->GetShownKind(), c.first);
        EXPECT_EQ(Lines(viewer->GetListingText()).front().substr(0, c.firstLine.size()),
                  c.firstLine);
    }
    // The listing's font keeps columns: every character is as wide as the next.
    const wxTextCtrl* text = OpenViewer("HELLOWORLD")->GetText();
    EXPECT_EQ(text->GetTextExtent("iiii").x, text->GetTextExtent("MMMM").x);
}

// A note stands where the listing stops, in a colour of its own.
TEST_F(FileViewerTest, NotesStandWhereTheListingStops) {
    CFileViewerFrame* viewer = OpenViewer("BROKEN");
    ASSERT_NE(viewer, nullptr);
    const std::vector<std::string> lines = Lines(viewer->GetListingText());
    const wxString note = wxString::Format(
        Tr("Note: %s"), wxString::FromUTF8(NoteMessage({ViewNoteCode::BasicBrokenChain, 8, 3})));
    EXPECT_EQ(lines, (std::vector<std::string>{"10 A=1", note.utf8_string()}));
    wxTextAttr style;
    ASSERT_TRUE(viewer->GetText()->GetStyle(static_cast<long>(lines[0].size() + 3), style));
    EXPECT_NE(style.GetTextColour(), viewer->GetText()->GetForegroundColour());
}

TEST_F(FileViewerTest, FindGoesRoundAndSaysWhenNothingIsThere) {
    CFileViewerFrame* viewer = OpenViewer("SD.BAS");
    ASSERT_NE(viewer, nullptr);
    wxTextCtrl* text = viewer->GetText();
    const wxString all = text->GetValue();
    const long first = static_cast<long>(all.find("GOSUB"));
    text->SetSelection(0, 0);
    // Forward from the start, then backward past the start to the last one.
    for (const auto& [forward, at] :
         {std::pair{true, first}, std::pair{false, static_cast<long>(all.rfind("GOSUB"))}}) {
        ASSERT_TRUE(viewer->FindText("gosub", forward, false));
        long from = 0, to = 0;
        text->GetSelection(&from, &to);
        EXPECT_EQ(from, at);
        EXPECT_EQ(to, at + 5);
    }
    EXPECT_FALSE(viewer->FindText("gosub", true, true));

    // The dialog's search: a text that is not there is said so.
    wxFindDialogEvent find(wxEVT_FIND, wxID_ANY);
    find.SetFindString("NOWHERE");
    find.SetFlags(wxFR_DOWN);
    const wxString missing =
        wxString::Format(wxString::FromUTF8(UiMessage(UiText::TextNotFound)), "NOWHERE");
    wxTEST_DIALOG(viewer->ProcessWindowEvent(find), ExpectMessage(missing.utf8_string(), "Darvex"));
}

// Save As writes what the tab shows as UTF-8, asks before replacing a file, and never writes
// over the disk image it shows.
TEST_F(FileViewerTest, SaveListingAsUtf8Text) {
    CFileViewerFrame* viewer = OpenViewer("README");
    ASSERT_NE(viewer, nullptr);
    const auto saveAs = [viewer] {
        wxCommandEvent save(wxEVT_MENU, wxID_SAVEAS);
        viewer->ProcessWindowEvent(save);
    };
    wxTEST_DIALOG(saveAs(), ExpectFileDialog(m_dir.path() / "readme"));
    const fs::path written = m_dir.path() / "readme.txt";
    const std::vector<unsigned char> bytes = testutil::ReadFileBytes(written);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "HELLO\nｶﾅ日本語\nEND{01}\n");

    // Replacing: No keeps the file, Yes writes the shown tab.
    const std::string question =
        wxString::Format(wxString::FromUTF8(UiMessage(UiText::ReplaceQuestion)),
                         wxString::FromUTF8(written.string()))
            .utf8_string();
    viewer->ShowKind(ViewKind::Hex);
    wxTEST_DIALOG(saveAs(), ExpectFileDialog(written), ExpectMessage(question, "Darvex", wxID_NO));
    EXPECT_EQ(testutil::ReadFileBytes(written), bytes);
    wxTEST_DIALOG(saveAs(), ExpectFileDialog(written), ExpectMessage(question, "Darvex", wxID_YES));
    const std::vector<unsigned char> hex = testutil::ReadFileBytes(written);
    EXPECT_EQ(std::string(hex.begin(), hex.end()), viewer->GetListingText().utf8_string() + "\n");

    const fs::path image = m_dir.path() / "viewer.d88";
    const std::vector<unsigned char> before = testutil::ReadFileBytes(image);
    wxTEST_DIALOG(saveAs(), ExpectFileDialog(image),
                  ExpectMessage(UiMessage(ExportResult::SameAsImage, image.string()),
                                UiMessage(UiText::ErrorCaption)));
    EXPECT_EQ(testutil::ReadFileBytes(image), before);
}

// A file that is deleted takes its viewer with it.
TEST_F(FileViewerTest, ViewerClosesWhenItsFileIsDeleted) {
    ASSERT_NE(OpenViewer("PROG"), nullptr);
    wxTEST_DIALOG(Command(ID_DELETE_FILE), wxExpectModal<wxMessageDialog>(wxID_OK));
    Settle(50);
    EXPECT_EQ(ViewerCount(), 0);
}

// From the viewer's menu and from the main window's: the sector view at the file's start.
TEST_F(FileViewerTest, FirstSectorOfTheFileInTheSectorView) {
    CFileViewerFrame* viewer = OpenViewer("README");
    ASSERT_NE(viewer, nullptr);
    unsigned char entry[32];
    Doc()->GetDisk().ReadDirEntry(entry, testdisk::FindEntry(Doc()->GetDisk(), "README"));
    const int start = entry[30] | entry[31] << 8;
    wxCommandEvent go(wxEVT_MENU, XRCID("ID_VIEW_FIRST_SECTOR"));
    viewer->ProcessWindowEvent(go);
    ASSERT_NE(OpenSectorView(), nullptr);
    EXPECT_EQ(OpenSectorView()->GetShown().sector, start);
    OpenSectorView()->ShowSector(0);
    Command(XRCID("ID_VIEW_FIRST_SECTOR"));
    EXPECT_EQ(OpenSectorView()->GetShown().sector, start);
}

// Screenshots of the three tabs, each in a process of its own (see the CMake file).
void TabScreenshot(const char* file, ViewKind kind, const char* name) {
    CFileViewerFrame* viewer = OpenViewer(file);
    ASSERT_NE(viewer, nullptr);
    viewer->ShowKind(kind);
    EXPECT_TRUE(ImageHasContent(Screenshot(name, viewer)));
}

TEST_F(FileViewerTest, BasicScreenshot) {
    TabScreenshot("SD.BAS", ViewKind::Basic, "viewer-basic");
}

TEST_F(FileViewerTest, TextScreenshot) {
    TabScreenshot("README", ViewKind::Text, "viewer-text");
}

TEST_F(FileViewerTest, HexScreenshot) {
    TabScreenshot("HELLOWORLD", ViewKind::Hex, "viewer-hex");
}

} // namespace
