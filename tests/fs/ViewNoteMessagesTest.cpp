#include <gtest/gtest.h>

#include <string>

#include "fs/Messages.h"

namespace {

// Every note has its text in both languages, with its numbers filled in.
TEST(ViewNoteMessagesTest, EveryNoteSaysItsNumbers) {
    for (int code = 0; code <= static_cast<int>(ViewNoteCode::BootPastDisk); ++code) {
        SCOPED_TRACE(code);
        const ViewNote note{static_cast<ViewNoteCode>(code), 4321, 765, 98};
        for (const std::string& text : {MessageJa(note), MessageEn(note)}) {
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(text.find('{'), std::string::npos) << text;
        }
    }
    const ViewNote descending{ViewNoteCode::BasicNotAscending, 12, 15, 20};
    EXPECT_EQ(MessageEn(descending),
              "line number 15 at byte 12 does not follow line 20; the listing ends here");
    EXPECT_EQ(MessageJa(descending), "12 バイト目の行番号 15 が前の行番号 20 より大きくありません. "
                                     "リストはここまでです.");
}

} // namespace
