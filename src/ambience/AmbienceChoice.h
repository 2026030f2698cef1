#pragma once

// What the user chose to hear of a list: the preview plays it, the timeline draws it and the
// export writes it, so the three always show one realization.

#include <cstdint>
#include <optional>
#include <span>

#include "ambience/VolumeScale.h"
#include "format/TimeOfDay.h"

struct AmbienceChoice {
  TimeOfDay time = TimeOfDay::Day;
  std::uint64_t seed = 1;
  // Nothing: guessed from the list's own volumes.
  std::optional<VolumeScale> scale;
  int spanSeconds = 60;

  VolumeScale ScaleFor(std::span<const std::int32_t> volumes) const {
    return scale ? *scale : GuessVolumeScale(volumes);
  }
};
