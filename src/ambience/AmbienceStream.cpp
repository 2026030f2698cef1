#include "ambience/AmbienceStream.h"

#include <algorithm>

AmbienceStream::AmbienceStream(TimeOfDay time, VolumeScale scale, std::uint64_t seed)
    : schedule_(time, scale, seed) {}

void AmbienceStream::Update(std::span<const AmbientEntryValues> entries, const AmbienceSounds& sounds,
                            std::span<const std::uint64_t> identities) {
  schedule_.Update(entries, sounds.lengths, identities);
  sounds_ = sounds.sounds;
  sounds_.resize(entries.size());
  identities_.clear();
  for (std::size_t row = 0; row < entries.size(); ++row)
    identities_.push_back(row < identities.size() ? identities[row] : row + 1);
}

std::vector<AmbiencePlay> AmbienceStream::Realization(std::int64_t span) const {
  std::vector<AmbiencePlay> plays;
  for (AmbiencePlay play : taken_) {
    const auto row = std::find(identities_.begin(), identities_.end(), play.identity);
    if (play.start >= span || row == identities_.end()) continue;
    play.entry = static_cast<int>(row - identities_.begin());
    plays.push_back(play);
  }
  AmbienceSchedule ahead = schedule_;
  ahead.TakePlaysBefore(span, plays);
  std::sort(plays.begin(), plays.end(), [](const AmbiencePlay& a, const AmbiencePlay& b) {
    return a.start != b.start ? a.start < b.start : a.entry < b.entry;
  });
  return plays;
}

std::vector<int> AmbienceStream::SoundingEntries() const {
  std::vector<int> rows;
  for (const std::uint64_t identity : mixer_.SoundingIdentities()) {
    const auto row = std::find(identities_.begin(), identities_.end(), identity);
    if (row != identities_.end()) rows.push_back(static_cast<int>(row - identities_.begin()));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

void AmbienceStream::Render(std::span<std::int16_t> output) {
  const auto frames = static_cast<std::int64_t>(output.size() / 2);
  plays_.clear();
  schedule_.TakePlaysBefore(std::min(Position() + frames + AmbienceMixer::Lookahead, end_), plays_);
  for (const AmbiencePlay& play : plays_) {
    const auto entry = static_cast<std::size_t>(play.entry);
    mixer_.Add(play, entry < sounds_.size() ? sounds_[entry] : nullptr);
    if (play.start < keepBefore_) taken_.push_back(play);
  }
  mixer_.Render(output);
}
