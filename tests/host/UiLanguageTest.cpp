#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "TestUtil.h"
#include "fs/Translation.h"
#include "host/UiLanguage.h"

namespace {

TEST(UiLanguage, FirstSetVariableDecides) {
    struct Case {
        const char* name;
        const char *language, *lcAll, *lcMessages, *lang;
        UiLanguage want;
    };
    const Case cases[] = {
        {"nothing set", nullptr, nullptr, nullptr, nullptr, UiLanguage::English},
        {"LANG ja", nullptr, nullptr, nullptr, "ja_JP.UTF-8", UiLanguage::Japanese},
        {"LANG en", nullptr, nullptr, nullptr, "en_US.UTF-8", UiLanguage::English},
        {"LANG C", nullptr, nullptr, nullptr, "C", UiLanguage::English},
        {"LANGUAGE list, ja first", "ja:en", nullptr, nullptr, "en_US.UTF-8", UiLanguage::Japanese},
        {"LANGUAGE list, en first", "en:ja", nullptr, nullptr, "ja_JP.UTF-8", UiLanguage::English},
        {"LC_ALL over LANG", nullptr, "C.UTF-8", nullptr, "ja_JP.UTF-8", UiLanguage::English},
        {"LC_MESSAGES over LANG", nullptr, nullptr, "ja_JP.eucJP", "en_GB.UTF-8",
         UiLanguage::Japanese},
        {"empty ones are unset", "", "", "", "ja", UiLanguage::Japanese},
        {"not a prefix of ja", nullptr, nullptr, nullptr, "jv_ID", UiLanguage::English},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LanguageFromVariables(c.language, c.lcAll, c.lcMessages, c.lang), c.want);
    }
}

TEST(UiLanguage, CatalogBesideTheProgramOrUnderItsPrefix) {
    testutil::TempDir dir;
    const std::filesystem::path bin = dir.path() / "bin";
    std::filesystem::create_directories(bin);
    const std::string program = (bin / "darvex").string();
    EXPECT_EQ(CatalogFolder(program), "") << "no catalog anywhere";

    const auto put = [](const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder / "ja" / "LC_MESSAGES");
        std::ofstream(folder / "ja" / "LC_MESSAGES" / "darvex.mo") << "mo";
    };
    put(dir.path() / "share" / "locale");
    EXPECT_EQ(CatalogFolder(program), (dir.path() / "share" / "locale").string()) << "installed";
    put(bin / "locale");
    EXPECT_EQ(CatalogFolder(program), (bin / "locale").string()) << "a build tree comes first";
}

// The C library's gettext finds this build's Japanese catalog though no Japanese locale is
// generated on the machine; English and a missing catalog give the msgids.
TEST(GettextCatalog, JapaneseFromTheCatalogWithoutAJapaneseLocale) {
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
        UseGettextCatalog(c.language, c.folder);
        EXPECT_EQ(Translate(N_("Cancel")), c.want);
    }
    SetTranslator(nullptr);
    setenv("LANGUAGE", "en", 1);
}

} // namespace
