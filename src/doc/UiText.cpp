#include "doc/UiText.h"

#include <cstdio>

#include "image/LoadReport.h"

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
    case UiText::SaveLosesSectorInfo:
        return "保存すると, このディスクイメージの一部のセクタ情報は失われます.";
    case UiText::SaveChangesPrompt:
        return "ディスクイメージ「%s」への変更を保存しますか?";
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
    case UiText::SaveLosesSectorInfo:
        return "Saving loses some of the sector information of this disk image.";
    case UiText::SaveChangesPrompt:
        return "Save the changes to the disk image \"%s\"?";
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
