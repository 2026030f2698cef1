#include "session/RecentFiles.h"

#include <algorithm>

#include "session/Settings.h"
#include "resources/ResourceIds.h"

namespace {

// Paths longer than this lose their middle folders in the menu, so it stays readable.
constexpr size_t kLabelPathLength = 60;

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

bool IsRecentId(UINT id) { return id >= CMD_FILE_MRU_FIRST && id <= CMD_FILE_MRU_LAST; }

bool IsSeparator(HMENU menu, int position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  return GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) && (info.fType & MFT_SEPARATOR) != 0;
}

int PositionOf(HMENU menu, UINT id) {
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    if (GetMenuItemID(menu, position) == id) return position;
  }
  return -1;
}

// Removes the recent-file items and the separator that closes their group.
void RemoveRecentItems(HMENU menu) {
  for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
    if (!IsRecentId(GetMenuItemID(menu, position))) continue;
    const bool lastOfGroup = !IsRecentId(GetMenuItemID(menu, position + 1));
    if (lastOfGroup && IsSeparator(menu, position + 1)) DeleteMenu(menu, static_cast<UINT>(position + 1), MF_BYPOSITION);
    DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
  }
}

std::wstring ShortenedPath(const std::wstring& path) {
  if (path.size() <= kLabelPathLength) return path;
  const size_t nameStart = path.find_last_of(L"\\/");
  const size_t rootEnd = path.find_first_of(L"\\/", path.compare(0, 2, L"\\\\") == 0 ? 2 : 0);
  if (nameStart == std::wstring::npos || rootEnd == std::wstring::npos || rootEnd >= nameStart) return path;
  return path.substr(0, rootEnd + 1) + L"..." + path.substr(nameStart);
}

}  // namespace

std::wstring RecentFileLabel(size_t index, const std::wstring& path) {
  std::wstring label = L"&" + std::to_wstring(index + 1) + L" ";
  for (wchar_t c : ShortenedPath(path)) {
    if (c == L'&') label += L'&';
    label += c;
  }
  return label;
}

RecentFiles::RecentFiles(Settings& settings) : settings_(settings) {
  // A damaged list may hold anything; only the first eight distinct names are taken.
  for (const std::wstring& path : settings_.GetStringList(kSettingName)) {
    if (files_.size() == kMaxFiles) break;
    if (std::none_of(files_.begin(), files_.end(), [&](const std::wstring& f) { return SamePath(f, path); }))
      files_.push_back(path);
  }
}

void RecentFiles::Add(const std::wstring& path) {
  if (path.empty()) return;
  std::erase_if(files_, [&](const std::wstring& f) { return SamePath(f, path); });
  files_.insert(files_.begin(), path);
  if (files_.size() > kMaxFiles) files_.resize(kMaxFiles);
  Store();
  shell_.Add(path);
}

void RecentFiles::Remove(const std::wstring& path) {
  if (std::erase_if(files_, [&](const std::wstring& f) { return SamePath(f, path); }) > 0) Store();
}

void RecentFiles::Store() { settings_.SetStringList(kSettingName, files_); }

void RecentFiles::FillMenu(HMENU fileMenu) const {
  if (fileMenu == nullptr) return;
  RemoveRecentItems(fileMenu);
  if (files_.empty()) return;
  // The group goes between the separator above Exit and Exit, closed by a separator of its own.
  int position = PositionOf(fileMenu, CMD_APP_EXIT);
  if (position == -1) position = GetMenuItemCount(fileMenu);
  for (size_t index = 0; index < files_.size(); ++index) {
    const std::wstring label = RecentFileLabel(index, files_[index]);
    InsertMenuW(fileMenu, static_cast<UINT>(position + static_cast<int>(index)), MF_BYPOSITION | MF_STRING,
                CMD_FILE_MRU_FIRST + index, label.c_str());
  }
  InsertMenuW(fileMenu, static_cast<UINT>(position + static_cast<int>(files_.size())), MF_BYPOSITION | MF_SEPARATOR,
              0, nullptr);
}
