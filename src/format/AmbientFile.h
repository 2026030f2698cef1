#pragma once

// The ".bad" file: a signed 16-bit little-endian count N, then N AmbientEntry records back to back.
// This is the portable half of reading and writing it, working on bytes in memory. The Windows
// half (AmbientFileIo.h) adds the files on disk and the thread's code page.
//
// Reading keeps the 116-byte image of every record, and writing overwrites only the five fields
// of each slot, so the bytes the editor does not interpret (those behind a text's terminator)
// are written back as they were read. An unedited well-formed file is reproduced byte for byte.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "format/AmbientEntry.h"
#include "format/CodePageConverter.h"

// The longest file prefix the reader looks at: the count and 100 records.
inline constexpr std::size_t AmbientFileMaxBytes = 2 + sizeof(AmbientEntry) * MaxAmbientEntries;

// The five values of one entry as the editor holds them.
struct AmbientEntryValues {
  // The text in UTF-16. A text read from a file is never null: bytes the code page cannot decode
  // read as U+FFFD (see DecodeName). A null text is saved as empty text.
  std::optional<std::wstring> audioFile;
  std::int32_t minRepeatMs = 0;
  std::int32_t maxRepeatMs = 0;
  // The stored byte as read (it may be 4 or more; TimeOfDayFromByte names it) and as written.
  std::uint8_t timeOfDay = 0;
  std::int32_t volume = 0;

  bool operator==(const AmbientEntryValues&) const = default;
};

enum class AmbientLoadError {
  None,
  CannotReadFile,  // the file could not be opened or read
  TooManyEntries,  // the count is above MaxAmbientEntries: the file is refused rather than cut short
};

// How a file's length differs from what its count declares (2 + 116 bytes per record). Such a
// file still opens; the user is told what was found, since a save writes only what is shown.
enum class AmbientFileDamage {
  None,
  RecordsBehindCount,  // a count of zero or less with whole records behind it: `extraRecords`
  LastRecordCut,       // the file ends `missingBytes` before its last record does
  BytesAfterRecords,   // `extraBytes` after the last declared record
  CountCut,            // the file is shorter than its 2-byte count: `missingBytes` of it missing
};

// What reading a file gives the document.
struct AmbientLoadResult {
  AmbientLoadError error = AmbientLoadError::None;
  // The count the file declares, also when it is too many.
  int declaredCount = 0;
  // CannotReadFile: the platform's error code.
  std::uint32_t systemError = 0;
  // Slot i holds record i; slots the file did not fill (and bytes a short file lacks) are zero.
  AmbientImage image{};
  // One element per entry, in file order; empty for a count of zero or less.
  std::vector<AmbientEntryValues> entries;
  // What the file's length says beyond its declared records; the sizes are in bytes of the file.
  AmbientFileDamage damage = AmbientFileDamage::None;
  std::uint64_t fileSize = 0;
  std::uint64_t extraBytes = 0;
  std::uint64_t extraRecords = 0;
  std::uint64_t missingBytes = 0;

  explicit operator bool() const { return error == AmbientLoadError::None; }
};

enum class AmbientSaveError {
  None,
  TooManyEntries,      // more than MaxAmbientEntries entries
  TextTooLong,         // the encoded text needs more than 102 bytes
  TextNotConvertible,  // the code page lacks a character of the text, or cannot encode it at all
  CannotWriteFile,     // the file could not be written; it is left as it was
};

// Why a save failed, as facts; the Windows side words them for the user.
struct AmbientSaveResult {
  AmbientSaveError error = AmbientSaveError::None;
  // The zero-based entry that failed; -1 when the failure is not about one entry.
  int entryIndex = -1;
  // TooManyEntries: how many entries there are.
  int entryCount = 0;
  // TextNotConvertible: the first character the code page lacks (two UTF-16 units for a character
  // beyond U+FFFF); empty when no single character is to blame.
  std::wstring character{};
  // CannotWriteFile: the platform's error code.
  std::uint32_t systemError = 0;
  // CannotWriteFile: a file that holds the new contents because they could not take the target's
  // place; empty when nothing was kept.
  std::wstring keptFile{};

  explicit operator bool() const { return error == AmbientSaveError::None; }
};

// The first character of `text` that `converter` cannot encode on its own; empty when each
// character encodes alone.
std::wstring FirstUnencodableCharacter(std::wstring_view text, const CodePageConverter& converter);

// A name's bytes as the editor shows them: decoded by `converter`, or, when the bytes are not valid
// in its code page, piece by piece with U+FFFD for each byte that starts no valid character.
// Such a name is kept as stored unless the user edits it (see StoreEntryValues).
std::wstring DecodeName(std::string_view bytes, const CodePageConverter& converter);

// Whether the entry's stored name is not valid in the converter's code page, and so shows with
// U+FFFD in place of the bytes it cannot decode.
bool NameBytesUndecodable(const AmbientEntry& entry, const CodePageConverter& converter);

// The values of one record; its text decoded up to the first NUL (or all 103 bytes without one).
AmbientEntryValues ReadEntryValues(const AmbientEntry& entry, const CodePageConverter& converter);

// Writes the five values into `entry`, the text with its terminating NUL at the start of the field.
// Bytes behind the NUL are kept. On failure `entry` is unchanged. The text counts up to its first
// NUL character. A text equal to what the entry's stored (terminated) name decodes to is not
// encoded again: the stored bytes stay, so a name nobody edited survives any code page.
AmbientSaveError StoreEntryValues(AmbientEntry& entry, const AmbientEntryValues& values,
                                  const CodePageConverter& converter);

// Reads a file's bytes. Missing bytes of a short file read as zero; bytes after the last
// declared record are ignored; a count of zero or less gives no entries. `fileSize` is the whole
// file's length when `bytes` holds only its start; the damage facts are taken from it.
AmbientLoadResult ReadAmbientFile(std::span<const std::byte> bytes, const CodePageConverter& converter);
AmbientLoadResult ReadAmbientFile(std::span<const std::byte> bytes, const CodePageConverter& converter,
                                  std::uint64_t fileSize);

// The outcome of encoding a document: on success the updated image and the file's bytes; on
// failure only `result` is meaningful.
struct AmbientEncoding {
  AmbientSaveResult result;
  AmbientImage image{};
  std::vector<std::byte> bytes;
};

// Encodes `entries` over a copy of `image` (slot i takes entry i's values), and the file that holds
// them: the count, then the slots' 116 bytes each. `image` itself is not touched, so a caller
// adopts the new image only once the bytes are safely on disk. Fails on the first entry that does
// not fit.
AmbientEncoding EncodeAmbientFile(const AmbientImage& image, std::span<const AmbientEntryValues> entries,
                                  const CodePageConverter& converter);
