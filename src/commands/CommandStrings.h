#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A command's string holds its status-bar prompt, a line feed and its short name (tooltip and
// chevron-menu text). Strings are loaded from the program's own resources in the language
// of the user interface; a missing string reads as empty.

// The string of `id`, at most 255 characters; `found` tells a missing string from an empty one.
std::wstring LoadCommandString(UINT id, bool* found = nullptr);
// The string of `id` with `argument` in place of %1 (FormatMessage's inserts); `argument` alone
// when the string is missing.
std::wstring FormatCommandString(UINT id, const std::wstring& argument);

// String `id` of any length with `inserts` in place of %1, %2... (FormatMessage's inserts); the
// pattern itself when there are no inserts.
std::wstring FormatCommandStrings(UINT id, const std::vector<std::wstring>& inserts);

// String `id`, a printf pattern, with up to two whole numbers put in (a line, a field, a count).
std::wstring FormatCommandNumbers(UINT id, int first, int second = 0);
// The part before the first line feed (the whole text when it has none).
std::wstring PromptPart(const std::wstring& text);
// The part after the first line feed; empty when there is none.
std::wstring ShortNamePart(const std::wstring& text);

// The string id that holds the prompt of menu item `itemId`: system commands share the
// prompts from 0xEF00 on, recent-file ids and window-list ids one prompt each.
UINT PromptStringId(UINT itemId);
