#include <gtest/gtest.h>

#include <string>

#include "doc/UiText.h"
#include "image/LoadReport.h"
#include "ui/Localization.h"

namespace {

// The desktop program's own texts in the language of the run (ctest runs the desktop tests in
// Japanese and in English).
bool Japanese() {
    return Localization::Current() == UiLanguage::Japanese;
}

TEST(UiText, DocumentTexts) {
    struct Case {
        UiText text;
        const char* en;
        const char* ja;
    };
    const Case kCases[] = {
        {UiText::ErrorCaption, "Error", "エラー"},
        {UiText::SaveLosesSectorInfo,
         "Saving loses part of the sector information of this disk image.",
         "保存すると, このディスクイメージの一部のセクタ情報は失われます."},
        {UiText::SaveChangesPrompt, "Save the changes to the disk image \"%s\"?",
         "ディスクイメージ「%s」への変更を保存しますか?"},
        {UiText::DeleteQuestion, "Delete the selected files?\nChoose OK or Cancel.\n",
         "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n"},
        {UiText::NoMzFileSystem, "no MZ file system", "MZ のファイルシステムがありません"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(UiMessage(c.text), Japanese() ? c.ja : c.en) << c.en;
    for (int t = 0; t <= static_cast<int>(kLastUiText); ++t)
        EXPECT_FALSE(UiMessage(static_cast<UiText>(t)).empty()) << t;
}

TEST(UiText, LoadWarningNamesWhatASaveWouldLose) {
    EXPECT_EQ(LoadWarningUi(LoadReport{}), "");
    const LoadReport all{
        .recordsNotPlaced = 2, .recordsOddLength = 17, .recordsDuplicate = 3, .recordsCut = 16};
    const std::string lines =
        Japanese() ? "\n同じセクタ ID のレコード 3 個: 後のものだけが残ります."
                     "\n256 バイト以外のレコード 17 個: 256 バイトのセクタになります."
                     "\n(うち 16 個は先頭の 256 バイトだけが残ります.)"
                     "\nディスクの範囲外のレコード 2 個: 保存されません."
                   : "\nRecords with the same sector ID: 3. Only the later one stays."
                     "\nRecords not of 256 bytes: 17. They become 256-byte sectors."
                     "\n(Of them 16 keep only their first 256 bytes.)"
                     "\nRecords outside the disk: 2. They are not saved.";
    EXPECT_EQ(LoadWarningUi(all), UiMessage(UiText::SaveLosesSectorInfo) + lines);
}

} // namespace
