#include <filesystem>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DiskInfoDlg.h"
#include "doc/UiText.h"
#include "fs/EntryEdit.h"
#include "fs/Messages.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
using namespace dlgtest;

namespace {

constexpr const char* kDeleteQuestion =
    "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n";
constexpr const char* kDeleteCaption = "ファイル削除";

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& row : ListRows())
        names.push_back(row[0]);
    return names;
}

void SelectRows(std::initializer_list<long> rows) {
    wxListCtrl* list = Frame().GetListCtrl();
    for (long r = 0; r < list->GetItemCount(); ++r)
        list->SetItemState(r, 0, wxLIST_STATE_SELECTED);
    for (long r : rows)
        list->SetItemState(r, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
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

std::string NodeText(const wxTreeItemId& node) {
    return Frame().GetTreeCtrl()->GetItemText(node).utf8_string();
}

void SelectDisk(int index) {
    Frame().GetTreeCtrl()->SelectItem(DiskNodes().at(index));
    Settle(); // the other disk is shown after the tree's event
}

// The x1 disk's records do not all survive a save: said when it is first shown.
ExpectMessage LoadWarning() {
    return ExpectMessage("保存すると", "Darvex").StartingWith().Optional();
}

int NameId() {
    return wxXmlResource::GetXRCID("IDC_DISK_NAME");
}
wxCheckBox& ProtectBox(wxDialog& d) {
    return *XRCCTRL(d, "IDC_WRITE_PROTECT", wxCheckBox);
}

// Public: the cases of a table act on the fixture.
class DiskSetTest : public GuiTest {
public:
    // Disk 1 the real 2DD system disk, disk 2 the sample disk named "SAMPLE", disk 3 a disk of
    // another system, in one file.
    void OpenThreeDisks() {
        DiskImage sample;
        BuildSampleDisk(sample);
        sample.SetDiskName("SAMPLE");
        SaveDiskFile(sample, dir.path() / "two.d88");
        parts = {ReadFileBytes(testutil::TestDataPath("ipls/ipls-2dd.d88")),
                 ReadFileBytes(dir.path() / "two.d88"),
                 ReadFileBytes(testutil::TestDataPath("x1/x1-hubasic-2d.d88"))};
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        image = dir.path() / "set.d88";
        ASSERT_TRUE(testutil::WriteFileBytes(image, all));
        wxTEST_DIALOG(EXPECT_NE(OpenFile(image), nullptr), LoadWarning());
    }
    void OpenSample(const char* name = "disk.d88") {
        image = WriteSampleDisk(dir.path(), name);
        ASSERT_NE(OpenFile(image), nullptr);
    }

    testutil::TempDir dir;
    std::filesystem::path image;
    std::vector<Bytes> parts;
};

TEST_F(DiskSetTest, EachDiskIsANodeAndAChangeOnOneLeavesTheOthersAsTheyWere) {
    DARVEX_REQUIRE_TESTDATA();
    OpenThreeDisks();
    const std::vector<wxTreeItemId> disks = DiskNodes();
    ASSERT_EQ(disks.size(), 3u);
    EXPECT_EQ(NodeText(disks[0]).rfind("ディスク 1", 0), 0u) << NodeText(disks[0]);
    EXPECT_EQ(NodeText(disks[1]), "ディスク 2 SAMPLE");
    EXPECT_EQ(NodeText(disks[2]).find("ディスク 3"), 0u);
    EXPECT_NE(NodeText(disks[2]).find("(MZ のファイルシステムがありません)"), std::string::npos)
        << NodeText(disks[2]);
    EXPECT_EQ(Frame().GetTreeCtrl()->GetSelection(), disks[0]);
    const auto firstRows = ListRows();

    SelectDisk(1);
    EXPECT_EQ(Doc()->GetDisk().GetSelectedDisk(), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"PROG", "TEXT", "BIG", "ゲーム"}));
    // Its directories hang under its node.
    EXPECT_EQ(Frame().GetTreeCtrl()->GetChildrenCount(DiskNodes()[1], false), 1u);
    SelectRows({0});
    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption));
    EXPECT_EQ(Names(), (std::vector<std::string>{"TEXT", "BIG", "ゲーム"}));

    // A disk of another system lists nothing and says so once.
    wxTEST_DIALOG(SelectDisk(2), ExpectMessage(UiMessage(ChangeRefusal::NotMzFs, 3), "Darvex"),
                  LoadWarning());
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(Doc()->IsReadOnly());
    EXPECT_FALSE(IsEnabled(ID_ADD_FILE));
    EXPECT_TRUE(IsEnabled(wxID_SAVE));
    SelectDisk(0);
    SelectDisk(2);
    EXPECT_EQ(ListRows(), std::vector<std::vector<std::string>>{});

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
    EXPECT_EQ(Doc()->GetDisk().GetSelectedDisk(), 1);
    EXPECT_EQ(Frame().GetTreeCtrl()->GetSelection(), DiskNodes()[1]);
    EXPECT_EQ(Names(), (std::vector<std::string>{"PROG", "TEXT", "BIG", "ゲーム"}));
    EXPECT_TRUE(Doc()->IsModified());
}

// Name and write-protect flag in one step: refused names keep the dialog open; the flag makes
// the disk read-only and clearing it writable again, and undo takes the step back.
TEST_F(DiskSetTest, DiskInformationChangesTheHeaderAsOneStep) {
    OpenSample();
    EXPECT_TRUE(IsEnabled(ID_DISK_INFO));
    wxTEST_DIALOG(Command(ID_DISK_INFO), ExpectDialog<CDiskInfoDlg>([](CDiskInfoDlg& d) {
                      EXPECT_EQ(TextOf(d, NameId()), "");
                      EXPECT_FALSE(ProtectBox(d).GetValue());
                      const struct {
                          const char* name;
                          UiText message;
                      } refused[] = {{"☃", UiText::DiskNameNotEncodable},
                                     {"ディスクネームナガイ", UiText::DiskNameTooLong}};
                      for (const auto& r : refused) {
                          Type(d, NameId(), r.name);
                          wxTEST_DIALOG(Click(d, wxID_OK),
                                        ExpectMessage(UiMessage(r.message), "エラー"));
                          EXPECT_NE(d.GetReturnCode(), wxID_OK);
                      }
                      Type(d, NameId(), "ゲーム DISK");
                      ProtectBox(d).SetValue(true);
                      Click(d, wxID_OK);
                      return d.GetReturnCode();
                  }));
    EXPECT_EQ(Doc()->GetDisk().GetDiskName(), "\x83\x51\x81\x5B\x83\x80 DISK");
    EXPECT_TRUE(Doc()->GetDisk().IsWriteProtected());
    EXPECT_TRUE(Doc()->IsReadOnly());
    EXPECT_FALSE(IsEnabled(ID_ADD_FILE));
    EXPECT_TRUE(Doc()->IsModified());
    IsEnabled(wxID_UNDO);
    EXPECT_EQ(Frame().GetMenuBar()->FindItem(wxID_UNDO)->GetItemLabel().utf8_string(),
              "元に戻す: ディスク情報(&U)\tCtrl+Z");

    Command(wxID_UNDO);
    EXPECT_EQ(Doc()->GetDisk().GetDiskName(), "");
    EXPECT_FALSE(Doc()->IsReadOnly());
    EXPECT_TRUE(IsEnabled(ID_ADD_FILE));
    EXPECT_FALSE(Doc()->IsModified());
    Command(wxID_REDO);
    Command(wxID_SAVE);

    // Opened again: read-only with a notice; clearing the flag makes it writable.
    ResetToStart();
    wxTEST_DIALOG(EXPECT_NE(OpenFile(image), nullptr),
                  ExpectMessage(UiMessage(ChangeRefusal::WriteProtected, 1), "Darvex"));
    EXPECT_TRUE(Doc()->IsReadOnly());
    EXPECT_FALSE(IsEnabled(ID_DELETE_FILE));
    wxTEST_DIALOG(Command(ID_DISK_INFO), ExpectDialog<CDiskInfoDlg>([](CDiskInfoDlg& d) {
                      EXPECT_EQ(TextOf(d, NameId()), "ゲーム DISK");
                      EXPECT_TRUE(ProtectBox(d).GetValue());
                      ProtectBox(d).SetValue(false);
                      Click(d, wxID_OK);
                      return d.GetReturnCode();
                  }));
    EXPECT_FALSE(Doc()->IsReadOnly());
    EXPECT_TRUE(IsEnabled(ID_DELETE_FILE));
    EXPECT_EQ(Doc()->GetDisk().GetDiskName(), "\x83\x51\x81\x5B\x83\x80 DISK");
}

// Protected files are named in a question of their own: Cancel keeps every file, OK deletes
// them all as one step.
TEST_F(DiskSetTest, ProtectedFilesAskOnceMore) {
    DiskImage disk;
    BuildSampleDisk(disk);
    for (const char* name : {"PROG", "BIG"}) {
        const int index = testdisk::FindEntry(disk, name);
        ASSERT_EQ(disk.EditEntryInfo(index, {.protect = true}), 0);
    }
    image = dir.path() / "protected.d88";
    SaveDiskFile(disk, image);
    ASSERT_NE(OpenFile(image), nullptr);
    const auto before = ListRows();
    const std::string question =
        "これらのファイルはプロテクトされています:\nPROG\nBIG\nこれらも削除しますか?";

    SelectRows({0, 1, 2});
    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption),
                  ExpectMessage(question, kDeleteCaption, wxID_CANCEL));
    EXPECT_EQ(ListRows(), before);
    EXPECT_FALSE(Doc()->IsModified());

    wxTEST_DIALOG(Command(ID_DELETE_FILE), ExpectMessage(kDeleteQuestion, kDeleteCaption),
                  ExpectMessage(question, kDeleteCaption));
    EXPECT_EQ(Names(), std::vector<std::string>{"ゲーム"});
    Command(wxID_UNDO);
    EXPECT_EQ(ListRows(), before);
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
    const std::filesystem::path shot = Screenshot("three-disk-tree");
    EXPECT_TRUE(ImageHasContent(shot)) << shot;
}

} // namespace
