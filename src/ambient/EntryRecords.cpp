#include "ambient/EntryRecords.h"

#include <algorithm>
#include <cstring>
#include <string>

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

// The bytes every entry takes besides its name's units: record, four numbers, name length.
constexpr std::size_t fixedEntryBytes = sizeof(AmbientEntry) + 4 + 4 + 1 + 4 + 4;
constexpr int highestTimeOfDay = 3;

// Reads one entry's fields; its name only when its length can be a name at all.
EntryTextError ReadEntry(Reader& reader, DocumentEntry& entry) {
  AmbientEntryValues& values = entry.values;
  std::uint32_t length = 0;
  if (!reader.Read(entry.record) || !reader.Read(values.minRepeatMs) || !reader.Read(values.maxRepeatMs) ||
      !reader.Read(values.timeOfDay) || !reader.Read(values.volume) || !reader.Read(length)) {
    return EntryTextError::RecordsDamaged;
  }
  if (length > AmbientEntry::MaxAudioFileLength) return EntryTextError::NameTooLong;
  std::wstring text;
  if (!reader.ReadText(length, text)) return EntryTextError::RecordsDamaged;
  values.audioFile = std::move(text);
  return EntryTextError::None;
}

// The checks a text paste applies to its line, in the same order.
EntryTextError CheckEntry(const DocumentEntry& entry, const CodePageConverter& converter) {
  if (entry.values.timeOfDay > highestTimeOfDay) return EntryTextError::TimeOfDayOutOfRange;
  const std::wstring& name = *entry.values.audioFile;
  const EntryTextError error = CheckEntryName(name, converter);
  if (error == EntryTextError::None) return error;
  // A name the code page cannot hold is still fine when it is the stored name, shown as stored:
  // a save writes it back from the record's own bytes.
  const std::string_view stored = AudioFileBytes(entry.record);
  if (stored.size() <= AmbientEntry::MaxAudioFileLength && DecodeName(stored, converter) == name) {
    return EntryTextError::None;
  }
  return error;
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

EntryRecordsDecode DecodeEntryRecords(std::span<const std::byte> bytes, const CodePageConverter& converter,
                                      int room) {
  EntryRecordsDecode decode;
  Reader reader(bytes.first(std::min(bytes.size(), MaxEntryRecordsBytes)));
  std::uint32_t count = 0;
  if (!reader.Read(count)) {
    decode.error = EntryTextError::RecordsDamaged;
    return decode;
  }
  if (count == 0) {
    decode.error = EntryTextError::NoEntries;
    return decode;
  }
  if (count > static_cast<std::uint32_t>(std::max(room, 0))) {
    decode.error = EntryTextError::TooManyEntries;
    decode.entry = std::max(room, 0) + 1;
    return decode;
  }
  if (count > bytes.size() / fixedEntryBytes) {
    decode.error = EntryTextError::RecordsDamaged;
    return decode;
  }
  decode.entries.resize(count);
  for (std::size_t index = 0; index < decode.entries.size(); ++index) {
    DocumentEntry& entry = decode.entries[index];
    decode.error = ReadEntry(reader, entry);
    if (decode.error == EntryTextError::None) decode.error = CheckEntry(entry, converter);
    if (decode.error != EntryTextError::None) {
      decode.entry = static_cast<int>(index) + 1;
      decode.entries.clear();
      return decode;
    }
  }
  return decode;
}
