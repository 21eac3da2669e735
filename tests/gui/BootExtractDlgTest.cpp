#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/BootExtractDlg.h"
#include "doc/DialogIds.h"
#include "doc/DiskCommands.h"
#include "fs/BootHeaderBuilder.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"

using namespace dlgtest;

namespace {

constexpr const char* kFailed = "ブートプログラムの取り出しに失敗しました. ";

class BootExtractDlgTest : public ExtractTest {
protected:
    void Register(const std::string& text) {
        const auto program = Pattern(700);
        const IplHeader header = BootHeaderBuilder::Build(1, text, 0x1234);
        ASSERT_EQ(
            disk.RegisterBootFromBuffer(program.data(), program.size(), header.Bytes().data(), 1),
            0);
    }
    std::vector<unsigned char> Expected(int format) {
        std::vector<unsigned char> out;
        EXPECT_EQ(disk.ExtractBootToBuffer(format, out), 0);
        return out;
    }
};

TEST_F(BootExtractDlgTest, ProposalFollowsTheDisplayText) {
    struct Case {
        const char* name;
        std::string text;
        std::string document;
        std::string proposed;
    };
    const Case cases[] = {
        {"beside the image", "IPL-TEST", image, In("IPL-TEST")},
        {"ten characters", "ABCDEFGHIJ", image, In("ABCDEFGHIJ")},
        {"no document path", "IPL-TEST", "", "IPL-TEST"},
        {"slash replaced", "A/B", image, In("A_B")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        disk.Format(0);
        Register(c.text);
        EXPECT_EQ(CBootExtractDlg::ProposePath(disk, c.document), c.proposed);
    }
}

TEST_F(BootExtractDlgTest, FormatSwitchAndRememberedMzt) {
    Register("IPL-TEST");
    std::vector<std::string> seen;
    wxTEST_DIALOG(DiskCommands::ExtractBoot(nullptr, disk, image, extractFormat),
                  ExpectDialog<CBootExtractDlg>([&](CBootExtractDlg& dlg) {
                      seen.push_back(TextOf(dlg, kIdPath));
                      Choose(dlg, kIdFormat, 1);
                      seen.push_back(TextOf(dlg, kIdPath));
                      Choose(dlg, kIdFormat, 0);
                      seen.push_back(TextOf(dlg, kIdPath));
                      Choose(dlg, kIdFormat, 1);
                      return wxID_CANCEL;
                  }));
    EXPECT_EQ(seen, (std::vector<std::string>{In("IPL-TEST"), In("IPL-TEST.mzt"), In("IPL-TEST")}));
    EXPECT_EQ(extractFormat, 1) << "a format chosen before Cancel is remembered";
    EXPECT_FALSE(std::filesystem::exists(In("IPL-TEST.mzt")));

    // MZT remembered: the proposal still has no extension and OK writes MZT under it.
    std::string proposed;
    int selected = -1;
    wxTEST_DIALOG(DiskCommands::ExtractBoot(nullptr, disk, image, extractFormat),
                  ExpectDialog<CBootExtractDlg>([&](CBootExtractDlg& dlg) {
                      proposed = TextOf(dlg, kIdPath);
                      selected = SelectionOf(dlg, kIdFormat);
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_EQ(proposed, In("IPL-TEST"));
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(ReadFileBytes(In("IPL-TEST")), Expected(0));
}

TEST_F(BootExtractDlgTest, TypedPathIsWritten) {
    Register("IPL-TEST");
    wxTEST_DIALOG(DiskCommands::ExtractBoot(nullptr, disk, image, extractFormat),
                  ExpectDialog<CBootExtractDlg>([&](CBootExtractDlg& dlg) {
                      Type(dlg, kIdPath, In("mine.bin").c_str());
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_EQ(ReadFileBytes(In("mine.bin")), Expected(1));
}

TEST_F(BootExtractDlgTest, NeverOverTheImageAndAsksBeforeReplacing) {
    Register("img.d88");
    const Bytes imageBytes = Pattern(999, 3);
    HostFile(image, imageBytes);
    HostFile(In("IPL"), {1});
    const std::string replace = In("IPL") + " は既に存在します. 置き換えますか?";
    wxTEST_DIALOG(DiskCommands::ExtractBoot(nullptr, disk, image, extractFormat),
                  ExpectDialog<CBootExtractDlg>([&](CBootExtractDlg& dlg) {
                      for (int i = 0; i < 3; ++i) {
                          if (i > 0)
                              Type(dlg, kIdPath, In("IPL").c_str());
                          Click(dlg, wxID_OK);
                          EXPECT_EQ(dlg.GetReturnCode(), i < 2 ? 0 : wxID_OK) << i;
                      }
                      return dlg.GetReturnCode();
                  }),
                  ExpectMessage("「" + image +
                                    "」は読み込んでいるディスクイメージです. "
                                    "ほかのファイル名を指定してください.",
                                "エラー"),
                  ExpectMessage(replace, "ブートファイル取り出し", wxID_NO),
                  ExpectMessage(replace, "ブートファイル取り出し", wxID_YES));
    EXPECT_EQ(ReadFileBytes(image), imageBytes);
    EXPECT_EQ(ReadFileBytes(In("IPL")), Expected(1));
}

TEST_F(BootExtractDlgTest, FailuresShowTheMessage) {
    struct Case {
        const char* name;
        bool registered;
        std::string output;
    };
    const Case cases[] = {
        {"no IPLPRO signature", false, In("NOSIG")},
        {"folder missing", true, In("missing/IPL")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        disk.Format(0);
        if (c.registered)
            Register("IPL");
        wxTEST_DIALOG(DiskCommands::ExtractBoot(nullptr, disk, image, extractFormat),
                      ExpectDialog<CBootExtractDlg>([&](CBootExtractDlg& dlg) {
                          Type(dlg, kIdPath, c.output.c_str());
                          Click(dlg, wxID_OK);
                          return dlg.GetReturnCode();
                      }),
                      ExpectMessage(kFailed, "エラー"));
        EXPECT_FALSE(std::filesystem::exists(c.output));
    }
}

TEST_F(BootExtractDlgTest, DialogScreenshot) {
    Register("IPL-TEST");
    wxTEST_DIALOG(DiskCommands::ExtractBoot(nullptr, disk, image, extractFormat),
                  ExpectDialog<CBootExtractDlg>([](CBootExtractDlg& dlg) {
                      EXPECT_TRUE(SaveScreenshot(dlg, "boot_extract"));
                      return wxID_CANCEL;
                  }));
}

} // namespace
