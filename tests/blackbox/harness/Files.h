// Small file helpers for the folders a test prepares.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace blackbox {

std::wstring ModuleFolder(); // the test program's folder, with no trailing backslash
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
bool FileExists(const std::wstring& path);
bool RemoveTree(const std::wstring& path);
bool MakeFolders(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const std::string& bytes);
// Reads a file that another process may be appending to.
std::string ReadSharedFile(const std::wstring& path);
std::vector<std::wstring> FilesIn(const std::wstring& folder);
std::wstring Widen(const std::string& utf8);

// A path's bytes in a code page, without the terminator: what the library
// receives as the request's path.
std::vector<unsigned char> NarrowPath(const std::wstring& path, UINT codePage);

} // namespace blackbox
