#include <gtest/gtest.h>

#include <cstring>

#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/DialogIds.h"
#include "doc/DiskCommands.h"
#include "doc/ExtractDlg.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"

using namespace dlgtest;

namespace {

constexpr const char* kExportFailed = "ファイルの取り出しに失敗しました. ";

// Stores an OBJ file under a raw 17-byte name field.
int PutNamed(DiskImage& disk, const std::string& field, const std::vector<unsigned char>& data) {
    DirEntry entry;
    entry.SetMode(0x01);
    DirEntry::NameBytes name{};
    std::memcpy(name.data(), field.data(), std::min(field.size(), name.size()));
    if (field.size() < name.size())
        name[field.size()] = 0x0D;
    entry.SetNameField(name);
    entry.SetSize(static_cast<std::uint16_t>(data.size()));
    DirEntry::Bytes32 bytes = entry.Bytes();
    return disk.ImportFromBuffer(data.data(), data.size(), bytes.data(), 1, 1);
}

class ExtractDlgTest : public ExtractTest {
protected:
    std::vector<unsigned char> Expected(int index, int format) {
        std::vector<unsigned char> out;
        EXPECT_EQ(disk.ExportToBuffer(index, format, out), 0);
        return out;
    }
};

TEST_F(ExtractDlgTest, ProposalsFromEntryNames) {
    struct Case {
        const char* name;
        std::string field;
        std::string bin; // the name proposed beside the image
    };
    const Case cases[] = {
        {"name and extension", "PROG.BIN", "PROG.BIN"},
        {"middle part dropped", "A.B.X", "A.X"},
        {"no dot", "DATA", "DATA"},
        {"dot first", ".X", ".X"},
        {"17 bytes without 0x0D", "ABCDEFGHIJ.KLM.NO", "ABCDEFGHIJ.NO"},
        {"bytes after 0x0D ignored", std::string("AB\r.XYZ"), "AB"},
        {"slash and control bytes replaced", "A/B\x01.C", "A_B_.C"},
        {"dot-dot does not climb", "..", "_"},
        {"undecodable byte escaped",
         "\xFF"
         "Z",
         "\\xFFZ"},
        {"half-width kana", "\xB1\xB2.BIN", "ｱｲ.BIN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        disk.Format(0);
        ASSERT_EQ(PutNamed(disk, c.field, Pattern(10)), 0);
        const int index = 1;
        EXPECT_EQ(CExtractDlg::ProposePath(disk, index, image), In(c.bin));
        EXPECT_EQ(CExtractDlg::ProposePath(disk, index, ""), c.bin) << "no document path";
    }
}

TEST_F(ExtractDlgTest, FormatSwitchesTheExtension) {
    ASSERT_EQ(PutNamed(disk, "DATA", Pattern(10)), 0);
    ASSERT_EQ(PutNamed(disk, "PROG.BIN", Pattern(10)), 0);
    std::vector<std::string> seen;
    wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {1, 2}, extractFormat),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      seen.push_back(TextOf(dlg, kIdPath));
                      Choose(dlg, kIdFormat, 1);
                      seen.push_back(TextOf(dlg, kIdPath));
                      Choose(dlg, kIdFormat, 0);
                      seen.push_back(TextOf(dlg, kIdPath));
                      Choose(dlg, kIdFormat, 1);
                      return wxID_CANCEL;
                  }),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      // The format chosen in a cancelled dialog is remembered.
                      EXPECT_EQ(SelectionOf(dlg, kIdFormat), 1);
                      seen.push_back(TextOf(dlg, kIdPath));
                      Choose(dlg, kIdFormat, 0);
                      seen.push_back(TextOf(dlg, kIdPath));
                      return wxID_CANCEL;
                  }));
    const std::vector<std::string> want = {In("DATA"), In("DATA.mzt"), In("DATA"), In("PROG.mzt"),
                                           In("PROG.BIN")};
    EXPECT_EQ(seen, want);
    EXPECT_EQ(extractFormat, 0);
    EXPECT_FALSE(std::filesystem::exists(In("DATA")));
}

TEST_F(ExtractDlgTest, AllOkExportsTheRestUnseen) {
    for (const char* name : {"ONE.BIN", "TWO", "THREE.X"})
        ASSERT_EQ(PutNamed(disk, name, Pattern(300 + std::strlen(name))), 0);
    extractFormat = 1;
    wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {1, 2, 3}, extractFormat),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      Click(dlg, kIdAllOk);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_EQ(ReadFileBytes(In("ONE.mzt")), Expected(1, 0));
    EXPECT_EQ(ReadFileBytes(In("TWO.mzt")), Expected(2, 0));
    EXPECT_EQ(ReadFileBytes(In("THREE.mzt")), Expected(3, 0));
    EXPECT_EQ(extractFormat, 1);
}

TEST_F(ExtractDlgTest, CancelSkipsOneEntryAndATypedFolderCarriesOn) {
    for (const char* name : {"ONE.BIN", "TWO.BIN", "THREE.BIN"})
        ASSERT_EQ(PutNamed(disk, name, Pattern(100 + std::strlen(name))), 0);
    const std::filesystem::path other = dir.path() / "other";
    std::filesystem::create_directory(other);
    std::string second, third;
    wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {1, 2, 3}, extractFormat),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      Type(dlg, kIdPath, (other / "FIRST.BIN").string().c_str());
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      second = TextOf(dlg, kIdPath);
                      return wxID_CANCEL;
                  }),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      third = TextOf(dlg, kIdPath);
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_EQ(second, (other / "TWO.BIN").string());
    EXPECT_EQ(third, (other / "THREE.BIN").string()) << "a cancelled entry keeps the folder";
    EXPECT_EQ(ReadFileBytes(other / "FIRST.BIN"), Expected(1, 1));
    EXPECT_FALSE(std::filesystem::exists(other / "TWO.BIN"));
    EXPECT_EQ(ReadFileBytes(other / "THREE.BIN"), Expected(3, 1));
}

TEST_F(ExtractDlgTest, FailureIsReportedAndTheRunGoesOn) {
    ASSERT_EQ(PutNamed(disk, "A.BIN", Pattern(10)), 0);
    ASSERT_EQ(PutNamed(disk, "B.BIN", Pattern(20)), 0);
    wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {1, 2}, extractFormat),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      Type(dlg, kIdPath, (dir.path() / "missing" / "A.BIN").string().c_str());
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }),
                  ExpectMessage(kExportFailed, "エラー"),
                  ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                      Type(dlg, kIdPath, In("B.BIN").c_str());
                      Click(dlg, wxID_OK);
                      return dlg.GetReturnCode();
                  }));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
    EXPECT_EQ(ReadFileBytes(In("B.BIN")), Expected(2, 1));
}

TEST_F(ExtractDlgTest, NeverOverTheImageAndAsksBeforeReplacing) {
    for (const char* name : {"img.d88", "B.BIN", "C"})
        ASSERT_EQ(PutNamed(disk, name, Pattern(40 + std::strlen(name))), 0);
    const Bytes imageBytes = Pattern(999, 3);
    HostFile(image, imageBytes);
    HostFile(In("B.BIN"), {1});
    const std::string sameAsImage =
        "「" + image +
        "」は読み込んでいるディスクイメージです. ほかのファイル名を指定してください.";
    const std::string replace = In("B.BIN") + " は既に存在します. 置き換えますか?";
    // Each dialog stays open after the first OK; the second OK goes elsewhere or replaces.
    auto okTwice = [](std::string second) {
        return ExpectDialog<CExtractDlg>([second](CExtractDlg& dlg) {
            Click(dlg, wxID_OK);
            EXPECT_EQ(dlg.GetReturnCode(), 0);
            Type(dlg, kIdPath, second.c_str());
            Click(dlg, wxID_OK);
            return dlg.GetReturnCode();
        });
    };
    wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {1, 2}, extractFormat),
                  okTwice(In("copy")), ExpectMessage(sameAsImage, "エラー"), okTwice(In("B.BIN")),
                  ExpectMessage(replace, "ファイル取り出し", wxID_NO),
                  ExpectMessage(replace, "ファイル取り出し", wxID_YES));
    EXPECT_EQ(ReadFileBytes(In("copy")), Expected(1, 1));
    EXPECT_EQ(ReadFileBytes(image), imageBytes);
    EXPECT_EQ(ReadFileBytes(In("B.BIN")), Expected(2, 1));

    // "すべて OK": the entries taken unseen replace nothing, the image least of all, and a body
    // in the reserved area is refused.
    testdisk::PutEntry(disk, kRootDirSector, 4, testdisk::MakeEntry({.name = "IPL", .size = 9}));
    wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {3, 2, 1, 4}, extractFormat),
                  ExpectDialog<CExtractDlg>([](CExtractDlg& dlg) {
                      Click(dlg, kIdAllOk);
                      return dlg.GetReturnCode();
                  }),
                  ExpectMessage(sameAsImage, "エラー"),
                  ExpectMessage("「IPL」の本体はセクタ 0 にあり, システム領域 (ブートプログラム, "
                                "ビットマップ, ディレクトリ) に重なっているため, 取り出しません.",
                                "エラー"));
    EXPECT_EQ(ReadFileBytes(In("C")), Expected(3, 1));
    EXPECT_EQ(ReadFileBytes(In("B~2.BIN")), Expected(2, 1));
    EXPECT_EQ(ReadFileBytes(image), imageBytes);
    EXPECT_FALSE(std::filesystem::exists(In("IPL")));
}

TEST_F(ExtractDlgTest, BrowseOffersTheFormatsFilterAndDefaultExtension) {
    ASSERT_EQ(PutNamed(disk, "DATA", Pattern(10)), 0);
    struct Case {
        const char* name;
        int format;
        const char* wildcard;
        std::string chosen, shown;
    };
    const Case cases[] = {
        {"BIN gets .bin", 0, "BIN file|*", In("OUT"), In("OUT.bin")},
        {"MZT gets .mzt", 1, "MZT file|*.mzt;*.MZT|全てのファイル|*", In("OUT"), In("OUT.mzt")},
        {"an own extension stays", 0, "BIN file|*", In("OUT.dat"), In("OUT.dat")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        extractFormat = c.format;
        std::string shown, afterCancel;
        wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {1}, extractFormat),
                      ExpectDialog<CExtractDlg>([&](CExtractDlg& dlg) {
                          Click(dlg, kIdBrowse);
                          shown = TextOf(dlg, kIdPath);
                          Click(dlg, kIdBrowse);
                          afterCancel = TextOf(dlg, kIdPath);
                          return wxID_CANCEL;
                      }),
                      ExpectFileDialog(c.chosen, c.wildcard),
                      wxExpectDismissableModal<wxFileDialog>(wxID_CANCEL));
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(afterCancel, c.shown) << "a cancelled file dialog changes nothing";
    }
}

TEST_F(ExtractDlgTest, DialogScreenshot) {
    ASSERT_EQ(PutNamed(disk, "\x83\x54\x83\x93\x83\x76\x83\x8B.BIN", Pattern(10)), 0);
    wxTEST_DIALOG(DiskCommands::ExtractFiles(nullptr, disk, image, {1}, extractFormat),
                  ExpectDialog<CExtractDlg>([](CExtractDlg& dlg) {
                      EXPECT_TRUE(SaveScreenshot(dlg, "extract"));
                      return wxID_CANCEL;
                  }));
}

} // namespace
