// Arbitrary bytes taken as UTF-16 text pasted from another program. Properties: nothing crashes
// or trips a sanitizer; a paste that is taken holds between one entry and the room left, every
// time of day is 0 to 3 and every name passes the typed-name check; and each entry taken, copied
// as text again, pastes back as the same entry.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "format/EntryText.h"
#include "format/Windows1251Converter.h"

namespace {

const Windows1251Converter converter;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t index = 0; index + 1 < size; index += 2) {
    text.push_back(static_cast<wchar_t>(data[index] | data[index + 1] << 8));
  }
  const int room = size > 0 ? data[size - 1] % (MaxAmbientEntries + 1) : MaxAmbientEntries;
  const EntryTextParse parse = ParseEntryLines(text, converter, room);
  if (!parse) {
    Require(parse.line >= 0);
    return 0;
  }
  Require(!parse.entries.empty() && parse.entries.size() <= static_cast<std::size_t>(room));
  for (const AmbientEntryValues& entry : parse.entries) {
    Require(entry.timeOfDay <= 3 && CheckEntryName(*entry.audioFile, converter) == EntryTextError::None);
    const EntryTextParse copied = ParseEntryLines(FormatEntryLine(entry) + L"\r\n", converter, 1);
    Require(copied && copied.entries.size() == 1 && copied.entries[0] == entry);
  }
  return 0;
}
