// What the user sees when the language pack in use lacks an item: an empty
// text or an empty picture, never the program's own version of the item.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

#include "framework/CPropertyPage.h"
#include "framework/CPropertySheet.h"
#include "framework/CString.h"
#include "framework/CWinApp.h"
#include "res/resource.h"

namespace {

CWinApp g_app;

class PackModule {
public:
    PackModule() : m_hModule(::LoadLibraryW(L"IncompletePack.dll")) {}
    ~PackModule() {
        AfxSetResourceHandle(nullptr);
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }
    PackModule(const PackModule&) = delete;
    PackModule& operator=(const PackModule&) = delete;
    HINSTANCE get() const { return m_hModule; }

private:
    HINSTANCE m_hModule;
};

// A wizard that hands its first page to a test as soon as the frame has
// built it, then cancels itself.
class CInspectedSheet : public CPropertySheet {
public:
    explicit CInspectedSheet(std::function<void(HWND)> inspect)
        : CPropertySheet(IDS_WIZARD_CAPTION), m_inspect(std::move(inspect)) {
        m_psh.dwFlags |= PSH_WIZARD;
    }

    BOOL OnInitDialog() override {
        CPropertySheet::OnInitDialog();
        m_inspect(reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND)));
        PostMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
        return TRUE;
    }

private:
    std::function<void(HWND)> m_inspect;
};

HANDLE PictureOf(HWND hPage, int nIndex) {
    HWND hControl = ::GetWindow(hPage, GW_CHILD);
    for (int i = 0; hControl && i < nIndex; ++i)
        hControl = ::GetWindow(hControl, GW_HWNDNEXT);
    return reinterpret_cast<HANDLE>(::SendMessageW(hControl, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

std::wstring TextOf(HWND hPage, int nIndex) {
    HWND hControl = ::GetWindow(hPage, GW_CHILD);
    for (int i = 0; hControl && i < nIndex; ++i)
        hControl = ::GetWindow(hControl, GW_HWNDNEXT);
    wchar_t text[128] = {};
    ::GetWindowTextW(hControl, text, 128);
    return text;
}

TEST(ResourcePackGaps, AStringThePackLacksLoadsEmptyThoughTheProgramHasIt) {
    PackModule pack;
    ASSERT_NE(pack.get(), nullptr) << "IncompletePack.dll missing";
    CString text;
    ASSERT_TRUE(text.LoadString(IDS_FINISH)) << "the program's own set carries it";
    EXPECT_STREQ(text, L"Finish");

    AfxSetResourceHandle(pack.get());
    EXPECT_FALSE(text.LoadString(IDS_FINISH));
    EXPECT_STREQ(text, L"");
    ASSERT_TRUE(text.LoadString(IDS_RETRY));
    EXPECT_STREQ(text, L"Pack retry");
    CInspectedSheet sheet([](HWND) {});
    EXPECT_STREQ(sheet.m_psh.pszCaption, L"Pack wizard");
}

TEST(ResourcePackGaps, APictureWhoseBitmapThePackLacksShowsNothing) {
    PackModule pack;
    ASSERT_NE(pack.get(), nullptr) << "IncompletePack.dll missing";
    AfxSetResourceHandle(pack.get());
    CPropertyPage page(IDD_GETTING_STARTED);
    HANDLE hHandset = nullptr, hInfoMark = nullptr;
    std::wstring heading;
    bool inspected = false;
    CInspectedSheet sheet([&](HWND hPage) {
        inspected = true;
        hHandset = PictureOf(hPage, 0);
        heading = TextOf(hPage, 1);
        hInfoMark = PictureOf(hPage, 2);
    });
    sheet.AddPage(&page);

    EXPECT_EQ(sheet.DoModal(), IDCANCEL);

    ASSERT_TRUE(inspected);
    EXPECT_EQ(heading, L"First steps from the pack");
    EXPECT_NE(hHandset, nullptr) << "the bitmap the pack carries shows";
    EXPECT_EQ(hInfoMark, nullptr) << "the program's own bitmap 135 must not stand in";
}

} // namespace
