#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "fs/Messages.h"
#include "fs/Translation.h"
#include "host/ImageFileError.h"
#include "host/UiLanguage.h"

namespace {

// This build's Japanese catalog for the life of the object, looked up as the programs do;
// without it the messages are their English msgids.
struct Japanese {
    Japanese() { UseGettextCatalog(UiLanguage::Japanese, DARVEX_LOCALE_DIR); }
    ~Japanese() {
        UseGettextCatalog(UiLanguage::English, {});
        setenv("LANGUAGE", "en", 1);
    }
};

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
    for (const Case& c : kCases)
        EXPECT_EQ(CliMessage(static_cast<ImportResult>(c.code)), c.en) << c.code;
    EXPECT_EQ(UiMessage(ImportResult::NoFreeEntry),
              "Writing the file to the disk image failed.\nThe directory has no free entry.");
    const Japanese ja;
    for (const Case& c : kCases)
        EXPECT_EQ(UiMessage(static_cast<ImportResult>(c.code)), c.ja) << c.code;
    EXPECT_EQ(CliMessage(ImportResult::NoFreeEntry), "ディレクトリに空きがありません");
}

TEST(Messages, BootAndExportTextsEndWithTheirBlank) {
    EXPECT_EQ(CliMessage(RegisterBootResult::TooLarge),
              "the program is too large (at most 65535 bytes)");
    EXPECT_EQ(CliMessage(RegisterBootResult::Empty),
              "no program to register (an empty file, or an MZT file of 128 bytes or less)");
    const Japanese ja;
    for (int code : {1, 2, 3, 4, 9})
        EXPECT_EQ(UiMessage(static_cast<RegisterBootResult>(code)),
                  "ブートプログラムの書き込みに失敗しました. ")
            << code;
    EXPECT_EQ(UiMessage(ExtractBootResult::Failed), "ブートプログラムの取り出しに失敗しました. ");
    EXPECT_EQ(UiMessage(ExportResult::CannotWrite), "ファイルの取り出しに失敗しました. ");
    EXPECT_EQ(UiMessage(RegisterBootResult::Ok), "");
}

TEST(Messages, ExtractBootCausesSayWhich) {
    EXPECT_EQ(CliMessage(ExtractBootCause::NoSignature),
              "the disk has no boot program (no \"IPLPRO\" header)");
    EXPECT_EQ(CliMessage(ExtractBootCause::PastImageEnd),
              "the boot program reaches past the end of the disk image");
    EXPECT_EQ(CliMessage(ExtractBootCause::WriteFailed), "cannot write the file");
    EXPECT_EQ(CliMessage(ExtractBootCause::None), "");
    for (auto cause : {ExtractBootCause::NoSignature, ExtractBootCause::PastImageEnd,
                       ExtractBootCause::WriteFailed})
        EXPECT_EQ(ToInt(ToResult(cause)), 1);
    EXPECT_EQ(ToInt(ToResult(ExtractBootCause::None)), 0);
}

TEST(Messages, AddFileReasons) {
    EXPECT_EQ(CliMessage(AddFileReason::TooLarge, 524289),
              "the file to write is too large (524289 bytes; at most 512 KB)");
    EXPECT_EQ(CliMessage(AddFileReason::NoMode, 0, 0x1A),
              "the MZT header's mode 0x1A is not OBJ, BTX, BSD or BRD; choose one with --mode");
    EXPECT_EQ(CliMessage(AddFileReason::NameEmpty), "the name on the disk is empty");
    const Japanese ja;
    EXPECT_EQ(UiMessage(AddFileReason::TooLarge),
              "書き込むファイルのサイズが大きすぎます.\n最大 512 KB までです.");
    EXPECT_EQ(UiMessage(AddFileReason::NameNotEncodable),
              "ファイル名に使用できない文字が含まれています.");
    EXPECT_EQ(UiMessage(AddFileReason::FileNameNotEncodable),
              UiMessage(AddFileReason::NameNotEncodable));
    EXPECT_EQ(UiMessage(AddFileReason::CannotRead), UiMessage(ImportResult::CannotOpen));
    EXPECT_EQ(UiMessage(AddFileReason::Ok), "");
    // A number in its place in the translation too.
    EXPECT_EQ(CliMessage(AddFileReason::TooLarge, 524289),
              "書き込むファイルが大きすぎます (524289 バイト. 最大 512 KB)");
}

TEST(Messages, AProtectedFileIsNamed) {
    EXPECT_EQ(UiMessage(RemoveResult::Protected, "GAME"),
              "Deleting the file failed.\n\"GAME\" is protected (attribute 80).");
    const Japanese ja;
    EXPECT_EQ(UiMessage(RenameResult::Protected, "GAME"),
              "ファイル名の変更に失敗しました. \n「GAME」はプロテクトされています (属性 80).");
}

TEST(Messages, BootRegisterReasons) {
    EXPECT_EQ(CliMessage(BootRegisterReason::TooLarge, 65536),
              "the file is too large (65536 bytes; at most 65535 bytes)");
    const Japanese ja;
    EXPECT_EQ(UiMessage(BootRegisterReason::TooLarge),
              "書き込むファイルのサイズが大きすぎます.\n最大 65535 バイトまでです.");
    EXPECT_EQ(UiMessage(BootRegisterReason::CannotRead),
              "ブートプログラムの書き込みに失敗しました. ");
    EXPECT_EQ(UiMessage(BootRegisterReason::TextNotEncodable),
              "ファイル名に使用できない文字が含まれています.");
}

// One duplicate alone: the command-line and desktop tests; flags alone: the real images.
TEST(Messages, WhatASaveWouldLose) {
    EXPECT_EQ(SaveLossCli(LoadReport{.recordsFlagged = 1}), "");
    const LoadReport all{
        .recordsNotPlaced = 2, .recordsOddLength = 17, .recordsDuplicate = 3, .recordsCut = 16};
    EXPECT_EQ(SaveLossCli(all),
              "saving would lose 3 duplicate sector records (of two records for one sector only "
              "the later is kept), 17 records not of 256 bytes (16 cut to their first 256 bytes) "
              "and 2 records outside the disk of this image (--force saves anyway)");
    EXPECT_EQ(SaveLossCli(LoadReport{.recordsNotPlaced = 1}),
              "saving would lose 1 record outside the disk of this image (--force saves anyway)");
}

TEST(Messages, ImageFileErrorsCarryTheirDetail) {
    EXPECT_EQ(CliMessage(ImageFileError::CannotCreate, ENOENT, 0, "/x"),
              std::string("cannot create a temporary file in /x: ") + std::strerror(ENOENT));
    EXPECT_EQ(CliMessage(ImageFileError::TooLarge, 0, 70000000),
              "the file is too large for a disk image (70000000 bytes, at most 67108864)");
    EXPECT_EQ(CliMessage(ImageFileError::CannotWrite), "cannot write");
    EXPECT_EQ(CliMessage(ImageFileError::NotMzFsToRead),
              "not an MZ disk file system (--force reads it anyway)");
    EXPECT_EQ(UiMessage(ImageFileError::NotD88), UiMessage(LoadResult::NotAContainer));
    EXPECT_EQ(UiMessage(ImageFileError::CannotReplace), "The disk image could not be saved.");
}

// The disks of a file: the write-protect refusal names the disk and the command that clears
// the flag, in either language.
TEST(Messages, DisksOfAFile) {
    EXPECT_EQ(CliMessage(DiskSelectResult::NoSuchDisk, 4, 3), "no disk 4: the file holds 3 disks");
    EXPECT_EQ(CliMessage(DiskSelectResult::NoSuchDisk, 2, 1), "no disk 2: the file holds 1 disk");
    EXPECT_EQ(CliMessage(DiskRemoveResult::WriteProtected, 2),
              CliMessage(ChangeRefusal::WriteProtected, 2));
    EXPECT_EQ(CliMessage(ChangeRefusal::WriteProtected, 2),
              "disk 2 is write-protected (D88 header); clear it with `darvex-cli label "
              "--write-protect off`");
    EXPECT_EQ(CliMessage(ChangeRefusal::None, 1), "");
    const Japanese ja;
    EXPECT_EQ(UiMessage(ChangeRefusal::WriteProtected, 1),
              "ディスク 1 は D88 ヘッダーで書き込み禁止になっているため, 読み出し専用で開きます.");
    EXPECT_EQ(UiMessage(ChangeRefusal::NotMzFs, 1),
              "MZ のディスクではないため, 読み出し専用で開きます.");
    EXPECT_EQ(CliMessage(ChangeRefusal::WriteProtected, 2),
              "ディスク 2 は書き込み禁止です (D88 ヘッダー). `darvex-cli label --write-protect off` "
              "で解除してください");
}

} // namespace
