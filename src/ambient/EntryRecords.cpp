#include "ambient/EntryRecords.h"

#include <cstring>

// Layout, little-endian: a 32-bit entry count; per entry the record, the four numbers, the
// text's length in UTF-16 units (32-bit) and the units themselves.

namespace {

// Grows the vector and copies into the new tail: GCC 12 at -O2 misreads a range insert of a
// small object as an overflow (-Wstringop-overflow), a resize and memcpy says the same plainly.
template <typename Value>
void Append(std::vector<std::byte>& bytes, const Value& value) {
  const std::size_t end = bytes.size();
  bytes.resize(end + sizeof(value));
  std::memcpy(bytes.data() + end, &value, sizeof(value));
}

class Reader {
 public:
  explicit Reader(std::span<const std::byte> bytes) : bytes_(bytes) {}

  template <typename Value>
  bool Read(Value& value) {
    if (bytes_.size() < sizeof(value)) return false;
    std::memcpy(&value, bytes_.data(), sizeof(value));
    bytes_ = bytes_.subspan(sizeof(value));
    return true;
  }

  bool ReadText(std::uint32_t length, std::wstring& text) {
    if (bytes_.size() / sizeof(std::uint16_t) < length) return false;
    text.clear();
    for (std::uint32_t index = 0; index < length; ++index) {
      std::uint16_t unit = 0;
      Read(unit);
      text.push_back(static_cast<wchar_t>(unit));
    }
    return true;
  }

 private:
  std::span<const std::byte> bytes_;
};

bool ReadEntry(Reader& reader, DocumentEntry& entry) {
  AmbientEntryValues& values = entry.values;
  std::uint32_t length = 0;
  std::wstring text;
  if (!reader.Read(entry.record) || !reader.Read(values.minRepeatMs) || !reader.Read(values.maxRepeatMs) ||
      !reader.Read(values.timeOfDay) || !reader.Read(values.volume) || !reader.Read(length) ||
      !reader.ReadText(length, text)) {
    return false;
  }
  values.audioFile = std::move(text);
  return true;
}

}  // namespace

std::vector<std::byte> EncodeEntryRecords(std::span<const DocumentEntry> entries) {
  std::vector<std::byte> bytes;
  Append(bytes, static_cast<std::uint32_t>(entries.size()));
  for (const DocumentEntry& entry : entries) {
    const std::wstring text = entry.values.audioFile.value_or(L"");
    Append(bytes, entry.record);
    Append(bytes, entry.values.minRepeatMs);
    Append(bytes, entry.values.maxRepeatMs);
    Append(bytes, entry.values.timeOfDay);
    Append(bytes, entry.values.volume);
    Append(bytes, static_cast<std::uint32_t>(text.size()));
    for (wchar_t unit : text) Append(bytes, static_cast<std::uint16_t>(unit));
  }
  return bytes;
}

std::optional<std::vector<DocumentEntry>> DecodeEntryRecords(std::span<const std::byte> bytes) {
  Reader reader(bytes);
  std::uint32_t count = 0;
  if (!reader.Read(count) || count > static_cast<std::uint32_t>(MaxAmbientEntries)) return std::nullopt;
  std::vector<DocumentEntry> entries(count);
  for (DocumentEntry& entry : entries) {
    if (!ReadEntry(reader, entry)) return std::nullopt;
  }
  return entries;
}
