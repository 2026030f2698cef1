#include "tabs/TabText.h"

#include <cwchar>

namespace {

constexpr wchar_t kEllipsis[] = L"...";
constexpr size_t kEllipsisLength = 3;
constexpr int kEntriesWithMnemonic = 9;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

size_t ClipTabText(const wchar_t* title, wchar_t* out, size_t room) {
  if (room == 0) return 0;
  if (title == nullptr) title = L"";
  size_t length = std::wcslen(title);
  if (length < room) {
    std::wmemcpy(out, title, length + 1);
    return length;
  }
  if (room <= kEllipsisLength) {
    out[0] = 0;
    return 0;
  }
  size_t kept = room - 1 - kEllipsisLength;
  // Cutting between the halves of a surrogate pair would leave a broken character on the tab.
  if (kept > 0 && IsHighSurrogate(title[kept - 1])) --kept;
  std::wmemcpy(out, title, kept);
  std::wmemcpy(out + kept, kEllipsis, kEllipsisLength + 1);
  return kept + kEllipsisLength;
}

std::wstring WindowListLabel(int index, const wchar_t* title) {
  std::wstring label;
  if (index < kEntriesWithMnemonic) label += L'&';
  label += std::to_wstring(index + 1);
  label += L' ';
  for (const wchar_t* c = title ? title : L""; *c != 0; ++c) {
    if (*c == L'&') label += L'&';
    label += *c;
  }
  return label;
}
