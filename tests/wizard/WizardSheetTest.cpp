// The real wizard sheet, run modally on this thread and driven by a script of
// steps from a timer inside its own message loop, with the eboot.dll double.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/CWinApp.h"
#include "res/resource.h"
#include "wizard/CMyPropertySheet.h"

namespace {

// Like the program's own application object it handles Help, so the class
// layer offers Help on every page unless the page says otherwise.
class HelpfulApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HelpfulApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

HelpfulApp theApp;

class ScriptedWizard : public CMyPropertySheet {
public:
    // A step returns true when it is done; false runs it again on the next tick.
    using Step = std::function<bool(ScriptedWizard&)>;

    explicit ScriptedWizard(std::vector<Step> steps) : m_steps(std::move(steps)) {}

    BOOL OnInitDialog() override {
        const BOOL bResult = CMyPropertySheet::OnInitDialog();
        m_hSheet = m_hWnd;
        ::SetTimer(m_hWnd, 1, 10, &ScriptedWizard::OnTick);
        m_dwStart = ::GetTickCount();
        return bResult;
    }

    HWND Button(UINT nID) const { return ::GetDlgItem(m_hSheet, static_cast<int>(nID)); }
    HWND PageItem(int nID) const {
        return ::GetDlgItem(
            reinterpret_cast<HWND>(::SendMessageW(m_hSheet, PSM_GETCURRENTPAGEHWND, 0, 0)), nID);
    }
    void Press(int nButton) { ::PostMessageW(m_hSheet, PSM_PRESSBUTTON, nButton, 0); }

    HWND m_hSheet = nullptr;
    bool m_bAllStepsDone = false;

private:
    static void CALLBACK OnTick(HWND hWnd, UINT, UINT_PTR, DWORD) {
        static_cast<ScriptedWizard*>(CWnd::FromHandle(hWnd))->Advance();
    }

    void Advance() {
        if (m_bBusy || m_nStep == m_steps.size()) {
            return;
        }
        if (::GetTickCount() - m_dwStart > 20000) {
            ADD_FAILURE() << "step " << m_nStep << " never completed";
            m_nStep = m_steps.size();
            Press(PSBTN_CANCEL);
            return;
        }
        m_bBusy = true;
        if (m_steps[m_nStep](*this)) {
            ++m_nStep;
            m_bAllStepsDone = m_nStep == m_steps.size();
        }
        m_bBusy = false;
    }

    std::vector<Step> m_steps;
    size_t m_nStep = 0;
    bool m_bBusy = false;
    DWORD m_dwStart = 0;
};

std::wstring TextOf(HWND hWnd) {
    wchar_t szText[512] = L"";
    ::GetWindowTextW(hWnd, szText, 512);
    return szText;
}

bool HasDefaultStyle(HWND hButton) {
    return (::GetWindowLongW(hButton, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

std::wstring TempFile(const wchar_t* pszName) {
    wchar_t szDir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, szDir);
    return std::wstring(szDir) + pszName;
}

// Points the double at a fresh log and the given script.
class DoubleScript {
public:
    explicit DoubleScript(const std::string& script)
        : m_log(TempFile(L"wizard_test_log.txt")), m_script(TempFile(L"wizard_test_script.txt")) {
        ::DeleteFileW(m_log.c_str());
        std::ofstream(m_script.c_str()) << script;
        ::SetEnvironmentVariableW(L"EBOOT_DOUBLE_LOG", m_log.c_str());
        ::SetEnvironmentVariableW(L"EBOOT_DOUBLE_SCRIPT", m_script.c_str());
    }
    ~DoubleScript() {
        ::SetEnvironmentVariableW(L"EBOOT_DOUBLE_LOG", nullptr);
        ::SetEnvironmentVariableW(L"EBOOT_DOUBLE_SCRIPT", nullptr);
    }
    std::vector<std::string> Lines() const {
        std::ifstream in(m_log.c_str());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    // Index of the first line that starts with prefix, or -1.
    int Find(const std::string& prefix) const {
        const std::vector<std::string> lines = Lines();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].compare(0, prefix.size(), prefix) == 0) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& line : Lines()) {
            n += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
        }
        return n;
    }

private:
    std::wstring m_log;
    std::wstring m_script;
};

ScriptedWizard::Step WaitForPage(int nIndex) {
    return [nIndex](ScriptedWizard& w) { return w.GetActiveIndex() == nIndex; };
}

ScriptedWizard::Step PressNext() {
    return [](ScriptedWizard& w) {
        w.Press(PSBTN_NEXT);
        return true;
    };
}

TEST(WizardSheet, NeitherTheSheetNorAPageOffersHelp) {
    DoubleScript script("");
    {
        const CPropertyPage probe(IDD_WELCOME);
        ASSERT_NE(0u, probe.m_psp.dwFlags & PSP_HASHELP) << "the check below could not fail";

        const CMyPropertySheet sheet;
        EXPECT_NE(0u, sheet.m_psh.dwFlags & PSH_WIZARD);
        EXPECT_EQ(0u, sheet.m_psh.dwFlags & PSH_HASHELP);
        const CPropertyPage* pages[] = {&sheet.m_page1, &sheet.m_page2, &sheet.m_page3,
                                        &sheet.m_page4, &sheet.m_page5, &sheet.m_page6};
        for (const CPropertyPage* pPage : pages) {
            EXPECT_EQ(0u, pPage->m_psp.dwFlags & PSP_HASHELP) << pPage->GetTemplateID();
        }
    }
    // A sheet whose window never existed still makes the teardown call, once.
    EXPECT_EQ(1, script.Count("call 10 "));
    EXPECT_NE(std::string::npos, script.Lines().at(0).find(" value=0"));
    EXPECT_EQ(0, script.Count("call 9"));
}

TEST(WizardSheet, OpensWithIconPropertyAndCaptionedButtons) {
    DoubleScript script("");
    ScriptedWizard wizard({[](ScriptedWizard& w) {
                               // The small icon is the one loaded at construction; no large one.
                               EXPECT_NE(nullptr, w.m_hIcon);
                               EXPECT_EQ(reinterpret_cast<LRESULT>(w.m_hIcon),
                                         ::SendMessageW(w.m_hSheet, WM_GETICON, ICON_SMALL, 0));
                               EXPECT_EQ(0, ::SendMessageW(w.m_hSheet, WM_GETICON, ICON_BIG, 0));
                               EXPECT_EQ(reinterpret_cast<HANDLE>(1),
                                         ::GetPropW(w.m_hSheet, L"Phone"));
                               EXPECT_FALSE(::IsWindowVisible(w.Button(ID_WIZBACK)));
                               EXPECT_EQ(L"Next", TextOf(w.Button(ID_WIZNEXT)));
                               EXPECT_EQ(L"Cancel", TextOf(w.Button(IDCANCEL)));
                               const HWND hHelp = ::GetDlgItem(w.m_hSheet, IDHELP);
                               EXPECT_TRUE(hHelp == nullptr || !::IsWindowVisible(hHelp));
                               return true;
                           },
                           [](ScriptedWizard& w) {
                               w.Press(PSBTN_CANCEL);
                               return true;
                           }});
    wizard.DoModal();
    EXPECT_TRUE(wizard.m_bAllStepsDone);
    EXPECT_FALSE(::IsWindow(wizard.m_hSheet));
    EXPECT_EQ(1, script.Count("call 9"));
    EXPECT_EQ(-1, script.Find("call 10")); // only when the sheet is destroyed
}

TEST(WizardSheet, ControlFunctionsReachOnlyTheSheetsButtons) {
    DoubleScript script("");
    ScriptedWizard wizard({PressNext(), WaitForPage(1), PressNext(), WaitForPage(2),
                           [](ScriptedWizard& w) {
                               // Arrival on the image file page, once the frame is done with it.
                               EXPECT_FALSE(::IsWindowEnabled(w.Button(ID_WIZNEXT)));
                               EXPECT_EQ(w.Button(IDCANCEL), ::GetFocus());
                               EXPECT_TRUE(HasDefaultStyle(w.Button(IDCANCEL)));
                               EXPECT_EQ(L"", TextOf(w.PageItem(IDC_IMAGE_PATH)));

                               // The page's own controls are not the sheet's children.
                               const HWND hBrowse = w.PageItem(IDC_BROWSE);
                               if (hBrowse == nullptr) {
                                   ADD_FAILURE() << "no Browse button on the image file page";
                                   return true;
                               }
                               EXPECT_EQ(0, w.SetItemText(L"changed", IDC_IMAGE_PATH));
                               EXPECT_EQ(0, w.EnableItem(FALSE, IDC_BROWSE));
                               EXPECT_EQ(0, w.ShowItem(SW_HIDE, IDC_BROWSE));
                               EXPECT_EQ(0, w.FocusItem(IDC_BROWSE));
                               EXPECT_EQ(0, w.EnableItem(TRUE, 4711));
                               EXPECT_EQ(L"", TextOf(w.PageItem(IDC_IMAGE_PATH)));
                               EXPECT_TRUE(::IsWindowEnabled(hBrowse));
                               EXPECT_TRUE(::IsWindowVisible(hBrowse));
                               EXPECT_EQ(w.Button(IDCANCEL), ::GetFocus());

                               EXPECT_EQ(1, w.EnableItem(TRUE, ID_WIZNEXT));
                               EXPECT_TRUE(::IsWindowEnabled(w.Button(ID_WIZNEXT)));
                               EXPECT_EQ(1, w.FocusItem(ID_WIZNEXT));
                               EXPECT_EQ(w.Button(ID_WIZNEXT), ::GetFocus());
                               EXPECT_TRUE(HasDefaultStyle(w.Button(ID_WIZNEXT)));
                               EXPECT_EQ(1, w.SetItemText(L"Go", ID_WIZNEXT));
                               EXPECT_EQ(L"Go", TextOf(w.Button(ID_WIZNEXT)));
                               EXPECT_EQ(1, w.ShowItem(SW_HIDE, ID_WIZNEXT));
                               EXPECT_FALSE(::IsWindowVisible(w.Button(ID_WIZNEXT)));
                               EXPECT_EQ(1, w.ShowItem(SW_SHOW, ID_WIZNEXT));

                               // Escape from the focused control does not cancel.
                               ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                               ::PostMessageW(::GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0010001);
                               return true;
                           },
                           [](ScriptedWizard&) { return true; }, // one tick for the keys
                           [](ScriptedWizard& w) {
                               EXPECT_TRUE(::IsWindow(w.m_hSheet));
                               EXPECT_EQ(2, w.GetActiveIndex());
                               w.Press(PSBTN_CANCEL);
                               return true;
                           }});
    wizard.DoModal();
    EXPECT_TRUE(wizard.m_bAllStepsDone);
}

// Reports go on for a while after the stop flag is set; the sheet's
// destruction must outlast them, and entry point 10 comes first.
TEST(WizardSheet, CancelDuringTransferWaitsForTheThreadBeforeMembersGo) {
    DoubleScript script("progress=0,5,10\nstep_ms=20\nhold=1\nstop=honour\nafter_stop_ms=1500\n");
    auto wizard = std::make_unique<ScriptedWizard>(
        std::vector<ScriptedWizard::Step>{[](ScriptedWizard& w) {
                                              w.m_downloader.SetImagePath(L"C:\\image.bin");
                                              ::PostMessageW(w.m_hSheet, PSM_SETCURSEL, 4, 0);
                                              return true;
                                          },
                                          [&script](ScriptedWizard& w) {
                                              if (script.Find("progress 10") < 0) {
                                                  return false;
                                              }
                                              EXPECT_EQ(-1, script.Find("stop-seen"));
                                              w.Press(PSBTN_CANCEL);
                                              return true;
                                          }});
    wizard->DoModal();
    ASSERT_TRUE(wizard->m_bAllStepsDone);
    EXPECT_FALSE(::IsWindow(wizard->m_hSheet)); // closed before anything waits
    EXPECT_EQ(-1, script.Find("return 11"));

    const DWORD dwStart = ::GetTickCount();
    wizard.reset();
    const DWORD dwElapsed = ::GetTickCount() - dwStart;

    const int nRelease = script.Find("call 10");
    const int nReturn = script.Find("return 11");
    ASSERT_NE(-1, nRelease);
    ASSERT_NE(-1, nReturn) << "the transfer was still running when the members were destroyed";
    EXPECT_LT(nRelease, nReturn);
    EXPECT_NE(-1, script.Find("stop-seen"));
    EXPECT_GE(dwElapsed, 1000u);
    EXPECT_LT(dwElapsed, CMyPropertySheet::kTeardownWaitMs);
}

// A library that never lets go: the members cannot be destroyed safely, so
// the process ends at the bound instead of hanging or crashing.
TEST(WizardSheetDeathTest, LibraryIgnoringTheStopFlagEndsTheProcessAtTheBound) {
    const DWORD dwStart = ::GetTickCount();
    EXPECT_EXIT(
        {
            DoubleScript script(
                "progress=0,5\nstep_ms=20\nhold=1\nstop=ignore\nafter_stop_ms=60000\n");
            {
                ScriptedWizard wizard({[](ScriptedWizard& w) {
                                           w.m_downloader.SetImagePath(L"C:\\image.bin");
                                           ::PostMessageW(w.m_hSheet, PSM_SETCURSEL, 4, 0);
                                           return true;
                                       },
                                       [&script](ScriptedWizard& w) {
                                           if (script.Find("progress 5") < 0) {
                                               return false;
                                           }
                                           w.Press(PSBTN_CANCEL);
                                           return true;
                                       }});
                wizard.DoModal();
            }
            ::ExitProcess(99); // the destructor returned with the thread still inside the library
        },
        ::testing::ExitedWithCode(0), "");
    // Generous: the child's own start-up is included; the library would hold for a minute.
    EXPECT_LT(::GetTickCount() - dwStart, 20000u);
}

} // namespace
