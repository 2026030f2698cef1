#pragma once

// Sounds made in code for the ambience tests, and a reader that serves them from memory.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "ambience/SoundCache.h"

namespace ambience_test {

// A sine of `hertz` at `amplitude` (of full scale), `channels` identical channels, as 16-bit samples.
inline std::vector<std::int16_t> Sine(std::uint32_t rate, int channels, double seconds, double hertz,
                                      double amplitude) {
  const auto frames = static_cast<std::size_t>(seconds * rate);
  std::vector<std::int16_t> samples;
  samples.reserve(frames * static_cast<std::size_t>(channels));
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const double value =
        amplitude * std::sin(2 * std::numbers::pi * hertz * static_cast<double>(frame) / rate);
    for (int channel = 0; channel < channels; ++channel) {
      samples.push_back(static_cast<std::int16_t>(std::lround(value * 32767)));
    }
  }
  return samples;
}

// A 16-bit PCM RIFF WAVE file holding `samples`.
inline std::vector<std::byte> WaveFile(const std::vector<std::int16_t>& samples, std::uint32_t rate,
                                       int channels) {
  std::vector<std::byte> file;
  const auto put = [&file](std::uint32_t value, int width) {
    for (int index = 0; index < width; ++index) file.push_back(static_cast<std::byte>(value >> (8 * index)));
  };
  const auto tag = [&file](const char* text) {
    for (int index = 0; index < 4; ++index) file.push_back(static_cast<std::byte>(text[index]));
  };
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  const auto blockAlign = static_cast<std::uint32_t>(channels * 2);
  tag("RIFF"), put(36 + dataBytes, 4), tag("WAVE"), tag("fmt "), put(16, 4), put(1, 2);
  put(static_cast<std::uint32_t>(channels), 2), put(rate, 4), put(rate * blockAlign, 4), put(blockAlign, 2);
  put(16, 2), tag("data"), put(dataBytes, 4);
  for (const std::int16_t sample : samples) put(static_cast<std::uint16_t>(sample), 2);
  return file;
}

// Files in memory, each with a stamp that a test can change; it counts the reads.
struct MemoryFiles {
  struct File {
    std::vector<std::byte> bytes;
    std::int64_t writeTime = 1;
  };
  std::map<std::wstring, File> files;
  int reads = 0;

  SoundFileReader Reader() {
    return {[this](const std::wstring& path) -> std::optional<SoundFileStamp> {
              const auto file = files.find(path);
              if (file == files.end()) return std::nullopt;
              return SoundFileStamp{file->second.bytes.size(), file->second.writeTime};
            },
            [this](const std::wstring& path) -> std::optional<std::vector<std::byte>> {
              const auto file = files.find(path);
              if (file == files.end()) return std::nullopt;
              ++reads;
              return file->second.bytes;
            }};
  }
};

}  // namespace ambience_test
