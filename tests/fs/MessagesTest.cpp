#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "fs/Messages.h"

namespace {

constexpr const char* kImportHead = "ディスクイメージへのファイル書き込みに失敗しました. \n";

TEST(Messages, ImportTextsByCode) {
    struct Case {
        int code;
        std::string ja;
        const char* en;
    };
    const Case kCases[] = {
        {0, "", ""},
        {1, std::string(kImportHead) + "ディレクトリに空きがありません.",
         "the directory has no free entry"},
        {2, std::string(kImportHead) + "ファイルを読み込むことができません.",
         "cannot read the file"},
        {3, std::string(kImportHead) + "ファイルを読み込むことができません.",
         "an MZT file of 128 bytes or less holds no data"},
        {4, std::string(kImportHead) + "ビットマップの空きがありません.",
         "not enough free space on the disk"},
        {5, std::string(kImportHead) + "同じファイル名がすでに存在します.",
         "a file of this name already exists"},
        {6,
         std::string(kImportHead) + "このモードでは 65535 バイトを超えるファイルは書き込めません.",
         "too large for this mode (OBJ, BTX and BSD files hold at most 65535 bytes, BRD files "
         "512 KB)"},
        {7, std::string(kImportHead) + "原因は不明です.", "mode 0x00 would mark the entry free"},
        {8,
         std::string(kImportHead) +
             "このディレクトリはシステム領域に重なっているため, 読み出し専用です.",
         "the directory overlaps the reserved area (boot sector, bitmap or root directory); it "
         "is read-only"},
        {42, std::string(kImportHead) + "原因は不明です.",
         "writing the file to the disk image failed for an unknown reason"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(MessageJa(static_cast<ImportResult>(c.code)), c.ja);
        EXPECT_EQ(MessageEn(static_cast<ImportResult>(c.code)), c.en);
    }
}

TEST(Messages, BootAndExportTextsEndWithTheirBlank) {
    for (int code : {1, 2, 3, 4, 9})
        EXPECT_EQ(MessageJa(static_cast<RegisterBootResult>(code)),
                  "ブートプログラムの書き込みに失敗しました. ")
            << code;
    EXPECT_EQ(MessageJa(ExtractBootResult::Failed), "ブートプログラムの取り出しに失敗しました. ");
    EXPECT_EQ(MessageJa(ExportResult::CannotWrite), "ファイルの取り出しに失敗しました. ");
    EXPECT_EQ(MessageJa(RegisterBootResult::Ok), "");
    EXPECT_EQ(MessageEn(RegisterBootResult::TooLarge),
              "the program is too large (at most 65535 bytes)");
    EXPECT_EQ(MessageEn(RegisterBootResult::Empty),
              "no program to register (an empty file, or an MZT file of 128 bytes or less)");
}

TEST(Messages, ExtractBootCausesSayWhich) {
    EXPECT_EQ(MessageEn(ExtractBootCause::NoSignature),
              "the disk has no boot program (no \"IPLPRO\" header)");
    EXPECT_EQ(MessageEn(ExtractBootCause::PastImageEnd),
              "the boot program reaches past the end of the disk image");
    EXPECT_EQ(MessageEn(ExtractBootCause::WriteFailed), "cannot write the file");
    EXPECT_EQ(MessageEn(ExtractBootCause::None), "");
    for (auto cause : {ExtractBootCause::NoSignature, ExtractBootCause::PastImageEnd,
                       ExtractBootCause::WriteFailed})
        EXPECT_EQ(ToInt(ToResult(cause)), 1);
    EXPECT_EQ(ToInt(ToResult(ExtractBootCause::None)), 0);
}

TEST(Messages, AddFileReasons) {
    EXPECT_EQ(MessageJa(AddFileReason::TooLarge),
              "書き込むファイルのサイズが大きすぎます.\n最大 512 KB までです.");
    EXPECT_EQ(MessageJa(AddFileReason::NameNotEncodable),
              "ファイル名に使用できない文字が含まれています.");
    EXPECT_EQ(MessageJa(AddFileReason::FileNameNotEncodable),
              MessageJa(AddFileReason::NameNotEncodable));
    EXPECT_EQ(MessageJa(AddFileReason::CannotRead), MessageJa(ImportResult::CannotOpen));
    EXPECT_EQ(MessageEn(AddFileReason::TooLarge, 524289),
              "the file to write is too large (524289 bytes; at most 512 KB)");
    EXPECT_EQ(MessageEn(AddFileReason::NoMode, 0, 0x1A),
              "the MZT header's mode 0x1A is not OBJ, BTX, BSD or BRD; choose one with --mode");
    EXPECT_EQ(MessageEn(AddFileReason::NameEmpty), "the name on the disk is empty");
    EXPECT_EQ(MessageJa(AddFileReason::Ok), "");
}

TEST(Messages, AProtectedFileIsNamed) {
    EXPECT_EQ(MessageJa(RenameResult::Protected, "GAME"),
              "ファイル名の変更に失敗しました. \n「GAME」はプロテクトされています (属性 80).");
}

TEST(Messages, BootRegisterReasons) {
    EXPECT_EQ(MessageJa(BootRegisterReason::TooLarge),
              "書き込むファイルのサイズが大きすぎます.\n最大 65535 バイトまでです.");
    EXPECT_EQ(MessageJa(BootRegisterReason::CannotRead),
              "ブートプログラムの書き込みに失敗しました. ");
    EXPECT_EQ(MessageJa(BootRegisterReason::TextNotEncodable),
              "ファイル名に使用できない文字が含まれています.");
    EXPECT_EQ(MessageEn(BootRegisterReason::TooLarge, 65536),
              "the file is too large (65536 bytes; at most 65535 bytes)");
}

TEST(Messages, DocumentTexts) {
    struct Case {
        UiText text;
        const char* ja;
    };
    const Case kCases[] = {
        {UiText::ErrorCaption, "エラー"},
        {UiText::NotD88, "D88 ディスクイメージとして読み込めませんでした."},
        {UiText::NotMzReadOnly, "MZ のディスクではないため, 読み出し専用で開きます."},
        {UiText::SaveLosesSectorInfo,
         "保存すると, このディスクイメージの一部のセクタ情報は失われます."},
        {UiText::SaveChangesPrompt, "ディスクイメージ「%s」への変更を保存しますか?"},
        {UiText::DeleteQuestion,
         "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n"},
        {UiText::DeleteCaption, "ファイル削除"},
        {UiText::ExtractFailed, "ファイルの取り出しに失敗しました. "},
        {UiText::TooLargeForAdd, "書き込むファイルのサイズが大きすぎます.\n最大 512 KB までです."},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(MessageJa(c.text), c.ja) << c.ja;
    EXPECT_EQ(MessageJa(LoadResult::NotAContainer), MessageJa(UiText::NotD88));

    // Every text in both languages, with the same placeholders.
    const auto placeholders = [](const std::string& s) {
        std::size_t n = 0;
        for (std::size_t at = s.find("%s"); at != std::string::npos; at = s.find("%s", at + 2))
            ++n;
        return n;
    };
    for (int t = 0; t <= static_cast<int>(UiText::RecentFileGone); ++t) {
        const auto text = static_cast<UiText>(t);
        SCOPED_TRACE(t);
        EXPECT_FALSE(MessageJa(text).empty());
        EXPECT_FALSE(MessageEn(text).empty());
        EXPECT_EQ(placeholders(MessageJa(text)), placeholders(MessageEn(text)));
    }
}

// One duplicate alone: the command-line and desktop tests; flags alone: the real images.
TEST(Messages, WhatASaveWouldLose) {
    const std::string warning = MessageJa(UiText::SaveLosesSectorInfo);
    EXPECT_EQ(SaveLossEn(LoadReport{.recordsFlagged = 1}), "");
    const LoadReport all{
        .recordsNotPlaced = 2, .recordsOddLength = 17, .recordsDuplicate = 3, .recordsCut = 16};
    EXPECT_EQ(SaveLossEn(all),
              "saving would lose 3 duplicate sector records (of two records for one sector only "
              "the later is kept), 17 records not of 256 bytes (16 cut to their first 256 bytes) "
              "and 2 records outside the disk of this image (--force saves anyway)");
    EXPECT_EQ(LoadWarningJa(all), warning +
                                      "\n同じセクタ ID のレコード 3 個: 後のものだけが残ります."
                                      "\n256 バイト以外のレコード 17 個: 256 バイトのセクタになり"
                                      "ます.\n(うち 16 個は先頭の 256 バイトだけが残ります.)"
                                      "\nディスクの範囲外のレコード 2 個: 保存されません.");
}

TEST(Messages, ImageFileErrorsCarryTheirDetail) {
    EXPECT_EQ(MessageEn(ImageFileError::CannotCreate, ENOENT, 0, "/x"),
              std::string("cannot create a temporary file in /x: ") + std::strerror(ENOENT));
    EXPECT_EQ(MessageEn(ImageFileError::TooLarge, 0, 70000000),
              "the file is too large for a disk image (70000000 bytes, at most 67108864)");
    EXPECT_EQ(MessageEn(ImageFileError::CannotWrite), "cannot write");
    EXPECT_EQ(MessageEn(ImageFileError::NotMzFs),
              "not an MZ disk file system; refusing to change it");
    EXPECT_EQ(MessageJa(ImageFileError::NotD88), MessageJa(UiText::NotD88));
    EXPECT_EQ(MessageJa(ImageFileError::CannotReplace), MessageJa(UiText::SaveFailed));
}

} // namespace
