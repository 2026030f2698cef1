#pragma once

// One time of day of a list as an endless stream of 16-bit stereo blocks: the schedule, the
// sounds and the mixer together. The live preview asks it for block after block and hands it
// every edit of the document; the export renders a span of it from the start.

#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "ambience/AmbienceMixer.h"
#include "ambience/AmbienceSchedule.h"
#include "ambience/AmbienceSounds.h"

class AmbienceStream {
 public:
  AmbienceStream(TimeOfDay time, VolumeScale scale, std::uint64_t seed);

  // The document's entries, their sounds (LoadAmbienceSounds for the same time of day) and who
  // they are (as AmbienceSchedule::Update takes them). Each entry's new values, sound included,
  // are heard from its next start on; what plays, plays out, even of an entry deleted.
  void Update(std::span<const AmbientEntryValues> entries, const AmbienceSounds& sounds,
              std::span<const std::uint64_t> identities = {});
  void SetScale(VolumeScale scale) { schedule_.SetScale(scale); }

  // Plays that would start at or after `frame` are left out: an export ends cleanly at its span,
  // without a sound that begins past the end lowering the limiter's gain before it.
  void EndAt(std::int64_t frame) { end_ = frame; }

  // The next output.size() / 2 frames, interleaved stereo.
  void Render(std::span<std::int16_t> output);
  std::int64_t Position() const { return mixer_.Position(); }

  // The plays that start before `frame` are kept as they are taken (none by default), so that
  // Realization can show what was heard.
  void KeepPlaysBefore(std::int64_t frame) { keepBefore_ = frame; }
  // The stream's plays within its first `span` frames as they stand now: those it took that are
  // kept, of the entries still in the list, and those its entries' next starts and random streams
  // give from there on; each at its entry's row as of the last Update, ordered by start, then row.
  std::vector<AmbiencePlay> Realization(std::int64_t span) const;

  // The entries heard at Position(), by their rows as of the last Update, ascending: the list's
  // speaker marks. An entry deleted since its play began has no row and no mark.
  std::vector<int> SoundingEntries() const;
  float TakeLowestLimiterGain() { return mixer_.TakeLowestLimiterGain(); }

 private:
  AmbienceSchedule schedule_;
  AmbienceMixer mixer_;
  std::vector<std::shared_ptr<const AmbienceSound>> sounds_;
  std::vector<std::uint64_t> identities_;  // by row, as the schedule was given them
  std::vector<AmbiencePlay> plays_;        // reused from block to block
  std::vector<AmbiencePlay> taken_;        // what was taken before keepBefore_, at the rows of then
  std::int64_t keepBefore_ = 0;
  std::int64_t end_ = std::numeric_limits<std::int64_t>::max();
};
