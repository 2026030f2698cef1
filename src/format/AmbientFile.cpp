#include "format/AmbientFile.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t countSize = 2;

// Copies what `source` holds of [offset, offset + size) to `target`; the rest stays as it was.
void CopyAvailable(std::span<const std::byte> source, std::size_t offset, void* target, std::size_t size) {
  if (offset >= source.size()) return;
  std::memcpy(target, source.data() + offset, std::min(size, source.size() - offset));
}

std::size_t RecordOffset(int index) {
  return countSize + sizeof(AmbientEntry) * static_cast<std::size_t>(index);
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The most bytes one character takes in any code page the editor may use (GB 18030, UTF-8).
constexpr std::size_t longestCharacter = 4;
constexpr wchar_t replacementCharacter = L'\xFFFD';

// Sets the damage facts from the whole file's length and the declared count.
void NoteDamage(AmbientLoadResult& result, std::uint64_t fileSize) {
  result.fileSize = fileSize;
  // Even an empty list has its count, so a file without one (an empty file among them) was
  // cut short or never written whole, whatever its missing bytes read as.
  if (fileSize < countSize) {
    result.damage = AmbientFileDamage::CountCut;
    result.missingBytes = countSize - fileSize;
    return;
  }
  if (result.declaredCount > 0) {
    const std::uint64_t expected = RecordOffset(result.declaredCount);
    if (fileSize < expected) {
      result.damage = AmbientFileDamage::LastRecordCut;
      result.missingBytes = expected - fileSize;
    } else if (fileSize > expected) {
      result.damage = AmbientFileDamage::BytesAfterRecords;
      result.extraBytes = fileSize - expected;
    }
    return;
  }
  if (fileSize <= countSize) return;
  result.extraBytes = fileSize - countSize;
  result.extraRecords = result.extraBytes / sizeof(AmbientEntry);
  result.damage =
      result.extraRecords > 0 ? AmbientFileDamage::RecordsBehindCount : AmbientFileDamage::BytesAfterRecords;
}

// The text StoreEntryValues encodes: up to its first NUL; a null text is empty.
std::wstring_view StoredText(const AmbientEntryValues& values) {
  const std::wstring_view text =
      values.audioFile ? std::wstring_view(*values.audioFile) : std::wstring_view();
  return text.substr(0, text.find(L'\0'));
}

}  // namespace

std::wstring FirstUnencodableCharacter(std::wstring_view text, const CodePageConverter& converter) {
  for (std::size_t index = 0; index < text.size();) {
    const bool pair =
        IsHighSurrogate(text[index]) && index + 1 < text.size() && IsLowSurrogate(text[index + 1]);
    const std::wstring_view character = text.substr(index, pair ? 2 : 1);
    if (!converter.FromUtf16(character)) return std::wstring(character);
    index += character.size();
  }
  return {};
}

std::wstring DecodeName(std::string_view bytes, const CodePageConverter& converter) {
  if (std::optional<std::wstring> text = converter.ToUtf16(bytes)) return std::move(*text);
  // Each piece is the shortest run of bytes that decodes on its own; a byte that starts none
  // shows as the replacement character, and the bytes after it are tried afresh.
  std::wstring text;
  std::size_t index = 0;
  while (index < bytes.size()) {
    std::optional<std::wstring> piece;
    std::size_t length = 1;
    for (; length <= longestCharacter && index + length <= bytes.size(); ++length) {
      piece = converter.ToUtf16(bytes.substr(index, length));
      if (piece) break;
    }
    if (piece) {
      text += *piece;
      index += length;
    } else {
      text += replacementCharacter;
      ++index;
    }
  }
  return text;
}

bool NameBytesUndecodable(const AmbientEntry& entry, const CodePageConverter& converter) {
  return !converter.ToUtf16(AudioFileBytes(entry));
}

AmbientEntryValues ReadEntryValues(const AmbientEntry& entry, const CodePageConverter& converter) {
  return {DecodeName(AudioFileBytes(entry), converter), entry.minRepeatMs, entry.maxRepeatMs, entry.timeOfDay,
          entry.volume};
}

AmbientSaveError StoreEntryValues(AmbientEntry& entry, const AmbientEntryValues& values,
                                  const CodePageConverter& converter) {
  const std::string_view stored = AudioFileBytes(entry);
  const bool unedited = stored.size() <= AmbientEntry::MaxAudioFileLength &&
                        DecodeName(stored, converter) == StoredText(values);
  if (!unedited) {
    const std::optional<std::string> encoded = converter.FromUtf16(StoredText(values));
    if (!encoded) return AmbientSaveError::TextNotConvertible;
    if (!StoreAudioFileBytes(entry, *encoded)) return AmbientSaveError::TextTooLong;
  }
  entry.minRepeatMs = values.minRepeatMs;
  entry.maxRepeatMs = values.maxRepeatMs;
  entry.timeOfDay = values.timeOfDay;
  entry.volume = values.volume;
  return AmbientSaveError::None;
}

AmbientLoadResult ReadAmbientFile(std::span<const std::byte> bytes, const CodePageConverter& converter) {
  return ReadAmbientFile(bytes, converter, bytes.size());
}

AmbientLoadResult ReadAmbientFile(std::span<const std::byte> bytes, const CodePageConverter& converter,
                                  std::uint64_t fileSize) {
  AmbientLoadResult result;
  std::int16_t count = 0;
  CopyAvailable(bytes, 0, &count, sizeof(count));
  result.declaredCount = count;
  if (count > MaxAmbientEntries) {
    result.error = AmbientLoadError::TooManyEntries;
    return result;
  }
  result.entries.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
  for (int index = 0; index < count; ++index) {
    AmbientEntry& slot = result.image[static_cast<std::size_t>(index)];
    CopyAvailable(bytes, RecordOffset(index), &slot, sizeof(slot));
    result.entries.push_back(ReadEntryValues(slot, converter));
  }
  NoteDamage(result, fileSize);
  return result;
}

AmbientEncoding EncodeAmbientFile(const AmbientImage& image, std::span<const AmbientEntryValues> entries,
                                  const CodePageConverter& converter) {
  AmbientEncoding encoding{{}, image, {}};
  if (entries.size() > static_cast<std::size_t>(MaxAmbientEntries)) {
    encoding.result = {AmbientSaveError::TooManyEntries, MaxAmbientEntries};
    encoding.result.entryCount = static_cast<int>(entries.size());
    return encoding;
  }
  const int count = static_cast<int>(entries.size());
  for (int index = 0; index < count; ++index) {
    const auto slot = static_cast<std::size_t>(index);
    const AmbientSaveError error = StoreEntryValues(encoding.image[slot], entries[slot], converter);
    if (error != AmbientSaveError::None) {
      encoding.result = {error, index};
      if (error == AmbientSaveError::TextNotConvertible) {
        encoding.result.character = FirstUnencodableCharacter(StoredText(entries[slot]), converter);
      }
      return encoding;
    }
  }
  encoding.bytes.resize(RecordOffset(count));
  const auto count16 = static_cast<std::int16_t>(count);
  std::memcpy(encoding.bytes.data(), &count16, sizeof(count16));
  std::memcpy(encoding.bytes.data() + countSize, encoding.image.data(),
              sizeof(AmbientEntry) * entries.size());
  return encoding;
}
