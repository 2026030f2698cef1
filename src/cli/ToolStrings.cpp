#include "cli/ToolStrings.h"

#include "app/resources/ResourceIds.h"

std::wstring ToolString(UINT id, const std::vector<std::wstring>& inserts) {
  const wchar_t* text = nullptr;
  // With no buffer, LoadString gives the resource's own read-only text, not cut at any length.
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || text == nullptr) return std::wstring();
  const std::wstring pattern(text, static_cast<std::size_t>(length));
  if (inserts.empty()) return pattern;
  std::vector<DWORD_PTR> arguments;
  for (const std::wstring& insert : inserts) arguments.push_back(reinterpret_cast<DWORD_PTR>(insert.c_str()));
  wchar_t* buffer = nullptr;
  const DWORD size = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                        FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                    pattern.c_str(), 0, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                    reinterpret_cast<va_list*>(arguments.data()));
  std::wstring formatted = size > 0 && buffer != nullptr ? std::wstring(buffer, size) : pattern;
  LocalFree(buffer);
  return formatted;
}

ProblemLanguage InterfaceLanguage() {
  return ToolString(STR_INTERFACE_LANGUAGE) == L"ru" ? ProblemLanguage::Russian : ProblemLanguage::English;
}
