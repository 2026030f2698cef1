// When the entries of one time of day play: the seed's one realization, the repeat bounds as the
// game reads them, and the spread of the delays.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "ambience/AmbienceConcurrency.h"
#include "ambience/AmbienceFormat.h"
#include "ambience/AmbienceSchedule.h"
#include "ambience/AmbienceStream.h"
#include "ambient/AmbientDocument.h"

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

// A live preview of a real document under random inserts, pastes, duplicates, deletes, moves,
// cell edits, undos and redos. Each entry sounds a single frame of its own bit (14 bits a
// channel, far below the limiter's ceiling), so that the starts of each entry are read back out
// of the rendered samples. Between two starts of one entry lie its own repeat bounds, whatever
// moved around it; one that comes in starts within its own longest delay.
class LivePreview {
 public:
  explicit LivePreview(std::uint64_t seed)
      : random_(static_cast<std::mt19937::result_type>(seed)),
        stream_(TimeOfDay::Night, VolumeScale::Percent, seed) {
    stream_.KeepPlaysBefore(INT64_MAX);
  }

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

  AmbientEntryValues RandomValues() {
    const int low = 100 + Pick(20) * 100, high = low + Pick(30) * 100;
    const bool swapped = Pick(5) == 0, day = Pick(6) == 0;
    return {L"x.wav", swapped ? high : low, swapped ? low : high,
            static_cast<std::uint8_t>(day ? TimeOfDay::Day : TimeOfDay::Night), 100};
  }

  EntrySelection RandomSelection() {
    EntrySelection selection;
    for (int index = 0; index < document.Count(); ++index) {
      if (Pick(4) == 0) selection.entries.push_back(index);
    }
    selection.cursor = document.Count() == 0 ? 0 : Pick(document.Count());
    if (selection.entries.empty() && document.Count() > 0) selection.entries.push_back(selection.cursor);
    return selection;
  }

  void RandomCommand() {
    const EntrySelection chosen = RandomSelection();
    const int row = chosen.cursor;
    std::vector<DocumentEntry> pasted(1 + static_cast<std::size_t>(Pick(2)));
    for (DocumentEntry& entry : pasted) {
      // A copy of an entry the list holds is another entry when it goes in.
      entry = document.Count() > 0 && Pick(2) == 0 ? document.At(Pick(document.Count()))
                                                   : DocumentEntry{RandomValues()};
    }
    const AmbientEntryValues edited = RandomValues();
    const EntryField field =
        std::array{EntryField::MinRepeat, EntryField::MaxRepeat, EntryField::TimeOfDay}[Pick(3)];
    const std::function<void()> commands[] = {[&] { document.Insert(row, {DocumentEntry{RandomValues()}}); },
                                              [&] { document.Paste(chosen, pasted); },
                                              [&] { document.Duplicate(chosen); },
                                              [&] { document.Delete(chosen); },
                                              [&] { document.Move(chosen, Pick(2) == 0 ? -1 : 1); },
                                              [&] { document.EditCell(row, field, edited); },
                                              [&] { document.Undo(); },
                                              [&] { document.Undo(); },
                                              [&] { document.Redo(); }};
    commands[Pick(9)]();
  }

  // Hands the document to the stream as the preview does after an edit; false when the entries
  // have outgrown the bits.
  bool Follow() {
    std::vector<std::uint64_t> identities;
    AmbienceSounds sounds;
    const std::vector<AmbientEntryValues> values = document.Values();
    for (int row = 0; row < document.Count(); ++row) {
      const std::uint64_t identity = document.At(row).identity;
      identities.push_back(identity);
      if (!bits_.contains(identity)) {
        if (bits_.size() == 28) return false;
        bits_[identity] = static_cast<int>(bits_.size());
      }
      auto sound = std::make_shared<AmbienceSound>();
      const int bit = bits_[identity];
      sound->samples = {bit < 14 ? static_cast<float>(1 << bit) / 32767 : 0.0f,
                        bit < 14 ? 0.0f : static_cast<float>(1 << (bit - 14)) / 32767};
      sounds.sounds.push_back(sound);
      sounds.lengths.push_back(1);
      Heard& heard = heard_[identity];
      const bool playing =
          TimeOfDayFromByte(values[static_cast<std::size_t>(row)].timeOfDay) == TimeOfDay::Night;
      if (playing && !heard.playing) heard.cameAt = stream_.Position();
      heard.playing = playing;
      heard.bounds.push_back({stream_.Position(), Bounds(values[static_cast<std::size_t>(row)])});
    }
    for (auto& [identity, heard] : heard_) {
      if (std::find(identities.begin(), identities.end(), identity) == identities.end())
        heard.playing = false;
    }
    stream_.Update(values, sounds, identities);
    return true;
  }

  // Renders blocks of random sizes; false, with `fault` saying why, at a start out of its bounds.
  bool Listen(int blocks) {
    for (int block = 0; block < blocks; ++block) {
      std::vector<std::int16_t> samples(static_cast<std::size_t>(1 + Pick(MaxBlock)) * 2);
      const std::int64_t from = stream_.Position();
      stream_.Render(samples);
      for (std::size_t frame = 0; frame < samples.size() / 2; ++frame) {
        const int mask = samples[frame * 2] | samples[frame * 2 + 1] << 14;
        if (mask == 0) continue;
        for (const auto& [identity, bit] : bits_) {
          if ((mask & 1 << bit) != 0 && !Started(identity, from + static_cast<std::int64_t>(frame)))
            return false;
        }
      }
    }
    return true;
  }

  // The timeline's picture of the stream shows, up to now, the very starts that were heard.
  bool ShowsWhatWasHeard() {
    std::map<std::uint64_t, std::vector<std::int64_t>> shown;
    for (const AmbiencePlay& play : stream_.Realization(stream_.Position())) {
      shown[document.At(play.entry).identity].push_back(play.start);
    }
    for (int row = 0; row < document.Count(); ++row) {
      const std::uint64_t identity = document.At(row).identity;
      if (shown[identity] != heard_[identity].starts) {
        fault = "the picture of entry " + std::to_string(row) + " is not what was heard";
        return false;
      }
    }
    return true;
  }

  AmbientDocument document;
  std::string fault;

 private:
  static constexpr int MaxBlock = 2205;
  // A delay is drawn when its start is taken, up to a block and the mixer's look-ahead before
  // that start is heard.
  static constexpr std::int64_t Slack = MaxBlock + AmbienceMixer::Lookahead + 1;

  struct Heard {
    bool playing = false;
    std::int64_t cameAt = 0;                                    // when it last came to the night
    std::vector<std::pair<std::int64_t, RepeatBounds>> bounds;  // as they were from when on
    std::int64_t lastStart = -1;
    std::vector<std::int64_t> starts;
  };

  static RepeatBounds Bounds(const AmbientEntryValues& values) {
    RepeatBounds bounds = RepeatBoundsOf(values);
    bounds.shortest = std::max(bounds.shortest, FramesOfMs(ShortestRepeatMs));
    bounds.longest = std::max(bounds.longest, FramesOfMs(ShortestRepeatMs));
    return bounds;
  }

  bool Started(std::uint64_t identity, std::int64_t start) {
    Heard& heard = heard_[identity];
    const std::int64_t previous = heard.lastStart;
    heard.lastStart = start;
    heard.starts.push_back(start);
    // The bounds in force from a slack before `from` up to `until`.
    const auto fits = [&](std::int64_t from, std::int64_t until, const auto& test) {
      for (std::size_t index = 0; index < heard.bounds.size(); ++index) {
        const std::int64_t end = index + 1 < heard.bounds.size() ? heard.bounds[index + 1].first : INT64_MAX;
        if (heard.bounds[index].first <= until && end >= from - Slack && test(heard.bounds[index].second))
          return true;
      }
      return false;
    };
    if (previous >= 0 && previous >= heard.cameAt - Slack) {
      const std::int64_t delay = start - previous;
      if (!fits(previous, previous,
                [delay](const RepeatBounds& b) { return b.shortest <= delay && delay <= b.longest; })) {
        fault = "a delay of " + std::to_string(delay) + " frames at frame " + std::to_string(start);
        return false;
      }
    } else if (!fits(heard.cameAt, heard.cameAt,
                     [&](const RepeatBounds& b) { return start <= heard.cameAt + Slack + b.longest; })) {
      fault = "a first start at frame " + std::to_string(start) + " after coming at " +
              std::to_string(heard.cameAt);
      return false;
    }
    return true;
  }

  std::mt19937 random_;
  AmbienceStream stream_;
  std::map<std::uint64_t, int> bits_;
  std::map<std::uint64_t, Heard> heard_;
};

TEST(AmbienceSchedule, EveryEntryKeepsItsOwnTimingWhileTheListChangesAroundIt) {
  for (std::uint64_t seed = 1; seed <= 8; ++seed) {
    LivePreview preview(seed);
    std::vector<DocumentEntry> first;
    for (int entry = 0; entry < 5; ++entry) first.push_back({preview.RandomValues()});
    preview.document.Insert(0, first);
    ASSERT_TRUE(preview.Follow());
    ASSERT_TRUE(preview.Listen(40)) << preview.fault << " (seed " << seed << ")";
    for (int step = 0; step < 60; ++step) {
      preview.RandomCommand();
      if (!preview.Follow()) break;
      ASSERT_TRUE(preview.Listen(1 + preview.Pick(60)))
          << preview.fault << " (seed " << seed << ", step " << step << ")";
      ASSERT_TRUE(preview.ShowsWhatWasHeard())
          << preview.fault << " (seed " << seed << ", step " << step << ")";
    }
  }
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
