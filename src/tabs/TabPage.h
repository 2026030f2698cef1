#pragma once

#include <windows.h>

// The record the tab strip keeps with each of its items. It lives inside the strip as plain
// bytes, so it holds raw pointers: `title` is the container's own heap copy, freed by the
// container when the page is removed or retitled; `data` belongs to the caller.
struct TabPage {
  HWND window;
  wchar_t* title;
  void* data;
  // The document has changes not yet saved: tab and window list show the title with a mark.
  bool marked;
};

// A heap copy of `title` that FreeTitle releases; null when memory runs out.
wchar_t* CopyTitle(const wchar_t* title);
void FreeTitle(wchar_t* title);
