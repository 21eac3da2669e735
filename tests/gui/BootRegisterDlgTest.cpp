#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/BootRegisterDlg.h"
#include "doc/DialogIds.h"
#include "doc/DiskCommands.h"
#include "fs/IplHeader.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"

using namespace dlgtest;

namespace {

constexpr const char* kError = "エラー";
constexpr const char* kFailed = "ブートプログラムの書き込みに失敗しました. ";
constexpr const char* kTooLarge =
    "書き込むファイルのサイズが大きすぎます.\n最大 65535 バイトまでです.";

class BootRegisterDlgTest : public ::testing::Test {
protected:
    BootRegisterDlgTest() { disk.Format(0); }
    std::string Host(const std::string& name, const std::vector<unsigned char>& bytes) {
        return HostFile(dir.path() / name, bytes);
    }
    // Runs the command for `path`; `act` plays the user and returns the dialog's result.
    bool Run(const std::string& path, const std::function<int(CBootRegisterDlg&)>& act) {
        bool registered = false;
        wxTEST_DIALOG(registered = DiskCommands::RegisterHostFile(nullptr, disk, path, bootMachine),
                      ExpectDialog<CBootRegisterDlg>(act));
        return registered;
    }
    static int PressOk(CBootRegisterDlg& dlg) {
        Click(dlg, wxID_OK);
        return dlg.GetReturnCode();
    }
    IplHeader Header() const { return IplHeader::FromImage(disk.Image()); }

    testutil::TempDir dir;
    DiskImage disk;
    int bootMachine = 1;
};

TEST_F(BootRegisterDlgTest, SizeLimitCountsTheWholeFile) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<unsigned char> bytes;
        bool opens;
    };
    const Case cases[] = {
        {"plain 65535", "a.bin", Pattern(65535), true},
        {"plain 65536", "b.bin", Pattern(65536), false},
        {"mzt of 65535 with its header", "c.mzt", Tape(1, "C", 65407, 0, 0, Pattern(65407)), true},
        {"mzt of 65536 with its header", "d.mzt", Tape(1, "D", 65408, 0, 0, Pattern(65408)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Host(c.file, c.bytes);
        if (c.opens) {
            bool opened = false;
            Run(path, [&](CBootRegisterDlg&) {
                opened = true;
                return wxID_CANCEL;
            });
            EXPECT_TRUE(opened);
        } else {
            const auto before = Snapshot(disk);
            wxTEST_DIALOG(DiskCommands::RegisterHostFile(nullptr, disk, path, bootMachine),
                          ExpectMessage(kTooLarge, kError));
            EXPECT_EQ(Snapshot(disk), before);
        }
    }
}

TEST_F(BootRegisterDlgTest, ProposalsAndTheStoredHeader) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<unsigned char> bytes;
        const char* typed; // nullptr keeps the proposal
        std::string proposed;
        std::string stored; // bytes 7..17 up to the 0x0D
    };
    const Case cases[] = {
        {"plain file name", "IPL.BIN", Pattern(512), nullptr, "IPL.BIN", "IPL.BIN"},
        {"mzt header name", "boot.mzt", Tape(1, "BOOT", 512, 0x1200, 0x1234, Pattern(512)), nullptr,
         "BOOT", "BOOT"},
        {"12 characters keep 10", "x.bin", Pattern(100), "ABCDEFGHIJKL", "x.bin", "ABCDEFGHIJ"},
        {"double-byte text cut between characters", "y.bin", Pattern(100), "Aあいうえお", "y.bin",
         "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6"},
        {"empty text", "z.bin", Pattern(100), "", "z.bin", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string proposed, exec;
        ASSERT_TRUE(Run(Host(c.file, c.bytes), [&](CBootRegisterDlg& dlg) {
            proposed = TextOf(dlg, kIdBootText);
            exec = TextOf(dlg, kIdExecAddress);
            if (c.typed)
                Type(dlg, kIdBootText, c.typed);
            Type(dlg, kIdExecAddress, "0x8000");
            return PressOk(dlg);
        }));
        EXPECT_EQ(proposed, c.proposed);
        EXPECT_EQ(exec, "0000") << "the field starts at 0000, also for an MZT header";
        const IplHeader header = Header();
        EXPECT_TRUE(header.HasSignature());
        const auto text = header.DisplayText();
        EXPECT_EQ(std::string(text.begin(), text.begin() + c.stored.size()), c.stored);
        EXPECT_EQ(text[c.stored.size()], 0x0D);
        EXPECT_EQ(header.ExecAddress(), 0x8000);
        EXPECT_EQ(header.Machine(), 1);
    }
}

TEST_F(BootRegisterDlgTest, MachineCodeIsRememberedOnlyAfterOk) {
    const std::string path = Host("m.bin", Pattern(300));
    int shown = -1;
    Run(path, [&](CBootRegisterDlg& dlg) {
        shown = SelectionOf(dlg, kIdMachine);
        Choose(dlg, kIdMachine, 3);
        return PressOk(dlg);
    });
    EXPECT_EQ(shown, 1) << "first use shows 01h";
    EXPECT_EQ(bootMachine, 3);
    EXPECT_EQ(Header().Machine(), 3);

    Run(path, [&](CBootRegisterDlg& dlg) {
        shown = SelectionOf(dlg, kIdMachine);
        Choose(dlg, kIdMachine, 6);
        return wxID_CANCEL;
    });
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(bootMachine, 3) << "Cancel keeps the earlier choice";

    Run(path, [&](CBootRegisterDlg& dlg) {
        shown = SelectionOf(dlg, kIdMachine);
        return wxID_CANCEL;
    });
    EXPECT_EQ(shown, 3);
}

TEST_F(BootRegisterDlgTest, FailuresShowOneMessage) {
    const std::string headerOnly = Host("h.mzt", Tape(1, "H", 0, 0, 0, {}));
    const auto before = Snapshot(disk);
    wxTEST_DIALOG(DiskCommands::RegisterHostFile(nullptr, disk, headerOnly, bootMachine),
                  ExpectDialog<CBootRegisterDlg>(&BootRegisterDlgTest::PressOk),
                  ExpectMessage(kFailed, kError));
    EXPECT_EQ(Snapshot(disk), before);

    // A file that cannot be read never opens the dialog.
    wxTEST_DIALOG(DiskCommands::RegisterHostFile(nullptr, disk, (dir.path() / "gone.bin").string(),
                                                 bootMachine),
                  ExpectMessage(kFailed, kError));
    EXPECT_EQ(Snapshot(disk), before);
}

TEST_F(BootRegisterDlgTest, TextTheDiskCannotHoldKeepsTheDialogOpen) {
    bool registered = false;
    wxTEST_DIALOG(registered = DiskCommands::RegisterHostFile(
                      nullptr, disk, Host("k.bin", Pattern(10)), bootMachine),
                  ExpectDialog<CBootRegisterDlg>([](CBootRegisterDlg& dlg) {
                      Type(dlg, kIdBootText, "😀");
                      Click(dlg, wxID_OK);
                      EXPECT_NE(dlg.GetReturnCode(), wxID_OK);
                      Type(dlg, kIdBootText, "OK");
                      return PressOk(dlg);
                  }),
                  ExpectMessage("ファイル名に使用できない文字が含まれています.", kError));
    EXPECT_TRUE(registered);
}

TEST_F(BootRegisterDlgTest, DialogScreenshot) {
    Run(Host("IPL.BIN", Pattern(10)), [](CBootRegisterDlg& dlg) {
        EXPECT_TRUE(SaveScreenshot(dlg, "boot_register"));
        ExpectRowsAligned(dlg, {{"Start-up text", kIdBootText},
                                {"Machine", kIdMachine},
                                {"Execution address", kIdExecAddress}});
        return wxID_CANCEL;
    });
}

} // namespace
