// A fresh folder per test under the test program's folder, named after the
// test, so that a failed run can be looked at afterwards.
#pragma once

#include <string>

namespace blackbox {

// runs\<suite>.<test>, emptied; empty when it could not be made.
std::wstring FreshRunFolder();

} // namespace blackbox
