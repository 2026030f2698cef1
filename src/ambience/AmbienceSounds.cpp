#include "ambience/AmbienceSounds.h"

#include "sound/SoundFolderSearch.h"

AmbienceSounds LoadAmbienceSounds(std::span<const AmbientEntryValues> entries,
                                  const std::wstring& soundFolder, TimeOfDay time, SoundCache& cache) {
  AmbienceSounds loaded;
  loaded.sounds.resize(entries.size());
  loaded.lengths.resize(entries.size());
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const AmbientEntryValues& entry = entries[index];
    if (TimeOfDayFromByte(entry.timeOfDay) != time) continue;
    const int number = static_cast<int>(index);
    if (!entry.audioFile || entry.audioFile->empty()) {
      loaded.problems.push_back({number, SoundCacheRefusal::CannotRead, SoundRefusal::None});
      continue;
    }
    const CachedSound cached = cache.Get(JoinSoundPath(soundFolder, *entry.audioFile));
    if (!cached) {
      loaded.problems.push_back({number, cached.refusal, cached.decodeRefusal});
      continue;
    }
    loaded.lengths[index] = cached.sound->FrameCount();
    loaded.sounds[index] = cached.sound;
  }
  return loaded;
}
