#pragma once

#include <string>

// The full path of `path` as the current folder gives it; `path` itself when it cannot be made.
std::wstring FullPath(const std::wstring& path);

// Whether `path` names a folder (a file or nothing is none).
bool IsFolder(const std::wstring& path);
