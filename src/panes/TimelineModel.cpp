#include "panes/TimelineModel.h"

#include <algorithm>

#include "ambience/AmbienceFormat.h"

namespace {

bool HasProblem(std::span<const AmbienceSoundProblem> problems, int entry) {
  return std::any_of(problems.begin(), problems.end(),
                     [entry](const AmbienceSoundProblem& problem) { return problem.entry == entry; });
}

std::int64_t LengthOf(std::span<const std::int64_t> lengths, std::size_t index) {
  return index < lengths.size() ? lengths[index] : 0;
}

}  // namespace

TimelineModel BuildTimelineModel(std::span<const AmbientEntryValues> entries,
                                 std::span<const std::int64_t> lengths,
                                 std::span<const AmbienceSoundProblem> problems, TimeOfDay time,
                                 VolumeScale scale, std::uint64_t seed, std::int64_t spanMs,
                                 std::optional<std::vector<AmbiencePlay>> heard) {
  TimelineModel model;
  model.spanMs = std::max<std::int64_t>(spanMs, 0);
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const AmbientEntryValues& values = entries[index];
    if (TimeOfDayFromByte(values.timeOfDay) != time) continue;
    const int entry = static_cast<int>(index);
    const std::int64_t length = LengthOf(lengths, index);
    const bool missing = HasProblem(problems, entry);
    model.lanes.push_back({entry, values.audioFile.value_or(std::wstring()),
                           !missing && AlwaysOverlapsItself(values, length), missing});
  }
  model.plays = heard ? std::move(*heard)
                      : AmbienceSchedule::List(entries, lengths, time, scale, seed, FramesOfMs(model.spanMs));
  model.curve = ConcurrencyCurve(model.plays);
  for (const ConcurrencyStep& step : model.curve) model.mostAtOnce = std::max(model.mostAtOnce, step.count);
  return model;
}

int LaneOfEntry(const TimelineModel& model, int entry) {
  const auto lane = std::lower_bound(model.lanes.begin(), model.lanes.end(), entry,
                                     [](const TimelineLane& l, int e) { return l.entry < e; });
  return lane != model.lanes.end() && lane->entry == entry ? static_cast<int>(lane - model.lanes.begin())
                                                           : -1;
}
