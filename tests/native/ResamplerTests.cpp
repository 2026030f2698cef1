// The conversion to 44.1 kHz adds nothing audible: a pure tone comes out pure, at its level.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <span>
#include <vector>

#include "AmbienceTestSounds.h"
#include "ambience/AmbienceFormat.h"
#include "ambience/Resampler.h"

namespace {

// The amplitude of the component at `hertz` in one channel of `samples` (interleaved stereo), by
// the Goertzel recurrence over `frames` frames from `first`. With a second of frames, every whole
// hertz is an exact bin, so the tone itself adds nothing to other whole frequencies.
double Amplitude(std::span<const float> samples, int channel, std::size_t first, std::size_t frames,
                 double hertz) {
  const double coefficient = 2 * std::cos(2 * std::numbers::pi * hertz / AmbienceRate);
  double previous = 0, beforePrevious = 0;
  for (std::size_t frame = first; frame < first + frames; ++frame) {
    const double current =
        samples[frame * 2 + static_cast<std::size_t>(channel)] + coefficient * previous - beforePrevious;
    beforePrevious = previous;
    previous = current;
  }
  const double power =
      previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
  return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(frames);
}

double Decibels(double ratio) { return 20 * std::log10(ratio); }

// A 1 kHz tone at `rate` brought to 44.1 kHz: the tone keeps its level, and no other whole
// frequency up to 22 kHz (every 50 Hz, where the images and folds of a poor conversion lie)
// comes within 60 dB of it.
void ExpectPureTone(std::uint32_t rate, int channels) {
  const std::vector<std::int16_t> tone = ambience_test::Sine(rate, channels, 2.2, 1000, 0.5);
  const Resampler resampler(rate);
  const std::vector<float> output = resampler.ToAmbience(tone, channels);
  ASSERT_EQ(output.size(), static_cast<std::size_t>(resampler.OutputFrames(tone.size() / channels)) * 2);
  // A second from the middle: the tone's abrupt start and end are not what is measured.
  const std::size_t first = AmbienceRate * 6 / 10, frames = AmbienceRate;
  const double level = Amplitude(output, 0, first, frames, 1000);
  EXPECT_NEAR(Decibels(level / 0.5), 0, 0.05) << "at " << rate;
  double loudestOther = 0, loudestAt = 0;
  for (double hertz = 50; hertz < 22050; hertz += 50) {
    if (hertz == 1000) continue;
    const double other = Amplitude(output, 0, first, frames, hertz);
    if (other > loudestOther) loudestOther = other, loudestAt = hertz;
  }
  EXPECT_LT(Decibels(loudestOther / level), -60) << "at " << rate << " Hz, loudest at " << loudestAt << " Hz";
  for (std::size_t frame = 0; frame < output.size() / 2; ++frame)
    ASSERT_EQ(output[frame * 2], output[frame * 2 + 1]);
}

TEST(Resampler, AToneAt22050Or48000HertzComesOutPureAt44100) {
  ExpectPureTone(22050, 1);
  ExpectPureTone(48000, 2);
  ExpectPureTone(44100, 1);
  // A rate whose ratio to 44.1 kHz has too many phases to keep, converted frame by frame.
  ExpectPureTone(44099, 1);
}

}  // namespace
