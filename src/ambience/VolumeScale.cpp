#include "ambience/VolumeScale.h"

#include <algorithm>
#include <cmath>

VolumeRange RangeOf(VolumeScale scale) {
  switch (scale) {
    case VolumeScale::Centibels:
      return {-10000, 0};
    case VolumeScale::Byte:
      return {0, 255};
    case VolumeScale::Percent:
      break;
  }
  return {0, 100};
}

VolumeScale GuessVolumeScale(std::span<const std::int32_t> volumes) {
  if (volumes.empty()) return VolumeScale::Percent;
  const auto outside = [&](VolumeScale scale) {
    return std::count_if(volumes.begin(), volumes.end(), [&](std::int32_t v) {
      // Quieter than -100 dB is still decibels, only beyond hearing: the guess takes any such value.
      return scale == VolumeScale::Centibels ? v > 0 : !VolumeInScale(v, scale);
    });
  };
  const auto centibels = outside(VolumeScale::Centibels), percent = outside(VolumeScale::Percent);
  // 0..255 holds every percent, so counting what it fits would crown it for any one value above
  // 100: it is what is left when neither narrower scale fits nearly all.
  const auto few = [&](std::ptrdiff_t count) { return count * 5 < static_cast<std::ptrdiff_t>(volumes.size()); };
  if (centibels <= percent && few(centibels)) return VolumeScale::Centibels;
  if (few(percent)) return VolumeScale::Percent;
  return VolumeScale::Byte;
}

bool VolumeInScale(std::int32_t volume, VolumeScale scale) {
  const VolumeRange range = RangeOf(scale);
  return volume >= range.lowest && volume <= range.highest;
}

double VolumeGain(std::int32_t volume, VolumeScale scale) {
  const VolumeRange range = RangeOf(scale);
  const double clamped = std::clamp(volume, range.lowest, range.highest);
  switch (scale) {
    case VolumeScale::Centibels:
      return std::pow(10.0, clamped / 2000.0);
    case VolumeScale::Byte:
      return clamped / 255.0;
    case VolumeScale::Percent:
      break;
  }
  return clamped / 100.0;
}
