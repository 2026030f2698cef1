#include "format/EntryText.h"

#include <climits>
#include <cwctype>

namespace {

constexpr int kFieldCount = 5;
constexpr int kTimeOfDayField = 4;

std::vector<std::wstring_view> SplitFields(std::wstring_view line) {
  std::vector<std::wstring_view> fields;
  std::size_t start = 0;
  for (std::size_t tab = line.find(L'\t'); tab != std::wstring_view::npos; tab = line.find(L'\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && std::iswspace(text.front())) text.remove_prefix(1);
  while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
  return text;
}

bool IsBlank(std::wstring_view line) { return Trim(line).empty(); }

// A decimal whole number with an optional sign; spaces around it are allowed.
EntryTextError ParseNumber(std::wstring_view field, std::int32_t& number) {
  std::wstring_view digits = Trim(field);
  const bool negative = !digits.empty() && digits.front() == L'-';
  if (!digits.empty() && (digits.front() == L'-' || digits.front() == L'+')) digits.remove_prefix(1);
  if (digits.empty()) return EntryTextError::NotANumber;
  long long magnitude = 0;
  for (wchar_t digit : digits) {
    if (digit < L'0' || digit > L'9') return EntryTextError::NotANumber;
    magnitude = magnitude * 10 + (digit - L'0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1) return EntryTextError::NumberOutOfRange;
  }
  const long long value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) return EntryTextError::NumberOutOfRange;
  number = static_cast<std::int32_t>(value);
  return EntryTextError::None;
}

// Fills `values` from one line; on failure returns the error and the field at fault.
EntryTextError ParseLine(std::wstring_view line, const CodePageConverter& converter,
                         AmbientEntryValues& values, int& field) {
  std::vector<std::wstring_view> fields = SplitFields(line);
  if (fields.size() == kFieldCount + 1 && Trim(fields.back()).empty()) fields.pop_back();
  if (static_cast<int>(fields.size()) != kFieldCount) {
    field = static_cast<int>(fields.size());
    return EntryTextError::WrongFieldCount;
  }
  std::int32_t numbers[kFieldCount] = {};
  for (field = 2; field <= kFieldCount; ++field) {
    const EntryTextError error = ParseNumber(fields[static_cast<std::size_t>(field - 1)], numbers[field - 1]);
    if (error != EntryTextError::None) return error;
  }
  field = kTimeOfDayField;
  if (numbers[kTimeOfDayField - 1] < 0 || numbers[kTimeOfDayField - 1] > 3)
    return EntryTextError::TimeOfDayOutOfRange;
  field = 1;
  std::wstring name(fields[0]);
  if (const EntryTextError error = CheckEntryName(name, converter); error != EntryTextError::None)
    return error;
  values = {std::move(name), numbers[1], numbers[2], static_cast<std::uint8_t>(numbers[3]), numbers[4]};
  return EntryTextError::None;
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool HasLoneSurrogate(std::wstring_view text) {
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (IsHighSurrogate(text[index]) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
      ++index;
    } else if (IsHighSurrogate(text[index]) || IsLowSurrogate(text[index])) {
      return true;
    }
  }
  return false;
}

constexpr wchar_t kByteOrderMark = L'\xFEFF';

}  // namespace

EntryTextError CheckEntryName(std::wstring_view name, const CodePageConverter& converter) {
  if (name.find_first_of(std::wstring_view(L"\0\t\r\n", 4)) != std::wstring_view::npos)
    return EntryTextError::NameHasControlCharacter;
  // Every UTF-16 unit takes at least one byte in any code page, so a name of more units than the
  // field has bytes is refused before a conversion is asked to allocate for it.
  if (name.size() > AmbientEntry::MaxAudioFileLength) return EntryTextError::NameTooLong;
  if (HasLoneSurrogate(name)) return EntryTextError::NameNotConvertible;
  const std::optional<std::string> encoded = converter.FromUtf16(name);
  if (!encoded || converter.ToUtf16(*encoded) != name) return EntryTextError::NameNotConvertible;
  if (encoded->size() > AmbientEntry::MaxAudioFileLength) return EntryTextError::NameTooLong;
  return EntryTextError::None;
}

std::wstring FormatEntryLine(const AmbientEntryValues& values) {
  return values.audioFile.value_or(L"") + L'\t' + std::to_wstring(values.minRepeatMs) + L'\t' +
         std::to_wstring(values.maxRepeatMs) + L'\t' + std::to_wstring(values.timeOfDay) + L'\t' +
         std::to_wstring(values.volume);
}

EntryTextParse ParseEntryLines(std::wstring_view text, const CodePageConverter& converter, int room) {
  EntryTextParse parse;
  if (!text.empty() && text.front() == kByteOrderMark) text.remove_prefix(1);
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring_view::npos) end = text.size();
    std::wstring_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    start = end + 1;
    ++lineNumber;
    if (IsBlank(line)) continue;
    parse.line = lineNumber;
    if (static_cast<int>(parse.entries.size()) >= room) {
      parse.error = EntryTextError::TooManyEntries;
      return parse;
    }
    AmbientEntryValues values;
    parse.error = ParseLine(line, converter, values, parse.field);
    if (parse.error != EntryTextError::None) return parse;
    parse.entries.push_back(std::move(values));
  }
  parse.field = 0;
  if (parse.entries.empty()) parse.error = EntryTextError::NoEntries;
  return parse;
}
