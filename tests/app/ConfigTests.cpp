// Config.ini's Language value on an English system: a pack it names is
// loaded whatever the system language; a value that names nothing loadable
// leaves the program's own English set, silently.
#include "StartupTest.h"

#include "Files.h"
#include "RemoteWindow.h"

using namespace wizdriver;

namespace startup {
namespace {

using StartupConfig = StartupTest;

constexpr wchar_t kOwnTitle[] = L"KALDREN R530 Updater";
constexpr wchar_t kOwnWelcomeTitle[] = L"Welcome to Kaldren Phone Load Updater";

void ExpectTheProgramsOwnEnglishSet(const WelcomeTexts& shown) {
    EXPECT_EQ(kOwnTitle, shown.title);
    EXPECT_EQ(L"Next", shown.next);
    EXPECT_EQ(L"Cancel", shown.cancel);
    ASSERT_FALSE(shown.page.empty());
    EXPECT_EQ(kOwnWelcomeTitle, shown.page.front());
}

TEST_F(StartupConfig, LanguageValueNamesThePackOrLeavesTheProgramsOwnSet) {
    ASSERT_EQ(0x0409, GetSystemDefaultLangID()) << "these cases need an English system";
    struct Case {
        std::string value;
        const wchar_t* pack; // null: the program's own set, no pack loaded
    };
    const Case cases[] = {
        {"Language.0804.dll", L"Language.0804.dll"},
        {"Language.0419.dll", L"Language.0419.dll"},
        {"NoSuchPack.dll", nullptr},
        {"Language.0804.dll" + std::string(183, 'x'), nullptr}, // 200 characters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("Language=" + c.value);
        ASSERT_NO_FATAL_FAILURE(WriteConfig(c.value));
        ASSERT_NO_FATAL_FAILURE(StartWizard());

        const std::wstring module = InFolder(c.pack ? c.pack : kProgramName);
        const std::vector<std::wstring> packs =
            c.pack ? std::vector<std::wstring>{Lower(module)} : std::vector<std::wstring>{};
        bool readable = false;
        EXPECT_EQ(packs, PacksLoadedIn(m_wizard.ProcessId(), &readable));
        EXPECT_TRUE(readable) << "the wizard's modules could not be listed";

        const WelcomeTexts expected = ExpectedWelcome(module);
        const WelcomeTexts shown = ShownWelcome(m_wizard);
        EXPECT_TRUE(expected == shown) << "expected\n"
                                       << Describe(expected) << "shown\n"
                                       << Describe(shown);
        if (c.pack) {
            // Otherwise the comparison could not tell the pack from the own set.
            EXPECT_FALSE(ExpectedWelcome(InFolder(kProgramName)) == expected);
        } else {
            ExpectTheProgramsOwnEnglishSet(shown);
        }
        ExpectOnlyTheWizardShown();
        ASSERT_NO_FATAL_FAILURE(CloseWizard());
    }
}

// The value is read into 128 characters: a longer one counts by its first 127.
// Those 127 name a real pack here, so one character more or less loads nothing.
TEST_F(StartupConfig, LongValueCountsByItsFirst127Characters) {
    const std::wstring tail = L"\\Language.0804.dll";
    const std::wstring base = m_folder + L"\\";
    ASSERT_LT(base.size() + tail.size(), 127u) << "the run folder's path is too long";
    const std::wstring padding(127 - base.size() - tail.size(), L'p');
    const std::wstring folder = base + padding;
    const std::wstring pack = folder + tail;
    ASSERT_EQ(127u, pack.size());
    ASSERT_TRUE(blackbox::MakeFolders(folder));
    ASSERT_TRUE(CopyFileW(InFolder(L"Language.0804.dll").c_str(), pack.c_str(), FALSE));

    ASSERT_NO_FATAL_FAILURE(WriteConfig(Utf8(pack) + std::string(200 - 127, 'z')));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    EXPECT_EQ(std::vector<std::wstring>{Lower(pack)}, PacksLoadedIn(m_wizard.ProcessId()));
    const WelcomeTexts expected = ExpectedWelcome(pack);
    const WelcomeTexts shown = ShownWelcome(m_wizard);
    EXPECT_TRUE(expected == shown) << "expected\n"
                                   << Describe(expected) << "shown\n"
                                   << Describe(shown);
    ExpectOnlyTheWizardShown();
}

} // namespace
} // namespace startup
