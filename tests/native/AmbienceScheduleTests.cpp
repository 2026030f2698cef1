// When the entries of one time of day play: the seed's one realization, the repeat bounds as the
// game reads them, and the spread of the delays.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "ambience/AmbienceConcurrency.h"
#include "ambience/AmbienceFormat.h"
#include "ambience/AmbienceSchedule.h"

namespace {

AmbientEntryValues Entry(std::int32_t minMs, std::int32_t maxMs, TimeOfDay time = TimeOfDay::Night,
                         std::int32_t volume = 100) {
  return {L"sound.wav", minMs, maxMs, static_cast<std::uint8_t>(time), volume};
}

// The delays between the starts of one entry's plays.
std::vector<std::int64_t> Delays(const std::vector<AmbiencePlay>& plays, int entry) {
  std::vector<std::int64_t> delays;
  std::int64_t previous = -1;
  for (const AmbiencePlay& play : plays) {
    if (play.entry != entry) continue;
    if (previous >= 0) delays.push_back(play.start - previous);
    previous = play.start;
  }
  return delays;
}

std::vector<AmbiencePlay> Night(const std::vector<AmbientEntryValues>& entries, std::uint64_t seed,
                                std::int64_t seconds) {
  const std::vector<std::int64_t> lengths(entries.size(), AmbienceRate);
  return AmbienceSchedule::List(entries, lengths, TimeOfDay::Night, VolumeScale::Percent, seed,
                                seconds * AmbienceRate);
}

TEST(AmbienceSchedule, OneSeedGivesOneRealizationWhateverTheBlocks) {
  const std::vector<AmbientEntryValues> entries = {Entry(500, 3000), Entry(200, 800, TimeOfDay::Day),
                                                   Entry(1000, 1000, TimeOfDay::Night, 40), Entry(3000, 300)};
  const std::vector<AmbiencePlay> whole = Night(entries, 7, 120);
  EXPECT_EQ(whole, Night(entries, 7, 120));
  EXPECT_NE(whole, Night(entries, 8, 120));
  EXPECT_TRUE(std::none_of(whole.begin(), whole.end(), [](const AmbiencePlay& p) { return p.entry == 1; }));
  EXPECT_TRUE(std::is_sorted(whole.begin(), whole.end(),
                             [](const AmbiencePlay& a, const AmbiencePlay& b) { return a.start < b.start; }));
  EXPECT_FLOAT_EQ(std::find_if(whole.begin(), whole.end(), [](auto& p) { return p.entry == 2; })->gain, 0.4f);

  // A preview asks block by block, of varying sizes: the same plays in the same order.
  AmbienceSchedule schedule(TimeOfDay::Night, VolumeScale::Percent, 7);
  schedule.Update(entries, std::vector<std::int64_t>(entries.size(), AmbienceRate));
  std::vector<AmbiencePlay> blocks;
  for (std::int64_t until = 0; until < 120 * AmbienceRate;) {
    until = std::min<std::int64_t>(until + 1 + until % 9000, 120 * AmbienceRate);
    schedule.TakePlaysBefore(until, blocks);
  }
  EXPECT_EQ(blocks, whole);
}

TEST(AmbienceSchedule, EditsTakeEffectAtTheEntrysNextStart) {
  std::vector<AmbientEntryValues> entries = {Entry(1000, 1000), Entry(2000, 2000)};
  AmbienceSchedule schedule(TimeOfDay::Night, VolumeScale::Percent, 3);
  schedule.Update(entries, std::vector<std::int64_t>{100, 200});
  std::vector<AmbiencePlay> plays;
  schedule.TakePlaysBefore(10 * AmbienceRate, plays);

  entries[0].volume = 50;
  entries[0].minRepeatMs = entries[0].maxRepeatMs = 3000;
  schedule.Update(entries, std::vector<std::int64_t>{100, 200});
  std::vector<AmbiencePlay> later;
  schedule.TakePlaysBefore(30 * AmbienceRate, later);
  std::vector<std::int64_t> starts;
  for (const AmbiencePlay& play : later) {
    if (play.entry == 0) starts.push_back(play.start);
    EXPECT_FLOAT_EQ(play.gain, play.entry == 0 ? 0.5f : 1.0f);
  }
  // The start drawn before the edit stands (a second after the last one); the delays after it are new.
  std::int64_t lastBefore = 0;
  for (const AmbiencePlay& play : plays) lastBefore = play.entry == 0 ? play.start : lastBefore;
  ASSERT_GE(starts.size(), 3u);
  EXPECT_EQ(starts[0], lastBefore + AmbienceRate);
  EXPECT_EQ(starts[1] - starts[0], 3 * AmbienceRate);

  // An entry moved to another time stops; moved back, it starts afresh within a first delay.
  entries[1].timeOfDay = static_cast<std::uint8_t>(TimeOfDay::Dawn);
  schedule.Update(entries, std::vector<std::int64_t>{100, 200});
  later.clear();
  schedule.TakePlaysBefore(40 * AmbienceRate, later);
  EXPECT_TRUE(std::all_of(later.begin(), later.end(), [](auto& p) { return p.entry == 0; }));
  entries[1].timeOfDay = static_cast<std::uint8_t>(TimeOfDay::Night);
  schedule.Update(entries, std::vector<std::int64_t>{100, 200});
  later.clear();
  schedule.TakePlaysBefore(50 * AmbienceRate, later);
  const auto back = std::find_if(later.begin(), later.end(), [](auto& p) { return p.entry == 1; });
  ASSERT_NE(back, later.end());
  EXPECT_GE(back->start, 40 * AmbienceRate);
  EXPECT_LT(back->start, 42 * AmbienceRate);
  EXPECT_EQ(back->length, 200);
}

TEST(AmbienceSchedule, RepeatBoundsAreSwappedAndFlooredAtATenthOfASecond) {
  const std::vector<AmbiencePlay> plays =
      Night({Entry(3000, 1000), Entry(0, 0), Entry(-500, 50), Entry(0, 200)}, 11, 600);
  const auto swapped = Delays(plays, 0);
  ASSERT_GT(swapped.size(), 250u);
  EXPECT_GE(*std::min_element(swapped.begin(), swapped.end()), FramesOfMs(1000));
  EXPECT_LE(*std::max_element(swapped.begin(), swapped.end()), FramesOfMs(3000));
  EXPECT_LT(*std::min_element(swapped.begin(), swapped.end()), FramesOfMs(1050));
  EXPECT_GT(*std::max_element(swapped.begin(), swapped.end()), FramesOfMs(2950));

  for (int entry : {1, 2}) {
    const auto floored = Delays(plays, entry);
    EXPECT_EQ(floored.size(), 5999u);
    EXPECT_TRUE(
        std::all_of(floored.begin(), floored.end(), [](std::int64_t d) { return d == FramesOfMs(100); }));
  }
  // Draws under the floor count as the floor: about half of 0..200 ms.
  const auto half = Delays(plays, 3);
  const auto atFloor = std::count(half.begin(), half.end(), FramesOfMs(100));
  EXPECT_NEAR(static_cast<double>(atFloor) / static_cast<double>(half.size()), 0.5, 0.03);

  EXPECT_TRUE(AlwaysOverlapsItself(Entry(2000, 500), 3 * AmbienceRate));
  EXPECT_FALSE(AlwaysOverlapsItself(Entry(2000, 5000), 3 * AmbienceRate));
  EXPECT_TRUE(AlwaysOverlapsItself(Entry(0, 0), FramesOfMs(150)));
}

TEST(AmbienceSchedule, DelaysAndFirstStartsSpreadEvenly) {
  // Ten equal bins of 1..2 s each get a tenth of some 24,000 delays, within sampling error.
  const auto delays = Delays(Night({Entry(1000, 2000)}, 5, 36000), 0);
  ASSERT_GT(delays.size(), 20000u);
  std::array<int, 10> bins{};
  for (const std::int64_t delay : delays) {
    ASSERT_GE(delay, FramesOfMs(1000));
    ASSERT_LE(delay, FramesOfMs(2000));
    ++bins[static_cast<std::size_t>(
        std::min<std::int64_t>((delay - FramesOfMs(1000)) * 10 / FramesOfMs(1000), 9))];
  }
  const double expected = static_cast<double>(delays.size()) / 10;
  for (const int count : bins) EXPECT_NEAR(count, expected, 5 * std::sqrt(expected)) << "bin count";

  // The first start falls within the first delay (here always 4 s), evenly over seeds.
  std::array<int, 4> quarters{};
  for (std::uint64_t seed = 0; seed < 2000; ++seed) {
    const auto plays = Night({Entry(4000, 4000)}, seed, 5);
    ASSERT_FALSE(plays.empty());
    ASSERT_LT(plays[0].start, 4 * AmbienceRate);
    ++quarters[static_cast<std::size_t>(plays[0].start / AmbienceRate)];
  }
  for (const int count : quarters) EXPECT_NEAR(count, 500, 5 * std::sqrt(500.0));
}

TEST(AmbienceSchedule, ConcurrencyCurveCountsOverlappingPlays) {
  const std::vector<AmbiencePlay> plays = {
      {0, 0, 100, 1}, {1, 50, 100, 1}, {2, 100, 10, 1}, {3, 120, 0, 1}, {0, 300, 10, 1}};
  const std::vector<ConcurrencyStep> curve = ConcurrencyCurve(plays);
  const std::vector<ConcurrencyStep> expected = {{0, 1}, {50, 2}, {110, 1}, {150, 0}, {300, 1}, {310, 0}};
  EXPECT_EQ(curve, expected);
  EXPECT_EQ(MostAtOnce(curve, 0, 50), 1);
  EXPECT_EQ(MostAtOnce(curve, 40, 60), 2);
  EXPECT_EQ(MostAtOnce(curve, 120, 140), 1);
  EXPECT_EQ(MostAtOnce(curve, 200, 300), 0);
  EXPECT_EQ(MostAtOnce(curve, -10, 0), 0);
}

}  // namespace
