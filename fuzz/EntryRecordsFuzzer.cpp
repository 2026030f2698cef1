// Arbitrary bytes taken as a block of the editor's own clipboard format, which any program can
// put on the clipboard. Properties: nothing crashes or trips a sanitizer, no allocation grows past
// what the block can hold; a block that is taken holds no more entries than there was room for,
// every time of day is 0 to 3 and every name is one a paste of text would take (or the record's
// own stored name); and what was taken encodes and decodes again to the same entries.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ambient/EntryRecords.h"
#include "format/Windows1251Converter.h"

namespace {

const Windows1251Converter converter;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  // The first byte also picks the room the document has left, so the limit is tried too.
  const int room = size > 0 ? data[0] % (MaxAmbientEntries + 1) : MaxAmbientEntries;
  const EntryRecordsDecode decode = DecodeEntryRecords(bytes, converter, room);
  if (!decode) {
    Require(decode.entries.empty());
    return 0;
  }
  Require(!decode.entries.empty() && decode.entries.size() <= static_cast<std::size_t>(room));
  for (const DocumentEntry& entry : decode.entries) {
    Require(entry.values.timeOfDay <= 3 && entry.values.audioFile.has_value());
    const std::wstring& name = *entry.values.audioFile;
    Require(CheckEntryName(name, converter) == EntryTextError::None ||
            DecodeName(AudioFileBytes(entry.record), converter) == name);
  }
  const EntryRecordsDecode again = DecodeEntryRecords(EncodeEntryRecords(decode.entries), converter, room);
  Require(again && again.entries == decode.entries);
  return 0;
}
