// Where start-up looks for Config.ini and which pack it picks by language.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "app/CUpdaterApp.h"

namespace {

// The path buffer between guards, so reads before it and writes past it show.
struct GuardedPath {
    wchar_t before[4];
    wchar_t path[MAX_PATH];
    wchar_t after[4];
};

GuardedPath MakeGuarded(const std::wstring& modulePath) {
    GuardedPath guarded;
    wmemset(guarded.before, L'\\', 4); // a backslash here must never be found
    wmemset(guarded.path, L'#', MAX_PATH);
    wmemset(guarded.after, L'#', 4);
    wcsncpy(guarded.path, modulePath.c_str(), MAX_PATH);
    return guarded;
}

bool AfterUntouched(const GuardedPath& guarded) {
    for (wchar_t c : guarded.after) {
        if (c != L'#') {
            return false;
        }
    }
    return true;
}

TEST(ConfigPath, SitsBesideTheExecutable) {
    struct Case {
        std::wstring module;
        std::wstring config;
    } cases[] = {
        {L"C:\\Program Files\\Kaldren\\KALDREN_R530_Updater.exe",
         L"C:\\Program Files\\Kaldren\\Config.ini"},
        {L"C:\\KALDREN_R530_Updater.exe", L"C:\\Config.ini"},
        {L"\\\\server\\share\\u.exe", L"\\\\server\\share\\Config.ini"},
        {L"C:\\dir\\", L"C:\\dir\\Config.ini"},
    };
    for (const Case& c : cases) {
        GuardedPath guarded = MakeGuarded(c.module);
        ASSERT_TRUE(CUpdaterApp::MakeConfigPath(guarded.path)) << c.module.c_str();
        EXPECT_EQ(c.config, std::wstring(guarded.path));
    }
}

TEST(ConfigPath, NoDirectoryIsRefusedWithoutLookingBeforeThePath) {
    for (const wchar_t* module : {L"KALDREN_R530_Updater.exe", L"x", L""}) {
        GuardedPath guarded = MakeGuarded(module);
        EXPECT_FALSE(CUpdaterApp::MakeConfigPath(guarded.path)) << module;
        EXPECT_TRUE(AfterUntouched(guarded));
    }
}

TEST(ConfigPath, LongestDirectoryThatFitsAndOneTooLong) {
    const size_t nName = std::wcslen(L"Config.ini");
    // Directory with its backslash, then the name and the terminator: 260.
    const std::wstring fits = L"C:\\" + std::wstring(MAX_PATH - nName - 1 - 4, L'd') + L"\\";
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - nName - 1), fits.size());

    GuardedPath guarded = MakeGuarded(fits + L"u.exe");
    ASSERT_TRUE(CUpdaterApp::MakeConfigPath(guarded.path));
    EXPECT_EQ(fits + L"Config.ini", std::wstring(guarded.path));
    EXPECT_TRUE(AfterUntouched(guarded));

    const std::wstring tooLong = L"C:\\" + std::wstring(MAX_PATH - nName - 4, L'd') + L"\\";
    guarded = MakeGuarded(tooLong + L"u.exe");
    EXPECT_FALSE(CUpdaterApp::MakeConfigPath(guarded.path));
    EXPECT_TRUE(AfterUntouched(guarded));
}

TEST(ConfigPath, UnterminatedBufferIsRefused) {
    GuardedPath guarded = MakeGuarded(L"");
    wmemset(guarded.path, L'\\', MAX_PATH);
    EXPECT_FALSE(CUpdaterApp::MakeConfigPath(guarded.path));
    EXPECT_TRUE(AfterUntouched(guarded));
}

TEST(LanguagePack, WholeIdentifierDecides) {
    struct Case {
        LANGID langId;
        const wchar_t* pack;
    } cases[] = {
        {0x0404, L"Language.0C04.dll"}, // Chinese (Taiwan)
        {0x0C04, L"Language.0C04.dll"}, // Chinese (Hong Kong)
        {0x0804, L"Language.0804.dll"}, // Chinese (PRC)
        {0x0419, L"Language.0419.dll"}, // Russian
        {0x1004, L"Language.0409.dll"}, // Chinese (Singapore)
        {0x1404, L"Language.0409.dll"}, // Chinese (Macao)
        {0x0819, L"Language.0409.dll"}, // Russian (Moldova)
        {0x0409, L"Language.0409.dll"}, {0x0411, L"Language.0409.dll"},
        {0x0000, L"Language.0409.dll"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.pack, CUpdaterApp::PackForLanguage(c.langId)) << std::hex << c.langId;
    }
}

} // namespace
