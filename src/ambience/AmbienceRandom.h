#pragma once

// The ambience's own random numbers. The standard library's engines are portable but its
// distributions are not: two standard libraries turn the same engine state into different draws.
// A seed must give the same realization in the editor, the exported file and the command line on
// every build, so the draws are made here: xoshiro256** seeded through splitmix64.

#include <array>
#include <cstdint>

class AmbienceRandom {
 public:
  explicit AmbienceRandom(std::uint64_t seed);

  // A stream of its own for `stream` (an entry's index) under `seed`: nearby seeds and indexes
  // give unrelated sequences, and one entry's draws never shift another's.
  static AmbienceRandom Derived(std::uint64_t seed, std::uint64_t stream);

  std::uint64_t Next();
  // Uniform over [low, high], both included; `low` must not exceed `high`. Unbiased.
  std::int64_t Between(std::int64_t low, std::int64_t high);
  // Uniform over [0, 1).
  double Unit();

 private:
  std::array<std::uint64_t, 4> state_{};
};
