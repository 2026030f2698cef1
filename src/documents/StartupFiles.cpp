#include "documents/StartupFiles.h"

#include <windows.h>
// CommandLineToArgvW needs the base declarations first.
#include <shellapi.h>


std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine) {
  std::vector<std::wstring> arguments;
  if (commandLine == nullptr || *commandLine == L'\0') return arguments;
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(commandLine, &count);
  if (split == nullptr) return arguments;
  for (int index = 1; index < count; ++index) arguments.emplace_back(split[index]);
  LocalFree(split);
  return arguments;
}

std::vector<std::wstring> FullPathsOf(const std::vector<std::wstring>& names) {
  std::vector<std::wstring> files;
  for (const std::wstring& name : names) {
    if (name.empty()) continue;
    DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
      files.push_back(name);
      continue;
    }
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(name.c_str(), length, full.data(), nullptr));
    files.push_back(std::move(full));
  }
  return files;
}
