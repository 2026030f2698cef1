#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "format/AmbientEntry.h"

// Builds file contents for tests the way the format lays them out.
class AmbientFileBytes {
 public:
  AmbientFileBytes& Count(std::int16_t count) { return Raw(&count, sizeof(count)); }
  AmbientFileBytes& Record(const AmbientEntry& entry) { return Raw(&entry, sizeof(entry)); }
  AmbientFileBytes& Bytes(std::initializer_list<unsigned char> bytes) {
    for (const unsigned char byte : bytes) bytes_.push_back(static_cast<std::byte>(byte));
    return *this;
  }
  AmbientFileBytes& Raw(const void* data, std::size_t size) {
    const auto* begin = static_cast<const std::byte*>(data);
    bytes_.insert(bytes_.end(), begin, begin + size);
    return *this;
  }
  AmbientFileBytes& CutTo(std::size_t size) {
    bytes_.resize(size);
    return *this;
  }
  const std::vector<std::byte>& bytes() const { return bytes_; }

 private:
  std::vector<std::byte> bytes_;
};

inline AmbientEntry MakeEntry(std::int32_t minRepeatMs, std::int32_t maxRepeatMs, std::uint8_t timeOfDay,
                              std::string_view audioFile, std::int32_t volume) {
  AmbientEntry entry{};
  entry.minRepeatMs = minRepeatMs;
  entry.maxRepeatMs = maxRepeatMs;
  entry.timeOfDay = timeOfDay;
  std::memcpy(entry.audioFile, audioFile.data(), audioFile.size());
  entry.volume = volume;
  return entry;
}
