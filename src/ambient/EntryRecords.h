#pragma once

// Entries packed for the editor's own clipboard format: every value and the whole 116-byte
// record, so that a paste into another document keeps the bytes the editor does not show.
//
// Any program can put a block of this format on the clipboard, so decoding treats it as hostile
// input: it applies the checks a text paste applies and allocates no more than the block's size
// allows.

#include <cstddef>
#include <span>
#include <vector>

#include "format/CodePageConverter.h"
#include "ambient/EntryList.h"
#include "format/EntryText.h"

// The longest block that can hold a paste: the count and 100 entries with the longest names the
// checks let through. Bytes behind that are never read.
inline constexpr std::size_t MaxEntryRecordsBytes =
    4 + MaxAmbientEntries * (sizeof(AmbientEntry) + 4 + 4 + 1 + 4 + 4 + 2 * AmbientEntry::MaxAudioFileLength);

std::vector<std::byte> EncodeEntryRecords(std::span<const DocumentEntry> entries);

struct EntryRecordsDecode {
  std::vector<DocumentEntry> entries;
  // Why the whole block is refused: the text paste's reasons, and RecordsDamaged for a block that
  // is cut short or whose sizes do not fit it.
  EntryTextError error = EntryTextError::None;
  // The one-based entry at fault (as a text paste names its line); 0 when no entry is.
  int entry = 0;

  explicit operator bool() const { return error == EntryTextError::None; }
};

// At most `room` entries. Each name must pass CheckEntryName in `converter`'s code page, or be
// exactly what its record's stored name shows as (it is then written back from those bytes);
// each time of day must be 0 to 3. Bytes behind the last entry are ignored: clipboard memory may
// be larger than what was put into it.
EntryRecordsDecode DecodeEntryRecords(std::span<const std::byte> bytes, const CodePageConverter& converter,
                                      int room);
