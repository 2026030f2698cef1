#pragma once

#include <array>
#include <cstdint>

// When an entry's sound plays; the value is the byte stored in the file and the index of the
// caption in the grid's drop-down list.
enum class TimeOfDay : std::uint8_t { Dawn = 0, Day = 1, Sunset = 2, Night = 3 };

inline constexpr int TimeOfDayCount = 4;

// The captions in value order; the editor shows them in Russian whatever the interface language.
inline constexpr std::array<const wchar_t*, TimeOfDayCount> TimeOfDayCaptions = {L"Рассвет", L"День",
                                                                                 L"Закат", L"Ночь"};

// The time of day a stored byte stands for: bytes without a name count as Dawn.
constexpr TimeOfDay TimeOfDayFromByte(std::uint8_t stored) {
  return stored < TimeOfDayCount ? static_cast<TimeOfDay>(stored) : TimeOfDay::Dawn;
}
