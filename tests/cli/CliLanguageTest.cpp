#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/CliLanguage.h"
#include "fs/Translation.h"

namespace {

// The C library's gettext finds this build's Japanese catalog though no Japanese locale is
// generated on the machine; English and a missing catalog give the msgids.
TEST(CliLanguage, JapaneseFromTheCatalogWithoutAJapaneseLocale) {
    struct Case {
        const char* name;
        UiLanguage language;
        const char* folder;
        const char* want;
    };
    const Case cases[] = {
        {"japanese", UiLanguage::Japanese, DARVEX_LOCALE_DIR, "ｷｬﾝｾﾙ"},
        {"english", UiLanguage::English, DARVEX_LOCALE_DIR, "Cancel"},
        {"no catalog", UiLanguage::Japanese, "", "Cancel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseLanguage(c.language, c.folder);
        EXPECT_EQ(Tr(N_("Cancel")), c.want);
    }
    SetTranslator(nullptr);
    setenv("LANGUAGE", "en", 1);
}

} // namespace
