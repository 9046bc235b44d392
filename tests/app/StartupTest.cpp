#include "StartupTest.h"

#include "DialogTemplate.h"
#include "Files.h"
#include "PackResources.h"
#include "RemoteWindow.h"
#include "RunFolder.h"

#include <psapi.h>

#include <algorithm>
#include <cwctype>

using namespace wizdriver;

namespace startup {

namespace {

constexpr UINT kWelcomeTemplate = 129;
constexpr UINT kNextString = 104;
constexpr UINT kCancelString = 111;

std::wstring StageFolder() {
    return blackbox::JoinPath(blackbox::ModuleFolder(), L"stage");
}

} // namespace

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

namespace {

bool IsPackName(const std::wstring& lowerName) {
    const bool language = lowerName.rfind(L"language.", 0) == 0 && lowerName.size() > 4 &&
                          lowerName.compare(lowerName.size() - 4, 4, L".dll") == 0;
    return language || lowerName == Lower(kRecordingPackName);
}

bool IsPictureControl(const ControlState& control) {
    return (control.style & SS_TYPEMASK) == SS_BITMAP;
}

} // namespace

WelcomeTexts ExpectedWelcome(const std::wstring& module) {
    const DialogTemplate welcome = DialogTemplate::Read(module, kWelcomeTemplate);
    return {welcome.caption, blackbox::ModuleString(module, kNextString),
            blackbox::ModuleString(module, kCancelString), welcome.texts};
}

WelcomeTexts ShownWelcome(const WizardWindow& wizard) {
    const WizardState state = wizard.State();
    WelcomeTexts shown{state.caption, state.next.text, state.cancel.text, {}};
    for (const ControlState& control : state.controls) {
        if (!IsPictureControl(control))
            shown.page.push_back(control.text);
    }
    return shown;
}

std::string Describe(const WelcomeTexts& texts) {
    std::string out = "title \"" + Utf8(texts.title) + "\" next \"" + Utf8(texts.next) +
                      "\" cancel \"" + Utf8(texts.cancel) + "\"\n";
    for (const std::wstring& text : texts.page)
        out += "  \"" + Utf8(text) + "\"\n";
    return out;
}

bool operator==(const WelcomeTexts& a, const WelcomeTexts& b) {
    return a.title == b.title && a.next == b.next && a.cancel == b.cancel && a.page == b.page;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    std::vector<HWND> windows;
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd && IsWindow(hwnd);
         hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == processId && IsWindowVisible(hwnd))
            windows.push_back(hwnd);
    }
    return windows;
}

std::vector<std::wstring> PacksLoadedIn(DWORD processId, bool* readable) {
    std::vector<std::wstring> packs;
    if (readable)
        *readable = false;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return packs;
    HMODULE modules[512];
    DWORD needed = 0;
    if (EnumProcessModules(process, modules, sizeof(modules), &needed)) {
        if (readable)
            *readable = true;
        const DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 512);
        for (DWORD i = 0; i < count; ++i) {
            wchar_t path[MAX_PATH] = L"";
            if (GetModuleFileNameExW(process, modules[i], path, MAX_PATH) == 0)
                continue;
            const std::wstring lower = Lower(path);
            const size_t slash = lower.find_last_of(L"\\/");
            if (IsPackName(slash == std::wstring::npos ? lower : lower.substr(slash + 1)))
                packs.push_back(lower);
        }
    }
    CloseHandle(process);
    std::sort(packs.begin(), packs.end());
    return packs;
}

std::vector<HWND> PhoneWindows() {
    std::vector<HWND> windows;
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd && IsWindow(hwnd);
         hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (GetPropW(hwnd, L"Phone"))
            windows.push_back(hwnd);
    }
    return windows;
}

void StartupTest::SetUp() {
    m_folder = blackbox::FreshRunFolder();
    ASSERT_FALSE(m_folder.empty());
    const std::vector<std::wstring> staged = blackbox::FilesIn(StageFolder());
    ASSERT_FALSE(staged.empty()) << "nothing staged in the test program's stage folder";
    for (const std::wstring& name : staged)
        ASSERT_TRUE(CopyFileW(blackbox::JoinPath(StageFolder(), name).c_str(),
                              InFolder(name).c_str(), FALSE));
    m_packLog = InFolder(L"pack-log.txt");
    ASSERT_TRUE(PhoneWindows().empty()) << "a wizard from elsewhere is running";
}

void StartupTest::TearDown() {
    if (HasFailure())
        std::printf("--- what was seen\n%s", Diagnostics().c_str());
    for (auto& process : m_processes)
        process->Kill();
}

void StartupTest::WriteConfig(const std::string& languageValue) {
    ASSERT_TRUE(blackbox::WriteTextFile(InFolder(L"Config.ini"),
                                        "[Config]\r\nLanguage=" + languageValue + "\r\n"));
}

std::wstring StartupTest::InFolder(const std::wstring& name) const {
    return blackbox::JoinPath(m_folder, name);
}

blackbox::ChildProcess& StartupTest::Start() {
    m_processes.push_back(std::make_unique<blackbox::ChildProcess>());
    blackbox::ChildProcess& process = *m_processes.back();
    const std::wstring output =
        InFolder(L"output-" + std::to_wstring(m_processes.size()) + L".txt");
    EXPECT_TRUE(process.Start(
        InFolder(kProgramName), m_folder,
        {{L"RECORDING_PACK_LOG", m_packLog}, {L"EBOOT_DOUBLE_LOG", InFolder(L"eboot-log.txt")}},
        output))
        << "could not start the program";
    return process;
}

void StartupTest::StartWizard() {
    blackbox::ChildProcess& process = Start();
    ASSERT_TRUE(process.Running());
    m_wizard = WizardWindow::WaitForWizard(kStartTimeoutMs);
    ASSERT_TRUE(m_wizard.Exists()) << "no window with the property Phone";
    ASSERT_EQ(process.Id(), m_wizard.ProcessId());
    ASSERT_TRUE(
        WaitUntil([&] { return IsWindowVisible(m_wizard.Handle()) != FALSE; }, kShortRunMs));
    ASSERT_TRUE(m_wizard.WaitForPage(0, kShortRunMs));
}

void StartupTest::ExpectOnlyTheWizardShown() {
    const std::vector<HWND> wizardOnly{m_wizard.Handle()};
    EXPECT_TRUE(Stays([&] { return VisibleWindowsOf(m_wizard.ProcessId()) == wizardOnly; }, 700))
        << VisibleWindowsOf(m_wizard.ProcessId()).size() << " windows shown";
}

void StartupTest::CloseWizard() {
    blackbox::ChildProcess* owner = nullptr;
    for (auto& process : m_processes) {
        if (process->Id() == m_wizard.ProcessId())
            owner = process.get();
    }
    ASSERT_NE(nullptr, owner) << "the wizard belongs to no copy this test started";
    ASSERT_TRUE(m_wizard.Click(kCancelId));
    EXPECT_TRUE(owner->WaitForExit(kShortRunMs)) << "the wizard's copy did not end";
    owner->Kill();
}

std::vector<std::string> StartupTest::PackLog() const {
    std::vector<std::string> lines;
    const std::string text = blackbox::ReadSharedFile(m_packLog);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string StartupTest::Diagnostics() const {
    std::string text;
    if (m_wizard.Exists())
        text += wizdriver::Describe(m_wizard.State());
    text += "--- pack log\n" + blackbox::ReadSharedFile(m_packLog);
    for (size_t i = 1; i <= m_processes.size(); ++i)
        text += "--- output of copy " + std::to_string(i) + "\n" +
                blackbox::ReadSharedFile(InFolder(L"output-" + std::to_wstring(i) + L".txt"));
    return text;
}

} // namespace startup
