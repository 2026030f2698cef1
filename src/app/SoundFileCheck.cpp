#include "app/SoundFileCheck.h"

#include <algorithm>

#include "sound/SoundFolderSearch.h"

void SoundFileCheck::SetFolder(const std::wstring& folder) {
  if (folder == folder_) return;
  folder_ = folder;
  known_.clear();
}

std::wstring SoundFileCheck::FullPath(const std::wstring& name) const { return JoinSoundPath(folder_, name); }

std::wstring SoundFileCheck::Key(const std::wstring& name) {
  std::wstring key = name;
  std::replace(key.begin(), key.end(), L'/', L'\\');
  if (!key.empty()) CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

bool SoundFileCheck::IsMissing(const std::wstring& name) {
  if (folder_.empty() || name.empty()) return false;
  const auto [place, added] = known_.try_emplace(Key(name), false);
  if (added) {
    const DWORD attributes = GetFileAttributesW(FullPath(name).c_str());
    place->second = attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  return place->second;
}

bool SoundFileCheck::IsKnownMissing(const std::wstring& name) const {
  if (folder_.empty() || name.empty()) return false;
  const auto known = known_.find(Key(name));
  return known != known_.end() && known->second;
}
