// Wizards built from the test templates, driven as a user drives them.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <process.h>

#include <algorithm>
#include <cctype>

#include "TestResources.h"
#include "TestSupport.h"

namespace {

using Events_t = std::vector<std::string>;

class FrameworkSheet : public ::testing::Test {
protected:
    FrameworkSheet()
        : m_pageA("A", IDD_TEST_FIRST), m_pageB("B", IDD_TEST_SECOND),
          m_pageC("C", IDD_TEST_THIRD_EX) {
        Events().clear();
        m_sheet.AddPage(&m_pageA);
        m_sheet.AddPage(&m_pageB);
        m_sheet.AddPage(&m_pageC);
    }

    CRecordingPage m_pageA;
    CRecordingPage m_pageB;
    CRecordingPage m_pageC;
    CRecordingSheet m_sheet;
};

TEST_F(FrameworkSheet, OpensThenRoutesEachStepToThePagesInOrder) {
    CWnd* pMainDuringRun = nullptr;
    HWND hSheetSeen = nullptr;
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) {
            pMainDuringRun = AfxGetApp()->m_pMainWnd;
            hSheetSeen = hSheet;
            Record("user:next");
            PressButton(hSheet, PSBTN_NEXT);
        })
        .Then([](HWND hSheet) {
            Record("user:next");
            PressButton(hSheet, PSBTN_NEXT);
        })
        .Then([](HWND hSheet) {
            Record("user:cancel");
            PressButton(hSheet, PSBTN_CANCEL);
        });

    INT_PTR nResult = m_sheet.DoModal();
    Record("returned");

    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_FALSE(user.WatchdogActed());
    EXPECT_EQ(pMainDuringRun, &m_sheet);
    EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr);
    EXPECT_TRUE(m_sheet.m_bButtonsExistedAtInit);
    EXPECT_TRUE(m_sheet.m_bPageExistedAtInit);
    EXPECT_FALSE(::IsWindow(hSheetSeen));
    EXPECT_EQ(CWnd::FromHandle(hSheetSeen), nullptr);
    EXPECT_EQ(m_sheet.m_hWnd, nullptr);
    EXPECT_EQ(m_pageA.m_hWnd, nullptr);
    EXPECT_EQ(m_pageA.m_progress.m_hWnd, nullptr);
    EXPECT_EQ(
        Events(),
        (Events_t{"A:init",      "A:ddx",        "A:setactive",     "sheet:init", "user:next",
                  "A:wiznext",   "A:killactive", "B:init",          "B:ddx",      "B:setactive",
                  "user:next",   "B:wiznext",    "B:killactive",    "C:init",     "C:ddx",
                  "C:setactive", "user:cancel",  "C:querycancel",   "A:reset",    "A:cancel",
                  "B:reset",     "B:cancel",     "C:reset",         "C:cancel",   "A:destroyed",
                  "B:destroyed", "C:destroyed",  "sheet:destroyed", "returned"}));
}

struct WizardNextCase {
    const char* what;
    LRESULT nResult;
    int nExpectedIndex;
};

class FrameworkSheetWizardNext : public FrameworkSheet,
                                 public ::testing::WithParamInterface<WizardNextCase> {};

TEST_P(FrameworkSheetWizardNext, ResultOfTheHandlerDecidesWhereTheWizardGoes) {
    m_pageA.m_nWizardNext = GetParam().nResult;
    int nIndexAfter = -2;
    ScriptedUser user(m_sheet);
    user.Then([](HWND hSheet) { PressButton(hSheet, PSBTN_NEXT); }).Then([&](HWND hSheet) {
        nIndexAfter = m_sheet.GetActiveIndex();
        PressButton(hSheet, PSBTN_CANCEL);
    });

    m_sheet.DoModal();

    EXPECT_FALSE(user.WatchdogActed());
    EXPECT_EQ(nIndexAfter, GetParam().nExpectedIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Results, FrameworkSheetWizardNext,
    ::testing::Values(WizardNextCase{"zero moves on", 0, 1},
                      WizardNextCase{"minus one stays", -1, 0},
                      WizardNextCase{"a page's template shows it", IDD_TEST_THIRD_EX, 2},
                      WizardNextCase{"a number naming no page stays", 1, 0},
                      WizardNextCase{"a template of no page of this sheet stays",
                                     IDD_TEST_PROGRAM_ONLY, 0}),
    [](const ::testing::TestParamInfo<WizardNextCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// A button the user cannot press, pressed anyway by PSM_PRESSBUTTON (which
// Wine's frame carries out regardless).
struct UnpressableCase {
    const char* what;
    std::function<void(HWND hButton)> makeUnpressable;
};

class FrameworkSheetUnpressableNext : public FrameworkSheet,
                                      public ::testing::WithParamInterface<UnpressableCase> {};

TEST_P(FrameworkSheetUnpressableNext, NeverReachesOnWizardNext) {
    int nIndexAfter = -1;
    ScriptedUser user(m_sheet);
    user.Then([](HWND hSheet) {
            GetParam().makeUnpressable(::GetDlgItem(hSheet, ID_WIZNEXT));
            PressButton(hSheet, PSBTN_NEXT);
        })
        .Then([&](HWND hSheet) {
            nIndexAfter = m_sheet.GetActiveIndex();
            PressButton(hSheet, PSBTN_CANCEL);
        });

    m_sheet.DoModal();

    EXPECT_EQ(nIndexAfter, 0);
    EXPECT_EQ(std::count(Events().begin(), Events().end(), "A:wiznext"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    States, FrameworkSheetUnpressableNext,
    ::testing::Values(
        UnpressableCase{"Disabled", [](HWND hButton) { ::EnableWindow(hButton, FALSE); }},
        UnpressableCase{"Hidden", [](HWND hButton) { ::ShowWindow(hButton, SW_HIDE); }}),
    [](const ::testing::TestParamInfo<UnpressableCase>& info) {
        return std::string(info.param.what);
    });

TEST_F(FrameworkSheet, FinishingEndsTheRunWithoutResettingThePages) {
    ScriptedUser user(m_sheet);
    user.Then([](HWND hSheet) { PropSheet_SetWizButtons(hSheet, PSWIZB_FINISH); })
        .Then([](HWND hSheet) { PressButton(hSheet, PSBTN_FINISH); });

    EXPECT_EQ(m_sheet.DoModal(), ID_WIZFINISH);

    EXPECT_FALSE(user.WatchdogActed());
    EXPECT_EQ(std::count(Events().begin(), Events().end(), "A:reset"), 0);
    EXPECT_EQ(m_sheet.m_hWnd, nullptr);
}

TEST_F(FrameworkSheet, PagesRefuseActivationLeavingAndCancellingThroughTheirResults) {
    m_pageA.m_bAllowLeaving = FALSE;
    m_pageB.m_bAcceptActivation = FALSE;
    m_pageA.m_bAllowCancel = FALSE;
    std::vector<int> indices;
    ScriptedUser user(m_sheet);
    user.Then([](HWND hSheet) { PressButton(hSheet, PSBTN_NEXT); }) // A will not be left
        .Then([&](HWND hSheet) {
            indices.push_back(m_sheet.GetActiveIndex());
            m_pageA.m_bAllowLeaving = TRUE;
            PressButton(hSheet, PSBTN_NEXT); // B refuses: the frame goes on to C
        })
        .Then([&](HWND hSheet) {
            indices.push_back(m_sheet.GetActiveIndex());
            m_pageC.m_bAllowCancel = FALSE;
            PressButton(hSheet, PSBTN_CANCEL); // C refuses to be cancelled
        })
        .Then([&](HWND hSheet) {
            indices.push_back(m_sheet.GetActiveIndex());
            m_pageC.m_bAllowCancel = TRUE;
            PressButton(hSheet, PSBTN_CANCEL);
        });

    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);

    EXPECT_FALSE(user.WatchdogActed());
    EXPECT_EQ(indices, (std::vector<int>{0, 2, 2}));
    // Only the pages that were given a window hear of the cancel, and only
    // once the cancel was allowed.
    auto count = [](const std::string& event) {
        return std::count(Events().begin(), Events().end(), event);
    };
    EXPECT_EQ(count("C:querycancel"), 2);
    EXPECT_EQ(count("A:reset"), 1);
    EXPECT_EQ(count("B:reset"), 1);
    EXPECT_EQ(count("C:reset"), 1);
}

// The ways a user closes the wizard other than the Escape key.
struct CloseCase {
    const char* what;
    std::function<void(HWND)> close;
};

class FrameworkSheetClose : public FrameworkSheet,
                            public ::testing::WithParamInterface<CloseCase> {};

TEST_P(FrameworkSheetClose, AsksTheActivePageThenResetsEveryPageWithAWindowThenEnds) {
    ScriptedUser user(m_sheet);
    user.Then([](HWND hSheet) { PressButton(hSheet, PSBTN_NEXT); })
        .Then([](HWND) { Events().clear(); })
        .Then([](HWND hSheet) { GetParam().close(hSheet); });

    INT_PTR nResult = m_sheet.DoModal();
    Record("returned");

    EXPECT_FALSE(user.WatchdogActed());
    EXPECT_EQ(nResult, IDCANCEL);
    // C never had a window: it is neither asked nor reset.
    EXPECT_EQ(Events(), (Events_t{"B:querycancel", "A:reset", "A:cancel", "B:reset", "B:cancel",
                                  "A:destroyed", "B:destroyed", "sheet:destroyed", "returned"}));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, FrameworkSheetClose,
    ::testing::Values(
        CloseCase{"CancelButton", [](HWND hSheet) { PressButton(hSheet, PSBTN_CANCEL); }},
        CloseCase{
            "CancelButtonClicked",
            [](HWND hSheet) { ::SendMessageW(::GetDlgItem(hSheet, IDCANCEL), BM_CLICK, 0, 0); }},
        CloseCase{"CloseBox",
                  [](HWND hSheet) { ::PostMessageW(hSheet, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        CloseCase{"CloseMessage", [](HWND hSheet) { ::PostMessageW(hSheet, WM_CLOSE, 0, 0); }}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.what); });

// Where the focus is when the user presses Escape.
struct FocusCase {
    const char* what;
    std::function<HWND(HWND hSheet)> target;
};

class FrameworkSheetEscape : public FrameworkSheet,
                             public ::testing::WithParamInterface<FocusCase> {};

void PressEscapeOn(HWND hTarget) {
    ::SetFocus(hTarget);
    HWND hFocus = ::GetFocus();
    ::PostMessageW(hFocus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageW(hFocus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

TEST_P(FrameworkSheetEscape, SwallowedByPreTranslateMessageWhereverTheFocusIs) {
    m_sheet.m_bSwallowEscape = true;
    HWND hTarget = nullptr;
    HWND hFocusBefore = nullptr;
    int nIndexAfter = -1;
    bool bOpenAfter = false;
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) {
            hTarget = GetParam().target(hSheet);
            PressEscapeOn(hTarget);
            hFocusBefore = ::GetFocus();
        })
        .Then([&](HWND hSheet) {
            bOpenAfter = ::IsWindowVisible(hSheet) && ActivePage(hSheet) != nullptr;
            nIndexAfter = m_sheet.GetActiveIndex();
            PressButton(hSheet, PSBTN_CANCEL);
        });

    m_sheet.DoModal();

    ASSERT_NE(hTarget, nullptr);
    EXPECT_EQ(hFocusBefore, hTarget);
    EXPECT_TRUE(bOpenAfter);
    EXPECT_EQ(nIndexAfter, 0);
    EXPECT_EQ(m_sheet.m_nEscapesSeen, 1);
    EXPECT_EQ(std::count(Events().begin(), Events().end(), "A:querycancel"), 1)
        << "only the final Cancel may reach the page";
}

TEST_P(FrameworkSheetEscape, CancelsTheWizardWhenNotSwallowed) {
    bool bClosedByEscape = false;
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) { PressEscapeOn(GetParam().target(hSheet)); }).Then([&](HWND) {
        bClosedByEscape = true;
    });

    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);

    EXPECT_FALSE(user.WatchdogActed());
    EXPECT_FALSE(bClosedByEscape) << "the wizard was still open a tick after Escape";
    EXPECT_EQ(m_sheet.m_nEscapesSeen, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Focus, FrameworkSheetEscape,
    ::testing::Values(
        FocusCase{"PageEdit",
                  [](HWND hSheet) { return ::GetDlgItem(ActivePage(hSheet), IDC_TEST_EDIT); }},
        FocusCase{"PageButton",
                  [](HWND hSheet) { return ::GetDlgItem(ActivePage(hSheet), IDC_TEST_BUTTON); }},
        FocusCase{"NextButton", [](HWND hSheet) { return ::GetDlgItem(hSheet, ID_WIZNEXT); }},
        FocusCase{"CancelButton", [](HWND hSheet) { return ::GetDlgItem(hSheet, IDCANCEL); }}),
    [](const ::testing::TestParamInfo<FocusCase>& info) { return std::string(info.param.what); });

// Cancels the wizard with a message sent from another thread, then waits for
// the modal run to end; if it does not, wakes the wizard's thread with a
// posted message and says so.
struct CrossThreadCancel {
    HWND hSheet = nullptr;
    HANDLE hReturned = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool bNeededWakeUp = false;
    ~CrossThreadCancel() { ::CloseHandle(hReturned); }

    static unsigned __stdcall Run(void* pThis) {
        CrossThreadCancel& self = *static_cast<CrossThreadCancel*>(pThis);
        ::SendMessageW(self.hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        if (::WaitForSingleObject(self.hReturned, 2000) == WAIT_TIMEOUT) {
            self.bNeededWakeUp = true;
            ::PostMessageW(self.hSheet, WM_NULL, 0, 0);
        }
        return 0;
    }
};

TEST_F(FrameworkSheet, EndsWhenAnotherThreadCancelsItWithASentMessage) {
    CrossThreadCancel cancel;
    HANDLE hThread = nullptr;
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) {
        // No more timer messages: nothing posted may wake the modal run.
        user.Stop();
        cancel.hSheet = hSheet;
        hThread = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, &CrossThreadCancel::Run, &cancel, 0, nullptr));
    });

    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
    ::SetEvent(cancel.hReturned);

    ASSERT_NE(hThread, nullptr);
    EXPECT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    EXPECT_FALSE(cancel.bNeededWakeUp) << "the modal run missed the cancel until a message came";
}

TEST_F(FrameworkSheet, PagesRouteCommandsAndPrivateMessagesThroughTheirMessageMaps) {
    LRESULT nPrivate = 0;
    LRESULT nUnmapped = -1;
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) {
            HWND hPage = ActivePage(hSheet);
            ::SendMessageW(::GetDlgItem(hPage, IDC_TEST_BUTTON), BM_CLICK, 0, 0);
            nPrivate = ::SendMessageW(hPage, WM_APP + 5, 40, 2);
            nUnmapped = ::SendMessageW(hPage, WM_APP + 6, 40, 2);
        })
        .Then([](HWND hSheet) { PressButton(hSheet, PSBTN_CANCEL); });

    m_sheet.DoModal();

    EXPECT_EQ(nPrivate, 42);
    EXPECT_EQ(nUnmapped, 0);
    EXPECT_EQ(std::count(Events().begin(), Events().end(), "A:press"), 1);
    EXPECT_EQ(std::count(Events().begin(), Events().end(), "A:private"), 1);
}

TEST_F(FrameworkSheet, PagesUseTheFramesFontWhateverTheirTemplateNames) {
    CRecordingPage pageD("D", IDD_TEST_FOURTH); // a template without a font of its own
    m_sheet.AddPage(&pageD);
    std::vector<std::wstring> faces;
    std::vector<bool> plain;
    std::wstring sheetFace;
    auto readFont = [&](HWND hWnd) {
        LOGFONTW lf = {};
        HFONT hFont = reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
        ::GetObjectW(hFont, sizeof(lf), &lf);
        return lf;
    };
    auto readPage = [&](HWND hSheet) {
        LOGFONTW lf = readFont(ActivePage(hSheet));
        faces.push_back(lf.lfFaceName);
        plain.push_back(lf.lfWeight < FW_BOLD && !lf.lfItalic);
    };
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) {
            sheetFace = readFont(hSheet).lfFaceName;
            readPage(hSheet);
            PressButton(hSheet, PSBTN_NEXT);
        })
        .Then([&](HWND hSheet) { PressButton(hSheet, PSBTN_NEXT); })
        .Then([&](HWND hSheet) {
            readPage(hSheet); // the extended template with a bold font
            PressButton(hSheet, PSBTN_NEXT);
        })
        .Then([&](HWND hSheet) {
            readPage(hSheet);
            PressButton(hSheet, PSBTN_CANCEL);
        });

    m_sheet.DoModal();

    ASSERT_FALSE(sheetFace.empty());
    EXPECT_EQ(faces, (std::vector<std::wstring>{sheetFace, sheetFace, sheetFace}));
    EXPECT_EQ(plain, (std::vector<bool>{true, true, true}));
}

TEST_F(FrameworkSheet, HelpFlagsFollowTheApplicationsHelpCommandAndCanBeCleared) {
    // The test program's application handles ID_HELP.
    EXPECT_TRUE(AfxGetApp()->HandlesHelp());
    EXPECT_TRUE(CRecordingPage("X", IDD_TEST_FIRST).m_psp.dwFlags & PSP_HASHELP);
    EXPECT_TRUE(CPropertySheet(L"X").m_psh.dwFlags & PSH_HASHELP);
    m_pageA.m_psp.dwFlags &= ~PSP_HASHELP;
    m_pageB.m_psp.dwFlags &= ~PSP_HASHELP;
    m_pageC.m_psp.dwFlags &= ~PSP_HASHELP;
    bool bHelpVisible = true;
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) {
        bHelpVisible = ::IsWindowVisible(::GetDlgItem(hSheet, IDHELP));
        PressButton(hSheet, PSBTN_CANCEL);
    });

    m_sheet.DoModal();

    EXPECT_FALSE(bHelpVisible);
}

// Refuses the creation of every top-level window of this thread while it exists.
class CreationBlocker {
public:
    CreationBlocker() {
        s_hHook = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~CreationBlocker() { ::UnhookWindowsHookEx(s_hHook); }

private:
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) {
        if (nCode == HCBT_CREATEWND) {
            const CBT_CREATEWNDW* pCreate = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
            if (!(pCreate->lpcs->style & WS_CHILD))
                return 1;
        }
        return ::CallNextHookEx(s_hHook, nCode, wParam, lParam);
    }
    static HHOOK s_hHook;
};
HHOOK CreationBlocker::s_hHook = nullptr;

TEST_F(FrameworkSheet, ReturnsWhenTheSheetWindowCannotBeCreated) {
    HWND hOwner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(hOwner, nullptr);
    CWnd owner;
    ASSERT_TRUE(owner.Attach(hOwner));
    CRecordingSheet sheet;
    CRecordingPage page("P", IDD_TEST_FIRST);
    sheet.AddPage(&page);
    sheet.m_psh.hwndParent = hOwner;
    AfxGetApp()->m_pMainWnd = &sheet;

    INT_PTR nResult;
    {
        CreationBlocker blocker;
        nResult = sheet.DoModal();
    }

    EXPECT_EQ(nResult, -1);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr)
        << "a sheet that never opened stays the main window";
    EXPECT_TRUE(::IsWindowEnabled(hOwner));
    EXPECT_TRUE(Events().empty());
    ::DestroyWindow(hOwner);
}

TEST_F(FrameworkSheet, DisablesItsOwnerWhileItRunsAndGivesItBack) {
    HWND hOwner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100,
                                    100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hOwner, nullptr);
    m_sheet.m_psh.hwndParent = hOwner;
    bool bOwnerEnabledDuringRun = true;
    HWND hSheetOwner = nullptr;
    ScriptedUser user(m_sheet);
    user.Then([&](HWND hSheet) {
        bOwnerEnabledDuringRun = ::IsWindowEnabled(hOwner);
        hSheetOwner = ::GetWindow(hSheet, GW_OWNER);
        PressButton(hSheet, PSBTN_CANCEL);
    });

    m_sheet.DoModal();

    EXPECT_FALSE(bOwnerEnabledDuringRun);
    EXPECT_EQ(hSheetOwner, hOwner);
    EXPECT_TRUE(::IsWindowEnabled(hOwner));
    ::DestroyWindow(hOwner);
}

} // namespace
