#pragma once

// The one format the ambience is mixed, previewed and exported in: the game's own output rate,
// two channels. Sounds are converted to it once, when they are decoded, so mixing is a plain sum.

#include <cstdint>

inline constexpr std::uint32_t AmbienceRate = 44100;
inline constexpr std::uint32_t AmbienceChannels = 2;

// Milliseconds to frames at the ambience rate, rounded down; exact for whole hundredths of a second.
constexpr std::int64_t FramesOfMs(std::int64_t ms) { return ms * AmbienceRate / 1000; }
