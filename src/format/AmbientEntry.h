#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

// A document holds at most this many entries; the record image has exactly this many slots.
inline constexpr int MaxAmbientEntries = 100;

// One entry of a ".bad" file, exactly as it lies on disk: 116 bytes, little-endian, no padding.
// The natural alignment of these fields already leaves no gaps, so no packing pragma is needed
// and the integers stay aligned; the asserts below keep it that way.
struct AmbientEntry {
  // Room of the text field: at most 102 bytes of text and the terminating NUL.
  static constexpr std::size_t AudioFileSize = 103;
  static constexpr std::size_t MaxAudioFileLength = AudioFileSize - 1;

  std::int32_t minRepeatMs;
  std::int32_t maxRepeatMs;
  std::uint8_t timeOfDay;         // a TimeOfDay value; the file may hold any byte
  char audioFile[AudioFileSize];  // ANSI code page text; bytes behind the NUL are kept as read
  std::int32_t volume;
};

static_assert(sizeof(AmbientEntry) == 116);
static_assert(offsetof(AmbientEntry, minRepeatMs) == 0);
static_assert(offsetof(AmbientEntry, maxRepeatMs) == 4);
static_assert(offsetof(AmbientEntry, timeOfDay) == 8);
static_assert(offsetof(AmbientEntry, audioFile) == 9);
static_assert(offsetof(AmbientEntry, volume) == 112);
static_assert(std::is_trivially_copyable_v<AmbientEntry> && std::is_standard_layout_v<AmbientEntry>);
// Records are copied to and from the file as raw bytes.
static_assert(std::endian::native == std::endian::little, "the file format is little-endian");

// The in-memory image of a document's records: slot i holds record i of the file, every byte of
// it, so that bytes the editor does not interpret are written back unchanged.
using AmbientImage = std::array<AmbientEntry, MaxAmbientEntries>;

// The bytes of the entry's text: up to its first NUL, and never past the field when it has none.
std::string_view AudioFileBytes(const AmbientEntry& entry);

// Copies `text` and a terminating NUL to the start of the field, leaving the bytes behind the NUL
// as they were. Refuses (and changes nothing) when `text` is longer than MaxAudioFileLength.
bool StoreAudioFileBytes(AmbientEntry& entry, std::string_view text);
