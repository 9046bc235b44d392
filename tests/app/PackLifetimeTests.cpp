// The pack stays loaded for exactly the life of the wizard: loaded once before
// it, unloaded once after its window has gone, by the program itself rather
// than by the process ending; a second copy loads and unloads it too.
#include "StartupTest.h"

#include "RemoteWindow.h"

using namespace wizdriver;

namespace startup {
namespace {

using StartupPackLifetime = StartupTest;

TEST_F(StartupPackLifetime, UnloadedOnceAfterTheWizardHasGoneAlsoInASecondCopy) {
    ASSERT_NO_FATAL_FAILURE(WriteConfig("RecordingPack.dll"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    const std::string first = std::to_string(m_wizard.ProcessId());
    EXPECT_EQ(std::vector<std::wstring>{Lower(InFolder(kRecordingPackName))},
              PacksLoadedIn(m_wizard.ProcessId()));
    const std::vector<std::string> whileRunning{"attach pid=" + first};
    EXPECT_TRUE(Stays([&] { return PackLog() == whileRunning; }, 500));

    blackbox::ChildProcess& secondCopy = Start();
    ASSERT_TRUE(secondCopy.WaitForExit(kShortRunMs)) << "the second copy did not end";
    const std::string second = std::to_string(secondCopy.Id());
    const std::vector<std::string> afterSecond{whileRunning[0], "attach pid=" + second,
                                               "detach pid=" + second + " by=unload wizard=0"};
    EXPECT_EQ(afterSecond, PackLog());
    ASSERT_TRUE(m_wizard.Exists());

    const HWND wizard = m_wizard.Handle();
    ASSERT_TRUE(m_wizard.Click(kCancelId));
    bool windowOutlivedPack = false;
    const bool ended = WaitUntil(
        [&] {
            const bool unloaded = PackLog().size() > afterSecond.size();
            windowOutlivedPack = windowOutlivedPack || (unloaded && IsWindow(wizard));
            return !m_processes.front()->Running();
        },
        kShortRunMs, 5);
    ASSERT_TRUE(ended) << "the wizard's copy did not end";
    EXPECT_FALSE(windowOutlivedPack) << "the pack was unloaded while the wizard's window existed";
    std::vector<std::string> all = afterSecond;
    all.push_back("detach pid=" + first + " by=unload wizard=0");
    EXPECT_EQ(all, PackLog());
}

} // namespace
} // namespace startup
