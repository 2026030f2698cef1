#include "soundfolder/SoundFileCheck.h"

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
    // A file that is there but cannot be asked about (held without sharing, access denied) is
    // not missing: the problems say why it cannot be read.
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    place->second = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                    (error == ERROR_SUCCESS && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  }
  return place->second;
}

bool SoundFileCheck::ShowMissing(const std::vector<std::wstring>& names) {
  std::set<std::wstring> missing;
  for (const std::wstring& name : names) {
    if (IsMissing(name)) missing.insert(Key(name));
  }
  if (missing == shown_ && shownFolder_ == folder_) return false;
  shown_ = std::move(missing);
  shownFolder_ = folder_;
  return true;
}

bool SoundFileCheck::IsShownMissing(const std::wstring& name) const {
  return !name.empty() && !shownFolder_.empty() && shown_.count(Key(name)) != 0;
}
