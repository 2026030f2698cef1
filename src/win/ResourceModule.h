#pragma once

#include <windows.h>

// Where every resource of the program (strings, menus, dialogs, bitmaps, icons) is loaded
// from: they are linked into the executable itself.
inline HINSTANCE ResourceModule() { return GetModuleHandleW(nullptr); }
