#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "doc/AddFileDlg.h"
#include "doc/DialogIds.h"
#include "doc/DiskCommands.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "fs/ListRow.h"

using namespace dlgtest;

namespace {

using Edit = std::function<void(CAddFileDlg&)>;

constexpr const char* kError = "エラー";
const std::string kWriteFailed = "ディスクイメージへのファイル書き込みに失敗しました. \n";

struct Shown {
    std::string name, size, load, exec;
    int mode = -2, protect = -2;
    bool okEnabled = false;
};

class AddFileDlgTest : public ::testing::Test {
protected:
    AddFileDlgTest() { disk.Format(0); }
    std::string Host(const std::string& name, const Bytes& bytes) {
        return HostFile(dir.path() / name, bytes);
    }
    // Opens the dialog for `path`, records what it shows, and cancels.
    Shown Proposed(const std::string& path) {
        Shown s;
        wxTEST_DIALOG(EXPECT_FALSE(DiskCommands::AddHostFile(nullptr, disk, path)),
                      ExpectDialog<CAddFileDlg>([&](CAddFileDlg& d) {
                          s = {TextOf(d, kIdName),        TextOf(d, kIdSize),
                               TextOf(d, kIdLoadAddress), TextOf(d, kIdExecAddress),
                               SelectionOf(d, kIdMode),   SelectionOf(d, kIdProtect),
                               IsEnabled(d, wxID_OK)};
                          return wxID_CANCEL;
                      }));
        return s;
    }
    static int EditAndOk(CAddFileDlg& d, const Edit& edit) {
        edit(d);
        Click(d, wxID_OK);
        return d.GetReturnCode();
    }

    testutil::TempDir dir;
    DiskImage disk;
};

TEST_F(AddFileDlgTest, ProposalsFromPlainAndMztFiles) {
    const Bytes body = Pattern(300);
    struct Case {
        const char* name;
        std::string file;
        Bytes bytes;
        Shown want;
    };
    const Case cases[] = {
        {"65535 bytes is OBJ",
         "small.bin",
         Pattern(65535),
         {"small.bin", "65535", "0000", "0000", 0, 0, true}},
        {"65536 bytes is BRD",
         "big.dat",
         Pattern(65536),
         {"big.dat", "65536", "0000", "0000", 3, 0, true}},
        {"exactly 512 KB opens",
         "max.bin",
         Pattern(524288),
         {"max.bin", "524288", "0000", "0000", 3, 0, true}},
        {"mzt header",
         "t.mzt",
         Tape(0x02, "ABC", 1234, 0x1200, 0x1234, body),
         {"ABC", "1234", "1200", "1234", 1, 0, true}},
        {"upper-case extension",
         "T2.MZT",
         Tape(0x05, "BASIC", 300, 0, 0, body),
         {"BASIC", "300", "0000", "0000", 4, 0, true}},
        {"mixed-case extension",
         "t3.Mzt",
         Tape(0x01, "PROG", 300, 0xFFFF, 0x8000, body),
         {"PROG", "300", "FFFF", "8000", 0, 0, true}},
        {"mzt layout under another extension",
         "tape.bin",
         Tape(0x02, "ABC", 300, 0, 0, body),
         {"tape.bin", "428", "0000", "0000", 0, 0, true}},
        {"mode outside 1-5 selects nothing",
         "odd.mzt",
         Tape(0x07, "ODD", 300, 0, 0, body),
         {"ODD", "300", "0000", "0000", -1, 0, false}},
        {"short mzt shows zeros", "short.mzt", {0x01, 'X'}, {"X", "0", "0000", "0000", 0, 0, true}},
        {"japanese file name",
         "テスト.bin",
         Pattern(10),
         {"テスト.bin", "10", "0000", "0000", 0, 0, true}},
    };
    const Bytes before = Snapshot(disk);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Shown got = Proposed(Host(c.file, c.bytes));
        EXPECT_EQ(got.name, c.want.name);
        EXPECT_EQ(got.size, c.want.size);
        EXPECT_EQ(got.load, c.want.load);
        EXPECT_EQ(got.exec, c.want.exec);
        EXPECT_EQ(got.mode, c.want.mode);
        EXPECT_EQ(got.protect, c.want.protect);
        EXPECT_EQ(got.okEnabled, c.want.okEnabled);
    }
    EXPECT_EQ(Snapshot(disk), before) << "Cancel changed the disk";
}

// The entry's date is shown as the list will show it once stored, and cannot be typed over.
TEST_F(AddFileDlgTest, DateFieldShowsTheDateTheEntryGets) {
    wxString shown;
    wxTEST_DIALOG(EXPECT_TRUE(DiskCommands::AddHostFile(nullptr, disk, Host("d.bin", Pattern(9)))),
                  ExpectDialog<CAddFileDlg>([&](CAddFileDlg& d) {
                      auto* date = wxDynamicCast(d.FindWindow(XRCID("IDC_DATE")), wxTextCtrl);
                      EXPECT_NE(date, nullptr);
                      if (date) {
                          shown = date->GetValue();
                          EXPECT_FALSE(date->IsEditable());
                      }
                      return EditAndOk(d, [](auto&) {});
                  }));
    const std::optional<DirEntry> stored = EntryNamed(disk, "d.bin");
    ASSERT_TRUE(stored);
    EXPECT_EQ(shown.utf8_string(), ListColumns(*stored)[6]);
}

TEST_F(AddFileDlgTest, RefusedBeforeTheDialogOpens) {
    const struct {
        const char* name;
        std::string path;
        std::string message;
    } cases[] = {
        {"over 512 KB", Host("huge.bin", Pattern(524289)),
         "書き込むファイルのサイズが大きすぎます.\n最大 512 KB までです."},
        {"missing file", (dir.path() / "gone.bin").string(),
         kWriteFailed + "ファイルを読み込むことができません."},
        {"a folder", dir.path().string(), kWriteFailed + "ファイルを読み込むことができません."},
    };
    const Bytes before = Snapshot(disk);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wxTEST_DIALOG(EXPECT_FALSE(DiskCommands::AddHostFile(nullptr, disk, c.path)),
                      ExpectMessage(c.message, kError));
    }
    EXPECT_EQ(Snapshot(disk), before);
}

TEST_F(AddFileDlgTest, StoredEntryFollowsTheFields) {
    const std::string text = Host("prog.bas", {'1', '0', '\r', '\n', 'E', '\r', '\n'});
    const struct {
        const char* name;
        std::string path;
        Edit edit;
        std::string stored;
        std::uint8_t mode, attribute;
        std::uint16_t size, load, exec;
    } cases[] = {
        {"crlf filter stores BSD with the filtered length", text,
         [](auto& d) {
             Type(d, kIdName, "CRLF");
             Choose(d, kIdMode, 4);
         },
         "CRLF", 0x03, 0x00, 5, 0, 0},
        {"protected", text,
         [](auto& d) {
             Type(d, kIdName, "PROT");
             Choose(d, kIdProtect, 1);
         },
         "PROT", 0x01, 0x80, 7, 0, 0},
        {"0x prefix and plain hex", text,
         [](auto& d) {
             Type(d, kIdName, "A1");
             Type(d, kIdLoadAddress, "0x1200");
             Type(d, kIdExecAddress, "1200");
         },
         "A1", 0x01, 0x00, 7, 0x1200, 0x1200},
        {"five digits keep the low 16 bits, no digits give 0", text,
         [](auto& d) {
             Type(d, kIdName, "A2");
             Type(d, kIdLoadAddress, "12345");
             Type(d, kIdExecAddress, "XYZ");
         },
         "A2", 0x01, 0x00, 7, 0x2345, 0},
        {"20 characters keep 16 bytes", text,
         [](auto& d) { Type(d, kIdName, "ABCDEFGHIJKLMNOPQRST"); }, "ABCDEFGHIJKLMNOP", 0x01, 0x00,
         7, 0, 0},
        {"double-byte name is cut between characters", text,
         [](auto& d) { Type(d, kIdName, "Aあいうえおかきく"); },
         "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB", 0x01, 0x00, 7, 0, 0},
        {"mzt keeps its header fields",
         Host("m.MZT", Tape(0x02, "TAPE", 300, 0x1200, 0x1300, Pattern(300))), [](auto&) {}, "TAPE",
         0x02, 0x00, 300, 0x1200, 0x1300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wxTEST_DIALOG(EXPECT_TRUE(DiskCommands::AddHostFile(nullptr, disk, c.path)),
                      ExpectDialog<CAddFileDlg>([&](auto& d) { return EditAndOk(d, c.edit); }));
        const auto entry = EntryNamed(disk, c.stored);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(entry->Mode(), c.mode);
        EXPECT_EQ(entry->Attribute(), c.attribute);
        EXPECT_EQ(entry->Size(), c.size);
        EXPECT_EQ(entry->LoadAddress(), c.load);
        EXPECT_EQ(entry->ExecAddress(), c.exec);
        EXPECT_EQ(entry->NameField()[c.stored.size()], 0x0D);
        EXPECT_EQ(entry->Date(), 0u);
    }
}

TEST_F(AddFileDlgTest, EachFailureShowsItsMessageAndChangesNothing) {
    const std::string small = Host("a.bin", Pattern(100));
    const std::string big = Host("b.bin", Pattern(400000));
    ASSERT_EQ(testdisk::PutFile(disk, "TAKEN", Pattern(10), 1), 0);
    DiskImage smallDisk, fullDir;
    smallDisk.Format(3);
    fullDir.Format(0);
    for (int i = 1; i < 64; ++i)
        ASSERT_EQ(testdisk::PutFile(fullDir, "F" + std::to_string(i), Pattern(1), 1), 0);
    const struct {
        const char* name;
        DiskImage* target;
        std::string path;
        Edit edit;
        const char* reason;
    } cases[] = {
        {"name taken", &disk, small, [](auto& d) { Type(d, kIdName, "TAKEN"); },
         "同じファイル名がすでに存在します."},
        {"empty name", &disk, small, [](auto& d) { Type(d, kIdName, ""); },
         "同じファイル名がすでに存在します."},
        {"directory full", &fullDir, small, [](auto&) {}, "ディレクトリに空きがありません."},
        {"no room in the bitmap", &smallDisk, big, [](auto&) {}, "ビットマップの空きがありません."},
        {"over 65535 bytes as OBJ", &disk, big, [](auto& d) { Choose(d, kIdMode, 0); },
         "このモードでは 65535 バイトを超えるファイルは書き込めません."},
        {"mzt without data", &disk, Host("h.mzt", Tape(0x01, "H", 0, 0, 0, {})), [](auto&) {},
         "ファイルを読み込むことができません."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes before = Snapshot(*c.target);
        wxTEST_DIALOG(EXPECT_FALSE(DiskCommands::AddHostFile(nullptr, *c.target, c.path)),
                      ExpectDialog<CAddFileDlg>([&](auto& d) { return EditAndOk(d, c.edit); }),
                      ExpectMessage(kWriteFailed + c.reason, kError));
        EXPECT_EQ(Snapshot(*c.target), before);
    }
}

TEST_F(AddFileDlgTest, OkWaitsForAModeAndForAnEncodableName) {
    const std::string odd = Host("odd.mzt", Tape(0x00, "ODD", 10, 0, 0, Pattern(10)));
    wxTEST_DIALOG(EXPECT_TRUE(DiskCommands::AddHostFile(nullptr, disk, odd)),
                  ExpectDialog<CAddFileDlg>([&](CAddFileDlg& d) {
                      EXPECT_FALSE(IsEnabled(d, wxID_OK));
                      Click(d, wxID_OK); // refused: nothing stored, the dialog stays
                      EXPECT_NE(d.GetReturnCode(), wxID_OK);
                      Choose(d, kIdMode, 1);
                      EXPECT_TRUE(IsEnabled(d, wxID_OK));
                      Type(d, kIdName, "한글");
                      Click(d, wxID_OK); // the message below; the dialog stays open
                      EXPECT_FALSE(EntryNamed(disk, "ODD").has_value());
                      Type(d, kIdName, "ODD");
                      return EditAndOk(d, [](auto&) {});
                  }),
                  ExpectMessage("ファイル名に使用できない文字が含まれています.", kError));
    const auto entry = EntryNamed(disk, "ODD");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->Mode(), 0x02);
}

TEST_F(AddFileDlgTest, DialogScreenshot) {
    const std::string path =
        Host("サンプル.mzt", Tape(0x05, "SAMPLE", 300, 0x1200, 0, Pattern(300)));
    wxTEST_DIALOG(DiskCommands::AddHostFile(nullptr, disk, path),
                  ExpectDialog<CAddFileDlg>([&](CAddFileDlg& dlg) {
                      EXPECT_TRUE(SaveScreenshot(dlg, "add_file"));
                      ExpectRowsAligned(dlg, {{"File name", kIdName},
                                              {"Mode", kIdMode},
                                              {"Protect", kIdProtect},
                                              {"File size", kIdSize},
                                              {"Load address", kIdLoadAddress},
                                              {"Execution address", kIdExecAddress},
                                              {"Creation date", XRCID("IDC_DATE")}});
                      return wxID_CANCEL;
                  }));
}

} // namespace
