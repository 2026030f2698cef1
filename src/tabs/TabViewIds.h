#pragma once

#include <windows.h>

#include "resources/WindowPageIds.h"

// Numbers the tab container shares with its parent.

// Control id of the tab strip inside the container.
constexpr int TAB_STRIP_ID = 1313;

// Notification codes the container sends to its parent with WM_NOTIFY.
constexpr UINT TABVIEW_PAGEACTIVATED = static_cast<UINT>(-741);
constexpr UINT TABVIEW_CONTEXTMENU = static_cast<UINT>(-742);

// What TABVIEW_CONTEXTMENU carries: idFrom is the page index, point is in screen coordinates.
struct TabContextMenuInfo {
  NMHDR header;
  POINT point;
};
