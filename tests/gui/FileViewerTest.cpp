// The file viewer: opened for the list's current row by the View menu's command and by the
// event Enter and a double-click post, one window a file, the tabs a file's mode offers, the
// notes where they stand, find, saving the listing, and the window's life with its document.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <wx/listctrl.h>
#include <wx/notebook.h>
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
    // Again for the same file: the same window, to the front.
    EXPECT_EQ(OpenViewer("HELLOWORLD"), hello);
    EXPECT_EQ(ViewerCount(), 1);

    // What Enter or a double-click on a row posts to the main window.
    ASSERT_TRUE(MakeCurrentRow("README"));
    wxPostEvent(&Frame(), wxCommandEvent(wxEVT_MENU, XRCID("ID_VIEW_FILE")));
    Settle(50);
    EXPECT_EQ(ViewerCount(), 2);
    CFileViewerFrame* readme =
        CFileViewerFrame::Find(*Doc(), 16, testdisk::FindEntry(Doc()->GetDisk(), "README"));
    ASSERT_NE(readme, nullptr);
    EXPECT_EQ(readme->GetShownKind(), ViewKind::Text);

    // Closing a viewer leaves the others and the document.
    hello->Close();
    Settle(20);
    EXPECT_EQ(ViewerCount(), 1);
    EXPECT_NE(Doc(), nullptr);
    // Another disk: its document's viewers go with the old one.
    ASSERT_NE(OpenFile(WriteViewerDisk(m_dir.path(), "other.d88")), nullptr);
    Settle(20);
    EXPECT_EQ(ViewerCount(), 0);
    for (wxWindow* top : wxTopLevelWindows)
        EXPECT_TRUE(!dynamic_cast<CFileViewerFrame*>(top) || top->IsBeingDeleted());
}

TEST_F(FileViewerTest, TabsFollowTheModeAndShowTheListing) {
    struct Case {
        const char* name;
        std::vector<ViewKind> kinds;
        ViewKind first;
        std::vector<std::string> head; // the first lines of the tab shown first
    };
    const Case cases[] = {
        {"HELLOWORLD",
         {ViewKind::Basic, ViewKind::Text, ViewKind::Hex},
         ViewKind::Basic,
         {"10 GRAPH I1,O1,C:PRINT CHR$(6);", "20 CURSOR 14,12", "30 PRINT \"HELLO WORLD\""}},
        {"README",
         {ViewKind::Text, ViewKind::Hex},
         ViewKind::Text,
         {"HELLO", "ｶﾅ日本語", "END{01}"}},
        {"PROG",
         {ViewKind::Text, ViewKind::Hex},
         ViewKind::Hex,
         {"0000  " /* the rest checked below */}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFileViewerFrame* viewer = OpenViewer(c.name);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->GetKinds(), c.kinds);
        EXPECT_EQ(viewer->GetShownKind(), c.first);
        const std::vector<std::string> lines = Lines(viewer->GetListingText());
        ASSERT_GE(lines.size(), c.head.size());
        for (std::size_t i = 0; i < c.head.size(); ++i)
            EXPECT_EQ(lines[i].substr(0, c.head[i].size()), c.head[i]) << i;
    }
    // The hex tab of the BTX program: its 110 bytes in 7 rows.
    CFileViewerFrame* hello = OpenViewer("HELLOWORLD");
    hello->ShowKind(ViewKind::Hex);
    const std::vector<std::string> hex = Lines(hello->GetListingText());
    ASSERT_EQ(hex.size(), 7u);
    EXPECT_EQ(hex[6].substr(0, 4), "0060");
    // The listing's font keeps columns: every character is as wide as the next.
    const wxTextCtrl* text = hello->GetText();
    EXPECT_EQ(text->GetTextExtent("iiii").x, text->GetTextExtent("MMMM").x);
}

// A note stands before the line it concerns, in the note's colour, as the program's own text.
TEST_F(FileViewerTest, NotesStandWhereTheListingStops) {
    CFileViewerFrame* viewer = OpenViewer("BROKEN");
    ASSERT_NE(viewer, nullptr);
    const std::vector<std::string> lines = Lines(viewer->GetListingText());
    const std::string note =
        wxString::Format(Tr("Note: %s"),
                         wxString::FromUTF8(NoteMessage({ViewNoteCode::BasicBrokenChain, 8, 3})))
            .utf8_string();
    EXPECT_EQ(lines, (std::vector<std::string>{"10 A=1", note}));
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
    const long second = static_cast<long>(all.find("GOSUB", first + 1));
    ASSERT_GT(second, first);
    text->SetSelection(0, 0);
    long from = 0, to = 0;
    ASSERT_TRUE(viewer->FindText("gosub", true, false));
    text->GetSelection(&from, &to);
    EXPECT_EQ(from, first);
    EXPECT_EQ(to, first + 5);
    ASSERT_TRUE(viewer->FindText("GOSUB", true, true));
    text->GetSelection(&from, &to);
    EXPECT_EQ(from, second);
    // Backwards from the second one, then round past the start to the last one.
    ASSERT_TRUE(viewer->FindText("GOSUB", false, true));
    text->GetSelection(&from, &to);
    EXPECT_EQ(from, first);
    ASSERT_TRUE(viewer->FindText("GOSUB", false, true));
    text->GetSelection(&from, &to);
    EXPECT_EQ(from, static_cast<long>(all.rfind("GOSUB")));
    EXPECT_FALSE(viewer->FindText("gosub", true, true));

    // The dialog's search: a text that is not there is said so.
    wxFindDialogEvent find(wxEVT_FIND, wxID_ANY);
    find.SetFindString("NOWHERE");
    find.SetFlags(wxFR_DOWN);
    const std::string missing =
        wxString::Format(wxString::FromUTF8(UiMessage(UiText::TextNotFound)), "NOWHERE")
            .utf8_string();
    wxTEST_DIALOG(viewer->ProcessWindowEvent(find), ExpectMessage(missing, "Darvex"));
}

// Save As writes what the tab shows as UTF-8, asks before replacing a file, and never writes
// over the disk image it shows.
TEST_F(FileViewerTest, SaveListingAsUtf8Text) {
    CFileViewerFrame* viewer = OpenViewer("README");
    ASSERT_NE(viewer, nullptr);
    const fs::path out = m_dir.path() / "readme";
    const auto saveAs = [viewer] {
        wxCommandEvent save(wxEVT_MENU, wxID_SAVEAS);
        viewer->ProcessWindowEvent(save);
    };
    wxTEST_DIALOG(saveAs(), ExpectFileDialog(out));
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

// A change to the directory reaches the viewer: a file that is gone takes its viewer with it.
TEST_F(FileViewerTest, ViewerClosesWhenItsFileIsDeleted) {
    CFileViewerFrame* viewer = OpenViewer("PROG");
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(MakeCurrentRow("PROG"));
    wxTEST_DIALOG(Command(ID_DELETE_FILE), wxExpectModal<wxMessageDialog>(wxID_OK));
    Settle(50);
    EXPECT_EQ(ViewerCount(), 0);
}

TEST_F(FileViewerTest, FirstSectorOfTheFileInTheSectorView) {
    CFileViewerFrame* viewer = OpenViewer("README");
    ASSERT_NE(viewer, nullptr);
    wxCommandEvent go(wxEVT_MENU, XRCID("ID_VIEW_FIRST_SECTOR"));
    viewer->ProcessWindowEvent(go);
    Settle(20);
    ASSERT_NE(OpenSectorView(), nullptr);
    unsigned char entry[32];
    Doc()->GetDisk().ReadDirEntry(entry, testdisk::FindEntry(Doc()->GetDisk(), "README"));
    EXPECT_EQ(OpenSectorView()->GetShown().sector, entry[30] | entry[31] << 8);
    // The main window's command does the same for the list's current row.
    OpenSectorView()->ShowSector(0);
    ASSERT_TRUE(MakeCurrentRow("README"));
    Command(XRCID("ID_VIEW_FIRST_SECTOR"));
    EXPECT_EQ(OpenSectorView()->GetShown().sector, entry[30] | entry[31] << 8);
}

// Screenshots of the three tabs, each in a process of its own (see the CMake file).
TEST_F(FileViewerTest, BasicScreenshot) {
    CFileViewerFrame* viewer = OpenViewer("SD.BAS");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(ImageHasContent(Screenshot("viewer-basic", viewer)));
}

TEST_F(FileViewerTest, TextScreenshot) {
    CFileViewerFrame* viewer = OpenViewer("README");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(ImageHasContent(Screenshot("viewer-text", viewer)));
}

TEST_F(FileViewerTest, HexScreenshot) {
    CFileViewerFrame* viewer = OpenViewer("HELLOWORLD");
    ASSERT_NE(viewer, nullptr);
    viewer->ShowKind(ViewKind::Hex);
    EXPECT_TRUE(ImageHasContent(Screenshot("viewer-hex", viewer)));
}

} // namespace
