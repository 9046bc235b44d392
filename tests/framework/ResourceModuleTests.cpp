// Switching the current resource module to a second module: every lookup
// goes there, with no fallback to the program's own resources.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "TestResources.h"
#include "TestSupport.h"
#include "framework/CString.h"

namespace {

class FrameworkResourceModule : public ::testing::Test {
protected:
    FrameworkResourceModule() : m_second(TEST_SECOND_MODULE) { Events().clear(); }

    void SetUp() override { ASSERT_NE(m_second.get(), nullptr) << "FrameworkSecond.dll missing"; }

    LoadedModule m_second;
};

TEST_F(FrameworkResourceModule, StringsAndIconsComeFromTheSecondModuleOnly) {
    CurrentResourceModule current(m_second.get());
    EXPECT_EQ(AfxGetResourceHandle(), m_second.get());

    CString text;
    EXPECT_TRUE(text.LoadString(IDS_TEST_SHORT));
    EXPECT_STREQ(text, L"Kurzer Text");
    EXPECT_FALSE(text.LoadString(IDS_TEST_PROGRAM_ONLY));
    EXPECT_STREQ(text, L"");
    EXPECT_FALSE(text.LoadString(IDS_TEST_LONG));
    EXPECT_EQ(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TEST_PROGRAM_ONLY)),
              nullptr);

    // The program's own resources are still there, for the program's module.
    EXPECT_NE(::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_TEST_PROGRAM_ONLY)),
              nullptr);
}

TEST_F(FrameworkResourceModule, SheetCaptionComesFromTheModuleCurrentAtConstruction) {
    CurrentResourceModule current(m_second.get());
    CRecordingSheet sheet(false);
    EXPECT_STREQ(sheet.m_psh.pszCaption, L"Testassistent");
}

TEST_F(FrameworkResourceModule, EachPageIsBuiltFromTheModuleCurrentWhenItWasConstructed) {
    CRecordingPage programPage("program", IDD_TEST_FIRST);
    CurrentResourceModule current(m_second.get());
    CRecordingPage modulePage("module", IDD_TEST_FIRST);
    CRecordingSheet sheet;
    sheet.AddPage(&programPage);
    sheet.AddPage(&modulePage);
    EXPECT_EQ(programPage.GetResourceModule(), AfxGetInstanceHandle());
    EXPECT_EQ(modulePage.GetResourceModule(), m_second.get());
    std::wstring programLabel, moduleLabel;
    HANDLE hModulePicture = nullptr;
    ScriptedUser user(sheet);
    user.Then([&](HWND hSheet) {
            programLabel = ControlText(ActivePage(hSheet), IDC_TEST_LABEL);
            PressButton(hSheet, PSBTN_NEXT);
        })
        .Then([&](HWND hSheet) {
            HWND hPage = ActivePage(hSheet);
            moduleLabel = ControlText(hPage, IDC_TEST_LABEL);
            // The picture's bitmap, too, comes from the page's module.
            hModulePicture = reinterpret_cast<HANDLE>(
                ::SendDlgItemMessageW(hPage, IDC_TEST_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
            PressButton(hSheet, PSBTN_CANCEL);
        });

    EXPECT_EQ(sheet.DoModal(), IDCANCEL);

    EXPECT_FALSE(user.WatchdogActed());
    EXPECT_EQ(programLabel, L"First in the program");
    EXPECT_EQ(moduleLabel, L"Erste im Modul");
    EXPECT_NE(hModulePicture, nullptr);
}

TEST_F(FrameworkResourceModule, APageWhoseTemplateTheModuleLacksIsNotBuiltFromTheProgram) {
    CurrentResourceModule current(m_second.get());
    CRecordingPage first("first", IDD_TEST_FIRST);
    CRecordingPage missing("missing", IDD_TEST_PROGRAM_ONLY); // only the program has it
    CRecordingSheet sheet;
    sheet.AddPage(&first);
    sheet.AddPage(&missing);

    EXPECT_EQ(sheet.DoModal(), -1);

    EXPECT_TRUE(Events().empty()) << "no window was to be shown";
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr);
}

} // namespace
