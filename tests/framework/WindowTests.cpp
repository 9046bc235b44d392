// Window objects on plain windows: the HWND map, message maps, destruction.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/CWnd.h"

namespace {

const wchar_t kClassName[] = L"FrameworkTestWindow";
const UINT kAnsweredByWindowProc = WM_APP + 20;
const LRESULT kWindowProcAnswer = 7777;

LRESULT CALLBACK TestWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kAnsweredByWindowProc)
        return kWindowProcAnswer;
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND CreateTestWindow() {
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &TestWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return ::CreateWindowExW(0, kClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

class CBaseWindow : public CWnd {
public:
    std::vector<std::string> m_calls;
    void OnBaseCommand() { m_calls.push_back("base:command"); }
    void OnShared() { m_calls.push_back("base:shared"); }
    LRESULT OnBaseMessage(WPARAM, LPARAM) { return 11; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWindow, CWnd)
ON_COMMAND(100, &CBaseWindow::OnBaseCommand)
ON_BN_CLICKED(101, &CBaseWindow::OnShared)
ON_MESSAGE(WM_APP + 1, &CBaseWindow::OnBaseMessage)
END_MESSAGE_MAP()

class CDerivedWindow : public CBaseWindow {
public:
    void OnClicked() { m_calls.push_back("derived:clicked"); }
    void OnDerivedShared() { m_calls.push_back("derived:shared"); }
    LRESULT OnDerivedMessage(WPARAM wParam, LPARAM lParam) {
        return static_cast<LRESULT>(wParam * 100 + lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWindow, CBaseWindow)
ON_BN_CLICKED(200, &CDerivedWindow::OnClicked)
ON_BN_CLICKED(101, &CDerivedWindow::OnDerivedShared)
ON_MESSAGE(WM_APP + 2, &CDerivedWindow::OnDerivedMessage)
END_MESSAGE_MAP()

LRESULT Command(HWND hWnd, int nID, int nCode) {
    return ::SendMessageW(hWnd, WM_COMMAND, MAKEWPARAM(nID, nCode), 0);
}

TEST(FrameworkMessageMap, RoutesCommandsAndMessagesFromTheMostDerivedClassDown) {
    HWND hWnd = CreateTestWindow();
    ASSERT_NE(hWnd, nullptr);
    CDerivedWindow window;
    ASSERT_TRUE(window.Attach(hWnd));

    Command(hWnd, 200, BN_CLICKED);
    Command(hWnd, 100, 0);           // inherited from the base class's map
    Command(hWnd, 101, BN_CLICKED);  // both maps have it: the derived one wins
    Command(hWnd, 200, BN_SETFOCUS); // another notification code: no entry
    Command(hWnd, 300, BN_CLICKED);  // no entry
    EXPECT_EQ(window.m_calls,
              (std::vector<std::string>{"derived:clicked", "base:command", "derived:shared"}));

    EXPECT_EQ(::SendMessageW(hWnd, WM_APP + 2, 4, 2), 402);
    EXPECT_EQ(::SendMessageW(hWnd, WM_APP + 1, 0, 0), 11);
    // What no entry handles reaches the window's own procedure.
    EXPECT_EQ(::SendMessageW(hWnd, kAnsweredByWindowProc, 0, 0), kWindowProcAnswer);

    EXPECT_NE(window.FindCommandEntry(100, 0), nullptr);
    EXPECT_EQ(window.FindCommandEntry(100, 1), nullptr);
    EXPECT_EQ(window.FindMessageEntry(WM_APP + 3), nullptr);
    ::DestroyWindow(hWnd);
}

TEST(FrameworkWindow, FromHandleFindsTheAttachedObjectUntilTheWindowIsDestroyed) {
    HWND hWnd = CreateTestWindow();
    ASSERT_NE(hWnd, nullptr);
    CDerivedWindow window;
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    ASSERT_TRUE(window.Attach(hWnd));
    EXPECT_EQ(window.m_hWnd, hWnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), &window);

    CDerivedWindow second;
    EXPECT_FALSE(second.Attach(hWnd)) << "a window has one object";
    EXPECT_EQ(CWnd::FromHandle(hWnd), &window);

    ::DestroyWindow(hWnd);
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    EXPECT_EQ(window.GetDlgItem(1), nullptr);
}

TEST(FrameworkWindow, AnObjectDestroyedFirstLeavesAWorkingWindow) {
    HWND hWnd = CreateTestWindow();
    ASSERT_NE(hWnd, nullptr);
    {
        CDerivedWindow window;
        ASSERT_TRUE(window.Attach(hWnd));
    }
    EXPECT_TRUE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, WM_APP + 2, 4, 2), 0) << "the map left with the object";
    EXPECT_EQ(::SendMessageW(hWnd, kAnsweredByWindowProc, 0, 0), kWindowProcAnswer);
    ::DestroyWindow(hWnd);
}

TEST(FrameworkWindow, TextChildrenAndParentGoThroughTheHandle) {
    HWND hWnd = CreateTestWindow();
    ASSERT_NE(hWnd, nullptr);
    HWND hChild = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, hWnd,
                                    reinterpret_cast<HMENU>(55), nullptr, nullptr);
    CWnd window;
    CWnd child;
    ASSERT_TRUE(window.Attach(hWnd));
    ASSERT_TRUE(child.Attach(hChild));

    std::wstring longText(3000, L'x');
    EXPECT_TRUE(window.SetWindowText(longText.c_str()));
    CString read;
    EXPECT_EQ(window.GetWindowText(read), 3000);
    EXPECT_EQ(std::wstring(read), longText);

    EXPECT_EQ(window.GetDlgItem(55), hChild);
    EXPECT_EQ(window.GetDlgItem(56), nullptr);
    window.SetDlgItemText(55, L"child text");
    EXPECT_EQ(WindowText(hChild), L"child text");
    EXPECT_EQ(child.GetParent(), &window);
    EXPECT_EQ(window.GetParent(), nullptr);

    EXPECT_TRUE(window.EnableWindow(FALSE) == FALSE); // was enabled
    EXPECT_FALSE(window.IsWindowEnabled());
    window.EnableWindow(TRUE);
    window.ShowWindow(SW_SHOWNA);
    EXPECT_TRUE(window.IsWindowVisible());
    EXPECT_TRUE(window.PostMessage(WM_NULL));
    EXPECT_EQ(window.SendMessage(kAnsweredByWindowProc), kWindowProcAnswer);
    ::DestroyWindow(hWnd);
    EXPECT_EQ(child.m_hWnd, nullptr);
}

} // namespace
