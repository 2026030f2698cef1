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
  const auto within = [&](VolumeScale scale) {
    return std::all_of(volumes.begin(), volumes.end(), [&](std::int32_t v) {
      return scale == VolumeScale::Centibels ? v <= 0 : VolumeInScale(v, scale);
    });
  };
  if (within(VolumeScale::Centibels)) return VolumeScale::Centibels;
  if (within(VolumeScale::Percent)) return VolumeScale::Percent;
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
