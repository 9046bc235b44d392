// The open-file dialog: its settings, its filter list and a real run.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "framework/CFileDialog.h"

namespace {

struct FilterCase {
    const char* what;
    const wchar_t* pszFilter;
    std::wstring expected; // with its NULs
};

class FrameworkFileDialogFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FrameworkFileDialogFilter, BarsBecomeNulsAndTheListEndsWithTwo) {
    std::wstring list = CFileDialog::MakeFilterList(GetParam().pszFilter);
    EXPECT_EQ(list, GetParam().expected);
    if (!list.empty()) {
        ASSERT_GE(list.size(), 2u);
        EXPECT_EQ(list[list.size() - 1], L'\0');
        EXPECT_EQ(list[list.size() - 2], L'\0');
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Filters, FrameworkFileDialogFilter,
    ::testing::Values(FilterCase{"TwoPairs", L"Bin Files(*.bin)|*.bin|All Files(*.*)|*.*||",
                                 L"Bin Files(*.bin)\0*.bin\0All Files(*.*)\0*.*\0\0\0\0"s},
                      FilterCase{"WithoutClosingBars", L"Text|*.txt", L"Text\0*.txt\0\0"s},
                      FilterCase{"SeveralPatterns", L"Images|*.bmp;*.ico||",
                                 L"Images\0*.bmp;*.ico\0\0\0\0"s},
                      FilterCase{"Empty", L"", L""}, FilterCase{"None", nullptr, L""}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.what); });

TEST(FrameworkFileDialog, TakesItsSettingsIntoTheDialogStructure) {
    CFileDialog dialog(TRUE, L"bin", L"Flash", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"Bin Files(*.bin)|*.bin|All Files(*.*)|*.*||");
    EXPECT_STREQ(dialog.m_ofn.lpstrFile, L"Flash");
    EXPECT_EQ(dialog.m_ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_STREQ(dialog.m_ofn.lpstrDefExt, L"bin");
    EXPECT_STREQ(dialog.m_ofn.lpstrFilter, L"Bin Files(*.bin)");
    EXPECT_EQ(dialog.m_ofn.nFilterIndex, 1u);
    EXPECT_EQ(dialog.m_ofn.Flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(dialog.m_ofn.Flags & (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST), 0u);
    EXPECT_EQ(dialog.m_ofn.lpstrInitialDir, nullptr);
    EXPECT_EQ(dialog.m_ofn.lpstrTitle, nullptr);
}

// Finds this thread's open-file dialog from a timer tick and acts on it.
class FileDialogUser {
public:
    using Action = std::function<void(HWND hDialog)>;
    explicit FileDialogUser(Action action) {
        s_action = std::move(action);
        s_done = false;
        m_nTimer = ::SetTimer(nullptr, 0, 100, &OnTimer);
    }
    ~FileDialogUser() { ::KillTimer(nullptr, m_nTimer); }

private:
    static BOOL CALLBACK FindDialog(HWND hWnd, LPARAM) {
        wchar_t szClass[32] = {};
        ::GetClassNameW(hWnd, szClass, 32);
        if (std::wstring(szClass) != L"#32770" || !::IsWindowVisible(hWnd))
            return TRUE;
        s_done = true;
        s_action(hWnd);
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (!s_done)
            ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, 0);
    }
    static Action s_action;
    static bool s_done;
    UINT_PTR m_nTimer;
};
FileDialogUser::Action FileDialogUser::s_action;
bool FileDialogUser::s_done = false;

class FrameworkFileDialogRun : public ::testing::Test {
protected:
    void SetUp() override {
        m_hOwner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100,
                                     100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hOwner, nullptr);
        ASSERT_TRUE(m_owner.Attach(m_hOwner));
        TestApp().m_pMainWnd = &m_owner;
        wchar_t szDir[MAX_PATH];
        ::GetTempPathW(MAX_PATH, szDir);
        m_path = std::wstring(szDir) + L"framework-dialog-test.bin";
        HANDLE hFile =
            ::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
        ::CloseHandle(hFile);
    }
    void TearDown() override {
        TestApp().m_pMainWnd = nullptr;
        ::DestroyWindow(m_hOwner);
        ::DeleteFileW(m_path.c_str());
    }

    HWND m_hOwner = nullptr;
    CWnd m_owner;
    std::wstring m_path;
};

TEST_F(FrameworkFileDialogRun, ChoosingAFileReturnsOkWithItsPathAndTheMainWindowAsDisabledOwner) {
    HWND hDialogOwner = nullptr;
    bool bOwnerEnabledMeanwhile = true;
    std::wstring shownName;
    FileDialogUser user([&](HWND hDialog) {
        hDialogOwner = ::GetWindow(hDialog, GW_OWNER);
        bOwnerEnabledMeanwhile = ::IsWindowEnabled(m_hOwner);
        shownName = ControlText(hDialog, cmb13);
        ::SetDlgItemTextW(hDialog, cmb13, m_path.c_str());
        ::PostMessageW(hDialog, WM_COMMAND, IDOK, 0);
    });
    CFileDialog dialog(TRUE, L"bin", L"Flash", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"Bin Files(*.bin)|*.bin|All Files(*.*)|*.*||");

    EXPECT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(hDialogOwner, m_hOwner);
    EXPECT_FALSE(bOwnerEnabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(m_hOwner));
    EXPECT_EQ(shownName, L"Flash");
    EXPECT_EQ(std::wstring(dialog.GetPathName()), m_path);
    EXPECT_STREQ(dialog.GetFileName(), L"framework-dialog-test.bin");
}

TEST_F(FrameworkFileDialogRun, CancellingReturnsCancel) {
    FileDialogUser user([](HWND hDialog) { ::PostMessageW(hDialog, WM_COMMAND, IDCANCEL, 0); });
    CFileDialog dialog(TRUE, L"bin", L"Flash");

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(::IsWindowEnabled(m_hOwner));
}

} // namespace
