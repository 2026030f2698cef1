#include "format/AmbientFileMessages.h"
#include "win/ResourceModule.h"

#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace {

constexpr int kLongestReason = 512;

std::wstring LoadReason(UINT id) {
  wchar_t text[kLongestReason] = {};
  const int length = LoadStringW(ResourceModule(), id, text, kLongestReason);
  return std::wstring(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Takes a buffer that FormatMessageW allocated, without its trailing line break and spaces.
std::wstring TakeFormatted(wchar_t* buffer, DWORD length) {
  std::wstring text(buffer != nullptr ? buffer : L"", buffer != nullptr ? length : 0);
  LocalFree(buffer);
  text.erase(text.find_last_not_of(L"\r\n ") + 1);
  return text;
}

// The reason `id` with %1, %2, ... replaced by `arguments`, the way the platform fills message
// inserts, so that translations may put them in any order.
std::wstring FormatReason(UINT id, std::initializer_list<std::wstring> arguments) {
  const std::wstring pattern = LoadReason(id);
  std::vector<DWORD_PTR> inserts;
  for (const std::wstring& argument : arguments)
    inserts.push_back(reinterpret_cast<DWORD_PTR>(argument.c_str()));
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      pattern.c_str(), 0, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
      reinterpret_cast<va_list*>(inserts.data()));
  return length > 0 ? TakeFormatted(buffer, length) : pattern;
}

// "U+00EF", or "U+1F600" for a character written as two UTF-16 units.
std::wstring CodePointOf(const std::wstring& character) {
  unsigned long codePoint = character.empty() ? 0 : character[0];
  if (character.size() == 2) codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (character[1] - 0xDC00u);
  wchar_t digits[16] = {};
  std::swprintf(digits, std::size(digits), L"%04lX", codePoint);
  return digits;
}

// A number as the user reads it: a negative one with the minus sign, not a hyphen.
std::wstring SignedNumber(long long number) {
  return number < 0 ? L"\x2212" + std::to_wstring(-number) : std::to_wstring(number);
}

std::wstring DescribeTextFailure(const AmbientSaveResult& result, const wchar_t* textField) {
  const std::wstring entry = std::to_wstring(result.entryIndex);
  if (result.error == AmbientSaveError::TextTooLong) {
    return FormatReason(kReasonNameTooLong,
                        {entry, textField, std::to_wstring(AmbientEntry::MaxAudioFileLength)});
  }
  if (result.character.empty()) return FormatReason(kReasonNameNotConvertible, {entry, textField});
  return FormatReason(kReasonNameCharacter,
                      {entry, textField, result.character, CodePointOf(result.character)});
}

std::wstring DescribeWriteFailure(const AmbientSaveResult& result) {
  const std::wstring cause = SystemErrorText(result.systemError);
  if (result.keptFile.empty()) return cause;
  return FormatReason(kReasonDataKept, {cause, result.keptFile});
}

}  // namespace

std::wstring DescribeSaveFailure(const AmbientSaveResult& result, const wchar_t* textField) {
  switch (result.error) {
    case AmbientSaveError::None:
      return {};
    case AmbientSaveError::TooManyEntries:
      return FormatReason(kReasonTooManyToSave,
                          {std::to_wstring(result.entryCount), std::to_wstring(MaxAmbientEntries)});
    case AmbientSaveError::TextTooLong:
    case AmbientSaveError::TextNotConvertible:
      return DescribeTextFailure(result, textField);
    case AmbientSaveError::CannotWriteFile:
      return DescribeWriteFailure(result);
  }
  return {};
}

std::wstring DescribeLoadFailure(const AmbientLoadResult& result) {
  switch (result.error) {
    case AmbientLoadError::None:
      return {};
    case AmbientLoadError::CannotReadFile:
      return SystemErrorText(result.systemError);
    case AmbientLoadError::TooManyEntries:
      return FormatReason(kReasonTooManyToOpen,
                          {std::to_wstring(result.declaredCount), std::to_wstring(MaxAmbientEntries)});
  }
  return {};
}

std::wstring DescribeLoadDamage(const AmbientLoadResult& result) {
  switch (result.damage) {
    case AmbientFileDamage::None:
      return {};
    case AmbientFileDamage::RecordsBehindCount:
      return FormatReason(kReasonRecordsBehindCount,
                          {std::to_wstring(result.extraRecords), SignedNumber(result.declaredCount)});
    case AmbientFileDamage::LastRecordCut:
      return FormatReason(kReasonLastRecordCut, {std::to_wstring(result.missingBytes)});
    case AmbientFileDamage::BytesAfterRecords:
      return FormatReason(kReasonBytesAfterRecords, {std::to_wstring(result.extraBytes)});
    case AmbientFileDamage::CountCut:
      return FormatReason(kReasonCountCut, {std::to_wstring(result.fileSize)});
  }
  return {};
}

std::wstring AskSaveOverDamaged(const std::wstring& title, const std::wstring& damage) {
  return FormatReason(kQuestionSaveOverDamaged, {title, damage});
}

std::wstring DescribeUndecodableName(UINT codePage) {
  return FormatReason(kReasonNameUndecodable, {std::to_wstring(codePage)});
}

std::wstring DescribeNameControlCharacter(int entryIndex, const wchar_t* textField) {
  return FormatReason(kReasonNameControl, {std::to_wstring(entryIndex), textField});
}

std::wstring DescribeFilledEntries(int count) {
  return FormatReason(kStatusFilledEntries, {std::to_wstring(count)});
}

std::wstring DescribeUnreadableValue(int entryIndex, const wchar_t* field) {
  return FormatReason(kReasonValueUnreadable, {std::to_wstring(entryIndex), field});
}

std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = TakeFormatted(buffer, length);
  if (!text.empty()) return text;
  return FormatReason(kReasonSystemError, {std::to_wstring(error)});
}
