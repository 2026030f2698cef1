#pragma once

// Brings a decoded sound to the ambience format: 44.1 kHz, two channels, float. The conversion
// is band-limited (a Kaiser-windowed sinc): a plain linear interpolation would fold the images of
// every tone back into the audible band as quiet false tones, which a list of many soft
// sounds makes plainly audible. Runs once per file, when the sound cache takes it in.

#include <cstdint>
#include <span>
#include <vector>

class Resampler {
 public:
  explicit Resampler(std::uint32_t inputRate);

  // The frames `inputFrames` frames at the input rate last at the ambience rate (rounded up).
  std::int64_t OutputFrames(std::int64_t inputFrames) const;

  // `samples` interleaved with `channels` (1 or 2) per frame, to interleaved stereo float in
  // -1..1 at the ambience rate; a mono sound goes to both channels.
  std::vector<float> ToAmbience(std::span<const std::int16_t> samples, int channels) const;

 private:
  void ConvertChannel(std::span<const float> input, std::span<float> output, int outputStride) const;

  std::uint32_t inputRate_;
  // The kernel's width relative to the input: below 1 when the input is faster, so that the
  // cutoff follows the output's Nyquist frequency and nothing above it folds back.
  double scale_;
  int reach_;  // input frames on each side of a position that the kernel touches
};
