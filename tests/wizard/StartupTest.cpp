// Start-up and shutdown of the application object, run in this process: the
// test executable holds no page templates, so no wizard window can open.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "app/CUpdaterApp.h"

namespace {

std::wstring BesideThisExe(const wchar_t* pszName) {
    wchar_t szPath[MAX_PATH];
    ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath);
    return path.substr(0, path.find_last_of(L'\\') + 1) + pszName;
}

// Config.ini beside the executable for the life of the object.
class ConfigFile {
public:
    explicit ConfigFile(const std::string& contents) : m_path(BesideThisExe(L"Config.ini")) {
        std::ofstream(m_path.c_str()) << contents;
    }
    ~ConfigFile() { ::DeleteFileW(m_path.c_str()); }

private:
    std::wstring m_path;
};

const wchar_t kTestPack[] = L"TestPack.0409.dll"; // copied beside the tests by the build

TEST(Startup, SheetWindowThatCannotBeCreatedLeavesNoMainWindowBehind) {
    ::DeleteFileW(BesideThisExe(L"Config.ini").c_str());
    CUpdaterApp app;
    EXPECT_EQ(nullptr, app.m_hInstance);
    EXPECT_FALSE(app.InitInstance());
    // No pack here for this system's language; the sheet found no templates.
    EXPECT_EQ(nullptr, app.m_hInstance);
    EXPECT_EQ(nullptr, app.m_pMainWnd) << "names a sheet that no longer exists";
    EXPECT_EQ(::GetModuleHandleW(nullptr), AfxGetResourceHandle());
}

TEST(Startup, SecondCopyLoadsThePackAndUnloadsItOnceOnTheWayOut) {
    ConfigFile config("[Config]\r\nLanguage=TestPack.0409.dll\r\n");
    // Another copy is running.
    const HANDLE hFirstCopy = ::CreateSemaphoreW(nullptr, 1, 1, L"Phone");
    ASSERT_NE(nullptr, hFirstCopy);

    CUpdaterApp app;
    EXPECT_FALSE(app.InitInstance());
    const HMODULE hPack = ::GetModuleHandleW(kTestPack);
    ASSERT_NE(nullptr, hPack);
    EXPECT_EQ(hPack, app.m_hInstance);
    EXPECT_EQ(hPack, AfxGetResourceHandle());

    EXPECT_EQ(0, app.ExitInstance());
    EXPECT_EQ(nullptr, app.m_hInstance);
    EXPECT_EQ(nullptr, ::GetModuleHandleW(kTestPack)) << "the pack is still loaded";
    EXPECT_EQ(::GetModuleHandleW(nullptr), AfxGetResourceHandle());
    // Nothing left to unload a second time.
    EXPECT_EQ(0, app.ExitInstance());
    ::CloseHandle(hFirstCopy);
}

TEST(Startup, ObjectOfAnotherKindNamedPhoneEndsStartupAfterThePackLoaded) {
    ConfigFile config("[Config]\r\nLanguage=TestPack.0409.dll\r\n");
    const HANDLE hMutex = ::CreateMutexW(nullptr, FALSE, L"Phone");
    ASSERT_NE(nullptr, hMutex);

    CUpdaterApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_NE(nullptr, app.m_hInstance);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    app.ExitInstance();
    EXPECT_EQ(nullptr, ::GetModuleHandleW(kTestPack));
    ::CloseHandle(hMutex);
}

} // namespace
