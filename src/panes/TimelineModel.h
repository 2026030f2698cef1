#pragma once

// What the timeline pane shows for one time of day: a lane per entry of that time and the plays
// of one realization of it, the very plays the preview sounds and the export writes, because
// both come from the same schedule with the same seed.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ambience/AmbienceConcurrency.h"
#include "ambience/AmbienceSchedule.h"
#include "ambience/AmbienceSounds.h"
#include "ambience/VolumeScale.h"
#include "format/AmbientFile.h"
#include "format/TimeOfDay.h"

struct TimelineLane {
  int entry = 0;                // the entry's index in the document, as the number column shows it
  std::wstring label;           // the entry's file name
  bool overlapsItself = false;  // it repeats sooner than its sound ends, every time
  bool soundMissing = false;    // its file could not be had (missing, unreadable or refused)

  bool operator==(const TimelineLane&) const = default;
};

struct TimelineModel {
  std::int64_t spanMs = 0;          // how much of the realization was listed, from its beginning
  std::vector<TimelineLane> lanes;  // in document order
  // Ordered by start; starts and lengths in frames at the ambience rate.
  std::vector<AmbiencePlay> plays;
  std::vector<ConcurrencyStep> curve;
  int mostAtOnce = 0;  // the curve's highest count over the whole span
};

// The lane of every entry of `time` and the plays of the first `spanMs` of the realization with
// `seed`. `lengths` holds each entry's sound length in frames and `problems` the entries whose
// sound could not be had, as LoadAmbienceSounds gives them. `heard`, when given, are the plays to
// show instead: those of the preview that plays the list, which edits made while it played have
// taken away from a fresh realization.
TimelineModel BuildTimelineModel(std::span<const AmbientEntryValues> entries,
                                 std::span<const std::int64_t> lengths,
                                 std::span<const AmbienceSoundProblem> problems, TimeOfDay time,
                                 VolumeScale scale, std::uint64_t seed, std::int64_t spanMs,
                                 std::optional<std::vector<AmbiencePlay>> heard = std::nullopt);

// The lane that shows `entry`, or -1 when the entry has none (another time of day).
int LaneOfEntry(const TimelineModel& model, int entry);
