#include "ambience/AmbienceRandom.h"

#include <limits>

namespace {

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

constexpr std::uint64_t RotateLeft(std::uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

}  // namespace

AmbienceRandom::AmbienceRandom(std::uint64_t seed) {
  // splitmix64 spreads any seed, zero included, over the whole state; xoshiro must not start at
  // all zeros, and splitmix never yields four zeros in a row.
  for (std::uint64_t& word : state_) word = SplitMix(seed);
}

AmbienceRandom AmbienceRandom::Derived(std::uint64_t seed, std::uint64_t stream) {
  std::uint64_t mixer = stream ^ 0x5DEECE66Dull;
  return AmbienceRandom(seed ^ SplitMix(mixer));
}

std::uint64_t AmbienceRandom::Next() {
  const std::uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
  const std::uint64_t shifted = state_[1] << 17;
  state_[2] ^= state_[0];
  state_[3] ^= state_[1];
  state_[1] ^= state_[2];
  state_[0] ^= state_[3];
  state_[2] ^= shifted;
  state_[3] = RotateLeft(state_[3], 45);
  return result;
}

std::int64_t AmbienceRandom::Between(std::int64_t low, std::int64_t high) {
  const std::uint64_t span = static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low);
  if (span == std::numeric_limits<std::uint64_t>::max()) return static_cast<std::int64_t>(Next());
  const std::uint64_t count = span + 1;
  // Draws in the incomplete last round of `count` would favour the small values; they are drawn again.
  const std::uint64_t limit =
      std::numeric_limits<std::uint64_t>::max() - std::numeric_limits<std::uint64_t>::max() % count;
  std::uint64_t draw = Next();
  while (draw >= limit) draw = Next();
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) + draw % count);
}

double AmbienceRandom::Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
