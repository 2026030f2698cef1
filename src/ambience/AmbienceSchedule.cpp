#include "ambience/AmbienceSchedule.h"

#include <algorithm>
#include <utility>

#include "ambience/AmbienceFormat.h"

RepeatBounds RepeatBoundsOf(const AmbientEntryValues& entry) {
  auto [shortest, longest] = std::minmax(entry.minRepeatMs, entry.maxRepeatMs);
  return {FramesOfMs(shortest), FramesOfMs(longest)};
}

bool AlwaysOverlapsItself(const AmbientEntryValues& entry, std::int64_t soundLength) {
  return std::max(RepeatBoundsOf(entry).longest, FramesOfMs(ShortestRepeatMs)) < soundLength;
}

AmbienceSchedule::AmbienceSchedule(TimeOfDay time, VolumeScale scale, std::uint64_t seed)
    : time_(time), scale_(scale), seed_(seed) {}

void AmbienceSchedule::Update(std::span<const AmbientEntryValues> entries,
                              std::span<const std::int64_t> lengths,
                              std::span<const std::uint64_t> identities) {
  std::vector<EntryState> before = std::move(entries_);
  entries_.assign(entries.size(), EntryState{});
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const std::uint64_t identity = index < identities.size() ? identities[index] : index + 1;
    const auto kept = std::find_if(before.begin(), before.end(), [identity](const EntryState& state) {
      return state.identity == identity;
    });
    EntryState& state = entries_[index];
    if (kept != before.end()) state = *kept;
    state.identity = identity;
    const AmbientEntryValues& values = entries[index];
    state.bounds = RepeatBoundsOf(values);
    state.length = index < lengths.size() ? std::max<std::int64_t>(lengths[index], 0) : 0;
    state.volume = values.volume;
    const bool atThisTime = TimeOfDayFromByte(values.timeOfDay) == time_;
    if (atThisTime && !state.playing) Begin(state, static_cast<int>(index));
    state.playing = atThisTime;
  }
}

void AmbienceSchedule::SetScale(VolumeScale scale) { scale_ = scale; }

void AmbienceSchedule::Begin(EntryState& state, int index) {
  // From the beginning, an entry's stream follows its place, so that one list gives one
  // realization wherever it is heard. One that comes in while it plays takes a stream of its own:
  // drawn from its place, it would walk in step with the entry whose place that was.
  const std::uint64_t stream = position_ == 0
                                   ? static_cast<std::uint64_t>(index)
                                   : state.identity ^ (static_cast<std::uint64_t>(position_) << 20);
  state.random = AmbienceRandom::Derived(seed_, stream);
  const std::int64_t firstDelay = DrawDelay(state);
  state.nextStart = position_ + state.random.Between(0, firstDelay - 1);
}

std::int64_t AmbienceSchedule::DrawDelay(EntryState& state) {
  const std::int64_t drawn = state.random.Between(state.bounds.shortest, state.bounds.longest);
  return std::max(drawn, FramesOfMs(ShortestRepeatMs));
}

void AmbienceSchedule::TakePlaysBefore(std::int64_t until, std::vector<AmbiencePlay>& plays) {
  const std::size_t first = plays.size();
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    EntryState& state = entries_[index];
    if (!state.playing) continue;
    const auto gain = static_cast<float>(VolumeGain(state.volume, scale_));
    while (state.nextStart < until) {
      plays.push_back({static_cast<int>(index), state.nextStart, state.length, gain, state.identity});
      state.nextStart += DrawDelay(state);
    }
  }
  // Each entry's plays are in order already; the sort interleaves the entries.
  std::sort(plays.begin() + static_cast<std::ptrdiff_t>(first), plays.end(),
            [](const AmbiencePlay& a, const AmbiencePlay& b) {
              return a.start != b.start ? a.start < b.start : a.entry < b.entry;
            });
  position_ = std::max(position_, until);
}

std::vector<AmbiencePlay> AmbienceSchedule::List(std::span<const AmbientEntryValues> entries,
                                                 std::span<const std::int64_t> lengths, TimeOfDay time,
                                                 VolumeScale scale, std::uint64_t seed, std::int64_t span) {
  AmbienceSchedule schedule(time, scale, seed);
  schedule.Update(entries, lengths);
  std::vector<AmbiencePlay> plays;
  schedule.TakePlaysBefore(span, plays);
  return plays;
}
