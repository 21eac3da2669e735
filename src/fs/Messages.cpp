#include "fs/Messages.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "fs/SjisText.h"

namespace {

// The import's failures share their first sentence; the second says why.
constexpr const char* kImportFailed = "ディスクイメージへのファイル書き込みに失敗しました. \n";
constexpr const char* kCauseUnknown = "原因は不明です.";
constexpr const char* kReadOnlyDirectory =
    "このディレクトリはシステム領域に重なっているため, 読み出し専用です.";
constexpr const char* kReadOnlyDirectoryEn =
    "the directory overlaps the reserved area (boot sector, bitmap or root directory); it is "
    "read-only";
constexpr const char* kBootWriteFailed = "ブートプログラムの書き込みに失敗しました. ";
constexpr const char* kBootExtractFailed = "ブートプログラムの取り出しに失敗しました. ";
constexpr const char* kExtractFailed = "ファイルの取り出しに失敗しました. ";
constexpr const char* kNameNotEncodable = "ファイル名に使用できない文字が含まれています.";
constexpr const char* kNotD88 = "D88 ディスクイメージとして読み込めませんでした.";
constexpr const char* kSaveFailed = "ディスクイメージを保存できませんでした.";
constexpr const char* kTooLargeForAdd =
    "書き込むファイルのサイズが大きすぎます.\n最大 512 KB までです.";
// Without the hazard at hand (its text names the file): MessageJa/En(AllocationHazard).
constexpr const char* kBitmapMissesFile =
    "アロケーションビットマップが使用中にしていないファイルがあります.";
constexpr const char* kBitmapMissesFileEn =
    "the allocation bitmap does not mark the clusters of every file; writing could overwrite "
    "one (check names them; --force writes anyway)";
constexpr const char* kTooLargeForBoot =
    "書き込むファイルのサイズが大きすぎます.\n最大 65535 バイトまでです.";

std::string Import(const char* cause) {
    return std::string(kImportFailed) + cause;
}

// "1 record", "2 records".
std::string Count(int n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

std::string WithErrno(std::string text, int sysError) {
    if (sysError != 0)
        text += std::string(": ") + std::strerror(sysError);
    return text;
}

std::string Quoted(std::string_view text) {
    return "「" + std::string(text) + "」";
}

// An extraction never writes over the image it reads, also not through a link.
constexpr const char* kSameAsImageEn =
    "this is the disk image being read; refusing to write over it";

std::string SameAsImageJa(std::string_view path) {
    return Quoted(path) +
           "は読み込んでいるディスクイメージです. ほかのファイル名を指定してください.";
}

} // namespace

std::string MessageJa(LoadResult result) {
    return result == LoadResult::Ok ? std::string() : kNotD88;
}

std::string MessageEn(LoadResult result) {
    return result == LoadResult::Ok ? std::string() : "not a D88 disk image";
}

std::string MessageJa(ExportResult result, std::string_view subject, long long sector) {
    switch (result) {
    case ExportResult::Ok:
        return {};
    case ExportResult::ReservedArea:
        return Quoted(subject) + "の本体はセクタ " + std::to_string(sector) +
               " にあり, システム領域 (ブートプログラム, ビットマップ, ディレクトリ) "
               "に重なっているため, 取り出しません.";
    case ExportResult::PastDiskEnd:
        return Quoted(subject) + "の本体はディスクの終わりを越えています (セクタ " +
               std::to_string(sector) + "). 取り出しません.";
    case ExportResult::SameAsImage:
        return SameAsImageJa(subject);
    case ExportResult::CannotWrite:
        break;
    }
    return kExtractFailed;
}

std::string MessageEn(ExportResult result, long long sector, int sysError) {
    switch (result) {
    case ExportResult::Ok:
        return {};
    case ExportResult::ReservedArea:
        return "its body lies at sector " + std::to_string(sector) +
               ", in the reserved area (boot program, bitmap and directory) before the first "
               "data sector; not extracted (--force takes those bytes all the same)";
    case ExportResult::PastDiskEnd:
        return "its body reaches sector " + std::to_string(sector) +
               ", past the end of the disk; not extracted (--force takes what the disk holds)";
    case ExportResult::SameAsImage:
        return kSameAsImageEn;
    case ExportResult::CannotWrite:
        break;
    }
    return WithErrno("cannot write the file", sysError);
}

std::string MessageJa(ImportResult result) {
    switch (result) {
    case ImportResult::Ok:
        return {};
    case ImportResult::NoFreeEntry:
        return Import("ディレクトリに空きがありません.");
    case ImportResult::CannotOpen:
    case ImportResult::MztTooShort:
        return Import("ファイルを読み込むことができません.");
    case ImportResult::NoSpace:
        return Import("ビットマップの空きがありません.");
    case ImportResult::NameTaken:
        return Import("同じファイル名がすでに存在します.");
    case ImportResult::TooLarge:
        return Import("このモードでは 65535 バイトを超えるファイルは書き込めません.");
    case ImportResult::ReadOnlyDirectory:
        return Import(kReadOnlyDirectory);
    case ImportResult::FreeMode:
        break;
    }
    return Import(kCauseUnknown);
}

std::string MessageEn(ImportResult result) {
    switch (result) {
    case ImportResult::Ok:
        return {};
    case ImportResult::NoFreeEntry:
        return "the directory has no free entry";
    case ImportResult::CannotOpen:
        return "cannot read the file";
    case ImportResult::MztTooShort:
        return "an MZT file of 128 bytes or less holds no data";
    case ImportResult::NoSpace:
        return "not enough free space on the disk";
    case ImportResult::NameTaken:
        return "a file of this name already exists";
    case ImportResult::TooLarge:
        return "too large for this mode (OBJ, BTX and BSD files hold at most 65535 bytes, "
               "BRD files 512 KB)";
    case ImportResult::FreeMode:
        return "mode 0x00 would mark the entry free";
    case ImportResult::ReadOnlyDirectory:
        return kReadOnlyDirectoryEn;
    }
    return "writing the file to the disk image failed for an unknown reason";
}

std::string MessageJa(RemoveResult result) {
    switch (result) {
    case RemoveResult::Ok:
        return {};
    case RemoveResult::ReadOnlyDirectory:
        return std::string("ファイルの削除に失敗しました. \n") + kReadOnlyDirectory;
    case RemoveResult::AlreadyFree:
        break;
    }
    return "ファイルの削除に失敗しました. ";
}

std::string MessageEn(RemoveResult result) {
    switch (result) {
    case RemoveResult::Ok:
        return {};
    case RemoveResult::ReadOnlyDirectory:
        return kReadOnlyDirectoryEn;
    case RemoveResult::AlreadyFree:
        break;
    }
    return "the entry is already free";
}

std::string MessageJa(ExtractBootResult result) {
    return result == ExtractBootResult::Ok ? std::string() : kBootExtractFailed;
}

std::string MessageEn(ExtractBootResult result) {
    return result == ExtractBootResult::Ok ? std::string() : "taking out the boot program failed";
}

std::string MessageJa(ExtractBootCause cause, std::string_view path) {
    if (cause == ExtractBootCause::SameAsImage)
        return SameAsImageJa(path);
    return MessageJa(ToResult(cause));
}

std::string MessageEn(ExtractBootCause cause, int sysError) {
    switch (cause) {
    case ExtractBootCause::None:
        return {};
    case ExtractBootCause::NoSignature:
        return "the disk has no boot program (no \"IPLPRO\" header)";
    case ExtractBootCause::PastImageEnd:
        return "the boot program reaches past the end of the disk image";
    case ExtractBootCause::WriteFailed:
        return WithErrno("cannot write the file", sysError);
    case ExtractBootCause::SameAsImage:
        return kSameAsImageEn;
    }
    return MessageEn(ExtractBootResult::Failed);
}

std::string MessageJa(RegisterBootResult result) {
    return result == RegisterBootResult::Ok ? std::string() : kBootWriteFailed;
}

std::string MessageEn(RegisterBootResult result) {
    switch (result) {
    case RegisterBootResult::Ok:
        return {};
    case RegisterBootResult::CannotOpen:
        return "cannot read the file";
    case RegisterBootResult::Empty:
        return "no program to register (an empty file, or an MZT file of 128 bytes or less)";
    case RegisterBootResult::TooLarge:
        return "the program is too large (at most 65535 bytes)";
    case RegisterBootResult::NoSpace:
        return "no run of free clusters is long enough for the program";
    }
    return "writing the boot program failed";
}

std::string MessageJa(AddFileReason reason) {
    switch (reason) {
    case AddFileReason::Ok:
        return {};
    case AddFileReason::CannotRead:
        return MessageJa(ImportResult::CannotOpen);
    case AddFileReason::TooLarge:
        return kTooLargeForAdd;
    case AddFileReason::FileNameNotEncodable:
    case AddFileReason::NameNotEncodable:
        return kNameNotEncodable;
    case AddFileReason::NameEmpty:
        return MessageJa(ImportResult::NameTaken); // what the import answers an empty name
    case AddFileReason::NoMode:
        return "モードを選択してください.";
    case AddFileReason::MztShorterThanHeader:
        return MessageJa(ImportResult::MztTooShort);
    case AddFileReason::BitmapMissesFile:
        return Import(kBitmapMissesFile);
    }
    return Import(kCauseUnknown);
}

std::string MessageEn(AddFileReason reason, std::uint64_t fileBytes, int mode) {
    switch (reason) {
    case AddFileReason::Ok:
        return {};
    case AddFileReason::CannotRead:
        return "cannot read the file";
    case AddFileReason::TooLarge:
        return "the file to write is too large (" + std::to_string(fileBytes) +
               " bytes; at most 512 KB)";
    case AddFileReason::FileNameNotEncodable:
        return "the file name cannot be written in Shift-JIS (CP932); give --name";
    case AddFileReason::NameNotEncodable:
        return "cannot be written in Shift-JIS (CP932)";
    case AddFileReason::NameEmpty:
        return "the name on the disk is empty";
    case AddFileReason::MztShorterThanHeader:
        return "the file is shorter than the 128-byte header of an MZT file";
    case AddFileReason::BitmapMissesFile:
        return kBitmapMissesFileEn;
    case AddFileReason::NoMode: {
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(mode & 0xFF));
        return std::string("the MZT header's mode ") + text +
               " is not OBJ, BTX, BSD or BRD; choose one with --mode";
    }
    }
    return MessageEn(ImportResult::FreeMode);
}

std::string MessageJa(BootRegisterReason reason) {
    switch (reason) {
    case BootRegisterReason::Ok:
        return {};
    case BootRegisterReason::CannotRead:
        return kBootWriteFailed;
    case BootRegisterReason::TooLarge:
        return kTooLargeForBoot;
    case BootRegisterReason::FileNameNotEncodable:
    case BootRegisterReason::TextNotEncodable:
        return kNameNotEncodable;
    case BootRegisterReason::BitmapMissesFile:
        return kBootWriteFailed + std::string("\n") + kBitmapMissesFile;
    }
    return kBootWriteFailed;
}

std::string MessageEn(BootRegisterReason reason, std::uint64_t fileBytes) {
    switch (reason) {
    case BootRegisterReason::Ok:
        return {};
    case BootRegisterReason::CannotRead:
        return "cannot read the file";
    case BootRegisterReason::TooLarge:
        return "the file is too large (" + std::to_string(fileBytes) +
               " bytes; at most 65535 bytes)";
    case BootRegisterReason::FileNameNotEncodable:
        return "the file name cannot be written in Shift-JIS (CP932); give --text";
    case BootRegisterReason::TextNotEncodable:
        return "cannot be written in Shift-JIS (CP932)";
    case BootRegisterReason::BitmapMissesFile:
        return kBitmapMissesFileEn;
    }
    return MessageEn(RegisterBootResult::NoSpace);
}

std::string MessageJa(ImageFileError error) {
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
    case ImageFileError::ShrankWhileRead:
    case ImageFileError::TooLarge:
    case ImageFileError::NotD88:
        return kNotD88;
    case ImageFileError::NotRegular:
        return "通常のファイルではありません (デバイス, FIFO, ソケットまたはフォルダ).";
    case ImageFileError::BrokenLink:
        return "シンボリックリンクの先にファイルがありません.";
    case ImageFileError::ReadOnly:
        return "ディスクイメージは読み出し専用のため, 上書き保存できません. "
               "「名前を付けて保存」で保存してください.";
    case ImageFileError::NotOwner:
        return "ディスクイメージはほかのユーザーのファイルで, 書き込みが許可されていません.";
    case ImageFileError::CopyKept:
        return "ディスクイメージを保存できませんでした. ファイルが壊れている可能性があります. "
               "元の内容の写しを同じフォルダに残しました.";
    case ImageFileError::NotMzFs:
    case ImageFileError::NotMzFsToRead:
        return MessageJa(UiText::NotMzReadOnly);
    case ImageFileError::InUse:
        return "ディスクイメージはほかのプログラムが使用中です.";
    case ImageFileError::NoImage:
    case ImageFileError::CannotCreate:
    case ImageFileError::CannotWrite:
    case ImageFileError::CannotReplace:
        break;
    }
    return kSaveFailed;
}

std::string MessageEn(ImageFileError error, int sysError, std::uint64_t fileBytes,
                      std::string_view path) {
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
        return "cannot read the file";
    case ImageFileError::ShrankWhileRead:
        return "another program cut the file short while it was read; nothing was changed";
    case ImageFileError::NotRegular:
        return "not a regular file (a device, FIFO, socket or folder); refusing to replace it";
    case ImageFileError::BrokenLink:
        return WithErrno("a symbolic link that leads to no file", sysError);
    case ImageFileError::InUse:
        return "the image is in use by another program";
    case ImageFileError::TooLarge:
        return "the file is too large for a disk image (" + std::to_string(fileBytes) +
               " bytes, at most " + std::to_string(64u << 20) + ")";
    case ImageFileError::NotD88:
        return "not a D88 disk image";
    case ImageFileError::NotMzFs:
        return "not an MZ disk file system; refusing to change it";
    case ImageFileError::NotMzFsToRead:
        return "not an MZ disk file system (--force reads it anyway)";
    case ImageFileError::NoImage:
        return "no disk image to save";
    case ImageFileError::CannotCreate:
        return WithErrno("cannot create a temporary file in " + std::string(path), sysError);
    case ImageFileError::CannotWrite:
        return WithErrno("cannot write", sysError);
    case ImageFileError::CannotReplace:
        return WithErrno("cannot replace the file", sysError);
    case ImageFileError::ReadOnly:
        return "the image is read-only";
    case ImageFileError::NotOwner:
        return "the file belongs to another user and may not be written; replacing it would "
               "take it from its owner";
    case ImageFileError::CopyKept:
        return WithErrno("cannot write", sysError) +
               "; the image may be damaged: a whole copy of it was kept in " + std::string(path);
    }
    return "cannot write";
}

std::string MessageJa(UiText text) {
    switch (text) {
    case UiText::ErrorCaption:
        return "エラー";
    case UiText::AppCaption:
        return "Darvex";
    case UiText::DeleteCaption:
        return "ファイル削除";
    case UiText::DeleteQuestion:
        return "選択したファイルを削除してよろしいですか？\nOK "
               "またはキャンセルを選んでください。\n";
    case UiText::NotD88:
        return kNotD88;
    case UiText::NotMzReadOnly:
        return "MZ のディスクではないため, 読み出し専用で開きます.";
    case UiText::SaveLosesSectorInfo:
        return "保存すると, このディスクイメージの一部のセクタ情報は失われます.";
    case UiText::SaveChangesPrompt:
        return "ディスクイメージ「%s」への変更を保存しますか?";
    case UiText::ExtractFailed:
        return kExtractFailed;
    case UiText::TooLargeForAdd:
        return kTooLargeForAdd;
    case UiText::TooLargeForBoot:
        return kTooLargeForBoot;
    case UiText::NameNotEncodable:
        return kNameNotEncodable;
    case UiText::SaveFailed:
        return kSaveFailed;
    case UiText::ChangedOnDisk:
        return "ディスクイメージ「%s」はほかのプログラムによって変更されています. 上書きしますか?";
    case UiText::ReplaceQuestion:
        return "%s は既に存在します. 置き換えますか?";
    case UiText::NoMzFileSystem:
        return "MZ のファイルシステムがありません";
    case UiText::RecentFileGone:
        return "ファイル「%s」が見つかりません. 最近使ったﾌｧｲﾙの一覧から外します.";
    }
    return {};
}

std::string MessageEn(UiText text) {
    switch (text) {
    case UiText::ErrorCaption:
        return "Error";
    case UiText::AppCaption:
        return "Darvex";
    case UiText::DeleteCaption:
        return "Delete files";
    case UiText::DeleteQuestion:
        return "Delete the selected files?\nChoose OK or Cancel.\n";
    case UiText::NotD88:
        return "not a D88 disk image";
    case UiText::NotMzReadOnly:
        return "Not an MZ disk: opened read-only.";
    case UiText::SaveLosesSectorInfo:
        return "Saving loses some of the sector information of this disk image.";
    case UiText::SaveChangesPrompt:
        return "Save the changes to the disk image \"%s\"?";
    case UiText::ExtractFailed:
        return "The file could not be extracted.";
    case UiText::TooLargeForAdd:
        return "The file is too large to add: at most 512 KB.";
    case UiText::TooLargeForBoot:
        return "The file is too large for a boot program: at most 65535 bytes.";
    case UiText::NameNotEncodable:
        return "The name holds characters the disk cannot store.";
    case UiText::SaveFailed:
        return "The disk image could not be saved.";
    case UiText::ChangedOnDisk:
        return "Another program has changed the disk image \"%s\". Overwrite it?";
    case UiText::ReplaceQuestion:
        return "%s already exists. Replace it?";
    case UiText::NoMzFileSystem:
        return "no MZ file system";
    case UiText::RecentFileGone:
        return "The file \"%s\" no longer exists; it leaves the list of recent files.";
    }
    return {};
}

std::string SaveLossEn(const LoadReport& report) {
    if (!report.SaveLosesData())
        return {};
    std::vector<std::string> parts;
    if (report.recordsDuplicate != 0)
        parts.push_back(Count(report.recordsDuplicate, "duplicate sector record") +
                        " (of two records for one sector only the later is kept)");
    if (report.recordsOddLength != 0) {
        std::string odd = Count(report.recordsOddLength, "record") + " not of 256 bytes";
        if (report.recordsCut != 0)
            odd += " (" + std::to_string(report.recordsCut) + " cut to their first 256 bytes)";
        parts.push_back(odd);
    }
    if (report.recordsNotPlaced != 0)
        parts.push_back(Count(report.recordsNotPlaced, "record") + " outside the disk");
    return "saving would lose " + Joined(parts) + " of this image (--force saves anyway)";
}

std::string LoadWarningJa(const LoadReport& report) {
    if (report.Empty())
        return {};
    std::string text = MessageJa(UiText::SaveLosesSectorInfo);
    const auto line = [&text](const char* format, int n) {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer, format, n);
        text += buffer;
    };
    if (report.recordsDuplicate != 0)
        line("\n同じセクタ ID のレコード %d 個: 後のものだけが残ります.", report.recordsDuplicate);
    if (report.recordsOddLength != 0)
        line("\n256 バイト以外のレコード %d 個: 256 バイトのセクタになります.",
             report.recordsOddLength);
    if (report.recordsCut != 0)
        line("\n(うち %d 個は先頭の 256 バイトだけが残ります.)", report.recordsCut);
    if (report.recordsNotPlaced != 0)
        line("\nディスクの範囲外のレコード %d 個: 保存されません.", report.recordsNotPlaced);
    return text;
}

std::string MessageJa(const AllocationHazard& hazard) {
    if (!hazard.Present())
        return {};
    std::string whose = hazard.kind == OwnerKind::BootProgram
                            ? std::string("ブートプログラム")
                            : "「" + SjisToDisplay(hazard.name) + "」";
    if (hazard.moreBodies != 0)
        whose += "ほか " + std::to_string(hazard.moreBodies) + " 個";
    return "アロケーションビットマップが" + whose + "の領域 (" + std::to_string(hazard.clusters) +
           " クラスタ) を使用中にしていません.\n書き込むとファイルを壊すおそれがあるため, "
           "このディスクにはファイル追加とブートプログラム登録ができません.";
}

std::string MessageEn(const AllocationHazard& hazard) {
    if (!hazard.Present())
        return {};
    std::string text = "the allocation bitmap does not mark the clusters of ";
    text += hazard.kind == OwnerKind::BootProgram ? std::string("the boot program")
                                                  : "\"" + SjisToTerminal(hazard.name) + "\"";
    text += " (" + Count(hazard.clusters, "cluster") + ")";
    if (hazard.moreBodies == 0)
        return text + "; writing could overwrite it (--force writes anyway)";
    return text + " and of " + std::to_string(hazard.moreBodies) +
           " more; writing could overwrite them (check names them all; --force writes anyway)";
}

namespace {

// Replaces {offset}, {value} and {previous} by the note's numbers.
std::string Filled(std::string text, const ViewNote& note) {
    const std::pair<const char*, long long> fields[] = {
        {"{offset}", note.offset}, {"{value}", note.value}, {"{previous}", note.previous}};
    for (const auto& [field, number] : fields) {
        const std::size_t at = text.find(field);
        if (at != std::string::npos)
            text.replace(at, std::strlen(field), std::to_string(number));
    }
    return text;
}

} // namespace

std::string MessageJa(const ViewNote& note) {
    const char* text = "";
    switch (note.code) {
    case ViewNoteCode::BasicPastSize:
        text = "{offset} バイト目の行 ({value} バイト) がプログラムの終わりを越えています. "
               "リストはここまでです.";
        break;
    case ViewNoteCode::BasicBrokenChain:
        text = "{offset} バイト目のレコード長 {value} で行のつながりが切れています. "
               "リストはここまでです.";
        break;
    case ViewNoteCode::BasicNotAscending:
        text = "{offset} バイト目の行番号 {value} が前の行番号 {previous} より大きくありません. "
               "リストはここまでです.";
        break;
    case ViewNoteCode::BasicNoEndMark:
        text = "プログラムが終わりの印 (00 00) なしに {offset} バイト目で終わっています.";
        break;
    case ViewNoteCode::BasicM25:
        text = "MZ-2500 のディスクです. BASIC-M25 のプログラムは形式が公開されていないため, "
               "16進で表示します.";
        break;
    case ViewNoteCode::NotSBasic:
        text = "MZ-80B/2000 の S-BASIC のプログラムとして読めません (最初の行が解釈できません). "
               "16進で表示します.";
        break;
    case ViewNoteCode::BodyEndedEarly:
        text = "ファイルの本体が {previous} バイト中 {value} バイトで終わっています "
               "(セクタのつながりかブロックの索引が途中で終わっています).";
        break;
    case ViewNoteCode::BodyLeftImage:
        text = "ファイルの本体がディスクにないセクタ {offset} を指しています. "
               "そこまでを表示します.";
        break;
    case ViewNoteCode::BodyChainLoop:
        text = "ファイルのセクタのつながりが {offset} バイトの後で一度通ったセクタに戻っています. "
               "そこまでを表示します.";
        break;
    case ViewNoteCode::SectorMissing:
        text = "このセクタを持つレコードが D88 ファイルにありません. 0x00 として読みます.";
        break;
    case ViewNoteCode::SectorShortRecord:
        text = "D88 のレコードは 128 バイト (N = 0) です. 残りは 0x00 として読みます.";
        break;
    case ViewNoteCode::SectorLongRecord:
        text = "D88 のレコードは {value} バイトです. 先頭の 256 バイトだけを扱います.";
        break;
    case ViewNoteCode::SectorDuplicate:
        text = "D88 ファイルにこのセクタのレコードが複数あります. 最後に読んだものを表示します.";
        break;
    case ViewNoteCode::SectorNotLoaded:
        text = "D88 ファイルから読んだディスクではありません (新しいディスクかベタイメージ). "
               "ヘッダは保存で書き込まれるものです.";
        break;
    case ViewNoteCode::BootNone:
        text = "ブートプログラムがありません (IPLPRO ヘッダがありません).";
        break;
    case ViewNoteCode::BootPastDisk:
        text = "ブートプログラムがディスクの終わりを越えています. そこまでを表示します.";
        break;
    }
    return Filled(text, note);
}

std::string MessageEn(const ViewNote& note) {
    const char* text = "";
    switch (note.code) {
    case ViewNoteCode::BasicPastSize:
        text = "the line at byte {offset} is {value} bytes long and runs past the end of the "
               "program; the listing ends here";
        break;
    case ViewNoteCode::BasicBrokenChain:
        text = "the record length {value} at byte {offset} breaks the chain of lines; the "
               "listing ends here";
        break;
    case ViewNoteCode::BasicNotAscending:
        text = "line number {value} at byte {offset} does not follow line {previous}; the "
               "listing ends here";
        break;
    case ViewNoteCode::BasicNoEndMark:
        text = "the program ends at byte {offset} without its end mark (00 00)";
        break;
    case ViewNoteCode::BasicM25:
        text = "an MZ-2500 disk: a BASIC-M25 program, whose format is not published; shown as "
               "hex";
        break;
    case ViewNoteCode::NotSBasic:
        text = "not an S-BASIC program of the MZ-80B/2000 (its first line does not parse); "
               "shown as hex";
        break;
    case ViewNoteCode::BodyEndedEarly:
        text = "the file's body ends after {value} of its {previous} bytes (its sector chain or "
               "block index ends early)";
        break;
    case ViewNoteCode::BodyLeftImage:
        text = "the file's body needs sector {offset}, which the disk does not hold; shown up to "
               "there";
        break;
    case ViewNoteCode::BodyChainLoop:
        text = "the file's sector chain comes back to a sector it has passed, after {offset} "
               "bytes; shown up to there";
        break;
    case ViewNoteCode::SectorMissing:
        text = "no record of the D88 file holds this sector; it reads as 0x00";
        break;
    case ViewNoteCode::SectorShortRecord:
        text = "the D88 record holds 128 bytes (N = 0); the rest of the sector reads as 0x00";
        break;
    case ViewNoteCode::SectorLongRecord:
        text = "the D88 record holds {value} bytes; only its first 256 are kept";
        break;
    case ViewNoteCode::SectorDuplicate:
        text = "the D88 file holds more than one record for this sector; the last one read is "
               "shown";
        break;
    case ViewNoteCode::SectorNotLoaded:
        text = "not read from a D88 file (a new disk or a flat image): the header is the one a "
               "save writes";
        break;
    case ViewNoteCode::BootNone:
        text = "the disk has no boot program (no IPLPRO header)";
        break;
    case ViewNoteCode::BootPastDisk:
        text = "the boot program runs past the end of the disk; shown up to there";
        break;
    }
    return Filled(text, note);
}
