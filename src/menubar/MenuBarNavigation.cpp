#include "menubar/MenuBarNavigation.h"

#include <windows.h>

namespace {

wchar_t UpperCase(wchar_t c) {
  // CharUpperW takes a single character in the low word of its pointer argument.
  return static_cast<wchar_t>(
      reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

}  // namespace

wchar_t MnemonicOf(std::wstring_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return text[i + 1];
    ++i;  // a literal ampersand
  }
  return 0;
}

int FindMnemonic(const std::vector<std::wstring>& texts, wchar_t key) {
  if (key == 0) return -1;
  wchar_t wanted = UpperCase(key);
  for (size_t i = 0; i < texts.size(); ++i) {
    wchar_t mnemonic = MnemonicOf(texts[i]);
    if (mnemonic != 0 && UpperCase(mnemonic) == wanted) return static_cast<int>(i);
  }
  return -1;
}

int StepButtonIndex(int current, int step, const std::vector<bool>& usable) {
  int count = static_cast<int>(usable.size());
  if (count == 0) return -1;
  if (current < 0 || current >= count) current = step > 0 ? -1 : count;
  int index = current;
  for (int tries = 0; tries < count; ++tries) {
    index = ((index + step) % count + count) % count;
    if (usable[static_cast<size_t>(index)]) return index;
  }
  return -1;
}
