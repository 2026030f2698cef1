#pragma once

#include <windows.h>

// What the frame asks of the menu bar in the rebar. Sent to the frame: the menu bar's window.
constexpr UINT MENUBAR_GET_WINDOW = WM_USER + 301;
// Sent to a band's child: its menu, or 0 (an ordinary toolbar answers 0).
constexpr UINT MENUBAR_GET_MENU = WM_USER + 302;
// Sent to the menu bar with a MenuBarTrackPopup record in lParam: it tracks that popup itself.
constexpr UINT MENUBAR_TRACK_POPUP = WM_USER + 303;

struct MenuBarTrackPopup {
  UINT size;  // sizeof(MenuBarTrackPopup)
  HMENU menu;
  UINT flags;  // TrackPopupMenuEx flags
  int x;
  int y;
  TPMPARAMS* exclude;
};
