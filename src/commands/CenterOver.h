#pragma once

#include <windows.h>

// Top-left corner that puts a window of `size` over the middle of `centre`, pulled back inside
// `area` where it would stick out. A window larger than the area keeps its top-left corner in
// the area, so its caption stays reachable.
POINT CenteredPosition(SIZE size, const RECT& centre, const RECT& area);

// Moves `window` over the middle of `over` without resizing, activating or reordering it. With
// `over` null a child centres over its parent and a top-level window over its owner. A child
// stays inside its parent's client area; a top-level window inside the desktop work area, and
// it centres over the work area when `over` is hidden or minimised. False when it cannot move.
bool CenterOver(HWND window, HWND over = nullptr);
