#include "tabs/TabPage.h"

#include <cwchar>
#include <new>

wchar_t* CopyTitle(const wchar_t* title) {
  if (title == nullptr) title = L"";
  size_t length = std::wcslen(title);
  auto* copy = new (std::nothrow) wchar_t[length + 1];
  if (copy == nullptr) return nullptr;
  std::wmemcpy(copy, title, length + 1);
  return copy;
}

void FreeTitle(wchar_t* title) { delete[] title; }
