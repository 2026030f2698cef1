#include "commands/CommandStrings.h"

#include <cwchar>
#include <iterator>

#include "resources/ResourceIds.h"
#include "win/ResourceModule.h"

namespace {

constexpr int kMaxStringLength = 256;
constexpr UINT kSystemCommandFirst = 0xF000;
constexpr UINT kSystemCommandLast = 0xF1EF;

}  // namespace

std::wstring FormatCommandString(UINT id, const std::wstring& argument) {
  const std::wstring pattern = LoadCommandString(id);
  const DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(argument.c_str())};
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      pattern.c_str(), 0, 0, reinterpret_cast<wchar_t*>(&text), 0,
      reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(arguments)));
  std::wstring formatted = length > 0 ? std::wstring(text, length) : argument;
  LocalFree(text);
  return formatted;
}

std::wstring FormatCommandStrings(UINT id, const std::vector<std::wstring>& inserts) {
  const wchar_t* text = nullptr;
  // With no buffer, LoadString gives the resource's own read-only text, not cut at any length.
  const int length = LoadStringW(ResourceModule(), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || text == nullptr) return std::wstring();
  const std::wstring pattern(text, static_cast<std::size_t>(length));
  if (inserts.empty()) return pattern;
  std::vector<DWORD_PTR> arguments;
  for (const std::wstring& insert : inserts) arguments.push_back(reinterpret_cast<DWORD_PTR>(insert.c_str()));
  wchar_t* buffer = nullptr;
  const DWORD size = FormatMessageW(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY, pattern.c_str(), 0,
      0, reinterpret_cast<wchar_t*>(&buffer), 0, reinterpret_cast<va_list*>(arguments.data()));
  std::wstring formatted = size > 0 && buffer != nullptr ? std::wstring(buffer, size) : pattern;
  LocalFree(buffer);
  return formatted;
}

std::wstring LoadCommandString(UINT id, bool* found) {
  wchar_t buffer[kMaxStringLength]{};
  int length = LoadStringW(ResourceModule(), id, buffer, kMaxStringLength);
  if (found != nullptr) *found = length > 0;
  return std::wstring(buffer, length > 0 ? length : 0);
}

std::wstring PromptPart(const std::wstring& text) { return text.substr(0, text.find(L'\n')); }

std::wstring ShortNamePart(const std::wstring& text) {
  size_t lineFeed = text.find(L'\n');
  return lineFeed == std::wstring::npos ? std::wstring() : text.substr(lineFeed + 1);
}

UINT PromptStringId(UINT itemId) {
  if (itemId >= kSystemCommandFirst && itemId <= kSystemCommandLast) {
    return STR_SYSTEM_FIRST + (itemId - kSystemCommandFirst) / 16;
  }
  if (itemId >= CMD_FILE_MRU_FIRST && itemId <= CMD_FILE_MRU_LAST) return STR_FILE_MRU;
  if (itemId >= CMD_WINDOW_PAGE_FIRST && itemId <= CMD_WINDOW_PAGE_LAST) return STR_WINDOW_PAGE;
  return itemId;
}

std::wstring FormatCommandNumbers(UINT id, int first, int second) {
  wchar_t text[512]{};
  std::swprintf(text, std::size(text), LoadCommandString(id).c_str(), first, second);
  return text;
}
