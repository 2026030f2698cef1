#pragma once

// The common controls header needs the platform header first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

// RBN_CHEVRONPUSHED: drops a popup below the band's chevron that lists the band's buttons the
// band is too narrow to show. For a toolbar band the entries are the buttons' commands (a
// chosen one arrives at `frame` as an ordinary menu command); for the menu-bar band they are
// the menu bar's own popups, tracked by the menu bar. True when the notification is handled
// (the frame answers 0); false for a band without buttons, and, after a beep, when nothing
// but separators is hidden.
bool ShowChevronMenu(HWND frame, HWND rebar, const NMREBARCHEVRON& chevron);
