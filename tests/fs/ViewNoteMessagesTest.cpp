#include <gtest/gtest.h>

#include "fs/Messages.h"

namespace {

// Every note has its text in both languages, with its numbers filled in.
TEST(ViewNoteMessagesTest, EveryNoteSaysItsNumbers) {
    for (int code = 0; code <= static_cast<int>(ViewNoteCode::BootPastDisk); ++code) {
        const ViewNote note{static_cast<ViewNoteCode>(code), 4321, 765, 98};
        for (const std::string& text : {MessageJa(note), MessageEn(note)})
            EXPECT_TRUE(!text.empty() && text.find('{') == std::string::npos) << code << text;
    }
    EXPECT_EQ(MessageJa({ViewNoteCode::BasicNotAscending, 12, 15, 20}),
              "12 バイト目の行番号 15 が前の行番号 20 より大きくありません. リストはここまでです.");
}

} // namespace
