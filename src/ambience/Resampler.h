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
  void WeightsOfPhase(std::uint32_t phase, std::span<float> weights) const;
  void ConvertChannel(std::span<const float> padded, std::span<float> output) const;

  std::uint32_t inputRate_;
  // Output frame n lies at n * step_ / phases_ input frames: the ratio of the rates in lowest
  // terms, so the fractions repeat after phases_ frames and their weights can be made once.
  std::uint32_t phases_;
  std::uint32_t step_;
  // The kernel's width relative to the input: below 1 when the input is faster, so that the
  // cutoff follows the output's Nyquist frequency and nothing above it folds back.
  double scale_;
  int reach_;  // input frames on each side of a position that the kernel touches
  int taps_;   // weights per output frame: 2 * reach_ rounded up to a multiple of 4
  // The weights of every phase, taps_ each; empty for rare rates with too many phases, whose
  // weights are then made frame by frame.
  std::vector<float> bank_;
};
