#include "commands/ToolTipText.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "commands/CommandStrings.h"

namespace {

// The short name for tool `id`; `found` tells whether its string exists at all.
std::wstring ShortNameFor(UINT_PTR id, UINT toolFlags, bool& found) {
  found = false;
  if (id == 0 || (toolFlags & TTF_IDISHWND) != 0) return {};
  std::wstring text = LoadCommandString(static_cast<UINT>(id), &found);
  return ShortNamePart(text);
}

template <typename Char, size_t N>
void CopyTruncated(const std::basic_string<Char>& text, Char (&buffer)[N]) {
  size_t length = std::min(text.size(), N - 1);
  std::copy_n(text.begin(), length, buffer);
  buffer[length] = 0;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 nullptr);
  std::string narrow(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                      nullptr);
  return narrow;
}

template <typename Info, typename Text>
void Supply(Info& info, const Text& text, bool found) {
  info.szText[0] = 0;
  info.lpszText = info.szText;
  info.hinst = nullptr;
  CopyTruncated(text, info.szText);
  if (found) info.uFlags |= TTF_DI_SETITEM;
}

}  // namespace

bool SupplyToolTipText(NMHDR* header) {
  bool found = false;
  if (header->code == TTN_GETDISPINFOW) {
    auto& info = *reinterpret_cast<NMTTDISPINFOW*>(header);
    std::wstring text = ShortNameFor(header->idFrom, info.uFlags, found);
    Supply(info, text, found);
    return true;
  }
  if (header->code == TTN_GETDISPINFOA) {
    auto& info = *reinterpret_cast<NMTTDISPINFOA*>(header);
    std::string text = ToAnsi(ShortNameFor(header->idFrom, info.uFlags, found));
    Supply(info, text, found);
    return true;
  }
  return false;
}
