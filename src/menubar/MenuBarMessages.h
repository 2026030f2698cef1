#pragma once

#include <windows.h>

// Messages between the frame and its menu bar.

// Sent to the frame: the menu bar window, or null when the frame has none.
constexpr UINT MENUBAR_GET_WINDOW = WM_USER + 301;
// Sent to a rebar band's child: the menu the menu bar shows (an ordinary toolbar answers 0).
constexpr UINT MENUBAR_GET_MENU = WM_USER + 302;
// Sent to the menu bar with a MenuBarTrackPopup record in lParam: the bar tracks that popup
// itself, with the frame as owner, and answers what TrackPopupMenuEx answered.
constexpr UINT MENUBAR_TRACK_POPUP = WM_USER + 303;

// The record of MENUBAR_TRACK_POPUP. `size` is sizeof(MenuBarTrackPopup): 24 bytes in a 32-bit
// build, 40 in ours, because the menu and the exclusion pointer are pointer-sized.
struct MenuBarTrackPopup {
  UINT size;
  HMENU menu;
  UINT flags;
  int x;
  int y;
  LPTPMPARAMS exclusion;
};
