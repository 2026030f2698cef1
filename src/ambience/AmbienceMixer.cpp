#include "ambience/AmbienceMixer.h"

#include <algorithm>

void AmbienceMixer::Add(const AmbiencePlay& play, std::shared_ptr<const AmbienceSound> sound) {
  if (!sound || play.gain <= 0) return;
  const std::int64_t end = play.start + std::min(play.length, sound->FrameCount());
  if (end <= mixed_) return;
  voices_.push_back({play, std::move(sound), end});
}

void AmbienceMixer::Render(std::span<std::int16_t> output) {
  if (!primed_) {
    // The limiter's output lags its input by its look-ahead; mixing that much first and dropping
    // the silence it gives back puts the first frame out at frame 0.
    std::vector<std::int16_t> lag(static_cast<std::size_t>(Lookahead) * 2);
    Mix(Lookahead, lag);
    primed_ = true;
  }
  Mix(static_cast<std::int64_t>(output.size() / 2), output);
  position_ += static_cast<std::int64_t>(output.size() / 2);
}

void AmbienceMixer::Mix(std::int64_t frames, std::span<std::int16_t> output) {
  sum_.assign(static_cast<std::size_t>(frames) * 2, 0.0f);
  const std::int64_t from = mixed_, to = mixed_ + frames;
  for (const Voice& voice : voices_) {
    const std::int64_t first = std::max(from, voice.play.start), last = std::min(to, voice.end);
    if (first >= last) continue;
    const float* source = voice.sound->samples.data() + (first - voice.play.start) * 2;
    float* target = sum_.data() + (first - from) * 2;
    const float gain = voice.play.gain;
    for (std::int64_t index = 0; index < (last - first) * 2; ++index) target[index] += source[index] * gain;
  }
  // Kept in order, so the same plays are summed in the same order whatever the block sizes; and
  // kept until the output, which lags the mix by the look-ahead, has passed their end.
  std::erase_if(voices_, [to](const Voice& voice) { return voice.end <= to - Lookahead; });
  limiter_.Process(sum_, output);
  mixed_ = to;
}

std::vector<std::uint64_t> AmbienceMixer::SoundingIdentities() const {
  std::vector<std::uint64_t> entries;
  for (const Voice& voice : voices_) {
    if (voice.play.start <= position_ && position_ < voice.end) entries.push_back(voice.play.identity);
  }
  std::sort(entries.begin(), entries.end());
  entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
  return entries;
}
