// Arbitrary bytes read as a sound file. Properties: nothing crashes, hangs or trips a sanitizer;
// a sound the decoder accepts is consistent (one or two channels, a rate the player takes, whole
// frames, within the limit), and a refusal carries no samples.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sound/SoundDecoder.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Small enough that a run spends its time on parsing, not on filling memory.
constexpr SoundDecodeLimits Limits{.maxSamples = 1 << 20};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const DecodedSound sound = DecodeSound({reinterpret_cast<const std::byte*>(data), size}, Limits);
  if (!sound) {
    Require(sound.samples.empty());
    return 0;
  }
  Require(sound.channels == 1 || sound.channels == 2);
  Require(sound.sampleRate >= MinSoundRate && sound.sampleRate <= MaxSoundRate);
  Require(!sound.samples.empty() && sound.samples.size() % sound.channels == 0);
  Require(sound.samples.size() <= Limits.maxSamples);
  return 0;
}
