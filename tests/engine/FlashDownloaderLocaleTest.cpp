// The narrow path under the system languages the program knows. CTest runs
// these under a given glibc locale (Wine takes the system language from it)
// and names the language it expects in ENGINE_TEST_LANGID.
#include "engine/CFlashDownloader.h"
#include "tests/engine/TestSupport.h"

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

LANGID ExpectedLanguage() {
    const char* psz = std::getenv("ENGINE_TEST_LANGID");
    return psz != nullptr ? static_cast<LANGID>(std::strtoul(psz, nullptr, 16)) : 0;
}

// The locale must have taken effect, or the test would check the wrong table row.
#define ASSERT_SYSTEM_LANGUAGE(expected)                                                           \
    ASSERT_EQ(GetSystemDefaultLangID(), (expected))                                                \
        << "the system default language is not the one this test must run under"

std::string FromHex(const char* pszHex) {
    std::string bytes;
    for (const char* p = pszHex; p[0] && p[1]; p += 2)
        bytes += static_cast<char>(std::strtoul(std::string(p, 2).c_str(), nullptr, 16));
    return bytes;
}

TEST(FlashDownloaderLocale, NarrowPathIsInCodePageOfSystemLanguage) {
    const LANGID expected = ExpectedLanguage();
    ASSERT_NE(expected, 0) << "ENGINE_TEST_LANGID names no language";
    ASSERT_SYSTEM_LANGUAGE(expected);

    // Files that do not exist, so characters the code page lacks are
    // substituted (there is no short name to fall back on).
    const struct {
        LANGID langId;
        UINT nCodePage;
        const wchar_t* pszName;
        const char* pszHexBytes;
    } cases[] = {
        {0x0804, 936, L"升级固件", "c9fdbcb6b9ccbcfe"},
        {0x0804, 936, L"升级\u0e01", "c9fdbcb63f"},
        {0x0404, 950, L"韌體更新", "b6b4c5e9a7f3b773"},
        {0x0404, 950, L"更新\u0e01", "a7f3b7733f"},
        {0x0C04, 950, L"韌體更新", "b6b4c5e9a7f3b773"},
        {0x0419, 1251, L"Прошивка", "cff0eef8e8e2eae0"},
        {0x0419, 1251, L"升级", "3f3f"},
        {0x0409, 1252, L"café", "636166e9"},
        {0x0409, 1252, L"Прошивка", "3f3f3f3f3f3f3f3f"},
        // No look-alike: "cafa" could be some other file.
        {0x0409, 1252, L"caf\u0101", "6361663f"},
        {0x0419, 1251, L"caf\u0101", "6361663f"},
        {0x1004, 1252, L"升级", "3f3f"},
        {0x1004, 1252, L"café", "636166e9"},
        {0x0411, 1252, L"升级", "3f3f"},
        {0x0411, 1252, L"café", "636166e9"},
    };
    int nChecked = 0;
    for (const auto& c : cases) {
        if (c.langId != expected)
            continue;
        ++nChecked;
        CFlashDownloader downloader;
        const std::wstring path = std::wstring(L"C:\\no-such-folder\\") + c.pszName + L".bin";
        EXPECT_EQ(downloader.SetImagePath(path.c_str()), 1);
        EXPECT_EQ(___lc_codepage_func(), c.nCodePage);
        EXPECT_EQ(Hex(downloader.GetImagePathA()),
                  Hex("C:\\no-such-folder\\" + FromHex(c.pszHexBytes) + ".bin"))
            << "language " << std::hex << c.langId;
    }
    EXPECT_GT(nChecked, 0) << "no case for language " << std::hex << expected;
}

class FlashDownloaderLongPath : public EbootDoubleTest {
protected:
    // A folder and file named with Chinese characters: about 160 characters,
    // but over 259 bytes in code page 936.
    std::wstring LongChinesePath() const {
        const std::wstring name(60, L'\u5347'); // 升
        return m_folder + name + L"\\" + name + L".bin";
    }
};

TEST_F(FlashDownloaderLongPath, ExistingFileGoesToLibraryByItsShortPath) {
    ASSERT_SYSTEM_LANGUAGE(0x0804);
    const std::wstring path = LongChinesePath();
    ASSERT_LT(path.size(), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(path, "the chosen image"));
    WriteScript("progress=\nstep_ms=0\n");

    CFlashDownloader downloader;
    EXPECT_EQ(downloader.SetImagePath(path.c_str()), 1);
    const std::string narrow = downloader.GetImagePathA();
    EXPECT_LE(narrow.size(), 259u);
    std::string content;
    ASSERT_TRUE(ReadFileByNarrowPath(narrow.c_str(), &content)) << narrow;
    EXPECT_EQ(content, "the chosen image");

    downloader.Download();
    EXPECT_EQ(DownloadCalls(),
              std::vector<std::string>{"call 11 path=" + Hex(narrow) + " stop=0 cb=0"});
}

TEST_F(FlashDownloaderLongPath, MissingFileIsRefusedAndDownloadFails) {
    ASSERT_SYSTEM_LANGUAGE(0x0804);
    WriteScript("progress=\nstep_ms=0\n");
    CFlashDownloader downloader;
    ASSERT_EQ(downloader.SetImagePath(L"C:\\loads\\R530.bin"), 1);
    EXPECT_EQ(downloader.SetImagePath(LongChinesePath().c_str()), 0);
    EXPECT_STREQ(downloader.GetImagePathA(), "");
    downloader.Download();
    EXPECT_EQ(DownloadCalls(), std::vector<std::string>{"call 11 path= stop=0 cb=0"});
}

TEST_F(FlashDownloaderLongPath, UnrepresentableNameOfExistingFileGoesByShortPath) {
    ASSERT_SYSTEM_LANGUAGE(0x0409);
    const std::wstring path = m_folder + L"Прошивка R530.bin";
    ASSERT_TRUE(WriteFileBytes(path, "cyrillic image"));

    CFlashDownloader downloader;
    EXPECT_EQ(downloader.SetImagePath(path.c_str()), 1);
    const std::string narrow = downloader.GetImagePathA();
    EXPECT_EQ(narrow.find('?'), std::string::npos) << narrow;
    std::string content;
    ASSERT_TRUE(ReadFileByNarrowPath(narrow.c_str(), &content)) << narrow;
    EXPECT_EQ(content, "cyrillic image");
}

} // namespace
