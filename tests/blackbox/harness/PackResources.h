// Reads and edits the resources of a module file without running it: the
// expected texts come from the very file the wizard loads.
#pragma once

#include <windows.h>

#include <string>

namespace blackbox {

// String id of the module at path; found says whether the module has it.
std::wstring ModuleString(const std::wstring& path, UINT id, bool* found = nullptr);
bool HasIconGroup(const std::wstring& path, UINT id);
// Deletes icon group id (in every language it has) and its images.
bool RemoveIconGroup(const std::wstring& path, UINT id, std::string* error = nullptr);

} // namespace blackbox
