#include "sound/SoundFolderSearch.h"

#include <algorithm>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring JoinSoundPath(const std::wstring& folder, const std::wstring& name) {
  std::wstring relative = name;
  std::replace(relative.begin(), relative.end(), L'/', L'\\');
  const std::size_t first = relative.find_first_not_of(L'\\');
  relative.erase(0, first == std::wstring::npos ? relative.size() : first);
  std::wstring path = folder;
  if (!path.empty() && !IsSeparator(path.back())) path += L'\\';
  return path + relative;
}

std::wstring ParentFolder(const std::wstring& folder) {
  std::wstring path = folder;
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  const std::size_t last = path.find_last_of(L"\\/");
  if (last == std::wstring::npos) return {};
  std::wstring parent = path.substr(0, last);
  // "C:" alone means the current folder of drive C; its root is "C:\".
  if (parent.size() == 2 && parent[1] == L':') return parent + L'\\';
  // "\\server" is no folder: the share "\\server\share" is the top.
  if (parent.size() >= 2 && IsSeparator(parent[0]) && IsSeparator(parent[1]) &&
      parent.find_first_of(L"\\/", 2) == std::wstring::npos)
    return {};
  return parent;
}

std::optional<std::wstring> FindSoundFolder(const std::wstring& start, const std::vector<std::wstring>& names,
                                            const std::function<bool(const std::wstring& path)>& exists,
                                            int levelsUp) {
  std::vector<const std::wstring*> named;
  for (const std::wstring& name : names) {
    if (!name.empty()) named.push_back(&name);
  }
  if (named.empty()) return std::nullopt;
  std::wstring folder = start;
  for (int level = 0; level <= levelsUp && !folder.empty(); ++level, folder = ParentFolder(folder)) {
    // Each level is looked at only until its answer is sure: half found, or too many missing
    // for half to be found (every look is a trip to the disk).
    std::size_t found = 0, missing = 0;
    for (const std::wstring* name : named) {
      (exists(JoinSoundPath(folder, *name)) ? found : missing) += 1;
      if (found * 2 >= named.size() || missing * 2 > named.size()) break;
    }
    if (found * 2 >= named.size()) return folder;
  }
  return std::nullopt;
}
