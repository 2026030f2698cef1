#pragma once

#include <windows.h>

#include <functional>

// Runs `change` on a visible window with its drawing held off the way DefWindowProc's
// WM_SETREDRAW does it, bypassing the control's own WM_SETREDRAW (a list view repaints every
// row when drawing comes back). What was waiting to be painted before still is, and the
// window's frame (its scroll bars) is drawn with the next paint instead of at once.
//
// Why: a control that changes its scroll range redraws the scroll bar on the spot, outside any
// paint; on some systems that costs several whole paints (Wine: 4-8 ms per change, against
// ~1.5 ms for the same bar in a paint). A change that moves the client area (a scroll bar
// that comes or goes) repaints the whole window.
void WithDrawingHeld(HWND window, const std::function<void()>& change);
