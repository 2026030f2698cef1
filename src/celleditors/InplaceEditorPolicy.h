#pragma once

#include <windows.h>

// The in-place editors' policy, kept apart from the windows so it can be checked on its own:
// which keys leave the cell, where the highlight of a dropped list moves, and how big the
// drop button and the dropped list are and where they go.

// Room left of an editor's text, so that it starts where the cell painted it.
constexpr int kEditorLeftMargin = 2;

// The dropped list never grows taller than this, however many options it holds.
constexpr int kMaxDropListHeight = 140;

// Height of the dropped list: every entry plus the list's top and bottom border, capped.
int DropListHeight(int itemHeight, int count, int borderHeight);

// The drop button inside the list editor's client area `client`: a square of the client
// height at the right edge, reaching one pixel above the client area.
RECT DropButtonRect(const RECT& client);

// Where the list drops, in screen coordinates: right below the editor `editorWindow`, as wide
// as the editor, `dropHeight` tall (never flipped above it).
RECT DropListRect(const RECT& editorWindow, int dropHeight);

// Whether key `vk` pressed in a text box with selection [selStart, selEnd) over a text of
// `textLength` characters leaves the cell: Tab, Up and Down always do; Left only with the
// caret at the start and nothing selected, Right only with the caret at the end.
bool KeyLeavesCell(UINT vk, DWORD selStart, DWORD selEnd, DWORD textLength);

// The highlighted entry of a dropped list of `count` entries after key `vk` (Up, Down, Home,
// End, Page Up, Page Down) from `current` (-1 for none), `pageSize` entries to a page.
int HighlightAfterKey(UINT vk, int current, int count, int pageSize);
