#include "ambience/AmbienceSounds.h"

#include "sound/SoundFolderSearch.h"

namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool HasDotDotPart(std::wstring_view name) {
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !IsSlash(name[end])) ++end;
    if (name.substr(start, end - start) == L"..") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool NameStaysInsideFolder(std::wstring_view name) {
  if (!name.empty() && IsSlash(name.front())) return false;
  if (name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == L':') return false;
  return !HasDotDotPart(name);
}

std::optional<std::wstring> GameSoundPath(const std::wstring& soundFolder, std::wstring_view name) {
  if (soundFolder.empty() || name.empty() || !NameStaysInsideFolder(name)) return std::nullopt;
  return JoinSoundPath(soundFolder, std::wstring(name));
}

AmbienceSounds LoadAmbienceSounds(std::span<const AmbientEntryValues> entries,
                                  const std::wstring& soundFolder, TimeOfDay time, SoundCache& cache) {
  AmbienceSounds loaded;
  loaded.sounds.resize(entries.size());
  loaded.lengths.resize(entries.size());
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const AmbientEntryValues& entry = entries[index];
    if (TimeOfDayFromByte(entry.timeOfDay) != time) continue;
    const int number = static_cast<int>(index);
    const std::optional<std::wstring> path = GameSoundPath(soundFolder, entry.audioFile.value_or(L""));
    if (!path) {
      loaded.problems.push_back({number, SoundCacheRefusal::CannotRead, SoundRefusal::None});
      continue;
    }
    const CachedSound cached = cache.Get(*path);
    if (!cached) {
      loaded.problems.push_back({number, cached.refusal, cached.decodeRefusal});
      continue;
    }
    loaded.lengths[index] = cached.sound->FrameCount();
    loaded.sounds[index] = cached.sound;
  }
  return loaded;
}
