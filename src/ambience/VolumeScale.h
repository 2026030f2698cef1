#pragma once

// The volume number of an entry has no unit in the file: lists made for the game use one of
// three conventions. The preview, the export and the checks read it through one of these scales.

#include <cstdint>
#include <span>

enum class VolumeScale {
  Percent,    // 0 silent .. 100 full, linear
  Centibels,  // hundredths of a decibel: -10000 silent .. 0 full
  Byte,       // 0 silent .. 255 full, linear
};

struct VolumeRange {
  std::int32_t lowest;
  std::int32_t highest;
};

VolumeRange RangeOf(VolumeScale scale);

// The scale a list's volumes most likely use, by a vote that one typo cannot swing: hundredths
// of a decibel (at or below 0) or percent (0..100), whichever fits more of the values, as long as
// fewer than a fifth of them fall outside it; those few are the list's mistakes, and the checks
// flag them against the scale. Otherwise 0..255. A list that fits one scale whole keeps it
// (all 0 reads as decibels, silence at 0 dB being full volume). An empty list reads as percent.
VolumeScale GuessVolumeScale(std::span<const std::int32_t> volumes);

bool VolumeInScale(std::int32_t volume, VolumeScale scale);

// The linear gain, 0..1, that `volume` stands for; a value beyond the scale counts as its edge.
double VolumeGain(std::int32_t volume, VolumeScale scale);
