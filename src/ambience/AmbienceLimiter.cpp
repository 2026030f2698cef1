#include "ambience/AmbienceLimiter.h"

#include <algorithm>
#include <cmath>

#include "ambience/AmbienceFormat.h"

namespace {

// The gain recovers towards 1 with a time constant of 150 ms: fast enough that a quiet sound
// after a loud moment is heard at its level, slow enough that the recovery is not heard as a swell.
const float ReleaseStep = static_cast<float>(1 - std::exp(-1.0 / (0.150 * AmbienceRate)));

std::int16_t ToSample(float value) {
  // The limiter keeps |value| at or below its ceiling; the clamp only guards the rounding.
  const float scaled = std::clamp(value * 32767.0f, -32767.0f, 32767.0f);
  return static_cast<std::int16_t>(scaled < 0 ? scaled - 0.5f : scaled + 0.5f);
}

}  // namespace

AmbienceLimiter::AmbienceLimiter() { held_.fill(1); }

void AmbienceLimiter::Process(std::span<const float> input, std::span<std::int16_t> output) {
  for (std::size_t index = 0; index + 1 < input.size(); index += 2) {
    const std::size_t slot = frame_ % Window;
    delayed_[slot * 2] = input[index];
    delayed_[slot * 2 + 1] = input[index + 1];
    const float gain = GainForFrame(input[index], input[index + 1]);
    // The frame that entered Delay frames ago leaves now; its slot is the next to be written.
    const std::size_t leaving = (frame_ + 1) % Window;
    const float left = delayed_[leaving * 2], right = delayed_[leaving * 2 + 1];
    output[index] = ToSample(left * gain);
    output[index + 1] = ToSample(right * gain);
    ++frame_;
  }
}

float AmbienceLimiter::GainForFrame(float left, float right) {
  const float peak = std::max(std::abs(left), std::abs(right));
  const float needed = peak > Ceiling ? Ceiling / peak : 1.0f;
  // The held gain of the window that ends at the newest frame.
  const float held = HeldGain(frame_, needed);
  const std::size_t slot = frame_ % Window;
  heldSum_ += static_cast<double>(held) - held_[slot];
  held_[slot] = held;
  // The average is over the windows that end at the frames from the leaving one to the newest:
  // each contains the leaving frame, so each gain is at most what that frame needs.
  const float average = static_cast<float>(heldSum_ / Window);
  lowestGain_ = std::min(lowestGain_, average);
  return std::min(average, 1.0f);
}

float AmbienceLimiter::HeldGain(std::size_t frame, float needed) {
  // Drop the candidate that left the window, then those that the new, lower or equal gain hides.
  if (candidateCount_ > 0 && candidates_[candidateFirst_].frame + Window <= frame) {
    candidateFirst_ = (candidateFirst_ + 1) % Window;
    --candidateCount_;
  }
  while (candidateCount_ > 0 &&
         candidates_[(candidateFirst_ + candidateCount_ - 1) % Window].gain >= needed) {
    --candidateCount_;
  }
  candidates_[(candidateFirst_ + candidateCount_) % Window] = {frame, needed};
  ++candidateCount_;
  const float windowMinimum = candidates_[candidateFirst_].gain;
  lastHeld_ = std::min(windowMinimum, lastHeld_ + (1 - lastHeld_) * ReleaseStep);
  return lastHeld_;
}

float AmbienceLimiter::TakeLowestGain() {
  const float lowest = lowestGain_;
  lowestGain_ = 1;
  return lowest;
}
