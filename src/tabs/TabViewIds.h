#pragma once

#include <windows.h>

// Numbers the tab container shares with its parent. The command ids of the window list are
// also in the application's resource header; the values must stay the same in both.

// Control id of the tab strip inside the container.
constexpr int TAB_STRIP_ID = 1313;

// Notification codes the container sends to its parent with WM_NOTIFY.
constexpr UINT TABVIEW_PAGEACTIVATED = static_cast<UINT>(-741);
constexpr UINT TABVIEW_CONTEXTMENU = static_cast<UINT>(-742);

// Window-list entries carry CMD_WINDOW_PAGE_FIRST + page index. Defined exactly as in the
// application's resource header, so that a file may include both.
#define CMD_WINDOW_PAGE_FIRST 0xFF00
#define CMD_WINDOW_PAGE_LAST 0xFFFD
// The first id past the list's range; an entry from FIRST up to this one marks where a list
// built earlier begins.
constexpr UINT CMD_WINDOW_LIST_END = 0xFFFE;

// What TABVIEW_CONTEXTMENU carries: idFrom is the page index, point is in screen coordinates.
struct TabContextMenuInfo {
  NMHDR header;
  POINT point;
};
