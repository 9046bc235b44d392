#include "RunFolder.h"

#include "Files.h"

#include <gtest/gtest.h>

namespace blackbox {

std::wstring FreshRunFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "run";
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    }
    const std::wstring folder = JoinPath(JoinPath(ModuleFolder(), L"runs"), Widen(name));
    RemoveTree(folder);
    return MakeFolders(folder) ? folder : std::wstring();
}

} // namespace blackbox
