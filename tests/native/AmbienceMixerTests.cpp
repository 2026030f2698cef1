// The mix of many sounds: summed at their gains, limited smoothly instead of wrapped or clipped,
// and the same whatever the block sizes it is rendered in.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <vector>

#include "AmbienceTestSounds.h"
#include "ambience/AmbienceFormat.h"
#include "ambience/AmbienceMixer.h"
#include "ambience/Resampler.h"

namespace {

std::shared_ptr<const AmbienceSound> SineSound(double seconds, double hertz, double amplitude) {
  auto sound = std::make_shared<AmbienceSound>();
  sound->samples =
      Resampler(AmbienceRate).ToAmbience(ambience_test::Sine(AmbienceRate, 1, seconds, hertz, amplitude), 1);
  return sound;
}

std::vector<std::int16_t> Render(AmbienceMixer& mixer, std::int64_t frames) {
  std::vector<std::int16_t> output(static_cast<std::size_t>(frames) * 2);
  mixer.Render(output);
  return output;
}

TEST(AmbienceMixer, FiftyLoudSoundsAtOnceStayWithinFullScaleWithoutWrapping) {
  const auto sound = SineSound(1.0, 440, 0.9);
  AmbienceMixer mixer;
  for (int entry = 0; entry < 50; ++entry) mixer.Add({entry, 1000, sound->FrameCount(), 1.0f}, sound);
  const std::vector<std::int16_t> output = Render(mixer, 2 * AmbienceRate);

  const auto loudest = std::max_element(
      output.begin(), output.end(), [](std::int16_t a, std::int16_t b) { return std::abs(a) < std::abs(b); });
  EXPECT_LE(std::abs(*loudest), static_cast<int>(AmbienceLimiter::Ceiling * 32767) + 1);
  EXPECT_GT(std::abs(*loudest), 30000);
  // Wrapping or clipping shows as jumps between frames (of about full scale where the sum wraps
  // or first hits the clip); the limited sum stays a sine of the sound's sign whose steps stay
  // near those of a full-scale 440 Hz sine (a little over, where the gain ramps down at the onset).
  const int largestStep = 3 * static_cast<int>(32767 * 2 * std::numbers::pi * 440 / AmbienceRate);
  for (std::size_t frame = 1; frame < output.size() / 2; ++frame) {
    ASSERT_LE(std::abs(output[frame * 2] - output[frame * 2 - 2]), largestStep) << "at frame " << frame;
    const float single = frame >= 1000 && frame < 1000 + 44100 ? sound->samples[(frame - 1000) * 2] : 0.0f;
    if (std::abs(single) > 0.05f) {
      ASSERT_EQ(output[frame * 2] > 0, single > 0) << "at frame " << frame;
    }
  }
  EXPECT_LT(mixer.TakeLowestLimiterGain(), 0.03f);
  EXPECT_EQ(mixer.TakeLowestLimiterGain(), 1.0f);
}

TEST(AmbienceMixer, QuietSoundsPassUnchangedAndOnTime) {
  const auto sound = SineSound(0.5, 300, 0.4);
  AmbienceMixer mixer;
  mixer.Add({3, 500, sound->FrameCount(), 0.5f}, sound);
  mixer.Add({4, 700, 1000, 0.25f}, sound);  // cut to its play's length
  mixer.Add({5, 0, 1000, 1.0f}, nullptr);   // a missing file plays nothing
  const std::vector<std::int16_t> output = Render(mixer, AmbienceRate);
  for (std::size_t frame = 0; frame < output.size() / 2; ++frame) {
    const auto at = static_cast<std::int64_t>(frame);
    float expected = 0;
    if (at >= 500 && at < 500 + sound->FrameCount()) expected += 0.5f * sound->samples[(frame - 500) * 2];
    if (at >= 700 && at < 1700) expected += 0.25f * sound->samples[(frame - 700) * 2];
    ASSERT_NEAR(output[frame * 2], expected * 32767, 1.0) << "at frame " << frame;
    ASSERT_EQ(output[frame * 2], output[frame * 2 + 1]);
  }
}

TEST(AmbienceMixer, BlocksOfAnySizeGiveTheSameSamples) {
  const auto low = SineSound(0.3, 200, 0.8), high = SineSound(0.2, 3000, 0.9);
  const std::vector<AmbiencePlay> plays = {{0, 0, low->FrameCount(), 1.0f, 10},
                                           {1, 100, high->FrameCount(), 0.9f, 11},
                                           {0, 5000, low->FrameCount(), 1.0f, 10},
                                           {1, 9000, high->FrameCount(), 1.0f, 11},
                                           {0, 9001, low->FrameCount(), 0.7f, 10}};
  const auto soundOf = [&](const AmbiencePlay& play) { return play.entry == 0 ? low : high; };
  AmbienceMixer whole;
  for (const AmbiencePlay& play : plays) whole.Add(play, soundOf(play));
  const std::vector<std::int16_t> expected = Render(whole, 20000);

  AmbienceMixer blocks;
  std::vector<std::int16_t> rendered;
  std::size_t next = 0;
  for (std::int64_t size = 1; blocks.Position() < 20000; size = size * 3 % 997 + 1) {
    const std::int64_t frames = std::min<std::int64_t>(size, 20000 - blocks.Position());
    for (; next < plays.size() && plays[next].start < blocks.Position() + frames + AmbienceMixer::Lookahead;
         ++next) {
      blocks.Add(plays[next], soundOf(plays[next]));
    }
    std::vector<std::uint64_t> sounding;
    for (const AmbiencePlay& play : plays) {
      const bool heard =
          play.start <= blocks.Position() && blocks.Position() < play.start + soundOf(play)->FrameCount();
      if (heard && std::find(sounding.begin(), sounding.end(), play.identity) == sounding.end()) {
        sounding.push_back(play.identity);
      }
    }
    std::sort(sounding.begin(), sounding.end());
    ASSERT_EQ(blocks.SoundingIdentities(), sounding) << "at frame " << blocks.Position();
    const std::vector<std::int16_t> block = Render(blocks, frames);
    rendered.insert(rendered.end(), block.begin(), block.end());
  }
  EXPECT_EQ(rendered, expected);
}

}  // namespace
