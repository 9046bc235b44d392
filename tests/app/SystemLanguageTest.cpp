// With nothing usable in Config.ini the system's default language picks the
// pack. One run of this program per locale (STARTUP_LOCALE names it), since a
// process's system language comes from its environment.
#include "StartupTest.h"

#include "Files.h"

#include <cstdlib>

namespace startup {
namespace {

struct LocaleCase {
    const char* locale;
    LANGID systemLanguage;
    const wchar_t* pack;
};

const LocaleCase kLocales[] = {
    {"en_US", 0x0409, L"Language.0409.dll"}, {"ru_RU", 0x0419, L"Language.0419.dll"},
    {"zh_TW", 0x0404, L"Language.0C04.dll"}, {"zh_HK", 0x0C04, L"Language.0C04.dll"},
    {"zh_CN", 0x0804, L"Language.0804.dll"}, {"zh_SG", 0x1004, L"Language.0409.dll"},
};

const LocaleCase* CaseOfThisRun() {
    const char* locale = std::getenv("STARTUP_LOCALE");
    for (const LocaleCase& c : kLocales) {
        if (locale && std::string(locale) == c.locale)
            return &c;
    }
    return nullptr;
}

using StartupSystemLanguage = StartupTest;

TEST_F(StartupSystemLanguage, PicksThePackWhenConfigNamesNone) {
    const LocaleCase* locale = CaseOfThisRun();
    ASSERT_NE(nullptr, locale) << "STARTUP_LOCALE names no known locale";
    ASSERT_EQ(locale->systemLanguage, GetSystemDefaultLangID())
        << "the system language is not that of " << locale->locale
        << ": was the glibc locale made (LOCPATH, LANG)?";

    struct ConfigCase {
        const char* what;
        const char* contents; // null: no Config.ini
    };
    const ConfigCase configs[] = {
        {"no Config.ini", nullptr},
        {"empty value", "[Config]\r\nLanguage=\r\n"},
        {"no such key", "[Config]\r\nLanguages=Language.0419.dll\r\n"},
        {"no such section", "[Settings]\r\nLanguage=Language.0419.dll\r\n"},
    };
    const std::wstring pack = InFolder(locale->pack);
    for (const ConfigCase& config : configs) {
        SCOPED_TRACE(config.what);
        DeleteFileW(InFolder(L"Config.ini").c_str());
        if (config.contents) {
            ASSERT_TRUE(blackbox::WriteTextFile(InFolder(L"Config.ini"), config.contents));
        }
        ASSERT_NO_FATAL_FAILURE(StartWizard());

        EXPECT_EQ(std::vector<std::wstring>{Lower(pack)}, PacksLoadedIn(m_wizard.ProcessId()));
        const WelcomeTexts expected = ExpectedWelcome(pack);
        const WelcomeTexts shown = ShownWelcome(m_wizard);
        EXPECT_TRUE(expected == shown) << "expected\n"
                                       << Describe(expected) << "shown\n"
                                       << Describe(shown);
        ExpectOnlyTheWizardShown();
        ASSERT_NO_FATAL_FAILURE(CloseWizard());
    }
}

} // namespace
} // namespace startup
