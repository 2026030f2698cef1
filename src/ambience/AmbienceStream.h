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

  // The document's entries and their sounds (LoadAmbienceSounds for the same time of day). Each
  // entry's new values, sound included, are heard from its next start on; what plays, plays out.
  void Update(std::span<const AmbientEntryValues> entries, const AmbienceSounds& sounds);
  void SetScale(VolumeScale scale) { schedule_.SetScale(scale); }

  // Plays that would start at or after `frame` are left out: an export ends cleanly at its span,
  // without a sound that begins past the end lowering the limiter's gain before it.
  void EndAt(std::int64_t frame) { end_ = frame; }

  // The next output.size() / 2 frames, interleaved stereo.
  void Render(std::span<std::int16_t> output);
  std::int64_t Position() const { return mixer_.Position(); }

  // The entries heard at Position(), ascending: the list's speaker marks.
  std::vector<int> SoundingEntries() const { return mixer_.SoundingEntries(); }
  float TakeLowestLimiterGain() { return mixer_.TakeLowestLimiterGain(); }

 private:
  AmbienceSchedule schedule_;
  AmbienceMixer mixer_;
  std::vector<std::shared_ptr<const AmbienceSound>> sounds_;
  std::vector<AmbiencePlay> plays_;  // reused from block to block
  std::int64_t end_ = std::numeric_limits<std::int64_t>::max();
};
