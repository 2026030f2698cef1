#pragma once

#include <windows.h>

// A control sees the notifications it sent to its parent again, reflected back to it by the
// frame, under their message number plus this base (WM_NOTIFY arrives as 0x204E).
constexpr UINT REFLECT_BASE = 0x2000;

// One window message on its way through a window object's handlers. A handler that consumes
// the message sets `result` and returns true; one that lets it go on returns false.
struct Message {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
};

// True for the messages a parent may reflect back to the child control that sent them.
bool IsReflectable(UINT msg);

// True when `msg` is one of the reflectable messages arriving reflected.
inline bool IsReflected(UINT msg) { return msg > REFLECT_BASE && IsReflectable(msg - REFLECT_BASE); }
