#include <gtest/gtest.h>

#include <string>

#include "doc/UiText.h"
#include "image/LoadReport.h"

namespace {

TEST(UiText, DocumentTexts) {
    struct Case {
        UiText text;
        const char* ja;
    };
    const Case kCases[] = {
        {UiText::ErrorCaption, "エラー"},
        {UiText::SaveLosesSectorInfo,
         "保存すると, このディスクイメージの一部のセクタ情報は失われます."},
        {UiText::SaveChangesPrompt, "ディスクイメージ「%s」への変更を保存しますか?"},
        {UiText::DeleteQuestion,
         "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n"},
        {UiText::DeleteCaption, "ファイル削除"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(MessageJa(c.text), c.ja) << c.ja;

    // Every text in both languages, with the same placeholders.
    const auto placeholders = [](const std::string& s) {
        std::size_t n = 0;
        for (std::size_t at = s.find("%s"); at != std::string::npos; at = s.find("%s", at + 2))
            ++n;
        return n;
    };
    for (int t = 0; t <= static_cast<int>(kLastUiText); ++t) {
        const auto text = static_cast<UiText>(t);
        SCOPED_TRACE(t);
        EXPECT_FALSE(MessageJa(text).empty());
        EXPECT_FALSE(MessageEn(text).empty());
        EXPECT_EQ(placeholders(MessageJa(text)), placeholders(MessageEn(text)));
    }
}

TEST(UiText, LoadWarningNamesWhatASaveWouldLose) {
    EXPECT_EQ(LoadWarningJa(LoadReport{}), "");
    const LoadReport all{
        .recordsNotPlaced = 2, .recordsOddLength = 17, .recordsDuplicate = 3, .recordsCut = 16};
    EXPECT_EQ(LoadWarningJa(all), MessageJa(UiText::SaveLosesSectorInfo) +
                                      "\n同じセクタ ID のレコード 3 個: 後のものだけが残ります."
                                      "\n256 バイト以外のレコード 17 個: 256 バイトのセクタになり"
                                      "ます.\n(うち 16 個は先頭の 256 バイトだけが残ります.)"
                                      "\nディスクの範囲外のレコード 2 個: 保存されません.");
}

} // namespace
