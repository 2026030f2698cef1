#pragma once

#include <string>
#include <string_view>
#include <vector>

// Index and mnemonic arithmetic of the menu bar, free of windows so it can be tested directly.

// The mnemonic character of a menu text ("&File" gives 'F'), or 0 when the text has none.
// "&&" stands for a literal ampersand.
wchar_t MnemonicOf(std::wstring_view text);

// The first of `texts` whose mnemonic equals `key`, ignoring case, or -1. A text with several
// matches keeps the first, as menus do.
int FindMnemonic(const std::vector<std::wstring>& texts, wchar_t key);

// The next usable index from `current` in direction `step` (+1 or -1), wrapping around the
// ends; -1 when none is usable. A `current` of -1 starts before the first (or after the last).
int StepButtonIndex(int current, int step, const std::vector<bool>& usable);
