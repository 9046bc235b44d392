// Text values and strings loaded from the current resource module.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "TestResources.h"
#include "framework/CString.h"
#include "framework/CWinApp.h"

namespace {

// The text of IDS_TEST_LONG, built the way the resource script was written.
std::wstring LongTestText() {
    std::wstring text;
    wchar_t szPart[64];
    for (int i = 0; i < 200; ++i) {
        swprintf(szPart, 64, L"%04d:abcdefghijklmnopqrstuvwxyz;", i);
        text += szPart;
    }
    return text;
}

struct LoadCase {
    const char* what;
    UINT nID;
    BOOL bFound;
    std::wstring expected;
};

class FrameworkStringLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(FrameworkStringLoad, ComesWholeFromTheCurrentModuleOrEmpty) {
    CString text(L"left over from before");
    EXPECT_EQ(text.LoadString(GetParam().nID), GetParam().bFound);
    EXPECT_EQ(std::wstring(text), GetParam().expected);
    EXPECT_EQ(text.GetLength(), static_cast<int>(GetParam().expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Strings, FrameworkStringLoad,
    ::testing::Values(LoadCase{"Short", IDS_TEST_SHORT, TRUE, L"Short text"},
                      LoadCase{"LongerThanAFixedBuffer", IDS_TEST_LONG, TRUE, LongTestText()},
                      LoadCase{"Missing", 4711, FALSE, L""}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.what); });

TEST(FrameworkString, LongStringIsLongerThanFourKilobytes) {
    ASSERT_GT(LongTestText().size(), 4096u);
}

TEST(FrameworkString, FormatsLikePrintfWithWideStrings) {
    struct {
        CString result;
        const wchar_t* expected;
    } cases[3];
    cases[0].result.Format(L"%d%%", 37);
    cases[0].expected = L"37%";
    cases[1].result.Format(L"%d", -5);
    cases[1].expected = L"-5";
    cases[2].result.Format(L"%s and %d", L"text", 123456789);
    cases[2].expected = L"text and 123456789";
    for (const auto& c : cases)
        EXPECT_STREQ(c.result, c.expected);

    CString wide;
    wide.Format(L"%s", LongTestText().c_str());
    EXPECT_EQ(std::wstring(wide), LongTestText());
}

TEST(FrameworkString, ComparesAndConcatenates) {
    CString a(L"Next");
    CString b = a;
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a == L"Next");
    EXPECT_TRUE(L"Next" == a);
    EXPECT_TRUE(a != L"Nex");
    EXPECT_TRUE(a != CString(L"Next "));
    EXPECT_LT(a.Compare(L"Retry"), 0);
    EXPECT_EQ(a.Compare(L"Next"), 0);
    EXPECT_GT(a.Compare(L""), 0);

    CString joined = a + L" " + CString(L"page");
    joined += L"!";
    joined += CString(L"?");
    EXPECT_STREQ(joined, L"Next page!?");

    CString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(empty, L"");
    EXPECT_TRUE(CString(nullptr).IsEmpty());
    EXPECT_FALSE(joined.IsEmpty());
}

TEST(FrameworkString, MovedFromCopiesStayUsable) {
    CString source(L"moved");
    CString target(std::move(source));
    EXPECT_STREQ(target, L"moved");
    source = L"again";
    EXPECT_STREQ(source, L"again");
}

} // namespace
