#pragma once

// How many sounds play at each moment of a realization: the curve the timeline draws above its
// lanes, where a crowded stretch (and the limiter's work in it) shows at a glance.

#include <cstdint>
#include <span>
#include <vector>

#include "ambience/AmbienceSchedule.h"

// From `start` on, until the next step, `count` sounds play.
struct ConcurrencyStep {
  std::int64_t start = 0;
  int count = 0;

  bool operator==(const ConcurrencyStep&) const = default;
};

// The steps of the count over the plays, in time order, one per moment the count changes; it is
// zero before the first step. Plays without a sound take no part.
std::vector<ConcurrencyStep> ConcurrencyCurve(std::span<const AmbiencePlay> plays);

// The largest count within [from, until): what one pixel column of the curve shows.
int MostAtOnce(std::span<const ConcurrencyStep> curve, std::int64_t from, std::int64_t until);
