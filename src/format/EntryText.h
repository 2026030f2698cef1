#pragma once

// Entries as lines of tab-separated text, the form spreadsheets and other editors exchange:
//   name TAB minimum TAB maximum TAB time of day (0-3) TAB volume
// A paste is taken whole or not at all, so parsing stops at the first line it cannot use and
// says which line and why.

#include <string>
#include <string_view>
#include <vector>

#include "format/AmbientFile.h"
#include "format/CodePageConverter.h"

enum class EntryTextError {
  None,
  NoEntries,            // nothing but blank lines
  WrongFieldCount,      // not exactly five fields
  NotANumber,           // a number field holds something else
  NumberOutOfRange,     // beyond a signed 32-bit number
  TimeOfDayOutOfRange,  // not 0, 1, 2 or 3
  NameTooLong,          // more than AmbientEntry::MaxAudioFileLength bytes in the code page
  NameNotConvertible,   // the code page cannot hold the name exactly
  TooManyEntries,       // the line would go past the room the document has left
  // Reasons only the editor's own clipboard block and a typed name can give.
  NameHasControlCharacter,  // a NUL, tab or line break, which the text form cannot carry
  RecordsDamaged,           // the block is cut short or its sizes contradict each other
};

struct EntryTextParse {
  std::vector<AmbientEntryValues> entries;
  EntryTextError error = EntryTextError::None;
  int line = 0;   // one-based line of the failure
  int field = 0;  // one-based field of a number failure; the field count for WrongFieldCount

  explicit operator bool() const { return error == EntryTextError::None; }
};

// Whether `name` may be stored as an entry's file name: the reasons a paste refuses a name for
// (too long for the field in the code page, a character the code page lacks, a lone surrogate)
// and NameHasControlCharacter for a NUL, tab or line break, which would not survive a copy as
// text. None when the name is fine. The grid's name editor and both paste forms ask this.
EntryTextError CheckEntryName(std::wstring_view name, const CodePageConverter& converter);

// One line without a line end.
std::wstring FormatEntryLine(const AmbientEntryValues& values);

// Lines end in LF or CR LF; blank lines are skipped. At most `room` entries are accepted. A
// byte-order mark before the first line and one empty field after the volume (the tab that
// spreadsheets leave at the end of a row) are tolerated.
EntryTextParse ParseEntryLines(std::wstring_view text, const CodePageConverter& converter, int room);
