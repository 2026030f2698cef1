#pragma once

// Brings the float sum of many sounds to 16-bit samples without ever exceeding full scale.
// Clipping would square off every peak (a harsh crackle when many sounds meet), and converting
// without it would wrap loud sums around to the opposite sign (a loud click). Instead the gain
// is lowered smoothly just before a peak and raised slowly after it: a look-ahead limiter.
//
// How: for each frame, the gain that would bring it to the ceiling; the minimum of that over a
// window of Window frames, recovering gradually afterwards; then the average of that over the
// same window. Every value averaged for a frame comes from a window that contains the frame, so
// the applied gain is never above what the frame needs, and it falls and rises in ramps. The
// output is delayed by Delay frames, the look-ahead.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class AmbienceLimiter {
 public:
  static constexpr std::size_t Window = 128;  // about 3 ms: the time a gain reduction takes
  static constexpr std::size_t Delay = Window - 1;
  // The loudest sample the limiter lets through, a little below full scale so that rounding
  // never reaches it.
  static constexpr float Ceiling = 0.97f;

  AmbienceLimiter();

  // Takes interleaved stereo frames and writes as many frames, Delay frames late, as 16-bit
  // samples; `output` holds as many samples as `input`.
  void Process(std::span<const float> input, std::span<std::int16_t> output);

  // The lowest gain applied since the last call, 1 when nothing was reduced: for a meter.
  float TakeLowestGain();

 private:
  float GainForFrame(float left, float right);
  float HeldGain(std::size_t frame, float needed);

  // The delayed frames, a ring of Window frames.
  std::array<float, Window * 2> delayed_{};
  // Candidates for the minimum over the window: indexes with increasing gains (a monotonic queue).
  struct Candidate {
    std::size_t frame;
    float gain;
  };
  std::array<Candidate, Window> candidates_{};
  std::size_t candidateFirst_ = 0;
  std::size_t candidateCount_ = 0;
  // The held gains of the last Window frames and their sum, for the average.
  std::array<float, Window> held_{};
  double heldSum_ = Window;
  float lastHeld_ = 1;
  std::size_t frame_ = 0;
  float lowestGain_ = 1;
};
