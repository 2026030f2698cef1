#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "session/ShellRecentList.h"

class Settings;

// The files the user opened or saved last, most recent first, at most eight; kept in the
// settings so they survive a restart, and shown in the File menu above Exit as "&1 path" …
class RecentFiles {
 public:
  static constexpr size_t kMaxFiles = 8;
  static constexpr const wchar_t* kSettingName = L"RecentFiles";

  explicit RecentFiles(Settings& settings);

  const std::vector<std::wstring>& Files() const { return files_; }
  // Puts `path` first (moving it up when listed already) and tells the shell too.
  void Add(const std::wstring& path);
  void Remove(const std::wstring& path);

  // Rewrites the recent-file items of `fileMenu`: they stand in their own group right above
  // the group that holds Exit, and the group goes when the list is empty.
  void FillMenu(HMENU fileMenu) const;

 private:
  void Store();

  Settings& settings_;
  std::vector<std::wstring> files_;
  ShellRecentList shell_;
};

// The menu label of recent file `index` (from 0): mnemonic digit, a space, the path with its
// middle folders shortened to "..." when long, ampersands doubled.
std::wstring RecentFileLabel(size_t index, const std::wstring& path);
