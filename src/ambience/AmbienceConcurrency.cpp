#include "ambience/AmbienceConcurrency.h"

#include <algorithm>

std::vector<ConcurrencyStep> ConcurrencyCurve(std::span<const AmbiencePlay> plays) {
  // +1 at each start, -1 at each end; ends sort before starts at the same frame, so a sound that
  // begins exactly where another ends does not count as both.
  struct Change {
    std::int64_t at;
    int delta;
  };
  std::vector<Change> changes;
  changes.reserve(plays.size() * 2);
  for (const AmbiencePlay& play : plays) {
    if (play.length <= 0) continue;
    changes.push_back({play.start, +1});
    changes.push_back({play.start + play.length, -1});
  }
  std::sort(changes.begin(), changes.end(),
            [](const Change& a, const Change& b) { return a.at != b.at ? a.at < b.at : a.delta < b.delta; });
  std::vector<ConcurrencyStep> curve;
  int count = 0;
  for (std::size_t index = 0; index < changes.size();) {
    const std::int64_t at = changes[index].at;
    for (; index < changes.size() && changes[index].at == at; ++index) count += changes[index].delta;
    if (curve.empty() || curve.back().count != count) curve.push_back({at, count});
  }
  return curve;
}

int MostAtOnce(std::span<const ConcurrencyStep> curve, std::int64_t from, std::int64_t until) {
  // The step in force at `from` is the last one that starts at or before it.
  auto step = std::upper_bound(curve.begin(), curve.end(), from,
                               [](std::int64_t at, const ConcurrencyStep& s) { return at < s.start; });
  int most = step == curve.begin() ? 0 : std::prev(step)->count;
  for (; step != curve.end() && step->start < until; ++step) most = std::max(most, step->count);
  return most;
}
