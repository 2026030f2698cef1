#pragma once

// When each entry of one time of day plays. After an entry starts, its next start follows after a
// delay drawn uniformly between its minimum and maximum repeat time; its first start falls
// uniformly within a first such delay, so the sounds of a list do not all begin together. Plays
// overlap freely, as in the game.
//
// The schedule is incremental so that a live preview can ask for one block after another and an
// edit can take effect while it plays: each entry keeps its own next start and its own random
// stream (derived from the seed and its index), and new values of an entry are used from its next
// start on. The states follow the entries, not the rows: an entry inserted, deleted or moved
// above another leaves the other's timing as it was. Asked for the same document, time, scale,
// span and seed, it gives the same plays.

#include <cstdint>
#include <span>
#include <vector>

#include "ambience/AmbienceRandom.h"
#include "ambience/VolumeScale.h"
#include "format/AmbientFile.h"
#include "format/TimeOfDay.h"

struct AmbiencePlay {
  int entry = 0;               // index in the document's list
  std::int64_t start = 0;      // frame at the ambience rate from the beginning of the realization
  std::int64_t length = 0;     // frames of the entry's sound when the play started; 0 when it has none
  float gain = 0;              // linear, from the entry's volume when the play started
  std::uint64_t identity = 0;  // the entry's, as Update was given it

  bool operator==(const AmbiencePlay&) const = default;
};

// The shortest delay between two starts of one entry: shorter repeat times count as this, so that
// a zero or negative time cannot make an entry start without end.
inline constexpr std::int64_t ShortestRepeatMs = 100;

struct RepeatBounds {
  std::int64_t shortest = 0;  // frames; the minimum and maximum swapped when given the wrong way round
  std::int64_t longest = 0;
};

RepeatBounds RepeatBoundsOf(const AmbientEntryValues& entry);

// Whether every play of the entry begins before its previous one ends (its longest delay, after
// the floor, is shorter than its sound), so that it always overlaps itself.
bool AlwaysOverlapsItself(const AmbientEntryValues& entry, std::int64_t soundLength);

class AmbienceSchedule {
 public:
  AmbienceSchedule(TimeOfDay time, VolumeScale scale, std::uint64_t seed);

  // Takes the document's entries, for each its sound's length in frames (0 when it has none;
  // missing lengths count as 0) and who it is (DocumentEntry::identity; none: the entries are
  // known by their places, which must then not change). An entry that stays at this time of day
  // keeps its next start and its random stream wherever it moved; its new values apply from then
  // on. An entry that comes to this time, or into the list, starts afresh from Position(), its
  // first start drawn as a first start always is; one that leaves is dropped.
  void Update(std::span<const AmbientEntryValues> entries, std::span<const std::int64_t> lengths,
              std::span<const std::uint64_t> identities = {});
  // The scale applies to plays that start from now on.
  void SetScale(VolumeScale scale);

  // Appends every play that starts before `until` and was not given yet, ordered by start and
  // then entry, and moves Position() to `until`.
  void TakePlaysBefore(std::int64_t until, std::vector<AmbiencePlay>& plays);
  std::int64_t Position() const { return position_; }

  // All plays that start within the first `span` frames of a fresh realization: the timeline's
  // bars and the export's contents.
  static std::vector<AmbiencePlay> List(std::span<const AmbientEntryValues> entries,
                                        std::span<const std::int64_t> lengths, TimeOfDay time,
                                        VolumeScale scale, std::uint64_t seed, std::int64_t span);

 private:
  struct EntryState {
    std::uint64_t identity = 0;
    bool playing = false;  // the entry belongs to this time of day
    AmbienceRandom random{0};
    std::int64_t nextStart = 0;
    RepeatBounds bounds;
    std::int64_t length = 0;
    std::int32_t volume = 0;
  };

  void Begin(EntryState& state, int index);
  std::int64_t DrawDelay(EntryState& state);

  TimeOfDay time_;
  VolumeScale scale_;
  std::uint64_t seed_;
  std::int64_t position_ = 0;
  std::vector<EntryState> entries_;
};
