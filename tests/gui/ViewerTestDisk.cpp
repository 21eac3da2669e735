#include "ViewerTestDisk.h"

#include <vector>

#include <wx/listctrl.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/DarvexDoc.h"
#include "support/TestDisk.h"
#include "ui/DarvexView.h"
#include "ui/FileViewerFrame.h"
#include "ui/MainFrame.h"
#include "ui/SectorViewFrame.h"

namespace guitest {

std::filesystem::path WriteViewerDisk(const std::filesystem::path& folder,
                                      const std::string& name) {
    using Bytes = std::vector<unsigned char>;
    const auto tapeBody = [](const char* tape) {
        const Bytes bytes = testutil::ReadFileBytes(testutil::TestDataPath(tape));
        return bytes.size() > 128 ? Bytes(bytes.begin() + 128, bytes.end()) : Bytes();
    };
    DiskImage disk;
    disk.Format(1);
    disk.SetCurrentDir(-1);
    // Line 10, then a record length of 3, which no line can have.
    const Bytes broken = {8, 0, 10, 0, 'A', '=', '1', 0x0D, 3, 0, 20, 0, 0, 0};
    // "HELLO", ｶﾅ and 日本語 in Shift-JIS, a control byte.
    const Bytes text = {'H',  'E',  'L',  'L',  'O',  0x0D, 0xB6, 0xC5, 0x93, 0xFA,
                        0x96, 0x7B, 0x8C, 0xEA, 0x0D, 'E',  'N',  'D',  0x01, 0x0D};
    EXPECT_EQ(testdisk::AddRawEntry(disk, "HELLOWORLD", 0x02, tapeBody("basic/helloworld.mzt"), 2),
              0);
    EXPECT_EQ(testdisk::AddRawEntry(disk, "SD.BAS", 0x02, tapeBody("basic/sdbas-mz2z002.mzt"), 2),
              0);
    EXPECT_EQ(testdisk::AddRawEntry(disk, "BROKEN", 0x02, broken, 2), 0);
    EXPECT_EQ(testdisk::AddRawEntry(disk, "README", 0x03, text, 3), 0);
    EXPECT_EQ(testdisk::AddRawEntry(disk, "PROG", 0x01, testdisk::Pattern(300)), 0);
    EXPECT_GE(testdisk::AddSubdir(disk, "SUB"), 0);
    EXPECT_EQ(disk.AddDisk(1), 0);
    EXPECT_EQ(disk.SelectDisk(1), 0);
    disk.SetCurrentDir(-1);
    EXPECT_EQ(testdisk::AddRawEntry(disk, "OTHER", 0x03, text, 3), 0);
    EXPECT_EQ(disk.SelectDisk(0), 0);
    SaveDiskFile(disk, folder / name);
    return folder / name;
}

bool MakeCurrentRow(const std::string& name) {
    wxListCtrl* list = Frame().GetListCtrl();
    const long state = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
    bool found = false;
    for (long row = 0; row < list->GetItemCount(); ++row) {
        const bool match = list->GetItemText(row).utf8_string() == name;
        list->SetItemState(row, match ? state : 0, state);
        found = found || match;
    }
    return found;
}

CFileViewerFrame* OpenViewer(const std::string& name) {
    if (!MakeCurrentRow(name))
        return nullptr;
    Command(XRCID("ID_VIEW_FILE"));
    Settle(20);
    return CFileViewerFrame::Find(*Doc(), Doc()->GetDisk().GetCurrentDir(),
                                  ListView().CurrentEntry());
}

CSectorViewFrame* OpenSectorView() {
    return Doc() ? CSectorViewFrame::Find(*Doc()) : nullptr;
}

int ViewerCount() {
    int count = 0;
    for (wxWindow* top : wxTopLevelWindows)
        count += dynamic_cast<CFileViewerFrame*>(top) && !top->IsBeingDeleted();
    return count;
}

} // namespace guitest
