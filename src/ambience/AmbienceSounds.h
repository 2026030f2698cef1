#pragma once

// The sounds of the entries of one time of day, taken from the cache: what the mixer plays, the
// lengths the schedule and the timeline use, and which entries stay silent and why.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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

// Whether the game finds `name` inside its sound folder: not with a drive letter, a leading \ or
// /, or a ".." part anywhere (the game does not resolve one, even where it would lead back in).
bool NameStaysInsideFolder(std::wstring_view name);
// Where the game looks for `name` under `soundFolder`: nothing for a name it never finds there
// (none, or one that leaves the folder), and nothing at all while no folder is known. The one answer for the
// problems (BAD006 and the file probes) and for what the preview, the timeline and the export play.
std::optional<std::wstring> GameSoundPath(const std::wstring& soundFolder, std::wstring_view name);

// Each name is found as GameSoundPath finds it; one the game cannot find is silent, as a missing
// file is. An entry without a name cannot be read.
AmbienceSounds LoadAmbienceSounds(std::span<const AmbientEntryValues> entries,
                                  const std::wstring& soundFolder, TimeOfDay time, SoundCache& cache);
