// The sector view: any sector of any disk the container holds, by cylinder, side and record or
// by number, with its D88 record header and its bytes both ways; it follows the disk's changes.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/spinctrl.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "ViewerTestDisk.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "fs/Messages.h"
#include "ui/SectorViewFrame.h"
#include "view/HexView.h"

using namespace guitest;
namespace fs = std::filesystem;

namespace {

std::string Rows(const std::vector<unsigned char>& bytes) {
    std::string text;
    for (const HexRow& row : HexRows(ByteView(bytes.data(), bytes.size())))
        text += (text.empty() ? "" : "\n") + FormatHexRow(row, 4);
    return text;
}

// The spin controls in the window's order: cylinder, side, record, logical sector.
std::vector<wxSpinCtrl*> Spins(wxWindow* window) {
    std::vector<wxSpinCtrl*> spins;
    for (wxWindow* child : window->GetChildren()) {
        if (auto* spin = dynamic_cast<wxSpinCtrl*>(child))
            spins.push_back(spin);
        for (wxSpinCtrl* inner : Spins(child))
            spins.push_back(inner);
    }
    return spins;
}

void Spin(wxSpinCtrl* spin, int value) {
    spin->SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(value);
    spin->ProcessWindowEvent(event);
}

class SectorViewTest : public GuiTest {
protected:
    void OpenX1() {
        DARVEX_REQUIRE_TESTDATA();
        const fs::path x1 = m_dir.path() / "x1.d88";
        fs::copy_file(testutil::TestDataPath("x1/x1-hubasic-2d.d88"), x1);
        wxTEST_DIALOG(OpenFile(x1), ExpectMessage(UiMessage(ChangeRefusal::NotMzFs, 1), "Darvex"),
                      ExpectMessage(UiMessage(UiText::SaveLosesSectorInfo), "Darvex").Optional());
        ASSERT_TRUE(Doc()->IsLoaded());
    }
    testutil::TempDir m_dir;
};

// The X1 disk holds no MZ file system: the sector view is the one view that shows it.
TEST_F(SectorViewTest, ShowsTheX1DiskByNumberAndByPlace) {
    OpenX1();
    if (HasFatalFailure() || IsSkipped())
        return;
    EXPECT_FALSE(IsEnabled(XRCID("ID_VIEW_FILE")));
    ASSERT_TRUE(IsEnabled(XRCID("ID_SECTOR_VIEW")));
    Command(XRCID("ID_SECTOR_VIEW"));
    CSectorViewFrame* view = OpenSectorView();
    ASSERT_NE(view, nullptr);
    const DiskImage& disk = Doc()->GetDisk();

    // By place: the record read from the file there, its bytes both ways.
    const std::vector<wxSpinCtrl*> spins = Spins(view);
    ASSERT_EQ(spins.size(), 4u);
    for (const std::array<int, 3>& place : {std::array{0, 1, 1}, {1, 0, 1}, {39, 0, 16}}) {
        SCOPED_TRACE(testing::Message() << place[0] << "/" << place[1] << "/" << place[2]);
        for (int i = 0; i < 3; ++i)
            Spin(spins[i], place[i]);
        SectorView expected;
        ASSERT_TRUE(ViewSector(disk, SectorAt(disk, place[0], place[1], place[2]), expected));
        EXPECT_EQ(view->GetShown().sector, expected.sector);
        EXPECT_EQ(spins[3]->GetValue(), expected.sector);
        const std::vector<wxString> header = view->GetHeaderTexts();
        EXPECT_EQ(std::vector<wxString>(header.begin(), header.begin() + 3),
                  (std::vector<wxString>{wxString::Format("%02X", place[0]),
                                         wxString::Format("%02X", place[1]),
                                         wxString::Format("%02X", place[2])}));
        EXPECT_EQ(view->GetMachineText().utf8_string(),
                  Rows({expected.machine.begin(), expected.machine.end()}));
        EXPECT_EQ(view->GetStoredText().utf8_string(), Rows(expected.stored));
    }
    // The logical number leads to the same place; numbers past the disk keep what is shown.
    Spin(spins[3], 33);
    EXPECT_EQ(view->GetShown().sector, 33);
    EXPECT_EQ(spins[0]->GetValue(), 1);
    EXPECT_EQ(spins[1]->GetValue(), 1);
    EXPECT_EQ(spins[2]->GetValue(), 2);
    EXPECT_FALSE(view->ShowSector(SectorCount(disk)));
    EXPECT_FALSE(view->ShowSector(-1));
    EXPECT_EQ(view->GetShown().sector, 33);
    // The ID_SECTOR_VIEW command again brings the same window back.
    Command(XRCID("ID_SECTOR_VIEW"));
    EXPECT_EQ(OpenSectorView(), view);
    EXPECT_EQ(view->GetShown().sector, 33);

    // The step buttons go one sector on and stop at the disk's ends.
    const auto step = [view](const char* id) {
        wxCommandEvent press(wxEVT_BUTTON, XRCID(id));
        view->ProcessWindowEvent(press);
        return view->GetShown().sector;
    };
    EXPECT_EQ(step("ID_SECTOR_NEXT"), 34);
    EXPECT_EQ(step("ID_SECTOR_PREVIOUS"), 33);
    ASSERT_TRUE(view->ShowSector(0));
    EXPECT_EQ(step("ID_SECTOR_PREVIOUS"), 0);
    ASSERT_TRUE(view->ShowSector(SectorCount(disk) - 1));
    EXPECT_EQ(step("ID_SECTOR_NEXT"), SectorCount(disk) - 1);
}

// The view reads the disk as it is now: a deleted file's bitmap bits show at once.
TEST_F(SectorViewTest, FollowsChangesOfTheDisk) {
    DARVEX_REQUIRE_TESTDATA();
    ASSERT_NE(OpenFile(WriteViewerDisk(m_dir.path())), nullptr);
    CSectorViewFrame* view = CSectorViewFrame::Open(*Doc(), 15);
    ASSERT_NE(view, nullptr);
    const wxString before = view->GetMachineText();
    ASSERT_TRUE(MakeCurrentRow("PROG"));
    wxTEST_DIALOG(Command(ID_DELETE_FILE), wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_EQ(view->GetShown().sector, 15);
    EXPECT_NE(view->GetMachineText(), before);
    SectorView now;
    ASSERT_TRUE(ViewSector(Doc()->GetDisk(), 15, now));
    EXPECT_EQ(view->GetMachineText().utf8_string(), Rows({now.machine.begin(), now.machine.end()}));
}

TEST_F(SectorViewTest, Screenshot) {
    OpenX1();
    if (HasFatalFailure() || IsSkipped())
        return;
    CSectorViewFrame* view = CSectorViewFrame::Open(*Doc(), 1);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(ImageHasContent(guitest::Screenshot("sector-view", view)));
}

} // namespace
