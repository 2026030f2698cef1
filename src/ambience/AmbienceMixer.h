#pragma once

// Sums the sounds that play at each moment, at their gains, in floating point, and brings the sum
// to 16-bit stereo through a limiter. It renders block by block, so that the live preview can
// feed the output device and the export can write as it goes with the same result.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "ambience/AmbienceLimiter.h"
#include "ambience/AmbienceSchedule.h"
#include "ambience/SoundCache.h"

class AmbienceMixer {
 public:
  // How far ahead of its output the mixer reads: before Render(frames), every play that starts
  // before Position() + frames + Lookahead must have been added.
  static constexpr std::int64_t Lookahead = AmbienceLimiter::Delay;

  // Adds a play with its sound (null plays nothing). A play added after the mix passed its start
  // is heard from where the mix is.
  void Add(const AmbiencePlay& play, std::shared_ptr<const AmbienceSound> sound);

  // Writes the next output.size() / 2 frames, interleaved stereo, from Position() on.
  void Render(std::span<std::int16_t> output);
  std::int64_t Position() const { return position_; }

  // The identities of the entries whose sound is heard at Position(), each once, ascending. Not
  // their rows: those may have changed since the plays began.
  std::vector<std::uint64_t> SoundingIdentities() const;

  // The lowest gain the limiter applied since the last call (1: it did not act).
  float TakeLowestLimiterGain() { return limiter_.TakeLowestGain(); }

 private:
  struct Voice {
    AmbiencePlay play;
    std::shared_ptr<const AmbienceSound> sound;
    std::int64_t end;  // the frame after its last, limited by both the play and the sound
  };

  void Mix(std::int64_t frames, std::span<std::int16_t> output);

  AmbienceLimiter limiter_;
  std::vector<Voice> voices_;  // in the order added, so that the sum does not depend on block sizes
  std::vector<float> sum_;
  std::int64_t position_ = 0;
  std::int64_t mixed_ = 0;  // the first frame not yet mixed
  bool primed_ = false;
};
