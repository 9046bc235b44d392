// The application object as the entry point drives it.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "TestResources.h"
#include "TestSupport.h"
#include "framework/CWnd.h"

namespace {

// Each test runs the entry point's work on the one application object and
// puts back what it changes.
class FrameworkWinApp : public ::testing::Test {
protected:
    FrameworkWinApp() : m_hInstance(AfxGetInstanceHandle()), m_hResource(AfxGetResourceHandle()) {}
    ~FrameworkWinApp() override {
        CTestApp& app = TestApp();
        app.m_onInitInstance = nullptr;
        app.m_nExitCode = 0;
        app.m_nExitCalls = 0;
        app.m_pMainWnd = nullptr;
        // The entry point made these the executable's or the module's; the
        // other tests expect the executable's.
        AfxWinMain(m_hInstance, SW_SHOWNORMAL);
        app.m_nExitCalls = 0;
        AfxSetResourceHandle(m_hResource);
    }

    HINSTANCE m_hInstance;
    HINSTANCE m_hResource;
};

struct DisplayNameCase {
    const char* what;
    const wchar_t* pszModule; // null: the executable
    const wchar_t* pszExpected;
};

class FrameworkWinAppDisplayName : public FrameworkWinApp,
                                   public ::testing::WithParamInterface<DisplayNameCase> {};

TEST_P(FrameworkWinAppDisplayName, IsTheTitleStringElseTheFileNameWithoutExtension) {
    LoadedModule module(GetParam().pszModule ? GetParam().pszModule : L"kernel32.dll");
    HINSTANCE hModule = GetParam().pszModule ? module.get() : ::GetModuleHandleW(nullptr);
    ASSERT_NE(hModule, nullptr);
    HINSTANCE hInstanceAtInit = nullptr;
    HINSTANCE hResourceAtInit = nullptr;
    std::wstring nameAtInit;
    TestApp().m_onInitInstance = [&] {
        hInstanceAtInit = TestApp().m_hInstance;
        hResourceAtInit = AfxGetResourceHandle();
        nameAtInit = TestApp().m_pszAppName ? TestApp().m_pszAppName : L"(null)";
        return FALSE;
    };

    AfxWinMain(hModule, SW_SHOWNORMAL);

    EXPECT_EQ(nameAtInit, GetParam().pszExpected);
    EXPECT_EQ(hInstanceAtInit, hModule);
    EXPECT_EQ(hResourceAtInit, hModule);
    EXPECT_EQ(AfxGetInstanceHandle(), hModule);
}

INSTANTIATE_TEST_SUITE_P(Modules, FrameworkWinAppDisplayName,
                         ::testing::Values(DisplayNameCase{"WithTitleString", nullptr,
                                                           L"Framework Test Program"},
                                           DisplayNameCase{"WithoutTitleString", TEST_SECOND_MODULE,
                                                           L"FrameworkSecond"}),
                         [](const ::testing::TestParamInfo<DisplayNameCase>& info) {
                             return std::string(info.param.what);
                         });

TEST_F(FrameworkWinApp, WithoutAMessageLoopDestroysTheMainWindowAndExitsWithExitInstance) {
    HWND hMain = nullptr;
    CWnd mainWindow;
    TestApp().m_nExitCode = 23;
    TestApp().m_onInitInstance = [&] {
        hMain = ::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                  nullptr, nullptr, nullptr);
        mainWindow.Attach(hMain);
        TestApp().m_pMainWnd = &mainWindow;
        // A message loop would take this; none may run.
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 30, 0, 0);
        return FALSE;
    };

    int nExitCode = AfxWinMain(::GetModuleHandleW(nullptr), SW_SHOWNORMAL);

    EXPECT_EQ(nExitCode, 23);
    EXPECT_EQ(TestApp().m_nExitCalls, 1);
    ASSERT_NE(hMain, nullptr);
    EXPECT_FALSE(::IsWindow(hMain));
    EXPECT_EQ(mainWindow.m_hWnd, nullptr);
    EXPECT_EQ(TestApp().m_pMainWnd, nullptr);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_APP + 30, WM_APP + 30, PM_REMOVE));
}

TEST_F(FrameworkWinApp, WithAMessageLoopRunsUntilQuitThenExits) {
    TestApp().m_nExitCode = 5;
    TestApp().m_onInitInstance = [] {
        ::PostQuitMessage(0);
        return TRUE;
    };
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), SW_SHOWNORMAL), 5);
    EXPECT_EQ(TestApp().m_nExitCalls, 1);
}

TEST_F(FrameworkWinApp, HelpCommandReachesTheApplicationsMessageMap) {
    EXPECT_TRUE(TestApp().HandlesHelp());
    EXPECT_TRUE(TestApp().OnCmdMsg(ID_HELP, 0));
    EXPECT_FALSE(TestApp().OnCmdMsg(ID_HELP + 1, 0));
    EXPECT_TRUE(TestApp().Enable3dControlsStatic());
    AfxEnableControlContainer();
    EXPECT_EQ(AfxGetApp(), &TestApp());
}

// Reads the caption of this thread's message box and dismisses it.
class MessageBoxReader {
public:
    MessageBoxReader() {
        s_caption.clear();
        m_nTimer = ::SetTimer(nullptr, 0, 50, &OnTimer);
    }
    ~MessageBoxReader() { ::KillTimer(nullptr, m_nTimer); }
    static std::wstring s_caption;

private:
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM) {
        wchar_t szClass[32] = {};
        ::GetClassNameW(hWnd, szClass, 32);
        if (std::wstring(szClass) != L"#32770" || !::IsWindowVisible(hWnd))
            return TRUE;
        s_caption = WindowText(hWnd);
        ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, 0);
    }
    UINT_PTR m_nTimer;
};
std::wstring MessageBoxReader::s_caption;

TEST_F(FrameworkWinApp, MessageBoxWithoutCaptionIsTitledWithTheDisplayName) {
    AfxWinMain(::GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    std::wstring displayName = AfxGetApp()->m_pszAppName;
    ASSERT_EQ(displayName, L"Framework Test Program");
    CWnd nobody;
    {
        MessageBoxReader reader;
        EXPECT_EQ(nobody.MessageBox(L"1813"), IDOK);
    }
    EXPECT_EQ(MessageBoxReader::s_caption, displayName);
    {
        MessageBoxReader reader;
        nobody.MessageBox(L"text", L"Own caption");
    }
    EXPECT_EQ(MessageBoxReader::s_caption, L"Own caption");
}

} // namespace
