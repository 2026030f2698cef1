#pragma once

#include <cstddef>
#include <string>

// Writes the text a tab shows for `title` into `out`, which has room for `room` characters
// including the terminator. A title that fits is copied whole; a longer one keeps as many
// leading characters as leave room for "..." behind them. Returns the length written.
size_t ClipTabText(const wchar_t* title, wchar_t* out, size_t room);

// The text of window-list entry `index` (0-based) for a page titled `title`: "&1 title" up to
// the ninth entry, whose digit is its mnemonic, and "10 title" onwards without one. An
// ampersand in the title is doubled so that the menu shows it instead of underlining.
std::wstring WindowListLabel(int index, const wchar_t* title);
