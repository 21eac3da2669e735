#include <gtest/gtest.h>

#include "fs/Messages.h"
#include "host/UiLanguage.h"

namespace {

// Every note has its text in both languages, with its numbers filled in.
TEST(ViewNoteMessagesTest, EveryNoteSaysItsNumbers) {
    for (int code = 0; code <= static_cast<int>(ViewNoteCode::BootPastDisk); ++code) {
        const ViewNote note{static_cast<ViewNoteCode>(code), 4321, 765, 98};
        for (const std::string& text : {NoteMessage(note), NoteMessageEn(note)})
            EXPECT_TRUE(!text.empty() && text.find('%') == std::string::npos) << code << text;
    }
    EXPECT_EQ(NoteMessageEn({ViewNoteCode::BasicNotAscending, 12, 15, 20}),
              "line number 15 at byte 12 does not follow line 20; the listing ends here");
}

// The Japanese sentences put the numbers in their own order; the English stays for scripts.
TEST(ViewNoteMessagesTest, JapaneseReordersTheNumbers) {
    UseGettextCatalog(UiLanguage::Japanese, DARVEX_LOCALE_DIR);
    const ViewNote note{ViewNoteCode::BasicBrokenChain, 12, 3};
    const std::string ja = NoteMessage(note);
    const std::string en = NoteMessageEn(note);
    UseGettextCatalog(UiLanguage::English, {});
    setenv("LANGUAGE", "en", 1);
    EXPECT_EQ(ja, "12 バイト目のレコード長 3 で行のつながりが切れています. リストはここまでです.");
    EXPECT_EQ(en,
              "the record length 3 at byte 12 breaks the chain of lines; the listing ends here");
}

} // namespace
