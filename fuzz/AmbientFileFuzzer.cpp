// Arbitrary bytes read as a ".bad" file, then written and read again.
// Properties: nothing crashes or trips a sanitizer; whatever the reader accepts, the writer
// reproduces as the normalised file (the declared records, missing bytes zero, trailing bytes
// gone), and read -> write is a fixed point from then on. The writer refuses only texts that
// fill their whole field without a terminator. The same bytes, taken as UTF-16 text, are also
// stored into a text field, which must never overflow it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "format/AmbientFile.h"
#include "format/Windows1251Converter.h"

namespace {

const Windows1251Converter converter;

void Require(bool condition) {
  if (!condition) std::abort();
}

// The file as the writer must produce it: count, then each declared record padded with zeros.
std::vector<std::byte> Normalised(const std::byte* data, std::size_t size, std::size_t entries) {
  std::vector<std::byte> expected(2 + sizeof(AmbientEntry) * entries);
  const std::size_t available = std::min(size, expected.size());
  if (available > 0) std::memcpy(expected.data(), data, available);
  const auto count = static_cast<std::int16_t>(entries);
  std::memcpy(expected.data(), &count, sizeof(count));
  return expected;
}

bool HasTerminator(const AmbientEntry& entry) {
  return std::memchr(entry.audioFile, '\0', AmbientEntry::AudioFileSize) != nullptr;
}

void CheckReadWriteFixedPoint(const std::byte* data, std::size_t size) {
  const AmbientLoadResult loaded = ReadAmbientFile({data, size}, converter);
  if (!loaded) return;
  const AmbientEncoding first = EncodeAmbientFile(loaded.image, loaded.entries, converter);
  if (!first.result) {
    Require(first.result.error == AmbientSaveError::TextTooLong);
    Require(!HasTerminator(loaded.image[static_cast<std::size_t>(first.result.entryIndex)]));
    return;
  }
  Require(first.bytes == Normalised(data, size, loaded.entries.size()));
  const AmbientLoadResult reloaded = ReadAmbientFile(first.bytes, converter);
  Require(reloaded && reloaded.entries == loaded.entries);
  const AmbientEncoding second = EncodeAmbientFile(reloaded.image, reloaded.entries, converter);
  Require(second.result && second.bytes == first.bytes);
}

void CheckTextStore(const std::byte* data, std::size_t size) {
  std::wstring text;
  for (std::size_t index = 0; index + 1 < size; index += 2) {
    text.push_back(static_cast<wchar_t>(std::to_integer<unsigned>(data[index]) |
                                        std::to_integer<unsigned>(data[index + 1]) << 8));
  }
  AmbientEntry entry;
  std::memset(&entry, 0xA5, sizeof(entry));
  const AmbientEntry before = entry;
  const AmbientSaveError error = StoreEntryValues(entry, {text, 1, 2, 3, 4}, converter);
  if (error != AmbientSaveError::None) {
    Require((error == AmbientSaveError::TextTooLong || error == AmbientSaveError::TextNotConvertible) &&
            std::memcmp(&entry, &before, sizeof(entry)) == 0);
    return;
  }
  const std::size_t length = AudioFileBytes(entry).size();
  Require(length <= AmbientEntry::MaxAudioFileLength && length <= text.size());
  const std::size_t behind = length + 1;
  Require(std::memcmp(entry.audioFile + behind, before.audioFile + behind,
                      AmbientEntry::AudioFileSize - behind) == 0);
  Require(entry.volume == 4 && entry.timeOfDay == 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const std::byte*>(data);
  CheckReadWriteFixedPoint(bytes, size);
  CheckTextStore(bytes, size);
  return 0;
}
