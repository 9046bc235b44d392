#include "engine/CFlashDownloader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(FlashDownloaderCodePage, WholeLanguageIdentifierChoosesLocaleAndCodePage) {
    const struct {
        LANGID langId;
        const char* pszLocale;
        UINT nCodePage;
    } cases[] = {
        {0x0404, ".950", 950},   {0x0C04, ".950", 950},   {0x0804, ".936", 936},
        {0x0419, ".1251", 1251}, {0x0409, ".1252", 1252}, {0x1004, ".1252", 1252},
        {0x1404, ".1252", 1252}, {0x0411, ".1252", 1252}, {0x0819, ".1252", 1252},
        {0x0004, ".1252", 1252}, {0x0000, ".1252", 1252}, {0xFFFF, ".1252", 1252},
    };
    for (const auto& c : cases) {
        const CodePageChoice choice = CodePageForLanguage(c.langId);
        EXPECT_STREQ(choice.pszLocale, c.pszLocale) << std::hex << c.langId;
        EXPECT_EQ(choice.nCodePage, c.nCodePage) << std::hex << c.langId;
    }
}

} // namespace
