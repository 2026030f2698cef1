#pragma once

// The sounds of the entries of one time of day, taken from the cache: what the mixer plays, the
// lengths the schedule and the timeline use, and which entries stay silent and why.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ambience/SoundCache.h"
#include "format/AmbientFile.h"
#include "format/TimeOfDay.h"

struct AmbienceSoundProblem {
  int entry = 0;
  SoundCacheRefusal refusal = SoundCacheRefusal::None;
  SoundRefusal decodeRefusal = SoundRefusal::None;

  bool operator==(const AmbienceSoundProblem&) const = default;
};

struct AmbienceSounds {
  // One element per entry; null and 0 for entries of other times and for those refused.
  std::vector<std::shared_ptr<const AmbienceSound>> sounds;
  std::vector<std::int64_t> lengths;
  // The entries of the time whose sound could not be had, in list order.
  std::vector<AmbienceSoundProblem> problems;
};

// Each name is joined to `soundFolder` as the game does. An entry without a name cannot be read.
AmbienceSounds LoadAmbienceSounds(std::span<const AmbientEntryValues> entries,
                                  const std::wstring& soundFolder, TimeOfDay time, SoundCache& cache);
