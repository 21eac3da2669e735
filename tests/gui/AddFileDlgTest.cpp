#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/AddFileDlg.h"
#include "doc/DialogIds.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"

using namespace dlgtest;

namespace {

constexpr const char* kError = "エラー";
constexpr const char* kWriteFailed = "ディスクイメージへのファイル書き込みに失敗しました. \n";

struct Shown {
    std::string name, size, load, exec;
    int mode = -2, protect = -2;
    bool okEnabled = false;
};

Shown Read(CAddFileDlg& dlg) {
    return {TextOf(dlg, kIdName),        TextOf(dlg, kIdSize),      TextOf(dlg, kIdLoadAddress),
            TextOf(dlg, kIdExecAddress), SelectionOf(dlg, kIdMode), SelectionOf(dlg, kIdProtect),
            IsEnabled(dlg, wxID_OK)};
}

class AddFileDlgTest : public ::testing::Test {
protected:
    AddFileDlgTest() { disk.Format(0); }
    std::string Host(const std::string& name, const std::vector<unsigned char>& bytes) {
        return WriteHostFile(dir.path() / name, bytes);
    }
    // Opens the dialog for `path`, records what it shows, and cancels.
    Shown Proposed(const std::string& path) {
        Shown shown;
        bool stored = true;
        wxTEST_DIALOG(stored = CAddFileDlg::AddHostFile(nullptr, disk, path),
                      ExpectDialog<CAddFileDlg>([&](CAddFileDlg& dlg) {
                          shown = Read(dlg);
                          return wxID_CANCEL;
                      }));
        EXPECT_FALSE(stored);
        return shown;
    }
    // Opens the dialog for `path`, lets `edit` change it, presses OK; the import's result.
    int Store(const std::string& path, const std::function<void(CAddFileDlg&)>& edit) {
        int result = -1;
        wxTEST_DIALOG(CAddFileDlg::AddHostFile(nullptr, disk, path),
                      ExpectDialog<CAddFileDlg>([&](CAddFileDlg& dlg) {
                          edit(dlg);
                          Click(dlg, wxID_OK);
                          result = dlg.m_nResult;
                          return dlg.GetReturnCode();
                      }));
        return result;
    }

    testutil::TempDir dir;
    DiskImage disk;
};

TEST_F(AddFileDlgTest, ProposalsFromPlainAndMztFiles) {
    const auto body = Pattern(300);
    struct Case {
        const char* name;
        std::string file;
        std::vector<unsigned char> bytes;
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
        {"mzt header",
         "t.mzt",
         Mzt(0x02, "ABC", 1234, 0x1200, 0x1234, body),
         {"ABC", "1234", "1200", "1234", 1, 0, true}},
        {"upper-case extension",
         "T2.MZT",
         Mzt(0x05, "BASIC", 300, 0, 0, body),
         {"BASIC", "300", "0000", "0000", 4, 0, true}},
        {"mixed-case extension",
         "t3.Mzt",
         Mzt(0x01, "PROG", 300, 0xFFFF, 0x8000, body),
         {"PROG", "300", "FFFF", "8000", 0, 0, true}},
        {"mzt layout under another extension",
         "tape.bin",
         Mzt(0x02, "ABC", 300, 0, 0, body),
         {"tape.bin", "428", "0000", "0000", 0, 0, true}},
        {"mode outside 1-5 selects nothing",
         "odd.mzt",
         Mzt(0x07, "ODD", 300, 0, 0, body),
         {"ODD", "300", "0000", "0000", -1, 0, false}},
        {"short mzt shows zeros", "short.mzt", {0x01, 'X'}, {"X", "0", "0000", "0000", 0, 0, true}},
        {"japanese file name",
         "テスト.bin",
         Pattern(10),
         {"テスト.bin", "10", "0000", "0000", 0, 0, true}},
    };
    const auto before = Snapshot(disk);
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

TEST_F(AddFileDlgTest, RefusedBeforeTheDialogOpens) {
    struct Case {
        const char* name;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {"over 512 KB", Host("huge.bin", Pattern(524289)),
         "書き込むファイルのサイズが大きすぎます.\n最大 512 KB までです."},
        {"missing file", (dir.path() / "gone.bin").string(),
         std::string(kWriteFailed) + "ファイルを読み込むことができません."},
        {"a folder", dir.path().string(),
         std::string(kWriteFailed) + "ファイルを読み込むことができません."},
    };
    const auto before = Snapshot(disk);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool stored = true;
        wxTEST_DIALOG(stored = CAddFileDlg::AddHostFile(nullptr, disk, c.path),
                      ExpectMessage(c.message.c_str(), kError));
        EXPECT_FALSE(stored);
    }
    EXPECT_EQ(Snapshot(disk), before);
    // Exactly 512 KB is allowed: the dialog opens.
    EXPECT_EQ(Proposed(Host("max.bin", Pattern(524288))).mode, 3);
}

TEST_F(AddFileDlgTest, StoredEntryFollowsTheFields) {
    const std::string text = Host("prog.bas", {'1', '0', '\r', '\n', 'E', '\r', '\n'});
    struct Case {
        const char* name;
        std::string path;
        std::function<void(CAddFileDlg&)> edit;
        std::string storedName;
        std::uint8_t mode, attribute;
        std::uint16_t size, load, exec;
    };
    const Case cases[] = {
        {"crlf filter stores BSD with the filtered length", text,
         [](CAddFileDlg& d) {
             Type(d, kIdName, "CRLF");
             Choose(d, kIdMode, 4);
         },
         "CRLF", 0x03, 0x00, 5, 0, 0},
        {"protected", text,
         [](CAddFileDlg& d) {
             Type(d, kIdName, "PROT");
             Choose(d, kIdProtect, 1);
         },
         "PROT", 0x01, 0x80, 7, 0, 0},
        {"0x prefix and plain hex", text,
         [](CAddFileDlg& d) {
             Type(d, kIdName, "A1");
             Type(d, kIdLoadAddress, "0x1200");
             Type(d, kIdExecAddress, "1200");
         },
         "A1", 0x01, 0x00, 7, 0x1200, 0x1200},
        {"five digits keep the low 16 bits, no digits give 0", text,
         [](CAddFileDlg& d) {
             Type(d, kIdName, "A2");
             Type(d, kIdLoadAddress, "12345");
             Type(d, kIdExecAddress, "XYZ");
         },
         "A2", 0x01, 0x00, 7, 0x2345, 0},
        {"20 characters keep 16 bytes", text,
         [](CAddFileDlg& d) { Type(d, kIdName, "ABCDEFGHIJKLMNOPQRST"); }, "ABCDEFGHIJKLMNOP", 0x01,
         0x00, 7, 0, 0},
        {"double-byte name is cut between characters", text,
         [](CAddFileDlg& d) { Type(d, kIdName, "Aあいうえおかきく"); },
         "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB", 0x01, 0x00, 7, 0, 0},
        {"mzt keeps its header fields",
         Host("m.MZT", Mzt(0x02, "TAPE", 300, 0x1200, 0x1300, Pattern(300))), [](CAddFileDlg&) {},
         "TAPE", 0x02, 0x00, 300, 0x1200, 0x1300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Store(c.path, c.edit), 0);
        const auto entry = RootEntry(disk, c.storedName);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(entry->Mode(), c.mode);
        EXPECT_EQ(entry->Attribute(), c.attribute);
        EXPECT_EQ(entry->Size(), c.size);
        EXPECT_EQ(entry->LoadAddress(), c.load);
        EXPECT_EQ(entry->ExecAddress(), c.exec);
        EXPECT_EQ(entry->NameField()[c.storedName.size()], 0x0D);
        EXPECT_EQ(entry->Date(), 0u);
    }
}

TEST_F(AddFileDlgTest, EachImportFailureShowsItsMessage) {
    const std::string small = Host("a.bin", Pattern(100));
    ASSERT_EQ(PutObj(disk, "TAKEN", Pattern(10)), 0);
    DiskImage smallDisk;
    smallDisk.Format(3);
    const std::string tooBig = Host("b.bin", Pattern(400000));
    const std::string vanishing = Host("c.bin", Pattern(100));
    const std::string headerOnly = Host("h.mzt", Mzt(0x01, "H", 0, 0, 0, {}));

    struct Case {
        const char* name;
        DiskImage* target;
        std::string path;
        std::function<void(CAddFileDlg&)> edit;
        int code;
        const char* reason;
    };
    const Case cases[] = {
        {"name taken", &disk, small, [](CAddFileDlg& d) { Type(d, kIdName, "TAKEN"); }, 5,
         "同じファイル名がすでに存在します."},
        {"empty name", &disk, small, [](CAddFileDlg& d) { Type(d, kIdName, ""); }, 5,
         "同じファイル名がすでに存在します."},
        {"no room in the bitmap", &smallDisk, tooBig, [](CAddFileDlg&) {}, 4,
         "ビットマップの空きがありません."},
        {"over 65535 bytes as OBJ", &disk, tooBig, [](CAddFileDlg& d) { Choose(d, kIdMode, 0); }, 6,
         "このモードでは 65535 バイトを超えるファイルは書き込めません."},
        {"file gone before OK", &disk, vanishing,
         [&](CAddFileDlg&) { std::filesystem::remove(vanishing); }, 2,
         "ファイルを読み込むことができません."},
        {"mzt without data", &disk, headerOnly, [](CAddFileDlg&) {}, 3,
         "ファイルを読み込むことができません."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = Snapshot(*c.target);
        const std::string message = std::string(kWriteFailed) + c.reason;
        int result = -1;
        wxTEST_DIALOG(CAddFileDlg::AddHostFile(nullptr, *c.target, c.path),
                      ExpectDialog<CAddFileDlg>([&](CAddFileDlg& dlg) {
                          c.edit(dlg);
                          Click(dlg, wxID_OK);
                          result = dlg.m_nResult;
                          return dlg.GetReturnCode();
                      }),
                      ExpectMessage(message.c_str(), kError));
        EXPECT_EQ(result, c.code);
        EXPECT_EQ(Snapshot(*c.target), before);
    }
}

TEST_F(AddFileDlgTest, DirectoryFullIsReportedFirst) {
    for (int i = 1; i < 64; ++i)
        ASSERT_EQ(PutObj(disk, "F" + std::to_string(i), Pattern(1)), 0);
    const std::string message = std::string(kWriteFailed) + "ディレクトリに空きがありません.";
    int result = -1;
    wxTEST_DIALOG(CAddFileDlg::AddHostFile(nullptr, disk, Host("x.bin", Pattern(5))),
                  ExpectDialog<CAddFileDlg>([&](CAddFileDlg& dlg) {
                      Click(dlg, wxID_OK);
                      result = dlg.m_nResult;
                      return dlg.GetReturnCode();
                  }),
                  ExpectMessage(message.c_str(), kError));
    EXPECT_EQ(result, 1);
}

TEST_F(AddFileDlgTest, OkWaitsForAModeAndForAnEncodableName) {
    const std::string odd = Host("odd.mzt", Mzt(0x00, "ODD", 10, 0, 0, Pattern(10)));
    bool stored = false;
    wxTEST_DIALOG(stored = CAddFileDlg::AddHostFile(nullptr, disk, odd),
                  ExpectDialog<CAddFileDlg>([&](CAddFileDlg& dlg) {
                      EXPECT_FALSE(IsEnabled(dlg, wxID_OK));
                      Click(dlg, wxID_OK); // refused: nothing stored, dialog stays
                      EXPECT_EQ(dlg.m_nResult, -1);
                      Choose(dlg, kIdMode, 1);
                      EXPECT_TRUE(IsEnabled(dlg, wxID_OK));
                      Type(dlg, kIdName, "한글");
                      Click(dlg, wxID_OK); // the message below; the dialog stays open
                      EXPECT_EQ(dlg.m_nResult, -1);
                      Type(dlg, kIdName, "ODD");
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }),
                  ExpectMessage("ファイル名に使用できない文字が含まれています.", kError));
    EXPECT_TRUE(stored);
    const auto entry = RootEntry(disk, "ODD");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->Mode(), 0x02);
}

TEST_F(AddFileDlgTest, DialogScreenshot) {
    const std::string path =
        Host("サンプル.mzt", Mzt(0x05, "SAMPLE", 300, 0x1200, 0, Pattern(300)));
    wxTEST_DIALOG(CAddFileDlg::AddHostFile(nullptr, disk, path),
                  ExpectDialog<CAddFileDlg>([&](CAddFileDlg& dlg) {
                      EXPECT_TRUE(SaveScreenshot(dlg, "add_file"));
                      return wxID_CANCEL;
                  }));
}

} // namespace
