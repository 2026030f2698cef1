#include "ambience/AmbienceStream.h"

#include <algorithm>

AmbienceStream::AmbienceStream(TimeOfDay time, VolumeScale scale, std::uint64_t seed)
    : schedule_(time, scale, seed) {}

void AmbienceStream::Update(std::span<const AmbientEntryValues> entries, const AmbienceSounds& sounds) {
  schedule_.Update(entries, sounds.lengths);
  sounds_ = sounds.sounds;
  sounds_.resize(entries.size());
}

void AmbienceStream::Render(std::span<std::int16_t> output) {
  const auto frames = static_cast<std::int64_t>(output.size() / 2);
  plays_.clear();
  schedule_.TakePlaysBefore(std::min(Position() + frames + AmbienceMixer::Lookahead, end_), plays_);
  for (const AmbiencePlay& play : plays_) {
    const auto entry = static_cast<std::size_t>(play.entry);
    mixer_.Add(play, entry < sounds_.size() ? sounds_[entry] : nullptr);
  }
  mixer_.Render(output);
}
